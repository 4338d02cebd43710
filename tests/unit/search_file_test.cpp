// Search entries and the search file (search/entries.h) and the reader of the search and command
// files (remote/reader.h), with the plug-in linked in:
//   SearchEntries     copy, delete and move; CharCompare; sorting by word and mode; a full list
//                     keeps the working entry
//   SearchLine        the entry-line examples, defaults, tokens, numbers, refused lines
//   SearchFileWrite   the lines, the sample command block, padding to 512 bytes, a failed write;
//                     what is written reads back unchanged
//   SearchFileRead    files from a PC: CR LF, CR, LF, no last line end, blank lines, Latin-1 and
//                     UTF-8, long lines, binary junk, 300 lines, 65,099 bytes; a missing or an
//                     empty file
//   CommandFileRead   entries appended, the file deleted, the search file rewritten; a full list
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "remote/commands.h"
#include "search/entries.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "tests/unit/epgdb_testing.h"
#include "tests/unit/search_testing.h"
#include "timers/table.h"

using epgtest::Bench;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

// An entry as "word places mode lead,stop window days".
std::string describe(const SearchEntry &e) {
    char buf[256];
    std::snprintf(buf, sizeof buf, "%s %d-%d m%d %d,%d %d-%d d%d", e.word, e.first_place, e.last_place, e.mode,
                  (int)e.lead_time, (int)e.stop_add, (int)e.window_start, (int)e.window_end, e.weekdays);
    return buf;
}

std::vector<std::string> listed() {
    std::vector<std::string> out;
    for (int i = 0; i < max_Search; ++i)
        out.push_back(describe(Search[i]));
    return out;
}
using Listed = std::vector<std::string>;

void setEntry(int slot, const char *word, int mode, int first = 1, int last = 40) {
    searchtest::setEntry(slot, word, mode, first, last);
}

void setList(std::initializer_list<std::pair<const char *, int>> entries) {
    max_Search = 0;
    for (const auto &e : entries)
        setEntry(max_Search++, e.first, e.second);
}

std::vector<std::string> words() {
    std::vector<std::string> out;
    for (int i = 0; i < max_Search; ++i)
        out.push_back(Search[i].word);
    return out;
}
using Words = std::vector<std::string>;

// The parse of one line into a fresh slot 0, or "refused".
std::string parse(const char *line) {
    std::memset(&Search[0], 0x5A, sizeof Search[0]);
    Search[0].word[0] = 0;
    if (ExtractLine(line, 0) != 0)
        return "refused";
    return describe(Search[0]);
}

// A bench whose settings make the defaults of a new entry recognisable: places 1-40, lead 3,
// follow-up 15.
struct FileBench : Bench {
    FileBench() {
        settings.scan_max_channels = 40;
        settings.rec_lead_time = 3;
        settings.rec_stop_add = 15;
        max_Search = 0;
    }
    std::string path(const char *name) { return dir.file(name); }
    void put(const char *name, const std::string &bytes) { writeFile(path(name), bytes); }
    std::string get(const char *name) { return readFile(path(name)); }
};

}  // namespace

// --- Entries ---

TEST(SearchEntries, CopyDeleteAndMoveStayInsideTheList) {
    FileBench b;
    setList({{"Alpha", 0}, {"Beta", 1}, {"Gamma", 2}});
    std::memset(Search[1].word, 'x', SEARCH_WORD_SIZE);   // no terminator in the source
    CopySearch(SEARCH_WORKING, 1);
    EXPECT_EQ(std::strlen(Search[SEARCH_WORKING].word), 127u);
    EXPECT_EQ(Search[SEARCH_WORKING].mode, 1);
    std::strcpy(Search[1].word, "Beta");
    CopySearch(-1, 0);
    CopySearch(0, 201);
    EXPECT_EQ(words(), (Words{"Alpha", "Beta", "Gamma"}));

    SortManualSearch(0, -1);
    SortManualSearch(2, 1);
    SortManualSearch(1, 2);
    EXPECT_EQ(words(), (Words{"Alpha", "Beta", "Gamma"}));
    SortManualSearch(0, 1);
    EXPECT_EQ(words(), (Words{"Beta", "Alpha", "Gamma"}));
    SortManualSearch(2, -1);
    EXPECT_EQ(words(), (Words{"Beta", "Gamma", "Alpha"}));

    DeleteSearch(3);
    DeleteSearch(-1);
    EXPECT_EQ(max_Search, 3);
    DeleteSearch(2);   // the last: only the count goes down
    EXPECT_EQ(words(), (Words{"Beta", "Gamma"}));
    EXPECT_STREQ(Search[2].word, "Alpha");
    DeleteSearch(0);
    EXPECT_EQ(words(), (Words{"Gamma"}));
}

