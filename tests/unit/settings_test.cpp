// The settings record, its file and its validation, with the plug-in linked in.
//   - StartUp*: what the record holds after the receiver starts the plug-in
//   - SettingsFile*: reading (byte order, short and damaged files) and saving
//   - Validation*: ranges, channel counts, saved defaults
//   - Language*: the language choice
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "frame/epgkeys.h"
#include "frame/state.h"
#include "settings/settings.h"
#include "tests/support/support.h"

using testsupport::TempDir;

namespace {

int32_t wordAt(const std::string &file, int offset) {
    int32_t v = 0;
    std::memcpy(&v, file.data() + offset, 4);
    return v;
}

int32_t recordWord(int offset) {
    int32_t v = 0;
    std::memcpy(&v, reinterpret_cast<const char *>(&settings) + offset, 4);
    return v;
}

// Every validated word with its range; the rest of the record is reserved.
struct Range {
    int offset, min, max, def;
};
const Range kRanges[] = {
    {0, 0, 600, 15},     {4, 0, 600, 3},      {8, 0, 8, 5},       {12, 10, 200, 200}, {16, 1, 1439, 180},
    {20, 0, 1439, 420},  {24, 0, 999, 0},     {28, 0, 3, 1},      {32, 0, 8, 0},      {36, 0, 6, 0},
    {40, 0, 4, 2},       {44, 1, 616, 45},    {48, 1, 536, 30},   {52, 0, 14, 8},     {56, -2, 191, -1},
    {60, 0, 6, 1},       {64, -1, 16, 12},    {68, 0, 3, 1},      {72, 0, 5, 2},      {76, 0, 7, 3},
    {80, 0, 3, 0},       {84, 0, 3, 0},       {88, 0, 4, 0},      {92, 0, 2, 0},      {96, 0, 4, 0},
    {100, 0, 4, 0},      {104, 4, 240, 26},   {108, 0, 6, 0},     {112, 0, 120, 0},   {116, 0, 2, 1},
    {120, 1, 2, 1},      {124, 1, 14, 5},     {128, 0, 3, 0},     {132, 0, 1, 0},     {136, 0, 4, 0},
    {140, 0, 1, 1},      {144, 0, 1439, 1220}, {148, 3, 600, 20}, {152, 0, 8, 0},     {156, 0, 8, 0},
    {160, 0, 1, 0},      {164, -1, 11, 5},    {168, 0, 4, 2},     {172, 0, 4, 1},     {176, 0, 1, 0},
    {180, 0, 1, 0},      {184, 0, 2, 1},      {188, 0, 1, 1},     {196, 0, 1, 0},     {200, 30, 200, 200},
    {204, -1, 200, 200}, {208, 150, 500, 500}, {212, 1, 61, 2},   {216, 0, 1, 0},     {220, 0, 1, 0},
    {224, 0, 1, 0},      {228, 0, 99, 0},     {232, 0, 1, 0},     {236, 0, 1, 0},     {244, 0, 1, 0},
    {248, 0, 2, 0},      {252, 0, 1, 0},
};

bool isValidated(int offset) {
    for (const Range &r : kRanges) {
        if (r.offset == offset)
            return true;
    }
    return false;
}

// A receiver whose plug-in has not started: the firmware is there for direct calls.
std::unique_ptr<sim::Receiver> idleReceiver(const TempDir &dir) {
    testsupport::LinkedOptions options;
    options.powerOn = false;
    return testsupport::linkedReceiver(dir.path(), options);
}

}  // namespace

TEST(StartUp, WithoutFilesEveryValidatedWordHoldsItsDefaultAndReservedWordsTheFill) {
    TempDir dir;
    testsupport::LinkedOptions options;   // enough channels for the channel counts' defaults
    for (int i = 0; i < 220; i++)
        options.lineup.push_back({0, "Channel " + std::to_string(i + 1), 1000 + i, i + 1, 1 + i / 6, ""});
    auto rx = testsupport::linkedReceiver(dir.path(), options);
    ASSERT_TRUE(rx->pluginRunning());
    for (const Range &r : kRanges)
        EXPECT_EQ(recordWord(r.offset), r.def) << "offset " << r.offset;
    for (int offset = 0; offset < SETTINGS_BYTES; offset += 4) {
        if (!isValidated(offset)) {
            EXPECT_EQ(recordWord(offset), SETTINGS_UNSET) << "offset " << offset;
        }
    }
    // The menu's defaults follow the record's.
    EXPECT_EQ(saved_view, 1);
    EXPECT_EQ(saved_titletimebar, 5);
    EXPECT_EQ(saved_nowtimebar, 12);
    EXPECT_EQ(first_EPG_key, (dword)RKEY_Guide);
    EXPECT_EQ(second_EPG_key, (dword)RKEY_Ok);
}

