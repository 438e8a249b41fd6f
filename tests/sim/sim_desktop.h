// A simulated desktop: monitors, windows, processes, files and a console,
// behind the same interface as the real one. It records every change the
// program asks for, so a test can assert on moves, inputs and output.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "win/platform.h"

namespace sim {

// How far the invisible resize borders reach past the visible frame.
using Insets = win::Edges;

// What Windows 10 and 11 give an ordinary resizable window.
inline constexpr Insets WIN10_INSETS = {7, 0, 7, 7};

struct Window {
    win::Hwnd hwnd;  // assigned by add_window when left zero
    std::u16string title = u"Window";
    std::u16string class_name = u"AppWindow";
    std::uint32_t pid = 100;
    std::uint32_t style = win::STYLE_THICKFRAME;
    std::uint32_t ex_style = 0;
    win::Hwnd owner;
    bool visible = true;
    bool minimized = false;
    bool maximized = false;
    bool cloaked = false;
    bool hung = false;
    bool topmost = false;                // placed in the topmost band by SetWindowPos
    win::Rect rect{100, 100, 800, 600};  // the raw window rectangle
    // Nothing: the Desktop Window Manager gives no frame (as under Wine).
    std::optional<Insets> frame_insets = Insets{};
    // The restored rectangle while maximised or minimised.
    win::Rect normal_rect{100, 100, 800, 600};
    // The smallest raw size the window accepts (WM_GETMINMAXINFO).
    std::int32_t min_width = 0;
    std::int32_t min_height = 0;
    // Makes SetWindowPos / Get/SetWindowPlacement fail with this last-error code.
    std::optional<std::uint32_t> move_error;
    std::optional<std::uint32_t> placement_error;
    // The virtual desktop the window is on, as the desktop manager reports it.
    std::array<std::uint8_t, 16> desktop{};

    // --- Layout ------------------------------------------------------------
    // SetWindowPlacement fails without an error code, as Wine's does for a
    // window of another process.
    bool placement_refused = false;

    // The window's thread reads no messages, though not yet long enough for
    // the system to call it hung. Requests posted to it wait until `wake`; a
    // call that would wait for it is noted in `waited_on` (and then done).
    bool asleep = false;
};

struct Move {
    win::Hwnd hwnd;
    std::int32_t x, y, width, height;
    std::uint32_t flags;
    friend bool operator==(const Move&, const Move&) = default;
};

struct ShowCall {
    win::Hwnd hwnd;
    int cmd;
    friend bool operator==(const ShowCall&, const ShowCall&) = default;
};

// The system's message text for the error codes the simulation produces.
std::string error_message(std::uint32_t code);
win::Error make_error(std::uint32_t code);

class Desktop : public win::Platform {
  public:
    // --- Building the scene --------------------------------------------------
    // Adds a monitor; a zero handle gets the next free one.
    win::Hmonitor add_monitor(win::Rect bounds, win::Rect work, bool primary = false, std::uint32_t dpi = 96);
    // Adds a window on top of the Z order and returns its handle.
    win::Hwnd add_window(Window w);
    Window& window(win::Hwnd h);
    void close_window(win::Hwnd h);
    // The window's thread reads its messages again and carries out what was posted to it.
    void wake(win::Hwnd h);
    void add_process(std::uint32_t pid, std::u16string image_path);
    // The visible frame as the program would read it.
    win::Rect frame_of(win::Hwnd h);

    // --- What the program did ---------------------------------------------------
    std::vector<Move> moves;
    std::vector<ShowCall> shows;
    std::vector<std::vector<win::KeyInput>> input_batches;
    std::vector<win::Hwnd> placements_set;
    std::vector<std::string> calls;  // every call that changes something, in order
    // Calls that would have kept the program waiting for a window that reads no messages.
    std::vector<std::string> waited_on;
    std::uint32_t process_queries = 0;  // query_process_image calls
    std::uint32_t owner_reads = 0;      // get_owner calls: one a window in each full enumeration
    std::uint32_t rect_reads = 0;       // get_window_rect calls
    std::uint32_t zoom_reads = 0;       // is_zoomed calls
    std::uint32_t monitor_asks = 0;     // monitor_from_window calls
    std::string out;
    std::string err;

    // --- Other state ---------------------------------------------------------------
    win::Hwnd foreground;
    std::set<std::uint16_t> keys_down;
    std::uint32_t console_processes = 2;
    bool dpi_awareness_fails = false;
    bool foreground_refused = false;
    std::map<std::string, std::string> env;
    std::string temp = "C:\\Users\\user\\AppData\\Local\\Temp\\";
    std::map<std::string, std::string> files;
    std::set<std::string> directories;
    std::set<std::string> locked_files;       // sharing violation on read, write and delete
    std::set<std::string> in_use_files;       // open elsewhere for reading: sharing violation on write and delete
    std::set<std::string> read_only_folders;  // access denied on create or write inside

