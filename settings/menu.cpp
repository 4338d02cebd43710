// The settings menu (see menu.h): the table of the 62 rows with their labels in three languages,
// the field each row edits and its range; the value texts; the editing rule of each row and what
// a change sets off; the drawing of the page.
//
// Sections:
//   --- Rows ---
//   --- Value texts ---
//   --- Editing ---
//   --- Drawing ---
//   --- The menu ---
#include "settings/menu.h"

#include <stdio.h>
#include <string.h>

#include "epgdb/buffer.h"
#include "epgdb/fill.h"
#include "epgdb/lookup.h"
#include "frame/epgkeys.h"
#include "frame/state.h"
#include "search/values.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "views/window.h"

enum {
    UI_LANGUAGES = 3,             // English, German, Finnish
    MENU_LINE_SIZE = 128,         // bytes of a formatted label or value
    HELD_SECONDS_FOR_TENS = 3,    // Key_TimeCount from which times and positions move in tens
    TENS = 10,
    // Rows with rules of their own.
    ROW_TUNER = 3, ROW_SCAN_CHANNELS = 7, ROW_SCAN_TIME = 8, ROW_WINDOW_START = 9, ROW_WINDOW_END = 10,
    ROW_FREESIZE = 12, ROW_FIRST_BUTTON = 13, ROW_SECOND_BUTTON = 14, ROW_FIRST_VIEW = 15,
    ROW_SECOND_VIEW = 16, ROW_DEFAULT_VIEW = 17, ROW_COLOR_SCHEME = 24,
    ROW_GRIDLINES = 25, ROW_TITLE_BAR = 26, ROW_NOW_BAR = 27, ROW_PRIME_TIME = 28, ROW_LANGUAGE = 29,
    ROW_COMPRESS = 33, ROW_CLOCK_KEY = 34, ROW_CLOCK_BAR = 35, ROW_CLOCK_Y = 37, ROW_BUFFERED = 46,
    ROW_EXT_INFO = 47, ROW_RC2 = 50,
    // Page layout.
    TITLE_X = 67, TITLE_RIGHT = 199,
    HEADING_X = 209, HEADING_RIGHT = 524,
    NUMBER_X = 61, NUMBER_RIGHT = 103,
    VALUE_X = 109, VALUE_RIGHT = 199,
    LABEL_X = 201, LABEL_RIGHT = 655,
    LINE_FILL_X = 60, LINE_FILL_W = 598, LINE_FILL_H = 33,   // a line's box, from 3 pixels above its text
    COLUMN_LINE_W = 2,
    FONT_STEP_DOWN_Y = 2,         // a smaller font size sits this much lower per size
    EXT_INFO_OFF = -1,            // row 47 "Off"
    SCAN_INTERVAL_OFF = 61,       // row 49 "Off"
    AUTO_SAVE_MINUTES = 30,       // row 45 counts in half hours
    TUNER_STORED_FOR_2 = 3        // row 3: the third choice is stored as 3 (tuner 4)
};

// One row of the menu. Rows 55 to 62 are commands: no field.
struct MenuRow {
    const char *label[UI_LANGUAGES];  // English, German, Finnish; "" shows the English text
    int32_t *field;                   // the value the row edits
    short min, max;                   // its range in the menu (rows 7, 10, 46, 47 move: see row_range)
    unsigned char rule;               // EDIT_WRAP or EDIT_STOP (the "clamp" rows)
    unsigned char tens;               // 1: a key held three seconds moves the value in tens
};

// --- Rows ---

