// The data base's operations in time (wall and CPU) on a full data base: 200 channels of 500
// events with long texts (DIRO_BENCH_CHANNELS channels instead, for a quick run), plain and coded.
//   - Fill/*: one channel of 500 events filled from the firmware (a first fill)
//   - SearchAll/*: the ten search words over every channel
//   - ExportCSV/*, ExportHTML/*, SaveBuffer/*, LoadBuffer/*: the files of the whole data base
//   - BackgroundSecond/*: a second of receiver time with the guide closed, nothing changed
//   - XmltvRead: the receiver program reading the largest real guide (DIRO_BENCH_XMLTV)
// Instruction counts of the same operations come from bench/count.cpp; `make bench` runs both
// and writes bench/RESULTS.md.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <memory>
#include <string>

#include "bench/scenarios.h"
#include "frame/platform/tap.h"
#include "receiver/xmltv.h"

namespace {

int channels() {
    const char *v = getenv("DIRO_BENCH_CHANNELS");
    int n = v ? atoi(v) : 200;
    return n < 1 ? 1 : n > 200 ? 200 : n;
}

bench::World &full(bool coded) {
    bench::WorldConfig c;
    c.channels = channels();
    c.coded = coded;
    return bench::sharedWorld(c);
}

void Fill(benchmark::State &state) {
    bench::releaseSharedWorld();
    bench::WorldConfig c;
    c.channels = 1;
    c.coded = state.range(0) != 0;
    c.started = false;
    bench::World w(c);
    for (auto _ : state) {
        state.PauseTiming();
        w.emptyAll();
        state.ResumeTiming();
        w.fillOne(0);
    }
}

void SearchAll(benchmark::State &state) {
    bench::World &w = full(state.range(0) != 0);
    for (auto _ : state)
        w.searchAll();
}

void ExportCSV(benchmark::State &state) {
    bench::World &w = full(state.range(0) != 0);
    for (auto _ : state)
        w.exportCsv();
    state.counters["bytes"] = double(bench::fileBytes(w.disk() + "/Diro_ROD.Export.CSV"));
}

void ExportHTML(benchmark::State &state) {
    bench::World &w = full(state.range(0) != 0);
    for (auto _ : state)
        w.exportHtml();
    state.counters["bytes"] = double(bench::fileBytes(w.disk() + "/Diro_ROD.Export.html"));
}

void SaveBuffer(benchmark::State &state) {
    bench::World &w = full(state.range(0) != 0);
    for (auto _ : state)
        w.saveBuffer();
    state.counters["bytes"] = double(bench::fileBytes(w.disk() + "/Diro_ROD.BufferExt.DAT"));
}

void LoadBuffer(benchmark::State &state) {
    bench::World &w = full(state.range(0) != 0);
    w.saveBuffer();
    for (auto _ : state) {
        state.PauseTiming();
        w.emptyAll();
        state.ResumeTiming();
        w.loadBuffer();
    }
    state.counters["bytes"] = double(bench::fileBytes(w.disk() + "/Diro_ROD.BufferExt.DAT"));
}

void BackgroundSecond(benchmark::State &state) {
    bench::World &w = full(state.range(0) != 0);
    for (auto _ : state)
        w.receiverSeconds(1);
}

void XmltvRead(benchmark::State &state) {
    const char *path = getenv("DIRO_BENCH_XMLTV");
    std::string file = path ? path : "../shared/data/xmltv-real/epgshare01-de1-2025-02.xml";
    for (auto _ : state) {
        rx::XmltvGuide guide;
        std::string error;
        if (!rx::readXmltvFile(file, guide, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        benchmark::DoNotOptimize(guide.programmes.size());
    }
}

}  // namespace

BENCHMARK(Fill)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(SearchAll)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportCSV)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportHTML)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(SaveBuffer)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadBuffer)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BackgroundSecond)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(XmltvRead)->Unit(benchmark::kMillisecond);

// The shared world goes before the program ends, while the firmware it needs is still there.
int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    bench::releaseSharedWorld();
    benchmark::Shutdown();
    return 0;
}
