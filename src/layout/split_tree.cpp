#include "layout/split_tree.h"

#include <algorithm>

namespace layout {
namespace {

using Kind = SplitNode::Kind;

void collect_leaves(const SplitNode& n, std::vector<win::Hwnd>& out) {
    if (n.kind == Kind::Leaf) out.push_back(n.window);
    if (n.kind == Kind::Split) {
        collect_leaves(*n.first, out);
        collect_leaves(*n.second, out);
    }
}

bool node_contains(const SplitNode& n, win::Hwnd h) {
    if (n.kind == Kind::Leaf) return n.window == h;
    if (n.kind == Kind::Split) return node_contains(*n.first, h) || node_contains(*n.second, h);
    return false;
}

// Replaces the first leaf in tree order that holds `target`; true once done.
bool split_leaf(SplitNode& n, win::Hwnd target, win::Hwnd h, bool after) {
    if (n.kind == Kind::Leaf && n.window == target) {
        n = after ? SplitNode::split(NEW_SPLIT_RATIO, SplitNode::leaf(target), SplitNode::leaf(h))
                  : SplitNode::split(NEW_SPLIT_RATIO, SplitNode::leaf(h), SplitNode::leaf(target));
        return true;
    }
    if (n.kind == Kind::Split) return split_leaf(*n.first, target, h, after) || split_leaf(*n.second, target, h, after);
    return false;
}

void remove_from(SplitNode& n, win::Hwnd h) {
    if (n.kind == Kind::Leaf && n.window == h) n = SplitNode{};
    if (n.kind != Kind::Split) return;
    remove_from(*n.first, h);
    remove_from(*n.second, h);
    const bool first_gone = n.first->kind == Kind::Empty;
    const bool second_gone = n.second->kind == Kind::Empty;
    // The survivor keeps its own ratios and takes over the whole rectangle.
    if (first_gone && second_gone) {
        n = SplitNode{};
    } else if (first_gone) {
        SplitNode survivor = std::move(*n.second);
        n = std::move(survivor);
    } else if (second_gone) {
        SplitNode survivor = std::move(*n.first);
        n = std::move(survivor);
    }
}

void swap_in(SplitNode& n, win::Hwnd a, win::Hwnd b) {
    if (n.kind == Kind::Leaf) {
        if (n.window == a) {
            n.window = b;
        } else if (n.window == b) {
            n.window = a;
        }
    }
    if (n.kind == Kind::Split) {
        swap_in(*n.first, a, b);
        swap_in(*n.second, a, b);
    }
}

bool resize_in(SplitNode& n, win::Hwnd h, ResizeAxis axis, std::int32_t delta, const win::Rect& r,
               std::int32_t inner_gap) {
    if (n.kind != Kind::Split) return false;
    const auto [first_rect, second_rect] = split_rect(r, n.ratio, inner_gap);
    bool deeper = false;
    if (node_contains(*n.first, h)) {
        deeper = resize_in(*n.first, h, axis, delta, first_rect, inner_gap);
    } else if (node_contains(*n.second, h)) {
        deeper = resize_in(*n.second, h, axis, delta, second_rect, inner_gap);
    } else {
        return false;
    }
    if (deeper) return true;
    const bool side_by_side = r.width >= r.height;
    const bool matches = axis == ResizeAxis::Width ? side_by_side : !side_by_side;
    const std::int32_t u = usable_length(r.width, r.height, inner_gap);
    if (!matches || u <= 0) return false;
    // Computed wide so that an absurd delta clamps instead of overflowing;
    // the division still truncates toward zero.
    const std::int64_t step = std::int64_t{delta} * 1000 / u;
    n.ratio = static_cast<std::int32_t>(std::clamp<std::int64_t>(n.ratio + step, MIN_RATIO, MAX_RATIO));
    return true;
}

void place(const SplitNode& n, const win::Rect& r, std::int32_t inner_gap, std::vector<Placement>& out) {
    if (n.kind == Kind::Leaf) out.push_back({n.window, r});
    if (n.kind == Kind::Split) {
        const auto [first_rect, second_rect] = split_rect(r, n.ratio, inner_gap);
        place(*n.first, first_rect, inner_gap, out);
        place(*n.second, second_rect, inner_gap, out);
    }
}

}  // namespace

SplitNode::SplitNode(const SplitNode& other)
    : kind(other.kind),
      window(other.window),
      ratio(other.ratio),
      first(other.first ? std::make_unique<SplitNode>(*other.first) : nullptr),
      second(other.second ? std::make_unique<SplitNode>(*other.second) : nullptr) {}

SplitNode& SplitNode::operator=(const SplitNode& other) {
    if (this != &other) {
        SplitNode copy(other);
        *this = std::move(copy);
    }
    return *this;
}

SplitNode SplitNode::leaf(win::Hwnd h) {
    SplitNode n;
    n.kind = Kind::Leaf;
    n.window = h;
    return n;
}

SplitNode SplitNode::split(std::int32_t ratio, SplitNode first, SplitNode second) {
    SplitNode n;
    n.kind = Kind::Split;
    n.ratio = ratio;
    n.first = std::make_unique<SplitNode>(std::move(first));
    n.second = std::make_unique<SplitNode>(std::move(second));
    return n;
}

win::Rect inner_area(const win::Rect& area, std::int32_t outer_gap) {
    return {area.left + outer_gap, area.top + outer_gap, std::max(area.width - 2 * outer_gap, 0),
            std::max(area.height - 2 * outer_gap, 0)};
}

std::int32_t usable_length(std::int32_t width, std::int32_t height, std::int32_t inner_gap) {
    const std::int32_t longer = std::max(width, height);
    const std::int32_t gap = inner_gap < 0 ? 0 : std::min(inner_gap, longer);
    return longer - gap;
}

std::pair<win::Rect, win::Rect> split_rect(const win::Rect& r, std::int32_t ratio, std::int32_t inner_gap) {
    const std::int32_t u = usable_length(r.width, r.height, inner_gap);
    const auto f = static_cast<std::int32_t>(std::int64_t{u} * ratio / 1000);
    if (r.width >= r.height) {
        return {{r.left, r.top, f, r.height}, {r.left + r.width - u + f, r.top, u - f, r.height}};
    }
    return {{r.left, r.top, r.width, f}, {r.left, r.top + r.height - u + f, r.width, u - f}};
}

bool is_empty(const SplitTree& tree) { return tree.root.kind == Kind::Empty; }

void insert(SplitTree& tree, win::Hwnd h, std::optional<win::Hwnd> anchor, bool after) {
    if (is_empty(tree)) {
        tree.root = SplitNode::leaf(h);
        return;
    }
    win::Hwnd target;
    if (anchor && contains(tree, *anchor)) {
        target = *anchor;
    } else {
        target = leaves(tree).back();
    }
    split_leaf(tree.root, target, h, after);
}

void remove(SplitTree& tree, win::Hwnd h) { remove_from(tree.root, h); }

void swap(SplitTree& tree, win::Hwnd a, win::Hwnd b) { swap_in(tree.root, a, b); }

bool resize(SplitTree& tree, win::Hwnd h, ResizeAxis axis, std::int32_t delta, const win::Rect& start,
            std::int32_t inner_gap) {
    return resize_in(tree.root, h, axis, delta, start, inner_gap);
}

std::vector<win::Hwnd> leaves(const SplitTree& tree) {
    std::vector<win::Hwnd> out;
    collect_leaves(tree.root, out);
    return out;
}

bool contains(const SplitTree& tree, win::Hwnd h) { return node_contains(tree.root, h); }

std::vector<Placement> placements(const SplitTree& tree, const win::Rect& area, std::int32_t outer_gap,
                                  std::int32_t inner_gap) {
    std::vector<Placement> out;
    if (is_empty(tree)) return out;
    place(tree.root, inner_area(area, outer_gap), inner_gap, out);
    return out;
}

bool fits(const SplitTree& tree, const win::Rect& area, std::int32_t outer_gap, std::int32_t inner_gap,
          std::int32_t min_width, std::int32_t min_height) {
    for (const Placement& pl : placements(tree, area, outer_gap, inner_gap)) {
        if (pl.rect.width < min_width || pl.rect.height < min_height) return false;
    }
    return true;
}

}  // namespace layout
