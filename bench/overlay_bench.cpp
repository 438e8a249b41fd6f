// Every paint of the shortcut list rebuilds its display list from the
// constant table (nothing is cached between paints), so building it must be
// a small part of the paint that GDI does under Wine (about 1.4 ms of CPU).
#include <benchmark/benchmark.h>

#include "daemon/overlay.h"

namespace {

void BM_OverlayDisplayList(benchmark::State& state) {
    const auto dpi = static_cast<std::uint32_t>(state.range(0));
    const paint::PixelRect client{0, 0, paint::scale(560, dpi), paint::scale(726, dpi)};
    for (auto _ : state) {
        paint::Painter painter{
            dpi, [](paint::FontSlot, std::string_view text) { return static_cast<std::int32_t>(text.size()) * 7; }, {}};
        quilt_daemon::paint_overlay(painter, client);
        benchmark::DoNotOptimize(painter.list.ops.data());
    }
}
BENCHMARK(BM_OverlayDisplayList)->Arg(96)->Arg(144);

}  // namespace
