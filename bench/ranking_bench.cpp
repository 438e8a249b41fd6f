// Ranking cost per keystroke: the whole catalogue is matched on every typed
// character, so this is what a user waits for. The names are folded once,
// when the catalogue is adopted. Target: under 0.2 ms for 5,000 names.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "launcher/search.h"

namespace {

// Words from several scripts, with capitals, accents and final sigmas, so
// that the slow (non-ASCII) folding paths are exercised as well.
const std::vector<std::string> WORDS = {
    "Microsoft",
    "Visual",
    "Studio",
    "Code",
    "Notepad++",
    "Teams",
    "(work",
    "or",
    "school)",
    "Adobe",
    "Acrobat",
    "Reader",
    "Calculator",
    "Google",
    "Chrome",
    "Mozilla",
    "Firefox",
    "VLC",
    "media",
    "player",
    "7-Zip",
    "Git",
    "Bash",
    "PowerShell",
    "Terminal",
    "Caf\xC3\xA9",
    "\xC3\x9C"
    "bersetzer",
    "Stra\xC3\x9F"
    "e",
    "\xC4\xB0stanbul",
    "\xD0\x9C\xD0\xBE\xD0\xB9",
    "\xD0\x9E\xD0\xA4\xD0\x98\xD0\xA1",  // Мой ОФИС
    "\xCE\x9F\xCE\x94\xCE\x9F\xCE\xA3",
    "\xCE\xA0\xCE\xB1\xCE\xB9\xCF\x87\xCE\xBD\xCE\xAF\xCE\xB4\xCE\xB9",
    "\xE8\xA8\x88\xE7\xAE\x97\xE6\xA9\x9F",
    "\xE3\x83\xA1\xE3\x83\xA2\xE5\xB8\xB3",                      // 計算機 メモ帳
    "\xD8\xA7\xD9\x84\xD8\xAD\xD8\xA7\xD8\xB3\xD8\xA8\xD8\xA9",  // الحاسبة
    "\xED\x95\x9C\xEA\xB8\x80",
    "\xE2\x85\xAB",
    "Ed\xC3\xADtor",
    "\xC3\x85ngstr\xC3\xB6m",  // 한글 Ⅻ
};

std::vector<apps::LauncherItem> make_catalogue(std::size_t n) {
    std::vector<apps::LauncherItem> items;
    std::uint32_t seed = 12345;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    for (std::size_t i = 0; i < n; ++i) {
        std::string name;
        const std::size_t words = 1 + next() % 4;
        for (std::size_t w = 0; w < words; ++w) {
            if (w) name += ' ';
            name += WORDS[next() % WORDS.size()];
        }
        const auto kind = i < 20 ? apps::ItemKind::Web : apps::ItemKind::App;
        items.push_back({kind, "id" + std::to_string(i), name});
    }
    return items;
}

void BM_RefreshResults(benchmark::State& state, const char* query) {
    launcher::LauncherState s;
    s.items = make_catalogue(5000);
    launcher::fold_names(s);  // as adopting the catalogue does
    s.query = query;
    for (auto _ : state) {
        launcher::refresh_results(s);
        benchmark::DoNotOptimize(s.results.data());
    }
    state.counters["results"] = static_cast<double>(s.results.size());
}

BENCHMARK_CAPTURE(BM_RefreshResults, empty, "")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RefreshResults, n, "n")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RefreshResults, note, "note")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RefreshResults, visual_st, "visual st")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RefreshResults, vs_code, "vs code")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RefreshResults, no_match, "xyzq")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RefreshResults, greek, "\xCE\xBF\xCE\xB4\xCE\xBF\xCF\x82")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RefreshResults, cyrillic, "\xD0\xBE\xD1\x84")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RefreshResults, cjk, "\xE8\xA8\x88\xE7\xAE\x97")->Unit(benchmark::kMicrosecond);

}  // namespace
