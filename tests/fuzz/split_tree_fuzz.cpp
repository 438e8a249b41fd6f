// A split tree under any sequence of edits the daemon can make: windows
// inserted beside any other, removed, swapped and resized by any amount, on
// any work area a monitor can have.
//
// Input: the work area (left and top as 16-bit, width and height as 16-bit)
// and the two gaps, then edits, each an edit byte and its arguments.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "fuzz_input.h"
#include "layout/split_tree.h"

namespace {

using layout::Placement;

bool overlap(const win::Rect& a, const win::Rect& b) {
    return a.left < b.right() && b.left < a.right() && a.top < b.bottom() && b.top < a.bottom();
}

const win::Rect* rect_of(const std::vector<Placement>& placed, win::Hwnd h) {
    for (const auto& p : placed) {
        if (p.hwnd == h) return &p.rect;
    }
    return nullptr;
}

// Every window is placed once, inside the area after the outer gap, and no
// two tiles share a pixel.
std::vector<Placement> check_tiles(const layout::SplitTree& tree, const std::vector<win::Hwnd>& windows,
                                   const win::Rect& area, std::int32_t outer, std::int32_t inner) {
    const std::vector<Placement> placed = layout::placements(tree, area, outer, inner);
    std::vector<win::Hwnd> placed_windows;
    for (const auto& p : placed) placed_windows.push_back(p.hwnd);
    FUZZ_CHECK(placed_windows == layout::leaves(tree));
    std::vector<win::Hwnd> sorted = placed_windows;
    std::vector<win::Hwnd> expected = windows;
    const auto by_value = [](win::Hwnd a, win::Hwnd b) { return a.value < b.value; };
    std::sort(sorted.begin(), sorted.end(), by_value);
    std::sort(expected.begin(), expected.end(), by_value);
    FUZZ_CHECK(sorted == expected);

    const win::Rect inside = layout::inner_area(area, outer);
    for (std::size_t i = 0; i < placed.size(); ++i) {
        const win::Rect& r = placed[i].rect;
        FUZZ_CHECK(r.width >= 0 && r.height >= 0);
        FUZZ_CHECK(r.left >= inside.left && r.top >= inside.top && r.right() <= inside.right() &&
                   r.bottom() <= inside.bottom());
        for (std::size_t j = 0; j < i; ++j) FUZZ_CHECK(!overlap(r, placed[j].rect));
    }
    if (placed.size() == 1) FUZZ_CHECK(placed[0].rect == inside);
    FUZZ_CHECK(layout::fits(tree, area, outer, inner, 0, 0));
    return placed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in{data, size};
    const win::Rect area{fuzz::take<std::int16_t>(in), fuzz::take<std::int16_t>(in),
                         static_cast<std::int32_t>(fuzz::take<std::uint16_t>(in) % 16385),
                         static_cast<std::int32_t>(fuzz::take<std::uint16_t>(in) % 16385)};
    const std::int32_t outer = fuzz::take_byte(in) % 65;
    const std::int32_t inner = fuzz::take_byte(in) % 65;

    layout::SplitTree tree;
    std::vector<win::Hwnd> windows;
    std::uint64_t next = 0x100;
    const auto pick = [&](std::uint8_t b) { return windows.empty() ? win::Hwnd{b} : windows[b % windows.size()]; };

    for (int edits = 0; !fuzz::exhausted(in) && edits < 256; ++edits) {
        const std::uint8_t op = fuzz::take_byte(in);
        const std::uint8_t arg = fuzz::take_byte(in);
        switch (op % 6) {
            case 0:
            case 1:
                if (windows.size() < 48) {
                    const win::Hwnd h{next += 0x10};
                    layout::insert(tree, h, (arg & 0x80) ? std::optional<win::Hwnd>{} : pick(arg), (op & 0x10) != 0);
                    windows.push_back(h);
                }
                break;
            case 2: {
                const win::Hwnd h = pick(arg);
                layout::remove(tree, h);
                std::erase(windows, h);
                break;
            }
            case 3: {
                // Two tiles trade places and nothing else moves.
                const win::Hwnd a = pick(arg);
                const win::Hwnd b = pick(fuzz::take_byte(in));
                const auto before = layout::placements(tree, area, outer, inner);
                layout::swap(tree, a, b);
                const auto after = layout::placements(tree, area, outer, inner);
                if (const win::Rect* ra = rect_of(before, a)) {
                    if (const win::Rect* rb = rect_of(before, b)) {
                        FUZZ_CHECK(*rect_of(after, a) == *rb && *rect_of(after, b) == *ra);
                    }
                }
                break;
            }
            case 4: {
                const auto axis = (op & 0x10) ? layout::ResizeAxis::Height : layout::ResizeAxis::Width;
                layout::resize(tree, pick(arg), axis, fuzz::take<std::int32_t>(in), layout::inner_area(area, outer),
                               inner);
                break;
            }
            case 5: {
                // A copy, as an action keeps to undo a change, places the same.
                const layout::SplitTree copy{layout::SplitNode(tree.root)};
                FUZZ_CHECK(layout::placements(copy, area, outer, inner) ==
                           layout::placements(tree, area, outer, inner));
                break;
            }
        }
        check_tiles(tree, windows, area, outer, inner);
        FUZZ_CHECK(layout::is_empty(tree) == windows.empty());
    }
    return 0;
}
