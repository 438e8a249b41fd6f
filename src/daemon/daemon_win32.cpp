#include "daemon/daemon_win32.h"

#include <windows.h>

#include <array>
#include <memory>
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
#include "layout/layout_state.h"
#include "paint/paint_win32.h"

namespace quilt_daemon {
namespace {

// The daemon's one shared record. The window-event callback and the console
// handler get no context pointer, so they find it (and the platform) here.
DaemonState g_state;
win::Win32Platform* g_platform = nullptr;

void CALLBACK win_event_proc(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object_id, LONG child_id, DWORD, DWORD) {
    on_win_event(*g_platform, g_state, event, win::Hwnd{win::from_hwnd(hwnd)}, object_id, child_id);
}

// Ctrl+C, Ctrl+Break and closing the console all end the same way: the main
// loop stops and puts the windows back while this thread waits. The stop
// goes to the daemon's window, whose procedure also runs inside a menu's
// modal loop, which would swallow a WM_QUIT posted to the thread.
BOOL WINAPI console_control(DWORD) {
    g_state.stop_requested.store(true);
    if (g_state.hook_target == 0 || !PostMessageW(win::to_hwnd(g_state.hook_target), win::MSG_STOP, 0, 0)) {
        PostThreadMessageW(g_state.main_thread_id, WM_QUIT, 0, 0);
    }
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

// The hooks live while the daemon listens. A range that cannot be hooked is
// said once; the daemon then relies on the periodic pass for it.
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
                if (failure->kind == win::ErrorKind::NoCode)
                    failure->message = "Windows did not install the window-event hook";
            }
        }
        if (failure) p.write_err(win::failure_line("Window events are unavailable", failure->message));
    }
    WinEventHooks(const WinEventHooks&) = delete;
    WinEventHooks& operator=(const WinEventHooks&) = delete;
    ~WinEventHooks() {
        for (auto& h : hooks_) {
            if (h) UnhookWinEvent(h);
        }
    }

  private:
    std::array<HWINEVENTHOOK, EVENT_RANGES.size()> hooks_{};
};

bool is_loop_message(UINT message) {
    return message == WM_TIMER || message == win::MSG_SHORTCUT || message == win::MSG_WIN_KEY ||
           message == win::MSG_STOP;
}

// Held for the daemon's life: it is the proof that a daemon runs.
class InstanceMutex {
  public:
    InstanceMutex() : mutex_(CreateMutexW(nullptr, TRUE, L"Local\\QuiltDaemon")) {
        ours_ = mutex_ && GetLastError() != ERROR_ALREADY_EXISTS;
    }
    bool ours() const { return ours_; }

  private:
    win::UniqueHandle mutex_;
    bool ours_ = false;
};

// GDI+ stays for the process: the icons handed to the launcher live that long.
struct GdiplusSession {
    GdiplusSession() { paint::start_gdiplus(); }
};

// One of the daemon's own windows, destroyed with its owner.
class OwnedWindow {
  public:
    OwnedWindow() = default;
    explicit OwnedWindow(win::Hwnd h) : hwnd_(h) {}
    OwnedWindow(const OwnedWindow&) = delete;
    OwnedWindow& operator=(const OwnedWindow&) = delete;
    ~OwnedWindow() {
        if (hwnd_) DestroyWindow(win::to_hwnd(hwnd_.value));
    }
    win::Hwnd get() const { return hwnd_; }

  private:
    win::Hwnd hwnd_;
};

win::Hwnd made_or_null(const win::Result<win::Hwnd>& made) { return made ? made.value() : win::Hwnd{}; }

// The virtual-desktop manager, held while the daemon runs; absent (as under
// Wine) the desktop ids stay zero.
class DesktopManager {
  public:
    explicit DesktopManager(win::Platform& p) : p_(p) { (void)p_.open_desktop_manager(); }
    DesktopManager(const DesktopManager&) = delete;
    DesktopManager& operator=(const DesktopManager&) = delete;
    ~DesktopManager() { p_.close_desktop_manager(); }

  private:
    win::Platform& p_;
};

