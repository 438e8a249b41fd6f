// Runs the program's icon loaders under Wine. Wine cannot fetch https from
// the loopback, so downloads of "https://{host}/favicon.ico" are sent to
// "http://127.0.0.1:{port}/{host}/favicon.ico" instead; everything else is
// the real code. Started as `quilt-probe-icons.exe PORT`, it reads one command
// a line (tab-separated) from standard input:
//   cache                  -> "cache {folder}"
//   site\t{host}           -> "download {https url}" per download, then
//                             "site found {w} {h} {argb at the centre}" or "site none"
//   shell\t{parsing name}  -> "shell found ..." or "shell none" (the app loader's bitmap path)
//   app\t{app id}          -> "app found ..." or "app none"
//   dib\t{64}\t{48}\t{32}    -> the app loader's choice among bitmaps made here, each
//                             "none" or {solid|outline}-{td|bu} (top-down or bottom-up):
//                             "dib found {w} {h} {argb at (1, 1)} {argb at (w/2, h-2)}" or "dib none"
//   thread\t{key}...       -> the icon thread with each key ("app:{id}" or
//                             "site:{host}") requested in turn; "result {key} found|none"
//                             in the order the window hears of them, then "end"
//   repeat\t{host}\t{n}    -> n loads, all kept: "repeat {found} {ms} {working set grown, bytes}"
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "icons/icon_loaders_win32.h"
#include "icons/site_icon.h"
#include "probe_commands.h"
#include "text/utf8.h"
#include "win/gdiplus_win32.h"
#include "win/handle_win32.h"
#include "win/platform_win32.h"

namespace {

constexpr UINT MSG_READY = WM_APP + 30;

class LoopbackPlatform : public win::Win32Platform {
  public:
    explicit LoopbackPlatform(std::string port) : port_(std::move(port)) {}

    win::Status download_to_file(const std::string& url, const std::string& path) override {
        write_out("download " + url + "\n");
        const std::string scheme = "https://";
        if (!url.starts_with(scheme)) return win::Error{static_cast<std::uint32_t>(E_INVALIDARG), "not https"};
        return Win32Platform::download_to_file("http://127.0.0.1:" + port_ + "/" + url.substr(scheme.size()), path);
    }

  private:
    std::string port_;
};

std::string describe(const char* what, const icons::IconLoad& load) {
    if (!load.found) return std::string(what) + " none\n";
    auto* image = win::to_image(load.image);
    UINT w = 0, h = 0;
    Gdiplus::DllExports::GdipGetImageWidth(image, &w);
    Gdiplus::DllExports::GdipGetImageHeight(image, &h);
    Gdiplus::ARGB centre = 0;
    Gdiplus::DllExports::GdipBitmapGetPixel(static_cast<Gdiplus::GpBitmap*>(image), static_cast<INT>(w / 2),
                                            static_cast<INT>(h / 2), &centre);
    char line[128];
    std::snprintf(line, sizeof line, "%s found %u %u %08lx\n", what, w, h, static_cast<unsigned long>(centre));
    return line;
}

// A 32-bit DIB section of size x size: "solid" is red above blue, opaque;
// "outline" a one-pixel green frame around nothing.
HBITMAP make_dib(const std::string& spec, std::int32_t size) {
    if (spec == "none") return nullptr;
    const bool top_down = spec.ends_with("-td");
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = top_down ? -size : size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) return nullptr;
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (std::int32_t row = 0; row < size; ++row) {
        const std::int32_t y = top_down ? row : size - 1 - row;  // the row as seen
        for (std::int32_t x = 0; x < size; ++x) {
            const bool edge = x == 0 || y == 0 || x == size - 1 || y == size - 1;
            std::uint32_t colour = y < size / 2 ? 0xFFFF0000 : 0xFF0000FF;
            if (spec.starts_with("outline")) colour = edge ? 0xFF00FF00 : 0;
            pixels[row * size + x] = colour;
        }
    }
    return bitmap;
}

