// Start-up of the plug-in as the receiver runs it, with the plug-in linked in.
//   - FreeDiskWarning*: the message, its languages and box, when it shows and when not
//   - StartUpScan*: the automatic scan at power-on inside the scan window
//   - StartUp*: the other start-up duties
#include <gtest/gtest.h>

#include <string>

#include "frame/state.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "tests/support/support.h"

using testsupport::TempDir;

namespace {

struct Start {
    std::string clock = "2026-12-07 20:00";
    uint32_t freeMb = 500000;
    int svcType = 0, svcNum = 0;
    std::string settingsFile;   // empty: none
};

std::unique_ptr<sim::Receiver> start(const TempDir &dir, const Start &s) {
    if (!s.settingsFile.empty())
        testsupport::writeFile(dir.file(SETTINGS_FILE_NAME), s.settingsFile);
    testsupport::LinkedOptions options;
    options.clock = s.clock;
    options.freeMb = s.freeMb;
    options.channel = {s.svcType, s.svcNum};
    return testsupport::linkedReceiver(dir.path(), options);
}

const sim::ScreenText *findText(sim::Screen &screen, const std::string &text) {
    for (const sim::ScreenText &t : screen.texts())
        if (t.text == text)
            return &t;
    return nullptr;
}

}  // namespace

TEST(FreeDiskWarning, ShowsInTheChosenLanguageInTheMessageBox) {
    struct Case {
        int choice;
        const char *text;
    } cases[] = {
        {1, "There is 100 MB free on the hard disk!"},
        {2, "Auf der Festplatte sind  100 MB  frei!"},
        {3, "Tallennustilaa vapaana  100 Mt !"},
    };
    for (const Case &c : cases) {
        TempDir dir;
        Start s;
        s.freeMb = 100;
        s.settingsFile = testsupport::settingsImage({{24, 1}, {84, c.choice}});
        auto rx = start(dir, s);
        const sim::ScreenText *t = findText(rx->screen(), c.text);
        ASSERT_NE(t, nullptr) << c.text;
        EXPECT_EQ(t->y, 259);
        EXPECT_EQ(t->size, 2);
        EXPECT_EQ(t->fg, font_title);
        EXPECT_EQ(t->bg, titlebox_color);
        EXPECT_GT(t->left, 138);                                 // centred between 138 and 582
        EXPECT_NEAR(t->left + t->width / 2, (138 + 582) / 2, 2);
        EXPECT_EQ(rx->screen().osdPixel(131, 252), 0xFFC80000u);  // the red box around it
        EXPECT_EQ(rx->screen().osdPixel(589, 293), 0xFFC80000u);
        EXPECT_EQ(rx->screen().osdPixel(129, 252), 0u);
        EXPECT_EQ(freesize_msg, 1);
        EXPECT_EQ(MsgCountdown, 20);
        EXPECT_STREQ(_strBuf2, c.text);
    }
}

TEST(FreeDiskWarning, TheReceiversLanguageDecidesOnAutomatic) {
    TempDir dir;
    testsupport::writeFile(dir.file(SETTINGS_FILE_NAME), testsupport::settingsImage({{24, 5}}));
    testsupport::LinkedOptions options;
    options.freeMb = 4000;
    options.osdLanguage = LAN_Finnish;
    auto rx = testsupport::linkedReceiver(dir.path(), options);
    EXPECT_TRUE(rx->screen().shows("Tallennustilaa vapaana  4000 Mt !"));
}

TEST(FreeDiskWarning, NeverWithTheWarningOffOrEnoughRoom) {
    {
        TempDir dir;
        Start s;
        s.freeMb = 0;   // a full disk, but the warning is off (the default)
        auto rx = start(dir, s);
        EXPECT_TRUE(rx->screen().osdEmpty());
        EXPECT_EQ(freesize_msg, 0);
        EXPECT_EQ(MsgCountdown, 0);
    }
    {
        TempDir dir;
        Start s;
        s.freeMb = 1024;   // exactly 1 GB free with a 1 GB limit: not below it
        s.settingsFile = testsupport::settingsImage({{24, 1}});
        auto rx = start(dir, s);
        EXPECT_TRUE(rx->screen().osdEmpty());
    }
}

TEST(FreeDiskWarning, NotOnARadioChannelInTvOnlyMode) {
    TempDir dir;
    Start s;
    s.freeMb = 10;
    s.svcType = 1;
    s.settingsFile = testsupport::settingsImage({{24, 1}, {196, 1}});
    auto rx = start(dir, s);
    EXPECT_TRUE(rx->screen().osdEmpty());
}

TEST(StartUpScan, StartsInsideTheWindowOnAScannedTvChannel) {
    TempDir dir;
    Start s;
    s.clock = "2026-12-07 02:59";  // one minute before the default window start 03:00
    s.freeMb = 10;
    s.svcNum = 3;
    s.settingsFile = testsupport::settingsImage({{24, 1}, {148, 30}});
    auto rx = start(dir, s);
    EXPECT_EQ(scan_mode, 1);
    EXPECT_EQ(_epgShow, 1);
    EXPECT_EQ(autorefresh, 31);
    EXPECT_EQ(last_epgscan, time_mjd * 1440 + 179);
    EXPECT_FALSE(rx->screen().shows("MB free"));   // the scan comes instead of the warning
}

TEST(StartUpScan, NotOnRadioNorBeyondTheScannedChannelsNorOutsideTheWindow) {
    struct Case {
        const char *what;
        const char *clock;
        int svcType, svcNum;
    } cases[] = {
        {"radio", "2026-12-07 04:00", 1, 0},
        {"beyond the scanned channels", "2026-12-07 04:00", 0, 12},
        {"two minutes early", "2026-12-07 02:58", 0, 0},
        {"after the window", "2026-12-07 07:01", 0, 0},
    };
    for (const Case &c : cases) {
        TempDir dir;
        Start s;
        s.clock = c.clock;
        s.freeMb = 10;
        s.svcType = c.svcType;
        s.svcNum = c.svcNum;
        s.settingsFile = testsupport::settingsImage({{24, 1}, {12, 10}});   // scan 10 channels
        auto rx = start(dir, s);
        EXPECT_EQ(scan_mode, 0) << c.what;
        EXPECT_EQ(_epgShow, 0) << c.what;
        EXPECT_EQ(time_sec, 0) << c.what;
        EXPECT_TRUE(rx->screen().shows("There is 10 MB free")) << c.what;
    }
}

TEST(StartUp, PreparesChannelCountsAndTheStartUpSearch) {
    TempDir dir;
    Start s;
    // Interest message on, 30 buffered channels, only those shown.
    s.settingsFile = testsupport::settingsImage({{88, 2}, {200, 30}, {12, 100}, {96, 3}, {228, 42}});
    auto rx = start(dir, s);
    EXPECT_EQ(search_start, 30);
    EXPECT_EQ(settings.word_228, 0);
    EXPECT_EQ(settings.scan_max_channels, 30);
    EXPECT_EQ(_maxSvcNum, 30);
    EXPECT_EQ(rgn, 0);
}

TEST(StartUp, TheRealImageStartsLikeTheLinkedPlugin) {
    TempDir dir;
    testsupport::writeFile(dir.file(SETTINGS_FILE_NAME), testsupport::settingsImage({{24, 1}, {84, 2}}));
    testsupport::LinkedOptions options;
    options.freeMb = 100;
    auto rx = testsupport::imageReceiver(dir.path(), options);
    ASSERT_TRUE(rx->pluginRunning()) << rx->error();
    EXPECT_TRUE(rx->screen().shows("Auf der Festplatte sind  100 MB  frei!"));
}
