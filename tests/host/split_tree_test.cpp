#include "layout/split_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

using layout::Placement;
using layout::ResizeAxis;
using layout::SplitTree;
using win::Hwnd;
using win::Rect;

const Hwnd A{0xA}, B{0xB}, C{0xC}, D{0xD}, E{0xE};
const Rect WORK{0, 0, 1920, 1040};
const Rect START{8, 8, 1904, 1024};  // WORK after the outer gap
constexpr std::int32_t GAP = 8;

std::vector<Placement> place(const SplitTree& t) { return layout::placements(t, WORK, GAP, GAP); }
bool fits(const SplitTree& t) { return layout::fits(t, WORK, GAP, GAP, 400, 300); }

// Each window after the one before, as a fresh layout chains them.
SplitTree chain(const std::vector<Hwnd>& windows) {
    SplitTree t;
    std::optional<Hwnd> anchor;
    for (Hwnd h : windows) {
        layout::insert(t, h, anchor, true);
        anchor = h;
    }
    return t;
}

TEST(SplitTree, FiveWindowChainHalvesEachTileAndTheFifthNoLongerFits) {
    struct Case {
        std::vector<Hwnd> windows;
        std::vector<Placement> expected;
        bool fits;
    };
    const std::vector<Case> cases = {
        {{A}, {{A, {8, 8, 1904, 1024}}}, true},
        {{A, B}, {{A, {8, 8, 948, 1024}}, {B, {964, 8, 948, 1024}}}, true},
        {{A, B, C}, {{A, {8, 8, 948, 1024}}, {B, {964, 8, 948, 508}}, {C, {964, 524, 948, 508}}}, true},
        {{A, B, C, D},
         {{A, {8, 8, 948, 1024}}, {B, {964, 8, 948, 508}}, {C, {964, 524, 470, 508}}, {D, {1442, 524, 470, 508}}},
         true},
        {{A, B, C, D, E},
         {{A, {8, 8, 948, 1024}},
          {B, {964, 8, 948, 508}},
          {C, {964, 524, 470, 508}},
          {D, {1442, 524, 470, 250}},
          {E, {1442, 782, 470, 250}}},
         false},
    };
    for (const auto& c : cases) {
        const SplitTree t = chain(c.windows);
        EXPECT_EQ(place(t), c.expected) << c.windows.size() << " windows";
        EXPECT_EQ(fits(t), c.fits) << c.windows.size() << " windows";
    }
}

TEST(SplitTree, InsertBeforeAfterAndWithAnAnchorOutsideTheTree) {
    SplitTree before = chain({A});
    layout::insert(before, B, A, false);
    EXPECT_EQ(place(before), (std::vector<Placement>{{B, {8, 8, 948, 1024}}, {A, {964, 8, 948, 1024}}}));

    // The anchor is not in the tree: the new window goes beside the last leaf (C), not the first.
    SplitTree stray = chain({A, B, C});
    layout::insert(stray, D, Hwnd{0x99}, true);
    EXPECT_EQ(layout::leaves(stray), (std::vector<Hwnd>{A, B, C, D}));
    EXPECT_EQ(place(stray)[3].rect, (Rect{1442, 524, 470, 508}));

    // No anchor at all behaves the same.
    SplitTree none = chain({A, B});
    layout::insert(none, C, std::nullopt, false);
    EXPECT_EQ(layout::leaves(none), (std::vector<Hwnd>{A, C, B}));

    // Inserting next to A (the first leaf) splits A's tile, not the last one.
    SplitTree mid = chain({A, B});
    layout::insert(mid, C, A, true);
    EXPECT_EQ(place(mid),
              (std::vector<Placement>{{A, {8, 8, 948, 508}}, {C, {8, 524, 948, 508}}, {B, {964, 8, 948, 1024}}}));
}

TEST(SplitTree, RemovalCollapsesSplitsAndKeepsTheSurvivorsRatios) {
    SplitTree two = chain({A, B});
    layout::remove(two, A);
    EXPECT_EQ(place(two), (std::vector<Placement>{{B, {8, 8, 1904, 1024}}}));

    SplitTree three = chain({A, B, C});
    ASSERT_TRUE(layout::resize(three, A, ResizeAxis::Width, 100, START, GAP));  // root ratio 552
    layout::remove(three, B);
    EXPECT_EQ(place(three), (std::vector<Placement>{{A, {8, 8, 1046, 1024}}, {C, {1062, 8, 850, 1024}}}));

    // Removing the whole left side hands the right subtree, its ratio kept, the full
    // area; now wider than tall, it divides side by side.
    SplitTree four = chain({A, B, C});
    ASSERT_TRUE(layout::resize(four, C, ResizeAxis::Height, 100, START, GAP));  // B/C ratio 598
    layout::remove(four, A);
    EXPECT_EQ(place(four), (std::vector<Placement>{{B, {8, 8, 1133, 1024}}, {C, {1149, 8, 763, 1024}}}));

    SplitTree last = chain({A});
    layout::remove(last, A);
    EXPECT_TRUE(layout::is_empty(last));

    SplitTree unchanged = chain({A, B});
    layout::remove(unchanged, C);
    EXPECT_EQ(place(unchanged), place(chain({A, B})));
}

