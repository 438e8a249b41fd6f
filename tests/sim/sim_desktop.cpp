#include "sim_desktop.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "text/utf8.h"

namespace sim {
namespace {

constexpr std::uint32_t ERROR_ACCESS_DENIED = 5;
constexpr std::uint32_t ERROR_SHARING_VIOLATION = 32;
constexpr std::uint32_t ERROR_FILE_EXISTS = 80;
constexpr std::uint32_t ERROR_INVALID_WINDOW_HANDLE = 1400;

win::Rect apply_insets(const win::Rect& r, const Insets& i) {
    return {r.left + i.left, r.top + i.top, r.width - i.left - i.right, r.height - i.top - i.bottom};
}

std::int64_t overlap(const win::Rect& a, const win::Rect& b) {
    const std::int64_t w = std::min(a.right(), b.right()) - std::max(a.left, b.left);
    const std::int64_t h = std::min(a.bottom(), b.bottom()) - std::max(a.top, b.top);
    return (w > 0 && h > 0) ? w * h : 0;
}

std::int64_t distance(const win::Rect& a, const win::Rect& b) {
    const std::int64_t dx = std::max<std::int64_t>({0, b.left - a.right(), a.left - b.right()});
    const std::int64_t dy = std::max<std::int64_t>({0, b.top - a.bottom(), a.top - b.bottom()});
    return dx * dx + dy * dy;
}

std::string parent_folder(const std::string& path) {
    const auto cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

}  // namespace

std::string error_message(std::uint32_t code) {
    switch (code) {
        case 2: return "The system cannot find the file specified.";
        case 3: return "The system cannot find the path specified.";
        case 5: return "Access is denied.";
        case 32: return "The process cannot access the file because it is being used by another process.";
        case 112: return "There is not enough space on the disk.";
        case 234: return "More data is available.";
        case 1400: return "Invalid window handle.";
        default: return "";
    }
}

win::Error make_error(std::uint32_t code) { return win::Error{code, error_message(code)}; }

win::Hmonitor Desktop::add_monitor(win::Rect bounds, win::Rect work, bool primary, std::uint32_t dpi) {
    win::WorkArea m{win::Hmonitor{next_monitor_++}, work, bounds, primary};
    monitors_.push_back(m);
    monitor_dpi_[m.handle.value] = dpi;
    return m.handle;
}

win::Hwnd Desktop::add_window(Window w) {
    if (!w.hwnd) w.hwnd = win::Hwnd{next_hwnd_ += 0x10};
    if (!w.maximized && !w.minimized) w.normal_rect = w.rect;
    windows_.insert(windows_.begin(), w);
    return w.hwnd;
}

Window& Desktop::window(win::Hwnd h) { return *find(h); }

void Desktop::close_window(win::Hwnd h) {
    std::erase_if(windows_, [&](const Window& w) { return w.hwnd == h; });
}

void Desktop::wake(win::Hwnd h) {
    find(h)->asleep = false;
    auto pending = std::move(posted_to_[h.value]);
    posted_to_.erase(h.value);
    for (auto& change : pending) change();
}

void Desktop::carry_out(Window& w, bool async, std::string call, std::function<void()> change) {
    if (!w.asleep) {
        change();
    } else if (async) {
        posted_to_[w.hwnd.value].push_back(std::move(change));
    } else {
        waited_on.push_back(std::move(call));
        change();
    }
}

void Desktop::add_process(std::uint32_t pid, std::u16string image_path) { processes_[pid] = std::move(image_path); }

win::Rect Desktop::frame_of(win::Hwnd h) {
    const Window& w = *find(h);
    return w.frame_insets ? apply_insets(w.rect, *w.frame_insets) : w.rect;
}

Window* Desktop::find(win::Hwnd h) {
    for (auto& w : windows_) {
        if (w.hwnd == h) return &w;
    }
    return nullptr;
}

std::optional<win::Rect> Desktop::work_area_for(const Window& w) {
    auto info = monitor_info(monitor_from_window(w.hwnd, win::MonitorDefault::ToNearest));
    if (!info) return std::nullopt;
    return info->work;
}

std::vector<win::Hwnd> Desktop::enum_windows() {
    std::vector<win::Hwnd> handles;
    for (const auto& w : windows_) handles.push_back(w.hwnd);
    return handles;
}

bool Desktop::is_window(win::Hwnd h) { return find(h) != nullptr; }

bool Desktop::is_window_visible(win::Hwnd h) {
    auto* w = find(h);
    return w && w->visible;
}

std::u16string Desktop::get_window_text(win::Hwnd h) {
    auto* w = find(h);
    return w ? w->title.substr(0, 511) : std::u16string();
}

std::u16string Desktop::get_class_name(win::Hwnd h) {
    auto* w = find(h);
    return w ? w->class_name.substr(0, 255) : std::u16string();
}

std::uint32_t Desktop::get_window_process_id(win::Hwnd h) {
    auto* w = find(h);
    return w ? w->pid : 0;
}

std::optional<std::u16string> Desktop::query_process_image(std::uint32_t pid) {
    ++process_queries;
    auto it = processes_.find(pid);
    if (it == processes_.end()) return std::nullopt;
    return it->second;
}

std::uint32_t Desktop::get_style(win::Hwnd h) {
    auto* w = find(h);
    if (!w) return 0;
    // As on Windows, the style says whether the window is visible, minimised or maximised.
    return w->style | (w->visible ? win::STYLE_VISIBLE : 0) | (w->minimized ? win::STYLE_MINIMIZE : 0) |
           (w->maximized ? win::STYLE_MAXIMIZE : 0);
}

std::uint32_t Desktop::get_ex_style(win::Hwnd h) {
    auto* w = find(h);
    return w ? w->ex_style : 0;
}

win::Hwnd Desktop::get_owner(win::Hwnd h) {
    ++owner_reads;
    auto* w = find(h);
    return w ? w->owner : win::Hwnd{};
}

bool Desktop::is_iconic(win::Hwnd h) {
    auto* w = find(h);
    return w && w->minimized;
}

bool Desktop::is_zoomed(win::Hwnd h) {
    ++zoom_reads;
    auto* w = find(h);
    return w && w->maximized;
}

bool Desktop::is_hung(win::Hwnd h) {
    auto* w = find(h);
    return w && w->hung;
}

std::optional<win::Rect> Desktop::get_window_rect(win::Hwnd h) {
    ++rect_reads;
    auto* w = find(h);
    if (!w) return std::nullopt;
    return w->rect;
}

win::Result<win::Rect> Desktop::dwm_frame_bounds(win::Hwnd h) {
    auto* w = find(h);
    if (!w || !w->frame_insets) return win::Error{0x80004001u, "Not implemented"};
    return apply_insets(w->rect, *w->frame_insets);
}

win::Result<std::uint32_t> Desktop::dwm_cloaked(win::Hwnd h) {
    auto* w = find(h);
    if (!w) return win::Error{0x80070578u, "Invalid window handle."};
    return w->cloaked ? 2u : 0u;
}

win::Hmonitor Desktop::monitor_from_window(win::Hwnd h, win::MonitorDefault fallback) {
    ++monitor_asks;
    auto* w = find(h);
    const win::WorkArea* best = nullptr;
    std::int64_t best_overlap = 0;
    for (const auto& m : monitors_) {
        if (w && overlap(w->rect, m.bounds) > best_overlap) {
            best_overlap = overlap(w->rect, m.bounds);
            best = &m;
        }
    }
    if (!best && w && fallback == win::MonitorDefault::ToNearest) {
        std::int64_t best_distance = std::numeric_limits<std::int64_t>::max();
        for (const auto& m : monitors_) {
            if (distance(w->rect, m.bounds) < best_distance) {
                best_distance = distance(w->rect, m.bounds);
                best = &m;
            }
        }
    }
    if (!best) {
        for (const auto& m : monitors_) {
            if (m.primary) best = &m;
        }
    }
    return best ? best->handle : win::Hmonitor{};
}

win::Result<win::WindowPlacement> Desktop::get_window_placement(win::Hwnd h) {
    auto* w = find(h);
    if (!w) return make_error(ERROR_INVALID_WINDOW_HANDLE);
    // The system asks a minimised window's thread where its icon goes.
    if (w->asleep && w->minimized) waited_on.push_back("get_window_placement " + win::format_hwnd(h));
    if (w->placement_error) return make_error(*w->placement_error);
    win::WindowPlacement p;
    p.show_cmd = w->minimized ? win::SHOW_MINIMIZED : w->maximized ? win::SHOW_MAXIMIZED : win::SHOW_NORMAL;
    const win::Rect n = (w->minimized || w->maximized) ? w->normal_rect : w->rect;
    p.normal = {n.left, n.top, n.right(), n.bottom()};
    p.min_position = {-1, -1};
    p.max_position = {-1, -1};
    return p;
}

bool Desktop::show_window(win::Hwnd h, int cmd) {
    const std::string call = "show_window " + win::format_hwnd(h) + " " + std::to_string(cmd);
    calls.push_back(call);
    shows.push_back({h, cmd});
    auto* w = find(h);
    if (!w) return false;
    const bool was_visible = w->visible;
    carry_out(*w, false, call, [this, h, cmd] { apply_show(*find(h), cmd); });
    return was_visible;
}

bool Desktop::show_window_async(win::Hwnd h, int cmd) {
    const std::string call = "show_window_async " + win::format_hwnd(h) + " " + std::to_string(cmd);
    calls.push_back(call);
    shows.push_back({h, cmd});
    auto* w = find(h);
    if (!w) return false;
    carry_out(*w, true, call, [this, h, cmd] {
        if (auto* now = find(h)) apply_show(*now, cmd);
    });
    return true;
}

bool Desktop::apply_show(Window& w, int cmd) {
    const bool was_visible = w.visible;
    if (cmd == win::SHOW_MAXIMIZED) {
        if (!w.maximized && !w.minimized) w.normal_rect = w.rect;
        w.maximized = true;
        w.minimized = false;
        if (auto work = work_area_for(w)) {
            const Insets i = w.frame_insets.value_or(Insets{});
            w.rect = {work->left - i.left, work->top - i.top, work->width + i.left + i.right,
                      work->height + i.top + i.bottom};
        }
    } else if (cmd == win::SHOW_NOACTIVATE || cmd == win::SHOW_NORMAL) {
        if (w.maximized || w.minimized) w.rect = w.normal_rect;
        w.maximized = false;
        w.minimized = false;
    } else if (cmd == win::SHOW_MINIMIZED) {
        if (!w.maximized && !w.minimized) w.normal_rect = w.rect;
        w.minimized = true;
    }
    w.visible = cmd != win::SHOW_HIDE;
    // Hiding the active window activates another one.
    if (cmd == win::SHOW_HIDE && foreground == w.hwnd) change_foreground(win::Hwnd{});
    return was_visible;
}

win::Status Desktop::set_window_pos(win::Hwnd h, std::int32_t x, std::int32_t y, std::int32_t width,
                                    std::int32_t height, std::uint32_t flags) {
    const std::string call = "set_window_pos " + win::format_hwnd(h);
    calls.push_back(call);
    auto* w = find(h);
    if (!w) return make_error(ERROR_INVALID_WINDOW_HANDLE);
    if (w->move_error) return make_error(*w->move_error);
    moves.push_back({h, x, y, width, height, flags});
    carry_out(*w, (flags & win::POS_ASYNC) != 0, call, [this, h, x, y, width, height, flags] {
        if (auto* now = find(h)) apply_pos(*now, x, y, width, height, flags);
    });
    return win::success();
}

void Desktop::apply_pos(Window& w, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                        std::uint32_t flags) {
    if (!(flags & win::POS_NOMOVE)) {
        w.rect.left = x;
        w.rect.top = y;
    }
    if (!(flags & win::POS_NOSIZE)) {
        w.rect.width = std::max(width, w.min_width);
        w.rect.height = std::max(height, w.min_height);
    }
    if (!w.maximized && !w.minimized) w.normal_rect = w.rect;
}

win::Status Desktop::set_window_placement(win::Hwnd h, const win::WindowPlacement& p) {
    const std::string call = "set_window_placement " + win::format_hwnd(h);
    calls.push_back(call);
    auto* w = find(h);
    if (!w) return make_error(ERROR_INVALID_WINDOW_HANDLE);
    if (w->placement_error) return make_error(*w->placement_error);
    if (w->placement_refused) return win::refused_without_code("The operation completed successfully.");
    placements_set.push_back(h);
    carry_out(*w, (p.flags & win::PLACEMENT_ASYNC) != 0, call, [this, h, p] {
        if (auto* now = find(h)) apply_placement(*now, p);
    });
    return win::success();
}

void Desktop::apply_placement(Window& w, const win::WindowPlacement& p) {
    w.normal_rect = win::rect_from_ltrb(p.normal.left, p.normal.top, p.normal.right, p.normal.bottom);
    // The window's smallest size holds here too, as for SetWindowPos.
    w.normal_rect.width = std::max(w.normal_rect.width, w.min_width);
    w.normal_rect.height = std::max(w.normal_rect.height, w.min_height);
    w.maximized = false;
    w.minimized = false;
    w.rect = w.normal_rect;
    if (p.show_cmd == win::SHOW_MAXIMIZED) apply_show(w, win::SHOW_MAXIMIZED);
    if (p.show_cmd == win::SHOW_MINIMIZED) apply_show(w, win::SHOW_MINIMIZED);
}

win::Hwnd Desktop::foreground_window() { return foreground; }

win::Status Desktop::set_window_pos_topmost(win::Hwnd h, std::int32_t x, std::int32_t y, std::int32_t width,
                                            std::int32_t height, std::uint32_t flags) {
    auto status = set_window_pos(h, x, y, width, height, flags);
    if (!status) return status;
    find(h)->topmost = true;
    if (flags & win::POS_SHOWWINDOW) find(h)->visible = true;
    return status;
}

std::uint32_t Desktop::dpi_for_window(win::Hwnd h) {
    if (!find(h)) return 0;
    return monitor_dpi_[monitor_from_window(h, win::MonitorDefault::ToNearest).value];
}

void Desktop::invalidate_window(win::Hwnd h) { invalidated.push_back(h); }

bool Desktop::set_foreground_window(win::Hwnd h) {
    calls.push_back("set_foreground_window " + win::format_hwnd(h));
    if (foreground_refused || !find(h)) return false;
    change_foreground(h);
    return true;
}

void Desktop::change_foreground(win::Hwnd h) {
    const win::Hwnd before = foreground;
    foreground = h;
    if (before && before != h && on_deactivate) on_deactivate(*this, before);
}

void Desktop::set_focus(win::Hwnd h) {
    calls.push_back("set_focus " + win::format_hwnd(h));
    if (find(h)) focus = h;
}

void Desktop::track_mouse_leave(win::Hwnd h) { tracked.push_back(h); }

std::vector<win::WorkArea> Desktop::enum_monitors() { return monitors_; }

std::optional<win::WorkArea> Desktop::monitor_info(win::Hmonitor m) {
    for (const auto& w : monitors_) {
        if (w.handle == m) return w;
    }
    return std::nullopt;
}

std::uint32_t Desktop::send_input(const std::vector<win::KeyInput>& inputs) {
    calls.push_back("send_input");
    input_batches.push_back(inputs);
    return static_cast<std::uint32_t>(inputs.size());
}

bool Desktop::async_key_down(std::uint16_t vk) { return keys_down.count(vk) != 0; }

win::Status Desktop::set_dpi_awareness() {
    calls.push_back("set_dpi_awareness");
    if (dpi_awareness_fails) return make_error(87);
    return win::success();
}

std::uint32_t Desktop::console_process_count() { return console_processes; }

void Desktop::write_out(std::string_view utf8) { out += utf8; }

void Desktop::write_err(std::string_view utf8) { err += utf8; }

void Desktop::sleep_ms(std::uint32_t ms) {
    slept_ms += ms;
    clock_ms += ms;
    if (on_sleep) on_sleep(*this);
}

std::optional<std::string> Desktop::get_env(std::string_view name) {
    auto it = env.find(std::string(name));
    if (it == env.end()) return std::nullopt;
    return it->second;
}

std::string Desktop::temp_dir() { return temp; }

win::Result<std::optional<std::string>> Desktop::read_file(const std::string& path) {
    if (locked_files.count(path)) return make_error(ERROR_SHARING_VIOLATION);
    if (directories.count(path)) return make_error(ERROR_ACCESS_DENIED);  // a folder where the file should be
    auto it = files.find(path);
    if (it == files.end()) return std::optional<std::string>();
    return std::optional<std::string>(it->second);
}

win::Status Desktop::replace_file(const std::string& path, std::string_view bytes) {
    calls.push_back("replace_file " + path);
    const std::string folder = parent_folder(path);
    if (!folder.empty() && !directories.count(folder)) return make_error(win::ERR_PATH_NOT_FOUND);
    if (read_only_folders.count(folder)) return make_error(ERROR_ACCESS_DENIED);
    if (locked_files.count(path) || in_use_files.count(path)) return make_error(ERROR_SHARING_VIOLATION);
    files[path] = std::string(bytes);
    return win::success();
}

win::Status Desktop::create_new_file(const std::string& path, std::string_view bytes) {
    calls.push_back("create_new_file " + path);
    const std::string folder = parent_folder(path);
    if (!folder.empty() && !directories.count(folder)) return make_error(win::ERR_PATH_NOT_FOUND);
    if (read_only_folders.count(folder)) return make_error(ERROR_ACCESS_DENIED);
    if (files.count(path) || directories.count(path)) return make_error(ERROR_FILE_EXISTS);
    files[path] = std::string(bytes);
    return win::success();
}

win::Status Desktop::create_directories(const std::string& path) {
    calls.push_back("create_directories " + path);
    // Every prefix that ends before a separator is a folder of its own ("C:" included).
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\' || path[i] == '/') {
            const std::string prefix = path.substr(0, i);
            if (prefix.empty() || directories.count(prefix)) continue;
            if (read_only_folders.count(parent_folder(prefix))) return make_error(ERROR_ACCESS_DENIED);
            directories.insert(prefix);
        }
    }
    return win::success();
}

