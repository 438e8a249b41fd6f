#include "launcher/input.h"

#include <algorithm>

#include "launcher/geometry.h"
#include "launcher/search.h"
#include "text/unicode.h"

namespace launcher {
namespace {

void move_selection(LauncherState& state, std::uint16_t vk) {
    const std::size_t n = state.results.size();
    const std::size_t t = state.tiles.size();
    Selection& s = state.selection;
    if (s.area == SelectionArea::ResultList) {
        if (vk == win::KEY_ARROW_UP) {
            s.index = s.index == 0 ? 0 : s.index - 1;
        } else if (vk == win::KEY_ARROW_DOWN) {
            s = n > 0 && s.index + 1 < n ? Selection{SelectionArea::ResultList, s.index + 1}
                                         : Selection{SelectionArea::TileStrip, 0};
        }
        return;
    }
    switch (vk) {
        case win::KEY_ARROW_UP:
            if (n > 0) s = {SelectionArea::ResultList, n - 1};
            break;
        case win::KEY_ARROW_LEFT: s.index = s.index == 0 ? 0 : s.index - 1; break;
        case win::KEY_ARROW_RIGHT: s.index = std::min(s.index + 1, t); break;
        default: break;
    }
}

// A typed address is saved in one step; anything else asks for one.
LauncherCommand enter_on_add_tile(LauncherState& state) {
    if (auto app = apps::parse_web_address(state.query)) return LauncherCommand::save(std::move(*app));
    set_mode(state, LauncherMode::AddWebApp);
    return LauncherCommand::redraw();
}

std::optional<std::size_t> tile_at(const LauncherState& state, std::int32_t x, std::int32_t y) {
    for (std::size_t i = 0; i < state.tiles.size(); ++i) {
        if (tile_rect(i).contains(x, y)) return i;
    }
    return std::nullopt;
}

std::optional<Selection> selection_at(const LauncherState& state, std::int32_t x, std::int32_t y) {
    for (std::size_t r = 0; r < state.results.size(); ++r) {
        if (row_rect(r).contains(x, y)) return Selection{SelectionArea::ResultList, r};
    }
    if (auto i = tile_at(state, x, y)) return Selection{SelectionArea::TileStrip, *i};
    if (add_tile_rect(state.tiles.size()).contains(x, y)) {
        return Selection{SelectionArea::TileStrip, state.tiles.size()};
    }
    return std::nullopt;
}

bool is_control(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

}  // namespace

void set_mode(LauncherState& state, LauncherMode mode) {
    state.mode = mode;
    state.query.clear();
    state.error_line.reset();
    if (mode != LauncherMode::ConfirmRemove) state.pending_removal.reset();
    refresh_results(state);
}

LauncherCommand press_enter(LauncherState& state) {
    switch (state.mode) {
        case LauncherMode::AddWebApp:
            if (auto app = apps::parse_web_address(state.query)) return LauncherCommand::save(std::move(*app));
            state.error_line = NOT_A_WEB_ADDRESS;
            return LauncherCommand::redraw();
        case LauncherMode::ConfirmRemove:
            if (state.pending_removal) return LauncherCommand::remove(*state.pending_removal);
            return press_escape(state);
        case LauncherMode::Search: break;
    }
    const Selection s = state.selection;
    if (s.area == SelectionArea::ResultList) {
        if (s.index < state.results.size()) return LauncherCommand::launch(state.results[s.index]);
        return LauncherCommand::nothing();
    }
    if (s.index < state.tiles.size()) return LauncherCommand::launch(state.tiles[s.index]);
    return enter_on_add_tile(state);
}

LauncherCommand press_escape(LauncherState& state) {
    if (state.mode == LauncherMode::Search) return LauncherCommand::close();
    set_mode(state, LauncherMode::Search);
    return LauncherCommand::redraw();
}

LauncherCommand ask_removal(LauncherState& state, std::size_t index) {
    if (index >= state.tiles.size()) return LauncherCommand::nothing();
    state.pending_removal = state.tiles[index];
    set_mode(state, LauncherMode::ConfirmRemove);
    return LauncherCommand::redraw();
}

LauncherCommand key_down(LauncherState& state, std::uint16_t vk) {
    switch (vk) {
        case win::KEY_RETURN: return press_enter(state);
        case win::KEY_ESCAPE: return press_escape(state);
        case win::KEY_ARROW_LEFT:
        case win::KEY_ARROW_UP:
        case win::KEY_ARROW_RIGHT:
        case win::KEY_ARROW_DOWN:
            if (state.mode != LauncherMode::Search) return LauncherCommand::nothing();
            move_selection(state, vk);
            return LauncherCommand::redraw();
        case win::KEY_DELETE:
            if (state.mode != LauncherMode::Search || state.selection.area != SelectionArea::TileStrip) {
                return LauncherCommand::nothing();
            }
            return ask_removal(state, state.selection.index);
        default: return LauncherCommand::nothing();
    }
}

LauncherCommand type_char(LauncherState& state, std::uint16_t unit) {
    // A surrogate half alone is no character: nothing outside the Basic
    // Multilingual Plane can be typed.
    if (unit >= 0xD800 && unit <= 0xDFFF) return LauncherCommand::nothing();
    if (state.mode == LauncherMode::ConfirmRemove) return LauncherCommand::nothing();
    if (unit == 8) {
        if (state.query.empty()) return LauncherCommand::nothing();
        state.query.resize(state.query.size() - text::decode_before(state.query, state.query.size()).length);
    } else if (is_control(unit)) {
        // Tab, Ctrl+letter and Ctrl+Backspace arrive as control characters; there is no paste.
        return LauncherCommand::nothing();
    } else {
        text::append_utf8(state.query, unit);
    }
    state.error_line.reset();
    if (state.mode == LauncherMode::Search) refresh_results(state);
    return LauncherCommand::redraw();
}

bool update_hover(LauncherState& state, std::int32_t x, std::int32_t y) {
    const auto before = state.hovered_tile;
    const bool remove_before = state.remove_hovered;
    const auto tile = tile_at(state, x, y);
    if (tile && state.mode == LauncherMode::Search) {
        state.hovered_tile = tile;
        state.remove_hovered = remove_circle_rect(*tile).contains(x, y);
    } else {
        state.hovered_tile.reset();
        state.remove_hovered = false;
    }
    return state.remove_hovered != remove_before || state.hovered_tile != before;
}

bool leave_window(LauncherState& state) {
    const bool was_hovered = state.hovered_tile.has_value();
    state.hovered_tile.reset();
    state.remove_hovered = false;
    state.tracking_mouse = false;
    return was_hovered;
}

LauncherCommand click(LauncherState& state, std::int32_t x, std::int32_t y) {
    if (state.mode == LauncherMode::ConfirmRemove) {
        if (REMOVE_BUTTON.contains(x, y)) return press_enter(state);
        if (KEEP_BUTTON.contains(x, y)) return press_escape(state);
        return LauncherCommand::nothing();
    }
    update_hover(state, x, y);
    if (state.hovered_tile && state.remove_hovered) return ask_removal(state, *state.hovered_tile);
    if (state.mode == LauncherMode::AddWebApp) return LauncherCommand::nothing();
    const auto selected = selection_at(state, x, y);
    if (!selected) return LauncherCommand::nothing();
    state.selection = *selected;
    return press_enter(state);
}

}  // namespace launcher
