// What the launcher makes of keys, typed characters and the mouse. Every
// operation here only changes the state and says what is to be done next;
// carrying that out (hiding, launching, writing the web-app file) is
// execute_command's, so none of this can be re-entered by the window.
#pragma once

#include <cstdint>
#include <utility>

#include "apps/catalogue.h"
#include "apps/web_address.h"
#include "launcher/state.h"
#include "win/numbers.h"

namespace launcher {

// The result of a key press or a click.
struct LauncherCommand {
    enum class Kind { Nothing = 0, Redraw = 1, Close = 2, Launch = 3, SaveWebApp = 4, RemoveWebApp = 5 };
    Kind kind = Kind::Nothing;
    apps::LauncherItem item;  // Launch, RemoveWebApp
    apps::WebApp web_app;     // SaveWebApp

    static LauncherCommand nothing() { return {}; }
    static LauncherCommand redraw() { return {Kind::Redraw, {}, {}}; }
    static LauncherCommand close() { return {Kind::Close, {}, {}}; }
    static LauncherCommand launch(apps::LauncherItem i) { return {Kind::Launch, std::move(i), {}}; }
    static LauncherCommand save(apps::WebApp w) { return {Kind::SaveWebApp, {}, std::move(w)}; }
    static LauncherCommand remove(apps::LauncherItem i) { return {Kind::RemoveWebApp, std::move(i), {}}; }
    friend bool operator==(const LauncherCommand&, const LauncherCommand&) = default;
};

inline constexpr const char* NOT_A_WEB_ADDRESS = "That does not look like a web address.";

// Empties the query, clears the error line (and the pending removal unless
// asking for one), and recomputes results and selection.
void set_mode(LauncherState& state, LauncherMode mode);

LauncherCommand press_enter(LauncherState& state);
LauncherCommand press_escape(LauncherState& state);
// Asks whether tile `index` is to be removed; nothing for the Add tile.
LauncherCommand ask_removal(LauncherState& state, std::size_t index);

// WM_KEYDOWN by virtual key.
LauncherCommand key_down(LauncherState& state, std::uint16_t vk);

// WM_CHAR with one UTF-16 unit: Redraw when the query changed.
LauncherCommand type_char(LauncherState& state, std::uint16_t unit);

// Finds the tile under the pointer (design units); true when what is hovered
// changed in a way that shows.
bool update_hover(LauncherState& state, std::int32_t x, std::int32_t y);

// The pointer left the window: true when a hovered tile has to be redrawn.
bool leave_window(LauncherState& state);

// WM_LBUTTONUP at a point in design units.
LauncherCommand click(LauncherState& state, std::int32_t x, std::int32_t y);

}  // namespace launcher