TEST(SearchEntries, SortByWordAndByModeWithFoldedComparison) {
    FileBench b;
    EXPECT_EQ(CharCompare("abc", "abd"), 2);
    EXPECT_EQ(CharCompare("abd", "abc"), 1);
    EXPECT_EQ(CharCompare("ABC", "abc"), 0);
    EXPECT_EQ(CharCompare("M\xFC" "ller", "muller"), 0);
    EXPECT_EQ(CharCompare("ab", "abc"), 2);
    EXPECT_EQ(CharCompare("\xDF" "port", "Abend"), 2);   // "ß" does not fold: before ASCII
    EXPECT_EQ(CharCompare(nullptr, "a"), 2);

    setList({{"b", SEARCH_MODE_M}, {"a", SEARCH_MODE_REC}, {"c", SEARCH_MODE_M}});
    SortSearch(2);
    EXPECT_EQ(words(), (Words{"b", "c", "a"}));
    SortSearch(3);
    EXPECT_EQ(words(), (Words{"a", "b", "c"}));
    setList({{"Zorro", 0}, {"\xC4rzte", 3}, {"apfel", 1}, {"\xDF" "port", 2}, {"Bahn", 4}});
    SortSearch(1);
    EXPECT_EQ(words(), (Words{"\xDF" "port", "apfel", "\xC4rzte", "Bahn", "Zorro"}));
    SortSearch(4);
    SortSearch(0);
    EXPECT_EQ(words(), (Words{"\xDF" "port", "apfel", "\xC4rzte", "Bahn", "Zorro"}));
}

TEST(SearchEntries, SortingAFullListKeepsTheWorkingEntry) {
    FileBench b;
    max_Search = 0;
    for (int i = SEARCH_LIST_SIZE - 1; i >= 0; --i) {
        char w[8];
        std::snprintf(w, sizeof w, "w%03d", i);
        setEntry(max_Search++, w, i % 5);
    }
    setEntry(SEARCH_WORKING, "typed word", 1);
    SortSearch(1);
    EXPECT_STREQ(Search[0].word, "w000");
    EXPECT_STREQ(Search[199].word, "w199");
    SortSearch(3);
    EXPECT_EQ(Search[0].mode, 4);
    SortManualSearch(198, 1);
    EXPECT_STREQ(Search[SEARCH_WORKING].word, "typed word");
}

// --- Entry lines ---

TEST(SearchLine, TheExamplesOfEntryLines) {
    FileBench b;
    EXPECT_EQ(parse("Krimi"), "Krimi 1-40 m0 3,15 0-0 d9");
    EXPECT_EQ(parse("Krimi|"), "Krimi 1-40 m0 3,15 0-0 d9");
    EXPECT_EQ(parse("X|1-10|Rec"), "refused");
    EXPECT_EQ(parse("News|3|M,0,0|18:00-19:30|WD"), "News 3-3 m1 0,0 1080-1170 d7");
    EXPECT_EQ(parse("News|3-7|Rec,700,5|25:00-06:00|ED"), "News 3-7 m3 3,5 0-360 d9");
    EXPECT_EQ(parse("News|M"), "News 1-40 m1 3,15 0-0 d9");
    EXPECT_EQ(parse("Krimi|1-40|Rec,3,10|20:00-21:00|So"), "Krimi 1-40 m3 3,10 1200-1260 d6");
    // Unknown fields after the weekday, and separators in runs.
    EXPECT_EQ(parse("News|3|M,0,0|18:00-19:30|WD|extra|7"), "News 3-3 m1 0,0 1080-1170 d7");
    EXPECT_EQ(parse("News||3;;M,,0,0::18:00--19:30||WD"), "News 3-3 m1 0,0 1080-1170 d7");
    // Modes, place numbers, offsets.
    EXPECT_EQ(parse("News|5-9|on"), "News 5-9 m3 3,15 0-0 d9");
    EXPECT_EQ(parse("News|5-9|R"), "News 5-9 m3 3,15 0-0 d9");
    EXPECT_EQ(parse("News|5-9|1XREC|10|20"), "News 5-9 m4 10,20 0-0 d9");
    EXPECT_EQ(parse("News|5-9|Off|abc|601"), "News 5-9 m0 3,15 0-0 d9");
    EXPECT_EQ(parse("News|201-7|P"), "News 1-7 m2 3,15 0-0 d9");
    EXPECT_EQ(parse("News|5-250|P"), "News 5-40 m2 3,15 0-0 d9");
    EXPECT_EQ(parse("News|257|M"), "News 1-1 m1 3,15 0-0 d9");   // places are 8 bits: 257 is 1
    EXPECT_EQ(parse("News|9-4|M"), "News 4-9 m1 3,15 0-0 d9");   // a range written backwards
    EXPECT_EQ(parse("News|3|M,0,0|07:05"), "News 3-3 m1 0,0 425-0 d9");
    EXPECT_EQ(parse("Two words  |3"), "Two words   3-3 m0 3,15 0-0 d9");
    std::string longWord(140, 'k');
    EXPECT_EQ(parse((longWord + "|3|M").c_str()), std::string(127, 'k') + " 3-3 m1 3,15 0-0 d9");
}

