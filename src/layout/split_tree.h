// The binary split tree of one monitor on one virtual desktop. Pure geometry:
// nothing here touches a window, so every rule can be checked on the host.
//
// The direction of a division is not stored: a rectangle at least as wide as
// it is tall is divided side by side, a taller one top and bottom. Ratios are
// per mille of the usable length (the longer side less the inner gap).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "win/types.h"

namespace layout {

// A window and the rectangle its visible frame is to occupy.
struct Placement {
    win::Hwnd hwnd;
    win::Rect rect;
    friend bool operator==(const Placement&, const Placement&) = default;
};

inline constexpr std::int32_t NEW_SPLIT_RATIO = 500;
inline constexpr std::int32_t MIN_RATIO = 100;
inline constexpr std::int32_t MAX_RATIO = 900;

// Empty only ever appears as a whole tree's root: inserting makes a Split out
// of two leaves, removing collapses a Split that lost a child.
struct SplitNode {
    enum class Kind { Empty, Leaf, Split };
    Kind kind = Kind::Empty;
    win::Hwnd window;                      // Leaf
    std::int32_t ratio = NEW_SPLIT_RATIO;  // Split: the share of `first`
    std::unique_ptr<SplitNode> first;      // Split: left or upper child
    std::unique_ptr<SplitNode> second;     // Split: right or lower child

    SplitNode() = default;
    // Copies the whole subtree: an action keeps a copy of a tree to undo a change.
    SplitNode(const SplitNode& other);
    SplitNode& operator=(const SplitNode& other);
    SplitNode(SplitNode&&) noexcept = default;
    SplitNode& operator=(SplitNode&&) noexcept = default;
    ~SplitNode() = default;

    static SplitNode leaf(win::Hwnd h);
    static SplitNode split(std::int32_t ratio, SplitNode first, SplitNode second);
};

struct SplitTree {
    SplitNode root;
};

enum class ResizeAxis { Width = 0, Height = 1 };

// A monitor's work area after the outer gap on every side (never negative).
win::Rect inner_area(const win::Rect& area, std::int32_t outer_gap);
// The longer side less the inner gap, the gap first clamped to 0..longer side.
std::int32_t usable_length(std::int32_t width, std::int32_t height, std::int32_t inner_gap);
// The rectangles of a split's first and second child.
std::pair<win::Rect, win::Rect> split_rect(const win::Rect& r, std::int32_t ratio, std::int32_t inner_gap);

bool is_empty(const SplitTree& tree);
// Puts `h` beside the anchor's leaf (or the last leaf when the anchor is not
// in the tree): after it when `after` is true, before it otherwise.
void insert(SplitTree& tree, win::Hwnd h, std::optional<win::Hwnd> anchor, bool after);
void remove(SplitTree& tree, win::Hwnd h);
void swap(SplitTree& tree, win::Hwnd a, win::Hwnd b);
// Moves the divider of the deepest split around `h` whose shape agrees with
// the axis; a positive delta always enlarges `first`. `start` is the area
// after the outer gap. True when a ratio changed.
bool resize(SplitTree& tree, win::Hwnd h, ResizeAxis axis, std::int32_t delta, const win::Rect& start,
            std::int32_t inner_gap);
std::vector<win::Hwnd> leaves(const SplitTree& tree);
bool contains(const SplitTree& tree, win::Hwnd h);
// `area` is a monitor's work area, before the outer gap.
std::vector<Placement> placements(const SplitTree& tree, const win::Rect& area, std::int32_t outer_gap,
                                  std::int32_t inner_gap);
bool fits(const SplitTree& tree, const win::Rect& area, std::int32_t outer_gap, std::int32_t inner_gap,
          std::int32_t min_width, std::int32_t min_height);

}  // namespace layout
