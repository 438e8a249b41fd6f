// `quilt run`: keeps the desktop tiled until stopped, then puts every window back.
#pragma once

#include "win/platform_win32.h"

namespace quilt_daemon {

int run_daemon(win::Win32Platform& p);

}  // namespace quilt_daemon