TEST(StartUp, DamagedSettingsFilesAreRepairedByValidation) {
    const std::string garbage(512, '\x9C');
    std::string random;
    unsigned seed = 12345;
    for (int i = 0; i < 700; i++) {
        seed = seed * 1103515245u + 12345u;
        random += static_cast<char>(seed >> 16);
    }
    for (const std::string &content : {std::string(), std::string("short"), garbage, random}) {
        TempDir dir;
        testsupport::writeFile(dir.file(SETTINGS_FILE_NAME), content);
        auto rx = testsupport::linkedReceiver(dir.path());
        ASSERT_TRUE(rx->pluginRunning());
        for (const Range &r : kRanges) {
            int32_t v = recordWord(r.offset);
            EXPECT_TRUE(v >= r.min && v <= r.max) << "offset " << r.offset << " holds " << v;
        }
        EXPECT_NE(settings.rec_tuner, 2);
        EXPECT_LE(settings.scan_max_channels, settings.buffered_channels);
    }
}

TEST(SettingsFile, AFileOfTheOtherByteOrderIsSwappedWordByWord) {
    TempDir dir;
    auto rx = idleReceiver(dir);
    testsupport::writeFile(dir.file(SETTINGS_FILE_NAME),
                           testsupport::settingsImage({{0, 601}, {4, 7}, {84, 2}, {400, 31710}}, true));
    Clear_Settings();
    ASSERT_EQ(ReadSettingsFile(), 0);
    EXPECT_EQ(settings.rec_stop_add, 601);
    EXPECT_EQ(settings.rec_lead_time, 7);
    EXPECT_EQ(settings.language_choice, 2);
    EXPECT_EQ(settings.user_colors[0], 31710);
    EXPECT_EQ(settings.byte_order, SETTINGS_UNSET);
    EXPECT_EQ(settings.reserved_256[0], SETTINGS_UNSET);

    // A stop time of 200 read the wrong way round is negative as a signed word: still swapped.
    testsupport::writeFile(dir.file(SETTINGS_FILE_NAME), testsupport::settingsImage({{0, 200}}, true));
    Clear_Settings();
    ReadSettingsFile();
    EXPECT_EQ(settings.rec_stop_add, 200);
}

TEST(SettingsFile, TheByteOrderWordAloneTellsTheWritersOrder) {
    TempDir dir;
    auto rx = idleReceiver(dir);
    // A follow-up time of 0 reads the same either way round: the mark at 508 decides.
    testsupport::writeFile(dir.file(SETTINGS_FILE_NAME), testsupport::settingsImage({{0, 0}, {4, 7}, {84, 2}}, true));
    Clear_Settings();
    ReadSettingsFile();
    EXPECT_EQ(settings.rec_stop_add, 0);
    EXPECT_EQ(settings.rec_lead_time, 7);
    EXPECT_EQ(settings.language_choice, 2);
    EXPECT_EQ(settings.byte_order, SETTINGS_UNSET);

    // Our own order's mark: taken as it stands, whatever word 0 holds.
    testsupport::writeFile(dir.file(SETTINGS_FILE_NAME), testsupport::settingsImage({{0, 600}, {4, 7}}));
    Clear_Settings();
    ReadSettingsFile();
    EXPECT_EQ(settings.rec_stop_add, 600);
    EXPECT_EQ(settings.rec_lead_time, 7);
}

TEST(SettingsFile, AShortFileFillsOnlyTheWordsItHolds) {
    TempDir dir;
    auto rx = idleReceiver(dir);
    std::string image = testsupport::settingsImage({{0, 30}, {4, 10}, {60, 0}});
    testsupport::writeFile(dir.file(SETTINGS_FILE_NAME), image.substr(0, 62));  // half of word 60
    Clear_Settings();
    ReadSettingsFile();
    EXPECT_EQ(settings.rec_stop_add, 30);
    EXPECT_EQ(settings.rec_lead_time, 10);
    EXPECT_EQ(settings.timebar_now, SETTINGS_UNSET);
    Check_Settings();
    EXPECT_EQ(settings.timebar_now, 12);
    EXPECT_EQ(settings.rec_stop_add, 30);
}

TEST(SettingsFile, ReadingTakesTheSavedDefaultsAndTheInfoMode) {
    TempDir dir;
    auto rx = idleReceiver(dir);
    testsupport::writeFile(dir.file(SETTINGS_FILE_NAME),
                           testsupport::settingsImage({{60, 0}, {8, 3}, {64, -1}, {176, 0}, {168, 1}}));
    Clear_Settings();
    longinfo_mode = 2;
    ReadSettingsFile();
    EXPECT_EQ(saved_view, 0);
    EXPECT_EQ(saved_titletimebar, 3);
    EXPECT_EQ(saved_nowtimebar, -1);
    EXPECT_EQ(longinfo_mode, 0);

    // An info method above 2 opens the info bar whatever was saved.
    testsupport::writeFile(dir.file(SETTINGS_FILE_NAME), testsupport::settingsImage({{176, 0}, {168, 3}}));
    ReadSettingsFile();
    EXPECT_EQ(longinfo_mode, 1);
}

