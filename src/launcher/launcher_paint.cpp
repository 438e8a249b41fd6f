#include "launcher/launcher_paint.h"

#include <algorithm>
#include <utility>

#include "icons/icon_book.h"
#include "launcher/geometry.h"
#include "text/unicode.h"

namespace launcher {

using paint::Colour;
using paint::draw_chip;
using paint::draw_image;
using paint::draw_logo;
using paint::draw_text;
using paint::fill_rect;
using paint::fill_rounded;
using paint::FontSlot;
using paint::outline_rounded;
using paint::Painter;
using paint::PALETTE;
using paint::PixelRect;
using paint::rounded_box;
using paint::RoundedBox;
using paint::scale;
using paint::text_width;
using paint::TextFormat;

namespace {

using apps::ItemKind;

PixelRect scaled(const DesignRect& r, std::uint32_t dpi) {
    return {scale(r.left, dpi), scale(r.top, dpi), scale(r.right, dpi), scale(r.bottom, dpi)};
}

const char* badge_label(ItemKind kind) {
    switch (kind) {
        case ItemKind::App: return "App";
        case ItemKind::Web: return "Web";
        case ItemKind::EditWebApps: return "Quilt";
    }
    return "";
}

const char* placeholder(LauncherMode mode) {
    switch (mode) {
        case LauncherMode::Search: return "Search apps and web apps";
        case LauncherMode::AddWebApp: return "Web address, or Name = address";
        case LauncherMode::ConfirmRemove: return "";
    }
    return "";
}

void draw_item_icon(Painter& painter, LauncherState& state, const apps::LauncherItem& item, std::int32_t x,
                    std::int32_t y, std::int32_t size) {
    const PixelRect square{x, y, x + size, y + size};
    if (state.icon_queues) {
        icons::IconChoice choice = icons::choose_icon(state.icon_book, item);
        if (choice.request) state.icon_queues->request(std::move(*choice.request));
        if (choice.image) {
            draw_image(painter, *choice.image, square);
            return;
        }
    }
    if (item.kind == ItemKind::EditWebApps) {
        draw_logo(painter, x, y, size);
        return;
    }
    draw_chip(painter, square, size / 4);
    draw_text(painter, FontSlot::Small, tile_letters(item.name), PALETTE.muted, TextFormat::Center, square);
}

void draw_tile_highlight(Painter& painter, PixelRect tile, bool selected) {
    if (selected)
        fill_rounded(painter, rounded_box(tile, static_cast<std::int32_t>(painter.dpi) * 8 / 96), PALETTE.surface);
}

void draw_tile_label(Painter& painter, PixelRect tile, std::string_view caption, bool selected) {
    const auto dpi = static_cast<std::int32_t>(painter.dpi);
    const std::int32_t top = tile.top + scale(50, painter.dpi);
    draw_text(painter, FontSlot::Small, caption, selected ? PALETTE.text : PALETTE.text_soft, TextFormat::Center,
              {tile.left + dpi * 8 / 192, top, tile.right + dpi * 8 / -192, top + scale(20, painter.dpi)});
}

void draw_button(Painter& painter, const DesignRect& design, std::string_view caption, bool filled) {
    const PixelRect r = scaled(design, painter.dpi);
    const RoundedBox box = rounded_box(r, scale(6, painter.dpi));
    if (filled) {
        fill_rounded(painter, box, PALETTE.danger);
    } else {
        outline_rounded(painter, box, PALETTE.line);
    }
    draw_text(painter, FontSlot::Small, caption, PALETTE.text, TextFormat::Center, r);
}

void paint_search_box(Painter& painter, const LauncherState& state) {
    const std::uint32_t dpi = painter.dpi;
    draw_chip(painter, scaled(SEARCH_BOX, dpi), scale(8, dpi));
    const PixelRect text_rect = scaled(QUERY_TEXT, dpi);
    if (!state.query.empty()) {
        draw_text(painter, FontSlot::Heading, state.query, PALETTE.text, TextFormat::Left, text_rect);
    } else {
        draw_text(painter, FontSlot::Heading, placeholder(state.mode), PALETTE.muted, TextFormat::Left, text_rect);
    }
    // Drawn without blinking, and kept inside the box when the text ends in an ellipsis.
    const std::int32_t x = text_rect.left + text_width(painter, FontSlot::Heading, state.query);
    fill_rect(
        painter,
        {std::min(x, text_rect.right), scale(32, dpi), std::min(x + scale(2, dpi), text_rect.right), scale(52, dpi)},
        PALETTE.accent);
}

void paint_row(Painter& painter, LauncherState& state, std::size_t r) {
    const apps::LauncherItem& item = state.results[r];
    const bool selected = state.selection == Selection{SelectionArea::ResultList, r};
    const std::uint32_t dpi = painter.dpi;
    const PixelRect row = scaled(row_rect(r), dpi);
    if (selected) fill_rounded(painter, rounded_box(row, scale(6, dpi)), PALETTE.surface);

    const char* label = badge_label(item.kind);
    const std::int32_t label_width = text_width(painter, FontSlot::Small, label);
    const std::int32_t badge_top = (row.top + row.bottom - scale(22, dpi)) / 2;
    const PixelRect badge{row.right - 2 * scale(8, dpi) - label_width - scale(14, dpi), badge_top,
                          scale(QUERY_TEXT.right, dpi), badge_top + scale(22, dpi)};
    outline_rounded(painter, rounded_box(badge, scale(6, dpi)), PALETTE.line);
    draw_text(painter, FontSlot::Small, label, PALETTE.muted, TextFormat::Center, badge);

    const std::int32_t icon_left = scale(34, dpi);
    const std::int32_t icon_size = scale(20, dpi);
    draw_item_icon(painter, state, item, icon_left, (row.top + row.bottom - icon_size) / 2, icon_size);
    draw_text(painter, FontSlot::Body, item.name, selected ? PALETTE.text : PALETTE.text_soft, TextFormat::Left,
              {icon_left + icon_size + scale(12, dpi), row.top, badge.left - scale(14, dpi), row.bottom});
}

void paint_remove_circle(Painter& painter, std::size_t i, bool hovered) {
    const std::uint32_t dpi = painter.dpi;
    const PixelRect circle = scaled(remove_circle_rect(i), dpi);
    const RoundedBox box = rounded_box(circle, (circle.right - circle.left) / 2);
    fill_rounded(painter, box, hovered ? PALETTE.danger : PALETTE.background);
    outline_rounded(painter, box, hovered ? PALETTE.danger : PALETTE.line);
    const std::int32_t left = (circle.left + circle.right - scale(8, dpi)) / 2;
    const std::int32_t top = (circle.top + circle.bottom - scale(2, dpi)) / 2;
    fill_rect(painter, {left, top, left + scale(8, dpi), top + scale(2, dpi)}, PALETTE.text);
}

void paint_add_tile(Painter& painter, std::size_t tile_count, bool selected) {
    const std::uint32_t dpi = painter.dpi;
    const auto d = static_cast<std::int32_t>(dpi);
    const PixelRect tile = scaled(add_tile_rect(tile_count), dpi);
    draw_tile_highlight(painter, tile, selected);
    const std::int32_t size = scale(32, dpi);
    const std::int32_t left = (tile.left + tile.right - size) / 2;
    const std::int32_t top = scale(324, dpi);
    outline_rounded(painter, rounded_box({left, top, left + size, top + size}, d * 32 / 384), PALETTE.line);
    const std::int32_t cx = left + d * 32 / 192;
    const std::int32_t cy = top + d * 32 / 192;
    for (const auto& [w, h] : {std::pair{scale(12, dpi), scale(2, dpi)}, std::pair{scale(2, dpi), scale(12, dpi)}}) {
        fill_rect(painter, {cx - w / 2, cy - h / 2, cx - w / 2 + w, cy - h / 2 + h}, PALETTE.accent);
    }
    draw_tile_label(painter, tile, tile_count == 0 ? "Add web app" : "Add", selected);
}

void paint_search(Painter& painter, LauncherState& state) {
    const std::uint32_t dpi = painter.dpi;
    const Selection& s = state.selection;
    if (state.results.empty()) {
        const DesignRect first = row_rect(0);
        draw_text(painter, FontSlot::Body, "Nothing matches", PALETTE.muted, TextFormat::Left,
                  scaled({QUERY_TEXT.left, first.top, first.right, first.bottom}, dpi));
    }
    for (std::size_t r = 0; r < state.results.size(); ++r) paint_row(painter, state, r);
    fill_rect(painter, scaled({20, 302, 540, 303}, dpi), PALETTE.separator);

    for (std::size_t i = 0; i < state.tiles.size(); ++i) {
        const PixelRect tile = scaled(tile_rect(i), dpi);
        const bool selected = s == Selection{SelectionArea::TileStrip, i};
        draw_tile_highlight(painter, tile, selected);
        const std::int32_t size = scale(32, dpi);
        draw_item_icon(painter, state, state.tiles[i], (tile.left + tile.right - size) / 2, scale(324, dpi), size);
        draw_tile_label(painter, tile, state.tiles[i].name, selected);
        if (state.hovered_tile == i) paint_remove_circle(painter, i, state.remove_hovered);
    }
    paint_add_tile(painter, state.tiles.size(), s == Selection{SelectionArea::TileStrip, state.tiles.size()});
}

// Lines of text under the box, one row's height each.
void draw_line(Painter& painter, std::size_t k, std::string_view text, Colour colour) {
    const DesignRect row = row_rect(k);
    draw_text(painter, FontSlot::Body, text, colour, TextFormat::Left,
              scaled({QUERY_TEXT.left, row.top, row.right, row.bottom}, painter.dpi));
}

void paint_add_web_app(Painter& painter, const LauncherState& state) {
    std::size_t k = 0;
    if (state.error_line) draw_line(painter, k++, *state.error_line, PALETTE.text);
    draw_line(painter, k++, "Type the address of a site and press Enter to add it as a web app.", PALETTE.muted);
    draw_line(painter, k++, "To choose its name, type it first:  Mail = mail.google.com", PALETTE.muted);
    draw_line(painter, k, "Esc goes back.", PALETTE.muted);
}

void paint_confirm_remove(Painter& painter, const LauncherState& state) {
    if (!state.pending_removal) return;
    draw_line(painter, 0, "Remove " + state.pending_removal->name + " from your web apps?", PALETTE.text);
    draw_line(painter, 1, "Enter removes it. Esc keeps it.", PALETTE.muted);
    draw_button(painter, REMOVE_BUTTON, "Remove", true);
    draw_button(painter, KEEP_BUTTON, "Keep", false);
}

}  // namespace

std::string tile_letters(std::string_view name) {
    for (std::size_t i = 0; i < name.size();) {
        const text::Decoded d = text::decode_at(name, i);
        if (d.valid && text::is_word_char(d.code)) return text::to_upper(name.substr(i, d.length));
        i += d.length;
    }
    return {};
}

void paint_launcher(Painter& painter, LauncherState& state) {
    paint_search_box(painter, state);
    switch (state.mode) {
        case LauncherMode::Search: paint_search(painter, state); break;
        case LauncherMode::AddWebApp: paint_add_web_app(painter, state); break;
        case LauncherMode::ConfirmRemove: paint_confirm_remove(painter, state); break;
    }
}

}  // namespace launcher
