// `quilt run`: keeps the desktop tiled until stopped, then puts every window back.
#pragma once

#include <cstdint>
#include <functional>

#include "win/platform_win32.h"

namespace quilt_daemon {

// Told, after each message the main loop handled, how many milliseconds the
// loop spent on it: a probe's way to see whether the loop ever stops
// answering. The program itself watches nothing.
using LoopWatch = std::function<void(std::uint64_t busy_ms)>;

int run_daemon(win::Win32Platform& p, const LoopWatch& watch = {});

}  // namespace quilt_daemon
