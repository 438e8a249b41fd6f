#include "win/text.h"

#include <cstdint>

#include "text/unicode.h"

namespace win {
namespace {

constexpr char32_t REPLACEMENT = 0xFFFD;

// Decodes one scalar value at `i`; returns the number of bytes consumed and
// sets `ok` to false for an invalid sequence (which then consumes one byte,
// or the valid prefix of a truncated sequence).
std::size_t decode_utf8(std::string_view s, std::size_t i, char32_t& c, bool& ok) {
    const auto b0 = static_cast<std::uint8_t>(s[i]);
    ok = true;
    if (b0 < 0x80) {
        c = b0;
        return 1;
    }
    std::size_t len = 0;
    char32_t min = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        c = b0 & 0x1F;
        min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        c = b0 & 0x0F;
        min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        c = b0 & 0x07;
        min = 0x10000;
    } else {
        ok = false;
        return 1;
    }
    std::size_t n = 1;
    for (; n < len; ++n) {
        if (i + n >= s.size()) break;
        const auto b = static_cast<std::uint8_t>(s[i + n]);
        if ((b & 0xC0) != 0x80) break;
        c = (c << 6) | (b & 0x3F);
    }
    if (n != len || c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ok = false;
        return n;
    }
    return len;
}

}  // namespace

std::string utf16_to_utf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
                ++i;
            } else {
                c = REPLACEMENT;
            }
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            c = REPLACEMENT;
        }
        text::append_utf8(out, c);
    }
    return out;
}

std::u16string utf8_to_utf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t c = 0;
        bool ok = true;
        i += decode_utf8(text, i, c, ok);
        if (!ok) c = REPLACEMENT;
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

bool is_valid_utf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        char32_t c = 0;
        bool ok = true;
        i += decode_utf8(text, i, c, ok);
        if (!ok) return false;
    }
    return true;
}

std::size_t char_count(std::string_view utf8) {
    std::size_t n = 0;
    for (unsigned char b : utf8) {
        if ((b & 0xC0) != 0x80) ++n;
    }
    return n;
}

std::size_t byte_offset_of_char(std::string_view utf8, std::size_t n) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) {
            if (seen == n) return i;
            ++seen;
        }
    }
    return utf8.size();
}

}  // namespace win
