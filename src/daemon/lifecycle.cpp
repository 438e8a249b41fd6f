#include "daemon/lifecycle.h"

#include "daemon/shortcut_list.h"

namespace quilt_daemon {

std::string start_text() {
    return "Quilt is running. Stop it from its tray icon, or with Ctrl+C here.\n" + format_shortcut_list();
}

int report_stop(win::Platform& p, const win::Result<layout::RestoreCounts, layout::FileError>& restored) {
    if (!restored) {
        p.write_err("Stopped, but could not finish restoring windows: " +
                    layout::file_error_text(restored.error().cause) + "\n");
        return 1;
    }
    const auto& c = restored.value();
    p.write_out("Stopped. " + layout::restored_text(c) + "\n");
    return c.failed == 0 ? 0 : 1;
}

void handle_event(win::Platform& p, DaemonContext& ctx, const EventSinks& sinks, const DaemonEvent& event) {
    auto call = [](const std::function<void()>& f) {
        if (f) f();
    };
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
        case DaemonEvent::Kind::Drop: break;
    }
    tiling_pass(p, ctx, event);
}

void wait_for_shutdown(win::Platform& p, const DaemonState& state) {
    for (int i = 0; i < 300 && !state.shutdown_done.load(); ++i) p.sleep_ms(10);
}

}  // namespace quilt_daemon
