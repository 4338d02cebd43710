// The XMLTV reader and the guide made from it.
//   Times       zones as offsets and names, missing zone and seconds, bad times
//   Texts       first title wins, entities, folding to Latin-1, line breaks of desc, ISO-8859-1
//   Untidy      missing stop, channels only in programmes, undefined entities with and without a
//               DTD, stray '&', bytes that are not UTF-8
//   Faults      missing, empty, not XML, cut short, wrong root: clear messages
//   Schedules   tidying, local time (offsets, zones with summer time, the host's zone), moving by
//               days, the lineup made from a guide, tying a lineup
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "receiver/guide.h"
#include "receiver/latin1_fold.h"
#include "receiver/xmltv.h"
#include "sim/clock.h"
#include "tests/support/support.h"

namespace {

int64_t utc(const char *text) {
    int64_t ms = 0;
    EXPECT_TRUE(sim::parseLocalTime(text, ms)) << text;
    return ms;
}

rx::XmltvGuide parsed(const std::string &xml) {
    rx::XmltvGuide g;
    std::string error;
    EXPECT_TRUE(rx::parseXmltv(xml, "t.xml", g, error)) << error;
    return g;
}

std::string tv(const std::string &body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tv>\n" + body + "</tv>\n";
}

// --- Times ---

TEST(GuideTimes, OffsetsAndZoneNamesGiveUtc) {
    int64_t ms = 0;
    int zone = 0;
    ASSERT_TRUE(rx::parseXmltvTime("20250211003000 -0400", ms, zone));
    EXPECT_EQ(ms, utc("2025-02-11 04:30"));
    EXPECT_EQ(zone, -240);
    ASSERT_TRUE(rx::parseXmltvTime("20250211003000 +0300", ms, zone));
    EXPECT_EQ(ms, utc("2025-02-10 21:30"));
    ASSERT_TRUE(rx::parseXmltvTime("200107281733 BST", ms, zone));
    EXPECT_EQ(ms, utc("2001-07-28 16:33"));
    EXPECT_EQ(zone, 60);
    for (const char *name : {"GMT", "UTC", "Z", "utc"}) {
        ASSERT_TRUE(rx::parseXmltvTime(std::string("20020101120000 ") + name, ms, zone)) << name;
        EXPECT_EQ(ms, utc("2002-01-01 12:00")) << name;
    }
    ASSERT_TRUE(rx::parseXmltvTime("20020101120000 CEST", ms, zone));
    EXPECT_EQ(ms, utc("2002-01-01 10:00"));
    ASSERT_TRUE(rx::parseXmltvTime("20020101120000+0530", ms, zone));  // no space before the zone
    EXPECT_EQ(ms, utc("2002-01-01 06:30"));
    ASSERT_TRUE(rx::parseXmltvTime("20020101120000 +01:00", ms, zone));
    EXPECT_EQ(ms, utc("2002-01-01 11:00"));
}

TEST(GuideTimes, MissingZoneIsUtcAndMissingFieldsAreZero) {
    int64_t ms = 0;
    int zone = 99;
    ASSERT_TRUE(rx::parseXmltvTime("20011228113101", ms, zone));
    EXPECT_EQ(ms, utc("2001-12-28 11:31:01"));
    EXPECT_EQ(zone, 0);
    ASSERT_TRUE(rx::parseXmltvTime("200204201725", ms, zone));
    EXPECT_EQ(ms, utc("2002-04-20 17:25"));
    ASSERT_TRUE(rx::parseXmltvTime("20020420", ms, zone));
    EXPECT_EQ(ms, utc("2002-04-20 00:00"));
}

TEST(GuideTimes, MalformedTimesAndUnknownZonesAreRefused) {
    int64_t ms = 0;
    int zone = 0;
    for (const char *bad : {"", "abc", "20020230120000", "20021301120000", "20020101250000", "2002010112000",
                            "20020101120000 +1", "20020101120000 +2500", "20020101120000 XYZ", "20020101120000 +0100x"})
        EXPECT_FALSE(rx::parseXmltvTime(bad, ms, zone)) << bad;
    EXPECT_TRUE(rx::parseXmltvTime("20020101120000 +01", ms, zone));
    EXPECT_EQ(zone, 60);
}

TEST(GuideTimes, AnUnknownZoneNameIsTakenAsUtcWithAWarning) {
    rx::XmltvGuide g =
        parsed(tv("<programme start=\"20020101120000 XYZ\" channel=\"a\"><title>A</title></programme>\n"));
    ASSERT_EQ(g.programmes.size(), 1u);
    EXPECT_EQ(g.programmes[0].startUtcMs, utc("2002-01-01 12:00"));
    ASSERT_EQ(g.warnings.size(), 1u);
    EXPECT_NE(g.warnings[0].find("unknown time zone \"XYZ\""), std::string::npos) << g.warnings[0];
}

// --- Texts ---

TEST(GuideTexts, FirstTitleWinsAndTheFieldsLandWhereTheyBelong) {
    rx::XmltvGuide g = parsed(tv(
        "<channel id=\"das-erste.de\"><display-name lang=\"de\">ARD</display-name>"
        "<display-name>Das Erste</display-name></channel>\n"
        "<programme start=\"20250214005000 +0000\" stop=\"20250214022000 +0000\" channel=\"das-erste.de\">\n"
        "  <title lang=\"de\">Der Kommissar und die Alpen</title>\n  <title lang=\"xx\">Rocco Schiavone</title>\n"
        "  <sub-title lang=\"de\">Sturz in den Tod</sub-title>\n"
        "  <desc lang=\"de\">Er kifft vor Dienstbeginn.</desc>\n  <desc lang=\"en\">Second desc</desc>\n"
        "  <credits><actor role=\"Rocco\">Marco Giallini</actor></credits>\n"
        "</programme>\n"));
    ASSERT_EQ(g.channels.size(), 1u);
    EXPECT_EQ(g.channels[0].name, "ARD");
    ASSERT_EQ(g.programmes.size(), 1u);
    const rx::XmltvProgramme &p = g.programmes[0];
    EXPECT_EQ(p.title, "Der Kommissar und die Alpen");
    EXPECT_EQ(p.subTitle, "Sturz in den Tod");
    EXPECT_EQ(p.desc, "Er kifft vor Dienstbeginn.");
    EXPECT_TRUE(p.hasStop);
    EXPECT_EQ(p.stopUtcMs - p.startUtcMs, 90 * 60000);
}

TEST(GuideTexts, EntitiesAreResolvedAndDescKeepsItsLines) {
    rx::XmltvGuide g = parsed(tv("<programme start=\"20020101120000\" channel=\"a\">"
                                 "<title>Tom &amp; Jerry &#8211; &#39;Klassiker&#39;</title>\n"
                                 "<desc>\n   Erste Zeile   mit   Leerraum\n\n\n   Zweite &lt;Zeile&gt;\n  </desc>"
                                 "</programme>\n"));
    ASSERT_EQ(g.programmes.size(), 1u);
    EXPECT_EQ(g.programmes[0].title, "Tom & Jerry - 'Klassiker'");
    EXPECT_EQ(g.programmes[0].desc, "Erste Zeile mit Leerraum\n\nZweite <Zeile>");
}

TEST(GuideTexts, CharactersOutsideLatin1AreFoldedOrDropped) {
    rx::FoldCounts n;
    // „Zločin“ – Łódź… ‘quoted’ (nbsp) € č ✓ and Cyrillic
    std::string l1 = rx::foldToLatin1(
        "\xE2\x80\x9EZlo\xC4\x8D" "in\xE2\x80\x9C \xE2\x80\x93 \xC5\x81\xC3\xB3" "d\xC5\xBA\xE2\x80\xA6 "
        "\xE2\x80\x98q\xE2\x80\x99\xC2\xA0\xE2\x82\xAC \xE2\x9C\x93 \xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0",
        false, &n);
    EXPECT_EQ(l1, "\"Zlocin\" - L\xF3" "dz... 'q' EUR Moskva");
    EXPECT_EQ(n.dropped, 1);  // the check mark
    // Letters without a near form stand as '?': a Greek or Japanese title never comes out empty.
    rx::FoldCounts m;
    const char *greekAndJapanese = "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1 "
                                   "\xE6\x97\xA5\xE6\x9C\xAC\xE3\x80\x82";
    EXPECT_EQ(rx::foldToLatin1(greekAndJapanese, false, &m), "?????? ??");
    EXPECT_EQ(m.placeholders, 8);
    EXPECT_EQ(m.dropped, 1);  // the ideographic full stop
    // A letter followed by a combining accent becomes the Latin-1 letter when there is one.
    EXPECT_EQ(rx::foldToLatin1("Mu\xCC\x88nchen s\xCC\x8C", false), "M\xFCnchen s");
    // Control characters go; line breaks become spaces in one-line fields.
    EXPECT_EQ(rx::foldToLatin1("a\x01" "b\xC2\x85\nc\td", false), "ab c d");
    EXPECT_TRUE(rx::isPrintableLatin1("\xE4\xF6\xFC\nx"));
    EXPECT_FALSE(rx::isPrintableLatin1("a\x7F"));
    EXPECT_FALSE(rx::isPrintableLatin1("a\xAD"));
}

TEST(GuideTexts, Iso88591AndWindows1252FilesGiveTheSameTextsAsUtf8) {
    std::string utf8 = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><tv><programme start=\"20020101120000\" "
                       "channel=\"a\"><title>M\xC3\xBCnchen \xC3\xA0 la cr\xC3\xA8me</title></programme></tv>";
    std::string latin1 = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><tv><programme start=\"20020101120000\" "
                         "channel=\"a\"><title>M\xFCnchen \xE0 la cr\xE8me</title></programme></tv>";
    std::string cp1252 = "<?xml version=\"1.0\" encoding=\"windows-1252\"?><tv><programme start=\"20020101120000\" "
                         "channel=\"a\"><title>M\xFCnchen \xE0 la cr\xE8me \x93ok\x94 \x80</title></programme></tv>";
    EXPECT_EQ(parsed(utf8).programmes.at(0).title, "M\xFCnchen \xE0 la cr\xE8me");
    EXPECT_EQ(parsed(latin1).programmes.at(0).title, "M\xFCnchen \xE0 la cr\xE8me");
    EXPECT_EQ(parsed(cp1252).programmes.at(0).title, "M\xFCnchen \xE0 la cr\xE8me \"ok\" EUR");
}

// --- Untidy files ---

TEST(GuideUntidy, ChannelsOnlyInProgrammesJoinTheListInFileOrder) {
    rx::XmltvGuide g =
        parsed(tv("<programme start=\"20020101120000\" channel=\"late.one\"><title>A</title></programme>\n"
                  "<channel id=\"declared\"><display-name>Declared</display-name></channel>\n"
                  "<programme start=\"20020101120000\" channel=\"declared\"><title>B</title></programme>\n"
                  "<channel id=\"late.one\"><display-name>Late One</display-name></channel>\n"));
    ASSERT_EQ(g.channels.size(), 2u);
    EXPECT_EQ(g.channels[0].id, "late.one");
    EXPECT_EQ(g.channels[0].name, "Late One");  // named by its <channel> when it comes
    EXPECT_TRUE(g.channels[0].declared);
    EXPECT_EQ(g.channels[1].id, "declared");
    rx::XmltvGuide only =
        parsed(tv("<programme start=\"20020101120000\" channel=\"bbc2.bbc.co.uk\"><title>A</title></programme>\n"));
    ASSERT_EQ(only.channels.size(), 1u);
    EXPECT_EQ(only.channels[0].name, "bbc2.bbc.co.uk");
    EXPECT_FALSE(only.channels[0].declared);
}

TEST(GuideUntidy, ProgrammesWithoutChannelOrReadableStartAreSkippedWithAWarning) {
    rx::XmltvGuide g =
        parsed(tv("<programme start=\"20020101120000\"><title>No channel</title></programme>\n"
                  "<programme start=\"yesterday\" channel=\"a\"><title>Bad start</title></programme>\n"
                  "<programme channel=\"a\"><title>No start</title></programme>\n"
                  "<programme start=\"20020101120000\" stop=\"soon\" channel=\"a\"><title>Ok</title></programme>\n"));
    ASSERT_EQ(g.programmes.size(), 1u);
    EXPECT_FALSE(g.programmes[0].hasStop);
    ASSERT_EQ(g.warnings.size(), 3u);
    EXPECT_NE(g.warnings[0].find("1 programme(s) without a channel"), std::string::npos);
    EXPECT_NE(g.warnings[1].find("2 programme(s) with a start time that cannot be read"), std::string::npos);
    EXPECT_NE(g.warnings[1].find("line 4: start=\"yesterday\""), std::string::npos) << g.warnings[1];
    EXPECT_NE(g.warnings[2].find("1 stop time(s)"), std::string::npos);
}

TEST(GuideUntidy, UndefinedEntitiesAreRepairedAndNamedInAWarning) {
    // Without a DTD the file is not well-formed: it is repaired and read again.
    std::string body = "<programme start=\"20020101120000\" channel=\"a\"><title>Caf&eacute; &amp; Bar</title>"
                       "<desc>Mot&nbsp;: prix 5 &euro; &foo; Tom & Jerry</desc></programme>\n";
    rx::XmltvGuide g = parsed(tv(body));
    ASSERT_EQ(g.programmes.size(), 1u);
    EXPECT_EQ(g.programmes[0].title, "Caf\xE9 & Bar");
    EXPECT_EQ(g.programmes[0].desc, "Mot : prix 5 EUR &foo; Tom & Jerry");
    ASSERT_EQ(g.warnings.size(), 1u);
    const std::string &w = g.warnings[0];
    EXPECT_NE(w.find("not well-formed XML (line 3"), std::string::npos) << w;
    EXPECT_NE(w.find("&eacute; x1"), std::string::npos) << w;
    EXPECT_NE(w.find("&nbsp; x1"), std::string::npos) << w;
    EXPECT_NE(w.find("&foo; x1"), std::string::npos) << w;
    EXPECT_NE(w.find("1 bare '&'"), std::string::npos) << w;
    // With an external DTD the parser passes undefined entities on; they are taken the same way.
    rx::XmltvGuide d = parsed("<!DOCTYPE tv SYSTEM \"xmltv.dtd\">\n<tv><programme start=\"20020101120000\" "
                              "channel=\"a\"><desc>Mot&nbsp;: x</desc></programme></tv>");
    ASSERT_EQ(d.programmes.size(), 1u);
    EXPECT_EQ(d.programmes[0].desc, "Mot : x");
    ASSERT_EQ(d.warnings.size(), 1u);
    EXPECT_NE(d.warnings[0].find("&nbsp; x1"), std::string::npos) << d.warnings[0];
}

TEST(GuideUntidy, BytesThatAreNotUtf8AndControlCharactersAreRepaired) {
    rx::XmltvGuide g = parsed(
        "<tv><programme start=\"20020101120000\" channel=\"a\"><title>M\xFCnchen\x01 \xC3\xA4</title>"
        "</programme></tv>");
    ASSERT_EQ(g.programmes.size(), 1u);
    EXPECT_EQ(g.programmes[0].title, "M\xFCnchen \xE4");
    ASSERT_EQ(g.warnings.size(), 1u);
    EXPECT_NE(g.warnings[0].find("1 bytes that are not UTF-8 taken as Latin-1"), std::string::npos) << g.warnings[0];
    EXPECT_NE(g.warnings[0].find("1 control characters dropped"), std::string::npos) << g.warnings[0];
}

// --- Faults ---

TEST(GuideFaults, BadFilesGiveClearMessages) {
    struct Case {
        const char *bytes;
        const char *message;
    } cases[] = {
        {"", "the guide file is empty"},
        {"   \n", "the guide file is empty"},
        {"this is not xml", "t.xml:1:1: syntax error"},
        {"<tv><programme start=\"20020101120000\" channel=\"a\"><title>A</title>", "t.xml:1:"},
        {"<tv><programme></tv>", "mismatched tag"},
        {"<html><body/></html>", "its root element is <html>, not <tv>"},
        {"<?xml version=\"1.0\" encoding=\"KOI8-R\"?><tv/>", "unknown encoding"},
    };
    for (const Case &c : cases) {
        rx::XmltvGuide g;
        std::string error;
        EXPECT_FALSE(rx::parseXmltv(c.bytes, "t.xml", g, error)) << c.bytes;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.bytes << " gave: " << error;
    }
    rx::XmltvGuide g;
    std::string error;
    EXPECT_FALSE(rx::readXmltvFile("/nonexistent/guide.xml", g, error));
    EXPECT_EQ(error, "/nonexistent/guide.xml: cannot read the guide file");
    testsupport::TempDir dir;
    EXPECT_FALSE(rx::readXmltvFile(dir.path(), g, error));
    EXPECT_NE(error.find("this is a folder"), std::string::npos);
}

// --- Schedules ---

TEST(GuideSchedules, TidyingFillsStopsDropsZeroLengthAndSameStartsAndCutsOverlaps) {
    rx::XmltvGuide x = parsed(
        tv("<programme start=\"20030216130000\" channel=\"0\"><title>No stop, next at 13:10</title></programme>\n"
           "<programme start=\"20030216131000\" stop=\"20030216131000\" channel=\"0\"><title>Zero</title></programme>\n"
           "<programme start=\"20030216131000\" stop=\"20030216140000\" channel=\"0\"><title>Runs into the "
           "next</title></programme>\n"
           "<programme start=\"20030216131030\" stop=\"20030216132000\" channel=\"0\"><title>Same "
           "minute</title></programme>\n"
           "<programme start=\"20030216133000\" stop=\"20030216130000\" channel=\"0\"><title>Stop before "
           "start</title></programme>\n"));
    rx::Guide g = rx::guideFromXmltv(x, {rx::Zone::fixed(0), false, false, 0}, 0);
    ASSERT_EQ(g.channels.size(), 1u);
    const auto &e = g.channels[0].events;
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0].title, "No stop, next at 13:10");
    EXPECT_EQ(e[0].startMs, utc("2003-02-16 13:00"));
    EXPECT_EQ(e[0].endMs, utc("2003-02-16 13:10"));
    EXPECT_EQ(e[1].title, "Runs into the next");
    EXPECT_EQ(e[1].endMs, utc("2003-02-16 13:30"));
    EXPECT_EQ(e[2].title, "Stop before start");
    EXPECT_EQ(e[2].endMs, utc("2003-02-16 14:30"));  // the channel's last: one hour
    EXPECT_EQ(e[0].eventId, 1);
    EXPECT_EQ(e[2].eventId, 3);
    EXPECT_EQ(g.counts.zeroLength, 1);
    EXPECT_EQ(g.counts.sameStart, 1);
    EXPECT_EQ(g.counts.overlapsCut, 1);
    EXPECT_EQ(g.counts.backwardStops, 1);
    EXPECT_EQ(g.counts.stopsFilled, 2);
}

