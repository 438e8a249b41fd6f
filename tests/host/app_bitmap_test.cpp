#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "icons/app_bitmap.h"

namespace {

using icons::BitmapVerdict;
using icons::DibInfo;

enum class Shape { Solid, Outline, OpenLeft, Empty, ThickOutline };

// A 32-bit bitmap whose alpha draws the shape; rows padded past the pixels
// so that a test that ignored the stride would read the wrong bytes.
struct Pixels {
    std::int32_t width, height;
    std::int32_t stride;
    std::vector<std::uint8_t> bytes;

    Pixels(std::int32_t w, std::int32_t h, Shape shape) : width(w), height(h), stride(w * 4 + 8) {
        bytes.assign(static_cast<std::size_t>(stride) * h, 0xAA);
        for (std::int32_t row = 0; row < h; ++row) {
            for (std::int32_t column = 0; column < w; ++column) {
                const bool edge = column == 0 || row == 0 || column == w - 1 || row == h - 1;
                const bool near_edge = column < 4 || row < 4 || column >= w - 4 || row >= h - 4;
                bool opaque = false;
                switch (shape) {
                    case Shape::Solid: opaque = true; break;
                    case Shape::Outline: opaque = edge; break;
                    case Shape::OpenLeft: opaque = edge && column != 0; break;
                    case Shape::Empty: opaque = false; break;
                    case Shape::ThickOutline: opaque = near_edge; break;
                }
                bytes[static_cast<std::size_t>(row * stride + column * 4 + 3)] = opaque ? 0xFF : 0;
            }
        }
    }

    DibInfo dib(bool top_down = true) const {
        return DibInfo{icons::DIBSECTION_SIZE, width, height, stride, 32, bytes.data(), top_down};
    }
};

TEST(AppBitmap, FrameTestFindsBareOutlinesOnly) {
    struct Case {
        std::int32_t w, h;
        Shape shape;
        BitmapVerdict verdict;
    };
    for (const auto& c : std::initializer_list<Case>{
             {64, 64, Shape::Outline, BitmapVerdict::Framed},
             {48, 48, Shape::Outline, BitmapVerdict::Framed},
             {32, 32, Shape::Solid, BitmapVerdict::Picture},
             {7, 7, Shape::Outline, BitmapVerdict::Framed},   // the smallest that is tested
             {6, 6, Shape::Outline, BitmapVerdict::Picture},  // too small to tell
             {64, 6, Shape::Outline, BitmapVerdict::Picture},
             {64, 48, Shape::Outline, BitmapVerdict::Framed},  // odd halves: row 24, column 32
             {63, 47, Shape::Outline, BitmapVerdict::Framed},
             {64, 64, Shape::OpenLeft, BitmapVerdict::Picture},
             {64, 64, Shape::Empty, BitmapVerdict::Picture},
             {64, 64, Shape::ThickOutline, BitmapVerdict::Picture},  // opaque four pixels in
         }) {
        const Pixels p(c.w, c.h, c.shape);
        // Rows are taken in memory order: the same bytes give the same verdict both ways up.
        EXPECT_EQ(icons::judge_bitmap(p.dib(true)), c.verdict) << c.w << "x" << c.h << " " << int(c.shape);
        EXPECT_EQ(icons::judge_bitmap(p.dib(false)), c.verdict) << c.w << "x" << c.h << " " << int(c.shape);
    }
}

TEST(AppBitmap, OnlyWhole32BitDibSectionsWithPixelsAreUsable) {
    const Pixels p(32, 32, Shape::Solid);
    const auto with = [&](auto change) {
        DibInfo d = p.dib();
        change(d);
        return icons::judge_bitmap(d);
    };
    EXPECT_EQ(with([](DibInfo&) {}), BitmapVerdict::Picture);
    EXPECT_EQ(with([](DibInfo& d) { d.object_size = 24; }), BitmapVerdict::Unusable);  // a plain BITMAP
    EXPECT_EQ(with([](DibInfo& d) { d.object_size = 0; }), BitmapVerdict::Unusable);
    EXPECT_EQ(with([](DibInfo& d) { d.bits_per_pixel = 24; }), BitmapVerdict::Unusable);
    EXPECT_EQ(with([](DibInfo& d) { d.bits = nullptr; }), BitmapVerdict::Unusable);
    EXPECT_EQ(with([](DibInfo& d) { d.width = 0; }), BitmapVerdict::Unusable);
    EXPECT_EQ(with([](DibInfo& d) { d.height = -32; }), BitmapVerdict::Unusable);
    EXPECT_EQ(with([](DibInfo& d) { d.stride = 64; }), BitmapVerdict::Unusable);  // rows shorter than the pixels
    // A row length past the 32-bit range, which a wrapped product would let through.
    EXPECT_EQ(with([](DibInfo& d) { d.width = 0x40000001; }), BitmapVerdict::Unusable);
}

TEST(AppBitmap, TakesTheFirstPictureElseTheLastOutline) {
    using V = BitmapVerdict;
    struct Case {
        std::vector<V> verdicts;  // at 64, 48, 32, ending at the first picture
        std::optional<std::size_t> taken;
    };
    for (const auto& c : std::initializer_list<Case>{
             {{V::Picture}, 0},
             {{V::Framed, V::Framed, V::Picture}, 2},
             {{V::Framed, V::Framed, V::Framed}, 2},
             {{V::Framed, V::Unusable, V::Unusable}, 0},
             {{V::Unusable, V::Framed, V::Unusable}, 1},
             {{V::Unusable, V::Picture}, 1},
             {{V::Framed, V::Picture}, 1},
             {{V::Unusable, V::Unusable, V::Unusable}, std::nullopt},
             {{}, std::nullopt},
         }) {
        EXPECT_EQ(icons::pick_bitmap(c.verdicts), c.taken) << ::testing::PrintToString(c.verdicts.size());
    }
}

TEST(AppBitmap, ScanStartsAtTheTopRowEitherWayUp) {
    const Pixels p(20, 10, Shape::Solid);
    EXPECT_EQ(icons::scan_layout(p.dib(true)), (icons::ScanLayout{0, p.stride}));
    EXPECT_EQ(icons::scan_layout(p.dib(false)), (icons::ScanLayout{9 * p.stride, -p.stride}));
}

}  // namespace
