#include "daemon/shortcuts.h"

namespace quilt_daemon {

std::optional<int> tracked_key_bit(std::uint16_t vk) {
    for (std::size_t i = 0; i < TRACKED_KEYS.size(); ++i) {
        if (TRACKED_KEYS[i] == vk) return static_cast<int>(i);
    }
    return std::nullopt;
}

std::optional<std::uint32_t> action_code(ShortcutAction action) {
    for (const Shortcut& s : SHORTCUTS) {
        if (posts_action(s) && s.chord.action == action) return s.code;
    }
    return std::nullopt;
}

std::optional<ShortcutAction> action_from_code(std::uint32_t code) {
    for (const Shortcut& s : SHORTCUTS) {
        if (posts_action(s) && s.code == code) return s.chord.action;
    }
    return std::nullopt;
}

std::optional<Chord> chord_for(std::uint16_t vk, bool shift) {
    for (const Shortcut& s : SHORTCUTS) {
        if (s.key == vk && vk != 0 && (s.shift == Shift::Either || (s.shift == Shift::With) == shift)) return s.chord;
    }
    return std::nullopt;
}

}  // namespace quilt_daemon
