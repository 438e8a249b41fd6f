#include "daemon/quiet_check.h"

#include <utility>

#include "win/window_ops.h"

namespace quilt_daemon {

Glance glance_at_desktop(win::Platform& p, win::Hwnd moving) {
    Glance g;
    for (win::Hwnd h : p.enum_windows()) {
        // WS_VISIBLE is a top-level window's visibility, as in the enumeration.
        const std::uint32_t style = p.get_style(h);
        if (!(style & win::STYLE_VISIBLE)) continue;
        g.windows.push_back(
            {h, p.get_window_rect(h), style, p.get_ex_style(h), !p.get_window_text(h).empty(), win::is_cloaked(p, h)});
    }
    g.monitors = win::enumerate_monitors(p);
    g.foreground = p.foreground_window();
    g.moving = moving;
    return g;
}

bool nothing_changed(win::Platform& p, QuietWatch& watch, win::Hwnd moving) {
    watch.taken = glance_at_desktop(p, moving);
    return watch.quiet && *watch.quiet == *watch.taken;
}

void pass_done(QuietWatch& watch, bool quiet) {
    watch.quiet = quiet ? std::move(watch.taken) : std::nullopt;
    watch.taken.reset();
}

}  // namespace quilt_daemon
