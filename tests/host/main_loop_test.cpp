#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "daemon/main_loop.h"
#include "sim_desktop.h"

namespace {

using namespace quilt_daemon;
using Kind = DaemonEvent::Kind;

class Loop : public ::testing::Test {
  protected:
    std::optional<DaemonEvent> message(std::uint32_t msg, std::uint64_t wparam) {
        return on_thread_message(d, state, timers, msg, wparam);
    }
    std::optional<DaemonEvent> fire(std::uintptr_t id) { return message(win::MSG_TIMER, id); }
    void event(std::uint32_t e, win::Hwnd w, std::int32_t object = 0, std::int32_t child = 0) {
        on_win_event(d, state, e, w, object, child);
    }

    sim::Desktop d;
    DaemonState state;
    LoopTimers timers;
};

TEST_F(Loop, ShortcutMessagesBecomeShortcutEvents) {
    EXPECT_EQ(message(win::MSG_SHORTCUT, 9), DaemonEvent::shortcut(action(ActionTag::Swap, layout::Direction::Right)));
    EXPECT_EQ(message(win::MSG_SHORTCUT, 109), DaemonEvent::shortcut(action(ActionTag::GoToDesktop, 9)));
    EXPECT_EQ(message(win::MSG_SHORTCUT, 201), DaemonEvent::shortcut(action(ActionTag::MoveToDesktop, 1)));
    for (std::uint64_t ignored : {17ull, 100ull, 150ull, 200ull, 210ull, (1ull << 32) + 5}) {
        EXPECT_EQ(message(win::MSG_SHORTCUT, ignored), std::nullopt) << ignored;
    }
    EXPECT_EQ(message(0x0400, 0), std::nullopt);  // somebody else's thread message
    // The stop is a message of its own and leaves the flag that no modal loop can swallow.
    EXPECT_FALSE(state.stop_requested.load());
    EXPECT_EQ(message(win::MSG_STOP, 0), DaemonEvent::stop());
    EXPECT_TRUE(state.stop_requested.load());
}

TEST_F(Loop, OverlayTriggerFollowsItsStateTable) {
    // idle -> waiting
    EXPECT_EQ(message(win::MSG_WIN_KEY, 1), std::nullopt);
    ASSERT_NE(timers.hold, 0u);
    EXPECT_EQ(d.timers.at(timers.hold), HOLD_MS);
    // waiting -> idle when the key comes up early
    EXPECT_EQ(message(win::MSG_WIN_KEY, 0), std::nullopt);
    EXPECT_EQ(timers.hold, 0u);
    EXPECT_TRUE(d.timers.empty());

    // waiting -> idle when the hold timer finds no Windows key down
    message(win::MSG_WIN_KEY, 1);
    EXPECT_EQ(fire(timers.hold), std::nullopt);
    EXPECT_TRUE(d.timers.empty());

    // waiting -> shown
    message(win::MSG_WIN_KEY, 1);
    d.keys_down = {win::KEY_RWIN};
    EXPECT_EQ(fire(timers.hold), DaemonEvent::show_overlay());
    EXPECT_TRUE(state.overlay_visible.load());
    ASSERT_NE(timers.release_poll, 0u);
    EXPECT_EQ(d.timers.at(timers.release_poll), RELEASE_POLL_MS);
    // shown, key still down: nothing
    EXPECT_EQ(fire(timers.release_poll), std::nullopt);
    // shown -> idle on the poll once the key is up
    d.keys_down.clear();
    EXPECT_EQ(fire(timers.release_poll), DaemonEvent::hide_overlay());
    EXPECT_FALSE(state.overlay_visible.load());
    EXPECT_TRUE(d.timers.empty());

    // shown -> idle at once when the hook reports the release
    message(win::MSG_WIN_KEY, 1);
    d.keys_down = {win::KEY_LWIN};
    fire(timers.hold);
    EXPECT_EQ(message(win::MSG_WIN_KEY, 0), DaemonEvent::hide_overlay());
    EXPECT_EQ(timers.release_poll, 0u);
    EXPECT_TRUE(d.timers.empty());
}

TEST_F(Loop, AStaleTimerIdIsIgnored) {
    message(win::MSG_WIN_KEY, 1);
    const auto old_hold = timers.hold;
    message(win::MSG_WIN_KEY, 0);
    d.keys_down = {win::KEY_LWIN};
    EXPECT_EQ(fire(old_hold), std::nullopt);  // a WM_TIMER already queued when the timer was killed
    EXPECT_EQ(fire(0), std::nullopt);
}

TEST_F(Loop, AHundredEventsWithinTheDebounceMakeOnePass) {
    const auto w = d.add_window({});
    for (int i = 0; i < 100; ++i) event(win::EVENT_DESTROY + (i % 3), w);
    ASSERT_EQ(d.timers.size(), 1u);
    EXPECT_EQ(d.timers.begin()->second, DEBOUNCE_MS);
    EXPECT_EQ(fire(state.debounce_timer), DaemonEvent::retile());
    EXPECT_EQ(state.debounce_timer, 0u);
    EXPECT_TRUE(d.timers.empty());
    event(win::EVENT_FOREGROUND, w);  // the next event starts a new debounce
    EXPECT_EQ(d.timers.size(), 1u);
}

TEST_F(Loop, EventsAboutPartsOfAWindowScheduleNothing) {
    const auto w = d.add_window({});
    event(win::EVENT_HIDE, w, -4, 0);  // OBJID_CARET
    event(win::EVENT_HIDE, w, 0, 3);
    event(win::EVENT_HIDE, win::Hwnd{}, 0, 0);
    EXPECT_TRUE(d.timers.empty());
}

TEST_F(Loop, ADragWithoutResizeBecomesADropAtTheNextTick) {
    sim::Window sw;
    sw.rect = {100, 100, 800, 600};
    const auto w = d.add_window(sw);
    event(win::EVENT_MOVESIZE_START, w);
    EXPECT_EQ(state.moving_window.load(), w.value);
    EXPECT_TRUE(d.timers.empty());  // the start schedules nothing
    d.window(w).rect = {900, 300, 800, 600};
    d.cursor = win::Point{1200, 310};
    event(win::EVENT_MOVESIZE_END, w);
    EXPECT_EQ(state.moving_window.load(), 0u);
    EXPECT_EQ(fire(state.debounce_timer), DaemonEvent::drop(w, 1200, 310));
    EXPECT_EQ(state.dropped_window.load(), 0u);
}

TEST_F(Loop, APeriodicTickAlsoCollectsAPendingDrop) {
    timers.periodic = d.set_thread_timer(PERIODIC_MS);
    const auto w = d.add_window({});
    event(win::EVENT_MOVESIZE_START, w);
    d.window(w).rect.top += 50;
    d.cursor = win::Point{5, 6};
    event(win::EVENT_MOVESIZE_END, w);
    EXPECT_EQ(fire(timers.periodic), DaemonEvent::drop(w, 5, 6));
    EXPECT_EQ(fire(state.debounce_timer), DaemonEvent::retile());  // the drop was taken once
    EXPECT_EQ(fire(timers.periodic), DaemonEvent::periodic_retile());
}

// A plain click on a title bar enters the move loop too, and ends it where it started.
TEST_F(Loop, ResizesClicksForeignEndsAndUnreadableCursorsAreNoDrop) {
    const auto a = d.add_window({});
    const auto b = d.add_window({});
    struct Case {
        const char* name;
        std::function<void()> between;
        win::Hwnd start, end;
    } cases[] = {
        {"resized", [&] { d.window(a).rect.width += 40; }, a, a},
        {"clicked", [] {}, a, a},
        {"end of another window", [&] { d.window(a).rect.left += 40; }, a, b},
        {"no cursor",
         [&] {
             d.window(a).rect.left += 40;
             d.cursor.reset();
         },
         a, a},
    };
    for (auto& c : cases) {
        d.cursor = win::Point{1, 1};
        event(win::EVENT_MOVESIZE_START, c.start);
        c.between();
        event(win::EVENT_MOVESIZE_END, c.end);
        EXPECT_EQ(fire(state.debounce_timer), DaemonEvent::retile()) << c.name;
        EXPECT_EQ(state.moving_window.load(), 0u) << c.name;
    }
}

// A message that comes in while another is handled (a modal loop inside a
// pass dispatches it) waits until that one is done, and the call that handled
// the first handles the rest in arrival order; then the queue is idle again
// and takes the next message at once.
TEST(MessageQueue, AMessageThatArrivesDuringAnotherWaitsForItsTurn) {
    MessageQueue queue;
    std::vector<std::string> log;
    std::function<void(const LoopMessage&)> handle = [&](const LoopMessage& m) {
        const std::string name = std::to_string(m.message) + "/" + std::to_string(m.wparam);
        log.push_back("begin " + name);
        if (m.wparam == 1) {
            take_message(queue, {win::MSG_SHORTCUT, 2}, handle);
            take_message(queue, {win::MSG_STOP, 3}, handle);
            log.push_back("nested takes returned");
        }
        if (m.wparam == 2) take_message(queue, {win::MSG_SHORTCUT, 4}, handle);
        log.push_back("end " + name);
    };
    const std::string shortcut = std::to_string(win::MSG_SHORTCUT) + "/";
    const std::string stop = std::to_string(win::MSG_STOP) + "/";
    take_message(queue, {win::MSG_SHORTCUT, 1}, handle);
    EXPECT_EQ(log,
              (std::vector<std::string>{"begin " + shortcut + "1", "nested takes returned", "end " + shortcut + "1",
                                        "begin " + shortcut + "2", "end " + shortcut + "2", "begin " + stop + "3",
                                        "end " + stop + "3", "begin " + shortcut + "4", "end " + shortcut + "4"}));
    EXPECT_FALSE(queue.busy);
    EXPECT_TRUE(queue.pending.empty());

    log.clear();
    take_message(queue, {win::MSG_TIMER, 5}, handle);
    const std::string timer = std::to_string(win::MSG_TIMER) + "/5";
    EXPECT_EQ(log, (std::vector<std::string>{"begin " + timer, "end " + timer}));
}

}  // namespace
