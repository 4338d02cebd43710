// The on-screen keyboard, driven key by key with the firmware's screen checked after each step.
//   - KeyboardDraws*: opening, the title by language, the selected key
//   - KeyboardSelection*: wrapping within rows, the function row, the text line's column
//   - KeyboardTyping*: the length limit and the smaller font, shifted letters, the cursor
//   - KeyboardClosing*: EXIT keeps the caller's text, Save and STOP store it, buffer limits
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "frame/state.h"
#include "search/keyboard.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "tests/support/support.h"

namespace {

const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ\xC4\xD6\xDC\xDF.-_+~'!&()1234567890";

class KeyboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::LinkedOptions options;
        options.powerOn = false;
        rx = testsupport::linkedReceiver(dir.path(), options);
        rgn = static_cast<word>(TAP_Osd_Create(0, 0, 720, 576, 0, 0));
        Clear_Settings();
        settings.gridlines = 1;
        settings.color_scheme = 7;   // every colour the keyboard uses differs from the others
        Set_Colors();
        language = LAN_English;
    }
    int open(const char *initial, int maxLen) {
        std::strcpy(text, initial);
        limit = maxLen;
        keyboard_mode = 1;
        keyboard_idx = 0;
        return Keyboard(1, 0, text, limit);
    }
    int press(dword key) { return Keyboard(0, key, text, limit); }
    int pressKeyAt(int32_t idx) {
        keyboard_idx = idx;
        return press(RKEY_Ok);
    }
    void type(const char *s) {
        for (; *s; s++)
            pressKeyAt(static_cast<int32_t>(std::strchr(kChars, *s) - kChars));
    }
    const sim::ScreenText *textAt(int x, int y) const {
        for (const sim::ScreenText &t : rx->screen().texts())
            if (t.x == x && t.y == y)
                return &t;
        return nullptr;
    }
    std::string keyLabel(int idx) const {   // what character key idx shows
        const sim::ScreenText *t = textAt(63 + 60 * (idx % 10), 162 + 60 * (idx / 10));
        return t ? t->text : "";
    }
    std::string line() const {              // the text line in either font
        const sim::ScreenText *t = textAt(64, 113) ? textAt(64, 113) : textAt(64, 115);
        return t ? t->text : "";
    }
    uint32_t pixel(int x, int y) const { return rx->screen().osdPixel(x, y); }

    testsupport::TempDir dir;
    std::unique_ptr<sim::Receiver> rx;
    char text[200] = {};
    int limit = 45;
};

std::string framed(const std::string &s) { return " \xBB" + s + "\xAB"; }

}  // namespace

TEST_F(KeyboardTest, KeyboardDrawsTitleTextLineAndTheSelectedKey) {
    EXPECT_EQ(open("0123456789", 8), KEYB_STAYS_OPEN);
    EXPECT_TRUE(rx->screen().shows("    Keyboard"));
    EXPECT_EQ(line(), framed("01234567"));   // cut to the limit
    for (const char *label : {"Shift >", "Space >>", "Delete <<", "Save   "})
        EXPECT_TRUE(rx->screen().shows(label)) << label;
    EXPECT_EQ(keyLabel(0), "A");
    EXPECT_EQ(keyLabel(49), "0");
    EXPECT_EQ(textAt(63, 162)->fg, font_boxselected);
    // The selected key has its edges exchanged and the selected face.
    EXPECT_EQ(pixel(61, 146), 0xFF182C58u);
    EXPECT_EQ(pixel(121, 146), fineline_color);
    EXPECT_EQ(pixel(65, 150), box1_color);
    EXPECT_EQ(pixel(125, 150), box2_color);
    EXPECT_EQ(pixel(61, 111), font2_color);   // the text line's frame

    language = LAN_German;
    open("", 45);
    EXPECT_TRUE(rx->screen().shows("    Tastatur"));
    language = LAN_Finnish;
    open("", 45);
    EXPECT_TRUE(rx->screen().shows("    N\xE4pp\xE4imet"));
}

TEST_F(KeyboardTest, KeyboardSelectionWrapsInRowsAndPassesTheFunctionRowAndTextLine) {
    open("", 45);
    struct Step {
        int32_t from;
        dword key;
        int32_t to;
    };
    const Step steps[] = {
        {0, RKEY_Left, 9}, {10, RKEY_Left, 19}, {19, RKEY_Right, 10}, {49, RKEY_Right, 40},
        {KEYB_SHIFT, RKEY_Left, KEYB_SAVE}, {KEYB_SAVE, RKEY_Left, KEYB_DELETE},
        {KEYB_DELETE, RKEY_Left, KEYB_SPACE}, {KEYB_SPACE, RKEY_Left, KEYB_SHIFT},
        {KEYB_SHIFT, RKEY_Right, KEYB_SPACE}, {KEYB_SAVE, RKEY_Right, KEYB_SHIFT},
        {43, RKEY_Down, KEYB_SPACE},                      // the digit 4 lies above Space
        {KEYB_SPACE, RKEY_Down, KEYB_TEXT_LINE + 2},      // the column Space starts in
        {KEYB_TEXT_LINE + 2, RKEY_Down, 2},
        {7, RKEY_Up, KEYB_TEXT_LINE + 7}, {KEYB_TEXT_LINE + 7, RKEY_Up, KEYB_DELETE},
        {KEYB_TEXT_LINE + 9, RKEY_Up, KEYB_SAVE}, {KEYB_SHIFT, RKEY_Up, 40},
        {75, RKEY_Right, 1},                              // no key at all: from A
    };
    for (const Step &s : steps) {
        keyboard_idx = s.from;
        press(s.key);
        EXPECT_EQ(keyboard_idx, s.to) << "from " << s.from << " key " << std::hex << s.key;
    }
    keyboard_idx = 9;
    press(RKEY_Up);   // the text line is drawn selected
    EXPECT_EQ(pixel(300, 135), box1_color);
    EXPECT_EQ(textAt(64, 113)->fg, font_boxselected);
    press(RKEY_Up);
    EXPECT_EQ(pixel(300, 135), statusbox_color);
    EXPECT_EQ(textAt(543, 448)->fg, font_boxselected);   // Save
}

