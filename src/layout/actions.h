// What the shortcuts and the drag-onto-a-tile gesture do to the layout, as
// edits of the trees alone. The daemon's pass (daemon/tiling_pass.h) runs
// them and puts every change on the screen.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "layout/layout_state.h"
#include "win/types.h"

namespace layout {

enum class Direction : std::uint8_t { Left = 0, Right = 1, Up = 2, Down = 3 };

inline constexpr std::int32_t RESIZE_STEP = 100;

// A window let go at `point` takes half of the tile under it. Nothing changes
// when it lands in a gap, off every monitor, or where the tiles would get too small.
void handle_drop(LayoutState& state, const std::vector<win::WorkArea>& monitors, std::vector<TileEntry>& entries,
                 win::Hwnd window, win::Point point);

// The nearest tile on the given side of the anchor's, on any monitor of its desktop.
std::optional<win::Hwnd> neighbour(const LayoutState& state, const std::vector<win::WorkArea>& monitors,
                                   Direction direction);

// Moves the divider next to the anchor by RESIZE_STEP pixels, `grow` toward
// the first child; undone when a tile would get too small.
void resize_anchor(LayoutState& state, const std::vector<win::WorkArea>& monitors, ResizeAxis axis, bool grow);

// The anchor and its neighbour on that side trade tiles.
void swap_with_neighbour(LayoutState& state, const std::vector<win::WorkArea>& monitors, Direction direction);

// The anchor covers its whole monitor, or goes back to its tile.
void toggle_full_screen(LayoutState& state);

}  // namespace layout
