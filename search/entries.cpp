// Owner of the search list (see entries.h): the entries and their operations, the word order,
// the search file writer and the parser of one entry line. The file reader that feeds the parser
// is remote/reader.cpp; the command parser it offers every line first is remote/commands.cpp.
//
// Sections:
//   --- Entries ---
//   --- Sorting ---
//   --- Writing the search file ---
//   --- Parsing one line ---
//   --- Reading ---
#include "search/entries.h"

#include <stdio.h>
#include <string.h>

#include "epgdb/lookup.h"
#include "frame/msgbox.h"
#include "frame/platform/tap.h"
#include "frame/safefile.h"
#include "remote/commands.h"
#include "remote/reader.h"
#include "settings/settings.h"
#include "text/strutil.h"
#include "timers/table.h"

SearchEntry Search[SEARCH_SLOTS];
int max_Search;

// --- Entries ---

static int list_index_ok(int index)
{
    return index >= 0 && index < max_Search && index < SEARCH_LIST_SIZE;
}

void SearchEntryDefaults(SearchEntry *entry)
{
    if (entry == NULL)
        return;
    entry->first_place = 1;
    entry->last_place = (uint8_t)settings.scan_max_channels;
    entry->mode = SEARCH_MODE_OFF;
    entry->lead_time = settings.rec_lead_time;
    entry->stop_add = settings.rec_stop_add;
    entry->window_start = 0;
    entry->window_end = 0;
    entry->weekdays = SEARCH_DAYS_ED;
}

// Copies one record into another, the word terminated whatever the source holds.
static void copy_entry(SearchEntry *to, const SearchEntry *from)
{
    if (to == from)
        return;
    memcpy(to, from, sizeof *to);
    to->word[SEARCH_WORD_MAX] = 0;
}

void CopySearch(int destination, int source)
{
    if (destination < 0 || destination >= SEARCH_SLOTS || source < 0 || source >= SEARCH_SLOTS)
        return;
    copy_entry(&Search[destination], &Search[source]);
}

void DeleteSearch(int index)
{
    if (!list_index_ok(index))
        return;
    for (int i = index; i + 1 < max_Search && i + 1 < SEARCH_LIST_SIZE; i++)
        copy_entry(&Search[i], &Search[i + 1]);
    max_Search--;
}

// Exchanges two list entries through a record of its own, so that the working entry (slot 200)
// survives sorting a full list.
static void exchange_entries(int a, int b)
{
    SearchEntry spare;
    copy_entry(&spare, &Search[a]);
    copy_entry(&Search[a], &Search[b]);
    copy_entry(&Search[b], &spare);
}

void SortManualSearch(int index, int direction)
{
    if (!list_index_ok(index) || (direction != 1 && direction != -1))
        return;
    int other = index + direction;
    if (!list_index_ok(other))
        return;
    exchange_entries(index, other);
}

// --- Sorting ---

enum {
    SORT_BY_WORD = 1, SORT_BY_MODE_UP = 2, SORT_BY_MODE_DOWN = 3,
    ORDER_AFTER = 1, ORDER_BEFORE = 2, ORDER_EQUAL = 0
};

// A word as CharCompare compares it: folded, lower case, at most 128 characters.
static void fold_word(char *dst, const char *src)
{
    ReplaceStrN(dst, src != NULL ? src : "", SEARCH_WORD_SIZE);
    strlwr_self(dst);
}

int CharCompare(const char *a, const char *b)
{
    char fa[SEARCH_WORD_SIZE + 1];
    char fb[SEARCH_WORD_SIZE + 1];
    fold_word(fa, a);
    fold_word(fb, b);
    for (int i = 0; i <= SEARCH_WORD_SIZE; i++) {
        signed char ca = (signed char)fa[i];
        signed char cb = (signed char)fb[i];
        if (ca != cb)
            return ca > cb ? ORDER_AFTER : ORDER_BEFORE;
        if (ca == 0)
            break;
    }
    return ORDER_EQUAL;
}

// Whether list entry a sorts strictly before entry b under the kind.
static int sorts_before(int a, int b, int kind)
{
    const SearchEntry *ea = &Search[a];
    const SearchEntry *eb = &Search[b];
    if (kind == SORT_BY_MODE_UP && ea->mode != eb->mode)
        return ea->mode < eb->mode;
    if (kind == SORT_BY_MODE_DOWN && ea->mode != eb->mode)
        return ea->mode > eb->mode;
    return CharCompare(ea->word, eb->word) == ORDER_BEFORE;
}