TEST(SearchLine, NumbersAreReadAsTheCommandAndSearchFilesWriteThem) {
    EXPECT_EQ(atoi_x("20sec", -1), 20);
    EXPECT_EQ(atoi_x("05", 0), 5);
    EXPECT_EQ(atoi_x("99999", 0), 9999);
    EXPECT_EQ(atoi_x("-12", 0), -12);
    EXPECT_EQ(atoi_x("+7", 0), 7);
    for (const char *none : {"", "+", "-", "def", " 5"})
        EXPECT_EQ(atoi_x(none, 42), 42) << '"' << none << '"';
    EXPECT_EQ(atoi_x(nullptr, 42), 42);
}

TEST(SearchLine, WeekdayTokensInEnglishAndGerman) {
    FileBench b;
    struct {
        const char *token;
        int code;
    } tokens[] = {{"Mo", 0}, {"mo", 0}, {"Di", 1}, {"TU", 1}, {"Mi", 2}, {"MI", 2}, {"We", 2}, {"we", 2},
                  {"Do", 3}, {"th", 3}, {"Fr", 4}, {"sa", 5}, {"So", 6}, {"Su", 6}, {"WD", 7}, {"wd", 7},
                  {"WE", 8}, {"ED", 9}, {"ed", 9}, {"wE", 9}, {"Monday", 9}, {"Ke", 9}};
    for (const auto &t : tokens) {
        std::string line = std::string("News|3|M,0,0|18:00-19:30|") + t.token;
        ASSERT_EQ(ExtractLine(line.c_str(), 0), 0) << t.token;
        EXPECT_EQ(Search[0].weekdays, t.code) << t.token;
    }
}

TEST(SearchLine, CommentsShortLinesAndEmptyWordsAreNoEntries) {
    FileBench b;
    for (const char *line : {";Krimi|3|M", ",Krimi", "|Krimi", "K", "", "   ", "     |3|M", "X|3|M", " |3|M"})
        EXPECT_EQ(parse(line), "refused") << '"' << line << '"';
    // A refused line leaves the slot as it was.
    setEntry(0, "Kept", 2);
    EXPECT_EQ(ExtractLine("X|1-10|Rec", 0), 1);
    EXPECT_EQ(describe(Search[0]), "Kept 1-40 m2 3,15 0-0 d9");
    EXPECT_EQ(ExtractLine("Krimi", SEARCH_LIST_SIZE), 1);
    EXPECT_EQ(ExtractLine(nullptr, 0), 1);
}

// --- Writing ---

