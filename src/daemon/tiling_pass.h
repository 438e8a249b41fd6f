// One pass of the daemon: enumerate, bring the trees in step, run the event's
// drop or action, and move only the windows whose tiles changed.
#pragma once

#include <optional>
#include <unordered_set>
#include <vector>

#include "daemon/daemon_state.h"
#include "daemon/events.h"
#include "daemon/focus_border.h"
#include "daemon/quiet_check.h"
#include "layout/layout_state.h"
#include "win/classify.h"
#include "win/platform.h"

namespace quilt_daemon {

// What the daemon keeps between passes and hands to every one of them.
// Running; the windows put back and nothing may move them again (the session
// is ending, or the loop has ended); stopped.
enum class Stage { Running, Restored, Stopped };

struct DaemonContext {
    DaemonContext(layout::LayoutState& s, FocusBorder& b, bool& first, DaemonState& d)
        : state(s), border(b), first_pass(first), shared(d) {}

    layout::LayoutState& state;
    FocusBorder& border;
    bool& first_pass;
    DaemonState& shared;  // the window the user is moving right now; the pass timer
    // Failures already written: every pass tries again, and a console that
    // repeated them every few seconds would bury everything else.
    bool save_failure_said = false;
    std::unordered_set<win::Hwnd> move_failure_said;
    win::WindowFactCache facts;  // what every pass would otherwise ask each window again
    QuietWatch watch;            // what lets a periodic pass that would change nothing be left out
    Stage stage = Stage::Running;
    int status = 0;  // the exit status, once the windows are back
};

// The tileable windows of a daemon pass: stored decision `tile`, not an
// application's own full-screen window, and not cloaked unless the desktop
// manager says the window is on another desktop (the shell cloaks those).
std::vector<layout::TileEntry> daemon_entries(win::Platform& p, const std::vector<win::WindowInfo>& windows,
                                              const std::vector<win::WorkArea>& monitors,
                                              const layout::LayoutState& state);

// What the end of a pass is to do: where the focus border goes (nowhere when
// the foreground window is not tiled) and which windows move where, in order.
struct Moves {
    std::optional<win::Hwnd> border;
    std::vector<layout::Placement> moves;
    friend bool operator==(const Moves&, const Moves&) = default;
};

// What the pure decision reads besides the layout: this pass's windows and
// monitors, the foreground window, the window the user has in hand, and the
// tiled windows that are maximised (asked only after the first pass, when a
// maximised window stays as the user made it).
struct PassView {
    const std::vector<win::WindowInfo>& windows;
    const std::vector<win::WorkArea>& monitors;
    win::Hwnd foreground;
    win::Hwnd moving;
    const std::unordered_set<win::Hwnd>& maximized;
};

// Decides the moves and updates the settling records in `state.placed`: a
// window is moved when its tile changed, remembered where it came to rest one
// pass later, and moved again only when something moves it from there.
Moves plan_moves(layout::LayoutState& state, const PassView& view);

// What came of a pass's moves.
struct Carried {
    int moved = 0;  // windows asked to move
    // Windows that did not move and are for a later pass: every one when the
    // old positions could not be saved, else those that refused the move (a
    // hung window) and maximised ones that were only asked to restore themselves.
    std::vector<win::Hwnd> unmoved;
    bool restoring = false;  // the last case: a pass soon moves them
};

// Sets the border, saves the old positions and asks each window to move,
// without waiting for any of them: the next pass sees where they went.
// `windows` is the enumeration the moves were planned from.
Carried carry_out(win::Platform& p, DaemonContext& ctx, const Moves& moves,
                  const std::vector<win::WindowInfo>& windows);

void tiling_pass(win::Platform& p, DaemonContext& ctx, const DaemonEvent& event);

}  // namespace quilt_daemon
