// The launcher's catalogue: the user's web apps, the shell's installed apps
// and the entry that opens the web-app file, in the order that breaks ties in
// the ranking.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "win/platform.h"

namespace apps {

enum class ItemKind { App = 0, Web = 1, EditWebApps = 2 };

struct LauncherItem {
    ItemKind kind = ItemKind::App;
    // App: the shell's parsing name of the app; Web: the address with its
    // scheme; EditWebApps: none.
    std::optional<std::string> target;
    std::string name;
    friend bool operator==(const LauncherItem&, const LauncherItem&) = default;
};

inline constexpr const char* EDIT_WEB_APPS_NAME = "Edit web apps";

// Apps-folder items to catalogue entries: uninstallers left out, sorted by
// lower-cased name (stable), names that differ only in ASCII case once.
std::vector<LauncherItem> installed_apps(const std::vector<win::ShellItemNames>& folder);

// The catalogue thread's work: the installed apps, which can take seconds to
// read. Nothing when the shell gives no Apps folder.
std::vector<LauncherItem> read_installed_apps(win::Platform& platform);

// The web apps, then the installed apps, then the entry that opens the file.
std::vector<LauncherItem> catalogue_of(std::vector<LauncherItem> web_apps, const std::vector<LauncherItem>& installed);

// The whole catalogue at once: the web-app file (created when missing) and
// the installed apps. Every failure only leaves something out, and nothing
// is printed.
std::vector<LauncherItem> build_catalogue(win::Platform& platform);

}  // namespace apps
