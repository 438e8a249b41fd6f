// Times the real launcher window under Wine: the window made as the daemon
// makes it, with the catalogue of the web-app file, shown on the primary
// monitor.
// Without arguments it is repainted synchronously, and the probe prints
//   "paint_cpu_us {mean}" and "paint_wall_us {mean}" over 200 paints.
// With "icons", the icon thread runs as in the daemon and the window's own
// message loop paints; the probe prints, from the end of the first paint,
//   "first_icon_paint_us {t}" to the end of the first paint after an icon
//   arrived, "all_icons_paint_us {t}" to the end of the first paint with
//   every asked-for icon in, and "icons {found} of {asked}".
// On failure: one line starting with "error" and exit code 1.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#include "icons/icon_loaders_win32.h"
#include "launcher/launcher.h"
#include "launcher/launcher_win32.h"
#include "paint/paint_win32.h"
#include "win/handle_win32.h"
#include "win/platform_win32.h"
#include "win/window_ops.h"

namespace {

constexpr int PAINTS = 200;

double elapsed_us(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

// The paints of the icons run, watched from a subclass of the launcher's
// window procedure.
struct IconPaints {
    WNDPROC original = nullptr;
    const launcher::LauncherState* state = nullptr;
    std::optional<LARGE_INTEGER> first, first_icon, all_icons;
};
IconPaints g_paints;

LRESULT CALLBACK watch_paints(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    const LRESULT result = CallWindowProcW(g_paints.original, hwnd, message, wparam, lparam);
    if (message != WM_PAINT) return result;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const auto& book = g_paints.state->icon_book;
    if (!g_paints.first) {
        g_paints.first = now;
    } else if (!book.loaded_icons.empty()) {
        if (!g_paints.first_icon) g_paints.first_icon = now;
        if (book.requested_icons.empty()) {
            g_paints.all_icons = now;
            PostQuitMessage(0);
        }
    }
    return result;
}

int time_icons(win::Win32Platform& p, launcher::LauncherWindow& record, HWND hwnd, const win::Rect& work) {
    g_paints.state = &record.launcher.state;
    g_paints.original =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(watch_paints)));
    launcher::show_launcher(p, record.launcher, work);
    const UINT_PTR timer = SetTimer(nullptr, 0, 20000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == nullptr && msg.wParam == timer) break;
        DispatchMessageW(&msg);
    }
    if (!g_paints.all_icons) {
        std::printf("error the icons did not all arrive within 20 s\n");
        return 1;
    }
    std::size_t found = 0;
    for (const auto& [key, icon] : record.launcher.state.icon_book.loaded_icons) found += icon.found ? 1 : 0;
    std::printf("first_icon_paint_us %.0f\n", elapsed_us(*g_paints.first, *g_paints.first_icon));
    std::printf("all_icons_paint_us %.0f\n", elapsed_us(*g_paints.first, *g_paints.all_icons));
    std::printf("icons %zu of %zu\n", found, record.launcher.state.icon_book.loaded_icons.size());
    std::fflush(stdout);
    return 0;
}

std::uint64_t thread_cpu_100ns() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto value = [](FILETIME t) { return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return value(kernel) + value(user);
}

}  // namespace

int main(int argc, char** argv) {
    const bool icons = argc > 1 && std::strcmp(argv[1], "icons") == 0;
    win::Win32Platform p;
    (void)p.set_dpi_awareness();
    paint::start_gdiplus();
    launcher::LauncherWindow record{p, {}};
    record.launcher.catalogue_platform = std::make_shared<win::Win32Platform>();
    record.launcher.catalogue_ready_message = win::MSG_CATALOGUE_READY;
    const auto made = launcher::create_launcher_window(record);
    if (!made) {
        std::printf("error %s\n", made.error().message.c_str());
        return 1;
    }
    if (icons) {
        launcher::start_launcher(
            p, record.launcher, made, win::MSG_ICONS_READY, [](win::Hwnd window, std::uint32_t message) {
                return icons::icon_thread_work(std::make_shared<win::Win32Platform>(), window, message);
            });
    } else {
        launcher::start_launcher(p, record.launcher, made);
    }
    const auto work = win::work_area_of_window(p, p.foreground_window());
    if (!work) {
        std::printf("error no work area\n");
        return 1;
    }
    const HWND hwnd = win::to_hwnd(made.value().value);
    if (icons) return time_icons(p, record, hwnd, *work);
    launcher::show_launcher(p, record.launcher, *work);
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