void SortSearch(int kind)
{
    if (kind != SORT_BY_WORD && kind != SORT_BY_MODE_UP && kind != SORT_BY_MODE_DOWN)
        return;
    int count = max_Search < SEARCH_LIST_SIZE ? max_Search : SEARCH_LIST_SIZE;
    for (int p = 0; p < count; p++) {
        int candidate = p;
        for (int q = p + 1; q < count; q++) {
            if (sorts_before(q, candidate, kind))
                candidate = q;
        }
        if (candidate != p)
            exchange_entries(p, candidate);
    }
}

// --- Writing the search file ---

enum {
    SAVE_BUF_SIZE = 8192,
    SAVE_FLUSH_AT = 8190,     // the collected text is written before it would pass this
    SAVE_LINE_SIZE = 256,     // one entry line: a word of 127 and its fields
    FILE_BLOCK = 512          // the file is padded with spaces to a multiple of this
};

static const char *const mode_token_names[SEARCH_MODES] = {"Off", "M", "P", "Rec", "1xRec"};

// The remote commands the file documents, each written after a line end.
static const char *const sample_commands[] = {
    ";Command.AddTimer:0001,2005-01-31,20:15,01:30,TV,OT,Rec;Name of the Show (Record)",
    ";Command.AddTimer:0001,2005-02-28,20:15,01:30,TV,OT,-P-;Name of the Show (Wake Up Timer)",
    ";Command.AddTimerExt:Ch_TV0001|2005-03-31,20:15,01:30,003,015,def,OT,Rec;Name of the Show",
    ";Command.AddTimerExt:Sid028106|2005-04-30,20:15,01:30,def,def,006,OT,Rec;Name of the Show",
    ";Command.AddTimerExt:LCN000001|2005-05-31,20:15,01:30,def,def,def,OT,Rec;Name of the Show",
    ";Command.AddTimerByChName:BBC ONE|2005-05-31,20:15,01:30,def,def,def,OT,Rec;Name of the Show",
    ";Command.CreateChannelList",
    ";Command.CreateTimerBackup",
    ";Command.CreateTimerList",
    ";Command.DelTimer:0001,2005-01-31,20:15,01:30,TV,OT,Rec",
    ";Command.Delete-P-Timers",
    ";Command.DeleteRecTimers",
    ";Command.DeleteAllTimers",
    ";Command.ExportEpgCsv",
    ";Command.ExportEpgHTML",
    ";Command.RecordBySearchWordNow",
    ";Command.RemoteMsg",
    ";Command.RemoteMsg:20sec",
    ";Command.Set.RecordBySearchWord:On (On/Off)",
    ";Command.Set.RecordBySearchWord:1 (0 ... 4)",
    ";Command.Set.RemoteMode:3min",
    ";Command.Set.RemoteMode:Off",
    ";Command.RestoreTimerBackup",
};
enum { SAMPLE_COMMANDS = sizeof sample_commands / sizeof sample_commands[0] };
static const char sample_footer[] =
    ";You can set Remode Commands in the file \"Diro_ROD.Command.ini\" or \"Diro_ROD.Search.ini\"";

// The file being written: text collected in save_buf, written in pieces.
static char save_buf[SAVE_BUF_SIZE];
static int save_len;          // bytes collected
static dword save_total;      // bytes of the file so far, collected ones included

static void save_flush(SafeFile *file)
{
    if (save_len > 0)
        SafeFile_Write(file, save_buf, (dword)save_len);
    save_len = 0;
}

static void save_put(SafeFile *file, const char *text, int length)
{
    if (length <= 0)
        return;
    if (length > SAVE_FLUSH_AT)
        length = SAVE_FLUSH_AT;
    if (save_len + length > SAVE_FLUSH_AT)
        save_flush(file);
    memcpy(save_buf + save_len, text, (size_t)length);
    save_len += length;
    save_total += (dword)length;
}

static void save_text(SafeFile *file, const char *text)
{
    save_put(file, text, (int)strlen(text));
}

// The weekday token of an entry: the day's abbreviation (German while the interface is German,
// else English), "WD", "WE" or "ED".
static const char *weekday_token_name(int weekdays)
{
    if (weekdays >= 0 && weekdays < WEEKDAYS)
        return weekDay_name[language == LAN_German ? 1 : 0][weekdays];
    if (weekdays == SEARCH_DAYS_WD)
        return "WD";
    if (weekdays == SEARCH_DAYS_WE)
        return "WE";
    return "ED";
}

