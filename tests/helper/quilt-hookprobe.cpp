// Runs the daemon's keyboard hook thread on its own and reports what reaches
// the main thread, one line per thread message, so a test can drive real key
// chords and see exactly what the hook posted:
//   "ready"          the hook thread is started (the hook itself may follow a moment later)
//   "win N"          MSG_WIN_KEY with wParam N
//   "shortcut N"     MSG_SHORTCUT with wParam N
//   "stop"           MSG_STOP; the probe keeps running so a repeat would show
// A line "overlay 1" or "overlay 0" on standard input sets or clears
// overlay_visible, as the daemon's main thread does while the shortcut list
// shows; the probe answers "overlay N". It ends when its input is closed.
#include <windows.h>

#include <string>
#include <thread>

#include "daemon/daemon_state.h"
#include "daemon/keyboard_hook_win32.h"
#include "probe_commands.h"
#include "win/platform_win32.h"

namespace {

constexpr UINT MSG_END = WM_APP + 100;

void say(const std::string& line) {
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void read_commands(quilt_daemon::DaemonState* state) {
    std::string line;
    while (read_line(line)) {
        if (line == "overlay 1" || line == "overlay 0") {
            state->overlay_visible.store(line == "overlay 1");
            say(line);
        }
    }
    PostThreadMessageW(state->main_thread_id, MSG_END, 0, 0);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    static win::Win32Platform platform;
    static quilt_daemon::DaemonState state;
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue must exist before the hook posts
    state.main_thread_id = GetCurrentThreadId();
    const quilt_daemon::KeyboardHook hook(platform, state);
    if (!hook.started()) {
        say("error thread");
        return 1;
    }
    std::thread(read_commands, &state).detach();
    say("ready");
    for (;;) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) return 1;
        if (got == 0) continue;
        if (msg.message == win::MSG_WIN_KEY) say("win " + std::to_string(msg.wParam));
        if (msg.message == win::MSG_SHORTCUT) say("shortcut " + std::to_string(msg.wParam));
        if (msg.message == win::MSG_STOP) say("stop");
        if (msg.message == MSG_END) return 0;
    }
}
