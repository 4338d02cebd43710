// Owner of the settings record, the saved view defaults and the language (see settings.h):
// the settings file, validation and the language choice.
//
// Sections:
//   --- Record and validation table ---
//   --- Settings file ---
//   --- Validation ---
//   --- Language ---
#include "settings/settings.h"

#include <string.h>

#include "epgdb/buffer.h"
#include "frame/epgkeys.h"
#include "frame/msgbox.h"
#include "frame/platform/tap.h"
#include "frame/safefile.h"
#include "frame/state.h"
#include "settings/colors.h"
#include "text/strutil.h"
#include "views/window.h"

// --- Record and validation table ---

Settings settings;
int language;
// The defaults start unset like the record, so validation gives them the record's defaults
// when no settings file supplies them.
int saved_view = SETTINGS_UNSET;
int saved_titletimebar = SETTINGS_UNSET;
int saved_nowtimebar = SETTINGS_UNSET;

struct SettingRange {
    int offset;   // byte offset in the record
    int min, max;
    int def;      // replaces a value outside min..max
};

#define RANGE(field, lo, hi, dflt) {(int)offsetof(Settings, field), lo, hi, dflt}

static const SettingRange setting_ranges[] = {
    RANGE(rec_stop_add, 0, 600, 15),
    RANGE(rec_lead_time, 0, 600, 3),
    RANGE(timebar_title, 0, 8, 5),
    RANGE(scan_max_channels, 10, 200, 200),
    RANGE(scan_window_start, 1, 1439, 180),
    RANGE(scan_window_end, 0, 1439, 420),
    RANGE(freesize_warn_gb, 0, 999, 0),
    RANGE(rec_tuner, 0, 3, 1),
    RANGE(rec_name_manual, 0, 8, 0),
    RANGE(clock_button, 0, 6, 0),
    RANGE(clock_timebar, 0, 4, 2),
    RANGE(clock_x, 1, 616, 45),
    RANGE(clock_y, 1, 536, 30),
    RANGE(second_epg_button, 0, 14, 8),
    RANGE(now_first_channel, -2, 191, -1),
    RANGE(view, 0, 6, 1),
    RANGE(timebar_now, -1, 16, 12),
    RANGE(name_info_statusbar, 0, 3, 1),
    RANGE(first_button_view, 0, 5, 2),
    RANGE(second_button_view, 0, 7, 3),
    RANGE(export_after_scan, 0, 3, 0),
    RANGE(language_choice, 0, 3, 0),
    RANGE(interest_msg, 0, 4, 0),
    RANGE(search_description, 0, 2, 0),
    RANGE(show_scanned_only, 0, 4, 0),
    RANGE(auto_record_by_search, 0, 4, 0),
    RANGE(search_record_hours, 4, 240, 26),
    RANGE(search_record_delay, 0, 6, 0),
    RANGE(remote_mode, 0, 120, 0),
    RANGE(combine_timers, 0, 2, 1),
    RANGE(timerlist_sort, 1, 2, 1),
    RANGE(first_epg_button, 1, 14, 5),
    RANGE(search_all_modes, 0, 3, 0),
    RANGE(now_next_mode, 0, 1, 0),
    RANGE(manual_timer_method, 0, 4, 0),
    RANGE(timer_name_date_replace, 0, 1, 1),
    RANGE(prime_time, 0, 1439, 1220),
    RANGE(scan_time_per_channel, 3, 600, 20),
    RANGE(rec_name_auto, 0, 8, 0),
    RANGE(auto_save_buffer, 0, 8, 0),
    RANGE(compress_text, 0, 1, 0),
    RANGE(color_scheme, -1, 11, 5),
    RANGE(info_open_method, 0, 4, 2),
    RANGE(info_bar_lines, 0, 4, 1),
    RANGE(info_mode_saved, 0, 1, 0),
    RANGE(info_font_large, 0, 1, 0),
    RANGE(fade_names_recording, 0, 2, 1),
    RANGE(gridlines, 0, 1, 1),
    RANGE(tv_only, 0, 1, 0),
    RANGE(buffered_channels, 30, 200, 200),
    RANGE(ext_info_channels, -1, 200, 200),
    RANGE(max_events_per_channel, 150, 500, 500),
    RANGE(scan_interval, 1, 61, 2),
    RANGE(flag_216, 0, 1, 0),
    RANGE(save_buffer_request, 0, 1, 0),
    RANGE(save_settings_request, 0, 1, 0),
    RANGE(word_228, 0, 99, 0),
    RANGE(rc2_support, 0, 1, 0),
    RANGE(lcn_support, 0, 1, 0),
    RANGE(desc_extender_support, 0, 1, 0),
    RANGE(scan_state, 0, 2, 0),
    RANGE(wssguard_support, 0, 1, 0),
};
enum { SETTING_RANGE_COUNT = sizeof(setting_ranges) / sizeof(setting_ranges[0]) };

#undef RANGE

// The word at a byte offset of the record (every field is one 32-bit word).
static int32_t *settings_word(int offset)
{
    return reinterpret_cast<int32_t *>(reinterpret_cast<unsigned char *>(&settings) + offset);
}

// True when value lies in min..max, tested as an unsigned difference so that every value below
// min, however negative, is outside.
static int in_range(int32_t value, int32_t min, int32_t max)
{
    return (uint32_t)value - (uint32_t)min <= (uint32_t)max - (uint32_t)min;
}

