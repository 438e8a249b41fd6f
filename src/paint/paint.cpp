#include "paint/paint.h"

namespace paint {

RoundedBox rounded_box(PixelRect rect, std::int32_t radius) {
    return RoundedBox{static_cast<float>(rect.left) + 0.5f, static_cast<float>(rect.top) + 0.5f,
                      static_cast<float>(rect.right - rect.left - 1), static_cast<float>(rect.bottom - rect.top - 1),
                      static_cast<float>(radius)};
}

std::int32_t text_width(Painter& painter, FontSlot font, std::string_view text) {
    return text.empty() ? 0 : painter.measure(font, text);
}

void fill_rect(Painter& painter, PixelRect rect, Colour colour) { painter.list.ops.push_back(RectFill{rect, colour}); }

void draw_text(Painter& painter, FontSlot font, std::string_view text, Colour colour, TextFormat format,
               PixelRect rect) {
    if (text.empty()) return;
    painter.list.ops.push_back(TextRun{std::string(text), colour, font, format, rect, 0});
}

void draw_spaced_heading(Painter& painter, std::string_view text, TextFormat format, PixelRect rect) {
    if (text.empty()) return;
    const auto extra = static_cast<std::int32_t>(painter.dpi) * 2 / 96;
    painter.list.ops.push_back(TextRun{std::string(text), PALETTE.muted, FontSlot::Heading, format, rect, extra});
}

void draw_chip(Painter& painter, PixelRect rect, std::int32_t radius) {
    painter.list.ops.push_back(Chip{rect, radius});
}

void fill_rounded(Painter& painter, RoundedBox box, Colour colour) {
    painter.list.ops.push_back(RoundedFill{box, colour});
}

void outline_rounded(Painter& painter, RoundedBox box, Colour colour) {
    painter.list.ops.push_back(RoundedOutline{box, colour});
}

void draw_logo(Painter& painter, std::int32_t x, std::int32_t y, std::int32_t size) {
    painter.list.ops.push_back(Logo{x, y, size});
}

void draw_image(Painter& painter, win::ImageHandle image, PixelRect rect) {
    painter.list.ops.push_back(Image{image, rect});
}

std::array<LogoPart, 5> logo_parts(std::int32_t x, std::int32_t y, std::int32_t size) {
    const float s = static_cast<float>(size) / static_cast<float>(LOGO_GRID);
    auto at = [s](std::int32_t origin, std::int32_t units) {
        return static_cast<float>(origin) + static_cast<float>(units) * s;
    };
    auto len = [s](std::int32_t units) { return static_cast<float>(units) * s; };
    std::array<LogoPart, 5> parts{};
    for (std::size_t i = 0; i < LOGO_UNITS.size(); ++i) {
        const LogoUnit& u = LOGO_UNITS[i];
        parts[i] = LogoPart{RoundedBox{at(x, u.x), at(y, u.y), len(u.width), len(u.height), len(u.radius)}, u.colour};
    }
    return parts;
}

}  // namespace paint
