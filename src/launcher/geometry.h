// Where things are in the launcher window, in 96-DPI design units. Painting
// draws at these places and the mouse is tested against them, so a click
// always lands on what it was drawn on.
#pragma once

#include <cstddef>
#include <cstdint>

#include "win/types.h"

namespace launcher {

// Left and top inside, right and bottom outside.
using DesignRect = win::Edges;

inline constexpr std::int32_t WINDOW_WIDTH = 560;
inline constexpr std::int32_t WINDOW_HEIGHT = 416;

inline constexpr DesignRect SEARCH_BOX = {20, 20, 540, 64};
inline constexpr DesignRect QUERY_TEXT = {34, 20, 526, 64};

inline constexpr std::int32_t ROW_HEIGHT = 36;
inline constexpr std::int32_t TILE_STEP = 88;

// Result row r, and line k of the AddWebApp and ConfirmRemove texts.
constexpr DesignRect row_rect(std::size_t r) {
    const auto top = 76 + ROW_HEIGHT * static_cast<std::int32_t>(r);
    return {20, top, 540, top + ROW_HEIGHT};
}

// Web-app tile i of the strip.
constexpr DesignRect tile_rect(std::size_t i) {
    const auto left = 20 + TILE_STEP * static_cast<std::int32_t>(i);
    return {left, 312, left + 80, 396};
}

// The minus circle in the top right corner of tile i.
constexpr DesignRect remove_circle_rect(std::size_t i) {
    const auto left = 78 + TILE_STEP * static_cast<std::int32_t>(i);
    return {left, 316, left + 18, 334};
}

// At the right end of the strip beside tiles; alone, it is wider, to fit "Add web app".
constexpr DesignRect add_tile_rect(std::size_t tile_count) {
    return tile_count == 0 ? DesignRect{20, 312, 188, 396} : DesignRect{460, 312, 540, 396};
}

inline constexpr DesignRect REMOVE_BUTTON = {34, 151, 130, 181};
inline constexpr DesignRect KEEP_BUTTON = {140, 151, 236, 181};

}  // namespace launcher
