#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "daemon/hook_logic.h"
#include "daemon/shortcuts.h"

namespace {

using namespace quilt_daemon;

constexpr std::uint16_t LWIN = 0x5B;
constexpr std::uint16_t RWIN = 0x5C;
constexpr std::uint16_t LSHIFT = 0xA0;
constexpr std::uint16_t LCTRL = 0xA2;
constexpr std::uint16_t LALT = 0xA4;
constexpr std::uint16_t NUMPAD1 = 0x61;
constexpr std::uint16_t NUMPAD9 = 0x69;
constexpr std::uint16_t KEY_A = 0x41;
constexpr std::uint16_t DIGIT_0 = 0x30;

const std::vector<win::KeyInput> DUMMY_KEY = {{0xE8, 0}, {0xE8, win::KEY_UP}};

// A keyboard in front of the hook: it feeds key events through on_key_event,
// carries out the result as the hook procedure does, and keeps the key state
// that GetAsyncKeyState would report (a swallowed key never changes it, an
// injected one does).
struct Keyboard {
    HookState state;
    std::set<std::uint16_t> down;
    std::vector<Post> posts;
    std::vector<win::KeyInput> last_inputs;
    std::uint32_t insert_limit = 3;  // how many inputs of one SendInput the system inserts

    bool any(std::initializer_list<std::uint16_t> vks) const {
        return std::any_of(vks.begin(), vks.end(), [&](std::uint16_t vk) { return down.count(vk) != 0; });
    }
    KeysDown snapshot() const {
        return {any({LWIN}), any({RWIN}), any({0x11, 0xA2, 0xA3}), any({0x12, 0xA4, 0xA5}), any({0x10, 0xA0, 0xA1})};
    }

