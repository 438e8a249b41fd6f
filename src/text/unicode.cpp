#include "text/unicode.h"

#include <algorithm>
#include <cstdint>

#include "text/unicode_tables.h"

namespace text {
namespace {

constexpr char32_t MAX_CODE = 0x10FFFF;
constexpr char32_t CAPITAL_SIGMA = 0x03A3;
constexpr char32_t FINAL_SIGMA = 0x03C2;

const tables::Record& record(char32_t c) {
    if (c > MAX_CODE) return tables::RECORDS[0];
    const std::uint32_t block = tables::STAGE1[c >> tables::BLOCK_SHIFT];
    return tables::RECORDS[tables::STAGE2[(block << tables::BLOCK_SHIFT) | (c & tables::BLOCK_MASK)]];
}

bool has(char32_t c, std::uint8_t flag) { return (record(c).flags & flag) != 0; }

const tables::SpecialCase* find_special(const tables::SpecialCase* table, std::size_t count, char32_t c) {
    const auto* end = table + count;
    const auto* it =
        std::lower_bound(table, end, c, [](const tables::SpecialCase& s, char32_t v) { return s.code < v; });
    return it != end && it->code == c ? it : nullptr;
}

// Appends the full mapping of c: the special list when the record points
// there, else the simple delta.
void append_mapped(std::string& out, char32_t c, bool lower) {
    const tables::Record& r = record(c);
    const std::uint8_t special = lower ? tables::HAS_SPECIAL_LOWER : tables::HAS_SPECIAL_UPPER;
    if (r.flags & special) {
        const auto* s = lower ? find_special(tables::SPECIAL_LOWER, tables::SPECIAL_LOWER_COUNT, c)
                              : find_special(tables::SPECIAL_UPPER, tables::SPECIAL_UPPER_COUNT, c);
        if (s) {
            for (char32_t m : s->to) {
                if (m) append_utf8(out, m);
            }
            return;
        }
    }
    append_utf8(out, static_cast<char32_t>(static_cast<std::int32_t>(c) + (lower ? r.lower_delta : r.upper_delta)));
}

// SpecialCasing's Final_Sigma: a cased letter (then case-ignorable ones)
// before the sigma, and no cased letter (after case-ignorable ones) behind it.
bool is_final_sigma(std::string_view s, std::size_t at, std::size_t length) {
    bool cased_before = false;
    for (std::size_t end = at; end > 0;) {
        const Decoded d = decode_before(s, end);
        if (d.valid && is_cased(d.code)) {
            cased_before = true;
            break;
        }
        if (!d.valid || !is_case_ignorable(d.code)) break;
        end -= d.length;
    }
    if (!cased_before) return false;
    for (std::size_t i = at + length; i < s.size();) {
        const Decoded d = decode_at(s, i);
        if (d.valid && is_cased(d.code)) return false;
        if (!d.valid || !is_case_ignorable(d.code)) break;
        i += d.length;
    }
    return true;
}

}  // namespace

bool is_white_space(char32_t c) { return has(c, tables::WHITE_SPACE); }
bool is_alphabetic(char32_t c) { return has(c, tables::ALPHABETIC); }
bool is_numeric(char32_t c) { return has(c, tables::NUMERIC); }
bool is_word_char(char32_t c) { return has(c, tables::ALPHABETIC | tables::NUMERIC); }
bool is_cased(char32_t c) { return has(c, tables::CASED); }
bool is_case_ignorable(char32_t c) { return has(c, tables::CASE_IGNORABLE); }

std::string_view trim(std::string_view s) {
    std::size_t first = 0;
    while (first < s.size()) {
        const Decoded d = decode_at(s, first);
        if (!d.valid || !is_white_space(d.code)) break;
        first += d.length;
    }
    std::size_t last = s.size();
    while (last > first) {
        const Decoded d = decode_before(s, last);
        if (!d.valid || !is_white_space(d.code)) break;
        last -= d.length;
    }
    return s.substr(first, last - first);
}

bool contains_white_space(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const Decoded d = decode_at(s, i);
        if (d.valid && is_white_space(d.code)) return true;
        i += d.length;
    }
    return false;
}

bool equal_ascii_nocase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

void to_lower_into(std::string_view s, std::string& out) {
    // No lower-case mapping is more than half as long again as its source, so
    // the text is written through a pointer into room made once.
    out.resize(s.size() + s.size() / 2 + 4);
    char* o = out.data();
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            *o++ = static_cast<char>(static_cast<unsigned>(b - 'A') < 26u ? b + 32 : b);
            ++i;
            continue;
        }
        const Decoded d = decode_at(s, i);
        if (!d.valid) {
            *o++ = s[i];
        } else {
            char32_t c = d.code;
            const tables::Record& r = record(c);
            if (r.flags & tables::HAS_SPECIAL_LOWER) {
                std::string mapped;
                append_mapped(mapped, c, true);
                o = std::copy(mapped.begin(), mapped.end(), o);
                i += d.length;
                continue;
            }
            c = c == CAPITAL_SIGMA && is_final_sigma(s, i, d.length)
                    ? FINAL_SIGMA
                    : static_cast<char32_t>(static_cast<std::int32_t>(c) + r.lower_delta);
            o = encode_utf8(o, c);
        }
        i += d.length;
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
}

std::string to_lower(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    to_lower_into(s, out);
    return out;
}

std::string to_upper(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const Decoded d = decode_at(s, i);
        if (!d.valid) {
            out.push_back(s[i]);
        } else {
            append_mapped(out, d.code, false);
        }
        i += d.length;
    }
    return out;
}

}  // namespace text
