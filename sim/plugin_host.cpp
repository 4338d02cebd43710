// The plug-in loader (see plugin_host.h): header sections, dlopen, entry table, events, unload.
#include "sim/plugin_host.h"

#include <dlfcn.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace sim {

// --- Header sections ---

namespace {

struct Section {
    std::string name;
    uint32_t type = 0;
    uint64_t offset = 0, size = 0;
};

constexpr uint32_t kShtNobits = 8;

template <typename T>
T readLe(const std::vector<unsigned char> &d, uint64_t at) {
    T v = 0;
    for (size_t i = 0; i < sizeof(T); ++i)
        v |= static_cast<T>(static_cast<T>(d[at + i]) << (8 * i));
    return v;
}

// Reads the section table of an ELF file; false with a message when it is not a readable
// little-endian ELF32/ELF64 file.
bool readSections(const std::vector<unsigned char> &d, std::vector<Section> &out, std::string &error) {
    if (d.size() < 16 || std::memcmp(d.data(), "\x7F" "ELF", 4) != 0) {
        error = "not an ELF file";
        return false;
    }
    int cls = d[4];
    if (cls != 1 && cls != 2) {
        error = "unknown ELF class";
        return false;
    }
    if (d[5] != 1) {
        error = "not a little-endian ELF file";
        return false;
    }
    bool is64 = cls == 2;
    uint64_t ehsize = is64 ? 64 : 52;
    if (d.size() < ehsize) {
        error = "truncated ELF header";
        return false;
    }
    uint64_t shoff = is64 ? readLe<uint64_t>(d, 0x28) : readLe<uint32_t>(d, 0x20);
    uint16_t shentsize = readLe<uint16_t>(d, is64 ? 0x3A : 0x2E);
    uint16_t shnum = readLe<uint16_t>(d, is64 ? 0x3C : 0x30);
    uint16_t shstrndx = readLe<uint16_t>(d, is64 ? 0x3E : 0x32);
    uint64_t minEnt = is64 ? 64 : 40;
    if (shnum == 0 || shentsize < minEnt || shoff > d.size() || uint64_t(shnum) * shentsize > d.size() - shoff ||
        shstrndx >= shnum) {
        error = "no readable section table";
        return false;
    }
    std::vector<Section> raw(shnum);
    std::vector<uint32_t> nameOffsets(shnum);
    for (uint16_t i = 0; i < shnum; ++i) {
        uint64_t at = shoff + uint64_t(i) * shentsize;
        nameOffsets[i] = readLe<uint32_t>(d, at);
        raw[i].type = readLe<uint32_t>(d, at + 4);
        raw[i].offset = is64 ? readLe<uint64_t>(d, at + 0x18) : readLe<uint32_t>(d, at + 0x10);
        raw[i].size = is64 ? readLe<uint64_t>(d, at + 0x20) : readLe<uint32_t>(d, at + 0x14);
    }
    const Section &strtab = raw[shstrndx];
    if (strtab.offset > d.size() || strtab.size > d.size() - strtab.offset) {
        error = "section names lie outside the file";
        return false;
    }
    for (uint16_t i = 0; i < shnum; ++i) {
        if (nameOffsets[i] >= strtab.size)
            continue;
        const char *start = reinterpret_cast<const char *>(d.data() + strtab.offset + nameOffsets[i]);
        raw[i].name.assign(start, strnlen(start, static_cast<size_t>(strtab.size - nameOffsets[i])));
    }
    out = std::move(raw);
    return true;
}

// The content of a named section of exactly `size` bytes; false with a message.
bool sectionBytes(const std::vector<unsigned char> &d, const std::vector<Section> &sections, const char *name,
                  uint64_t size, std::vector<unsigned char> &bytes, std::string &error) {
    for (const Section &s : sections) {
        if (s.name != name)
            continue;
        if (s.size != size) {
            error = std::string("section ") + name + " is " + std::to_string(s.size) + " bytes, expected " +
                    std::to_string(size);
            return false;
        }
        if (s.type == kShtNobits || s.offset > d.size() || s.size > d.size() - s.offset) {
            error = std::string("section ") + name + " has no contents in the file";
            return false;
        }
        bytes.assign(d.begin() + static_cast<long>(s.offset), d.begin() + static_cast<long>(s.offset + s.size));
        return true;
    }
    error = std::string("no section ") + name + " (not a plug-in image)";
    return false;
}

// A zero-padded text section: the text before the first NUL; false when there is no NUL.
bool sectionText(const std::vector<unsigned char> &d, const std::vector<Section> &sections, const char *name,
                 uint64_t size, std::string &text, std::string &error) {
    std::vector<unsigned char> bytes;
    if (!sectionBytes(d, sections, name, size, bytes, error))
        return false;
    auto nul = std::find(bytes.begin(), bytes.end(), 0);
    if (nul == bytes.end()) {
        error = std::string("section ") + name + " is not NUL-terminated";
        return false;
    }
    text.assign(bytes.begin(), nul);
    return true;
}

}  // namespace

