// The program's whole contact with the operating system, as primitives that
// mirror single Win32 calls. Everything that decides something is written on
// top of this interface in plain C++, so it runs the same against the real
// desktop (platform_win32.cpp) and against the simulated one in the tests.
//
// Keep each primitive a thin wrapper: no policy, no fallbacks, no formatting.
// Those belong to the callers, where the host tests can see them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "win/numbers.h"
#include "win/types.h"

namespace win {

// GetWindowPlacement's record, with rcNormalPosition kept as the four edges
// the platform uses so that a saved position goes back unchanged.
struct WindowPlacement {
    std::uint32_t flags = 0;
    std::uint32_t show_cmd = 0;
    Point min_position;
    Point max_position;
    Edges normal;  // where the window is when neither minimised nor maximised
    friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

// One keyboard event for SendInput.
struct KeyInput {
    std::uint16_t vk = 0;
    std::uint32_t flags = 0;
    friend bool operator==(const KeyInput&, const KeyInput&) = default;
};

enum class MonitorDefault { ToPrimary, ToNearest };

// The two names of one item of the shell's Apps folder, as UTF-16 text.
struct ShellItemNames {
    std::optional<std::u16string> display_name;
    std::optional<std::u16string> parsing_name;
    friend bool operator==(const ShellItemNames&, const ShellItemNames&) = default;
};

// An image read from a file, with the width the decoder reported.
struct LoadedImage {
    ImageHandle image;
    std::uint32_t width = 0;
};

class Platform {
  public:
    virtual ~Platform() = default;

    // --- Windows ---------------------------------------------------------
    // Top-level windows in EnumWindows order (Z order, topmost first).
    virtual std::vector<Hwnd> enum_windows() = 0;
    virtual bool is_window(Hwnd) = 0;
    virtual bool is_window_visible(Hwnd) = 0;
    // GetWindowTextW into 512 units / GetClassNameW into 256 units; empty on failure.
    virtual std::u16string get_window_text(Hwnd) = 0;
    virtual std::u16string get_class_name(Hwnd) = 0;
    // 0 when the window is gone.
    virtual std::uint32_t get_window_process_id(Hwnd) = 0;
    // The full Win32 image path of a process; nothing when it cannot be opened or queried.
    virtual std::optional<std::u16string> query_process_image(std::uint32_t pid) = 0;
    virtual std::uint32_t get_style(Hwnd) = 0;
    virtual std::uint32_t get_ex_style(Hwnd) = 0;
    // GW_OWNER; a null handle when there is none or the call fails.
    virtual Hwnd get_owner(Hwnd) = 0;
    virtual bool is_iconic(Hwnd) = 0;
    virtual bool is_zoomed(Hwnd) = 0;
    virtual bool is_hung(Hwnd) = 0;
    virtual std::optional<Rect> get_window_rect(Hwnd) = 0;
    virtual Result<Rect> dwm_frame_bounds(Hwnd) = 0;
    virtual Result<std::uint32_t> dwm_cloaked(Hwnd) = 0;
    virtual Hmonitor monitor_from_window(Hwnd, MonitorDefault) = 0;
    virtual Result<WindowPlacement> get_window_placement(Hwnd) = 0;

    // --- Changing windows --------------------------------------------------
    // ShowWindow's return value: whether the window was visible before.
    virtual bool show_window(Hwnd, int show_cmd) = 0;
    // ShowWindowAsync: the request is posted to the window's thread; true
    // when it was.
    virtual bool show_window_async(Hwnd, int show_cmd) = 0;
    // SetWindowPos with no insert-after window.
    virtual Status set_window_pos(Hwnd, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                                  std::uint32_t flags) = 0;
    virtual Status set_window_placement(Hwnd, const WindowPlacement&) = 0;
    virtual Hwnd foreground_window() = 0;
    virtual bool set_foreground_window(Hwnd) = 0;

    // --- The program's own popup windows ------------------------------------
    // SetWindowPos with HWND_TOPMOST as the insert-after window.
    virtual Status set_window_pos_topmost(Hwnd, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                                          std::uint32_t flags) = 0;
    // GetDpiForWindow: the DPI of the monitor the window is on; 0 for an invalid window.
    virtual std::uint32_t dpi_for_window(Hwnd) = 0;
    // InvalidateRect(window, NULL, FALSE): repaint all of it, erasing nothing.
    virtual void invalidate_window(Hwnd) = 0;
    // SetFocus; a refusal leaves the focus where it was.
    virtual void set_focus(Hwnd) = 0;
    // TrackMouseEvent(TME_LEAVE): one WM_MOUSELEAVE when the pointer leaves.
    virtual void track_mouse_leave(Hwnd) = 0;

    // --- Monitors ------------------------------------------------------------
    // In the system's enumeration order; monitors whose information cannot be read are left out.
    virtual std::vector<WorkArea> enum_monitors() = 0;
    virtual std::optional<WorkArea> monitor_info(Hmonitor) = 0;

    // --- Input ---------------------------------------------------------------
    // SendInput in one call; the number of events the system inserted.
    virtual std::uint32_t send_input(const std::vector<KeyInput>&) = 0;
    // The most significant bit of GetAsyncKeyState.
    virtual bool async_key_down(std::uint16_t vk) = 0;

