// Help screens (see help.h): the help page and the key bars, with their texts in English, German
// and Finnish. Leans on settings/ (language, colours, the RC2 setting) and the window's geometry
// (views/window.h).
//
// Sections:
//   --- Texts ---
//   --- Help page ---
//   --- Key bars ---
#include "views/help.h"

#include <string.h>

#include "frame/state.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "views/window.h"

unsigned char timerlisthelp;

enum {
    HELP_ROWS = 11,
    HELP_LABEL_X = 61, HELP_LABEL_RIGHT = 199,
    HELP_TEXT_X = 209, HELP_TEXT_RIGHT = 655,
    HELP_INFO_X = 67, HELP_HEADING_RIGHT = 419,
    RC2_ROWS = 3,
    BAR_X = 60, BAR_W = 598,
    BAR_Y = 470, BAR_H = 33,
    TIMER_BAR_Y = 434, TIMER_BAR_H = 68,   // the timer list's two-line bar fills its status box
    BAR_TEXT_X = 69, BAR_TEXT_RIGHT = 655,
    BAR_TEXT_Y = 473,
    TIMER_LINE1_Y = 437,
    MARK_SIZE = 19,        // a key mark: a 19 x 19 frame ...
    MARK_FRAME = 2,        // ... of this width, the key's colour inside
    MARK_BEFORE_TEXT = 5,  // pixels between a mark and the words it stands for ...
    MARK_MIN_SPACE = 3,    // ... and at least this many after the words before it
    MARK_GAP_SPACES = 3,   // words apart by this many spaces or more are separate key texts
    MARK_TEXT_DOWN = 3,    // a mark's frame stands this much below its line's y
    KEY_TEXT_MAX = 96
};

static const dword MARK_FRAME_COLOR = 0xFF788CF0;
static const dword KEY_RED = 0xFFE60000;
static const dword KEY_GREEN = 0xFF00DC00;
static const dword KEY_YELLOW = 0xFFFADC00;
static const dword KEY_BLUE = 0xFF0000F0;
static const dword KEY_GREY = 0xFFDCDCDC;

// --- Texts ---

// A row of the help page: the key's label (English and German, then Finnish) and what it does.
typedef struct {
    const char *label;
    const char *label_fi;
    const char *english;
    const char *german;
    const char *finnish;
} HelpRow;

static const HelpRow help_rows[HELP_ROWS] = {
    {" << , >>", " << , >>", "Page up / Page down", "seitenweise hoch und runter scrollen",
     "Edellinen sivu / Seuraava sivu"},
    {" |< , >|", " |< , >|", "15 min forward / backwards", "15 min vor / zur\xFC" "ck springen",
     "15 min eteen / taakse"},
    {" Green/Yellow", " Vihre\xE4/Kelt.", "24 h forward / backwards", "24 h vor / zur\xFC" "ck springen",
     "24 h eteen / taakse"},
    {" OK", " OK", "Change to the selected channel", "auf ausgew\xE4hlten Sender umschalten",
     "Vaihda valitulle kanavalle"},
    {" 1x/2x PLAY", " 1x/2x PLAY", "Fill up EPG Buffer: 12 sec RAM / 20 sec HDD",
     "EPG Puffer f\xFCllen: 12 sec RAM / 20 sec HDD", "T\xE4yt\xE4 EPG Puskuri: 12 s RAM / 20 s HDD"},
    {" TeleText", " Teksti-TV", "Change between Normal & NOW-Mode", "Wechsel zwischen Normal & NOW Ansicht",
     "Vaihda n\xE4kym\xE4: Normaali / NYT"},
    {" Subtitle", " Tekstitys", "Select Time Bar/Text type", "Zeitbalken/Text ausw\xE4hlen",
     "Tekstitys: Vaihda aikapalkki / tekstityyli"},
    {" MENU", " MENU", "Settings Menu", "Einstellungsmen\xFC aufrufen", "Asetusvalikko"},
    {" Red Button", " Punainen", "Save the current view and EPG buffer", "Ansicht und Puffer speichern",
     "Tallenna nykyinen n\xE4kym\xE4 ja EPG-puskuri"},
    {" |> (Slow)", " |> Hidastus", "Search Event / Search Word List", "Suche Event / Suchwortliste",
     "Ohjelman haku / Hakusanalista"},
    {" Record /", " Record /", "Record / Timerlist", "Aufnahme / Timerliste", "Ajasta ohjelma / Ajastuslista"},
};

// The keys of the RC2 remote that stand in for those of the first remote.
typedef struct {
    int row;
    HelpRow text;
} HelpRowRc2;

