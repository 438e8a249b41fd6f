// Site icons: each site's "/favicon.ico", downloaded once into a cache folder
// and read from there on every later run.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "icons/icon_thread.h"
#include "win/platform.h"

namespace icons {

// Labels that, before a two-letter country label, belong to the registrable
// domain ("example.co.uk"). Compared exactly.
inline constexpr std::array<std::string_view, 7> SECOND_LEVEL_LABELS = {"co", "com", "net", "org", "gov", "ac", "edu"};

// Whether a host may become a file name in the cache folder: ASCII letters,
// digits, "-" and "." only, and no empty label. Nothing else ever reaches
// the file system, so no host can name a path outside the folder.
bool valid_host(std::string_view host);

// The names to try, longest first: the host itself down to its registrable
// domain (the last two labels, or three after a second-level label).
std::vector<std::string> candidate_hosts(std::string_view host);

// {LOCALAPPDATA}\quilt\icons, or the same under the temporary folder when
// LOCALAPPDATA is unset or empty.
std::string icon_cache_folder(win::Platform& platform);

// The cached file of one candidate name: {folder}\{name}.ico.
std::string icon_cache_path(std::string_view folder, std::string_view name);

// The first candidate that gives an image, from its cached file or else
// downloaded from "https://{name}/favicon.ico". A file that does not decode
// is deleted. Runs on the icon thread.
IconLoad load_site_icon(win::Platform& platform, std::string_view host);

}  // namespace icons
