// The launcher's window: made once at start-up, hidden until Win+Space. Its
// procedure only turns messages into calls of launcher.h.
#pragma once

#include "launcher/launcher.h"
#include "win/platform.h"

namespace launcher {

// What the window procedure works on.
struct LauncherWindow {
    win::Platform& platform;
    Launcher launcher;
};

// Class "QuiltLauncher", title "Quilt launcher", 560 x 416 design units. The
// record must outlive the window's message loop.
win::Result<win::Hwnd> create_launcher_window(LauncherWindow& record);

}  // namespace launcher
