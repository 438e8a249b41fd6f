// The one record that the daemon's threads share. The atomic fields cross
// threads; the others are touched only by the main thread (the window-event
// callbacks run there). The messages the threads post to each other are
// numbered in win/numbers.h.
#pragma once

#include <atomic>
#include <cstdint>

namespace quilt_daemon {

struct DaemonState {
    std::uint32_t main_thread_id = 0;  // written once, before the hook thread starts
    // The main thread's message-only window, which the hook posts to; 0: post
    // to the thread. Written once, before the hook thread starts.
    std::uint64_t hook_target = 0;
    std::atomic<std::uint64_t> moving_window{0};
    std::int32_t move_start_left = 0;
    std::int32_t move_start_top = 0;
    std::int32_t move_start_width = 0;
    std::int32_t move_start_height = 0;
    std::atomic<std::uint64_t> dropped_window{0};  // stored after drop_x, drop_y with release order
    std::int32_t drop_x = 0;
    std::int32_t drop_y = 0;
    std::uintptr_t debounce_timer = 0;
    std::atomic<bool> overlay_visible{false};      // main thread writes, hook reads
    std::atomic<bool> win_down{false};             // the hook thread's own
    std::atomic<bool> win_used{false};             // the hook thread's own
    std::atomic<std::uint32_t> swallowed_keys{0};  // the hook thread's own
    // Set by whoever asks for the stop (the console handler, the hook's stop
    // message), before the message that wakes the main loop: a modal loop may
    // swallow that message, never this flag.
    std::atomic<bool> stop_requested{false};
    std::atomic<bool> shutdown_done{false};
    std::uint32_t taskbar_created_msg = 0;
};

}  // namespace quilt_daemon
