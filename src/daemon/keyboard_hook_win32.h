// The keyboard hook thread: a low-level keyboard hook that turns the
// shortcut chords into thread messages for the main thread, and the message
// loop through which the system calls it.
#pragma once

#include "daemon/daemon_state.h"
#include "win/platform.h"

namespace quilt_daemon {

// Starts the thread, which installs the hook and pumps until the process
// ends. `state.main_thread_id` must be set before, and `p` and `state` must
// live as long as the process. False when the thread could not be created;
// a hook the system refuses is reported on standard error by the thread.
bool start_keyboard_hook(win::Platform& p, DaemonState& state);

}  // namespace quilt_daemon
