#include "win/platform_win32.h"

#include <windows.h>

#include <dwmapi.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <urlmon.h>

#include <cstring>
#include <string>

#include "text/utf8.h"
#include "win/apps_folder_win32.h"
#include "win/gdiplus_win32.h"
#include "win/handle_win32.h"

namespace win {
namespace {

HWND H(Hwnd h) { return to_hwnd(h.value); }
HMONITOR M(Hmonitor m) { return reinterpret_cast<HMONITOR>(static_cast<std::uintptr_t>(m.value)); }
Hmonitor from_monitor(HMONITOR m) { return Hmonitor{static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(m))}; }

Rect from_rect(const RECT& r) { return rect_from_ltrb(r.left, r.top, r.right, r.bottom); }

std::wstring wide(std::string_view utf8) {
    const std::u16string s = text::utf8_to_utf16(utf8);
    return std::wstring(s.begin(), s.end());
}

std::u16string u16(const wchar_t* s, std::size_t n) { return std::u16string(s, s + n); }

// Newer entry points are looked up at run time, so that a system without
// them loses one feature instead of refusing to start the program.
template <typename Fn>
Fn lookup(const wchar_t* module, const char* name) {
    HMODULE m = GetModuleHandleW(module);
    if (!m) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(m, name)));
}

void write_stream(DWORD which, std::string_view utf8) {
    HANDLE h = GetStdHandle(which);
    if (h == nullptr || h == INVALID_HANDLE_VALUE || utf8.empty()) return;
    DWORD mode = 0;
    if (GetFileType(h) == FILE_TYPE_CHAR && GetConsoleMode(h, &mode) && GetConsoleOutputCP() != CP_UTF8) {
        const std::wstring utf16 = wide(utf8);
        DWORD written = 0;
        WriteConsoleW(h, utf16.data(), static_cast<DWORD>(utf16.size()), &written, nullptr);
        return;
    }
    while (!utf8.empty()) {
        DWORD written = 0;
        if (!WriteFile(h, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr) || written == 0) return;
        utf8.remove_prefix(written);
    }
}

BOOL CALLBACK collect_window(HWND h, LPARAM lp) {
    reinterpret_cast<std::vector<Hwnd>*>(lp)->push_back(Hwnd{from_hwnd(h)});
    return TRUE;
}

BOOL CALLBACK collect_monitor(HMONITOR m, HDC, LPRECT, LPARAM lp) {
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (GetMonitorInfoW(m, &mi)) {
        reinterpret_cast<std::vector<WorkArea>*>(lp)->push_back(WorkArea{
            from_monitor(m), from_rect(mi.rcWork), from_rect(mi.rcMonitor), (mi.dwFlags & MONITORINFOF_PRIMARY) != 0});
    }
    return TRUE;
}

}  // namespace

std::string system_message(std::uint32_t code) {
    wchar_t* buffer = nullptr;
    const DWORD n =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::u16string message = n && buffer ? u16(buffer, n) : std::u16string();
    if (buffer) LocalFree(buffer);
    while (!message.empty() && (message.back() == u' ' || message.back() == u'\t' || message.back() == u'\r' ||
                                message.back() == u'\n' || message.back() == u'\v' || message.back() == u'\f')) {
        message.pop_back();
    }
    return text::utf16_to_utf8(message);
}

Error last_error() {
    const DWORD code = GetLastError();
    return Error{code, system_message(code), code == 0 ? ErrorKind::NoCode : ErrorKind::System};
}

Error hresult_error(std::int32_t hr) {
    return Error{static_cast<std::uint32_t>(hr), system_message(static_cast<std::uint32_t>(hr))};
}

std::vector<Hwnd> Win32Platform::enum_windows() {
    std::vector<Hwnd> out;
    EnumWindows(collect_window, reinterpret_cast<LPARAM>(&out));
    return out;
}

bool Win32Platform::is_window(Hwnd h) { return IsWindow(H(h)) != FALSE; }
bool Win32Platform::is_window_visible(Hwnd h) { return IsWindowVisible(H(h)) != FALSE; }

