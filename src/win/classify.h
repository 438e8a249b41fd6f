// Which windows the program may tile, float past, or leave entirely alone.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "win/platform.h"
#include "win/types.h"
#include "win/window_facts.h"
#include "win/window_ops.h"

namespace win {

enum class Verdict { Tile, Float, Ignore };

enum class Reason {
    None,
    IgnoredApp,
    Owned,
    ToolWindow,
    NoActivate,
    Child,
    NoTitle,
    ShellSurface,
    Minimized,
    NotResizable,
    Cloaked
};

struct Decision {
    Verdict verdict = Verdict::Tile;
    Reason reason = Reason::None;
    friend bool operator==(const Decision&, const Decision&) = default;
};

std::string_view verdict_text(Verdict v);
std::string_view reason_text(Reason r);

// The facts that the rules read, gathered once per window.
struct WindowFacts {
    std::string exe;
    std::string title;
    std::string class_name;
    std::uint32_t style = 0;
    std::uint32_t ex_style = 0;
    bool has_owner = false;
    bool minimized = false;
};

Decision classify(const WindowFacts& facts);

struct WindowInfo {
    Decision decision;  // without the cloaking rule
    std::string title;
    std::string class_name;
    std::string exe;
    Hwnd hwnd;
    Hmonitor monitor;
    Rect window_rect;
    Rect frame_rect;  // the raw rectangle when no frame could be read
    bool cloaked = false;
    bool maximized = false;  // what IsZoomed would have said: the style's bit
};

// How the enumeration saw the window, for a move planned from it.
inline Sighting sighting(const WindowInfo& w) { return {w.window_rect, w.frame_rect, w.maximized}; }

// Every visible top-level window, topmost first, and for each window that
// tiles the monitor it is on (only those are laid out on one). Without a
// cache of its own, an enumeration still asks each process's executable only
// once. These two ask the system for its monitors themselves.
std::vector<WindowInfo> enumerate_windows(Platform& p);
// The same, with the lasting facts kept in `cache` between calls; it ends up
// holding only the windows this call saw.
std::vector<WindowInfo> enumerate_windows(Platform& p, WindowFactCache& cache);
// The same on monitors the caller has already asked for, so that one pass
// asks once; with none (a report names no monitor) no window is given one.
std::vector<WindowInfo> enumerate_windows(Platform& p, WindowFactCache& cache, const std::vector<WorkArea>* monitors);

// The verdict every report and the plan use: a cloaked window (on another
// virtual desktop, say) is ignored unless it was ignored for its program.
Decision effective_decision(const WindowInfo& info);

}  // namespace win
