// Search words through the receiver program, as a user meets them: a search file edited on a PC
// and a command file dropped on the receiver's disk, the plug-in started, its data base filled
// from the demo guide and saved, and after a restart the start-up search (settings: announce the
// M entries) finding the events; OK on its message opens the result list.
//   SearchFilesOnTheReceiver   the files read, the command file carried out once and the search
//                              file rewritten; the results of the start-up search on the screen
//   SearchListOnTheReceiver    the list and the editor: a word typed on the keyboard (the walk of
//                              tests/scripts/search_words.rod), sorting and moving, every row of
//                              the editor, deleting, a full list; the file they leave each time
//   ResultListOnTheReceiver    the columns of a result list sorted by time, channel and name
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/support.h"

using testsupport::readFile;
using testsupport::runReceiver;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

struct Row {
    std::string day, time, title, number;
};

// The event rows of a result list in a "dump screen" file: weekday (x 61), times (x 101), text
// (x 241) and channel number (x 620) of the rows at y 113, 149, ...
std::vector<Row> resultRows(const std::string &dump) {
    std::map<int, Row> rows;
    std::istringstream in(dump);
    std::string line;
    while (std::getline(in, line)) {
        int x = 0, y = 0;
        if (std::sscanf(line.c_str(), "%d %d", &x, &y) != 2 || y < 113 || (y - 113) % 36 != 0)
            continue;
        size_t q = line.find('"');
        if (q == std::string::npos || line.size() < q + 2)
            continue;
        std::string text = line.substr(q + 1, line.size() - q - 2);
        if (x == 61)
            rows[y].day = text;
        else if (x == 101)
            rows[y].time = text;
        else if (x == 241)
            rows[y].title = text;
        else if (x == 620)
            rows[y].number = text;
    }
    std::vector<Row> out;
    for (auto &r : rows)
        out.push_back(r.second);
    return out;
}

const char *const kClock = "2026-12-07 20:00";

// Runs a script on the receiver with its disk in `disk` (and further options); fails the test on
// a bad run.
testsupport::ProgramResult runScript(const std::string &disk, const std::string &script,
                                     std::vector<std::string> options = {}) {
    std::vector<std::string> args = {"--disk", disk, "--clock", kClock, "--script", "-"};
    args.insert(args.end(), options.begin(), options.end());
    auto r = runReceiver(args, script);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return r;
}

// The entry lines of a search file: the lines before the first empty one, without their CR LF.
std::vector<std::string> entryLines(const std::string &file) {
    std::vector<std::string> lines;
    size_t at = 0;
    for (;;) {
        size_t end = file.find("\r\n", at);
        if (end == std::string::npos || end == at)
            return lines;
        lines.push_back(file.substr(at, end - at));
        at = end + 2;
    }
}

using Lines = std::vector<std::string>;

// A disk folder in dir holding a search file with these bytes; returns the file's path.
std::string diskWithSearchFile(const TempDir &dir, const std::string &bytes) {
    std::filesystem::create_directories(dir.file("disk"));
    std::string file = dir.file("disk") + "/Diro_ROD.Search.ini";
    writeFile(file, bytes);
    return file;
}

// Opens the search list from the guide on a disk the plug-in has just started on.
const char *const kOpenList = "wait 2s\nkey GUIDE\nkey SLOW\n";

}  // namespace

