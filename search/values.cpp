// Value stepping and channel numbers (see values.h). Leans on settings/settings.h and the
// firmware's channel information (frame/platform/tap.h).
#include "search/values.h"

#include <string.h>

#include "frame/platform/tap.h"
#include "settings/settings.h"

int EditValue(int row, int selected_row, int kind, int step, int value, int minimum, int maximum)
{
    if (step == 0 || row != selected_row || minimum > maximum)
        return value;
    long long next = (long long)value + step;
    if (next < minimum)
        return kind == EDIT_STOP_AT_MIN || kind == EDIT_STOP ? minimum : maximum;
    if (next > maximum)
        return kind == EDIT_STOP_AT_MAX || kind == EDIT_STOP ? maximum : minimum;
    return (int)next;
}

int LCN(int svc_type, int svc_num)
{
    if (settings.lcn_support == 1) {
        // A record of our own: callers often hold the channel they are drawing in chInfo.
        PlatformChannelInfo info;
        memset(&info, 0, sizeof info);
        if (TAP_Channel_GetInfo(svc_type, svc_num, &info))
            return info.lcn;
    }
    return svc_num + 1;
}
