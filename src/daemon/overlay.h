// The shortcut overlay: the panel that lists every shortcut while the Windows
// key is held. What it draws and where it goes are decided here; the window
// itself and its paint cycle live in overlay_win32.
#pragma once

#include <cstdint>

#include "paint/paint.h"
#include "win/platform.h"

namespace quilt_daemon {

// Design size in 96-DPI units; the window is made that many physical pixels
// and resized for its monitor's DPI on every show. The height is what the
// shortcut list takes, so a new line of it grows the panel.
inline constexpr std::int32_t OVERLAY_WIDTH = 560;
std::int32_t overlay_height();

// Headings 12 px semibold, descriptions 15 px regular, key caps 13 px semibold.
inline constexpr paint::FontSet OVERLAY_FONTS{{12, true}, {15, false}, {13, true}};

// Draws the logo, the title line, the separator and every section of the
// shortcut list into a client area of the window's DPI.
void paint_overlay(paint::Painter& painter, paint::PixelRect client);

// Centres the overlay on the work area of the foreground window's monitor at
// that monitor's DPI and shows it without taking the focus. A null window
// (the overlay could not be made) does nothing.
void show_overlay_window(win::Platform& p, win::Hwnd overlay);
void hide_overlay_window(win::Platform& p, win::Hwnd overlay);

// The overlay window that start-up made, or a null handle after one line on
// standard error: the daemon runs on without the list.
win::Hwnd overlay_or_report(win::Platform& p, const win::Result<win::Hwnd>& made);

}  // namespace quilt_daemon
