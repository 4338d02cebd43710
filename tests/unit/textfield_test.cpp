// The word-wrapping text field. Line breaking is checked with drawing operations of the test's
// own (every character 10 pixels wide), the drawing itself on the virtual receiver's screen.
//   - TextFieldBreaks*: separators, spaces, words wider than the field
//   - TextFieldPages*: counting, the lines of a page, a page beyond the text
//   - TextFieldRefuses*: fields too narrow or off the screen
//   - TextFieldDraws*: strips and backgrounds on the screen
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/state.h"
#include "search/textfield.h"
#include "tests/support/support.h"

namespace {

using Lines = std::vector<std::string>;
struct Fill {
    int y, w, h;
};
Lines drawn;
std::vector<int> drawnY;
std::vector<Fill> fills;
const dword kBg = 0xFF112233;

int fakeFill(word, dword, dword y, dword w, dword h, dword) {
    fills.push_back({(int)y, (int)w, (int)h});
    return 0;
}
int fakePutS(word, dword, dword y, dword, const char *str, dword, dword, byte, byte, byte, byte) {
    drawn.push_back(str);
    drawnY.push_back((int)y);
    return 0;
}
int fakeGetW(const char *str, byte, byte) { return 10 * (int)std::string(str).size(); }

// A field `width` pixels wide at (100, 100) with 3 lines of 30 pixels; the default leaves lines
// narrower than 90 pixels: at most 8 characters. Returns the count; the lines are in `drawn`.
int layout(const char *text, int page, int width = 100, int top = 100, int linesPerPage = 3) {
    drawn.clear();
    drawnY.clear();
    fills.clear();
    return TextField_EXTERN(0, 100, top, 100 + width, text, 0xFFFFFFFF, kBg, FNT_Size_1622, ALIGN_LEFT,
                            linesPerPage, page, 30, '~', '|', fakeFill, fakePutS, fakeGetW);
}

}  // namespace

TEST(TextField, TextFieldBreaksAtSeparatorsSpacesAndInsideLongWords) {
    EXPECT_EQ(layout("News ~ Weather|Sport", 1, 600), 3);
    EXPECT_EQ(drawn, (Lines{"News ", "Weather", "Sport"}));
    EXPECT_EQ(layout("A||B|", 1, 600), 3);   // an empty line between; none after the last
    EXPECT_EQ(drawn, (Lines{"A", "", "B"}));
    EXPECT_EQ(layout("aaa bbb ccc ddd", 1), 2);
    EXPECT_EQ(drawn, (Lines{"aaa bbb", "ccc ddd"}));
    EXPECT_EQ(layout("aaaa bbbb", 1), 2);    // exactly 90 pixels no longer fits
    EXPECT_EQ(drawn, (Lines{"aaaa", "bbbb"}));
    EXPECT_EQ(layout("abcdefghijklmnop qr", 1), 3);
    EXPECT_EQ(drawn, (Lines{"abcdefgh", "ijklmnop", "qr"}));
    EXPECT_EQ(layout("xyz", 1, 20), 3);      // room for less than one character: one per line
}

TEST(TextField, TextFieldPagesCountWithoutDrawingAndDrawOnlyTheirLines) {
    const char *text = "l1~l2~l3~l4~l5~l6~l7";
    EXPECT_EQ(layout(text, 0), 7);
    EXPECT_TRUE(drawn.empty() && fills.empty());
    EXPECT_EQ(layout(text, 2), 7);
    EXPECT_EQ(drawn, (Lines{"l4", "l5", "l6"}));
    EXPECT_EQ(drawnY, (std::vector<int>{100, 130, 160}));
    EXPECT_EQ(layout(text, 3), 7);           // one line, the two slots below it filled
    EXPECT_EQ(drawn, (Lines{"l7"}));
    EXPECT_EQ(fills.back().y, 130);
    EXPECT_EQ(fills.back().h, 60);
    EXPECT_EQ(layout(text, 4), 7);           // beyond the text: the whole field filled
    EXPECT_TRUE(drawn.empty());
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].y, 100);
    EXPECT_EQ(fills[0].h, 90);
    EXPECT_EQ(layout(nullptr, 1), 0);
}

TEST(TextField, TextFieldRefusesFieldsTooNarrowOrOffTheScreen) {
    EXPECT_EQ(layout("some text", 1, 19), 0);
    EXPECT_TRUE(drawn.empty() && fills.empty());
    EXPECT_GT(layout("some text", 1, 20), 0);
    EXPECT_GT(layout("text", 1, 620), 0);    // right edge at 720
    EXPECT_EQ(layout("text", 1, 621), 0);
    EXPECT_GT(layout("text", 1, 100, 486), 0);   // bottom at 576
    EXPECT_EQ(layout("text", 1, 100, 487), 0);
    EXPECT_EQ(layout("text", 0, 100, 100, 0), 0);
    EXPECT_TRUE(drawn.empty() && fills.empty());
}

TEST(TextField, TextFieldDrawsStripsAndBackgroundsOnTheScreen) {
    testsupport::TempDir dir;
    testsupport::LinkedOptions options;
    options.powerOn = false;
    auto rx = testsupport::linkedReceiver(dir.path(), options);
    rgn = static_cast<word>(TAP_Osd_Create(0, 0, 720, 576, 0, 0));
    const uint32_t under = 0xFF00FF00;
    TAP_Osd_FillBox(rgn, 0, 0, 720, 576, under);
    const char *info = "Tatort ~ Krimi|Kommissar Borowski ermittelt in einem Fall, der ihn in die "
                       "Vergangenheit seiner Kollegin f\xFChrt.";
    int total = TextField(rgn, 60, 113, 658, info, 0xFFE0E0E0, kBg, FNT_Size_1622, ALIGN_LEFT, 5, 1, 26, '~', '|');
    EXPECT_EQ(total, 4);
    EXPECT_EQ(TextField(rgn, 60, 113, 658, info, 0, 0, FNT_Size_1622, ALIGN_LEFT, 5, 0, 26, '~', '|'), total);
    for (const sim::ScreenText &t : rx->screen().texts()) {
        EXPECT_EQ(t.x, 66);
        EXPECT_EQ((t.y - 113) % 26, 0);
        EXPECT_LT(t.left + t.width, 66 + 598 - 10) << t.text;
    }
    EXPECT_TRUE(rx->screen().shows("Krimi"));
    EXPECT_EQ(rx->screen().osdPixel(61, 120), kBg);                 // the strip left of the text
    EXPECT_EQ(rx->screen().osdPixel(400, 113 + 23), kBg);           // below the 22-pixel font
    EXPECT_EQ(rx->screen().osdPixel(400, 113 + 5 * 26 - 1), kBg);   // the rest of the page
    EXPECT_EQ(rx->screen().osdPixel(400, 113 + 5 * 26), under);
}
