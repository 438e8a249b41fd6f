// Runs a display list (paint.h) with GDI and GDI+ inside one WM_PAINT. Every
// GDI and GDI+ object is made and destroyed within the paint; nothing is kept
// between paints.
#pragma once

#include <windows.h>
// needs the types of windows.h; objidl.h gives GDI+ the PROPID that WIN32_LEAN_AND_MEAN leaves out
#include <objidl.h>
// needs both
#include <gdiplus.h>

#include <functional>

#include "paint/paint.h"

namespace paint {

// Starts GDI+ for the rest of the process; it is never shut down. Call it
// once, before the first popup window paints.
void start_gdiplus();

// Adds what the window shows to a painter whose list already fills the client
// area with PALETTE.background.
using PaintContent = std::function<void(Painter& painter, PixelRect client)>;

// The paint cycle of both popups, for WM_PAINT: reads the window's DPI,
// makes the three fonts and the GDI+ Graphics, builds the display list with
// a measurer over those fonts, runs it and releases everything. Returns 0.
LRESULT paint_window(HWND window, const FontSet& fonts, const PaintContent& content);

}  // namespace paint
