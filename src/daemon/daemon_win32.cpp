#include "daemon/daemon_win32.h"

#include <windows.h>

#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "daemon/keyboard_hook_win32.h"
#include "daemon/lifecycle.h"
#include "daemon/main_loop.h"
#include "daemon/overlay.h"
#include "daemon/overlay_win32.h"
#include "daemon/tiling_pass.h"
#include "daemon/tray_win32.h"
#include "icons/icon_loaders_win32.h"
#include "launcher/launcher_win32.h"
#include "launcher/paint_win32.h"
#include "layout/layout_state.h"

namespace quilt_daemon {
namespace {

// The daemon's one shared record. The window-event callback and the console
// handler get no context pointer, so they find it (and the platform) here.
DaemonState g_state;
win::Win32Platform* g_platform = nullptr;

void CALLBACK win_event_proc(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object_id, LONG child_id, DWORD, DWORD) {
    on_win_event(*g_platform, g_state, event, win::Hwnd{win::from_hwnd(hwnd)}, object_id, child_id);
}

// Ctrl+C, closing the console, log-off and shut-down all end the same way:
// the main loop stops and puts the windows back while this thread waits.
BOOL WINAPI console_control(DWORD) {
    PostThreadMessageW(g_state.main_thread_id, WM_QUIT, 0, 0);
    wait_for_shutdown(*g_platform, g_state);
    return TRUE;
}

struct EventRange {
    DWORD first, last;
};

constexpr std::array<EventRange, 5> EVENT_RANGES = {{
    {win::EVENT_FOREGROUND, win::EVENT_FOREGROUND},
    {win::EVENT_MOVESIZE_START, win::EVENT_MOVESIZE_END},
    {win::EVENT_MINIMIZE_START, win::EVENT_MINIMIZE_END},
    {win::EVENT_DESTROY, win::EVENT_HIDE},  // takes in EVENT_OBJECT_SHOW
    {win::EVENT_CLOAKED, win::EVENT_UNCLOAKED},
}};

// The hooks live exactly as long as the main loop. A range that cannot be
// hooked is said once; the daemon then relies on the periodic pass for it.
class WinEventHooks {
  public:
    explicit WinEventHooks(win::Platform& p) {
        std::optional<win::Error> failure;
        for (std::size_t i = 0; i < EVENT_RANGES.size(); ++i) {
            SetLastError(0);
            hooks_[i] = SetWinEventHook(EVENT_RANGES[i].first, EVENT_RANGES[i].last, nullptr, win_event_proc, 0, 0,
                                        WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
            if (!hooks_[i] && !failure) {
                // SetWinEventHook is not documented to set an error code.
                failure = win::last_error();
                if (failure->code == 0) failure->message = "Windows did not install the window-event hook";
            }
        }
        if (failure) p.write_err("Window events are unavailable: " + failure->message + "\n");
    }
    WinEventHooks(const WinEventHooks&) = delete;
    WinEventHooks& operator=(const WinEventHooks&) = delete;
    ~WinEventHooks() { remove(); }
    void remove() {
        for (auto& h : hooks_) {
            if (h) UnhookWinEvent(h);
            h = nullptr;
        }
    }

  private:
    std::array<HWINEVENTHOOK, EVENT_RANGES.size()> hooks_{};
};

bool is_loop_message(UINT message) {
    return message == WM_TIMER || message == win::MSG_SHORTCUT || message == win::MSG_WIN_KEY;
}

// What the main loop needs to handle one of its own messages, also from a
// window procedure.
struct Loop {
    win::Win32Platform& p;
    DaemonContext& ctx;
    const EventSinks& sinks;
    LoopTimers& timers;
    std::vector<std::pair<UINT, WPARAM>> pending;
    bool busy = false;
};

// One message at a time: one that arrives while another is handled (a modal
// loop inside a pass may dispatch it) waits for that one to finish.
void take(Loop& loop, UINT message, WPARAM wparam) {
    loop.pending.emplace_back(message, wparam);
    if (loop.busy) return;
    loop.busy = true;
    while (!loop.pending.empty()) {
        const auto [m, w] = loop.pending.front();
        loop.pending.erase(loop.pending.begin());
        if (auto event = on_thread_message(loop.p, g_state, loop.timers, m, w)) {
            handle_event(loop.p, loop.ctx, loop.sinks, *event);
        }
    }
    loop.busy = false;
}

LRESULT CALLBACK hook_target_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* loop = reinterpret_cast<Loop*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (loop && (message == win::MSG_SHORTCUT || message == win::MSG_WIN_KEY)) {
        take(*loop, message, wparam);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

// The message-only window that the keyboard hook posts to. A modal loop on
// the main thread, such as the tray menu's, dispatches its messages where it
// would drop messages posted to the thread. Without it the hook posts to the
// thread.
class HookTarget {
  public:
    explicit HookTarget(Loop& loop) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = hook_target_proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = CLASS_NAME;
        RegisterClassW(&wc);
        hwnd_ = CreateWindowExW(0, CLASS_NAME, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        if (hwnd_) SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&loop));
    }
    HookTarget(const HookTarget&) = delete;
    HookTarget& operator=(const HookTarget&) = delete;
    ~HookTarget() {
        if (hwnd_) DestroyWindow(hwnd_);
    }
    std::uint64_t handle() const { return win::from_hwnd(hwnd_); }

