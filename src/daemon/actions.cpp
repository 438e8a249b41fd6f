#include "daemon/actions.h"

#include <optional>
#include <string>

#include "apps/launch.h"
#include "daemon/virtual_desktops.h"
#include "layout/actions.h"
#include "text/utf8.h"
#include "win/window_ops.h"

namespace quilt_daemon {
namespace {

using layout::Direction;

void focus_neighbour(win::Platform& p, layout::LayoutState& state, const std::vector<win::WorkArea>& monitors,
                     Direction d) {
    const auto target = layout::neighbour(state, monitors, d);
    if (!target) return;
    if (win::focus_window(p, *target)) {
        layout::note_focus(state, *target);
    } else {
        p.write_err("Windows refused to move focus to window " + win::format_hwnd(*target) + ".\n");
    }
}

void close_foreground(win::Platform& p) {
    const win::Hwnd fg = p.foreground_window();
    if (fg && !win::is_shell_window(p, fg)) (void)p.post_message(fg, win::MSG_CLOSE);
}

void open_terminal(win::Platform& p) {
    std::optional<std::string> directory = p.get_env("USERPROFILE");
    if (directory && !text::is_valid_utf8(*directory)) directory.reset();
    if (!apps::shell_open(p, "wt.exe", std::string("-w new"), directory)) {
        p.write_err("Could not open Windows Terminal (wt.exe).\n");
    }
}

void open_browser(win::Platform& p) {
    const auto path = apps::default_browser_path(p);
    if (!path) {
        p.write_err("Could not find the default browser.\n");
        return;
    }
    if (!apps::shell_open(p, *path, std::nullopt, std::nullopt)) p.write_err("Could not open " + *path + ".\n");
}

}  // namespace

void run_action(win::Platform& p, layout::LayoutState& state, const std::vector<win::WorkArea>& monitors,
                ShortcutAction action, const std::atomic<bool>* stop) {
    const auto direction = static_cast<Direction>(action.payload);
    const bool grow = action.payload == RESIZE_PLUS;
    switch (action.tag) {
        case ActionTag::ResizeWidth: layout::resize_anchor(state, monitors, layout::ResizeAxis::Width, grow); break;
        case ActionTag::ResizeHeight: layout::resize_anchor(state, monitors, layout::ResizeAxis::Height, grow); break;
        case ActionTag::Focus: focus_neighbour(p, state, monitors, direction); break;
        case ActionTag::Swap: layout::swap_with_neighbour(state, monitors, direction); break;
        case ActionTag::ToggleFullscreen: layout::toggle_full_screen(state); break;
        case ActionTag::CloseWindow: close_foreground(p); break;
        case ActionTag::OpenTerminal: open_terminal(p); break;
        case ActionTag::OpenBrowser: open_browser(p); break;
        case ActionTag::GoToDesktop: go_to_desktop(p, action.payload); break;
        case ActionTag::MoveToDesktop: send_to_desktop(p, action.payload, stop); break;
        case ActionTag::ToggleLauncher: break;  // the main loop's own
    }
}

}  // namespace quilt_daemon
