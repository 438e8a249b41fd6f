// The one-shot plan that `plan` prints and `tile` carries out, and both reports.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "win/classify.h"
#include "win/platform.h"
#include "win/types.h"

namespace cli {

struct PlannedMove {
    const win::WindowInfo* window = nullptr;  // a record of the snapshot, which outlives the plan
    win::Rect target_frame;
};

struct MonitorPlan {
    std::string label;  // "Monitor {n}", with " (primary)"
    std::vector<PlannedMove> moves;
    win::Rect work_area;
    std::size_t left_alone = 0;  // tileable windows on this monitor with no room
};

// One entry per monitor, in enumeration order. Moves nothing, writes nothing.
// `windows` is an enumeration on these `monitors`.
std::vector<MonitorPlan> build_plan(const std::vector<win::WorkArea>& monitors,
                                    const std::vector<win::WindowInfo>& windows);

std::string format_monitor_header(const MonitorPlan& plan);
std::string format_plan(const std::vector<MonitorPlan>& plans);

// What the moves of `tile` produced: the failure text of each move that
// failed, and the frame read back afterwards for every other window.
struct TileOutcome {
    std::unordered_map<win::Hwnd, std::string> failures;
    std::unordered_map<win::Hwnd, win::Rect> frames;
};

std::string format_tile_report(const std::vector<MonitorPlan>& plans, const TileOutcome& outcome);

}  // namespace cli
