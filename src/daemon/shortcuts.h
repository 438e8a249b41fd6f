// The shortcut table: which keys take part in chords on the Windows key,
// what each chord does, and the codes that carry an action from the keyboard
// hook to the main thread.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "daemon/daemon_state.h"

namespace quilt_daemon {

// Virtual keys of the table.
inline constexpr std::uint16_t KEY_B = 0x42;
inline constexpr std::uint16_t KEY_F = 0x46;
inline constexpr std::uint16_t KEY_W = 0x57;
inline constexpr std::uint16_t KEY_SPACE = 0x20;
inline constexpr std::uint16_t KEY_ARROW_LEFT = 0x25;
inline constexpr std::uint16_t KEY_ARROW_UP = 0x26;
inline constexpr std::uint16_t KEY_ARROW_RIGHT = 0x27;
inline constexpr std::uint16_t KEY_ARROW_DOWN = 0x28;
inline constexpr std::uint16_t KEY_RETURN = 0x0D;
inline constexpr std::uint16_t KEY_ESCAPE = 0x1B;
inline constexpr std::uint16_t KEY_MINUS = 0xBD;  // VK_OEM_MINUS
inline constexpr std::uint16_t KEY_PLUS = 0xBB;   // VK_OEM_PLUS, the "=" key
inline constexpr std::uint16_t KEY_DIGIT_1 = 0x31;
inline constexpr std::uint16_t KEY_DIGIT_9 = 0x39;

// The action table: MSG_SHORTCUT carries an index into it. Desktops are not
// in it; they travel as 100 + n and 200 + n.
inline constexpr std::array<ShortcutAction, 17> ACTION_TABLE = {{
    {ActionTag::OpenBrowser, 0},
    {ActionTag::ToggleFullscreen, 0},
    {ActionTag::ToggleLauncher, 0},
    {ActionTag::Focus, DIR_LEFT},
    {ActionTag::Focus, DIR_UP},
    {ActionTag::Focus, DIR_RIGHT},
    {ActionTag::Focus, DIR_DOWN},
    {ActionTag::Swap, DIR_LEFT},
    {ActionTag::Swap, DIR_UP},
    {ActionTag::Swap, DIR_RIGHT},
    {ActionTag::Swap, DIR_DOWN},
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
    KEY_B,          KEY_F,      KEY_SPACE, KEY_ARROW_LEFT, KEY_ARROW_UP, KEY_ARROW_RIGHT,
    KEY_ARROW_DOWN, KEY_RETURN, KEY_W,     KEY_ESCAPE,     KEY_MINUS,    KEY_PLUS,
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
