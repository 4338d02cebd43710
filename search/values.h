// Stepping a numeric menu value within its bounds, and the number under which a channel is
// shown. Used by the settings menu, the editors, the views and the lists. Leans on
// settings/settings.h (settings.lcn_support) and the firmware's channel information.
#ifndef DIRO_SEARCH_VALUES_H
#define DIRO_SEARCH_VALUES_H

// What EditValue does with a value that leaves its bounds.
enum {
    EDIT_WRAP = 0,          // below the minimum to the maximum, above the maximum to the minimum
    EDIT_STOP_AT_MIN = 1,   // stops at the minimum, wraps above the maximum to the minimum
    EDIT_STOP_AT_MAX = 2,   // wraps below the minimum to the maximum, stops at the maximum
    EDIT_STOP = 3           // stops at both ends
};

// Returns value + step when row is the selected row and step is not 0, brought back into
// minimum..maximum as kind says (any other kind wraps like EDIT_WRAP); otherwise value unchanged
// (also when minimum > maximum).
int EditValue(int row, int selected_row, int kind, int step, int value, int minimum, int maximum);

// The number shown for channel svc_num (from 0) of service type svc_type: its logical channel
// number when settings.lcn_support is 1 and the receiver knows the channel, else svc_num + 1.
int LCN(int svc_type, int svc_num);

#endif
