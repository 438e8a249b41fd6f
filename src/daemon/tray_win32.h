// The tray icon: a hidden window on the main thread that owns the
// notification-area icon, receives its clicks and shows the menu whose exit
// item ends the main loop.
#pragma once

#include <memory>
#include <optional>

#include "daemon/daemon_state.h"
#include "win/platform.h"

namespace quilt_daemon {

struct TrayWindow;  // the window, its icon and the state its procedure reads

// A tray that exists. Removing it takes the icon away and destroys the
// window; a Tray that goes out of scope removes itself.
struct Tray {
    std::unique_ptr<TrayWindow> window;
    Tray();
    Tray(Tray&&) noexcept;
    Tray& operator=(Tray&&) noexcept;
    ~Tray();
};

// Registers the window class, creates the window, records the number of
// the "TaskbarCreated" message in `state` and adds the icon. On failure
// writes one line to standard error and returns nothing. Main thread only:
// the window's procedure runs from that thread's message loop, and a menu
// choice of "exit" posts WM_QUIT to it. `state` must outlive the tray.
std::optional<Tray> create_tray(win::Platform& p, DaemonState& state);

// Takes the icon away and destroys the window; a second call does nothing.
void remove_tray(Tray& tray);

// Frees the console when the program is alone on it and the tray icon is
// there to stop it.
void release_console_if_alone(win::Platform& p, bool tray_present);

}  // namespace quilt_daemon
