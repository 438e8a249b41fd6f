// UTF-8 inside the program, UTF-16 at every Windows call.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace win {

// Unpaired surrogates become U+FFFD, so a window title with a broken
// surrogate still prints instead of vanishing.
std::string utf16_to_utf8(std::u16string_view text);

// Invalid UTF-8 sequences become U+FFFD.
std::u16string utf8_to_utf16(std::string_view text);

bool is_valid_utf8(std::string_view text);

// Unicode scalar values in valid UTF-8 text.
std::size_t char_count(std::string_view utf8);

// Byte offset of the n-th scalar value (the text's size when it has fewer).
std::size_t byte_offset_of_char(std::string_view utf8, std::size_t n);

}  // namespace win