class Daemon;
LRESULT CALLBACK daemon_window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// The daemon's own hidden top-level window. The keyboard hook and the
// console handler post to it, because a modal loop on the main thread (the
// tray menu's) dispatches a window's messages where it drops the thread's;
// and only a top-level window hears that the session ends (a message-only
// window does not).
class DaemonWindow {
  public:
    explicit DaemonWindow(Daemon& daemon) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = daemon_window_proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = CLASS_NAME;
        RegisterClassW(&wc);
        hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW, CLASS_NAME, L"Quilt", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                wc.hInstance, nullptr);
        if (hwnd_) SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&daemon));
    }
    DaemonWindow(const DaemonWindow&) = delete;
    DaemonWindow& operator=(const DaemonWindow&) = delete;
    ~DaemonWindow() {
        if (hwnd_) DestroyWindow(hwnd_);
    }
    std::uint64_t handle() const { return win::from_hwnd(hwnd_); }

  private:
    static constexpr wchar_t CLASS_NAME[] = L"QuiltDaemon";
    HWND hwnd_ = nullptr;
};

// The running daemon. Its members are its start-up in order, so that its
// destruction takes everything down in reverse: the timers and hooks first,
// the windows before the state they point to, the mutex last.
class Daemon {
  public:
    explicit Daemon(win::Win32Platform& p) : p_(p) {}
    Daemon(const Daemon&) = delete;
    Daemon& operator=(const Daemon&) = delete;
    ~Daemon() {
        // Thread timers are not owned by any window: they go by hand (quiet
        // takes the periodic and debounce timers).
        for (std::uintptr_t* id : {&timers_.hold, &timers_.release_poll}) {
            if (*id != 0) p_.kill_thread_timer(*id);
            *id = 0;
        }
        quiet();
        g_state.hook_target = 0;
    }

    bool start() {
        if (!mutex_.ours()) {
            p_.write_err("Quilt is already running.\n");
            return false;
        }
        // Windows tells processes of a higher level first that the session
        // ends: the windows are then back before their programs note where
        // they are.
        SetProcessShutdownParameters(0x3FF, 0);
        p_.write_out(start_text());
        gdiplus_.emplace();
        overlay_.emplace(overlay_or_report(p_, create_overlay_window(p_)));
        start_launcher();
        tray_ = create_tray(p_, g_state);
        // After a double-click the console is ours alone; with a tray icon to
        // stop the daemon it can go. Without one, Ctrl+C in it is the way to stop.
        release_console_if_alone(p_, tray_.has_value());
        desktop_manager_.emplace(p_);
        wire_sinks();
        handle_event(p_, ctx_, sinks_, DaemonEvent::retile());

        window_.emplace(*this);
        g_state.hook_target = window_->handle();
        g_state.main_thread_id = GetCurrentThreadId();
        SetConsoleCtrlHandler(console_control, TRUE);
        keyboard_hook_.emplace(p_, g_state);
        listen();
        return true;
    }

