#include "launcher/search.h"

#include <array>
#include <vector>

#include "text/unicode.h"

namespace launcher {
namespace {

bool is_word(const text::Decoded& d) { return d.valid && text::is_word_char(d.code); }

bool all_word_chars(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const text::Decoded d = text::decode_at(s, i);
        if (!is_word(d)) return false;
        i += d.length;
    }
    return true;
}

// The folded query with what every item's test needs to know about it.
struct Query {
    std::string text;
    // A word is a run of word characters, so only such a query can begin one.
    bool can_begin_a_word = false;
};

Query make_query(std::string folded) {
    const bool word = !folded.empty() && all_word_chars(folded);
    return Query{std::move(folded), word};
}

// Characters are compared as their UTF-8 bytes. A character's encoding found
// anywhere in valid UTF-8 is always that character, so each step is a search.
bool is_subsequence(std::string_view q, std::string_view n) {
    std::size_t from = 0;
    for (std::size_t i = 0; i < q.size();) {
        const text::Decoded c = text::decode_at(q, i);
        const std::string_view wanted = q.substr(i, c.length);
        i += c.length;
        if (c.valid && text::is_white_space(c.code)) continue;
        const auto at = n.find(wanted, from);
        if (at == std::string_view::npos) return false;
        from = at + wanted.size();
    }
    return true;
}

// The tests in their order, arranged so that the common case (q is not in n
// at all) costs one search before the subsequence walk.
std::optional<MatchCategory> category_of_folded(const Query& query, std::string_view n) {
    const std::string_view q = query.text;
    if (q.empty()) return MatchCategory::Exact;
    auto at = n.find(q);
    if (at == std::string_view::npos) {
        if (is_subsequence(q, n)) return MatchCategory::Subsequence;
        return std::nullopt;
    }
    if (at == 0) return n.size() == q.size() ? MatchCategory::Exact : MatchCategory::Prefix;
    if (query.can_begin_a_word) {
        // An occurrence begins a word when the character before it does not
        // belong to one; its own first character does, being q's.
        for (; at != std::string_view::npos; at = n.find(q, at + 1)) {
            if (!is_word(text::decode_before(n, at))) return MatchCategory::WordPrefix;
        }
    }
    return MatchCategory::Substring;
}

}  // namespace

std::string fold_query(std::string_view query) { return text::to_lower(text::trim(query)); }

std::optional<MatchCategory> match_category(std::string_view folded_query, std::string_view name) {
    return category_of_folded(make_query(std::string(folded_query)), text::to_lower(name));
}

void refresh_results(LauncherState& state) {
    const Query query = make_query(fold_query(state.query));
    // Positions per category, each already in catalogue order: reading the
    // categories in turn is the sort by (category, position).
    std::array<std::vector<std::size_t>, 5> by_category;
    // An empty query matches everything as it stands: no need for the names.
    const bool names_needed = !query.text.empty();
    if (names_needed) fold_names(state);
    for (std::size_t i = 0; i < state.items.size(); ++i) {
        const std::string_view name = names_needed ? std::string_view(state.folded_names[i].folded) : "";
        if (const auto category = category_of_folded(query, name)) {
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