TEST(SearchFilesOnTheReceiver, PcEditedFilesAreReadAndTheStartUpSearchFindsTheirEvents) {
    TempDir dir;
    std::string disk = dir.file("disk");
    std::filesystem::create_directories(disk);
    // Announce the M entries at start-up.
    writeFile(disk + "/Diro_ROD.Settings.DAT", testsupport::settingsImage({{88, 1}}));
    writeFile(disk + "/Diro_ROD.Search.ini",
              std::string("_tatort_|1-40|M,0,0|20:00-23:00|WE\r\n") +   // weekend evenings only
                  "\r\n;my words\r\n" +                                  // a blank line, a comment
                  "Gr\xFC\xDF" "e|1-40|Off\n" +                          // Latin-1, LF only
                  std::string(300, 'x') + "|3|M\r\n" +                   // too long
                  "junk\x01\x02|3|M\r\n" +                               // binary junk
                  "LOWENZAHN|1-40|M");                                   // no line end; Löwenzahn
    writeFile(disk + "/Diro_ROD.Command.ini", "Das Boot|1-40|Rec,5,10|20:00-23:30|ED\r\n");

    writeFile(dir.file("run.rod"),
              "wait 1s\n"
              "expect no-file Diro_ROD.Command.ini\n"
              "wait 3m\n"                      // the background fill of the data base
              "key GUIDE\n"
              "key STOP\n"                     // saves it
              "restart\n"
              "wait 2s\n"                      // the start-up search has run
              "key OK\n"
              "expect screen \"Tatort ~\"\n"
              "dump screen " + dir.file("page1.txt") + "\n"
              "key FORWARD\n"
              "dump screen " + dir.file("page2.txt") + "\n");
    auto run = runReceiver({"--disk", disk, "--clock", "2026-12-07 20:00", "--script", dir.file("run.rod")});
    ASSERT_EQ(run.exitCode, 0) << run.err;

    // The command file was carried out once and its entry kept in the search file, which now holds
    // the list as the plug-in writes it: what it could not use is gone.
    std::string search = readFile(disk + "/Diro_ROD.Search.ini");
    EXPECT_EQ(search.rfind("_tatort_|1-40|M,0,0|20:00-23:00|WE\r\n"
                           "Gr\xFC\xDF" "e|1-40|Off,3,15|00:00-00:00|ED\r\n"
                           "LOWENZAHN|1-40|M,3,15|00:00-00:00|ED\r\n"
                           "Das Boot|1-40|Rec,5,10|20:00-23:30|ED\r\n\r\n\r\n;Command.AddTimer:",
                           0),
              0u)
        << search;
    EXPECT_EQ(search.size() % 512, 0u);
    EXPECT_EQ(search.find("junk"), std::string::npos);
    EXPECT_FALSE(std::ifstream(disk + "/Diro_ROD.Command.ini").good());

    // The first entry's events come first: Tatort on Saturdays and Sundays from 20:00 to 23:00;
    // then the second entry's, found although the file writes the title without its umlaut.
    std::vector<Row> rows = resultRows(readFile(dir.file("page1.txt")));
    std::vector<Row> more = resultRows(readFile(dir.file("page2.txt")));
    rows.insert(rows.end(), more.begin(), more.end());
    ASSERT_FALSE(rows.empty());
    int tatort = 0, lowenzahn = 0;
    for (const Row &r : rows) {
        if (r.title.rfind(" Tatort ~", 0) == 0) {
            ++tatort;
            EXPECT_EQ(lowenzahn, 0) << "the first entry's results come first";
            EXPECT_TRUE(r.day == " Sa" || r.day == " Su") << r.day << r.time << r.title;
            EXPECT_GE(r.time.substr(0, 6), " 20:00") << r.time;
            EXPECT_LE(r.time.substr(0, 6), " 23:00") << r.time;
        } else {
            EXPECT_EQ(r.title, " L\xC3\xB6wenzahn") << "only the M entries are announced";
            ++lowenzahn;
        }
    }
    EXPECT_GT(tatort, 0);
    EXPECT_GT(lowenzahn, 0);
}

