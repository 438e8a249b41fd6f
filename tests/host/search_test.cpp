#include <gtest/gtest.h>

#include "launcher/search.h"
#include "text/unicode.h"

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
             {"s", "it's", MatchCategory::WordPrefix},                      // an apostrophe separates words
             {"final", "Report-final", MatchCategory::WordPrefix},
             {"final",
              "Report\xE2\x85\xAB"
              "final",
              MatchCategory::Substring},  // Ⅻ (Nl) is part of the word
             {"price",
              "\xC2\xBD"
              "price",
              MatchCategory::Substring},               // ½ (No) too
             {"\xE3\x82\xBF\xE3\x83\xAF\xE3\x83\xBC",  // タワー after U+3000
              "\xE6\x9D\xB1\xE4\xBA\xAC\xE3\x80\x80\xE3\x82\xBF\xE3\x83\xAF\xE3\x83\xBC", MatchCategory::WordPrefix},
             {"\xC4\xB0ST", "\xC4\xB0stanbul", MatchCategory::Prefix},     // İ folds alike on both sides
             {"istanbul", "\xC4\xB0stanbul", MatchCategory::Subsequence},  // "i̇stanbul" has a dot between
             {"\xCE\x9F\xCE\x94\xCE\x9F\xCE\xA3", "\xCE\x9F\xCE\x94\xCE\x9F\xCE\xA3 \xCE\xA0", MatchCategory::Prefix},
             {"\xCE\xBF\xCE\xB4\xCE\xBF\xCF\x83", "\xCE\x9F\xCE\x94\xCE\x9F\xCE\xA3", std::nullopt},  // medial σ ≠ ς
             {"STRASSE",
              "Stra\xC3\x9F"
              "e",
              std::nullopt},  // lower case only: ß is not ss
             {"a b", "ab", MatchCategory::Subsequence},
             {"ba", "ab", std::nullopt},
         }) {
        EXPECT_EQ(launcher::match_category(launcher::fold_query(query), name), category)
            << "query '" << query << "' name '" << name << "'";
    }
}

// The category test written out step by step, words split explicitly, to
// check the shortcuts of the real one against.
std::optional<MatchCategory> reference_category(const std::string& q, const std::string& name) {
    const std::string n = text::to_lower(name);
    if (q.empty() || n == q) return MatchCategory::Exact;
    if (n.starts_with(q)) return MatchCategory::Prefix;
    std::string word;
    std::vector<std::string> words;
    for (std::size_t i = 0; i < n.size();) {
        const auto d = text::decode_at(n, i);
        if (d.valid && text::is_word_char(d.code)) {
            word += n.substr(i, d.length);
        } else {
            words.push_back(word);
            word.clear();
        }
        i += d.length;
    }
    words.push_back(word);
    for (const auto& w : words) {
        if (!w.empty() && w.starts_with(q)) return MatchCategory::WordPrefix;
    }
    if (n.find(q) != std::string::npos) return MatchCategory::Substring;
    std::vector<std::string> n_chars;
    for (std::size_t i = 0; i < n.size();) {
        const auto d = text::decode_at(n, i);
        n_chars.push_back(n.substr(i, d.length));
        i += d.length;
    }
    std::size_t j = 0;
    for (std::size_t i = 0; i < q.size();) {
        const auto d = text::decode_at(q, i);
        const std::string c = q.substr(i, d.length);
        i += d.length;
        if (d.valid && text::is_white_space(d.code)) continue;
        while (j < n_chars.size() && n_chars[j] != c) ++j;
        if (j == n_chars.size()) return std::nullopt;
        ++j;
    }
    return MatchCategory::Subsequence;
}

TEST(MatchCategory, AgreesWithTheStepByStepDefinitionOnRandomTexts) {
    // Letters, digits, separators, multi-byte letters and white space, from a
    // small set so that matches of every kind happen often.
    const std::vector<std::string> pieces = {"a",
                                             "b",
                                             "A",
                                             "1",
                                             " ",
                                             "-",
                                             "(",
                                             "\xC3\xA9",
                                             "\xC3\x89",
                                             "\xCE\xA3",
                                             "\xE2\x85\xAB",
                                             "\xE3\x80\x80",
                                             "\xE6\xBC\xA2",
                                             "'",
                                             "\xC4\xB0"};
    std::uint32_t seed = 7;
    auto next = [&](std::uint32_t n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % n;
    };
    auto random_text = [&](std::uint32_t max) {
        std::string s;
        for (std::uint32_t i = next(max + 1); i > 0; --i) s += pieces[next(static_cast<std::uint32_t>(pieces.size()))];
        return s;
    };
    int checked[6] = {};
    for (int round = 0; round < 20000; ++round) {
        const std::string q = launcher::fold_query(random_text(3));
        const std::string name = random_text(8);
        const auto expected = reference_category(q, name);
        ASSERT_EQ(launcher::match_category(q, name), expected) << "query '" << q << "' name '" << name << "'";
        ++checked[expected ? static_cast<int>(*expected) : 5];
    }
    for (int c = 0; c < 6; ++c) EXPECT_GT(checked[c], 100) << "category " << c << " was rarely reached";
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
    const std::vector<LauncherItem> catalogue = {web("Note board"),
                                                 app("Microsoft Teams (work or school)"),
                                                 app("My notes"),
                                                 app("Notepad"),
                                                 app("Notepad++"),
                                                 app("Snotes"),
                                                 EDIT};
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
        // The names folded while ranking, folded when the catalogue was
        // adopted, and folded for another catalogue of the same length that
        // this one then replaced: the ranking must not tell them apart.
        auto fresh = with_items(catalogue, query);
        auto adopted = with_items(catalogue, query);
        launcher::fold_names(adopted);
        auto replaced = with_items({catalogue.rbegin(), catalogue.rend()}, query);
        launcher::fold_names(replaced);
        replaced.items = catalogue;
        for (auto* s : {&fresh, &adopted, &replaced}) {
            launcher::refresh_results(*s);
            EXPECT_EQ(names(s->results), expected) << query;
            EXPECT_EQ(s->selection, (launcher::Selection{
                                        expected.empty() ? SelectionArea::TileStrip : SelectionArea::ResultList, 0}));
            EXPECT_EQ(names(s->tiles), std::vector<std::string>{"Note board"});
        }
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
            EXPECT_EQ(names(s.results), (std::vector<std::string>{"alpha", "amber", "apex", "aqua", "atlas", "aurora"}))
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
