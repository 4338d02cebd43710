// The screen as the page receives it: the composed picture (720 x 576, TV picture and on-screen
// display), the rectangles in which two pictures differ, each sent as a PNG, and the base64 form
// the page's events carry them in.
//
// Differences are found in tiles of kTile x kTile pixels; changed tiles in a row of tiles join
// into runs, runs of the same columns in rows below each other into one rectangle. When most of
// the picture changed, one rectangle covers it all.
// Example:
//   std::vector<rx::Patch> p = rx::changedRegions(before, after);   // empty when nothing changed
//   std::string png = rx::encodePng(after, p[0]);                    // that rectangle as PNG
//   std::string text = rx::base64(png);
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rx {

constexpr int kFrameWidth = 720;
constexpr int kFrameHeight = 576;
constexpr int kTile = 16;

// A picture: kFrameWidth x kFrameHeight pixels 0xFFRRGGBB, row by row.
using Frame = std::vector<uint32_t>;

struct Patch {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const Patch &o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
};

// The rectangles (on tile edges, within the picture) covering every pixel in which the two
// pictures differ. A picture of the wrong size counts as wholly changed.
std::vector<Patch> changedRegions(const Frame &before, const Frame &after);
// One rectangle of a picture as an RGB PNG file; "" when the rectangle lies outside it.
std::string encodePng(const Frame &frame, const Patch &patch);
std::string base64(std::string_view bytes);

}  // namespace rx