TEST(SettingsFile, SavingStoresTheMenuDefaultsAndKeepsTheViewInUse) {
    TempDir dir;
    auto rx = testsupport::linkedReceiver(dir.path());
    settings.view = 3;            // changed by the view keys
    settings.timebar_title = 7;
    settings.timebar_now = 2;
    saved_view = 0;               // the menu's defaults
    saved_titletimebar = 1;
    saved_nowtimebar = 4;
    longinfo_mode = 1;
    ASSERT_EQ(SaveSettingsFile(), 0);

    std::string file = testsupport::readFile(dir.file(SETTINGS_FILE_NAME));
    ASSERT_EQ(file.size(), 512u);
    EXPECT_EQ(wordAt(file, 60), 0);
    EXPECT_EQ(wordAt(file, 8), 1);
    EXPECT_EQ(wordAt(file, 64), 4);
    EXPECT_EQ(wordAt(file, 176), 1);
    EXPECT_EQ(wordAt(file, 508), SETTINGS_UNSET);
    EXPECT_EQ(settings.view, 3);
    EXPECT_EQ(settings.timebar_title, 7);
    EXPECT_EQ(settings.timebar_now, 2);
    EXPECT_TRUE(rx->firmware().disk.openFiles().empty());
}

TEST(SettingsFile, RecTunerTwoSavedReadsBackAsThree) {
    TempDir dir;
    {
        auto rx = testsupport::linkedReceiver(dir.path());
        settings.rec_tuner = 2;   // as a foreign program or an old version might leave it
        ASSERT_EQ(SaveSettingsFile(), 0);
        EXPECT_EQ(wordAt(testsupport::readFile(dir.file(SETTINGS_FILE_NAME)), 28), 2);
    }
    auto rx = idleReceiver(dir);
    Clear_Settings();
    ReadSettingsFile();
    Check_Settings();
    EXPECT_EQ(settings.rec_tuner, 3);
}

TEST(SettingsFile, AFullDiskIsReportedNotPassedOffAsSaved) {
    TempDir dir;
    auto rx = testsupport::linkedReceiver(dir.path());
    ASSERT_EQ(SaveSettingsFile(), 0);
    const std::string saved = testsupport::readFile(dir.file(SETTINGS_FILE_NAME));
    settings.remote_mode = settings.remote_mode == 7 ? 8 : 7;   // a change the failed save loses
    rx->screen().clearLog();
    rx->firmware().disk.faults.failWritesAfterBytes = 100;   // the disk fills up during the write
    EXPECT_EQ(SaveSettingsFile(), 1);
    bool shown = false;
    for (const sim::ScreenText &t : rx->screen().textLog())
        shown = shown || t.text == "     Can't SAVE SETTINGS FILE";
    EXPECT_TRUE(shown);
    // The file saved before stays whole: the next start reads it, not a piece.
    EXPECT_EQ(testsupport::readFile(dir.file(SETTINGS_FILE_NAME)), saved);

    rx->firmware().disk.faults.failWritesAfterBytes = -1;
    rx->firmware().disk.faults.full = true;                  // cannot even create the file
    rx->screen().clearLog();
    EXPECT_EQ(SaveSettingsFile(), 1);
    EXPECT_FALSE(rx->screen().textLog().empty());
    EXPECT_TRUE(rx->firmware().disk.openFiles().empty());
    EXPECT_EQ(testsupport::readFile(dir.file(SETTINGS_FILE_NAME)), saved);
}

TEST(Validation, OutOfRangeValuesGetTheirDefaultsTestedUnsigned) {
    TempDir dir;
    auto rx = idleReceiver(dir);
    _maxSvcNum = 200;
    Clear_Settings();
    settings.now_first_channel = -3;   // just below its range
    settings.timebar_now = -1;         // at the bottom of its range
    settings.color_scheme = 12;
    settings.scan_interval = 61;
    settings.prime_time = 1440;
    settings.scan_state = 2;           // no refresh runs
    Check_Settings();
    EXPECT_EQ(settings.now_first_channel, -1);
    EXPECT_EQ(settings.timebar_now, -1);
    EXPECT_EQ(settings.color_scheme, 5);
    EXPECT_EQ(settings.scan_interval, 61);
    EXPECT_EQ(settings.prime_time, 1220);
    EXPECT_EQ(settings.scan_state, 0);

    autorefresh = 5;                    // a refresh keeps its scan state
    settings.scan_state = 2;
    Check_Settings();
    EXPECT_EQ(settings.scan_state, 2);
}

