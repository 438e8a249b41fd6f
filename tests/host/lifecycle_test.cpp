#include <gtest/gtest.h>

#include "daemon/lifecycle.h"
#include "pass_rig.h"
#include "sim_desktop.h"

namespace {

using namespace quilt_daemon;

TEST(Lifecycle, StopLineAndStatusFollowTheRestore) {
    struct Case {
        win::Result<restore::RestoreCounts, restore::FileError> restored;
        int status;
        std::string out, err;
    } cases[] = {
        {restore::RestoreCounts{3, 1, 0}, 0, "Stopped. Restored 3 window(s); 1 no longer exist; 0 failed.\n", ""},
        {restore::RestoreCounts{0, 0, 0}, 0, "Stopped. Restored 0 window(s); 0 no longer exist; 0 failed.\n", ""},
        {restore::RestoreCounts{2, 0, 1}, 1, "Stopped. Restored 2 window(s); 0 no longer exist; 1 failed.\n", ""},
        {restore::FileError{restore::FileStep::Delete, {32, "Sharing violation."}}, 1, "",
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
    PassRig rig;
    DaemonContext& ctx = rig.ctx;
    std::vector<std::string> seen;
    EventSinks sinks{[&] { seen.push_back("show"); }, [&] { seen.push_back("hide"); },
                     [&] { seen.push_back("launcher"); }, [&] { seen.push_back("stop"); }};

    handle_event(d, ctx, sinks, DaemonEvent::show_overlay());
    handle_event(d, ctx, sinks, DaemonEvent::hide_overlay());
    handle_event(d, ctx, sinks, DaemonEvent::shortcut(action(ActionTag::ToggleLauncher)));
    EXPECT_EQ(seen, (std::vector<std::string>{"show", "hide", "launcher"}));
    EXPECT_TRUE(d.moves.empty());
    EXPECT_TRUE(rig.first_pass);

    handle_event(d, ctx, sinks, DaemonEvent::retile());
    EXPECT_EQ(d.moves.size(), 1u);
    EXPECT_FALSE(rig.first_pass);

    // Without its windows the daemon simply has nothing to show, and the
    // layout is not touched either.
    d.add_window({});  // a pass would tile it at once
    handle_event(d, ctx, EventSinks{}, DaemonEvent::show_overlay());
    handle_event(d, ctx, EventSinks{}, DaemonEvent::shortcut(action(ActionTag::ToggleLauncher)));
    EXPECT_EQ(d.moves.size(), 1u);
}

// The end of a session: the windows go back before any other program hears
// of it, nothing moves them again while the end is pending, a cancelled end
// tiles again from a fresh layout, and the stop that follows neither restores
// nor reports twice.
TEST(Lifecycle, ASessionEndPutsWindowsBackOnceAndACancelledOneTilesAgain) {
    sim::Desktop d;
    d.env["LOCALAPPDATA"] = "C:\\Local";
    d.add_monitor({0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true);
    const win::Hwnd a = d.add_window({});
    const win::Hwnd b = d.add_window({});
    PassRig rig;
    DaemonContext& ctx = rig.ctx;
    std::vector<std::string> seen;
    const StopSteps steps{[&] { seen.push_back("quiet"); }, [&] { seen.push_back("listen"); },
                          [&] { seen.push_back("tray " + std::to_string(d.out.size())); }};
    const auto rects = [&] { return std::pair{d.window(a).rect, d.window(b).rect}; };
    const auto own = rects();
    const std::string stopped = "Stopped. Restored 2 window(s); 0 no longer exist; 0 failed.\n";

    handle_event(d, ctx, {}, DaemonEvent::retile());
    const auto tiled = rects();
    ASSERT_NE(tiled, own);
    d.out.clear();

    put_windows_back(d, ctx, steps);  // WM_QUERYENDSESSION
    put_windows_back(d, ctx, steps);
    EXPECT_EQ(rects(), own);
    EXPECT_EQ(d.out, stopped);
    EXPECT_EQ(seen, std::vector<std::string>{"quiet"});  // the tray stays: the end may be cancelled
    EXPECT_FALSE(d.files.count(restore::untile_path(d)));
    for (const auto& e : {DaemonEvent::retile(), DaemonEvent::drop(a, 1500, 500),
                          DaemonEvent::shortcut(action(ActionTag::Swap, layout::Direction::Right))}) {
        handle_event(d, ctx, {}, e);
    }
    EXPECT_EQ(rects(), own);

    resume_after_cancelled_end(d, ctx, steps, {});  // WM_ENDSESSION(FALSE)
    EXPECT_EQ(rects(), tiled);
    EXPECT_EQ(d.out, stopped + RUNNING_LINE + "Re-tiled: moved 2 window(s).\n");
    EXPECT_EQ(seen.back(), "listen");

    put_windows_back(d, ctx, steps);
    const std::size_t written = d.out.size();
    EXPECT_EQ(finish_stop(d, ctx, steps), 0);  // WM_ENDSESSION(TRUE)
    EXPECT_TRUE(rig.shared.shutdown_done.load());
    EXPECT_EQ(finish_stop(d, ctx, steps), 0);  // the loop's end after it
    EXPECT_EQ(d.out.size(), written);
    EXPECT_EQ(seen, (std::vector<std::string>{"quiet", "listen", "quiet", "tray " + std::to_string(written)}));
    EXPECT_EQ(rects(), own);

    // The plain stop: the icon goes, then the windows come back.
    PassRig again;
    DaemonContext& plain = again.ctx;
    handle_event(d, plain, {}, DaemonEvent::retile());
    seen.clear();
    d.out.clear();
    EXPECT_EQ(finish_stop(d, plain, steps), 0);
    EXPECT_EQ(seen, (std::vector<std::string>{"quiet", "tray 0"}));
    EXPECT_EQ(d.out, stopped);
    EXPECT_TRUE(again.shared.shutdown_done.load());

    // A stop asked for while the windows are back still reaches its sink.
    int stops = 0;
    handle_event(d, plain, EventSinks{{}, {}, {}, [&] { ++stops; }}, DaemonEvent::stop());
    EXPECT_EQ(stops, 1);
}

}  // namespace
