#include "daemon/focus_border.h"

#include <string>

namespace quilt_daemon {

void set_focus_border(win::Platform& p, FocusBorder& border, bool show, win::Hwnd window) {
    if (border.current) {
        const win::Hwnd previous = *border.current;
        // Every pass calls this; a border already in place costs no system call.
        if (show && window == previous) return;
        border.current.reset();
        if (p.is_window(previous)) (void)p.dwm_set_attribute(previous, win::ATTR_BORDER_COLOR, win::COLOR_DEFAULT);
    }
    if (!show) return;
    border.current = window;
    auto r = p.dwm_set_attribute(window, win::ATTR_BORDER_COLOR, border.colour);
    // Without a compositor every pass would fail the same way: say it once.
    if (!r && !border.warned) {
        border.warned = true;
        p.write_err(
            win::failure_line("Could not set a border color on window " + win::format_hwnd(window), r.error().message));
    }
}

}  // namespace quilt_daemon
