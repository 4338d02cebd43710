// Search words through the receiver program, as a user meets them: a search file edited on a PC
// and a command file dropped on the receiver's disk, the plug-in started, its data base filled
// from the demo guide and saved, and after a restart the start-up search (settings: announce the
// M entries) finding the events; OK on its message opens the result list.
//   SearchFilesOnTheReceiver   the files read, the command file carried out once and the search
//                              file rewritten; the results of the start-up search on the screen
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
    std::string day, time, title;
};

// The event rows of a result list in a "dump screen" file: weekday (x 61), times (x 101) and
// text (x 241) of the rows at y 113, 149, ...
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
    }
    std::vector<Row> out;
    for (auto &r : rows)
        out.push_back(r.second);
    return out;
}

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