    // Returns whether the hook swallowed the event.
    bool send(std::uint16_t vk, bool up, std::uint32_t flags = 0) {
        const KeyEvent event{0, up ? win::MSG_KEYUP : win::MSG_KEYDOWN, vk, flags};
        const HookResult r = on_key_event(event, state, snapshot());
        const auto inserted = std::min<std::uint32_t>(static_cast<std::uint32_t>(r.input_count), insert_limit);
        last_inputs.assign(r.inputs.begin(), r.inputs.begin() + r.input_count);
        for (std::uint32_t i = 0; i < inserted; ++i) {
            const auto& in = r.inputs[i];
            if (in.flags & win::KEY_UP) {
                down.erase(in.vk);
            } else {
                down.insert(in.vk);
            }
        }
        posts.insert(posts.end(), r.posts.begin(), r.posts.begin() + r.post_count);
        EXPECT_EQ(r.state.overlay_visible, state.overlay_visible) << "the hook never writes overlay_visible";
        state = r.state;
        const bool swallowed = swallows(r, inserted);
        if (!swallowed) {
            if (up) {
                down.erase(vk);
            } else {
                down.insert(vk);
            }
        }
        return swallowed;
    }
    bool press(std::uint16_t vk) { return send(vk, false); }
    bool release(std::uint16_t vk) { return send(vk, true); }
    std::vector<Post> take_posts() { return std::exchange(posts, {}); }
};

int count_actions(const std::vector<Post>& posts) {
    return static_cast<int>(std::count_if(posts.begin(), posts.end(), [](const Post& p) {
        return p.message == win::MSG_SHORTCUT || p.message == win::MSG_STOP;
    }));
}

// What every chord does, written out once more so that a wrong row of the
// shortcut table shows; nullopt is the stop. The test below also checks that
// these are exactly the table's chords.
struct ChordCase {
    std::string name;
    std::uint16_t vk;
    bool shift;
    std::optional<ShortcutAction> does;
    bool repeats;
};

std::vector<ChordCase> chord_cases() {
    using enum ActionTag;
    using layout::Direction;
    std::vector<ChordCase> t = {
        {"Win+Left", win::KEY_ARROW_LEFT, false, action(Focus, Direction::Left), true},
        {"Win+Right", win::KEY_ARROW_RIGHT, false, action(Focus, Direction::Right), true},
        {"Win+Up", win::KEY_ARROW_UP, false, action(Focus, Direction::Up), true},
        {"Win+Down", win::KEY_ARROW_DOWN, false, action(Focus, Direction::Down), true},
        {"Win+Shift+Left", win::KEY_ARROW_LEFT, true, action(Swap, Direction::Left), true},
        {"Win+Shift+Right", win::KEY_ARROW_RIGHT, true, action(Swap, Direction::Right), true},
        {"Win+Shift+Up", win::KEY_ARROW_UP, true, action(Swap, Direction::Up), true},
        {"Win+Shift+Down", win::KEY_ARROW_DOWN, true, action(Swap, Direction::Down), true},
        {"Win+-", win::KEY_MINUS, false, action(ResizeWidth, RESIZE_MINUS), true},
        {"Win+=", win::KEY_PLUS, false, action(ResizeWidth, RESIZE_PLUS), true},
        {"Win+Shift+-", win::KEY_MINUS, true, action(ResizeHeight, RESIZE_MINUS), true},
        {"Win+Shift+=", win::KEY_PLUS, true, action(ResizeHeight, RESIZE_PLUS), true},
        {"Win+F", win::KEY_F, false, action(ToggleFullscreen), false},
        {"Win+Shift+F", win::KEY_F, true, action(ToggleFullscreen), false},
        {"Win+W", win::KEY_W, false, action(CloseWindow), false},
        {"Win+Shift+W", win::KEY_W, true, action(CloseWindow), false},
        {"Win+Space", win::KEY_SPACE, false, action(ToggleLauncher), false},
        {"Win+Shift+Space", win::KEY_SPACE, true, action(ToggleLauncher), false},
        {"Win+Enter", win::KEY_RETURN, false, action(OpenTerminal), false},
        {"Win+Shift+Enter", win::KEY_RETURN, true, action(OpenTerminal), false},
        {"Win+Shift+B", win::KEY_B, true, action(OpenBrowser), false},
        {"Win+Shift+Esc", win::KEY_ESCAPE, true, std::nullopt, false},  // the daemon is stopped exactly once
    };
    for (std::uint8_t n = 1; n <= 9; ++n) {
        const auto vk = static_cast<std::uint16_t>(win::KEY_DIGIT_1 + n - 1);
        t.push_back({"Win+" + std::to_string(n), vk, false, action(GoToDesktop, n), false});
        t.push_back({"Win+Shift+" + std::to_string(n), vk, true, action(MoveToDesktop, n), false});
    }
    return t;
}

// What a post asks the main thread to do; nullopt for the stop.
std::optional<ShortcutAction> decoded(const Post& p) {
    if (p.message == win::MSG_STOP) return std::nullopt;
    EXPECT_EQ(p.message, win::MSG_SHORTCUT);
    const auto a = action_from_code(p.wparam);
    EXPECT_TRUE(a) << "code " << p.wparam;
    return a;
}

TEST(HookLogic, EveryChordOfTheTableActsAndSwallowsPressAndRelease) {
    const auto cases = chord_cases();
    // The cases are the table's chords, each once: a row the cases miss, or
    // one that another row with the same key and Shift hides, fails here.
    std::set<std::pair<std::uint16_t, bool>> in_table, in_cases;
    for (const Shortcut& row : SHORTCUTS) {
        if (row.key == 0) continue;
        for (const bool shift : {false, true}) {
            if (row.shift == Shift::Either || (row.shift == Shift::With) == shift) {
                EXPECT_TRUE(in_table.insert({row.key, shift}).second) << "two rows for " << row.keys;
            }
        }
    }
    for (const auto& c : cases) EXPECT_TRUE(in_cases.insert({c.vk, c.shift}).second) << c.name << " twice";
    EXPECT_EQ(in_cases, in_table);

    for (const auto win_key : {LWIN, RWIN}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name + (win_key == LWIN ? " (left Win)" : " (right Win)"));
            Keyboard kb;
            EXPECT_FALSE(kb.press(win_key));
            if (c.shift) {
                EXPECT_FALSE(kb.press(LSHIFT));
            }
            kb.take_posts();
            EXPECT_TRUE(kb.press(c.vk));
            const auto posts = kb.take_posts();
            ASSERT_EQ(posts.size(), 2u);
            EXPECT_EQ(posts[0], (Post{win::MSG_WIN_KEY, 0}));
            EXPECT_EQ(decoded(posts[1]), c.does);
            EXPECT_EQ(kb.last_inputs, DUMMY_KEY);
            // Two auto-repeats: the same action again, or nothing.
            for (int i = 0; i < 2; ++i) {
                EXPECT_TRUE(kb.press(c.vk));
                EXPECT_EQ(kb.last_inputs, DUMMY_KEY);
            }
            const std::vector<Post> again = c.repeats ? std::vector<Post>{posts[1], posts[1]} : std::vector<Post>{};
            EXPECT_EQ(kb.posts, again);
            kb.take_posts();
            EXPECT_TRUE(kb.release(c.vk));
            EXPECT_EQ(kb.state.swallowed_keys, 0u);
            // Released and pressed again, the key acts again.
            EXPECT_TRUE(kb.press(c.vk));
            EXPECT_EQ(kb.take_posts(), (std::vector<Post>{posts[1]}));
            EXPECT_TRUE(kb.release(c.vk));
            if (c.shift) {
                EXPECT_FALSE(kb.release(LSHIFT));
            }
            EXPECT_FALSE(kb.release(win_key));
            EXPECT_EQ(kb.take_posts(), (std::vector<Post>{{win::MSG_WIN_KEY, 0}}));
        }
    }
}

