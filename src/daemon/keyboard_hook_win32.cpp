#include "daemon/keyboard_hook_win32.h"

#include <windows.h>

#include <string>

#include "daemon/hook_logic.h"
#include "win/platform_win32.h"

namespace quilt_daemon {
namespace {

// A LowLevelKeyboardProc is handed no context, so the hook reaches the
// daemon's shared record through this one pointer, set before the hook is
// installed and never changed afterwards.
struct HookContext {
    win::Platform* platform = nullptr;
    DaemonState* state = nullptr;
};
HookContext g_hook;

bool down(int vk) { return (GetAsyncKeyState(vk) & 0x8000) != 0; }

// The system drops a hook that keeps it waiting, so this only reads the key
// state, decides, and leaves every real piece of work to the main thread.
LRESULT CALLBACK keyboard_proc(int code, WPARAM wparam, LPARAM lparam) {
    if (code != HC_ACTION) return CallNextHookEx(nullptr, code, wparam, lparam);
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lparam);
    const KeyEvent event{code, static_cast<std::uint32_t>(wparam), key->vkCode, key->flags};
    DaemonState& state = *g_hook.state;

    KeysDown keys;
    if ((key->flags & LLKHF_INJECTED) == 0) {
        keys = {down(VK_LWIN), down(VK_RWIN), down(VK_CONTROL), down(VK_MENU), down(VK_SHIFT)};
    }
    const HookResult result = on_key_event(event, load_hook_state(state), keys);

    UINT inserted = 0;
    if (result.input_count > 0) {
        INPUT inputs[3] = {};
        for (int i = 0; i < result.input_count; ++i) {
            inputs[i].type = INPUT_KEYBOARD;
            inputs[i].ki.wVk = result.inputs[static_cast<std::size_t>(i)].vk;
            inputs[i].ki.dwFlags = result.inputs[static_cast<std::size_t>(i)].flags;
        }
        inserted = SendInput(static_cast<UINT>(result.input_count), inputs, sizeof(INPUT));
    }
    for (int i = 0; i < result.post_count; ++i) {
        const Post& post = result.posts[static_cast<std::size_t>(i)];
        // A modal loop on the main thread (the tray menu's) drops thread
        // messages, but dispatches those of a window.
        if (state.hook_target != 0) {
            PostMessageW(win::to_hwnd(state.hook_target), post.message, post.wparam, 0);
        } else {
            PostThreadMessageW(state.main_thread_id, post.message, post.wparam, 0);
        }
    }
    store_hook_state(state, result.state);
    if (swallows(result, inserted)) return 1;
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

void report_unavailable(const win::Error& e) {
    g_hook.platform->write_err(win::failure_line("Keyboard shortcuts are unavailable", e.message));
}

// The hook is taken away on every way out of the thread.
class HookHandle {
  public:
    explicit HookHandle(HHOOK h) : h_(h) {}
    HookHandle(const HookHandle&) = delete;
    HookHandle& operator=(const HookHandle&) = delete;
    ~HookHandle() {
        if (h_) UnhookWindowsHookEx(h_);
    }
    explicit operator bool() const { return h_ != nullptr; }

  private:
    HHOOK h_;
};

DWORD WINAPI hook_thread(void*) {
    const HookHandle hook(SetWindowsHookExW(WH_KEYBOARD_LL, keyboard_proc, GetModuleHandleW(nullptr), 0));
    if (!hook) {
        report_unavailable(win::last_error());
        return 0;
    }
    // The system calls the hook from inside GetMessageW; the messages
    // themselves are of no interest until WM_QUIT ends the loop.
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    }
    return 0;
}

}  // namespace

KeyboardHook::KeyboardHook(win::Platform& p, DaemonState& state) {
    g_hook = {&p, &state};
    thread_ = win::UniqueHandle(CreateThread(nullptr, 0, hook_thread, nullptr, 0, &thread_id_));
    if (!thread_) report_unavailable(win::last_error());
}

KeyboardHook::~KeyboardHook() {
    if (!thread_) return;
    // A thread that has no message queue yet refuses the message: try again
    // until it takes it or has ended, for at most a second.
    for (int i = 0; i < 100; ++i) {
        if (PostThreadMessageW(thread_id_, WM_QUIT, 0, 0)) break;
        if (WaitForSingleObject(thread_.get(), 10) != WAIT_TIMEOUT) break;
    }
    WaitForSingleObject(thread_.get(), 1000);
}

}  // namespace quilt_daemon
