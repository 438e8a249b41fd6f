// The tray window's decisions, apart from the window itself: which messages
// open the menu or bring the icon back, what the menu's answer leads to, and
// when the console goes away. tray_win32.cpp carries them out.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quilt_daemon {

// The icon: one per process, identified by the tray window and this id.
inline constexpr std::uint32_t TRAY_ICON_ID = 1;
inline constexpr std::u16string_view TRAY_TIP = u"Quilt";

// The menu, top to bottom; TrackPopupMenu answers with the chosen item's id,
// or 0 when the menu was closed without a choice.
struct TrayMenuItem {
    enum class Kind { Grayed, Separator, Item };
    Kind kind;
    std::uint32_t id;
    std::u16string_view text;
};
inline constexpr std::uint32_t TRAY_ITEM_EXIT = 1;
inline constexpr std::array<TrayMenuItem, 3> TRAY_MENU = {{
    {TrayMenuItem::Kind::Grayed, 0, u"Quilt"},
    {TrayMenuItem::Kind::Separator, 0, u""},
    {TrayMenuItem::Kind::Item, TRAY_ITEM_EXIT, u"Exit and mouse around"},
}};

enum class TrayReaction {
    Default,   // DefWindowProcW
    ShowMenu,  // a click on the icon
    AddIcon,   // the taskbar was re-created and forgot the icon
};

// What the tray window procedure does with one message. `taskbar_created_msg`
// is 0 until "TaskbarCreated" was registered.
TrayReaction tray_reaction(std::uint32_t message, std::uint64_t lparam, std::uint32_t taskbar_created_msg);

enum class MenuOutcome {
    Quit,          // the exit item: end the main loop
    RestoreFocus,  // give the focus back to the window that had it
    Nothing,
};

MenuOutcome menu_outcome(std::uint32_t command, bool had_foreground_window);

// Started by a double-click, the program is alone on its console; with the
// tray icon as a way to stop it, that console window can go. Without the icon
// it stays, so that Ctrl+C still works.
bool should_release_console(bool tray_present, std::uint32_t console_process_count);

// The error texts of a tray that could not be made.
inline constexpr std::string_view TRAY_CLASS_FAILED = "could not register the tray window class";
inline constexpr std::string_view TRAY_ICON_REFUSED = "Windows did not accept the tray icon";
std::string tray_unavailable_message(std::string_view error);

}  // namespace quilt_daemon