// Chords the system or other programs own must reach them unchanged.
TEST(HookLogic, KeysThatAreNotShortcutsPassThrough) {
    struct Case {
        std::string name;
        std::vector<std::uint16_t> held;
        std::uint16_t vk;
    };
    const Case cases[] = {
        {"Win+B", {LWIN}, win::KEY_B},
        {"Win+Esc", {LWIN}, win::KEY_ESCAPE},
        {"Win+Ctrl+Left", {LWIN, LCTRL}, win::KEY_ARROW_LEFT},
        {"Win+Ctrl+Right", {RWIN, LCTRL}, win::KEY_ARROW_RIGHT},
        {"Win+Alt+Left", {LWIN, LALT}, win::KEY_ARROW_LEFT},
        {"Win+Ctrl+Shift+Right", {LWIN, LCTRL, LSHIFT}, win::KEY_ARROW_RIGHT},
        {"Win+Alt+F", {LWIN, LALT}, win::KEY_F},
        {"Win+Ctrl+1", {LWIN, LCTRL}, win::KEY_DIGIT_1},
        {"Win+keypad 1", {LWIN}, NUMPAD1},
        {"Win+Shift+keypad 9", {LWIN, LSHIFT}, NUMPAD9},
        {"Win+0", {LWIN}, DIGIT_0},
        {"Win+A", {LWIN}, KEY_A},
        {"Shift+Left", {LSHIFT}, win::KEY_ARROW_LEFT},
        {"Left", {}, win::KEY_ARROW_LEFT},
        {"F", {}, win::KEY_F},
        {"Ctrl+W", {LCTRL}, win::KEY_W},
        {"Shift+Esc", {LSHIFT}, win::KEY_ESCAPE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Keyboard kb;
        for (auto vk : c.held) EXPECT_FALSE(kb.press(vk));
        for (int i = 0; i < 2; ++i) {  // the first press and an auto-repeat
            EXPECT_FALSE(kb.press(c.vk));
            EXPECT_TRUE(kb.last_inputs.empty());
        }
        EXPECT_FALSE(kb.release(c.vk));
        EXPECT_EQ(count_actions(kb.posts), 0);
        EXPECT_EQ(kb.state.swallowed_keys, 0u);
    }
}

TEST(HookLogic, WindowsKeyReleaseAfterTheOverlayIsReplacedOnlyWhenAllInputsGoIn) {
    struct Case {
        std::string name;
        bool overlay;
        std::uint32_t insert_limit;
        bool swallowed;
    };
    const Case cases[] = {
        {"no overlay", false, 3, false},
        {"overlay, all three inserted", true, 3, true},
        {"overlay, two inserted", true, 2, false},
        {"overlay, none inserted", true, 0, false},
    };
    for (const auto win_key : {LWIN, RWIN}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name + (win_key == LWIN ? " (left Win)" : " (right Win)"));
            Keyboard kb;
            EXPECT_FALSE(kb.press(win_key));
            EXPECT_EQ(kb.take_posts(), (std::vector<Post>{{win::MSG_WIN_KEY, 1}}));
            kb.state.overlay_visible = c.overlay;
            kb.insert_limit = c.insert_limit;
            EXPECT_EQ(kb.release(win_key), c.swallowed);
            EXPECT_EQ(kb.take_posts(), (std::vector<Post>{{win::MSG_WIN_KEY, 0}}));
            EXPECT_FALSE(kb.state.win_down);
            if (c.overlay) {
                EXPECT_EQ(kb.last_inputs,
                          (std::vector<win::KeyInput>{
                              {0xE8, 0}, {0xE8, win::KEY_UP}, {win_key, win::KEY_EXTENDED | win::KEY_UP}}));
            } else {
                EXPECT_TRUE(kb.last_inputs.empty());
            }
            // However the release went, the system no longer sees the key down.
            EXPECT_FALSE(kb.snapshot().lwin || kb.snapshot().rwin);
        }
    }
}

