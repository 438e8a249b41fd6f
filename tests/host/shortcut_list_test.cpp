#include <gtest/gtest.h>

#include "daemon/shortcut_list.h"

namespace {

TEST(ShortcutList, ConsoleListingIsFourteenPaddedRowsWithoutHeadings) {
    const std::string expected =
        "  Win + Arrows           Focus the tile in that direction\n"
        "  Win + Shift + Arrows   Swap the focused window that way\n"
        "  Win + - + =            Adjust window width\n"
        "  Win + Shift + - + =    Adjust window height\n"
        "  Win + F                Fullscreen the focused window, or back\n"
        "  Drag onto a tile       Move the window there\n"
        "  Win + W                Close the focused window\n"
        "  Win + 1 - 9            Go to that desktop\n"
        "  Win + Shift + 1 - 9    Take the focused window there\n"
        "  Win + Space            Search apps and web apps\n"
        "  Win + Enter            Open a terminal\n"
        "  Win + Shift + B        Open a browser window\n"
        "  Hold Win               Show this list\n"
        "  Win + Shift + Esc      Stop and put every window back\n";
    EXPECT_EQ(quilt_daemon::format_shortcut_list(), expected);
}

TEST(ShortcutList, FourSectionsOfFourteenRowsFillTheOverlaysHeight) {
    // The overlay's 726-unit height is laid out for four headings and fourteen rows.
    const auto& sections = quilt_daemon::shortcut_sections();
    ASSERT_EQ(sections.size(), 4u);
    std::size_t rows = 0;
    for (const auto& s : sections) rows += s.rows.size();
    EXPECT_EQ(rows, 14u);
}

}  // namespace
