#include <gtest/gtest.h>

#include <atomic>

#include "daemon/virtual_desktops.h"
#include "sim_desktop.h"

namespace {

using quilt_daemon::DesktopList;
using quilt_daemon::DesktopStep;
using K = quilt_daemon::DesktopStep::Kind;
using Bytes = std::vector<std::uint8_t>;

Bytes guid(std::uint8_t tag) { return Bytes(16, tag); }

Bytes ids(std::initializer_list<std::uint8_t> tags) {
    Bytes out;
    for (auto t : tags) {
        auto g = guid(t);
        out.insert(out.end(), g.begin(), g.end());
    }
    return out;
}

void set_desktops(sim::Desktop& d, const Bytes& list, const Bytes& current) {
    d.registry[std::string(quilt_daemon::VIRTUAL_DESKTOPS_KEY) + "\\VirtualDesktopIDs"] = list;
    d.registry[std::string(quilt_daemon::VIRTUAL_DESKTOPS_KEY) + "\\CurrentVirtualDesktop"] = current;
}

TEST(ParseDesktops, AcceptsOnlyWholeIdsThatAgree) {
    EXPECT_EQ(quilt_daemon::parse_desktops(ids({1, 2, 3}), guid(2)), (DesktopList{1, 3}));
    EXPECT_EQ(quilt_daemon::parse_desktops(ids({1}), guid(1)), (DesktopList{0, 1}));
    EXPECT_EQ(quilt_daemon::parse_desktops(ids({1, 2, 3}), guid(9)), std::nullopt);    // current not listed
    EXPECT_EQ(quilt_daemon::parse_desktops(ids({1, 2}), Bytes(15, 1)), std::nullopt);  // short current id
    EXPECT_EQ(quilt_daemon::parse_desktops({}, guid(1)), std::nullopt);                // no desktops
    Bytes ragged = ids({1, 2});
    ragged.push_back(0);
    EXPECT_EQ(quilt_daemon::parse_desktops(ragged, guid(1)), std::nullopt);
}

TEST(ReadDesktops, AValueOverTheBufferCannotBeReadButExactlyFullCan) {
    sim::Desktop d;
    Bytes full;
    for (int i = 0; i < 256; ++i) {
        auto g = guid(static_cast<std::uint8_t>(i));
        full.insert(full.end(), g.begin(), g.end());
    }
    set_desktops(d, full, guid(255));
    EXPECT_EQ(quilt_daemon::read_desktops(d), (DesktopList{255, 256}));
    full.insert(full.end(), 16, 7);
    set_desktops(d, full, guid(255));
    EXPECT_EQ(quilt_daemon::read_desktops(d), std::nullopt);
}

TEST(PlanDesktopStep, FromTheSecondOfThree) {
    const struct {
        std::uint32_t n;
        DesktopStep step;
    } cases[] = {{0, {K::Stay, 0}},      {1, {K::StepLeft, 1}}, {2, {K::Stay, 0}},
                 {3, {K::StepRight, 1}}, {4, {K::Beyond, 3}},   {9, {K::Beyond, 3}}};
    for (const auto& c : cases) EXPECT_EQ(quilt_daemon::plan_desktop_step(1, 3, c.n), c.step) << "n=" << c.n;
    EXPECT_EQ(quilt_daemon::plan_desktop_step(0, 9, 9), (DesktopStep{K::StepRight, 8}));
}

TEST(SwitchInputs, WrapInLeftWinOnlyWhenNoWindowsKeyIsHeld) {
    using I = win::KeyInput;
    const std::uint32_t E = win::KEY_EXTENDED, U = win::KEY_UP;
    EXPECT_EQ(quilt_daemon::desktop_switch_inputs({K::StepLeft, 1}, false, false, false),
              (std::vector<I>{{0x5B, E}, {0x11, 0}, {0x25, E}, {0x25, E | U}, {0x11, U}, {0x5B, E | U}}));
    // The send-to shortcut holds Win and Shift: Shift is released, Win is left alone.
    EXPECT_EQ(quilt_daemon::desktop_switch_inputs({K::StepRight, 2}, true, true, true),
              (std::vector<I>{
                  {0xA0, U}, {0xA1, U}, {0x11, 0}, {0x27, E}, {0x27, E | U}, {0x27, E}, {0x27, E | U}, {0x11, U}}));
    EXPECT_EQ(quilt_daemon::desktop_switch_inputs({K::Beyond, 3}, false, true, true),
              (std::vector<I>{{0xA1, U}, {0x11, 0}, {0x44, 0}, {0x44, U}, {0x11, U}}));
    EXPECT_TRUE(quilt_daemon::desktop_switch_inputs({K::Stay, 0}, true, true, false).empty());
}

class Desktops : public ::testing::Test {
  protected:
    void SetUp() override {
        d.add_monitor({0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true);
        set_desktops(d, ids({1, 2, 3}), guid(2));
        fg = d.add_window({});
        d.foreground = fg;
    }
    sim::Desktop d;
    win::Hwnd fg;
};

TEST_F(Desktops, GoingFromOneToNineOfNineIsOneBatchOfEightRightPresses) {
    set_desktops(d, ids({1, 2, 3, 4, 5, 6, 7, 8, 9}), guid(1));
    quilt_daemon::go_to_desktop(d, 9);
    ASSERT_EQ(d.input_batches.size(), 1u);
    const auto& batch = d.input_batches[0];
    EXPECT_EQ(std::count(batch.begin(), batch.end(), win::KeyInput{win::KEY_ARROW_RIGHT, win::KEY_EXTENDED}), 8);
    EXPECT_EQ(batch.size(), 2u + 16u + 2u);
}

TEST_F(Desktops, GoingBeyondTheLastCreatesANewDesktop) {
    quilt_daemon::go_to_desktop(d, 9);
    ASSERT_EQ(d.input_batches.size(), 1u);
    EXPECT_EQ(d.input_batches[0][2], (win::KeyInput{win::KEY_D, 0}));
}

TEST_F(Desktops, UnreadableListOnlyPrintsTheMessage) {
    d.registry.erase(std::string(quilt_daemon::VIRTUAL_DESKTOPS_KEY) + "\\CurrentVirtualDesktop");
    quilt_daemon::go_to_desktop(d, 1);
    quilt_daemon::send_to_desktop(d, 1);
    EXPECT_EQ(d.err,
              "Could not read the list of virtual desktops from Windows.\n"
              "Could not read the list of virtual desktops from Windows.\n");
    EXPECT_TRUE(d.input_batches.empty());
    EXPECT_TRUE(d.shows.empty());
}

// The hide and the show are posted: a window whose thread reads no messages
// does them when it gets round to it, and keeps the daemon waiting only on the shell.
TEST_F(Desktops, SendHidesSwitchesWaitsForTheShellAndShowsAgain) {
    // The shell makes the switch after a few polls.
    d.on_sleep = [](sim::Desktop& s) {
        if (s.slept_ms >= 60) set_desktops(s, ids({1, 2, 3}), guid(3));
    };
    quilt_daemon::send_to_desktop(d, 3);
    EXPECT_EQ(d.waited_on, std::vector<std::string>{});
    EXPECT_EQ(d.slept_ms, 60u);
    ASSERT_EQ(d.shows.size(), 2u);
    EXPECT_EQ(d.shows[0], (sim::ShowCall{fg, win::SHOW_HIDE}));
    EXPECT_EQ(d.shows[1], (sim::ShowCall{fg, win::SHOW_SHOW}));
    const std::vector<std::string> order = {"show_window_async " + win::format_hwnd(fg) + " 0", "send_input",
                                            "show_window_async " + win::format_hwnd(fg) + " 5", "send_input",
                                            "set_foreground_window " + win::format_hwnd(fg)};
    EXPECT_EQ(d.calls, order);
}

// A window that does not hide would be left behind by the switch: nothing
// switches, nothing waits on the window, and it is shown again.
TEST_F(Desktops, SendLeavesAWindowThatDoesNotHideWhereItIs) {
    d.window(fg).asleep = true;
    quilt_daemon::send_to_desktop(d, 3);
    EXPECT_EQ(d.waited_on, std::vector<std::string>{});
    EXPECT_TRUE(d.input_batches.empty());
    EXPECT_LT(d.slept_ms, 1100u);
    EXPECT_EQ(d.err, "Could not move window " + win::format_hwnd(fg) + ": the window is not responding\n");
    d.wake(fg);
    EXPECT_TRUE(d.window(fg).visible);
}

TEST_F(Desktops, SendShowsTheWindowAgainAfterThreeSecondsWithoutASwitch) {
    quilt_daemon::send_to_desktop(d, 1);
    EXPECT_GE(d.slept_ms, 3000u);
    EXPECT_LT(d.slept_ms, 3040u);
    ASSERT_EQ(d.shows.size(), 2u);
    EXPECT_EQ(d.shows[1].cmd, win::SHOW_SHOW);
}

// The console handler gives the stop 3 s: a stop asked for in either wait
// (the window not hiding yet, the shell not switching yet) shows the window
// again at once, and the hidden window never outlives the daemon.
TEST_F(Desktops, AStopDuringASendShowsTheWindowAgainAtOnce) {
    for (const bool hides : {false, true}) {
        SCOPED_TRACE(hides ? "waiting for the shell" : "waiting for the window to hide");
        sim::Desktop s = d;
        std::atomic<bool> stop{false};
        s.window(fg).asleep = !hides;
        s.on_sleep = [&](sim::Desktop& at) {
            if (at.slept_ms == 40) stop.store(true);
        };
        quilt_daemon::send_to_desktop(s, 1, &stop);
        EXPECT_EQ(s.slept_ms, 40u);
        if (!hides) s.wake(fg);
        EXPECT_TRUE(s.window(fg).visible);
        EXPECT_EQ(s.shows.back(), (sim::ShowCall{fg, win::SHOW_SHOW}));
        EXPECT_EQ(s.input_batches.empty(), !hides);  // no switch for a window still shown
        EXPECT_EQ(s.err, "");
    }
}

TEST_F(Desktops, SendRefusesBeyondTheLastAndStaysPut) {
    quilt_daemon::send_to_desktop(d, 9);
    EXPECT_EQ(d.err, "There are only 3 desktops. Go to a new one first, then send windows to it.\n");
    quilt_daemon::send_to_desktop(d, 2);  // already there
    EXPECT_TRUE(d.shows.empty());
    EXPECT_TRUE(d.input_batches.empty());
}

TEST_F(Desktops, SendIgnoresTheShellAndMissingForegroundWindows) {
    sim::Window taskbar;
    taskbar.class_name = u"Shell_TrayWnd";
    d.foreground = d.add_window(taskbar);
    quilt_daemon::send_to_desktop(d, 1);
    d.foreground = win::Hwnd{};
    quilt_daemon::send_to_desktop(d, 1);
    d.foreground = win::Hwnd{0xbad};
    quilt_daemon::send_to_desktop(d, 1);
    EXPECT_TRUE(d.shows.empty());
    EXPECT_TRUE(d.input_batches.empty());
    EXPECT_EQ(d.err, "");
}

}  // namespace
