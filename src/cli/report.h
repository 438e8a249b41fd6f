// The `list` report: one fixed-column row per window and a summary.
#pragma once

#include <string>
#include <vector>

#include "win/classify.h"

namespace cli {

std::string format_window_table(const std::vector<win::WindowInfo>& windows);

}  // namespace cli
