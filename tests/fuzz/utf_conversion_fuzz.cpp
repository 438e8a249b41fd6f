// UTF-8 and UTF-16, the conversion at every Windows call: file text, window
// titles and names from the system, broken or not.
//
// Input: bytes taken once as UTF-8 and once as UTF-16 (pairs, big-endian).
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "text/utf8.h"

namespace {

constexpr std::string_view REPLACEMENT = "\xEF\xBF\xBD";

bool is_surrogate(char16_t c) { return c >= 0xD800 && c <= 0xDFFF; }

void check_utf8(std::string_view s) {
    const bool valid = text::is_valid_utf8(s);
    const std::string back = text::utf16_to_utf8(text::utf8_to_utf16(s));
    FUZZ_CHECK(text::is_valid_utf8(back));
    if (valid) FUZZ_CHECK(back == s);

    // Walking forward, each step is one character (or one broken byte, which
    // comes back as one U+FFFD), and walking back finds the same steps.
    std::string rebuilt;
    std::size_t chars = 0;
    for (std::size_t i = 0; i < s.size();) {
        const text::Decoded d = text::decode_at(s, i);
        FUZZ_CHECK(d.length >= 1 && d.length <= 4 && i + d.length <= s.size());
        FUZZ_CHECK(d.valid || d.length == 1);
        if (d.valid) {
            FUZZ_CHECK(d.code <= 0x10FFFF && !(d.code >= 0xD800 && d.code <= 0xDFFF));
            char buf[4];
            FUZZ_CHECK(std::string_view(buf, text::encode_utf8(buf, d.code)) == s.substr(i, d.length));
            rebuilt += s.substr(i, d.length);
            if (valid) {
                const text::Decoded before = text::decode_before(s, i + d.length);
                FUZZ_CHECK(before.valid && before.code == d.code && before.length == d.length);
                FUZZ_CHECK(text::byte_offset_of_char(s, chars) == i);
            }
        } else {
            rebuilt += REPLACEMENT;
        }
        ++chars;
        i += d.length;
    }
    FUZZ_CHECK(rebuilt == back);
    if (valid) {
        FUZZ_CHECK(text::char_count(s) == chars);
        FUZZ_CHECK(text::byte_offset_of_char(s, chars) == s.size());
    }
    // Walking back from the end, as trimming and backspace do, every step
    // stays inside the text, whatever its bytes.
    for (std::size_t end = s.size(); end > 0;) {
        const text::Decoded d = text::decode_before(s, end);
        FUZZ_CHECK(d.length >= 1 && d.length <= end);
        end -= d.length;
    }
}

void check_utf16(std::u16string_view s) {
    const std::string utf8 = text::utf16_to_utf8(s);
    FUZZ_CHECK(text::is_valid_utf8(utf8));
    // Pairs come back as they were; an unpaired half comes back as U+FFFD.
    std::u16string expected;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char16_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            expected.push_back(c);
            expected.push_back(s[++i]);
        } else {
            expected.push_back(is_surrogate(c) ? u'\uFFFD' : c);
        }
    }
    FUZZ_CHECK(text::utf8_to_utf16(utf8) == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in{data, size};
    const std::string_view bytes = fuzz::rest(in);
    check_utf8(bytes);
    std::u16string units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        units.push_back(static_cast<char16_t>((static_cast<unsigned char>(bytes[i]) << 8) |
                                              static_cast<unsigned char>(bytes[i + 1])));
    }
    check_utf16(units);
    return 0;
}
