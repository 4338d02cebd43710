// Guides we did not write: the XMLTV project's own test samples and nine published guides (the
// shared data folders beside the project; the tests skip when they are missing).
//   Samples     every sample loads, with clean Latin-1 texts
//   Published   every guide loads with its programme and channel counts, clean texts, warnings
//               only where the file is faulty; the Latin-1 copy reads like the UTF-8 original;
//               double titles, -0400 and +0300 zones, Croatian letters, &nbsp;
//   Program     the receiver broadcasts a published guide moved to today
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "receiver/guide.h"
#include "receiver/latin1_fold.h"
#include "receiver/xmltv.h"
#include "sim/clock.h"
#include "tests/support/support.h"

namespace {

std::string dataDir(const char *folder) { return std::string(DIRO_SOURCE_DIR) + "/../shared/data/" + folder; }

#define REQUIRE_DATA(folder)                                                                              \
    if (!std::filesystem::is_directory(dataDir(folder)))                                                 \
    GTEST_SKIP() << "the guide files are not here: " << dataDir(folder)

rx::XmltvGuide load(const std::string &path) {
    rx::XmltvGuide g;
    std::string error;
    EXPECT_TRUE(rx::readXmltvFile(path, g, error)) << error;
    return g;
}

// Every byte of every text is a printable Latin-1 byte or a line break (in descriptions only).
void expectCleanTexts(const rx::XmltvGuide &g, const std::string &file) {
    for (const rx::XmltvChannel &c : g.channels) {
        EXPECT_TRUE(rx::isPrintableLatin1(c.name) && c.name.find('\n') == std::string::npos) << file << ": " << c.id;
        EXPECT_FALSE(c.name.empty()) << file << ": " << c.id;
    }
    int bad = 0;
    for (const rx::XmltvProgramme &p : g.programmes) {
        bool clean = rx::isPrintableLatin1(p.title) && rx::isPrintableLatin1(p.subTitle) &&
                     rx::isPrintableLatin1(p.desc) && p.title.find('\n') == std::string::npos &&
                     p.subTitle.find('\n') == std::string::npos;
        if (!clean && bad++ < 3)
            ADD_FAILURE() << file << ": programme \"" << p.title << "\" has bytes that are no text";
    }
}

const rx::XmltvProgramme *find(const rx::XmltvGuide &g, const std::string &channel, const std::string &title) {
    for (const rx::XmltvProgramme &p : g.programmes)
        if (p.channelId == channel && p.title == title)
            return &p;
    return nullptr;
}

int64_t utc(const char *text) {
    int64_t ms = 0;
    sim::parseLocalTime(text, ms);
    return ms;
}

TEST(GuideSampleFiles, EverySampleOfTheXmltvProjectLoads) {
    REQUIRE_DATA("xmltv");
    int files = 0;
    for (const auto &entry : std::filesystem::directory_iterator(dataDir("xmltv"))) {
        if (entry.path().extension() != ".xml")
            continue;
        ++files;
        std::string name = entry.path().filename().string();
        rx::XmltvGuide g = load(entry.path().string());
        expectCleanTexts(g, name);
        EXPECT_TRUE(g.warnings.empty()) << name << ": " << (g.warnings.empty() ? "" : g.warnings[0]);
        EXPECT_EQ(g.programmes.empty(), name == "empty.xml") << name;
        rx::Guide guide = rx::guideFromXmltv(g, {}, 0);
        for (const rx::GuideChannel &c : guide.channels)
            for (size_t i = 0; i + 1 < c.events.size(); ++i)
                EXPECT_LE(c.events[i].endMs, c.events[i + 1].startMs) << name << ": " << c.id;
    }
    EXPECT_EQ(files, 14);
    rx::XmltvGuide amp = load(dataDir("xmltv") + "/amp.xml");
    ASSERT_EQ(amp.programmes.size(), 2u);
    EXPECT_EQ(amp.programmes[0].title, "Ampersand Land");
    EXPECT_EQ(amp.programmes[0].desc, "& hello && there &amp; everyone <\n&< <amp;");
    rx::XmltvGuide livre = load(dataDir("xmltv") + "/test_livre.xml");
    ASSERT_EQ(livre.programmes.size(), 1u);
    EXPECT_EQ(livre.programmes[0].title, "\xA3");
}

struct Published {
    const char *file;
    size_t channels;
    size_t programmes;
    bool faulty;  // not well-formed: a warning names the repair
};

const Published kPublished[] = {
    {"epgshare01-de1-2025-02.xml", 250, 26741, false},
    {"epgshare01-fi1-2025-02.xml", 88, 9215, false},
    {"epgshare01-sportklub1-hr-2025-02.xml", 27, 1025, false},
    {"kazer-fr-tnt-2014-02.xml", 21, 4767, true},
    {"kazer-fr-canalplus-2014-08.xml", 9, 2146, false},
    {"kazer-fr-canalplus-2014-08.latin1.xml", 9, 2146, false},
    {"rakuten-fi-2025-05.xml", 141, 9141, false},
    {"plutotv-de-2021-12.xml", 117, 2571, false},
    {"openepg-austria-2025-12.xml", 63, 4460, false},
};

TEST(GuideRealFiles, EveryPublishedGuideLoadsWithCleanTexts) {
    REQUIRE_DATA("xmltv-real");
    for (const Published &f : kPublished) {
        rx::XmltvGuide g = load(dataDir("xmltv-real") + "/" + f.file);
        EXPECT_EQ(g.channels.size(), f.channels) << f.file;
        EXPECT_EQ(g.programmes.size(), f.programmes) << f.file;
        EXPECT_EQ(g.warnings.empty(), !f.faulty) << f.file << ": " << (g.warnings.empty() ? "" : g.warnings[0]);
        expectCleanTexts(g, f.file);
        rx::Guide guide = rx::guideFromXmltv(g, {}, 0);
        long events = 0;
        for (const rx::GuideChannel &c : guide.channels) {
            events += static_cast<long>(c.events.size());
            for (size_t i = 0; i + 1 < c.events.size(); ++i)
                ASSERT_LE(c.events[i].endMs, c.events[i + 1].startMs) << f.file << ": " << c.id;
        }
        EXPECT_GT(events, static_cast<long>(f.programmes) * 9 / 10) << f.file;
    }
}

TEST(GuideRealFiles, TheLatin1CopyReadsLikeTheUtf8Original) {
    REQUIRE_DATA("xmltv-real");
    rx::XmltvGuide a = load(dataDir("xmltv-real") + "/kazer-fr-canalplus-2014-08.xml");
    rx::XmltvGuide b = load(dataDir("xmltv-real") + "/kazer-fr-canalplus-2014-08.latin1.xml");
    ASSERT_EQ(a.programmes.size(), b.programmes.size());
    ASSERT_EQ(a.channels.size(), b.channels.size());
    for (size_t i = 0; i < a.channels.size(); ++i)
        EXPECT_EQ(a.channels[i].name, b.channels[i].name);
    size_t accented = 0;
    for (size_t i = 0; i < a.programmes.size(); ++i) {
        const rx::XmltvProgramme &p = a.programmes[i], &q = b.programmes[i];
        ASSERT_EQ(p.title, q.title) << i;
        ASSERT_EQ(p.subTitle, q.subTitle) << i;
        ASSERT_EQ(p.desc, q.desc) << i;
        ASSERT_EQ(p.startUtcMs, q.startUtcMs) << i;
        accented += p.desc.find('\xE9') != std::string::npos;
    }
    EXPECT_GT(accented, 100u);  // the texts do carry Latin-1 letters
}

TEST(GuideRealFiles, DoubleTitlesZonesAndForeignLettersComeOutRight) {
    REQUIRE_DATA("xmltv-real");
    rx::XmltvGuide de = load(dataDir("xmltv-real") + "/epgshare01-de1-2025-02.xml");
    const rx::XmltvProgramme *kommissar = find(de, "Das.Erste.de", "Der Kommissar und die Alpen");
    ASSERT_NE(kommissar, nullptr);
    EXPECT_EQ(kommissar->subTitle, "Sturz in den Tod");
    EXPECT_EQ(find(de, "Das.Erste.de", "Rocco Schiavone"), nullptr);  // the second title is not taken
    const rx::XmltvProgramme *dfb =
        find(de, "DFB.Play.de", "3. Liga 2024/25 Relive: SV Sandhausen - DSC Arminia Bielefeld");
    ASSERT_NE(dfb, nullptr);
    EXPECT_EQ(dfb->startUtcMs, utc("2025-02-11 04:30"));  // 00:30 -0400
    EXPECT_EQ(dfb->startZoneMinutes, -240);
    EXPECT_GT(de.foldedChars, 10000);

    rx::XmltvGuide fi = load(dataDir("xmltv-real") + "/rakuten-fi-2025-05.xml");
    ASSERT_FALSE(fi.programmes.empty());
    EXPECT_EQ(fi.programmes[0].startZoneMinutes, 180);

    rx::XmltvGuide hr = load(dataDir("xmltv-real") + "/epgshare01-sportklub1-hr-2025-02.xml");
    bool found = false;
    for (const rx::XmltvProgramme &p : hr.programmes)
        found = found || p.desc.find("najpoznatiji kosarkaski turnir sveucilistaraca") != std::string::npos;
    EXPECT_TRUE(found) << "Croatian letters fold to their base letters";
}

TEST(GuideRealFiles, TheFileWithUndefinedEntitiesLoadsWithAWarningNamingThem) {
    REQUIRE_DATA("xmltv-real");
    rx::XmltvGuide g = load(dataDir("xmltv-real") + "/kazer-fr-tnt-2014-02.xml");
    ASSERT_EQ(g.warnings.size(), 1u);
    EXPECT_NE(g.warnings[0].find("8 undefined entities (&nbsp; x8)"), std::string::npos) << g.warnings[0];
    bool found = false;
    for (const rx::XmltvProgramme &p : g.programmes)
        found = found || p.desc.find("insist\xE9 pour l'accompagner : c'est") != std::string::npos;
    EXPECT_TRUE(found);
}

TEST(GuideRealFiles, TheReceiverBroadcastsAPublishedGuideMovedToToday) {
    REQUIRE_DATA("xmltv-real");
    testsupport::TempDir dir;
    std::string guide = dataDir("xmltv-real") + "/kazer-fr-tnt-2014-02.xml";
    auto r = testsupport::runReceiver({"--disk", dir.path(), "--clock", "2026-12-07 20:00", "--guide", guide,
                                       "--guide-shift", "auto", "--tz", "guide", "--script", "-"},
                                      "dump guide tv:0 -\n");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("warning: " + guide + ": 8 undefined entities (&nbsp; x8)"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("21 channels"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("local time +0100"), std::string::npos) << r.err;
    // The guide's first channel is the lineup's first: its running event first.
    EXPECT_EQ(r.out.rfind("0|ARTE|2026-12-07 ", 0), 0u) << r.out.substr(0, 300);
    EXPECT_GT(std::count(r.out.begin(), r.out.end(), '\n'), 50);
}

}  // namespace

TEST(GuideRealFiles, TitlesWithTheLayoutsSeparatorsShowWholeInTheGuide) {
    REQUIRE_DATA("xmltv-real");
    std::string guide = dataDir("xmltv-real") + "/rakuten-fi-2025-05.xml";
    rx::XmltvGuide g = load(guide);
    const std::string channel = "the-guardian-3d0e32e7-aa40-49e5-b9d9-c433151fa61a";
    size_t number = 0;
    while (number < g.channels.size() && g.channels[number].id != channel)
        ++number;
    ASSERT_LT(number, g.channels.size());
    testsupport::TempDir dir;
    auto r = testsupport::runReceiver({"--disk", dir.path(), "--clock", "2025-05-10 19:10", "--guide", guide, "--tz",
                                       "+0300", "--script", "-"},
                                      "tune tv:" + std::to_string(number) +
                                          "\nwait 2s\nkey GUIDE\n"
                                          "expect screen \" Juste Debout - Stik in Shoreditch\"\n"
                                          "expect screen \" Murder, corruption and cattle barons in Kenya - Finding "
                                          "Ashley\"\n");
    EXPECT_EQ(r.exitCode, 0) << r.err;
}
