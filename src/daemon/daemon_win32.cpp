#include "daemon/daemon_win32.h"

#include <windows.h>

#include <array>
#include <optional>

#include "daemon/keyboard_hook_win32.h"
#include "daemon/lifecycle.h"
#include "daemon/main_loop.h"
#include "daemon/tiling_pass.h"
#include "daemon/tray_win32.h"
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
            if (!hooks_[i] && !failure) failure = win::last_error();
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

    std::optional<Tray> tray = create_tray(p, g_state);
    // After a double-click the console is ours alone; with a tray icon to stop
    // the daemon it can go. Without one, Ctrl+C in it is the way to stop.
    release_console_if_alone(p, tray.has_value());

    layout::LayoutState state;
    FocusBorder border;
    (void)p.open_desktop_manager();  // absent (as under Wine): desktop ids stay zero
    bool first_pass = true;
    DaemonContext ctx{state, border, first_pass, g_state};
    const EventSinks sinks;
    handle_event(p, ctx, sinks, DaemonEvent::retile());

    g_state.main_thread_id = GetCurrentThreadId();
    SetConsoleCtrlHandler(console_control, TRUE);
    const KeyboardHook keyboard_hook(p, g_state);

    LoopTimers timers;
    {
        WinEventHooks hooks(p);
        timers.periodic = p.set_thread_timer(PERIODIC_MS);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            const std::uint64_t got = watch ? p.tick_ms() : 0;
            if (msg.hwnd == nullptr && is_loop_message(msg.message)) {
                if (auto event = on_thread_message(p, g_state, timers, msg.message, msg.wParam)) {
                    handle_event(p, ctx, sinks, *event);
                }
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
