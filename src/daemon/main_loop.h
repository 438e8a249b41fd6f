// The main loop's decisions, apart from the Win32 loop that feeds them: which
// thread message or window event becomes which daemon event, the debounce of
// window events, drag detection, and the overlay's hold-and-release timers.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>

#include "daemon/daemon_state.h"
#include "daemon/events.h"
#include "win/platform.h"

namespace quilt_daemon {

inline constexpr std::uint32_t DEBOUNCE_MS = 80;
inline constexpr std::uint32_t PERIODIC_MS = 3000;
inline constexpr std::uint32_t HOLD_MS = 600;
inline constexpr std::uint32_t RELEASE_POLL_MS = 100;

// The loop's own timers (the debounce timer lives in DaemonState); 0 = not running.
struct LoopTimers {
    std::uintptr_t periodic = 0;
    std::uintptr_t hold = 0;
    std::uintptr_t release_poll = 0;
};

// One thread message (WM_TIMER, MSG_SHORTCUT, MSG_WIN_KEY, MSG_STOP): updates
// the timers and gives the event to handle, if any.
std::optional<DaemonEvent> on_thread_message(win::Platform& p, DaemonState& state, LoopTimers& timers,
                                             std::uint32_t message, std::uint64_t wparam);

// A thread message as the loop takes it.
struct LoopMessage {
    std::uint32_t message = 0;
    std::uint64_t wparam = 0;
    friend bool operator==(const LoopMessage&, const LoopMessage&) = default;
};

// The messages waiting for their turn, and whether one is being handled.
struct MessageQueue {
    std::deque<LoopMessage> pending;
    bool busy = false;
};

// One message at a time: a message that arrives while another is handled (a
// modal loop inside a pass may dispatch it) waits until that one is done and
// is then handled by the call that handled it, in the order they came.
void take_message(MessageQueue& queue, LoopMessage message, const std::function<void(const LoopMessage&)>& handle);

// Starts the debounce timer unless it runs already, so that a pass follows soon.
void schedule_pass(win::Platform& p, DaemonState& state);

// The window-event callback: notes moves and sizes, and schedules a pass.
void on_win_event(win::Platform& p, DaemonState& state, std::uint32_t event, win::Hwnd window, std::int32_t object_id,
                  std::int32_t child_id);

}  // namespace quilt_daemon
