// The system drops a low-level keyboard hook that answers too slowly, so the
// hook's decision per key event must stay far below a microsecond.
#include <benchmark/benchmark.h>

#include <vector>

#include "daemon/hook_logic.h"
#include "daemon/shortcuts.h"

namespace {

struct Step {
    quilt_daemon::KeyEvent event;
    quilt_daemon::KeysDown keys;
};

// Typing "quilt" and then Win+Left, Win+Shift+Right, Win+F and a held
// Win+= with two auto-repeats: plain keys and chords as they come in use.
std::vector<Step> typical_stream() {
    using namespace quilt_daemon;
    const KeysDown none{};
    const KeysDown win{true, false, false, false, false};
    const KeysDown win_shift{true, false, false, false, true};
    auto down = [](std::uint16_t vk) { return KeyEvent{0, win::MSG_KEYDOWN, vk, 0}; };
    auto up = [](std::uint16_t vk) { return KeyEvent{0, win::MSG_KEYUP, vk, 0}; };
    std::vector<Step> s;
    for (std::uint16_t vk : {0x51, 0x55, 0x49, 0x4C, 0x54}) {
        s.push_back({down(vk), none});
        s.push_back({up(vk), none});
    }
    s.push_back({down(0x5B), none});
    s.push_back({down(win::KEY_ARROW_LEFT), win});
    s.push_back({up(win::KEY_ARROW_LEFT), win});
    s.push_back({down(0xA0), win});
    s.push_back({down(win::KEY_ARROW_RIGHT), win_shift});
    s.push_back({up(win::KEY_ARROW_RIGHT), win_shift});
    s.push_back({up(0xA0), win_shift});
    s.push_back({down(win::KEY_F), win});
    s.push_back({up(win::KEY_F), win});
    for (int i = 0; i < 3; ++i) s.push_back({down(win::KEY_PLUS), win});
    s.push_back({up(win::KEY_PLUS), win});
    s.push_back({up(0x5B), win});
    return s;
}

void BM_OnKeyEvent(benchmark::State& bench) {
    const auto stream = typical_stream();
    quilt_daemon::HookState state;
    std::size_t i = 0;
    for (auto _ : bench) {
        const auto& step = stream[i];
        const auto r = quilt_daemon::on_key_event(step.event, state, step.keys);
        state = r.state;
        benchmark::DoNotOptimize(r);
        i = i + 1 == stream.size() ? 0 : i + 1;
    }
    bench.SetItemsProcessed(bench.iterations());
}
BENCHMARK(BM_OnKeyEvent);

}  // namespace
