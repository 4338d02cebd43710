// The colour globals every drawing uses (32-bit ARGB, 0 transparent) and the colour schemes that
// fill them: twelve built-in schemes and the user scheme stored as 15-bit colours in the settings
// record (settings.user_colors). Leans on settings/settings.h.
#ifndef DIRO_SETTINGS_COLORS_H
#define DIRO_SETTINGS_COLORS_H

#include "frame/platform/tap.h"

enum {
    COLOR_SCHEME_COUNT = 12,       // built-in schemes 0..11
    COLOR_SCHEME_USER = -1,        // the user colours of the settings record
    COLOR_SCHEME_USER_RESET = -101 // request: apply the user colours, repairing them first
};

extern dword font_title;           // title texts
extern dword titlebox_color;       // title boxes and message boxes
extern dword font_red;             // warnings and error texts
extern dword font1_color;          // normal text on box1_color (the selected row)
extern dword font2_color;          // normal text on box2_color and the status bar
extern dword font_gray;            // inactive texts
extern dword font_boxselected;     // the running event in the selected row
extern dword font_selected_color;  // the running event in other rows
extern dword font_extradark;
extern dword box1_color;           // the selected row
extern dword box2_color;           // the other rows
extern dword box_shadow;           // window shadows
extern dword fineline_color;       // grid lines
extern dword timeline_background;  // inside of the time bar
extern dword statusbox_color;      // status bar

// Applies settings.color_scheme: a built-in scheme, or the user colours (-1; -101 becomes -1).
// Out-of-range user words are repaired first; grid lines off make fineline_color the box colour.
// A scheme number outside these leaves the colours as they are.
void Set_Colors(void);

// The ARGB colour of a 15-bit user colour (red bits 0-4, green 5-9, blue 10-14).
dword UserColorToArgb(int value15);

#endif
