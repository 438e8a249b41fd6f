// Times the daemon's pass after an event, the part of "window shown to window
// tiled" that is the daemon's own beside the fixed debounce. For each line
// "pass" on standard input it runs one pass, as the debounce timer would, and
// prints "pass N us" with the microseconds between its start and its last
// move; it ends when standard input closes.
#include <windows.h>

#include <string>

#include "daemon/tiling_pass.h"
#include "probe_commands.h"
#include "win/platform_win32.h"

namespace {}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    static win::Win32Platform platform;
    (void)platform.set_dpi_awareness();
    layout::LayoutState state;
    quilt_daemon::FocusBorder border;
    quilt_daemon::DaemonState shared;
    bool first_pass = true;
    quilt_daemon::DaemonContext ctx{state, border, first_pass, shared};
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::string line;
    while (read_line(line)) {
        if (line != "pass") continue;
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        quilt_daemon::tiling_pass(platform, ctx, quilt_daemon::DaemonEvent::retile());
        QueryPerformanceCounter(&end);
        platform.write_out("pass " + std::to_string((end.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart) +
                           " us\n");
    }
    return 0;
}