TEST(GuideSchedules, TimesAreConvertedToTheReceiversZoneAndMovedByDays) {
    rx::XmltvGuide x =
        parsed(tv("<programme start=\"20250211003000 -0400\" stop=\"20250211023000 -0400\" "
                  "channel=\"a\"><title>A</title></programme>\n"
                  "<programme start=\"20250211103000 +0300\" stop=\"20250211113000 +0300\" "
                  "channel=\"b\"><title>B</title></programme>\n"));
    rx::Guide cet = rx::guideFromXmltv(x, {rx::Zone::fixed(60), false, false, 0}, 0);
    EXPECT_EQ(cet.channels[0].events[0].startMs, utc("2025-02-11 05:30"));
    EXPECT_EQ(cet.channels[1].events[0].startMs, utc("2025-02-11 08:30"));
    rx::Guide own = rx::guideFromXmltv(x, {rx::Zone::fixed(60), true, false, 0}, 0);  // the first programme's zone
    EXPECT_EQ(own.zone, "-0400");
    EXPECT_EQ(own.channels[0].events[0].startMs, utc("2025-02-11 00:30"));
    rx::Guide moved = rx::guideFromXmltv(x, {rx::Zone::fixed(60), false, true, 0}, utc("2026-12-07 20:00"));
    EXPECT_EQ(moved.shiftDays, 664);
    EXPECT_EQ(moved.channels[0].events[0].startMs, utc("2026-12-07 05:30"));
    EXPECT_EQ(moved.channels[1].events[0].endMs, utc("2026-12-07 09:30"));
    rx::Guide back = rx::guideFromXmltv(x, {rx::Zone::fixed(60), false, false, -2}, 0);
    EXPECT_EQ(back.channels[0].events[0].startMs, utc("2025-02-09 05:30"));
    EXPECT_NE(rx::guideSummary("g.xml", moved).find("moved by 664 days"), std::string::npos);
    int tz = 0;
    EXPECT_TRUE(rx::parseZone("-0430", tz));
    EXPECT_EQ(tz, -270);
    EXPECT_EQ(rx::formatZone(tz), "-0430");
    EXPECT_FALSE(rx::parseZone("0100", tz));
    EXPECT_FALSE(rx::parseZone("+2500", tz));
}

