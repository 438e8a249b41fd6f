#include "daemon/hook_logic.h"

#include "daemon/shortcuts.h"

namespace quilt_daemon {

namespace {

// Shift, Ctrl, Alt and their left and right keys.
bool is_modifier(std::uint16_t vk) {
    return (vk >= win::KEY_SHIFT && vk <= win::KEY_MENU) || (vk >= win::KEY_LSHIFT && vk <= win::KEY_RMENU);
}

void post(HookResult& r, std::uint32_t message, std::uint32_t wparam) {
    r.posts[static_cast<std::size_t>(r.post_count++)] = {message, wparam};
}

void inject(HookResult& r, std::uint16_t vk, std::uint32_t flags) {
    r.inputs[static_cast<std::size_t>(r.input_count++)] = {vk, flags};
}

// A key press between the Windows key's press and release keeps the shell
// from opening the Start menu when the Windows key goes up.
void press_dummy_key(HookResult& r) {
    inject(r, win::KEY_UNASSIGNED, 0);
    inject(r, win::KEY_UNASSIGNED, win::KEY_UP);
}

}  // namespace

HookState load_hook_state(const DaemonState& s) {
    return {s.win_down.load(), s.win_used.load(), s.swallowed_keys.load(), s.overlay_visible.load()};
}

void store_hook_state(DaemonState& s, const HookState& hook) {
    s.win_down.store(hook.win_down);
    s.win_used.store(hook.win_used);
    s.swallowed_keys.store(hook.swallowed_keys);
}

HookResult on_key_event(const KeyEvent& event, const HookState& state, const KeysDown& keys) {
    HookResult r;
    r.state = state;
    // Injected input, our own included, is never looked at.
    if (event.code != 0 || (event.flags & win::HOOK_FLAG_INJECTED) != 0) return r;

    const auto vk = static_cast<std::uint16_t>(event.vk_code & 0xFFFF);
    const bool up = event.message == win::MSG_KEYUP || event.message == win::MSG_SYSKEYUP;
    HookState& s = r.state;

    if (vk == win::KEY_LWIN || vk == win::KEY_RWIN) {
        if (up) {
            s.win_down = false;
            post(r, win::MSG_WIN_KEY, 0);
            if (s.overlay_visible) {
                // The shell opens the Start menu on a bare tap of the Windows
                // key; a dummy key in between, and the release replaced by an
                // injected one, makes it look like a chord instead.
                press_dummy_key(r);
                inject(r, vk, win::KEY_EXTENDED | win::KEY_UP);
                r.verdict = Verdict::SwallowIfInjected;
            }
        } else if (!s.win_down) {
            s.win_down = true;
            s.win_used = false;
            post(r, win::MSG_WIN_KEY, 1);
        }
        return r;  // the Windows keys are not tracked: a press is passed on
    }

    // A key used together with the Windows key cancels the overlay, once per
    // press of the Windows key.
    if (!up && !is_modifier(vk) && s.win_down && !s.win_used) {
        s.win_used = true;
        post(r, win::MSG_WIN_KEY, 0);
    }

    const auto bit = tracked_key_bit(vk);
    if (!bit) return r;
    const std::uint32_t mask = 1u << *bit;

    if (up) {
        // The release of a swallowed press is swallowed too, even when the
        // Windows key went up first.
        const bool was_set = (s.swallowed_keys & mask) != 0;
        s.swallowed_keys &= ~mask;
        if (was_set) r.verdict = Verdict::Swallow;
        return r;
    }

    if (!(keys.lwin || keys.rwin) || keys.control || keys.alt) return r;
    const auto chord = chord_for(vk, keys.shift);
    if (!chord) return r;

    const bool repeat = (s.swallowed_keys & mask) != 0;
    s.swallowed_keys |= mask;
    press_dummy_key(r);
    r.verdict = Verdict::Swallow;
    if (repeat && !chord->repeats) return r;
    if (chord->stop) {
        post(r, win::MSG_STOP, 0);
    } else if (auto code = action_code(chord->action)) {
        post(r, win::MSG_SHORTCUT, *code);
    }
    return r;
}

bool swallows(const HookResult& result, std::uint32_t inserted) {
    switch (result.verdict) {
        case Verdict::Pass: return false;
        case Verdict::Swallow: return true;
        case Verdict::SwallowIfInjected: return inserted == static_cast<std::uint32_t>(result.input_count);
    }
    return false;
}

}  // namespace quilt_daemon
