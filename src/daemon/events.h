// The main loop's units of work: the shortcut actions that the keyboard hook
// produces and the main thread carries out, and the events they travel in.
//
// The namespace is not plain `daemon` because POSIX declares a function of
// that name, which would clash in the host build.
#pragma once

#include <cstdint>

#include "layout/actions.h"
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

// Payloads of ResizeWidth and ResizeHeight: which key was pressed. Focus and
// Swap carry a layout::Direction.
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
constexpr ShortcutAction action(ActionTag tag, layout::Direction d) { return {tag, static_cast<std::uint8_t>(d)}; }

// One unit of work for the main loop.
struct DaemonEvent {
    enum class Kind { Retile, Drop, Shortcut, ShowOverlay, HideOverlay, Stop };
    Kind kind = Kind::Retile;
    win::Hwnd window;  // Drop
    std::int32_t x = 0, y = 0;
    ShortcutAction action;  // Shortcut
    // A Retile of the periodic timer, which no window event asked for.
    bool periodic = false;

    static DaemonEvent retile() { return {}; }
    static DaemonEvent periodic_retile() { return {Kind::Retile, {}, 0, 0, {}, true}; }
    static DaemonEvent drop(win::Hwnd w, std::int32_t px, std::int32_t py) { return {Kind::Drop, w, px, py, {}}; }
    static DaemonEvent shortcut(ShortcutAction a) { return {Kind::Shortcut, {}, 0, 0, a}; }
    static DaemonEvent show_overlay() { return {Kind::ShowOverlay, {}, 0, 0, {}}; }
    static DaemonEvent hide_overlay() { return {Kind::HideOverlay, {}, 0, 0, {}}; }
    static DaemonEvent stop() { return {Kind::Stop, {}, 0, 0, {}}; }
    friend bool operator==(const DaemonEvent&, const DaemonEvent&) = default;
};

}  // namespace quilt_daemon
