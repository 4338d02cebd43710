// The files the guide leaves for programs on a computer, through the receiver program.
//   Exports   after the nightly scan (settings ask for both exports) the CSV file reads in a CSV
//             reader and the HTML file in an HTML parser with the data base's events and fields
//             (tests/receiver/check_exports.py against --dump-buffer)
//   Xmltv     --buffer-to-xmltv: the document (ids, texts, times, what XMLTV wants), a round trip
//             from an XMLTV guide through the plug-in's data base, the XMLTV project's validator
//             on it and on the demo guide's data base, bad calls and missing files
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>

#include "receiver/xmltv.h"
#include "receiver/xmltv_write.h"
#include "sim/clock.h"
#include "tests/support/support.h"

using testsupport::readFile;
using testsupport::runReceiver;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

int shell(const std::string &command) {
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool haveProgram(const char *name) { return shell(std::string("command -v ") + name + " >/dev/null 2>&1") == 0; }

std::string xmltvData() { return std::string(DIRO_SOURCE_DIR) + "/../shared/data/xmltv"; }

// The XMLTV project's validator, offline (the DTD from the shared data); "" when it passed, else
// what it said. Skips the test where the validator or the DTD is missing.
#define EXPECT_VALID_XMLTV(path, dir)                                                                           \
    do {                                                                                                        \
        if (!haveProgram("tv_validate_file"))                                                                  \
            GTEST_SKIP() << "tv_validate_file (Debian's xmltv-util) is not installed";                         \
        if (!std::filesystem::exists(xmltvData() + "/xmltv.dtd"))                                              \
            GTEST_SKIP() << "the XMLTV DTD is not here: " << xmltvData();                                      \
        std::string log = (dir).file("validate.log");                                                          \
        int rc = shell("XMLTV_SUPPLEMENT='" + xmltvData() + "' tv_validate_file '" + (path) + "' >'" + log +    \
                       "' 2>&1");                                                                               \
        EXPECT_EQ(rc, 0) << readFile(log);                                                                      \
    } while (0)

// --- Exports ---

TEST(Exports, AfterTheNightlyScanBothFilesReadInCsvAndHtmlReadersWithTheDataBasesEvents) {
    if (!haveProgram("python3"))
        GTEST_SKIP() << "python3 is not installed";
    TempDir dir;
    std::string disk = dir.file("disk");
    std::filesystem::create_directories(disk);
    writeFile(disk + "/Diro_ROD.Settings.DAT",
              testsupport::settingsImage({{80, 3}, {12, 10}, {148, 3}}));  // both exports, 10 channels, 3 s each
    auto r = runReceiver({"--disk", disk, "--clock", "2026-12-08 02:58:30", "--script", "-"},
                         "expect no-file Diro_ROD.Export.CSV\n"
                         "wait 3m\n"
                         "expect file Diro_ROD.Export.CSV\n"
                         "expect file Diro_ROD.Export.html\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto dump = runReceiver({"--dump-buffer", disk});
    ASSERT_EQ(dump.exitCode, 0) << dump.err;
    writeFile(dir.file("dump.txt"), dump.out);
    std::string log = dir.file("check.log");
    int rc = shell("python3 '" + std::string(DIRO_SOURCE_DIR) + "/tests/receiver/check_exports.py' '" + disk +
                   "/Diro_ROD.Export.CSV' '" + disk + "/Diro_ROD.Export.html' '" + dir.file("dump.txt") + "' 10 >'" +
                   log + "' 2>&1");
    EXPECT_EQ(rc, 0) << readFile(log);
    // The data base holds more channels than were scanned: those are not exported.
    EXPECT_NE(dump.out.find("\n10|"), std::string::npos);
    EXPECT_EQ(readFile(disk + "/Diro_ROD.Export.CSV").find("||11||"), std::string::npos);
}

// --- Xmltv ---

rx::BufferEvent event(const char *start, const char *end, std::string title, std::string shortInfo = "",
                      std::string longInfo = "") {
    rx::BufferEvent e;
    for (auto [text, mjd, hour, minute] : {std::tuple{start, &e.startMjd, &e.startHour, &e.startMinute},
                                           std::tuple{end, &e.endMjd, &e.endHour, &e.endMinute}}) {
        int64_t ms = 0;
        EXPECT_TRUE(sim::parseLocalTime(text, ms));
        sim::CivilTime c = sim::Clock::toCivil(ms);
        *mjd = static_cast<uint32_t>(c.mjd);
        *hour = c.hour;
        *minute = c.minute;
    }
    e.title = std::move(title);
    e.shortInfo = std::move(shortInfo);
    e.longInfo = std::move(longInfo);
    return e;
}

TEST(Xmltv, ChannelIdsAreOfTheFormValidatorsAcceptAndTextsAreEscapedAndSplitIntoElements) {
    EXPECT_EQ(rx::xmltvChannelId(0, "Das Erste HD"), "1.das-erste-hd.dirorod");
    EXPECT_EQ(rx::xmltvChannelId(11, "\xD6sterreich 1 / FM4"), "12.osterreich-1-fm4.dirorod");
    EXPECT_EQ(rx::xmltvChannelId(2, " !?"), "3.dirorod");

    rx::BufferContents c;
    c.readable = true;
    rx::BufferChannel a;
    a.slot = 0;
    a.name = "Kanal & Co";
    a.events = {event("2026-12-07 23:30", "2026-12-08 00:15", "K\xE4se <live> & \"mehr\"", "Folge 1",
                      "Zeile 1|Zeile 2\x01"),
                event("2026-12-08 00:15", "2026-12-08 01:00", "", "  ", "|")};
    rx::BufferChannel b;
    b.slot = 4;
    b.events = {event("2026-12-08 06:00", "2026-12-08 06:30", "Morgen")};
    c.channels = {a, b};
    std::string xml = rx::xmltvFromBuffer(c, rx::Zone::fixed(-270));
    EXPECT_NE(xml.find("<channel id=\"1.kanal-co.dirorod\">\n    <display-name>Kanal &amp; Co</display-name>"),
              std::string::npos)
        << xml;
    EXPECT_NE(xml.find("<channel id=\"5.dirorod\">\n    <display-name>Channel 5</display-name>"), std::string::npos);
    EXPECT_NE(xml.find("<programme start=\"20261207233000 -0430\" stop=\"20261208001500 -0430\" "
                       "channel=\"1.kanal-co.dirorod\">\n"
                       "    <title>K\xC3\xA4se &lt;live&gt; &amp; \"mehr\"</title>\n"
                       "    <sub-title>Folge 1</sub-title>\n"
                       "    <desc>Zeile 1\nZeile 2 </desc>\n  </programme>"),
              std::string::npos)
        << xml;
    // Empty texts are left out; a title is always there.
    EXPECT_NE(xml.find("channel=\"1.kanal-co.dirorod\">\n    <title>(no title)</title>\n  </programme>"),
              std::string::npos)
        << xml;

    // Read back by an XMLTV reader: the same texts and times.
    rx::XmltvGuide g;
    std::string error;
    ASSERT_TRUE(rx::parseXmltv(xml, "out", g, error)) << error;
    ASSERT_EQ(g.programmes.size(), 3u);
    EXPECT_EQ(g.programmes[0].title, "K\xE4se <live> & \"mehr\"");
    EXPECT_EQ(g.programmes[0].desc, "Zeile 1\nZeile 2");
    EXPECT_EQ(g.programmes[0].startZoneMinutes, -270);
    EXPECT_EQ(g.channels[0].name, "Kanal & Co");
}

// A guide with what a data base can hold: umlauts, markup characters, quotes, a sub-title, a
// description of several lines, a programme past midnight, another zone, one without texts;
// besides, a programme that has ended before the clock (the receiver no longer offers it).
const char kRoundTripGuide[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<tv>
  <channel id="erste.de"><display-name>Das Erste</display-name></channel>
  <channel id="kanal.fi"><display-name>Kanava &amp; Yksi</display-name></channel>
  <programme start="20261207180000 +0100" stop="20261207190000 +0100" channel="erste.de">
    <title>Vorbei</title>
  </programme>
  <programme start="20261207200000 +0100" stop="20261207201500 +0100" channel="erste.de">
    <title>Tagesschau</title>
    <sub-title>Nachrichten &amp; Wetter</sub-title>
    <desc>Die Meldungen des Tages.
Danach: das Wetter für Köln &lt;NRW&gt;.</desc>
  </programme>
  <programme start="20261207201500 +0100" stop="20261207234500 +0100" channel="erste.de">
    <title>"Tatort": Der Fall Ö</title>
    <desc>Krimi, Deutschland 2026. Mit Ulrike Folkerts.</desc>
  </programme>
  <programme start="20261207224500 +0000" stop="20261208001000 +0000" channel="erste.de">
    <title>Nachtfilm</title>
    <sub-title>Drama</sub-title>
  </programme>
  <programme start="20261207193000 +0100" stop="20261207210000 +0100" channel="kanal.fi">
    <title>Uutiset</title>
    <sub-title>Päivän tärkeimmät</sub-title>
    <desc>Kotimaa ja ulkomaat.</desc>
  </programme>
  <programme start="20261207210000 +0100" stop="20261208030000 +0100" channel="kanal.fi">
    <title>Yöelokuva</title>
  </programme>
</tv>
)";

TEST(Xmltv, ARoundTripThroughThePlugInsDataBaseKeepsTitlesTimesAndTexts) {
    TempDir dir;
    writeFile(dir.file("in.xml"), kRoundTripGuide);
    std::string disk = dir.file("disk");
    auto r = runReceiver({"--disk", disk, "--clock", "2026-12-07 20:05", "--guide", dir.file("in.xml"), "--tz", "+0100",
                          "--script", "-"},
                         "wait 1m\nkey GUIDE\nkey RED\nkey EXIT\nexpect file Diro_ROD.BufferExt.DAT\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto x = runReceiver({"--buffer-to-xmltv", disk, dir.file("out.xml"), "--tz", "+0100"});
    ASSERT_EQ(x.exitCode, 0) << x.err;
    EXPECT_EQ(x.out, dir.file("out.xml") + "\n");
    EXPECT_NE(x.err.find("5 programmes of 2 channels, local time +0100"), std::string::npos) << x.err;

    rx::XmltvGuide in, out;
    std::string error;
    ASSERT_TRUE(rx::readXmltvFile(dir.file("in.xml"), in, error)) << error;
    ASSERT_TRUE(rx::readXmltvFile(dir.file("out.xml"), out, error)) << error;
    std::map<std::string, std::string> nameOf;
    for (const rx::XmltvChannel &c : in.channels)
        nameOf[c.id] = c.name;
    for (const rx::XmltvChannel &c : out.channels)
        nameOf[c.id] = c.name;
    std::map<std::string, const rx::XmltvProgramme *> wanted;
    int64_t clockMs = 0;
    sim::parseLocalTime("2026-12-07 19:05", clockMs);  // 20:05 at +0100, in UTC
    for (const rx::XmltvProgramme &p : in.programmes)
        if (!p.hasStop || p.stopUtcMs > clockMs)
            wanted[nameOf[p.channelId] + "@" + std::to_string(p.startUtcMs)] = &p;
    ASSERT_EQ(wanted.size(), 5u);
    ASSERT_EQ(out.programmes.size(), wanted.size());
    for (const rx::XmltvProgramme &p : out.programmes) {
        std::string key = nameOf[p.channelId] + "@" + std::to_string(p.startUtcMs);
        ASSERT_TRUE(wanted.count(key)) << "a programme the guide did not have: " << key << " " << p.title;
        const rx::XmltvProgramme &w = *wanted[key];
        EXPECT_EQ(p.title, w.title);
        EXPECT_EQ(p.subTitle, w.subTitle) << w.title;
        EXPECT_EQ(p.desc, w.desc) << w.title;
        EXPECT_EQ(p.stopUtcMs, w.stopUtcMs) << w.title;
        EXPECT_EQ(p.startZoneMinutes, 60);
    }
    EXPECT_VALID_XMLTV(dir.file("out.xml"), dir);
}

TEST(Xmltv, TheDemoGuidesDataBaseIsAValidXmltvGuide) {
    TempDir dir;
    std::string disk = dir.file("disk");
    auto r = runReceiver({"--disk", disk, "--clock", "2026-12-07 20:00", "--script", "-"},
                         "wait 1m\nkey GUIDE\nkey RED\nkey EXIT\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto x = runReceiver({"--buffer-to-xmltv", disk + "/Diro_ROD.BufferExt.DAT", "-"});
    ASSERT_EQ(x.exitCode, 0) << x.err;
    writeFile(dir.file("demo.xml"), x.out);
    EXPECT_GT(x.out.size(), 100000u);
    EXPECT_NE(x.out.find("<channel id=\"1.das-erste-hd.dirorod\">"), std::string::npos);
    EXPECT_VALID_XMLTV(dir.file("demo.xml"), dir);
}

TEST(Xmltv, BadCallsAndMissingOrDamagedFilesExitWith2AndWriteNothing) {
    TempDir dir;
    auto r = runReceiver({"--buffer-to-xmltv", dir.path()});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("--buffer-to-xmltv needs a buffer file (or its folder) and the XMLTV file"), std::string::npos);
    r = runReceiver({"--buffer-to-xmltv", dir.path(), dir.file("out.xml"), "--tz", "guide"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("--tz ZONE or +hhmm"), std::string::npos) << r.err;
    r = runReceiver({"--buffer-to-xmltv", dir.path(), dir.file("out.xml"), "--script", "-"});
    EXPECT_EQ(r.exitCode, 2);

    r = runReceiver({"--buffer-to-xmltv", dir.path(), dir.file("out.xml")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("Diro_ROD.BufferExt.DAT: cannot read the buffer file"), std::string::npos) << r.err;
    writeFile(dir.file("Diro_ROD.BufferExt.DAT"), std::string(5000, '\0'));
    r = runReceiver({"--buffer-to-xmltv", dir.path(), dir.file("out.xml")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("cut short or not a buffer file"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.xml")));
}

}  // namespace
