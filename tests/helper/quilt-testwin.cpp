// A window-making helper for the end-to-end tests. It reads one command per
// line on standard input and answers on standard output, so a test can open
// windows of every kind the program classifies, read any window's rectangle
// from outside the program, and close what it opened.
//
//   open KIND TITLE...   -> "hwnd 0x..."   KIND: resizable fixed owned tool
//                                         noactivate untitled minimized maximized
//                                         resizable-min:WxH (a minimum tracking size)
//   rect 0xHWND          -> "rect L T R B" (GetWindowRect) or "rect none"
//   state 0xHWND         -> "state visible=V iconic=I zoomed=Z"
//   close 0xHWND         -> "closed"
//   move 0xHWND X Y W H  -> "moved" (SetWindowPos from the window's own process)
//   appear TITLE         -> "hwnd 0x..." for a new resizable window, then unasked
//                           "tiled 0xHWND MS" (or "tiled 0xHWND none" after 10 s): the
//                           milliseconds from its ShowWindow to its rectangle first
//                           changing, watched by a thread of its own every
//                           millisecond, so that no round trip of the test is in it
//   lock PATH            -> "locked" or "error N": opens the file with no sharing until quit
//   hung 0xHWND          -> "hung 0" or "hung 1" (IsHungAppWindow)
//   hang MS              -> "hanging", then the window thread stops pumping for MS ms
//   quit                 -> the process ends, taking its windows with it
//   keylog 0xHWND        -> "logging": from now on record that window's key messages
//   keys                 -> "keys" and " KIND:0xVK" per key message since the last "keys"
//                           (KIND: down up sysdown sysup); the record is cleared
//   foreground           -> "hwnd 0x..." (GetForegroundWindow, 0x0 for none)
//   pid 0xHWND           -> "pid N": the process of any window (GetWindowThreadProcessId)
//   windows CLASS        -> "windows" and " 0xHWND=V" per top-level window of that class (V: visible)
//   workarea             -> "workarea L T R B" (SPI_GETWORKAREA)
//   traydel 0xHWND ID    -> "traydel 1|0": takes that window's tray icon away, as a shell restart would
//   broadcast NAME       -> "posted": posts the registered message NAME to every top-level window
//   focus 0xHWND         -> "focused 0|1" (SetForegroundWindow)
//   minimize|maximize|restore 0xHWND -> "shown" (ShowWindow)
//
// Unasked, each window prints "endsession 0xHWND L T R B" (GetWindowRect)
// when the session ends (WM_ENDSESSION with wParam TRUE).
//
// Wine raises almost none of the window events Windows raises, so the helper
// raises them for its own windows (NotifyWinEvent reaches other processes'
// out-of-context hooks under Wine); a program listening for them then sees
// what it would see on Windows. Commands go to a message-only window rather
// than the thread, so that they still run while a drag's modal loop pumps.
#include <windows.h>
// needs the types of windows.h
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include "probe_commands.h"

namespace {

constexpr UINT MSG_COMMAND = WM_APP + 1;
constexpr wchar_t CLASS_NAME[] = L"QuiltTestWindow";
HWND g_first = nullptr;             // owner for "owned" windows
std::map<HWND, POINT> g_min_sizes;  // windows that refuse to be smaller
HWND g_key_window = nullptr;        // the window whose key messages are recorded
std::string g_keys;
std::set<HWND> g_minimized;  // to raise the end of a minimise once
std::set<HWND> g_shown;      // to raise each show and hide once
HWND g_active = nullptr;     // to raise each activation once
HWND g_commands = nullptr;   // message-only window that runs the commands

std::wstring from_utf8(const std::string& s) {
    if (s.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
    return out;
}

void reply(const std::string& line) {
    std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::string hex(HWND h) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%llx", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(h)));
    return buf;
}

HWND parse_hwnd(const std::string& s) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(std::strtoull(s.c_str(), nullptr, 16)));
}

