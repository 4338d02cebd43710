// The key table of the open views: what each key does in the Normal view, the Now view, the
// result lists, the settings menu, the search list and editor, the timer list and editor, and
// the path of the EPG buttons and of keys outside the table. The dispatch (frame/dispatch.cpp)
// decides that a key reaches the table; each view decides here what the key does and calls its
// drawing functions (views/, settings/menu, search/, timers/).
#ifndef DIRO_FRAME_KEYS_H
#define DIRO_FRAME_KEYS_H

#include "frame/platform/tap.h"

enum {
    SELECTABLE_ROWS = 10,      // rows 0..9 - blocked_lines can be selected; paging moves 10 - blocked_lines
    NOW_VIEW_LAST = 6,         // highest Now view without settings.now_next_mode
    NOW_VIEW_LAST_NEXT = 499   // highest Now view with settings.now_next_mode 1
};

// A key of 0x10000..0x10049 in the open views: handed to the view, list or editor in force
// (settings menu, timer editor, timer list, search list, search editor, result list, Now view,
// Normal view, in this order). Keys the view has no use for take the EPG-button path.
// Returns the key to pass on to the firmware (only Guide with the "Guide*" assignment), else 0.
dword Keys_View(dword key);

// The EPG-button path: Guide with the "Guide*" assignment opens the firmware's guide on the
// selected channel; an EPG button switches views or jumps to prime time as its setting says,
// or closes the views (the Red Button saves first); other keys do nothing.
// Returns RKEY_Guide when the firmware is to open its guide, else 0.
dword Keys_EpgButton(dword key);

// Closes the views: the screen is cleared and given back to the firmware. Changes _epgShow.
void Close_Views(void);

// The search list closes to the view it was opened from (|> in a view): the view's position,
// kept while the list and its results were open, goes back into the stores that DrawEPG(0)
// restores. Nothing when the list was not opened from a view. Changes svcNum_store,
// cursor_store, ListOffset_store.
void Keys_BackToViewPosition(void);

#endif
