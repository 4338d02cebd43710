// Timer names: the name of a timer is the file name of its recording. The program appends a date
// or time suffix so that recordings of a repeated title do not overwrite each other, recognises
// its own suffixes again so that it never stacks two, writes start and end into the names of
// combined timers, and renews the dates in all names when repeating timers move on.
// Leans on timers/table (the slots, the time arithmetic) and the firmware's date calls.
//
// Suffix styles (settings.rec_name_manual, settings.rec_name_auto; 200 for combined timers), the
// name cut to a length before the suffix is appended so that it ends at 40 characters:
//   0 none   1 _YYYYMMDD   2 _HHMM   3 _YYYYMMDD_HHMM   4 _#   5 _YY-MM-DD   6 _DD.MM.YY
//   7 _DD.MM.   8 _MM-DD   200 +HHMM-HHMM (start, end), or _DD.MM.+HHMM-HHMM when the old name
//   carried a date.
#ifndef DIRO_TIMERS_NAMES_H
#define DIRO_TIMERS_NAMES_H

enum {
    NAME_STYLE_NONE = 0,
    NAME_STYLE_LAST = 8,
    NAME_STYLE_COMBINED = 200
};

// Applies a style to the name of a slot (0..75) in place: a trailing ".rec" and at most one old
// suffix are removed, the new suffix appended, the name cut to 40 characters (".rec" is added
// again when the timer is set). Slots outside 0..75, styles below 1 and above 8 other than 200
// leave the name unchanged. Reads the slot's start and duration.
void Replace_TimerName(int slot, int style);
// After an edit of a combined timer: a name ending in +HHMM-HHMM (with or without ".rec") gets
// the slot's current start and end (style 200); any other name stays.
void Replace_CombiName(int slot);
// 1 when the name ends in ".rec" in any case.
int TimerName_EndsInRec(const char *name);
// The ending of a name the program sets: unless it ends in ".rec" (any case) the name is cut to
// 40 characters and ".rec" appended. name must hold 45 bytes.
void TimerName_AddRec(char *name);
// Re-reads the table and renews the date in the names of every timer whose name carries a date
// suffix of the styles 1, 3, 5, 6, 7, 8 or 200, writing back those that changed
// (TAP_Timer_Modify). Changes the copy, slot 71 and timerlisthelp (0 after a change).
void Timer_ChangeDate(void);
// The minute duty of the idle chain: Timer_ChangeDate once in every new minute while
// settings.timer_name_date_replace is 1 and neither a timer editor nor the keyboard is open
// (they hold the new-timer slot).
void Timer_ChangeDate_Minute(void);

#endif
