// The receiver's plug-in library as Dir'o ROD sees it: types, constants, key codes,
// the firmware's fixed records and every TAP_* entry the plug-in calls.
// The firmware's loader fills these entries in; on the PC the virtual receiver (sim/) does.
//
// Sections:
//   --- Basic types and the plug-in entry ---
//   --- Events, keys and states ---
//   --- Firmware records ---
//   --- Library entries ---
#ifndef DIRO_FRAME_PLATFORM_TAP_H
#define DIRO_FRAME_PLATFORM_TAP_H

#include <stddef.h>

// --- Basic types and the plug-in entry ---

typedef unsigned char byte;    // 8 bit
typedef unsigned short word;   // 16 bit
typedef unsigned int dword;    // 32 bit on every build (PC and receiver)

// The plug-in's two entries, handed to the firmware by __TAP_Init_.
typedef int (*TapMainFn)(void);
typedef dword (*TapEventHandlerFn)(dword event, dword param1, dword param2);
// One slot of the table __TAP_Init_ fills: slot 0 TAP_Main, slot 1 TAP_EventHandler.
typedef void (*TapEntryFn)(void);
enum { TAP_ENTRY_MAIN = 0, TAP_ENTRY_EVENT_HANDLER = 1, TAP_ENTRY_COUNT = 2 };

// Plug-in image sections the firmware reads before it starts a plug-in.
#define TAP_HEADER_MAGIC "PLUGMIPS"
enum {
    TAP_HEADER_SIZE = 32,        // "PLUGMIPS", the 32-bit word TAP_HEADER_VERSION, zeros
    TAP_HEADER_VERSION = 16,
    TAP_PROGRAM_NAME_SIZE = 64,
    TAP_AUTHOR_NAME_SIZE = 64,
    TAP_DESCRIPTION_SIZE = 128,
    TAP_ETCINFO_SIZE = 64
};

// --- Events, keys and states ---

// Low 16 bits of the event code handed to TAP_EventHandler.
enum { EVT_IDLE = 0x0000, EVT_KEY = 0x0100 };

// Remote-control keys: the firmware sends 65536 + key number.
enum {
    RKEY_0 = 0x10000, RKEY_1, RKEY_2, RKEY_3, RKEY_4, RKEY_5, RKEY_6, RKEY_7, RKEY_8, RKEY_9,
    RKEY_Recall = 0x1000B,
    RKEY_Mute = 0x1000C,
    RKEY_Uhf = 0x1000E,
    RKEY_Left = 0x1000F,       // "V-": steps values down
    RKEY_Sleep = 0x10010,      // the clock / prime-time key ("Opt" on the RC2 remote)
    RKEY_Up = 0x10012,
    RKEY_AudioTrk = 0x10013,
    RKEY_Info = 0x10014,
    RKEY_Right = 0x10015,      // "V+": steps values up
    RKEY_Guide = 0x10016,
    RKEY_Exit = 0x10017,
    RKEY_Radio = 0x10018,
    RKEY_Pause = 0x1001A,
    RKEY_Menu = 0x1001C,
    RKEY_Down = 0x1001D,
    RKEY_Ok = 0x1001E,
    RKEY_Subtitle = 0x10021,
    RKEY_TvSat = 0x10022,
    RKEY_Green = 0x10024,
    RKEY_Yellow = 0x10025,
    RKEY_Blue = 0x10026,
    RKEY_Teletext = 0x10037,
    RKEY_Rewind = 0x10038,     // <<
    RKEY_Play = 0x10039,
    RKEY_Forward = 0x1003A,    // >>
    RKEY_Slow = 0x1003B,       // |> : the search key
    RKEY_Stop = 0x1003C,
    RKEY_Record = 0x1003D,
    RKEY_Red = 0x1003F,
    RKEY_Sat = 0x10040,        // PipSwitch on the RC2 remote
    RKEY_Prev = 0x10041,       // |< : a quarter hour back
    RKEY_TimerList = 0x10042,
    RKEY_Next = 0x10043,       // >| : a quarter hour on
    RKEY_Help = 0x10049        // help and edit
};

