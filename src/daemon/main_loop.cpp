#include "daemon/main_loop.h"

#include "daemon/shortcuts.h"
#include "win/window_ops.h"

namespace quilt_daemon {
namespace {

void stop_timer(win::Platform& p, std::uintptr_t& id) {
    if (id != 0) p.kill_thread_timer(id);
    id = 0;
}

DaemonEvent hide_overlay(win::Platform& p, DaemonState& state, LoopTimers& timers) {
    stop_timer(p, timers.release_poll);
    state.overlay_visible.store(false);
    return DaemonEvent::hide_overlay();
}

// A drop carries the window the user let go of; otherwise the tick re-tiles.
DaemonEvent tick(DaemonState& state, bool periodic) {
    const std::uint64_t dropped = state.dropped_window.exchange(0, std::memory_order_acquire);
    if (dropped != 0) return DaemonEvent::drop(win::Hwnd{dropped}, state.drop_x, state.drop_y);
    return periodic ? DaemonEvent::periodic_retile() : DaemonEvent::retile();
}

std::optional<DaemonEvent> on_timer(win::Platform& p, DaemonState& state, LoopTimers& timers, std::uintptr_t id) {
    if (id == 0) return std::nullopt;
    if (id == timers.hold) {
        stop_timer(p, timers.hold);
        if (!win::win_key_is_down(p)) return std::nullopt;
        timers.release_poll = p.set_thread_timer(RELEASE_POLL_MS);
        state.overlay_visible.store(true);
        return DaemonEvent::show_overlay();
    }
    if (id == timers.release_poll) {
        if (win::win_key_is_down(p)) return std::nullopt;
        return hide_overlay(p, state, timers);
    }
    if (id == state.debounce_timer) {
        stop_timer(p, state.debounce_timer);
        return tick(state, false);
    }
    if (id == timers.periodic) return tick(state, true);
    return std::nullopt;
}

std::optional<DaemonEvent> on_win_key(win::Platform& p, DaemonState& state, LoopTimers& timers, bool down) {
    stop_timer(p, timers.hold);
    if (down) {
        timers.hold = p.set_thread_timer(HOLD_MS);
        return std::nullopt;
    }
    if (timers.release_poll != 0) return hide_overlay(p, state, timers);
    return std::nullopt;
}

}  // namespace

std::optional<DaemonEvent> on_thread_message(win::Platform& p, DaemonState& state, LoopTimers& timers,
                                             std::uint32_t message, std::uint64_t wparam) {
    switch (message) {
        case win::MSG_TIMER: return on_timer(p, state, timers, static_cast<std::uintptr_t>(wparam));
        case win::MSG_WIN_KEY: return on_win_key(p, state, timers, wparam != 0);
        case win::MSG_STOP: state.stop_requested.store(true); return DaemonEvent::stop();
        case win::MSG_SHORTCUT:
            // A code too large for 32 bits must not wrap onto a real one.
            if (wparam > UINT32_MAX) return std::nullopt;
            if (auto a = action_from_code(static_cast<std::uint32_t>(wparam))) return DaemonEvent::shortcut(*a);
            return std::nullopt;
        default: return std::nullopt;
    }
}

void on_win_event(win::Platform& p, DaemonState& state, std::uint32_t event, win::Hwnd window, std::int32_t object_id,
                  std::int32_t child_id) {
    // Events about parts of a window (scroll bars, carets, menus) say nothing about the layout.
    if (object_id != 0 || child_id != 0 || !window) return;
    if (event == win::EVENT_MOVESIZE_START) {
        const win::Rect r = win::window_rect(p, window);
        state.moving_window.store(window.value);
        state.move_start_left = r.left;
        state.move_start_top = r.top;
        state.move_start_width = r.width;
        state.move_start_height = r.height;
        return;
    }
    if (event == win::EVENT_MOVESIZE_END) {
        const std::uint64_t previous = state.moving_window.exchange(0);
        const win::Rect r = win::window_rect(p, window);
        // Only a move keeps the size; a resize is a re-tile, not a drop. A
        // window that ends where it started was only clicked: a press on the
        // title bar enters the same loop.
        const bool same_size = r.width == state.move_start_width && r.height == state.move_start_height;
        const bool moved = r.left != state.move_start_left || r.top != state.move_start_top;
        const bool drag = previous == window.value && same_size && moved;
        const auto cursor = p.cursor_pos();
        if (drag && cursor) {
            state.drop_x = cursor->x;
            state.drop_y = cursor->y;
            state.dropped_window.store(window.value, std::memory_order_release);
        }
    }
    schedule_pass(p, state);
}

void take_message(MessageQueue& queue, LoopMessage message, const std::function<void(const LoopMessage&)>& handle) {
    queue.pending.push_back(message);
    if (queue.busy) return;
    queue.busy = true;
    while (!queue.pending.empty()) {
        const LoopMessage next = queue.pending.front();
        queue.pending.pop_front();
        handle(next);
    }
    queue.busy = false;
}

void schedule_pass(win::Platform& p, DaemonState& state) {
    // A pending timer is not restarted: a stream of events gives one pass per 80 ms.
    if (state.debounce_timer == 0) state.debounce_timer = p.set_thread_timer(DEBOUNCE_MS);
}

}  // namespace quilt_daemon
