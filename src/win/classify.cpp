#include "win/classify.h"

#include <array>

#include "text/unicode.h"
#include "win/window_ops.h"

namespace win {
namespace {

// Programs whose windows are never the tiler's business.
constexpr std::array<std::string_view, 1> IGNORED_APPS = {"notepad.exe"};

bool is_ignored_app(std::string_view exe) {
    for (auto app : IGNORED_APPS) {
        if (text::equal_ascii_nocase(exe, app)) return true;
    }
    return false;
}

}  // namespace

std::string_view verdict_text(Verdict v) {
    switch (v) {
        case Verdict::Tile: return "tile";
        case Verdict::Float: return "float";
        case Verdict::Ignore: return "ignore";
    }
    return "";
}

std::string_view reason_text(Reason r) {
    switch (r) {
        case Reason::None: return "";
        case Reason::IgnoredApp: return "ignored app";
        case Reason::Owned: return "owned";
        case Reason::ToolWindow: return "tool window";
        case Reason::NoActivate: return "no-activate";
        case Reason::Child: return "child";
        case Reason::NoTitle: return "no title";
        case Reason::ShellSurface: return "shell surface";
        case Reason::Minimized: return "minimized";
        case Reason::NotResizable: return "not resizable";
        case Reason::Cloaked: return "cloaked";
    }
    return "";
}

Decision classify(const WindowFacts& f) {
    if (is_ignored_app(f.exe)) return {Verdict::Ignore, Reason::IgnoredApp};
    // The order of these checks is the precedence of the reasons.
    if (f.has_owner) return {Verdict::Ignore, Reason::Owned};
    if (f.ex_style & EXSTYLE_TOOLWINDOW) return {Verdict::Ignore, Reason::ToolWindow};
    if (f.ex_style & EXSTYLE_NOACTIVATE) return {Verdict::Ignore, Reason::NoActivate};
    if (f.style & STYLE_CHILD) return {Verdict::Ignore, Reason::Child};
    if (f.title.empty()) return {Verdict::Ignore, Reason::NoTitle};
    if (is_shell_class(f.class_name)) return {Verdict::Ignore, Reason::ShellSurface};
    if (f.minimized) return {Verdict::Ignore, Reason::Minimized};
    if (f.style & STYLE_THICKFRAME) return {Verdict::Tile, Reason::None};
    return {Verdict::Float, Reason::NotResizable};
}

std::vector<WindowInfo> enumerate_windows(Platform& p) {
    WindowFactCache once;
    return enumerate_windows(p, once);
}

std::vector<WindowInfo> enumerate_windows(Platform& p, WindowFactCache& cache) {
    const std::vector<WorkArea> monitors = enumerate_monitors(p);
    return enumerate_windows(p, cache, &monitors);
}

std::vector<WindowInfo> enumerate_windows(Platform& p, WindowFactCache& cache, const std::vector<WorkArea>* monitors) {
    std::vector<WindowInfo> out;
    // Rebuilt from what this enumeration sees, so a window that is gone is forgotten.
    WindowFactCache next;
    ExeNames exes;
    for (Hwnd h : p.enum_windows()) {
        // A top-level window's parent is the desktop, so IsWindowVisible is
        // its own WS_VISIBLE, and the style is needed anyway.
        const std::uint32_t style = p.get_style(h);
        if (!(style & STYLE_VISIBLE)) continue;
        WindowInfo info;
        info.hwnd = h;
        info.title = window_title(p, h);
        info.window_rect = window_rect(p, h);
        info.frame_rect = frame_rect(p, h).value_or(info.window_rect);
        info.maximized = (style & STYLE_MAXIMIZE) != 0;
        LearnedWindow learned = learn_window(p, cache, exes, h);
        info.class_name = learned.class_name;
        info.exe = learned.exe;
        if (lasting(learned)) next.windows.push_back(std::move(learned));
        // IsIconic is the style's minimise bit: one trip to the server fewer.
        WindowFacts facts{info.exe,
                          info.title,
                          info.class_name,
                          style,
                          p.get_ex_style(h),
                          bool(p.get_owner(h)),
                          (style & STYLE_MINIMIZE) != 0};
        info.decision = classify(facts);
        if (monitors && info.decision.verdict == Verdict::Tile) {
            // MonitorFromWindow costs several trips to the server; the
            // rectangle read above settles it for nearly every window.
            const auto settled = monitor_overlapped_most(info.window_rect, *monitors);
            info.monitor = settled ? *settled : p.monitor_from_window(h, MonitorDefault::ToNearest);
        }
        info.cloaked = is_cloaked(p, h);
        out.push_back(std::move(info));
    }
    cache = std::move(next);
    return out;
}

Decision effective_decision(const WindowInfo& info) {
    if (info.cloaked && info.decision != Decision{Verdict::Ignore, Reason::IgnoredApp}) {
        return {Verdict::Ignore, Reason::Cloaked};
    }
    return info.decision;
}

}  // namespace win
