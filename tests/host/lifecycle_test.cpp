#include <gtest/gtest.h>

#include "daemon/lifecycle.h"
#include "sim_desktop.h"

namespace {

using namespace quilt_daemon;

TEST(Lifecycle, StartTextIsTheRunningLineThenTheShortcutList) {
    const std::string text = start_text();
    EXPECT_EQ(text.rfind("Quilt is running. Stop it from its tray icon, or with Ctrl+C here.\n  Win + Arrows ", 0), 0u);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 15);
}

TEST(Lifecycle, StopLineAndStatusFollowTheRestore) {
    struct Case {
        win::Result<layout::RestoreCounts, layout::FileError> restored;
        int status;
        std::string out, err;
    } cases[] = {
        {layout::RestoreCounts{3, 1, 0}, 0, "Stopped. Restored 3 window(s); 1 no longer exist; 0 failed.\n", ""},
        {layout::RestoreCounts{0, 0, 0}, 0, "Stopped. Restored 0 window(s); 0 no longer exist; 0 failed.\n", ""},
        {layout::RestoreCounts{2, 0, 1}, 1, "Stopped. Restored 2 window(s); 0 no longer exist; 1 failed.\n", ""},
        {layout::FileError{layout::FileStep::Delete, {32, "Sharing violation."}}, 1, "",
         "Stopped, but could not finish restoring windows: Sharing violation. (os error 32)\n"},
    };
    for (const auto& c : cases) {
        sim::Desktop d;
        EXPECT_EQ(report_stop(d, c.restored), c.status);
        EXPECT_EQ(d.out, c.out);
        EXPECT_EQ(d.err, c.err);
    }
}

TEST(Lifecycle, ConsoleHandlerWaitsAtMostThreeSeconds) {
    sim::Desktop d;
    DaemonState state;
    wait_for_shutdown(d, state);
    EXPECT_EQ(d.slept_ms, 3000u);

    sim::Desktop quick;
    quick.on_sleep = [&](sim::Desktop& s) {
        if (s.slept_ms == 50) state.shutdown_done.store(true);
    };
    wait_for_shutdown(quick, state);
    EXPECT_EQ(quick.slept_ms, 50u);
}

TEST(Lifecycle, EventsGoToTheirSinksAndEverythingElseToTheLayout) {
    sim::Desktop d;
    d.add_monitor({0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true);
    d.add_window({});
    layout::LayoutState state;
    FocusBorder border;
    DaemonState shared;
    bool first_pass = true;
    DaemonContext ctx{state, border, first_pass, shared};
    std::vector<std::string> seen;
    EventSinks sinks{[&] { seen.push_back("show"); }, [&] { seen.push_back("hide"); },
                     [&] { seen.push_back("launcher"); }};

    handle_event(d, ctx, sinks, DaemonEvent::show_overlay());
    handle_event(d, ctx, sinks, DaemonEvent::hide_overlay());
    handle_event(d, ctx, sinks, DaemonEvent::shortcut(action(ActionTag::ToggleLauncher)));
    EXPECT_EQ(seen, (std::vector<std::string>{"show", "hide", "launcher"}));
    EXPECT_TRUE(d.moves.empty());
    EXPECT_TRUE(first_pass);

    handle_event(d, ctx, sinks, DaemonEvent::retile());
    EXPECT_EQ(d.moves.size(), 1u);
    EXPECT_FALSE(first_pass);

    // Without its windows the daemon simply has nothing to show, and the
    // layout is not touched either.
    d.add_window({});  // a pass would tile it at once
    handle_event(d, ctx, EventSinks{}, DaemonEvent::show_overlay());
    handle_event(d, ctx, EventSinks{}, DaemonEvent::shortcut(action(ActionTag::ToggleLauncher)));
    EXPECT_EQ(d.moves.size(), 1u);
}

}  // namespace
