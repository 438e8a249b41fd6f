#include "text/utf8.h"

namespace text {
namespace {

constexpr char32_t MAX_CODE = 0x10FFFF;
constexpr char32_t REPLACEMENT = 0xFFFD;

bool is_surrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

}  // namespace

Decoded decode_at(std::string_view s, std::size_t i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) return {b0, 1, true};
    std::size_t len = 0;
    char32_t c = 0;
    char32_t min = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2, c = b0 & 0x1F, min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3, c = b0 & 0x0F, min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4, c = b0 & 0x07, min = 0x10000;
    } else {
        return {b0, 1, false};
    }
    if (i + len > s.size()) return {b0, 1, false};
    for (std::size_t n = 1; n < len; ++n) {
        const auto b = static_cast<unsigned char>(s[i + n]);
        if ((b & 0xC0) != 0x80) return {b0, 1, false};
        c = (c << 6) | (b & 0x3F);
    }
    if (c < min || c > MAX_CODE || is_surrogate(c)) return {b0, 1, false};
    return {c, len, true};
}

Decoded decode_before(std::string_view s, std::size_t end) {
    std::size_t i = end - 1;
    for (std::size_t steps = 0; steps < 3 && i > 0 && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80; ++steps) --i;
    const Decoded d = decode_at(s, i);
    // A stray continuation byte is a character of its own.
    return d.length == end - i ? d : decode_at(s, end - 1);
}

char* encode_utf8(char* o, char32_t c) {
    if (c < 0x80) {
        *o++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *o++ = static_cast<char>(0xC0 | (c >> 6));
        *o++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *o++ = static_cast<char>(0xE0 | (c >> 12));
        *o++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *o++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *o++ = static_cast<char>(0xF0 | (c >> 18));
        *o++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *o++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *o++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return o;
}

void append_utf8(std::string& out, char32_t c) {
    char buf[4];
    out.append(buf, encode_utf8(buf, c));
}

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
        append_utf8(out, c);
    }
    return out;
}

std::u16string utf8_to_utf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const Decoded d = decode_at(text, i);
        i += d.length;
        char32_t c = d.valid ? d.code : REPLACEMENT;
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
        const Decoded d = decode_at(text, i);
        if (!d.valid) return false;
        i += d.length;
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

}  // namespace text
