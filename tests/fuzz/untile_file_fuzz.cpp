// The untile file as a crash or a hand edit can leave it: read, merged with
// the windows about to move, and restored on a simulated desktop whose
// windows carry the file's own handles.
//
// Input: one byte of window count, one byte of traits per window, then the
// file's text.
#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "restore/saved_positions.h"
#include "sim_desktop.h"

namespace {

using restore::SavedPosition;

const std::string LOCAL = "C:\\Users\\user\\AppData\\Local";
const std::string PATH = LOCAL + "\\quilt\\untile.txt";
constexpr std::uint64_t FRESH_HANDLE = 0x7fff0010;

bool on_screen(std::int32_t v) { return v >= -32768 && v <= 32767; }

std::size_t line_count(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

std::vector<SavedPosition> without(const std::vector<SavedPosition>& entries, const std::set<std::int64_t>& handles) {
    std::vector<SavedPosition> out;
    for (const auto& e : entries) {
        if (!handles.count(e.hwnd)) out.push_back(e);
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in{data, size};
    const int window_count = fuzz::take_byte(in) % 5;
    std::vector<std::uint8_t> traits;
    for (int i = 0; i < window_count; ++i) traits.push_back(fuzz::take_byte(in));
    const std::string text(fuzz::rest(in));

    // Every line taken is a rectangle a window can have, and writes back as itself.
    const std::vector<SavedPosition> entries = restore::parse_positions(text);
    FUZZ_CHECK(entries.size() <= line_count(text) + 1);
    for (const auto& e : entries) {
        const win::Edges& n = e.normal;
        FUZZ_CHECK(on_screen(n.left) && on_screen(n.top) && on_screen(n.right) && on_screen(n.bottom));
        FUZZ_CHECK(n.right > n.left && n.bottom > n.top);
    }
    FUZZ_CHECK(restore::parse_positions(restore::format_positions(entries)) == entries);

    sim::Desktop d;
    d.add_monitor({0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true);
    d.env["LOCALAPPDATA"] = LOCAL;
    d.directories.insert(LOCAL);
    d.directories.insert(LOCAL + "\\quilt");
    d.files[PATH] = text;

    // Windows that hold the handles of the file's first lines (the last one a
    // handle of its own), with the quirks real windows have.
    std::vector<win::Hwnd> windows;
    std::set<std::int64_t> saved_handles;
    std::set<std::uint64_t> used;
    for (const auto& e : entries) used.insert(static_cast<std::uint64_t>(e.hwnd));
    for (int i = 0; i < window_count; ++i) {
        const std::uint8_t t = traits[static_cast<std::size_t>(i)];
        const bool fresh = static_cast<std::size_t>(i) >= entries.size() || (t & 0x80) != 0;
        const std::uint64_t handle = fresh ? FRESH_HANDLE + static_cast<std::uint64_t>(i) * 0x10
                                           : static_cast<std::uint64_t>(entries[static_cast<std::size_t>(i)].hwnd);
        if (handle == 0 || (fresh && used.count(handle)) ||
            std::count(windows.begin(), windows.end(), win::Hwnd{handle}))
            continue;
        sim::Window w;
        w.hwnd = win::Hwnd{handle};
        w.pid = fresh || (t & 0x01) ? 100 + static_cast<std::uint32_t>(i) : entries[static_cast<std::size_t>(i)].pid;
        w.placement_refused = (t & 0x02) != 0;
        w.asleep = (t & 0x04) != 0;
        w.hung = (t & 0x08) != 0;
        if (t & 0x10) w.min_width = 500;
        switch ((t >> 5) & 3) {
            case 1: w.minimized = true; break;
            case 2: w.maximized = true; break;
            case 3: w.placement_error = 5; break;
            default: break;
        }
        windows.push_back(d.add_window(w));
        saved_handles.insert(static_cast<std::int64_t>(handle));
    }

    // Merging keeps every line of another window as it was, in its order, and
    // records each window that could be read.
    const bool saved = restore::save_positions(d, windows).ok();
    FUZZ_CHECK(saved);
    const std::string& merged_text = d.files.at(PATH);
    const std::vector<SavedPosition> merged = restore::parse_positions(merged_text);
    if (merged_text != text) FUZZ_CHECK(merged.size() == line_count(merged_text));
    FUZZ_CHECK(without(merged, saved_handles) == without(entries, saved_handles));
    for (win::Hwnd h : windows) {
        const sim::Window& w = d.window(h);
        const auto mine = [&](const SavedPosition& e) { return e.hwnd == static_cast<std::int64_t>(h.value); };
        if (!w.hung && !w.placement_error) FUZZ_CHECK(std::any_of(merged.begin(), merged.end(), mine));
        // The first position is the one to go back to.
        for (const auto& e : entries) {
            if (mine(e) && e.pid == w.pid) FUZZ_CHECK(std::find(merged.begin(), merged.end(), e) != merged.end());
        }
    }

    // Every line is counted once, each failure says so, and the file goes
    // only when nothing failed.
    const auto restored = restore::restore_positions(d);
    FUZZ_CHECK(restored.ok());
    const restore::RestoreCounts c = restored.value();
    FUZZ_CHECK(c.restored + c.gone + c.failed == merged.size());
    FUZZ_CHECK(line_count(d.err) == c.failed);
    FUZZ_CHECK(d.files.count(PATH) == (c.failed == 0 ? 0u : 1u));
    if (c.failed != 0) FUZZ_CHECK(d.files.at(PATH) == merged_text);
    for (win::Hwnd h : windows) {
        d.wake(h);
        const win::Rect r = d.window(h).rect;
        FUZZ_CHECK(r.width >= 0 && r.height >= 0);
    }
    return 0;
}