std::u16string Win32Platform::get_window_text(Hwnd h) {
    wchar_t buf[512];
    const int n = GetWindowTextW(H(h), buf, 512);
    return n > 0 ? u16(buf, static_cast<std::size_t>(n)) : std::u16string();
}

std::u16string Win32Platform::get_class_name(Hwnd h) {
    wchar_t buf[256];
    const int n = GetClassNameW(H(h), buf, 256);
    return n > 0 ? u16(buf, static_cast<std::size_t>(n)) : std::u16string();
}

std::uint32_t Win32Platform::get_window_process_id(Hwnd h) {
    DWORD pid = 0;
    GetWindowThreadProcessId(H(h), &pid);
    return pid;
}

std::optional<std::u16string> Win32Platform::query_process_image(std::uint32_t pid) {
    UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    if (!process) return std::nullopt;
    wchar_t buf[1024];
    DWORD size = 1024;
    if (!QueryFullProcessImageNameW(process.get(), 0, buf, &size)) return std::nullopt;
    return u16(buf, size);
}

std::uint32_t Win32Platform::get_style(Hwnd h) {
    return static_cast<std::uint32_t>(GetWindowLongPtrW(H(h), GWL_STYLE));
}

std::uint32_t Win32Platform::get_ex_style(Hwnd h) {
    return static_cast<std::uint32_t>(GetWindowLongPtrW(H(h), GWL_EXSTYLE));
}

Hwnd Win32Platform::get_owner(Hwnd h) { return Hwnd{from_hwnd(GetWindow(H(h), GW_OWNER))}; }
bool Win32Platform::is_iconic(Hwnd h) { return IsIconic(H(h)) != FALSE; }
bool Win32Platform::is_zoomed(Hwnd h) { return IsZoomed(H(h)) != FALSE; }
bool Win32Platform::is_hung(Hwnd h) { return IsHungAppWindow(H(h)) != FALSE; }

std::optional<Rect> Win32Platform::get_window_rect(Hwnd h) {
    RECT r;
    if (!GetWindowRect(H(h), &r)) return std::nullopt;
    return from_rect(r);
}

Result<Rect> Win32Platform::dwm_frame_bounds(Hwnd h) {
    RECT r{};
    const HRESULT hr = DwmGetWindowAttribute(H(h), DWMWA_EXTENDED_FRAME_BOUNDS, &r, sizeof r);
    if (FAILED(hr)) return hresult_error(hr);
    return from_rect(r);
}

Result<std::uint32_t> Win32Platform::dwm_cloaked(Hwnd h) {
    DWORD value = 0;
    const HRESULT hr = DwmGetWindowAttribute(H(h), DWMWA_CLOAKED, &value, sizeof value);
    if (FAILED(hr)) return hresult_error(hr);
    return static_cast<std::uint32_t>(value);
}

Hmonitor Win32Platform::monitor_from_window(Hwnd h, MonitorDefault d) {
    return from_monitor(
        MonitorFromWindow(H(h), d == MonitorDefault::ToNearest ? MONITOR_DEFAULTTONEAREST : MONITOR_DEFAULTTOPRIMARY));
}

Result<WindowPlacement> Win32Platform::get_window_placement(Hwnd h) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    SetLastError(0);  // a call that fails without saying why must not report an older error
    if (!GetWindowPlacement(H(h), &wp)) return last_error();
    WindowPlacement out;
    out.flags = wp.flags;
    out.show_cmd = wp.showCmd;
    out.min_position = {wp.ptMinPosition.x, wp.ptMinPosition.y};
    out.max_position = {wp.ptMaxPosition.x, wp.ptMaxPosition.y};
    out.normal = {wp.rcNormalPosition.left, wp.rcNormalPosition.top, wp.rcNormalPosition.right,
                  wp.rcNormalPosition.bottom};
    return out;
}

