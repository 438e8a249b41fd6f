// The launcher's state, owned by the main thread: the catalogue, the query
// and what it matched, what is selected and hovered, the mode, the
// catalogue thread, and the entries' icons with the icon thread.
#pragma once

#include <cstddef>
#include <future>
#include <optional>
#include <string>
#include <vector>

#include "apps/catalogue.h"
#include "icons/icon_book.h"
#include "icons/icon_thread.h"
#include "win/platform.h"

namespace launcher {

enum class SelectionArea { ResultList = 0, TileStrip = 1 };

struct Selection {
    SelectionArea area = SelectionArea::ResultList;
    // In the tile strip, the tile count means the Add tile.
    std::size_t index = 0;
    friend bool operator==(const Selection&, const Selection&) = default;
};

enum class LauncherMode { Search = 0, AddWebApp = 1, ConfirmRemove = 2 };

struct LauncherState {
    Selection selection;
    std::optional<std::size_t> hovered_tile;  // Search mode only
    std::optional<apps::LauncherItem> pending_removal;
    std::vector<apps::LauncherItem> items;  // the catalogue, in catalogue order
    std::string query;
    std::vector<apps::LauncherItem> results;
    std::vector<apps::LauncherItem> tiles;
    std::optional<std::string> error_line;  // AddWebApp mode, above the hints
    // A catalogue thread whose list has not been collected yet.
    std::future<std::vector<apps::LauncherItem>> catalogue_thread;
    icons::IconBook icon_book;  // requested_icons and loaded_icons
    // The icon thread, when start-up could make one; without it every entry
    // keeps its letter tile.
    std::optional<icons::IconThread> icon_queues;
    bool visible = false;
    bool remove_hovered = false;  // the pointer is on the hovered tile's minus circle
    bool tracking_mouse = false;  // a mouse-leave notification is pending
    LauncherMode mode = LauncherMode::Search;
    win::Hwnd previous_window;  // the foreground window when the launcher was shown
};

// Starts build_catalogue on a thread of its own unless one is still held.
// The platform must outlive the thread and be safe to use from it.
void start_catalogue_refresh(LauncherState& state, win::Platform& platform);

// What a show does with the catalogue thread: with a list to show and the
// thread still busy, nothing; otherwise wait for it, release it, and take its
// list (a thread that died leaves the old one).
void adopt_catalogue(LauncherState& state);

}  // namespace launcher
