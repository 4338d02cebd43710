// HTML and CSV export (see export.h).
//
// Sections:
//   --- Texts ---
//   --- Event texts into the file ---
//   --- HTML rows and CSV lines ---
//   --- The export ---
#include "export/export.h"

#include <string.h>

#include "epgdb/buffer.h"
#include "epgdb/lookup.h"
#include "export/channels.h"
#include "export/textfile.h"
#include "frame/msgbox.h"
#include "frame/state.h"
#include "settings/settings.h"
#include "text/coded.h"
#include "text/strutil.h"

enum {
    EXPORT_CSV = 0,
    EXPORT_HTML = 1,
    BOX_CLEAR_X = 130, BOX_CLEAR_Y = 250, BOX_CLEAR_W = 460, BOX_CLEAR_H = 45
};

// --- Texts ---

// Per kind (CSV, HTML): English, German, Finnish.
static const char *const busy_text[2][3] = {
    {"Creating CSV Export File! Please wait ...", "Erstelle CSV-Exportdatei! Bitte warten ...",
     "Luodaan CSV-tiedostoa. Odota ..."},
    {"Creating HTML Export File! Please wait ...", "Erstelle HTML-Exportdatei! Bitte warten ...",
     "Luodaan HTML-tiedostoa. Odota ..."},
};
static const char *const cant_save[2] = {"     Can't SAVE CSV FILE", "     Can't SAVE HTML FILE"};
static const char *const file_name[2] = {EXPORT_CSV_NAME, EXPORT_HTML_NAME};

static const char html_header[] = "<html><body><table border=\"1\" cellpadding=\"2\" cellspacing=\"0\" width=\"100%\" "
                                  "style=\"font-family: Arial; font-size: 10pt\">\r\n";
static const char html_trailer[] = "</table></body></html>\r\n";
static const char html_shaded_row[] = "<tr bgcolor=\"#E4E4E4\">";
static const char html_plain_row[] = "<tr>";

// --- Event texts into the file ---

// How put_text writes a text.
enum {
    TEXT_HTML = 1,             // &, < and > as entities
    TEXT_BARS_TO_SPACES = 2,   // every '|' (a line break of a long info) as a space
    TEXT_CSV = 4,              // a text that begins with '"' is quoted, its quotes doubled
    TEXT_QUOTES_DOUBLED = 8    // set by put_text while it writes a quoted CSV field
};

// The pieces of the event being exported (take_apart).
static char ev_title[EXPORT_TITLE_SIZE];
static char ev_info[EXPORT_INFO_SIZE];
static const char *ev_long_info = "";   // inside the decoded text: valid until the next DCT

// What a replaced byte is written as, and its length.
static const char *replacement(char c, int *length)
{
    switch (c) {
    case '&':
        *length = 5;
        return "&amp;";
    case '<':
        *length = 4;
        return "&lt;";
    case '>':
        *length = 4;
        return "&gt;";
    case '|':
        *length = 1;
        return " ";
    default:
        *length = 2;
        return "\"\"";
    }
}

enum { TEXT_REPLACED_KINDS = 5 };   // & < > | "