void record_key(HWND h, UINT msg, WPARAM wp) {
    if (h != g_key_window) return;
    const char* kind = msg == WM_KEYDOWN      ? "down"
                       : msg == WM_KEYUP      ? "up"
                       : msg == WM_SYSKEYDOWN ? "sysdown"
                       : msg == WM_SYSKEYUP   ? "sysup"
                                              : nullptr;
    if (!kind) return;
    char buf[32];
    std::snprintf(buf, sizeof buf, " %s:0x%02x", kind, static_cast<unsigned>(wp));
    g_keys += buf;
}

BOOL CALLBACK add_if_class(HWND h, LPARAM lp) {
    auto* query = reinterpret_cast<std::pair<std::wstring, std::string>*>(lp);
    wchar_t name[256];
    if (GetClassNameW(h, name, 256) && query->first == name) {
        query->second += " " + hex(h) + "=" + (IsWindowVisible(h) ? "1" : "0");
    }
    return TRUE;
}

// The commands that look at keys and at the shell rather than at windows
// this helper made; false for a verb that is not one of them.
bool run_shell_command(const std::string& verb, const std::string& rest) {
    if (verb == "keylog") {
        g_key_window = parse_hwnd(rest);
        g_keys.clear();
        reply("logging");
    } else if (verb == "keys") {
        reply("keys" + g_keys);
        g_keys.clear();
    } else if (verb == "foreground") {
        reply("hwnd " + hex(GetForegroundWindow()));
    } else if (verb == "pid") {
        DWORD pid = 0;
        GetWindowThreadProcessId(parse_hwnd(rest), &pid);
        reply("pid " + std::to_string(pid));
    } else if (verb == "windows") {
        std::pair<std::wstring, std::string> query{from_utf8(rest), "windows"};
        EnumWindows(add_if_class, reinterpret_cast<LPARAM>(&query));
        reply(query.second);
    } else if (verb == "workarea") {
        RECT r{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
        reply("workarea " + std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
              std::to_string(r.bottom));
    } else if (verb == "traydel") {
        const auto cut = rest.find(' ');
        NOTIFYICONDATAW data{};
        data.cbSize = sizeof data;
        data.hWnd = parse_hwnd(rest.substr(0, cut));
        data.uID = cut == std::string::npos ? 0 : static_cast<UINT>(std::strtoul(rest.c_str() + cut + 1, nullptr, 10));
        reply(Shell_NotifyIconW(NIM_DELETE, &data) ? "traydel 1" : "traydel 0");
    } else if (verb == "broadcast") {
        PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(from_utf8(rest).c_str()), 0, 0);
        reply("posted");
    } else {
        return false;
    }
    return true;
}

void run_command(const std::string& line);

void raise_event(DWORD event, HWND h) { NotifyWinEvent(event, h, OBJID_WINDOW, CHILDID_SELF); }

// Raises the show, hide and minimise events that the window's state has
// gone through since they were last raised. Wine changes the state before
// it sends the messages that tell of it, and not always in Windows' order
// (it activates a window it shows or restores before WM_WINDOWPOSCHANGED and
// WM_SIZE), so the state itself is compared, once per message that may
// follow a change.
void raise_state_events(HWND h) {
    if (IsWindowVisible(h)) {
        if (g_shown.insert(h).second) raise_event(EVENT_OBJECT_SHOW, h);
    } else if (g_shown.erase(h)) {
        raise_event(EVENT_OBJECT_HIDE, h);
    }
    if (IsIconic(h)) {
        if (g_minimized.insert(h).second) raise_event(EVENT_SYSTEM_MINIMIZESTART, h);
        // Windows takes the activation away from a minimised window; Wine may
        // leave it there when nothing else can take it.
        if (g_active == h) g_active = nullptr;
    } else if (g_minimized.erase(h)) {
        raise_event(EVENT_SYSTEM_MINIMIZEEND, h);
    }
}

