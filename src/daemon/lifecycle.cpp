#include "daemon/lifecycle.h"

#include "daemon/focus_border.h"
#include "daemon/shortcut_list.h"

namespace quilt_daemon {
namespace {

void call(const std::function<void()>& f) {
    if (f) f();
}

void restore_once(win::Platform& p, DaemonContext& ctx, const StopSteps& steps, bool tray_first) {
    ctx.stage = Stage::Restored;
    call(steps.quiet);
    set_focus_border(p, ctx.border, false, win::Hwnd{});
    if (tray_first) call(steps.remove_tray);
    ctx.status = report_stop(p, restore::restore_positions(p));
}

}  // namespace

std::string start_text() { return RUNNING_LINE + format_shortcut_list(); }

int report_stop(win::Platform& p, const win::Result<restore::RestoreCounts, restore::FileError>& restored) {
    if (!restored) {
        p.write_err(win::failure_line("Stopped, but could not finish restoring windows",
                                      win::file_error_text(restored.error().cause)));
        return 1;
    }
    const auto& c = restored.value();
    p.write_out("Stopped. " + restore::restored_text(c) + "\n");
    return c.failed == 0 ? 0 : 1;
}

void handle_event(win::Platform& p, DaemonContext& ctx, const EventSinks& sinks, const DaemonEvent& event) {
    if (event.kind == DaemonEvent::Kind::Stop) {
        call(sinks.stop);
        return;
    }
    if (ctx.stage != Stage::Running) return;
    switch (event.kind) {
        case DaemonEvent::Kind::ShowOverlay: call(sinks.show_overlay); return;
        case DaemonEvent::Kind::HideOverlay: call(sinks.hide_overlay); return;
        case DaemonEvent::Kind::Shortcut:
            if (event.action.tag == ActionTag::ToggleLauncher) {
                call(sinks.toggle_launcher);
                return;
            }
            break;
        case DaemonEvent::Kind::Retile:
        case DaemonEvent::Kind::Drop:
        case DaemonEvent::Kind::Stop: break;
    }
    tiling_pass(p, ctx, event);
}

void put_windows_back(win::Platform& p, DaemonContext& ctx, const StopSteps& steps) {
    // The tray stays: the end may still be cancelled.
    if (ctx.stage == Stage::Running) restore_once(p, ctx, steps, false);
}

int finish_stop(win::Platform& p, DaemonContext& ctx, const StopSteps& steps) {
    if (ctx.stage == Stage::Running) {
        // The icon goes before the windows, as the user sees the daemon end.
        restore_once(p, ctx, steps, true);
    } else if (ctx.stage == Stage::Restored) {
        call(steps.remove_tray);
    }
    ctx.stage = Stage::Stopped;
    ctx.shared.shutdown_done.store(true);
    return ctx.status;
}

void resume_after_cancelled_end(win::Platform& p, DaemonContext& ctx, const StopSteps& steps, const EventSinks& sinks) {
    if (ctx.stage != Stage::Restored) return;
    ctx.stage = Stage::Running;
    ctx.status = 0;
    ctx.state = layout::LayoutState{};
    ctx.first_pass = true;
    ctx.move_failure_said.clear();
    p.write_out(RUNNING_LINE);
    call(steps.listen);
    handle_event(p, ctx, sinks, DaemonEvent::retile());
}

void wait_for_shutdown(win::Platform& p, const DaemonState& state) {
    for (int i = 0; i < 300 && !state.shutdown_done.load(); ++i) p.sleep_ms(10);
}

}  // namespace quilt_daemon