TEST(SearchFileWrite, EntryLinesSampleCommandsAndPadding) {
    FileBench b;
    setList({{"Krimi", SEARCH_MODE_REC}, {"News", SEARCH_MODE_M}});
    Search[0].lead_time = 3;
    Search[0].stop_add = 10;
    Search[0].window_start = 20 * 60;
    Search[0].window_end = 21 * 60;
    Search[0].weekdays = 6;
    Search[1].first_place = Search[1].last_place = 5;
    Search[1].weekdays = SEARCH_DAYS_WE;

    language = LAN_German;
    ASSERT_EQ(SaveSearch(), 0);
    std::string file = b.get(SEARCH_FILE_NAME);
    EXPECT_EQ(file.rfind("Krimi|1-40|Rec,3,10|20:00-21:00|So\r\nNews|5|M,3,15|00:00-00:00|WE\r\n\r\n\r\n"
                         ";Command.AddTimer:0001,2005-01-31,20:15,01:30,TV,OT,Rec;Name of the Show (Record)\r\n",
                         0),
              0u)
        << file;
    EXPECT_NE(file.find("\r\n;Command.RestoreTimerBackup\r\n\r\n;You can set Remode Commands in the file "
                        "\"Diro_ROD.Command.ini\" or \"Diro_ROD.Search.ini\"\r\n\r\n "),
              std::string::npos);
    size_t samples = 0;
    for (size_t at = 0; (at = file.find("\r\n;Command.", at)) != std::string::npos; ++at)
        ++samples;
    EXPECT_EQ(samples, 23u);
    EXPECT_EQ(file.size() % 512, 0u);
    size_t text_end = file.find_last_not_of(' ') + 1;
    EXPECT_EQ(file.compare(text_end - 4, 4, "\r\n\r\n"), 0);
    EXPECT_LT(file.size() - text_end, 512u);

    language = LAN_English;
    ASSERT_EQ(SaveSearch(), 0);
    EXPECT_EQ(b.get(SEARCH_FILE_NAME).rfind("Krimi|1-40|Rec,3,10|20:00-21:00|Su\r\n", 0), 0u);
}

TEST(SearchFileWrite, NoPaddingWhenTheTextFillsWholeBlocks) {
    FileBench b;
    max_Search = 0;
    ASSERT_EQ(SaveSearch(), 0);
    std::string empty = b.get(SEARCH_FILE_NAME);
    size_t base = empty.find_last_not_of(' ') + 1;   // the text without entries
    // Entries whose lines bring the text to a multiple of 512 exactly.
    const size_t frame = std::strlen("|5|Off,3,15|00:00-00:00|ED\r\n");
    size_t total = 512 - base % 512;
    while (total < 2 * (frame + 2))
        total += 512;
    size_t lines = (total + frame + 99) / (frame + 100);
    for (size_t i = 0; i < lines; ++i) {
        size_t length = total / lines + (i < total % lines ? 1 : 0);
        setEntry(max_Search++, std::string(length - frame, static_cast<char>('a' + i)).c_str(), 0, 5, 5);
    }
    ASSERT_EQ(SaveSearch(), 0);
    std::string file = b.get(SEARCH_FILE_NAME);
    EXPECT_EQ(file.size(), base + total);
    EXPECT_EQ(file.size() % 512, 0u);
    EXPECT_EQ(file.compare(file.size() - 4, 4, "\r\n\r\n"), 0) << "padded although the text filled its blocks";
}

TEST(SearchFileWrite, WhatIsWrittenReadsBackUnchanged) {
    FileBench b;
    max_Search = 0;
    const char *names[] = {"Krimi", "M\xFC" "ller+Tatort", "~Wetter", "_news_", "Two words", "1xRec fan", "ab"};
    for (int i = 0; i < 30; ++i) {
        SearchEntry &e = Search[max_Search];
        setEntry(max_Search++, names[i % 7], i % 5, 1 + i, 1 + i + (i % 3) * 7);
        e.lead_time = (i * 37) % 601;
        e.stop_add = (i * 53) % 601;
        e.window_start = (i * 97) % 1440;
        e.window_end = (i * 211) % 1440;
        e.weekdays = static_cast<uint8_t>(i % 10);
    }
    for (int lang : {LAN_English, LAN_German}) {
        language = lang;
        Listed before = listed();
        ASSERT_EQ(SaveSearch(), 0);
        std::string first = b.get(SEARCH_FILE_NAME);
        max_Search = 0;
        ReadSearchINI();
        EXPECT_EQ(listed(), before) << "language " << lang;
        ASSERT_EQ(SaveSearch(), 0);
        EXPECT_EQ(b.get(SEARCH_FILE_NAME), first);
    }
}