void raise_window_events(HWND h, UINT msg, WPARAM wp) {
    if (h == g_commands) return;
    switch (msg) {
        case WM_WINDOWPOSCHANGED:
        case WM_SIZE: raise_state_events(h); break;
        case WM_ACTIVATE:
            if (LOWORD(wp) == WA_INACTIVE) {
                if (g_active == h) g_active = nullptr;
            } else if (g_active != h) {  // Wine sends a restored window WM_ACTIVATE twice
                g_active = h;
                raise_state_events(h);
                raise_event(EVENT_SYSTEM_FOREGROUND, h);
            }
            break;
        case WM_ENTERSIZEMOVE: raise_event(EVENT_SYSTEM_MOVESIZESTART, h); break;
        case WM_EXITSIZEMOVE: raise_event(EVENT_SYSTEM_MOVESIZEEND, h); break;
        case WM_DESTROY:
            raise_state_events(h);
            g_shown.erase(h);
            g_minimized.erase(h);
            if (g_active == h) g_active = nullptr;
            raise_event(EVENT_OBJECT_DESTROY, h);
            break;
        default: break;
    }
}

LRESULT CALLBACK window_proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == MSG_COMMAND && h == g_commands) {
        auto* line = reinterpret_cast<std::string*>(lp);
        run_command(*line);
        delete line;
        return 0;
    }
    record_key(h, msg, wp);
    raise_window_events(h, msg, wp);
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        FillRect(dc, &ps.rcPaint, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        EndPaint(h, &ps);
        return 0;
    }
    // What a program that notes its place at the end of a session would note.
    if (msg == WM_ENDSESSION && wp && h != g_commands) {
        RECT r{};
        GetWindowRect(h, &r);
        reply("endsession " + hex(h) + " " + std::to_string(r.left) + " " + std::to_string(r.top) + " " +
              std::to_string(r.right) + " " + std::to_string(r.bottom));
    }
    if (msg == WM_GETMINMAXINFO) {
        auto it = g_min_sizes.find(h);
        if (it != g_min_sizes.end()) reinterpret_cast<MINMAXINFO*>(lp)->ptMinTrackSize = it->second;
    }
    return DefWindowProcW(h, msg, wp, lp);
}

