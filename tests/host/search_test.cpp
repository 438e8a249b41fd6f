#include <gtest/gtest.h>

#include "launcher/search.h"

namespace {

using apps::ItemKind;
using apps::LauncherItem;
using launcher::MatchCategory;
using launcher::SelectionArea;

struct Match {
    const char* query;
    const char* name;
    std::optional<MatchCategory> category;
};

TEST(MatchCategory, FiveCategoriesInOrder) {
    for (const auto& [query, name, category] : std::initializer_list<Match>{
             {"", "Anything", MatchCategory::Exact},
             {"   ", "Anything", MatchCategory::Exact},
             {"note", "Notepad", MatchCategory::Prefix},
             {"note", "Notepad++", MatchCategory::Prefix},
             {"note", "Microsoft Teams (work or school)", std::nullopt},
             {"notepad", "Notepad", MatchCategory::Exact},
             {"notepad", "Notepad++", MatchCategory::Prefix},
             {"school", "Microsoft Teams (work or school)", MatchCategory::WordPrefix},
             {"soft", "Microsoft Edge", MatchCategory::Substring},
             {"mse", "Microsoft Edge", MatchCategory::Subsequence},
             {"xyz", "Microsoft Edge", std::nullopt},
             {"CALC", "Calculator", MatchCategory::Prefix},
             {"  CALC\xE3\x80\x80", "Calculator", MatchCategory::Prefix},
             {"visual st", "Visual Studio Code", MatchCategory::Prefix},
             {"vs code", "Visual Studio Code", MatchCategory::Subsequence},
             {"studio code", "Visual Studio Code", MatchCategory::Substring},  // a space never begins a word
             {"code", "Visual Studio Code", MatchCategory::WordPrefix},
             {"c++", "Notepad++ (c++ edition)", MatchCategory::Substring},  // "+" is no word character
             {"s", "it's", MatchCategory::WordPrefix},  // an apostrophe separates words
             {"final", "Report-final", MatchCategory::WordPrefix},
             {"final", "Report\xE2\x85\xAB" "final", MatchCategory::Substring},  // Ⅻ (Nl) is part of the word
             {"price", "\xC2\xBD" "price", MatchCategory::Substring},            // ½ (No) too
             {"\xE3\x82\xBF\xE3\x83\xAF\xE3\x83\xBC",                             // タワー after U+3000
              "\xE6\x9D\xB1\xE4\xBA\xAC\xE3\x80\x80\xE3\x82\xBF\xE3\x83\xAF\xE3\x83\xBC", MatchCategory::WordPrefix},
             {"\xC4\xB0ST", "\xC4\xB0stanbul", MatchCategory::Prefix},       // İ folds alike on both sides
             {"istanbul", "\xC4\xB0stanbul", MatchCategory::Subsequence},   // "i̇stanbul" has a dot between
             {"\xCE\x9F\xCE\x94\xCE\x9F\xCE\xA3", "\xCE\x9F\xCE\x94\xCE\x9F\xCE\xA3 \xCE\xA0", MatchCategory::Prefix},
             {"\xCE\xBF\xCE\xB4\xCE\xBF\xCF\x83", "\xCE\x9F\xCE\x94\xCE\x9F\xCE\xA3", std::nullopt},  // medial σ ≠ ς
             {"STRASSE", "Stra\xC3\x9F" "e", std::nullopt},  // lower case only: ß is not ss
             {"a b", "ab", MatchCategory::Subsequence},
             {"ba", "ab", std::nullopt},
         }) {
        EXPECT_EQ(launcher::match_category(launcher::fold_query(query), name), category)
            << "query '" << query << "' name '" << name << "'";
    }
}

LauncherItem web(std::string name) { return {ItemKind::Web, "https://" + name + ".example", name}; }
LauncherItem app(std::string name) { return {ItemKind::App, name + "!App", name}; }
const LauncherItem EDIT{ItemKind::EditWebApps, std::nullopt, "Edit web apps"};

std::vector<std::string> names(const std::vector<LauncherItem>& items) {
    std::vector<std::string> out;
    for (const auto& i : items) out.push_back(i.name);
    return out;
}

launcher::LauncherState with_items(std::vector<LauncherItem> items, std::string query) {
    launcher::LauncherState s;
    s.items = std::move(items);
    s.query = std::move(query);
    s.selection = {SelectionArea::TileStrip, 3};
    return s;
}

TEST(RefreshResults, ByCategoryThenCatalogueOrder) {
    const std::vector<LauncherItem> catalogue = {
        web("Note board"), app("Microsoft Teams (work or school)"), app("My notes"), app("Notepad"),
        app("Notepad++"), app("Snotes"), EDIT};
    struct Query {
        const char* query;
        std::vector<std::string> results;
    };
    for (const auto& [query, expected] : std::initializer_list<Query>{
             {"note", {"Note board", "Notepad", "Notepad++", "My notes", "Snotes"}},
             {"ot", {"Note board", "My notes", "Notepad", "Notepad++", "Snotes", "Microsoft Teams (work or school)"}},
             {"notepad", {"Notepad", "Notepad++"}},
             {"school", {"Microsoft Teams (work or school)"}},
             {"xyz", {}},
         }) {
        auto s = with_items(catalogue, query);
        launcher::refresh_results(s);
        EXPECT_EQ(names(s.results), expected) << query;
        EXPECT_EQ(s.selection, (launcher::Selection{expected.empty() ? SelectionArea::TileStrip
                                                                     : SelectionArea::ResultList,
                                                    0}));
        EXPECT_EQ(names(s.tiles), std::vector<std::string>{"Note board"});
    }
}

TEST(RefreshResults, SixAtMostWithWebAppsFirstAndTilesIndependentOfTheQuery) {
    std::vector<LauncherItem> catalogue;
    for (const char* n : {"alpha", "amber", "apex", "aqua", "atlas", "aurora", "axis"}) catalogue.push_back(web(n));
    for (const char* n : {"Access", "Acrobat", "Zoom"}) catalogue.push_back(app(n));
    catalogue.push_back(EDIT);
    const std::vector<std::string> first_tiles = {"alpha", "amber", "apex", "aqua", "atlas"};
    for (const char* query : {"a", "", "   ", "zzz"}) {
        auto s = with_items(catalogue, query);
        launcher::refresh_results(s);
        if (std::string(query) == "zzz") {
            EXPECT_TRUE(s.results.empty());
            EXPECT_EQ(s.selection, (launcher::Selection{SelectionArea::TileStrip, 0}));
        } else {
            EXPECT_EQ(names(s.results),
                      (std::vector<std::string>{"alpha", "amber", "apex", "aqua", "atlas", "aurora"}))
                << "'" << query << "'";
        }
        EXPECT_EQ(names(s.tiles), first_tiles);
    }
}

TEST(RefreshResults, EmptyCatalogueGivesNothingAndSelectsTheAddTile) {
    auto s = with_items({}, "a");
    launcher::refresh_results(s);
    EXPECT_TRUE(s.results.empty());
    EXPECT_TRUE(s.tiles.empty());
    EXPECT_EQ(s.selection, (launcher::Selection{SelectionArea::TileStrip, 0}));
}

}  // namespace
