// The settings record: 128 signed 32-bit words (512 bytes, little-endian in the file), its file
// "Diro_ROD.Settings.DAT", validation with the valid range and default of every word, and the
// choice of the user-interface language. Leans on frame/ (channel counts, EPG buttons), text/
// (byte swap) and settings/colors (the colour words).
#ifndef DIRO_SETTINGS_SETTINGS_H
#define DIRO_SETTINGS_SETTINGS_H

#include <stddef.h>
#include <stdint.h>

// Every setting is one whole word; the comment gives the byte offset, range and default.
// Times of day are minutes after midnight.
struct Settings {
    int32_t rec_stop_add;            //   0: 0..600, 15 minutes added after an event's end
    int32_t rec_lead_time;           //   4: 0..600, 3 minutes added before an event's start
    int32_t timebar_title;           //   8: 0..8, 5 time-bar type of the title bar in use (file: default)
    int32_t scan_max_channels;       //  12: 10..200, 200 channels the automatic scan visits
    int32_t scan_window_start;       //  16: 1..1439, 180 start of the daily scan window
    int32_t scan_window_end;         //  20: 0..1439, 420 end of the daily scan window
    int32_t freesize_warn_gb;        //  24: 0..999, 0 warn at start-up below this many GB free
    int32_t rec_tuner;               //  28: 0..3, 1 tuner of new timers; 2 is stored as 3
    int32_t rec_name_manual;         //  32: 0..8, 0 name suffix of timers set by hand
    int32_t clock_button;            //  36: 0..6, 0 extra clock key and mode
    int32_t clock_timebar;           //  40: 0..4, 2 time-bar type of the extra clock
    int32_t clock_x;                 //  44: 1..616, 45
    int32_t clock_y;                 //  48: 1..536, 30
    int32_t second_epg_button;       //  52: 0..14, 8 entry of the EPG-button table
    int32_t now_first_channel;       //  56: -2..191, -1 first channel of the Now view
    int32_t view;                    //  60: 0..6, 1 view in use (file: the default view)
    int32_t timebar_now;             //  64: -1..16, 12 Now-view bar type in use (file: default)
    int32_t name_info_statusbar;     //  68: 0..3, 1
    int32_t first_button_view;       //  72: 0..5, 2
    int32_t second_button_view;      //  76: 0..7, 3
    int32_t export_after_scan;       //  80: 0..3, 0 off, CSV, HTML, both
    int32_t language_choice;         //  84: 0..3, 0 automatic, English, German, Finnish
    int32_t interest_msg;            //  88: 0..4, 0
    int32_t search_description;      //  92: 0..2, 0
    int32_t show_scanned_only;       //  96: 0..4, 0
    int32_t auto_record_by_search;   // 100: 0..4, 0
    int32_t search_record_hours;     // 104: 4..240, 26
    int32_t search_record_delay;     // 108: 0..6, 0 seconds
    int32_t remote_mode;             // 112: 0..120, 0 minutes between command-file readings
    int32_t combine_timers;          // 116: 0..2, 1
    int32_t timerlist_sort;          // 120: 1..2, 1
    int32_t first_epg_button;        // 124: 1..14, 5 entry of the EPG-button table
    int32_t search_all_modes;        // 128: 0..3, 0
    int32_t now_next_mode;           // 132: 0..1, 0
    int32_t manual_timer_method;     // 136: 0..4, 0
    int32_t timer_name_date_replace; // 140: 0..1, 1
    int32_t prime_time;              // 144: 0..1439, 1220 (20:20)
    int32_t scan_time_per_channel;   // 148: 3..600, 20 seconds
    int32_t rec_name_auto;           // 152: 0..8, 0
    int32_t auto_save_buffer;        // 156: 0..8, 0 every N x 30 minutes
    int32_t compress_text;           // 160: 0..1, 0 event texts stored coded
    int32_t color_scheme;            // 164: -1..11, 5; -1 user colours, -101 resets them
    int32_t info_open_method;        // 168: 0..4, 2
    int32_t info_bar_lines;          // 172: 0..4, 1
    int32_t info_mode_saved;         // 176: 0..1, 0
    int32_t info_font_large;         // 180: 0..1, 0
    int32_t fade_names_recording;    // 184: 0..2, 1
    int32_t gridlines;               // 188: 0..1, 1
    int32_t reserved_192;            // 192: reserved
    int32_t tv_only;                 // 196: 0..1, 0
    int32_t buffered_channels;       // 200: 30..200, 200 (never above the TV channel count)
    int32_t ext_info_channels;       // 204: -1..200, 200
    int32_t max_events_per_channel;  // 208: 150..500, 500
    int32_t scan_interval;           // 212: 1..61, 2 seconds between background fills
    int32_t flag_216;                // 216: 0..1, 0 validated only
    int32_t save_buffer_request;     // 220: 0..1, 0 save the buffer file at the next idle duty
    int32_t save_settings_request;   // 224: 0..1, 0 save the settings file at the next idle duty
    int32_t word_228;                // 228: 0..99, 0 set to 0 at start-up
    int32_t rc2_support;             // 232: 0..1, 0
    int32_t lcn_support;             // 236: 0..1, 0
    int32_t reserved_240;            // 240: reserved
    int32_t desc_extender_support;   // 244: 0..1, 0
    int32_t scan_state;              // 248: 0..2, 0; 2 only while a refresh runs
    int32_t wssguard_support;        // 252: 0..1, 0
    int32_t reserved_256[36];        // 256..396: reserved
    int32_t user_colors[14];         // 400..452: 15-bit user colours, -1 transparent
    int32_t reserved_456[13];        // 456..504: reserved
    int32_t byte_order;              // 508: never set; keeps -512 and so shows the writer's byte order
};

