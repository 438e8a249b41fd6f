#include <gtest/gtest.h>

#include <set>
#include <string>

#include "daemon/overlay.h"
#include "daemon/shortcut_list.h"
#include "sim_desktop.h"

namespace {

using namespace paint;

// Every key label is 7 pixels per byte wide, in any font.
std::vector<PaintOp> overlay_ops(std::uint32_t dpi, PixelRect client) {
    Painter painter{
        dpi, [](FontSlot, std::string_view text) { return static_cast<std::int32_t>(text.size()) * 7; }, {}};
    quilt_daemon::paint_overlay(painter, client);
    return painter.list.ops;
}

bool inside(PixelRect r, PixelRect area) {
    return area.left <= r.left && r.left <= r.right && r.right <= area.right && area.top <= r.top &&
           r.top <= r.bottom && r.bottom <= area.bottom;
}

TEST(Overlay, EveryListedRowIsDrawnOnceInsideTheMarginsWithCapsCentredAndNothingOverlapping) {
    const auto& sections = quilt_daemon::shortcut_sections();
    for (const std::uint32_t dpi : {96u, 120u, 144u, 168u, 192u}) {
        SCOPED_TRACE(dpi);
        const PixelRect client{0, 0, scale(quilt_daemon::OVERLAY_WIDTH, dpi),
                               scale(quilt_daemon::overlay_height(), dpi)};
        const auto ops = overlay_ops(dpi, client);
        std::size_t rows = 0, caps = 0;
        for (const auto& section : sections) {
            rows += section.rows.size();
            for (const auto& row : section.rows) caps += row.keys.size();
        }
        // The header (logo, title, hint, separator), then a heading per
        // section, a description per row and a chip and a label per key.
        ASSERT_EQ(ops.size(), 4 + sections.size() + rows + 2 * caps);

        // The logo sets the margin; everything keeps it on all four sides.
        const auto logo = std::get<Logo>(ops[0]);
        EXPECT_EQ(logo.x, logo.y);
        const PixelRect content{logo.x, logo.y, client.right - logo.x, client.bottom - logo.y};
        const auto title = std::get<TextRun>(ops[1]);
        const auto hint = std::get<TextRun>(ops[2]);
        const auto separator = std::get<RectFill>(ops[3]);
        EXPECT_EQ(title.format, TextFormat::Left);
        EXPECT_EQ(hint.format, TextFormat::Right);
        EXPECT_EQ(hint.rect.right, content.right);
        EXPECT_LT(title.rect.left + 7 * static_cast<std::int32_t>(title.text.size()),
                  hint.rect.right - 7 * static_cast<std::int32_t>(hint.text.size()));
        for (const auto& header_line : {title.rect, hint.rect}) {
            EXPECT_EQ(header_line.top, logo.y);
            EXPECT_EQ(header_line.bottom, logo.y + logo.size);
        }
        EXPECT_EQ(separator.rect.bottom - separator.rect.top, 1) << "one pixel high at every DPI";
        EXPECT_EQ(separator.rect.left, content.left);
        EXPECT_EQ(separator.rect.right, content.right);
        EXPECT_GT(separator.rect.top, logo.y + logo.size);

        std::size_t at = 4;
        std::int32_t y = separator.rect.bottom;  // nothing may start above the bottom of what came before
        std::int32_t row_height = 0;
        for (const auto& section : sections) {
            const auto heading = std::get<TextRun>(ops[at++]);
            EXPECT_EQ(heading.text, section.heading);
            EXPECT_TRUE(inside(heading.rect, content));
            EXPECT_GE(heading.rect.top, y);
            y = heading.rect.bottom;
            for (const auto& row : section.rows) {
                SCOPED_TRACE(std::string(row.description));
                const auto description = std::get<TextRun>(ops[at++]);
                EXPECT_EQ(description.text, row.description);
                EXPECT_TRUE(inside(description.rect, content));
                EXPECT_EQ(description.rect.top, y) << "rows follow each other without a gap";
                y = description.rect.bottom;
                row_height = description.rect.bottom - description.rect.top;
                // The caps run right to left from the right margin, the first key leftmost.
                std::int32_t right = content.right;
                std::set<std::int32_t> gaps, insets;
                for (auto key = row.keys.rbegin(); key != row.keys.rend(); ++key) {
                    const auto chip = std::get<Chip>(ops[at++]);
                    const auto label = std::get<TextRun>(ops[at++]);
                    EXPECT_EQ(label.text, *key);
                    EXPECT_EQ(label.rect, chip.rect);
                    EXPECT_EQ(label.format, TextFormat::Center);
                    EXPECT_TRUE(inside(chip.rect, description.rect));
                    const std::int32_t vertical_slack =
                        (chip.rect.top - description.rect.top) - (description.rect.bottom - chip.rect.bottom);
                    EXPECT_TRUE(vertical_slack == 0 || vertical_slack == -1) << "centred in its row";
                    EXPECT_LE(2 * chip.radius, chip.rect.bottom - chip.rect.top);
                    insets.insert(chip.rect.right - chip.rect.left - 7 * static_cast<std::int32_t>(key->size()));
                    if (right == content.right) {
                        EXPECT_EQ(chip.rect.right, content.right) << "the last key ends at the right margin";
                    } else {
                        gaps.insert(right - chip.rect.right);
                    }
                    right = chip.rect.left;
                }
                EXPECT_EQ(insets.size(), 1u) << "every label has the same room on both sides";
                EXPECT_GT(*insets.begin(), 0);
                EXPECT_LE(gaps.size(), 1u) << "the caps are evenly spaced";
                if (!gaps.empty()) {
                    EXPECT_GT(*gaps.begin(), 0);
                }
                EXPECT_LT(description.rect.left + 7 * static_cast<std::int32_t>(description.text.size()), right)
                    << "the description ends before the first cap";
            }
        }
        EXPECT_EQ(at, ops.size());
        // The panel is as high as the list: it ends one margin above the
        // bottom edge where every design length scales to whole pixels, and
        // elsewhere leaves less than a row to the truncation of each length.
        if (dpi % 48 == 0) {
            EXPECT_EQ(y, content.bottom);
        } else {
            EXPECT_LE(y, content.bottom);
            EXPECT_LT(content.bottom - y, row_height);
        }
    }
}

TEST(Overlay, ShowCentresOnTheForegroundMonitorAtItsDpiWithoutTakingFocus) {
    struct Case {
        const char* name;
        bool primary_first;  // the first monitor added is the primary
        bool foreground_on_second;
        win::Rect first_move;
        win::Rect shown;
    } cases[] = {
        // 96 DPI primary at 1920 x 1040 work area; 144 DPI second monitor at 2560 x 1400.
        {"on the primary", true, false, {0, 0, 560, 726}, {680, 157, 560, 726}},
        {"on the second monitor", true, true, {1920, 0, 560, 726}, {2780, 155, 840, 1089}},
        {"no foreground: the primary", false, false, {1920, 0, 560, 726}, {2780, 155, 840, 1089}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sim::Desktop d;
        d.add_monitor({0, 0, 1920, 1080}, {0, 0, 1920, 1040}, c.primary_first, 96);
        d.add_monitor({1920, 0, 2560, 1440}, {1920, 0, 2560, 1400}, !c.primary_first, 144);
        sim::Window popup;
        popup.ex_style = win::EXSTYLE_NOACTIVATE | win::EXSTYLE_TOOLWINDOW;
        popup.visible = false;
        popup.rect = {0, 0, 560, 726};
        const auto overlay = d.add_window(popup);
        sim::Window window;
        window.rect = c.foreground_on_second ? win::Rect{2000, 100, 800, 600} : win::Rect{100, 100, 800, 600};
        const auto app = d.add_window(window);
        d.foreground = c.primary_first ? app : win::Hwnd{};
        d.moves.clear();

        quilt_daemon::show_overlay_window(d, overlay);
        const std::vector<sim::Move> expected = {{overlay, c.first_move.left, c.first_move.top, c.first_move.width,
                                                  c.first_move.height, win::POS_NOACTIVATE},
                                                 {overlay, c.shown.left, c.shown.top, c.shown.width, c.shown.height,
                                                  win::POS_SHOWWINDOW | win::POS_NOACTIVATE}};
        EXPECT_EQ(d.moves, expected);
        EXPECT_TRUE(d.window(overlay).topmost);
        EXPECT_TRUE(d.window(overlay).visible);
        EXPECT_EQ(d.invalidated, std::vector<win::Hwnd>{overlay});
        EXPECT_EQ(d.foreground, c.primary_first ? app : win::Hwnd{});

        quilt_daemon::hide_overlay_window(d, overlay);
        EXPECT_FALSE(d.window(overlay).visible);
    }
}

TEST(Overlay, WithoutAWindowTheDaemonSaysSoAndShowAndHideDoNothing) {
    sim::Desktop d;
    d.add_monitor({0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true);
    const auto overlay = quilt_daemon::overlay_or_report(d, win::Error{0, "could not register a window class"});
    EXPECT_EQ(d.err, "The shortcut list is unavailable: could not register a window class\n");
    quilt_daemon::show_overlay_window(d, overlay);
    quilt_daemon::hide_overlay_window(d, overlay);
    EXPECT_TRUE(d.calls.empty());
    EXPECT_TRUE(d.invalidated.empty());
    d.err.clear();
    EXPECT_EQ(quilt_daemon::overlay_or_report(d, win::Hwnd{0x50}), win::Hwnd{0x50});
    EXPECT_EQ(d.err, "");
}

}  // namespace
