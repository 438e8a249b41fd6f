// Choosing among the shell's bitmaps of an app. Some apps give a bare outline
// (an opaque frame around nothing) at large sizes and a real picture only at
// small ones; the frame test finds those so that a smaller size wins.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace icons {

// The sizes asked for, in this order; the first picture that is not framed is taken.
inline constexpr std::array<std::int32_t, 3> APP_ICON_SIZES = {64, 48, 32};

// sizeof(DIBSECTION) on 64-bit Windows: what GetObjectW returns for a DIB section.
inline constexpr int DIBSECTION_SIZE = 104;

// What GetObjectW reported of one bitmap, with its pixels.
struct DibInfo {
    int object_size = 0;  // GetObjectW's return value
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t stride = 0;  // bytes from one row to the next in memory
    std::uint16_t bits_per_pixel = 0;
    const std::uint8_t* bits = nullptr;
    bool top_down = false;  // the header's height is negative
};

enum class BitmapVerdict {
    Unusable,  // no bitmap, or not a 32-bit DIB section with pixels
    Framed,    // an opaque outline with an empty inside: kept only as a fallback
    Picture,   // taken at once
};

BitmapVerdict judge_bitmap(const DibInfo& dib);

// Given the verdicts so far (in the order of APP_ICON_SIZES, ending at the
// first Picture), the index of the bitmap to take: the first Picture, else the
// last Framed one, else nothing.
std::optional<std::size_t> pick_bitmap(std::span<const BitmapVerdict> verdicts);

// Where the top row of the picture starts, from the bits, and the signed step
// to the row below, as GdipCreateBitmapFromScan0 wants them.
struct ScanLayout {
    std::ptrdiff_t first_row = 0;
    std::int32_t stride = 0;
    friend bool operator==(const ScanLayout&, const ScanLayout&) = default;
};

ScanLayout scan_layout(const DibInfo& dib);

}  // namespace icons
