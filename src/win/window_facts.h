// What a window cannot change while it lives: its class, its process and
// that process's executable. Asking for them costs a trip to the window
// server each, and the executable three more (open the process, query its
// image, close it), so they are learned once and kept by whoever enumerates
// again and again.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "win/platform.h"
#include "win/types.h"

namespace win {

struct LearnedWindow {
    Hwnd hwnd;
    std::uint32_t pid = 0;
    std::string class_name;
    std::string exe;
};

// The windows of the last enumeration, in its order. A handle is only
// trusted while it still names a window of the same process: a reused one is
// learned afresh. Plain lists: a desktop has tens of windows, not thousands,
// and the executable stays small.
struct WindowFactCache {
    std::vector<LearnedWindow> windows;
};

// Executable names by process id, for one enumeration only: a process id may
// be reused once its process has ended, so the names do not outlive it.
struct ExeName {
    std::uint32_t pid = 0;
    std::string exe;
};
using ExeNames = std::vector<ExeName>;

// The window's lasting facts: from `known` when it holds them for this
// window's process, else asked (an executable once per process per
// enumeration).
LearnedWindow learn_window(Platform& p, const WindowFactCache& known, ExeNames& exes, Hwnd h);

// Whether the facts may be kept for the next enumeration: not for a window
// that is gone, nor one whose executable could not be read this time.
bool lasting(const LearnedWindow& learned);

}  // namespace win
