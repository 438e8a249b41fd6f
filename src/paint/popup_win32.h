// The program's own popup windows (the launcher and the shortcut overlay):
// borderless, layered, topmost tool windows with rounded corners, drawn at
// 238/255 opacity and painted with paint_window.
#pragma once

#include <windows.h>

#include <cstdint>

#include "win/platform.h"

namespace paint {

// Registers the class and creates the window hidden at (0, 0), 560 physical
// pixels wide; its owner sizes, places and shows it. The error is "could not
// register a window class" or the system's text for the failed call.
win::Result<win::Hwnd> create_popup_window(win::Platform& p, const wchar_t* class_name, const wchar_t* title,
                                           WNDPROC procedure, DWORD extra_ex_style, std::int32_t height);

}  // namespace paint
