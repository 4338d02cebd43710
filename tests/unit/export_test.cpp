// The HTML and CSV export and the channel list files (export/), with the plug-in linked in and
// the receiver's firmware behind it.
//   ExportFiles*     the exact bytes: empty data base, shading, an empty title, joined long info
//                    lines, escaping, a field that begins with a quote, logical numbers, coded
//                    texts, what is left out (channels beyond the scan range, the scratch slot),
//                    the 8 KB buffer with rows longer than it, padding, numbers wider than
//                    their fields
//   ExportMessages*  the box while it works, the message when the file cannot be opened
//   ChannelList*     the two list files: lines, padding, exactly 512 bytes
//   ChannelLookup*   by service id (TV before radio), logical number and name
//   ReadLine*        lines, line ends, cut lines
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export/channels.h"
#include "export/export.h"
#include "export/textfile.h"
#include "tests/unit/epgdb_testing.h"

using epgtest::Bench;

namespace {

const std::string kCrLf = "\r\n";
const std::string kHeader =
    "<html><body><table border=\"1\" cellpadding=\"2\" cellspacing=\"0\" width=\"100%\" style=\"font-family: "
    "Arial; font-size: 10pt\">\r\n";
const std::string kTrailer = "</table></body></html>\r\n";
const std::string kShaded = "<tr bgcolor=\"#E4E4E4\">";

std::string readExport(Bench &b, const char *name) { return testsupport::readFile(b.dir.file(name)); }

// The file as written, without its padding (which must be pad bytes up to a 512-byte block).
std::string unpadded(const std::string &file, char pad) {
    EXPECT_EQ(file.size() % 512, 0u) << "not padded to whole blocks";
    size_t end = file.size();
    while (end > 0 && file[end - 1] == pad)
        --end;
    EXPECT_LT(file.size() - end, 512u);
    return file.substr(0, end);
}

std::string htmlRow(const std::string &opening, const std::string &number, const std::string &name,
                    const std::string &when, const std::string &title, const std::string &info,
                    const std::string &longInfo) {
    return opening + "<td>" + number + ".</td><td>" + name + "</td>" + when + "<td>" + title + "</td><td>" + info +
           "<br>" + longInfo + "</td></tr>\r\n";
}

// weekday, date, times, duration cells.
std::string htmlWhen(const std::string &weekday, const std::string &date, const std::string &times,
                     const std::string &duration) {
    return "<td>" + weekday + "</td><td>" + date + "</td><td>" + times + "</td><td>" + duration + "</td>";
}

std::string csvLine(const std::vector<std::string> &fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i)
        line += (i ? "|" : "") + fields[i];
    return line + kCrLf;
}

// Three channels with events (1, 2 and 4; 3 is empty): two events on the first, one with an
// empty title, a long info of two lines, markup characters, an event past midnight.
void fillThreeChannels(Bench &b) {
    b.schedule(0, 0, {b.event("10:00", 60, "News", "Headlines", "Line 1\nLine 2"), b.event("11:00", 30, "", "Talk")});
    b.schedule(0, 1, {b.event("10:00", 90, "Film <&> Co")});
    b.schedule(0, 3, {b.event("23:30", 60, "Late")});
    for (int ch = 0; ch < 4; ++ch)
        FillBuffer(0, ch);
    ASSERT_EQ(max_Event[0], 2);
    ASSERT_EQ(max_Event[2], 0);
    ASSERT_EQ(max_Event[3], 1);
}

// --- ExportFiles ---

TEST(ExportFiles, AnEmptyDataBaseGivesTheTableFrameInOneBlockAndAnEmptyCsvFile) {
    Bench b;
    ExportHTML(0);
    ExportCSV(0);
    std::string html = readExport(b, EXPORT_HTML_NAME);
    ASSERT_EQ(html.size(), 512u);
    EXPECT_EQ(html, kHeader + kTrailer + std::string(512 - kHeader.size() - kTrailer.size(), ' '));
    EXPECT_TRUE(b.fw().disk.exists(EXPORT_CSV_NAME));
    EXPECT_EQ(readExport(b, EXPORT_CSV_NAME), "");
    EXPECT_TRUE(b.fw().disk.openFiles().empty());
}