enum {
    SETTINGS_WORDS = 128,
    SETTINGS_BYTES = 512,
    SETTINGS_UNSET = -512,            // fill value of a word the file did not supply (0xFFFFFE00)
    USER_COLOR_COUNT = 14
};
static_assert(sizeof(Settings) == SETTINGS_BYTES, "the settings record is 512 bytes");
static_assert(offsetof(Settings, compress_text) == 160, "settings layout");
static_assert(offsetof(Settings, word_228) == 228, "settings layout");
static_assert(offsetof(Settings, wssguard_support) == 252, "settings layout");
static_assert(offsetof(Settings, user_colors) == 400, "settings layout");
static_assert(offsetof(Settings, byte_order) == 508, "settings layout");

#define SETTINGS_FILE_NAME "Diro_ROD.Settings.DAT"

extern Settings settings;       // the record in use
extern int language;            // UI language: 2 German, 15 Finnish, anything else English
extern int saved_view;          // default view edited by the menu, stored in settings.view in the file
extern int saved_titletimebar;  // default title-bar type, stored in settings.timebar_title
extern int saved_nowtimebar;    // default Now-view type, stored in settings.timebar_now

// Fills all 128 words with SETTINGS_UNSET.
void Clear_Settings(void);

// Reads the settings file into `settings` (up to 512 bytes; a shorter file leaves the rest as it
// was), swaps a file of the other byte order and takes the saved defaults and the info mode from
// it. Returns 0 when a file was read, 1 when there was none (the record is unchanged).
int ReadSettingsFile(void);

// Writes the settings file anew with the saved defaults in place of the values in use, under a
// temporary name first (frame/safefile). Releases the buffers of channels no longer buffered
// first. Returns 0, or 1 when the file could not be written (a message shows for 4 seconds; the
// record in memory and the old file stay as they were).
int SaveSettingsFile(void);

// Brings every word back into its range (defaults for values outside), lowers the channel counts
// to what the receiver has (the buffered channels to its TV channels, tv_channel_count),
// re-derives the EPG buttons and checks the saved defaults. Returns 1.
int Check_Settings(void);

// Sets `language` from settings.language_choice and the receiver's OSD language.
void Select_Language(void);

// Picks the text of the current language from a row of three (English, German, Finnish);
// an empty German or Finnish text falls back to the English one.
const char *LangText(const char *english, const char *german, const char *finnish);

#endif
