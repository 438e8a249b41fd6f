// The shortcut overlay's window: made once at start-up, hidden until the
// Windows key is held, painted from the constant shortcut list.
#pragma once

#include "win/platform.h"

namespace quilt_daemon {

// Class "QuiltShortcutOverlay", title "Quilt shortcuts": never takes the
// focus, and every click goes through it to the window beneath.
win::Result<win::Hwnd> create_overlay_window(win::Platform& p);

}  // namespace quilt_daemon
