#include "win/window_ops.h"

#include <array>

#include "text/utf8.h"

namespace win {

std::string window_title(Platform& p, Hwnd h) { return text::utf16_to_utf8(p.get_window_text(h)); }

std::string window_class(Platform& p, Hwnd h) { return text::utf16_to_utf8(p.get_class_name(h)); }

std::uint32_t window_process_id(Platform& p, Hwnd h) { return p.get_window_process_id(h); }

std::string process_exe_name(Platform& p, std::uint32_t pid) {
    if (pid == 0) return {};
    auto path = p.query_process_image(pid);
    if (!path) return {};
    const auto cut = path->find_last_of(u"\\/");
    return text::utf16_to_utf8(cut == std::u16string::npos ? *path : path->substr(cut + 1));
}

Rect window_rect(Platform& p, Hwnd h) { return p.get_window_rect(h).value_or(Rect{}); }

std::optional<Rect> frame_rect(Platform& p, Hwnd h) {
    auto r = p.dwm_frame_bounds(h);
    if (!r) return std::nullopt;
    return r.value();
}

bool is_cloaked(Platform& p, Hwnd h) {
    auto r = p.dwm_cloaked(h);
    return r.ok() && r.value() != 0;
}

bool is_shell_class(const std::string& class_name) {
    static constexpr std::array<const char*, 4> SHELL_CLASSES = {"Progman", "WorkerW", "Shell_TrayWnd",
                                                                 "Shell_SecondaryTrayWnd"};
    for (const char* c : SHELL_CLASSES) {
        if (class_name == c) return true;
    }
    return false;
}

bool is_shell_window(Platform& p, Hwnd h) { return is_shell_class(window_class(p, h)); }

Rect visible_frame(Platform& p, Hwnd h) { return frame_rect(p, h).value_or(window_rect(p, h)); }

std::vector<bool> wait_for_answers(Platform& p, std::size_t count, const std::function<bool(std::size_t)>& answered) {
    std::vector<bool> done(count, false);
    const std::uint64_t start = p.tick_ms();
    for (;;) {
        bool waiting = false;
        for (std::size_t i = 0; i < count; ++i) {
            if (!done[i]) done[i] = answered(i);
            waiting = waiting || !done[i];
        }
        if (!waiting || p.tick_ms() - start >= ANSWER_WAIT_MS) return done;
        p.sleep_ms(ANSWER_POLL_MS);
    }
}

Sighting look_at(Platform& p, Hwnd h) {
    const Rect window = window_rect(p, h);
    return {window, frame_rect(p, h).value_or(window), p.is_zoomed(h)};
}

Result<MoveAsked> ask_move(Platform& p, Hwnd h, const Rect& target, const Sighting& seen) {
    if (p.is_hung(h)) return not_responding();
    if (seen.maximized) {
        p.show_window_async(h, SHOW_NOACTIVATE);  // a window that is gone shows at the next ask
        return MoveAsked::Restoring;
    }
    const Rect& window = seen.window;
    const Rect& frame = seen.frame;
    auto moved =
        p.set_window_pos(h, target.left + window.left - frame.left, target.top + window.top - frame.top,
                         target.width + window.width - frame.width, target.height + window.height - frame.height,
                         POS_NOZORDER | POS_NOACTIVATE | POS_ASYNC);
    if (!moved) return moved.error();
    return MoveAsked::Moving;
}

Result<MoveAsked> ask_move(Platform& p, Hwnd h, const Rect& target) { return ask_move(p, h, target, look_at(p, h)); }

std::vector<MoveResult> carry_out_moves(Platform& p, const std::vector<MoveOrder>& moves, MoveWait wait) {
    std::vector<MoveResult> results;
    // Of the windows asked, while waiting: where each is to go and where it was before the ask.
    struct Asked {
        std::size_t result = 0;
        Rect target;
        Rect before;
    };
    std::vector<Asked> asked;
    for (const MoveOrder& m : moves) {
        auto r = ask_move(p, m.hwnd, m.target, m.seen);
        MoveResult result{m.hwnd, std::nullopt, false};
        if (!r) {
            result.failure = r.error();
        } else {
            result.restoring = r.value() == MoveAsked::Restoring;
            if (wait == MoveWait::Bounded) asked.push_back({results.size(), m.target, m.seen.frame});
        }
        results.push_back(std::move(result));
    }
    if (wait == MoveWait::None) return results;

    const std::vector<bool> answered = wait_for_answers(p, asked.size(), [&](std::size_t i) {
        Asked& a = asked[i];
        MoveResult& result = results[a.result];
        if (!result.restoring) {
            const Rect now = visible_frame(p, result.hwnd);
            return now == a.target || now != a.before;
        }
        // Restored from maximised: now its borders can be read for the move.
        if (p.is_zoomed(result.hwnd)) return false;
        a.before = visible_frame(p, result.hwnd);
        auto r = ask_move(p, result.hwnd, a.target);
        if (!r) result.failure = r.error();
        result.restoring = false;
        return result.failure.has_value();
    });
    for (std::size_t i = 0; i < asked.size(); ++i) {
        MoveResult& result = results[asked[i].result];
        if (!result.failure && !answered[i]) result.failure = not_responding();
        // A window still restoring when the wait ended did not answer either.
        result.restoring = false;
    }
    return results;
}

bool key_is_down(Platform& p, std::uint16_t vk) { return p.async_key_down(vk); }

bool win_key_is_down(Platform& p) { return key_is_down(p, KEY_LWIN) || key_is_down(p, KEY_RWIN); }

bool press_dummy_key(Platform& p) {
    const std::vector<KeyInput> inputs = {{KEY_UNASSIGNED, 0}, {KEY_UNASSIGNED, KEY_UP}};
    return p.send_input(inputs) == inputs.size();
}

bool focus_window(Platform& p, Hwnd h) {
    press_dummy_key(p);
    return p.set_foreground_window(h);
}

std::vector<WorkArea> enumerate_monitors(Platform& p) { return p.enum_monitors(); }

std::optional<Rect> work_area_of_window(Platform& p, Hwnd h) {
    auto info = p.monitor_info(p.monitor_from_window(h, MonitorDefault::ToPrimary));
    if (!info) return std::nullopt;
    return info->work;
}

}  // namespace win