TEST_F(KeyboardTest, KeyboardTypingStopsAtTheLimitAndDeleteFreesAPlace) {
    open("", 45);
    type("SHORT");
    EXPECT_EQ(textAt(64, 113)->size, 2);
    std::string full = "SHORT" + std::string(40, 'W');
    type(full.c_str() + 5);
    type("B");
    pressKeyAt(KEYB_SPACE);
    press(RKEY_Forward);
    EXPECT_EQ(line(), framed(full));
    EXPECT_EQ(textAt(64, 115)->size, 1);   // too wide for the larger font
    pressKeyAt(KEYB_DELETE);
    type("B");
    press(RKEY_Rewind);
    press(RKEY_Forward);                   // >> types a space
    EXPECT_EQ(press(RKEY_Stop), KEYB_SAVED);
    EXPECT_EQ(std::string(text), full.substr(0, 44) + " ");

    // A space counts the text right of the cursor too: else storing would cut the end off.
    open("ABCDEFGHIJ", 10);
    press(RKEY_Prev);
    pressKeyAt(KEYB_SPACE);
    pressKeyAt(KEYB_SAVE);
    EXPECT_EQ(std::string(text), "ABCDEFGHIJ");
}

TEST_F(KeyboardTest, KeyboardTypingShiftedGivesSmallLettersAndUmlautsButKeepsSharpS) {
    open("", 45);
    pressKeyAt(KEYB_SHIFT);
    EXPECT_EQ(keyLabel(0), "a");
    EXPECT_EQ(keyLabel(26), "\xE4");
    EXPECT_EQ(keyLabel(29), "\xDF");
    type("\xC4\xDFZ7.");
    press(RKEY_Play);   // back to capitals
    EXPECT_EQ(keyLabel(0), "A");
    type("\xD6");
    pressKeyAt(KEYB_SAVE);
    EXPECT_EQ(std::string(text), "\xE4\xDFz7.\xD6");
}

TEST_F(KeyboardTest, KeyboardTypingInsertsAtTheCursor) {
    open("", 45);
    type("ABC");
    press(RKEY_Prev);
    press(RKEY_Prev);
    EXPECT_EQ(line(), framed("A\x7F" "BC"));
    type("X");
    EXPECT_EQ(line(), framed("AX\x7F" "BC"));
    keyboard_idx = KEYB_TEXT_LINE;   // there Left and Right move the cursor
    press(RKEY_Right);
    press(RKEY_Next);
    press(RKEY_Next);                // already at the end
    EXPECT_EQ(line(), framed("AXBC"));
    press(RKEY_Left);
    press(RKEY_Rewind);
    press(RKEY_Ok);                  // OK on the text line types nothing
    EXPECT_EQ(line(), framed("AX\x7F" "C"));
    press(RKEY_Stop);
    EXPECT_EQ(std::string(text), "AXC");
}

TEST_F(KeyboardTest, KeyboardClosingByExitKeepsTheCallersTextAndStopStoresIt) {
    open("Old", 45);
    type("NEW");
    EXPECT_EQ(press(RKEY_Exit), KEYB_CANCELLED);
    EXPECT_EQ(keyboard_mode, 0);
    EXPECT_EQ(std::string(text), "Old");
    size_t logged = rx->screen().textLog().size();
    EXPECT_EQ(press(RKEY_Ok), KEYB_NOT_OPEN);   // closed: nothing happens, nothing drawn
    EXPECT_EQ(rx->screen().textLog().size(), logged);

    open("Old", 45);
    press(RKEY_Prev);
    type("X");
    EXPECT_EQ(press(RKEY_Stop), KEYB_SAVED);
    EXPECT_EQ(keyboard_mode, 0);
    EXPECT_EQ(std::string(text), "OlXd");
    EXPECT_STREQ(strBuf_keyb, text);   // how the dispatch tells a save from EXIT
}

TEST_F(KeyboardTest, KeyboardClosingNeverWritesPastTheLimitOrItsBuffers) {
    struct {
        char name[41];   // a timer name: 40 characters
        char guard[8];
    } timer;
    std::memset(&timer, 'G', sizeof timer);
    std::strcpy(timer.name, "News");
    keyboard_mode = 1;
    keyboard_idx = 0;
    Keyboard(1, 0, timer.name, 40);
    for (int i = 0; i < 50; i++)
        Keyboard(0, RKEY_Ok, timer.name, 40);
    Keyboard(0, RKEY_Stop, timer.name, 40);
    EXPECT_EQ(std::string(timer.name), "News" + std::string(36, 'A'));
    EXPECT_EQ(std::string(timer.guard, 8), std::string(8, 'G'));

    open("", 100000);   // lowered to what the keyboard's buffers hold
    for (int i = 0; i < KEYB_TEXT_MAX + 20; i++)
        type("Z");
    press(RKEY_Prev);
    press(RKEY_Stop);
    EXPECT_EQ(std::strlen(text), static_cast<size_t>(KEYB_TEXT_MAX));
}
