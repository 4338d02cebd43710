// Event lookup and the pieces of an event text (see lookup.h). Leans on epgdb/buffer and the
// clock copies of frame/state.
#include "epgdb/lookup.h"

#include <string.h>

#include "epgdb/buffer.h"
#include "frame/state.h"

static const char SHORT_INFO_SEPARATOR[] = " ~ ";
enum { SHORT_INFO_SEPARATOR_LEN = 3, MJD_WEEKDAY_OFFSET = 5 };

const char weekDay_name[WEEKDAY_LANGUAGES][WEEKDAYS][WEEKDAY_NAME_SIZE] = {
    {"Mo", "Tu", "We", "Th", "Fr", "Sa", "Su"},
    {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"},
    {"Ma", "Ti", "Ke", "To", "Pe", "La", "Su"},
};

// --- Lookup ---

int FindEvent(int slot, int mjd, int hour, int minute)
{
    slot = BufferSlot(_svcType, slot);
    int count = max_Event[slot];
    if (count <= 0)
        return 0;
    if (count > EVENTS_PER_SLOT)
        count = EVENTS_PER_SLOT;
    int t = mjd * MINUTES_PER_DAY_EPG + hour * 60 + minute;
    const EpgEvent *rec = &EPG_Buffer[slot * EVENTS_PER_SLOT];
    int candidate = 0;
    int stop = 0;
    while (stop < EVENTS_PER_SLOT && EpgStartInMin(&rec[stop]) <= t) {
        candidate = stop;
        stop++;
    }
    if (stop <= count - 1)
        return candidate;
    const EpgEvent *last = &rec[count - 1];
    if (t < EpgStartInMin(last) + EpgDurInMin(last))
        return count - 1;
    return candidate;
}

int FindCurrentEvent(int slot)
{
    int used = BufferSlot(_svcType, slot);
    int found = FindEvent(used, time_mjd, time_h, time_min);
    currEvent[used] = found;
    return found;
}

int WeekDay(int mjd)
{
    int d = (mjd - MJD_WEEKDAY_OFFSET) % WEEKDAYS;
    return d < 0 ? d + WEEKDAYS : d;
}

// --- Text pieces ---

void RemInfo(char *text)
{
    if (text == NULL)
        return;
    char *cut = strstr(text, SHORT_INFO_SEPARATOR);
    if (cut == NULL)
        cut = strchr(text, '|');
    if (cut != NULL)
        *cut = 0;
}

void RemLongInfo(char *text)
{
    if (text == NULL)
        return;
    char *cut = strchr(text, '|');
    if (cut != NULL)
        *cut = 0;
}

// Copies the string src up to its first '|' (or its end), at most size - 1 bytes, and terminates
// dst. The C library finds the '|' (or the NUL before it) and copies.
static void copy_to_bar(char *dst, const char *src, int size)
{
    const char *bar = strchr(src, '|');
    size_t n = bar != NULL ? (size_t)(bar - src) : strlen(src);
    size_t room = size > 1 ? (size_t)(size - 1) : 0;
    if (n > room)
        n = room;
    memmove(dst, src, n);
    dst[n] = 0;
}

char *InfoOnly(char *dst, const char *text, int size, int no_title)
{
    if (dst == NULL || size <= 0)
        return NULL;
    dst[0] = 0;
    if (text == NULL)
        return dst;
    const char *sep = strstr(text, SHORT_INFO_SEPARATOR);
    if (sep != NULL)
        copy_to_bar(dst, sep + SHORT_INFO_SEPARATOR_LEN, size);
    else if (no_title != 1)
        copy_to_bar(dst, text, size);
    return dst;
}

const char *LongInfo(const char *text)
{
    if (text == NULL)
        return "";
    const char *bar = strchr(text, '|');
    return bar != NULL ? bar + 1 : "";
}

const char *AllInfo(const char *text)
{
    if (text == NULL)
        return "";
    const char *tilde = strchr(text, '~');
    if (tilde != NULL)
        return tilde + 1;
    const char *bar = strchr(text, '|');
    return bar != NULL ? bar + 1 : "";
}