// One entry as its line, CR LF included. Returns the length.
static int format_entry(char *line, const SearchEntry *e)
{
    char text[SEARCH_WORD_SIZE];
    strxcpy(text, e->word, SEARCH_WORD_MAX);
    const char *mode = e->mode < SEARCH_MODES ? mode_token_names[e->mode] : mode_token_names[0];
    int n;
    if (e->first_place != e->last_place)
        n = snprintf(line, SAVE_LINE_SIZE, "%s|%d-%d|%s,%d,%d|%02d:%02d-%02d:%02d|%s%s", text, e->first_place,
                     e->last_place, mode, (int)e->lead_time, (int)e->stop_add, (int)(e->window_start / 60),
                     (int)(e->window_start % 60), (int)(e->window_end / 60), (int)(e->window_end % 60),
                     weekday_token_name(e->weekdays), "\r\n");
    else
        n = snprintf(line, SAVE_LINE_SIZE, "%s|%d|%s,%d,%d|%02d:%02d-%02d:%02d|%s%s", text, e->first_place, mode,
                     (int)e->lead_time, (int)e->stop_add, (int)(e->window_start / 60), (int)(e->window_start % 60),
                     (int)(e->window_end / 60), (int)(e->window_end % 60), weekday_token_name(e->weekdays), "\r\n");
    if (n < 0)
        return 0;
    return n < SAVE_LINE_SIZE ? n : SAVE_LINE_SIZE - 1;
}

int SaveSearch(void)
{
    static const char cant_save[] = "     Can't SAVE SEARCH FILE";
    SafeFile out;
    SafeFile *file = &out;
    if (SafeFile_Create(file, SEARCH_FILE_NAME) != 0) {
        ShowSaveError(cant_save);
        return 1;
    }
    save_len = 0;
    save_total = 0;

    char line[SAVE_LINE_SIZE];
    int count = max_Search < SEARCH_LIST_SIZE ? max_Search : SEARCH_LIST_SIZE;
    for (int i = 0; i < count; i++)
        save_put(file, line, format_entry(line, &Search[i]));

    save_text(file, "\r\n");
    for (int i = 0; i < SAMPLE_COMMANDS; i++) {
        save_text(file, "\r\n");
        save_text(file, sample_commands[i]);
    }
    save_text(file, "\r\n\r\n");
    save_text(file, sample_footer);
    save_text(file, "\r\n\r\n");

    if (save_total % FILE_BLOCK != 0) {
        char spaces[FILE_BLOCK];
        memset(spaces, ' ', sizeof spaces);
        save_put(file, spaces, (int)(FILE_BLOCK - save_total % FILE_BLOCK));
    }
    save_flush(file);
    if (SafeFile_Close(file) != 0) {
        ShowSaveError(cant_save);
        return 1;
    }
    return 0;
}

// --- Parsing one line ---

enum {
    FIELD_SIZE = 128,          // a field is read up to 127 characters
    FIELD_FIRST_PLACE = 0, FIELD_LAST_PLACE = 1, FIELD_AFTER_MODE = 3,
    FIELD_LEAD = 3, FIELD_STOP = 4, FIELD_FROM_HOUR = 5, FIELD_FROM_MIN = 6, FIELD_TO_HOUR = 7,
    FIELD_TO_MIN = 8, FIELD_WEEKDAY = 9,
    OFFSET_MAX = 600,          // minutes of lead and follow-up time
    PLACE_WRAP = 256,          // places are 8 bits wide
    DAY_MINUTES = 1440
};

static int is_field_separator(char c)
{
    return c == '|' || c == ';' || c == ',' || c == '-' || c == ':';
}

// The mode a field names, or -1.
static int mode_of_token(const char *field)
{
    static const struct {
        const char *token;
        int mode;
    } modes[] = {{"Off", SEARCH_MODE_OFF}, {"M", SEARCH_MODE_M},     {"P", SEARCH_MODE_P},
                 {"On", SEARCH_MODE_REC},  {"R", SEARCH_MODE_REC},   {"Rec", SEARCH_MODE_REC},
                 {"1xRec", SEARCH_MODE_1XREC}};
    for (unsigned i = 0; i < sizeof modes / sizeof modes[0]; i++) {
        if (stricmp_self(field, modes[i].token) == 0)
            return modes[i].mode;
    }
    return -1;
}

// The weekday code a field names (English or German), or `current` for any other token.
// "WE" in capitals is the weekend, "We" and "we" Wednesday; the other tokens ignore case.
static int weekday_of_token(const char *field, int current)
{
    static const struct {
        const char *token;
        int code;
    } days[] = {{"Mo", 0}, {"Di", 1}, {"Tu", 1}, {"Mi", 2}, {"Do", 3}, {"Th", 3}, {"Fr", 4},
                {"Sa", 5}, {"So", 6}, {"Su", 6}, {"WD", SEARCH_DAYS_WD}, {"ED", SEARCH_DAYS_ED}};
    if (strcmp(field, "WE") == 0)
        return SEARCH_DAYS_WE;
    if (strcmp(field, "We") == 0 || strcmp(field, "we") == 0)
        return 2;
    for (unsigned i = 0; i < sizeof days / sizeof days[0]; i++) {
        if (stricmp_self(field, days[i].token) == 0)
            return days[i].code;
    }
    return current;
}