// Row r is menu_rows[r - 1]. Labels are printf formats: row 22 is filled with the prime time.
static const MenuRow menu_rows[] = {
    {{" Record: lead time", " Aufnahme: Vorlaufzeit", " Tallennus: Ennakkoaika / Lis\xE4" "aika alussa"},
     &settings.rec_lead_time, 0, 600, EDIT_STOP, 0},
    {{" Record: add to stop time", " Aufnahme: Nachlaufzeit", " Tallennus: Jatkoaika / Lis\xE4" "aika lopussa"},
     &settings.rec_stop_add, 0, 600, EDIT_STOP, 0},
    {{" Record: default Tuner", " Aufnahme: bevorzugter Tuner", " Tallennus: Oletusviritin"},
     &settings.rec_tuner, 0, 2, EDIT_WRAP, 0},
    {{" Record: Add Time/Date/_# to name (manu)",
      " Aufnahme: Name mit Datum/Zeit/_# (manu)",
      " Tallennus: Lis\xE4\xE4 klo/pvm/_# nimeen (manu)"},
     &settings.rec_name_manual, 0, 8, EDIT_WRAP, 0},
    {{" Record: Add Time/Date/_# to name  (auto)",
      " Aufnahme: Name mit Datum/Zeit/_#  (auto)",
      " Tallennus: Lis\xE4\xE4 klo/pvm/_# nimeen  (auto)"},
     &settings.rec_name_auto, 0, 8, EDIT_WRAP, 0},
    {{" autom. event programming by search words",
      " autom. Eventprogrammierung n. Suchworte",
      " Ohjelmien autom. tallennus hakusanoilla"},
     &settings.auto_record_by_search, 0, 4, EDIT_WRAP, 0},
    {{" EPG Scan: Scan max. channels", " EPG Scan: Scan max. Sender", " Ajastin: Haettavien kanavien m\xE4\xE4r\xE4"},
     &settings.scan_max_channels, 10, 200, EDIT_WRAP, 0},
    {{" EPG Scan time for each channel", " EPG Scan: Scanzeit f\xFCr jeden Sender", ""},
     &settings.scan_time_per_channel, 3, 600, EDIT_WRAP, 0},
    {{" EPG Scan: Time Window Start", " EPG Scan: Zeitfenster Start", " Ajastin: Aikaikkunan alku"},
     &settings.scan_window_start, 1, 1439, EDIT_WRAP, 1},
    {{" EPG Scan: Time Window End", " EPG Scan: Zeitfenster Ende", " Ajastin: Aikaikkunan loppu"},
     &settings.scan_window_end, 0, 1439, EDIT_WRAP, 1},
    {{" Message \"Events of interest found!\" at start",
      " Startmeldung \"Interessante Sendung gefunden\"!",
      " N\xE4yt\xE4 \"M&P&R\" haut k\xE4nnistett\xE4" "ess\xE4"},
     &settings.interest_msg, 0, 4, EDIT_WRAP, 0},
    {{" Warning by FreeSize < ... GigaByte",
      " Startmeldung bei FreeSize < ... GigaByte",
      " FreeSize:n antaman varoituksen raja < GB"},
     &settings.freesize_warn_gb, 0, 999, EDIT_WRAP, 0},
    {{" First EPG Button ", " Erster EPG Button ", " Ensimm\xE4inen EPG n\xE4pp\xE4in"},
     &settings.first_epg_button, 1, 14, EDIT_WRAP, 0},
    {{" Second EPG Button ", " Zweiter EPG Button ", " Toinen EPG n\xE4pp\xE4in"},
     &settings.second_epg_button, 0, 14, EDIT_WRAP, 0},
    {{" EPG view for the first EPG Button",
      " EPG Ansicht mit dem ersten EPG Button",
      " Ensimm\xE4isen EPG n\xE4pp\xE4imen n\xE4kym\xE4"},
     &settings.first_button_view, 0, 5, EDIT_WRAP, 0},
    {{" EPG view for the second EPG Button",
      " EPG Ansicht mit dem zweiten EPG Button",
      " Toisen EPG n\xE4pp\xE4imen n\xE4kym\xE4"},
     &settings.second_button_view, 0, 7, EDIT_WRAP, 0},
    {{" EPG view (default)", " EPG Ansicht (default)", " EPG:n oletustila"},
     &saved_view, 0, 1, EDIT_WRAP, 0},
    {{" Use Dir'o ROD for TV mode only", " Benutze Dir'o ROD nur im TV-Modus", ""},
     &settings.tv_only, 0, 1, EDIT_WRAP, 0},
    {{" Name ~ Info: On/Off - StatusBar: On/Off", "", " Nimi ~ Info: On/Off - Tilapalkki: On/Off"},
     &settings.name_info_statusbar, 0, 3, EDIT_WRAP, 0},
    {{" Show only scanned/buffered channels",
      " Zeige nur zu scannende/gepufferte Sender",
      " N\xE4yt\xE4 vain haettavat kanavat"},
     &settings.show_scanned_only, 0, 4, EDIT_WRAP, 0},
    {{" View in Now-Mode at first channel ...",
      " Zeige im Now-Mode als erstes Prog. ...",
      " NYT-tila: Aloita listaus kanavalta ..."},
     &settings.now_first_channel, -2, 191, EDIT_WRAP, 0},
    {{" Now Overview: Next->%02d:%02d / Next ...",
      " Now-Ansichten: Danach->%02d:%02d / Danach ...",
      " NYT-tila: Seuraava -> %02d:%02d / Seuraava"},
     &settings.now_next_mode, 0, 1, EDIT_WRAP, 0},
    {{" Fade out channel names by recording", " Sendernamen bei Aufnahme ausblenden", ""},
     &settings.fade_names_recording, 0, 2, EDIT_WRAP, 0},
    {{" Color Scheme", " Farbprofil", ""},
     &settings.color_scheme, -1, 11, EDIT_WRAP, 0},
    {{" Show Gridlines", " Gitterlinien", ""},
     &settings.gridlines, 0, 1, EDIT_WRAP, 0},
    {{" TimeBar Type \"Title Bar\" (default)",
      " TimeBar Type \"Titelleiste\" (default)",
      " NYT-tila: Aikapalkin oletustyyli"},
     &saved_titletimebar, 0, 8, EDIT_WRAP, 0},
    {{" TimeBar/Text Type \"NOW-Mode\" (default)", "", " NYT-tila: Kanavapalkin oletustyyli"},
     &saved_nowtimebar, -1, 16, EDIT_WRAP, 0},
    {{" PrimeTime", "", " Paras katseluaika"},
     &settings.prime_time, 0, 1439, EDIT_WRAP, 1},
    {{" Language / Sprache / Kieli", "", ""},
     &settings.language_choice, 0, 3, EDIT_WRAP, 0},
    {{" Method to open the extended informations", " Verhalten beim \xD6" "ffnen der Erweiterten Info", ""},
     &settings.info_open_method, 0, 4, EDIT_WRAP, 0},
    {{" Number of lines - small extended info bar", " Anzahl der Zeilen im kleinen Info-Fenster", ""},
     &settings.info_bar_lines, 0, 4, EDIT_WRAP, 0},
    {{" Font size - large extended info window", " Schriftgr\xF6\xDF" "e im gro\xDF" "en Info-Fenster", ""},
     &settings.info_font_large, 0, 1, EDIT_WRAP, 0},
    {{" Compress text 100%% to 80%% (for Eng/Ger)", " Komprimiere Text um 20%% (f\xFCr Eng/Deu)", ""},
     &settings.compress_text, 0, 1, EDIT_STOP, 0},
    {{" Clock with Sleep-Button: Off=0, On=1,2",
      " Extra Uhr mit Sleep-Taste: Off=0, On=1,2",
      " Lis\xE4kello Unikytkimest\xE4: Pois=0, P\xE4\xE4ll\xE4=1,2"},
     &settings.clock_button, 0, 6, EDIT_WRAP, 0},
    {{" TimeBar Type on Extra Clock", " TimeBar Type an der Extra Uhr", " Lis\xE4kello: Aikapalkin tyyli"},
     &settings.clock_timebar, 0, 4, EDIT_WRAP, 0},
    {{" X-Position Extra Clock (1-616)",
      " X-Position Extra Uhr (1-616)",
      " Lis\xE4kello: Paikka X-akselilla (1-616)"},
     &settings.clock_x, 1, 616, EDIT_WRAP, 1},
    {{" Y-Position Extra Clock (1-536)",
      " Y-Position Extra Uhr (1-536)",
      " Lis\xE4kello: Paikka Y-akselilla (1-536)"},
     &settings.clock_y, 1, 536, EDIT_WRAP, 1},
    {{" Search in the event description too",
      " Suche auch in Eventbeschreibung",
      " Hae my\xF6s ohjelman kuvauksesta"},
     &settings.search_description, 0, 2, EDIT_WRAP, 0},
    {{" Record by search word for next ... hours",
      " Aufnahme n. Suchworte f\xFCr die n\xE4" "chsten .. h",
      " Hakusana-ajastuksen tarkkailuaika"},
     &settings.search_record_hours, 4, 240, EDIT_WRAP, 0},
    {{" Combine timer automatically",
      " Timer automatisch zusammenf\xFCgen",
      " Yhdist\xE4 ajastukset automaattisesti"},
     &settings.combine_timers, 0, 2, EDIT_WRAP, 0},
    {{" Method to set timers manually",
      " Methode beim manuellen Setzen von Timern",
      " Tallennusn\xE4pp\xE4imen toiminta ajastettaessa"},
     &settings.manual_timer_method, 0, 4, EDIT_WRAP, 0},
    {{" Replace date in timer name automatically",
      " Datum in Timernamen automatisch anpassen",
      " Vaihda ajastuksen p\xE4iv\xE4ys automaattisesti"},
     &settings.timer_name_date_replace, 0, 1, EDIT_WRAP, 0},
    {{" Delay to set timers autom. by search word",
      " Wartezeit beim autom. Setzen von Timern",
      " Ohjelmien autom. ajastuksen viive"},
     &settings.search_record_delay, 0, 6, EDIT_WRAP, 0},
    {{" Remote Mode (required regular HDD access!)",
      " Fernwartungsmode (st\xE4ndige HDD-Zugriffe!)",
      " Et\xE4ohjaus (laitteeseen oltava jatkuva yhteys!)"},
     &settings.remote_mode, 0, 120, EDIT_STOP, 0},
    {{" Save EPG Buffer automatically by time", " Speichere EPG Puffer per Zeitintervall", ""},
     &settings.auto_save_buffer, 0, 8, EDIT_STOP, 0},
    {{" EPG data base: buffered channels", " EPG Datenbank: gepufferte Sender", ""},
     &settings.buffered_channels, 30, 200, EDIT_WRAP, 0},
    {{" EPG data base: channels with extended info", " EPG Datenbank: Sender mit erweiterte Info", ""},
     &settings.ext_info_channels, -1, 200, EDIT_WRAP, 0},
    {{" EPG data base: max. events per channel", " EPG Datenbank: Eintr\xE4ge pro Sender", ""},
     &settings.max_events_per_channel, 150, 500, EDIT_WRAP, 0},
    {{" EPG data base: background scan interval ", " EPG Datenbank: Hintergrundscan-Intervall", ""},
     &settings.scan_interval, 1, 61, EDIT_STOP, 0},
    {{" RC2 Support (for RC2PVR only!)", " RC2 Support (nur f\xFCr RC2PVR!)", " RC2 tuki (vain RC2PVR:lle!)"},
     &settings.rc2_support, 0, 1, EDIT_WRAP, 0},
    {{" LCN Support (Logical Channel Number)", "", ""},
     &settings.lcn_support, 0, 1, EDIT_STOP, 0},
    {{" Info Extender Support", "", ""},
     &settings.desc_extender_support, 0, 1, EDIT_STOP, 0},
    {{" WSS Guard Support", "", ""},
     &settings.wssguard_support, 0, 1, EDIT_STOP, 0},
    {{" Create after EPG Scan CSV/HTML-File",
      " Erstelle CSV/HTML-Datei nach EPG Scan",
      " Luo CSV/HTML-tiedostot EPG-haun j\xE4lkeen"},
     &settings.export_after_scan, 0, 3, EDIT_WRAP, 0},
    {{" Create CSV/HTML Export File now", " Erstelle jetzt CSV/HTML-Exportdatei", " Luo CSV/HTML-tiedostot"},
     0, 0, 0, EDIT_WRAP, 0},
    {{" autom. event programming now",
      " autom. Eventprogrammierung jetzt",
      " K\xE4ynnist\xE4 ohjelmien autom. ajastus"},
     0, 0, 0, EDIT_WRAP, 0},
    {{" Create Channel List as TXT file",
      " Erstelle Programmliste als TXT-Datei",
      " Luo kanavalistaus tekstitiedostona"},
     0, 0, 0, EDIT_WRAP, 0},
    {{" Read command file", " Lese Command.ini", ""},
     0, 0, 0, EDIT_WRAP, 0},
    {{" Backup Timer List", " Erstelle Backup von Timerliste", ""},
     0, 0, 0, EDIT_WRAP, 0},
    {{" Read Timer List from backup", " Timerliste von Backup wiederherstellen", ""},
     0, 0, 0, EDIT_WRAP, 0},
    {{" Delete EPG Buffer Content", " EPG Pufferinhalt l\xF6schen", " Poista EPG-puskurin sis\xE4lt\xF6"},
     0, 0, 0, EDIT_WRAP, 0},
    {{" Delete Buffer File and Settings",
      " Pufferdatei und Einstellungen l\xF6schen",
      " Poista puskuritiedosto ja asetukset"},
     0, 0, 0, EDIT_WRAP, 0},
};
static_assert(sizeof(menu_rows) / sizeof(menu_rows[0]) == MENU_ROWS, "one entry per row");