TEST(SearchListOnTheReceiver, AWordTypedOnTheKeyboardIsSavedFoundAndKeptAfterARestart) {
    TempDir dir;
    std::string disk = dir.file("disk");
    auto r = runReceiver({"--disk", disk, "--clock", kClock, "--script",
                          std::string(DIRO_SOURCE_DIR) + "/tests/scripts/search_words.rod"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string file = readFile(disk + "/Diro_ROD.Search.ini");
    EXPECT_EQ(entryLines(file), Lines{"TATORT|1-40|Off,3,15|00:00-00:00|ED"});
    EXPECT_EQ(file.size() % 512, 0u);
}

TEST(SearchListOnTheReceiver, SortingAndMovingEntriesRewriteTheFileInTheirNewOrder) {
    TempDir dir;
    std::string disk = dir.file("disk");
    std::string file = diskWithSearchFile(dir, "bb|1-40|M\r\naa|1-40|Rec\r\ncc|1-40|M\r\n");
    runScript(disk, std::string(kOpenList) + "key GREEN\n");   // -/M/P/R
    EXPECT_EQ(entryLines(readFile(file)), (Lines{"bb|1-40|M,3,15|00:00-00:00|ED", "cc|1-40|M,3,15|00:00-00:00|ED",
                                                  "aa|1-40|Rec,3,15|00:00-00:00|ED"}));
    runScript(disk, std::string(kOpenList) + "key YELLOW\n");   // R/P/M/-
    EXPECT_EQ(entryLines(readFile(file)).front(), "aa|1-40|Rec,3,15|00:00-00:00|ED");
    runScript(disk, std::string(kOpenList) + "key GREEN\nkey RED\n");   // A - Z
    EXPECT_EQ(entryLines(readFile(file)), (Lines{"aa|1-40|Rec,3,15|00:00-00:00|ED", "bb|1-40|M,3,15|00:00-00:00|ED",
                                                  "cc|1-40|M,3,15|00:00-00:00|ED"}));
    // aa two places down, then one up again; V+ on the last entry changes nothing.
    runScript(disk, std::string(kOpenList) + "key DOWN x3\nkey RIGHT x3\nkey LEFT\n");
    Lines moved = entryLines(readFile(file));
    ASSERT_EQ(moved.size(), 3u);
    EXPECT_EQ(moved[0].substr(0, 3), "bb|");
    EXPECT_EQ(moved[1].substr(0, 3), "aa|");
    EXPECT_EQ(moved[2].substr(0, 3), "cc|");
}

TEST(SearchListOnTheReceiver, TheEditorsRowsChangeCutSaveAndDeleteAnEntry) {
    TempDir dir;
    std::string disk = dir.file("disk");
    std::string file = diskWithSearchFile(dir, "Krimi: Der Fall|1-40|Off\r\nNews|5|M\r\n");
    runScript(disk, std::string(kOpenList) +
                        "key DOWN x3\nkey OK\n"
                        "key << x10\n"                   // row 1: "Krimi"
                        "expect screen \" \\\"Krimi\\\"\"\n"
                        "key DOWN\nkey RIGHT x2\n"       // row 2: from place 3
                        "key DOWN x2\nkey LEFT\n"        // row 4: Saturday and Sunday
                        "key DOWN\nkey >> x20\n"         // row 5: from 20:00
                        "key DOWN\nkey >> x23\n"         // row 6: to 23:00
                        "key DOWN\nkey RIGHT x3\n"       // row 7: Rec
                        "key DOWN\nkey RIGHT x2\n"       // row 8: 5 minutes early
                        "key DOWN\nkey LEFT x5\n"        // row 9: 10 minutes on
                        "key DOWN\nkey OK\n"             // row 10: saved
                        "expect screen \" Search Word List\"\n");
    EXPECT_EQ(entryLines(readFile(file)), (Lines{"Krimi|3-40|Rec,5,10|20:00-23:00|WE", "News|5|M,3,15|00:00-00:00|ED"}));
    // Help-and-edit opens an entry on its last row, offering to delete it.
    runScript(disk, std::string(kOpenList) + "key DOWN x4\nkey HELP\nexpect screen \" Delete the Search\"\nkey OK\n");
    EXPECT_EQ(entryLines(readFile(file)), (Lines{"Krimi|3-40|Rec,5,10|20:00-23:00|WE"}));
}

TEST(SearchListOnTheReceiver, AFullListRefusesANewWordAndKeepsItsFile) {
    TempDir dir;
    std::string disk = dir.file("disk");
    std::string full;
    for (int i = 0; i < 200; ++i)
        full += "word" + std::to_string(i) + "|1-40|Off\r\n";
    std::string file = diskWithSearchFile(dir, full);
    const std::string saveNew = std::string(kOpenList) + "key OK\nkey UP\nkey OK\n";
    runScript(disk, saveNew + "expect screen \"The Searchlist is full!\"\n"
                              "key DOWN\n"   // the next key takes the message away
                              "expect no-screen \"The Searchlist is full!\"\n"
                              "expect screen \" Search Event ...\"\n");
    writeFile(disk + "/Diro_ROD.Settings.DAT", testsupport::settingsImage({{84, 2}}));   // German
    runScript(disk, saveNew + "expect screen \"Die Suchliste ist bereits voll!\"\n");
    EXPECT_EQ(readFile(file), full);
}

TEST(ResultListOnTheReceiver, ResultsShowDayTimesTitleAndChannelAndSortByTimeNumberAndName) {
    TempDir dir;
    std::string disk = dir.file("disk");
    diskWithSearchFile(dir, "Krimi\r\n");
    // Three channels whose names sort otherwise than their numbers: 1 Zeta, 2 Alpha, 3 Mitte.
    auto programme = [](const char *channel, const char *from, const char *to, const char *sub) {
        return std::string("<programme start=\"20261207") + from + "00 +0100\" stop=\"20261207" + to +
               "00 +0100\" channel=\"" + channel + "\"><title>Krimi</title><sub-title>" + sub +
               "</sub-title></programme>\n";
    };
    writeFile(dir.file("guide.xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tv>\n"
              "<channel id=\"z\"><display-name>Zeta</display-name></channel>\n"
              "<channel id=\"a\"><display-name>Alpha</display-name></channel>\n"
              "<channel id=\"m\"><display-name>Mitte</display-name></channel>\n" +
                  programme("z", "2100", "2200", "Z1") + programme("a", "2030", "2100", "A1") +
                  programme("a", "2200", "2300", "A2") + programme("m", "2045", "2145", "M1") + "</tv>\n");
    std::string script = "wait 1m\nkey GUIDE\nkey SLOW\nkey DOWN\nkey OK\n";   // S2: every word
    for (const char *key : {"", "RED", "GREEN", "YELLOW"}) {
        if (*key)
            script += std::string("key ") + key + "\n";
        script += "dump screen " + dir.file(std::string("rows") + key + ".txt") + "\n";
    }
    runScript(disk, script + "expect screen \"1/4\"\n", {"--guide", dir.file("guide.xml"), "--tz", "+0100"});

    auto order = [&](const char *key) {
        std::string out;
        for (const Row &r : resultRows(readFile(dir.file(std::string("rows") + key + ".txt"))))
            out += r.number + r.time.substr(0, 6) + r.title.substr(r.title.size() - 2) + " ";
        return out;
    };
    EXPECT_EQ(order(""), "1 21:00Z1 2 20:30A1 2 22:00A2 3 20:45M1 ");        // as found: channels, times
    EXPECT_EQ(order("RED"), "2 20:30A1 3 20:45M1 1 21:00Z1 2 22:00A2 ");     // time
    EXPECT_EQ(order("GREEN"), "1 21:00Z1 2 20:30A1 2 22:00A2 3 20:45M1 ");   // channel number
    EXPECT_EQ(order("YELLOW"), "2 20:30A1 2 22:00A2 3 20:45M1 1 21:00Z1 ");  // channel name
    std::vector<Row> rows = resultRows(readFile(dir.file("rowsRED.txt")));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].day, " Mo");
    EXPECT_EQ(rows[0].time, " 20:30 - 21:00");
    EXPECT_EQ(rows[0].title, " Krimi ~ A1");
    EXPECT_NE(readFile(dir.file("rowsRED.txt")).find("\"2. Alpha\""), std::string::npos);
}