    // --- win::Platform -------------------------------------------------------------
    std::vector<win::Hwnd> enum_windows() override;
    bool is_window(win::Hwnd) override;
    bool is_window_visible(win::Hwnd) override;
    std::u16string get_window_text(win::Hwnd) override;
    std::u16string get_class_name(win::Hwnd) override;
    std::uint32_t get_window_process_id(win::Hwnd) override;
    std::optional<std::u16string> query_process_image(std::uint32_t pid) override;
    std::uint32_t get_style(win::Hwnd) override;
    std::uint32_t get_ex_style(win::Hwnd) override;
    win::Hwnd get_owner(win::Hwnd) override;
    bool is_iconic(win::Hwnd) override;
    bool is_zoomed(win::Hwnd) override;
    bool is_hung(win::Hwnd) override;
    std::optional<win::Rect> get_window_rect(win::Hwnd) override;
    win::Result<win::Rect> dwm_frame_bounds(win::Hwnd) override;
    win::Result<std::uint32_t> dwm_cloaked(win::Hwnd) override;
    win::Hmonitor monitor_from_window(win::Hwnd, win::MonitorDefault) override;
    win::Result<win::WindowPlacement> get_window_placement(win::Hwnd) override;
    bool show_window(win::Hwnd, int show_cmd) override;
    bool show_window_async(win::Hwnd, int show_cmd) override;
    win::Status set_window_pos(win::Hwnd, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                               std::uint32_t flags) override;
    win::Status set_window_placement(win::Hwnd, const win::WindowPlacement&) override;
    win::Hwnd foreground_window() override;
    bool set_foreground_window(win::Hwnd) override;
    win::Status set_window_pos_topmost(win::Hwnd, std::int32_t x, std::int32_t y, std::int32_t width,
                                       std::int32_t height, std::uint32_t flags) override;
    // The DPI of the monitor that holds most of the window, as with per-monitor awareness.
    std::uint32_t dpi_for_window(win::Hwnd) override;
    void invalidate_window(win::Hwnd) override;
    std::vector<win::Hwnd> invalidated;
    std::vector<win::WorkArea> enum_monitors() override;
    std::optional<win::WorkArea> monitor_info(win::Hmonitor) override;
    std::uint32_t send_input(const std::vector<win::KeyInput>&) override;
    bool async_key_down(std::uint16_t vk) override;
    win::Status set_dpi_awareness() override;
    std::uint32_t console_process_count() override;
    void write_out(std::string_view utf8) override;
    void write_err(std::string_view utf8) override;
    void sleep_ms(std::uint32_t ms) override;
    std::optional<std::string> get_env(std::string_view name) override;
    std::string temp_dir() override;
    win::Result<std::optional<std::string>> read_file(const std::string& path) override;
    win::Status replace_file(const std::string& path, std::string_view bytes) override;
    win::Status create_new_file(const std::string& path, std::string_view bytes) override;
    win::Status create_directories(const std::string& path) override;
    win::Status delete_file(const std::string& path) override;

    // --- Registry and time ---------------------------------------------------------
    win::Result<std::vector<std::uint8_t>> reg_get_binary(const std::string& subkey, const std::string& value) override;
    std::uint64_t tick_ms() override;

    // --- Window decoration -----------------------------------------------------------
    win::Status dwm_set_attribute(win::Hwnd, std::uint32_t attribute, std::uint32_t value) override;
    win::Status post_message(win::Hwnd, std::uint32_t message) override;
    struct Posted {
        win::Hwnd hwnd;
        std::uint32_t message;
        friend bool operator==(const Posted&, const Posted&) = default;
    };
    std::vector<Posted> posted;

    struct Attribute {
        win::Hwnd hwnd;
        std::uint32_t attribute;
        std::uint32_t value;
        friend bool operator==(const Attribute&, const Attribute&) = default;
    };
    std::vector<Attribute> attributes_set;
    // Without a compositor (as under Wine) every attribute is refused.
    bool dwm_available = true;

    // --- Focus and the mouse ----------------------------------------------------------
    void set_focus(win::Hwnd) override;
    void track_mouse_leave(win::Hwnd) override;

