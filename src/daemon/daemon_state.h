// What the daemon's threads share: the process-wide state record, the numbers
// of the messages they post to each other, the shortcut action that the
// keyboard hook produces and the main thread carries out, and the events of
// the main loop.
//
// The namespace is not plain `daemon` because POSIX declares a function of
// that name, which would clash in the host build.
#pragma once

#include <atomic>
#include <cstdint>

#include "win/types.h"

namespace quilt_daemon {

// Thread and window messages (WM_APP = 0x8000).
inline constexpr std::uint32_t MSG_SHORTCUT = 0x8001;     // hook -> main: wParam = action code
inline constexpr std::uint32_t MSG_WIN_KEY = 0x8002;      // hook -> main: 1 Windows key down, 0 up or used
inline constexpr std::uint32_t MSG_TRAY = 0x8014;         // shell -> tray window
inline constexpr std::uint32_t MSG_ICONS_READY = 0x801E;  // icon thread -> launcher window
inline constexpr std::uint32_t MSG_QUIT = 0x0012;         // WM_QUIT
inline constexpr std::uint32_t MSG_TIMER = 0x0113;        // WM_TIMER

enum class ActionTag : std::uint8_t {
    ResizeWidth = 0,
    ResizeHeight = 1,
    Focus = 2,
    Swap = 3,
    OpenTerminal = 4,
    OpenBrowser = 5,
    ToggleLauncher = 6,
    ToggleFullscreen = 7,
    CloseWindow = 8,
    GoToDesktop = 10,
    MoveToDesktop = 11,
};

// Payloads of Focus and Swap.
enum class Direction : std::uint8_t { Left = 0, Right = 1, Up = 2, Down = 3 };
inline constexpr std::uint8_t DIR_LEFT = 0;
inline constexpr std::uint8_t DIR_RIGHT = 1;
inline constexpr std::uint8_t DIR_UP = 2;
inline constexpr std::uint8_t DIR_DOWN = 3;
// Payloads of ResizeWidth and ResizeHeight: which key was pressed.
inline constexpr std::uint8_t RESIZE_MINUS = 0;
inline constexpr std::uint8_t RESIZE_PLUS = 1;

// One action of a shortcut: a tag and a one-byte payload (a direction, a
// resize key or a desktop number 1 to 9; 0 otherwise).
struct ShortcutAction {
    ActionTag tag = ActionTag::ResizeWidth;
    std::uint8_t payload = 0;
    friend bool operator==(const ShortcutAction&, const ShortcutAction&) = default;
};

constexpr ShortcutAction action(ActionTag tag, std::uint8_t payload = 0) { return {tag, payload}; }
constexpr ShortcutAction action(ActionTag tag, Direction d) { return {tag, static_cast<std::uint8_t>(d)}; }

// The 16-bit form: tag in the low byte, payload in the high byte.
inline std::uint16_t to_bits(ShortcutAction a) {
    return static_cast<std::uint16_t>(static_cast<std::uint16_t>(a.tag) | (a.payload << 8));
}
inline ShortcutAction from_bits(std::uint16_t bits) {
    return {static_cast<ActionTag>(bits & 0xFF), static_cast<std::uint8_t>(bits >> 8)};
}

// One unit of work for the main loop.
struct DaemonEvent {
    enum class Kind { Retile, Drop, Shortcut, ShowOverlay, HideOverlay };
    Kind kind = Kind::Retile;
    win::Hwnd window;  // Drop
    std::int32_t x = 0, y = 0;
    ShortcutAction action;  // Shortcut

    static DaemonEvent retile() { return {}; }
    static DaemonEvent drop(win::Hwnd w, std::int32_t px, std::int32_t py) { return {Kind::Drop, w, px, py, {}}; }
    static DaemonEvent shortcut(ShortcutAction a) { return {Kind::Shortcut, {}, 0, 0, a}; }
    static DaemonEvent show_overlay() { return {Kind::ShowOverlay, {}, 0, 0, {}}; }
    static DaemonEvent hide_overlay() { return {Kind::HideOverlay, {}, 0, 0, {}}; }
    friend bool operator==(const DaemonEvent&, const DaemonEvent&) = default;
};

// The one process-wide record. The atomic fields cross threads; the others
// are touched only by the main thread (the window-event callbacks run there).
struct DaemonState {
    std::uint32_t main_thread_id = 0;  // written once, before the hook thread starts
    std::atomic<std::uint64_t> moving_window{0};
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
    std::atomic<bool> shutdown_done{false};
    std::uint32_t taskbar_created_msg = 0;
};

}  // namespace quilt_daemon