TEST(SearchFileWrite, AFailedWriteIsReported) {
    FileBench b;
    rgn = (word)TAP_Osd_Create(0, 0, OSD_WIDTH, OSD_HEIGHT, 0, 0);
    Set_Colors();
    setList({{"Krimi", 1}});
    ASSERT_EQ(SaveSearch(), 0);
    const std::string saved = b.get(SEARCH_FILE_NAME);
    setList({{"Krimi", 1}, {"Tatort", 2}});
    b.fw().disk.faults.full = true;
    EXPECT_EQ(SaveSearch(), 1);
    EXPECT_TRUE(b.rx->screen().shows("Can't SAVE SEARCH FILE"));
    EXPECT_EQ(max_Search, 2);
    // The disk failing half-way keeps the file saved before too.
    b.fw().disk.faults.full = false;
    b.fw().disk.faults.failWritesAfterBytes = 20;
    EXPECT_EQ(SaveSearch(), 1);
    b.fw().disk.faults.failWritesAfterBytes = -1;
    EXPECT_EQ(b.get(SEARCH_FILE_NAME), saved);
}

// --- Reading ---

TEST(SearchFileRead, AFileEditedOnAPcIsReadLineByLine) {
    FileBench b;
    std::string longLine = "Long|" + std::string(260, '1');
    b.put(SEARCH_FILE_NAME, std::string("Krimi|3|M\r\n") +                   // CR LF
                                "\r\n\r\n" +                                // blank lines
                                "M\xFCller|1-5|Rec,0,0|20:00-22:00|Fr\n" +  // LF, a Latin-1 umlaut
                                "Sport|2\r" +                               // CR
                                longLine + "\r\n" +                         // too long: skipped whole
                                "Bad\x01Line|4|M\r\n" +                     // binary junk
                                std::string("Nul\0Line|4|M\r\n", 14) +      // a 0 byte
                                "\xFF\xFE\x02\x03\r\n" +                    // more junk
                                "  \t \r\n" +                               // blanks
                                "Tatort|1-40|P,1,2|00:00-00:00|ED|what|ever\r\n" +  // unknown fields
                                "Last line|7");                                     // no line end
    ReadSearchINI();
    EXPECT_EQ(listed(), (Listed{"Krimi 3-3 m1 3,15 0-0 d9", "M\xFCller 1-5 m3 0,0 1200-1320 d4",
                                "Sport 2-2 m0 3,15 0-0 d9", "Tatort 1-40 m2 1,2 0-0 d9", "Last line 7-7 m0 3,15 0-0 d9"}));
    // Reading changes nothing on the disk.
    EXPECT_NE(b.get(SEARCH_FILE_NAME).find("Bad\x01Line"), std::string::npos);
}

TEST(SearchFileRead, Utf8FilesBecomeLatin1) {
    FileBench b;
    b.put(SEARCH_FILE_NAME, "M\xC3\xBCller|3|M\r\nCaf\xC3\xA9 \xE2\x80\x93 Bar|4\r\n");
    ReadSearchINI();
    EXPECT_EQ(words(), (Words{"M\xFCller", "Caf\xE9  Bar"}));
    b.put(SEARCH_FILE_NAME, "\xEF\xBB\xBFKrimi|3|M\r\n");   // with a byte-order mark
    ReadSearchINI();
    EXPECT_EQ(words(), (Words{"Krimi"}));
    // Latin-1 stays Latin-1, also where a byte happens to start a UTF-8 sequence.
    b.put(SEARCH_FILE_NAME, "Gr\xFC\xDF" "e|3\r\n\xC4rger|4\r\n");
    ReadSearchINI();
    EXPECT_EQ(words(), (Words{"Gr\xFC\xDF" "e", "\xC4rger"}));
}

TEST(SearchFileRead, AtMostThreeHundredLines) {
    FileBench b;
    std::string text;
    for (int i = 0; i < 298; ++i)
        text += ";comment " + std::to_string(i) + "\r\n";
    text += "Line299\r\n\r\n\r\nLine300\r\nLine301\r\n";
    b.put(SEARCH_FILE_NAME, text);
    ReadSearchINI();
    EXPECT_EQ(words(), (Words{"Line299", "Line300"}));
}

// Comment lines (and line ends) of exactly `size` bytes.
static std::string filler(size_t size) {
    std::string f;
    while (f.size() + 252 < size)
        f += ";" + std::string(249, 'c') + "\r\n";
    size_t rest = size - f.size();
    f += rest >= 3 ? ";" + std::string(rest - 3, 'c') + "\r\n" : std::string(rest, '\n');
    return f;
}