// Appends at most max bytes of the string text, as `how` says. Each kind of byte to replace is
// looked for with strchr, and again only once the writing has passed it; the runs between go
// into the file as whole pieces.
static void put_text(TextFile *tf, const char *text, int max, int how)
{
    if (text == NULL)
        return;
    int quoted = (how & TEXT_CSV) && text[0] == '"';
    if (quoted) {
        how |= TEXT_QUOTES_DOUBLED;
        TextFile_Put(tf, "\"", 1);
    }
    char replaced[TEXT_REPLACED_KINDS];
    int kinds = 0;
    if (how & TEXT_HTML) {
        replaced[kinds++] = '&';
        replaced[kinds++] = '<';
        replaced[kinds++] = '>';
    }
    if (how & TEXT_BARS_TO_SPACES)
        replaced[kinds++] = '|';
    if (how & TEXT_QUOTES_DOUBLED)
        replaced[kinds++] = '"';
    const char *next[TEXT_REPLACED_KINDS];
    for (int k = 0; k < kinds; k++)
        next[k] = strchr(text, replaced[k]);
    int at = 0;   // offset of the next byte to write
    while (at < max) {
        // The next byte to replace, else the NUL; the text ends at max bytes in any case.
        const char *stop = NULL;
        for (int k = 0; k < kinds; k++) {
            if (next[k] != NULL && next[k] < text + at)
                next[k] = strchr(text + at, replaced[k]);
            if (next[k] != NULL && (stop == NULL || next[k] < stop))
                stop = next[k];
        }
        if (stop == NULL)
            stop = text + at + strlen(text + at);
        int end = (int)(stop - text);
        if (end > max)
            end = max;
        TextFile_Put(tf, text + at, end - at);
        if (end == max || text[end] == 0)
            break;
        int replaced_length = 0;
        const char *with = replacement(text[end], &replaced_length);
        TextFile_Put(tf, with, replaced_length);
        at = end + 1;
    }
    if (quoted)
        TextFile_Put(tf, "\"", 1);
}

// Title (cut to 127 bytes), short info and long info of a record.
static void take_apart(const EpgEvent *e)
{
    const char *text = DCT(e->text);
    // The title is what RemInfo leaves of the text's first 127 bytes: up to a " ~ " that lies
    // wholly in them, else up to a '|' in them, else all of them. Found in the text itself, it
    // is copied once.
    const int keep = EXPORT_TITLE_SIZE - 1;
    const char *tilde = strstr(text, " ~ ");
    const char *bar = strchr(text, '|');
    if (tilde != NULL && tilde - text + 3 <= keep) {
        memcpy(ev_title, text, (size_t)(tilde - text));
        ev_title[tilde - text] = 0;
    } else if (bar != NULL && bar - text < keep) {
        memcpy(ev_title, text, (size_t)(bar - text));
        ev_title[bar - text] = 0;
    } else {
        strxcpy(ev_title, text, keep);
    }
    InfoOnly(ev_info, text, EXPORT_INFO_SIZE, 1);
    ev_long_info = LongInfo(text);
}

// --- HTML rows and CSV lines ---
// The fixed fields of a row are put together in line_text, digit by digit, and written at once.

static char line_text[TEXTFILE_LINE_SIZE];

// Appends s; returns the new end.
static char *put_str(char *out, const char *s)
{
    size_t n = strlen(s);
    memcpy(out, s, n);
    return out + n;
}

// Appends the two digits of a value 0..99.
static inline char *put_two_digits(char *out, int value)
{
    out[0] = (char)('0' + value / 10);
    out[1] = (char)('0' + value % 10);
    return out + 2;
}

