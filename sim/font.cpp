// The OSD font: DejaVu Sans (Debian's fonts-dejavu-core) rasterised with stb_truetype into glyph
// bitmaps kept per size, and the line drawing that blends them into an ARGB plane.
// Leans on sim/screen.h (the Font interface, blendOver) and sim/stb_impl.cpp (stb itself).
#include "sim/screen.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <stdexcept>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wshadow"
#include <stb_truetype.h>
#pragma GCC diagnostic pop

#ifndef DIRO_FONT_FILE
#define DIRO_FONT_FILE "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
#endif

namespace sim {

namespace {

constexpr int kSizes = 3;
constexpr int kLineHeight[kSizes] = {19, 22, 26};
// Ascent plus descent of the face in each size; the rest of the line is shared above and below.
constexpr int kPixelHeight[kSizes] = {14, 16, 19};
constexpr int kMinHeight = 8, kMaxHeight = 200;

struct Glyph {
    int advance = 0;        // whole pixels
    int left = 0, top = 0;  // bitmap offset from the pen on the baseline (top is negative above it)
    int w = 0, h = 0;
    std::vector<unsigned char> coverage;  // w x h, 0..255
};

// The face at one pixel height.
struct Face {
    int ascent = 0;  // pixels from the top of the face's height to the baseline
    Glyph glyphs[256];
};

int sizeIndex(int size) { return size >= 0 && size < kSizes ? size : kSizes - 1; }

// Control characters of both halves of Latin-1 have no width and draw nothing, but 127: the
// receiver's font shows it as a block, the on-screen keyboard's cursor mark.
bool printable(unsigned char c) { return c >= 32 && !(c >= 128 && c < 160); }

// The code point of the font drawn for a byte: the byte itself, the half block for 127.
int codePointOf(unsigned char c) { return c == 127 ? 0x258C : c; }

// Draws text with its baseline at `baseline`, starting at x, whole characters only while they end
// at or before clipRight; pixels are kept inside x .. clipRight and the plane. Returns the width drawn.
int drawLine(const Face &face, uint32_t *plane, int w, int h, long long x, long long baseline, long long clipRight,
             std::string_view text, uint32_t argb) {
    const long long lo = std::max<long long>(x, 0);
    const long long hi = std::min<long long>(clipRight, w);
    const uint32_t rgb = argb & 0xFFFFFFu;
    const unsigned alpha = argb >> 24;
    long long pen = x;
    for (unsigned char c : text) {
        const Glyph &g = face.glyphs[c];
        if (pen + g.advance > clipRight) break;
        for (int gy = 0; gy < g.h; ++gy) {
            long long py = baseline + g.top + gy;
            if (py < 0 || py >= h) continue;
            for (int gx = 0; gx < g.w; ++gx) {
                long long px = pen + g.left + gx;
                unsigned cov = g.coverage[static_cast<size_t>(gy) * g.w + gx];
                if (cov == 0 || px < lo || px >= hi) continue;
                unsigned a = (alpha * cov + 127) / 255;
                uint32_t &dst = plane[static_cast<size_t>(py) * w + px];
                dst = blendOver(dst, (a << 24) | rgb);
            }
        }
        pen += g.advance;
    }
    return static_cast<int>(pen - x);
}

int lineWidth(const Face &face, std::string_view text) {
    int width = 0;
    for (unsigned char c : text) width += face.glyphs[c].advance;
    return width;
}

}  // namespace

struct Font::Impl {
    std::vector<unsigned char> data;
    stbtt_fontinfo info{};
    Face sized[kSizes];
    std::map<int, std::unique_ptr<Face>> large;  // by pixel height, made on first use

    void build(Face &face, int pixelHeight) const {
        float scale = stbtt_ScaleForPixelHeight(&info, static_cast<float>(pixelHeight));
        int ascent = 0, descent = 0, gap = 0;
        stbtt_GetFontVMetrics(&info, &ascent, &descent, &gap);
        face.ascent = static_cast<int>(std::lround(ascent * scale));
        for (int c = 0; c < 256; ++c) {
            if (!printable(static_cast<unsigned char>(c))) continue;
            Glyph &g = face.glyphs[c];
            int index = stbtt_FindGlyphIndex(&info, codePointOf(static_cast<unsigned char>(c)));
            int advance = 0, bearing = 0;
            stbtt_GetGlyphHMetrics(&info, index, &advance, &bearing);
            g.advance = static_cast<int>(std::lround(advance * scale));
            int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
            stbtt_GetGlyphBitmapBox(&info, index, scale, scale, &x0, &y0, &x1, &y1);
            if (x1 <= x0 || y1 <= y0) continue;  // the blank
            g.left = x0;
            g.top = y0;
            g.w = x1 - x0;
            g.h = y1 - y0;
            g.coverage.assign(static_cast<size_t>(g.w) * g.h, 0);
            stbtt_MakeGlyphBitmap(&info, g.coverage.data(), g.w, g.h, g.w, scale, scale, index);
        }
    }

    const Face &atHeight(int pixelHeight) {
        pixelHeight = std::clamp(pixelHeight, kMinHeight, kMaxHeight);
        auto &face = large[pixelHeight];
        if (!face) {
            face = std::make_unique<Face>();
            build(*face, pixelHeight);
        }
        return *face;
    }
};

Font::Font() : impl_(new Impl) {
    std::ifstream in(DIRO_FONT_FILE, std::ios::binary);
    impl_->data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (impl_->data.empty() ||
        !stbtt_InitFont(&impl_->info, impl_->data.data(), stbtt_GetFontOffsetForIndex(impl_->data.data(), 0))) {
        std::string message = std::string("receiver: cannot read the OSD font ") + DIRO_FONT_FILE +
                              " (install the package fonts-dejavu-core)";
        std::fprintf(stderr, "%s\n", message.c_str());
        delete impl_;
        throw std::runtime_error(message);
    }
    for (int s = 0; s < kSizes; ++s) impl_->build(impl_->sized[s], kPixelHeight[s]);
}

const Font &Font::instance() {
    static const Font font;
    return font;
}

int Font::lineHeight(int size) const { return kLineHeight[sizeIndex(size)]; }

int Font::charWidth(unsigned char latin1, int size) const {
    return impl_->sized[sizeIndex(size)].glyphs[latin1].advance;
}

int Font::width(std::string_view latin1, int size) const { return lineWidth(impl_->sized[sizeIndex(size)], latin1); }

int Font::draw(uint32_t *plane, int w, int h, int x, int y, int clipRight, std::string_view latin1, uint32_t argb,
               int size) const {
    int s = sizeIndex(size);
    const Face &face = impl_->sized[s];
    long long baseline = static_cast<long long>(y) + (kLineHeight[s] - kPixelHeight[s]) / 2 + face.ascent;
    return drawLine(face, plane, w, h, x, baseline, clipRight, latin1, argb);
}

int Font::widthAtHeight(std::string_view latin1, int pixelHeight) const {
    return lineWidth(impl_->atHeight(pixelHeight), latin1);
}

int Font::drawAtHeight(uint32_t *plane, int w, int h, int x, int y, int clipRight, std::string_view latin1,
                       uint32_t argb, int pixelHeight) const {
    const Face &face = impl_->atHeight(pixelHeight);
    return drawLine(face, plane, w, h, x, static_cast<long long>(y) + face.ascent, clipRight, latin1, argb);
}

}  // namespace sim