  private:
    static constexpr wchar_t CLASS_NAME[] = L"QuiltShortcuts";
    HWND hwnd_ = nullptr;
};

}  // namespace

int run_daemon(win::Win32Platform& p, const LoopWatch& watch) {
    g_platform = &p;
    // Held, never closed, for the life of the process: it is the proof that a daemon runs.
    HANDLE mutex = CreateMutexW(nullptr, TRUE, L"Local\\QuiltDaemon");
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) {
        p.write_err("Quilt is already running.\n");
        return 1;
    }
    p.write_out(start_text());

    launcher::start_gdiplus();
    const win::Hwnd overlay = overlay_or_report(p, create_overlay_window(p));
    launcher::LauncherWindow launcher_window{p, {}};
    launcher::start_launcher(
        p, launcher_window.launcher, launcher::create_launcher_window(launcher_window), win::MSG_ICONS_READY,
        [&p](win::Hwnd window, std::uint32_t message) { return icons::icon_thread_work(p, window, message); });

    std::optional<Tray> tray = create_tray(p, g_state);
    // After a double-click the console is ours alone; with a tray icon to stop
    // the daemon it can go. Without one, Ctrl+C in it is the way to stop.
    release_console_if_alone(p, tray.has_value());

    layout::LayoutState state;
    FocusBorder border;
    (void)p.open_desktop_manager();  // absent (as under Wine): desktop ids stay zero
    bool first_pass = true;
    DaemonContext ctx{state, border, first_pass, g_state};
    EventSinks sinks;
    if (overlay) {
        sinks.show_overlay = [&] { show_overlay_window(p, overlay); };
        sinks.hide_overlay = [&] { hide_overlay_window(p, overlay); };
    }
    if (launcher_window.launcher.window) {
        sinks.toggle_launcher = [&] { launcher::toggle_launcher(p, launcher_window.launcher); };
    }
    handle_event(p, ctx, sinks, DaemonEvent::retile());

    LoopTimers timers;
    Loop loop{p, ctx, sinks, timers, {}, false};
    const HookTarget hook_target(loop);
    g_state.hook_target = hook_target.handle();
    g_state.main_thread_id = GetCurrentThreadId();
    SetConsoleCtrlHandler(console_control, TRUE);
    const KeyboardHook keyboard_hook(p, g_state);

    {
        WinEventHooks hooks(p);
        timers.periodic = p.set_thread_timer(PERIODIC_MS);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            const std::uint64_t got = watch ? p.tick_ms() : 0;
            if (msg.hwnd == nullptr && is_loop_message(msg.message)) {
                take(loop, msg.message, msg.wParam);
            } else {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            if (watch) watch(p.tick_ms() - got);
        }
    }
    p.kill_thread_timer(timers.periodic);
    set_focus_border(p, border, false, win::Hwnd{});
    if (tray) remove_tray(*tray);
    const int status = report_stop(p, layout::restore_positions(p));
    g_state.shutdown_done.store(true);
    p.close_desktop_manager();
    return status;
}

}  // namespace quilt_daemon
