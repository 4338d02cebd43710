// The benchmarks' situations (see scenarios.h): the receiver, the guide of long texts, and the
// plug-in's operations called the way its keys and idle duties call them.
#include "bench/scenarios.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "epgdb/buffer.h"
#include "epgdb/bufferfile.h"
#include "epgdb/fill.h"
#include "export/export.h"
#include "frame/platform/tap.h"
#include "frame/state.h"
#include "search/entries.h"
#include "search/search.h"
#include "settings/settings.h"
#include "sim/clock.h"

namespace bench {

const char *const kSearchWords[10] = {"Tatort",     "Rosamunde", "Bergdoktor", "Wetterkarte", "Schwarzwald",
                                      "Olympiade",  "Kochduell", "Tagesthemen", "Pilcher",    "Zugspitze"};

namespace {

// Words of the filler text: German and English, some with umlauts and accents, a few capitals.
const char *const kWords[] = {"der",      "die",     "und",       "Film",    "Abend",  "M\xFCller",  "the",
                              "with",     "story",   "Familie",   "K\xF6ln", "caf\xE9", "Reise",    "zwischen",
                              "Berlin",   "Stadt",   "Leben",     "night",   "after",  "\xDC" "berfall", "Kommissar",
                              "spielt",   "findet",  "gro\xDF" "e", "(2024)", "Liebe",  "am",        "See",
                              "Nachricht", "-",      "Dokumentation", "\xE4lter", "Staffel", "Folge", "neue"};
constexpr int kWordCount = sizeof(kWords) / sizeof(kWords[0]);

// A small generator of the same sequence on every build.
struct Lcg {
    uint32_t s;
    uint32_t next() {
        s = s * 1103515245u + 12345u;
        return s >> 8;
    }
};

std::string filler(Lcg &r, size_t bytes, bool lineBreaks) {
    std::string out;
    while (out.size() < bytes) {
        if (!out.empty())
            out += (lineBreaks && r.next() % 40 == 0) ? '\n' : ' ';
        out += kWords[r.next() % kWordCount];
    }
    out.resize(bytes);
    return out;
}

// DIRO_BENCH_DISK names a folder to keep (bench/run_bench.py reads the files left there).
std::string makeFolder() {
    const char *keep = getenv("DIRO_BENCH_DISK");
    if (keep != nullptr && *keep != 0) {
        mkdir(keep, 0755);
        return keep;
    }
    char templ[] = "/tmp/diro-bench-XXXXXX";
    return mkdtemp(templ) ? std::string(templ) : std::string("/tmp/diro-bench");
}

}  // namespace

World::World(const WorldConfig &config) : config_(config), disk_(makeFolder()) {
    sim::ReceiverConfig rc;
    rc.firmware.diskDir = disk_;
    for (int i = 0; i < config.channels; ++i)
        rc.firmware.lineup.push_back({sim::kTv, "TV " + std::to_string(i + 1), 1000 + i, i + 1, 1 + i / 8, ""});
    rc.firmware.lineup.push_back({sim::kRadio, "Radio 1", 5000, 501, 30, ""});
    int64_t ms = 0;
    sim::parseLocalTime(config.clock, ms);
    rc.firmware.clockMs = ms;
    // Room for the largest data base the plug-in may keep (200 blocks of at most 962,504 bytes).
    rc.firmware.heapSize = size_t(1) << 30;
    rc.linkedInit = &__TAP_Init_;
    rx_ = std::make_unique<sim::Receiver>(rc);
    for (int ch = 0; ch < config.channels; ++ch)
        rx_->firmware().epg.setSchedule(sim::kTv, ch, guide(ch));
    if (config.started) {
        rx_->powerOn();
    } else {
        Clear_Settings();
        ReadClock();
        TAP_Channel_GetCurrent(&_svcType, &_svcNum);
        CountChannels();
        Check_Settings();
    }
    settings.compress_text = config.coded ? 1 : 0;
    settings.search_description = 2;   // the whole text, as grep reads the whole line
    settings.scan_max_channels = config.channels < 10 ? 10 : config.channels;
    Check_Settings();
    prepareSearchEntries();
}

World::~World() {
    // The plug-in's globals outlive the receiver: the views closed, the data base empty.
    closeViews();
    emptyAll();
    rx_.reset();
    const char *keep = getenv("DIRO_BENCH_DISK");
    if (keep != nullptr && *keep != 0)
        return;
    std::string command = "rm -rf '" + disk_ + "'";
    if (system(command.c_str()) != 0)
        std::fprintf(stderr, "could not remove %s\n", disk_.c_str());
}

std::vector<sim::GuideEvent> World::guide(int ch, int variant) const {
    std::vector<sim::GuideEvent> out;
    int64_t start = rx_ ? rx_->firmware().clock.nowMs() : 0;
    if (!rx_)
        sim::parseLocalTime(config_.clock, start);
    Lcg r{uint32_t(ch * 7919 + 17)};
    for (int i = 0; i < config_.events; ++i) {
        sim::GuideEvent e;
        e.startMs = start + int64_t(i) * 20 * 60000;
        e.endMs = e.startMs + 20 * 60000;
        e.eventId = uint16_t(i + 1);
        e.title = filler(r, 12 + r.next() % 30, false);
        if (variant != 0)
            e.title += " (" + std::to_string(variant) + ")";
        e.shortText = filler(r, 20 + r.next() % 60, false);
        e.extText = filler(r, size_t(config_.extBytes), true);
        // About one event in 4000 carries each search word.
        if (r.next() % 400 == 0) {
            const char *w = kSearchWords[r.next() % 10];
            e.extText.replace(r.next() % (e.extText.size() / 2), std::strlen(w), w);
        }
        out.push_back(e);
    }
    return out;
}

void World::fillAll() {
    for (int ch = 0; ch < config_.channels; ++ch)
        FillBuffer(SVC_TYPE_Tv, ch);
}

void World::emptyAll() {
    for (int s = 0; s <= SLOT_SCRATCH; ++s)
        DelBuf(s);
    if (_evtInfo != nullptr)
        TAP_MemFree(_evtInfo);
    _evtInfo = nullptr;
    _eventNum = 0;
}

void World::fillOne(int ch) { FillBuffer(SVC_TYPE_Tv, ch); }

void World::prepareSearchEntries() {
    max_Search = 10;
    for (int e = 0; e < 10; ++e) {
        SearchEntry *s = &Search[e];
        std::memset(s, 0, sizeof *s);
        std::snprintf(s->word, sizeof s->word, "%s", kSearchWords[e]);
        s->first_place = 1;
        s->last_place = uint8_t(config_.channels);
        s->mode = SEARCH_MODE_M;
        s->weekdays = SEARCH_DAYS_ED;
    }
}

void World::searchAll() { SearchAll(SEARCH_ALL_ENTRIES, 0); }
void World::exportCsv() { ExportCSV(0); }
void World::exportHtml() { ExportHTML(0); }
void World::saveBuffer() { SaveBufferFile(); }

void World::loadBuffer() {
    emptyAll();
    ReadBufferFile();
}

int World::idleEvent() { return int(TAP_EventHandler(EVT_IDLE, 0, 0)); }

void World::receiverSeconds(int seconds) {
    for (int i = 0; i < seconds * 20; ++i) {
        rx_->firmware().clock.advanceMs(sim::Receiver::kIdleStepMs);
        TAP_EventHandler(EVT_IDLE, 0, 0);
    }
}

void World::openGuide() {
    rx_->tune(sim::kTv, 0);
    rx_->pressKey(RKEY_Guide);
}

void World::closeViews() {
    for (int i = 0; i < 4 && _epgShow != 0; ++i)
        rx_->pressKey(RKEY_Exit);
}

uint32_t World::key(uint32_t code) { return TAP_EventHandler(EVT_KEY, code, 0); }

size_t World::heapPeak() { return rx_->firmware().heap.peakBytes(); }
size_t World::heapUsed() { return rx_->firmware().heap.usedBytes(); }

namespace {
std::unique_ptr<World> shared;
WorldConfig sharedConfig;

bool sameWorld(const WorldConfig &a, const WorldConfig &b) {
    return a.channels == b.channels && a.events == b.events && a.extBytes == b.extBytes && a.coded == b.coded &&
           a.started == b.started && a.clock == b.clock;
}
}  // namespace

World &sharedWorld(const WorldConfig &config) {
    if (!shared || !sameWorld(config, sharedConfig)) {
        shared.reset();
        shared = std::make_unique<World>(config);
        shared->fillAll();
        sharedConfig = config;
    }
    return *shared;
}

void releaseSharedWorld() { shared.reset(); }

long long fileBytes(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? (long long)st.st_size : -1;
}

}  // namespace bench
