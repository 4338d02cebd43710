// The selected event's texts: status bar, info bar, info window, and the chosen time that the
// views follow while timeline_mode is 1. For now the info displays are placeholders.
#ifndef DIRO_VIEWS_INFO_H
#define DIRO_VIEWS_INFO_H

extern unsigned char blocked_lines;   // rows of the page covered by the info bar; 0 none

// The short info of an event of a buffer slot in the foot line.
void StatusBar(int slot, int event);
// Draws the info bar when row is one it covers: 1 when it drew (the caller stops drawing rows).
// A negative slot only sets blocked_lines.
int ExtendedInfoBar(int slot, int event, int row);
// The full info window for an event.
void ExtendedInfoWindow(int svcType, int channel, int slot, int event);
// Leaves the info window; keep 1 returns to the info bar where the method has one.
void CloseInfoWin(int keep);
// The info key in the views: steps through bar, window and pages.
void Info_Key(void);
// Moves the chosen time by step minutes from its quarter hour (step non-zero), or sets it from
// the selection (step 0). Changes temp_mjd, temp_h, temp_min.
void TempTime(int step);

#endif
