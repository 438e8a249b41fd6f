// One pass of the daemon: enumerate, bring the trees in step, run the event's
// drop or action, and move only the windows whose tiles changed.
#pragma once

#include <cstdint>
#include <vector>

#include "daemon/daemon_state.h"
#include "daemon/focus_border.h"
#include "layout/layout_state.h"
#include "win/classify.h"
#include "win/platform.h"

namespace layout {

// What the daemon keeps between passes and hands to every one of them.
struct DaemonContext {
    LayoutState& state;
    quilt_daemon::FocusBorder& border;
    bool& first_pass;
    const quilt_daemon::DaemonState& shared;  // for the window the user is moving right now
};

// The tileable windows of a daemon pass: stored decision `tile`, not an
// application's own full-screen window, and not cloaked unless the desktop
// manager says the window is on another desktop (the shell cloaks those).
std::vector<TileEntry> daemon_entries(win::Platform& p, const std::vector<win::WindowInfo>& windows,
                                      const std::vector<win::WorkArea>& monitors, const LayoutState& state);

// Moves what needs moving and returns how many windows moved.
int apply(win::Platform& p, DaemonContext& ctx, const std::vector<win::WindowInfo>& windows,
          const std::vector<win::WorkArea>& monitors);

void tiling_pass(win::Platform& p, DaemonContext& ctx, const quilt_daemon::DaemonEvent& event);

}  // namespace layout
