// Unicode folding, trimming and word starts, as the search box and the
// web-app file use them on any text.
//
// Input: a query up to a NUL, then a name.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "launcher/search.h"
#include "text/unicode.h"
#include "text/utf8.h"

namespace {

using launcher::MatchCategory;

std::vector<char32_t> chars_of(std::string_view s) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < s.size();) {
        const text::Decoded d = text::decode_at(s, i);
        out.push_back(d.code);
        i += d.length;
    }
    return out;
}

bool is_word_at_end(std::string_view s, std::size_t end) {
    if (end == 0) return false;
    const text::Decoded d = text::decode_before(s, end);
    return d.valid && text::is_word_char(d.code);
}

// The ranking's categories taken straight from their definitions, one
// character at a time: the search's byte-wise shortcuts must agree on valid text.
std::optional<MatchCategory> category_by_definition(std::string_view q, std::string_view name) {
    const std::string n = text::to_lower(name);
    if (q.empty() || n == q) return MatchCategory::Exact;
    if (n.starts_with(q)) return MatchCategory::Prefix;
    const std::vector<char32_t> qc = chars_of(q);
    const bool word_query = std::all_of(qc.begin(), qc.end(), [](char32_t c) { return text::is_word_char(c); });
    bool found = false;
    for (std::size_t at = n.find(q); at != std::string::npos; at = n.find(q, at + 1)) {
        found = true;
        if (word_query && !is_word_at_end(n, at)) return MatchCategory::WordPrefix;
    }
    if (found) return MatchCategory::Substring;
    const std::vector<char32_t> nc = chars_of(n);
    std::size_t j = 0;
    for (char32_t c : qc) {
        if (text::is_white_space(c)) continue;
        while (j < nc.size() && nc[j] != c) ++j;
        if (j == nc.size()) return std::nullopt;
        ++j;
    }
    return MatchCategory::Subsequence;
}

void check_folding(std::string_view s) {
    const bool valid = text::is_valid_utf8(s);

    const std::string_view t = text::trim(s);
    FUZZ_CHECK(t.data() >= s.data() && t.data() + t.size() <= s.data() + s.size());
    FUZZ_CHECK(text::trim(t) == t);
    if (!text::contains_white_space(s)) FUZZ_CHECK(t == s);
    if (!t.empty()) {
        const text::Decoded first = text::decode_at(t, 0);
        const text::Decoded last = text::decode_before(t, t.size());
        FUZZ_CHECK(!(first.valid && text::is_white_space(first.code)));
        FUZZ_CHECK(!(last.valid && text::is_white_space(last.code)));
    }

    // Folding never makes or eats a NUL (which would mean writing past the
    // room it made), keeps valid text valid, and folds a folded text to itself.
    const std::string lower = text::to_lower(s);
    const std::string upper = text::to_upper(s);
    FUZZ_CHECK(std::count(lower.begin(), lower.end(), '\0') == std::count(s.begin(), s.end(), '\0'));
    FUZZ_CHECK(std::count(upper.begin(), upper.end(), '\0') == std::count(s.begin(), s.end(), '\0'));
    std::string reused(s.size() * 3 + 7, 'x');
    text::to_lower_into(s, reused);
    FUZZ_CHECK(reused == lower);
    if (valid) {
        FUZZ_CHECK(text::is_valid_utf8(lower) && text::is_valid_utf8(upper));
        FUZZ_CHECK(text::to_lower(lower) == lower);
        FUZZ_CHECK(text::to_upper(upper) == upper);
    }

    std::string ascii_lower(s);
    for (char& c : ascii_lower) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    FUZZ_CHECK(text::equal_ascii_nocase(s, ascii_lower) && text::equal_ascii_nocase(ascii_lower, s));

    for (char32_t c : chars_of(s)) {
        FUZZ_CHECK(text::is_word_char(c) == (text::is_alphabetic(c) || text::is_numeric(c)));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in{data, size};
    const std::string query = fuzz::take_text(in);
    const std::string name(fuzz::rest(in));
    check_folding(query);
    check_folding(name);

    const std::string folded = launcher::fold_query(query);
    FUZZ_CHECK(folded == text::to_lower(text::trim(query)));
    const auto category = launcher::match_category(folded, name);
    if (text::is_valid_utf8(query) && text::is_valid_utf8(name)) {
        FUZZ_CHECK(category == category_by_definition(folded, name));
    }
    return 0;
}
