// Event lookup and the pieces of an event text: which record of a slot runs at a given time, the
// weekday of a date, and taking a decoded text apart into title, short info and long info.
// Leans on epgdb/buffer (records, slot rule) and frame/state (the clock, _svcType).
//
// A decoded event text reads: title, then " ~ " and the short info (when there is one that differs
// from the title), then '|' and the long info, in which every further '|' is a line break. So the
// first '|' always opens the long info. Example: "Film ~ Drama|L1|L2", "News|Headlines".
#ifndef DIRO_EPGDB_LOOKUP_H
#define DIRO_EPGDB_LOOKUP_H

enum {
    WEEKDAY_LANGUAGES = 3,   // English, German, Finnish
    WEEKDAYS = 7,
    WEEKDAY_NAME_SIZE = 3    // two letters and a NUL
};

// Weekday abbreviations, Monday first: [0] English, [1] German, [2] Finnish.
extern const char weekDay_name[WEEKDAY_LANGUAGES][WEEKDAYS][WEEKDAY_NAME_SIZE];

// The record of a slot that runs at the given time. The slot is replaced by the scratch slot (200)
// when it is 200 or more, at or above settings.buffered_channels, negative, or when _svcType is
// radio. Results: 0 for an empty slot or a time before the first record; the last record that
// starts at or before the time, where that lies inside the valid records; the last valid record
// while the time lies before its start + duration; otherwise an index at or above max_Event
// (after the last event: callers clamp it). The scan runs on into the records beyond the valid
// ones, which hold zeros or older events, exactly as the views expect.
int FindEvent(int slot, int mjd, int hour, int minute);

// FindEvent for now (time_mjd, time_h, time_min), stored in currEvent of the slot used.
// Returns that index. Changes currEvent.
int FindCurrentEvent(int slot);

// 0..6, Monday 0, of a Modified Julian Date.
int WeekDay(int mjd);

// Cuts text in place after the title: at the first " ~ ", or when there is none at the first '|'.
// A null text: nothing. The text must be writable (copy a plain stored text first).
void RemInfo(char *text);

// Cuts text in place at the first '|' (title and short info stay).
void RemLongInfo(char *text);

// The short info of text into dst (size bytes, always terminated when size > 0): the bytes after
// the first " ~ " up to the first '|' or the end. Without " ~ " and with no_title not 1, the
// title stands in: the text up to the first '|'. Otherwise, and for a null text, dst is empty.
// At most size - 1 bytes are copied. Returns dst (null when dst is null or size <= 0: nothing done).
char *InfoOnly(char *dst, const char *text, int size, int no_title);

// The long info: the part after the first '|', or "" (never null).
const char *LongInfo(const char *text);

// Short and long info: the part after the first '~' (it starts with the separator's space), else
// after the first '|', else "" (never null).
const char *AllInfo(const char *text);

#endif