TEST(GuideSchedules, AZoneWithSummerTimeConvertsEachTimeAtItsOwnOffset) {
    rx::Zone berlin, helsinki;
    std::string why;
    ASSERT_TRUE(rx::Zone::parse("Europe/Berlin", berlin, why)) << why;
    ASSERT_TRUE(rx::Zone::parse("Europe/Helsinki", helsinki, why)) << why;
    EXPECT_EQ(berlin.name(), "Europe/Berlin");
    EXPECT_EQ(berlin.offsetMinutesAt(utc("2026-01-15 12:00")), 60);
    EXPECT_EQ(berlin.offsetMinutesAt(utc("2026-07-15 12:00")), 120);
    EXPECT_EQ(helsinki.offsetMinutesAt(utc("2026-01-15 12:00")), 120);
    EXPECT_EQ(helsinki.offsetMinutesAt(utc("2026-07-15 12:00")), 180);
    EXPECT_EQ(berlin.offsetMinutesAt(utc("2040-07-01 12:00")), 120);   // the zone's rule, past its table
    // Summer time begins on 2026-03-29 at 01:00 UTC: a night's schedule keeps the clock times.
    rx::XmltvGuide x =
        parsed(tv("<programme start=\"20260329003000 +0000\" stop=\"20260329013000 +0000\" "
                  "channel=\"a\"><title>Before</title></programme>\n"
                  "<programme start=\"20260329013000 +0000\" stop=\"20260329023000 +0000\" "
                  "channel=\"a\"><title>After</title></programme>\n"));
    rx::Guide g = rx::guideFromXmltv(x, {berlin, false, false, 0}, 0);
    ASSERT_EQ(g.channels[0].events.size(), 2u);
    EXPECT_EQ(g.channels[0].events[0].startMs, utc("2026-03-29 01:30"));
    EXPECT_EQ(g.channels[0].events[0].endMs, utc("2026-03-29 03:30"));
    EXPECT_EQ(g.channels[0].events[1].startMs, utc("2026-03-29 03:30"));
    EXPECT_EQ(g.channels[0].events[1].endMs, utc("2026-03-29 04:30"));
    EXPECT_NE(rx::guideSummary("g.xml", g).find("local time Europe/Berlin"), std::string::npos);

    // Offsets stay accepted; names must be files of the time-zone data.
    rx::Zone z;
    ASSERT_TRUE(rx::Zone::parse("+0530", z, why));
    EXPECT_TRUE(z.isFixed());
    EXPECT_EQ(z.offsetMinutesAt(utc("2026-07-15 12:00")), 330);
    EXPECT_EQ(z.name(), "+0530");
    for (const char *bad : {"Mars/Olympus", "../../etc/passwd", "/etc/localtime", "Europe/", "Europe//Berlin", "+25"})
        EXPECT_FALSE(rx::Zone::parse(bad, z, why)) << bad;
}

