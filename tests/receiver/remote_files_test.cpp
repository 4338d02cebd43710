// Remote commands through the receiver program, and the files they leave:
//   RemoteScript        tests/scripts/remote_commands.rod (a command file dropped in remote mode,
//                       its timers set one by one, backup and restore): the timer list, the
//                       backup and the settings it leaves; a refused timer's box stands the
//                       message seconds (5 without a value), then the completion message
//   RemoteSamples       the sample lines of the search file, word for word, in their own year
//   RemoteBackup        a backup restored days after it was made sets its repeating timers again
//   RemoteDelete        a timer added and deleted again in one file is never set
//   RemoteScriptParse   the script commands put (a file into the plug-in's folder) and expect
//                       shown / no-shown
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "receiver/script.h"
#include "tests/support/support.h"

using testsupport::readFile;
using testsupport::runReceiver;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

// The 32-bit word at a byte offset of a settings file.
int32_t settingsWord(const std::string &file, size_t offset) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(file.at(offset + static_cast<size_t>(i)));
    return static_cast<int32_t>(v);
}

// Text padded with blanks to a whole 512-byte block.
std::string padded(const std::string &text) {
    return text + std::string((512 - text.size() % 512) % 512, ' ');
}

}  // namespace

TEST(RemoteScript, ADroppedFileIsCarriedOutOnceAndItsTimersListedAndRestored) {
    TempDir dir;
    std::string disk = dir.file("disk");
    auto r = runReceiver({"--disk", disk, "--clock", "2026-12-07 20:00", "--script",
                          std::string(DIRO_SOURCE_DIR) + "/tests/scripts/remote_commands.rod"});
    ASSERT_EQ(r.exitCode, 0) << r.err;

    // The list as the file's timers reached the table (the seventh named a channel the receiver
    // lacks, two more lines were wrong), the news on the first tuner after a collision on the
    // second.
    EXPECT_EQ(readFile(disk + "/Timer_List.txt"),
              padded("01.Timer:0001,2026-12-08,20:15,01:30,TV,OT,Rec,T2;Das Erste HD\r\n"
                     "\"Name of the Show (Record).rec\"\r\n\r\n"
                     "02.Timer:0002,2026-12-08,20:12,01:48,TV,OT,-P-,T2;tagesschau24 HD\r\n"
                     "\"Name of the Show (Wake Up Time.rec\"\r\n\r\n"
                     "03.Timer:0006,2026-12-09,06:00,00:30,Ra,WD,Rec,T2;Hitradio \xD6" "3\r\n"
                     "\"Morning.rec\"\r\n\r\n"
                     "04.Timer:0003,2026-12-09,00:10,00:30,TV,OT,Rec,T2;ONE HD\r\n"
                     "\"After midnight.rec\"\r\n\r\n"
                     "05.Timer:0036,2026-12-08,21:57,01:03,TV,OT,Rec,T1;BBC One HD\r\n"
                     "\"News.rec\"\r\n\r\n"
                     "06.Timer:0037,2026-12-08,23:00,00:30,TV,OT,Rec,T2;BBC Two HD\r\n"
                     "\"BBC Two HD.rec\"\r\n\r\n"));
    EXPECT_EQ(readFile(disk + "/Diro_ROD.TimerList.bak"),
              padded("Command.AddTimer:0001,2026-12-08,20:15,01:30,TV,OT,Rec;Name of the Show (Record)\r\n"
                     "Command.AddTimer:0002,2026-12-08,20:12,01:48,TV,OT,-P-;Name of the Show (Wake Up Time\r\n"
                     "Command.AddTimer:0006,2026-12-09,06:00,00:30,Ra,WD,Rec;Morning\r\n"
                     "Command.AddTimer:0003,2026-12-09,00:10,00:30,TV,OT,Rec;After midnight\r\n"
                     "Command.AddTimer:0036,2026-12-08,21:57,01:03,TV,OT,Rec;News\r\n"
                     "Command.AddTimer:0037,2026-12-08,23:00,00:30,TV,OT,Rec;BBC Two HD\r\n"
                     "Command.RemoteMsg:5\r\n"));

    // Remote mode 0 and 121 and a level with a blank after it changed nothing; "Off" and the
    // level 3 did. The last file stayed unread.
    std::string settingsFile = readFile(disk + "/Diro_ROD.Settings.DAT");
    ASSERT_EQ(settingsFile.size(), 512u);
    EXPECT_EQ(settingsWord(settingsFile, 112), 0) << "remote mode";
    EXPECT_EQ(settingsWord(settingsFile, 100), 3) << "recording by search words";
    EXPECT_EQ(settingsWord(settingsFile, 108), 6) << "delay between queued timers";
    EXPECT_EQ(readFile(disk + "/Diro_ROD.Command.ini"), "Command.DeleteAllTimers\r\n");
    // Every rejected line is named on the console.
    EXPECT_NE(r.err.find("remote command rejected (the date does not exist): "
                         "Command.AddTimer:0001,2026-02-31,20:15,01:30,TV,OT,Rec;No such day"),
              std::string::npos);
}

