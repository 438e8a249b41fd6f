#include <gtest/gtest.h>

#include <algorithm>

#include "daemon/overlay.h"
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

template <typename Op>
std::vector<Op> all_of(const std::vector<PaintOp>& ops) {
    std::vector<Op> found;
    for (const auto& op : ops) {
        if (const auto* o = std::get_if<Op>(&op)) found.push_back(*o);
    }
    return found;
}

TEST(Overlay, PanelLayoutAt96And144Dpi) {
    struct Case {
        std::uint32_t dpi;
        PixelRect client;
        std::vector<PaintOp> header;  // logo, title, hint, separator
        PixelRect first_heading;
        std::int32_t cap_radius;
        std::vector<PixelRect> widest_row_caps;  // "Win", "Shift", "-", "=" as drawn: last key first
        std::int32_t content_bottom;
    } cases[] = {
        {96,
         {0, 0, 560, 726},
         {Logo{28, 28, 22}, TextRun{"QUILT", PALETTE.muted, FontSlot::Heading, TextFormat::Left, {60, 28, 532, 50}, 2},
          TextRun{"RELEASE WIN TO CLOSE", PALETTE.muted, FontSlot::Heading, TextFormat::Right, {28, 28, 532, 50}, 2},
          RectFill{{28, 63, 532, 64}, PALETTE.separator}},
         {28, 76, 532, 102},
         6,
         {{507, 209, 532, 233}, {477, 209, 502, 233}, {419, 209, 472, 233}, {375, 209, 414, 233}},
         698},
        {144,
         {0, 0, 840, 1089},
         {Logo{42, 42, 33}, TextRun{"QUILT", PALETTE.muted, FontSlot::Heading, TextFormat::Left, {90, 42, 798, 75}, 3},
          TextRun{"RELEASE WIN TO CLOSE", PALETTE.muted, FontSlot::Heading, TextFormat::Right, {42, 42, 798, 75}, 3},
          RectFill{{42, 94, 798, 95}, PALETTE.separator}},  // s = 144 * 26 / 192 = 19, one pixel high
         {42, 114, 798, 153},
         9,
         {{765, 313, 798, 349}, {725, 313, 758, 349}, {657, 313, 718, 349}, {603, 313, 650, 349}},
         1047},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dpi);
        const auto ops = overlay_ops(c.dpi, c.client);
        // Header, four headings, fourteen descriptions, and a chip and a label for each of 33 keys.
        ASSERT_EQ(ops.size(), 4u + 4 + 14 + 2 * 33);
        EXPECT_EQ(std::vector<PaintOp>(ops.begin(), ops.begin() + 4), c.header);
        EXPECT_EQ(std::get<TextRun>(ops[4]).rect, c.first_heading);
        EXPECT_EQ(std::get<TextRun>(ops[4]).text, "WINDOWS");

        // Each cap is a chip with its label centred on it in the soft text colour.
        for (std::size_t i = 0; i < ops.size(); ++i) {
            if (const auto* chip = std::get_if<Chip>(&ops[i])) {
                ASSERT_LT(i + 1, ops.size());
                const auto& label = std::get<TextRun>(ops[i + 1]);
                EXPECT_EQ(label.rect, chip->rect);
                EXPECT_EQ(label.font, FontSlot::Small);
                EXPECT_EQ(label.format, TextFormat::Center);
                EXPECT_EQ(label.colour, PALETTE.text_soft);
                EXPECT_EQ(chip->radius, c.cap_radius);
            }
        }
        // Rows of 2, 3, 3 caps come first: the fourth row has the most caps.
        const auto chips = all_of<Chip>(ops);
        ASSERT_EQ(chips.size(), 33u);
        std::vector<PixelRect> widest;
        for (std::size_t i = 8; i < 12; ++i) widest.push_back(chips[i].rect);
        EXPECT_EQ(widest, c.widest_row_caps);

        // The content ends one margin above the bottom edge.
        const auto texts = all_of<TextRun>(ops);
        EXPECT_EQ(texts.back().text, "Win");
        const auto last_description = std::find_if(
            texts.rbegin(), texts.rend(), [](const TextRun& t) { return t.text == "Stop and put every window back"; });
        ASSERT_NE(last_description, texts.rend());
        EXPECT_EQ(last_description->rect.bottom, c.content_bottom);
        EXPECT_EQ(c.client.bottom - c.content_bottom, scale(28, c.dpi));
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
