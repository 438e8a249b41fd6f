// Loads icon group 1 of an executable the way the tray does (LoadImageW at a
// requested size) and prints what the system made of it, so a test can see
// that the resource is there and that its PNG images decode:
//   quilt-iconprobe.exe PATH SIZE [X Y]...
// prints "icon W H BITS" and then "X Y R G B A" for each requested pixel,
// or one line starting with "error" and exit code 1.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

int fail(const char* what) {
    std::printf("error %s %lu\n", what, GetLastError());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || (argc - 3) % 2 != 0) return fail("usage");
    const int size = std::atoi(argv[2]);

    HMODULE module = LoadLibraryExA(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) return fail("LoadLibraryExA");
    if (!FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14))) return fail("no-icon-group-1");
    auto icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    if (!icon) return fail("LoadImageW");

    ICONINFO info{};
    if (!GetIconInfo(icon, &info) || !info.hbmColor) return fail("GetIconInfo");
    BITMAP bm{};
    GetObjectW(info.hbmColor, sizeof bm, &bm);
    std::printf("icon %ld %ld %u\n", bm.bmWidth, bm.bmHeight, bm.bmBitsPixel);

    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = bm.bmWidth;
    bi.bmiHeader.biHeight = -bm.bmHeight;  // top-down rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(bm.bmWidth) * static_cast<size_t>(bm.bmHeight));
    HDC dc = GetDC(nullptr);
    const int rows =
        GetDIBits(dc, info.hbmColor, 0, static_cast<UINT>(bm.bmHeight), pixels.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    if (rows != bm.bmHeight) return fail("GetDIBits");

    for (int i = 3; i + 1 < argc; i += 2) {
        const int x = std::atoi(argv[i]), y = std::atoi(argv[i + 1]);
        if (x < 0 || y < 0 || x >= bm.bmWidth || y >= bm.bmHeight) return fail("point-outside");
        const DWORD p = pixels[static_cast<size_t>(y) * static_cast<size_t>(bm.bmWidth) + static_cast<size_t>(x)];
        std::printf("%d %d %lu %lu %lu %lu\n", x, y, (p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF, p >> 24);
    }
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
    FreeLibrary(module);
    return 0;
}
