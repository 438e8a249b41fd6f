// The numbers of the Windows interface that the portable code reads and
// writes: styles, commands, flags, messages, events, keys and error codes.
// The core never sees <windows.h>, so they are written out here, once;
// numbers_win32.cpp checks each against the system headers.
#pragma once

#include <cstdint>

namespace win {

// Window styles that classification reads.
inline constexpr std::uint32_t STYLE_THICKFRAME = 0x00040000;    // WS_THICKFRAME
inline constexpr std::uint32_t STYLE_CHILD = 0x40000000;         // WS_CHILD
inline constexpr std::uint32_t STYLE_VISIBLE = 0x10000000;       // WS_VISIBLE
inline constexpr std::uint32_t STYLE_MINIMIZE = 0x20000000;      // WS_MINIMIZE: what IsIconic reads
inline constexpr std::uint32_t STYLE_MAXIMIZE = 0x01000000;      // WS_MAXIMIZE: what IsZoomed reads
inline constexpr std::uint32_t EXSTYLE_TOOLWINDOW = 0x00000080;  // WS_EX_TOOLWINDOW
inline constexpr std::uint32_t EXSTYLE_NOACTIVATE = 0x08000000;  // WS_EX_NOACTIVATE

// ShowWindow commands and SetWindowPos flags.
inline constexpr int SHOW_HIDE = 0;        // SW_HIDE
inline constexpr int SHOW_NORMAL = 1;      // SW_SHOWNORMAL
inline constexpr int SHOW_MINIMIZED = 2;   // SW_SHOWMINIMIZED
inline constexpr int SHOW_MAXIMIZED = 3;   // SW_SHOWMAXIMIZED
inline constexpr int SHOW_NOACTIVATE = 4;  // SW_SHOWNOACTIVATE
inline constexpr int SHOW_SHOW = 5;        // SW_SHOW
// The other commands that leave a window minimised.
inline constexpr int SHOW_MINIMIZE = 6;        // SW_MINIMIZE
inline constexpr int SHOW_MINNOACTIVE = 7;     // SW_SHOWMINNOACTIVE
inline constexpr int SHOW_FORCEMINIMIZE = 11;  // SW_FORCEMINIMIZE
// The move is posted to the window's own thread instead of waiting for it.
inline constexpr std::uint32_t POS_ASYNC = 0x4000;  // SWP_ASYNCWINDOWPOS
// SetWindowPlacement's flag with the same effect.
inline constexpr std::uint32_t PLACEMENT_ASYNC = 0x0004;  // WPF_ASYNCWINDOWPLACEMENT
inline constexpr std::uint32_t POS_NOSIZE = 0x0001;
inline constexpr std::uint32_t POS_NOMOVE = 0x0002;
inline constexpr std::uint32_t POS_NOZORDER = 0x0004;
inline constexpr std::uint32_t POS_NOACTIVATE = 0x0010;
inline constexpr std::uint32_t POS_SHOWWINDOW = 0x0040;

// Desktop Window Manager attributes.
inline constexpr std::uint32_t ATTR_EXTENDED_FRAME_BOUNDS = 9;  // DWMWA_EXTENDED_FRAME_BOUNDS
inline constexpr std::uint32_t ATTR_CLOAKED = 14;               // DWMWA_CLOAKED
inline constexpr std::uint32_t ATTR_BORDER_COLOR = 34;          // DWMWA_BORDER_COLOR (Windows 11)
inline constexpr std::uint32_t COLOR_DEFAULT = 0xFFFFFFFF;      // DWMWA_COLOR_DEFAULT

// Messages. The program's own are numbered from WM_APP (0x8000).
inline constexpr std::uint32_t MSG_CLOSE = 0x0010;              // WM_CLOSE
inline constexpr std::uint32_t MSG_QUIT = 0x0012;               // WM_QUIT
inline constexpr std::uint32_t MSG_KEYDOWN = 0x0100;            // WM_KEYDOWN
inline constexpr std::uint32_t MSG_KEYUP = 0x0101;              // WM_KEYUP
inline constexpr std::uint32_t MSG_SYSKEYDOWN = 0x0104;         // WM_SYSKEYDOWN
inline constexpr std::uint32_t MSG_SYSKEYUP = 0x0105;           // WM_SYSKEYUP
inline constexpr std::uint32_t MSG_TIMER = 0x0113;              // WM_TIMER
inline constexpr std::uint32_t MSG_LBUTTONUP = 0x0202;          // WM_LBUTTONUP
inline constexpr std::uint32_t MSG_RBUTTONUP = 0x0205;          // WM_RBUTTONUP
inline constexpr std::uint32_t MSG_SHORTCUT = 0x8001;           // hook -> main thread: wParam = action code
inline constexpr std::uint32_t MSG_WIN_KEY = 0x8002;            // hook -> main thread: 1 Windows key down, 0 up or used
inline constexpr std::uint32_t MSG_STOP = 0x8003;               // hook, console handler -> daemon window: stop
inline constexpr std::uint32_t MSG_TRAY = 0x8014;               // shell -> tray window
inline constexpr std::uint32_t MSG_ICONS_READY = 0x801E;        // icon thread -> launcher window
inline constexpr std::uint32_t MSG_CATALOGUE_READY = 0x801F;    // catalogue thread -> launcher window
inline constexpr std::uint32_t MSG_QUERY_END_SESSION = 0x0011;  // WM_QUERYENDSESSION
inline constexpr std::uint32_t MSG_END_SESSION = 0x0016;        // WM_ENDSESSION

// Window events the daemon listens for.
inline constexpr std::uint32_t EVENT_FOREGROUND = 0x0003;      // EVENT_SYSTEM_FOREGROUND
inline constexpr std::uint32_t EVENT_MOVESIZE_START = 0x000A;  // EVENT_SYSTEM_MOVESIZESTART
inline constexpr std::uint32_t EVENT_MOVESIZE_END = 0x000B;    // EVENT_SYSTEM_MOVESIZEEND
inline constexpr std::uint32_t EVENT_MINIMIZE_START = 0x0016;  // EVENT_SYSTEM_MINIMIZESTART
inline constexpr std::uint32_t EVENT_MINIMIZE_END = 0x0017;    // EVENT_SYSTEM_MINIMIZEEND
inline constexpr std::uint32_t EVENT_DESTROY = 0x8001;         // EVENT_OBJECT_DESTROY
inline constexpr std::uint32_t EVENT_HIDE = 0x8003;            // EVENT_OBJECT_HIDE
inline constexpr std::uint32_t EVENT_CLOAKED = 0x8017;         // EVENT_OBJECT_CLOAKED
inline constexpr std::uint32_t EVENT_UNCLOAKED = 0x8018;       // EVENT_OBJECT_UNCLOAKED

// Virtual keys.
inline constexpr std::uint16_t KEY_RETURN = 0x0D;
inline constexpr std::uint16_t KEY_SHIFT = 0x10;
inline constexpr std::uint16_t KEY_CONTROL = 0x11;
inline constexpr std::uint16_t KEY_MENU = 0x12;  // Alt
inline constexpr std::uint16_t KEY_ESCAPE = 0x1B;
inline constexpr std::uint16_t KEY_SPACE = 0x20;
inline constexpr std::uint16_t KEY_ARROW_LEFT = 0x25;
inline constexpr std::uint16_t KEY_ARROW_UP = 0x26;
inline constexpr std::uint16_t KEY_ARROW_RIGHT = 0x27;
inline constexpr std::uint16_t KEY_ARROW_DOWN = 0x28;
inline constexpr std::uint16_t KEY_DELETE = 0x2E;
inline constexpr std::uint16_t KEY_DIGIT_1 = 0x31;  // the top-row digits, '1' to '9'
inline constexpr std::uint16_t KEY_DIGIT_9 = 0x39;
inline constexpr std::uint16_t KEY_B = 0x42;  // letters are their upper-case ASCII code
inline constexpr std::uint16_t KEY_D = 0x44;
inline constexpr std::uint16_t KEY_F = 0x46;
inline constexpr std::uint16_t KEY_W = 0x57;
inline constexpr std::uint16_t KEY_LWIN = 0x5B;
inline constexpr std::uint16_t KEY_RWIN = 0x5C;
inline constexpr std::uint16_t KEY_LSHIFT = 0xA0;
inline constexpr std::uint16_t KEY_RSHIFT = 0xA1;
inline constexpr std::uint16_t KEY_RMENU = 0xA5;  // right Alt, the last of the side-specific modifiers
inline constexpr std::uint16_t KEY_PLUS = 0xBB;   // VK_OEM_PLUS, the "=" key
inline constexpr std::uint16_t KEY_MINUS = 0xBD;  // VK_OEM_MINUS
inline constexpr std::uint16_t KEY_UNASSIGNED = 0xE8;

// SendInput's key flags, and the low-level hook's flag of synthesised input.
inline constexpr std::uint32_t KEY_EXTENDED = 0x0001;        // KEYEVENTF_EXTENDEDKEY
inline constexpr std::uint32_t KEY_UP = 0x0002;              // KEYEVENTF_KEYUP
inline constexpr std::uint32_t HOOK_FLAG_INJECTED = 0x0010;  // LLKHF_INJECTED

// The tray icon's NOTIFYICONDATA flags: NIF_MESSAGE | NIF_ICON | NIF_TIP.
inline constexpr std::uint32_t TRAY_ICON_FLAGS = 0x7;

// System error codes.
inline constexpr std::uint32_t ERR_FILE_NOT_FOUND = 2;
inline constexpr std::uint32_t ERR_PATH_NOT_FOUND = 3;
inline constexpr std::uint32_t ERR_INVALID_DATA = 13;

}  // namespace win