bool Win32Platform::show_window(Hwnd h, int cmd) { return ShowWindow(H(h), cmd) != FALSE; }
bool Win32Platform::show_window_async(Hwnd h, int cmd) { return ShowWindowAsync(H(h), cmd) != FALSE; }

Status Win32Platform::set_window_pos(Hwnd h, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                                     std::uint32_t flags) {
    SetLastError(0);
    if (!SetWindowPos(H(h), nullptr, x, y, width, height, flags)) return last_error();
    return success();
}

Status Win32Platform::set_window_placement(Hwnd h, const WindowPlacement& p) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    wp.flags = p.flags;
    wp.showCmd = p.show_cmd;
    wp.ptMinPosition = {p.min_position.x, p.min_position.y};
    wp.ptMaxPosition = {p.max_position.x, p.max_position.y};
    wp.rcNormalPosition = {p.normal.left, p.normal.top, p.normal.right, p.normal.bottom};
    SetLastError(0);
    if (!SetWindowPlacement(H(h), &wp)) return last_error();
    return success();
}

Hwnd Win32Platform::foreground_window() { return Hwnd{from_hwnd(GetForegroundWindow())}; }
bool Win32Platform::set_foreground_window(Hwnd h) { return SetForegroundWindow(H(h)) != FALSE; }

Status Win32Platform::set_window_pos_topmost(Hwnd h, std::int32_t x, std::int32_t y, std::int32_t width,
                                             std::int32_t height, std::uint32_t flags) {
    SetLastError(0);
    if (!SetWindowPos(H(h), HWND_TOPMOST, x, y, width, height, flags)) return last_error();
    return success();
}

std::uint32_t Win32Platform::dpi_for_window(Hwnd h) { return GetDpiForWindow(H(h)); }

void Win32Platform::invalidate_window(Hwnd h) { InvalidateRect(H(h), nullptr, FALSE); }

void Win32Platform::set_focus(Hwnd h) { SetFocus(H(h)); }

void Win32Platform::track_mouse_leave(Hwnd h) {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = H(h);
    TrackMouseEvent(&track);
}

std::vector<WorkArea> Win32Platform::enum_monitors() {
    std::vector<WorkArea> out;
    EnumDisplayMonitors(nullptr, nullptr, collect_monitor, reinterpret_cast<LPARAM>(&out));
    return out;
}

std::optional<WorkArea> Win32Platform::monitor_info(Hmonitor m) {
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (!GetMonitorInfoW(M(m), &mi)) return std::nullopt;
    return WorkArea{m, from_rect(mi.rcWork), from_rect(mi.rcMonitor), (mi.dwFlags & MONITORINFOF_PRIMARY) != 0};
}

std::uint32_t Win32Platform::send_input(const std::vector<KeyInput>& inputs) {
    std::vector<INPUT> raw(inputs.size());
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        raw[i].type = INPUT_KEYBOARD;
        raw[i].ki.wVk = inputs[i].vk;
        raw[i].ki.dwFlags = inputs[i].flags;
    }
    return SendInput(static_cast<UINT>(raw.size()), raw.data(), sizeof(INPUT));
}

bool Win32Platform::async_key_down(std::uint16_t vk) { return (GetAsyncKeyState(vk) & 0x8000) != 0; }

Status Win32Platform::set_dpi_awareness() {
    using Fn = BOOL(WINAPI*)(HANDLE);
    auto fn = lookup<Fn>(L"user32.dll", "SetProcessDpiAwarenessContext");
    if (!fn) return Error{ERROR_PROC_NOT_FOUND, system_message(ERROR_PROC_NOT_FOUND)};
    // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
    if (!fn(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)))) return last_error();
    return success();
}

std::uint32_t Win32Platform::console_process_count() {
    DWORD pids[2];
    return GetConsoleProcessList(pids, 2);
}

void Win32Platform::write_out(std::string_view utf8) { write_stream(STD_OUTPUT_HANDLE, utf8); }
void Win32Platform::write_err(std::string_view utf8) { write_stream(STD_ERROR_HANDLE, utf8); }
void Win32Platform::sleep_ms(std::uint32_t ms) { Sleep(ms); }

