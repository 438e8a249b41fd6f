#include "daemon/tray_logic.h"

#include "win/numbers.h"
#include "win/types.h"

namespace quilt_daemon {

TrayReaction tray_reaction(std::uint32_t message, std::uint64_t lparam, std::uint32_t taskbar_created_msg) {
    if (message == win::MSG_TRAY) {
        // The notification's lParam is the mouse message itself, since the
        // icon is added without NIM_SETVERSION; only its low 32 bits count.
        const auto mouse = static_cast<std::uint32_t>(lparam);
        if (mouse == win::MSG_LBUTTONUP || mouse == win::MSG_RBUTTONUP) return TrayReaction::ShowMenu;
        return TrayReaction::Default;
    }
    if (taskbar_created_msg != 0 && message == taskbar_created_msg) return TrayReaction::AddIcon;
    return TrayReaction::Default;
}

MenuOutcome menu_outcome(std::uint32_t command, bool had_foreground_window) {
    if (command == TRAY_ITEM_EXIT) return MenuOutcome::Quit;
    return had_foreground_window ? MenuOutcome::RestoreFocus : MenuOutcome::Nothing;
}

bool should_release_console(bool tray_present, std::uint32_t console_process_count) {
    return tray_present && console_process_count == 1;
}

std::string tray_unavailable_message(std::string_view error) {
    return win::failure_line("The tray icon is unavailable", error);
}

}  // namespace quilt_daemon
