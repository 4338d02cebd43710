// Writes the files the plug-in keeps on the receiver's disk from one fixed state into a folder
// (settings, buffer file, exports, channel lists, timer list and backup):
// run on the PC and on the receiver's processor, the two folders must hold the same bytes.
// Usage: golden_files OUTDIR
#include <cstdio>
#include <filesystem>
#include <string>

#include "epgdb/buffer.h"
#include "epgdb/bufferfile.h"
#include "epgdb/fill.h"
#include "export/channels.h"
#include "export/export.h"
#include "receiver/demo_guide.h"
#include "remote/commands.h"
#include "search/entries.h"
#include "settings/settings.h"
#include "tests/support/support.h"
#include "timers/backup.h"
#include "timers/set.h"
#include "timers/table.h"

namespace {

constexpr int kFilledChannels = 6;

// Fills the first channels from the demo guide and saves the buffer file, then keeps it under
// another name so that the next save does not replace it.
bool saveBuffer(sim::Receiver &rx, const std::string &dir, int coded, const char *keepAs) {
    for (int slot = 0; slot < BUFFER_SLOTS_TV; ++slot)
        DelBuf(slot);
    settings.compress_text = coded;
    for (int ch = 0; ch < kFilledChannels; ++ch)
        FillBuffer(0, ch);
    if (SaveBufferFile() != 0)
        return false;
    std::error_code ec;
    std::filesystem::rename(dir + "/Diro_ROD.BufferExt.DAT", dir + "/" + keepAs, ec);
    return !ec;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: golden_files OUTDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    // German texts, user colours, a few settings away from their defaults.
    testsupport::writeFile(dir + "/" SETTINGS_FILE_NAME,
                           testsupport::settingsImage({{0, 10}, {4, 2}, {28, 2}, {84, 2}, {164, -1}, {144, 1230},
                                                       {400, 12345}, {452, -1}}));
    testsupport::LinkedOptions options;
    options.clock = "2026-12-07 21:15";
    auto rx = testsupport::linkedReceiver(dir, options);
    if (!rx->pluginRunning()) {
        std::fprintf(stderr, "golden_files: the plug-in did not start: %s\n", rx->error().c_str());
        return 1;
    }
    settings.view = 0;
    saved_view = 0;
    if (SaveSettingsFile() != 0) {
        std::fprintf(stderr, "golden_files: saving the settings failed\n");
        return 1;
    }

    // The search list as the file holds it, with the German weekday names.
    const char *const searchLines[] = {"Krimi|1-40|Rec,3,10|20:00-21:00|So", "M\xFCller+Tatort|5|M",
                                       "~Wetter|3-7|1xRec,0,0|22:00-02:00|WD", "_news_|P"};
    max_Search = 0;
    for (const char *line : searchLines)
        if (ExtractLine(line, max_Search) == 0)
            ++max_Search;
    if (max_Search != 4 || SaveSearch() != 0) {
        std::fprintf(stderr, "golden_files: saving the search file failed\n");
        return 1;
    }

    // The EPG data base from the demo guide, with plain and with coded texts.
    rx::installDemoGuide(rx->firmware().epg, rx->firmware().channels.list(0), rx->firmware().clock.nowMs());
    if (!saveBuffer(*rx, dir, 0, "plain.BufferExt.DAT") || !saveBuffer(*rx, dir, 1, "coded.BufferExt.DAT")) {
        std::fprintf(stderr, "golden_files: saving the buffer file failed\n");
        return 1;
    }
    // The exports of that data base (coded texts) and the channel lists.
    ExportHTML(0);
    ExportCSV(0);
    Create_ChannelList();

    // Timers from command lines, set from the queue, then the timer list and its backup.
    const char *const commandLines[] = {
        "Command.AddTimer:0001,2026-12-08,20:15,01:30,T+,OT,Rec;Tatort",
        "Command.AddTimerExt:Sid028403|2026-12-09,06:00,01:00,000,000,001,WD,-P-;Morgen",
        "Command.AddTimerByChName:zdf hd|2026-12-10,24:05,00:30,def,def,def,WL,Rec"};
    for (const char *line : commandLines)
        CheckCommands(line);
    while (ToSetTimer_max > 0) {
        CopyTimerToSet(QUEUE_TAKE_FIRST, TIMER_SLOT_SWAP);
        Set_Timer(TIMER_SLOT_SWAP);
    }
    Create_TimerList(TIMER_FILE_LIST);
    Create_TimerList(TIMER_FILE_BACKUP);
    std::printf("%s\n", dir.c_str());
    return 0;
}