std::optional<std::string> Win32Platform::get_env(std::string_view name) {
    const std::wstring n = wide(name);
    const DWORD size = GetEnvironmentVariableW(n.c_str(), nullptr, 0);
    if (size == 0) return std::nullopt;
    std::wstring value(size, L'\0');
    const DWORD got = GetEnvironmentVariableW(n.c_str(), value.data(), size);
    if (got == 0 || got >= size) return std::nullopt;
    return text::utf16_to_utf8(u16(value.data(), got));
}

std::string Win32Platform::temp_dir() {
    using Fn = DWORD(WINAPI*)(DWORD, LPWSTR);
    wchar_t buf[MAX_PATH + 2];
    DWORD n = 0;
    if (auto fn = lookup<Fn>(L"kernel32.dll", "GetTempPath2W")) {
        n = fn(MAX_PATH + 1, buf);
    } else {
        n = GetTempPathW(MAX_PATH + 1, buf);
    }
    return n ? text::utf16_to_utf8(u16(buf, n)) : std::string();
}

Result<std::optional<std::string>> Win32Platform::read_file(const std::string& path) {
    UniqueHandle file(CreateFileW(wide(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return std::optional<std::string>();
        return Error{code, system_message(code)};
    }
    std::string data;
    char buf[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buf, sizeof buf, &got, nullptr)) return last_error();
        if (got == 0) break;
        data.append(buf, got);
    }
    return std::optional<std::string>(std::move(data));
}

namespace {

// Writes all the bytes and flushes them to disk; the file is closed either way.
Status write_all(UniqueHandle file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
            return last_error();
        }
        bytes.remove_prefix(written);
    }
    if (!FlushFileBuffers(file.get())) return last_error();
    return success();
}

}  // namespace

