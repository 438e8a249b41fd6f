#include "daemon/overlay.h"

#include "daemon/shortcut_list.h"
#include "win/window_ops.h"

namespace quilt_daemon {

using paint::PixelRect;
using paint::scale;
using paint::TextFormat;

namespace {

// Design units of the panel's layout.
constexpr std::int32_t MARGIN = 28;
constexpr std::int32_t LOGO = 22;
constexpr std::int32_t TITLE_OFFSET = 32;
constexpr std::int32_t HEADER_GAP = 26;
constexpr std::int32_t HEADING_HEIGHT = 26;
constexpr std::int32_t SECTION_GAP = 14;
constexpr std::int32_t ROW_HEIGHT = 34;
constexpr std::int32_t CAP_HEIGHT = 24;
constexpr std::int32_t CAP_INSET = 9;
constexpr std::int32_t CAP_RADIUS = 6;
constexpr std::int32_t CAP_GAP = 5;

// The description at the left margin; the keys as a right-aligned run of
// caps, the first key leftmost.
void paint_row(paint::Painter& painter, const ShortcutRow& row, std::int32_t left, std::int32_t right, std::int32_t y) {
    const std::uint32_t dpi = painter.dpi;
    paint::draw_text(painter, paint::FontSlot::Body, row.description, paint::PALETTE.text, TextFormat::Left,
                     {left, y, right, y + scale(ROW_HEIGHT, dpi)});
    const std::int32_t top = y + (scale(ROW_HEIGHT, dpi) - scale(CAP_HEIGHT, dpi)) / 2;
    const std::int32_t bottom = top + scale(CAP_HEIGHT, dpi);
    std::int32_t x = right;
    for (auto key = row.keys.rbegin(); key != row.keys.rend(); ++key) {
        const std::int32_t width = paint::text_width(painter, paint::FontSlot::Small, *key);
        const std::int32_t cap_left = x - 2 * scale(CAP_INSET, dpi) - width;
        const PixelRect cap{cap_left, top, x, bottom};
        paint::draw_chip(painter, cap, scale(CAP_RADIUS, dpi));
        paint::draw_text(painter, paint::FontSlot::Small, *key, paint::PALETTE.text_soft, TextFormat::Center, cap);
        x = cap_left - scale(CAP_GAP, dpi);
    }
}

}  // namespace

std::int32_t overlay_height() {
    std::int32_t height = 2 * MARGIN + LOGO + HEADER_GAP - SECTION_GAP;
    for (const ShortcutSection& section : shortcut_sections()) {
        height += SECTION_GAP + HEADING_HEIGHT + ROW_HEIGHT * static_cast<std::int32_t>(section.rows.size());
    }
    return height;
}

void paint_overlay(paint::Painter& painter, PixelRect client) {
    const std::uint32_t dpi = painter.dpi;
    const std::int32_t pad = scale(MARGIN, dpi);
    const std::int32_t right = client.right - pad;
    const std::int32_t title_bottom = pad + scale(LOGO, dpi);

    paint::draw_logo(painter, pad, pad, scale(LOGO, dpi));
    paint::draw_spaced_heading(painter, "QUILT", TextFormat::Left,
                               {pad + scale(TITLE_OFFSET, dpi), pad, right, title_bottom});
    paint::draw_spaced_heading(painter, "RELEASE WIN TO CLOSE", TextFormat::Right, {pad, pad, right, title_bottom});
    // Half-way down the header gap, and one pixel high at every DPI.
    const std::int32_t separator = title_bottom + static_cast<std::int32_t>(dpi) * HEADER_GAP / 192;
    paint::fill_rect(painter, {pad, separator, right, separator + 1}, paint::PALETTE.separator);

    std::int32_t y = title_bottom + scale(HEADER_GAP, dpi);
    bool first = true;
    for (const ShortcutSection& section : shortcut_sections()) {
        if (!first) y += scale(SECTION_GAP, dpi);
        first = false;
        paint::draw_spaced_heading(painter, section.heading, TextFormat::Left,
                                   {pad, y, right, y + scale(HEADING_HEIGHT, dpi)});
        y += scale(HEADING_HEIGHT, dpi);
        for (const ShortcutRow& row : section.rows) {
            paint_row(painter, row, pad, right, y);
            y += scale(ROW_HEIGHT, dpi);
        }
    }
}

void show_overlay_window(win::Platform& p, win::Hwnd overlay) {
    if (!overlay) return;
    const auto work = win::work_area_of_window(p, p.foreground_window());
    if (!work) return;
    // Moving the hidden window onto the monitor first gives it that monitor's DPI.
    const std::int32_t design_height = overlay_height();
    (void)p.set_window_pos_topmost(overlay, work->left, work->top, OVERLAY_WIDTH, design_height, win::POS_NOACTIVATE);
    const std::uint32_t dpi = p.dpi_for_window(overlay);
    const std::int32_t width = scale(OVERLAY_WIDTH, dpi);
    const std::int32_t height = scale(design_height, dpi);
    const std::int32_t x = work->left + (work->width - width) / 2;
    const std::int32_t y = work->top + (work->height - height) / 2;
    (void)p.set_window_pos_topmost(overlay, x, y, width, height, win::POS_SHOWWINDOW | win::POS_NOACTIVATE);
    p.invalidate_window(overlay);
}

void hide_overlay_window(win::Platform& p, win::Hwnd overlay) {
    if (overlay) p.show_window(overlay, win::SHOW_HIDE);
}

win::Hwnd overlay_or_report(win::Platform& p, const win::Result<win::Hwnd>& made) {
    if (made) return made.value();
    p.write_err(win::failure_line("The shortcut list is unavailable", made.error().message));
    return win::Hwnd{};
}

}  // namespace quilt_daemon
