// The full-screen window's region handling: clearing the screen and telling other plug-ins
// that the window closed. Leans on frame/state (the region) and settings/.
#ifndef DIRO_VIEWS_WINDOW_H
#define DIRO_VIEWS_WINDOW_H

// Deletes the region, creates it anew, fills it transparent and syncs: the screen is clear.
// Changes rgn.
void cls(void);

// cls, then tells the WSS Guard plug-in that the window closed (settings.wssguard_support 1).
void cls_wss(void);

#endif
