// The virtual receiver's screen. Groups:
//   Font       line heights, deterministic proportional widths, glyphs inside their line box,
//              the keyboard's cursor mark
//   Regions    creation limits, transparency, stacking
//   TextList   painted-over texts dropped, partial overlaps kept, region deletion, the log
//   Clipping   whole characters before maxX, screen edges, coordinates far out of range
//   Alignment  centred and right-aligned texts, the line background, cutting with dots
//   Picture    erasing, composition over the TV picture, the test card, PNG files
#include "sim/screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace {

using sim::Align;
using sim::Font;
using sim::Screen;

constexpr uint32_t kWhite = 0xFFFFFFFF, kBlue = 0xFF123262, kRed = 0xFFC80000;

int alphaAt(const Screen &s, int x, int y) { return static_cast<int>(s.osdPixel(x, y) >> 24); }

// The columns in which row band y .. y + h of the OSD has any visible pixel: [first, last], or -1, -1.
std::pair<int, int> inkColumns(const Screen &s, int y, int h) {
    int first = -1, last = -1;
    for (int x = 0; x < sim::kOsdWidth; ++x)
        for (int yy = y; yy < y + h; ++yy)
            if (alphaAt(s, x, yy) != 0) {
                if (first < 0) first = x;
                last = x;
                break;
            }
    return {first, last};
}

bool showsExactly(const Screen &s, const std::string &text) {
    for (const sim::ScreenText &t : s.texts())
        if (t.text == text) return true;
    return false;
}

TEST(Font, LineHeightsAreTheThreeOsdSizes) {
    const Font &f = Font::instance();
    EXPECT_EQ(f.lineHeight(0), 19);
    EXPECT_EQ(f.lineHeight(1), 22);
    EXPECT_EQ(f.lineHeight(2), 26);
    EXPECT_EQ(f.lineHeight(7), 26);
}

TEST(Font, WidthsAreWholeCharacterSumsAndProportional) {
    const Font &f = Font::instance();
    for (int size = 0; size < 3; ++size) {
        EXPECT_GT(f.width("WWW", size), f.width("iii", size));
        EXPECT_EQ(f.width("Tagesschau", size), f.width("Tagesschau", size));
        int sum = 0;
        for (unsigned char c : std::string("Tagesschau \xC4\xE4ni")) sum += f.charWidth(c, size);
        EXPECT_EQ(f.width("Tagesschau \xC4\xE4ni", size), sum);
        EXPECT_EQ(f.charWidth(0x0A, size), 0);
        EXPECT_EQ(f.charWidth(0x86, size), 0);
        EXPECT_GT(f.charWidth(0xE4, size), 0);  // Latin-1 letters have glyphs
    }
    EXPECT_LT(f.width("Mykistys", 0), f.width("Mykistys", 1));
    EXPECT_LT(f.width("Mykistys", 1), f.width("Mykistys", 2));
}

TEST(Font, TheKeyboardsCursorMarkOneHundredTwentySevenIsAVisibleBlock) {
    const Font &f = Font::instance();
    for (int size = 0; size < 3; ++size) {
        ASSERT_GT(f.charWidth(0x7F, size), 0);
        std::vector<uint32_t> plane(64 * 32, 0);
        f.draw(plane.data(), 64, 32, 0, 0, 64, "\x7F", 0xFFFFFFFFu, size);
        long inked = std::count_if(plane.begin(), plane.end(), [](uint32_t p) { return p >> 24 > 128; });
        EXPECT_GT(inked, f.lineHeight(size) * f.charWidth(0x7F, size) / 4) << "size " << size;
    }
}

TEST(Font, CapitalsAccentsAndDescendersStayInsideTheLine) {
    const Font &f = Font::instance();
    std::string all;
    for (int c = 32; c < 256; ++c)
        if (c < 127 || c >= 160) all += static_cast<char>(c);
    for (int size = 0; size < 3; ++size) {
        const int w = f.width(all, size) + 40, h = 100, top = 40;
        std::vector<uint32_t> plane(static_cast<size_t>(w) * h, 0);
        f.draw(plane.data(), w, h, 10, top, w, all, kWhite, size);
        int minY = h, maxY = -1;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (plane[static_cast<size_t>(y) * w + x] != 0) {
                    minY = std::min(minY, y);
                    maxY = std::max(maxY, y);
                }
        EXPECT_GE(minY, top) << "size " << size;
        EXPECT_LT(maxY, top + f.lineHeight(size)) << "size " << size;
    }
}

