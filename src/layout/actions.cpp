#include "layout/actions.h"

#include <algorithm>

namespace layout {
namespace {

bool inside(const win::Rect& r, win::Point p) {
    return r.left <= p.x && p.x < r.left + r.width && r.top <= p.y && p.y < r.top + r.height;
}

bool tree_fits(const LayoutState& state, const SplitTree& tree, const win::WorkArea& m) {
    return fits(tree, m.work, state.outer_gap, state.inner_gap, state.min_width, state.min_height);
}

// Whether the point lies in the window's own tile, where letting go of it
// means it stays: taking it out first would hand its place to a neighbour,
// which the window would then split, and a divider the user moved would
// snap back to the middle.
bool in_own_tile(const LayoutState& state, const std::vector<win::WorkArea>& monitors, win::Hwnd window,
                 win::Point point) {
    const auto key = tree_of(state, window);
    if (!key) return false;
    const win::WorkArea* m = win::find_monitor(monitors, key->monitor);
    if (!m) return false;
    for (const Placement& pl : placements(state.trees.at(*key), m->work, state.outer_gap, state.inner_gap)) {
        if (pl.hwnd == window) return inside(pl.rect, point);
    }
    return false;
}

}  // namespace

void handle_drop(LayoutState& state, const std::vector<win::WorkArea>& monitors, std::vector<TileEntry>& entries,
                 win::Hwnd window, win::Point point) {
    auto entry = std::find_if(entries.begin(), entries.end(), [&](const TileEntry& e) { return e.hwnd == window; });
    if (entry == entries.end()) return;
    const win::WorkArea* target = nullptr;
    for (const auto& m : monitors) {
        if (inside(m.bounds, point)) {
            target = &m;
            break;
        }
    }
    if (!target || in_own_tile(state, monitors, window, point)) return;

    const auto saved = state.trees;
    for (auto& [key, tree] : state.trees) remove(tree, window);
    SplitTree& tree = state.trees[TreeKey{entry->desktop, target->handle}];

    bool placed = false;
    for (const Placement& pl : placements(tree, target->work, state.outer_gap, state.inner_gap)) {
        if (!inside(pl.rect, point)) continue;
        const win::Rect& r = pl.rect;
        const bool after = r.width >= r.height ? point.x >= r.left + r.width / 2 : point.y >= r.top + r.height / 2;
        insert(tree, window, pl.hwnd, after);
        placed = true;
        break;
    }
    if (!placed && is_empty(tree)) {
        insert(tree, window, std::nullopt, true);
        placed = true;
    }
    // A drop into a gap, or one that leaves a tile too small, changes nothing.
    if (!placed || !tree_fits(state, tree, *target)) {
        state.trees = saved;
        return;
    }
    entry->monitor = target->handle;
}

std::optional<win::Hwnd> neighbour(const LayoutState& state, const std::vector<win::WorkArea>& monitors,
                                   Direction direction) {
    if (!state.anchor) return std::nullopt;
    const auto key = tree_of(state, *state.anchor);
    if (!key) return std::nullopt;
    std::vector<Placement> all;
    for (auto& list : monitor_placements(state, monitors, key->desktop))
        all.insert(all.end(), list.begin(), list.end());
    const auto a = std::find_if(all.begin(), all.end(), [&](const Placement& pl) { return pl.hwnd == *state.anchor; });
    if (a == all.end()) return std::nullopt;

    const std::int64_t aL = a->rect.left, aT = a->rect.top, aR = aL + a->rect.width, aB = aT + a->rect.height;
    std::optional<win::Hwnd> best;
    std::int64_t best_distance = 0, best_overlap = 0;
    for (const Placement& c : all) {
        if (c.hwnd == *state.anchor) continue;
        const std::int64_t cL = c.rect.left, cT = c.rect.top, cR = cL + c.rect.width, cB = cT + c.rect.height;
        std::int64_t distance = 0, overlap = 0;
        switch (direction) {
            case Direction::Left: distance = aL - cR; break;
            case Direction::Right: distance = cL - aR; break;
            case Direction::Up: distance = aT - cB; break;
            case Direction::Down: distance = cT - aB; break;
        }
        if (direction == Direction::Left || direction == Direction::Right) {
            overlap = std::min(aB, cB) - std::max(aT, cT);
        } else {
            overlap = std::min(aR, cR) - std::max(aL, cL);
        }
        if (distance < 0 || overlap <= 0) continue;
        if (!best || distance < best_distance || (distance == best_distance && overlap > best_overlap)) {
            best = c.hwnd;
            best_distance = distance;
            best_overlap = overlap;
        }
    }
    return best;
}

void resize_anchor(LayoutState& state, const std::vector<win::WorkArea>& monitors, ResizeAxis axis, bool grow) {
    if (!state.anchor) return;
    const auto key = tree_of(state, *state.anchor);
    if (!key) return;
    const win::WorkArea* m = win::find_monitor(monitors, key->monitor);
    if (!m) return;
    SplitTree& tree = state.trees[*key];
    const SplitTree before = tree;
    const std::int32_t delta = grow ? RESIZE_STEP : -RESIZE_STEP;
    if (resize(tree, *state.anchor, axis, delta, inner_area(m->work, state.outer_gap), state.inner_gap) &&
        !tree_fits(state, tree, *m)) {
        tree = before;
    }
}

void swap_with_neighbour(LayoutState& state, const std::vector<win::WorkArea>& monitors, Direction direction) {
    const auto target = neighbour(state, monitors, direction);
    if (!target) return;
    for (auto& [key, tree] : state.trees) {
        if (!is_empty(tree)) swap(tree, *state.anchor, *target);
    }
}

void toggle_full_screen(LayoutState& state) {
    if (!state.anchor || !is_tiled(state, *state.anchor)) return;
    if (!state.full_screen.erase(*state.anchor)) state.full_screen.insert(*state.anchor);
}

}  // namespace layout
