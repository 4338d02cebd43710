// The remote commands (see commands.h): the table of command words, the commands that are no
// timers, the message mode and the messages of remote use.
#include "remote/commands.h"

#include <stdio.h>
#include <string.h>

#include "export/channels.h"
#include "export/export.h"
#include "frame/msgbox.h"
#include "frame/platform/tap.h"
#include "frame/state.h"
#include "remote/timerline.h"
#include "search/record.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "text/strutil.h"
#include "timers/backup.h"
#include "timers/table.h"
#include "views/window.h"

unsigned char RemoteMsg;
int RemoteMsgWait = REMOTE_WAIT_DEFAULT;
unsigned char create_TimerList;
unsigned char Command_found;
unsigned char restore_timerbackup;

// What a command word stands for; the timer lines are their kinds of timerline.h.
enum {
    CMD_ADD_TIMER = TIMER_LINE_ADD, CMD_DEL_TIMER = TIMER_LINE_DELETE, CMD_ADD_TIMER_EXT = TIMER_LINE_EXT,
    CMD_ADD_TIMER_BY_NAME = TIMER_LINE_BY_NAME, CMD_CHANNEL_LIST,
    CMD_TIMER_LIST, CMD_TIMER_BACKUP, CMD_DELETE_P_TIMERS, CMD_DELETE_REC_TIMERS, CMD_DELETE_ALL_TIMERS,
    CMD_EXPORT_CSV, CMD_EXPORT_HTML, CMD_RECORD_NOW, CMD_RECORD_ON, CMD_RECORD_OFF, CMD_RECORD_LEVEL,
    CMD_REMOTE_OFF, CMD_REMOTE_MINUTES, CMD_REMOTE_MSG, CMD_RESTORE_BACKUP
};

// The command words in the order they are tried, with the number of characters compared: a word
// that begins another ("...RemoteMode:" and "...RemoteMode:Off") comes after it.
static const struct {
    const char *word;
    int compared;
    int command;
} command_words[] = {
    {"Command.AddTimer:", 17, CMD_ADD_TIMER},
    {"Command.DelTimer:", 17, CMD_DEL_TIMER},
    {"Command.AddTimerExt:", 20, CMD_ADD_TIMER_EXT},
    {"Command.AddTimerByChName:", 25, CMD_ADD_TIMER_BY_NAME},
    {"Command.CreateChannelList", 25, CMD_CHANNEL_LIST},
    {"Command.CreateTimerList", 23, CMD_TIMER_LIST},
    {"Command.CreateTimerBackup", 25, CMD_TIMER_BACKUP},
    {"Command.Delete-P-Timers", 23, CMD_DELETE_P_TIMERS},
    {"Command.DeleteRecTimers", 23, CMD_DELETE_REC_TIMERS},
    {"Command.DeleteAllTimers", 23, CMD_DELETE_ALL_TIMERS},
    {"Command.ExportEpgCsv", 20, CMD_EXPORT_CSV},
    {"Command.ExportEpgHTML", 20, CMD_EXPORT_HTML},
    {"Command.RecordBySearchWordNow", 29, CMD_RECORD_NOW},
    {"Command.Set.RecordBySearchWord:On", 33, CMD_RECORD_ON},
    {"Command.Set.RecordBySearchWord:Off", 34, CMD_RECORD_OFF},
    {"Command.Set.RecordBySearchWord:", 31, CMD_RECORD_LEVEL},
    {"Command.Set.RemoteMode:Off", 26, CMD_REMOTE_OFF},
    {"Command.Set.RemoteMode:", 23, CMD_REMOTE_MINUTES},
    {"Command.RemoteMsg", 17, CMD_REMOTE_MSG},
    {"Command.RestoreTimerBackup", 26, CMD_RESTORE_BACKUP},
};
enum { COMMAND_WORDS = sizeof command_words / sizeof command_words[0] };

enum {
    RECORD_LEVEL_LENGTH = 32,      // "Command.Set.RecordBySearchWord:" and exactly one digit
    RECORD_LEVEL_COLUMN = 31,
    RECORD_LEVEL_MAX = 4,
    RECORD_BY_SEARCH_ON = 2,       // settings.auto_record_by_search of "...:On"
    REMOTE_MODE_COLUMN = 23,
    REMOTE_MODE_MAX = 120,         // minutes
    REMOTE_MSG_COLUMN = 18,
    REMOTE_MSG_VALUE_MAX = 99,
    DELETE_P_TIMERS = 0,           // DelAllTimers kinds
    DELETE_REC_TIMERS = 1,
    DELETE_ALL_TIMERS = 2,
    NUMBER_TEXT_SIZE = 4,
    START_MESSAGE_TICKS = 200,     // the start message stands 2 seconds
    TICKS_PER_SECOND = 100,
    AFTER_MESSAGE_TICKS = 20,      // a pause after a remote box is cleared
    COMMAND_PREFIX = 8,            // "Command."
    REJECTED_EXCERPT = 40,         // characters of a rejected line in the summary
    REMOTE_TEXT_SIZE = 64
};