// A place field as the 8-bit place it stores, or -1 when it is no place 1..200.
static int place_of_field(const char *field)
{
    int value = atoi_x(field, -1);
    if (value < 0)
        return -1;
    value %= PLACE_WRAP;
    return value >= 1 && value <= SEARCH_PLACE_MAX ? value : -1;
}

static int offset_of_field(const char *field, int fallback)
{
    int value = atoi_x(field, fallback);
    return value < 0 || value > OFFSET_MAX ? fallback : value;
}

// Whether a word can be searched with: 2 characters at least, not only spaces.
static int word_usable(const char *text)
{
    if (strlen(text) < SEARCH_WORD_MIN)
        return 0;
    for (const char *p = text; *p != 0; p++) {
        if (*p != ' ')
            return 1;
    }
    return 0;
}

// Reads the fields behind the word (fields separated by runs of "|;,-:") into the entry.
static void parse_fields(SearchEntry *e, const char *p)
{
    int from_h = e->window_start / 60, from_m = e->window_start % 60;
    int to_h = e->window_end / 60, to_m = e->window_end % 60;
    int field = 0;
    char text[FIELD_SIZE];
    while (field <= FIELD_WEEKDAY) {
        while (*p != 0 && is_field_separator(*p))
            p++;
        if (*p == 0)
            break;
        int n = 0;
        for (; *p != 0 && !is_field_separator(*p); p++) {
            if (n < FIELD_SIZE - 1)
                text[n++] = *p;
        }
        text[n] = 0;

        int mode = mode_of_token(text);
        if (mode >= 0) {
            e->mode = (uint8_t)mode;
            if (field == FIELD_LAST_PLACE)
                e->last_place = e->first_place;
            field = FIELD_AFTER_MODE;
            continue;
        }
        int place;
        switch (field) {
        case FIELD_FIRST_PLACE:
            place = place_of_field(text);
            e->first_place = (uint8_t)(place > 0 ? place : 1);
            e->last_place = (uint8_t)(place > 0 ? place : settings.scan_max_channels);
            break;
        case FIELD_LAST_PLACE:
            place = place_of_field(text);
            e->last_place = (uint8_t)(place > 0 ? place : settings.scan_max_channels);
            break;
        case FIELD_LEAD:
            e->lead_time = offset_of_field(text, settings.rec_lead_time);
            break;
        case FIELD_STOP:
            e->stop_add = offset_of_field(text, settings.rec_stop_add);
            break;
        case FIELD_FROM_HOUR:
            from_h = atoi_x(text, from_h);
            break;
        case FIELD_FROM_MIN:
            from_m = atoi_x(text, from_m);
            break;
        case FIELD_TO_HOUR:
            to_h = atoi_x(text, to_h);
            break;
        case FIELD_TO_MIN:
            to_m = atoi_x(text, to_m);
            break;
        case FIELD_WEEKDAY:
            e->weekdays = (uint8_t)weekday_of_token(text, e->weekdays);
            break;
        default:
            break;
        }
        field++;
    }
    // 24:00 and later is midnight.
    int from = from_h * 60 + from_m, to = to_h * 60 + to_m;
    e->window_start = from >= 0 && from < DAY_MINUTES ? from : 0;
    e->window_end = to >= 0 && to < DAY_MINUTES ? to : 0;
    // A range written backwards still means the places between its ends.
    if (e->last_place < e->first_place) {
        uint8_t first = e->last_place;
        e->last_place = e->first_place;
        e->first_place = first;
    }
}

int ExtractLine(const char *line, int slot)
{
    if (line == NULL || slot < 0 || slot >= SEARCH_LIST_SIZE)
        return 1;
    if (strlen(line) < 2 || line[0] == ',' || line[0] == ';' || line[0] == '|')
        return 1;
    // The entry is built aside and stored only when it is one, so a refused line never leaves
    // half of itself in the list.
    SearchEntry entry;
    memset(&entry, 0, sizeof entry);
    SearchEntryDefaults(&entry);
    if (CheckCommands(line) != 0)
        return 1;

    const char *bar = strchr(line, '|');
    size_t word_len = bar != NULL ? (size_t)(bar - line) : strlen(line);
    if (word_len > SEARCH_WORD_MAX)
        word_len = SEARCH_WORD_MAX;
    memcpy(entry.word, line, word_len);
    entry.word[word_len] = 0;
    if (!word_usable(entry.word))
        return 1;
    if (bar != NULL && bar[1] != 0)
        parse_fields(&entry, bar + 1);
    copy_entry(&Search[slot], &entry);
    return 0;
}

// --- Reading ---

void ReadSearchINI(void)
{
    ReadCommandFile(COMMAND_KIND_SEARCH);
    if (restore_timerbackup == 1)
        ReadCommandFile(COMMAND_KIND_BACKUP);
}
