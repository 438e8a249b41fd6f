#include "cli/report.h"

#include "text/format.h"

namespace cli {
namespace {

using text::pad_right;
using text::truncate_chars;

std::string row(std::string_view hwnd, std::string_view decision, std::string_view reason, std::string_view inset,
                std::string_view exe, std::string_view cls, std::string_view title) {
    std::string line;
    line += pad_right(hwnd, 10) + ' ';
    line += pad_right(decision, 8) + ' ';
    line += pad_right(reason, 16) + ' ';
    line += pad_right(inset, 8) + ' ';
    line += pad_right(exe, 24) + ' ';
    line += pad_right(cls, 28) + ' ';
    line += title;
    line += '\n';
    return line;
}

// How far the invisible resize borders reach past the visible frame. The
// arithmetic wraps like the platform's 32-bit integers instead of overflowing.
std::string inset_text(const win::Rect& window, const win::Rect& frame) {
    auto sub = [](std::int64_t a, std::int64_t b) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(a - b));
    };
    const std::int32_t left = sub(frame.left, window.left);
    const std::int32_t right = sub(std::int64_t(window.left) + window.width, std::int64_t(frame.left) + frame.width);
    const std::int32_t bottom = sub(std::int64_t(window.top) + window.height, std::int64_t(frame.top) + frame.height);
    return std::to_string(left) + "/" + std::to_string(right) + "/" + std::to_string(bottom);
}

}  // namespace

std::string format_window_table(const std::vector<win::WindowInfo>& windows) {
    std::string out = row("HWND", "DECISION", "REASON", "INSET", "EXE", "CLASS", "TITLE");
    std::size_t tiles = 0, floats = 0;
    for (const auto& w : windows) {
        const win::Decision d = win::effective_decision(w);
        if (d.verdict == win::Verdict::Tile) ++tiles;
        if (d.verdict == win::Verdict::Float) ++floats;
        out += row(win::format_hwnd(w.hwnd), win::verdict_text(d.verdict), win::reason_text(d.reason),
                   inset_text(w.window_rect, w.frame_rect), truncate_chars(w.exe, 24), truncate_chars(w.class_name, 28),
                   truncate_chars(w.title, 60));
    }
    const std::size_t total = windows.size();
    out += "\n" + std::to_string(total) + " visible top-level windows: " + std::to_string(tiles) + " tile, " +
           std::to_string(floats) + " float, " + std::to_string(total - tiles - floats) + " ignored\n";
    return out;
}

}  // namespace cli
