#include "daemon/tray_win32.h"

#include <windows.h>
// needs the types of windows.h
#include <shellapi.h>

#include <string>

#include "daemon/tray_logic.h"
#include "win/platform_win32.h"

namespace quilt_daemon {

struct TrayWindow {
    HWND hwnd = nullptr;
    HICON icon = nullptr;
    bool own_icon = false;  // a stock icon is not ours to destroy
    DaemonState* state = nullptr;
};

namespace {

constexpr wchar_t CLASS_NAME[] = L"QuiltTray";
static_assert(sizeof(NOTIFYICONDATAW) == 976, "the shell expects the full structure");

// Built afresh for every call, as the shell keeps its own copy.
NOTIFYICONDATAW icon_data(const TrayWindow& tray) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = tray.hwnd;
    data.uID = TRAY_ICON_ID;
    data.uFlags = win::TRAY_ICON_FLAGS;
    data.uCallbackMessage = win::MSG_TRAY;
    data.hIcon = tray.icon;
    for (std::size_t i = 0; i < TRAY_TIP.size(); ++i) data.szTip[i] = static_cast<wchar_t>(TRAY_TIP[i]);
    return data;
}

void load_icon(TrayWindow& tray, HMODULE module) {
    tray.icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                              GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    tray.own_icon = tray.icon != nullptr;
    if (!tray.icon) tray.icon = LoadIconW(nullptr, IDI_APPLICATION);
}

void show_menu(HWND hwnd) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return;
    for (const TrayMenuItem& item : TRAY_MENU) {
        const auto* text = reinterpret_cast<const wchar_t*>(item.text.data());
        switch (item.kind) {
            case TrayMenuItem::Kind::Grayed: AppendMenuW(menu, MF_GRAYED, item.id, text); break;
            case TrayMenuItem::Kind::Separator: AppendMenuW(menu, MF_SEPARATOR, 0, nullptr); break;
            case TrayMenuItem::Kind::Item: AppendMenuW(menu, MF_STRING, item.id, text); break;
        }
    }
    POINT at{};
    if (!GetCursorPos(&at)) at = {0, 0};
    // The menu closes on a click elsewhere only while its owner is in front.
    HWND previous = GetForegroundWindow();
    SetForegroundWindow(hwnd);
    const BOOL command =
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd, nullptr);
    DestroyMenu(menu);
    switch (menu_outcome(static_cast<std::uint32_t>(command), previous != nullptr)) {
        case MenuOutcome::Quit: PostQuitMessage(0); break;
        case MenuOutcome::RestoreFocus: SetForegroundWindow(previous); break;
        case MenuOutcome::Nothing: break;
    }
}

LRESULT CALLBACK tray_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    // Messages of the window's creation arrive before the pointer is set.
    const auto* tray = reinterpret_cast<const TrayWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (tray) {
        switch (tray_reaction(message, static_cast<std::uint64_t>(lparam), tray->state->taskbar_created_msg)) {
            case TrayReaction::ShowMenu: show_menu(hwnd); return 0;
            case TrayReaction::AddIcon: {
                NOTIFYICONDATAW data = icon_data(*tray);
                Shell_NotifyIconW(NIM_ADD, &data);
                return 0;
            }
            case TrayReaction::Default: break;
        }
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace

Tray::Tray() = default;
Tray::Tray(Tray&&) noexcept = default;
Tray& Tray::operator=(Tray&& other) noexcept {
    if (this != &other) {
        remove_tray(*this);
        window = std::move(other.window);
    }
    return *this;
}
Tray::~Tray() { remove_tray(*this); }

std::optional<Tray> create_tray(win::Platform& p, DaemonState& state) {
    HMODULE module = GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    wc.lpfnWndProc = tray_proc;
    wc.hInstance = module;
    wc.lpszClassName = CLASS_NAME;
    if (!RegisterClassW(&wc)) {
        p.write_err(tray_unavailable_message(TRAY_CLASS_FAILED));
        return std::nullopt;
    }
    HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, CLASS_NAME, L"Quilt", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, module,
                                nullptr);
    if (!hwnd) {
        p.write_err(tray_unavailable_message(win::last_error().message));
        return std::nullopt;
    }
    Tray tray;
    tray.window = std::make_unique<TrayWindow>();
    tray.window->hwnd = hwnd;
    tray.window->state = &state;
    state.taskbar_created_msg = RegisterWindowMessageW(L"TaskbarCreated");
    load_icon(*tray.window, module);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(tray.window.get()));

    NOTIFYICONDATAW data = icon_data(*tray.window);
    if (!Shell_NotifyIconW(NIM_ADD, &data)) {
        DestroyWindow(hwnd);
        tray.window->hwnd = nullptr;
        p.write_err(tray_unavailable_message(TRAY_ICON_REFUSED));
        return std::nullopt;
    }
    return tray;
}

void remove_tray(Tray& tray) {
    if (!tray.window) return;
    TrayWindow& w = *tray.window;
    if (w.hwnd) {
        NOTIFYICONDATAW data = icon_data(w);
        Shell_NotifyIconW(NIM_DELETE, &data);
        DestroyWindow(w.hwnd);
    }
    if (w.own_icon) DestroyIcon(w.icon);
    tray.window.reset();
}

void release_console_if_alone(win::Platform& p, bool tray_present) {
    if (should_release_console(tray_present, p.console_process_count())) FreeConsole();
}

}  // namespace quilt_daemon
