// The daemon's start and stop, apart from the Win32 calls that carry them
// out: what it prints, what each event leads to, how long the console
// handler waits for the windows to be put back.
#pragma once

#include <functional>
#include <string>

#include "daemon/daemon_state.h"
#include "daemon/events.h"
#include "daemon/tiling_pass.h"
#include "restore/saved_positions.h"
#include "win/platform.h"

namespace quilt_daemon {

// The first line the daemon writes, and again when it goes on after a
// session end that another program cancelled.
inline constexpr const char* RUNNING_LINE = "Quilt is running. Stop it from its tray icon, or with Ctrl+C here.\n";

// The start line and the shortcut list, as the console shows them.
std::string start_text();

// Prints the stop line (or the failure) and gives the exit status.
int report_stop(win::Platform& p, const win::Result<restore::RestoreCounts, restore::FileError>& restored);

// What the windows of the daemon do for the events that are theirs; any of
// them may be missing when its window could not be made.
struct EventSinks {
    std::function<void()> show_overlay;
    std::function<void()> hide_overlay;
    std::function<void()> toggle_launcher;
    // Ends any menu that is open and lets the main loop end.
    std::function<void()> stop;
};

// Once the windows are back (ctx.stage is not Running), nothing may move them
// again: passes, drops and shortcuts are dropped, only the stop goes on.
void handle_event(win::Platform& p, DaemonContext& ctx, const EventSinks& sinks, const DaemonEvent& event);

// What the Win32 shell does for the stages of the end.
struct StopSteps {
    std::function<void()> quiet;        // hooks and timers go: nothing starts a pass any more
    std::function<void()> listen;       // hooks and timers come back, after a cancelled session end
    std::function<void()> remove_tray;  // the icon goes
};

// Puts every window back, once: the daemon goes quiet, the border goes, the
// windows are restored and the stop line written. A session end does this
// first of all, before any other program is told that the session ends.
void put_windows_back(win::Platform& p, DaemonContext& ctx, const StopSteps& steps);

// The rest of the stop, after the windows (put back here when that has not
// happened yet): the tray goes and the console handler is let go. Gives the
// exit status.
int finish_stop(win::Platform& p, DaemonContext& ctx, const StopSteps& steps);

// Another program cancelled the end of the session: the daemon goes on from
// a fresh layout and tiles again, as after a start.
void resume_after_cancelled_end(win::Platform& p, DaemonContext& ctx, const StopSteps& steps, const EventSinks& sinks);

// The console handler's wait: until the main thread says the windows are
// back, at most 300 x 10 ms, because the system ends the process soon after.
void wait_for_shutdown(win::Platform& p, const DaemonState& state);

}  // namespace quilt_daemon
