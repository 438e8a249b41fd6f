#include "paint/popup_win32.h"

#include "paint/paint.h"
#include "win/handle_win32.h"
#include "win/platform_win32.h"

namespace paint {

namespace {
constexpr std::uint32_t ATTR_WINDOW_CORNER_PREFERENCE = 33;
constexpr std::uint32_t CORNER_ROUND = 2;
constexpr BYTE OPACITY = 238;
}  // namespace

win::Result<win::Hwnd> create_popup_window(win::Platform& p, const wchar_t* class_name, const wchar_t* title,
                                           WNDPROC procedure, DWORD extra_ex_style, std::int32_t height) {
    HMODULE module = GetModuleHandleW(nullptr);
    if (!module) return win::last_error();
    WNDCLASSW wc{};
    wc.lpfnWndProc = procedure;
    wc.hInstance = module;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);  // none if it fails
    wc.lpszClassName = class_name;
    if (!RegisterClassW(&wc)) return win::refused_without_code("could not register a window class");

    HWND hwnd = CreateWindowExW(extra_ex_style | WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, class_name, title,
                                WS_POPUP, 0, 0, 560, height, nullptr, nullptr, module, nullptr);
    if (!hwnd) return win::last_error();
    // Decoration only: a window without it is still usable.
    SetLayeredWindowAttributes(hwnd, 0, OPACITY, LWA_ALPHA);
    const win::Hwnd handle{win::from_hwnd(hwnd)};
    (void)p.dwm_set_attribute(handle, ATTR_WINDOW_CORNER_PREFERENCE, CORNER_ROUND);
    (void)p.dwm_set_attribute(handle, win::ATTR_BORDER_COLOR, PALETTE.window_border);
    return handle;
}

}  // namespace paint
