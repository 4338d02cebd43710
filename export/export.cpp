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

static int is_special(unsigned char c, int how)
{
    switch (c) {
    case 0:
        return 1;
    case '&':
    case '<':
    case '>':
        return how & TEXT_HTML;
    case '|':
        return how & TEXT_BARS_TO_SPACES;
    case '"':
        return how & TEXT_QUOTES_DOUBLED;
    default:
        return 0;
    }
}

static const char *replacement(char c)
{
    switch (c) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '|':
        return " ";
    default:
        return "\"\"";
    }
}

// Appends at most max bytes of text, as `how` says. The runs between bytes to replace go into
// the file as whole pieces.
static void put_text(TextFile *tf, const char *text, int max, int how)
{
    if (text == NULL)
        return;
    int quoted = (how & TEXT_CSV) && text[0] == '"';
    if (quoted) {
        how |= TEXT_QUOTES_DOUBLED;
        TextFile_Put(tf, "\"", 1);
    }
    int at = 0;
    while (at < max && text[at] != 0) {
        int run = at;
        while (at < max && !is_special((unsigned char)text[at], how))
            at++;
        TextFile_Put(tf, text + run, at - run);
        if (at < max && text[at] != 0) {
            TextFile_PutS(tf, replacement(text[at]));
            at++;
        }
    }
    if (quoted)
        TextFile_Put(tf, "\"", 1);
}

// Title (cut to 127 bytes), short info and long info of a record.
static void take_apart(const EpgEvent *e)
{
    const char *text = DCT(e->text);
    strxcpy(ev_title, text, EXPORT_TITLE_SIZE - 1);
    RemInfo(ev_title);
    InfoOnly(ev_info, text, EXPORT_INFO_SIZE, 1);
    ev_long_info = LongInfo(text);
}

// --- HTML rows and CSV lines ---

static int weekday_language(void)
{
    return language == LAN_German ? 1 : language == LAN_Finnish ? 2 : 0;
}

static void put_html_row(TextFile *tf, const char *opening, int number, const char *name, const EpgEvent *e)
{
    word year = 0;
    byte month = 0, day = 0, weekday = 0;
    TAP_ExtractMjd(e->start_mjd, &year, &month, &day, &weekday);
    if (weekday >= WEEKDAYS)
        weekday = (byte)WeekDay(e->start_mjd);
    TextFile_Printf(tf, "%s<td>%d.</td><td>", opening, number);
    put_text(tf, name, EXPORT_HTML_NAME_LENGTH, TEXT_HTML);
    TextFile_Printf(tf, "</td><td>%s</td><td>%04d.%02d.%02d</td><td>%02d:%02d~%02d:%02d</td><td>%02d:%02d</td><td>",
                    weekDay_name[weekday_language()][weekday], year, month, day, e->start_hour, e->start_min,
                    e->end_hour, e->end_min, e->dur_hour, e->dur_min);
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
    TAP_ExtractMjd(e->start_mjd, &sy, &sm, &sd, &weekday);
    TAP_ExtractMjd(e->end_mjd, &ey, &em, &ed, &weekday);
    // A '|' in a channel name would shift the columns.
    put_text(tf, name, EXPORT_CSV_NAME_LENGTH, TEXT_CSV | TEXT_BARS_TO_SPACES);
    TextFile_Printf(tf, "|%04d%02d%02d%02d%02d|%04d%02d%02d%02d%02d||", sy, sm, sd, e->start_hour, e->start_min, ey,
                    em, ed, e->end_hour, e->end_min);
    put_text(tf, ev_title, EXPORT_TITLE_SIZE, TEXT_CSV);
    TextFile_Put(tf, "|", 1);
    put_text(tf, ev_info, EXPORT_INFO_SIZE, TEXT_CSV);
    TextFile_Put(tf, "|", 1);
    put_text(tf, ev_long_info, EXPORT_LONG_INFO_MAX, TEXT_CSV | TEXT_BARS_TO_SPACES);
    if (settings.lcn_support == 1)
        TextFile_Printf(tf, "||%d||%d|%d\r\n", svc_num + 1, chInfo.service_id, chInfo.lcn);
    else
        TextFile_Printf(tf, "||%d||%d|\r\n", svc_num + 1, chInfo.service_id);
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
