// The keyboard hook's decisions over any sequence of key events: presses,
// releases and repeats in any order, injected ones, with any keys held.
//
// Input: the overlay's state, then events of four bytes each: which key,
// which message, flags and the keys held.
#include <array>
#include <cstdint>
#include <set>

#include "daemon/hook_logic.h"
#include "daemon/shortcuts.h"
#include "fuzz_input.h"

namespace {

using quilt_daemon::HookResult;
using quilt_daemon::HookState;
using quilt_daemon::KeyEvent;
using quilt_daemon::KeysDown;
using quilt_daemon::Verdict;

constexpr std::array<std::uint16_t, 24> KEYS = {
    win::KEY_LWIN,     win::KEY_RWIN,        win::KEY_B,          win::KEY_F,       win::KEY_SPACE, win::KEY_ARROW_LEFT,
    win::KEY_ARROW_UP, win::KEY_ARROW_RIGHT, win::KEY_ARROW_DOWN, win::KEY_RETURN,  win::KEY_W,     win::KEY_ESCAPE,
    win::KEY_MINUS,    win::KEY_PLUS,        win::KEY_DIGIT_1,    win::KEY_DIGIT_9, 0x35,           win::KEY_SHIFT,
    win::KEY_LSHIFT,   win::KEY_CONTROL,     win::KEY_MENU,       win::KEY_RMENU,   win::KEY_D,     0x61 /* keypad 1 */,
};

constexpr std::array<std::uint32_t, 5> MESSAGES = {win::MSG_KEYDOWN, win::MSG_KEYUP, win::MSG_SYSKEYDOWN,
                                                   win::MSG_SYSKEYUP, 0x0102 /* WM_CHAR: no key message */};

bool is_windows_key(std::uint16_t vk) { return vk == win::KEY_LWIN || vk == win::KEY_RWIN; }

bool is_dummy_press(const HookResult& r, int at) {
    return r.inputs[static_cast<std::size_t>(at)] == win::KeyInput{win::KEY_UNASSIGNED, 0} &&
           r.inputs[static_cast<std::size_t>(at + 1)] == win::KeyInput{win::KEY_UNASSIGNED, win::KEY_UP};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in{data, size};
    HookState state;
    state.overlay_visible = fuzz::take_bool(in);
    // The keys whose last press since their release was swallowed: their
    // releases must be swallowed too, and no other release may be.
    std::set<std::uint16_t> swallowed;

    for (int n = 0; !fuzz::exhausted(in) && n < 512; ++n) {
        const std::uint8_t key = fuzz::take_byte(in);
        const std::uint8_t message = fuzz::take_byte(in);
        const std::uint8_t flags = fuzz::take_byte(in);
        const std::uint8_t held = fuzz::take_byte(in);
        KeyEvent e;
        e.code = (flags & 0x80) ? 1 : 0;
        e.message = MESSAGES[message % MESSAGES.size()];
        // vkCode is 32 bits, of which only the low 16 name the key.
        e.vk_code = KEYS[key % KEYS.size()] | (key >= 0xE0 ? 0x10000u << (key & 7) : 0u);
        e.flags = flags & (win::HOOK_FLAG_INJECTED | 0x01);
        const KeysDown keys{(held & 1) != 0, (held & 2) != 0, (held & 4) != 0, (held & 8) != 0, (held & 16) != 0};
        if (held & 0x80) state.overlay_visible = !state.overlay_visible;

        const HookResult r = quilt_daemon::on_key_event(e, state, keys);
        FUZZ_CHECK(r.post_count >= 0 && r.post_count <= 2 && r.input_count >= 0 && r.input_count <= 3);
        FUZZ_CHECK(r.state.overlay_visible == state.overlay_visible);
        FUZZ_CHECK(quilt_daemon::swallows(r, 3) == (r.verdict != Verdict::Pass));
        if (r.verdict == Verdict::SwallowIfInjected) FUZZ_CHECK(!quilt_daemon::swallows(r, 2));

        // Injected input, the program's own included, is never looked at.
        if (e.code != 0 || (e.flags & win::HOOK_FLAG_INJECTED)) {
            FUZZ_CHECK(r.verdict == Verdict::Pass && r.state == state && r.post_count == 0 && r.input_count == 0);
            continue;
        }

        const auto vk = static_cast<std::uint16_t>(e.vk_code & 0xFFFF);
        const bool up = e.message == win::MSG_KEYUP || e.message == win::MSG_SYSKEYUP;
        for (int i = 0; i < r.post_count; ++i) {
            const quilt_daemon::Post& p = r.posts[static_cast<std::size_t>(i)];
            if (p.message == win::MSG_SHORTCUT) FUZZ_CHECK(quilt_daemon::action_from_code(p.wparam).has_value());
            if (p.message == win::MSG_SHORTCUT || p.message == win::MSG_QUIT) {
                FUZZ_CHECK(!up && (keys.lwin || keys.rwin) && !keys.control && !keys.alt && i == r.post_count - 1);
            }
            if (p.message == win::MSG_QUIT) FUZZ_CHECK(vk == win::KEY_ESCAPE && keys.shift);
        }

        if (is_windows_key(vk)) {
            // Its press always reaches the system; its release only when no
            // overlay was shown, or else in place of an injected one.
            FUZZ_CHECK(r.state.win_down == !up);
            if (up) {
                FUZZ_CHECK(r.post_count == 1 && r.posts[0] == (quilt_daemon::Post{win::MSG_WIN_KEY, 0}));
                if (state.overlay_visible) {
                    FUZZ_CHECK(r.verdict == Verdict::SwallowIfInjected && r.input_count == 3 && is_dummy_press(r, 0));
                    FUZZ_CHECK(r.inputs[2] == (win::KeyInput{vk, win::KEY_EXTENDED | win::KEY_UP}));
                } else {
                    FUZZ_CHECK(r.verdict == Verdict::Pass && r.input_count == 0);
                }
            } else {
                FUZZ_CHECK(r.verdict == Verdict::Pass && r.input_count == 0);
                FUZZ_CHECK(r.post_count == (state.win_down ? 0 : 1));
                if (!state.win_down) FUZZ_CHECK(!r.state.win_used);
            }
        } else {
            FUZZ_CHECK(r.state.win_down == state.win_down);
            FUZZ_CHECK(r.state.win_used == (state.win_used || (state.win_down && !up && r.post_count > 0 &&
                                                               r.posts[0] == quilt_daemon::Post{win::MSG_WIN_KEY, 0})));
            if (up) {
                FUZZ_CHECK((r.verdict == Verdict::Swallow) == (swallowed.erase(vk) == 1));
                FUZZ_CHECK(r.input_count == 0);
            } else if (r.verdict == Verdict::Swallow) {
                // A swallowed shortcut key puts a dummy key between the
                // Windows key's press and release, so no Start menu opens.
                FUZZ_CHECK(quilt_daemon::tracked_key_bit(vk).has_value());
                FUZZ_CHECK(r.input_count == 2 && is_dummy_press(r, 0));
                swallowed.insert(vk);
            } else {
                FUZZ_CHECK(r.verdict == Verdict::Pass && r.input_count == 0);
                for (int i = 0; i < r.post_count; ++i) {
                    FUZZ_CHECK(r.posts[static_cast<std::size_t>(i)].message == win::MSG_WIN_KEY);
                }
            }
        }
        state = r.state;
    }
    return 0;
}
