// Helpers shared by every test: temporary folders, whole-file reads and writes, settings file
// images, running the receiver program, and a virtual receiver with the plug-in linked in.
// Example:
//   testsupport::TempDir dir;
//   testsupport::writeFile(dir.file("Diro_ROD.Settings.DAT"), testsupport::settingsImage({{84, 2}}));
//   auto r = testsupport::runReceiver({"--disk", dir.path(), "--script", "-"}, "expect no-file x\n");
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "frame/platform/tap.h"
#include "sim/receiver.h"

namespace testsupport {

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string &path() const { return path_; }
    std::string file(const std::string &name) const { return path_ + "/" + name; }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

private:
    std::string path_;
};

void writeFile(const std::string &path, const std::string &bytes);
std::string readFile(const std::string &path);  // "" if missing

// A settings file image: 128 words of -512 with the given byte offsets set, little-endian
// (or big-endian: every word byte-reversed, as a receiver of the other byte order writes it).
std::string settingsImage(std::initializer_list<std::pair<int, int32_t>> words, bool bigEndian = false);

// The objects of a JSON array that the receiver program dumps ("dump timers", "dump
// recordings"), one a line as it writes them, without the commas between them.
std::vector<std::string> jsonObjects(const std::string &path);
// A timer as "dump timers" writes it: a TV timer from start, "HH:MM" on 2026-12-07 or
// "YYYY-MM-DD HH:MM".
std::string timerJson(int index, const char *kind, int tuner, int channel, const std::string &start, int minutes,
                      const char *name, const char *mode = "OT");

struct ProgramResult {
    int exitCode;
    std::string out, err;
};
// Runs build/receiver (DIRO_RECEIVER_BIN) with args and standard input.
ProgramResult runReceiver(const std::vector<std::string> &args, const std::string &stdinText = "");

// How a test's virtual receiver starts.
struct LinkedOptions {
    std::string clock = "2026-12-07 20:00";  // "YYYY-MM-DD HH:MM[:SS]"
    std::vector<sim::Channel> lineup;        // empty: the demo lineup
    sim::ChannelRef channel;                 // tuned at power-on
    int osdLanguage = LAN_English;
    uint32_t freeMb = 500000;
    size_t heapSize = sim::Heap::kDefaultSize;
    bool powerOn = true;                     // load and start the plug-in at once
};

// A virtual receiver running a plug-in linked into the test program, started with `init`.
std::unique_ptr<sim::Receiver> linkedReceiverWith(sim::TapInitFn init, const std::string &diskDir,
                                                  const LinkedOptions &options = {});

// A virtual receiver running the plug-in linked into the test program (&__TAP_Init_): for the
// programs that link the plug-in (the unit tests). Inline, so that only they refer to it.
inline std::unique_ptr<sim::Receiver> linkedReceiver(const std::string &diskDir, const LinkedOptions &options = {}) {
    return linkedReceiverWith(&__TAP_Init_, diskDir, options);
}

// A virtual receiver loading the plug-in image as the firmware does (DIRO_PLUGIN_IMAGE).
std::unique_ptr<sim::Receiver> imageReceiver(const std::string &diskDir, const LinkedOptions &options = {});

// Whether the program is built with AddressSanitizer: the longest tests run a shorter version.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// The text blocks a buffer file "Diro_ROD.BufferExt.DAT" holds: the slots 0..199 with events, a
// block size in range and a text for record 0 (as its layout gives them), and their bytes. What a
// start that loads the file whole takes from the heap.
struct BufferBlocks {
    size_t count = 0, bytes = 0;
};
BufferBlocks bufferBlocks(const std::string &file);

}  // namespace testsupport