// --- Value texts ---

// Lists of value texts, one row per language (English, German, Finnish); a missing or empty
// text shows the English one.
static const char *const off_on_texts[UI_LANGUAGES][2] = {{"    Off", "    On"}};
static const char *const name_style_texts[UI_LANGUAGES][9] = {
    {"   Off", "  Date", "  Time", "Date+Time", "    _#", "YY-MM-DD", "DD.MM.YY", "  DD.MM. ", "  MM-DD  "},
    {},
    {"", "   Pvm", "   Klo", "  P + K"}};
static const char *const auto_record_texts[UI_LANGUAGES][5] = {
    {"   Off", " ->Scan", " ->Start", " ->10min", "Scan + 10"}, {}, {"", " ->Haku", " ->Alku", "", "Haku + 10"}};
static const char *const interest_texts[UI_LANGUAGES][5] = {{"   Off", "     M", "     P", "     R", " M+P+R"}};
static const char *const button_view_texts[UI_LANGUAGES][5] = {{"   last", " default", " Normal", "   Now", "  switch"},
                                                               {"  letzte", "", "", "", "wechsel"},
                                                               {"", " Oletus", "Normaali", "  NYT", " vaihto"}};
static const char *const default_view_texts[UI_LANGUAGES][2] = {{" Normal", "   Now"}};
static const char *const name_info_texts[UI_LANGUAGES][4] = {{" On-Off", " On-On", " Off-Off", " Off-On"}};
static const char *const scanned_only_texts[UI_LANGUAGES][5] = {
    {"    Off", "   Scan", "  loop-S", "  Buffer", "  loop-B"}, {}, {"", "", " Kierto-S", "", " Kierto-B"}};
