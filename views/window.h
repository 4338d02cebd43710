// The full-screen window's region handling: clearing the screen and telling other plug-ins
// that the window closed. Leans on frame/state (the region) and settings/.
#ifndef DIRO_VIEWS_WINDOW_H
#define DIRO_VIEWS_WINDOW_H

// Deletes the region, creates it anew, fills it transparent and syncs: the screen is clear.
// Changes rgn.
void cls(void);

// cls, then tells the WSS Guard plug-in that the window closed (settings.wssguard_support 1).
void cls_wss(void);

// Draws the window frame and the view in force: type 1 opens the window, 11 opens it without
// telling other plug-ins, 0 redraws at the saved positions, other values redraw.
void DrawEPG(int type);

// Draws the event list: mode 1 first drawing of a channel, 0 redraw at the current position,
// 2 the periodic refresh.
void DrawEventBuf(int mode);

// The once-a-second duty of the open window: its clock, periodic redraws and the time bar.
void DrawTime(void);

#endif
