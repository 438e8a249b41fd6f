// The part of the launcher's state that lives below its window: the
// catalogue, the query and what it matched, and the catalogue thread.
#pragma once

#include <cstddef>
#include <future>
#include <string>
#include <vector>

#include "apps/catalogue.h"
#include "win/platform.h"

namespace launcher {

enum class SelectionArea { ResultList = 0, TileStrip = 1 };

struct Selection {
    SelectionArea area = SelectionArea::ResultList;
    // In the tile strip, the tile count means the Add tile.
    std::size_t index = 0;
    friend bool operator==(const Selection&, const Selection&) = default;
};

struct LauncherState {
    Selection selection;
    std::vector<apps::LauncherItem> items;  // the catalogue, in catalogue order
    std::string query;
    std::vector<apps::LauncherItem> results;
    std::vector<apps::LauncherItem> tiles;
    // A catalogue thread whose list has not been collected yet.
    std::future<std::vector<apps::LauncherItem>> catalogue_thread;
};

// Starts build_catalogue on a thread of its own unless one is still held.
// The platform must outlive the thread and be safe to use from it.
void start_catalogue_refresh(LauncherState& state, win::Platform& platform);

// What a show does with the catalogue thread: with a list to show and the
// thread still busy, nothing; otherwise wait for it, release it, and take its
// list (a thread that died leaves the old one).
void adopt_catalogue(LauncherState& state);

}  // namespace launcher