Status Win32Platform::replace_file(const std::string& path, std::string_view bytes) {
    // One name per process and thread: a thread writes one file at a time,
    // and no two writers ever share a temporary file.
    const std::wstring target = wide(path);
    const std::wstring temp =
        target + L"." + std::to_wstring(GetCurrentProcessId()) + L"." + std::to_wstring(GetCurrentThreadId()) + L".tmp";
    {
        UniqueHandle file(
            CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return last_error();
        if (auto written = write_all(std::move(file), bytes); !written) {
            DeleteFileW(temp.c_str());
            return written;
        }
    }
    if (!MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        Error e = last_error();
        DeleteFileW(temp.c_str());
        return e;
    }
    return success();
}

Status Win32Platform::create_new_file(const std::string& path, std::string_view bytes) {
    const std::wstring target = wide(path);
    UniqueHandle file(
        CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return last_error();
    // A file this call made and could not fill is no one's but ours.
    if (auto written = write_all(std::move(file), bytes); !written) {
        DeleteFileW(target.c_str());
        return written;
    }
    return success();
}

Status Win32Platform::create_directories(const std::string& path) {
    const std::wstring p = wide(path);
    // Skip the root ("C:\" or "\\server\share\") that cannot be created.
    std::size_t start = 0;
    if (p.size() >= 2 && p[1] == L':') {
        start = 3;
    } else if (p.rfind(L"\\\\", 0) == 0) {
        const auto server = p.find(L'\\', 2);
        const auto share = server == std::wstring::npos ? server : p.find(L'\\', server + 1);
        start = share == std::wstring::npos ? p.size() : share + 1;
    }
    for (std::size_t i = start; i <= p.size(); ++i) {
        if (i != p.size() && p[i] != L'\\' && p[i] != L'/') continue;
        if (i == 0 || p[i - 1] == L'\\' || p[i - 1] == L'/') continue;
        const std::wstring prefix = p.substr(0, i);
        if (!CreateDirectoryW(prefix.c_str(), nullptr)) {
            const DWORD code = GetLastError();
            if (code == ERROR_ALREADY_EXISTS) {
                const DWORD attributes = GetFileAttributesW(prefix.c_str());
                if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
            }
            return Error{code, system_message(code)};
        }
    }
    return success();
}

Status Win32Platform::delete_file(const std::string& path) {
    if (!DeleteFileW(wide(path).c_str())) return last_error();
    return success();
}

// --- Registry and time ---------------------------------------------------------

Result<std::vector<std::uint8_t>> Win32Platform::reg_get_binary(const std::string& subkey, const std::string& value) {
    std::vector<std::uint8_t> data(4096);
    DWORD size = 4096;
    const LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, wide(subkey).c_str(), wide(value).c_str(), RRF_RT_REG_BINARY,
                                        nullptr, data.data(), &size);
    if (status != ERROR_SUCCESS) return Error{static_cast<std::uint32_t>(status), system_message(status)};
    data.resize(size);
    return data;
}

std::uint64_t Win32Platform::tick_ms() { return GetTickCount64(); }

// --- Window decoration -----------------------------------------------------------

Status Win32Platform::dwm_set_attribute(Hwnd h, std::uint32_t attribute, std::uint32_t value) {
    const DWORD v = value;
    const HRESULT hr = DwmSetWindowAttribute(H(h), attribute, &v, sizeof v);
    if (FAILED(hr)) return hresult_error(hr);
    return success();
}

Status Win32Platform::post_message(Hwnd h, std::uint32_t message) {
    if (!PostMessageW(H(h), message, 0, 0)) return last_error();
    return success();
}

// --- Thread timers and the cursor -----------------------------------------------

std::uintptr_t Win32Platform::set_thread_timer(std::uint32_t ms) { return SetTimer(nullptr, 0, ms, nullptr); }

void Win32Platform::kill_thread_timer(std::uintptr_t id) { KillTimer(nullptr, id); }

std::optional<Point> Win32Platform::cursor_pos() {
    POINT pt;
    if (!GetCursorPos(&pt)) return std::nullopt;
    return Point{pt.x, pt.y};
}

// --- Apps and shell ------------------------------------------------------------

void Win32Platform::com_initialize_apartment() { (void)CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }

Result<std::vector<ShellItemNames>> Win32Platform::enum_apps_folder() {
    // For the length of the call: a catalogue thread is started after every
    // hide of the launcher, and one that joined for good would leave its
    // apartment behind each time.
    const ComApartment apartment;
    return enumerate_apps_folder();
}

bool Win32Platform::shell_execute(const std::string& file, const std::optional<std::string>& parameters,
                                  const std::optional<std::string>& directory) {
    const std::wstring f = wide(file);
    const std::wstring p = parameters ? wide(*parameters) : std::wstring();
    const std::wstring d = directory ? wide(*directory) : std::wstring();
    const HINSTANCE r = ShellExecuteW(nullptr, L"open", f.c_str(), parameters ? p.c_str() : nullptr,
                                      directory ? d.c_str() : nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(r) > 32;
}

Result<std::u16string> Win32Platform::assoc_executable(std::string_view assoc, std::string_view verb) {
    wchar_t buf[1024];
    DWORD length = 1024;
    const HRESULT hr =
        AssocQueryStringW(ASSOCF_NONE, ASSOCSTR_EXECUTABLE, wide(assoc).c_str(), wide(verb).c_str(), buf, &length);
    if (FAILED(hr)) return hresult_error(hr);
    // The length counts the terminating NUL. Wine leaves it at the buffer's
    // size, so the text also ends at the first NUL.
    const std::size_t counted = length > 0 && length <= 1024 ? length - 1 : 0;
    return u16(buf, wcsnlen(buf, counted));
}

bool Win32Platform::path_exists(const std::string& path) {
    return GetFileAttributesW(wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Win32Platform::error_text(std::uint32_t code) { return system_message(code); }

// --- Downloads and images ----------------------------------------------------------

Status Win32Platform::download_to_file(const std::string& url, const std::string& path) {
    const HRESULT hr = URLDownloadToFileW(nullptr, wide(url).c_str(), wide(path).c_str(), 0, nullptr);
    if (FAILED(hr)) return hresult_error(hr);
    return success();
}

Result<LoadedImage> Win32Platform::load_image_file(const std::string& path) {
    Gdiplus::GpImage* image = nullptr;
    const Gdiplus::GpStatus status = Gdiplus::DllExports::GdipLoadImageFromFile(wide(path).c_str(), &image);
    if (status != Gdiplus::Ok || !image) {
        if (image) Gdiplus::DllExports::GdipDisposeImage(image);
        // GDI+ statuses are not system error codes and have no message text.
        return Error{static_cast<std::uint32_t>(status), "GDI+ status " + std::to_string(status)};
    }
    UINT width = 0;
    if (Gdiplus::DllExports::GdipGetImageWidth(image, &width) != Gdiplus::Ok) width = 0;
    return LoadedImage{from_image(image), width};
}

void Win32Platform::dispose_image(ImageHandle image) { Gdiplus::DllExports::GdipDisposeImage(to_image(image)); }

// --- Virtual desktop manager --------------------------------------------------------

// The shell's documented interface, declared here because MinGW's headers
// may lack it.
struct VirtualDesktopManager : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE IsWindowOnCurrentVirtualDesktop(HWND, BOOL*) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetWindowDesktopId(HWND, GUID*) = 0;
    virtual HRESULT STDMETHODCALLTYPE MoveWindowToDesktop(HWND, REFGUID) = 0;
};

namespace {

constexpr GUID CLSID_DESKTOP_MANAGER = {0xAA509086, 0x5CA9, 0x4C25, {0x8F, 0x95, 0x58, 0x9D, 0x3C, 0x07, 0xB4, 0x8A}};
constexpr GUID IID_DESKTOP_MANAGER = {0xA5CD92FF, 0x29BE, 0x454C, {0x8D, 0x04, 0xD8, 0x28, 0x79, 0xFB, 0x3F, 0x1B}};
constexpr HRESULT NO_MANAGER = static_cast<HRESULT>(0x80040154);  // REGDB_E_CLASSNOTREG

}  // namespace

Win32Platform::Win32Platform() = default;
Win32Platform::~Win32Platform() = default;

Status Win32Platform::open_desktop_manager() {
    if (desktop_manager_) return success();
    // The apartment stays while the manager is held; ShellExecuteW on this
    // thread runs in it too.
    if (!apartment_) apartment_.emplace();
    // CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER
    const HRESULT hr =
        CoCreateInstance(CLSID_DESKTOP_MANAGER, nullptr, 23, IID_DESKTOP_MANAGER, desktop_manager_.out());
    if (FAILED(hr) || !desktop_manager_) return hresult_error(FAILED(hr) ? hr : NO_MANAGER);
    return success();
}

void Win32Platform::close_desktop_manager() {
    desktop_manager_.reset();
    apartment_.reset();
}

Result<bool> Win32Platform::window_on_current_desktop(Hwnd h) {
    if (!desktop_manager_) return hresult_error(NO_MANAGER);
    BOOL on = FALSE;
    const HRESULT hr = desktop_manager_->IsWindowOnCurrentVirtualDesktop(H(h), &on);
    if (FAILED(hr)) return hresult_error(hr);
    return on != FALSE;
}

Result<std::array<std::uint8_t, 16>> Win32Platform::window_desktop_id(Hwnd h) {
    if (!desktop_manager_) return hresult_error(NO_MANAGER);
    GUID id{};
    const HRESULT hr = desktop_manager_->GetWindowDesktopId(H(h), &id);
    if (FAILED(hr)) return hresult_error(hr);
    std::array<std::uint8_t, 16> bytes{};
    static_assert(sizeof(GUID) == 16);
    std::memcpy(bytes.data(), &id, 16);
    return bytes;
}

}  // namespace win