TEST(ExportFiles, HtmlShadesEveryOtherChannelShowsAnEmptyTitleAsASpaceAndEscapesMarkup) {
    Bench b;
    fillThreeChannels(b);
    ExportHTML(0);
    std::string today = htmlWhen("Mo", "2026.12.07", "10:00~11:00", "01:00");
    std::string want =
        kHeader + htmlRow(kShaded, "1", "TV 1", today, "News", "Headlines", "Line 1 Line 2") +
        htmlRow(kShaded, "1", "TV 1", htmlWhen("Mo", "2026.12.07", "11:00~11:30", "00:30"), " ", "Talk", "") +
        htmlRow("<tr>", "2", "TV 2", htmlWhen("Mo", "2026.12.07", "10:00~11:30", "01:30"), "Film &lt;&amp;&gt; Co",
                "", "") +
        htmlRow(kShaded, "4", "TV 4", htmlWhen("Mo", "2026.12.07", "23:30~00:30", "01:00"), "Late", "", "") + kTrailer;
    EXPECT_EQ(unpadded(readExport(b, EXPORT_HTML_NAME), ' '), want);
}

TEST(ExportFiles, CsvHasALinePerEventWithEndDatesNumbersAndServiceIds) {
    Bench b;
    fillThreeChannels(b);
    ExportCSV(0);
    std::string want =
        csvLine({"TV 1", "202612071000", "202612071100", "", "News", "Headlines", "Line 1 Line 2", "", "1", "", "1000", ""}) +
        csvLine({"TV 1", "202612071100", "202612071130", "", "", "Talk", "", "", "1", "", "1000", ""}) +
        csvLine({"TV 2", "202612071000", "202612071130", "", "Film <&> Co", "", "", "", "2", "", "1001", ""}) +
        csvLine({"TV 4", "202612072330", "202612080030", "", "Late", "", "", "", "4", "", "1003", ""});
    EXPECT_EQ(unpadded(readExport(b, EXPORT_CSV_NAME), '\0'), want);
}

// The numbers of a row are written digit by digit: a value wider than its field is written whole,
// as printf's "%02d" writes it (a 100-hour event, hours and minutes out of range in a record).
TEST(ExportFiles, NumbersWiderThanTheirFieldsAreWrittenWhole) {
    Bench b;
    b.schedule(0, 0, {b.event("10:00", 6000, "Marathon")});
    FillBuffer(0, 0);
    ASSERT_EQ(max_Event[0], 1);
    epgtest::rec(0, 0).start_hour = 124;
    epgtest::rec(0, 0).end_min = 255;
    ExportCSV(0);
    EXPECT_EQ(unpadded(readExport(b, EXPORT_CSV_NAME), '\0'),
              csvLine({"TV 1", "2026120712400", "2026121114255", "", "Marathon", "", "", "", "1", "", "1000", ""}));
    ExportHTML(0);
    EXPECT_EQ(unpadded(readExport(b, EXPORT_HTML_NAME), ' '),
              kHeader + htmlRow(kShaded, "1", "TV 1", htmlWhen("Mo", "2026.12.07", "124:00~14:255", "100:00"),
                                "Marathon", "", "") +
                  kTrailer);
}

TEST(ExportFiles, GermanWeekdaysAndLogicalNumbersWhenTheReceiverUsesThem) {
    Bench b("2026-12-08 10:15",
            {{sim::kTv, "Erste", 28106, 1, 1, ""}, {sim::kTv, "Zweite", 28006, 2, 1, ""}, {sim::kTv, "Dritte", 28111, 7, 1, ""}});
    b.schedule(0, 2, {b.event("10:00", 60, "Wetter")});
    FillBuffer(0, 2);
    settings.lcn_support = 1;
    language = LAN_German;
    ExportHTML(0);
    ExportCSV(0);
    EXPECT_EQ(unpadded(readExport(b, EXPORT_HTML_NAME), ' '),
              kHeader + htmlRow(kShaded, "7", "Dritte", htmlWhen("Di", "2026.12.08", "10:00~11:00", "01:00"), "Wetter", "", "") +
                  kTrailer);
    // The number field stays the service number + 1; the logical number is the last field.
    EXPECT_EQ(unpadded(readExport(b, EXPORT_CSV_NAME), '\0'),
              csvLine({"Dritte", "202612081000", "202612081100", "", "Wetter", "", "", "", "3", "", "28111", "7"}));
}

TEST(ExportFiles, CsvQuotesAFieldThatBeginsWithAQuoteAndKeepsOtherQuotes) {
    Bench b;
    b.schedule(0, 0, {b.event("10:00", 60, "\"Tatort\" am Sonntag", "Krimi \"Der Fall\"")});
    FillBuffer(0, 0);
    ExportCSV(0);
    EXPECT_EQ(unpadded(readExport(b, EXPORT_CSV_NAME), '\0'),
              csvLine({"TV 1", "202612071000", "202612071100", "", "\"\"\"Tatort\"\" am Sonntag\"", "Krimi \"Der Fall\"",
                       "", "", "1", "", "1000", ""}));
}