// Firmware states read with TAP_GetState: keys belong to a plug-in only in STATE_Normal.
enum { STATE_Normal = 0 };
enum { SUBSTATE_Normal = 31 };   // normal viewing, no firmware menu open

// TAP_GetSystemVar variables.
enum { SYSVAR_OsdLan = 1 };
// OSD language values the plug-in distinguishes (8..11 are the Nordic languages).
enum { LAN_English = 0, LAN_German = 2, LAN_Finnish = 15 };

// Font sizes of the OSD text calls: line heights 19, 22 and 26 pixels.
enum { FNT_Size_1419 = 0, FNT_Size_1622 = 1, FNT_Size_1926 = 2 };
enum { FNT_Type_Default = 0 };
// Alignment of TAP_Osd_PutS inside x .. maxX.
enum { ALIGN_LEFT = 0, ALIGN_CENTER = 1, ALIGN_RIGHT = 2 };

// OSD geometry and colours: 32-bit ARGB, 0 is transparent.
enum { OSD_WIDTH = 720, OSD_HEIGHT = 576 };
#define COLOR_None 0u

// File attribute of a normal file for TAP_Hdd_Create.
enum { ATTR_NORMAL = 0xD0 };
// Origins for TAP_Hdd_Fseek.
enum { SEEK_FROM_START = 0, SEEK_FROM_CURRENT = 1, SEEK_FROM_END = 2 };

// Service types.
enum { SVC_TYPE_Tv = 0, SVC_TYPE_Radio = 1 };

// --- Firmware records ---
// Byte-exact and little-endian on every build; the sizes are checked below.

// A channel of the firmware's service list (TAP_Channel_GetInfo).
typedef struct {
    byte svc_type;            //  0: 0 TV, 1 radio
    byte reserved0;           //  1
    word svc_num;             //  2: service number from 0
    word video_pid;           //  4
    word audio_pid;           //  6
    word pcr_pid;             //  8
    word pmt_pid;             // 10
    byte tuner;               // 12
    byte flags;               // 13
    word reserved1;           // 14
    char name[24];            // 16: NUL-terminated channel name
    dword frequency;          // 40: kHz
    word transponder;         // 44: transponder number; channels sharing it share a multiplex
    word orig_network_id;     // 46
    word ts_id;               // 48
    word service_id;          // 50
    byte reserved2[16];       // 52
    word lcn;                 // 68: logical channel number
    byte reserved3[10];       // 70
} PlatformChannelInfo;

// An event of the firmware's EPG (TAP_GetEvent). Times are packed:
// (MJD << 16) | (hour << 8) | minute.
typedef struct {
    word event_id;            //   0
    word reserved0;           //   2
    dword start;              //   4: packed start
    dword end;                //   8: packed end
    word duration;            //  12: hours in the upper byte, minutes in the lower
    byte running_status;      //  14
    char title[128];          //  15: NUL-terminated
    char short_text[128];     // 143: NUL-terminated
    byte parental_rating;     // 271
    word svc_num;             // 272: the firmware's own bookkeeping
    byte svc_type;            // 274
    byte reserved1;           // 275
    word service_id;          // 276
    word reserved2;           // 278
} PlatformEvent;

// A recording timer of the firmware's timer table.
typedef struct {
    byte is_rec;              //   0: 1 recording timer, otherwise a "-P-" (wake-up) timer
    byte tuner;               //   1: 0 first, 1 second, 3 whichever is free
    byte svc_type;            //   2
    byte reserved0;           //   3
    word svc_num;             //   4
    byte mode;                //   6: 0 once, 1 daily, 2 weekend, 3 weekly, 4 weekdays
    byte name_fixed;          //   7
    word duration;            //   8: minutes
    byte unused0[2];          //  10
    dword start;              //  12: packed start
    char name[100];           //  16: recording file name
    byte unused1[28];         // 116
} TimerRecord;

// A running recording (TAP_Hdd_GetRecInfo).
typedef struct {
    byte rec_state;           //   0: 1 while the recording runs
    byte tuner;               //   1: 0 first, 1 second
    byte rec_type;            //   2: 0 by the record button, 1 by a timer
    byte svc_type;            //   3
    word svc_num;             //   4
    word duration;            //   6: minutes
    dword start;              //   8: packed start
    dword end;                //  12: packed end
    char file_name[100];      //  16
    byte reserved[32];        // 116
} PlatformRecInfo;

