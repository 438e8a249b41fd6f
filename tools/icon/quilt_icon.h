// Draws the program's logo and packs it into the .ico that the executable
// carries as icon group 1. Everything here is integer arithmetic, so the same
// source produces the same bytes on every machine and in every build type:
// the host tests compare the output with the committed res/quilt.ico.
#pragma once

#include <cstdint>
#include <vector>

namespace icon {

// The sizes of the images in the icon file, smallest first.
inline constexpr int ICON_SIZES[] = {16, 24, 32, 48, 64, 256};

struct Rgba {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 0;
    friend bool operator==(const Rgba&, const Rgba&) = default;
};

// A square picture, rows top to bottom, straight (not premultiplied) alpha.
struct Image {
    int size = 0;
    std::vector<Rgba> pixels;
    const Rgba& at(int x, int y) const { return pixels[static_cast<std::size_t>(y * size + x)]; }
};

inline constexpr Rgba LOGO_DARK = {34, 41, 35, 255};
inline constexpr Rgba LOGO_LIGHT = {248, 244, 227, 255};
inline constexpr Rgba LOGO_ACCENT = {181, 245, 59, 255};

// The logo at size x size pixels on a transparent background. Each pixel is
// the average of 16 x 16 point samples, which is what keeps the edges smooth.
Image render_logo(int size);

// A PNG file (8-bit RGBA, no interlace) of the image.
std::vector<std::uint8_t> encode_png(const Image& image);

// An .ico file holding the given PNG files, each with its square size.
struct IconImage {
    int size = 0;
    std::vector<std::uint8_t> png;
};
std::vector<std::uint8_t> build_ico(const std::vector<IconImage>& images);

// The whole res/quilt.ico: the logo at every size of ICON_SIZES.
std::vector<std::uint8_t> make_quilt_ico();

}  // namespace icon
