// The extra clock over the TV picture (see extraclock.h). While the short key window after a key
// (`countdown`) is open nothing is drawn, so the clock does not cover the firmware's own banners.
#include "views/extraclock.h"

#include <stdio.h>

#include "epgdb/buffer.h"
#include "epgdb/fill.h"
#include "epgdb/lookup.h"
#include "frame/idle.h"
#include "frame/state.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "views/window.h"

enum {
    CLOCK_TEXT_COLOR = 0xFFC8D8E4,
    CLOCK_LINE_H = 26,              // the clock line; the bar sits below it
    CLOCK_BAR_EVERY_SECONDS = 10,   // the bar is redrawn every 10 seconds and right after a key
    KEY_MARK_SECOND = 60            // last_sec above this: a key came in since the last second
};

// 1 for the modes that show seconds.
static int with_seconds(int mode)
{
    return mode == 1 || mode == 2 || mode == 5;
}

// The bar of the running programme of the tuned channel, below the clock.
static void draw_bar(int after_key)
{
    int x = settings.clock_x, y = settings.clock_y + CLOCK_LINE_H;
    int type = settings.clock_timebar + 4;   // the bar types with text
    if (_svcType == SVC_TYPE_Tv && _svcNum < BUFFER_SLOTS_TV && _svcNum < settings.buffered_channels) {
        FindCurrentEvent(_svcNum);
        TimeBar(_svcNum, currEvent[_svcNum], type, x, y, box2_color, font2_color);
        return;
    }
    // Radio and unbuffered channels live in the scratch slot, refilled now and then.
    if (!after_key)
        FillBuffer(_svcType, _svcNum);
    FindCurrentEvent(_svcNum);
    TimeBar(_svcNum, currEvent[SLOT_SCRATCH], type, x, y, box2_color, font2_color);
}

void ExtraClock(void)
{
    if (time_sec == last_sec || _epgShow != 0 || MsgCountdown != 0)
        return;
    if (countdown > 0) {   // the key window (counted down by the idle duties) keeps the clock off
        last_sec = time_sec;
        return;
    }
    TAP_Channel_GetCurrent(&_svcType, &_svcNum);
    if (settings.tv_only == 1 && _svcType != SVC_TYPE_Tv)
        return;

    int after_key = last_sec > KEY_MARK_SECOND;
    int with_bar = settings.clock_timebar > 0;
    if (with_bar && (last_sec % CLOCK_BAR_EVERY_SECONDS == 0 ||
                     (after_key && _svcType == SVC_TYPE_Tv && _svcNum < BUFFER_SLOTS_TV)))
        draw_bar(after_key);

    char text[16];
    int x = settings.clock_x, y = settings.clock_y;
    if (with_seconds(settings.clock_button)) {
        snprintf(text, sizeof text, " %02d:%02d:%02d", time_h, time_min, time_sec);
        TAP_Osd_FillBox(rgn, x, y, 4, CLOCK_LINE_H, timeline_background);
        TAP_Osd_PutString(rgn, x + 4, y, x + 100, text, CLOCK_TEXT_COLOR, timeline_background, FNT_Type_Default,
                          FNT_Size_1926, 0);
    } else if (with_bar) {
        snprintf(text, sizeof text, " %02d:%02d", time_h, time_min);
        TAP_Osd_FillBox(rgn, x, y, 18, CLOCK_LINE_H, timeline_background);
        TAP_Osd_FillBox(rgn, x + 82, y, 18, CLOCK_LINE_H, timeline_background);
        TAP_Osd_PutString(rgn, x + 17, y, x + 83, text, CLOCK_TEXT_COLOR, timeline_background, FNT_Type_Default,
                          FNT_Size_1926, 0);
    } else {
        snprintf(text, sizeof text, " %02d:%02d", time_h, time_min);
        TAP_Osd_PutString(rgn, x, y, x + 66, text, CLOCK_TEXT_COLOR, timeline_background, FNT_Type_Default,
                          FNT_Size_1926, 0);
    }
    last_sec = time_sec;
    // Synced only when something was drawn: most idle events come between two seconds.
    TAP_Osd_Sync();
}