win::Status Desktop::delete_file(const std::string& path) {
    calls.push_back("delete_file " + path);
    if (locked_files.count(path) || in_use_files.count(path)) return make_error(ERROR_SHARING_VIOLATION);
    if (!files.erase(path)) return make_error(win::ERR_FILE_NOT_FOUND);
    return win::success();
}

// --- Registry and time -------------------------------------------------------------

win::Result<std::vector<std::uint8_t>> Desktop::reg_get_binary(const std::string& subkey, const std::string& value) {
    auto it = registry.find(subkey + "\\" + value);
    if (it == registry.end()) return make_error(win::ERR_FILE_NOT_FOUND);
    if (it->second.size() > 4096) return make_error(234);  // ERROR_MORE_DATA
    return it->second;
}

std::uint64_t Desktop::tick_ms() { return clock_ms; }

// --- Window decoration ---------------------------------------------------------------

win::Status Desktop::dwm_set_attribute(win::Hwnd h, std::uint32_t attribute, std::uint32_t value) {
    calls.push_back("dwm_set_attribute " + win::format_hwnd(h));
    if (!dwm_available) return win::Error{0x80004001u, "Not implemented"};
    if (!find(h)) return win::Error{0x80070578u, "Invalid window handle."};
    attributes_set.push_back({h, attribute, value});
    return win::success();
}

