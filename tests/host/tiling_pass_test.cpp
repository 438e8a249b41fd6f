#include <gtest/gtest.h>

#include <optional>

#include "daemon/tiling_pass.h"
#include "layout/actions.h"
#include "pass_rig.h"
#include "sim_desktop.h"

namespace {

using layout::Direction;
using layout::Placement;
using quilt_daemon::ActionTag;
using quilt_daemon::DaemonEvent;
using win::Rect;

// One tiled window on a 1920 x 1080 monitor, as plan_moves sees it. Its tile
// is T; each row gives its record and frame before the pass and what the pass
// decides.
TEST(PlanMoves, MovesAWindowOnlyWhenItsTileChangedOrItWasMovedFromWhereItSettled) {
    const win::Hwnd w{0x10};
    const win::WorkArea monitor{win::Hmonitor{1}, {0, 0, 1920, 1040}, {0, 0, 1920, 1080}, true};
    const Rect T{8, 8, 1904, 1024};
    const Rect off{300, 200, 700, 500};
    using Record = std::optional<layout::PlacedRecord>;
    struct Case {
        const char* name;
        Record before;
        Rect frame;
        bool moving, maximized, listed;
        bool moved;
        Record after;
    };
    const layout::PlacedRecord fresh{T, false, {}};
    const Case cases[] = {
        {"never moved", std::nullopt, off, false, false, true, true, fresh},
        {"its tile changed", layout::PlacedRecord{off, true, off}, off, false, false, true, true, fresh},
        {"moved last pass: remembered where it came to rest", fresh, off, false, false, true, false,
         layout::PlacedRecord{T, true, off}},
        {"still where it settled", layout::PlacedRecord{T, true, off}, off, false, false, true, false,
         layout::PlacedRecord{T, true, off}},
        {"moved away from where it settled", layout::PlacedRecord{T, true, T}, off, false, false, true, true, fresh},
        {"in the user's hand", layout::PlacedRecord{T, true, T}, off, true, false, true, false,
         layout::PlacedRecord{T, true, T}},
        {"maximised after the first pass", std::nullopt, off, false, true, true, false, std::nullopt},
        {"gone from the enumeration", std::nullopt, off, false, false, false, false, std::nullopt},
    };
    for (const auto& c : cases) {
        layout::LayoutState state;
        layout::sync(state, {monitor}, {{{}, w, monitor.handle}});
        if (c.before) state.placed[w] = *c.before;
        std::vector<win::WindowInfo> windows(1);
        windows[0].hwnd = w;
        windows[0].frame_rect = c.frame;
        if (!c.listed) windows.clear();
        const std::vector<win::WorkArea> monitors{monitor};
        const std::unordered_set<win::Hwnd> maximized =
            c.maximized ? std::unordered_set<win::Hwnd>{w} : std::unordered_set<win::Hwnd>{};
        const quilt_daemon::PassView view{windows, monitors, w, c.moving ? w : win::Hwnd{}, maximized};

        const quilt_daemon::Moves moves = quilt_daemon::plan_moves(state, view);
        const std::vector<Placement> expected = c.moved ? std::vector<Placement>{{w, T}} : std::vector<Placement>{};
        EXPECT_EQ(moves.moves, expected) << c.name;
        EXPECT_EQ(moves.border, w) << c.name;
        const auto record = state.placed.find(w);
        ASSERT_EQ(record != state.placed.end(), c.after.has_value()) << c.name;
        if (!c.after) continue;
        EXPECT_EQ(record->second.target, c.after->target) << c.name;
        EXPECT_EQ(record->second.settled, c.after->settled) << c.name;
        if (c.after->settled) {
            EXPECT_EQ(record->second.settled_rect, c.after->settled_rect) << c.name;
        }
    }
}

TEST(PlanMoves, ASecondPassWithNothingNewMovesNothingAndTheBorderFollowsTheFocus) {
    const win::WorkArea monitor{win::Hmonitor{1}, {0, 0, 1920, 1040}, {0, 0, 1920, 1080}, true};
    const std::vector<win::WorkArea> monitors{monitor};
    const win::Hwnd a{0x10}, b{0x20}, floating{0x30};
    layout::LayoutState state;
    layout::sync(state, monitors, {{{}, a, monitor.handle}, {{}, b, monitor.handle}});
    std::vector<win::WindowInfo> windows(2);
    windows[0].hwnd = a;
    windows[1].hwnd = b;
    const std::unordered_set<win::Hwnd> none;

    const auto first = quilt_daemon::plan_moves(state, {windows, monitors, b, {}, none});
    ASSERT_EQ(first.moves, (std::vector<Placement>{{a, {8, 8, 948, 1024}}, {b, {964, 8, 948, 1024}}}));
    EXPECT_EQ(first.border, b);
    // The windows land on their tiles; every later pass leaves them there.
    for (std::size_t i = 0; i < 2; ++i) windows[i].frame_rect = first.moves[i].rect;
    for (win::Hwnd foreground : {a, floating, win::Hwnd{}}) {
        const auto again = quilt_daemon::plan_moves(state, {windows, monitors, foreground, {}, none});
        EXPECT_TRUE(again.moves.empty());
        EXPECT_EQ(again.border, foreground == a ? std::optional<win::Hwnd>(a) : std::nullopt);
    }
}

// A desktop with the daemon's whole context, as run_daemon keeps it.
class Daemon : public ::testing::Test, protected PassRig {
  protected:
    void SetUp() override {
        d.env["LOCALAPPDATA"] = "C:\\Users\\u\\AppData\\Local";
        left = d.add_monitor({0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true);
    }
    win::Hwnd open(Rect r = {100, 100, 800, 600}) {
        sim::Window w;
        w.rect = r;
        const auto h = d.add_window(w);
        d.foreground = h;
        return h;
    }
    void pass(DaemonEvent e = DaemonEvent::retile()) { quilt_daemon::tiling_pass(d, ctx, e); }
    void shortcut(ActionTag tag, std::uint8_t payload = 0) { pass(DaemonEvent::shortcut({tag, payload})); }
    void shortcut(ActionTag tag, Direction dir) { pass(DaemonEvent::shortcut(quilt_daemon::action(tag, dir))); }
    std::size_t moves_of(win::Hwnd h) {
        return static_cast<std::size_t>(
            std::count_if(d.moves.begin(), d.moves.end(), [&](const sim::Move& m) { return m.hwnd == h; }));
    }

    sim::Desktop d;
    win::Hmonitor left;
};

// After a quiet pass, a periodic one runs in full only when its glance shows
// a change a full pass would act on.
TEST(PeriodicPass, GoesOnToTheFullPassOnlyWhenTheDesktopChanged) {
    using Change = void (*)(sim::Desktop&, win::Hwnd a, win::Hwnd hidden);
    struct Case {
        const char* name;
        Change change;
        bool full;
    };
    const Case cases[] = {
        {"nothing", [](sim::Desktop&, win::Hwnd, win::Hwnd) {}, false},
        {"a hidden window moved", [](sim::Desktop& d, win::Hwnd, win::Hwnd h) { d.window(h).rect.left += 50; }, false},
        {"a title changed", [](sim::Desktop& d, win::Hwnd a, win::Hwnd) { d.window(a).title = u"Other"; }, false},
        {"a rectangle changed", [](sim::Desktop& d, win::Hwnd a, win::Hwnd) { d.window(a).rect.top += 50; }, true},
        {"a window was hidden", [](sim::Desktop& d, win::Hwnd a, win::Hwnd) { d.window(a).visible = false; }, true},
        {"a window was shown", [](sim::Desktop& d, win::Hwnd, win::Hwnd h) { d.window(h).visible = true; }, true},
        {"a window opened", [](sim::Desktop& d, win::Hwnd, win::Hwnd) { d.add_window({}); }, true},
        {"a window closed", [](sim::Desktop& d, win::Hwnd a, win::Hwnd) { d.close_window(a); }, true},
        {"a title was taken away", [](sim::Desktop& d, win::Hwnd a, win::Hwnd) { d.window(a).title.clear(); }, true},
        {"a style changed", [](sim::Desktop& d, win::Hwnd a, win::Hwnd) { d.window(a).style = 0; }, true},
        {"a window was cloaked", [](sim::Desktop& d, win::Hwnd a, win::Hwnd) { d.window(a).cloaked = true; }, true},
        {"the focus moved", [](sim::Desktop& d, win::Hwnd a, win::Hwnd) { d.foreground = a; }, true},
    };
    for (const auto& c : cases) {
        sim::Desktop d;
        d.env["LOCALAPPDATA"] = "C:\\Users\\u\\AppData\\Local";
        d.add_monitor({0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true);
        sim::Window hidden_window;
        hidden_window.visible = false;
        const auto hidden = d.add_window(hidden_window);
        const auto a = d.add_window({});
        d.foreground = d.add_window({});
        PassRig rig;
        // The first pass moves the windows, the next one finds them settled.
        quilt_daemon::tiling_pass(d, rig.ctx, DaemonEvent::retile());
        quilt_daemon::tiling_pass(d, rig.ctx, DaemonEvent::periodic_retile());
        ASSERT_EQ(d.moves.size(), 2u) << c.name;

        c.change(d, a, hidden);
        const auto reads = d.owner_reads;
        quilt_daemon::tiling_pass(d, rig.ctx, DaemonEvent::periodic_retile());
        EXPECT_EQ(d.owner_reads != reads, c.full) << c.name;
    }
}

// Between the debounce and the last move the pass is all there is: it moves
// each window from what its enumeration read, and asks nothing again.
TEST_F(Daemon, APassMovesWindowsFromWhatItsEnumerationRead) {
    const auto a = open();
    pass();
    const auto b = open();
    const auto c = open({50, 60, 700, 500});
    d.show_window(c, win::SHOW_MAXIMIZED);
    const auto rects = d.rect_reads, zooms = d.zoom_reads;
    const auto moves = d.moves.size();
    pass();
    EXPECT_EQ(d.rect_reads - rects, 3u);  // once each, in the enumeration
    EXPECT_EQ(d.zoom_reads, zooms);
    EXPECT_EQ(d.moves.size() - moves, 2u);  // a and b; c stays maximised as the user made it
    EXPECT_EQ(d.frame_of(a), (Rect{8, 8, 948, 1024}));
    EXPECT_EQ(d.frame_of(b), (Rect{964, 524, 948, 508}));  // below the tile c keeps
    EXPECT_TRUE(d.window(c).maximized);
}

TEST_F(Daemon, MaximizedWindowsAreTiledOnTheFirstPassOnly) {
    const auto a = open();
    d.show_window(a, win::SHOW_MAXIMIZED);
    pass();
    EXPECT_FALSE(d.window(a).maximized);
    // Restored, it shows its borders; a pass that follows at once moves it.
    EXPECT_EQ(d.timers.count(shared.debounce_timer), 1u);
    pass();
    EXPECT_EQ(d.frame_of(a), (Rect{8, 8, 1904, 1024}));
    const auto b = open();
    d.show_window(b, win::SHOW_MAXIMIZED);
    pass();
    EXPECT_TRUE(d.window(b).maximized);  // the user's choice stands
    EXPECT_EQ(moves_of(b), 0u);
}

TEST_F(Daemon, NewWindowGoesNextToTheFocusedOneEvenOnAnotherMonitor) {
    const auto right = d.add_monitor({1920, 0, 860, 600}, {1920, 0, 860, 600});
    const auto a = open({2000, 100, 800, 600});  // on the right monitor
    pass();
    EXPECT_EQ(layout::tree_of(state, a)->monitor, right);
    d.foreground = a;
    const auto b = open({100, 100, 800, 600});  // appears on the left monitor
    d.foreground = a;
    pass();
    EXPECT_EQ(layout::tree_of(state, b)->monitor, right);
    // A third one would leave tiles under 400 x 300 there: it goes on its own monitor.
    const auto c = open({100, 100, 800, 600});
    d.foreground = b;
    pass();
    EXPECT_EQ(layout::tree_of(state, c)->monitor, left);
}

TEST_F(Daemon, AnApplicationsOwnFullScreenIsLeftAloneUntilToggled) {
    const auto game = open({0, 0, 1920, 1080});
    pass();
    EXPECT_FALSE(layout::is_tiled(state, game));
    EXPECT_TRUE(d.moves.empty());

    const auto a = open();
    pass();
    shortcut(ActionTag::ToggleFullscreen);
    EXPECT_EQ(d.frame_of(a), (Rect{0, 0, 1920, 1080}));
    pass();
    EXPECT_TRUE(layout::is_tiled(state, a));  // covering its monitor, but by our doing
    shortcut(ActionTag::ToggleFullscreen);
    EXPECT_EQ(d.frame_of(a), (Rect{8, 8, 1904, 1024}));
}

TEST_F(Daemon, CloakedWindowsAreSkippedUnlessTheManagerPlacesThemOnAnotherDesktop) {
    const auto here = open();
    const auto away = open();
    d.window(away).cloaked = true;
    pass();
    EXPECT_TRUE(layout::is_tiled(state, here));
    EXPECT_FALSE(layout::is_tiled(state, away));  // no desktop manager: cloaked means skipped

    d.desktop_manager_installed = true;
    ASSERT_TRUE(d.open_desktop_manager().ok());
    d.window(away).desktop[0] = 2;
    pass();
    ASSERT_TRUE(layout::is_tiled(state, away));
    EXPECT_EQ(layout::tree_of(state, away)->desktop.bytes[0], 2);
    EXPECT_EQ(d.frame_of(away), (Rect{8, 8, 1904, 1024}));  // alone on its own desktop's tree
    EXPECT_EQ(d.frame_of(here), (Rect{8, 8, 1904, 1024}));
}

// Windows that a failed save kept in place are not taken as settled there:
// every pass tries again, and the first that can save moves them.
TEST_F(Daemon, AfterAFailedSaveTheWindowsMoveOnceSavingWorks) {
    d.env.erase("LOCALAPPDATA");
    d.read_only_folders.insert("C:\\Users\\user\\AppData\\Local\\Temp");
    const auto a = open();
    const std::string refused =
        "Could not save window positions, so nothing was moved: Access is denied. (os error 5)\n";
    pass();
    pass();
    EXPECT_TRUE(d.moves.empty());
    EXPECT_EQ(d.err, refused);  // said once, not every few seconds
    EXPECT_EQ(d.out, "");

    d.read_only_folders.clear();
    d.err.clear();
    pass();
    EXPECT_EQ(d.frame_of(a), (Rect{8, 8, 1904, 1024}));
    EXPECT_EQ(d.out, "Re-tiled: moved 1 window(s).\n");
    EXPECT_EQ(d.err, "");
}

// The hung window is said once, and it takes its tile once it answers
// again instead of being taken as settled where it hung.
TEST_F(Daemon, AHungWindowIsReportedOnceTheOthersStillMoveAndItIsTiledOnceItAnswers) {
    const auto a = open();
    const auto b = open();
    d.window(b).hung = true;
    pass();
    pass();
    EXPECT_EQ(d.err, "Could not move window " + win::format_hwnd(b) + ": the window is not responding\n");
    EXPECT_EQ(d.out, "Re-tiled: moved 1 window(s).\n");
    EXPECT_EQ(moves_of(a), 1u);
    EXPECT_EQ(moves_of(b), 0u);

    d.window(b).hung = false;
    pass();
    EXPECT_EQ(d.frame_of(b), (Rect{8, 8, 948, 1024}));
    EXPECT_EQ(moves_of(a), 1u);
}

// Not yet hung in the system's eyes, a window whose thread reads no messages
// would keep a waiting daemon from every shortcut and from stopping. The pass
// only posts: the window moves when it wakes, and the next passes see it there.
TEST_F(Daemon, APassNeverWaitsOnAWindowThatDoesNotAnswer) {
    const auto a = open();
    const auto b = open();
    d.show_window(b, win::SHOW_MAXIMIZED);
    d.window(a).asleep = true;
    d.window(b).asleep = true;
    pass();
    pass();
    EXPECT_EQ(d.waited_on, std::vector<std::string>{});
    EXPECT_EQ(d.frame_of(a), (Rect{100, 100, 800, 600}));
    d.wake(a);
    d.wake(b);
    pass();
    EXPECT_EQ(d.frame_of(b), (Rect{8, 8, 948, 1024}));
    EXPECT_EQ(d.frame_of(a), (Rect{964, 8, 948, 1024}));
    d.moves.clear();
    pass();
    pass();
    EXPECT_TRUE(d.moves.empty());
}

// Two tiles A | B on one monitor, A focused, as the actions' examples have them.
class Actions : public Daemon {
  protected:
    void SetUp() override {
        Daemon::SetUp();
        b = open();
        a = open();  // topmost, so first in the enumeration: the left tile
        pass();
        d.foreground = a;
        pass();
        d.moves.clear();
        d.out.clear();
    }
    win::Hwnd a, b;
};

TEST_F(Actions, FocusFindsTheNeighbourOnlyOnThatSide) {
    shortcut(ActionTag::Focus, Direction::Left);
    EXPECT_EQ(d.foreground, a);
    shortcut(ActionTag::Focus, Direction::Right);
    EXPECT_EQ(d.foreground, b);
    EXPECT_EQ(state.anchor, b);
    d.foreground_refused = true;
    shortcut(ActionTag::Focus, Direction::Left);
    EXPECT_EQ(d.err, "Windows refused to move focus to window " + win::format_hwnd(a) + ".\n");
}

TEST_F(Actions, SwapTradesTilesAndKeepsTheFocus) {
    shortcut(ActionTag::Swap, Direction::Right);
    EXPECT_EQ(d.frame_of(a), (Rect{964, 8, 948, 1024}));
    EXPECT_EQ(d.frame_of(b), (Rect{8, 8, 948, 1024}));
    EXPECT_EQ(d.foreground, a);
}

TEST_F(Actions, ResizeStopsWhereATileWouldGetTooNarrow) {
    shortcut(ActionTag::ResizeWidth, 1);
    EXPECT_EQ(d.frame_of(a), (Rect{8, 8, 1046, 1024}));
    EXPECT_EQ(d.frame_of(b), (Rect{1062, 8, 850, 1024}));
    shortcut(ActionTag::ResizeHeight, 1);  // no top-and-bottom split
    EXPECT_EQ(d.frame_of(a).width, 1046);

    auto ratio = [&] { return state.trees.begin()->second.root.ratio; };
    std::vector<int> seen;
    for (int i = 0; i < 8; ++i) {
        shortcut(ActionTag::ResizeWidth, 1);
        seen.push_back(ratio());
    }
    EXPECT_EQ(seen, (std::vector<int>{604, 656, 708, 760, 760, 760, 760, 760}));
    seen.clear();
    d.foreground = b;  // the divider moves the same way whichever side is focused
    for (int i = 0; i < 12; ++i) {
        shortcut(ActionTag::ResizeWidth, 0);
        seen.push_back(ratio());
    }
    EXPECT_EQ(seen, (std::vector<int>{708, 656, 604, 552, 500, 448, 396, 344, 292, 240, 240, 240}));
}

// A third window C, alone on a second monitor.
class Drops : public Actions {
  protected:
    void SetUp() override {
        Actions::SetUp();
        d.add_monitor({1920, 0, 1280, 1024}, {1920, 0, 1280, 1024});
        c = open({2000, 100, 800, 600});
        pass(DaemonEvent::drop(c, 2500, 500));  // a new window lands next to A; drop it over there
        EXPECT_EQ(d.frame_of(c), (Rect{1928, 8, 1264, 1008}));
        EXPECT_EQ(d.frame_of(a), (Rect{8, 8, 948, 1024}));
        d.moves.clear();
    }
    win::Hwnd c;
};

TEST_F(Drops, OverTheRightQuarterOfAWideTileTakesItsRightHalf) {
    d.close_window(b);
    pass();  // A alone: one wide tile
    pass(DaemonEvent::drop(c, 1700, 500));
    EXPECT_EQ(d.frame_of(a), (Rect{8, 8, 948, 1024}));
    EXPECT_EQ(d.frame_of(c), (Rect{964, 8, 948, 1024}));
}

TEST_F(Drops, OverTheLowerHalfOfATallTileGoesAfter) {
    pass(DaemonEvent::drop(c, 800, 520));  // exactly on the middle counts as after
    EXPECT_EQ(d.frame_of(a), (Rect{8, 8, 948, 508}));
    EXPECT_EQ(d.frame_of(c), (Rect{8, 524, 948, 508}));
    EXPECT_EQ(d.frame_of(b), (Rect{964, 8, 948, 1024}));
}

TEST_F(Drops, OverTheUpperPartOfATallTileGoesFirst) {
    pass(DaemonEvent::drop(c, 1400, 100));
    EXPECT_EQ(d.frame_of(c), (Rect{964, 8, 948, 508}));
    EXPECT_EQ(d.frame_of(b), (Rect{964, 524, 948, 508}));
    EXPECT_EQ(d.frame_of(a), (Rect{8, 8, 948, 1024}));
}

TEST_F(Drops, InAGapOrOffEveryMonitorChangesNothing) {
    for (win::Point p : {win::Point{960, 500}, win::Point{-50, 10}, win::Point{3, 500}, win::Point{500, 1036}}) {
        pass(DaemonEvent::drop(c, p.x, p.y));
        EXPECT_EQ(d.frame_of(a), (Rect{8, 8, 948, 1024}));
        EXPECT_EQ(d.frame_of(b), (Rect{964, 8, 948, 1024}));
        EXPECT_EQ(d.frame_of(c), (Rect{1928, 8, 1264, 1008}));
    }
    EXPECT_TRUE(d.moves.empty());
}

// Letting go inside its own tile (a plain click on the title bar is one) keeps
// the window where it is: taken out first, it would split its neighbour,
// which then covers that point, and the moved divider would snap back.
TEST_F(Actions, ADropInsideTheWindowsOwnTileChangesNothing) {
    shortcut(ActionTag::ResizeWidth, 1);
    const Rect a_tile{8, 8, 1046, 1024}, b_tile{1062, 8, 850, 1024};
    ASSERT_EQ(d.frame_of(a), a_tile);
    d.moves.clear();
    for (win::Point p : {win::Point{300, 500}, win::Point{1000, 20}, win::Point{8, 8}, win::Point{1053, 1031}}) {
        pass(DaemonEvent::drop(a, p.x, p.y));
        EXPECT_EQ(d.frame_of(a), a_tile);
        EXPECT_EQ(d.frame_of(b), b_tile);
    }
    EXPECT_TRUE(d.moves.empty());
}

TEST(HandleDrop, ADropThatWouldMakeATileTooSmallIsUndoneWhole) {
    const win::WorkArea left{win::Hmonitor{1}, {0, 0, 1920, 1040}, {0, 0, 1920, 1080}, true};
    const win::WorkArea right{win::Hmonitor{2}, {1920, 0, 1280, 1024}, {1920, 0, 1280, 1024}, false};
    const std::vector<win::WorkArea> monitors = {left, right};
    const win::Hwnd A{1}, B{2}, C{3}, D{4}, E{5};
    layout::LayoutState state;
    std::vector<layout::TileEntry> entries;
    for (auto [h, m] : {std::pair{A, left}, {B, left}, {C, left}, {D, right}, {E, right}}) {
        entries.push_back({{}, h, m.handle});
    }
    layout::sync(state, monitors, entries);  // A | (B over C) on the left, D over E on the right

    layout::handle_drop(state, monitors, entries, D, {1000, 100});  // before B, side by side
    EXPECT_EQ(entries[3].monitor, left.handle);
    EXPECT_EQ(layout::monitor_placements(state, monitors, {})[0][1], (Placement{D, {964, 8, 470, 508}}));

    layout::handle_drop(state, monitors, entries, E, {980, 100});  // over D: 250-pixel tiles
    EXPECT_EQ(entries[4].monitor, right.handle);
    EXPECT_EQ(layout::leaves(state.trees.at({{}, left.handle})), (std::vector<win::Hwnd>{A, D, B, C}));
    EXPECT_EQ(layout::leaves(state.trees.at({{}, right.handle})), (std::vector<win::Hwnd>{E}));
}

TEST_F(Actions, DropOnAnEmptyMonitorMakesTheWindowItsOnlyTile) {
    d.add_monitor({1920, 0, 1280, 1024}, {1920, 0, 1280, 1024});
    pass(DaemonEvent::drop(b, 2500, 500));
    EXPECT_EQ(d.frame_of(b), (Rect{1928, 8, 1264, 1008}));
    EXPECT_EQ(d.frame_of(a), (Rect{8, 8, 1904, 1024}));
}

TEST_F(Actions, FocusAndSwapReachAcrossMonitors) {
    d.add_monitor({1920, 0, 1280, 1024}, {1920, 0, 1280, 1024});
    pass(DaemonEvent::drop(b, 2500, 500));
    d.foreground = a;
    shortcut(ActionTag::Focus, Direction::Right);
    EXPECT_EQ(d.foreground, b);
    d.foreground = a;
    shortcut(ActionTag::Swap, Direction::Right);
    EXPECT_EQ(d.frame_of(a), (Rect{1928, 8, 1264, 1008}));
    EXPECT_EQ(d.frame_of(b), (Rect{8, 8, 1904, 1024}));
}

TEST_F(Actions, CloseGoesToTheForegroundWindowButNeverTheShell) {
    shortcut(ActionTag::CloseWindow);
    EXPECT_EQ(d.posted, (std::vector<sim::Desktop::Posted>{{a, 0x0010}}));
    sim::Window taskbar;
    taskbar.class_name = u"Shell_TrayWnd";
    taskbar.style = 0;
    d.foreground = d.add_window(taskbar);
    shortcut(ActionTag::CloseWindow);
    EXPECT_EQ(d.posted.size(), 1u);
}

TEST_F(Actions, TerminalAndBrowserReportWhatTheShellRefused) {
    d.env["USERPROFILE"] = "C:\\Users\\u";
    shortcut(ActionTag::OpenTerminal);
    ASSERT_EQ(d.shell_opens.size(), 1u);
    EXPECT_EQ(d.shell_opens[0], (sim::Desktop::ShellOpen{"wt.exe", "-w new", "C:\\Users\\u"}));
    d.shell_refuses = true;
    shortcut(ActionTag::OpenTerminal);
    shortcut(ActionTag::OpenBrowser);
    d.https_executable = u"C:\\Browser\\browser.exe";
    shortcut(ActionTag::OpenBrowser);
    EXPECT_EQ(d.err,
              "Could not open Windows Terminal (wt.exe).\n"
              "Could not find the default browser.\n"
              "Could not open C:\\Browser\\browser.exe.\n");
}

}  // namespace
