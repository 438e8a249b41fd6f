// The painting toolkit of the program's own popup windows (the launcher and
// the shortcut overlay). A paint first computes, as plain data, what it will
// draw: a short list of drawing operations in physical pixels, made from the
// window's DPI and a text-measuring function. A thin GDI/GDI+ executor
// (paint_win32.h) then runs that list inside the paint cycle. Keeping the
// geometry here lets the host tests check every rectangle and colour without
// a device context.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "win/types.h"

namespace paint {

// A Windows COLORREF, 0x00BBGGRR.
using Colour = std::uint32_t;

// The colours of both windows. They are fields of one record, not constants
// of their own, because <windows.h> defines COLOR_* macros that would take
// the place of such names.
struct Palette {
    Colour background = 0x181311;
    Colour surface = 0x2B221E;
    Colour line = 0x483B35;
    Colour separator = 0x332A26;
    Colour text = 0xE3DCD9;
    Colour text_soft = 0xE0C7B9;
    Colour muted = 0x8C7A6F;
    Colour accent = 0x3BF5B5;
    Colour danger = 0x4A4AD0;
    Colour window_border = 0x40342F;
    Colour logo_dark = 0x232922;
    Colour logo_light = 0xE3F4F8;
};
inline constexpr Palette PALETTE{};

// GDI+ wants opaque ARGB: alpha 0xFF and the red and blue bytes swapped.
constexpr std::uint32_t argb(Colour c) {
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

// Both windows are designed in 96-DPI units; every length, position and font
// height goes through this one rule (integer, truncating toward zero).
constexpr std::int32_t scale(std::int32_t design, std::uint32_t dpi) {
    return design * static_cast<std::int32_t>(dpi) / 96;
}

// Mouse coordinates the other way, so hit tests happen in design units.
constexpr std::int32_t unscale(std::int32_t physical, std::uint32_t dpi) {
    return physical * 96 / static_cast<std::int32_t>(dpi == 0 ? 1 : dpi);
}

// An integer rectangle as GDI takes it: left, top, right, bottom.
using PixelRect = win::Edges;

// A rounded rectangle for GDI+. Every rounded shape of both windows is one.
struct RoundedBox {
    float x = 0;
    float y = 0;
    float width = 0;
    float height = 0;
    float radius = 0;
    friend bool operator==(const RoundedBox&, const RoundedBox&) = default;
};

// Inset by half a pixel and shrunk by one, so that a one-pixel outline stays
// inside the integer rectangle.
RoundedBox rounded_box(PixelRect rect, std::int32_t radius);

// The three fonts made for every paint; which one a text uses.
enum class FontSlot { Heading, Body, Small };

struct FontSpec {
    std::int32_t design_height = 0;  // character height in 96-DPI pixels
    bool semibold = false;
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

struct FontSet {
    FontSpec heading;
    FontSpec body;
    FontSpec small;
    friend bool operator==(const FontSet&, const FontSet&) = default;
};

// Horizontal placement of a one-line text (the DrawText DT_ values).
enum class TextFormat : std::uint32_t { Left = 0, Center = 1, Right = 2 };

// --- Drawing operations ------------------------------------------------------
// Coordinates are physical pixels; colours are COLORREFs. The names keep clear
// of <windows.h>, whose DrawText and FillRect would shadow them.

struct RectFill {
    PixelRect rect;
    Colour colour = 0;
    friend bool operator==(const RectFill&, const RectFill&) = default;
};

// One line, vertically centred, "&" drawn as itself, an ellipsis when it does
// not fit. character_extra is the extra spacing between letters in pixels.
struct TextRun {
    std::string text;
    Colour colour = 0;
    FontSlot font = FontSlot::Body;
    TextFormat format = TextFormat::Left;
    PixelRect rect;
    std::int32_t character_extra = 0;
    friend bool operator==(const TextRun&, const TextRun&) = default;
};

// A rounded rectangle filled with PALETTE.surface and outlined with PALETTE.line.
struct Chip {
    PixelRect rect;
    std::int32_t radius = 0;
    friend bool operator==(const Chip&, const Chip&) = default;
};

struct RoundedFill {
    RoundedBox box;
    Colour colour = 0;
    friend bool operator==(const RoundedFill&, const RoundedFill&) = default;
};

// A one-pixel outline.
struct RoundedOutline {
    RoundedBox box;
    Colour colour = 0;
    friend bool operator==(const RoundedOutline&, const RoundedOutline&) = default;
};

// The program's logo in a size x size square; see logo_parts.
struct Logo {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t size = 0;
    friend bool operator==(const Logo&, const Logo&) = default;
};

// An image that the window keeps for the process (an app or site icon),
// scaled into the rectangle.
struct Image {
    win::ImageHandle image;
    PixelRect rect;
    friend bool operator==(const Image&, const Image&) = default;
};

using PaintOp = std::variant<RectFill, TextRun, Chip, RoundedFill, RoundedOutline, Logo, Image>;

// Everything one paint draws, in order.
struct DisplayList {
    std::vector<PaintOp> ops;
};

// Width in pixels of a non-empty text in one of the paint's fonts.
using MeasureText = std::function<std::int32_t(FontSlot, std::string_view)>;

// The context of one paint while its list is being built.
struct Painter {
    std::uint32_t dpi = 96;
    MeasureText measure;
    DisplayList list;
};

// --- Building a list -----------------------------------------------------------

// 0 for empty text, without asking the measurer.
std::int32_t text_width(Painter& painter, FontSlot font, std::string_view text);

void fill_rect(Painter& painter, PixelRect rect, Colour colour);
// Empty text adds nothing.
void draw_text(Painter& painter, FontSlot font, std::string_view text, Colour colour, TextFormat format,
               PixelRect rect);
// A heading: heading font, PALETTE.muted, letters spaced by dpi * 2 / 96.
void draw_spaced_heading(Painter& painter, std::string_view text, TextFormat format, PixelRect rect);
void draw_chip(Painter& painter, PixelRect rect, std::int32_t radius);
void fill_rounded(Painter& painter, RoundedBox box, Colour colour);
void outline_rounded(Painter& painter, RoundedBox box, Colour colour);
void draw_logo(Painter& painter, std::int32_t x, std::int32_t y, std::int32_t size);
void draw_image(Painter& painter, win::ImageHandle image, PixelRect rect);

// The logo on its 32 x 32 unit grid, back to front: a dark rounded square
// with a tiled layout in miniature on it. The executable's icon
// (tools/icon) is drawn from the same table.
struct LogoUnit {
    std::int32_t x, y, width, height, radius;
    Colour colour;
};
inline constexpr std::int32_t LOGO_GRID = 32;
inline constexpr std::array<LogoUnit, 5> LOGO_UNITS{{
    {0, 0, 32, 32, 6, PALETTE.logo_dark},    // square
    {4, 4, 10, 24, 1, PALETTE.logo_light},   // tall left tile
    {16, 4, 12, 14, 1, PALETTE.logo_light},  // upper right tile
    {16, 20, 6, 8, 1, PALETTE.logo_light},   // lower middle tile
    {24, 20, 4, 8, 1, PALETTE.accent},       // lower right tile
}};

// The logo's five rounded parts at (x, y) in a size x size square, in
// drawing order.
struct LogoPart {
    RoundedBox box;
    Colour colour = 0;
    friend bool operator==(const LogoPart&, const LogoPart&) = default;
};
std::array<LogoPart, 5> logo_parts(std::int32_t x, std::int32_t y, std::int32_t size);

}  // namespace paint
