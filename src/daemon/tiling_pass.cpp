#include "daemon/tiling_pass.h"

#include <string>

#include "daemon/actions.h"
#include "daemon/main_loop.h"
#include "layout/actions.h"
#include "restore/saved_positions.h"
#include "win/window_ops.h"

namespace quilt_daemon {
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

// Every tiled window on a monitor that is still there and that the
// enumeration saw maximised. A leaf it did not see is not moved anyway.
std::unordered_set<win::Hwnd> maximized_tiles(const std::vector<win::WindowInfo>& windows,
                                              const layout::LayoutState& state,
                                              const std::vector<win::WorkArea>& monitors) {
    std::unordered_set<win::Hwnd> out;
    for (const auto& [key, tree] : state.trees) {
        if (!win::find_monitor(monitors, key.monitor)) continue;
        for (win::Hwnd h : layout::leaves(tree)) {
            const win::WindowInfo* info = find_info(windows, h);
            if (info && info->maximized) out.insert(h);
        }
    }
    return out;
}

}  // namespace

std::vector<layout::TileEntry> daemon_entries(win::Platform& p, const std::vector<win::WindowInfo>& windows,
                                              const std::vector<win::WorkArea>& monitors,
                                              const layout::LayoutState& state) {
    std::vector<layout::TileEntry> out;
    for (const auto& w : windows) {
        if (w.decision.verdict != win::Verdict::Tile) continue;
        const win::WorkArea* monitor = win::find_monitor(monitors, w.monitor);
        // A game or a video player in its own full screen is not the tiler's to resize.
        if (monitor && covers(w.frame_rect, monitor->bounds) && !state.full_screen.count(w.hwnd)) continue;
        const auto on_current = p.window_on_current_desktop(w.hwnd);
        const bool elsewhere = on_current.ok() && !on_current.value();
        if (!elsewhere && w.cloaked) continue;
        layout::DesktopId desktop;
        if (auto id = p.window_desktop_id(w.hwnd)) desktop.bytes = id.value();
        out.push_back({desktop, w.hwnd, w.monitor});
    }
    return out;
}

Moves plan_moves(layout::LayoutState& state, const PassView& view) {
    Moves out;
    if (layout::is_tiled(state, view.foreground)) out.border = view.foreground;
    for (const auto& [key, tree] : state.trees) {
        const win::WorkArea* monitor = win::find_monitor(view.monitors, key.monitor);
        if (!monitor) continue;
        for (const layout::Placement& pl : layout::tree_placements(state, tree, *monitor)) {
            // The user has this one in hand right now.
            if (view.moving && pl.hwnd == view.moving) continue;
            if (view.maximized.count(pl.hwnd)) continue;
            const win::WindowInfo* info = find_info(view.windows, pl.hwnd);
            if (!info) continue;
            const win::Rect current = info->frame_rect;
            auto record = state.placed.find(pl.hwnd);
            if (record == state.placed.end() || record->second.target != pl.rect) {
                state.placed[pl.hwnd] = layout::PlacedRecord{pl.rect, false, {}};
                out.moves.push_back(pl);
            } else if (!record->second.settled) {
                // Moved last pass: wherever it came to rest is as close as it gets.
                record->second.settled = true;
                record->second.settled_rect = current;
            } else if (current != record->second.settled_rect) {
                record->second.settled = false;
                out.moves.push_back(pl);
            }
        }
    }
    return out;
}

Carried carry_out(win::Platform& p, DaemonContext& ctx, const Moves& moves,
                  const std::vector<win::WindowInfo>& windows) {
    set_focus_border(p, ctx.border, moves.border.has_value(), moves.border.value_or(win::Hwnd{}));
    Carried out;
    if (moves.moves.empty()) return out;

    std::vector<win::Hwnd> handles;
    for (const auto& pl : moves.moves) handles.push_back(pl.hwnd);
    if (auto saved = restore::save_positions(p, handles); !saved) {
        if (!std::exchange(ctx.save_failure_said, true)) {
            p.write_err(win::failure_line("Could not save window positions, so nothing was moved",
                                          win::file_error_text(saved.error().cause)));
        }
        out.unmoved = std::move(handles);
        return out;
    }
    ctx.save_failure_said = false;
    std::vector<win::MoveOrder> targets;
    for (const auto& pl : moves.moves) {
        const win::WindowInfo* info = find_info(windows, pl.hwnd);
        targets.push_back({pl.hwnd, pl.rect, info ? win::sighting(*info) : win::look_at(p, pl.hwnd)});
    }
    for (const win::MoveResult& r : win::carry_out_moves(p, targets, win::MoveWait::None)) {
        if (r.failure) {
            // Left for the next pass: a window that answers again takes its tile then.
            out.unmoved.push_back(r.hwnd);
            if (ctx.move_failure_said.insert(r.hwnd).second) {
                p.write_err(win::failure_line("Could not move window " + win::format_hwnd(r.hwnd), r.failure->message));
            }
            continue;
        }
        ctx.move_failure_said.erase(r.hwnd);
        if (r.restoring) {
            out.unmoved.push_back(r.hwnd);
            out.restoring = true;
        } else {
            ++out.moved;
        }
    }
    return out;
}

void tiling_pass(win::Platform& p, DaemonContext& ctx, const DaemonEvent& event) {
    using Kind = DaemonEvent::Kind;
    if (event.periodic && nothing_changed(p, ctx.watch, win::Hwnd{ctx.shared.moving_window.load()})) return;
    const bool first = ctx.first_pass;
    const std::vector<win::WorkArea> monitors = win::enumerate_monitors(p);
    const std::vector<win::WindowInfo> windows = win::enumerate_windows(p, ctx.facts, &monitors);
    std::vector<layout::TileEntry> entries = daemon_entries(p, windows, monitors, ctx.state);

    if (event.kind == Kind::Drop) layout::handle_drop(ctx.state, monitors, entries, event.window, {event.x, event.y});

    std::unordered_set<win::Hwnd> present;
    for (const auto& w : windows) present.insert(w.hwnd);
    std::erase_if(ctx.state.known, [&](win::Hwnd h) { return !present.count(h); });
    std::erase_if(ctx.move_failure_said, [&](win::Hwnd h) { return !present.count(h); });

    layout::sync(ctx.state, monitors, entries);
    layout::note_focus(ctx.state, p.foreground_window());

    if (event.kind == Kind::Shortcut) run_action(p, ctx.state, monitors, event.action, &ctx.shared.stop_requested);

    const win::Hwnd foreground = p.foreground_window();
    const std::unordered_set<win::Hwnd> maximized =
        ctx.first_pass ? std::unordered_set<win::Hwnd>{} : maximized_tiles(windows, ctx.state, monitors);
    const PassView view{windows, monitors, foreground, win::Hwnd{ctx.shared.moving_window.load()}, maximized};
    const Carried carried = carry_out(p, ctx, plan_moves(ctx.state, view), windows);
    // Without a record a window is moved by the next pass, instead of being
    // taken as settled where it still is.
    for (win::Hwnd h : carried.unmoved) ctx.state.placed.erase(h);
    if (carried.restoring) schedule_pass(p, ctx.shared);
    ctx.first_pass = false;
    pass_done(ctx.watch, !first && carried.moved == 0 && carried.unmoved.empty());
    if (carried.moved > 0) p.write_out("Re-tiled: moved " + std::to_string(carried.moved) + " window(s).\n");
}

}  // namespace quilt_daemon
