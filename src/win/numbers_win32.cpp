// The build fails here when a number that the portable code writes out
// differs from the system headers. DWMWA_BORDER_COLOR and
// DWMWA_COLOR_DEFAULT are too new for MinGW's headers and go unchecked.
#include <windows.h>

#include <dwmapi.h>
#include <shellapi.h>

#include "win/numbers.h"

namespace win {

static_assert(STYLE_THICKFRAME == WS_THICKFRAME);
static_assert(STYLE_CHILD == WS_CHILD);
static_assert(STYLE_VISIBLE == WS_VISIBLE);
static_assert(STYLE_MINIMIZE == WS_MINIMIZE);
static_assert(STYLE_MAXIMIZE == WS_MAXIMIZE);
static_assert(EXSTYLE_TOOLWINDOW == WS_EX_TOOLWINDOW);
static_assert(EXSTYLE_NOACTIVATE == WS_EX_NOACTIVATE);

static_assert(SHOW_HIDE == SW_HIDE);
static_assert(SHOW_NORMAL == SW_SHOWNORMAL);
static_assert(SHOW_MINIMIZED == SW_SHOWMINIMIZED);
static_assert(SHOW_MAXIMIZED == SW_SHOWMAXIMIZED);
static_assert(SHOW_NOACTIVATE == SW_SHOWNOACTIVATE);
static_assert(SHOW_SHOW == SW_SHOW);
static_assert(SHOW_MINIMIZE == SW_MINIMIZE);
static_assert(SHOW_MINNOACTIVE == SW_SHOWMINNOACTIVE);
static_assert(SHOW_FORCEMINIMIZE == SW_FORCEMINIMIZE);
static_assert(POS_ASYNC == SWP_ASYNCWINDOWPOS);
static_assert(PLACEMENT_ASYNC == WPF_ASYNCWINDOWPLACEMENT);
static_assert(POS_NOSIZE == SWP_NOSIZE);
static_assert(POS_NOMOVE == SWP_NOMOVE);
static_assert(POS_NOZORDER == SWP_NOZORDER);
static_assert(POS_NOACTIVATE == SWP_NOACTIVATE);
static_assert(POS_SHOWWINDOW == SWP_SHOWWINDOW);

static_assert(ATTR_EXTENDED_FRAME_BOUNDS == DWMWA_EXTENDED_FRAME_BOUNDS);
static_assert(ATTR_CLOAKED == DWMWA_CLOAKED);

static_assert(MSG_CLOSE == WM_CLOSE);
static_assert(MSG_QUIT == WM_QUIT);
static_assert(MSG_KEYDOWN == WM_KEYDOWN);
static_assert(MSG_KEYUP == WM_KEYUP);
static_assert(MSG_SYSKEYDOWN == WM_SYSKEYDOWN);
static_assert(MSG_SYSKEYUP == WM_SYSKEYUP);
static_assert(MSG_TIMER == WM_TIMER);
static_assert(MSG_LBUTTONUP == WM_LBUTTONUP);
static_assert(MSG_RBUTTONUP == WM_RBUTTONUP);
static_assert(MSG_SHORTCUT == WM_APP + 1);
static_assert(MSG_WIN_KEY == WM_APP + 2);
static_assert(MSG_TRAY == WM_APP + 20);
static_assert(MSG_ICONS_READY == WM_APP + 30);
static_assert(MSG_STOP == WM_APP + 3);
static_assert(MSG_CATALOGUE_READY == WM_APP + 31);
static_assert(MSG_QUERY_END_SESSION == WM_QUERYENDSESSION);
static_assert(MSG_END_SESSION == WM_ENDSESSION);

static_assert(EVENT_FOREGROUND == EVENT_SYSTEM_FOREGROUND);
static_assert(EVENT_MOVESIZE_START == EVENT_SYSTEM_MOVESIZESTART);
static_assert(EVENT_MOVESIZE_END == EVENT_SYSTEM_MOVESIZEEND);
static_assert(EVENT_MINIMIZE_START == EVENT_SYSTEM_MINIMIZESTART);
static_assert(EVENT_MINIMIZE_END == EVENT_SYSTEM_MINIMIZEEND);
static_assert(EVENT_DESTROY == EVENT_OBJECT_DESTROY);
static_assert(EVENT_HIDE == EVENT_OBJECT_HIDE);
static_assert(EVENT_CLOAKED == EVENT_OBJECT_CLOAKED);
static_assert(EVENT_UNCLOAKED == EVENT_OBJECT_UNCLOAKED);

static_assert(KEY_RETURN == VK_RETURN);
static_assert(KEY_SHIFT == VK_SHIFT);
static_assert(KEY_CONTROL == VK_CONTROL);
static_assert(KEY_MENU == VK_MENU);
static_assert(KEY_ESCAPE == VK_ESCAPE);
static_assert(KEY_SPACE == VK_SPACE);
static_assert(KEY_ARROW_LEFT == VK_LEFT);
static_assert(KEY_ARROW_UP == VK_UP);
static_assert(KEY_ARROW_RIGHT == VK_RIGHT);
static_assert(KEY_ARROW_DOWN == VK_DOWN);
static_assert(KEY_DELETE == VK_DELETE);
static_assert(KEY_DIGIT_1 == '1' && KEY_DIGIT_9 == '9');
static_assert(KEY_B == 'B' && KEY_D == 'D' && KEY_F == 'F' && KEY_W == 'W');
static_assert(KEY_LWIN == VK_LWIN);
static_assert(KEY_RWIN == VK_RWIN);
static_assert(KEY_LSHIFT == VK_LSHIFT);
static_assert(KEY_RSHIFT == VK_RSHIFT);
static_assert(KEY_RMENU == VK_RMENU);
static_assert(KEY_PLUS == VK_OEM_PLUS);
static_assert(KEY_MINUS == VK_OEM_MINUS);
static_assert(KEY_EXTENDED == KEYEVENTF_EXTENDEDKEY);
static_assert(KEY_UP == KEYEVENTF_KEYUP);
static_assert(HOOK_FLAG_INJECTED == LLKHF_INJECTED);

static_assert(TRAY_ICON_FLAGS == (NIF_MESSAGE | NIF_ICON | NIF_TIP));

static_assert(ERR_FILE_NOT_FOUND == ERROR_FILE_NOT_FOUND);
static_assert(ERR_PATH_NOT_FOUND == ERROR_PATH_NOT_FOUND);
static_assert(ERR_INVALID_DATA == ERROR_INVALID_DATA);

}  // namespace win
