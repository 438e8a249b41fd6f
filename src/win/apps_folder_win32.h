// The shell's Apps folder through COM: the one place that enumerates it.
#pragma once

#include <vector>

#include "win/platform.h"

namespace win {

// SHGetKnownFolderItem(FOLDERID_AppsFolder), its item enumerator, and the
// two names of every item. COM must be initialised on the calling thread.
Result<std::vector<ShellItemNames>> enumerate_apps_folder();

}  // namespace win