win::Status Desktop::post_message(win::Hwnd h, std::uint32_t message) {
    calls.push_back("post_message " + win::format_hwnd(h));
    if (!find(h)) return make_error(1400);
    posted.push_back({h, message});
    return win::success();
}

// --- Thread timers and the cursor -----------------------------------------------------

std::uintptr_t Desktop::set_thread_timer(std::uint32_t ms) {
    const std::uintptr_t id = next_timer++;
    timers[id] = ms;
    calls.push_back("set_timer " + std::to_string(ms));
    return id;
}

void Desktop::kill_thread_timer(std::uintptr_t id) {
    timers.erase(id);
    calls.push_back("kill_timer");
}

std::optional<win::Point> Desktop::cursor_pos() { return cursor; }

// --- Virtual desktop manager ----------------------------------------------------------

namespace {
constexpr std::uint32_t CLASS_NOT_REGISTERED = 0x80040154;
}

win::Status Desktop::open_desktop_manager() {
    calls.push_back("open_desktop_manager");
    if (!desktop_manager_installed) return win::Error{CLASS_NOT_REGISTERED, "Class not registered"};
    desktop_manager_open = true;
    return win::success();
}

void Desktop::close_desktop_manager() { desktop_manager_open = false; }

win::Result<bool> Desktop::window_on_current_desktop(win::Hwnd h) {
    if (!desktop_manager_open) return win::Error{CLASS_NOT_REGISTERED, "Class not registered"};
    auto* w = find(h);
    if (!w) return win::Error{0x80070578u, "Invalid window handle."};
    return w->desktop == current_desktop;
}

