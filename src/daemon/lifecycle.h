// The daemon's start and stop, apart from the Win32 calls that carry them
// out: what it prints, what each event leads to, how long the console
// handler waits for the windows to be put back.
#pragma once

#include <functional>
#include <string>

#include "daemon/daemon_state.h"
#include "daemon/events.h"
#include "daemon/tiling_pass.h"
#include "layout/saved_positions.h"
#include "win/platform.h"

namespace quilt_daemon {

// The start line and the shortcut list, as the console shows them.
std::string start_text();

// Prints the stop line (or the failure) and gives the exit status.
int report_stop(win::Platform& p, const win::Result<layout::RestoreCounts, layout::FileError>& restored);

// What the windows of the daemon do for the events that are theirs; any of
// them may be missing when its window could not be made.
struct EventSinks {
    std::function<void()> show_overlay;
    std::function<void()> hide_overlay;
    std::function<void()> toggle_launcher;
};

void handle_event(win::Platform& p, DaemonContext& ctx, const EventSinks& sinks, const DaemonEvent& event);

// The console handler's wait: until the main thread says the windows are
// back, at most 300 x 10 ms, because the system ends the process soon after.
void wait_for_shutdown(win::Platform& p, const DaemonState& state);

}  // namespace quilt_daemon
