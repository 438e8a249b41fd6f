#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "text/unicode.h"

namespace {

std::string slurp(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return in ? s.str() : std::string();
}

// Catches a hand-edited table, or a generator change that was not run.
TEST(UnicodeTables, CommittedFileIsWhatTheGeneratorMakes) {
    const std::string committed = slurp(QUILT_COMMITTED_TABLES);
    const std::string regenerated = slurp(QUILT_REGENERATED_TABLES);
    ASSERT_FALSE(regenerated.empty()) << "no regenerated copy at " << QUILT_REGENERATED_TABLES;
    EXPECT_TRUE(committed == regenerated)
        << "src/text/unicode_tables.cpp differs from the generator's output; run tools/gen_unicode_tables.py";
}

struct Case {
    const char* in;
    const char* out;
};

TEST(ToLower, FullMappingAndFinalSigma) {
    for (const auto& c : std::initializer_list<Case>{
             {"CALC", "calc"},
             {"\xC4\xB0stanbul", "i\xCC\x87stanbul"},                      // İ becomes i + combining dot above
             {"\xC4\xB0\xC4\xB0\xC4\xB0", "i\xCC\x87i\xCC\x87i\xCC\x87"},  // the longest growth, 1.5 times
             {"\xC8\xBA\xC8\xBA", "\xE2\xB1\xA5\xE2\xB1\xA5"},             // Ⱥ -> ⱥ: two bytes become three
             {"\xE2\x84\xAA", "k"},                                        // the Kelvin sign shrinks
             {"\xCE\x9F\xCE\x94\xCE\x9F\xCE\xA3", "\xCE\xBF\xCE\xB4\xCE\xBF\xCF\x82"},  // ΟΔΟΣ -> οδος (final)
             {"\xCE\xA3\xCE\x91", "\xCF\x83\xCE\xB1"},                    // ΣΑ: sigma starting a word stays medial
             {"\xCE\xA3", "\xCF\x83"},                                    // alone: nothing cased before it
             {"\xCE\x91\xCE\xA3 x", "\xCE\xB1\xCF\x82 x"},                // ΑΣ before a space is final
             {"\xCE\x91\xCE\xA3\xCE\x91", "\xCE\xB1\xCF\x83\xCE\xB1"},    // inside a word it is not
             {"\xCE\x91\xCE\xA3'\xCE\x91", "\xCE\xB1\xCF\x83'\xCE\xB1"},  // an apostrophe is case-ignorable
             {"\xCE\x91'\xCE\xA3", "\xCE\xB1'\xCF\x82"},
             {"\xD0\x9C\xD0\x9E\xD0\xA1\xD0\x9A\xD0\x92\xD0\x90", "\xD0\xBC\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0"},
             {"\xEF\xBC\xA1\xEF\xBC\xA2", "\xEF\xBD\x81\xEF\xBD\x82"},  // full-width ＡＢ
             {"\xF0\x90\x90\x80", "\xF0\x90\x90\xA8"},                  // Deseret, outside the BMP
             {"Stra\xC3\x9F"
              "e",
              "stra\xC3\x9F"
              "e"},
             {"A\xFF"
              "B",
              "a\xFF"
              "b"},  // a stray byte is carried through
             {"\xE6\xBC\xA2\xE5\xAD\x97", "\xE6\xBC\xA2\xE5\xAD\x97"},
         }) {
        EXPECT_EQ(text::to_lower(c.in), c.out) << c.in;
    }
}

TEST(ToUpper, FullMapping) {
    for (const auto& c : std::initializer_list<Case>{
             {"stra\xC3\x9F"
              "e",
              "STRASSE"},
             {"\xC3\x9F", "SS"},
             {"\xEF\xAC\x81", "FI"},                    // the fi ligature
             {"\xC5\x89", "\xCA\xBCN"},                 // ŉ
             {"\xCF\x82\xCF\x83", "\xCE\xA3\xCE\xA3"},  // both sigmas
             {"i\xCC\x87", "I\xCC\x87"},
             {"\xE1\xBE\x80", "\xE1\xBC\x88\xCE\x99"},  // ᾀ: iota subscript expands
             {"abc", "ABC"},
         }) {
        EXPECT_EQ(text::to_upper(c.in), c.out) << c.in;
    }
}

TEST(Properties, WhiteSpaceIsExactlyTheUnicodeSet) {
    for (char32_t c : {0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x20, 0x85, 0xA0, 0x1680, 0x2000, 0x2005, 0x200A, 0x2028, 0x2029,
                       0x202F, 0x205F, 0x3000}) {
        EXPECT_TRUE(text::is_white_space(c)) << std::hex << static_cast<std::uint32_t>(c);
    }
    for (char32_t c : {0x00, 0x1F, 0x41, 0x200B, 0x180E, 0xFEFF, 0x2060, 0x110000}) {
        EXPECT_FALSE(text::is_white_space(c)) << std::hex << static_cast<std::uint32_t>(c);
    }
}

TEST(Properties, WordCharactersAreAlphabeticOrNumeric) {
    struct Char {
        char32_t c;
        bool word;
    };
    for (const auto& [c, word] : std::initializer_list<Char>{
             {U'a', true},    {U'Z', true},  {U'7', true},    {0x0663, true},  // Arabic-Indic digit three (Nd)
             {0x216B, true},                                                   // roman numeral twelve (Nl)
             {0x3007, true},                                                   // ideographic number zero (Nl)
             {0x00BD, true},                                                   // vulgar fraction one half (No)
             {0x00B2, true},                                                   // superscript two (No)
             {0x6F22, true},                                                   // a CJK ideograph
             {0x0345, true},  // a combining mark with the Alphabetic property
             {U'-', false},   {U'.', false}, {U'(', false},   {U'&', false},
             {U'\'', false},  {U' ', false}, {0x3000, false}, {0x1F600, false},  // an emoji
             {0x0301, false},                                                    // a combining acute accent: neither
         }) {
        EXPECT_EQ(text::is_word_char(c), word) << std::hex << static_cast<std::uint32_t>(c);
    }
}

TEST(Trim, RemovesUnicodeWhiteSpaceAtBothEndsOnly) {
    EXPECT_EQ(text::trim("\xE3\x80\x80 a b\xC2\xA0\t"), "a b");
    EXPECT_EQ(text::trim(" \r\n "), "");
    EXPECT_EQ(text::trim("\xE2\x80\x8B"
                         "a"),
              "\xE2\x80\x8B"
              "a");  // zero width space is not white space
    EXPECT_TRUE(
        text::contains_white_space("a\xE2\x80\xAF"
                                   "b"));
    EXPECT_FALSE(
        text::contains_white_space("a\xE2\x80\x8B"
                                   "b"));
}

}  // namespace
