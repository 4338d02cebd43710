// Owner of the application frame's globals (see state.h) and the small helpers that refresh
// them from the firmware: clock, channel count, channel-count limit.
#include "frame/state.h"

#include "settings/settings.h"

// --- The clock and the channel ---
word rgn;
word time_mjd;
byte time_h;
byte time_min;
byte time_sec;
int _svcType;
int _svcNum;
int _maxSvcNum;
int tv_channel_count;

// --- Main states ---
int _epgShow;
byte menu;
byte help;
byte search_mode;
byte timer_mode;
byte keyboard_mode;
byte longinfo_mode;
byte timeline_mode;
dword mainState;
dword subState = SUBSTATE_Normal;

// --- Position in the views and lists ---
int cursor;
int ListOffset;
int cursor_store;
int ListOffset_store;
int svcNum_store;
int cursor_store2;
int ListOffset_store2;
int longinfo_site = 1;
int countdown;
dword countdown_tick;
word temp_mjd;
int temp_h;
int temp_min;
int curr_svcNum;

// --- Key repeat ---
dword lasttick;
byte Key_lastsec;
int Key_TimeCount;

// --- Refresh, scan and messages ---
byte scan_mode;
int autorefresh;
int last_epgscan;
byte freesize_msg;
byte MsgCountdown;
int search_start;

// --- Shared scratch ---
char _strBuf[STRBUF_SIZE];
char _strBuf2[STRBUF_SIZE];
PlatformChannelInfo chInfo;

void ReadClock(void)
{
    TAP_GetTime(&time_mjd, &time_h, &time_min, &time_sec);
}

void CountChannels(void)
{
    int tv = 0, radio = 0;
    TAP_Channel_GetTotalNum(&tv, &radio);
    _maxSvcNum = _svcType == SVC_TYPE_Tv ? tv : radio;
    tv_channel_count = tv;
}

int ApplyChannelLimit(void)
{
    if (_svcType != SVC_TYPE_Tv)
        return 0;
    int mode = settings.show_scanned_only;
    if ((mode == 1 || mode == 2) && _maxSvcNum >= settings.scan_max_channels) {
        _maxSvcNum = settings.scan_max_channels;
        return 1;
    }
    if ((mode == 3 || mode == 4) && _maxSvcNum >= settings.buffered_channels) {
        _maxSvcNum = settings.buffered_channels;
        return 1;
    }
    return 0;
}