HWND open_window(const std::string& kind, const std::wstring& title, LARGE_INTEGER* shown_at = nullptr) {
    DWORD style = WS_OVERLAPPEDWINDOW;
    DWORD ex_style = 0;
    HWND owner = nullptr;
    int show = SW_SHOWNOACTIVATE;
    if (kind == "fixed") style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    if (kind == "owned") owner = g_first;
    if (kind == "tool") ex_style = WS_EX_TOOLWINDOW;
    if (kind == "noactivate") ex_style = WS_EX_NOACTIVATE;
    if (kind == "minimized") show = SW_SHOWMINNOACTIVE;
    if (kind == "maximized") show = SW_SHOWMAXIMIZED;
    POINT min_size{0, 0};
    if (kind.rfind("resizable-min:", 0) == 0) {
        min_size.x = std::atoi(kind.c_str() + 14);
        const auto x = kind.find('x', 14);
        if (x != std::string::npos) min_size.y = std::atoi(kind.c_str() + x + 1);
    }
    HWND h = CreateWindowExW(ex_style, CLASS_NAME, kind == "untitled" ? L"" : title.c_str(), style, 200, 150, 640, 480,
                             owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!h) return nullptr;
    if (min_size.x || min_size.y) {
        g_min_sizes[h] = min_size;
        // Creation asked before the size was known; start at a size the window accepts.
        SetWindowPos(h, nullptr, 0, 0, std::max<LONG>(640, min_size.x), std::max<LONG>(480, min_size.y),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (shown_at) QueryPerformanceCounter(shown_at);
    ShowWindow(h, show);
    UpdateWindow(h);
    if (!g_first) g_first = h;
    return h;
}

void watch_first_move(HWND h, RECT shown, LARGE_INTEGER shown_at) {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    for (;;) {
        RECT r;
        QueryPerformanceCounter(&now);
        const double ms = static_cast<double>(now.QuadPart - shown_at.QuadPart) * 1000.0 / frequency.QuadPart;
        if (GetWindowRect(h, &r) && !EqualRect(&r, &shown)) {
            char text[32];
            std::snprintf(text, sizeof text, "%.1f", ms);
            reply("tiled " + hex(h) + " " + text);
            return;
        }
        if (ms > 10000) {
            reply("tiled " + hex(h) + " none");
            return;
        }
        Sleep(1);
    }
}

void run_command(const std::string& line) {
    const auto space = line.find(' ');
    const std::string verb = line.substr(0, space);
    const std::string rest = space == std::string::npos ? std::string() : line.substr(space + 1);
    if (verb == "open") {
        const auto cut = rest.find(' ');
        const std::string kind = rest.substr(0, cut);
        const std::string title = cut == std::string::npos ? std::string() : rest.substr(cut + 1);
        HWND h = open_window(kind, from_utf8(title));
        reply(h ? "hwnd " + hex(h) : "error " + std::to_string(GetLastError()));
    } else if (verb == "appear") {
        LARGE_INTEGER shown_at;
        HWND h = open_window("resizable", from_utf8(rest), &shown_at);
        RECT shown{};
        if (h) GetWindowRect(h, &shown);
        reply(h ? "hwnd " + hex(h) : "error " + std::to_string(GetLastError()));
        if (h) std::thread(watch_first_move, h, shown, shown_at).detach();
    } else if (verb == "rect") {
        RECT r;
        if (GetWindowRect(parse_hwnd(rest), &r)) {
            reply("rect " + std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
                  std::to_string(r.bottom));
        } else {
            reply("rect none");
        }
    } else if (verb == "state") {
        HWND h = parse_hwnd(rest);
        reply("state visible=" + std::to_string(IsWindowVisible(h) ? 1 : 0) +
              " iconic=" + std::to_string(IsIconic(h) ? 1 : 0) + " zoomed=" + std::to_string(IsZoomed(h) ? 1 : 0));
    } else if (verb == "close") {
        DestroyWindow(parse_hwnd(rest));
        reply("closed");
    } else if (verb == "move") {
        char hwnd_text[32] = {};
        int x = 0, y = 0, w = 0, hgt = 0;
        std::sscanf(rest.c_str(), "%31s %d %d %d %d", hwnd_text, &x, &y, &w, &hgt);
        SetWindowPos(parse_hwnd(hwnd_text), nullptr, x, y, w, hgt, SWP_NOZORDER | SWP_NOACTIVATE);
        reply("moved");
    } else if (verb == "lock") {
        HANDLE f = CreateFileW(from_utf8(rest).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        reply(f == INVALID_HANDLE_VALUE ? "error " + std::to_string(GetLastError()) : std::string("locked"));
    } else if (verb == "hung") {
        reply(std::string("hung ") + (IsHungAppWindow(parse_hwnd(rest)) ? "1" : "0"));
    } else if (verb == "hang") {
        reply("hanging");
        Sleep(static_cast<DWORD>(std::strtoul(rest.c_str(), nullptr, 10)));
    } else if (verb == "focus") {
        reply(std::string("focused ") + (SetForegroundWindow(parse_hwnd(rest)) ? "1" : "0"));
    } else if (verb == "minimize" || verb == "maximize" || verb == "restore") {
        const int show = verb == "minimize" ? SW_MINIMIZE : verb == "maximize" ? SW_MAXIMIZE : SW_RESTORE;
        ShowWindow(parse_hwnd(rest), show);
        reply("shown");
    } else if (verb == "quit") {
        PostQuitMessage(0);
    } else if (!run_shell_command(verb, rest)) {
        reply("error unknown command");
    }
}

// Standard input is read on its own thread; each line is handed to the
// window thread, which owns the windows.
void read_commands() {
    std::string line;
    while (read_line(line)) {
        PostMessageW(g_commands, MSG_COMMAND, 0, reinterpret_cast<LPARAM>(new std::string(line)));
    }
    PostMessageW(g_commands, MSG_COMMAND, 0, reinterpret_cast<LPARAM>(new std::string("quit")));
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = window_proc;
    wc.hInstance = instance;
    wc.lpszClassName = CLASS_NAME;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    RegisterClassW(&wc);
    MSG msg;
    g_commands = CreateWindowExW(0, CLASS_NAME, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    std::thread(read_commands).detach();
    reply("ready");
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