void Clear_Settings(void)
{
    for (int i = 0; i < SETTINGS_WORDS; i++)
        *settings_word(i * 4) = SETTINGS_UNSET;
}

// --- Settings file ---

enum {
    FOREIGN_BYTE_ORDER_MARK = 0x00FEFFFF    // SETTINGS_UNSET as written by the other byte order
};

int ReadSettingsFile(void)
{
    TYPE_File *file = TAP_Hdd_Fopen(SETTINGS_FILE_NAME);
    if (!file)
        return 1;
    // A short file fills only the words it holds; the rest keep the fill value.
    TAP_Hdd_Fread(&settings, 1, SETTINGS_BYTES, file);
    TAP_Hdd_Fclose(file);

    // The byte-order word is never set by any writer, so it alone tells the writer's byte order.
    // (Word 0 cannot tell: a follow-up time of 0 reads the same either way round.)
    if (settings.byte_order == FOREIGN_BYTE_ORDER_MARK) {
        for (int i = 0; i < SETTINGS_WORDS; i++)
            Convert_TAP_Int(settings_word(i * 4));
    }

    saved_view = settings.view;
    saved_titletimebar = settings.timebar_title;
    saved_nowtimebar = settings.timebar_now;
    if (settings.info_mode_saved == 0 || settings.info_mode_saved == 1)
        longinfo_mode = (byte)settings.info_mode_saved;
    if (settings.info_open_method > 2)
        longinfo_mode = 1;
    return 0;
}

int SaveSettingsFile(void)
{
    static const char cant_save[] = "     Can't SAVE SETTINGS FILE";
    SafeFile out;
    if (SafeFile_Create(&out, SETTINGS_FILE_NAME) != 0) {
        ShowSaveError(cant_save);
        return 1;
    }

    // A lowered channel count frees the buffers of the channels given up at once.
    int first = settings.buffered_channels < 0 ? 0 : settings.buffered_channels;
    for (int ch = first; ch < BUFFER_SLOTS_TV; ch++)
        DelBuf(ch);

    // The file keeps the defaults the menu edits, not the view and bar types in use.
    int32_t view_in_use = settings.view;
    int32_t title_in_use = settings.timebar_title;
    int32_t now_in_use = settings.timebar_now;
    settings.view = saved_view;
    settings.timebar_title = saved_titletimebar;
    settings.timebar_now = saved_nowtimebar;
    if (longinfo_mode == 0 || longinfo_mode == 1)
        settings.info_mode_saved = longinfo_mode;

    SafeFile_Write(&out, &settings, SETTINGS_BYTES);
    int saved = SafeFile_Close(&out) == 0;

    settings.view = view_in_use;
    settings.timebar_title = title_in_use;
    settings.timebar_now = now_in_use;

    // A full disk must not pass for a saved file (the old file stays as it was).
    if (!saved) {
        ShowSaveError(cant_save);
        return 1;
    }
    return 0;
}

// --- Validation ---

int Check_Settings(void)
{
    if (settings.color_scheme == COLOR_SCHEME_USER_RESET)
        Set_Colors();

    for (int i = 0; i < SETTING_RANGE_COUNT; i++) {
        const SettingRange *r = &setting_ranges[i];
        int32_t *w = settings_word(r->offset);
        if (!in_range(*w, r->min, r->max))
            *w = r->def;
    }

    // The buffered channels are TV channels: their count is held against the receiver's TV
    // channels, not against the current service type or the display limit (a count lowered on a
    // radio channel would release the events of most TV channels at the next save).
    if (settings.buffered_channels > tv_channel_count)
        settings.buffered_channels = tv_channel_count;
    if (settings.scan_max_channels > settings.buffered_channels)
        settings.scan_max_channels = settings.buffered_channels;

    if (settings.scan_state == 2 && autorefresh == 0)
        settings.scan_state = 0;
    if (settings.rec_tuner == 2)
        settings.rec_tuner = 3;

    Set_Button(&second_EPG_key, _strBuf, settings.second_epg_button);
    Set_Button(&first_EPG_key, _strBuf, settings.first_epg_button);
    Check_PrimButton();

    // The saved defaults are tested unsigned as well, so an unset (negative) one gets its default.
    if ((uint32_t)saved_view > 6)
        saved_view = 1;
    if ((uint32_t)saved_titletimebar > 8)
        saved_titletimebar = 5;
    if (!in_range(saved_nowtimebar, -1, 16))
        saved_nowtimebar = 12;

    if (_epgShow > 1) {
        _epgShow = 0;
        cls();
        TAP_EnterNormal();
    }
    return 1;
}

// --- Language ---

void Select_Language(void)
{
    switch (settings.language_choice) {
    case 1:
    case 2:
        language = settings.language_choice;
        break;
    case 3:
        language = LAN_Finnish;
        break;
    case 0:
        language = TAP_GetSystemVar(SYSVAR_OsdLan);
        break;
    default:
        break;
    }
}

const char *LangText(const char *english, const char *german, const char *finnish)
{
    if (language == LAN_German && german && german[0])
        return german;
    if (language == LAN_Finnish && finnish && finnish[0])
        return finnish;
    return english;
}
