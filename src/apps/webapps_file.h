// webapps.txt: the user's web apps, one "Name = address" a line. The user
// edits it by hand, so every line the program does not understand is kept
// exactly where it is.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "apps/catalogue.h"
#include "apps/web_address.h"
#include "win/platform.h"

namespace apps {

// Written when the file is created.
extern const std::string_view WEBAPPS_HEADER;

// %APPDATA%\quilt\webapps.txt, or the same under the temporary folder when
// APPDATA is not set.
std::string webapps_path(win::Platform& platform);

// The Web items of the file's text, in file order.
std::vector<LauncherItem> read_web_apps(std::string_view text);

// The Web items of the file. A file that the system says is not there is
// created with its header, to show the user where web apps go; one that is
// there but cannot be read, or is not UTF-8, is left alone and gives none.
// The file is only ever created, never replaced, here: a failure to read is
// not a missing file.
std::vector<LauncherItem> load_web_apps(win::Platform& platform);

// Adds "{name} = {address}" as the last line, creating the folder and the
// file (with its header) when needed.
win::Status append_web_app(win::Platform& platform, const WebApp& app);

// Drops the first line that reads as exactly this item.
win::Status remove_web_app(win::Platform& platform, const LauncherItem& item);

}  // namespace apps
