#include "launcher/launcher.h"

#include <algorithm>
#include <string>

#include "apps/launch.h"
#include "apps/webapps_file.h"
#include "launcher/geometry.h"
#include "launcher/search.h"
#include "paint/paint.h"
#include "win/types.h"
#include "win/window_ops.h"

namespace launcher {

using paint::scale;
using paint::unscale;

namespace {

using Kind = LauncherCommand::Kind;

void launch(win::Platform& p, const apps::LauncherItem& item) {
    if (!apps::launch_item(p, item)) p.write_err("Could not start " + item.name + ".\n");
}

void remove_item(std::vector<apps::LauncherItem>& items, const apps::LauncherItem& item) {
    const auto it = std::find(items.begin(), items.end(), item);
    if (it != items.end()) items.erase(it);
}

void refresh_catalogue(Launcher& launcher) {
    if (!launcher.catalogue_platform) return;
    std::function<void()> done;
    if (launcher.catalogue_ready_message != 0) {
        // Posting is safe from any thread, and to a window that is gone.
        done = [platform = launcher.catalogue_platform, window = launcher.window,
                message = launcher.catalogue_ready_message] { (void)platform->post_message(window, message); };
    }
    start_catalogue_refresh(launcher.state, launcher.catalogue_platform, std::move(done));
}

// A finished thread's list, and a new thread when that list was stale.
bool collect_catalogue(Launcher& launcher) {
    if (!take_catalogue(launcher.state)) return false;
    if (launcher.state.catalogue_stale) refresh_catalogue(launcher);
    return true;
}

}  // namespace

void start_launcher(win::Platform& p, Launcher& launcher, const win::Result<win::Hwnd>& made,
                    std::uint32_t icons_ready_message, const IconWorkFor& icon_work) {
    if (!made) {
        p.write_err(win::failure_line("The launcher is unavailable", made.error().message));
        return;
    }
    launcher.window = made.value();
    refresh_catalogue(launcher);
    if (!icon_work) return;
    launcher.state.icon_queues = icons::start_icon_thread(icon_work(launcher.window, icons_ready_message));
    if (launcher.state.icon_queues) launcher.icons_ready_message = icons_ready_message;
}

void show_launcher(win::Platform& p, Launcher& launcher, const win::Rect& work_area) {
    LauncherState& state = launcher.state;
    state.previous_window = p.foreground_window();
    // The web apps are a small file, read afresh so that the list is never
    // older than the user's last edit; the installed apps come as they are.
    state.web_apps = apps::load_web_apps(p);
    (void)collect_catalogue(launcher);
    compose_items(state);
    state.visible = true;
    set_mode(state, LauncherMode::Search);

    const win::Hwnd w = launcher.window;
    // Put on the target monitor first, so that the DPI read next is that monitor's.
    (void)p.set_window_pos_topmost(w, work_area.left, work_area.top, 0, 0, 0);
    const std::uint32_t dpi = p.dpi_for_window(w);
    const std::int32_t width = scale(WINDOW_WIDTH, dpi);
    const std::int32_t height = scale(WINDOW_HEIGHT, dpi);
    (void)p.set_window_pos_topmost(w, work_area.left + (work_area.width - width) / 2,
                                   work_area.top + (work_area.height - height) / 2, width, height, win::POS_SHOWWINDOW);
    // Windows lets a process take the foreground right after its own input.
    win::press_dummy_key(p);
    p.set_foreground_window(w);
    p.set_focus(w);
    p.invalidate_window(w);
}

void hide_launcher(win::Platform& p, Launcher& launcher, bool give_focus_back) {
    LauncherState& state = launcher.state;
    if (!state.visible) return;
    state.visible = false;
    // Apps installed while the launcher was open show at a later show.
    refresh_catalogue(launcher);
    const win::Hwnd previous = state.previous_window;
    p.show_window(launcher.window, win::SHOW_HIDE);
    if (give_focus_back && previous) win::focus_window(p, previous);
}

void toggle_launcher(win::Platform& p, Launcher& launcher) {
    const auto work = win::work_area_of_window(p, p.foreground_window());
    if (!launcher.window || !work) return;
    if (launcher.state.visible) {
        hide_launcher(p, launcher, true);
    } else {
        show_launcher(p, launcher, *work);
    }
}

void execute_command(win::Platform& p, Launcher& launcher, LauncherCommand command) {
    switch (command.kind) {
        case Kind::Nothing: return;
        case Kind::Redraw: p.invalidate_window(launcher.window); return;
        case Kind::Close: hide_launcher(p, launcher, true); return;
        case Kind::Launch:
            hide_launcher(p, launcher, false);
            launch(p, command.item);
            return;
        case Kind::SaveWebApp: {
            const apps::WebApp& app = command.web_app;
            if (auto saved = apps::append_web_app(p, app); !saved) {
                p.write_err(
                    win::failure_line("Could not save the web app " + app.name, win::file_error_text(saved.error())));
            }
            // A failed save still opens it; the catalogue learns of it at its next refresh.
            hide_launcher(p, launcher, false);
            launch(p, apps::LauncherItem{apps::ItemKind::Web, app.address, app.name});
            return;
        }
        case Kind::RemoveWebApp: {
            const apps::LauncherItem& item = command.item;
            if (item.kind == apps::ItemKind::Web) {
                if (auto removed = apps::remove_web_app(p, item); !removed) {
                    p.write_err(win::failure_line("Could not remove the web app " + item.name,
                                                  win::file_error_text(removed.error())));
                }
            }
            // Gone from the launcher even when the file kept it, until the next show.
            remove_item(launcher.state.items, item);
            remove_item(launcher.state.web_apps, item);
            set_mode(launcher.state, LauncherMode::Search);
            p.invalidate_window(launcher.window);
            return;
        }
    }
}

void on_key_down(win::Platform& p, Launcher& launcher, std::uint16_t vk) {
    execute_command(p, launcher, key_down(launcher.state, vk));
}

void on_char(win::Platform& p, Launcher& launcher, std::uint16_t unit) {
    execute_command(p, launcher, type_char(launcher.state, unit));
}

void on_mouse_move(win::Platform& p, Launcher& launcher, std::int32_t x, std::int32_t y) {
    if (!launcher.state.tracking_mouse) {
        launcher.state.tracking_mouse = true;
        p.track_mouse_leave(launcher.window);
    }
    const std::uint32_t dpi = p.dpi_for_window(launcher.window);
    if (update_hover(launcher.state, unscale(x, dpi), unscale(y, dpi))) {
        p.invalidate_window(launcher.window);
    }
}

void on_mouse_leave(win::Platform& p, Launcher& launcher) {
    if (leave_window(launcher.state)) p.invalidate_window(launcher.window);
}

void on_left_button_up(win::Platform& p, Launcher& launcher, std::int32_t x, std::int32_t y) {
    const std::uint32_t dpi = p.dpi_for_window(launcher.window);
    execute_command(p, launcher, click(launcher.state, unscale(x, dpi), unscale(y, dpi)));
}

void on_deactivate(win::Platform& p, Launcher& launcher) { hide_launcher(p, launcher, false); }

void take_icon_results(win::Platform& p, Launcher& launcher) {
    LauncherState& state = launcher.state;
    if (!state.icon_queues) return;
    if (icons::file_icon_results(state.icon_book, state.icon_queues->take_results()) && state.visible) {
        p.invalidate_window(launcher.window);
    }
}

void take_catalogue_result(win::Platform& p, Launcher& launcher) {
    LauncherState& state = launcher.state;
    if (!collect_catalogue(launcher) || !state.visible) return;
    compose_items(state);
    // What the user is adding or removing stays as it is until that is done.
    if (state.mode == LauncherMode::Search) refresh_results(state);
    p.invalidate_window(launcher.window);
}

}  // namespace launcher
