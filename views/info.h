// The selected event's texts beyond its row: the status bar (its short info in the foot line),
// the info bar (1 to 4 rows at the foot of the page, paged), the info window (the whole text over
// the page, paged), the info key that steps between them, and the chosen time that the views
// follow while timeline_mode is 1.
//
// longinfo_mode says what is open (0 nothing, 1 the bar, 2 the window); longinfo_site is the page
// of the text asked for, from 1; once the last page is on screen the bar sets it to 0 and the
// window to -2, so the next info key knows to close. Long texts break at '~' and '|' (the
// separators of title, short info and long info, and the line breaks of the long info).
// Example:
//   longinfo_mode = 2; longinfo_site = 1;
//   ExtendedInfoWindow(SVC_TYPE_Tv, 3, 3, 7);   // the window for event 7 of channel 3, page 1
#ifndef DIRO_VIEWS_INFO_H
#define DIRO_VIEWS_INFO_H

enum {
    INFO_BAR_SETTINGS = 5,   // settings.info_bar_lines 0..4
    INFO_METHODS = 5         // settings.info_open_method 0..4
};

extern unsigned char blocked_lines;   // selectable rows of the page covered by the info bar; 0 none
extern const char *dct;               // decoded text of the event the status bar showed last ("" none)

// 1 when the info bar shows (longinfo_mode 1, or settings.info_open_method 3 or 4, which keep it
// open); sets blocked_lines for it, or to 0 when it does not show.
int InfoBarShown(void);

// The short info of event `event` of buffer slot `slot` in the foot line (60, 470, 598 x 33); a
// text wider than 585 pixels is drawn one font size smaller. Changes dct, _strBuf.
void StatusBar(int slot, int event);

// Sets blocked_lines from settings.info_bar_lines; with row at or below the bar's first row
// (10 - blocked_lines) draws the bar with the event's short and long info, the page longinfo_site,
// and "»" while more pages follow. Returns 1 when it drew (the caller stops drawing rows), 0
// otherwise, and always 0 for a negative slot. Changes blocked_lines, longinfo_site (0 on the
// last page), dctstr.
int ExtendedInfoBar(int slot, int event, int row);

// The info window of event `event` of buffer slot `slot` (channel `channel` of service type
// `svcType`): channel and date in the title box, title, short and long info over the page, paged
// by longinfo_site, "»" while more pages follow; "no EPG info" when the event has no text.
// Changes longinfo_site (-2 on the last page), dctstr, _strBuf, chInfo, ev_month/ev_day/ev_weekDay.
void ExtendedInfoWindow(int svcType, int channel, int slot, int event);

// Leaves the info window (with settings.info_open_method 0 also the bar): to the bar when the
// method keeps one (3 and 4, and 2 with keep 1), else to no info. Nothing while the window is not
// open, unless the method is 0. Changes longinfo_mode, blocked_lines.
void CloseInfoWin(int keep);

// The info key in the views and result lists: opens the bar or the window, pages on, and after
// the last page closes or falls back as settings.info_open_method says; then redraws.
// Changes longinfo_mode, longinfo_site, blocked_lines, and the position (cursor, ListOffset,
// _svcNum and the stored copies) where the bar pushes the selection up.
void Info_Key(void);

// << (step -1), >> and blue (step 1) in the open info: the page before or after the one on
// screen. On the last page the window stays there and the bar starts again at page 1.
// Changes longinfo_site; the caller redraws.
void Info_Page(int step);

// Moves the chosen time by step minutes from its quarter hour (step non-zero), or sets it from
// the selection (step 0). Changes temp_mjd, temp_h, temp_min.
void TempTime(int step);

#endif