TEST(RemoteSamples, TheSampleLinesOfTheSearchFileSetTheirTimers) {
    TempDir dir;
    std::string disk = dir.file("disk");
    std::filesystem::create_directories(disk);
    // The sample lines without their ';', the first once more on channel 2 with T+. The demo
    // lineup has no service id 28106 and no channel "BBC ONE".
    writeFile(disk + "/Diro_ROD.Command.ini",
              "Command.AddTimer:0001,2005-01-31,20:15,01:30,TV,OT,Rec;Name of the Show (Record)\r\n"
              "Command.AddTimer:0002,2005-01-31,20:15,01:30,T+,OT,Rec;Name of the Show (Record)\r\n"
              "Command.AddTimer:0001,2005-02-28,20:15,01:30,TV,OT,-P-;Name of the Show (Wake Up Timer)\r\n"
              "Command.AddTimerExt:Ch_TV0001|2005-03-31,20:15,01:30,003,015,def,OT,Rec;Name of the Show\r\n"
              "Command.AddTimerExt:Sid028106|2005-04-30,20:15,01:30,def,def,006,OT,Rec;Name of the Show\r\n"
              "Command.AddTimerExt:LCN000001|2005-05-31,20:15,01:30,def,def,def,OT,Rec;Name of the Show\r\n"
              "Command.AddTimerByChName:BBC ONE|2005-05-31,20:15,01:30,def,def,def,OT,Rec;Name of the Show\r\n"
              "Command.CreateTimerList");   // no line end
    auto r = runReceiver({"--disk", disk, "--clock", "2005-01-30 12:00", "--script", "-"},
                         "wait 5s\nexpect no-file Diro_ROD.Command.ini\nexpect timers 5\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(readFile(disk + "/Timer_List.txt"),
              padded("01.Timer:0001,2005-01-31,20:15,01:30,TV,OT,Rec,T2;Das Erste HD\r\n"
                     "\"Name of the Show (Record).rec\"\r\n\r\n"
                     "02.Timer:0002,2005-01-31,20:12,01:48,TV,OT,Rec,T2;tagesschau24 HD\r\n"
                     "\"Name of the Show (Record).rec\"\r\n\r\n"
                     "03.Timer:0001,2005-02-28,20:15,01:30,TV,OT,-P-,T2;Das Erste HD\r\n"
                     "\"Name of the Show (Wake Up Time.rec\"\r\n\r\n"
                     "04.Timer:0001,2005-03-31,20:12,01:48,TV,OT,Rec,T2;Das Erste HD\r\n"
                     "\"Name of the Show.rec\"\r\n\r\n"
                     "05.Timer:0001,2005-05-31,20:12,01:48,TV,OT,Rec,T2;Das Erste HD\r\n"
                     "\"Name of the Show.rec\"\r\n\r\n"));
}

TEST(RemoteScriptParse, PutTakesTheLinesUpToEndAndShownLooksAtTextsGoneAgain) {
    rx::Script s;
    std::vector<std::string> errors;
    ASSERT_TRUE(rx::parseScript("put Diro_ROD.Command.ini\r\n"
                                "Command.RemoteMsg\r\n"
                                "# not a comment here \r\n"
                                "\r\n"
                                "  end\r\n"
                                "expect shown \"Remote Commands complete!\"\n"
                                "expect no-shown \"rejected\"\n",
                                "t.rod", s, errors))
        << errors[0];
    ASSERT_EQ(s.commands.size(), 3u);
    EXPECT_EQ(s.commands[0].op, rx::Op::Put);
    EXPECT_EQ(s.commands[0].arg, "Diro_ROD.Command.ini");
    EXPECT_EQ(s.commands[0].text, "Command.RemoteMsg\r\n# not a comment here \r\n\r\n");
    EXPECT_EQ(s.commands[1].op, rx::Op::ExpectShown);
    EXPECT_EQ(s.commands[2].op, rx::Op::ExpectNoShown);

    errors.clear();
    EXPECT_FALSE(rx::parseScript("put ../x.ini\nend\nexpect shown \"\"\nput Diro_ROD.Command.ini\nCommand.RemoteMsg\n",
                                 "t.rod", s, errors));
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_EQ(errors[0], "t.rod:1: \"../x.ini\" is not a file name of the plug-in's folder");
    EXPECT_EQ(errors[1], "t.rod:3: the text to look for is empty");
    EXPECT_EQ(errors[2], "t.rod:4: no line \"end\" closes the lines of Diro_ROD.Command.ini");
}

