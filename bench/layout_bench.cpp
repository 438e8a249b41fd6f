// How long the layout takes: `sync` plus the placements of every monitor, in
// a fresh state (the one-shot commands) and in a state where nothing changed
// (a daemon pass), and the whole one-shot plan on a crowded simulated desktop.
#include <benchmark/benchmark.h>

#include "cli/plan.h"
#include "layout/layout_state.h"
#include "sim_desktop.h"

namespace {

std::vector<win::WorkArea> two_monitors() {
    return {{win::Hmonitor{1}, {0, 0, 1920, 1040}, {0, 0, 1920, 1080}, true},
            {win::Hmonitor{2}, {1920, 0, 1280, 1024}, {1920, 0, 1280, 1024}, false}};
}

// Windows alternate between the monitors.
std::vector<layout::TileEntry> entries(std::size_t n) {
    std::vector<layout::TileEntry> out;
    for (std::size_t i = 0; i < n; ++i) {
        out.push_back({layout::DesktopId{}, win::Hwnd{0x10000 + 0x10 * i}, win::Hmonitor{1 + i % 2}});
    }
    return out;
}

void BM_FreshSyncAndPlacements(benchmark::State& bench) {
    const auto monitors = two_monitors();
    const auto list = entries(static_cast<std::size_t>(bench.range(0)));
    for (auto _ : bench) {
        layout::LayoutState state;
        layout::sync(state, monitors, list);
        auto placed = layout::monitor_placements(state, monitors, layout::DesktopId{});
        benchmark::DoNotOptimize(placed);
    }
}
BENCHMARK(BM_FreshSyncAndPlacements)->Arg(4)->Arg(16)->Arg(64);

void BM_RepeatedSyncAndPlacements(benchmark::State& bench) {
    const auto monitors = two_monitors();
    const auto list = entries(static_cast<std::size_t>(bench.range(0)));
    layout::LayoutState state;
    layout::sync(state, monitors, list);
    for (auto _ : bench) {
        layout::sync(state, monitors, list);
        auto placed = layout::monitor_placements(state, monitors, layout::DesktopId{});
        benchmark::DoNotOptimize(placed);
    }
}
BENCHMARK(BM_RepeatedSyncAndPlacements)->Arg(4)->Arg(16)->Arg(64);

// enumerate_windows, build_plan and the plan report, as `quilt plan` runs them.
void BM_OneShotPlan(benchmark::State& bench) {
    sim::Desktop d;
    d.add_monitor({0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true);
    d.add_monitor({1920, 0, 1280, 1024}, {1920, 0, 1280, 1024});
    d.add_process(100, u"C:\\Program Files\\App\\app.exe");
    const auto n = static_cast<std::size_t>(bench.range(0));
    for (std::size_t i = 0; i < n; ++i) {
        sim::Window w;
        w.title = u"Window number " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26));
        w.rect = {static_cast<std::int32_t>(100 + (i % 2) * 1920 + i % 50), 100, 800, 600};
        w.frame_insets = sim::WIN10_INSETS;
        d.add_window(w);
    }
    for (auto _ : bench) {
        const auto windows = win::enumerate_windows(d);
        const std::string report = cli::format_plan(cli::build_plan(win::enumerate_monitors(d), windows));
        benchmark::DoNotOptimize(report);
    }
}
BENCHMARK(BM_OneShotPlan)->Arg(200);

}  // namespace
