// Colour schemes and the EPG-button table.
//   - ColorScheme*: built-in schemes, the user scheme and its repairs, grid lines off
//   - EpgButton*: labels by language and remote, the repair of an unusable first button
#include <gtest/gtest.h>

#include <string>

#include "frame/epgkeys.h"
#include "frame/state.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "tests/support/support.h"

namespace {

void setUserWords(std::initializer_list<int32_t> words) {
    int i = 0;
    for (int32_t w : words)
        settings.user_colors[i++] = w;
}

}  // namespace

TEST(ColorScheme, BuiltInSchemesSetEveryColour) {
    Clear_Settings();
    settings.gridlines = 1;
    settings.color_scheme = 5;   // the default
    Set_Colors();
    EXPECT_EQ(font_title, 0xFFE1E1E1u);
    EXPECT_EQ(titlebox_color, 0xFF1F1F1Fu);
    EXPECT_EQ(box2_color, 0xFF444444u);
    EXPECT_EQ(fineline_color, 0xFF282828u);
    EXPECT_EQ(box_shadow, 0xFF1F2828u);

    // 8 and 9 share their values except two.
    settings.color_scheme = 8;
    Set_Colors();
    EXPECT_EQ(box1_color, 0xFFBBC5E2u);
    EXPECT_EQ(font_selected_color, 0xFFFBFBFBu);
    dword title8 = font_title, shadow8 = box_shadow;
    settings.color_scheme = 9;
    Set_Colors();
    EXPECT_EQ(box1_color, 0xFFFADC46u);
    EXPECT_EQ(font_selected_color, 0xFFFADC64u);
    EXPECT_EQ(font_title, title8);
    EXPECT_EQ(box_shadow, shadow8);

    // Scheme 0 again after 11: nothing of 11 is left over.
    settings.color_scheme = 11;
    Set_Colors();
    settings.color_scheme = 0;
    Set_Colors();
    EXPECT_EQ(font_title, 0xFF000080u);
    EXPECT_EQ(statusbox_color, 0xFF283287u);
    EXPECT_EQ(font_extradark, 0xFF0C1C4Cu);

    // A number outside the schemes leaves the colours alone.
    settings.color_scheme = 40;
    Set_Colors();
    EXPECT_EQ(font_title, 0xFF000080u);
}

TEST(ColorScheme, UserSchemeConvertsFifteenBitColours) {
    Clear_Settings();
    settings.gridlines = 1;
    settings.color_scheme = COLOR_SCHEME_USER;
    Set_Colors();   // every word unset: the defaults
    EXPECT_EQ(font_title, 0xFFF0F0F0u);
    EXPECT_EQ(box_shadow, 0xFF081848u);
    EXPECT_EQ(timeline_background, 0xFF00005Au);
    EXPECT_EQ(settings.user_colors[2], 31710);

    // Red in bits 0-4, green 5-9, blue 10-14, each times 8; -1 is transparent.
    setUserWords({31, 32 * 31, -1, 1024 * 31, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18});
    Set_Colors();
    EXPECT_EQ(box_shadow, 0xFFF80000u);
    EXPECT_EQ(font_extradark, 0xFF00F800u);
    EXPECT_EQ(font_title, 0u);
    EXPECT_EQ(box1_color, 0xFF0000F8u);
    EXPECT_EQ(font_boxselected, UserColorToArgb(18));
}

TEST(ColorScheme, ResetRequestRepairsOnlyWhatIsUnusable) {
    testsupport::TempDir dir;   // validation asks the receiver for its channels
    testsupport::LinkedOptions options;
    options.powerOn = false;
    auto rx = testsupport::linkedReceiver(dir.path(), options);
    Clear_Settings();
    settings.gridlines = 1;
    // A sound user scheme survives the reset request, which only turns into the user scheme.
    setUserWords({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14});
    settings.color_scheme = COLOR_SCHEME_USER_RESET;
    Set_Colors();
    EXPECT_EQ(settings.color_scheme, COLOR_SCHEME_USER);
    EXPECT_EQ(settings.user_colors[0], 1);
    EXPECT_EQ(settings.user_colors[13], 14);

    // A word out of range gets its own default only.
    settings.user_colors[6] = 40000;
    Set_Colors();
    EXPECT_EQ(settings.user_colors[6], 21929);
    EXPECT_EQ(settings.user_colors[5], 6);

    // Text on a box of its own colour would be invisible: every word goes back to its default.
    settings.user_colors[3] = settings.user_colors[5];
    Set_Colors();
    EXPECT_EQ(settings.user_colors[3], 9087);
    EXPECT_EQ(settings.user_colors[5], 16581);
    EXPECT_EQ(settings.user_colors[0], 9313);

    // Validation runs the reset request before it checks the scheme's range.
    settings.color_scheme = COLOR_SCHEME_USER_RESET;
    Check_Settings();
    EXPECT_EQ(settings.color_scheme, COLOR_SCHEME_USER);
}