TEST(GuideSchedules, TheHostsZoneIsTheCLibrarysLocalTime) {
    setenv("TZ", "Asia/Kolkata", 1);
    rx::Zone host = rx::Zone::host();
    EXPECT_EQ(host.name(), "Asia/Kolkata");
    EXPECT_EQ(host.offsetMinutesAt(utc("2026-07-15 12:00")), 330);
    int64_t now = static_cast<int64_t>(std::time(nullptr)) * 1000;
    EXPECT_NEAR(double(host.nowLocalMs() - now), 330.0 * 60000, 5000.0);
    // A named zone asked meanwhile leaves the library's own zone as it was.
    rx::Zone berlin;
    std::string why;
    ASSERT_TRUE(rx::Zone::parse("Europe/Berlin", berlin, why));
    EXPECT_EQ(berlin.offsetMinutesAt(utc("2026-07-15 12:00")), 120);
    EXPECT_STREQ(std::getenv("TZ"), "Asia/Kolkata");
    EXPECT_EQ(rx::Zone::host().offsetMinutesAt(utc("2026-01-15 12:00")), 330);
    unsetenv("TZ");
}

TEST(GuideSchedules, TheGuidesChannelsMakeALineupAndALineupTiesToTheGuideById) {
    rx::XmltvGuide x = parsed(tv(
        "<channel id=\"one.de\"><display-name>Eins</display-name></channel>\n"
        "<channel id=\"two.de\"><display-name>Zwei</display-name></channel>\n"
        "<programme start=\"20250211100000 +0100\" channel=\"two.de\"><title>Zwei zeigt</title></programme>\n"));
    rx::Guide g = rx::guideFromXmltv(x, {rx::Zone::fixed(60), false, false, 0}, 0);
    std::vector<sim::Channel> lineup = rx::lineupFromGuide(g);
    ASSERT_EQ(lineup.size(), 2u);
    EXPECT_EQ(lineup[0].name, "Eins");
    EXPECT_EQ(lineup[1].type, sim::kTv);
    EXPECT_EQ(lineup[1].lcn, 2);
    EXPECT_EQ(lineup[1].xmltvId, "two.de");
    EXPECT_NE(lineup[0].serviceId, lineup[1].serviceId);

    std::vector<sim::Channel> mine = {{sim::kRadio, "Radio", 1, 1, 1, "TWO.DE"},
                                      {sim::kTv, "Mein Zwei", 2, 7, 3, "two.de"},
                                      {sim::kTv, "Drei", 3, 8, 3, "three.de"},
                                      {sim::kTv, "Ohne", 4, 9, 3, ""}};
    sim::Epg epg;
    std::vector<std::string> warnings;
    EXPECT_EQ(rx::installGuide(epg, mine, g, warnings), 2);
    EXPECT_EQ(epg.schedule(sim::kRadio, 0).size(), 1u);  // ids match without regard to case
    ASSERT_EQ(epg.schedule(sim::kTv, 0).size(), 1u);
    EXPECT_EQ(epg.schedule(sim::kTv, 0)[0].title, "Zwei zeigt");
    EXPECT_TRUE(epg.schedule(sim::kTv, 1).empty());
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0], "the guide has no channel \"three.de\" (lineup channel Drei)");
}

}  // namespace
