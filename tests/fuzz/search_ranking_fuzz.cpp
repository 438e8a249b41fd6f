// Ranking a catalogue for a query: any names the shell or the web-app file
// can give, any query the box can hold.
//
// Input: the query up to a NUL, then items, each a kind byte and a name up
// to a NUL.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "launcher/search.h"

namespace {

using apps::ItemKind;
using apps::LauncherItem;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in{data, size};
    launcher::LauncherState state;
    state.query = fuzz::take_text(in);
    while (!fuzz::exhausted(in) && state.items.size() < 64) {
        const auto kind = static_cast<ItemKind>(fuzz::take_byte(in) % 3);
        LauncherItem item{kind, std::nullopt, fuzz::take_text(in, 64)};
        if (kind != ItemKind::EditWebApps) item.target = "t" + std::to_string(state.items.size());
        state.items.push_back(std::move(item));
    }
    launcher::refresh_results(state);

    // At most the rows asked for, each from the catalogue, best category
    // first and catalogue order within one.
    const std::string folded = launcher::fold_query(state.query);
    std::vector<std::pair<launcher::MatchCategory, std::size_t>> ranked;
    for (std::size_t i = 0; i < state.items.size(); ++i) {
        if (const auto c = launcher::match_category(folded, state.items[i].name)) ranked.emplace_back(*c, i);
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    FUZZ_CHECK(state.results.size() == std::min(ranked.size(), launcher::MAX_RESULTS));
    for (std::size_t r = 0; r < state.results.size(); ++r) {
        FUZZ_CHECK(state.results[r] == state.items[ranked[r].second]);
    }
    if (folded.empty()) FUZZ_CHECK(state.results.size() == std::min(state.items.size(), launcher::MAX_RESULTS));

    // The tiles are the first web apps, whatever the query.
    std::vector<LauncherItem> webs;
    for (const auto& item : state.items) {
        if (item.kind == ItemKind::Web && webs.size() < launcher::MAX_TILES) webs.push_back(item);
    }
    FUZZ_CHECK(state.tiles == webs);

    const launcher::Selection first_row{launcher::SelectionArea::ResultList, 0};
    const launcher::Selection first_tile{launcher::SelectionArea::TileStrip, 0};
    FUZZ_CHECK(state.selection == (state.results.empty() ? first_tile : first_row));
    return 0;
}