TEST(Regions, CreationLimitsAndTransparentStart) {
    Screen s;
    EXPECT_EQ(s.createRegion(0, 0, 721, 576), -1);
    EXPECT_EQ(s.createRegion(100, 0, 700, 100), -1);
    EXPECT_EQ(s.createRegion(0, 0, 0, 10), -1);
    EXPECT_EQ(s.createRegion(-1, 0, 10, 10), -1);
    int rgn = s.createRegion(0, 0, 720, 576);
    ASSERT_GE(rgn, 0);
    EXPECT_TRUE(s.osdEmpty());
    for (int i = 1; i < sim::kMaxRegions; ++i) EXPECT_GE(s.createRegion(10, 10, 20, 20), 0);
    EXPECT_EQ(s.createRegion(10, 10, 20, 20), -1);
    EXPECT_EQ(s.deleteRegion(rgn), 0);
    EXPECT_EQ(s.deleteRegion(rgn), -1);
    EXPECT_EQ(s.fillBox(rgn, 0, 0, 10, 10, kRed), -1);
    EXPECT_EQ(s.putString(99, 0, 0, 100, "x", kWhite, 0, 2), -1);
    EXPECT_EQ(s.createRegion(0, 0, 720, 576), rgn);  // the freed handle is reused
}

TEST(Regions, LaterRegionLiesOnTopAndHidesTextsBelowOnlyWhenOpaque) {
    Screen s;
    int lower = s.createRegion(0, 0, 720, 576);
    int upper = s.createRegion(100, 100, 200, 100);
    s.fillBox(lower, 0, 0, 720, 576, kBlue);
    s.fillBox(upper, 0, 0, 200, 100, kRed);
    EXPECT_EQ(s.osdPixel(150, 150), kRed);
    EXPECT_EQ(s.osdPixel(50, 50), kBlue);
    s.putString(lower, 110, 110, 300, "Below", kWhite, 0, 2);
    s.putString(upper, 10, 60, 200, "Above", kWhite, 0, 2);
    s.fillBox(upper, 0, 0, 100, 40, 0);           // transparent: the lower text shows through
    EXPECT_TRUE(s.shows("Below"));
    s.fillBox(lower, 100, 150, 300, 50, kBlue);   // drawn beneath the upper text
    EXPECT_TRUE(s.shows("Above"));
    s.fillBox(upper, 0, 0, 200, 40, kRed);        // opaque over the lower text
    EXPECT_FALSE(s.shows("Below"));
}

