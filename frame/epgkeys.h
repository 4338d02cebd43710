// The two EPG buttons: the fixed table of 15 remote keys the user chooses from, the key codes the
// dispatch compares against, and the repair of an unusable first button. Leans on settings/.
#ifndef DIRO_FRAME_EPGKEYS_H
#define DIRO_FRAME_EPGKEYS_H

#include "frame/platform/tap.h"

enum {
    EPG_BUTTON_COUNT = 15,     // table entries 0..14
    EPG_BUTTON_GUIDE_STAR = 14,// "  Guide*": closes the views and opens the firmware's guide
    EPG_BUTTON_LABEL_SIZE = 11 // label bytes including the NUL
};

extern dword first_EPG_key;    // key code (65536 + key number) of the first EPG button
extern dword second_EPG_key;   // key code of the second EPG button; 0 none

// Writes the key code of table entry `index` into *key and its label (at most 10 bytes and a NUL)
// into label, taking the Finnish label when `language` is 15 and the RC2 keys when
// settings.rc2_support is 1. An index outside 0..14 gives entry 0 (no key, "     -").
// Either pointer may be null.
void Set_Button(dword *key, char *label, int index);

// Resets both buttons to Guide (entry 5) and OK (entry 8) when the first button's key is not one
// a user can sensibly open the guide with. Changes first_EPG_key, second_EPG_key and the two settings.
void Check_PrimButton(void);

#endif
