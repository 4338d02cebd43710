// The situations the benchmarks measure, shared by the Google Benchmark suite (bench/*_bench.cpp,
// wall and CPU time on the PC) and the counting program (bench/count.cpp, instruction counts
// under callgrind on the PC and under qemu on the receiver's processor): a virtual receiver with
// the plug-in linked in, a broadcast guide of long texts on every TV channel, the data base
// filled from it, and the operations measured on it.
// Example:
//   bench::World w({.channels = 20, .coded = true});
//   w.fillAll();                   // every channel's 500 events in the data base
//   w.searchAll();                 // the ten search words of bench::kSearchWords
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim/receiver.h"

namespace bench {

struct WorldConfig {
    int channels = 200;        // TV channels with a full guide (the data base holds up to 200)
    int events = 500;          // events per channel
    int extBytes = 1500;       // bytes of each event's long text
    bool coded = false;        // settings.compress_text
    bool started = true;       // TAP_Main has run (else only the settings are at their defaults)
    std::string clock = "2026-12-07 20:00";
};

// The ten search words, each a word of the guide's texts found in a few hundred events at most.
extern const char *const kSearchWords[10];

class World {
public:
    explicit World(const WorldConfig &config);
    ~World();

    sim::Receiver &rx() { return *rx_; }
    const WorldConfig &config() const { return config_; }
    const std::string &disk() const { return disk_; }

    // The firmware's guide of channel ch (its events start at the clock, 20 minutes each). With
    // variant != 0 every title differs from variant 0's.
    std::vector<sim::GuideEvent> guide(int ch, int variant = 0) const;
    // Fills every channel's slot from the firmware (the views closed).
    void fillAll();
    // Empties every slot (the heap blocks go back to the firmware).
    void emptyAll();

    // The operations measured.
    void fillOne(int ch);              // FillBuffer of one channel
    void searchAll();                  // SearchAll over kSearchWords
    void exportCsv();
    void exportHtml();
    void saveBuffer();
    void loadBuffer();                 // ReadBufferFile into an emptied data base
    int idleEvent();                   // one idle event, nothing due
    void receiverSeconds(int seconds); // the idle events of that much receiver time (20 a second)

    // The views' pages: the guide is opened on channel 0 and one page drawn by a key.
    void openGuide();
    void closeViews();
    uint32_t key(uint32_t code);

    // The heap's high-water mark and the bytes in use now.
    size_t heapPeak();
    size_t heapUsed();

private:
    WorldConfig config_;
    std::string disk_;
    std::unique_ptr<sim::Receiver> rx_;
    void prepareSearchEntries();
};

// One world at a time may run (the plug-in's globals are one set). The Google Benchmark suite
// keeps the last one asked for, filled, while the benchmarks that share it run; a benchmark that
// builds a receiver of its own releases it first.
World &sharedWorld(const WorldConfig &config);
void releaseSharedWorld();

// Bytes of a file, -1 when missing.
long long fileBytes(const std::string &path);

}  // namespace bench
