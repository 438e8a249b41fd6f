#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

#include "quilt_icon.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes read_bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t le16(const Bytes& b, std::size_t at) { return b[at] | (b[at + 1] << 8); }
std::uint32_t le32(const Bytes& b, std::size_t at) { return le16(b, at) | (le16(b, at + 2) << 16); }
std::uint32_t be32(const Bytes& b, std::size_t at) {
    return (std::uint32_t{b[at]} << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3];
}

// Rendering is slow under the sanitizers; each size is drawn once.
const icon::Image& logo(int size) {
    static std::map<int, icon::Image> cache;
    auto it = cache.find(size);
    if (it == cache.end()) it = cache.emplace(size, icon::render_logo(size)).first;
    return it->second;
}

const fs::path COMMITTED_ICON = fs::path(QUILT_SOURCE_DIR) / "res" / "quilt.ico";

// Catches a generator change that was not followed by regenerating and
// committing res/quilt.ico (or a hand-edited icon file).
TEST(IconGenerator, RewritesTheCommittedIconByteForByte) {
    const fs::path dir = fs::temp_directory_path() / ("quilt-icon-test-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path out = dir / "quilt.ico";
    const std::string command = std::string("\"") + QUILT_MAKE_ICON + "\" \"" + out.string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const Bytes generated = read_bytes(out);
    const Bytes committed = read_bytes(COMMITTED_ICON);
    fs::remove_all(dir);
    ASSERT_FALSE(committed.empty()) << COMMITTED_ICON;
    EXPECT_TRUE(generated == committed) << "run: build/host/make_icon res/quilt.ico";
}

// The executable's icon group must offer every size Windows asks for (tray,
// taskbar, Explorer views), each as a 32-bit PNG image.
TEST(IconFile, DirectoryListsSixSquare32BitPngImagesInOrder) {
    const Bytes ico = read_bytes(COMMITTED_ICON);
    ASSERT_GE(ico.size(), 6u);
    EXPECT_EQ(le16(ico, 0), 0u);
    EXPECT_EQ(le16(ico, 2), 1u);  // icon, not cursor
    ASSERT_EQ(le16(ico, 4), 6u);
    const int sizes[] = {16, 24, 32, 48, 64, 256};
    std::size_t next_offset = 6 + 16 * 6;
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(sizes[i]);
        const std::size_t e = 6 + 16 * static_cast<std::size_t>(i);
        ASSERT_LE(e + 16, ico.size());
        const int side = sizes[i] == 256 ? 0 : sizes[i];
        EXPECT_EQ(ico[e], side);
        EXPECT_EQ(ico[e + 1], side);
        EXPECT_EQ(le16(ico, e + 4), 1u);   // planes
        EXPECT_EQ(le16(ico, e + 6), 32u);  // bits per pixel
        const std::uint32_t length = le32(ico, e + 8);
        const std::uint32_t offset = le32(ico, e + 12);
        EXPECT_EQ(offset, next_offset);
        ASSERT_LE(std::size_t{offset} + length, ico.size());
        next_offset = offset + length;

        const Bytes png(ico.begin() + offset, ico.begin() + offset + length);
        ASSERT_GE(png.size(), 8u + 8 + 13);
        const Bytes signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        EXPECT_TRUE(Bytes(png.begin(), png.begin() + 8) == signature);
        EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
        EXPECT_EQ(be32(png, 16), static_cast<std::uint32_t>(sizes[i]));  // width
        EXPECT_EQ(be32(png, 20), static_cast<std::uint32_t>(sizes[i]));  // height
        EXPECT_EQ(png[24], 8);                                           // bits per channel
        EXPECT_EQ(png[25], 6);                                           // RGBA
    }
    EXPECT_EQ(next_offset, ico.size());
}

// Pixels inside each part of the logo have its exact colour at every size,
// so a part that moved, vanished or took the wrong colour shows up here.
TEST(LogoRaster, EveryPartHasItsColourAtEverySize) {
    struct Probe {
        const char* part;
        int ux, uy;  // a point well inside the part, in logo units
        icon::Rgba colour;
    };
    const Probe probes[] = {
        {"tall left tile", 9, 16, icon::LOGO_LIGHT},     {"upper right tile", 22, 11, icon::LOGO_LIGHT},
        {"lower middle tile", 19, 24, icon::LOGO_LIGHT}, {"lower right tile", 26, 24, icon::LOGO_ACCENT},
        {"gap between tiles", 15, 16, icon::LOGO_DARK},  {"gap above the small tiles", 20, 19, icon::LOGO_DARK},
        {"left margin", 2, 16, icon::LOGO_DARK},         {"left edge", 0, 16, icon::LOGO_DARK},
    };
    for (int size : icon::ICON_SIZES) {
        const icon::Image& image = logo(size);
        ASSERT_EQ(image.pixels.size(), static_cast<std::size_t>(size * size));
        for (const auto& p : probes) {
            SCOPED_TRACE(std::to_string(size) + " px, " + p.part);
            const icon::Rgba got = image.at(p.ux * size / 32, p.uy * size / 32);
            EXPECT_EQ(got.r, p.colour.r);
            EXPECT_EQ(got.g, p.colour.g);
            EXPECT_EQ(got.b, p.colour.b);
            EXPECT_EQ(got.a, 255);
        }
    }
}

// Without anti-aliasing the rounded corners would be staircases and edges
// that fall between pixels would snap to one side.
TEST(LogoRaster, CornersAreRoundedAndEdgesBlend) {
    for (int size : icon::ICON_SIZES) {
        SCOPED_TRACE(size);
        const icon::Image& image = logo(size);
        for (const auto& corner :
             {image.at(0, 0), image.at(size - 1, 0), image.at(0, size - 1), image.at(size - 1, size - 1)}) {
            EXPECT_LT(corner.a, 128);
        }
        int partial = 0;
        for (const auto& px : image.pixels) partial += (px.a > 0 && px.a < 255) ? 1 : 0;
        EXPECT_GT(partial, 0);
    }
    // At 24 px the tall tile's right edge (unit 14) falls on pixel 10.5.
    const icon::Rgba edge = logo(24).at(10, 12);
    EXPECT_EQ(edge.a, 255);
    EXPECT_GT(edge.r, icon::LOGO_DARK.r + 50);
    EXPECT_LT(edge.r, icon::LOGO_LIGHT.r - 50);
    // At 256 px the corner pixel lies outside the 48-pixel corner arc.
    EXPECT_EQ(logo(256).at(0, 0).a, 0);
}

}  // namespace
