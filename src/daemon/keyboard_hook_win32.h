// The keyboard hook thread: a low-level keyboard hook that turns the
// shortcut chords into thread messages for the main thread, and the message
// loop through which the system calls it.
#pragma once

#include <windows.h>

#include "daemon/daemon_state.h"
#include "win/handle_win32.h"
#include "win/platform.h"

namespace quilt_daemon {

// The running hook thread. It installs the hook, pumps until this object
// goes, then takes the hook away and ends.
class KeyboardHook {
  public:
    // Starts the thread. `state.main_thread_id` must be set before; `p` and
    // `state` must outlive this object. When the thread cannot be created,
    // or the system refuses the hook, one line on standard error says that
    // the shortcuts are unavailable.
    KeyboardHook(win::Platform& p, DaemonState& state);
    KeyboardHook(const KeyboardHook&) = delete;
    KeyboardHook& operator=(const KeyboardHook&) = delete;
    ~KeyboardHook();

    // Whether the thread was started (the hook itself may still be refused).
    bool started() const { return static_cast<bool>(thread_); }

  private:
    win::UniqueHandle thread_;
    DWORD thread_id_ = 0;
};

}  // namespace quilt_daemon
