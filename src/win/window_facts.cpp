#include "win/window_facts.h"

#include <algorithm>

#include "win/window_ops.h"

namespace win {

LearnedWindow learn_window(Platform& p, const WindowFactCache& known, ExeNames& exes, Hwnd h) {
    const std::uint32_t pid = window_process_id(p, h);
    auto same_process = [&](const ExeName& e) { return e.pid == pid; };
    const auto it =
        std::find_if(known.windows.begin(), known.windows.end(), [&](const LearnedWindow& w) { return w.hwnd == h; });
    if (it != known.windows.end() && pid != 0 && it->pid == pid) {
        // The window still lives, so its process does: the name holds for
        // the other windows of this enumeration too.
        if (std::none_of(exes.begin(), exes.end(), same_process)) exes.push_back({pid, it->exe});
        return *it;
    }
    LearnedWindow learned{h, pid, window_class(p, h), {}};
    if (pid == 0) return learned;
    auto named = std::find_if(exes.begin(), exes.end(), same_process);
    if (named == exes.end()) named = exes.insert(exes.end(), {pid, process_exe_name(p, pid)});
    learned.exe = named->exe;
    return learned;
}

bool lasting(const LearnedWindow& learned) { return learned.pid != 0 && !learned.exe.empty(); }

}  // namespace win