win::Result<std::array<std::uint8_t, 16>> Desktop::window_desktop_id(win::Hwnd h) {
    if (!desktop_manager_open) return win::Error{CLASS_NOT_REGISTERED, "Class not registered"};
    auto* w = find(h);
    if (!w) return win::Error{0x80070578u, "Invalid window handle."};
    return w->desktop;
}

}  // namespace sim

namespace sim {

// --- Apps and shell ----------------------------------------------------------

void Desktop::com_initialize_apartment() {
    calls.push_back("com_initialize_apartment");
    ++com_initializations;
}

win::Result<std::vector<win::ShellItemNames>> Desktop::enum_apps_folder() {
    if (on_apps_folder) on_apps_folder();
    if (apps_folder_throws) throw std::runtime_error("the shell went away");
    if (apps_folder_error) return make_error(*apps_folder_error);
    return apps_folder;
}

bool Desktop::shell_execute(const std::string& file, const std::optional<std::string>& parameters,
                            const std::optional<std::string>& directory) {
    calls.push_back("shell_execute " + file);
    shell_opens.push_back({file, parameters, directory});
    return !shell_refuses;
}

win::Result<std::u16string> Desktop::assoc_executable(std::string_view assoc, std::string_view verb) {
    // HRESULT_FROM_WIN32(ERROR_NO_ASSOCIATION)
    if (assoc != "https" || verb != "open" || !https_executable) return make_error(0x80070483);
    return *https_executable;
}

bool Desktop::path_exists(const std::string& path) { return files.count(path) || directories.count(path); }

std::string Desktop::error_text(std::uint32_t code) { return error_message(code); }

// --- Downloads and images ----------------------------------------------------------------

namespace {
constexpr std::uint32_t RESOURCE_NOT_FOUND = 0x800C0005;  // INET_E_RESOURCE_NOT_FOUND
constexpr std::uint32_t GDIPLUS_UNKNOWN_IMAGE_FORMAT = 13;
constexpr std::uint32_t GDIPLUS_FILE_NOT_FOUND = 10;
}  // namespace

win::Status Desktop::download_to_file(const std::string& url, const std::string& path) {
    calls.push_back("download " + url + " " + path);
    auto it = served.find(url);
    if (it == served.end()) return win::Error{RESOURCE_NOT_FOUND, "The system cannot locate the resource specified."};
    if (!directories.count(parent_folder(path))) return make_error(win::ERR_PATH_NOT_FOUND);
    files[path] = it->second;
    return win::success();
}

win::Result<win::LoadedImage> Desktop::load_image_file(const std::string& path) {
    calls.push_back("load_image " + path);
    auto file = files.find(path);
    if (file == files.end()) return win::Error{GDIPLUS_FILE_NOT_FOUND, "GDI+ status 10"};
    auto width = image_widths.find(file->second);
    if (width == image_widths.end()) return win::Error{GDIPLUS_UNKNOWN_IMAGE_FORMAT, "GDI+ status 13"};
    const win::ImageHandle image{next_image++};
    live_images.insert(image.value);
    return win::LoadedImage{image, width->second};
}

void Desktop::dispose_image(win::ImageHandle image) {
    calls.push_back("dispose_image");
    if (!live_images.erase(image.value)) throw std::logic_error("disposing of an image that is not live");
}

}  // namespace sim