static const char *const now_first_texts[UI_LANGUAGES][3] = {{"  center", " auto-10", "   auto"}, {}, {"  keski"}};
static const char *const next_texts[UI_LANGUAGES][1] = {{" ->Next"}, {}, {" ->Seur"}};
static const char *const fade_texts[UI_LANGUAGES][3] = {{"    Off", "  1 Tuner  ", " 2x DVB-T"}};
static const char *const type_texts[UI_LANGUAGES][1] = {{"Type: %2d"}, {}, {"Tyyli: %2d"}};
static const char *const now_bar_texts[UI_LANGUAGES][2] = {{" S.Name", "  Time"}, {}, {" Kanava", "  Aika"}};
static const char *const language_texts[UI_LANGUAGES][4] = {{"   auto", " English", " Deutsch", "  Suomi"}};
static const char *const info_open_texts[UI_LANGUAGES][5] = {
    {"  0 -> 1 ", "  0 -> 2 ", "0 > 1 > 2", "     1", "  1 -> 2 "}};
static const char *const font_size_texts[UI_LANGUAGES][2] = {{"  small", "  large"}};
static const char *const clock_key_texts[UI_LANGUAGES][4] = {{" 1 (no s)", " 2 (no s)", "   fixed    ", "fixed no s"}};
static const char *const search_description_texts[UI_LANGUAGES][3] = {{"    Off", "  Short", "    All"}};
static const char *const combine_texts[UI_LANGUAGES][3] = {{"    Off", " Normal", "    Cut"}};
static const char *const timer_method_texts[UI_LANGUAGES][5] = {
    {"    R+", "    P", "    P+", " P -> R+", "P+ -> R+"}};
