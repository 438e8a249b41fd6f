// CPU cost of building the launcher's display list for one paint, its fullest
// case: six rows, five tiles and the Add tile, one tile hovered. The GDI work
// that runs the list is timed under Wine by quilt-probe-launcher.
#include <benchmark/benchmark.h>

#include <string>

#include "launcher/launcher_paint.h"
#include "launcher/search.h"

namespace {

void BM_LauncherDisplayList(benchmark::State& state) {
    launcher::LauncherState s;
    for (int i = 0; i < 8; ++i) {
        s.items.push_back({apps::ItemKind::Web, "https://site" + std::to_string(i) + ".example",
                           "Web app number " + std::to_string(i)});
    }
    s.items.push_back({apps::ItemKind::EditWebApps, std::nullopt, "Edit web apps"});
    launcher::refresh_results(s);
    s.hovered_tile = 2;
    const auto dpi = static_cast<std::uint32_t>(state.range(0));
    // About what Segoe UI gives: 8 pixels a byte at 15 px, scaled with the DPI.
    const paint::MeasureText measure = [dpi](paint::FontSlot, std::string_view text) {
        return static_cast<std::int32_t>(text.size() * 8 * dpi / 96);
    };
    std::size_t ops = 0;
    for (auto _ : state) {
        paint::Painter painter{dpi, measure, {}};
        launcher::paint_launcher(painter, s);
        ops = painter.list.ops.size();
        benchmark::DoNotOptimize(painter.list.ops.data());
    }
    state.counters["ops"] = static_cast<double>(ops);
}

BENCHMARK(BM_LauncherDisplayList)->Arg(96)->Arg(144)->Unit(benchmark::kMicrosecond);

}  // namespace
