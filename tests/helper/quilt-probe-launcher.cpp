// Times full paints of the real launcher window under Wine: the window made
// as the daemon makes it, with the catalogue of the web-app file, shown on
// the primary monitor, then repainted synchronously. Prints
//   "paint_cpu_us {mean}" and "paint_wall_us {mean}" over 200 paints,
// or one line starting with "error" and exit code 1.
#include <windows.h>

#include <cstdio>

#include "launcher/launcher.h"
#include "launcher/launcher_win32.h"
#include "launcher/paint_win32.h"
#include "win/handle_win32.h"
#include "win/platform_win32.h"
#include "win/window_ops.h"

namespace {

constexpr int PAINTS = 200;

std::uint64_t thread_cpu_100ns() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto value = [](FILETIME t) { return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return value(kernel) + value(user);
}

}  // namespace

int main() {
    win::Win32Platform p;
    (void)p.set_dpi_awareness();
    launcher::start_gdiplus();
    launcher::LauncherWindow record{p, {}};
    const auto made = launcher::create_launcher_window(record);
    if (!made) {
        std::printf("error %s\n", made.error().message.c_str());
        return 1;
    }
    launcher::start_launcher(p, record.launcher, made);
    const auto work = win::work_area_of_window(p, p.foreground_window());
    if (!work) {
        std::printf("error no work area\n");
        return 1;
    }
    launcher::show_launcher(p, record.launcher, *work);
    const HWND hwnd = win::to_hwnd(made.value().value);
    UpdateWindow(hwnd);

    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    const std::uint64_t cpu_start = thread_cpu_100ns();
    QueryPerformanceCounter(&start);
    for (int i = 0; i < PAINTS; ++i) {
        InvalidateRect(hwnd, nullptr, FALSE);
        UpdateWindow(hwnd);
    }
    QueryPerformanceCounter(&end);
    const std::uint64_t cpu = thread_cpu_100ns() - cpu_start;
    std::printf("paint_cpu_us %.1f\n", static_cast<double>(cpu) / 10.0 / PAINTS);
    std::printf("paint_wall_us %.1f\n", static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 /
                                            static_cast<double>(frequency.QuadPart) / PAINTS);
    std::fflush(stdout);
    return 0;
}