static const char *const rc2_texts[UI_LANGUAGES][2] = {{"    Off", " newSoft"}};
static const char *const export_texts[UI_LANGUAGES][4] = {{"    Off", "    csv", "   html", "csv+html"}};
static const char *const press_texts[UI_LANGUAGES][2] = {{" press 1", " press 0"}, {}, {" paina 1", " paina 0"}};
static const char *const menu_title_texts[UI_LANGUAGES][2] = {{" Menu", "Settings"},
                                                              {"", "Einstellungen"},
                                                              {" Valikko", "Asetukset"}};
// The label of row 34 with the RC2 remote, whose clock key is "Opt".
static const char clock_key_label_rc2[] = " Clock with \"Opt\"-Button: Off=0, On=1,2";
// Row 7's label is followed by the time a whole scan takes.
static const char scan_hours_format[] = " (%d h %d min)";
static const char scan_minutes_format[] = "  (%d min)";

// Text `index` of a list held as UI_LANGUAGES rows of `count` texts; "" outside the list.
static const char *list_text(const char *const *texts, int count, int index)
{
    if (index < 0 || index >= count)
        return "";
    return LangText(texts[index], texts[count + index], texts[2 * count + index]);
}

#define LIST_TEXT(list, index) list_text(&(list)[0][0], (int)(sizeof((list)[0]) / sizeof((list)[0][0])), index)

// Minutes as "  hh:mm".
static void format_clock_time(char *out, int minutes)
{
    snprintf(out, MENU_LINE_SIZE, "  %02d:%02d", minutes / 60, minutes % 60);
}

// The prime time as " ->hh:mm", followed by mark.
static void format_prime_time(char *out, const char *mark)
{
    snprintf(out, MENU_LINE_SIZE, " ->%02d:%02d%s", settings.prime_time / 60, settings.prime_time % 60, mark);
}

// A value of rows 15 and 16: a view, the view switch or the prime time; star marks the values
// that act only while the views are open.
static void format_button_view(char *out, int value, int second)
{
    if (!second && value == 5) {
        format_prime_time(out, "");
    } else if (second && value == 5) {
        snprintf(out, MENU_LINE_SIZE, "%s*", LIST_TEXT(button_view_texts, 4));
    } else if (second && (value == 6 || value == 7)) {
        format_prime_time(out, value == 7 ? "*" : "");
    } else {
        snprintf(out, MENU_LINE_SIZE, "%s", LIST_TEXT(button_view_texts, value));
    }
}