static const HelpRowRc2 help_rows_rc2[RC2_ROWS] = {
    {1, {" PiP , TXT", " PiP , TXT", 0, 0, 0}},   // the description stays
    {5, {" Opt", " Opt", "Prime time overview", "Primetime \xDC" "bersicht", "Prime time overview"}},
    {6, {" Exit", " Exit", "Hide the EPG", "EPG verlassen", "Hide the EPG"}},
};

static const char *const help_heading[3] = {"Button Description", "Tastenbelegung", "N\xE4pp\xE4intoiminnot"};

// A key bar's text and which of its key texts carry which key's mark. Key texts are the groups
// of words apart by MARK_GAP_SPACES spaces or more, counted from 0 after the leading spaces.
typedef struct {
    const char *english;
    const char *german;
    const char *finnish;   // "": the English text
} KeyBarText;

typedef struct {
    int group;
    dword color;
} KeyMark;

static const KeyBarText sort_text = {" Sorting by:         Time          Channel nr      Channel name",
                                     "Sortiere nach:      Zeit           Sender-Nr.       Sendername",
                                     " J\xE4rjestys:           Aika          Kanavanro       Kanavanimi"};
static const KeyMark sort_marks[] = {{1, KEY_RED}, {2, KEY_GREEN}, {3, KEY_YELLOW}};

static const KeyBarText searchlist_text = {"     Sort:       A - Z        -/M/P/R      R/P/M/-        Keyboard",
                                           " Sortiere:      A - Z        -/M/P/R      R/P/M/-        Tastatur", ""};
static const KeyMark searchlist_marks[] = {{1, KEY_RED}, {2, KEY_GREEN}, {3, KEY_YELLOW}, {4, KEY_BLUE}};

static const KeyBarText timerlist_text1 = {" Sort:      by Number        by Time             Find in EPG",
                                           " Sortiere:     nach Nummer     nach Zeit        Suche in EPG", ""};
static const KeyMark timerlist_marks1[] = {{1, KEY_GREEN}, {2, KEY_YELLOW}, {3, KEY_BLUE}};

static const KeyBarText timerlist_text2 = {"                    New Timer                Delete Timer",
                                           "                  Neuer Timer                            L\xF6sche Timer",
                                           ""};
static const KeyMark timerlist_marks2[] = {{0, KEY_RED}, {1, KEY_GREY}};

// --- Help page ---

static void put_help_text(int x, int y, int maxX, const char *text, dword fg, dword bg)
{
    TAP_Osd_PutString(rgn, x, y, maxX, text, fg, bg, FNT_Type_Default, FNT_Size_1926, 0);
}

// The timer-list key beside " Record /": a sheet with a folded corner and two lines on it.
static void draw_timer_list_symbol(void)
{
    TAP_Osd_DrawRectangle(rgn, 158, 474, 30, 24, 2, font2_color);
    TAP_Osd_FillBox(rgn, 158, 474, 8, 9, box2_color);
    TAP_Osd_FillBox(rgn, 158, 474, 3, 7, font2_color);
    TAP_Osd_FillBox(rgn, 158, 475, 4, 5, font2_color);
    TAP_Osd_FillBox(rgn, 158, 476, 5, 3, font2_color);
    TAP_Osd_FillBox(rgn, 158, 477, 6, 1, font2_color);
    TAP_Osd_FillBox(rgn, 163, 483, 20, 2, font2_color);
    TAP_Osd_FillBox(rgn, 163, 489, 20, 2, font2_color);
}

// Row i of the help page in the language in use, with the RC2 remote's keys where they differ.
static void help_row(int i, const char **label, const char **text)
{
    const HelpRow *row = &help_rows[i];
    *label = LangText(row->label, row->label, row->label_fi);
    *text = LangText(row->english, row->german, row->finnish);
    if (settings.rc2_support <= 0)
        return;
    for (int k = 0; k < RC2_ROWS; k++) {
        const HelpRow *rc2 = &help_rows_rc2[k].text;
        if (help_rows_rc2[k].row != i)
            continue;
        *label = LangText(rc2->label, rc2->label, rc2->label_fi);
        if (rc2->english != 0)
            *text = LangText(rc2->english, rc2->german, rc2->finnish);
    }
}

void Help(void)
{
    put_help_text(HELP_INFO_X, WINDOW_TITLE_Y, HELP_LABEL_RIGHT, " Info", font_red, COLOR_None);
    put_help_text(HELP_TEXT_X, WINDOW_TITLE_Y, HELP_HEADING_RIGHT,
                  LangText(help_heading[0], help_heading[1], help_heading[2]), font_red, titlebox_color);
    for (int i = 0; i < HELP_ROWS; i++) {
        const char *label = 0, *text = 0;
        help_row(i, &label, &text);
        int y = WINDOW_TEXT_Y + WINDOW_ROW_PITCH * i;
        put_help_text(HELP_LABEL_X, y, HELP_LABEL_RIGHT, label, font2_color, box2_color);
        put_help_text(HELP_TEXT_X, y, HELP_TEXT_RIGHT, text, font2_color, box2_color);
    }
    draw_timer_list_symbol();
    TAP_Osd_Sync();
}