TEST(ColorScheme, GridLinesOffHideTheLinesInEveryScheme) {
    Clear_Settings();
    settings.gridlines = 0;
    for (int scheme = -1; scheme < COLOR_SCHEME_COUNT; scheme++) {
        settings.color_scheme = scheme;
        Set_Colors();
        EXPECT_EQ(fineline_color, box2_color) << "scheme " << scheme;
    }
}

TEST(EpgButton, LabelsFollowLanguageAndRemote) {
    Clear_Settings();
    settings.rc2_support = 0;
    char label[EPG_BUTTON_LABEL_SIZE];
    dword key = 1;

    language = LAN_Finnish;
    Set_Button(&key, label, 1);
    EXPECT_EQ(key, (dword)RKEY_Mute);
    EXPECT_STREQ(label, " Mykistys");
    Set_Button(&key, label, 7);
    EXPECT_STREQ(label, "  \xC4\xE4ni");
    language = LAN_German;   // German uses the English labels
    Set_Button(&key, label, 1);
    EXPECT_STREQ(label, "  Mute");

    Set_Button(&key, label, 0);
    EXPECT_EQ(key, 0u);
    EXPECT_STREQ(label, "     -");
    Set_Button(&key, label, 15);   // outside the table: none
    EXPECT_EQ(key, 0u);
    Set_Button(&key, label, -1);
    EXPECT_EQ(key, 0u);
    Set_Button(&key, label, 14);
    EXPECT_EQ(key, (dword)RKEY_Guide);
    EXPECT_STREQ(label, "  Guide*");

    settings.rc2_support = 1;
    Set_Button(&key, label, 2);
    EXPECT_EQ(key, (dword)RKEY_Radio);
    EXPECT_STREQ(label, " (Radio)");
    Set_Button(&key, label, 7);
    EXPECT_EQ(key, (dword)RKEY_Guide);
    EXPECT_STREQ(label, " (Guide)");
    Set_Button(&key, label, 13);
    EXPECT_EQ(key, (dword)RKEY_Sat);
    EXPECT_STREQ(label, "PipSwitch");
}

TEST(EpgButton, AnUnusableFirstButtonResetsBothToGuideAndOk) {
    Clear_Settings();
    first_EPG_key = RKEY_Sleep;
    second_EPG_key = RKEY_Blue;
    settings.first_epg_button = 3;
    settings.second_epg_button = 12;
    Check_PrimButton();
    EXPECT_EQ(first_EPG_key, (dword)RKEY_Guide);
    EXPECT_EQ(second_EPG_key, (dword)RKEY_Ok);
    EXPECT_EQ(settings.first_epg_button, 5);
    EXPECT_EQ(settings.second_epg_button, 8);

    // Any key of the table other than "none" is usable.
    first_EPG_key = RKEY_Pause;
    second_EPG_key = RKEY_Blue;
    Check_PrimButton();
    EXPECT_EQ(first_EPG_key, (dword)RKEY_Pause);
    EXPECT_EQ(second_EPG_key, (dword)RKEY_Blue);
}

TEST(EpgButton, ValidationDerivesTheKeysFromTheSettings) {
    testsupport::TempDir dir;
    testsupport::LinkedOptions options;
    options.powerOn = false;
    auto rx = testsupport::linkedReceiver(dir.path(), options);
    Clear_Settings();
    _maxSvcNum = 40;
    settings.first_epg_button = 12;
    settings.second_epg_button = 0;
    Check_Settings();
    EXPECT_EQ(first_EPG_key, (dword)RKEY_Blue);
    EXPECT_EQ(second_EPG_key, 0u);

    settings.first_epg_button = 0;    // "none" cannot open the guide: Guide
    settings.second_epg_button = 15;  // beyond the table: OK
    Check_Settings();
    EXPECT_EQ(first_EPG_key, (dword)RKEY_Guide);
    EXPECT_EQ(second_EPG_key, (dword)RKEY_Ok);
}
