// The cost of one idle event. The firmware sends idle events many times a second; when no duty
// is due (the second has not changed) an event must do no more than read the state and the clock
// and compare a few numbers. For contrast, the event that starts a new second runs the duties.
//   - IdleEventNothingDue_ViewsHidden / _ViewsOpen: the common case, in the TV state and in the views
//   - IdleEventNewSecond_ViewsHidden: the once-a-second duties (settings check, filling, saves)
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <string>
#include <vector>

#include "frame/platform/tap.h"
#include "bench/scenarios.h"
#include "receiver/lineup.h"
#include "sim/clock.h"
#include "sim/receiver.h"

namespace {

// A virtual receiver running the linked plug-in on a fresh folder under /tmp, with the demo
// lineup and a day of events on every TV channel, settled for a few seconds so that start-up work is behind it.
struct Bench {
    std::string folder;
    std::unique_ptr<sim::Receiver> rx;

    explicit Bench(bool viewsOpen) {
        bench::releaseSharedWorld();
        char templ[] = "/tmp/diro-idle-bench-XXXXXX";
        folder = mkdtemp(templ) ? templ : "/tmp";
        sim::ReceiverConfig config;
        config.firmware.diskDir = folder;
        config.firmware.lineup = rx::demoLineup();
        config.firmware.clockMs = sim::Clock::fromCivil({2026, 12, 7, 20, 0, 0});
        config.linkedInit = &__TAP_Init_;
        rx = std::make_unique<sim::Receiver>(config);
        for (int ch = 0; ch < rx->firmware().channels.count(sim::kTv); ++ch) {
            std::vector<sim::GuideEvent> events;
            for (int h = 0; h < 24; ++h)
                events.push_back({config.firmware.clockMs + h * 3600000LL, config.firmware.clockMs + (h + 1) * 3600000LL,
                                  uint16_t(h + 1), "Show " + std::to_string(h), "Info", "Line 1\nLine 2"});
            rx->firmware().epg.setSchedule(sim::kTv, ch, events);
        }
        rx->powerOn();
        rx->advance(5000);
        if (viewsOpen)
            rx->pressKey(RKEY_Guide);
        rx->advance(1000);
    }
    ~Bench() {
        // The plug-in's globals outlive the receiver: leave them with the views closed.
        rx->pressKey(RKEY_Exit);
        rx.reset();
        std::string command = "rm -rf '" + folder + "'";
        if (system(command.c_str()) != 0)
            return;
    }
};

void IdleEventNothingDue(benchmark::State &state, bool viewsOpen) {
    Bench b(viewsOpen);
    b.rx->idle();   // the duties of this second are done; the clock stands still below
    for (auto _ : state)
        benchmark::DoNotOptimize(TAP_EventHandler(EVT_IDLE, 0, 0));
}

void IdleEventNothingDue_ViewsHidden(benchmark::State &state) { IdleEventNothingDue(state, false); }
void IdleEventNothingDue_ViewsOpen(benchmark::State &state) { IdleEventNothingDue(state, true); }

void IdleEventNewSecond_ViewsHidden(benchmark::State &state) {
    Bench b(false);
    for (auto _ : state) {
        b.rx->firmware().clock.advanceMs(1000);
        benchmark::DoNotOptimize(TAP_EventHandler(EVT_IDLE, 0, 0));
    }
}

}  // namespace

BENCHMARK(IdleEventNothingDue_ViewsHidden);
BENCHMARK(IdleEventNothingDue_ViewsOpen);
BENCHMARK(IdleEventNewSecond_ViewsHidden)->Iterations(2000);
