// Screen clearing for the window (see window.h).
#include "views/window.h"

#include "frame/platform/tap.h"
#include "frame/state.h"
#include "settings/settings.h"

enum { WSS_WINDOW_CLOSED = 0x20002 };

void cls(void)
{
    TAP_Osd_Delete(rgn);
    int handle = TAP_Osd_Create(0, 0, OSD_WIDTH, OSD_HEIGHT, 0, 0);
    if (handle >= 0)
        rgn = (word)handle;
    TAP_Osd_FillBox(rgn, 0, 0, OSD_WIDTH, OSD_HEIGHT, COLOR_None);
    TAP_Osd_Sync();
}

void cls_wss(void)
{
    cls();
    if (settings.wssguard_support == 1)
        TAP_GenerateEvent(EVT_KEY, WSS_WINDOW_CLOSED, 0);
}

// Placeholder until the window is drawn
void DrawEPG(int type) {}
void DrawEventBuf(int mode) {}
void DrawTime(void) {}
