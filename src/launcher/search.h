// Matching and ranking: every keystroke folds the query, sorts the whole
// catalogue into five match categories and keeps the best six. No scores,
// no history: the catalogue order breaks every tie.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "launcher/state.h"

namespace launcher {

// Lower is better.
enum class MatchCategory { Exact = 0, Prefix = 1, WordPrefix = 2, Substring = 3, Subsequence = 4 };

inline constexpr std::size_t MAX_RESULTS = 6;
inline constexpr std::size_t MAX_TILES = 5;

// The query trimmed of white space and lower-cased.
std::string fold_query(std::string_view query);

// How a name matches an already folded query; nothing when it does not.
std::optional<MatchCategory> match_category(std::string_view folded_query, std::string_view name);

// Recomputes results, tiles and the selection from the query and the items.
void refresh_results(LauncherState& state);

}  // namespace launcher
