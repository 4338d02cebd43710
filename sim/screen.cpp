// The virtual receiver's OSD: regions of ARGB pixels, boxes, frames and texts drawn into them, the
// list of texts still visible, and the composition over the TV picture for screenshots.
// Leans on sim/font.cpp (the font), sim/tv_picture.cpp (the test card) and stb_image_write.
#include "sim/screen.h"

#include <algorithm>
#include <climits>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wshadow"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace sim {

namespace {

int clampToInt(long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)); }

// A later paint of l, t, w, h hides the text when it covers the text's centre or at least half of its box.
bool covers(long long l, long long t, long long w, long long h, const ScreenText &s) {
    long long cx2 = 2LL * s.left + s.width, cy2 = 2LL * s.y + s.height;
    if (cx2 >= 2 * l && cx2 < 2 * (l + w) && cy2 >= 2 * t && cy2 < 2 * (t + h)) return true;
    long long iw = std::min(l + w, static_cast<long long>(s.left) + s.width) - std::max<long long>(l, s.left);
    long long ih = std::min(t + h, static_cast<long long>(s.y) + s.height) - std::max<long long>(t, s.y);
    if (iw <= 0 || ih <= 0) return false;
    return 2 * iw * ih >= static_cast<long long>(s.width) * s.height;
}

}  // namespace

uint32_t blendOver(uint32_t under, uint32_t over) {
    const uint32_t sa = over >> 24;
    if (sa == 255) return over;
    if (sa == 0) return under;
    const uint32_t da = under >> 24;
    if (da == 0) return over;
    const uint32_t underPart = da * (255 - sa);  // the under colour's weight, times 255
    const uint32_t total = sa * 255 + underPart;  // the result's alpha, times 255
    uint32_t out = ((total + 127) / 255) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        uint32_t cs = (over >> shift) & 0xFF, cd = (under >> shift) & 0xFF;
        out |= ((cs * sa * 255 + cd * underPart + total / 2) / total) << shift;
    }
    return out;
}

Screen::Screen() { Font::instance(); }  // a missing font is reported at start, not at the first text

Screen::Region *Screen::usedRegion(int rgn) {
    if (rgn < 0 || rgn >= kMaxRegions || !regions_[rgn].used) return nullptr;
    return &regions_[rgn];
}

int Screen::createRegion(int x, int y, int w, int h) {
    if (x < 0 || y < 0 || w < 1 || h < 1 || static_cast<long long>(x) + w > kOsdWidth ||
        static_cast<long long>(y) + h > kOsdHeight)
        return -1;
    for (int i = 0; i < kMaxRegions; ++i) {
        Region &r = regions_[i];
        if (r.used) continue;
        r.used = true;
        r.x = x;
        r.y = y;
        r.w = w;
        r.h = h;
        r.pixels.assign(static_cast<size_t>(w) * h, 0);
        r.order = ++nextOrder_;
        return i;
    }
    return -1;
}

int Screen::deleteRegion(int rgn) {
    Region *r = usedRegion(rgn);
    if (!r) return -1;
    texts_.erase(std::remove_if(texts_.begin(), texts_.end(), [rgn](const ScreenText &t) { return t.region == rgn; }),
                 texts_.end());
    r->used = false;
    r->pixels.clear();
    r->pixels.shrink_to_fit();
    return 0;
}

void Screen::paintedOver(int rgn, long long left, long long top, long long w, long long h, bool opaque) {
    if (w <= 0 || h <= 0) return;
    const long long order = regions_[rgn].order;
    texts_.erase(std::remove_if(texts_.begin(), texts_.end(),
                                [&](const ScreenText &t) {
                                    bool hidden = t.region == rgn ||
                                                  (opaque && t.region >= 0 && t.region < kMaxRegions &&
                                                   regions_[t.region].order < order);
                                    return hidden && covers(left, top, w, h, t);
                                }),
                 texts_.end());
}