TEST(ExportFiles, CodedTextsAreExportedDecoded) {
    Bench b;
    settings.compress_text = 1;
    b.schedule(0, 0, {b.event("10:00", 60, "K\xE4se & Brot", "Kochen", "Zutaten:\nMehl")});
    FillBuffer(0, 0);
    ExportCSV(0);
    ExportHTML(0);
    EXPECT_EQ(unpadded(readExport(b, EXPORT_CSV_NAME), '\0'),
              csvLine({"TV 1", "202612071000", "202612071100", "", "K\xE4se & Brot", "Kochen", "Zutaten: Mehl", "", "1",
                       "", "1000", ""}));
    EXPECT_NE(readExport(b, EXPORT_HTML_NAME).find("<td>K\xE4se &amp; Brot</td><td>Kochen<br>Zutaten: Mehl</td>"),
              std::string::npos);
}

TEST(ExportFiles, ChannelsBeyondTheScanRangeAndTheScratchSlotAreLeftOut) {
    Bench b;
    settings.scan_max_channels = 10;
    for (int ch : {8, 9, 10, 11})
        b.schedule(0, ch, {b.event("10:00", 60, "On " + std::to_string(ch + 1))});
    for (int ch : {8, 9, 10, 11})
        FillBuffer(0, ch);
    // A radio channel in the scratch slot, and the receiver tuned to radio.
    b.schedule(1, 0, {b.event("10:00", 60, "Radio show")});
    FillBuffer(1, 0);
    ASSERT_EQ(max_Event[SLOT_SCRATCH], 1);
    _svcType = 1;
    ExportCSV(0);
    ExportHTML(0);
    std::string csv = unpadded(readExport(b, EXPORT_CSV_NAME), '\0');
    EXPECT_EQ(csv, csvLine({"TV 9", "202612071000", "202612071100", "", "On 9", "", "", "", "9", "", "1008", ""}) +
                       csvLine({"TV 10", "202612071000", "202612071100", "", "On 10", "", "", "", "10", "", "1009", ""}));
    std::string html = readExport(b, EXPORT_HTML_NAME);
    EXPECT_NE(html.find("<td>On 10</td>"), std::string::npos);
    EXPECT_EQ(html.find("On 11"), std::string::npos);
    EXPECT_EQ(html.find("Radio"), std::string::npos);
}

TEST(ExportFiles, ManyEventsGoThroughTheBufferWholeAndARowLongerThanTheBufferIsWrittenWhole) {
    Bench b;
    std::vector<sim::GuideEvent> events;
    for (int i = 0; i < 150; ++i) {
        events.push_back(b.event("+1 00:00", 10, "Event " + std::to_string(i), "Info " + std::to_string(i),
                                 "Text " + std::to_string(i)));
        events.back().startMs += int64_t(i) * 600000;
        events.back().endMs += int64_t(i) * 600000;
    }
    for (int ch = 0; ch < 5; ++ch) {
        b.schedule(0, ch, events);
        FillBuffer(0, ch);
        ASSERT_EQ(max_Event[ch], 150);
    }
    // A long info of 2,500 markup characters (a fill keeps fewer): 1,919 of them are exported,
    // 9,595 bytes as entities, more than the buffer holds.
    std::string longText = "Event 70 ~ Info 70|" + std::string(2500, '&');
    epgtest::rec(0, 70).text = longText.data();
    epgtest::rec(3, 70).text = longText.data();
    ExportHTML(0);
    ExportCSV(0);
    std::string html = unpadded(readExport(b, EXPORT_HTML_NAME), ' ');
    ASSERT_GT(html.size(), 100000u);
    EXPECT_EQ(html.rfind(kTrailer), html.size() - kTrailer.size());
    size_t rows = 0;
    for (size_t at = html.find("</tr>\r\n"); at != std::string::npos; at = html.find("</tr>\r\n", at + 1))
        ++rows;
    EXPECT_EQ(rows, 750u);
    std::string longRow = "<td>Info 70<br>";
    for (int i = 0; i < 1919; ++i)
        longRow += "&amp;";
    longRow += "</td></tr>\r\n";
    size_t first = html.find(longRow);
    ASSERT_NE(first, std::string::npos) << "the long info is cut at 1919 bytes and written whole";
    EXPECT_NE(html.find(longRow, first + 1), std::string::npos);
    EXPECT_NE(html.find("<td>Event 149</td><td>Info 149<br>Text 149</td></tr>\r\n" + kTrailer), std::string::npos);

    std::string csv = unpadded(readExport(b, EXPORT_CSV_NAME), '\0');
    size_t lines = 0;
    for (size_t at = csv.find(kCrLf); at != std::string::npos; at = csv.find(kCrLf, at + 1))
        ++lines;
    EXPECT_EQ(lines, 750u);
    EXPECT_NE(csv.find("|Event 70|Info 70|" + std::string(1919, '&') + "||1||1000|\r\n"), std::string::npos);
}

