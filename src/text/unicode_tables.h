// The generated character tables behind text/unicode.h. The data file is
// written by tools/gen_unicode_tables.py; only the layout is declared here.
#pragma once

#include <cstddef>
#include <cstdint>

namespace text::tables {

inline constexpr std::uint32_t BLOCK_SHIFT = 7;  // 128 code points a block
inline constexpr std::uint32_t BLOCK_MASK = (1u << BLOCK_SHIFT) - 1;

inline constexpr std::uint8_t WHITE_SPACE = 1 << 0;
inline constexpr std::uint8_t ALPHABETIC = 1 << 1;
inline constexpr std::uint8_t NUMERIC = 1 << 2;  // general category Nd, Nl or No
inline constexpr std::uint8_t CASED = 1 << 3;
inline constexpr std::uint8_t CASE_IGNORABLE = 1 << 4;
inline constexpr std::uint8_t HAS_SPECIAL_LOWER = 1 << 5;  // full lower case in SPECIAL_LOWER
inline constexpr std::uint8_t HAS_SPECIAL_UPPER = 1 << 6;  // full upper case in SPECIAL_UPPER

// What a code point is, and the distance to its simple lower- and upper-case
// mappings (zero when it has none).
struct Record {
    std::uint8_t flags;
    std::int32_t lower_delta;
    std::int32_t upper_delta;
};

// A mapping to up to three code points; unused places are zero.
struct SpecialCase {
    char32_t code;
    char32_t to[3];
};

extern const char UNICODE_VERSION[];
// STAGE1[cp >> BLOCK_SHIFT] is a block number; STAGE2[block * 128 + (cp & 127)]
// is an index into RECORDS.
extern const std::uint8_t STAGE1[];
extern const std::uint8_t STAGE2[];
extern const Record RECORDS[];
// Sorted by code.
extern const SpecialCase SPECIAL_LOWER[];
extern const std::size_t SPECIAL_LOWER_COUNT;
extern const SpecialCase SPECIAL_UPPER[];
extern const std::size_t SPECIAL_UPPER_COUNT;

}  // namespace text::tables
