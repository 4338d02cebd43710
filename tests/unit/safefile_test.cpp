// Saving files whole (frame/safefile.h), with the plug-in linked in:
//   SafeFile*       a save goes under a temporary name and then in place, also where the firmware
//                   does not rename onto an existing name; names too long for the suffix
//   SafeSaves*      a disk that fails during any writer's save keeps the old file whole
//   SafeRecovery*   the start finishes a save a power cut interrupted before reading anything
// The power cut at every point of every save is tests/receiver/power_cut_test.cpp.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "epgdb/bufferfile.h"
#include "export/channels.h"
#include "export/export.h"
#include "frame/safefile.h"
#include "remote/commands.h"
#include "remote/reader.h"
#include "search/entries.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "tests/unit/epgdb_testing.h"
#include "tests/unit/search_testing.h"
#include "timers/backup.h"
#include "timers/set.h"
#include "timers/table.h"

using epgtest::Bench;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

int save(const char *name, const std::string &bytes) {
    SafeFile sf;
    if (SafeFile_Create(&sf, name) != 0)
        return 1;
    SafeFile_Write(&sf, bytes.data(), dword(bytes.size()));
    return SafeFile_Close(&sf);
}

}  // namespace

TEST(SafeFile, ASaveReplacesTheFileWithoutRenamingOntoIt) {
    Bench b;
    const std::string path = b.dir.file("Diro_ROD.Settings.DAT");
    EXPECT_EQ(save("Diro_ROD.Settings.DAT", "first"), 0);
    EXPECT_EQ(readFile(path), "first");
    b.fw().disk.faults.renameKeepsTarget = true;   // a firmware that does not replace files
    EXPECT_EQ(save("Diro_ROD.Settings.DAT", "second"), 0);
    EXPECT_EQ(readFile(path), "second");
    EXPECT_FALSE(b.fw().disk.exists("Diro_ROD.Settings.DAT.tmp"));
    EXPECT_FALSE(b.fw().disk.exists("Diro_ROD.Settings.DAT.new"));
    EXPECT_TRUE(b.fw().disk.openFiles().empty());

    // A write that falls short: the old file stays, the piece is removed.
    b.fw().disk.faults.failWritesAfterBytes = 3;
    EXPECT_EQ(save("Diro_ROD.Settings.DAT", "third"), 1);
    b.fw().disk.faults.failWritesAfterBytes = -1;
    EXPECT_EQ(readFile(path), "second");
    EXPECT_FALSE(b.fw().disk.exists("Diro_ROD.Settings.DAT.tmp"));

    // A name that leaves no room for the suffix is refused before anything is touched.
    std::string longName(SAFEFILE_NAME_SIZE - 4, 'x');
    SafeFile sf;
    EXPECT_EQ(SafeFile_Create(&sf, longName.c_str()), 1);
    EXPECT_EQ(SafeFile_Write(&sf, "x", 1), 0);
    EXPECT_EQ(SafeFile_Close(&sf), 1);
    EXPECT_EQ(SafeFile_Create(&sf, longName.substr(1).c_str()), 0);
    EXPECT_EQ(SafeFile_Close(&sf), 0);
}

