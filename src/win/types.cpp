#include "win/types.h"

#include <algorithm>
#include <cstdio>

namespace win {

std::string format_hwnd(Hwnd hwnd) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%llx", static_cast<unsigned long long>(hwnd.value));
    return buf;
}

const WorkArea* find_monitor(const std::vector<WorkArea>& monitors, Hmonitor handle) {
    for (const auto& m : monitors) {
        if (m.handle == handle) return &m;
    }
    return nullptr;
}

std::optional<Hmonitor> monitor_overlapped_most(const Rect& window, const std::vector<WorkArea>& monitors) {
    std::optional<Hmonitor> best;
    std::int64_t most = 0;
    for (const auto& m : monitors) {
        const std::int64_t w =
            std::int64_t{std::min(window.right(), m.bounds.right())} - std::max(window.left, m.bounds.left);
        const std::int64_t h =
            std::int64_t{std::min(window.bottom(), m.bounds.bottom())} - std::max(window.top, m.bounds.top);
        if (w <= 0 || h <= 0) continue;
        if (w * h > most) {
            most = w * h;
            best = m.handle;
        } else if (w * h == most) {
            best.reset();
        }
    }
    return best;
}

std::string file_error_text(const Error& e) { return e.message + " (os error " + std::to_string(e.code) + ")"; }

std::string failure_line(std::string_view what, std::string_view why) {
    std::string line(what);
    line += ": ";
    line += why;
    line += '\n';
    return line;
}

}  // namespace win
