// What the launcher window draws, as a display list: the search box with its
// caret, then by mode the result rows and the web-app tiles, the hints for
// adding a web app, or the removal question with its two buttons. Every
// place comes from geometry.h, where the mouse is tested too.
#pragma once

#include <string>
#include <string_view>

#include "apps/catalogue.h"
#include "launcher/state.h"
#include "paint/paint.h"

namespace launcher {

// The query line 18 px regular, names and hints 15 px regular; badges, tile
// captions, buttons and letter tiles 12 px semibold.
inline constexpr paint::FontSet LAUNCHER_FONTS{{18, false}, {15, false}, {12, true}};

// The letters of a letter tile: the upper-case form of the name's first
// letter or digit ('ß' gives "SS"); empty when the name has none.
std::string tile_letters(std::string_view name);

// Draws the whole window below the background, at the painter's DPI. An
// entry whose icon has arrived gets its image; the others a letter tile (the
// logo for "Edit web apps"). With an icon thread, painting an entry asks for
// its icon when that was never asked for: the state changes only there.
void paint_launcher(paint::Painter& painter, LauncherState& state);

}  // namespace launcher