    // --- Process and console -------------------------------------------------
    // SetProcessDpiAwarenessContext(PER_MONITOR_AWARE_V2).
    virtual Status set_dpi_awareness() = 0;
    // GetConsoleProcessList with room for two; 0 when there is no console.
    virtual std::uint32_t console_process_count() = 0;
    // Standard output and error, with the console rule applied by the platform.
    virtual void write_out(std::string_view utf8) = 0;
    virtual void write_err(std::string_view utf8) = 0;
    virtual void sleep_ms(std::uint32_t ms) = 0;

    // --- Environment and files -----------------------------------------------
    // Paths are UTF-8 Win32 paths. Errors carry the system message and code.
    virtual std::optional<std::string> get_env(std::string_view name) = 0;
    virtual std::string temp_dir() = 0;
    // Nothing when the file does not exist; an error when it cannot be read.
    virtual Result<std::optional<std::string>> read_file(const std::string& path) = 0;
    // Writes a temporary file beside `path` and moves it over `path` in one
    // step, so a crash or a full disk never leaves a half-written file. Every
    // call has a temporary name of its own, so two writes never share one.
    virtual Status replace_file(const std::string& path, std::string_view bytes) = 0;
    // Creates the file with these bytes only when nothing is there yet
    // (CREATE_NEW): an existing file is never touched, and is an error.
    virtual Status create_new_file(const std::string& path, std::string_view bytes) = 0;
    // Creates the folder and all missing parents; an existing folder is fine.
    virtual Status create_directories(const std::string& path) = 0;
    // A missing file is an error with code ERR_FILE_NOT_FOUND (2).
    virtual Status delete_file(const std::string& path) = 0;

    // --- Registry and time -----------------------------------------------------
    // RegGetValueW under HKEY_CURRENT_USER for a REG_BINARY value, into a
    // 4096-byte buffer: a larger value is an error.
    virtual Result<std::vector<std::uint8_t>> reg_get_binary(const std::string& subkey, const std::string& value) = 0;
    // A monotonic millisecond clock (GetTickCount64).
    virtual std::uint64_t tick_ms() = 0;

    // --- Window decoration -------------------------------------------------------
    // DwmSetWindowAttribute with a 4-byte value; the error carries the HRESULT.
    virtual Status dwm_set_attribute(Hwnd, std::uint32_t attribute, std::uint32_t value) = 0;
    // PostMessageW with both parameters 0.
    virtual Status post_message(Hwnd, std::uint32_t message) = 0;

    // --- Thread timers and the cursor -------------------------------------------
    // SetTimer with no window and id 0: a new id each time, 0 on failure.
    virtual std::uintptr_t set_thread_timer(std::uint32_t ms) = 0;
    virtual void kill_thread_timer(std::uintptr_t id) = 0;
    virtual std::optional<Point> cursor_pos() = 0;

    // --- Virtual desktop manager ----------------------------------------------------
    // CoInitializeEx (apartment) and CoCreateInstance of the shell's
    // IVirtualDesktopManager, which the platform then holds. Without it the
    // two queries below fail.
    virtual Status open_desktop_manager() = 0;
    // Releases the manager and leaves the apartment that opening it joined.
    virtual void close_desktop_manager() = 0;
    // IsWindowOnCurrentVirtualDesktop.
    virtual Result<bool> window_on_current_desktop(Hwnd) = 0;
    // GetWindowDesktopId: the desktop's GUID as its 16 bytes.
    virtual Result<std::array<std::uint8_t, 16>> window_desktop_id(Hwnd) = 0;

    // --- Apps and shell --------------------------------------------------------
    // CoInitializeEx(NULL, COINIT_APARTMENTTHREADED) on the calling thread.
    // Its result is not reported: an apartment already set up is as good.
    virtual void com_initialize_apartment() = 0;
    // The items of the shell's Apps folder in enumeration order (the calling
    // thread is in an apartment for the length of the call), each with its
    // SIGDN_NORMALDISPLAY and SIGDN_DESKTOPABSOLUTEPARSING names (nothing for a
    // name the shell would not give). An error when the folder or its
    // enumerator cannot be had; enumeration stops at the first failing Next.
    virtual Result<std::vector<ShellItemNames>> enum_apps_folder() = 0;
    // ShellExecuteW(NULL, "open", file, parameters, directory, SW_SHOWNORMAL);
    // true when the returned instance value is greater than 32. An absent
    // parameters or directory is passed as NULL.
    virtual bool shell_execute(const std::string& file, const std::optional<std::string>& parameters,
                               const std::optional<std::string>& directory) = 0;
    // AssocQueryStringW(ASSOCF_NONE, ASSOCSTR_EXECUTABLE, assoc, verb) into
    // 1024 units: the text before the terminating NUL, unconverted.
    virtual Result<std::u16string> assoc_executable(std::string_view assoc, std::string_view verb) = 0;
    // Whether the path's attributes can be read (a file or a folder is there).
    virtual bool path_exists(const std::string& path) = 0;
    // The system's message text for an error code, trailing white space removed.
    virtual std::string error_text(std::uint32_t code) = 0;

    // --- Downloads and images ------------------------------------------------------
    // URLDownloadToFileW(NULL, url, path, 0, NULL); the error carries the HRESULT.
    virtual Status download_to_file(const std::string& url, const std::string& path) = 0;
    // GdipLoadImageFromFile, then GdipGetImageWidth (a width of 0 when that
    // call fails). An error when the load fails or gives no image; the caller
    // owns the image it gets.
    virtual Result<LoadedImage> load_image_file(const std::string& path) = 0;
    // GdipDisposeImage.
    virtual void dispose_image(ImageHandle) = 0;
};

}  // namespace win
