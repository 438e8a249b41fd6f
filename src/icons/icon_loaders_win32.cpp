#include "icons/icon_loaders_win32.h"

#include <windows.h>

#include <shobjidl.h>

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

DibInfo describe(HBITMAP bitmap) {
    DIBSECTION dib{};
    DibInfo info;
    info.object_size = GetObjectW(bitmap, sizeof dib, &dib);
    info.width = dib.dsBm.bmWidth;
    info.height = dib.dsBm.bmHeight;
    info.stride = dib.dsBm.bmWidthBytes;
    info.bits_per_pixel = dib.dsBm.bmBitsPixel;
    info.bits = static_cast<const std::uint8_t*>(dib.dsBm.bmBits);
    // Wine reports a positive height for top-down sections too, so there
    // every bitmap is taken as bottom-up.
    info.top_down = dib.dsBmih.biHeight < 0;
    return info;
}

}  // namespace

IconLoad load_bitmap_icon(const std::function<HBITMAP(std::int32_t size)>& bitmap_at) {
    std::vector<Bitmap> bitmaps;
    std::vector<DibInfo> infos;
    std::vector<BitmapVerdict> verdicts;
    for (const std::int32_t size : APP_ICON_SIZES) {
        bitmaps.emplace_back(bitmap_at(size));
        infos.push_back(bitmaps.back() ? describe(bitmaps.back().get()) : DibInfo{});
        verdicts.push_back(judge_bitmap(infos.back()));
        if (verdicts.back() == BitmapVerdict::Picture) break;
    }
    const auto taken = pick_bitmap(verdicts);
    if (!taken) return {};

    // The GDI+ bitmap reads the DIB's pixels in place, so the DIB must live
    // as long as the image does: both are kept for the process.
    const DibInfo& dib = infos[*taken];
    const ScanLayout layout = scan_layout(dib);
    Gdiplus::GpBitmap* image = nullptr;
    const auto status =
        Gdiplus::DllExports::GdipCreateBitmapFromScan0(dib.width, dib.height, layout.stride, PixelFormat32bppPARGB,
                                                       const_cast<BYTE*>(dib.bits + layout.first_row), &image);
    if (status != Gdiplus::Ok || !image) return {};
    (void)bitmaps[*taken].release();
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

IconWork icon_thread_work(win::Platform& platform, win::Hwnd launcher, std::uint32_t message) {
    IconWork work;
    // The shell's image factory wants a single-threaded apartment; the thread
    // keeps it until the process ends.
    work.begin = [&platform] { platform.com_initialize_apartment(); };
    work.load = [&platform](const IconRequest& request) {
        return request.kind == IconKind::App ? load_app_icon(request.value) : load_site_icon(platform, request.value);
    };
    // A launcher window that is gone has nothing to repaint.
    work.ready = [&platform, launcher, message] { (void)platform.post_message(launcher, message); };
    return work;
}

}  // namespace icons
