// UTF-8 inside the program, UTF-16 at every Windows call: the one decoder and
// the one encoder of both, and counting by characters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace text {

// One scalar value decoded at a byte offset. Anything but a complete,
// shortest-form sequence of a scalar value (a stray or truncated byte, an
// overlong form, a surrogate, a value above U+10FFFF) yields valid == false
// and a length of one byte, so that no byte after a broken one is swallowed.
struct Decoded {
    char32_t code = 0;
    std::size_t length = 1;
    bool valid = true;
};
Decoded decode_at(std::string_view utf8, std::size_t offset);
// The character that ends just before byte `end` (which must be above zero).
Decoded decode_before(std::string_view utf8, std::size_t end);

// Writes the encoding of a scalar value at `out` (room for four bytes) and
// returns the end of what it wrote.
char* encode_utf8(char* out, char32_t code);
void append_utf8(std::string& out, char32_t code);

// Unpaired surrogates become U+FFFD, so a window title with a broken
// surrogate still prints instead of vanishing.
std::string utf16_to_utf8(std::u16string_view text);

// Every byte that decode_at calls invalid becomes one U+FFFD.
std::u16string utf8_to_utf16(std::string_view text);

bool is_valid_utf8(std::string_view text);

// Unicode scalar values in valid UTF-8 text.
std::size_t char_count(std::string_view utf8);

// Byte offset of the n-th scalar value (the text's size when it has fewer).
std::size_t byte_offset_of_char(std::string_view utf8, std::size_t n);

}  // namespace text