// --- ExportMessages ---

bool drawn(Bench &b, const std::string &text) {
    for (const sim::ScreenText &t : b.rx->screen().textLog())
        if (t.text == text)
            return true;
    return false;
}

TEST(ExportMessages, TheBoxStandsWhileTheFileIsWrittenAndIsGoneAfterwards) {
    Bench b("2026-12-07 10:15", 40, sim::Heap::kDefaultSize, true);
    b.rx->screen().clearLog();
    ExportCSV(1);
    ExportHTML(1);
    EXPECT_TRUE(drawn(b, "Creating CSV Export File! Please wait ..."));
    EXPECT_TRUE(drawn(b, "Creating HTML Export File! Please wait ..."));
    EXPECT_FALSE(b.rx->screen().shows("Please wait"));
    EXPECT_TRUE(b.rx->screen().osdEmpty());
    language = LAN_Finnish;
    ExportHTML(1);
    EXPECT_TRUE(drawn(b, "Luodaan HTML-tiedostoa. Odota ..."));
}

TEST(ExportMessages, AFileThatCannotBeOpenedGivesTheMessageAndNoFile) {
    Bench b("2026-12-07 10:15", 40, sim::Heap::kDefaultSize, true);
    b.schedule(0, 0, {b.event("10:00", 60, "News")});
    FillBuffer(0, 0);
    b.fw().disk.faults.refuseOpenOf = {EXPORT_HTML_NAME ".tmp", EXPORT_CSV_NAME ".tmp"};
    b.rx->screen().clearLog();
    ExportHTML(0);
    ExportCSV(1);
    EXPECT_TRUE(drawn(b, "     Can't SAVE HTML FILE"));
    EXPECT_TRUE(drawn(b, "     Can't SAVE CSV FILE"));
    EXPECT_EQ(readExport(b, EXPORT_HTML_NAME), "");
    EXPECT_EQ(readExport(b, EXPORT_CSV_NAME), "");
    EXPECT_EQ(max_Event[0], 1);
}

// --- ChannelList ---

TEST(ChannelList, ThreeTvChannelsAreNumberedAndPaddedWithSpacesRadioToo) {
    Bench b("2026-12-07 10:15", {{sim::kTv, "Das Erste", 28106, 1, 1, ""},
                                 {sim::kTv, "ZDF", 28006, 2, 1, ""},
                                 {sim::kTv, "arte|HD\x7f", 28724, 3, 1, ""},
                                 {sim::kRadio, "Bayern 3", 28203, 103, 2, ""}});
    Create_ChannelList();
    std::string tv = testsupport::readFile(b.dir.file(TV_CHANNEL_LIST_NAME));
    std::string lines = "0001|Das Erste|28106\r\n0002|ZDF|28006\r\n0003|arte|HD|28724\r\n";
    EXPECT_EQ(tv, lines + std::string(512 - lines.size(), ' '));
    std::string radio = testsupport::readFile(b.dir.file(RADIO_CHANNEL_LIST_NAME));
    EXPECT_EQ(radio.substr(0, 23), "0001|Bayern 3|28203\r\n  ");
    EXPECT_EQ(radio.size(), 512u);
}