TEST(SplitTree, ResizeStepsClampAndTruncateTowardZero) {
    for (Hwnd side : {A, B}) {
        SplitTree t = chain({A, B});
        ASSERT_TRUE(layout::resize(t, side, ResizeAxis::Width, 100, START, GAP));
        EXPECT_EQ(t.root.ratio, 552);
        EXPECT_EQ(place(t), (std::vector<Placement>{{A, {8, 8, 1046, 1024}}, {B, {1062, 8, 850, 1024}}}));
    }
    SplitTree shrink = chain({A, B});
    ASSERT_TRUE(layout::resize(shrink, A, ResizeAxis::Width, -100, START, GAP));
    EXPECT_EQ(shrink.root.ratio, 448);  // -52.7 truncates to -52, not -53

    SplitTree grow = chain({A, B});
    std::vector<std::int32_t> ratios;
    for (int i = 0; i < 9; ++i) {
        EXPECT_TRUE(layout::resize(grow, A, ResizeAxis::Width, 100, START, GAP));
        ratios.push_back(grow.root.ratio);
    }
    EXPECT_EQ(ratios, (std::vector<std::int32_t>{552, 604, 656, 708, 760, 812, 864, 900, 900}));

    SplitTree low = chain({A, B});
    for (int i = 0; i < 10; ++i) layout::resize(low, B, ResizeAxis::Width, -100, START, GAP);
    EXPECT_EQ(low.root.ratio, 100);
}

TEST(SplitTree, ResizePicksTheDeepestSplitWhoseShapeMatchesTheAxis) {
    SplitTree two = chain({A, B});
    EXPECT_FALSE(layout::resize(two, A, ResizeAxis::Height, 100, START, GAP));
    EXPECT_EQ(two.root.ratio, 500);

    SplitTree height = chain({A, B, C});
    ASSERT_TRUE(layout::resize(height, C, ResizeAxis::Height, 100, START, GAP));
    EXPECT_EQ(height.root.ratio, 500);
    EXPECT_EQ(height.root.second->ratio, 598);  // U = 1016: 100000 / 1016 = 98

    SplitTree width = chain({A, B, C});
    ASSERT_TRUE(layout::resize(width, C, ResizeAxis::Width, 100, START, GAP));
    EXPECT_EQ(width.root.ratio, 552);
    EXPECT_EQ(width.root.second->ratio, 500);

    SplitTree outside = chain({A, B});
    EXPECT_FALSE(layout::resize(outside, C, ResizeAxis::Width, 100, START, GAP));
}

TEST(SplitTree, SquareAndDegenerateRectangles) {
    // Ties go side by side.
    auto [left, right] = layout::split_rect({0, 0, 100, 100}, 500, 0);
    EXPECT_EQ(left, (Rect{0, 0, 50, 100}));
    EXPECT_EQ(right, (Rect{50, 0, 50, 100}));

    // A gap wider than the rectangle leaves nothing to share.
    EXPECT_EQ(layout::usable_length(50, 20, 80), 0);
    EXPECT_EQ(layout::usable_length(50, 20, -5), 50);
    auto [first, second] = layout::split_rect({10, 10, 50, 20}, 500, 80);
    EXPECT_EQ(first, (Rect{10, 10, 0, 20}));
    EXPECT_EQ(second, (Rect{60, 10, 0, 20}));
    SplitTree t = chain({A, B});
    EXPECT_FALSE(layout::resize(t, A, ResizeAxis::Width, 100, {10, 10, 50, 20}, 80));

    // An area smaller than the outer gaps clamps to zero size instead of going negative.
    EXPECT_EQ(layout::placements(chain({A}), {0, 0, 10, 10}, 8, 8), (std::vector<Placement>{{A, {8, 8, 0, 0}}}));
}

TEST(SplitTree, EmptyTreeDoesNothing) {
    SplitTree t;
    EXPECT_TRUE(place(t).empty());
    EXPECT_TRUE(fits(t));
    EXPECT_TRUE(layout::leaves(t).empty());
    EXPECT_FALSE(layout::contains(t, A));
    EXPECT_FALSE(layout::resize(t, A, ResizeAxis::Width, 100, START, GAP));
    layout::remove(t, A);
    layout::swap(t, A, B);
    EXPECT_TRUE(layout::is_empty(t));
    layout::insert(t, A, B, false);
    EXPECT_EQ(layout::leaves(t), std::vector<Hwnd>{A});
}

TEST(SplitTree, SwapExchangesWindowsOrHandsOverTheOnlyOne) {
    SplitTree t = chain({A, B, C});
    layout::swap(t, A, C);
    EXPECT_EQ(layout::leaves(t), (std::vector<Hwnd>{C, B, A}));
    layout::swap(t, B, D);  // D lives in another tree
    EXPECT_EQ(layout::leaves(t), (std::vector<Hwnd>{C, D, A}));
}