TEST(TextList, PaintedOverTextsAreDroppedAndPartlyCoveredOnesKept) {
    Screen s;
    int rgn = s.createRegion(0, 0, 720, 576);
    s.putString(rgn, 100, 100, 600, "Tagesschau", kWhite, kBlue, 2);
    s.putString(rgn, 100, 200, 600, "Wetter", kWhite, 0, 2);
    s.putString(rgn, 100, 300, 600, "Sport", kWhite, 0, 2);
    ASSERT_EQ(s.texts().size(), 3u);
    const sim::ScreenText t = s.texts()[0];
    EXPECT_EQ(t.left, 100);
    EXPECT_EQ(t.width, s.textWidth("Tagesschau", 2));
    EXPECT_EQ(t.height, 26);

    s.fillBox(rgn, t.left + t.width / 2 - 1, t.y + t.height / 2 - 1, 3, 3, kRed);  // a dot on its centre
    EXPECT_FALSE(s.shows("Tagesschau"));
    s.fillBox(rgn, 90, 195, 12, 40, kRed);  // a corner of "Wetter" only
    EXPECT_TRUE(s.shows("Wetter"));
    s.drawRectangle(rgn, 90, 290, 300, 40, 2, kRed);  // a frame around "Sport" leaves it readable
    EXPECT_TRUE(s.shows("Sport"));
    s.fillBox(rgn, 0, 290, 720, 40, 0);  // erasing is painting too
    EXPECT_FALSE(s.shows("Sport"));

    s.putString(rgn, 567, 76, 655, "20:00:00", kWhite, kBlue, 2);
    s.putString(rgn, 567, 76, 655, "20:00:01", kWhite, kBlue, 2);  // the clock drawn over itself
    EXPECT_FALSE(s.shows("20:00:00"));
    EXPECT_TRUE(s.shows("20:00:01"));
    // A text touching another's last letter leaves it; one drawn over it replaces it.
    s.putString(rgn, 100 + s.textWidth("Wetter", 2) - 4, 200, 600, "Regen", kWhite, 0, 2);
    EXPECT_TRUE(showsExactly(s, "Wetter"));
    s.putString(rgn, 100, 200, 600, "Wetterkarte", kWhite, 0, 2);
    EXPECT_FALSE(showsExactly(s, "Wetter"));
    EXPECT_TRUE(showsExactly(s, "Wetterkarte"));

    // The log keeps what was painted over, until cleared.
    EXPECT_EQ(s.textLog().size(), 7u);
    EXPECT_EQ(s.textLog()[0].text, "Tagesschau");
    s.clearLog();
    EXPECT_TRUE(s.textLog().empty());
    EXPECT_TRUE(s.shows("Wetterkarte"));
}

TEST(TextList, DeletingARegionDropsAllItsTexts) {
    Screen s;
    int a = s.createRegion(0, 0, 720, 576);
    int b = s.createRegion(0, 0, 100, 100);
    s.putString(a, 100, 100, 600, "Guide", kWhite, 0, 2);
    s.putString(a, 100, 300, 600, "Rows", kWhite, 0, 1);
    s.putString(b, 0, 0, 100, "Clock", kWhite, 0, 0);
    s.deleteRegion(a);
    ASSERT_EQ(s.texts().size(), 1u);
    EXPECT_EQ(s.texts()[0].text, "Clock");
}

TEST(Clipping, OnlyWholeCharactersBeforeMaxXAreDrawn) {
    Screen s;
    int rgn = s.createRegion(0, 0, 720, 576);
    const std::string text = "Das Erste HD";
    const int x = 61, maxX = x + s.textWidth("Das Er", 2) + 2;  // room for "Das Er" and not the next "s"
    s.putString(rgn, x, 113, maxX, text, kWhite, kBlue, 2);
    ASSERT_EQ(s.texts().size(), 1u);
    EXPECT_EQ(s.texts()[0].text, text);  // recorded as passed
    EXPECT_EQ(s.texts()[0].width, s.textWidth("Das Er", 2));
    auto ink = inkColumns(s, 113, 26);
    EXPECT_EQ(ink.first, x);                       // the background behind the drawn characters
    EXPECT_EQ(ink.second, x + s.textWidth("Das Er", 2) - 1);

    s.putString(rgn, 300, 300, 300, "nothing", kWhite, kBlue, 2);  // no room at all
    EXPECT_FALSE(s.shows("nothing"));
    EXPECT_EQ(alphaAt(s, 300, 310), 0);
}