bool checkPluginImage(const std::string &path, PluginImageInfo &info, std::string &error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot read the plug-in image";
        return false;
    }
    std::vector<unsigned char> d((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<Section> sections;
    std::vector<unsigned char> header, id;
    std::string why;
    bool ok = readSections(d, sections, why) &&
              sectionBytes(d, sections, "._tap_header", TAP_HEADER_SIZE, header, why) &&
              sectionBytes(d, sections, "._tap_id", 4, id, why);
    if (ok && std::memcmp(header.data(), TAP_HEADER_MAGIC, 8) != 0) {
        why = "section ._tap_header does not start with " TAP_HEADER_MAGIC;
        ok = false;
    }
    if (ok && readLe<uint32_t>(header, 8) != TAP_HEADER_VERSION) {
        why = "section ._tap_header has version " + std::to_string(readLe<uint32_t>(header, 8)) + ", expected " +
              std::to_string(TAP_HEADER_VERSION);
        ok = false;
    }
    if (ok && std::any_of(header.begin() + 12, header.end(), [](unsigned char c) { return c != 0; })) {
        why = "section ._tap_header is not zero after its version word";
        ok = false;
    }
    if (ok) {
        info.id = readLe<uint32_t>(id, 0);
        if (!(info.id & 0x80000000u)) {
            char buf[80];
            std::snprintf(buf, sizeof buf, "section ._tap_id 0x%08X lacks the top bit", info.id);
            why = buf;
            ok = false;
        }
    }
    ok = ok && sectionText(d, sections, "._tap_program_name", TAP_PROGRAM_NAME_SIZE, info.programName, why) &&
         sectionText(d, sections, "._tap_author_name", TAP_AUTHOR_NAME_SIZE, info.authorName, why) &&
         sectionText(d, sections, "._tap_description", TAP_DESCRIPTION_SIZE, info.description, why) &&
         sectionText(d, sections, "._tap_etcinfo", TAP_ETCINFO_SIZE, info.etcInfo, why);
    if (!ok)
        error = path + ": " + why;
    return ok;
}

// --- Loading and events ---

PluginHost::~PluginHost() {
    if (handle_) {
        dlclose(handle_);
        handle_ = nullptr;
    }
}

bool PluginHost::load(const std::string &imagePath) {
    error_.clear();
    if (state_ != State::Unloaded) {
        error_ = "a plug-in is already loaded";
        return false;
    }
    PluginImageInfo info;
    if (!checkPluginImage(imagePath, info, error_))
        return false;
    char resolved[PATH_MAX];
    path_ = realpath(imagePath.c_str(), resolved) ? resolved : imagePath;
    if (void *already = dlopen(path_.c_str(), RTLD_NOW | RTLD_NOLOAD)) {
        dlclose(already);
        error_ = path_ + ": the image is loaded already (a second receiver would share its globals)";
        return false;
    }
    handle_ = dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char *why = dlerror();
        error_ = path_ + ": cannot load: " + (why ? why : "unknown error");
        return false;
    }
    void *sym = dlsym(handle_, "__TAP_Init_");
    if (!sym) {
        error_ = path_ + ": no entry __TAP_Init_";
        unload();
        return false;
    }
    info_ = info;
    TapInitFn init;
    static_assert(sizeof init == sizeof sym, "function and data pointers differ");
    std::memcpy(&init, &sym, sizeof init);
    if (!initialise(init)) {
        unload();
        return false;
    }
    return true;
}

bool PluginHost::link(TapInitFn init) {
    error_.clear();
    if (state_ != State::Unloaded) {
        error_ = "a plug-in is already loaded";
        return false;
    }
    if (!init) {
        error_ = "no init function to link";
        return false;
    }
    linkedInit_ = init;
    info_ = PluginImageInfo();
    info_.programName = "(linked)";
    return initialise(init);
}

bool PluginHost::initialise(TapInitFn init) {
    TapEntryFn table[TAP_ENTRY_COUNT] = {nullptr, nullptr};
    fw_.activate();
    fw_.system.clearExitRequest();
    int rc = init(table);
    if (rc != 0 || !table[TAP_ENTRY_MAIN] || !table[TAP_ENTRY_EVENT_HANDLER]) {
        error_ = "__TAP_Init_ returned " + std::to_string(rc) + (table[TAP_ENTRY_MAIN] ? "" : ", no TAP_Main") +
                 (table[TAP_ENTRY_EVENT_HANDLER] ? "" : ", no TAP_EventHandler");
        return false;
    }
    main_ = reinterpret_cast<TapMainFn>(table[TAP_ENTRY_MAIN]);
    handler_ = reinterpret_cast<TapEventHandlerFn>(table[TAP_ENTRY_EVENT_HANDLER]);
    state_ = State::Loaded;
    ++loads_;
    return true;
}

bool PluginHost::start() {
    if (state_ != State::Loaded) {
        error_ = "no plug-in loaded to start";
        return false;
    }
    fw_.activate();
    mainResult_ = main_();
    if (mainResult_ == 0) {
        unload();
        return false;
    }
    state_ = State::Resident;
    endIfExitRequested();
    return state_ == State::Resident;
}

dword PluginHost::deliver(dword event, dword param1, dword param2) {
    if (state_ != State::Resident)
        return param1;
    fw_.activate();
    dword result = handler_(event, param1, param2);
    endIfExitRequested();
    return result;
}

void PluginHost::endIfExitRequested() {
    if (fw_.system.exitRequested())
        unload();
}

void PluginHost::unload() {
    if (state_ == State::Unloaded && !handle_)
        return;
    state_ = State::Unloaded;
    main_ = nullptr;
    handler_ = nullptr;
    fw_.system.clearExitRequest();
    leftovers_ = fw_.reclaimPluginResources();
    linkedInit_ = nullptr;
    if (!handle_)
        return;
    dlclose(handle_);
    handle_ = nullptr;
    // A reload must start with the image's globals as built: the image has to be gone.
    void *still = dlopen(path_.c_str(), RTLD_NOW | RTLD_NOLOAD);
    lastUnloadClean_ = still == nullptr;
    if (still) {
        dlclose(still);
        std::fprintf(stderr, "virtual receiver: %s stayed in memory after unloading; a reload keeps its globals\n",
                     path_.c_str());
    }
}

}  // namespace sim
