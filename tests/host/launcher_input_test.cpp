#include <gtest/gtest.h>

#include "launcher/input.h"
#include "launcher/search.h"

namespace {

using apps::ItemKind;
using apps::LauncherItem;
using launcher::LauncherCommand;
using launcher::LauncherMode;
using launcher::Selection;
using launcher::SelectionArea;
using Kind = LauncherCommand::Kind;

LauncherItem web(std::string name, std::string address) { return {ItemKind::Web, std::move(address), std::move(name)}; }
const LauncherItem MAIL = web("Mail", "https://mail.example");
const LauncherItem NOTES = web("Notes", "https://notes.example");
const LauncherItem NOTEPAD{ItemKind::App, "Notepad!App", "Notepad"};
const LauncherItem EDIT{ItemKind::EditWebApps, std::nullopt, "Edit web apps"};

// Four results (everything matches the empty query) and two tiles.
launcher::LauncherState catalogue_state() {
    launcher::LauncherState s;
    s.items = {MAIL, NOTES, NOTEPAD, EDIT};
    launcher::set_mode(s, LauncherMode::Search);
    return s;
}

constexpr Selection RL(std::size_t i) { return {SelectionArea::ResultList, i}; }
constexpr Selection TS(std::size_t i) { return {SelectionArea::TileStrip, i}; }

TEST(LauncherKeys, EachModeAnswersItsKeys) {
    struct KeyCase {
        const char* what;
        LauncherMode mode;
        Selection selection;
        std::uint16_t vk;
        LauncherCommand expected;
        LauncherMode mode_after;
    };
    const auto redraw = LauncherCommand::redraw();
    const auto nothing = LauncherCommand::nothing();
    using M = LauncherMode;
    for (const auto& c : std::initializer_list<KeyCase>{
             {"enter on a row", M::Search, RL(2), win::KEY_RETURN, LauncherCommand::launch(NOTEPAD), M::Search},
             {"enter on a tile", M::Search, TS(1), win::KEY_RETURN, LauncherCommand::launch(NOTES), M::Search},
             {"esc closes", M::Search, RL(0), win::KEY_ESCAPE, LauncherCommand::close(), M::Search},
             {"an arrow redraws", M::Search, RL(0), win::KEY_ARROW_DOWN, redraw, M::Search},
             {"delete on a tile", M::Search, TS(0), win::KEY_DELETE, redraw, M::ConfirmRemove},
             {"delete on the Add tile", M::Search, TS(2), win::KEY_DELETE, nothing, M::Search},
             {"delete on a row", M::Search, RL(0), win::KEY_DELETE, nothing, M::Search},
             {"tab", M::Search, RL(0), 0x09, nothing, M::Search},
             {"home", M::Search, RL(0), 0x24, nothing, M::Search},
             {"enter without an address", M::AddWebApp, TS(0), win::KEY_RETURN, redraw, M::AddWebApp},
             {"esc back to search", M::AddWebApp, TS(0), win::KEY_ESCAPE, redraw, M::Search},
             {"no arrows", M::AddWebApp, TS(0), win::KEY_ARROW_LEFT, nothing, M::AddWebApp},
             {"no delete", M::AddWebApp, TS(0), win::KEY_DELETE, nothing, M::AddWebApp},
             {"enter removes", M::ConfirmRemove, TS(0), win::KEY_RETURN, LauncherCommand::remove(MAIL),
              M::ConfirmRemove},
             {"esc keeps", M::ConfirmRemove, TS(0), win::KEY_ESCAPE, redraw, M::Search},
             {"no arrows", M::ConfirmRemove, TS(0), win::KEY_ARROW_UP, nothing, M::ConfirmRemove},
         }) {
        auto s = catalogue_state();
        if (c.mode == M::ConfirmRemove) s.pending_removal = MAIL;
        s.mode = c.mode;
        s.selection = c.selection;
        EXPECT_EQ(launcher::key_down(s, c.vk), c.expected) << c.what;
        EXPECT_EQ(s.mode, c.mode_after) << c.what;
        // Leaving ConfirmRemove forgets what it asked about; Delete on a tile asks about that tile.
        if (c.mode_after == M::ConfirmRemove) {
            EXPECT_EQ(s.pending_removal, MAIL) << c.what;
        } else {
            EXPECT_FALSE(s.pending_removal) << c.what;
        }
    }
}

TEST(LauncherKeys, ConfirmRemoveWithoutAPendingItemGoesBack) {
    auto s = catalogue_state();
    s.mode = LauncherMode::ConfirmRemove;
    EXPECT_EQ(launcher::press_enter(s), LauncherCommand::redraw());
    EXPECT_EQ(s.mode, LauncherMode::Search);
}

TEST(LauncherKeys, SelectionMovesStopAtTheEdges) {
    struct MoveCase {
        std::size_t results, tiles;
        Selection from;
        std::uint16_t vk;
        Selection to;
    };
    const std::uint16_t up = win::KEY_ARROW_UP, down = win::KEY_ARROW_DOWN;
    const std::uint16_t left = win::KEY_ARROW_LEFT, right = win::KEY_ARROW_RIGHT;
    for (const auto& c : std::initializer_list<MoveCase>{
             {3, 2, RL(0), up, RL(0)},
             {3, 2, RL(2), up, RL(1)},
             {3, 2, RL(1), down, RL(2)},
             {3, 2, RL(2), down, TS(0)},
             {0, 2, RL(0), down, TS(0)},
             {3, 2, RL(1), left, RL(1)},
             {3, 2, RL(1), right, RL(1)},
             {3, 2, TS(1), up, RL(2)},
             {0, 2, TS(1), up, TS(1)},
             {3, 2, TS(1), down, TS(1)},
             {3, 2, TS(0), left, TS(0)},
             {3, 2, TS(2), left, TS(1)},
             {3, 2, TS(1), right, TS(2)},
             {3, 2, TS(2), right, TS(2)},
             {3, 0, TS(0), right, TS(0)},
             {6, 5, RL(5), down, TS(0)},
             {6, 5, TS(4), right, TS(5)},
         }) {
        launcher::LauncherState s;
        s.results.assign(c.results, NOTEPAD);
        s.tiles.assign(c.tiles, MAIL);
        s.selection = c.from;
        EXPECT_EQ(launcher::key_down(s, c.vk), LauncherCommand::redraw());
        EXPECT_EQ(s.selection, c.to) << c.results << " results, " << c.tiles << " tiles, from "
                                     << static_cast<int>(c.from.area) << "/" << c.from.index << " key " << c.vk;
    }
}

TEST(LauncherKeys, EnterOnTheAddTileSavesAnAddressOrAsksForOne) {
    struct AddCase {
        LauncherMode mode;
        const char* query;
        LauncherCommand expected;
        LauncherMode mode_after;
        bool error_line;
    };
    const auto example = LauncherCommand::save({"example.org", "https://example.org"});
    for (const auto& c : std::initializer_list<AddCase>{
             {LauncherMode::Search, "example.org", example, LauncherMode::Search, false},
             {LauncherMode::Search, "two words", LauncherCommand::redraw(), LauncherMode::AddWebApp, false},
             {LauncherMode::Search, "", LauncherCommand::redraw(), LauncherMode::AddWebApp, false},
             {LauncherMode::AddWebApp, "example.org", example, LauncherMode::AddWebApp, false},
             {LauncherMode::AddWebApp, "Post = https://mail.example/in?a=b",
              LauncherCommand::save({"Post", "https://mail.example/in?a=b"}), LauncherMode::AddWebApp, false},
             {LauncherMode::AddWebApp, "localhost", LauncherCommand::redraw(), LauncherMode::AddWebApp, true},
             {LauncherMode::AddWebApp, "", LauncherCommand::redraw(), LauncherMode::AddWebApp, true},
         }) {
        auto s = catalogue_state();
        s.mode = c.mode;
        s.query = c.query;
        s.selection = TS(s.tiles.size());
        EXPECT_EQ(launcher::press_enter(s), c.expected) << c.query;
        EXPECT_EQ(s.mode, c.mode_after) << c.query;
        EXPECT_EQ(s.error_line.value_or(""), c.error_line ? "That does not look like a web address." : "");
    }
}

TEST(LauncherTyping, CharactersAndBackspaceByScalarValue) {
    struct TypeCase {
        const char* what;
        LauncherMode mode;
        std::string query;
        std::vector<std::uint16_t> units;
        std::string expected;
        Kind last;
    };
    using M = LauncherMode;
    for (const auto& c : std::initializer_list<TypeCase>{
             {"letters", M::Search, "", {'n', 'o'}, "no", Kind::Redraw},
             {"latin-1 and BMP",
              M::Search,
              "",
              {0xE9, 0x20AC, 0x30BF},
              "\xC3\xA9\xE2\x82\xAC\xE3\x82\xBF",
              Kind::Redraw},
             {"a surrogate pair adds nothing", M::Search, "a", {0xD83D, 0xDE00}, "a", Kind::Nothing},
             {"backspace takes one character", M::Search, "a\xE2\x82\xAC", {8}, "a", Kind::Redraw},
             {"backspace on two bytes", M::Search, "\xC3\x9F", {8}, "", Kind::Redraw},
             {"backspace on nothing", M::Search, "", {8}, "", Kind::Nothing},
             {"tab", M::Search, "a", {0x09}, "a", Kind::Nothing},
             {"ctrl+a", M::Search, "a", {0x01}, "a", Kind::Nothing},
             {"ctrl+backspace", M::Search, "a", {0x7F}, "a", Kind::Nothing},
             {"C1 control", M::Search, "a", {0x85}, "a", Kind::Nothing},
             {"no-break space is typed", M::Search, "a", {0xA0}, "a\xC2\xA0", Kind::Redraw},
             {"add mode types", M::AddWebApp, "ex", {'.', 'o'}, "ex.o", Kind::Redraw},
             {"confirm mode ignores", M::ConfirmRemove, "", {'a'}, "", Kind::Nothing},
             {"confirm mode ignores backspace", M::ConfirmRemove, "", {8}, "", Kind::Nothing},
         }) {
        auto s = catalogue_state();
        s.mode = c.mode;
        s.query = c.query;
        Kind last = Kind::Nothing;
        for (auto u : c.units) last = launcher::type_char(s, u).kind;
        EXPECT_EQ(s.query, c.expected) << c.what;
        EXPECT_EQ(last, c.last) << c.what;
    }
}

TEST(LauncherTyping, SearchReRanksWhileAddWebAppKeepsTheListAndLosesTheErrorLine) {
    auto s = catalogue_state();
    s.selection = TS(1);
    launcher::type_char(s, 'p');  // inside "Notepad" and "Edit web apps"
    EXPECT_EQ(s.results, (std::vector<LauncherItem>{NOTEPAD, EDIT}));
    EXPECT_EQ(s.selection, RL(0));
    launcher::type_char(s, 'q');
    EXPECT_TRUE(s.results.empty());
    EXPECT_EQ(s.selection, TS(0));

    launcher::set_mode(s, LauncherMode::AddWebApp);
    const auto before = s.results;
    s.error_line = launcher::NOT_A_WEB_ADDRESS;
    launcher::type_char(s, 'z');
    EXPECT_EQ(s.results, before);
    EXPECT_FALSE(s.error_line);
}

TEST(LauncherMouse, HoverFindsTilesAndTheirMinusCircleInSearchModeOnly) {
    struct HoverCase {
        LauncherMode mode;
        std::int32_t x, y;
        std::optional<std::size_t> tile;
        bool remove;
    };
    for (const auto& c : std::initializer_list<HoverCase>{
             {LauncherMode::Search, 20, 312, 0, false},
             {LauncherMode::Search, 99, 395, 0, false},
             {LauncherMode::Search, 100, 350, std::nullopt, false},  // the gap
             {LauncherMode::Search, 60, 396, std::nullopt, false},
             {LauncherMode::Search, 187, 330, 1, false},
             {LauncherMode::Search, 166, 316, 1, true},
             {LauncherMode::Search, 183, 333, 1, true},
             {LauncherMode::Search, 184, 320, 1, false},
             {LauncherMode::Search, 500, 350, std::nullopt, false},  // the Add tile is never hovered
             {LauncherMode::AddWebApp, 60, 350, std::nullopt, false},
         }) {
        auto s = catalogue_state();
        s.mode = c.mode;
        launcher::update_hover(s, c.x, c.y);
        EXPECT_EQ(s.hovered_tile, c.tile) << c.x << "," << c.y;
        EXPECT_EQ(s.remove_hovered, c.remove) << c.x << "," << c.y;
    }
}

TEST(LauncherMouse, HoverReportsOnlyVisibleChanges) {
    auto s = catalogue_state();
    EXPECT_FALSE(launcher::update_hover(s, 300, 100));  // nothing before, nothing now
    EXPECT_TRUE(launcher::update_hover(s, 60, 350));    // tile 0
    EXPECT_FALSE(launcher::update_hover(s, 61, 351));   // still tile 0
    EXPECT_TRUE(launcher::update_hover(s, 85, 320));    // its minus circle
    EXPECT_TRUE(launcher::update_hover(s, 150, 350));   // tile 1
    EXPECT_TRUE(launcher::leave_window(s));
    EXPECT_FALSE(launcher::leave_window(s));
}

}  // namespace
