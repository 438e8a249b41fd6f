#include <gtest/gtest.h>

#include "daemon/tray_logic.h"
#include "win/numbers.h"

namespace {

using namespace quilt_daemon;

constexpr std::uint32_t TASKBAR_CREATED = 0xC0F3;  // a registered message number

struct ReactionCase {
    const char* fault;
    std::uint32_t message;
    std::uint64_t lparam;
    std::uint32_t taskbar_created;
    TrayReaction expected;
};

TEST(TrayReaction, OnlyButtonReleasesOpenTheMenuAndOnlyTheRegisteredMessageAddsTheIcon) {
    const ReactionCase cases[] = {
        {"left release opens the menu", win::MSG_TRAY, 0x0202, TASKBAR_CREATED, TrayReaction::ShowMenu},
        {"right release opens the menu", win::MSG_TRAY, 0x0205, TASKBAR_CREATED, TrayReaction::ShowMenu},
        {"a mouse move over the icon", win::MSG_TRAY, 0x0200, TASKBAR_CREATED, TrayReaction::Default},
        {"left press: the menu would open twice", win::MSG_TRAY, 0x0201, TASKBAR_CREATED, TrayReaction::Default},
        {"right press", win::MSG_TRAY, 0x0204, TASKBAR_CREATED, TrayReaction::Default},
        {"double click", win::MSG_TRAY, 0x0203, TASKBAR_CREATED, TrayReaction::Default},
        {"middle release", win::MSG_TRAY, 0x0208, TASKBAR_CREATED, TrayReaction::Default},
        {"context menu notification of a versioned icon", win::MSG_TRAY, 0x007B, TASKBAR_CREATED,
         TrayReaction::Default},
        {"only the low 32 bits carry the mouse message", win::MSG_TRAY, 0xFFFF'FFFF'0000'0205ull, TASKBAR_CREATED,
         TrayReaction::ShowMenu},
        {"a versioned icon's icon id in the high word", win::MSG_TRAY, 0x0001'0202, TASKBAR_CREATED,
         TrayReaction::Default},
        {"the button message sent to the window itself", 0x0202, 0, TASKBAR_CREATED, TrayReaction::Default},
        {"the taskbar came back", TASKBAR_CREATED, 0, TASKBAR_CREATED, TrayReaction::AddIcon},
        {"another registered message", TASKBAR_CREATED + 1, 0, TASKBAR_CREATED, TrayReaction::Default},
        {"unregistered: WM_NULL is not the taskbar", 0, 0, 0, TrayReaction::Default},
        {"unregistered: clicks still work", win::MSG_TRAY, 0x0202, 0, TrayReaction::ShowMenu},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tray_reaction(c.message, c.lparam, c.taskbar_created), c.expected) << c.fault;
    }
}

TEST(MenuOutcome, OnlyTheExitItemQuitsAndEverythingElseGivesTheFocusBack) {
    struct Case {
        const char* fault;
        std::uint32_t command;
        bool had_foreground;
        MenuOutcome expected;
    };
    const Case cases[] = {
        {"the exit item", TRAY_ITEM_EXIT, true, MenuOutcome::Quit},
        {"the exit item with no window in front", TRAY_ITEM_EXIT, false, MenuOutcome::Quit},
        {"closed without a choice (Esc, a click elsewhere)", 0, true, MenuOutcome::RestoreFocus},
        {"closed with no window to go back to", 0, false, MenuOutcome::Nothing},
        {"an id no item has", 2, true, MenuOutcome::RestoreFocus},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(menu_outcome(c.command, c.had_foreground), c.expected) << c.fault;
    }
}

TEST(TrayMenu, TheGrayedTitleCannotQuitAndTheOnlyWorkingItemIsExit) {
    int working = 0;
    for (const auto& item : TRAY_MENU) {
        if (item.kind != TrayMenuItem::Kind::Item) {
            EXPECT_NE(menu_outcome(item.id, true), MenuOutcome::Quit) << "a grayed or separator id quits";
            continue;
        }
        ++working;
        EXPECT_EQ(menu_outcome(item.id, true), MenuOutcome::Quit);
        EXPECT_EQ(item.text, u"Exit and mouse around");
    }
    EXPECT_EQ(working, 1);
}

TEST(ReleaseConsole, OnlyWhenAloneOnTheConsoleAndTheTrayCanStopTheProgram) {
    struct Case {
        const char* fault;
        bool tray;
        std::uint32_t processes;
        bool expected;
    };
    const Case cases[] = {
        {"double-clicked with a tray", true, 1, true},
        {"started from a shell, which shares the console", true, 2, false},
        {"no console at all", true, 0, false},
        {"no tray: Ctrl+C must stay possible", false, 1, false},
        {"no tray, shared console", false, 2, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(should_release_console(c.tray, c.processes), c.expected) << c.fault;
    }
}

TEST(TrayMessages, FailureLineNamesTheCause) {
    EXPECT_EQ(tray_unavailable_message(TRAY_CLASS_FAILED),
              "The tray icon is unavailable: could not register the tray window class\n");
    EXPECT_EQ(tray_unavailable_message(TRAY_ICON_REFUSED),
              "The tray icon is unavailable: Windows did not accept the tray icon\n");
}

}  // namespace
