// The plug-in loader as the firmware runs it:
//   Header    images refused with a message naming the fault (not ELF, no header, wrong magic,
//             version, id, sizes; ELF32 and ELF64 section tables both read)
//   Loading   the real image loads, starts and stays; its texts are read
//   Unloading TAP_Exit during an event unloads after the call; restart really unloads (checked
//             with RTLD_NOLOAD) and loads afresh; the firmware takes back files, heap and regions
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>

#include "sim/plugin_host.h"
#include "sim/receiver.h"
#include "tests/support/support.h"

using testsupport::TempDir;
using testsupport::writeFile;

namespace {

struct FakeSection {
    std::string name;
    std::string bytes;
};

void put(std::string &d, size_t at, uint64_t v, int n) {
    for (int i = 0; i < n; ++i)
        d[at + static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A minimal little-endian ELF file with the given sections (plus the null section and the
// section name table), laid out: header, section contents, names, section table.
std::string fakeElf(bool is64, const std::vector<FakeSection> &sections) {
    size_t ehsize = is64 ? 64 : 52, shentsize = is64 ? 64 : 40;
    std::string d(ehsize, '\0');
    std::memcpy(&d[0], "\x7F" "ELF", 4);
    d[4] = is64 ? 2 : 1;
    d[5] = 1;
    d[6] = 1;
    std::vector<size_t> offsets;
    for (const FakeSection &s : sections) {
        offsets.push_back(d.size());
        d += s.bytes;
    }
    std::string names(1, '\0');
    std::vector<size_t> nameAt;
    for (const FakeSection &s : sections) {
        nameAt.push_back(names.size());
        names += s.name + '\0';
    }
    size_t shstrName = names.size();
    names += std::string(".shstrtab") + '\0';
    size_t namesAt = d.size();
    d += names;
    size_t shoff = d.size();
    size_t count = sections.size() + 2;
    d.resize(shoff + count * shentsize, '\0');
    auto header = [&](size_t index, size_t name, uint32_t type, size_t offset, size_t size) {
        size_t at = shoff + index * shentsize;
        put(d, at, name, 4);
        put(d, at + 4, type, 4);
        put(d, at + (is64 ? 0x18 : 0x10), offset, is64 ? 8 : 4);
        put(d, at + (is64 ? 0x20 : 0x14), size, is64 ? 8 : 4);
    };
    for (size_t i = 0; i < sections.size(); ++i)
        header(i + 1, nameAt[i], 1, offsets[i], sections[i].bytes.size());
    header(count - 1, shstrName, 3, namesAt, names.size());
    put(d, is64 ? 0x28 : 0x20, shoff, is64 ? 8 : 4);
    put(d, is64 ? 0x3A : 0x2E, shentsize, 2);
    put(d, is64 ? 0x3C : 0x30, count, 2);
    put(d, is64 ? 0x3E : 0x32, count - 1, 2);
    return d;
}

std::string padded(const std::string &text, size_t size) { return text + std::string(size - text.size(), '\0'); }

std::vector<FakeSection> goodSections() {
    std::string header = padded("PLUGMIPS", 32);
    header[8] = 16;
    return {{"._tap_header", header},
            {"._tap_id", std::string("\x01\x00\x00\x80", 4)},
            {"._tap_program_name", padded("Dir'o ROD", 64)},
            {"._tap_author_name", padded("Zib", 64)},
            {"._tap_description", padded("open EPG -> STOP to exit Dir'o ROD", 128)},
            {"._tap_etcinfo", padded("Dec 7 2026", 64)}};
}

// The message checkPluginImage gives for an image with these sections ("" when accepted).
std::string verdict(TempDir &dir, const std::vector<FakeSection> &sections, bool is64 = true) {
    std::string path = dir.file("image.tap");
    writeFile(path, fakeElf(is64, sections));
    sim::PluginImageInfo info;
    std::string error;
    return sim::checkPluginImage(path, info, error) ? "" : error;
}

TEST(PluginHeader, AWellFormedHeaderIsAcceptedInElf32AndElf64) {
    TempDir dir;
    for (bool is64 : {false, true}) {
        std::string path = dir.file("image.tap");
        writeFile(path, fakeElf(is64, goodSections()));
        sim::PluginImageInfo info;
        std::string error;
        ASSERT_TRUE(sim::checkPluginImage(path, info, error)) << error;
        EXPECT_EQ(info.id, 0x80000001u);
        EXPECT_EQ(info.programName, "Dir'o ROD");
        EXPECT_EQ(info.authorName, "Zib");
        EXPECT_EQ(info.etcInfo, "Dec 7 2026");
    }
}

TEST(PluginHeader, BadImagesAreRefusedNamingTheFault) {
    TempDir dir;
    writeFile(dir.file("text.tap"), "#!/bin/sh\necho not a plug-in\n");
    sim::PluginImageInfo info;
    std::string error;
    EXPECT_FALSE(sim::checkPluginImage(dir.file("text.tap"), info, error));
    EXPECT_NE(error.find("not an ELF file"), std::string::npos) << error;
    EXPECT_FALSE(sim::checkPluginImage(dir.file("missing.tap"), info, error));
    EXPECT_NE(error.find("cannot read"), std::string::npos) << error;

    // A real ELF program without the header sections.
    EXPECT_FALSE(sim::checkPluginImage(DIRO_RECEIVER_BIN, info, error));
    EXPECT_NE(error.find("no section ._tap_header"), std::string::npos) << error;

    auto with = [](const std::string &name, const std::string &bytes) {
        std::vector<FakeSection> s = goodSections();
        for (FakeSection &f : s)
            if (f.name == name)
                f.bytes = bytes;
        return s;
    };
    std::string header = goodSections()[0].bytes;
    std::string wrongMagic = header, wrongVersion = header, dirty = header;
    wrongMagic[4] = 'X';
    wrongVersion[8] = 15;
    dirty[31] = 1;
    EXPECT_NE(verdict(dir, with("._tap_header", wrongMagic)).find("does not start with PLUGMIPS"), std::string::npos);
    EXPECT_NE(verdict(dir, with("._tap_header", wrongVersion)).find("version 15, expected 16"), std::string::npos);
    EXPECT_NE(verdict(dir, with("._tap_header", dirty)).find("not zero"), std::string::npos);
    EXPECT_NE(verdict(dir, with("._tap_header", header.substr(0, 16))).find("16 bytes, expected 32"),
              std::string::npos);
    EXPECT_NE(verdict(dir, with("._tap_id", std::string("\x01\x00\x00\x00", 4))).find("top bit"),
              std::string::npos);
    EXPECT_NE(verdict(dir, with("._tap_program_name", std::string(64, 'x'))).find("not NUL-terminated"),
              std::string::npos);
    std::vector<FakeSection> noEtc = goodSections();
    noEtc.pop_back();
    EXPECT_NE(verdict(dir, noEtc, false).find("no section ._tap_etcinfo"), std::string::npos);
}

TEST(PluginHost, ARefusedImageLeavesTheReceiverRunningWithoutAPlugin) {
    TempDir dir;
    writeFile(dir.file("text.tap"), "not a plug-in");
    sim::ReceiverConfig config;
    config.firmware.diskDir = dir.path() + "/disk";
    config.imagePath = dir.file("text.tap");
    sim::Receiver rx(config);
    EXPECT_FALSE(rx.powerOn());
    EXPECT_NE(rx.error().find("not an ELF file"), std::string::npos);
    EXPECT_FALSE(rx.pluginRunning());
    EXPECT_EQ(rx.pressKey(RKEY_Ok), static_cast<uint32_t>(RKEY_Ok)) << "keys go to the firmware";
    EXPECT_EQ(rx.passedKeys().size(), 1u);
}

bool imageInMemory() {
    void *h = dlopen(DIRO_PLUGIN_IMAGE, RTLD_NOW | RTLD_NOLOAD);
    if (h)
        dlclose(h);
    return h != nullptr;
}

TEST(PluginHost, TheRealImageLoadsStaysAndReallyUnloadsOnRestart) {
    TempDir dir;
    auto rx = testsupport::imageReceiver(dir.path());
    ASSERT_TRUE(rx->pluginRunning()) << rx->error();
    EXPECT_EQ(rx->host().info().programName, "Dir'o ROD");
    EXPECT_TRUE(rx->host().info().id & 0x80000000u);
    EXPECT_TRUE(imageInMemory());
    // A second receiver in the same process would share the image's globals: refused.
    testsupport::LinkedOptions off;
    off.powerOn = false;
    auto second = testsupport::imageReceiver(dir.path() + "/2", off);
    EXPECT_FALSE(second->powerOn());
    EXPECT_NE(second->error().find("loaded already"), std::string::npos);

    rx->host().unload();
    EXPECT_TRUE(rx->host().lastUnloadClean());
    EXPECT_FALSE(imageInMemory()) << "the image must be gone so that a reload has clean globals";
    EXPECT_TRUE(rx->powerOn());
    EXPECT_TRUE(rx->restart());
    EXPECT_TRUE(rx->pluginRunning());
    EXPECT_EQ(rx->host().loads(), 3);
    rx.reset();
    EXPECT_FALSE(imageInMemory());
}

// A tiny plug-in linked into this test: it opens a file, takes heap, draws, and ends on STOP.
namespace fake {
int stops = 0;
word region;
int Main() {
    region = static_cast<word>(TAP_Osd_Create(0, 0, 720, 576, 0, 0));
    TAP_Osd_PutS(region, 100, 100, 600, "Fake plug-in", 0xFFFFFFFF, 0xFF000000, 0, 2, 0, ALIGN_LEFT);
    TAP_Hdd_Create("fake.txt", ATTR_NORMAL);
    TAP_Hdd_Fopen("fake.txt");
    TAP_MemAlloc(1000);
    return 1;
}
dword Handler(dword event, dword param1, dword) {
    if (event == EVT_KEY && param1 == RKEY_Stop) {
        ++stops;
        TAP_Exit();
        return 0;
    }
    return event == EVT_KEY && param1 == RKEY_Ok ? 0 : param1;
}
int Init(TapEntryFn *table) {
    table[TAP_ENTRY_MAIN] = reinterpret_cast<TapEntryFn>(&Main);
    table[TAP_ENTRY_EVENT_HANDLER] = reinterpret_cast<TapEntryFn>(&Handler);
    return 0;
}
int Quitter(TapEntryFn *table) {
    Init(table);
    table[TAP_ENTRY_MAIN] = reinterpret_cast<TapEntryFn>(+[]() { return 0; });
    return 0;
}
}  // namespace fake

TEST(PluginHost, TapExitEndsThePluginAfterItsCallAndTheFirmwareTakesBackItsResources) {
    TempDir dir;
    sim::ReceiverConfig config;
    config.firmware.diskDir = dir.path();
    config.firmware.lineup = {{sim::kTv, "One", 1, 1, 1, ""}, {sim::kTv, "Two", 2, 2, 1, ""}};
    config.linkedInit = &fake::Init;
    sim::Receiver rx(config);
    ASSERT_TRUE(rx.powerOn()) << rx.error();
    EXPECT_TRUE(rx.screen().shows("Fake plug-in"));
    EXPECT_EQ(rx.pressKey(RKEY_Ok), 0u) << "consumed";
    EXPECT_EQ(rx.pressKey(RKEY_Up), static_cast<uint32_t>(RKEY_Up));
    EXPECT_EQ(rx.firmware().channels.current().svcNum, 1) << "the firmware switched on UP";
    rx.setState(0, 5);  // a firmware menu is open: UP does not switch channel
    rx.pressKey(RKEY_Up);
    EXPECT_EQ(rx.firmware().channels.current().svcNum, 1);
    rx.setState(0, 31);
    EXPECT_EQ(rx.pressKey(RKEY_Stop), 0u);
    EXPECT_EQ(fake::stops, 1);
    EXPECT_FALSE(rx.pluginRunning());
    EXPECT_EQ(rx.host().lastLeftovers().openFiles, 1);
    EXPECT_EQ(rx.host().lastLeftovers().heapBlocks, 1u);
    EXPECT_EQ(rx.host().lastLeftovers().heapBytes, 1000u);
    EXPECT_FALSE(rx.screen().shows("Fake plug-in")) << "its region is gone";
    EXPECT_EQ(rx.pressKey(RKEY_Stop), static_cast<uint32_t>(RKEY_Stop)) << "keys now go to the firmware";
    EXPECT_EQ(fake::stops, 1);
    rx.advance(1000);  // no plug-in: idle time is harmless

    sim::ReceiverConfig quitting = config;
    quitting.linkedInit = &fake::Quitter;
    sim::Receiver rx2(quitting);
    EXPECT_FALSE(rx2.powerOn());
    EXPECT_NE(rx2.error().find("TAP_Main returned 0"), std::string::npos);
}

}  // namespace
