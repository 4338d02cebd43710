// The counting program: runs each measured operation of bench/scenarios once between two
// markers, so that an instruction counter outside the program counts exactly that operation:
//   - under valgrind --tool=callgrind --instr-atstart=no, the markers switch instrumentation on
//     and dump the counts of each operation under its name (callgrind.out.PID.N);
//   - under qemu with bench/qemu_insn_count.c as plug-in, the markers are close(-1) calls that
//     carry a magic number and the operation's index; the plug-in prints "region I COUNT".
// Natively the markers cost nothing. Each operation's index and name go to standard output as
// "region I NAME [DIVISOR]" (the count is divided by DIVISOR: operations repeated for precision),
// and figures the program knows itself as "figure NAME VALUE".
//
//   bench_count [--channels N] GROUP...   groups: idle fill db-plain db-coded views xmltv=FILE
// Built for the PC and for the receiver's processor (there without xmltv: no expat).
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <string>

#include "bench/scenarios.h"
#include "epgdb/buffer.h"
#include "frame/platform/tap.h"
#include "frame/state.h"

#if defined(__has_include)
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#endif
#endif
#ifndef CALLGRIND_START_INSTRUMENTATION
#define CALLGRIND_START_INSTRUMENTATION
#define CALLGRIND_STOP_INSTRUMENTATION
#define CALLGRIND_ZERO_STATS
#define CALLGRIND_DUMP_STATS_AT(name)
#endif

#ifndef DIRO_NO_XMLTV
#include "receiver/xmltv.h"
#endif