// Every writer, on a disk that fails a few bytes into the save, keeps the file it saved before
// (a file deleted first and written anew would be lost or cut).
TEST(SafeSaves, ADiskFailingDuringAnySaveKeepsTheOldFile) {
    Bench b("2026-12-07 20:00", 8);
    rgn = word(TAP_Osd_Create(0, 0, OSD_WIDTH, OSD_HEIGHT, 0, 0));
    Set_Colors();
    for (int ch = 0; ch < 8; ++ch)
        b.schedule(0, ch, {b.event("20:00", 60, "Show " + std::to_string(ch), "Short", "Long text")});
    for (int ch = 0; ch < 8; ++ch)
        FillBuffer(SVC_TYPE_Tv, ch);
    max_Search = 0;
    searchtest::setEntry(max_Search++, "Krimi", SEARCH_MODE_M, 1, 8);
    CheckCommands("Command.AddTimer:0001,2026-12-08,20:15,01:30,TV,OT,Rec;Film");
    while (ToSetTimer_max > 0) {
        CopyTimerToSet(QUEUE_TAKE_FIRST, TIMER_SLOT_SWAP);
        Set_Timer(TIMER_SLOT_SWAP);
    }

    struct Writer {
        const char *file;
        std::function<void()> save;
    };
    const std::vector<Writer> writers = {
        {SETTINGS_FILE_NAME, [] { SaveSettingsFile(); }},
        {BUFFER_FILE_NAME, [] { SaveBufferFile(); }},
        {SEARCH_FILE_NAME, [] { SaveSearch(); }},
        {EXPORT_HTML_NAME, [] { ExportHTML(0); }},
        {EXPORT_CSV_NAME, [] { ExportCSV(0); }},
        {TV_CHANNEL_LIST_NAME, [] { Create_ChannelList(); }},
        {TIMER_LIST_FILE_NAME, [] { Create_TimerList(TIMER_FILE_LIST); }},
        {TIMER_BACKUP_FILE_NAME, [] { Create_TimerList(TIMER_FILE_BACKUP); }},
    };
    for (const Writer &w : writers) {
        SCOPED_TRACE(w.file);
        w.save();
        std::string before = readFile(b.dir.file(w.file));
        ASSERT_GT(before.size(), 10u);
        b.fw().disk.faults.failWritesAfterBytes = 10;
        w.save();
        b.fw().disk.faults.failWritesAfterBytes = -1;
        EXPECT_EQ(readFile(b.dir.file(w.file)), before);
        EXPECT_FALSE(b.fw().disk.exists(std::string(w.file) + ".tmp"));
        EXPECT_FALSE(b.fw().disk.exists(std::string(w.file) + ".new"));
    }
    // The exports say so, as the other files do.
    b.rx->screen().clearLog();
    b.fw().disk.faults.failWritesAfterBytes = 10;
    ExportCSV(0);
    b.fw().disk.faults.failWritesAfterBytes = -1;
    bool shown = false;
    for (const sim::ScreenText &t : b.rx->screen().textLog())
        shown = shown || t.text == "     Can't SAVE CSV FILE";
    EXPECT_TRUE(shown);
}

TEST(SafeRecovery, TheStartFinishesWhatAPowerCutInterrupted) {
    testsupport::TempDir dir;
    // The settings: the new copy was whole (renamed), the old file still there.
    writeFile(dir.file(SETTINGS_FILE_NAME), testsupport::settingsImage({{112, 5}}));
    writeFile(dir.file(SETTINGS_FILE_NAME ".new"), testsupport::settingsImage({{112, 7}}));
    // The search file: the new copy is a piece; the old file is kept.
    writeFile(dir.file(SEARCH_FILE_NAME), "Alpha|1-4|M\r\n");
    writeFile(dir.file(SEARCH_FILE_NAME ".tmp"), "Alpha|1-4|M\r\nBe");
    // The export: the old file was deleted, the new copy not yet renamed.
    writeFile(dir.file(EXPORT_CSV_NAME ".new"), "new export");
    // The timer list: cut in its first save, nothing before.
    writeFile(dir.file(TIMER_LIST_FILE_NAME ".tmp"), "01.Tim");

    testsupport::LinkedOptions o;
    auto rx = testsupport::linkedReceiver(dir.path(), o);
    ASSERT_TRUE(rx->pluginRunning());
    EXPECT_EQ(settings.remote_mode, 7);
    EXPECT_EQ(readFile(dir.file(SETTINGS_FILE_NAME)), testsupport::settingsImage({{112, 7}}));
    ASSERT_EQ(max_Search, 1);
    EXPECT_STREQ(Search[0].word, "Alpha");
    EXPECT_EQ(readFile(dir.file(EXPORT_CSV_NAME)), "new export");
    for (const char *name : {SETTINGS_FILE_NAME ".new", SEARCH_FILE_NAME ".tmp", EXPORT_CSV_NAME ".new",
                             TIMER_LIST_FILE_NAME ".tmp", TIMER_LIST_FILE_NAME})
        EXPECT_FALSE(rx->firmware().disk.exists(name)) << name;
}
