// Helpers of the view tests (Now view, info displays, help): a bench with the plug-in started,
// opening the guide, the texts of a screen row, and whether a text fits the box it stands in.
// Example:
//   views::Bench b = views::bench("20:05", 30);
//   views::openNow(*b.rx);
//   EXPECT_EQ(views::textOf(b.rx->screen(), 64, 76), " NOW");
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "epgdb/fill.h"
#include "frame/state.h"
#include "settings/settings.h"
#include "tests/unit/epgdb_testing.h"

namespace views {

using Bench = epgtest::Bench;
using Texts = std::vector<std::string>;

// A bench with the plug-in started at `clock` ("HH:MM" on 2026-12-07, a Monday).
inline Bench bench(const std::string &clock, int tvChannels = 40) {
    return Bench("2026-12-07 " + clock, tvChannels, sim::Heap::kDefaultSize, true);
}

// The first EPG button (Guide) until the views are open, in the view first_button_view gives.
inline void openGuide(sim::Receiver &rx) {
    for (int i = 0; i < 2 && _epgShow == 0; ++i)
        rx.pressKey(RKEY_Guide);
    ASSERT_EQ(_epgShow, 1);
}
inline void openNow(sim::Receiver &rx) {
    settings.first_button_view = 3;
    openGuide(rx);
    ASSERT_EQ(settings.view, 1);
}
inline void openNormal(sim::Receiver &rx) {
    settings.first_button_view = 2;
    openGuide(rx);
    ASSERT_EQ(settings.view, 0);
}

// A channel's schedule given to the firmware and read into its buffer slot.
inline void fill(Bench &b, int channel, std::vector<sim::GuideEvent> events) {
    b.schedule(SVC_TYPE_Tv, channel, std::move(events));
    FillBuffer(SVC_TYPE_Tv, channel);
}

// The visible text drawn at exactly (x, y), the latest if several; null when there is none.
inline const sim::ScreenText *textAt(const sim::Screen &screen, int x, int y) {
    const sim::ScreenText *found = nullptr;
    for (const auto &t : screen.texts())
        if (t.x == x && t.y == y)
            found = &t;
    return found;
}
inline std::string textOf(const sim::Screen &screen, int x, int y) {
    const sim::ScreenText *t = textAt(screen, x, y);
    return t ? t->text : "(none)";
}

// The visible texts whose top lies in grid row r (y 107 + 36 r up to the next row), left to right.
inline Texts row(const sim::Screen &screen, int r) {
    std::vector<const sim::ScreenText *> in;
    for (const auto &t : screen.texts())
        if (t.y >= 107 + 36 * r && t.y < 143 + 36 * r)
            in.push_back(&t);
    std::stable_sort(in.begin(), in.end(), [](const auto *a, const auto *b) { return a->x < b->x; });
    Texts out;
    for (const auto *t : in)
        out.push_back(t->text);
    return out;
}

// Every visible text between top and bottom (screen y) is drawn whole: its full width fits
// between where it starts and its right limit, and it stays inside the window's frame (x 60..658)
// and, vertically, inside top..bottom.
inline void expectTextsFit(const sim::Screen &screen, int top, int bottom, const std::string &what) {
    for (const auto &t : screen.texts()) {
        if (t.y < top || t.y >= bottom)
            continue;
        int full = screen.textWidth(t.text, t.size);
        EXPECT_LE(t.left + full, t.maxX) << what << ": \"" << t.text << "\" at " << t.x << "," << t.y;
        EXPECT_GE(t.left, 60) << what << ": \"" << t.text << "\"";
        EXPECT_LE(t.maxX, 658) << what << ": \"" << t.text << "\"";
        EXPECT_LE(t.y + t.height, bottom) << what << ": \"" << t.text << "\"";
    }
}

}  // namespace views