namespace {

enum { MARK_MAGIC = 0x5EED0000 };
int region_index = 0;

// The qemu plug-in's marker: close(-1) fails harmlessly; the plug-in reads the second argument.
void qemu_mark(int index, int phase) { syscall(SYS_close, -1, (long)(MARK_MAGIC | (index << 1) | phase)); }

// Runs op once between the markers and announces it.
template <typename Op>
void measure(const char *name, long divisor, Op op) {
    int index = region_index++;
    printf("region %d %s %ld\n", index, name, divisor);
    fflush(stdout);
    CALLGRIND_START_INSTRUMENTATION;
    CALLGRIND_ZERO_STATS;
    qemu_mark(index, 0);
    op();
    qemu_mark(index, 1);
    CALLGRIND_DUMP_STATS_AT(name);
    CALLGRIND_STOP_INSTRUMENTATION;
}

void figure(const char *name, long long value) {
    printf("figure %s %lld\n", name, value);
    fflush(stdout);
}

void idle_group() {
    bench::WorldConfig c;
    c.channels = 40;
    c.events = 24;
    c.extBytes = 200;
    bench::World w(c);
    w.fillAll();
    w.rx().advance(5000);
    w.rx().idle();
    measure("idle_hidden", 1000, [&] {
        for (int i = 0; i < 1000; ++i)
            w.idleEvent();
    });
    w.openGuide();
    w.rx().advance(1000);
    w.rx().idle();
    measure("idle_open", 1000, [&] {
        for (int i = 0; i < 1000; ++i)
            w.idleEvent();
    });
}

void fill_group(int channels) {
    for (int coded = 0; coded <= 1; ++coded) {
        bench::WorldConfig c;
        c.channels = channels < 2 ? channels : 2;
        c.coded = coded != 0;
        c.started = false;
        bench::World w(c);
        w.fillOne(1);   // warms the firmware's lists
        w.emptyAll();
        measure(coded ? "fill_coded" : "fill_plain", 1, [&] { w.fillOne(0); });
        // The channel again with every title changed: the refill of a changed channel.
        w.rx().firmware().epg.setSchedule(sim::kTv, 0, w.guide(0, 1));
        measure(coded ? "refill_changed_coded" : "refill_changed_plain", 1, [&] { w.fillOne(0); });
    }
}

void db_group(int channels, bool coded) {
    bench::WorldConfig c;
    c.channels = channels;
    c.coded = coded;
    bench::World w(c);
    w.fillAll();
    const char *sfx = coded ? "_coded" : "_plain";
    figure((std::string("heap_peak") + sfx).c_str(), (long long)w.heapPeak());
    figure((std::string("heap_used") + sfx).c_str(), (long long)w.heapUsed());
    long long blocks = 0;
    for (int s = 0; s < BUFFER_SLOTS; ++s)
        blocks += BlockSize[s];
    figure((std::string("blocks_bytes") + sfx).c_str(), blocks);
    measure((std::string("search") + sfx).c_str(), 1, [&] { w.searchAll(); });
    figure((std::string("search_results") + sfx).c_str(), max_Event[SLOT_RESULT]);
    long writes = w.rx().firmware().disk.writeCalls();
    measure((std::string("export_csv") + sfx).c_str(), 1, [&] { w.exportCsv(); });
    figure((std::string("csv_bytes") + sfx).c_str(), bench::fileBytes(w.disk() + "/Diro_ROD.Export.CSV"));
    figure((std::string("csv_writes") + sfx).c_str(), w.rx().firmware().disk.writeCalls() - writes);
    writes = w.rx().firmware().disk.writeCalls();
    measure((std::string("export_html") + sfx).c_str(), 1, [&] { w.exportHtml(); });
    figure((std::string("html_bytes") + sfx).c_str(), bench::fileBytes(w.disk() + "/Diro_ROD.Export.html"));
    figure((std::string("html_writes") + sfx).c_str(), w.rx().firmware().disk.writeCalls() - writes);
    measure((std::string("save") + sfx).c_str(), 1, [&] { w.saveBuffer(); });
    figure((std::string("buffer_bytes") + sfx).c_str(), bench::fileBytes(w.disk() + "/Diro_ROD.BufferExt.DAT"));
    w.emptyAll();
    measure((std::string("load") + sfx).c_str(), 1, [&] { w.loadBuffer(); });
    // The guide closed, the firmware's events unchanged: what the background filling costs once
    // every channel has been filled since the data base was loaded.
    w.fillAll();
    w.rx().advance(3000);
    measure((std::string("background_per_second") + sfx).c_str(), 10, [&] { w.receiverSeconds(10); });
    figure((std::string("heap_peak_after") + sfx).c_str(), (long long)w.heapPeak());
}

void views_group() {
    bench::WorldConfig c;
    c.channels = 40;
    c.events = 100;
    bench::World w(c);
    w.fillAll();
    w.openGuide();
    w.rx().advance(1000);
    measure("page_normal_view", 1, [&] { w.key(RKEY_Forward); });
    measure("info_window", 1, [&] {
        w.key(RKEY_Info);
        w.key(RKEY_Info);
    });
    w.closeViews();
    w.openGuide();
    measure("page_now_view", 1, [&] { w.key(RKEY_Teletext); });
    measure("help_page", 1, [&] { w.key(RKEY_Help); });
    w.key(RKEY_Exit);
    w.closeViews();
    w.openGuide();
    measure("settings_menu", 1, [&] { w.key(RKEY_Menu); });
    measure("settings_menu_page", 1, [&] { w.key(RKEY_Forward); });
}

}  // namespace

int main(int argc, char **argv) {
    int channels = 200;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--channels" && i + 1 < argc) {
            channels = atoi(argv[++i]);
        } else if (a == "idle") {
            idle_group();
        } else if (a == "fill") {
            fill_group(channels);
        } else if (a == "db-plain" || a == "db-coded") {
            db_group(channels, a == "db-coded");
        } else if (a == "views") {
            views_group();
#ifndef DIRO_NO_XMLTV
        } else if (a.rfind("xmltv=", 0) == 0) {
            std::string path = a.substr(6);
            rx::XmltvGuide guide;
            std::string error;
            bool ok = false;
            measure("xmltv_read", 1, [&] { ok = rx::readXmltvFile(path, guide, error); });
            if (!ok)
                fprintf(stderr, "%s\n", error.c_str());
            figure("xmltv_programmes", (long long)guide.programmes.size());
#endif
        } else {
            fprintf(stderr, "bench_count: unknown group %s\n", a.c_str());
            return 2;
        }
    }
    return 0;
}