TEST(ChannelList, AListOfExactly512BytesIsNotPaddedAndALongerOneFillsItsLastBlock) {
    // 16 lines of 32 bytes: "0001|" + a 20-byte name + "|1000" + CR LF.
    std::vector<sim::Channel> lineup;
    for (int i = 0; i < 16; ++i)
        lineup.push_back({sim::kTv, "Channel name " + std::string(7, char('a' + i)), 1000 + i, i + 1, 1, ""});
    {
        Bench b("2026-12-07 10:15", lineup);
        Create_ChannelList();
        std::string tv = testsupport::readFile(b.dir.file(TV_CHANNEL_LIST_NAME));
        EXPECT_EQ(tv.size(), 512u);
        EXPECT_EQ(tv.substr(480), "0016|Channel name ppppppp|1015\r\n");
        EXPECT_EQ(testsupport::readFile(b.dir.file(RADIO_CHANNEL_LIST_NAME)), "") << "no radio channels";
    }
    // 300 channels go through the buffer more than once.
    lineup.clear();
    for (int i = 0; i < 300; ++i)
        lineup.push_back({sim::kTv, "Channel name " + std::string(7, char('a' + i % 26)), 1000 + i, i + 1, 1, ""});
    Bench b("2026-12-07 10:15", lineup);
    Create_ChannelList();
    std::string tv = testsupport::readFile(b.dir.file(TV_CHANNEL_LIST_NAME));
    EXPECT_EQ(tv.size(), 300u * 32u + 128u);
    EXPECT_EQ(tv.substr(299 * 32, 32), "0300|Channel name nnnnnnn|1299\r\n");
    EXPECT_EQ(tv.substr(300 * 32), std::string(128, ' '));
}

// --- ChannelLookup ---

TEST(ChannelLookup, FindsByServiceIdTvBeforeRadioByLogicalNumberAndByNameInAnyCase) {
    Bench b("2026-12-07 10:15", {{sim::kTv, "Das Erste", 28106, 1, 1, ""},
                                 {sim::kTv, "ZDF", 28006, 2, 1, ""},
                                 {sim::kRadio, "Bayern 3", 28006, 103, 2, ""},
                                 {sim::kRadio, "Antenne", 28400, 104, 2, ""}});
    int type = -1, num = -1;
    EXPECT_EQ(SidToSvcTypeNum(&type, &num, 28006), 0);
    EXPECT_EQ(type, 0);
    EXPECT_EQ(num, 1);
    EXPECT_EQ(SidToSvcTypeNum(&type, &num, 28400), 0);
    EXPECT_EQ(type, 1);
    EXPECT_EQ(num, 1);
    EXPECT_EQ(SidToSvcTypeNum(&type, &num, 28006 + 65536), 0) << "16-bit compare";
    EXPECT_EQ(LcnToSvcTypeNum(&type, &num, 103), 0);
    EXPECT_EQ(type, 1);
    EXPECT_EQ(num, 0);
    EXPECT_EQ(ChNameToSvcTypeNum(&type, &num, "das ERSTE"), 0);
    EXPECT_EQ(type, 0);
    EXPECT_EQ(num, 0);

    type = 7, num = 8;
    EXPECT_EQ(SidToSvcTypeNum(&type, &num, 1), 1);
    EXPECT_EQ(LcnToSvcTypeNum(&type, &num, 99), 1);
    EXPECT_EQ(ChNameToSvcTypeNum(&type, &num, "Das Erst"), 1);
    EXPECT_EQ(ChNameToSvcTypeNum(&type, &num, ""), 1);
    EXPECT_EQ(ChNameToSvcTypeNum(&type, &num, nullptr), 1);
    EXPECT_EQ(type, 7);
    EXPECT_EQ(num, 8);
}

// --- ReadLine ---

TEST(ReadLine, ReadsLinesOverEveryKindOfLineEndAndCutsLongOnes) {
    char line[256];
    const char *next = nullptr;
    const char *text = "AB\r\nCD";
    EXPECT_EQ(ReadLine(line, text, &next, 256), 0);
    EXPECT_STREQ(line, "AB");
    EXPECT_EQ(next, text + 4);
    EXPECT_EQ(ReadLine(line, next, &next, 256), 1);
    EXPECT_STREQ(line, "CD");
    EXPECT_EQ(*next, '\0');

    text = "ABCDE\nF";
    EXPECT_EQ(ReadLine(line, text, &next, 3), 0);
    EXPECT_STREQ(line, "AB");
    EXPECT_STREQ(next, "F");

    // Blank lines are passed over; a text ending in line ends has no further line.
    text = "one\n\r\n\ntwo\r\n\r\n";
    EXPECT_EQ(ReadLine(line, text, &next, 256), 0);
    EXPECT_STREQ(next, "two\r\n\r\n");
    EXPECT_EQ(ReadLine(line, next, &next, 256), 1);
    EXPECT_STREQ(line, "two");

    strcpy(line, "old");
    EXPECT_EQ(ReadLine(line, "", &next, 256), 1);
    EXPECT_STREQ(line, "");
    EXPECT_EQ(ReadLine(line, nullptr, &next, 256), 1);
    EXPECT_EQ(next, nullptr);
    EXPECT_EQ(ReadLine(line, "x\ny", nullptr, 1), 0);
    EXPECT_STREQ(line, "");
}

}  // namespace
