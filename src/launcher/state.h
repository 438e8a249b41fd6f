// The launcher's state, owned by the main thread: the catalogue, the query
// and what it matched, what is selected and hovered, the mode, the
// catalogue thread, and the entries' icons with the icon thread.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
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

// What one catalogue thread hands back. The thread and the launcher each
// hold it, so whichever goes first leaves the other nothing freed.
struct CatalogueJob {
    std::mutex mutex;
    bool done = false;
    // The installed apps; nothing when the thread failed.
    std::optional<std::vector<apps::LauncherItem>> installed;
};

// One catalogue name with its folded form, so that a keystroke only matches.
struct FoldedName {
    std::string name;
    std::string folded;
};

struct LauncherState {
    Selection selection;
    std::optional<std::size_t> hovered_tile;  // Search mode only
    std::optional<apps::LauncherItem> pending_removal;
    std::vector<apps::LauncherItem> items;  // the catalogue, in catalogue order
    // Beside `items`, position for position, from when the catalogue was
    // adopted; an entry whose name no longer matches is folded again.
    std::vector<FoldedName> folded_names;
    std::vector<apps::LauncherItem> web_apps;   // as the file read at the last show
    std::vector<apps::LauncherItem> installed;  // as the last catalogue thread read them
    std::string query;
    std::vector<apps::LauncherItem> results;
    std::vector<apps::LauncherItem> tiles;
    std::optional<std::string> error_line;  // AddWebApp mode, above the hints
    // A catalogue thread whose list has not been collected yet, and whether
    // something changed after it started (it then reads again once done).
    std::shared_ptr<CatalogueJob> catalogue_thread;
    bool catalogue_stale = false;
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

// Starts a thread that reads the installed apps, unless one is still held:
// that one is then marked stale. The thread keeps the platform for as long
// as it runs and calls `done` (from the thread) when its list is ready; it
// is never waited for.
void start_catalogue_refresh(LauncherState& state, std::shared_ptr<win::Platform> platform,
                             std::function<void()> done = {});

// Takes the installed apps of a finished thread (a thread that failed leaves
// the old ones) and releases it; false while it still runs or when none is
// held. A stale result is taken too: the caller then starts a fresh thread.
bool take_catalogue(LauncherState& state);

// The catalogue from the web apps and installed apps at hand, with its names folded.
void compose_items(LauncherState& state);

// Brings `folded_names` in step with `items`, folding only what changed.
void fold_names(LauncherState& state);

}  // namespace launcher
