// Fuzzes the receiver program's lineup file (receiver/lineup.h): the input is the file. A lineup
// read becomes the firmware's channel list, whose records the plug-in reads.
// Checked: a lineup read gives records with terminated names of at most 23 bytes.
#include <cstring>
#include <string>
#include <vector>

#include "receiver/lineup.h"
#include "sim/channels.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::vector<sim::Channel> lineup;
    std::string error;
    if (!rx::parseLineup(std::string(reinterpret_cast<const char *>(data), size), "fuzz.txt", lineup, error))
        return 0;
    sim::Channels channels(lineup);
    for (int type : {sim::kTv, sim::kRadio}) {
        for (int n = 0; n < channels.count(type); ++n) {
            PlatformChannelInfo info;
            FUZZ_CHECK(channels.info(type, n, &info) == 1, "every channel has its record");
            FUZZ_CHECK(std::memchr(info.name, 0, sizeof info.name) != nullptr, "a channel name is terminated");
        }
    }
    return 0;
}
