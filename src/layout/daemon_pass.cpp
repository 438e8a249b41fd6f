#include "layout/daemon_pass.h"

#include <algorithm>
#include <string>
#include <unordered_set>

#include "layout/actions.h"
#include "layout/saved_positions.h"
#include "win/window_ops.h"

namespace layout {
namespace {

bool covers(const win::Rect& frame, const win::Rect& bounds) {
    return frame.left <= bounds.left && frame.top <= bounds.top && frame.right() >= bounds.right() &&
           frame.bottom() >= bounds.bottom();
}

const win::WindowInfo* find_info(const std::vector<win::WindowInfo>& windows, win::Hwnd h) {
    for (const auto& w : windows) {
        if (w.hwnd == h) return &w;
    }
    return nullptr;
}

}  // namespace

std::vector<TileEntry> daemon_entries(win::Platform& p, const std::vector<win::WindowInfo>& windows,
                                      const std::vector<win::WorkArea>& monitors, const LayoutState& state) {
    std::vector<TileEntry> out;
    for (const auto& w : windows) {
        if (w.decision.verdict != win::Verdict::Tile) continue;
        const auto monitor = std::find_if(monitors.begin(), monitors.end(),
                                          [&](const win::WorkArea& m) { return m.handle == w.monitor; });
        // A game or a video player in its own full screen is not the tiler's to resize.
        if (monitor != monitors.end() && covers(w.frame_rect, monitor->bounds) && !state.full_screen.count(w.hwnd)) {
            continue;
        }
        const auto on_current = p.window_on_current_desktop(w.hwnd);
        const bool elsewhere = on_current.ok() && !on_current.value();
        if (!elsewhere && w.cloaked) continue;
        DesktopId desktop;
        if (auto id = p.window_desktop_id(w.hwnd)) desktop.bytes = id.value();
        out.push_back({desktop, w.hwnd, w.monitor});
    }
    return out;
}

int apply(win::Platform& p, DaemonContext& ctx, const std::vector<win::WindowInfo>& windows,
          const std::vector<win::WorkArea>& monitors) {
    const win::Hwnd fg = p.foreground_window();
    quilt_daemon::set_focus_border(p, ctx.border, is_tiled(ctx.state, fg), fg);

    const win::Hwnd moving{ctx.shared.moving_window.load()};
    std::vector<Placement> to_move;
    for (const auto& [key, tree] : ctx.state.trees) {
        const auto monitor = std::find_if(monitors.begin(), monitors.end(),
                                          [&](const win::WorkArea& m) { return m.handle == key.monitor; });
        if (monitor == monitors.end()) continue;
        for (const Placement& pl : tree_placements(ctx.state, tree, *monitor)) {
            // The user has this one in hand right now.
            if (moving && pl.hwnd == moving) continue;
            // After the first pass a maximised window stays as the user made it.
            if (!ctx.first_pass && p.is_zoomed(pl.hwnd)) continue;
            const win::WindowInfo* info = find_info(windows, pl.hwnd);
            if (!info) continue;
            const win::Rect current = info->frame_rect;
            auto record = ctx.state.placed.find(pl.hwnd);
            if (record == ctx.state.placed.end() || record->second.target != pl.rect) {
                ctx.state.placed[pl.hwnd] = PlacedRecord{pl.rect, false, {}};
                to_move.push_back(pl);
            } else if (!record->second.settled) {
                // Moved last pass: wherever it came to rest is as close as it gets.
                record->second.settled = true;
                record->second.settled_rect = current;
            } else if (current != record->second.settled_rect) {
                record->second.settled = false;
                to_move.push_back(pl);
            }
        }
    }
    if (to_move.empty()) return 0;

    std::vector<win::Hwnd> handles;
    for (const auto& pl : to_move) handles.push_back(pl.hwnd);
    if (auto saved = save_positions(p, handles); !saved) {
        p.write_err("Could not save window positions, so nothing was moved: " + file_error_text(saved.error()) + "\n");
        return 0;
    }
    int moved = 0;
    for (const auto& pl : to_move) {
        if (auto r = win::move_window(p, pl.hwnd, pl.rect)) {
            ++moved;
        } else {
            p.write_err("Could not move window " + win::format_hwnd(pl.hwnd) + ": " + r.error().message + "\n");
        }
    }
    return moved;
}

void tiling_pass(win::Platform& p, DaemonContext& ctx, const quilt_daemon::DaemonEvent& event) {
    using Kind = quilt_daemon::DaemonEvent::Kind;
    const std::vector<win::WindowInfo> windows = win::enumerate_windows(p);
    const std::vector<win::WorkArea> monitors = win::enumerate_monitors(p);
    std::vector<TileEntry> entries = daemon_entries(p, windows, monitors, ctx.state);

    if (event.kind == Kind::Drop) handle_drop(ctx.state, monitors, entries, event.window, {event.x, event.y});

    std::unordered_set<win::Hwnd> present;
    for (const auto& w : windows) present.insert(w.hwnd);
    std::erase_if(ctx.state.known, [&](win::Hwnd h) { return !present.count(h); });

    sync(ctx.state, monitors, entries);
    note_focus(ctx.state, p.foreground_window());

    if (event.kind == Kind::Shortcut) run_action(p, ctx.state, monitors, event.action);

    const int moved = apply(p, ctx, windows, monitors);
    ctx.first_pass = false;
    if (moved > 0) p.write_out("Re-tiled: moved " + std::to_string(moved) + " window(s).\n");
}

}  // namespace layout
