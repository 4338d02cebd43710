// Changed regions of the screen, their PNG form and base64 (see web_frames.h).
#include "receiver/web_frames.h"

#include <stb_image_write.h>

#include <cstring>

namespace rx {

namespace {

constexpr int kTilesAcross = (kFrameWidth + kTile - 1) / kTile;
constexpr int kTilesDown = (kFrameHeight + kTile - 1) / kTile;
// From this share of changed tiles on (in percent), one rectangle covers the picture: one PNG
// of it is smaller than many pieces.
constexpr int kWholeFramePercent = 60;

bool tileChanged(const Frame &a, const Frame &b, int tx, int ty) {
    int x0 = tx * kTile, y0 = ty * kTile;
    int w = x0 + kTile > kFrameWidth ? kFrameWidth - x0 : kTile;
    int h = y0 + kTile > kFrameHeight ? kFrameHeight - y0 : kTile;
    for (int y = y0; y < y0 + h; ++y) {
        size_t row = static_cast<size_t>(y) * kFrameWidth + static_cast<size_t>(x0);
        if (std::memcmp(&a[row], &b[row], static_cast<size_t>(w) * sizeof(uint32_t)) != 0)
            return true;
    }
    return false;
}

Patch inPixels(int tx0, int ty0, int tx1, int ty1) {  // tiles [tx0, tx1) x [ty0, ty1)
    Patch p;
    p.x = tx0 * kTile;
    p.y = ty0 * kTile;
    p.w = (tx1 * kTile > kFrameWidth ? kFrameWidth : tx1 * kTile) - p.x;
    p.h = (ty1 * kTile > kFrameHeight ? kFrameHeight : ty1 * kTile) - p.y;
    return p;
}

void appendBytes(void *context, void *data, int size) {
    static_cast<std::string *>(context)->append(static_cast<const char *>(data), static_cast<size_t>(size));
}

}  // namespace

std::vector<Patch> changedRegions(const Frame &before, const Frame &after) {
    const size_t pixels = static_cast<size_t>(kFrameWidth) * kFrameHeight;
    if (before.size() != pixels || after.size() != pixels)
        return {Patch{0, 0, kFrameWidth, kFrameHeight}};

    // Runs of changed tiles per row of tiles: [first, last) columns.
    struct Run {
        int tx0, tx1, ty0, ty1;
    };
    std::vector<Run> open, done;
    int changed = 0;
    for (int ty = 0; ty < kTilesDown; ++ty) {
        std::vector<Run> row;
        for (int tx = 0; tx < kTilesAcross; ++tx) {
            if (!tileChanged(before, after, tx, ty))
                continue;
            ++changed;
            if (!row.empty() && row.back().tx1 == tx)
                row.back().tx1 = tx + 1;
            else
                row.push_back({tx, tx + 1, ty, ty + 1});
        }
        // A run with the same columns as one in the row above extends it downwards.
        std::vector<Run> still;
        for (Run &r : row) {
            bool joined = false;
            for (Run &o : open) {
                if (o.tx0 == r.tx0 && o.tx1 == r.tx1 && o.ty1 == ty) {
                    o.ty1 = ty + 1;
                    joined = true;
                    break;
                }
            }
            if (!joined)
                still.push_back(r);
        }
        std::vector<Run> next;
        for (Run &o : open)
            (o.ty1 == ty + 1 ? next : done).push_back(o);
        for (Run &r : still)
            next.push_back(r);
        open = next;
    }
    for (Run &o : open)
        done.push_back(o);

    if (changed * 100 >= kTilesAcross * kTilesDown * kWholeFramePercent)
        return {Patch{0, 0, kFrameWidth, kFrameHeight}};
    std::vector<Patch> patches;
    for (const Run &r : done)
        patches.push_back(inPixels(r.tx0, r.ty0, r.tx1, r.ty1));
    return patches;
}

std::string encodePng(const Frame &frame, const Patch &p) {
    if (frame.size() != static_cast<size_t>(kFrameWidth) * kFrameHeight || p.x < 0 || p.y < 0 || p.w <= 0 ||
        p.h <= 0 || p.x + p.w > kFrameWidth || p.y + p.h > kFrameHeight)
        return "";
    std::vector<unsigned char> rgb(static_cast<size_t>(p.w) * static_cast<size_t>(p.h) * 3);
    size_t o = 0;
    for (int y = p.y; y < p.y + p.h; ++y) {
        const uint32_t *src = &frame[static_cast<size_t>(y) * kFrameWidth + static_cast<size_t>(p.x)];
        for (int x = 0; x < p.w; ++x) {
            uint32_t c = src[x];
            rgb[o++] = static_cast<unsigned char>(c >> 16);
            rgb[o++] = static_cast<unsigned char>(c >> 8);
            rgb[o++] = static_cast<unsigned char>(c);
        }
    }
    std::string png;
    if (!stbi_write_png_to_func(appendBytes, &png, p.w, p.h, 3, rgb.data(), p.w * 3))
        return "";
    return png;
}

std::string base64(std::string_view bytes) {
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        uint32_t v = (uint32_t(uint8_t(bytes[i])) << 16) | (uint32_t(uint8_t(bytes[i + 1])) << 8) | uint8_t(bytes[i + 2]);
        out += kDigits[v >> 18];
        out += kDigits[(v >> 12) & 63];
        out += kDigits[(v >> 6) & 63];
        out += kDigits[v & 63];
    }
    size_t rest = bytes.size() - i;
    if (rest > 0) {
        uint32_t v = uint32_t(uint8_t(bytes[i])) << 16;
        if (rest == 2)
            v |= uint32_t(uint8_t(bytes[i + 1])) << 8;
        out += kDigits[v >> 18];
        out += kDigits[(v >> 12) & 63];
        out += rest == 2 ? kDigits[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

}  // namespace rx
