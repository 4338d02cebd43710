// What the TV shows under the OSD: a test card for a TV channel (colour bars in a grey frame, a
// greyscale step, a centre box with the channel's name and number) or a dark picture for radio.
// Leans on sim/screen.h (TvPicture, the font at large heights).
#include "sim/screen.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace sim {

namespace {

constexpr uint32_t kOpaque = 0xFF000000u;

void fill(std::vector<uint32_t> &p, int x, int y, int w, int h, uint32_t rgb) {
    for (int py = std::max(y, 0); py < std::min(y + h, kOsdHeight); ++py)
        for (int px = std::max(x, 0); px < std::min(x + w, kOsdWidth); ++px)
            p[static_cast<size_t>(py) * kOsdWidth + px] = kOpaque | rgb;
}

// One line centred in x .. x + w at its top y, made smaller (down to 18 pixels) until it fits.
void centredLine(std::vector<uint32_t> &p, int x, int y, int w, std::string_view text, int pixelHeight,
                 uint32_t rgb) {
    const Font &font = Font::instance();
    while (pixelHeight > 18 && font.widthAtHeight(text, pixelHeight) > w) pixelHeight -= 2;
    int width = std::min(font.widthAtHeight(text, pixelHeight), w);
    font.drawAtHeight(p.data(), kOsdWidth, kOsdHeight, x + (w - width) / 2, y, x + w, text, kOpaque | rgb,
                      pixelHeight);
}

}  // namespace

std::vector<uint32_t> tvPicturePixels(const TvPicture &tv) {
    std::vector<uint32_t> p(static_cast<size_t>(kOsdWidth) * kOsdHeight, kOpaque);
    const bool radio = tv.svcType == 1;
    if (radio) {
        // A dark blue-grey picture, slightly lighter towards the middle, and a thin frame.
        for (int y = 0; y < kOsdHeight; ++y) {
            int shade = 16 + 16 * (kOsdHeight / 2 - std::abs(y - kOsdHeight / 2)) / (kOsdHeight / 2);
            fill(p, 0, y, kOsdWidth, 1, (shade / 2) << 16 | (shade * 3 / 4) << 8 | shade);
        }
        fill(p, 40, 40, kOsdWidth - 80, 2, 0x303848);
        fill(p, 40, kOsdHeight - 42, kOsdWidth - 80, 2, 0x303848);
    } else {
        // Grey frame with a tick every 40 pixels, then 75 % colour bars over a greyscale step.
        fill(p, 0, 0, kOsdWidth, kOsdHeight, 0x808080);
        for (int x = 0; x < kOsdWidth; x += 40) {
            fill(p, x, 0, 2, 24, 0xE0E0E0);
            fill(p, x, kOsdHeight - 24, 2, 24, 0xE0E0E0);
        }
        for (int y = 0; y < kOsdHeight; y += 40) {
            fill(p, 0, y, 24, 2, 0xE0E0E0);
            fill(p, kOsdWidth - 24, y, 24, 2, 0xE0E0E0);
        }
        static const uint32_t bars[8] = {0xBFBFBF, 0xBFBF00, 0x00BFBF, 0x00BF00,
                                         0xBF00BF, 0xBF0000, 0x0000BF, 0x101010};
        const int left = 40, top = 40, width = kOsdWidth - 80, barsHeight = 360;
        for (int i = 0; i < 8; ++i)
            fill(p, left + width * i / 8, top, width * (i + 1) / 8 - width * i / 8, barsHeight, bars[i]);
        for (int i = 0; i < 8; ++i) {
            uint32_t g = 255u * static_cast<uint32_t>(i) / 7;
            fill(p, left + width * i / 8, top + barsHeight, width * (i + 1) / 8 - width * i / 8,
                 kOsdHeight - 80 - barsHeight, g << 16 | g << 8 | g);
        }
    }
    // The centre box: the channel's name and "TV 3" or "Radio 2".
    const int boxW = 440, boxH = 124, boxX = (kOsdWidth - boxW) / 2, boxY = (kOsdHeight - boxH) / 2;
    fill(p, boxX - 3, boxY - 3, boxW + 6, boxH + 6, radio ? 0x506080 : 0xF0F0F0);
    fill(p, boxX, boxY, boxW, boxH, radio ? 0x101420 : 0x000000);
    std::string name = tv.channelName.empty() ? std::string("No channel") : tv.channelName;
    centredLine(p, boxX + 12, boxY + 18, boxW - 24, name, 44, 0xFFFFFF);
    std::string number = (radio ? "Radio " : "TV ") + std::to_string(tv.svcNum + 1);
    centredLine(p, boxX + 12, boxY + 76, boxW - 24, number, 30, radio ? 0x90A8D0 : 0xE0E000);
    return p;
}

}  // namespace sim