// The two-line remote box.
enum {
    REMOTE_BOX_X = 130, REMOTE_BOX_Y = 231, REMOTE_BOX_W = 460, REMOTE_BOX_H = 83,
    REMOTE_INNER_X = 138, REMOTE_INNER_Y = 239, REMOTE_INNER_W = 444, REMOTE_INNER_H = 65,
    REMOTE_TEXT_X = 138, REMOTE_TEXT_Y = 244, REMOTE_VALUE_Y = 274, REMOTE_TEXT_RIGHT = 582
};
static const dword REMOTE_BOX_COLOR = 0xFFC80000;

// Texts: English, German, Finnish.
static const char *const start_message[3] = {
    "Start Remote Commands! Please wait ...",
    "Starte Remote-Kommandos! Bitte warten ...",
    "Start Remote Commands. Odota ...",
};
static const char *const rejected_message[3] = {
    "Remote commands rejected: %d",
    "Abgelehnte Remote-Kommandos: %d",
    "Hyl\xE4tyt et\xE4komennot: %d",
};

// The lines rejected in the file being read.
static int rejected_count;
static char rejected_first[REJECTED_EXCERPT + 1];

// --- Messages of remote use ---

int RemoteErrorSeconds(void)
{
    return RemoteMsgWait >= 1 && RemoteMsgWait <= REMOTE_WAIT_NAME_MAX ? RemoteMsgWait : REMOTE_WAIT_FIXED;
}

void RemoteMessage(const char *text, const char *value, int wait_max)
{
    if (RemoteMsg != 1)
        return;
    char quoted[REMOTE_TEXT_SIZE];
    snprintf(quoted, sizeof quoted, "\"%s\"", value != NULL ? value : "");
    int seconds = RemoteMsgWait >= 1 && RemoteMsgWait <= wait_max ? RemoteMsgWait : REMOTE_WAIT_FIXED;
    cls();
    TAP_Osd_FillBox(rgn, REMOTE_BOX_X, REMOTE_BOX_Y, REMOTE_BOX_W, REMOTE_BOX_H, REMOTE_BOX_COLOR);
    TAP_Osd_FillBox(rgn, REMOTE_INNER_X, REMOTE_INNER_Y, REMOTE_INNER_W, REMOTE_INNER_H, titlebox_color);
    TAP_Osd_PutS(rgn, REMOTE_TEXT_X, REMOTE_TEXT_Y, REMOTE_TEXT_RIGHT, text, font_title, titlebox_color,
                 FNT_Type_Default, FNT_Size_1926, 0, ALIGN_CENTER);
    TAP_Osd_PutS(rgn, REMOTE_TEXT_X, REMOTE_VALUE_Y, REMOTE_TEXT_RIGHT, quoted, font_title, titlebox_color,
                 FNT_Type_Default, FNT_Size_1926, 0, ALIGN_CENTER);
    TAP_Osd_Sync();
    TAP_Delay((dword)seconds * TICKS_PER_SECOND);
    cls();
    TAP_Delay(AFTER_MESSAGE_TICKS);
}

void ClearRejectedCommands(void)
{
    rejected_count = 0;
    rejected_first[0] = 0;
}

void RejectCommand(const char *line, const char *why)
{
    TAP_Print("Dir'o ROD: remote command rejected (%s): %s\n", why, line);
    if (rejected_count == 0) {
        int skip = strnicmp_self(line, "Command.", COMMAND_PREFIX) == 0 ? COMMAND_PREFIX : 0;
        strxcpy(rejected_first, line + skip, REJECTED_EXCERPT);
    }
    rejected_count++;
}

int RejectedCommands(void)
{
    return rejected_count;
}

void ShowRejectedCommands(void)
{
    if (RemoteMsg != 1 || rejected_count == 0)
        return;
    char text[REMOTE_TEXT_SIZE];
    snprintf(text, sizeof text, LangText(rejected_message[0], rejected_message[1], rejected_message[2]),
             rejected_count);
    RemoteMessage(text, rejected_first, REMOTE_WAIT_NAME_MAX);
}

// --- Commands with values ---

// The number in line[column .. column + width), read as the command and search files read
// numbers (atoi_x: "3min" is 3); -1 when the line ends before the column.
static int value_at(const char *line, int column, int width)
{
    char text[NUMBER_TEXT_SIZE];
    if ((int)strlen(line) <= column || width < 1 || width >= NUMBER_TEXT_SIZE)
        return -1;
    strxcpy(text, line + column, width);
    return atoi_x(text, -1);
}