// --- Key bars ---

// The width of the first n characters of text in the bars' font.
static int prefix_width(const char *text, int n)
{
    char prefix[KEY_TEXT_MAX];
    if (n >= KEY_TEXT_MAX)
        n = KEY_TEXT_MAX - 1;
    memcpy(prefix, text, (size_t)n);
    prefix[n] = 0;
    return TAP_Osd_GetW(prefix, FNT_Type_Default, FNT_Size_1926);
}

// Where key text `group` begins (*start) and where the words before it end (*gap_from, 0 for
// the first), in pixels from the start of the text. Returns 0 when the text has no such group.
static int key_text_at(const char *text, int group, int *start, int *gap_from)
{
    int found = -1;        // groups begun so far, minus one
    int spaces = 0;
    int last_word_end = 0; // characters up to the end of the last word
    for (int i = 0; text[i] != 0 && i < KEY_TEXT_MAX - 1; i++) {
        if (text[i] == ' ') {
            spaces++;
            continue;
        }
        if (found < 0 || spaces >= MARK_GAP_SPACES) {
            found++;
            if (found == group) {
                *start = prefix_width(text, i);
                *gap_from = found == 0 ? 0 : prefix_width(text, last_word_end);
                return 1;
            }
        }
        spaces = 0;
        last_word_end = i + 1;
    }
    return 0;
}

// A coloured key's mark with its frame at (x, y).
static void key_mark(int x, int y, dword color)
{
    TAP_Osd_DrawRectangle(rgn, x, y, MARK_SIZE, MARK_SIZE, MARK_FRAME, MARK_FRAME_COLOR);
    TAP_Osd_FillBox(rgn, x + MARK_FRAME, y + MARK_FRAME, MARK_SIZE - 2 * MARK_FRAME, MARK_SIZE - 2 * MARK_FRAME,
                    color);
}

// One line of a key bar at y: the marks before the key texts they stand for, then the text
// over the bar's background (drawn last and transparent, so the marks in its gaps stay).
static void key_bar_line(int y, const KeyBarText *texts, const KeyMark *marks, int mark_count)
{
    const char *text = LangText(texts->english, texts->german, texts->finnish);
    for (int k = 0; k < mark_count; k++) {
        int start = 0, gap_from = 0;
        if (!key_text_at(text, marks[k].group, &start, &gap_from))
            continue;
        // Just before the words; in a narrow gap, in its middle.
        int x = start - MARK_BEFORE_TEXT - MARK_SIZE;
        if (gap_from > 0 && x < gap_from + MARK_MIN_SPACE)
            x = gap_from + (start - gap_from - MARK_SIZE) / 2;
        key_mark(BAR_TEXT_X + x, y + MARK_TEXT_DOWN, marks[k].color);
    }
    TAP_Osd_PutString(rgn, BAR_TEXT_X, y, BAR_TEXT_RIGHT, text, font2_color, COLOR_None, FNT_Type_Default,
                      FNT_Size_1926, 0);
}

void HelpSort(void)
{
    TAP_Osd_FillBox(rgn, BAR_X, BAR_Y, BAR_W, BAR_H, statusbox_color);
    key_bar_line(BAR_TEXT_Y, &sort_text, sort_marks, (int)(sizeof sort_marks / sizeof sort_marks[0]));
    TAP_Osd_Sync();
}

void HelpSearchlist(void)
{
    TAP_Osd_FillBox(rgn, BAR_X, BAR_Y, BAR_W, BAR_H, statusbox_color);
    key_bar_line(BAR_TEXT_Y, &searchlist_text, searchlist_marks,
                 (int)(sizeof searchlist_marks / sizeof searchlist_marks[0]));
    TAP_Osd_Sync();
}

void HelpTimerlist(void)
{
    TAP_Osd_FillBox(rgn, BAR_X, TIMER_BAR_Y, BAR_W, TIMER_BAR_H, statusbox_color);
    key_bar_line(TIMER_LINE1_Y, &timerlist_text1, timerlist_marks1,
                 (int)(sizeof timerlist_marks1 / sizeof timerlist_marks1[0]));
    key_bar_line(BAR_TEXT_Y, &timerlist_text2, timerlist_marks2,
                 (int)(sizeof timerlist_marks2 / sizeof timerlist_marks2[0]));
    timerlisthelp = 1;
    TAP_Osd_Sync();
}
