// The virtual receiver's screen: the OSD regions the plug-in draws on (32-bit ARGB, 0 transparent),
// the proportional font its texts are drawn in, the list of texts now visible, and the TV picture
// (a test card naming the tuned channel) that the OSD is blended over for screenshots.
// Example:
//   sim::Screen screen;
//   int rgn = screen.createRegion(0, 0, 720, 576);
//   screen.putS(rgn, 138, 259, 582, "Hello", 0xFFF0F0F0, 0xFF123262, 2, false, sim::Align::Center);
//   bool seen = screen.shows("Hello");                     // true
//   screen.writePng("shot.png", {"Das Erste HD", 0, 0});
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

constexpr int kOsdWidth = 720;
constexpr int kOsdHeight = 576;
constexpr int kMaxRegions = 8;

enum class Align { Left = 0, Center = 1, Right = 2 };

// The proportional font (DejaVu Sans) in the three OSD sizes. Widths are whole pixels per
// character and do not depend on anything but the text and the size.
class Font {
public:
    static const Font &instance();        // loaded once from the system's font file
    int lineHeight(int size) const;       // 19, 22, 26 for sizes 0, 1, 2 (other sizes act as 2)
    int charWidth(unsigned char latin1, int size) const;
    int width(std::string_view latin1, int size) const;
    // Draws one line with its top at y into an ARGB plane of w x h pixels, glyphs blended over
    // what is there, nothing beyond clipRight. Returns the width drawn.
    int draw(uint32_t *plane, int w, int h, int x, int y, int clipRight, std::string_view latin1, uint32_t argb,
             int size) const;
    // The same face at any pixel height (ascent plus descent, 8 .. 200) for large lettering such
    // as the TV picture's caption; y is the top of the glyphs' ascent.
    int widthAtHeight(std::string_view latin1, int pixelHeight) const;
    int drawAtHeight(uint32_t *plane, int w, int h, int x, int y, int clipRight, std::string_view latin1,
                     uint32_t argb, int pixelHeight) const;

private:
    Font();
    struct Impl;
    Impl *impl_;
};

// One text as the plug-in drew it, kept while it is visible.
struct ScreenText {
    std::string text;    // Latin-1, as passed (before clipping)
    int x = 0, y = 0;    // position as passed, screen coordinates (top of the line)
    int maxX = 0;        // right limit as passed
    int left = 0, width = 0, height = 0;  // the box the text covers on the screen
    uint32_t fg = 0, bg = 0;
    int size = 0;        // 0, 1, 2
    int region = -1;     // the region it was drawn in
};

// What the TV shows under the OSD.
struct TvPicture {
    std::string channelName;  // Latin-1
    int svcType = 0;          // 0 TV, 1 radio
    int svcNum = 0;           // from 0; the picture shows it plus 1
};

// The test card of a TV channel (colour bars, grey frame, a centre box with the name and
// "TV 3") or the dark picture of a radio channel: 720 x 576 opaque 0xFFRRGGBB pixels.
std::vector<uint32_t> tvPicturePixels(const TvPicture &tv);

// over drawn on top of under, both ARGB with straight (not premultiplied) alpha.
uint32_t blendOver(uint32_t under, uint32_t over);

class Screen {
public:
    Screen();

    // Regions: handles 0 .. kMaxRegions-1, or -1 when none is free or the size is bad.
    int createRegion(int x, int y, int w, int h);
    int deleteRegion(int rgn);  // 0, or -1 for an unknown handle

    // Drawing, in region coordinates; everything is clipped to the region. 0 or -1 (bad region).
    int fillBox(int rgn, int x, int y, int w, int h, uint32_t argb);
    int drawRectangle(int rgn, int x, int y, int w, int h, int thick, uint32_t argb);
    // Left-aligned text; the background (if not 0) only behind the characters drawn.
    int putString(int rgn, int x, int y, int maxX, std::string_view latin1, uint32_t fg, uint32_t bg, int size);
    // Aligned text in x .. maxX; the background (if not 0) fills the whole line x .. maxX;
    // with dots a text too wide is cut and ends in "...".
    int putS(int rgn, int x, int y, int maxX, std::string_view latin1, uint32_t fg, uint32_t bg, int size, bool dots,
             Align align);
    int textWidth(std::string_view latin1, int size) const;
    void sync();
    long syncCount() const;

    // What the screen says. A text is dropped from the visible list when a later drawing paints
    // over it: a fill, rectangle, text background or text covering its centre or half of its box,
    // or the deletion of its region.
    const std::vector<ScreenText> &texts() const;
    bool shows(std::string_view latin1Needle) const;  // a substring of a visible text
    // Every text drawn since the last clearLog(), visible or not (for messages shown briefly);
    // past kMaxLoggedTexts entries the oldest half is dropped.
    static constexpr size_t kMaxLoggedTexts = 50000;
    const std::vector<ScreenText> &textLog() const;
    void clearLog();

    // The OSD as composed from all regions (ARGB, 0 transparent) and the whole picture.
    uint32_t osdPixel(int x, int y) const;
    bool osdEmpty() const;                                   // nothing but transparent pixels
    std::vector<uint32_t> compose(const TvPicture &tv) const;  // 720 x 576 opaque 0xFFRRGGBB
    bool writePng(const std::string &path, const TvPicture &tv) const;

    Screen(const Screen &) = delete;
    Screen &operator=(const Screen &) = delete;

private:
    struct Region {
        bool used = false;
        int x = 0, y = 0, w = 0, h = 0;
        std::vector<uint32_t> pixels;
        long order = 0;  // creation order: later regions lie on top
    };
    Region regions_[kMaxRegions];
    std::vector<ScreenText> texts_;
    std::vector<ScreenText> log_;
    long syncs_ = 0;
    long nextOrder_ = 0;
    Region *usedRegion(int rgn);
    int stacking(int (&order)[kMaxRegions]) const;  // the used regions, lowest first; their count
    // Fills a rectangle in region coordinates (clipped) with argb as it stands, and drops the texts
    // it paints over.
    void paint(int rgn, long long x, long long y, long long w, long long h, uint32_t argb);
    // Drops visible texts painted over by a screen rectangle drawn in region rgn: texts of that
    // region always (opaque or transparent paint), texts of regions below it only when opaque.
    void paintedOver(int rgn, long long left, long long top, long long w, long long h, bool opaque);
    // Draws shown from left (region coordinates) in whole characters up to maxX and the region's
    // edge; returns the width drawn.
    int drawGlyphs(int rgn, int left, int y, int maxX, std::string_view shown, uint32_t fg, int size);
    // Logs a text as passed and, when some of it is on the screen, makes it visible.
    void recordText(int rgn, int x, int y, int maxX, int left, int width, std::string_view asPassed, uint32_t fg,
                    uint32_t bg, int size);
};

}  // namespace sim