// The value text of a row into out (MENU_LINE_SIZE bytes).
static void format_value(int row, char *out)
{
    const MenuRow *r = &menu_rows[row - 1];
    int v = r->field ? *r->field : 0;
    const char *text = 0;
    out[0] = 0;
    switch (row) {
    case 1: case 2: case ROW_WINDOW_START: case ROW_PRIME_TIME:
        format_clock_time(out, v);
        return;
    case ROW_TUNER:
        snprintf(out, MENU_LINE_SIZE, "     %d", v + 1);
        return;
    case 4: case 5: text = LIST_TEXT(name_style_texts, v); break;
    case 6: text = LIST_TEXT(auto_record_texts, v); break;
    case ROW_SCAN_CHANNELS:
        snprintf(out, MENU_LINE_SIZE, "max. %2d", v);
        return;
    case ROW_SCAN_TIME: case 43:
        snprintf(out, MENU_LINE_SIZE, row == ROW_SCAN_TIME ? " %3d sec" : " %2d sec", v);
        return;
    case ROW_WINDOW_END:
        // An end before the start leaves no window: no scan starts.
        if (v < settings.scan_window_start)
            text = "   Off";
        else
            format_clock_time(out, v);
        break;
    case 11: text = LIST_TEXT(interest_texts, v); break;
    case ROW_FREESIZE:
        if (v == 0)
            text = "   Off";
        else
            snprintf(out, MENU_LINE_SIZE, " %3d GB", v);
        break;
    case ROW_FIRST_BUTTON: case ROW_SECOND_BUTTON:
        Set_Button(0, out, v);
        return;
    case ROW_FIRST_VIEW: case ROW_SECOND_VIEW:
        format_button_view(out, v, row == ROW_SECOND_VIEW);
        return;
    case ROW_DEFAULT_VIEW: text = LIST_TEXT(default_view_texts, v > 0 ? 1 : 0); break;
    case 18: case 25: case ROW_COMPRESS: case 42: case 51: case 52: case 53:
        text = LIST_TEXT(off_on_texts, v);
        break;
    case 19: text = LIST_TEXT(name_info_texts, v); break;
    case 20: text = LIST_TEXT(scanned_only_texts, v); break;
    case 21:
        if (v >= 1)
            snprintf(out, MENU_LINE_SIZE, "  Nr. %2d", v);
        else
            text = LIST_TEXT(now_first_texts, v + 2);
        break;
    case 22:
        if (v == 0)
            format_prime_time(out, "");
        else
            text = LIST_TEXT(next_texts, 0);
        break;
    case 23: text = LIST_TEXT(fade_texts, v); break;
    case ROW_COLOR_SCHEME:
        if (v == COLOR_SCHEME_USER)
            text = "   User";
        else
            snprintf(out, MENU_LINE_SIZE, " %5d", v);
        break;
    case ROW_TITLE_BAR: case ROW_CLOCK_BAR:
        snprintf(out, MENU_LINE_SIZE, row == ROW_TITLE_BAR ? LIST_TEXT(type_texts, 0) : type_texts[0][0], v);
        return;
    case ROW_NOW_BAR:
        if (v <= 0)
            text = LIST_TEXT(now_bar_texts, v + 1);
        else
            snprintf(out, MENU_LINE_SIZE, LIST_TEXT(type_texts, 0), v);
        break;
    case ROW_LANGUAGE: text = LIST_TEXT(language_texts, v); break;
    case 30: text = LIST_TEXT(info_open_texts, v); break;
    case 31:
        snprintf(out, MENU_LINE_SIZE, "     %d", v);
        return;
    case 32: text = LIST_TEXT(font_size_texts, v); break;
    case ROW_CLOCK_KEY:
        if (v <= 2)
            snprintf(out, MENU_LINE_SIZE, "    %2d", v);
        else
            text = LIST_TEXT(clock_key_texts, v - 3);
        break;
    case 36: case ROW_CLOCK_Y:
        snprintf(out, MENU_LINE_SIZE, row == ROW_CLOCK_Y ? "  Y: %2d" : "  X: %2d", v);
        return;
    case 38: text = LIST_TEXT(search_description_texts, v); break;
    case 39:
        snprintf(out, MENU_LINE_SIZE, "   %2d h", v);
        return;
    case 40: text = LIST_TEXT(combine_texts, v); break;
    case 41: text = LIST_TEXT(timer_method_texts, v); break;
    case 44: case 45:
        if (v == 0)
            text = "   Off";
        else
            snprintf(out, MENU_LINE_SIZE, " %3d min", row == 45 ? v * AUTO_SAVE_MINUTES : v);
        break;
    case ROW_BUFFERED: case 48:
        snprintf(out, MENU_LINE_SIZE, "    %3d", v);
        return;
    case ROW_EXT_INFO:
        if (v == EXT_INFO_OFF)
            text = "   Off";
        else
            snprintf(out, MENU_LINE_SIZE, "    %3d", v);
        break;
    case 49:
        if (v == SCAN_INTERVAL_OFF)
            text = "   Off";
        else
            snprintf(out, MENU_LINE_SIZE, "  %2d sec", v);
        break;
    case ROW_RC2: text = LIST_TEXT(rc2_texts, v); break;
    case 54: text = LIST_TEXT(export_texts, v); break;
    default:
        text = LIST_TEXT(press_texts, row == MENU_ROW_DELETE_FILES ? 1 : 0);
        break;
    }
    if (text)
        snprintf(out, MENU_LINE_SIZE, "%s", text);
}

// The label of a row into out (MENU_LINE_SIZE bytes): row 22 with the prime time, row 7 with the
// time a whole scan takes, row 34 naming the RC2 remote's clock key.
static void format_label(int row, char *out)
{
    const MenuRow *r = &menu_rows[row - 1];
    const char *label = LangText(r->label[0], r->label[1], r->label[2]);
    if (row == ROW_CLOCK_KEY && settings.rc2_support == 1 && label == r->label[0])
        label = clock_key_label_rc2;
    snprintf(out, MENU_LINE_SIZE, label, settings.prime_time / 60, settings.prime_time % 60);
    if (row == ROW_SCAN_CHANNELS) {
        int minutes = settings.scan_max_channels * settings.scan_time_per_channel / 60;
        size_t used = strlen(out);
        if (minutes >= 60)
            snprintf(out + used, MENU_LINE_SIZE - used, scan_hours_format, minutes / 60, minutes % 60);
        else
            snprintf(out + used, MENU_LINE_SIZE - used, scan_minutes_format, minutes);
    }
}