TEST(Clipping, ScreenEdgesAndFarCoordinatesNeverWriteOutside) {
    Screen s;
    int small = s.createRegion(600, 500, 120, 76);
    s.putString(small, 100, 10, 1000, "Weltspiegel", kWhite, kBlue, 2);  // the region edge acts as maxX
    ASSERT_EQ(s.texts().size(), 1u);
    EXPECT_LE(s.texts()[0].left + s.texts()[0].width, 720);
    EXPECT_GT(s.texts()[0].width, 0);

    int rgn = s.createRegion(0, 0, 720, 576);
    s.fillBox(rgn, -100, -100, 50000, 50000, kRed);
    EXPECT_EQ(s.osdPixel(0, 0), kRed);
    EXPECT_EQ(s.osdPixel(719, 575), kRed);
    s.fillBox(rgn, INT_MAX, INT_MAX, INT_MAX, INT_MAX, kBlue);
    s.fillBox(rgn, INT_MIN, INT_MIN, INT_MAX, INT_MAX, kBlue);
    s.drawRectangle(rgn, -5, -5, INT_MAX, INT_MAX, INT_MAX, kBlue);
    s.drawRectangle(rgn, 700, 570, 100, 100, 3, kBlue);
    s.putString(rgn, -30, 565, INT_MAX, "Ende", kWhite, kBlue, 2);
    s.putString(rgn, INT_MIN, INT_MIN, INT_MAX, "Mitte", kWhite, kBlue, 2);
    s.putS(rgn, INT_MIN, 0, INT_MAX, "Rechts", kWhite, kBlue, 2, true, Align::Right);
    s.putS(rgn, 700, 560, 4000, "Links", kWhite, kBlue, 0, true, Align::Center);
    EXPECT_EQ(s.osdPixel(-1, 0), 0u);
    EXPECT_EQ(s.osdPixel(720, 0), 0u);
    EXPECT_EQ(s.osdPixel(0, 576), 0u);
}

TEST(Alignment, CentredAndRightAlignedTextsSitInsideXToMaxX) {
    Screen s;
    int rgn = s.createRegion(0, 0, 720, 576);
    const int x = 138, maxX = 582, w = s.textWidth("Please wait ...", 2);
    s.putS(rgn, x, 259, maxX, "Please wait ...", kWhite, 0, 2, false, Align::Center);
    s.putS(rgn, 620, 400, 657, "12", kWhite, 0, 2, false, Align::Right);
    ASSERT_EQ(s.texts().size(), 2u);
    EXPECT_EQ(s.texts()[0].left, x + (maxX - x - w) / 2);
    EXPECT_EQ(s.texts()[1].left + s.texts()[1].width, 657);
    auto ink = inkColumns(s, 400, 26);
    EXPECT_LE(ink.second, 656);
    EXPECT_GT(ink.first, 620);

    // The background of an aligned text covers the whole line x .. maxX, and no further.
    s.putS(rgn, 61, 113, 199, " 20:15 - 21:00", kWhite, kBlue, 2, false, Align::Left);
    EXPECT_EQ(s.osdPixel(61, 113), kBlue);
    EXPECT_EQ(s.osdPixel(198, 138), kBlue);
    EXPECT_EQ(s.osdPixel(199, 113), 0u);
    EXPECT_EQ(s.osdPixel(61, 139), 0u);
}

TEST(Alignment, DotsCutATextTooWideSoThatItFitsWithTheDots) {
    Screen s;
    int rgn = s.createRegion(0, 0, 720, 576);
    const std::string title = "Die Sendung mit der Maus: Lach- und Sachgeschichten";
    const int x = 201, maxX = 400;
    s.putS(rgn, x, 113, maxX, title, kWhite, 0, 2, true, Align::Left);
    ASSERT_EQ(s.texts().size(), 1u);
    const sim::ScreenText &t = s.texts()[0];
    EXPECT_EQ(t.text, title);
    EXPECT_LE(t.width, maxX - x);
    // The longest start that fits with "..." is what was drawn.
    std::string start;
    for (char c : title) {
        if (s.textWidth(start + c + "...", 2) > maxX - x) break;
        start += c;
    }
    EXPECT_EQ(t.width, s.textWidth(start + "...", 2));
    EXPECT_GT(start.size(), 5u);

    s.putS(rgn, x, 200, maxX, "Kurz", kWhite, 0, 2, true, Align::Right);  // fits: not cut
    EXPECT_EQ(s.texts()[1].width, s.textWidth("Kurz", 2));
    EXPECT_EQ(s.texts()[1].left, maxX - s.textWidth("Kurz", 2));
}

