// The extra clock over the TV picture and the key window it counts down.
//   - ExtraClock*: when the clock shows, its text, the clock key, radio in TV-only mode, its bar
//   - KeyWindow*: the EPG button after other keys
#include <gtest/gtest.h>

#include <string>

#include "epgdb/fill.h"
#include "frame/state.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "tests/support/support.h"

using testsupport::TempDir;

namespace {

std::unique_ptr<sim::Receiver> start(const TempDir &dir, std::initializer_list<std::pair<int, int32_t>> words,
                                     sim::ChannelRef channel = {}) {
    testsupport::writeFile(dir.file(SETTINGS_FILE_NAME), testsupport::settingsImage(words));
    testsupport::LinkedOptions options;
    options.clock = "2026-12-07 20:00:00";
    options.channel = channel;
    return testsupport::linkedReceiver(dir.path(), options);
}

const sim::ScreenText *clockText(sim::Screen &screen) {
    for (const sim::ScreenText &t : screen.texts())
        if (t.text.size() >= 6 && t.text[0] == ' ' && t.text[3] == ':' && t.y == settings.clock_y)
            return &t;
    return nullptr;
}

}  // namespace

TEST(ExtraClock, AlwaysOnClockShowsTheTimeWithSecondsAndGoesWithTheClockKey) {
    TempDir dir;
    auto rx = start(dir, {{36, 2}, {40, 0}, {44, 100}, {48, 50}});   // mode 2, no bar, at (100, 50)
    rx->advance(1000);
    const sim::ScreenText *t = clockText(rx->screen());
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->x, 104);
    EXPECT_EQ(t->text, " 20:00:01");
    rx->advance(1000);
    ASSERT_NE(clockText(rx->screen()), nullptr);
    EXPECT_EQ(clockText(rx->screen())->text, " 20:00:02");

    EXPECT_EQ(rx->pressKey(RKEY_Sleep), 0u);   // consumed: the clock goes off
    EXPECT_EQ(settings.clock_button, 1);
    EXPECT_EQ(clockText(rx->screen()), nullptr);
    rx->advance(10000);
    EXPECT_EQ(clockText(rx->screen()), nullptr);

    EXPECT_EQ(rx->pressKey(RKEY_Sleep), 0u);   // and on again
    EXPECT_EQ(settings.clock_button, 2);
    rx->advance(1000);
    EXPECT_NE(clockText(rx->screen()), nullptr);

    // Another key goes to the firmware and hides the clock for the key window.
    EXPECT_EQ(rx->pressKey(RKEY_Down), (uint32_t)RKEY_Down);
    EXPECT_EQ(clockText(rx->screen()), nullptr);
    rx->advance(3000);
    EXPECT_EQ(clockText(rx->screen()), nullptr);
    rx->advance(2500);
    EXPECT_NE(clockText(rx->screen()), nullptr);
}

TEST(ExtraClock, FixedModesKeepTheClockKeyForTheFirmware) {
    TempDir dir;
    auto rx = start(dir, {{36, 6}, {40, 0}});   // fixed, without seconds
    rx->advance(1500);
    const sim::ScreenText *t = clockText(rx->screen());
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->text, " 20:00");
    EXPECT_EQ(t->x, settings.clock_x);
    EXPECT_EQ(rx->pressKey(RKEY_Sleep), (uint32_t)RKEY_Sleep);
    EXPECT_EQ(settings.clock_button, 6);
}

TEST(ExtraClock, NoClockOnRadioInTvOnlyMode) {
    TempDir dir;
    auto rx = start(dir, {{36, 2}, {196, 1}}, {1, 0});
    rx->advance(3000);
    EXPECT_EQ(clockText(rx->screen()), nullptr);
    EXPECT_TRUE(rx->screen().osdEmpty());
}

TEST(ExtraClock, TheBarFollowsTheRunningProgrammeEveryTenSeconds) {
    TempDir dir;
    auto rx = start(dir, {{36, 4}, {40, 1}, {44, 100}, {48, 50}});   // mode 4 (no seconds), bar 1
    int64_t t0 = rx->firmware().clock.nowMs();
    rx->firmware().epg.setSchedule(0, 0, {{t0, t0 + 15 * 60000, 1, "News", "", ""}});
    FillBuffer(0, 0);
    rx->advance(1000);
    const sim::ScreenText *t = clockText(rx->screen());
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->x, 117);
    EXPECT_EQ(t->text, " 20:00");
    // Below the clock line: the bar of the programme running since 20:00, one column grown.
    rx->advance(10000);
    EXPECT_EQ(rx->screen().osdPixel(100, 80), 0xFF36C800u);
    EXPECT_EQ(rx->screen().osdPixel(150, 80), timeline_background);
}

TEST(KeyWindow, TheEpgButtonOpensTheGuideOnceTheWindowAfterAnotherKeyHasPassed) {
    TempDir dir;
    auto rx = start(dir, {});
    EXPECT_EQ(rx->pressKey(RKEY_Up), (uint32_t)RKEY_Up);   // to the firmware: channel up
    EXPECT_EQ(countdown, 4);
    rx->advance(1000);
    EXPECT_EQ(rx->pressKey(RKEY_Guide), (uint32_t)RKEY_Guide);   // within the window: the firmware's
    EXPECT_EQ(_epgShow, 0);
    rx->advance(5000);
    EXPECT_EQ(countdown, 0);
    EXPECT_EQ(rx->pressKey(RKEY_Guide), 0u);   // after it: the guide opens
    EXPECT_EQ(_epgShow, 1);
}
