#include "icons/icon_loaders_win32.h"

#include <windows.h>

#include <shobjidl.h>

#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

#include "icons/app_bitmap.h"
#include "icons/site_icon.h"
#include "text/utf8.h"
#include "win/gdiplus_win32.h"

namespace icons {
namespace {

static_assert(sizeof(DIBSECTION) == DIBSECTION_SIZE);

struct ReleaseCom {
    void operator()(IUnknown* p) const { p->Release(); }
};
using ImageFactory = std::unique_ptr<IShellItemImageFactory, ReleaseCom>;

struct DeleteBitmap {
    void operator()(HBITMAP b) const { DeleteObject(b); }
};
using Bitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, DeleteBitmap>;

// Shell pictures are icon-sized; anything far larger is not one, and its
// pixels are not worth copying.
constexpr std::int32_t LARGEST_SIDE = 1024;

// One bitmap's description, with its pixels copied into `pixels` top row
// first. GetObjectW reports a positive height for top-down sections too, so
// it cannot tell which way up a section's rows lie in memory; GetDIBits can,
// and copies them out in the order asked for.
DibInfo describe(HBITMAP bitmap, std::vector<std::uint8_t>& pixels) {
    DIBSECTION dib{};
    DibInfo info;
    info.object_size = GetObjectW(bitmap, sizeof dib, &dib);
    info.width = dib.dsBm.bmWidth;
    info.height = dib.dsBm.bmHeight;
    info.bits_per_pixel = dib.dsBm.bmBitsPixel;
    if (info.object_size != DIBSECTION_SIZE || info.bits_per_pixel != 32 || info.width <= 0 || info.height <= 0 ||
        info.width > LARGEST_SIDE || info.height > LARGEST_SIDE) {
        return info;
    }
    BITMAPINFO request{};
    request.bmiHeader.biSize = sizeof request.bmiHeader;
    request.bmiHeader.biWidth = info.width;
    request.bmiHeader.biHeight = -info.height;  // top-down
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    pixels.assign(static_cast<std::size_t>(info.width) * 4 * static_cast<std::size_t>(info.height), 0);
    HDC screen = GetDC(nullptr);
    const int rows =
        GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.height), pixels.data(), &request, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != info.height) return info;
    info.stride = info.width * 4;
    info.bits = pixels.data();
    info.top_down = true;
    return info;
}

// A GDI+ bitmap with pixels of its own, copied row by row in picture order.
Gdiplus::GpBitmap* image_from(const DibInfo& dib) {
    Gdiplus::GpBitmap* image = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromScan0(dib.width, dib.height, 0, PixelFormat32bppPARGB, nullptr,
                                                       &image) != Gdiplus::Ok ||
        !image) {
        return nullptr;
    }
    const Gdiplus::GpRect all{0, 0, dib.width, dib.height};
    Gdiplus::BitmapData locked{};
    if (Gdiplus::DllExports::GdipBitmapLockBits(image, &all, Gdiplus::ImageLockModeWrite, PixelFormat32bppPARGB,
                                                &locked) != Gdiplus::Ok) {
        Gdiplus::DllExports::GdipDisposeImage(image);
        return nullptr;
    }
    const ScanLayout layout = scan_layout(dib);
    const auto row_bytes = static_cast<std::size_t>(dib.width) * 4;
    for (std::int32_t row = 0; row < dib.height; ++row) {
        const std::uint8_t* from = dib.bits + layout.first_row + static_cast<std::ptrdiff_t>(row) * layout.stride;
        std::memcpy(static_cast<std::uint8_t*>(locked.Scan0) + static_cast<std::ptrdiff_t>(row) * locked.Stride, from,
                    row_bytes);
    }
    Gdiplus::DllExports::GdipBitmapUnlockBits(image, &locked);
    return image;
}

}  // namespace

IconLoad load_bitmap_icon(const std::function<HBITMAP(std::int32_t size)>& bitmap_at) {
    std::vector<Bitmap> bitmaps;
    std::vector<std::vector<std::uint8_t>> pixels;
    std::vector<DibInfo> infos;
    std::vector<BitmapVerdict> verdicts;
    for (const std::int32_t size : APP_ICON_SIZES) {
        bitmaps.emplace_back(bitmap_at(size));
        pixels.emplace_back();
        infos.push_back(bitmaps.back() ? describe(bitmaps.back().get(), pixels.back()) : DibInfo{});
        verdicts.push_back(judge_bitmap(infos.back()));
        if (verdicts.back() == BitmapVerdict::Picture) break;
    }
    const auto taken = pick_bitmap(verdicts);
    if (!taken) return {};
    Gdiplus::GpBitmap* image = image_from(infos[*taken]);
    if (!image) return {};
    return {true, win::from_image(image)};
}

IconLoad load_shell_item_icon(std::u16string_view parsing_name) {
    const std::wstring name(parsing_name.begin(), parsing_name.end());
    IShellItemImageFactory* raw = nullptr;
    if (FAILED(SHCreateItemFromParsingName(name.c_str(), nullptr, IID_IShellItemImageFactory,
                                           reinterpret_cast<void**>(&raw))) ||
        !raw) {
        return {};
    }
    const ImageFactory factory(raw);
    return load_bitmap_icon([&factory](std::int32_t size) {
        HBITMAP bitmap = nullptr;
        if (FAILED(factory->GetImage(SIZE{size, size}, SIIGBF_ICONONLY, &bitmap))) return HBITMAP{};
        return bitmap;
    });
}

IconLoad load_app_icon(std::string_view app_id) {
    return load_shell_item_icon(u"shell:AppsFolder\\" + text::utf8_to_utf16(app_id));
}

IconWork icon_thread_work(std::shared_ptr<win::Platform> platform, win::Hwnd launcher, std::uint32_t message) {
    IconWork work;
    // The shell's image factory wants a single-threaded apartment; the thread
    // keeps it until the process ends.
    work.begin = [platform] { platform->com_initialize_apartment(); };
    work.load = [platform](const IconRequest& request) {
        return request.kind == IconKind::App ? load_app_icon(request.value) : load_site_icon(*platform, request.value);
    };
    // A launcher window that is gone has nothing to repaint.
    work.ready = [platform, launcher, message] { (void)platform->post_message(launcher, message); };
    return work;
}

}  // namespace icons