// 0 when the row's value has no effect as things stand (it is then drawn in font_gray): the
// second button's view without a second button, its inside-only values (5, 7) when that button
// is OK or EXIT, and the extra clock's bar and position while the clock is off.
static int value_has_effect(int row)
{
    if (row == ROW_SECOND_VIEW) {
        if (settings.second_epg_button == 0)
            return 0;
        int inside_only = settings.second_button_view == 5 || settings.second_button_view == 7;
        return !(inside_only && (second_EPG_key == RKEY_Ok || second_EPG_key == RKEY_Exit));
    }
    if (row >= ROW_CLOCK_BAR && row <= ROW_CLOCK_Y)
        return settings.clock_button != 0;
    return 1;
}

// --- Editing ---

// The range of a row as things stand: the scan visits at most the buffered channels, the buffer
// holds at most the receiver's TV channels (and 200), extended texts are kept for at most the
// buffered channels, and the scan window's end lies from one minute before its start on.
static void row_range(int row, int *min, int *max)
{
    const MenuRow *r = &menu_rows[row - 1];
    *min = r->min;
    *max = r->max;
    switch (row) {
    case ROW_SCAN_CHANNELS:
    case ROW_EXT_INFO:
        *max = settings.buffered_channels;
        break;
    case ROW_WINDOW_END:
        *min = settings.scan_window_start - 1;
        break;
    case ROW_BUFFERED: {
        *max = tv_channel_count < BUFFER_SLOTS_TV ? tv_channel_count : BUFFER_SLOTS_TV;
        break;
    }
    default:
        break;
    }
}

void Menu_EmptyBuffer(void)
{
    for (int slot = 0; slot <= SLOT_SCRATCH; slot++)
        DelBuf(slot);
    // The results borrowed their texts from the blocks just freed.
    max_Event[SLOT_RESULT] = 0;
    currEvent[SLOT_RESULT] = 0;
    BlockSize[SLOT_RESULT] = 0;
}

// The view under the menu turns into the other kind (row 17): the position it comes back to is
// made the other view's, as TeleText does: the Now view's selected channel with its running event
// selected, or the Normal view's channel on the Now view's first row.
// Changes svcNum_store, cursor_store, ListOffset_store, _svcNum (and fills an unbuffered channel's
// events).
static void view_position_switched(int to_normal)
{
    if (to_normal) {
        svcNum_store += cursor_store;
        _svcNum = svcNum_store;   // the Normal view keeps its channel in _svcNum alone
        if (BufferSlot(_svcType, svcNum_store) == SLOT_SCRATCH)
            FillBuffer(_svcType, svcNum_store);
        ListOffset_store = FindCurrentEvent(svcNum_store);
    } else {
        ListOffset_store = 0;
    }
    cursor_store = 0;
}

// What a changed value sets off at once. Returns 1 when the whole window must be drawn anew
// (colours, language), else 0.
static int apply_change(int row, int value)
{
    switch (row) {
    case ROW_WINDOW_START:
        // A window whose end lies before its start is off; its end then reads 0.
        if (settings.scan_window_end < settings.scan_window_start)
            settings.scan_window_end = 0;
        return 0;
    case ROW_FIRST_BUTTON:
        Set_Button(&first_EPG_key, 0, value);
        return 0;
    case ROW_SECOND_BUTTON:
        Set_Button(&second_EPG_key, 0, value);
        return 0;
    case ROW_DEFAULT_VIEW: {
        // The Now view shows buffered TV channels only.
        int was_now = settings.view > 0;
        settings.view = _svcType == SVC_TYPE_Tv && _svcNum < BUFFER_SLOTS_TV ? value : 0;
        if (was_now != (settings.view > 0))
            view_position_switched(was_now);
        return 0;
    }
    case ROW_COLOR_SCHEME:
    case ROW_GRIDLINES:
        Set_Colors();
        return 1;
    case ROW_TITLE_BAR:
        settings.timebar_title = value;
        return 0;
    case ROW_NOW_BAR:
        settings.timebar_now = value;
        return 0;
    case ROW_LANGUAGE:
        Select_Language();
        return 1;
    case ROW_COMPRESS:
        // The texts in memory are in the other form: the buffer starts afresh.
        Menu_EmptyBuffer();
        return 0;
    case ROW_BUFFERED:
        if (settings.scan_max_channels > value)
            settings.scan_max_channels = value;
        if (settings.ext_info_channels > value)
            settings.ext_info_channels = value;
        return 0;
    case ROW_RC2:
        // The RC2 remote sends other codes for some buttons.
        Set_Button(&second_EPG_key, 0, settings.second_epg_button);
        Set_Button(&first_EPG_key, 0, settings.first_epg_button);
        Check_PrimButton();
        return 0;
    default:
        return 0;
    }
}

