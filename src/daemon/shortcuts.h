// The shortcut table: every chord on the Windows key and every line of the
// shortcut list come from its rows, so that a shortcut is added in one place.
// The keyboard hook reads which keys to track and what each chord does from
// it, the main thread the action behind each code, the overlay and the start
// text their lines.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

#include "daemon/events.h"
#include "win/numbers.h"

namespace quilt_daemon {

// What a chord of the Windows key with one tracked key does.
struct Chord {
    bool stop = false;      // Win+Shift+Esc: stop the daemon instead of an action
    ShortcutAction action;  // when not stop
    bool repeats = false;   // acts again on each auto-repeat of the key
    friend bool operator==(const Chord&, const Chord&) = default;
};

// Whether Shift is held with the chord; Either for chords that ignore it.
enum class Shift : std::uint8_t { Without, With, Either };

// The headings of the shortcut list, in the order it shows them.
enum class Section : std::uint8_t { Windows, Desktops, Launch, Quilt };

struct Shortcut {
    // The key pressed with the Windows key; 0 for a line of the list that is
    // no chord of the hook (dragging, holding the Windows key).
    std::uint16_t key = 0;
    Shift shift = Shift::Without;
    Chord chord;
    // What MSG_SHORTCUT carries for this action: a number no other row has.
    // The hook probe prints it and the Wine tests expect it, so a row keeps
    // its code. Unused by the stop chord and by lines without a key.
    std::uint32_t code = 0;
    Section section = Section::Windows;
    // The list's keys, " + " between two caps, and what they do. Rows next
    // to each other with the same keys and description share one line.
    std::string_view keys;
    std::string_view description;
};

namespace table {

// Only the arrows and the resize keys act again while held: one focus step
// or divider step per repeat is useful, a second full screen toggle or a
// second terminal is not.
constexpr Chord once(ActionTag tag, std::uint8_t payload = 0) { return {false, {tag, payload}, false}; }
constexpr Chord repeating(ShortcutAction a) { return {false, a, true}; }
inline constexpr Chord STOP{true, {}, false};
inline constexpr Chord NO_CHORD{};
constexpr std::uint16_t digit(int n) { return static_cast<std::uint16_t>(win::KEY_DIGIT_1 + n - 1); }

}  // namespace table

// clang-format off
inline constexpr auto SHORTCUTS = [] {
    using namespace table;
    using namespace win;
    using enum ActionTag;
    using enum Shift;
    using enum Section;
    using layout::Direction;
    return std::array{
        Shortcut{KEY_ARROW_LEFT,  Without, repeating(action(Focus, Direction::Left)),  3, Windows, "Win + Arrows", "Focus the tile in that direction"},
        Shortcut{KEY_ARROW_UP,    Without, repeating(action(Focus, Direction::Up)),    4, Windows, "Win + Arrows", "Focus the tile in that direction"},
        Shortcut{KEY_ARROW_RIGHT, Without, repeating(action(Focus, Direction::Right)), 5, Windows, "Win + Arrows", "Focus the tile in that direction"},
        Shortcut{KEY_ARROW_DOWN,  Without, repeating(action(Focus, Direction::Down)),  6, Windows, "Win + Arrows", "Focus the tile in that direction"},
        Shortcut{KEY_ARROW_LEFT,  With, repeating(action(Swap, Direction::Left)),  7, Windows, "Win + Shift + Arrows", "Swap the focused window that way"},
        Shortcut{KEY_ARROW_UP,    With, repeating(action(Swap, Direction::Up)),    8, Windows, "Win + Shift + Arrows", "Swap the focused window that way"},
        Shortcut{KEY_ARROW_RIGHT, With, repeating(action(Swap, Direction::Right)), 9, Windows, "Win + Shift + Arrows", "Swap the focused window that way"},
        Shortcut{KEY_ARROW_DOWN,  With, repeating(action(Swap, Direction::Down)), 10, Windows, "Win + Shift + Arrows", "Swap the focused window that way"},
        Shortcut{KEY_MINUS, Without, repeating(action(ResizeWidth, RESIZE_MINUS)),  13, Windows, "Win + - + =", "Adjust window width"},
        Shortcut{KEY_PLUS,  Without, repeating(action(ResizeWidth, RESIZE_PLUS)),   14, Windows, "Win + - + =", "Adjust window width"},
        Shortcut{KEY_MINUS, With,    repeating(action(ResizeHeight, RESIZE_MINUS)), 15, Windows, "Win + Shift + - + =", "Adjust window height"},
        Shortcut{KEY_PLUS,  With,    repeating(action(ResizeHeight, RESIZE_PLUS)),  16, Windows, "Win + Shift + - + =", "Adjust window height"},
        Shortcut{KEY_F, Either, once(ToggleFullscreen), 1, Windows, "Win + F", "Fullscreen the focused window, or back"},
        Shortcut{0, Without, NO_CHORD, 0, Windows, "Drag onto a tile", "Move the window there"},
        Shortcut{KEY_W, Either, once(CloseWindow), 12, Windows, "Win + W", "Close the focused window"},
        Shortcut{digit(1), Without, once(GoToDesktop, 1), 101, Desktops, "Win + 1 - 9", "Go to that desktop"},
        Shortcut{digit(2), Without, once(GoToDesktop, 2), 102, Desktops, "Win + 1 - 9", "Go to that desktop"},
        Shortcut{digit(3), Without, once(GoToDesktop, 3), 103, Desktops, "Win + 1 - 9", "Go to that desktop"},
        Shortcut{digit(4), Without, once(GoToDesktop, 4), 104, Desktops, "Win + 1 - 9", "Go to that desktop"},
        Shortcut{digit(5), Without, once(GoToDesktop, 5), 105, Desktops, "Win + 1 - 9", "Go to that desktop"},
        Shortcut{digit(6), Without, once(GoToDesktop, 6), 106, Desktops, "Win + 1 - 9", "Go to that desktop"},
        Shortcut{digit(7), Without, once(GoToDesktop, 7), 107, Desktops, "Win + 1 - 9", "Go to that desktop"},
        Shortcut{digit(8), Without, once(GoToDesktop, 8), 108, Desktops, "Win + 1 - 9", "Go to that desktop"},
        Shortcut{digit(9), Without, once(GoToDesktop, 9), 109, Desktops, "Win + 1 - 9", "Go to that desktop"},
        Shortcut{digit(1), With, once(MoveToDesktop, 1), 201, Desktops, "Win + Shift + 1 - 9", "Take the focused window there"},
        Shortcut{digit(2), With, once(MoveToDesktop, 2), 202, Desktops, "Win + Shift + 1 - 9", "Take the focused window there"},
        Shortcut{digit(3), With, once(MoveToDesktop, 3), 203, Desktops, "Win + Shift + 1 - 9", "Take the focused window there"},
        Shortcut{digit(4), With, once(MoveToDesktop, 4), 204, Desktops, "Win + Shift + 1 - 9", "Take the focused window there"},
        Shortcut{digit(5), With, once(MoveToDesktop, 5), 205, Desktops, "Win + Shift + 1 - 9", "Take the focused window there"},
        Shortcut{digit(6), With, once(MoveToDesktop, 6), 206, Desktops, "Win + Shift + 1 - 9", "Take the focused window there"},
        Shortcut{digit(7), With, once(MoveToDesktop, 7), 207, Desktops, "Win + Shift + 1 - 9", "Take the focused window there"},
        Shortcut{digit(8), With, once(MoveToDesktop, 8), 208, Desktops, "Win + Shift + 1 - 9", "Take the focused window there"},
        Shortcut{digit(9), With, once(MoveToDesktop, 9), 209, Desktops, "Win + Shift + 1 - 9", "Take the focused window there"},
        Shortcut{KEY_SPACE, Either, once(ToggleLauncher), 2, Launch, "Win + Space", "Search apps and web apps"},
        Shortcut{KEY_RETURN, Either, once(OpenTerminal), 11, Launch, "Win + Enter", "Open a terminal"},
        // Win+B without Shift is the system's own (focus the notification area).
        Shortcut{KEY_B, With, once(OpenBrowser), 0, Launch, "Win + Shift + B", "Open a browser window"},
        Shortcut{0, Without, NO_CHORD, 0, Quilt, "Hold Win", "Show this list"},
        Shortcut{KEY_ESCAPE, With, STOP, 0, Quilt, "Win + Shift + Esc", "Stop and put every window back"},
    };
}();
// clang-format on

// Whether a row's chord posts MSG_SHORTCUT with its code.
constexpr bool posts_action(const Shortcut& s) { return s.key != 0 && !s.chord.stop; }

// The keys that take part in a chord, each once, in the table's order; a
// key's bit in `swallowed_keys` is its position here.
inline constexpr auto TRACKED_KEYS = [] {
    constexpr auto distinct = [] {
        std::array<std::uint16_t, SHORTCUTS.size()> keys{};
        std::size_t count = 0;
        for (const Shortcut& s : SHORTCUTS) {
            bool seen = s.key == 0;
            for (std::size_t i = 0; i < count; ++i) seen = seen || keys[i] == s.key;
            if (!seen) keys[count++] = s.key;
        }
        return std::pair{keys, count};
    }();
    std::array<std::uint16_t, distinct.second> keys{};
    for (std::size_t i = 0; i < keys.size(); ++i) keys[i] = distinct.first[i];
    return keys;
}();
static_assert(TRACKED_KEYS.size() <= 32, "swallowed_keys has one bit per tracked key");

// The key's bit number in `swallowed_keys`; nothing for a key that no chord uses.
std::optional<int> tracked_key_bit(std::uint16_t vk);

// The MSG_SHORTCUT wParam of an action; nothing for an action no row has.
std::optional<std::uint32_t> action_code(ShortcutAction action);
// The inverse, for the main thread; nothing for a code no action has.
std::optional<ShortcutAction> action_from_code(std::uint32_t code);

// The chord of Windows key + `vk`, with or without Shift (and neither Ctrl
// nor Alt); nothing when that combination is not a shortcut.
std::optional<Chord> chord_for(std::uint16_t vk, bool shift);

}  // namespace quilt_daemon
