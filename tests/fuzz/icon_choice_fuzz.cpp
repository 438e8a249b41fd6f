// The icon thread's two judgements of outside data: which host names to
// fetch an icon for (and so which files to name), and whether a bitmap the
// shell gave is a picture, an outline or unusable.
//
// Input: a host up to a NUL; then the bitmap's GetObjectW answer (object
// size byte, width, height, stride as 32-bit, bits per pixel as 16-bit, row
// order byte); then its pixels.
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "icons/app_bitmap.h"
#include "icons/site_icon.h"

namespace {

void check_hosts(const std::string& host) {
    const std::vector<std::string> names = icons::candidate_hosts(host);
    FUZZ_CHECK(!names.empty() && names[0] == host);
    for (std::size_t i = 1; i < names.size(); ++i) {
        // Each a shorter tail of the host, cut at a dot, never a bare label.
        const std::string& n = names[i];
        FUZZ_CHECK(n.size() < names[i - 1].size() && host.ends_with(n));
        FUZZ_CHECK(host[host.size() - n.size() - 1] == '.' && n.find('.') != std::string::npos);
    }
    if (!icons::valid_host(host)) return;
    // What reaches the file system stays a plain name inside the cache folder.
    for (const std::string& n : names) {
        FUZZ_CHECK(icons::valid_host(n));
        FUZZ_CHECK(n.find("..") == std::string::npos && n.find_first_of("\\/:") == std::string::npos);
        FUZZ_CHECK(icons::icon_cache_path("C:\\icons", n) == "C:\\icons\\" + n + ".ico");
    }
}

void check_bitmap(fuzz::Input& in) {
    icons::DibInfo dib;
    const std::uint8_t object_size = fuzz::take_byte(in);
    dib.object_size = object_size < 0x80 ? icons::DIBSECTION_SIZE : object_size;
    dib.width = fuzz::take<std::int32_t>(in);
    dib.height = fuzz::take<std::int32_t>(in);
    dib.stride = fuzz::take<std::int32_t>(in);
    dib.bits_per_pixel = fuzz::take<std::uint16_t>(in);
    dib.top_down = fuzz::take_bool(in);

    const std::int64_t row = std::int64_t{dib.width} * 4;
    const std::int64_t bytes = std::int64_t{dib.stride} * dib.height;
    const bool whole = dib.object_size == icons::DIBSECTION_SIZE && dib.width > 0 && dib.height > 0 &&
                       dib.bits_per_pixel == 32 && dib.stride >= row;
    // Pixels as the system would hold them; a bitmap too big to make here is
    // judged only when it has to be refused without a look at its bits.
    static const std::uint8_t none = 0;
    std::vector<std::uint8_t> pixels;
    if (whole) {
        if (bytes > (1 << 20)) return;
        pixels.resize(static_cast<std::size_t>(bytes));
        for (auto& b : pixels) b = fuzz::take_byte(in);
        dib.bits = pixels.data();
    } else {
        dib.bits = (dib.width & 1) ? &none : nullptr;
    }

    const icons::BitmapVerdict verdict = icons::judge_bitmap(dib);
    FUZZ_CHECK((verdict == icons::BitmapVerdict::Unusable) == !whole);
    if (verdict == icons::BitmapVerdict::Framed) FUZZ_CHECK(dib.width >= 7 && dib.height >= 7);
    // The same bytes are judged the same either way up.
    icons::DibInfo flipped = dib;
    flipped.top_down = !dib.top_down;
    FUZZ_CHECK(icons::judge_bitmap(flipped) == verdict);
    if (!whole) return;

    // Every row GDI+ is pointed at lies inside the pixels.
    const icons::ScanLayout layout = icons::scan_layout(dib);
    for (const std::int64_t k : {std::int64_t{0}, std::int64_t{dib.height} - 1}) {
        const std::int64_t start = layout.first_row + k * layout.stride;
        FUZZ_CHECK(start >= 0 && start + row <= bytes);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in{data, size};
    check_hosts(fuzz::take_text(in));
    check_bitmap(in);
    return 0;
}
