// Times the shortcut list's window under Wine with the daemon's own code.
// Makes the overlay as start-up does, then, ten times, starts a 600 ms thread
// timer like the hold timer, and when it fires shows the overlay and pumps
// messages until the screen has the logo's accent tile where the panel must
// draw it:
//   shown MS        (milliseconds from the timer firing to that pixel)
// then hides it and waits until the pixel is gone. Last, with the panel
// shown, it repaints it synchronously 200 times and prints
//   paint_cpu_us US  (the thread's CPU time per paint, user + kernel)
//   paint_wall_us US (wall time per paint)
#include <windows.h>

#include <cstdio>
#include <string>

#include "daemon/overlay.h"
#include "daemon/overlay_win32.h"
#include "paint/paint_win32.h"
#include "win/handle_win32.h"
#include "win/platform_win32.h"

namespace {

constexpr COLORREF ACCENT = 0x3BF5B5;
constexpr int ACCENT_X = 46;  // inside the logo's lower right tile at 96 DPI
constexpr int ACCENT_Y = 44;
constexpr int ROUNDS = 10;
constexpr int PAINTS = 200;

double now_ms() {
    LARGE_INTEGER frequency, count;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double thread_cpu_us() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto us = [](FILETIME t) {
        return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10.0;
    };
    return us(kernel) + us(user);
}

void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Pumps messages until the screen pixel is (or is no longer) the accent colour.
bool wait_pixel(HWND overlay, bool accent, double timeout_ms) {
    const double deadline = now_ms() + timeout_ms;
    HDC screen = GetDC(nullptr);
    bool reached = false;
    while (!reached && now_ms() < deadline) {
        pump();
        RECT r{};
        GetWindowRect(overlay, &r);
        reached = (GetPixel(screen, r.left + ACCENT_X, r.top + ACCENT_Y) == ACCENT) == accent;
        if (!reached) MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
    ReleaseDC(nullptr, screen);
    return reached;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    win::Win32Platform p;
    auto print = [&](const std::string& line) { p.write_out(line + "\n"); };
    (void)p.set_dpi_awareness();
    paint::start_gdiplus();
    const auto made = quilt_daemon::create_overlay_window(p);
    if (!made) {
        print("error " + made.error().message);
        return 1;
    }
    const win::Hwnd overlay = made.value();
    const HWND hwnd = win::to_hwnd(overlay.value);
    print("ready");

    for (int round = 0; round < ROUNDS; ++round) {
        const UINT_PTR timer = SetTimer(nullptr, 0, 600, nullptr);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0 && !(msg.message == WM_TIMER && msg.wParam == timer)) {
            DispatchMessageW(&msg);
        }
        const double fired = now_ms();
        KillTimer(nullptr, timer);
        quilt_daemon::show_overlay_window(p, overlay);
        if (!wait_pixel(hwnd, true, 5000)) {
            print("error the panel did not appear");
            return 1;
        }
        char line[64];
        std::snprintf(line, sizeof line, "shown %.1f", now_ms() - fired);
        print(line);
        quilt_daemon::hide_overlay_window(p, overlay);
        if (!wait_pixel(hwnd, false, 5000)) {
            print("error the panel did not go");
            return 1;
        }
    }

    quilt_daemon::show_overlay_window(p, overlay);
    wait_pixel(hwnd, true, 5000);
    const double cpu_start = thread_cpu_us();
    const double wall_start = now_ms();
    for (int i = 0; i < PAINTS; ++i) RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    char line[96];
    std::snprintf(line, sizeof line, "paint_cpu_us %.0f", (thread_cpu_us() - cpu_start) / PAINTS);
    print(line);
    std::snprintf(line, sizeof line, "paint_wall_us %.0f", (now_ms() - wall_start) * 1000.0 / PAINTS);
    print(line);
    quilt_daemon::hide_overlay_window(p, overlay);
    return 0;
}
