#include "daemon/overlay_win32.h"

#include <windows.h>

#include "daemon/overlay.h"
#include "paint/paint_win32.h"
#include "paint/popup_win32.h"

namespace quilt_daemon {
namespace {

LRESULT CALLBACK overlay_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_PAINT: return paint::paint_window(hwnd, OVERLAY_FONTS, paint_overlay);
        // The paint covers the whole client area, so erasing would only flicker.
        case WM_ERASEBKGND: return 1;
        default: return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

}  // namespace

win::Result<win::Hwnd> create_overlay_window(win::Platform& p) {
    return paint::create_popup_window(p, L"QuiltShortcutOverlay", L"Quilt shortcuts", overlay_proc,
                                      WS_EX_NOACTIVATE | WS_EX_TRANSPARENT, overlay_height());
}

}  // namespace quilt_daemon