void Screen::paint(int rgn, long long x, long long y, long long w, long long h, uint32_t argb) {
    Region &r = regions_[rgn];
    long long x0 = std::max<long long>(x, 0), y0 = std::max<long long>(y, 0);
    long long x1 = std::min<long long>(x + w, r.w), y1 = std::min<long long>(y + h, r.h);
    if (x0 >= x1 || y0 >= y1) return;
    for (long long py = y0; py < y1; ++py)
        std::fill(r.pixels.begin() + py * r.w + x0, r.pixels.begin() + py * r.w + x1, argb);
    paintedOver(rgn, r.x + x0, r.y + y0, x1 - x0, y1 - y0, (argb >> 24) != 0);
}

int Screen::fillBox(int rgn, int x, int y, int w, int h, uint32_t argb) {
    if (!usedRegion(rgn)) return -1;
    if (w > 0 && h > 0) paint(rgn, x, y, w, h, argb);
    return 0;
}

int Screen::drawRectangle(int rgn, int x, int y, int w, int h, int thick, uint32_t argb) {
    if (!usedRegion(rgn)) return -1;
    if (w <= 0 || h <= 0 || thick <= 0) return 0;
    long long t = std::min({thick, w, h});
    long long X = x, Y = y, W = w, H = h;
    // Four bars, each painting over what it covers: a frame around a text leaves it readable.
    paint(rgn, X, Y, W, t, argb);
    paint(rgn, X, Y + H - t, W, t, argb);
    paint(rgn, X, Y + t, t, H - 2 * t, argb);
    paint(rgn, X + W - t, Y + t, t, H - 2 * t, argb);
    return 0;
}

int Screen::drawGlyphs(int rgn, int left, int y, int maxX, std::string_view shown, uint32_t fg, int size) {
    Region &r = regions_[rgn];
    return Font::instance().draw(r.pixels.data(), r.w, r.h, left, y, std::min(maxX, r.w), shown, fg, size);
}

void Screen::recordText(int rgn, int x, int y, int maxX, int left, int width, std::string_view asPassed, uint32_t fg,
                        uint32_t bg, int size) {
    const Region &r = regions_[rgn];
    ScreenText t;
    t.text = std::string(asPassed);
    t.x = clampToInt(static_cast<long long>(r.x) + x);
    t.y = clampToInt(static_cast<long long>(r.y) + y);
    t.maxX = clampToInt(static_cast<long long>(r.x) + maxX);
    t.left = clampToInt(static_cast<long long>(r.x) + left);
    t.width = width;
    t.size = size >= 0 && size <= 2 ? size : 2;
    t.height = Font::instance().lineHeight(t.size);
    t.fg = fg;
    t.bg = bg;
    t.region = rgn;
    bool onScreen = width > 0 && static_cast<long long>(y) + t.height > 0 && y < r.h &&
                    static_cast<long long>(left) + width > 0 && left < r.w;
    if (onScreen) {
        paintedOver(rgn, t.left, t.y, t.width, t.height, (bg >> 24) != 0);
        texts_.push_back(t);
    }
    log_.push_back(std::move(t));
    if (log_.size() > kMaxLoggedTexts) log_.erase(log_.begin(), log_.begin() + kMaxLoggedTexts / 2);
}

int Screen::putString(int rgn, int x, int y, int maxX, std::string_view latin1, uint32_t fg, uint32_t bg, int size) {
    Region *r = usedRegion(rgn);
    if (!r) return -1;
    if (bg != 0) {
        // The background goes behind the whole characters that will be drawn, before them.
        const Font &font = Font::instance();
        long long limit = std::min(maxX, r->w), fit = 0;
        for (unsigned char c : latin1) {
            int cw = font.charWidth(c, size);
            if (x + fit + cw > limit) break;
            fit += cw;
        }
        if (fit > 0) paint(rgn, x, y, fit, font.lineHeight(size), bg);
    }
    int width = drawGlyphs(rgn, x, y, maxX, latin1, fg, size);
    recordText(rgn, x, y, maxX, x, width, latin1, fg, bg, size);
    return 0;
}

