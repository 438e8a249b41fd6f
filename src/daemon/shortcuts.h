// The shortcut table: which keys take part in chords on the Windows key,
// what each chord does, and the codes that carry an action from the keyboard
// hook to the main thread.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "daemon/events.h"
#include "win/numbers.h"

namespace quilt_daemon {

// The action table: MSG_SHORTCUT carries an index into it. Desktops are not
// in it; they travel as 100 + n and 200 + n.
inline constexpr std::array<ShortcutAction, 17> ACTION_TABLE = {{
    {ActionTag::OpenBrowser, 0},
    {ActionTag::ToggleFullscreen, 0},
    {ActionTag::ToggleLauncher, 0},
    action(ActionTag::Focus, layout::Direction::Left),
    action(ActionTag::Focus, layout::Direction::Up),
    action(ActionTag::Focus, layout::Direction::Right),
    action(ActionTag::Focus, layout::Direction::Down),
    action(ActionTag::Swap, layout::Direction::Left),
    action(ActionTag::Swap, layout::Direction::Up),
    action(ActionTag::Swap, layout::Direction::Right),
    action(ActionTag::Swap, layout::Direction::Down),
    {ActionTag::OpenTerminal, 0},
    {ActionTag::CloseWindow, 0},
    {ActionTag::ResizeWidth, RESIZE_MINUS},
    {ActionTag::ResizeWidth, RESIZE_PLUS},
    {ActionTag::ResizeHeight, RESIZE_MINUS},
    {ActionTag::ResizeHeight, RESIZE_PLUS},
}};

// The keys that can be part of a chord; a key's bit in `swallowed_keys` is
// its position here. The top-row digits '1' to '9' follow as bits 12 to 20.
inline constexpr std::array<std::uint16_t, 12> TRACKED_KEYS = {
    win::KEY_B,          win::KEY_F,      win::KEY_SPACE, win::KEY_ARROW_LEFT, win::KEY_ARROW_UP, win::KEY_ARROW_RIGHT,
    win::KEY_ARROW_DOWN, win::KEY_RETURN, win::KEY_W,     win::KEY_ESCAPE,     win::KEY_MINUS,    win::KEY_PLUS,
};

// The key's bit number in `swallowed_keys`; nothing for a key that no chord uses.
std::optional<int> tracked_key_bit(std::uint16_t vk);

// The MSG_SHORTCUT wParam of an action: its table index, or 100 + n / 200 + n
// for the desktops. Nothing for an action that cannot be sent.
std::optional<std::uint32_t> action_code(ShortcutAction action);
// The inverse, for the main thread; nothing for a code no action has.
std::optional<ShortcutAction> action_from_code(std::uint32_t code);

// What a chord of the Windows key with one tracked key does.
struct Chord {
    bool stop = false;      // Win+Shift+Esc: stop the daemon instead of an action
    ShortcutAction action;  // when not stop
    bool repeats = false;   // acts again on each auto-repeat of the key
    friend bool operator==(const Chord&, const Chord&) = default;
};

// The chord of Windows key + `vk`, with or without Shift (and neither Ctrl
// nor Alt); nothing when that combination is not a shortcut.
std::optional<Chord> chord_for(std::uint16_t vk, bool shift);

}  // namespace quilt_daemon
