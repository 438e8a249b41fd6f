#include <gtest/gtest.h>

#include "paint/paint.h"

namespace {

using namespace paint;

TEST(Paint, ScaleTruncatesTowardZeroBothWays) {
    struct Case {
        std::int32_t value;
        std::uint32_t dpi;
        std::int32_t scaled;
    } cases[] = {
        {15, 96, 15},  {15, 144, 22},                 // 22.5
        {6, 144, 9},   {28, 144, 42}, {26, 120, 32},  // 32.5
        {-3, 144, -4},                                // -4.5 toward zero
    };
    for (const auto& c : cases) EXPECT_EQ(scale(c.value, c.dpi), c.scaled) << c.value << " at " << c.dpi;

    struct Back {
        std::int32_t physical;
        std::uint32_t dpi;
        std::int32_t design;
    } backs[] = {{43, 144, 28}, {100, 96, 100}, {5, 0, 480}};  // a DPI of 0 counts as 1
    for (const auto& b : backs) EXPECT_EQ(unscale(b.physical, b.dpi), b.design) << b.physical << " at " << b.dpi;
}

TEST(Paint, ColoursReachGdiPlusAsOpaqueArgb) {
    EXPECT_EQ(argb(PALETTE.accent), 0xFFB5F53Bu);  // RGB 181, 245, 59
    EXPECT_EQ(argb(PALETTE.background), 0xFF111318u);
}

TEST(Paint, RoundedBoxKeepsAOnePixelOutlineInsideItsRectangle) {
    EXPECT_EQ(rounded_box({20, 20, 540, 64}, 8), (RoundedBox{20.5f, 20.5f, 519.0f, 43.0f, 8.0f}));
    EXPECT_EQ(rounded_box({0, 0, 1, 1}, 0), (RoundedBox{0.5f, 0.5f, 0.0f, 0.0f, 0.0f}));
}

TEST(Paint, LogoAtSize22IsFiveBoxesOnAGridOfElevenSixteenths) {
    const auto parts = logo_parts(10, 20, 22);  // s = 22 / 32 = 0.6875, exact in binary
    const std::array<LogoPart, 5> expected{{
        {{10.0f, 20.0f, 22.0f, 22.0f, 4.125f}, PALETTE.logo_dark},
        {{12.75f, 22.75f, 6.875f, 16.5f, 0.6875f}, PALETTE.logo_light},
        {{21.0f, 22.75f, 8.25f, 9.625f, 0.6875f}, PALETTE.logo_light},
        {{21.0f, 33.75f, 4.125f, 5.5f, 0.6875f}, PALETTE.logo_light},
        {{26.5f, 33.75f, 2.75f, 5.5f, 0.6875f}, PALETTE.accent},
    }};
    EXPECT_EQ(parts, expected);
}

TEST(Paint, EmptyTextMeasuresZeroWithoutTheMeasurerAndDrawsNothing) {
    int measured = 0;
    Painter painter{144,
                    [&](FontSlot, std::string_view text) {
                        ++measured;
                        return static_cast<std::int32_t>(text.size()) * 10;
                    },
                    {}};
    EXPECT_EQ(text_width(painter, FontSlot::Body, ""), 0);
    EXPECT_EQ(text_width(painter, FontSlot::Body, "Win"), 30);
    EXPECT_EQ(measured, 1);
    draw_text(painter, FontSlot::Body, "", PALETTE.text, TextFormat::Left, {0, 0, 10, 10});
    draw_spaced_heading(painter, "", TextFormat::Left, {0, 0, 10, 10});
    draw_spaced_heading(painter, "A&B", TextFormat::Right, {0, 0, 10, 10});
    // Only the heading is drawn, muted, in the heading font, spaced by dpi * 2 / 96.
    ASSERT_EQ(painter.list.ops.size(), 1u);
    EXPECT_EQ(std::get<TextRun>(painter.list.ops[0]),
              (TextRun{"A&B", PALETTE.muted, FontSlot::Heading, TextFormat::Right, {0, 0, 10, 10}, 3}));
}

}  // namespace
