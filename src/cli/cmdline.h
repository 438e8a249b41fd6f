// The Windows convention for splitting a command line into arguments.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cli {

// Splits a UTF-16 command line as the C runtime does. An empty line gives no
// arguments; the caller then uses the executable's own path.
std::vector<std::u16string> split_command_line(std::u16string_view line);

}  // namespace cli
