#include "daemon/virtual_desktops.h"

#include <algorithm>
#include <string>

#include "win/window_ops.h"

namespace quilt_daemon {
namespace {

constexpr std::size_t ID_SIZE = 16;
constexpr std::uint64_t SWITCH_WAIT_MS = 3000;
constexpr std::uint32_t POLL_MS = 20;
const char* const READ_FAILED = "Could not read the list of virtual desktops from Windows.\n";

void press(std::vector<win::KeyInput>& out, std::uint16_t vk, std::uint32_t flags) {
    out.push_back({vk, flags});
    out.push_back({vk, flags | win::KEY_UP});
}

}  // namespace

std::optional<DesktopList> parse_desktops(const std::vector<std::uint8_t>& ids,
                                          const std::vector<std::uint8_t>& current) {
    if (current.size() != ID_SIZE || ids.empty() || ids.size() % ID_SIZE != 0) return std::nullopt;
    const std::uint32_t count = static_cast<std::uint32_t>(ids.size() / ID_SIZE);
    for (std::uint32_t i = 0; i < count; ++i) {
        if (std::equal(current.begin(), current.end(), ids.begin() + static_cast<std::ptrdiff_t>(i * ID_SIZE))) {
            return DesktopList{i, count};
        }
    }
    return std::nullopt;
}

std::optional<DesktopList> read_desktops(win::Platform& p) {
    auto ids = p.reg_get_binary(VIRTUAL_DESKTOPS_KEY, "VirtualDesktopIDs");
    auto current = p.reg_get_binary(VIRTUAL_DESKTOPS_KEY, "CurrentVirtualDesktop");
    if (!ids || !current) return std::nullopt;
    return parse_desktops(ids.value(), current.value());
}

DesktopStep plan_desktop_step(std::uint32_t current, std::uint32_t count, std::uint32_t n) {
    using K = DesktopStep::Kind;
    if (n == 0) return {K::Stay, 0};
    const std::uint32_t t = n - 1;
    if (t >= count) return {K::Beyond, count};
    if (t < current) return {K::StepLeft, current - t};
    if (t > current) return {K::StepRight, t - current};
    return {K::Stay, 0};
}

std::vector<win::KeyInput> desktop_switch_inputs(const DesktopStep& step, bool lshift_down, bool rshift_down,
                                                 bool win_down) {
    using K = DesktopStep::Kind;
    std::vector<win::KeyInput> out;
    if (step.kind == K::Stay) return out;
    // A held Shift would turn Win+Ctrl+arrow into something else.
    if (lshift_down) out.push_back({win::KEY_LSHIFT, win::KEY_UP});
    if (rshift_down) out.push_back({win::KEY_RSHIFT, win::KEY_UP});
    if (!win_down) out.push_back({win::KEY_LWIN, win::KEY_EXTENDED});
    out.push_back({win::KEY_CONTROL, 0});
    if (step.kind == K::Beyond) {
        press(out, win::KEY_D, 0);
    } else {
        const std::uint16_t arrow = step.kind == K::StepLeft ? win::KEY_ARROW_LEFT : win::KEY_ARROW_RIGHT;
        for (std::uint32_t i = 0; i < step.n; ++i) press(out, arrow, win::KEY_EXTENDED);
    }
    out.push_back({win::KEY_CONTROL, win::KEY_UP});
    if (!win_down) out.push_back({win::KEY_LWIN, win::KEY_EXTENDED | win::KEY_UP});
    return out;
}

void switch_desktop(win::Platform& p, const DesktopStep& step) {
    if (step.kind == DesktopStep::Kind::Stay) return;
    const bool lshift = win::key_is_down(p, win::KEY_LSHIFT);
    const bool rshift = win::key_is_down(p, win::KEY_RSHIFT);
    (void)p.send_input(desktop_switch_inputs(step, lshift, rshift, win::win_key_is_down(p)));
}

void go_to_desktop(win::Platform& p, std::uint32_t n) {
    auto list = read_desktops(p);
    if (!list) {
        p.write_err(READ_FAILED);
        return;
    }
    switch_desktop(p, plan_desktop_step(list->current, list->count, n));
}

void send_to_desktop(win::Platform& p, std::uint32_t n, const std::atomic<bool>* stop) {
    const auto stopping = [stop] { return stop && stop->load(); };
    auto list = read_desktops(p);
    if (!list) {
        p.write_err(READ_FAILED);
        return;
    }
    const DesktopStep step = plan_desktop_step(list->current, list->count, n);
    if (step.kind == DesktopStep::Kind::Stay) return;
    if (step.kind == DesktopStep::Kind::Beyond) {
        p.write_err("There are only " + std::to_string(step.n) +
                    " desktops. Go to a new one first, then send windows to it.\n");
        return;
    }
    const win::Hwnd fg = p.foreground_window();
    if (!fg || !p.is_window(fg) || win::is_shell_window(p, fg)) return;

    // Posted, not sent: the foreground window's thread may not be reading its
    // messages, and the daemon must not wait for it. But the switch may only
    // come once the window is hidden, or the shell leaves it behind on this
    // desktop; a window that does not hide in time stays where it is.
    p.show_window_async(fg, win::SHOW_HIDE);
    // The console handler gives the stop 3 s: a window hidden here must not
    // outlive the process.
    const bool hidden =
        win::wait_for_answers(p, 1, [&](std::size_t) { return stopping() || !p.is_window_visible(fg); })[0];
    if (stopping()) {
        p.show_window_async(fg, win::SHOW_SHOW);
        return;
    }
    if (!hidden) {
        p.show_window_async(fg, win::SHOW_SHOW);
        p.write_err(win::failure_line("Could not move window " + win::format_hwnd(fg), win::NOT_RESPONDING));
        return;
    }
    switch_desktop(p, step);
    const std::uint64_t start = p.tick_ms();
    for (;;) {
        auto now = read_desktops(p);
        if (now && now->current + 1 == n) break;
        if (stopping() || p.tick_ms() - start >= SWITCH_WAIT_MS) break;
        p.sleep_ms(POLL_MS);
    }
    // Shown again even after a timeout: a hidden window is worse than one on the wrong desktop.
    p.show_window_async(fg, win::SHOW_SHOW);
    (void)win::focus_window(p, fg);
}

}  // namespace quilt_daemon