    int run(const LoopWatch& watch) {
        MSG msg;
        while (!g_state.stop_requested.load() && ctx_.stage != Stage::Stopped && GetMessageW(&msg, nullptr, 0, 0) > 0) {
            const std::uint64_t got = watch ? p_.tick_ms() : 0;
            if (msg.hwnd == nullptr && is_loop_message(msg.message)) {
                take(msg.message, msg.wParam);
            } else {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            if (watch) watch(p_.tick_ms() - got);
        }
        return finish_stop(p_, ctx_, steps_);
    }

    void take(UINT message, WPARAM wparam) {
        take_message(queue_, {message, wparam}, [this](const LoopMessage& m) {
            if (auto event = on_thread_message(p_, g_state, timers_, m.message, m.wparam)) {
                handle_event(p_, ctx_, sinks_, *event);
            }
        });
    }

    // WM_QUERYENDSESSION: the windows go back now, while their programs have
    // not yet been told; the daemon's answer is always yes.
    void on_query_end_session() { put_windows_back(p_, ctx_, steps_); }

    // WM_ENDSESSION: the process may be ended as soon as this returns.
    void on_end_session(bool ending) {
        if (!ending) {
            resume_after_cancelled_end(p_, ctx_, steps_, sinks_);
            return;
        }
        finish_stop(p_, ctx_, steps_);
        g_state.stop_requested.store(true);
        stop_loop();
    }

  private:
    void start_launcher() {
        launcher_.emplace(p_, launcher::Launcher{});
        launcher::Launcher& l = launcher_->launcher;
        // The threads get platforms of their own, which they keep for as long
        // as they run, whatever happens to the daemon.
        l.catalogue_platform = std::make_shared<win::Win32Platform>();
        l.catalogue_ready_message = win::MSG_CATALOGUE_READY;
        const auto made = launcher::create_launcher_window(*launcher_);
        launcher_window_.emplace(made_or_null(made));
        auto icon_platform = std::make_shared<win::Win32Platform>();
        launcher::start_launcher(p_, l, made, win::MSG_ICONS_READY,
                                 [icon_platform](win::Hwnd window, std::uint32_t message) {
                                     return icons::icon_thread_work(icon_platform, window, message);
                                 });
    }

    void wire_sinks() {
        if (const win::Hwnd overlay = overlay_->get()) {
            sinks_.show_overlay = [this, overlay] { show_overlay_window(p_, overlay); };
            sinks_.hide_overlay = [this, overlay] { hide_overlay_window(p_, overlay); };
        }
        if (launcher_->launcher.window) {
            sinks_.toggle_launcher = [this] { launcher::toggle_launcher(p_, launcher_->launcher); };
        }
        sinks_.stop = [this] { stop_loop(); };
        steps_.quiet = [this] { quiet(); };
        steps_.listen = [this] { listen(); };
        steps_.remove_tray = [this] {
            if (tray_) remove_tray(*tray_);
        };
    }

    // A menu's modal loop runs inside a message of the main loop: ending it
    // lets that message return, and the loop then sees the stop request.
    void stop_loop() {
        EndMenu();
        PostQuitMessage(0);
    }

    void listen() {
        events_.emplace(p_);
        timers_.periodic = p_.set_thread_timer(PERIODIC_MS);
    }

    void quiet() {
        events_.reset();
        for (std::uintptr_t* id : {&timers_.periodic, &g_state.debounce_timer}) {
            if (*id != 0) p_.kill_thread_timer(*id);
            *id = 0;
        }
    }

    win::Win32Platform& p_;
    InstanceMutex mutex_;
    std::optional<GdiplusSession> gdiplus_;
    std::optional<OwnedWindow> overlay_;
    std::optional<launcher::LauncherWindow> launcher_;
    std::optional<OwnedWindow> launcher_window_;  // after its record, so it goes first
    std::optional<Tray> tray_;
    layout::LayoutState state_;
    FocusBorder border_;
    bool first_pass_ = true;
    DaemonContext ctx_{state_, border_, first_pass_, g_state};
    EventSinks sinks_;
    StopSteps steps_;
    std::optional<DesktopManager> desktop_manager_;
    LoopTimers timers_;
    MessageQueue queue_;
    std::optional<DaemonWindow> window_;
    std::optional<KeyboardHook> keyboard_hook_;
    std::optional<WinEventHooks> events_;
};

LRESULT CALLBACK daemon_window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* daemon = reinterpret_cast<Daemon*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (daemon) {
        switch (message) {
            case win::MSG_SHORTCUT:
            case win::MSG_WIN_KEY:
            case win::MSG_STOP: daemon->take(message, wparam); return 0;
            case WM_QUERYENDSESSION: daemon->on_query_end_session(); return TRUE;
            case WM_ENDSESSION: daemon->on_end_session(wparam != FALSE); return 0;
            default: break;
        }
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace

int run_daemon(win::Win32Platform& p, const LoopWatch& watch) {
    g_platform = &p;
    Daemon daemon(p);
    if (!daemon.start()) return 1;
    return daemon.run(watch);
}

}  // namespace quilt_daemon