std::string describe_dib(const icons::IconLoad& load) {
    if (!load.found) return "dib none\n";
    auto* image = static_cast<Gdiplus::GpBitmap*>(win::to_image(load.image));
    UINT w = 0, h = 0;
    Gdiplus::DllExports::GdipGetImageWidth(image, &w);
    Gdiplus::DllExports::GdipGetImageHeight(image, &h);
    Gdiplus::ARGB top = 0, bottom = 0;
    Gdiplus::DllExports::GdipBitmapGetPixel(image, 1, 1, &top);
    Gdiplus::DllExports::GdipBitmapGetPixel(image, static_cast<INT>(w / 2), static_cast<INT>(h) - 2, &bottom);
    char line[128];
    std::snprintf(line, sizeof line, "dib found %u %u %08lx %08lx\n", w, h, static_cast<unsigned long>(top),
                  static_cast<unsigned long>(bottom));
    return line;
}

std::size_t working_set() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return counters.WorkingSetSize;
}

icons::IconRequest request_for(const std::string& key) {
    if (key.starts_with("app:")) return {icons::IconKind::App, key.substr(4), key};
    return {icons::IconKind::Site, key.substr(5), key};
}

// The daemon's arrangement: a window that hears MSG_READY and takes the results.
void run_thread(LoopbackPlatform& platform, const std::vector<std::string>& keys) {
    HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    // The probe's platform lives until its process ends: the thread borrows it.
    const std::shared_ptr<win::Platform> borrowed(&platform, [](win::Platform*) {});
    auto thread =
        icons::start_icon_thread(icons::icon_thread_work(borrowed, win::Hwnd{win::from_hwnd(window)}, MSG_READY));
    if (!window || !thread) {
        platform.write_out("error no thread\n");
        return;
    }
    for (const auto& key : keys) thread->request(request_for(key));
    std::size_t answered = 0;
    const ULONGLONG deadline = GetTickCount64() + 30000;
    while (answered < keys.size() && GetTickCount64() < deadline) {
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
            continue;
        }
        if (msg.message != MSG_READY) continue;
        for (const auto& result : thread->take_results()) {
            platform.write_out("result " + result.key + (result.found ? " found" : " none") + "\n");
            ++answered;
        }
    }
    platform.write_out("end\n");
    DestroyWindow(window);
}

void run(LoopbackPlatform& platform, const std::string& line) {
    const auto args = split_tabs(line);
    const std::string& command = args[0];
    if (command == "cache") {
        platform.write_out("cache " + icons::icon_cache_folder(platform) + "\n");
    } else if (command == "site" && args.size() == 2) {
        platform.write_out(describe("site", icons::load_site_icon(platform, args[1])));
    } else if (command == "shell" && args.size() == 2) {
        platform.write_out(describe("shell", icons::load_shell_item_icon(text::utf8_to_utf16(args[1]))));
    } else if (command == "app" && args.size() == 2) {
        platform.write_out(describe("app", icons::load_app_icon(args[1])));
    } else if (command == "dib" && args.size() == 4) {
        const auto load = icons::load_bitmap_icon([&args](std::int32_t size) {
            return make_dib(args[size == 64 ? 1 : size == 48 ? 2 : 3], size);
        });
        platform.write_out(describe_dib(load));
    } else if (command == "thread" && args.size() >= 2) {
        run_thread(platform, std::vector<std::string>(args.begin() + 1, args.end()));
    } else if (command == "repeat" && args.size() == 3) {
        const int n = std::stoi(args[2]);
        const std::size_t before = working_set();
        const ULONGLONG start = GetTickCount64();
        int found = 0;
        for (int i = 0; i < n; ++i) found += icons::load_site_icon(platform, args[1]).found ? 1 : 0;
        const ULONGLONG ms = GetTickCount64() - start;
        platform.write_out("repeat " + std::to_string(found) + " " + std::to_string(ms) + " " +
                           std::to_string(static_cast<long long>(working_set()) - static_cast<long long>(before)) +
                           "\n");
    } else {
        platform.write_out("unknown " + line + "\n");
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc < 2) return 2;
    // The daemon starts GDI+ with its popup windows; here nothing else does.
    ULONG_PTR gdiplus = 0;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&gdiplus, &input, nullptr) != Gdiplus::Ok) return 3;
    LoopbackPlatform platform(__argv[1]);
    platform.com_initialize_apartment();
    for_each_command([&](const std::string& line) { run(platform, line); });
    return 0;
}
