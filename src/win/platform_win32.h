// The real platform: each primitive is one Win32 call (or a short fixed
// sequence of them). Built only for Windows.
#pragma once

#include <optional>

#include "win/handle_win32.h"
#include "win/platform.h"

namespace win {

struct VirtualDesktopManager;  // the shell's IVirtualDesktopManager

class Win32Platform : public Platform {
  public:
    std::vector<Hwnd> enum_windows() override;
    bool is_window(Hwnd) override;
    bool is_window_visible(Hwnd) override;
    std::u16string get_window_text(Hwnd) override;
    std::u16string get_class_name(Hwnd) override;
    std::uint32_t get_window_process_id(Hwnd) override;
    std::optional<std::u16string> query_process_image(std::uint32_t pid) override;
    std::uint32_t get_style(Hwnd) override;
    std::uint32_t get_ex_style(Hwnd) override;
    Hwnd get_owner(Hwnd) override;
    bool is_iconic(Hwnd) override;
    bool is_zoomed(Hwnd) override;
    bool is_hung(Hwnd) override;
    std::optional<Rect> get_window_rect(Hwnd) override;
    Result<Rect> dwm_frame_bounds(Hwnd) override;
    Result<std::uint32_t> dwm_cloaked(Hwnd) override;
    Hmonitor monitor_from_window(Hwnd, MonitorDefault) override;
    Result<WindowPlacement> get_window_placement(Hwnd) override;
    bool show_window(Hwnd, int show_cmd) override;
    bool show_window_async(Hwnd, int show_cmd) override;
    Status set_window_pos(Hwnd, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                          std::uint32_t flags) override;
    Status set_window_placement(Hwnd, const WindowPlacement&) override;
    Hwnd foreground_window() override;
    bool set_foreground_window(Hwnd) override;
    Status set_window_pos_topmost(Hwnd, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                                  std::uint32_t flags) override;
    std::uint32_t dpi_for_window(Hwnd) override;
    void invalidate_window(Hwnd) override;
    void set_focus(Hwnd) override;
    void track_mouse_leave(Hwnd) override;
    std::vector<WorkArea> enum_monitors() override;
    std::optional<WorkArea> monitor_info(Hmonitor) override;
    std::uint32_t send_input(const std::vector<KeyInput>&) override;
    bool async_key_down(std::uint16_t vk) override;
    Status set_dpi_awareness() override;
    std::uint32_t console_process_count() override;
    void write_out(std::string_view utf8) override;
    void write_err(std::string_view utf8) override;
    void sleep_ms(std::uint32_t ms) override;
    std::optional<std::string> get_env(std::string_view name) override;
    std::string temp_dir() override;
    Result<std::optional<std::string>> read_file(const std::string& path) override;
    Status replace_file(const std::string& path, std::string_view bytes) override;
    Status create_new_file(const std::string& path, std::string_view bytes) override;
    Status create_directories(const std::string& path) override;
    Status delete_file(const std::string& path) override;

    // --- Registry and time -----------------------------------------------------
    Result<std::vector<std::uint8_t>> reg_get_binary(const std::string& subkey, const std::string& value) override;
    std::uint64_t tick_ms() override;

    // --- Window decoration -------------------------------------------------------
    Status dwm_set_attribute(Hwnd, std::uint32_t attribute, std::uint32_t value) override;
    Status post_message(Hwnd, std::uint32_t message) override;

    // --- Thread timers and the cursor -------------------------------------------
    std::uintptr_t set_thread_timer(std::uint32_t ms) override;
    void kill_thread_timer(std::uintptr_t id) override;
    std::optional<Point> cursor_pos() override;

    // --- Virtual desktop manager ----------------------------------------------------
    Status open_desktop_manager() override;
    void close_desktop_manager() override;
    Result<bool> window_on_current_desktop(Hwnd) override;
    Result<std::array<std::uint8_t, 16>> window_desktop_id(Hwnd) override;

    // --- Apps and shell --------------------------------------------------------
    void com_initialize_apartment() override;
    Result<std::vector<ShellItemNames>> enum_apps_folder() override;
    bool shell_execute(const std::string& file, const std::optional<std::string>& parameters,
                       const std::optional<std::string>& directory) override;
    Result<std::u16string> assoc_executable(std::string_view assoc, std::string_view verb) override;
    bool path_exists(const std::string& path) override;
    std::string error_text(std::uint32_t code) override;

    // --- Downloads and images ------------------------------------------------------
    Status download_to_file(const std::string& url, const std::string& path) override;
    Result<LoadedImage> load_image_file(const std::string& path) override;
    void dispose_image(ImageHandle) override;

    Win32Platform();
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;
    ~Win32Platform() override;

  private:
    // Declared in this order so that the manager is released before the
    // apartment is left.
    std::optional<ComApartment> apartment_;
    ComRef<VirtualDesktopManager> desktop_manager_;
};

// The system's message text for an error code, trailing white space removed.
std::string system_message(std::uint32_t code);
Error last_error();
Error hresult_error(std::int32_t hr);

}  // namespace win
