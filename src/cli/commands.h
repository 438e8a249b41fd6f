// The entry point's logic: split the command line, declare DPI awareness,
// dispatch on the command word. The platform's main() only gathers its inputs.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "win/platform.h"

namespace cli {

inline constexpr int EXIT_USAGE = 2;

std::string usage_text();

// The daemon, which only the Windows build can run.
using DaemonRunner = std::function<int()>;

// Runs the whole program for one command line. `module_path` stands in for
// the arguments when the command line is empty. Returns the exit code.
int run_program(win::Platform& p, std::u16string_view command_line, std::u16string_view module_path,
                const DaemonRunner& run_daemon);

int command_list(win::Platform& p);
int command_plan(win::Platform& p);
int command_tile(win::Platform& p);
int command_untile(win::Platform& p);

}  // namespace cli
