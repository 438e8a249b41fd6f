#include "restore/saved_positions.h"

#include <charconv>
#include <limits>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "text/utf8.h"
#include "win/window_ops.h"

namespace restore {
namespace {

constexpr std::string_view FOLDER_NAME = "quilt";
constexpr std::string_view FILE_NAME = "untile.txt";

bool is_unicode_space(char16_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

std::vector<std::u16string> split_fields(std::u16string_view line) {
    std::vector<std::u16string> fields;
    std::u16string current;
    for (char16_t c : line) {
        if (is_unicode_space(c)) {
            if (!current.empty()) fields.push_back(std::move(current));
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty()) fields.push_back(std::move(current));
    return fields;
}

// An optional sign ("-" only where allowed), then at least one decimal digit.
template <typename T>
std::optional<T> parse_integer(std::u16string_view field) {
    bool negative = false;
    if (!field.empty() && (field[0] == u'+' || field[0] == u'-')) {
        negative = field[0] == u'-';
        if (negative && !std::numeric_limits<T>::is_signed) return std::nullopt;
        field.remove_prefix(1);
    }
    if (field.empty()) return std::nullopt;
    std::string digits;
    for (char16_t c : field) {
        if (c < u'0' || c > u'9') return std::nullopt;
        digits.push_back(static_cast<char>(c));
    }
    std::uint64_t magnitude = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
    if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    const auto max = static_cast<std::uint64_t>(std::numeric_limits<T>::max());
    if (!negative) {
        if (magnitude > max) return std::nullopt;
        return static_cast<T>(magnitude);
    }
    if (magnitude > max + 1) return std::nullopt;
    if (magnitude == max + 1) return std::numeric_limits<T>::min();
    return static_cast<T>(-static_cast<std::int64_t>(magnitude));
}

// Windows keeps the virtual screen within signed 16-bit coordinates, because
// many window messages carry positions in 16 bits; a window's restored
// rectangle lies inside it. A damaged line can hold anything, and a corner
// beyond these bounds, or no width or height, is no place a window was.
constexpr std::int32_t SCREEN_MIN = -32768;
constexpr std::int32_t SCREEN_MAX = 32767;

bool is_possible_rect(const win::Edges& r) {
    const auto on_screen = [](std::int32_t v) { return v >= SCREEN_MIN && v <= SCREEN_MAX; };
    return on_screen(r.left) && on_screen(r.top) && on_screen(r.right) && on_screen(r.bottom) && r.right > r.left &&
           r.bottom > r.top;
}

std::optional<SavedPosition> parse_line(std::u16string_view line) {
    const auto f = split_fields(line);
    if (f.size() != 7) return std::nullopt;
    auto hwnd = parse_integer<std::int64_t>(f[0]);
    auto pid = parse_integer<std::uint32_t>(f[1]);
    auto show = parse_integer<std::uint32_t>(f[2]);
    auto left = parse_integer<std::int32_t>(f[3]);
    auto top = parse_integer<std::int32_t>(f[4]);
    auto right = parse_integer<std::int32_t>(f[5]);
    auto bottom = parse_integer<std::int32_t>(f[6]);
    if (!hwnd || !pid || !show || !left || !top || !right || !bottom) return std::nullopt;
    const win::Edges normal{*left, *top, *right, *bottom};
    if (!is_possible_rect(normal)) return std::nullopt;
    return SavedPosition{*hwnd, *pid, *show, normal};
}

std::string folder_of(const std::string& path) { return path.substr(0, path.find_last_of("\\/")); }

bool is_minimize_command(std::uint32_t show_cmd) {
    const auto cmd = static_cast<int>(show_cmd);
    return cmd == win::SHOW_MINIMIZED || cmd == win::SHOW_MINIMIZE || cmd == win::SHOW_MINNOACTIVE ||
           cmd == win::SHOW_FORCEMINIMIZE;
}

// Wine refuses SetWindowPlacement on another process's window and fails
// without an error code, which Windows never does. There the same change is
// asked for by hand: out of the maximised or minimised state, onto the saved
// rectangle, then into the saved show state, each posted to the window so that
// they arrive in this order. The normal rectangle is taken as screen
// coordinates, which it is whenever no taskbar sits at the top or left.
win::Status place_by_hand(win::Platform& p, win::Hwnd h, const SavedPosition& s) {
    if (p.is_zoomed(h) || p.is_iconic(h)) p.show_window_async(h, win::SHOW_NOACTIVATE);
    // Only lines inside the virtual screen are read, so neither difference can overflow.
    const win::Edges& n = s.normal;
    auto moved = p.set_window_pos(h, n.left, n.top, n.right - n.left, n.bottom - n.top,
                                  win::POS_NOZORDER | win::POS_NOACTIVATE | win::POS_ASYNC);
    if (!moved) return moved;
    if (s.show_cmd != static_cast<std::uint32_t>(win::SHOW_NORMAL))
        p.show_window_async(h, static_cast<int>(s.show_cmd));
    return win::success();
}

// What a window was like before it was asked to go back, so that its answer
// can be told from its silence.
struct Before {
    bool iconic = false;
    bool zoomed = false;
    std::optional<win::WindowPlacement> placement;  // not read while minimised
};

std::optional<win::WindowPlacement> readable_placement(win::Platform& p, win::Hwnd h) {
    // Reading a minimised window's placement asks its thread.
    if (p.is_iconic(h)) return std::nullopt;
    auto now = p.get_window_placement(h);
    if (!now) return std::nullopt;
    return now.value();
}

// Asks the window to go back without waiting for its thread.
win::Result<Before> ask_restore(win::Platform& p, win::Hwnd h, const SavedPosition& s) {
    // Get/SetWindowPlacement would wait until a hung window answers.
    if (p.is_hung(h)) return win::not_responding();
    Before before{p.is_iconic(h), p.is_zoomed(h), std::nullopt};
    win::WindowPlacement wanted;
    // The members that would be kept from a minimised window's placement are
    // then left to the system.
    if (before.iconic) {
        wanted.min_position = {-1, -1};
        wanted.max_position = {-1, -1};
    } else if (auto current = p.get_window_placement(h); !current) {
        return current.error();
    } else {
        wanted = current.value();
        before.placement = current.value();
    }
    wanted.flags |= win::PLACEMENT_ASYNC;
    wanted.show_cmd = s.show_cmd;
    wanted.normal = s.normal;
    auto set = p.set_window_placement(h, wanted);
    if (!set && set.error().kind == win::ErrorKind::NoCode) set = place_by_hand(p, h, s);
    if (!set) return set.error();
    return before;
}

// Whether the window has answered the request: it is in the saved show state
// and, shown normally, at the saved rectangle; or it changed at all, since a
// window may keep a size of its own (a smallest size, another monitor's DPI)
// and is back as far as it goes.
bool is_back(win::Platform& p, win::Hwnd h, const SavedPosition& s, const Before& before) {
    const bool iconic = p.is_iconic(h);
    const bool zoomed = p.is_zoomed(h);
    if (is_minimize_command(s.show_cmd)) return iconic;
    if (s.show_cmd == static_cast<std::uint32_t>(win::SHOW_MAXIMIZED) && zoomed) return true;
    if (iconic != before.iconic || zoomed != before.zoomed) return !iconic;
    const auto now = readable_placement(p, h);
    if (!now) return false;
    return now->normal == s.normal || (before.placement && now->normal != before.placement->normal);
}

win::Hwnd to_hwnd(std::int64_t value) { return win::Hwnd{static_cast<std::uint64_t>(value)}; }

std::int64_t from_hwnd(win::Hwnd h) { return static_cast<std::int64_t>(h.value); }

}  // namespace

std::string untile_path(win::Platform& p) {
    std::string base = p.get_env("LOCALAPPDATA").value_or("");
    // An empty value would make the path relative to wherever the command runs.
    if (base.empty()) base = p.temp_dir();
    if (!base.empty() && base.back() != '\\' && base.back() != '/') base += '\\';
    return base + std::string(FOLDER_NAME) + "\\" + std::string(FILE_NAME);
}

std::vector<SavedPosition> parse_positions(std::string_view text) {
    std::vector<SavedPosition> out;
    while (!text.empty()) {
        const auto nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);
        // One damaged line must not cost the others.
        if (!text::is_valid_utf8(line)) continue;
        if (auto pos = parse_line(text::utf8_to_utf16(line))) out.push_back(*pos);
    }
    return out;
}

std::string format_positions(const std::vector<SavedPosition>& positions) {
    std::string out;
    for (const auto& s : positions) {
        out += std::to_string(s.hwnd) + ' ' + std::to_string(s.pid) + ' ' + std::to_string(s.show_cmd) + ' ' +
               std::to_string(s.normal.left) + ' ' + std::to_string(s.normal.top) + ' ' +
               std::to_string(s.normal.right) + ' ' + std::to_string(s.normal.bottom) + '\n';
    }
    return out;
}

win::Result<std::vector<SavedPosition>> load_positions(win::Platform& p) {
    auto read = p.read_file(untile_path(p));
    if (!read) return read.error();
    if (!read.value()) return std::vector<SavedPosition>{};
    return parse_positions(*read.value());
}

win::Result<win::Ok, FileError> save_positions(win::Platform& p, const std::vector<win::Hwnd>& windows) {
    // A file that cannot be read would be replaced by one without its positions.
    auto loaded = load_positions(p);
    if (!loaded) return FileError{FileStep::Read, loaded.error()};
    std::vector<SavedPosition> entries = std::move(loaded.value());
    std::unordered_map<std::int64_t, std::size_t> line_of;
    for (std::size_t i = 0; i < entries.size(); ++i) line_of.emplace(entries[i].hwnd, i);
    bool changed = false;
    std::unordered_set<std::int64_t> seen;
    for (win::Hwnd h : windows) {
        if (!seen.insert(from_hwnd(h)).second) continue;
        const std::uint32_t pid = win::window_process_id(p, h);
        const auto line = line_of.find(from_hwnd(h));
        // The first position is the one to go back to: a later save never
        // updates it. But handle values are reused: a line of another
        // process's window (left by an unclean end) is not this window's.
        if (line != line_of.end() && entries[line->second].pid == pid) continue;
        // Reading a hung window's placement can wait on its thread; it will not be moved anyway.
        if (p.is_hung(h)) continue;
        auto placement = p.get_window_placement(h);
        if (!placement) continue;
        const auto& pl = placement.value();
        const SavedPosition saved{from_hwnd(h), pid, pl.show_cmd, pl.normal};
        if (line != line_of.end()) {
            entries[line->second] = saved;
        } else {
            line_of.emplace(saved.hwnd, entries.size());
            entries.push_back(saved);
        }
        changed = true;
    }
    if (!changed) return win::Ok{};
    const std::string path = untile_path(p);
    if (auto made = p.create_directories(folder_of(path)); !made) return FileError{FileStep::Write, made.error()};
    if (auto written = p.replace_file(path, format_positions(entries)); !written) {
        return FileError{FileStep::Write, written.error()};
    }
    return win::Ok{};
}

win::Result<RestoreCounts, FileError> restore_positions(win::Platform& p) {
    auto loaded = load_positions(p);
    if (!loaded) return FileError{FileStep::Read, loaded.error()};
    const std::vector<SavedPosition>& entries = loaded.value();

    // Every window is asked first and waited for together, so that windows
    // that do not answer cost one wait between them.
    std::vector<bool> gone(entries.size(), false);
    std::vector<std::optional<std::string>> failure(entries.size());
    std::vector<std::size_t> asked;
    std::vector<Before> before;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const win::Hwnd h = to_hwnd(entries[i].hwnd);
        // A handle value can come back for another program's window: never touch that one.
        if (!p.is_window(h) || win::window_process_id(p, h) != entries[i].pid) {
            gone[i] = true;
        } else if (auto r = ask_restore(p, h, entries[i]); !r) {
            failure[i] = r.error().message;
        } else {
            asked.push_back(i);
            before.push_back(r.value());
        }
    }
    const std::vector<bool> back = win::wait_for_answers(p, asked.size(), [&](std::size_t k) {
        return is_back(p, to_hwnd(entries[asked[k]].hwnd), entries[asked[k]], before[k]);
    });
    for (std::size_t k = 0; k < asked.size(); ++k) {
        if (!back[k]) failure[asked[k]] = win::NOT_RESPONDING;
    }

    RestoreCounts counts;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (gone[i]) {
            ++counts.gone;
        } else if (failure[i]) {
            ++counts.failed;
            p.write_err(win::failure_line("Could not restore window " + win::format_hwnd(to_hwnd(entries[i].hwnd)),
                                          *failure[i]));
        } else {
            ++counts.restored;
        }
    }
    if (counts.failed == 0) {
        auto deleted = p.delete_file(untile_path(p));
        if (!deleted && deleted.error().code != win::ERR_FILE_NOT_FOUND &&
            deleted.error().code != win::ERR_PATH_NOT_FOUND) {
            return FileError{FileStep::Delete, deleted.error()};
        }
    }
    return counts;
}

std::string restored_text(const RestoreCounts& c) {
    return "Restored " + std::to_string(c.restored) + " window(s); " + std::to_string(c.gone) + " no longer exist; " +
           std::to_string(c.failed) + " failed.";
}

}  // namespace restore
