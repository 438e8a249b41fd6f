#include "daemon/shortcuts.h"

namespace quilt_daemon {

namespace {

constexpr std::uint32_t GO_TO_DESKTOP_BASE = 100;
constexpr std::uint32_t MOVE_TO_DESKTOP_BASE = 200;
constexpr int FIRST_DIGIT_BIT = 12;

bool is_desktop_number(std::uint32_t n) { return n >= 1 && n <= 9; }

std::optional<layout::Direction> arrow_direction(std::uint16_t vk) {
    switch (vk) {
        case win::KEY_ARROW_LEFT: return layout::Direction::Left;
        case win::KEY_ARROW_RIGHT: return layout::Direction::Right;
        case win::KEY_ARROW_UP: return layout::Direction::Up;
        case win::KEY_ARROW_DOWN: return layout::Direction::Down;
        default: return std::nullopt;
    }
}

}  // namespace

std::optional<int> tracked_key_bit(std::uint16_t vk) {
    if (vk >= win::KEY_DIGIT_1 && vk <= win::KEY_DIGIT_9) return FIRST_DIGIT_BIT + (vk - win::KEY_DIGIT_1);
    for (std::size_t i = 0; i < TRACKED_KEYS.size(); ++i) {
        if (TRACKED_KEYS[i] == vk) return static_cast<int>(i);
    }
    return std::nullopt;
}

std::optional<std::uint32_t> action_code(ShortcutAction action) {
    if (action.tag == ActionTag::GoToDesktop || action.tag == ActionTag::MoveToDesktop) {
        if (!is_desktop_number(action.payload)) return std::nullopt;
        const auto base = action.tag == ActionTag::GoToDesktop ? GO_TO_DESKTOP_BASE : MOVE_TO_DESKTOP_BASE;
        return base + action.payload;
    }
    for (std::size_t i = 0; i < ACTION_TABLE.size(); ++i) {
        if (ACTION_TABLE[i] == action) return static_cast<std::uint32_t>(i);
    }
    return std::nullopt;
}

std::optional<ShortcutAction> action_from_code(std::uint32_t code) {
    if (code < ACTION_TABLE.size()) return ACTION_TABLE[code];
    if (is_desktop_number(code - GO_TO_DESKTOP_BASE)) {
        return ShortcutAction{ActionTag::GoToDesktop, static_cast<std::uint8_t>(code - GO_TO_DESKTOP_BASE)};
    }
    if (is_desktop_number(code - MOVE_TO_DESKTOP_BASE)) {
        return ShortcutAction{ActionTag::MoveToDesktop, static_cast<std::uint8_t>(code - MOVE_TO_DESKTOP_BASE)};
    }
    return std::nullopt;
}

std::optional<Chord> chord_for(std::uint16_t vk, bool shift) {
    // Only the arrows and the resize keys act again while held: one focus
    // step or divider step per repeat is useful, a second full screen toggle
    // or a second terminal is not.
    auto once = [](ActionTag tag, std::uint8_t payload = 0) { return Chord{false, {tag, payload}, false}; };
    auto repeating = [](ShortcutAction a) { return Chord{false, a, true}; };

    if (auto dir = arrow_direction(vk)) return repeating(action(shift ? ActionTag::Swap : ActionTag::Focus, *dir));
    if (vk >= win::KEY_DIGIT_1 && vk <= win::KEY_DIGIT_9) {
        return once(shift ? ActionTag::MoveToDesktop : ActionTag::GoToDesktop,
                    static_cast<std::uint8_t>(vk - win::KEY_DIGIT_1 + 1));
    }
    switch (vk) {
        case win::KEY_MINUS:
            return repeating(action(shift ? ActionTag::ResizeHeight : ActionTag::ResizeWidth, RESIZE_MINUS));
        case win::KEY_PLUS:
            return repeating(action(shift ? ActionTag::ResizeHeight : ActionTag::ResizeWidth, RESIZE_PLUS));
        case win::KEY_F: return once(ActionTag::ToggleFullscreen);
        case win::KEY_W: return once(ActionTag::CloseWindow);
        case win::KEY_SPACE: return once(ActionTag::ToggleLauncher);
        case win::KEY_RETURN: return once(ActionTag::OpenTerminal);
        // Win+B without Shift is the system's own (focus the notification area).
        case win::KEY_B: return shift ? std::optional<Chord>(once(ActionTag::OpenBrowser)) : std::nullopt;
        case win::KEY_ESCAPE: return shift ? std::optional<Chord>(Chord{true, {}, false}) : std::nullopt;
        default: return std::nullopt;
    }
}

}  // namespace quilt_daemon
