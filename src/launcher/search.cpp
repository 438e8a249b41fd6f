#include "launcher/search.h"

#include <array>
#include <vector>

#include "text/unicode.h"

namespace launcher {
namespace {

bool all_word_chars(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const text::Decoded d = text::decode_at(s, i);
        if (!d.valid || !text::is_word_char(d.code)) return false;
        i += d.length;
    }
    return true;
}

// A word is a run of word characters, so only a query made of word
// characters can begin one; and then a word starts with q exactly when the
// bytes at the word's start are q's.
bool some_word_starts_with(std::string_view q, std::string_view n) {
    if (!all_word_chars(q)) return false;
    bool in_word = false;
    for (std::size_t i = 0; i < n.size();) {
        const text::Decoded d = text::decode_at(n, i);
        const bool word = d.valid && text::is_word_char(d.code);
        if (word && !in_word && n.compare(i, q.size(), q) == 0) return true;
        in_word = word;
        i += d.length;
    }
    return false;
}

bool is_subsequence(std::string_view q, std::string_view n) {
    std::size_t j = 0;
    for (std::size_t i = 0; i < q.size();) {
        const text::Decoded c = text::decode_at(q, i);
        const std::string_view wanted = q.substr(i, c.length);
        i += c.length;
        if (c.valid && text::is_white_space(c.code)) continue;
        for (;;) {
            if (j >= n.size()) return false;
            const std::size_t length = text::decode_at(n, j).length;
            const bool equal = n.substr(j, length) == wanted;
            j += length;
            if (equal) break;
        }
    }
    return true;
}

std::optional<MatchCategory> category_of_folded(std::string_view q, std::string_view n) {
    if (q.empty() || n == q) return MatchCategory::Exact;
    if (n.starts_with(q)) return MatchCategory::Prefix;
    if (some_word_starts_with(q, n)) return MatchCategory::WordPrefix;
    if (n.find(q) != std::string_view::npos) return MatchCategory::Substring;
    if (is_subsequence(q, n)) return MatchCategory::Subsequence;
    return std::nullopt;
}

}  // namespace

std::string fold_query(std::string_view query) { return text::to_lower(text::trim(query)); }

std::optional<MatchCategory> match_category(std::string_view folded_query, std::string_view name) {
    return category_of_folded(folded_query, text::to_lower(name));
}

void refresh_results(LauncherState& state) {
    const std::string q = fold_query(state.query);
    // Positions per category, each already in catalogue order: reading the
    // categories in turn is the sort by (category, position).
    std::array<std::vector<std::size_t>, 5> by_category;
    std::string folded;
    for (std::size_t i = 0; i < state.items.size(); ++i) {
        text::to_lower_into(state.items[i].name, folded);
        if (const auto category = category_of_folded(q, folded)) {
            by_category[static_cast<std::size_t>(*category)].push_back(i);
        }
    }
    state.results.clear();
    for (const auto& positions : by_category) {
        for (std::size_t i : positions) {
            if (state.results.size() == MAX_RESULTS) break;
            state.results.push_back(state.items[i]);
        }
    }
    state.tiles.clear();
    for (const auto& item : state.items) {
        if (state.tiles.size() == MAX_TILES) break;
        if (item.kind == apps::ItemKind::Web) state.tiles.push_back(item);
    }
    state.selection = {state.results.empty() ? SelectionArea::TileStrip : SelectionArea::ResultList, 0};
}

}  // namespace launcher
