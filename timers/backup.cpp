// The timer list file and the timer backup (see backup.h): one routine writes both, a timer at a
// time through the shared text-file writer.
#include "timers/backup.h"

#include <string.h>

#include "export/channels.h"
#include "export/textfile.h"
#include "frame/platform/tap.h"
#include "frame/state.h"
#include "remote/reader.h"
#include "settings/settings.h"
#include "text/strutil.h"
#include "timers/names.h"
#include "timers/table.h"

enum {
    CHANNEL_NAME_LENGTH = 23,   // characters of a channel name in the list
    MODES = 5                   // "OT" .. "WD"
};

static const char *const mode_text[MODES] = {"OT", "ED", "WE", "WL", "WD"};

// The backup's last line: remote messages on, errors standing 5 seconds.
static const char backup_end[] = "Command.RemoteMsg:5\r\n";

// Writes one timer: three lines of the list, or the AddTimer line of the backup.
static void write_timer(TextFile *tf, int kind, int position, const TimerRecord *t)
{
    word year = 0;
    byte month = 0, day = 0, weekday = 0;
    TAP_ExtractMjd((word)(t->start >> 16), &year, &month, &day, &weekday);
    int hour = (int)(t->start >> 8 & 0xFF), minute = (int)(t->start & 0xFF);
    const char *type = t->svc_type == SVC_TYPE_Radio ? "Ra" : "TV";
    const char *mode = t->mode < MODES ? mode_text[t->mode] : "  ";
    const char *rec = t->is_rec == 1 ? "Rec" : "-P-";
    char name[TIMER_NAME_SIZE];
    strxcpy(name, t->name, TIMER_NAME_KEPT);

    if (kind == TIMER_FILE_LIST) {
        char channel[CHANNEL_NAME_LENGTH + 1];
        memset(&chInfo, 0, sizeof chInfo);
        if (!TAP_Channel_GetInfo(t->svc_type, t->svc_num, &chInfo))
            chInfo.name[0] = 0;
        ChannelNameOf(channel, &chInfo, CHANNEL_NAME_LENGTH);
        TextFile_Printf(tf, "%02d.Timer:%04d,%04d-%02d-%02d,%02d:%02d,%02d:%02d,%s,%s,%s,T%d;%s\r\n", position,
                        t->svc_num + 1, year, month, day, hour, minute, t->duration / 60, t->duration % 60, type,
                        mode, rec, t->tuner + 1, channel);
        TextFile_Printf(tf, "\"%s\"\r\n\r\n", name);
        return;
    }
    if (TimerName_EndsInRec(name))
        name[strlen(name) - 4] = 0;
    TextFile_Printf(tf, "Command.AddTimer:%04d,%04d-%02d-%02d,%02d:%02d,%02d:%02d,%s,%s,%s;%s\r\n", t->svc_num + 1,
                    year, month, day, hour, minute, t->duration / 60, t->duration % 60, type, mode, rec, name);
}

void Create_TimerList(int kind)
{
    if (kind != TIMER_FILE_LIST && kind != TIMER_FILE_BACKUP)
        return;
    ReadTimers();
    SortTimer(settings.timerlist_sort);
    if (kind == TIMER_FILE_BACKUP && max_Timers <= 0)
        return;
    TextFile tf;
    if (TextFile_Create(&tf, kind == TIMER_FILE_LIST ? TIMER_LIST_FILE_NAME : TIMER_BACKUP_FILE_NAME) != 0)
        return;
    for (int i = 0; i < max_Timers && i < TIMERS_MIRRORED; i++)
        write_timer(&tf, kind, i + 1, &TimerList[i].rec);
    if (kind == TIMER_FILE_BACKUP)
        TextFile_PutS(&tf, backup_end);
    TextFile_Close(&tf, ' ');
}
