// What the shortcuts and the drag-onto-a-tile gesture do to the layout. The
// pass that runs them (daemon_pass.h) puts every change on the screen.
#pragma once

#include <optional>
#include <vector>

#include "daemon/daemon_state.h"
#include "layout/daemon_pass.h"
#include "layout/layout_state.h"
#include "win/platform.h"

namespace layout {

inline constexpr std::int32_t RESIZE_STEP = 100;

// A window let go at `point` takes half of the tile under it. Nothing changes
// when it lands in a gap, off every monitor, or where the tiles would get too small.
void handle_drop(LayoutState& state, const std::vector<win::WorkArea>& monitors, std::vector<TileEntry>& entries,
                 win::Hwnd window, win::Point point);

// The nearest tile on the given side of the anchor's, on any monitor of its desktop.
std::optional<win::Hwnd> neighbour(const LayoutState& state, const std::vector<win::WorkArea>& monitors,
                                   quilt_daemon::Direction direction);

void run_action(win::Platform& p, LayoutState& state, const std::vector<win::WorkArea>& monitors,
                quilt_daemon::ShortcutAction action);

// The daemon's one entry point for changing the layout: one pass per event.
void dispatch(win::Platform& p, DaemonContext& ctx, const quilt_daemon::DaemonEvent& event);

}  // namespace layout