// The playback status (TAP_Hdd_GetPlayInfo).
typedef struct {
    byte play_mode;           //  0: 2 and 5 are playing
    byte trick_mode;          //  1
    byte speed;               //  2
    byte reserved0;           //  3
    dword total_block;        //  4
    dword current_block;      //  8
    dword duration;           // 12: minutes
    char file_name[100];      // 16
} PlatformPlayInfo;

// An open file of the plug-in's folder; opaque to the plug-in.
typedef struct TapFile TYPE_File;

#ifdef __cplusplus
static_assert(sizeof(byte) == 1 && sizeof(word) == 2 && sizeof(dword) == 4, "TAP base types");
static_assert(sizeof(PlatformChannelInfo) == 80, "PlatformChannelInfo is 80 bytes");
static_assert(offsetof(PlatformChannelInfo, name) == 16, "channel name at 16");
static_assert(offsetof(PlatformChannelInfo, transponder) == 44, "transponder at 44");
static_assert(offsetof(PlatformChannelInfo, service_id) == 50, "service id at 50");
static_assert(offsetof(PlatformChannelInfo, lcn) == 68, "logical channel number at 68");
static_assert(sizeof(PlatformEvent) == 280, "PlatformEvent is 280 bytes");
static_assert(offsetof(PlatformEvent, start) == 4 && offsetof(PlatformEvent, end) == 8, "event times");
static_assert(offsetof(PlatformEvent, duration) == 12, "event duration at 12");
static_assert(offsetof(PlatformEvent, title) == 15 && offsetof(PlatformEvent, short_text) == 143,
              "event texts at 15 and 143");
static_assert(sizeof(TimerRecord) == 144, "TimerRecord is 144 bytes");
static_assert(offsetof(TimerRecord, svc_num) == 4 && offsetof(TimerRecord, duration) == 8, "timer fields");
static_assert(offsetof(TimerRecord, start) == 12 && offsetof(TimerRecord, name) == 16, "timer start, name");
static_assert(sizeof(PlatformRecInfo) == 148, "PlatformRecInfo is 148 bytes");
static_assert(offsetof(PlatformRecInfo, tuner) == 1 && offsetof(PlatformRecInfo, svc_type) == 3, "recording tuner, type");
static_assert(offsetof(PlatformRecInfo, svc_num) == 4 && offsetof(PlatformRecInfo, start) == 8 &&
              offsetof(PlatformRecInfo, end) == 12, "recording fields");
#endif

// --- Library entries ---
// Results: unless said otherwise 0 is success and a non-zero value an error.

