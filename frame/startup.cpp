// Start-up and the two ends of the plug-in (see startup.h): the order of the start-up steps
// matters, since each file reader and the validation build on what the one before left in the
// settings record.
#include "frame/startup.h"

#include <stdio.h>

#include "epgdb/bufferfile.h"
#include "epgdb/fill.h"
#include "export/channels.h"
#include "export/export.h"
#include "frame/idle.h"
#include "frame/msgbox.h"
#include "frame/safefile.h"
#include "frame/state.h"
#include "remote/commands.h"
#include "remote/reader.h"
#include "search/entries.h"
#include "search/record.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "timers/backup.h"
#include "timers/names.h"
#include "views/window.h"

enum {
    MB_PER_GB = 1024,
    MINUTES_PER_DAY = 1440
};

void FormatFreeSizeMsg(dword free_mb)
{
    const char *format = LangText("There is %u MB free on the hard disk!", "Auf der Festplatte sind  %u MB  frei!",
                                  "Tallennustilaa vapaana  %u Mt !");
    snprintf(_strBuf2, STRBUF_SIZE, format, free_mb);
}

// Starts the automatic scan when the receiver is switched on inside the scan window on a TV
// channel that the scan visits. Returns 1 when the scan starts.
static int start_scan_if_due(void)
{
    int now = time_h * 60 + time_min;
    if (now < settings.scan_window_start - 1 || now > settings.scan_window_end)
        return 0;
    if (_svcType != SVC_TYPE_Tv || _svcNum >= settings.scan_max_channels || _svcNum >= BUFFER_SLOTS_TV ||
        _svcNum >= settings.buffered_channels)
        return 0;
    Start_Scan(time_mjd * MINUTES_PER_DAY + now);
    return 1;
}

// Shows the free-disk warning when the disk has less room than the setting asks for
// (a setting of 0 never warns).
static void warn_if_disk_full(void)
{
    dword free_mb = TAP_Hdd_FreeSize();
    if (free_mb >= (dword)settings.freesize_warn_gb * MB_PER_GB)
        return;
    if (settings.tv_only != 0 && _svcType != SVC_TYPE_Tv)
        return;
    FormatFreeSizeMsg(free_mb);
    DrawMsgBox(_strBuf2);
    freesize_msg = 1;
    MsgCountdown = FREESIZE_MSG_SECONDS;
}

// Every file the plug-in writes: a save that a power cut interrupted is finished (or its piece
// removed) before any of them is read.
static const char *const saved_files[] = {
    SETTINGS_FILE_NAME, BUFFER_FILE_NAME, SEARCH_FILE_NAME,
    TIMER_LIST_FILE_NAME, TIMER_BACKUP_FILE_NAME,
    EXPORT_HTML_NAME, EXPORT_CSV_NAME, TV_CHANNEL_LIST_NAME, RADIO_CHANNEL_LIST_NAME,
};
enum { SAVED_FILES = sizeof saved_files / sizeof saved_files[0] };

static void recover_saved_files(void)
{
    for (int i = 0; i < SAVED_FILES; i++)
        SafeFile_Recover(saved_files[i]);
}

void LoadSettingsAndBuffer(void)
{
    Clear_Settings();
    ReadSettingsFile();
    ReadBufferFile();
    Check_Settings();
    CheckChBuf();
    Set_Colors();
    Select_Language();
}

void SettleStartSettings(void)
{
    settings.word_228 = 0;
    if (settings.buffered_channels < settings.scan_max_channels)
        settings.scan_max_channels = settings.buffered_channels;
    if (settings.timer_name_date_replace == 1)
        Timer_ChangeDate();
    ApplyChannelLimit();
}

extern "C" int TAP_Main(void)
{
    int handle = TAP_Osd_Create(0, 0, OSD_WIDTH, OSD_HEIGHT, 0, 0);
    rgn = handle >= 0 ? (word)handle : 0;

    ReadClock();
    TAP_Channel_GetCurrent(&_svcType, &_svcNum);
    CountChannels();

    recover_saved_files();
    LoadSettingsAndBuffer();
    ReadSearchINI();
    ReadCommandINI();
    SettleStartSettings();
    if (settings.auto_record_by_search == 2 || settings.auto_record_by_search == 3) {
        SearchAndRecord(1);
        cls();
    }

    if (start_scan_if_due())
        return 1;
    time_sec = 0;
    warn_if_disk_full();
    if (settings.interest_msg > 0 && scan_mode == 0 && _svcType == SVC_TYPE_Tv)
        search_start = START_SEARCH_DUE;
    TAP_Osd_Sync();
    return 1;
}

// --- The ends of the plug-in ---

// Frees the firmware's last event array, clears the screen and gives it back, and asks the
// firmware to unload the plug-in once the current event returns.
static void end_plugin(void)
{
    if (_evtInfo) {
        TAP_MemFree(_evtInfo);
        _evtInfo = 0;
        _eventNum = 0;
    }
    cls_wss();
    TAP_EnterNormal();
    TAP_Exit();
}

void Stop_Exit(void)
{
    _epgShow = -1;
    if (menu == 2)
        SaveSettingsFile();
    SaveBufferFile();
    end_plugin();
}

void Delete_Files_Exit(void)
{
    _epgShow = -1;
    SafeFile_Delete(BUFFER_FILE_NAME);
    SafeFile_Delete(SETTINGS_FILE_NAME);
    end_plugin();
}