TEST(RemoteScriptParse, ShownChecksInARowLookAtTheSameStretch) {
    TempDir dir;
    auto r = runReceiver({"--disk", dir.file("disk"), "--clock", "2026-12-07 20:00", "--script", "-"},
                         "wait 1s\nkey GUIDE\nkey EXIT\nexpect no-screen \"Das Erste HD\"\n"
                         "expect shown \"Das Erste HD\"\nexpect shown \"Das Erste HD\"\nwait 1s\nexpect no-shown \"Das Erste HD\"\n");
    EXPECT_EQ(r.exitCode, 0) << r.err;
}

TEST(RemoteScript, ARefusedTimerShowsItsErrorForTheMessageSeconds) {
    TempDir dir;
    std::string disk = dir.file("disk");
    // Both tuners taken at 20:30 on other transponders: the third timer cannot be set. Messages
    // on without a value: its box stands 5 seconds, then the completion message.
    auto r = runReceiver({"--disk", disk, "--clock", "2026-12-07 20:00", "--script", "-"},
                         "add-timer tv:0 \"2026-12-08 20:00\" 90\n"
                         "add-timer tv:8 \"2026-12-08 20:00\" 90\n"
                         "put Diro_ROD.Command.ini\n"
                         "Command.RemoteMsg\n"
                         "Command.AddTimer:0014,2026-12-08,20:30,00:30,TV,OT,Rec;Third tuner\n"
                         "end\n"
                         "restart\n"
                         "wait 1s\n"
                         "expect screen \"Timer Setting Error!\"\n"
                         "expect screen \"Third tuner\"\n"
                         "expect no-shown \"Remote Commands complete!\"\n"
                         "wait 5s\n"
                         "expect no-screen \"Timer Setting Error!\"\n"
                         "expect shown \"Remote Commands complete!\"\n"
                         "expect timers 2\n");
    EXPECT_EQ(r.exitCode, 0) << r.err;
}

TEST(RemoteBackup, RestoredDaysLaterItSetsItsRepeatingTimersOnTheirComingDays) {
    TempDir dir;
    std::string disk = dir.file("disk");
    // A daily and a weekday timer backed up on Monday; by Thursday the receiver has moved both
    // on. Deleted and restored from the backup, they come back on their coming days.
    auto r = runReceiver({"--disk", disk, "--clock", "2026-12-07 20:00", "--script", "-"},
                         "add-timer tv:1 \"2026-12-07 21:15\" 30 rec mode ED \"Daily news\"\n"
                         "add-timer tv:2 \"2026-12-08 06:00\" 30 rec mode WD \"Morning\"\n"
                         "put Diro_ROD.Command.ini\n"
                         "Command.CreateTimerBackup\n"
                         "end\n"
                         "restart\n"
                         "wait 2s\n"
                         "clock \"2026-12-10 09:00\"\n"
                         "put Diro_ROD.Command.ini\n"
                         "Command.DeleteAllTimers\n"
                         "Command.RestoreTimerBackup\n"
                         "Command.CreateTimerList\n"
                         "end\n"
                         "restart\n"
                         "wait 30s\n"
                         "expect timers 2\n"
                         // Restored once more, the series are found where they are: none twice.
                         "put Diro_ROD.Command.ini\n"
                         "Command.RestoreTimerBackup\n"
                         "end\n"
                         "restart\n"
                         "wait 30s\n"
                         "expect timers 2\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err.find("remote command rejected"), std::string::npos) << r.err;
    std::string list = readFile(disk + "/Timer_List.txt");
    EXPECT_NE(list.find("Timer:0002,2026-12-10,21:15,00:30,TV,ED,Rec"), std::string::npos) << list;
    EXPECT_NE(list.find("Timer:0003,2026-12-11,06:00,00:30,TV,WD,Rec"), std::string::npos) << list;
}

TEST(RemoteDelete, ATimerAddedAndDeletedAgainInOneFileIsNeverSet) {
    TempDir dir;
    std::string disk = dir.file("disk");
    auto r = runReceiver({"--disk", disk, "--clock", "2026-12-07 20:00", "--script", "-"},
                         "put Diro_ROD.Command.ini\n"
                         "Command.AddTimer:0001,2026-12-08,20:15,01:30,TV,OT,Rec;Show\n"
                         "Command.AddTimer:0002,2026-12-08,20:15,01:30,TV,OT,Rec;Other\n"
                         "Command.DelTimer:0001,2026-12-08,20:15,01:30,TV,OT,Rec\n"
                         "Command.CreateTimerList\n"
                         "end\n"
                         "restart\n"
                         "wait 30s\n"
                         "expect timers 1\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err.find("remote command rejected"), std::string::npos) << r.err;
    EXPECT_EQ(readFile(disk + "/Timer_List.txt"),
              padded("01.Timer:0002,2026-12-08,20:15,01:30,TV,OT,Rec,T2;tagesschau24 HD\r\n"
                     "\"Other.rec\"\r\n\r\n"));
}