TEST(Picture, TransparentFillErasesAndTextBlendsOverTheBackground) {
    Screen s;
    int rgn = s.createRegion(0, 0, 720, 576);
    s.fillBox(rgn, 50, 50, 100, 100, kRed);
    s.fillBox(rgn, 60, 60, 10, 10, 0);
    EXPECT_EQ(s.osdPixel(65, 65), 0u);
    EXPECT_EQ(s.osdPixel(55, 55), kRed);
    EXPECT_FALSE(s.osdEmpty());
    s.fillBox(rgn, 0, 0, 720, 576, 0);
    EXPECT_TRUE(s.osdEmpty());

    // Glyph edges mix the foreground into the background: some pixels are neither.
    s.putString(rgn, 100, 100, 600, "Ohne Filter", kWhite, kBlue, 2);
    bool mixed = false;
    for (int y = 100; y < 126; ++y)
        for (int x = 100; x < 100 + s.textWidth("Ohne Filter", 2); ++x) {
            uint32_t p = s.osdPixel(x, y);
            EXPECT_EQ(p >> 24, 0xFFu);
            if (p != kWhite && p != kBlue) mixed = true;
        }
    EXPECT_TRUE(mixed);
}

TEST(Picture, ComposeBlendsTheOsdOverTheTvPicture) {
    Screen s;
    sim::TvPicture tv{"Das Erste HD", 0, 0};
    const std::vector<uint32_t> card = sim::tvPicturePixels(tv);
    EXPECT_EQ(s.compose(tv), card);  // no region: the picture alone

    int rgn = s.createRegion(0, 0, 720, 576);
    s.fillBox(rgn, 0, 0, 720, 576, 0x80FF0000);
    s.fillBox(rgn, 0, 0, 10, 10, kBlue);
    std::vector<uint32_t> shot = s.compose(tv);
    ASSERT_EQ(shot.size(), 720u * 576u);
    EXPECT_EQ(shot[0], kBlue);
    for (size_t i : {size_t(100 * 720 + 100), size_t(300 * 720 + 360), size_t(575 * 720 + 719)}) {
        uint32_t under = card[i];
        uint32_t red = (255 * 128 + ((under >> 16) & 0xFF) * 127 + 127) / 255;
        uint32_t green = (((under >> 8) & 0xFF) * 127 + 127) / 255;
        EXPECT_EQ(shot[i], 0xFF000000u | red << 16 | green << 8 | ((under & 0xFF) * 127 + 127) / 255) << i;
    }
}

TEST(Picture, TestCardIsDeterministicOpaqueAndNamesTheChannel) {
    sim::TvPicture a{"Das Erste HD", 0, 2}, b{"ZDF", 0, 2}, radio{"Bayern 3", 1, 1};
    std::vector<uint32_t> pa = sim::tvPicturePixels(a);
    EXPECT_EQ(pa, sim::tvPicturePixels(a));
    EXPECT_NE(pa, sim::tvPicturePixels(b));
    for (uint32_t p : pa) ASSERT_EQ(p >> 24, 0xFFu);
    // The radio picture is dark away from its centre box.
    std::vector<uint32_t> pr = sim::tvPicturePixels(radio);
    uint32_t corner = pr[100 * 720 + 100];
    EXPECT_LT((corner >> 16 & 0xFF) + (corner >> 8 & 0xFF) + (corner & 0xFF), 3u * 64);
}

TEST(Picture, WritePngWritesA720By576Png) {
    Screen s;
    int rgn = s.createRegion(0, 0, 720, 576);
    s.putS(rgn, 138, 259, 582, "Hello", kWhite, kBlue, 2, false, Align::Center);
    const std::string path = ::testing::TempDir() + "screen_test_shot.png";
    ASSERT_TRUE(s.writePng(path, {"Das Erste HD", 0, 0}));
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 33u);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1A\n", 8));
    EXPECT_EQ(bytes.substr(12, 4), "IHDR");
    auto be32 = [&](size_t at) {
        return static_cast<unsigned char>(bytes[at]) << 24 | static_cast<unsigned char>(bytes[at + 1]) << 16 |
               static_cast<unsigned char>(bytes[at + 2]) << 8 | static_cast<unsigned char>(bytes[at + 3]);
    };
    EXPECT_EQ(be32(16), 720);
    EXPECT_EQ(be32(20), 576);
    std::remove(path.c_str());
    EXPECT_FALSE(s.writePng("/nonexistent-dir/shot.png", {"ZDF", 0, 1}));
}

}  // namespace
