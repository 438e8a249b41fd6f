// The icon thread's Win32 half: application pictures from the shell and the
// work that the daemon starts the thread with.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "icons/icon_thread.h"
#include "win/platform.h"

namespace icons {

// The shell's picture of an Apps-folder entry, as a GDI+ image with pixels
// of its own, the right way up whichever way the shell's bitmap lies.
// The thread must have COM. Not found when the shell does not know the id.
IconLoad load_app_icon(std::string_view app_id);

// The same for any shell parsing name ("shell:AppsFolder\{id}", a file path).
IconLoad load_shell_item_icon(std::u16string_view parsing_name);

// The choice among one item's bitmaps and its GDI+ image: `bitmap_at` gives
// the bitmap of each size in APP_ICON_SIZES (null when there is none) until
// one is a picture. Every bitmap given is owned here and deleted.
IconLoad load_bitmap_icon(const std::function<HBITMAP(std::int32_t size)>& bitmap_at);

// COM for the shell, both loaders, and `message` posted to the launcher
// window after each result. GDI+ must be started before the thread is; the
// work holds the platform for as long as the thread runs.
IconWork icon_thread_work(std::shared_ptr<win::Platform> platform, win::Hwnd launcher, std::uint32_t message);

}  // namespace icons
