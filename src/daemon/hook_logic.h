// The keyboard hook's decisions, apart from the hook itself. The low-level
// hook procedure gathers one key event and a snapshot of what it reads, asks
// on_key_event what to do, and carries the answer out:
//   1. inject `inputs` (when there are any) in one SendInput call;
//   2. post `posts` to the main thread, in order;
//   3. store `state` back into DaemonState;
//   4. return 1 when swallows(result, inserted) holds, else CallNextHookEx.
// Injecting before posting matters: the dummy key press is what lets the
// main thread take the foreground when it acts on the shortcut.
#pragma once

#include <array>
#include <cstdint>

#include "daemon/daemon_state.h"
#include "win/platform.h"

namespace quilt_daemon {

// The hook procedure's arguments as the system passes them.
struct KeyEvent {
    int code = 0;               // nCode
    std::uint32_t message = 0;  // wParam
    std::uint32_t vk_code = 0;  // KBDLLHOOKSTRUCT.vkCode
    std::uint32_t flags = 0;    // KBDLLHOOKSTRUCT.flags
};

// GetAsyncKeyState at the time of the event.
struct KeysDown {
    bool lwin = false;
    bool rwin = false;
    bool control = false;  // VK_CONTROL, either side
    bool alt = false;      // VK_MENU, either side
    bool shift = false;    // VK_SHIFT, either side
};

// The DaemonState fields the hook reads and writes. Only the hook thread
// writes them, so reading them all, deciding, and storing them back is the
// same as changing each with an atomic swap.
struct HookState {
    bool win_down = false;
    bool win_used = false;
    std::uint32_t swallowed_keys = 0;
    bool overlay_visible = false;  // read only
    friend bool operator==(const HookState&, const HookState&) = default;
};

HookState load_hook_state(const DaemonState& state);
void store_hook_state(DaemonState& state, const HookState& hook);

enum class Verdict {
    Pass,
    Swallow,
    // Swallow only if the system inserted every input: the release of the
    // Windows key after the overlay was shown is replaced by an injected one.
    SwallowIfInjected,
};

struct Post {
    std::uint32_t message = 0;
    std::uint32_t wparam = 0;
    friend bool operator==(const Post&, const Post&) = default;
};

struct HookResult {
    Verdict verdict = Verdict::Pass;
    HookState state;
    std::array<Post, 2> posts{};
    int post_count = 0;
    std::array<win::KeyInput, 3> inputs{};
    int input_count = 0;
};

HookResult on_key_event(const KeyEvent& event, const HookState& state, const KeysDown& keys);

// Whether the hook returns 1, given how many of the result's inputs the
// system inserted.
bool swallows(const HookResult& result, std::uint32_t inserted);

}  // namespace quilt_daemon
