// Starting what the launcher lists. Everything goes through the shell's
// "open" verb; nothing started is waited for or tracked.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "apps/catalogue.h"
#include "win/platform.h"

namespace apps {

// Browsers that understand "--app=" and open a frameless app window.
inline constexpr std::array<std::string_view, 6> CHROMIUM_FAMILY = {"chrome",  "msedge",   "brave",
                                                                    "vivaldi", "chromium", "opera"};
// Found by the shell through its registered application paths.
inline constexpr std::string_view FALLBACK_BROWSER = "msedge.exe";

// Starts a file or program with the shell's "open" verb; true when the shell
// accepted it.
bool shell_open(win::Platform& platform, const std::string& file, const std::optional<std::string>& parameters,
                const std::optional<std::string>& directory);

// The executable that opens "https" addresses, if there is one.
std::optional<std::string> default_browser_path(win::Platform& platform);

// The last path component without its last extension ("..", and names like
// ".profile", are their own stem); empty when the path has no component.
std::string_view file_stem(std::string_view path);

bool is_chromium_family(std::string_view stem);

// "--app=" and the address in double quotes, each quote inside written as "%22".
std::string web_app_parameters(std::string_view address);

// True when the shell accepted the start; the caller reports a failure.
bool launch_item(win::Platform& platform, const LauncherItem& item);

}  // namespace apps
