// The Unicode rules that matching and the web-app file share: white space,
// word characters and full case mappings, from generated tables (no library).
// Texts are UTF-8; a byte that is not part of a valid sequence is carried
// through unchanged and has no properties.
#pragma once

#include <string>
#include <string_view>

#include "text/utf8.h"

namespace text {

bool is_white_space(char32_t);
bool is_alphabetic(char32_t);
// General category Nd, Nl or No.
bool is_numeric(char32_t);
// A character that belongs to a word: Alphabetic or numeric.
bool is_word_char(char32_t);
bool is_cased(char32_t);
bool is_case_ignorable(char32_t);

// White_Space removed at both ends.
std::string_view trim(std::string_view utf8);
bool contains_white_space(std::string_view utf8);

// Equal when the ASCII letters A-Z and a-z are taken as the same and every
// other byte as itself: how program and file names are compared.
bool equal_ascii_nocase(std::string_view a, std::string_view b);

// The full, unconditional lower-case mapping of every character, with a
// capital sigma at the end of a word becoming a final sigma.
std::string to_lower(std::string_view utf8);
// The same into `out` (replaced), so that a loop can reuse its buffer.
void to_lower_into(std::string_view utf8, std::string& out);
// The full, unconditional upper-case mapping ('ß' becomes "SS").
std::string to_upper(std::string_view utf8);

}  // namespace text
