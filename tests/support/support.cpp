// Test helpers shared by the unit and receiver tests (see support.h).
#include "tests/support/support.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "receiver/buffer_dump.h"
#include "receiver/lineup.h"
#include "sim/clock.h"

namespace testsupport {

TempDir::TempDir() {
    std::string base = (std::filesystem::temp_directory_path() / "diro-test-XXXXXX").string();
    std::vector<char> name(base.begin(), base.end());
    name.push_back('\0');
    if (!mkdtemp(name.data())) {
        std::perror("mkdtemp");
        std::abort();
    }
    path_ = name.data();
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void writeFile(const std::string &path, const std::string &bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << bytes;
}

std::string readFile(const std::string &path) {
    std::ifstream f(path, std::ios::binary);
    if (!f)
        return "";
    return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

std::string settingsImage(std::initializer_list<std::pair<int, int32_t>> words, bool bigEndian) {
    int32_t values[128];
    for (int32_t &v : values)
        v = -512;
    for (const auto &w : words)
        if (w.first >= 0 && w.first < 512 && w.first % 4 == 0)
            values[w.first / 4] = w.second;
    std::string bytes;
    for (int32_t v : values) {
        uint32_t u = static_cast<uint32_t>(v);
        for (int i = 0; i < 4; ++i) {
            int shift = bigEndian ? 8 * (3 - i) : 8 * i;
            bytes += static_cast<char>((u >> shift) & 0xFF);
        }
    }
    return bytes;
}

std::vector<std::string> jsonObjects(const std::string &path) {
    std::vector<std::string> out;
    std::istringstream in(readFile(path));
    for (std::string line; std::getline(in, line);) {
        size_t open = line.find('{');
        if (open == std::string::npos)
            continue;
        line = line.substr(open);
        if (!line.empty() && line.back() == ',')
            line.pop_back();
        out.push_back(line);
    }
    return out;
}

std::string timerJson(int index, const char *kind, int tuner, int channel, const std::string &start, int minutes,
                      const char *name, const char *mode) {
    std::ostringstream s;
    s << "{\"index\": " << index << ", \"kind\": \"" << kind << "\", \"tuner\": " << tuner
      << ", \"type\": \"tv\", \"channel\": " << channel << ", \"start\": \""
      << (start.size() > 5 ? start : "2026-12-07 " + start) << "\", \"duration\": " << minutes << ", \"mode\": \"" << mode << "\", \"name\": \"" << name << "\"}";
    return s.str();
}

ProgramResult runReceiver(const std::vector<std::string> &args, const std::string &stdinText) {
    ProgramResult result{-1, "", ""};
    int inPipe[2], outPipe[2], errPipe[2];
    if (pipe(inPipe) != 0 || pipe(outPipe) != 0 || pipe(errPipe) != 0)
        return result;
    pid_t pid = fork();
    if (pid == 0) {
        dup2(inPipe[0], 0);
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        for (int fd : {inPipe[0], inPipe[1], outPipe[0], outPipe[1], errPipe[0], errPipe[1]})
            close(fd);
        std::vector<char *> argv;
        std::string bin = DIRO_RECEIVER_BIN;
        argv.push_back(bin.data());
        std::vector<std::string> copy = args;
        for (std::string &a : copy)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(bin.c_str(), argv.data());
        std::perror("execv");
        _exit(127);
    }
    close(inPipe[0]);
    close(outPipe[1]);
    close(errPipe[1]);
    // Feed standard input and collect both outputs without blocking on either.
    signal(SIGPIPE, SIG_IGN);
    size_t written = 0;
    int inFd = inPipe[1];
    if (stdinText.empty()) {
        close(inFd);
        inFd = -1;
    }
    bool outOpen = true, errOpen = true;
    char buf[4096];
    while (outOpen || errOpen || inFd >= 0) {
        pollfd fds[3];
        int n = 0;
        if (outOpen)
            fds[n++] = {outPipe[0], POLLIN, 0};
        if (errOpen)
            fds[n++] = {errPipe[0], POLLIN, 0};
        if (inFd >= 0)
            fds[n++] = {inFd, POLLOUT, 0};
        if (poll(fds, static_cast<nfds_t>(n), -1) < 0 && errno != EINTR)
            break;
        for (int i = 0; i < n; ++i) {
            if (!fds[i].revents)
                continue;
            if (fds[i].fd == inFd) {
                ssize_t w = write(inFd, stdinText.data() + written, stdinText.size() - written);
                if (w > 0)
                    written += static_cast<size_t>(w);
                if (w < 0 || written == stdinText.size()) {
                    close(inFd);
                    inFd = -1;
                }
                continue;
            }
            ssize_t r = read(fds[i].fd, buf, sizeof buf);
            bool isOut = fds[i].fd == outPipe[0];
            if (r <= 0) {
                (isOut ? outOpen : errOpen) = false;
                continue;
            }
            (isOut ? result.out : result.err).append(buf, static_cast<size_t>(r));
        }
    }
    close(outPipe[0]);
    close(errPipe[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

namespace {
sim::ReceiverConfig configFor(const std::string &diskDir, const LinkedOptions &o) {
    sim::ReceiverConfig config;
    config.firmware.diskDir = diskDir;
    config.firmware.lineup = o.lineup.empty() ? rx::demoLineup() : o.lineup;
    if (!sim::parseLocalTime(o.clock, config.firmware.clockMs)) {
        std::fprintf(stderr, "testsupport: bad clock \"%s\"\n", o.clock.c_str());
        std::abort();
    }
    config.firmware.channel = o.channel;
    config.firmware.osdLanguage = o.osdLanguage;
    config.firmware.freeMb = o.freeMb;
    config.firmware.heapSize = o.heapSize;
    return config;
}

std::unique_ptr<sim::Receiver> started(sim::ReceiverConfig config, bool powerOn) {
    auto rx = std::make_unique<sim::Receiver>(config);
    if (powerOn && !rx->powerOn())
        std::fprintf(stderr, "testsupport: the plug-in did not start: %s\n", rx->error().c_str());
    return rx;
}
}  // namespace

std::unique_ptr<sim::Receiver> linkedReceiverWith(sim::TapInitFn init, const std::string &diskDir,
                                                  const LinkedOptions &options) {
    sim::ReceiverConfig config = configFor(diskDir, options);
    config.linkedInit = init;
    return started(config, options.powerOn);
}

std::unique_ptr<sim::Receiver> imageReceiver(const std::string &diskDir, const LinkedOptions &options) {
    sim::ReceiverConfig config = configFor(diskDir, options);
    config.imagePath = DIRO_PLUGIN_IMAGE;
    return started(config, options.powerOn);
}

BufferBlocks bufferBlocks(const std::string &file) {
    auto word = [&file](size_t at) {
        uint32_t v = 0;
        for (size_t i = 0; i < 4; ++i)
            v |= uint32_t(uint8_t(file[at + i])) << (8 * i);
        return v;
    };
    const size_t sizes = 4 * rx::kBufferSlots, records = rx::kBufferHeadSize;   // the block sizes, record 0 of slot 0
    BufferBlocks b;
    for (size_t s = 0; s < size_t(rx::kBufferedChannels) && file.size() >= rx::kBufferFixedSize; ++s) {
        uint32_t count = word(s * 4), size = word(sizes + s * 4);
        uint32_t text0 = word(records + s * rx::kEventsPerSlot * rx::kEventRecordSize + 12);
        if (count > 0 && size >= 1 && size <= rx::kMaxBlockSize && text0 != 0) {
            ++b.count;
            b.bytes += size;
        }
    }
    return b;
}

}  // namespace testsupport
