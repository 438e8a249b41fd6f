#include "launcher/launcher_win32.h"

#include <windows.h>

#include <cstdint>

#include "launcher/geometry.h"
#include "launcher/launcher_paint.h"
#include "paint/paint_win32.h"
#include "paint/popup_win32.h"
#include "win/handle_win32.h"

namespace launcher {

using paint::create_popup_window;
using paint::paint_window;
using paint::Painter;
using paint::PixelRect;

namespace {

// Client coordinates are signed 16-bit values in the two halves of lParam.
std::int32_t low_signed(LPARAM lparam) { return static_cast<std::int16_t>(lparam & 0xFFFF); }
std::int32_t high_signed(LPARAM lparam) { return static_cast<std::int16_t>((lparam >> 16) & 0xFFFF); }

LRESULT CALLBACK launcher_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    // Messages of the window's creation arrive before the record is attached.
    auto* record = reinterpret_cast<LauncherWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!record) return DefWindowProcW(hwnd, message, wparam, lparam);
    win::Platform& p = record->platform;
    Launcher& l = record->launcher;
    // The threads' message numbers are the daemon's to choose.
    if (l.icons_ready_message != 0 && message == l.icons_ready_message) {
        take_icon_results(p, l);
        return 0;
    }
    if (l.catalogue_ready_message != 0 && message == l.catalogue_ready_message) {
        take_catalogue_result(p, l);
        return 0;
    }
    switch (message) {
        case WM_ACTIVATE:
            if (LOWORD(wparam) == WA_INACTIVE) on_deactivate(p, l);
            return 0;
        case WM_PAINT:
            return paint_window(hwnd, LAUNCHER_FONTS,
                                [&l](Painter& painter, PixelRect) { paint_launcher(painter, l.state); });
        // The paint covers the whole client area, so erasing would only flicker.
        case WM_ERASEBKGND: return 1;
        // Alt+F4 would destroy the window, and Win+Space could never show it again.
        case WM_CLOSE: hide_launcher(p, l, true); return 0;
        case WM_KEYDOWN: on_key_down(p, l, static_cast<std::uint16_t>(wparam)); return 0;
        case WM_CHAR: on_char(p, l, static_cast<std::uint16_t>(wparam)); return 0;
        case WM_MOUSEMOVE: on_mouse_move(p, l, low_signed(lparam), high_signed(lparam)); return 0;
        case WM_MOUSELEAVE: on_mouse_leave(p, l); return 0;
        case WM_LBUTTONUP: on_left_button_up(p, l, low_signed(lparam), high_signed(lparam)); return 0;
        default: return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

}  // namespace

win::Result<win::Hwnd> create_launcher_window(LauncherWindow& record) {
    auto made =
        create_popup_window(record.platform, L"QuiltLauncher", L"Quilt launcher", launcher_proc, 0, WINDOW_HEIGHT);
    if (made) SetWindowLongPtrW(win::to_hwnd(made.value().value), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&record));
    return made;
}

}  // namespace launcher