TEST(Validation, ChannelCountsFollowTheReceiversTvChannels) {
    TempDir dir;
    auto rx = idleReceiver(dir);   // the demo lineup: 40 TV and 10 radio channels
    Clear_Settings();
    _svcType = SVC_TYPE_Tv;
    CountChannels();
    settings.buffered_channels = 150;
    settings.scan_max_channels = 120;
    Check_Settings();
    EXPECT_EQ(settings.buffered_channels, 40);
    EXPECT_EQ(settings.scan_max_channels, 40);

    // On a radio channel, or with the display limited to the scanned channels, the buffered
    // channels stay the TV channels: lowering them would drop the events of the others.
    _svcType = SVC_TYPE_Radio;
    CountChannels();
    ASSERT_EQ(_maxSvcNum, 10);
    Check_Settings();
    EXPECT_EQ(settings.buffered_channels, 40);
    _svcType = SVC_TYPE_Tv;
    CountChannels();
    settings.show_scanned_only = 1;
    settings.scan_max_channels = 30;
    ApplyChannelLimit();
    ASSERT_EQ(_maxSvcNum, 30);
    settings.scan_max_channels = 10;
    Check_Settings();
    EXPECT_EQ(settings.buffered_channels, 40);
}

// Found by fuzzing the settings file: validation held the buffered count to _maxSvcNum, which
// counts radio channels while one is shown and is cut to the scanned channels by their limit, so
// the count fell on its own and the next save dropped the events of the channels above it.
TEST(Validation, TheBufferedCountFollowsTheTvChannelsWhateverIsShownAndHoweverTheListIsLimited) {
    TempDir dir;
    testsupport::writeFile(dir.file(SETTINGS_FILE_NAME),
                           testsupport::settingsImage({{200, 40}, {12, 20}, {96, 1}}));   // list: scanned only
    testsupport::LinkedOptions options;
    options.channel = {sim::kRadio, 0};   // the demo lineup: 40 TV, 10 radio channels
    auto rx = testsupport::linkedReceiver(dir.path(), options);
    ASSERT_TRUE(rx->pluginRunning());
    EXPECT_EQ(_maxSvcNum, 10);
    EXPECT_EQ(settings.buffered_channels, 40);
    EXPECT_EQ(settings.scan_max_channels, 20);
    rx->pressKey(RKEY_Guide);
    rx->pressKey(RKEY_Red);   // keeps the view and saves
    EXPECT_EQ(wordAt(testsupport::readFile(dir.file(SETTINGS_FILE_NAME)), 200), 40);

    // On TV the list is limited to the 20 scanned channels; the validation of every other second
    // leaves the count.
    _svcType = SVC_TYPE_Tv;
    CountChannels();
    ApplyChannelLimit();
    EXPECT_EQ(_maxSvcNum, 20);
    Check_Settings();
    EXPECT_EQ(settings.buffered_channels, 40);
    EXPECT_EQ(settings.scan_max_channels, 20);
}

TEST(Validation, UnsetSavedDefaultsGetTheRecordsDefaults) {
    TempDir dir;
    auto rx = idleReceiver(dir);
    Clear_Settings();
    saved_view = SETTINGS_UNSET;
    saved_titletimebar = -3;
    saved_nowtimebar = 17;
    Check_Settings();
    EXPECT_EQ(saved_view, 1);
    EXPECT_EQ(saved_titletimebar, 5);
    EXPECT_EQ(saved_nowtimebar, 12);
}

TEST(Validation, AnOpenStateAboveOneClosesTheScreens) {
    TempDir dir;
    auto rx = testsupport::linkedReceiver(dir.path());
    _epgShow = 5;
    Check_Settings();
    EXPECT_EQ(_epgShow, 0);
    EXPECT_TRUE(rx->screen().osdEmpty());
}

TEST(Language, ChoiceAndTheReceiversOsdLanguage) {
    TempDir dir;
    testsupport::LinkedOptions options;
    options.powerOn = false;
    options.osdLanguage = LAN_German;
    auto rx = testsupport::linkedReceiver(dir.path(), options);
    struct Case {
        int choice, language;
    } cases[] = {{0, LAN_German}, {1, 1}, {2, LAN_German}, {3, LAN_Finnish}};
    for (const Case &c : cases) {
        settings.language_choice = c.choice;
        Select_Language();
        EXPECT_EQ(language, c.language) << "choice " << c.choice;
    }
    language = LAN_Finnish;
    EXPECT_STREQ(LangText("en", "de", "fi"), "fi");
    EXPECT_STREQ(LangText("en", "de", ""), "en");
    language = LAN_German;
    EXPECT_STREQ(LangText("en", "de", "fi"), "de");
    language = 1;
    EXPECT_STREQ(LangText("en", "de", "fi"), "en");
}