// "Command.RemoteMsg", optionally with the seconds a message stays: on with the start message,
// or off with 0.
static void remote_message_mode(const char *line)
{
    int len = (int)strlen(line);
    RemoteMsgWait = REMOTE_WAIT_DEFAULT;
    int value = len > REMOTE_MSG_COLUMN + 1 ? value_at(line, REMOTE_MSG_COLUMN, 2)
                : len == REMOTE_MSG_COLUMN + 1 ? value_at(line, REMOTE_MSG_COLUMN, 1)
                                               : -1;
    if (value >= 0 && value <= REMOTE_MSG_VALUE_MAX)
        RemoteMsgWait = value;
    if (RemoteMsg == 1 && RemoteMsgWait != 0)
        return;
    if (RemoteMsgWait == 0) {
        RemoteMsg = 0;
        return;
    }
    DrawMsgBox(LangText(start_message[0], start_message[1], start_message[2]));
    TAP_Osd_Sync();
    TAP_Delay(START_MESSAGE_TICKS);
    RemoteMsg = 1;
}

// "Command.Set.RecordBySearchWord:" and one digit 0..4, nothing after it.
static void record_level(const char *line)
{
    int level = (int)strlen(line) == RECORD_LEVEL_LENGTH ? value_at(line, RECORD_LEVEL_COLUMN, 1) : -1;
    if (level < 0 || level > RECORD_LEVEL_MAX) {
        RejectCommand(line, "the value is not one digit 0..4 at the end of the line");
        return;
    }
    settings.auto_record_by_search = level;
    SaveSettingsFile();
}

// "Command.Set.RemoteMode:" and the minutes 1..120 (1 digit in a line of 24 characters, 2 in
// one of 25, else 3: "3min" reads 3).
static void remote_mode_minutes(const char *line)
{
    int len = (int)strlen(line);
    int width = len == REMOTE_MODE_COLUMN + 1 ? 1 : len == REMOTE_MODE_COLUMN + 2 ? 2 : 3;
    int minutes = value_at(line, REMOTE_MODE_COLUMN, width);
    if (minutes < 1 || minutes > REMOTE_MODE_MAX) {
        RejectCommand(line, "the minutes are not 1..120");
        return;
    }
    settings.remote_mode = minutes;
    SaveSettingsFile();
}

// --- The parser ---

// Carries out one recognised command.
static void carry_out(int command, const char *line)
{
    switch (command) {
    case CMD_ADD_TIMER:
    case CMD_DEL_TIMER:
    case CMD_ADD_TIMER_EXT:
    case CMD_ADD_TIMER_BY_NAME:
        TimerCommand(command, line);
        break;
    case CMD_CHANNEL_LIST:
        Create_ChannelList();
        break;
    case CMD_TIMER_LIST:
        create_TimerList = 1;
        break;
    case CMD_TIMER_BACKUP:
        Create_TimerList(TIMER_FILE_BACKUP);
        break;
    case CMD_DELETE_P_TIMERS:
        DelAllTimers(DELETE_P_TIMERS);
        break;
    case CMD_DELETE_REC_TIMERS:
        DelAllTimers(DELETE_REC_TIMERS);
        break;
    case CMD_DELETE_ALL_TIMERS:
        DelAllTimers(DELETE_ALL_TIMERS);
        break;
    case CMD_EXPORT_CSV:
        ExportCSV(RemoteMsg);
        break;
    case CMD_EXPORT_HTML:
        ExportHTML(RemoteMsg);
        break;
    case CMD_RECORD_NOW:
        SearchAndRecord(RemoteMsg);
        break;
    case CMD_RECORD_ON:
        settings.auto_record_by_search = RECORD_BY_SEARCH_ON;
        SaveSettingsFile();
        SearchAndRecord(1);
        break;
    case CMD_RECORD_OFF:
        settings.auto_record_by_search = 0;
        SaveSettingsFile();
        break;
    case CMD_RECORD_LEVEL:
        record_level(line);
        break;
    case CMD_REMOTE_OFF:
        settings.remote_mode = 0;
        SaveSettingsFile();
        break;
    case CMD_REMOTE_MINUTES:
        remote_mode_minutes(line);
        break;
    case CMD_REMOTE_MSG:
        remote_message_mode(line);
        break;
    case CMD_RESTORE_BACKUP:
        restore_timerbackup = 1;
        TAP_Osd_Sync();
        break;
    default:
        break;
    }
}

int CheckCommands(const char *line)
{
    if (line == NULL)
        return 0;
    int len = (int)strlen(line);
    for (int i = 0; i < COMMAND_WORDS; i++) {
        int n = command_words[i].compared;
        if (len >= n && strnicmp_self(line, command_words[i].word, n) == 0) {
            Command_found = 1;
            carry_out(command_words[i].command, line);
            return 1;
        }
    }
    TAP_Osd_Sync();
    return 0;
}
