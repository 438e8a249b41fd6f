// What the launcher window draws, as a display list: the search box with its
// caret, then by mode the result rows and the web-app tiles, the hints for
// adding a web app, or the removal question with its two buttons. Every
// place comes from geometry.h, where the mouse is tested too.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "apps/catalogue.h"
#include "launcher/paint.h"
#include "launcher/state.h"

namespace launcher {

// The query line 18 px regular, names and hints 15 px regular; badges, tile
// captions, buttons and letter tiles 12 px semibold.
inline constexpr FontSet LAUNCHER_FONTS{{18, false}, {15, false}, {12, true}};

// The key under which the icon thread delivers an item's icon: "app:" and
// the app id, or "site:" and the host of a web app's address. Nothing for
// "Edit web apps" and for an address without a usable host.
std::optional<std::string> icon_key(const apps::LauncherItem& item);

// Whether an icon image is ready to be drawn for a key.
using IconReady = std::function<bool(const std::string& key)>;

// The letters of a letter tile: the upper-case form of the name's first
// letter or digit ('ß' gives "SS"); empty when the name has none.
std::string tile_letters(std::string_view name);

// Draws the whole window below the background, at the painter's DPI. Items
// whose icon is ready get an image; the others a letter tile (the logo for
// "Edit web apps").
void paint_launcher(Painter& painter, const LauncherState& state, const IconReady& icon_ready = {});

}  // namespace launcher
