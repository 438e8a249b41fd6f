#include "cli/plan.h"

#include "layout/layout_state.h"
#include "text/format.h"
#include "win/window_ops.h"

namespace cli {
namespace {

using text::pad_left;
using text::pad_right;
using text::truncate_chars;

std::string num(std::int32_t v) { return std::to_string(v); }

// "{w}x{h} at ({x}, {y})" as the DIFFERS status writes it.
std::string size_at(const win::Rect& r) {
    return num(r.width) + "x" + num(r.height) + " at (" + num(r.left) + ", " + num(r.top) + ")";
}

// The plan report's padded form of the same.
std::string padded_size_at(const win::Rect& r) {
    return pad_left(num(r.width), 5) + "x" + pad_right(num(r.height), 5) + " at (" + pad_left(num(r.left), 5) + ", " +
           pad_left(num(r.top), 5) + ")";
}

std::string move_status(const PlannedMove& m, const TileOutcome& outcome) {
    const win::Hwnd h = m.window->hwnd;
    if (auto f = outcome.failures.find(h); f != outcome.failures.end()) return "FAILED: " + f->second;
    auto got = outcome.frames.find(h);
    const win::Rect now = got == outcome.frames.end() ? win::Rect{} : got->second;
    if (now == m.target_frame) return "ok";
    return "DIFFERS: wanted " + size_at(m.target_frame) + ", got " + size_at(now);
}

}  // namespace

std::vector<MonitorPlan> build_plan(const std::vector<win::WorkArea>& monitors,
                                    const std::vector<win::WindowInfo>& windows) {
    const std::vector<layout::TileEntry> entries = layout::plan_entries(windows);
    layout::LayoutState state;
    layout::sync(state, monitors, entries);
    const auto per_monitor = layout::monitor_placements(state, monitors, layout::DesktopId{});

    std::vector<MonitorPlan> plans;
    for (std::size_t i = 0; i < monitors.size() && i < per_monitor.size(); ++i) {
        const win::WorkArea& m = monitors[i];
        MonitorPlan plan;
        plan.label = "Monitor " + std::to_string(i + 1) + (m.primary ? " (primary)" : "");
        plan.work_area = m.work;
        for (const auto& pl : per_monitor[i]) {
            for (const auto& w : windows) {
                if (w.hwnd == pl.hwnd) {
                    plan.moves.push_back({&w, pl.rect});
                    break;
                }
            }
        }
        std::size_t here = 0;
        for (const auto& e : entries) {
            if (e.monitor == m.handle) ++here;
        }
        plan.left_alone = here - plan.moves.size();
        plans.push_back(std::move(plan));
    }
    return plans;
}

std::string format_monitor_header(const MonitorPlan& plan) {
    const win::Rect& w = plan.work_area;
    return plan.label + ": work area " + num(w.width) + "x" + num(w.height) + " at (" + num(w.left) + ", " +
           num(w.top) + "), " + std::to_string(plan.moves.size()) + " tiled, " + std::to_string(plan.left_alone) +
           " left alone (no room)\n";
}

std::string format_plan(const std::vector<MonitorPlan>& plans) {
    std::string out;
    for (const auto& plan : plans) {
        out += format_monitor_header(plan);
        for (const auto& m : plan.moves) {
            out += "  " + pad_right(truncate_chars(m.window->exe, 22), 22) + " " +
                   padded_size_at(m.window->frame_rect) + "  ->  " + padded_size_at(m.target_frame) + "  " +
                   truncate_chars(m.window->title, 40) + "\n";
        }
    }
    return out;
}

std::string format_tile_report(const std::vector<MonitorPlan>& plans, const TileOutcome& outcome) {
    std::string out;
    std::size_t mismatches = 0;
    for (const auto& plan : plans) {
        out += format_monitor_header(plan);
        for (const auto& m : plan.moves) {
            const std::string status = move_status(m, outcome);
            if (status != "ok") ++mismatches;
            out += "  " + pad_right(truncate_chars(m.window->exe, 22), 22) + " " +
                   pad_right(truncate_chars(m.window->title, 40), 40) + " " + status + "\n";
        }
    }
    out += "\nRun `quilt untile` to put every window back.\n";
    if (mismatches > 0) out += std::to_string(mismatches) + " window(s) did not end up where asked; see above.\n";
    return out;
}

}  // namespace cli