// Changes the value of a row by step under the row's rule. Results: 0 nothing changed (a
// command row, or a value stopped at its end); 1 changed; 2 changed, and the whole window must
// be drawn anew.
static int step_row(int row, int step)
{
    if (row < 1 || row > MENU_ROWS)
        return 0;
    const MenuRow *r = &menu_rows[row - 1];
    if (!r->field)
        return 0;
    int min = 0, max = 0;
    row_range(row, &min, &max);
    int old = *r->field;
    int value = old;
    if (row == ROW_TUNER && value == TUNER_STORED_FOR_2)
        value = 2;
    // An end before the start shows as "Off", the value at the bottom of the row's range.
    if (row == ROW_WINDOW_END && value < min)
        value = min;
    int tens = r->tens && Key_TimeCount >= HELD_SECONDS_FOR_TENS;
    value = EditValue(row, row, r->rule, tens ? step * TENS : step, value, min, max);
    if (tens) {
        value -= value % TENS;
        if (value < min)
            value = min;
    }
    if (row == ROW_TUNER && value == 2)
        value = TUNER_STORED_FOR_2;
    if (value == old)
        return 0;
    *r->field = value;
    return apply_change(row, value) ? 2 : 1;
}

// --- Drawing ---

// A text in its box x .. right: in the window's font size when it fits, else in the next smaller
// size that does (the smallest, clipped, when none does), lowered to stay centred in the line.
static void put_fitting(int x, int y, int right, const char *text, dword fg, dword bg)
{
    int size = FNT_Size_1926;
    while (size > FNT_Size_1419 && TAP_Osd_GetW(text, FNT_Type_Default, (byte)size) > right - x)
        size--;
    int lower = (FNT_Size_1926 - size) * FONT_STEP_DOWN_Y;
    TAP_Osd_PutString(rgn, x, y + lower, right, text, fg, bg, FNT_Type_Default, (byte)size, 0);
}

// " Menu" and the heading in the title box.
static void draw_title(void)
{
    put_fitting(TITLE_X, WINDOW_TITLE_Y, TITLE_RIGHT, LIST_TEXT(menu_title_texts, 0), font_red, titlebox_color);
    put_fitting(HEADING_X, WINDOW_TITLE_Y, HEADING_RIGHT, LIST_TEXT(menu_title_texts, 1), font_red, titlebox_color);
}

// A column line through one line of the page at x.
static void line_separator(int x, int line)
{
    TAP_Osd_FillBox(rgn, x, WINDOW_ROW_TOP + 2 + WINDOW_ROW_PITCH * line, COLUMN_LINE_W, WINDOW_ROW_PITCH,
                    fineline_color);
}

// Page line `line` (0..10): its box in the line's colours, the column lines, and the row's
// number, value and label; a line beyond the last row stays blank.
static void draw_line(int line)
{
    int row = ListOffset + line + 1;
    int y = WINDOW_TEXT_Y + WINDOW_ROW_PITCH * line;
    int selected = line == cursor && row <= MENU_ROWS;
    dword fg = selected ? font_boxselected : font2_color;
    dword bg = selected ? box1_color : box2_color;

    TAP_Osd_FillBox(rgn, LINE_FILL_X, y - 3, LINE_FILL_W, LINE_FILL_H, bg);
    line_separator(NUMBER_RIGHT, line);
    line_separator(VALUE_RIGHT, line);
    if (row > MENU_ROWS)
        return;

    char text[MENU_LINE_SIZE];
    snprintf(text, sizeof text, " %2d.", row);
    put_fitting(NUMBER_X, y, NUMBER_RIGHT, text, fg, bg);
    format_value(row, text);
    put_fitting(VALUE_X, y, VALUE_RIGHT, text, value_has_effect(row) ? fg : font_gray, bg);
    format_label(row, text);
    put_fitting(LABEL_X, y, LABEL_RIGHT, text, fg, bg);
}

// --- The menu ---

// Brings the page back so that the selected row exists: the cursor first, then the page.
static void clamp_page(void)
{
    if (cursor < 0)
        cursor = 0;
    if (cursor > MENU_PAGE_LINES - 1)
        cursor = MENU_PAGE_LINES - 1;
    if (ListOffset < 0)
        ListOffset = 0;
    if (ListOffset + cursor >= MENU_ROWS)
        cursor = ListOffset < MENU_ROWS ? MENU_ROWS - 1 - ListOffset : 0;
    if (ListOffset + cursor >= MENU_ROWS)
        ListOffset = MENU_ROWS - 1;
}

int Settings_Menu(int step)
{
    clamp_page();
    int changed = 0;
    if (step != 0) {
        changed = step_row(ListOffset + cursor + 1, step);
        // New colours or a new language: the whole window, which draws this page again.
        if (changed == 2) {
            DrawEPG(0);
            return 1;
        }
    }
    draw_title();
    for (int line = 0; line < MENU_PAGE_LINES; line++)
        draw_line(line);
    TAP_Osd_Sync();
    return changed != 0;
}