TEST(HookLogic, ShortcutKeyReleasedAfterTheWindowsKeyIsStillSwallowed) {
    Keyboard kb;
    kb.press(LWIN);
    EXPECT_TRUE(kb.press(win::KEY_F));
    EXPECT_FALSE(kb.release(LWIN));
    EXPECT_TRUE(kb.release(win::KEY_F));
    EXPECT_EQ(kb.state.swallowed_keys, 0u);
    // The bit is gone: a later plain F is the program's again.
    EXPECT_FALSE(kb.press(win::KEY_F));
    EXPECT_FALSE(kb.release(win::KEY_F));

    // Two chord keys held at once keep their own bits.
    kb.press(LWIN);
    EXPECT_TRUE(kb.press(win::KEY_ARROW_LEFT));
    EXPECT_TRUE(kb.press(win::KEY_MINUS));
    EXPECT_TRUE(kb.release(win::KEY_ARROW_LEFT));
    EXPECT_NE(kb.state.swallowed_keys, 0u);
    kb.release(LWIN);
    EXPECT_TRUE(kb.release(win::KEY_MINUS));
    EXPECT_EQ(kb.state.swallowed_keys, 0u);
}

// Our own dummy key presses, and input other programs synthesise, must not
// trigger, cancel or swallow anything.
TEST(HookLogic, InjectedInputAndNonZeroCodesAreNotLookedAt) {
    struct Case {
        std::string name;
        KeyEvent event;
        HookState state;
        KeysDown keys;
    };
    const HookState win_held{true, false, 0, false};
    const HookState f_swallowed{true, true, 1u << *tracked_key_bit(win::KEY_F), true};
    const KeysDown win_keys{true, false, false, false, false};
    const Case cases[] = {
        {"Win down", {0, win::MSG_KEYDOWN, LWIN, win::HOOK_FLAG_INJECTED}, {}, {}},
        {"Win up with the overlay shown", {0, win::MSG_KEYUP, LWIN, win::HOOK_FLAG_INJECTED}, f_swallowed, win_keys},
        {"Win+Left", {0, win::MSG_KEYDOWN, win::KEY_ARROW_LEFT, win::HOOK_FLAG_INJECTED}, win_held, win_keys},
        {"Win+Shift+Esc",
         {0, win::MSG_KEYDOWN, win::KEY_ESCAPE, win::HOOK_FLAG_INJECTED | 0x01},
         win_held,
         {true, false, false, false, true}},
        {"release of a swallowed key", {0, win::MSG_KEYUP, win::KEY_F, win::HOOK_FLAG_INJECTED}, f_swallowed, win_keys},
        {"dummy key", {0, win::MSG_KEYDOWN, 0xE8, win::HOOK_FLAG_INJECTED}, win_held, win_keys},
        {"Win+Left with code 3", {3, win::MSG_KEYDOWN, win::KEY_ARROW_LEFT, 0}, win_held, win_keys},
        {"Win up with code -1", {-1, win::MSG_KEYUP, LWIN, 0}, f_swallowed, win_keys},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const HookResult r = on_key_event(c.event, c.state, c.keys);
        EXPECT_EQ(r.verdict, Verdict::Pass);
        EXPECT_EQ(r.state, c.state);
        EXPECT_EQ(r.post_count, 0);
        EXPECT_EQ(r.input_count, 0);
    }
}

TEST(HookLogic, SystemKeyMessagesCountLikePlainOnes) {
    // With Alt involved Windows reports WM_SYSKEYDOWN/UP; a release must be
    // recognised in either form or the key's bit would stay set.
    const HookState state{true, true, 1u << *tracked_key_bit(win::KEY_ARROW_LEFT), false};
    const HookResult up = on_key_event({0, win::MSG_SYSKEYUP, win::KEY_ARROW_LEFT, 0}, state, {});
    EXPECT_EQ(up.verdict, Verdict::Swallow);
    EXPECT_EQ(up.state.swallowed_keys, 0u);
    const HookResult down = on_key_event({0, win::MSG_SYSKEYDOWN, win::KEY_ARROW_LEFT, 0},
                                         HookState{true, true, 0, false}, {true, false, false, false, false});
    EXPECT_EQ(down.verdict, Verdict::Swallow);
}

