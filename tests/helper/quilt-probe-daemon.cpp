// Runs the daemon as `quilt run` does and watches its main loop: when it
// stops, the probe prints "longest busy N ms", the longest time the loop
// spent on one message, during which it answered nothing else.
// A line "stop" on standard input (or its end) stops the daemon the way the
// console handler does, by posting WM_QUIT to the main thread.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <thread>

#include "daemon/daemon_win32.h"
#include "probe_commands.h"
#include "win/platform_win32.h"

namespace {

void wait_for_stop(DWORD main_thread) {
    std::string line;
    while (read_line(line) && line != "stop") {
    }
    PostThreadMessageW(main_thread, WM_QUIT, 0, 0);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    static win::Win32Platform platform;
    (void)platform.set_dpi_awareness();
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue must exist before the stop is posted
    std::thread(wait_for_stop, GetCurrentThreadId()).detach();
    std::uint64_t longest = 0;
    const int status = quilt_daemon::run_daemon(platform, [&](std::uint64_t ms) { longest = std::max(longest, ms); });
    platform.write_out("longest busy " + std::to_string(longest) + " ms\n");
    return status;
}