// Appends value in decimal with at least `digits` digits, zeros in front: "%0*d". Returns the
// new end.
static char *put_int(char *out, int value, int digits)
{
    if (value >= 0 && value < 100 && digits == 2)   // the common case: a part of a date or time
        return put_two_digits(out, value);
    unsigned magnitude = value < 0 ? 0u - (unsigned)value : (unsigned)value;
    char reversed[12];
    int n = 0;
    do {
        reversed[n++] = (char)('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        digits--;   // the sign takes one of the places, as printf counts it
    while (n < digits)
        reversed[n++] = '0';
    if (value < 0)
        *out++ = '-';
    while (n > 0)
        *out++ = reversed[--n];
    return out;
}

// Appends "YYYYMMDDhhmm" of a date and a time of day.
static char *put_stamp(char *out, int year, int month, int day, int hour, int minute)
{
    if (year >= 1000 && year <= 9999 && month < 100 && day < 100 && hour < 100 && minute < 100) {
        out = put_two_digits(out, year / 100);
        out = put_two_digits(out, year % 100);
        out = put_two_digits(out, month);
        out = put_two_digits(out, day);
        out = put_two_digits(out, hour);
        return put_two_digits(out, minute);
    }
    out = put_int(out, year, 4);
    out = put_int(out, month, 2);
    out = put_int(out, day, 2);
    out = put_int(out, hour, 2);
    return put_int(out, minute, 2);
}

// Appends "hh:mm".
static char *put_clock(char *out, int hour, int minute)
{
    out = put_int(out, hour, 2);
    *out++ = ':';
    return put_int(out, minute, 2);
}

// The firmware's date of the day number asked for last: the events of a channel come day after
// day, so most rows ask for the same day again. mjd_known 0: nothing kept (reset per export).
static int mjd_known;
static word known_mjd, known_year;
static byte known_month, known_day, known_weekday;

static void extract_date(word mjd, word *year, byte *month, byte *day, byte *weekday)
{
    if (!mjd_known || mjd != known_mjd) {
        known_year = 0;
        known_month = known_day = known_weekday = 0;
        TAP_ExtractMjd(mjd, &known_year, &known_month, &known_day, &known_weekday);
        known_mjd = mjd;
        mjd_known = 1;
    }
    *year = known_year;
    *month = known_month;
    *day = known_day;
    *weekday = known_weekday;
}

static void put_line_text(TextFile *tf, const char *end)
{
    TextFile_Put(tf, line_text, (int)(end - line_text));
}

static int weekday_language(void)
{
    return language == LAN_German ? 1 : language == LAN_Finnish ? 2 : 0;
}

static void put_html_row(TextFile *tf, const char *opening, int number, const char *name, const EpgEvent *e)
{
    word year = 0;
    byte month = 0, day = 0, weekday = 0;
    extract_date(e->start_mjd, &year, &month, &day, &weekday);
    if (weekday >= WEEKDAYS)
        weekday = (byte)WeekDay(e->start_mjd);
    char *p = put_str(line_text, opening);
    p = put_str(p, "<td>");
    p = put_int(p, number, 1);
    p = put_str(p, ".</td><td>");
    put_line_text(tf, p);
    put_text(tf, name, EXPORT_HTML_NAME_LENGTH, TEXT_HTML);
    p = put_str(line_text, "</td><td>");
    p = put_str(p, weekDay_name[weekday_language()][weekday]);
    p = put_str(p, "</td><td>");
    p = put_int(p, year, 4);
    *p++ = '.';
    p = put_int(p, month, 2);
    *p++ = '.';
    p = put_int(p, day, 2);
    p = put_str(p, "</td><td>");
    p = put_clock(p, e->start_hour, e->start_min);
    *p++ = '~';
    p = put_clock(p, e->end_hour, e->end_min);
    p = put_str(p, "</td><td>");
    p = put_clock(p, e->dur_hour, e->dur_min);
    p = put_str(p, "</td><td>");
    put_line_text(tf, p);
    put_text(tf, ev_title[0] != 0 ? ev_title : " ", EXPORT_TITLE_SIZE, TEXT_HTML);
    TextFile_PutS(tf, "</td><td>");
    put_text(tf, ev_info, EXPORT_INFO_SIZE, TEXT_HTML);
    TextFile_PutS(tf, "<br>");
    put_text(tf, ev_long_info, EXPORT_LONG_INFO_MAX, TEXT_HTML | TEXT_BARS_TO_SPACES);
    TextFile_PutS(tf, "</td></tr>\r\n");
}

static void put_csv_line(TextFile *tf, int svc_num, const char *name, const EpgEvent *e)
{
    word sy = 0, ey = 0;
    byte sm = 0, sd = 0, em = 0, ed = 0, weekday = 0;
    extract_date(e->start_mjd, &sy, &sm, &sd, &weekday);
    extract_date(e->end_mjd, &ey, &em, &ed, &weekday);
    // A '|' in a channel name would shift the columns.
    put_text(tf, name, EXPORT_CSV_NAME_LENGTH, TEXT_CSV | TEXT_BARS_TO_SPACES);
    char *p = line_text;
    *p++ = '|';
    p = put_stamp(p, sy, sm, sd, e->start_hour, e->start_min);
    *p++ = '|';
    p = put_stamp(p, ey, em, ed, e->end_hour, e->end_min);
    p = put_str(p, "||");
    put_line_text(tf, p);
    put_text(tf, ev_title, EXPORT_TITLE_SIZE, TEXT_CSV);
    TextFile_Put(tf, "|", 1);
    put_text(tf, ev_info, EXPORT_INFO_SIZE, TEXT_CSV);
    TextFile_Put(tf, "|", 1);
    put_text(tf, ev_long_info, EXPORT_LONG_INFO_MAX, TEXT_CSV | TEXT_BARS_TO_SPACES);
    p = put_str(line_text, "||");
    p = put_int(p, svc_num + 1, 1);
    p = put_str(p, "||");
    p = put_int(p, chInfo.service_id, 1);
    *p++ = '|';
    if (settings.lcn_support == 1)
        p = put_int(p, chInfo.lcn, 1);
    p = put_str(p, "\r\n");
    put_line_text(tf, p);
}

// --- The export ---

// Every exported channel's events into the open file. The channel's record stays in chInfo while
// its lines are written.
static void put_channels(TextFile *tf, int kind)
{
    char name[EXPORT_CSV_NAME_LENGTH + 1];
    int shaded = 1;
    for (int num = 0; num < settings.scan_max_channels && num < BUFFER_SLOTS_TV; num++) {
        int slot = BufferSlot(SVC_TYPE_Tv, num);
        if (slot == SLOT_SCRATCH || max_Event[slot] <= 0)
            continue;
        memset(&chInfo, 0, sizeof chInfo);
        if (!TAP_Channel_GetInfo(SVC_TYPE_Tv, num, &chInfo))
            continue;
        ChannelNameOf(name, &chInfo, kind == EXPORT_HTML ? EXPORT_HTML_NAME_LENGTH : EXPORT_CSV_NAME_LENGTH);
        int number = settings.lcn_support == 1 ? chInfo.lcn : num + 1;
        int count = max_Event[slot] > EVENTS_PER_SLOT ? EVENTS_PER_SLOT : max_Event[slot];
        for (int i = 0; i < count; i++) {
            const EpgEvent *e = &EPG_Buffer[slot * EVENTS_PER_SLOT + i];
            take_apart(e);
            if (kind == EXPORT_HTML)
                put_html_row(tf, shaded ? html_shaded_row : html_plain_row, number, name, e);
            else
                put_csv_line(tf, num, name, e);
        }
        shaded = !shaded;
    }
}

static void export_file(int kind, int show_message)
{
    if (show_message == 1) {
        DrawMsgBox(LangText(busy_text[kind][0], busy_text[kind][1], busy_text[kind][2]));
        TAP_Osd_Sync();
    }
    mjd_known = 0;
    TextFile tf;
    if (TextFile_Create(&tf, file_name[kind]) != 0) {
        ShowSaveError(cant_save[kind]);
    } else {
        if (kind == EXPORT_HTML)
            TextFile_PutS(&tf, html_header);
        put_channels(&tf, kind);
        if (kind == EXPORT_HTML)
            TextFile_PutS(&tf, html_trailer);
        if (TextFile_Close(&tf, kind == EXPORT_HTML ? ' ' : 0) != 0)
            ShowSaveError(cant_save[kind]);   // the disk ran full: the old export stays
    }
    if (show_message == 1) {
        TAP_Osd_FillBox(rgn, BOX_CLEAR_X, BOX_CLEAR_Y, BOX_CLEAR_W, BOX_CLEAR_H, COLOR_None);
        TAP_Osd_Sync();
    }
}

void ExportCSV(int show_message)
{
    export_file(EXPORT_CSV, show_message);
}

void ExportHTML(int show_message)
{
    export_file(EXPORT_HTML, show_message);
}