TEST(SearchFileRead, TheFirst65099BytesAndNoLineCutByTheLimit) {
    FileBench b;
    // An entry line that crosses the limit would be read cut short: it is left out.
    std::string head = filler(65099 - 40) + "Before|3\r\n";
    std::string crossing = "Crossing|4|M,0,0|" + std::string(65099 - head.size() - 17 + 5, '0') + "\r\nAfter|5\r\n";
    b.put(SEARCH_FILE_NAME, head + crossing);
    ReadSearchINI();
    EXPECT_EQ(words(), (Words{"Before"}));

    // A line that ends right at the limit is whole and taken.
    std::string exact = filler(65099 - 40);
    std::string exactWord(65099 - exact.size() - 4, 'w');
    exact += exactWord + "|3\r\n";
    ASSERT_EQ(exact.size(), 65099u);
    b.put(SEARCH_FILE_NAME, exact + "More|4\r\n");
    ReadSearchINI();
    EXPECT_EQ(words(), (Words{exactWord}));
}

TEST(SearchFileRead, MissingFileKeepsTheListEmptyFileEmptiesIt) {
    FileBench b;
    setList({{"Kept", 1}, {"Also", 2}});
    ReadSearchINI();
    EXPECT_EQ(words(), (Words{"Kept", "Also"}));
    b.put(SEARCH_FILE_NAME, ";only a comment\r\nX|1-10|Rec\r\n");
    ReadSearchINI();
    EXPECT_EQ(max_Search, 0);
    setList({{"Kept", 1}});
    b.put(SEARCH_FILE_NAME, "");
    ReadSearchINI();
    EXPECT_EQ(max_Search, 0);
    // Nothing of it is written back: it held no command.
    EXPECT_EQ(b.get(SEARCH_FILE_NAME), "");
    ReadCommandFile(3);
    ReadCommandFile(-1);
}

TEST(SearchFileRead, TwoHundredEntriesAtMost) {
    FileBench b;
    std::string text;
    for (int i = 0; i < 210; ++i)
        text += "Entry" + std::to_string(i) + "|" + std::to_string(1 + i % 40) + "\r\n";
    b.put(SEARCH_FILE_NAME, text);
    ReadSearchINI();
    ASSERT_EQ(max_Search, SEARCH_LIST_SIZE);
    EXPECT_STREQ(Search[199].word, "Entry199");
}

TEST(CommandFileRead, EntriesAreAppendedTheFileDeletedAndTheSearchFileSaved) {
    FileBench b;
    setList({{"Krimi", 1}});
    b.put(COMMAND_FILE_NAME, "Tatort|1-10|Rec,5,10|20:00-23:00|WE\r\n;a comment\r\nX|1|M\r\n");
    ReadCommandINI();
    EXPECT_EQ(words(), (Words{"Krimi", "Tatort"}));
    EXPECT_FALSE(b.rx->firmware().disk.exists(COMMAND_FILE_NAME));
    EXPECT_EQ(b.get(SEARCH_FILE_NAME).rfind("Krimi|1-40|M,3,15|00:00-00:00|ED\r\n"
                                            "Tatort|1-10|Rec,5,10|20:00-23:00|WE\r\n",
                                            0),
              0u);

    // A command file without entries is deleted; the search file stays as it is.
    b.put(SEARCH_FILE_NAME, "untouched");
    b.put(COMMAND_FILE_NAME, ";nothing here\r\n");
    ReadCommandINI();
    EXPECT_FALSE(b.rx->firmware().disk.exists(COMMAND_FILE_NAME));
    EXPECT_EQ(b.get(SEARCH_FILE_NAME), "untouched");
    EXPECT_EQ(max_Search, 2);

    // A full list takes no more entries; the file goes all the same.
    for (int i = max_Search; i < SEARCH_LIST_SIZE; ++i)
        setEntry(i, "Filler", 0);
    max_Search = SEARCH_LIST_SIZE;
    b.put(COMMAND_FILE_NAME, "Overflow|3\r\n");
    ReadCommandINI();
    EXPECT_EQ(max_Search, SEARCH_LIST_SIZE);
    EXPECT_FALSE(b.rx->firmware().disk.exists(COMMAND_FILE_NAME));
    EXPECT_EQ(b.get(SEARCH_FILE_NAME), "untouched");

    // The timer backup holds commands only: an entry line there adds nothing.
    max_Search = 1;
    b.put(TIMER_BACKUP_FILE_NAME, "Backup|3\r\n");
    ReadCommandFile(COMMAND_KIND_BACKUP);
    EXPECT_EQ(max_Search, 1);
    EXPECT_TRUE(b.rx->firmware().disk.exists(TIMER_BACKUP_FILE_NAME));
}
