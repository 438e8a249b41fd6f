#include "layout/layout_state.h"

#include <gtest/gtest.h>

#include "sim_desktop.h"

namespace {

using layout::DesktopId;
using layout::LayoutState;
using layout::Placement;
using layout::TileEntry;
using win::Hwnd;
using win::Rect;

const Hwnd A{0xA}, B{0xB}, C{0xC}, D{0xD}, N{0x1E}, X{0x2A}, Y{0x2B}, Z{0x2C};
const DesktopId DESK1{{1}};
const DesktopId DESK2{{2}};

// Two monitors side by side: a 1920 x 1080 primary with a taskbar and a 1280 x 1024 one.
class Sync : public ::testing::Test {
  protected:
    void SetUp() override {
        m1 = d.add_monitor({0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true);
        m2 = d.add_monitor({1920, 0, 1280, 1024}, {1920, 0, 1280, 1024});
        monitors = d.enum_monitors();
    }

    TileEntry on1(Hwnd h, DesktopId desk = DESK1) { return {desk, h, m1}; }
    TileEntry on2(Hwnd h, DesktopId desk = DESK1) { return {desk, h, m2}; }

    std::vector<Hwnd> windows_on(win::Hmonitor m, DesktopId desk = DESK1) {
        auto it = state.trees.find({desk, m});
        return it == state.trees.end() ? std::vector<Hwnd>{} : layout::leaves(it->second);
    }

    sim::Desktop d;
    win::Hmonitor m1, m2;
    std::vector<win::WorkArea> monitors;
    LayoutState state;
};

TEST_F(Sync, FirstSyncKeepsEveryWindowOnItsOwnMonitorChainedInOrder) {
    layout::sync(state, monitors, {on1(A), on2(X), on1(B), on1(C)});
    EXPECT_EQ(windows_on(m1), (std::vector<Hwnd>{A, B, C}));
    EXPECT_EQ(windows_on(m2), std::vector<Hwnd>{X});
    EXPECT_EQ(state.anchor, C);
    EXPECT_TRUE(state.synced_once);
    const auto placed = layout::monitor_placements(state, monitors, DESK1);
    ASSERT_EQ(placed.size(), 2u);
    EXPECT_EQ(placed[0],
              (std::vector<Placement>{{A, {8, 8, 948, 1024}}, {B, {964, 8, 948, 508}}, {C, {964, 524, 948, 508}}}));
    EXPECT_EQ(placed[1], (std::vector<Placement>{{X, {1928, 8, 1264, 1008}}}));
    EXPECT_EQ(layout::monitor_placements(state, monitors, DESK2), (std::vector<std::vector<Placement>>{{}, {}}));
}

TEST_F(Sync, NewWindowGoesAfterTheFocusedOneThenToItsOwnMonitorThenNowhere) {
    layout::sync(state, monitors, {on1(A), on2(X)});
    ASSERT_TRUE(layout::note_focus(state, X));

    // Opened on monitor 1 while X on monitor 2 has the focus: it joins X.
    layout::sync(state, monitors, {on1(A), on2(X), on1(N)});
    EXPECT_EQ(windows_on(m2), (std::vector<Hwnd>{X, N}));
    EXPECT_EQ(layout::tree_of(state, N)->monitor, m2);

    // Monitor 2 holds X | (Y over Z) now: one more half of Z would be 310 wide.
    layout::LayoutState full;
    layout::sync(full, monitors, {on1(A), on1(B), on1(C), on1(D), on2(X), on2(Y), on2(Z)});
    ASSERT_TRUE(layout::note_focus(full, Z));
    ASSERT_EQ(layout::leaves(full.trees[{DESK1, m1}]).size(), 4u);
    // Opened on the full monitor 1: no room beside Z, none on its own monitor.
    layout::sync(full, monitors, {on1(A), on2(X), on1(B), on1(C), on1(D), on2(Y), on2(Z), on1(N)});
    EXPECT_FALSE(layout::is_tiled(full, N));
    EXPECT_EQ(full.anchor, Z);
    EXPECT_EQ(layout::leaves(full.trees[{DESK1, m1}]), (std::vector<Hwnd>{A, B, C, D}));

    // With room on its own monitor it lands there, after that tree's last leaf.
    layout::LayoutState some;
    layout::sync(some, monitors, {on1(A), on2(X), on2(Y), on2(Z)});
    ASSERT_TRUE(layout::note_focus(some, Z));
    layout::sync(some, monitors, {on1(A), on2(X), on2(Y), on2(Z), on2(N, DESK1), on1(B)});
    EXPECT_EQ(layout::leaves(some.trees[{DESK1, m1}]), (std::vector<Hwnd>{A, B}));
    EXPECT_EQ(layout::leaves(some.trees[{DESK1, m2}]), (std::vector<Hwnd>{X, Y, Z}));
    EXPECT_FALSE(layout::is_tiled(some, N));  // its own monitor is the full one
}

TEST_F(Sync, DesktopsKeepTheirOwnTreesAndTheAnchorOnlyPullsItsOwnDesktop) {
    layout::sync(state, monitors, {on1(A, DESK1), on1(B, DESK2)});
    EXPECT_EQ(windows_on(m1, DESK1), std::vector<Hwnd>{A});
    EXPECT_EQ(windows_on(m1, DESK2), std::vector<Hwnd>{B});
    EXPECT_EQ(layout::monitor_placements(state, monitors, DESK2)[0], (std::vector<Placement>{{B, {8, 8, 1904, 1024}}}));

    ASSERT_TRUE(layout::note_focus(state, A));
    // New on desktop 2, monitor 2: the anchor is on desktop 1, so it stays home.
    // New on desktop 1, monitor 2: it joins A on monitor 1.
    layout::sync(state, monitors, {on1(A, DESK1), on1(B, DESK2), on2(Y, DESK1), on2(X, DESK2)});
    EXPECT_EQ(windows_on(m2, DESK2), std::vector<Hwnd>{X});
    EXPECT_EQ(windows_on(m1, DESK1), (std::vector<Hwnd>{A, Y}));

    // A window that moves to the other desktop leaves its tree for one there.
    layout::sync(state, monitors, {on1(A, DESK2), on1(B, DESK2), on2(X, DESK2), on1(Y, DESK1)});
    EXPECT_EQ(windows_on(m1, DESK1), std::vector<Hwnd>{Y});
    EXPECT_EQ(windows_on(m1, DESK2), (std::vector<Hwnd>{B, A}));
}

TEST_F(Sync, UnpluggedMonitorsTreesAreDroppedAndTheirWindowsReinsertedWhereTheyNowAre) {
    layout::sync(state, monitors, {on1(A), on2(X), on2(Y)});
    ASSERT_TRUE(layout::note_focus(state, A));
    const std::vector<win::WorkArea> only_first = {monitors[0]};
    layout::sync(state, only_first, {on1(A), on1(X), on1(Y)});
    EXPECT_EQ(state.trees.count({DESK1, m2}), 0u);
    EXPECT_EQ(windows_on(m1), (std::vector<Hwnd>{A, X, Y}));
}

TEST_F(Sync, WindowDraggedToAnotherMonitorJoinsTheAnchorThereElseTheLastLeaf) {
    layout::sync(state, monitors, {on1(A), on1(B), on2(X), on2(Y)});
    ASSERT_TRUE(layout::note_focus(state, X));
    // A now reports monitor 2, where the anchor X lives: it goes right after X.
    layout::sync(state, monitors, {on2(A), on1(B), on2(X), on2(Y)});
    EXPECT_EQ(windows_on(m2), (std::vector<Hwnd>{X, A, Y}));
    EXPECT_EQ(windows_on(m1), std::vector<Hwnd>{B});
    EXPECT_EQ(state.anchor, A);
    // Y goes to monitor 1, whose tree does not hold the anchor: after its last leaf.
    layout::sync(state, monitors, {on2(A), on1(B), on2(X), on1(Y)});
    EXPECT_EQ(windows_on(m1), (std::vector<Hwnd>{B, Y}));
    EXPECT_EQ(windows_on(m2), (std::vector<Hwnd>{X, A}));
}

TEST_F(Sync, WindowsThatStopBeingTileableLeaveAndTakeTheirMemoriesWithThem) {
    layout::sync(state, monitors, {on1(A), on1(B), on2(X)});
    state.placed[B] = {{964, 8, 948, 1024}, true, {964, 8, 948, 1024}};
    state.placed[A] = {{8, 8, 948, 1024}, false, {}};
    state.full_screen.insert(X);
    layout::sync(state, monitors, {on1(A)});
    EXPECT_EQ(windows_on(m1), std::vector<Hwnd>{A});
    EXPECT_EQ(state.trees.count({DESK1, m2}), 0u);  // empty trees are dropped
    EXPECT_EQ(state.placed.count(B), 0u);
    EXPECT_EQ(state.placed.count(A), 1u);
    EXPECT_TRUE(state.full_screen.empty());
    EXPECT_EQ(layout::monitor_placements(state, monitors, DESK1)[0], (std::vector<Placement>{{A, {8, 8, 1904, 1024}}}));

    // Restored later, B is known, so it comes back on its own monitor even
    // though the focus is elsewhere.
    layout::sync(state, monitors, {on1(A), on2(X)});
    ASSERT_TRUE(layout::note_focus(state, X));
    layout::sync(state, monitors, {on1(A), on2(X), on1(B)});
    EXPECT_EQ(windows_on(m1), (std::vector<Hwnd>{A, B}));
}

TEST_F(Sync, FullScreenWindowGetsTheWholeMonitorAndNoteFocusNeedsATiledWindow) {
    layout::sync(state, monitors, {on1(A), on1(B)});
    state.full_screen.insert(B);
    EXPECT_EQ(layout::monitor_placements(state, monitors, DESK1)[0],
              (std::vector<Placement>{{A, {8, 8, 948, 1024}}, {B, {0, 0, 1920, 1080}}}));
    EXPECT_FALSE(layout::note_focus(state, X));
    EXPECT_EQ(state.anchor, B);
    EXPECT_FALSE(layout::tree_of(state, X).has_value());
}

TEST(PlanEntries, TakeOnlyWindowsWhoseEffectiveVerdictIsTile) {
    sim::Desktop d;
    const auto m = d.add_monitor({0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true);
    d.add_process(100, u"C:\\apps\\app.exe");
    sim::Window tile;
    const auto first = d.add_window(tile);
    sim::Window cloaked;
    cloaked.cloaked = true;
    d.add_window(cloaked);
    sim::Window fixed;
    fixed.style = 0;
    d.add_window(fixed);
    const auto second = d.add_window(tile);
    const auto entries = layout::plan_entries(win::enumerate_windows(d));
    EXPECT_EQ(entries, (std::vector<TileEntry>{{DesktopId{}, second, m}, {DesktopId{}, first, m}}));
}

}  // namespace
