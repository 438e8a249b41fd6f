#include "layout/layout_state.h"

#include <algorithm>

namespace layout {
namespace {

// Which tree holds each window, so that the entry loop does not walk every tree per window.
std::unordered_map<win::Hwnd, TreeKey> holders(const LayoutState& state) {
    std::unordered_map<win::Hwnd, TreeKey> out;
    for (const auto& [key, tree] : state.trees) {
        for (win::Hwnd h : leaves(tree)) out.emplace(h, key);
    }
    return out;
}

}  // namespace

void sync(LayoutState& state, const std::vector<win::WorkArea>& monitors, const std::vector<TileEntry>& entries) {
    std::erase_if(state.trees,
                  [&](const auto& kv) { return win::find_monitor(monitors, kv.first.monitor) == nullptr; });

    // A window leaves its tree unless it is still offered for exactly that
    // desktop and monitor: it closed, stopped being tileable, or moved.
    std::unordered_map<win::Hwnd, std::vector<TreeKey>> offered;
    for (const auto& e : entries) offered[e.hwnd].push_back({e.desktop, e.monitor});
    for (auto& [key, tree] : state.trees) {
        for (win::Hwnd h : leaves(tree)) {
            auto it = offered.find(h);
            const bool still_here =
                it != offered.end() && std::find(it->second.begin(), it->second.end(), key) != it->second.end();
            if (!still_here) remove(tree, h);
        }
    }
    std::erase_if(state.trees, [](const auto& kv) { return is_empty(kv.second); });

    std::unordered_map<win::Hwnd, TreeKey> holder = holders(state);
    for (const auto& e : entries) {
        if (holder.count(e.hwnd)) continue;
        const win::WorkArea* own = win::find_monitor(monitors, e.monitor);
        const win::WorkArea* anchor_monitor = nullptr;
        if (state.anchor) {
            auto it = holder.find(*state.anchor);
            if (it != holder.end() && it->second.desktop == e.desktop) {
                anchor_monitor = win::find_monitor(monitors, it->second.monitor);
            }
        }
        // A window that opened since the last sync goes next to the focused
        // window, even on another monitor; one that was already there stays put.
        const win::WorkArea* preferred = own;
        if (state.synced_once && !state.known.count(e.hwnd) && anchor_monitor) preferred = anchor_monitor;

        std::vector<const win::WorkArea*> candidates;
        if (preferred) candidates.push_back(preferred);
        if (preferred && own && own->handle != preferred->handle) candidates.push_back(own);

        for (const win::WorkArea* c : candidates) {
            const TreeKey key{e.desktop, c->handle};
            SplitTree& tree = state.trees[key];
            insert(tree, e.hwnd, state.anchor, true);
            if (fits(tree, c->work, state.outer_gap, state.inner_gap, state.min_width, state.min_height)) {
                state.anchor = e.hwnd;
                holder.emplace(e.hwnd, key);
                break;
            }
            remove(tree, e.hwnd);
        }
    }

    for (const auto& e : entries) state.known.insert(e.hwnd);
    state.synced_once = true;
    std::erase_if(state.placed, [&](const auto& kv) { return holder.count(kv.first) == 0; });
    std::erase_if(state.full_screen, [&](win::Hwnd h) { return holder.count(h) == 0; });
}

bool is_tiled(const LayoutState& state, win::Hwnd h) { return tree_of(state, h).has_value(); }

std::optional<TreeKey> tree_of(const LayoutState& state, win::Hwnd h) {
    for (const auto& [key, tree] : state.trees) {
        if (contains(tree, h)) return key;
    }
    return std::nullopt;
}

bool note_focus(LayoutState& state, win::Hwnd h) {
    if (!is_tiled(state, h)) return false;
    state.anchor = h;
    return true;
}

std::vector<Placement> tree_placements(const LayoutState& state, const SplitTree& tree, const win::WorkArea& monitor) {
    std::vector<Placement> out = placements(tree, monitor.work, state.outer_gap, state.inner_gap);
    for (auto& pl : out) {
        if (state.full_screen.count(pl.hwnd)) pl.rect = monitor.bounds;
    }
    return out;
}

std::vector<std::vector<Placement>> monitor_placements(const LayoutState& state,
                                                       const std::vector<win::WorkArea>& monitors, DesktopId desktop) {
    std::vector<std::vector<Placement>> out;
    for (const auto& m : monitors) {
        auto it = state.trees.find(TreeKey{desktop, m.handle});
        out.push_back(it == state.trees.end() ? std::vector<Placement>{} : tree_placements(state, it->second, m));
    }
    return out;
}

std::vector<TileEntry> plan_entries(const std::vector<win::WindowInfo>& windows) {
    std::vector<TileEntry> out;
    for (const auto& w : windows) {
        if (win::effective_decision(w).verdict == win::Verdict::Tile) out.push_back({DesktopId{}, w.hwnd, w.monitor});
    }
    return out;
}

}  // namespace layout