TEST(HookLogic, AnotherKeyWithTheWindowsKeyCancelsTheOverlayOncePerPress) {
    Keyboard kb;
    EXPECT_FALSE(kb.press(KEY_A));  // no Windows key: nothing to cancel
    kb.release(KEY_A);
    EXPECT_TRUE(kb.take_posts().empty());

    kb.press(LWIN);
    kb.press(LWIN);  // auto-repeat of the Windows key: no second "down"
    EXPECT_EQ(kb.take_posts(), (std::vector<Post>{{win::MSG_WIN_KEY, 1}}));
    kb.press(LSHIFT);  // modifiers do not count as use
    kb.press(LCTRL);
    kb.release(LCTRL);
    EXPECT_TRUE(kb.take_posts().empty());
    kb.release(LSHIFT);
    kb.press(win::KEY_ARROW_LEFT);
    EXPECT_EQ(kb.take_posts(), (std::vector<Post>{{win::MSG_WIN_KEY, 0}, {win::MSG_SHORTCUT, 3}}));
    kb.press(win::KEY_ARROW_LEFT);
    EXPECT_EQ(kb.take_posts(), (std::vector<Post>{{win::MSG_SHORTCUT, 3}}));
    kb.release(win::KEY_ARROW_LEFT);
    kb.press(KEY_A);  // already used in this press
    kb.release(KEY_A);
    EXPECT_TRUE(kb.take_posts().empty());
    kb.release(LWIN);
    EXPECT_EQ(kb.take_posts(), (std::vector<Post>{{win::MSG_WIN_KEY, 0}}));

    // A new press of the Windows key starts over; a key that is no shortcut
    // cancels the overlay too.
    kb.press(RWIN);
    kb.press(KEY_A);
    kb.press(win::KEY_F);
    EXPECT_EQ(kb.take_posts(),
              (std::vector<Post>{{win::MSG_WIN_KEY, 1}, {win::MSG_WIN_KEY, 0}, {win::MSG_SHORTCUT, 1}}));
}

TEST(HookState, LoadsAndStoresTheHookFieldsOnly) {
    DaemonState daemon;
    daemon.win_down = true;
    daemon.swallowed_keys = 0x1234;
    daemon.overlay_visible = true;
    EXPECT_EQ(load_hook_state(daemon), (HookState{true, false, 0x1234, true}));
    store_hook_state(daemon, HookState{false, true, 0x8, false});
    EXPECT_FALSE(daemon.win_down);
    EXPECT_TRUE(daemon.win_used);
    EXPECT_EQ(daemon.swallowed_keys, 0x8u);
    EXPECT_TRUE(daemon.overlay_visible) << "the main thread owns overlay_visible";
}

TEST(Shortcuts, EveryActionHasItsOwnCodeAndOtherCodesAreRejected) {
    std::set<std::uint32_t> codes;
    for (const Shortcut& row : SHORTCUTS) {
        if (!posts_action(row)) continue;
        SCOPED_TRACE(row.keys);
        EXPECT_TRUE(codes.insert(row.code).second) << "code " << row.code << " used twice";
        EXPECT_EQ(action_code(row.chord.action), row.code);
        EXPECT_EQ(action_from_code(row.code), row.chord.action);
    }
    for (std::uint32_t bad : {17u, 99u, 100u, 110u, 200u, 210u, 300u, 0xFFFFFFFFu}) {
        EXPECT_EQ(action_from_code(bad), std::nullopt) << bad;
    }
    EXPECT_EQ(action_code({ActionTag::GoToDesktop, 0}), std::nullopt);
    EXPECT_EQ(action_code({ActionTag::MoveToDesktop, 10}), std::nullopt);
    EXPECT_EQ(action_code({ActionTag::Focus, 4}), std::nullopt);
}

TEST(Shortcuts, EveryKeyOfTheTableHasItsOwnBitAndNoOtherKeyHasOne) {
    std::set<int> bits;
    std::set<std::uint16_t> keys;
    for (const Shortcut& row : SHORTCUTS) {
        if (row.key == 0 || !keys.insert(row.key).second) continue;
        const auto bit = tracked_key_bit(row.key);
        ASSERT_TRUE(bit) << row.keys;
        EXPECT_TRUE(*bit >= 0 && *bit < 32) << *bit;
        EXPECT_TRUE(bits.insert(*bit).second) << "bit " << *bit << " used twice";
    }
    for (std::uint32_t vk = 0; vk <= 0xFFFF; ++vk) {
        if (keys.count(static_cast<std::uint16_t>(vk)) == 0) {
            EXPECT_EQ(tracked_key_bit(static_cast<std::uint16_t>(vk)), std::nullopt) << vk;
        }
    }
}

}  // namespace
