#include "icons/app_bitmap.h"

#include <limits>

namespace icons {
namespace {

// Rows in memory order, so a bottom-up bitmap is looked at upside down; the
// test is the same both ways up.
std::uint8_t alpha(const DibInfo& dib, std::int32_t column, std::int32_t row) {
    return dib.bits[static_cast<std::ptrdiff_t>(row) * dib.stride + static_cast<std::ptrdiff_t>(column) * 4 + 3];
}

bool is_framed(const DibInfo& dib) {
    const std::int32_t w = dib.width;
    const std::int32_t h = dib.height;
    if (w < 7 || h < 7) return false;
    struct Pair {
        std::int32_t edge_column, edge_row, inner_column, inner_row;
    };
    const Pair pairs[] = {
        {0, h / 2, 3, h / 2},
        {w - 1, h / 2, w - 4, h / 2},
        {w / 2, 0, w / 2, 3},
        {w / 2, h - 1, w / 2, h - 4},
    };
    for (const Pair& p : pairs) {
        if (alpha(dib, p.edge_column, p.edge_row) == 0 || alpha(dib, p.inner_column, p.inner_row) != 0) return false;
    }
    return true;
}

}  // namespace

BitmapVerdict judge_bitmap(const DibInfo& dib) {
    if (dib.object_size != DIBSECTION_SIZE || dib.width <= 0 || dib.height <= 0 || !dib.bits ||
        dib.bits_per_pixel != 32 || dib.width > std::numeric_limits<std::int32_t>::max() / 4 ||
        dib.stride < dib.width * 4) {
        return BitmapVerdict::Unusable;
    }
    return is_framed(dib) ? BitmapVerdict::Framed : BitmapVerdict::Picture;
}

std::optional<std::size_t> pick_bitmap(std::span<const BitmapVerdict> verdicts) {
    std::optional<std::size_t> fallback;
    for (std::size_t i = 0; i < verdicts.size(); ++i) {
        if (verdicts[i] == BitmapVerdict::Picture) return i;
        if (verdicts[i] == BitmapVerdict::Framed) fallback = i;
    }
    return fallback;
}

ScanLayout scan_layout(const DibInfo& dib) {
    if (dib.top_down) return {0, dib.stride};
    return {static_cast<std::ptrdiff_t>(dib.height - 1) * dib.stride, -dib.stride};
}

}  // namespace icons