TEST(SplitTree, CopyIsDeep) {
    SplitTree original = chain({A, B, C});
    SplitTree copy = original;
    layout::resize(copy, C, ResizeAxis::Height, 100, START, GAP);
    layout::remove(copy, A);
    EXPECT_EQ(layout::leaves(original), (std::vector<Hwnd>{A, B, C}));
    EXPECT_EQ(original.root.second->ratio, 500);
}

// Every tile grown by the inner gap to the right and below. Where no split
// had to shrink its gap to fit, these tile the area after the outer gap,
// grown the same way, exactly: the tiles and the gaps between them fill it.
bool fill_exactly(const std::vector<Placement>& placed, const Rect& area, std::int32_t outer_gap,
                  std::int32_t inner_gap) {
    const Rect inner = layout::inner_area(area, outer_gap);
    const Rect whole{inner.left, inner.top, inner.width + inner_gap, inner.height + inner_gap};
    std::int64_t covered = 0;
    for (std::size_t i = 0; i < placed.size(); ++i) {
        const Rect& r = placed[i].rect;
        const Rect grown{r.left, r.top, r.width + inner_gap, r.height + inner_gap};
        if (grown.left < whole.left || grown.top < whole.top || grown.right() > whole.right() ||
            grown.bottom() > whole.bottom()) {
            return false;
        }
        for (std::size_t j = 0; j < i; ++j) {
            const Rect& o = placed[j].rect;
            const Rect other{o.left, o.top, o.width + inner_gap, o.height + inner_gap};
            const bool apart = grown.right() <= other.left || other.right() <= grown.left ||
                               grown.bottom() <= other.top || other.bottom() <= grown.top;
            if (!apart) return false;
        }
        covered += std::int64_t{grown.width} * grown.height;
    }
    return covered == std::int64_t{whole.width} * whole.height;
}

// Random trees in odd areas: tiles never overlap, never leave the area, never
// have a negative size, and with their gaps fill the area exactly.
TEST(SplitTree, TilesStayInsideTheAreaAndNeverOverlap) {
    int filled = 0;
    std::mt19937 rng(7);
    const std::vector<Rect> areas = {{0, 0, 1366, 767}, {0, 0, 1, 1}, {-1280, 0, 1280, 1024}, {5, 7, 30, 3000}};
    for (const Rect& area : areas) {
        for (std::int32_t gap : {0, 8, 5000}) {
            SplitTree t;
            std::vector<Hwnd> in;
            for (int step = 0; step < 40; ++step) {
                const Hwnd h{static_cast<std::uint64_t>(0x100 + step)};
                std::optional<Hwnd> anchor;
                if (!in.empty()) anchor = in[rng() % in.size()];
                layout::insert(t, h, anchor, rng() % 2 == 0);
                in.push_back(h);
                if (rng() % 3 == 0) {
                    const Hwnd gone = in[rng() % in.size()];
                    layout::remove(t, gone);
                    std::erase(in, gone);
                }
                if (!in.empty()) {
                    const auto axis = rng() % 2 ? ResizeAxis::Width : ResizeAxis::Height;
                    layout::resize(
                        t, in[rng() % in.size()], axis, static_cast<std::int32_t>(rng() % 400) - 200,
                        {area.left + 8, area.top + 8, std::max(area.width - 16, 0), std::max(area.height - 16, 0)},
                        gap);
                }
                const auto placed = layout::placements(t, area, 8, gap);
                ASSERT_EQ(placed.size(), in.size());
                // A split too small for its gap gives a tile no width or height, and gaps narrower than asked.
                const bool squeezed = std::any_of(placed.begin(), placed.end(), [](const Placement& pl) {
                    return pl.rect.width <= 0 || pl.rect.height <= 0;
                });
                if (!placed.empty() && !squeezed) {
                    ASSERT_TRUE(fill_exactly(placed, area, 8, gap));
                    ++filled;
                }
                for (std::size_t i = 0; i < placed.size(); ++i) {
                    const Rect& r = placed[i].rect;
                    ASSERT_GE(r.width, 0);
                    ASSERT_GE(r.height, 0);
                    if (r.width == 0 || r.height == 0) continue;
                    ASSERT_GE(r.left, area.left);
                    ASSERT_GE(r.top, area.top);
                    ASSERT_LE(r.right(), area.right());
                    ASSERT_LE(r.bottom(), area.bottom());
                    for (std::size_t j = 0; j < i; ++j) {
                        const Rect& o = placed[j].rect;
                        const bool apart =
                            r.right() <= o.left || o.right() <= r.left || r.bottom() <= o.top || o.bottom() <= r.top;
                        ASSERT_TRUE(apart || o.width == 0 || o.height == 0);
                    }
                }
            }
        }
    }
    EXPECT_GT(filled, 100);
}

}  // namespace
