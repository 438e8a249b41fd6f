// The formatting rules that every console report follows: fields padded by
// Unicode characters (never cut), long texts shortened with "...".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace text {

// Longer than n characters: the first n-3 followed by "...".
std::string truncate_chars(std::string_view text, std::size_t n);
// Padded with spaces to n characters; a longer text is left as it is.
std::string pad_right(std::string_view text, std::size_t n);
std::string pad_left(std::string_view text, std::size_t n);

}  // namespace text
