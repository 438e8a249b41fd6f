// The launcher's side of icons: which entry has which icon key, what has been
// asked for, and what has arrived. Every key is asked for at most once in
// the life of the process.
#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "apps/catalogue.h"
#include "icons/icon_thread.h"

namespace icons {

// What has arrived, found or not. Found images are kept for the rest of the
// process.
struct LoadedIcon {
    bool found = false;
    win::ImageHandle image;
    friend bool operator==(const LoadedIcon&, const LoadedIcon&) = default;
};

struct IconBook {
    std::unordered_set<std::string> requested_icons;  // asked for, not answered yet
    std::unordered_map<std::string, LoadedIcon> loaded_icons;
};

// What painting an entry needs: the image to draw (nothing: draw the letter
// tile or logo), and a request to queue when its icon was never asked for.
struct IconChoice {
    std::optional<win::ImageHandle> image;
    std::optional<IconRequest> request;
    friend bool operator==(const IconChoice&, const IconChoice&) = default;
};

// An item's key is "app:{app id}" for an app, "site:{host}" for a web app
// whose address has a host that may name a cache file; other items have none
// and keep their letter tile.
// The key of a returned request is noted as asked for: it is never returned again.
IconChoice choose_icon(IconBook& book, const apps::LauncherItem& item);

// Files the icon thread's results by key; whether any arrived (then the
// launcher repaints if it is showing).
bool file_icon_results(IconBook& book, std::vector<IconResult> results);

}  // namespace icons
