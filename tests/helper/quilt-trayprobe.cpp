// Runs the daemon's tray icon and menu on their own: creates the tray as the
// daemon does, prints "ready", runs a message loop, and when the menu's exit
// item ends the loop prints "quit", removes the tray and exits with 0. A tray
// that cannot be made prints its error on standard error and exits with 1.
#include <windows.h>

#include <string>

#include "daemon/daemon_state.h"
#include "daemon/tray_win32.h"
#include "win/platform_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    win::Win32Platform platform;
    quilt_daemon::DaemonState state;
    auto tray = quilt_daemon::create_tray(platform, state);
    if (!tray) return 1;
    platform.write_out("ready\n");
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    platform.write_out("quit\n");
    quilt_daemon::remove_tray(*tray);
    return 0;
}
