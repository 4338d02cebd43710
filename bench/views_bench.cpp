// Drawing one page of each view, in time: the key that draws it handled by the plug-in, the
// firmware's drawing calls included (40 channels of 100 events with long texts).
//   - PageNormalView: >> in the Normal view;  PageNowView: the Now view opened
//   - InfoWindow: the info bar and then the info window;  HelpPage: the help screen
//   - SettingsMenuPage: >> in the settings menu
#include <benchmark/benchmark.h>

#include <initializer_list>

#include "bench/scenarios.h"
#include "frame/platform/tap.h"

namespace {

bench::WorldConfig viewsWorld() {
    bench::WorldConfig c;
    c.channels = 40;
    c.events = 100;
    return c;
}

// Opens the guide, presses `prepare`, then measures `keys` (the view closed again each time).
void Page(benchmark::State &state, std::initializer_list<uint32_t> prepare, std::initializer_list<uint32_t> keys) {
    bench::World &w = bench::sharedWorld(viewsWorld());
    for (auto _ : state) {
        state.PauseTiming();
        w.closeViews();
        w.openGuide();
        for (uint32_t k : prepare)
            w.key(k);
        state.ResumeTiming();
        for (uint32_t k : keys)
            w.key(k);
    }
}

void PageNormalView(benchmark::State &state) { Page(state, {}, {RKEY_Forward}); }
void PageNowView(benchmark::State &state) { Page(state, {}, {RKEY_Teletext}); }
void InfoWindow(benchmark::State &state) { Page(state, {}, {RKEY_Info, RKEY_Info}); }
void HelpPage(benchmark::State &state) { Page(state, {}, {RKEY_Help}); }
void SettingsMenuPage(benchmark::State &state) { Page(state, {RKEY_Menu}, {RKEY_Forward}); }

}  // namespace

BENCHMARK(PageNormalView)->Unit(benchmark::kMicrosecond);
BENCHMARK(PageNowView)->Unit(benchmark::kMicrosecond);
BENCHMARK(InfoWindow)->Unit(benchmark::kMicrosecond);
BENCHMARK(HelpPage)->Unit(benchmark::kMicrosecond);
BENCHMARK(SettingsMenuPage)->Unit(benchmark::kMicrosecond);