    win::Hwnd focus;
    std::vector<win::Hwnd> tracked;  // track_mouse_leave calls
    // Called as WM_ACTIVATE(WA_INACTIVE) would be, from inside the call that
    // took the foreground away from a window (hiding it, or another window
    // taking the foreground), after the change.
    std::function<void(Desktop&, win::Hwnd)> on_deactivate;

    // --- Thread timers and the cursor -------------------------------------------------
    std::uintptr_t set_thread_timer(std::uint32_t ms) override;
    void kill_thread_timer(std::uintptr_t id) override;
    std::optional<win::Point> cursor_pos() override;

    std::map<std::uintptr_t, std::uint32_t> timers;  // running timers: id -> period
    std::uintptr_t next_timer = 1;
    std::optional<win::Point> cursor = win::Point{0, 0};

    // --- Virtual desktop manager ------------------------------------------------------
    win::Status open_desktop_manager() override;
    void close_desktop_manager() override;
    win::Result<bool> window_on_current_desktop(win::Hwnd) override;
    win::Result<std::array<std::uint8_t, 16>> window_desktop_id(win::Hwnd) override;

    // Off by default, as under Wine, where the shell has no desktop manager.
    bool desktop_manager_installed = false;
    bool desktop_manager_open = false;
    std::array<std::uint8_t, 16> current_desktop{};

    std::uint32_t slept_ms = 0;
    std::uint64_t clock_ms = 1000000;  // advanced by sleep_ms
    // Values under HKEY_CURRENT_USER, keyed by "subkey\\value".
    std::map<std::string, std::vector<std::uint8_t>> registry;
    // Called after every sleep, so a test can make the world change while the program waits.
    std::function<void(Desktop&)> on_sleep;

    // --- Apps and shell --------------------------------------------------------
    struct ShellOpen {
        std::string file;
        std::optional<std::string> parameters;
        std::optional<std::string> directory;
        friend bool operator==(const ShellOpen&, const ShellOpen&) = default;
    };
    std::vector<ShellOpen> shell_opens;
    bool shell_refuses = false;  // every ShellExecuteW fails
    int com_initializations = 0;
    // The Apps folder; an error code makes the folder unavailable.
    std::vector<win::ShellItemNames> apps_folder;
    std::optional<std::uint32_t> apps_folder_error;
    // Simulates a catalogue thread that dies inside the shell.
    bool apps_folder_throws = false;
    // Called as a catalogue thread reaches the folder, on that thread.
    std::function<void()> on_apps_folder;
    // The executable registered for "https"; nothing: no association.
    std::optional<std::u16string> https_executable;

    void com_initialize_apartment() override;
    win::Result<std::vector<win::ShellItemNames>> enum_apps_folder() override;
    bool shell_execute(const std::string& file, const std::optional<std::string>& parameters,
                       const std::optional<std::string>& directory) override;
    win::Result<std::u16string> assoc_executable(std::string_view assoc, std::string_view verb) override;
    bool path_exists(const std::string& path) override;
    std::string error_text(std::uint32_t code) override;

    // --- Downloads and images --------------------------------------------------------
    // What each address serves; an address not listed fails as an unreachable
    // site does. Downloads are in `calls`.
    std::map<std::string, std::string> served;
    // File contents that decode, with their width; anything else fails to
    // decode, as an HTML page does.
    std::map<std::string, std::uint32_t> image_widths;
    std::set<std::uint64_t> live_images;  // made and not yet disposed of
    std::uint64_t next_image = 0x1000;

    win::Status download_to_file(const std::string& url, const std::string& path) override;
    win::Result<win::LoadedImage> load_image_file(const std::string& path) override;
    void dispose_image(win::ImageHandle) override;

  private:
    Window* find(win::Hwnd h);
    void change_foreground(win::Hwnd h);
    std::optional<win::Rect> work_area_for(const Window& w);
    std::vector<Window> windows_;  // Z order, topmost first
    std::vector<win::WorkArea> monitors_;
    std::map<std::uint64_t, std::uint32_t> monitor_dpi_;
    std::map<std::uint32_t, std::u16string> processes_;
    std::uint64_t next_hwnd_ = 0x10010;
    std::uint64_t next_monitor_ = 0x10001;

    // Runs a change now, or once the window wakes when it is asleep and the change was posted.
    void carry_out(Window& w, bool async, std::string call, std::function<void()> change);
    bool apply_show(Window& w, int cmd);
    void apply_pos(Window& w, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                   std::uint32_t flags);
    void apply_placement(Window& w, const win::WindowPlacement& p);
    std::map<std::uint64_t, std::vector<std::function<void()>>> posted_to_;
};

}  // namespace sim
