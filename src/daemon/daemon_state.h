// What the daemon's threads share: the shortcut actions, the events of the
// main loop, the message numbers, and the one process-wide state record.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "win/types.h"

namespace quilt_daemon {

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

enum class Direction : std::uint8_t { Left = 0, Right = 1, Up = 2, Down = 3 };

// Tag in the low byte, payload in the high byte.
struct ShortcutAction {
    ActionTag tag = ActionTag::ResizeWidth;
    std::uint8_t payload = 0;

    constexpr std::uint16_t code() const {
        return static_cast<std::uint16_t>(static_cast<std::uint16_t>(tag) | (payload << 8));
    }
    friend constexpr bool operator==(const ShortcutAction&, const ShortcutAction&) = default;
};

constexpr ShortcutAction action(ActionTag tag, std::uint8_t payload = 0) { return {tag, payload}; }
constexpr ShortcutAction action(ActionTag tag, Direction d) { return {tag, static_cast<std::uint8_t>(d)}; }

// The index into this table is what the hook posts with MSG_SHORTCUT.
inline constexpr std::array<ShortcutAction, 17> ACTION_TABLE = {
    action(ActionTag::OpenBrowser),
    action(ActionTag::ToggleFullscreen),
    action(ActionTag::ToggleLauncher),
    action(ActionTag::Focus, Direction::Left),
    action(ActionTag::Focus, Direction::Up),
    action(ActionTag::Focus, Direction::Right),
    action(ActionTag::Focus, Direction::Down),
    action(ActionTag::Swap, Direction::Left),
    action(ActionTag::Swap, Direction::Up),
    action(ActionTag::Swap, Direction::Right),
    action(ActionTag::Swap, Direction::Down),
    action(ActionTag::OpenTerminal),
    action(ActionTag::CloseWindow),
    action(ActionTag::ResizeWidth, 0),
    action(ActionTag::ResizeWidth, 1),
    action(ActionTag::ResizeHeight, 0),
    action(ActionTag::ResizeHeight, 1),
};

// Thread messages and window messages between the daemon's threads.
inline constexpr std::uint32_t MSG_SHORTCUT = 0x8001;     // WM_APP + 1
inline constexpr std::uint32_t MSG_WIN_KEY = 0x8002;      // WM_APP + 2
inline constexpr std::uint32_t MSG_TRAY = 0x8014;         // WM_APP + 20
inline constexpr std::uint32_t MSG_ICONS_READY = 0x801E;  // WM_APP + 30
inline constexpr std::uint32_t MESSAGE_QUIT = 0x0012;     // WM_QUIT
inline constexpr std::uint32_t MESSAGE_TIMER = 0x0113;    // WM_TIMER

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

// The one record that the daemon's threads share. Fields that only the main
// thread touches need no atomics: the window-event callbacks run on it too.
struct DaemonState {
    std::uint32_t main_thread_id = 0;  // written before any other thread can read it
    std::atomic<std::uint64_t> moving_window{0};
    std::int32_t move_start_width = 0;
    std::int32_t move_start_height = 0;
    std::atomic<std::uint64_t> dropped_window{0};  // stored after drop_x/drop_y, with release ordering
    std::int32_t drop_x = 0;
    std::int32_t drop_y = 0;
    std::uintptr_t debounce_timer = 0;
    std::atomic<bool> overlay_visible{false};
    std::atomic<bool> win_down{false};
    std::atomic<bool> win_used{false};
    std::atomic<std::uint32_t> swallowed_keys{0};
    std::atomic<bool> shutdown_done{false};
    std::uint32_t taskbar_created_msg = 0;
};

}  // namespace quilt_daemon
