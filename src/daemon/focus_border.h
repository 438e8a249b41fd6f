// The coloured frame that the compositor draws around the focused tiled window.
// (The namespace is not plain "daemon": POSIX declares a function of that name.)
#pragma once

#include <cstdint>
#include <optional>

#include "win/platform.h"

namespace quilt_daemon {

struct FocusBorder {
    std::optional<win::Hwnd> current;
    std::uint32_t colour = 0x00B49078;  // COLORREF: red 120, green 144, blue 180
    bool warned = false;
};

// Moves the border to `window` when `show` is true, removes it otherwise.
void set_focus_border(win::Platform& p, FocusBorder& border, bool show, win::Hwnd window);

}  // namespace quilt_daemon
