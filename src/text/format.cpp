#include "text/format.h"

#include "text/utf8.h"

namespace text {

std::string truncate_chars(std::string_view text, std::size_t n) {
    if (char_count(text) <= n) return std::string(text);
    const std::size_t keep = n >= 3 ? n - 3 : 0;
    return std::string(text.substr(0, byte_offset_of_char(text, keep))) + "...";
}

std::string pad_right(std::string_view text, std::size_t n) {
    std::string out(text);
    const std::size_t len = char_count(text);
    if (len < n) out.append(n - len, ' ');
    return out;
}

std::string pad_left(std::string_view text, std::size_t n) {
    const std::size_t len = char_count(text);
    std::string out = len < n ? std::string(n - len, ' ') : std::string();
    out += text;
    return out;
}

}  // namespace text
