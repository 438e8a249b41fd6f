#include "win/types.h"

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

std::string file_error_text(const Error& e) { return e.message + " (os error " + std::to_string(e.code) + ")"; }

std::string failure_line(std::string_view what, std::string_view why) {
    std::string line(what);
    line += ": ";
    line += why;
    line += '\n';
    return line;
}

}  // namespace win