#ifdef __cplusplus
extern "C" {
#endif

// The plug-in's own entries (defined by the plug-in, called by the firmware).
int __TAP_Init_(TapEntryFn table[TAP_ENTRY_COUNT]);
int TAP_Main(void);
dword TAP_EventHandler(dword event, dword param1, dword param2);

// On-screen display. A region is a 720 x 576 (or smaller) ARGB plane; text is Latin-1.
int TAP_Osd_Create(dword x, dword y, dword w, dword h, byte lutIdx, int flag);  // handle, -1 on failure
int TAP_Osd_Delete(word rgn);
int TAP_Osd_FillBox(word rgn, dword x, dword y, dword w, dword h, dword color);
int TAP_Osd_DrawRectangle(word rgn, dword x, dword y, dword w, dword h, dword thick, dword color);
// Text at (x, y) (top of the line), clipped at maxX; the background only behind the text.
int TAP_Osd_PutString(word rgn, dword x, dword y, dword maxX, const char *str, dword fcolor, dword bcolor,
                      byte fntType, byte fntSize, byte nextLine);
// As TAP_Osd_PutString, drawn without flicker (the clock).
int TAP_Osd_PutStringAf(word rgn, dword x, dword y, dword maxX, const char *str, dword fcolor, dword bcolor,
                        byte fntType, byte fntSize, byte nextLine);
// Text aligned in x .. maxX; the background fills the whole line x .. maxX. bDot 1 ends a cut text in "...".
int TAP_Osd_PutS(word rgn, dword x, dword y, dword maxX, const char *str, dword fcolor, dword bcolor,
                 byte fntType, byte fntSize, byte bDot, byte align);
int TAP_Osd_GetW(const char *str, byte fntType, byte fntSize);  // width in pixels
void TAP_Osd_Sync(void);

// Firmware display and state.
void TAP_ExitNormal(void);    // hide the firmware's banners and menus
void TAP_EnterNormal(void);   // give the display back to the firmware
int TAP_GetState(dword *state, dword *subState);
int TAP_GenerateEvent(word evtCode, dword param1, dword param2);
int TAP_GetSystemVar(int varId);

// Files in the plug-in's folder.
TYPE_File *TAP_Hdd_Fopen(const char *name);      // null when missing
dword TAP_Hdd_Fread(void *buf, dword blksize, dword blk, TYPE_File *file);         // whole blocks read
dword TAP_Hdd_Fwrite(const void *buf, dword blksize, dword blk, TYPE_File *file);  // whole blocks written
void TAP_Hdd_Fclose(TYPE_File *file);
dword TAP_Hdd_Fseek(TYPE_File *file, long pos, int where);  // new position
dword TAP_Hdd_Ftell(TYPE_File *file);
dword TAP_Hdd_Flen(TYPE_File *file);
int TAP_Hdd_Exist(const char *name);             // 1 when the file exists
int TAP_Hdd_Delete(const char *name);
int TAP_Hdd_Rename(const char *oldName, const char *newName);  // 0 renamed
int TAP_Hdd_Create(const char *name, byte attr);
dword TAP_Hdd_FreeSize(void);                    // MB
int TAP_Hdd_GetRecInfo(byte recSlot, PlatformRecInfo *info);
int TAP_Hdd_GetPlayInfo(PlatformPlayInfo *info);

// Channels.
int TAP_Channel_GetTotalNum(int *nTvSvc, int *nRadioSvc);
int TAP_Channel_GetCurrent(int *svcType, int *svcNum);
int TAP_Channel_GetInfo(int svcType, int svcNum, PlatformChannelInfo *info);  // 1 found, 0 none
int TAP_Channel_Start(int mainSub, int svcType, int svcNum);

// The firmware's EPG. Both results are firmware heap blocks the caller frees with TAP_MemFree.
PlatformEvent *TAP_GetEvent(int svcType, int svcNum, int *eventNum);
byte *TAP_EPG_GetExtInfo(PlatformEvent *event);

// Timers. Add and Modify return 0, or -65536 + n for a collision with timer n, or another error.
int TAP_Timer_GetTotalNum(void);
int TAP_Timer_GetInfo(int entryNum, TimerRecord *info);  // 1 found, 0 none
int TAP_Timer_Add(TimerRecord *info);
int TAP_Timer_Modify(int entryNum, TimerRecord *info);
int TAP_Timer_Delete(int entryNum);                      // 1 deleted, 0 none

// Clock: Modified Julian Date, hour, minute, second; ticks of 10 ms since power-on.
int TAP_GetTime(word *mjd, byte *hour, byte *min, byte *sec);
word TAP_MakeMjd(word year, byte month, byte day);
int TAP_ExtractMjd(word mjd, word *year, byte *month, byte *day, byte *weekDay);  // weekday 0 Monday
dword TAP_GetTick(void);
void TAP_Delay(dword ticks);
void TAP_Sleep(dword ticks);

// Firmware heap.
void *TAP_MemAlloc(dword size);
int TAP_MemFree(const void *addr);
int TAP_MemInfo(dword *heapSize, dword *freeHeapSize, dword *availHeapSize);

// Output and ending.
void TAP_Print(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
// Unbounded like sprintf: the plug-in formats into its own buffers with snprintf instead.
void TAP_SPrint(char *s, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
void TAP_Exit(void);  // the plug-in is unloaded once its current call returns

#ifdef __cplusplus
}
#endif

#endif
