// The shortcut actions as the daemon's pass runs them: the edits of the
// layout (layout/actions.h) and the actions that go to the system (focus,
// close, terminal, browser, virtual desktops).
#pragma once

#include <atomic>
#include <vector>

#include "daemon/events.h"
#include "layout/layout_state.h"
#include "win/platform.h"

namespace quilt_daemon {

// `stop`: the daemon's stop request, which ends the waits of an action.
void run_action(win::Platform& p, layout::LayoutState& state, const std::vector<win::WorkArea>& monitors,
                ShortcutAction action, const std::atomic<bool>* stop = nullptr);

}  // namespace quilt_daemon
