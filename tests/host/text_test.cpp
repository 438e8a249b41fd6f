#include <gtest/gtest.h>

#include "text/format.h"
#include "text/utf8.h"

namespace {

using text::pad_left;
using text::pad_right;
using text::truncate_chars;

TEST(Utf16ToUtf8, ConvertsEveryPlaneAndReplacesUnpairedSurrogates) {
    struct Case {
        std::u16string in;
        std::string out;
    };
    const Case cases[] = {
        {u"abc", "abc"},
        {u"Caf\u00e9", "Caf\xc3\xa9"},
        {u"\u6f22\u5b57", "\xe6\xbc\xa2\xe5\xad\x97"},
        {u"\U0001F600", "\xf0\x9f\x98\x80"},                           // a pair makes one emoji
        {std::u16string{0xD83D}, "\xef\xbf\xbd"},                      // lone high surrogate at the end
        {std::u16string{0xD83D, u'x'}, "\xef\xbf\xbdx"},               // high surrogate before a non-surrogate
        {std::u16string{0xDE00, 0xD83D}, "\xef\xbf\xbd\xef\xbf\xbd"},  // reversed pair: two replacements
    };
    for (const auto& c : cases) EXPECT_EQ(text::utf16_to_utf8(c.in), c.out);
}

TEST(Utf8ToUtf16, RoundTripsAndReplacesEveryInvalidByte) {
    const std::u16string samples[] = {u"", u"plain", u"\u00e9\u6f22\U0001F600\u0301"};
    for (const auto& s : samples) EXPECT_EQ(text::utf8_to_utf16(text::utf16_to_utf8(s)), s);
    // One replacement per byte that does not start a complete sequence, so
    // that a broken sequence never takes the next character with it.
    struct Case {
        std::string in;
        std::u16string out;
    };
    const Case cases[] = {
        {"a\xff"
         "b",
         u"a\uFFFDb"},
        {"\xe6\xbc", u"\uFFFD\uFFFD"},  // truncated sequence
        {"\xe6\xbc"
         "a",
         u"\uFFFD\uFFFDa"},                                 // cut short by an ASCII byte
        {"\xed\xa0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
        {"\xc0\xaf", u"\uFFFD\uFFFD"},                      // overlong "/"
        {"\xf4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
    };
    for (const auto& c : cases) EXPECT_EQ(text::utf8_to_utf16(c.in), c.out) << c.in;
}

TEST(Utf8Validity, RejectsOverlongSurrogateAndTruncatedForms) {
    EXPECT_TRUE(text::is_valid_utf8("h\xc3\xa9llo \xf0\x9f\x98\x80"));
    EXPECT_FALSE(text::is_valid_utf8("\xc0\xaf"));          // overlong "/"
    EXPECT_FALSE(text::is_valid_utf8("\xed\xa0\x80"));      // encoded surrogate
    EXPECT_FALSE(text::is_valid_utf8("\xf4\x90\x80\x80"));  // above U+10FFFF
    EXPECT_FALSE(text::is_valid_utf8("abc\xe2\x82"));       // cut short
}

TEST(TruncateChars, CountsScalarValuesNotBytes) {
    const std::string sixty(60, 'x');
    EXPECT_EQ(truncate_chars(sixty, 60), sixty);
    EXPECT_EQ(truncate_chars(sixty + "y", 60), std::string(57, 'x') + "...");
    // 61 two-byte characters: cut after 57 characters, never inside one.
    std::string accents;
    for (int i = 0; i < 61; ++i) accents += "\xc3\xa9";
    std::string expect;
    for (int i = 0; i < 57; ++i) expect += "\xc3\xa9";
    EXPECT_EQ(truncate_chars(accents, 60), expect + "...");
    // Emoji are one character each, four bytes.
    std::string emoji;
    for (int i = 0; i < 30; ++i) emoji += "\xf0\x9f\x98\x80";
    EXPECT_EQ(truncate_chars(emoji, 24), emoji.substr(0, 21 * 4) + "...");
    EXPECT_EQ(truncate_chars("", 5), "");
}

TEST(Padding, FillsByCharactersAndNeverCuts) {
    EXPECT_EQ(pad_right("ab", 5), "ab   ");
    EXPECT_EQ(pad_left("ab", 5), "   ab");
    EXPECT_EQ(pad_right("\xc3\xa9\xc3\xa9", 4), "\xc3\xa9\xc3\xa9  ");  // two characters, four bytes
    EXPECT_EQ(pad_right("toolong", 3), "toolong");
    EXPECT_EQ(pad_left("-1234567", 5), "-1234567");
}

}  // namespace