int Screen::putS(int rgn, int x, int y, int maxX, std::string_view latin1, uint32_t fg, uint32_t bg, int size,
                 bool dots, Align align) {
    if (!usedRegion(rgn)) return -1;
    const Font &font = Font::instance();
    const long long room = static_cast<long long>(maxX) - x;
    std::string shown(latin1);
    if (dots && font.width(shown, size) > room) {
        // The longest start that leaves room for the dots.
        const long long dotsWidth = font.width("...", size);
        long long used = 0;
        size_t keep = 0;
        while (keep < shown.size() &&
               used + font.charWidth(static_cast<unsigned char>(shown[keep]), size) + dotsWidth <= room) {
            used += font.charWidth(static_cast<unsigned char>(shown[keep]), size);
            ++keep;
        }
        shown = shown.substr(0, keep) + "...";
    }
    const long long textWidth = font.width(shown, size);
    long long left = x;
    if (textWidth < room) {
        if (align == Align::Center) left = x + (room - textWidth) / 2;
        if (align == Align::Right) left = maxX - textWidth;
    }
    if (bg != 0 && room > 0) paint(rgn, x, y, room, font.lineHeight(size), bg);
    int width = drawGlyphs(rgn, static_cast<int>(left), y, maxX, shown, fg, size);
    recordText(rgn, x, y, maxX, static_cast<int>(left), width, latin1, fg, bg, size);
    return 0;
}

int Screen::textWidth(std::string_view latin1, int size) const { return Font::instance().width(latin1, size); }

void Screen::sync() { ++syncs_; }

long Screen::syncCount() const { return syncs_; }

const std::vector<ScreenText> &Screen::texts() const { return texts_; }

bool Screen::shows(std::string_view latin1Needle) const {
    return std::any_of(texts_.begin(), texts_.end(),
                       [&](const ScreenText &t) { return t.text.find(latin1Needle) != std::string::npos; });
}

const std::vector<ScreenText> &Screen::textLog() const { return log_; }

void Screen::clearLog() { log_.clear(); }

int Screen::stacking(int (&order)[kMaxRegions]) const {
    int count = 0;
    for (int i = 0; i < kMaxRegions; ++i)
        if (regions_[i].used) order[count++] = i;
    std::sort(order, order + count, [this](int a, int b) { return regions_[a].order < regions_[b].order; });
    return count;
}

uint32_t Screen::osdPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= kOsdWidth || y >= kOsdHeight) return 0;
    uint32_t out = 0;
    int order[kMaxRegions];
    int count = stacking(order);
    for (int k = 0; k < count; ++k) {
        const Region &r = regions_[order[k]];
        if (x < r.x || y < r.y || x >= r.x + r.w || y >= r.y + r.h) continue;
        out = blendOver(out, r.pixels[static_cast<size_t>(y - r.y) * r.w + (x - r.x)]);
    }
    return (out >> 24) == 0 ? 0 : out;
}

bool Screen::osdEmpty() const {
    for (const Region &r : regions_)
        if (r.used && std::any_of(r.pixels.begin(), r.pixels.end(), [](uint32_t p) { return (p >> 24) != 0; }))
            return false;
    return true;
}

std::vector<uint32_t> Screen::compose(const TvPicture &tv) const {
    std::vector<uint32_t> picture = tvPicturePixels(tv);
    int order[kMaxRegions];
    int count = stacking(order);
    for (int k = 0; k < count; ++k) {
        const Region &r = regions_[order[k]];
        for (int y = 0; y < r.h; ++y)
            for (int x = 0; x < r.w; ++x) {
                uint32_t &under = picture[static_cast<size_t>(r.y + y) * kOsdWidth + r.x + x];
                under = blendOver(under, r.pixels[static_cast<size_t>(y) * r.w + x]);
            }
    }
    return picture;
}

bool Screen::writePng(const std::string &path, const TvPicture &tv) const {
    std::vector<uint32_t> picture = compose(tv);
    std::vector<unsigned char> rgb(picture.size() * 3);
    for (size_t i = 0; i < picture.size(); ++i) {
        rgb[3 * i] = static_cast<unsigned char>(picture[i] >> 16);
        rgb[3 * i + 1] = static_cast<unsigned char>(picture[i] >> 8);
        rgb[3 * i + 2] = static_cast<unsigned char>(picture[i]);
    }
    return stbi_write_png(path.c_str(), kOsdWidth, kOsdHeight, 3, rgb.data(), kOsdWidth * 3) != 0;
}

}  // namespace sim
