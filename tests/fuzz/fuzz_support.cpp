// The fuzz targets' shared receiver and disk (see fuzz_support.h).
#include "tests/fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "tests/support/support.h"

namespace fuzzsupport {

namespace {
// Made once and removed at the end of the process, the disk folder with it.
struct Shared {
    testsupport::TempDir dir;
    std::unique_ptr<sim::Receiver> rx;
    Shared() : rx(testsupport::linkedReceiver(dir.path())) {
        if (!rx->pluginRunning()) {
            std::fprintf(stderr, "fuzz: the plug-in did not start: %s\n", rx->error().c_str());
            std::abort();
        }
    }
};

Shared &shared() {
    static Shared s;
    return s;
}
}  // namespace

sim::Receiver &receiver() {
    return *shared().rx;
}

void putFile(const std::string &name, const uint8_t *data, size_t size) {
    std::string path = shared().dir.file(name);
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(path.c_str());
        std::abort();
    }
    if (size > 0 && std::fwrite(data, 1, size, f) != size) {
        std::perror(path.c_str());
        std::abort();
    }
    std::fclose(f);
}

void removeFile(const std::string &name) {
    std::remove(shared().dir.file(name).c_str());
}

void fail(const char *file, int line, const char *what) {
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, what);
    std::abort();
}

}  // namespace fuzzsupport
