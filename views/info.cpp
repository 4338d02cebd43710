// Info displays and the chosen time (see info.h). The status bar, info bar and info window are
// placeholders for now; TempTime is complete. Leans on frame/state (view state, clock), epgdb/
// (records, lookup) and timers/table (TimeRevision).
#include "views/info.h"

#include "epgdb/buffer.h"
#include "epgdb/lookup.h"
#include "frame/state.h"
#include "settings/settings.h"
#include "timers/table.h"

enum {
    CHOSEN_TIME_STEP = 15,   // the chosen time stands on quarter hours
    NOW_VIEW_PRIME = 4       // Now views 4..6 show prime time (settings.now_next_mode 0)
};

unsigned char blocked_lines;

void StatusBar(int slot, int event) {}

int ExtendedInfoBar(int slot, int event, int row)
{
    return 0;
}

void ExtendedInfoWindow(int svcType, int channel, int slot, int event) {}

void CloseInfoWin(int keep) {}

void Info_Key(void) {}

// The chosen time from the start of a record, when the slot holds it. Returns 1 when it did.
static int chosen_from_record(int slot, int index)
{
    if (slot < 0 || slot >= BUFFER_SLOTS || index < 0 || index >= EVENTS_PER_SLOT || index >= max_Event[slot])
        return 0;
    const EpgEvent *ev = EpgRecord(slot, index);
    if (ev == 0)
        return 0;
    temp_mjd = ev->start_mjd;
    temp_h = ev->start_hour;
    temp_min = ev->start_min - ev->start_min % CHOSEN_TIME_STEP;
    return 1;
}

static void chosen_from_now(void)
{
    temp_mjd = time_mjd;
    temp_h = time_h;
    temp_min = time_min - time_min % CHOSEN_TIME_STEP;
}

// step non-zero: the chosen time goes to its quarter hour and then step minutes on (or back).
// step 0, only while neither timeline_mode nor search_mode is set: the chosen time follows the
// selection: the selected event's start in the Normal view (the present when the row is empty),
// the present in Now view 1, the start of the shown following event in the "next" views (the
// present when the buffer does not hold it), prime time of today + (view - 4) days in the
// prime-time views; minutes go down to the quarter hour except for prime time.
// Changes temp_mjd, temp_h, temp_min (and currEvent of the selected channel's slot in the "next"
// views).
void TempTime(int step)
{
    if (step != 0) {
        temp_min = temp_min - temp_min % CHOSEN_TIME_STEP + step;
        TimeRevision(&temp_mjd, &temp_h, &temp_min);
        return;
    }
    if (timeline_mode != 0 || search_mode != 0)
        return;
    int view = settings.view;
    if (view <= 0) {
        if (!chosen_from_record(BufferSlot(_svcType, _svcNum), ListOffset + cursor))
            chosen_from_now();
    } else if (view == 1) {
        chosen_from_now();
    } else if (view < NOW_VIEW_PRIME || settings.now_next_mode == 1) {
        int slot = BufferSlot(_svcType, _svcNum + cursor);
        if (!chosen_from_record(slot, FindCurrentEvent(slot) + view - 1))
            chosen_from_now();
    } else {
        temp_mjd = (word)(time_mjd + view - NOW_VIEW_PRIME);
        temp_h = settings.prime_time / 60;
        temp_min = settings.prime_time % 60;
    }
    TimeRevision(&temp_mjd, &temp_h, &temp_min);
}
