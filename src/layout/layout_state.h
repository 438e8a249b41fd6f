// Every split tree of the process, keyed by virtual desktop and monitor, and
// `sync`, which brings them in step with the windows that may be tiled now.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "layout/split_tree.h"
#include "win/classify.h"
#include "win/types.h"

namespace layout {

// A virtual desktop's GUID; all zero when the desktop is not known.
struct DesktopId {
    std::array<std::uint8_t, 16> bytes{};
    friend bool operator==(const DesktopId&, const DesktopId&) = default;
};

struct TreeKey {
    DesktopId desktop;
    win::Hmonitor monitor;
    friend bool operator==(const TreeKey&, const TreeKey&) = default;
};

}  // namespace layout

template <>
struct std::hash<layout::DesktopId> {
    std::size_t operator()(const layout::DesktopId& id) const noexcept {
        std::size_t h = 1469598103934665603ull;
        for (std::uint8_t b : id.bytes) h = (h ^ b) * 1099511628211ull;
        return h;
    }
};

template <>
struct std::hash<layout::TreeKey> {
    std::size_t operator()(const layout::TreeKey& k) const noexcept {
        return std::hash<layout::DesktopId>{}(k.desktop) ^ (std::hash<win::Hmonitor>{}(k.monitor) * 31);
    }
};

namespace layout {

// One window that may be tiled, with where it is now.
struct TileEntry {
    DesktopId desktop;
    win::Hwnd hwnd;
    win::Hmonitor monitor;
    friend bool operator==(const TileEntry&, const TileEntry&) = default;
};

// Where a window was last sent, and where it came to rest one pass later.
struct PlacedRecord {
    win::Rect target;
    bool settled = false;
    win::Rect settled_rect;  // only while settled
};

struct LayoutState {
    std::optional<win::Hwnd> anchor;  // the focused tiled window; new windows go after it
    std::unordered_map<TreeKey, SplitTree> trees;
    std::unordered_map<win::Hwnd, PlacedRecord> placed;
    std::unordered_set<win::Hwnd> known;        // tileable in an earlier sync
    std::unordered_set<win::Hwnd> full_screen;  // shown over their whole monitor
    std::int32_t outer_gap = 8;
    std::int32_t inner_gap = 8;
    std::int32_t min_width = 400;
    std::int32_t min_height = 300;
    bool synced_once = false;
};

// Takes out of the trees what is gone, moved or no longer tileable, then puts
// in every entry that no tree holds: next to the anchor when it is a window
// new since the last sync, else on its own monitor, and only where every tile
// stays at least the minimum size. A window with no room is left alone.
void sync(LayoutState& state, const std::vector<win::WorkArea>& monitors, const std::vector<TileEntry>& entries);

bool is_tiled(const LayoutState& state, win::Hwnd h);
std::optional<TreeKey> tree_of(const LayoutState& state, win::Hwnd h);
// Makes a tiled window the anchor; false when no tree holds it.
bool note_focus(LayoutState& state, win::Hwnd h);

// The tree's tiles in the monitor's work area; a full-screen window gets the
// whole monitor instead.
std::vector<Placement> tree_placements(const LayoutState& state, const SplitTree& tree, const win::WorkArea& monitor);
// One list per monitor, in the order of `monitors`; empty where the desktop has no tree.
std::vector<std::vector<Placement>> monitor_placements(const LayoutState& state,
                                                       const std::vector<win::WorkArea>& monitors, DesktopId desktop);

// The windows of one enumeration that the one-shot commands tile, on desktop zero.
std::vector<TileEntry> plan_entries(const std::vector<win::WindowInfo>& windows);

}  // namespace layout
