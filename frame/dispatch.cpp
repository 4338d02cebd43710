// Event dispatch (see dispatch.h). A key in the views is owned by the first of: a running
// refresh or scan, the help or a one-key message, the settings menu, the keyboard, the lists
// and editors (EXIT goes back one level), and finally the key table of frame/keys.cpp.
//
// Sections:
//   --- Shared steps ---
//   --- TV state ---
//   --- View state ---
//   --- The entry ---
#include "frame/dispatch.h"

#include <string.h>

#include "epgdb/bufferfile.h"
#include "epgdb/fill.h"
#include "frame/epgkeys.h"
#include "frame/idle.h"
#include "frame/keys.h"
#include "frame/state.h"
#include "search/editor.h"
#include "search/entries.h"
#include "search/keyboard.h"
#include "search/record.h"
#include "settings/settings.h"
#include "timers/editor.h"
#include "views/help.h"
#include "views/info.h"
#include "views/nowview.h"
#include "views/window.h"

enum {
    EVENT_CODE_MASK = 0xFFFF,
    CLOCK_BOX_W = 100, CLOCK_BOX_H = 40,
    MENU_COMMAND_ROWS = 53,   // ListOffset + cursor above this: the command rows 55..62
    KEYB_LIMIT_SEARCH = 45,   // characters of a search word typed on the keyboard
    KEYB_LIMIT_TIMER = 40,    // characters of a timer name
    SEARCH_MIN_WORD = 2,      // a shorter typed word becomes "???"
    SEARCH_START_RESULTS = 13 // search_mode of the result list of the start-up search
};

// --- Shared steps ---

// 1 for the two EPG buttons (a second button of 0 never matches).
static int is_epg_button(dword key)
{
    return key == first_EPG_key || (second_EPG_key != 0 && key == second_EPG_key);
}

// Recounts the channels of the current type and applies the channel-count limit; in the Now
// view a first channel that the limit cut off goes back to channel 0. With check_buffers 1 the
// buffered channels that changed are dropped as well.
static void recount_channels(int check_buffers)
{
    CountChannels();
    if (check_buffers)
        CheckChBuf();
    if (ApplyChannelLimit() && settings.view > 0 && _svcNum >= _maxSvcNum)
        _svcNum = 0;
}

// The key-repeat measure of the editors: while left or right arrive less than 200 ms apart,
// Key_TimeCount grows by one for every new second. Changes Key_TimeCount, Key_lastsec, lasttick.
static void measure_key_repeat(dword key)
{
    dword tick = TAP_GetTick();
    if (tick - lasttick < KEY_REPEAT_TICKS) {
        if (time_sec != Key_lastsec) {
            Key_TimeCount++;
            Key_lastsec = time_sec;
        }
    } else {
        Key_TimeCount = 0;
    }
    lasttick = (key == RKEY_Right || key == RKEY_Left) ? tick : 0;
}

// --- TV state ---

// Removes the free-disk or remote message and gives the screen back; with the start-up search
// too, its announcement is dropped as well (else it follows once the message is gone).
static void remove_message(int with_search)
{
    MsgCountdown = 0;
    freesize_msg = 0;
    if (with_search)
        search_start = 0;
    cls();
    TAP_EnterNormal();
}

static void erase_extra_clock(void)
{
    TAP_Osd_FillBox(rgn, settings.clock_x, settings.clock_y - 1, CLOCK_BOX_W, CLOCK_BOX_H, COLOR_None);
}

// Opens the views for an EPG button, in the view its setting chooses.
// Changes settings.view (and the bar types when the last view is restored), timeline_mode,
// temp_*, longinfo_mode, _epgShow, menu, search_mode, timer_mode, cursor, countdown, _maxSvcNum.
static void open_views(dword key)
{
    int first = key == first_EPG_key;
    int how = first ? settings.first_button_view : settings.second_button_view;
    if (settings.view > 0)
        settings.view = 1;
    timeline_mode = 0;
    if (how == 1) {
        settings.view = saved_view;
        settings.timebar_title = saved_titletimebar;
        settings.timebar_now = saved_nowtimebar;
        nowmode_timeon = 0;
        show_name = 0;
    } else if (how == 2) {
        settings.view = 0;
    } else if (how == 3) {
        settings.view = 1;
    } else if ((first && how == 5) || (!first && how == 6)) {
        timeline_mode = 1;
        temp_mjd = time_mjd;
        temp_h = settings.prime_time / 60;
        temp_min = settings.prime_time % 60;
    }
    longinfo_mode = settings.info_open_method >= 3 ? 1 : 0;
    _epgShow = 1;
    menu = 0;
    search_mode = 0;
    timer_mode = 0;
    cursor = 0;
    countdown = 0;
    Select_Language();
    recount_channels(1);
    cls();
    TAP_ExitNormal();
    DrawEPG(1);
}

// A key while the views are hidden. Returns the key to pass on, or 0.
static dword tv_state_key(dword key)
{
    TAP_Channel_GetCurrent(&_svcType, &_svcNum);

    if (settings.tv_only == 1 && _svcType != SVC_TYPE_Tv) {
        if (MsgCountdown > 0 || search_start > 0)
            remove_message(1);
        return key;
    }
    if (MsgCountdown > 0) {
        if (key == RKEY_Ok || key == RKEY_Exit || key == RKEY_Menu)
            remove_message(0);
        return 0;
    }
    if (search_start > 0) {
        if (key == RKEY_Ok) {
            search_start = 0;
            cls();
            TAP_ExitNormal();
            _epgShow = 1;
            search_mode = SEARCH_START_RESULTS;
            menu = 0;
            timer_mode = 0;
            cursor = 0;
            ListOffset = 0;
            DrawEPG(1);
        } else if (key == RKEY_Exit) {
            search_start = 0;
            cls();
            TAP_EnterNormal();
        }
        return 0;
    }

    // The clock key switches the extra clock on and off; a quick second press is the firmware's.
    if (key == RKEY_Sleep && settings.clock_button >= 1 && settings.clock_button <= 4) {
        if (countdown > 0) {
            countdown = KEY_WINDOW_TV;
            return key;
        }
        erase_extra_clock();
        static const int toggled[] = {0, 2, 1, 4, 3};
        settings.clock_button = toggled[settings.clock_button];
        TAP_Osd_Sync();
        return 0;
    }

    if (!is_epg_button(key) || subState != SUBSTATE_Normal) {
        int always_on = settings.clock_button == 2 || settings.clock_button >= 4;
        if (always_on && settings.clock_x > 0 && settings.clock_y > 0 && subState == SUBSTATE_Normal)
            erase_extra_clock();
        countdown = KEY_WINDOW_TV;
        TAP_Osd_Sync();
        return key;
    }
    // An EPG button pressed again soon after another key keeps its firmware function.
    if (countdown > 0) {
        countdown = 0;
        return key;
    }
    // A second button that only acts inside the views.
    if (key == second_EPG_key && key != first_EPG_key && key != RKEY_Ok && key != RKEY_Exit &&
        (settings.second_button_view == 5 || settings.second_button_view == 7)) {
        countdown = 0;
        return key;
    }
    open_views(key);
    return 0;
}

// --- View state ---

// The keys that reach the settings menu's rows and the key table while the menu is open.
static int menu_key_goes_on(dword key)
{
    switch (key) {
    case RKEY_Right:
    case RKEY_Left:
    case RKEY_Up:
    case RKEY_Down:
    case RKEY_Rewind:
    case RKEY_Forward:
    case RKEY_Red:
    case RKEY_Stop:
    case RKEY_0:
    case RKEY_1:
        return 1;
    default:
        return 0;
    }
}

// Closes the settings menu; a changed menu saves the settings and the buffer first.
static void close_settings_menu(void)
{
    if (menu == 2) {
        SaveSettingsFile();
        SaveBufferFile();
    }
    recount_channels(0);
    Select_Language();
    menu = 0;
    longinfo_site = 1;
    DrawEPG(0);
}

// The text the keyboard edits and its limit: the name of the timer being edited, or the search
// word through _strBuf2.
static char *keyboard_text(int *limit)
{
    if (timer_mode != 0) {
        *limit = KEYB_LIMIT_TIMER;
        return Timer_EditedName();
    }
    *limit = KEYB_LIMIT_SEARCH;
    return _strBuf2;
}

// A key while the on-screen keyboard is open; every key is consumed. When the keyboard closes,
// a saved search word becomes the working entry's word and the view under it is drawn again.
static void keyboard_key(dword key)
{
    switch (key) {
    case RKEY_Right:
    case RKEY_Left:
    case RKEY_Down:
    case RKEY_Up:
    case RKEY_Ok:
    case RKEY_Exit:
    case RKEY_Rewind:
    case RKEY_Forward:
    case RKEY_Play:
    case RKEY_Stop:
    case RKEY_Prev:
    case RKEY_Next:
        break;
    default:
        return;
    }
    int limit = 0;
    char *text = keyboard_text(&limit);
    int result = Keyboard(0, key, text, limit);
    if (keyboard_mode == 0) {
        if (timer_mode == 0 && result == KEYB_SAVED) {
            Cut_Start = 0;
            Cut_End = 0;
            if (strlen(_strBuf2) < SEARCH_MIN_WORD)
                strcpy(_strBuf2, "???");
            strncpy(Search[SEARCH_WORKING].word, _strBuf2, SEARCH_WORD_SIZE - 1);
            Search[SEARCH_WORKING].word[SEARCH_WORD_SIZE - 1] = 0;
        }
        DrawEPG(0);
    }
    TAP_Osd_Sync();
}

// The keys the lists and editors handle themselves (through the key table).
static int list_key_goes_on(dword key)
{
    switch (key) {
    case RKEY_Down:
    case RKEY_Up:
    case RKEY_Rewind:
    case RKEY_Forward:
    case RKEY_Help:
    case RKEY_Right:
    case RKEY_Left:
    case RKEY_Slow:
    case RKEY_Ok:
    case RKEY_Red:
    case RKEY_Info:
    case RKEY_Green:
    case RKEY_Yellow:
    case RKEY_Blue:
        return 1;
    default:
        return 0;
    }
}

// EXIT in a list or editor: one level back (editor to its list, result list to its editor or
// list, list to the view), or out of the views from the start-up search's results.
static void exit_one_level(void)
{
    if (search_mode == SEARCH_START_RESULTS && timer_mode != 1) {
        Close_Views();
        return;
    }
    if (search_mode == 1)
        search_mode = 0;
    if (search_mode == 2) {
        search_mode = 1;
        ListOffset = ListOffset_store2;
        cursor = cursor_store2;
    }
    if (search_mode % 10 == 3 && timer_mode == 0 && longinfo_mode == 2) {
        CloseInfoWin(1);
        Position_Store();
        DrawEPG(0);
        return;
    }
    if (search_mode == 3 && timer_mode == 0) {
        search_mode = 2;
        cursor = 0;
        ListOffset = 0;
    }
    if (search_mode == 23) {
        search_mode = 1;
        ListOffset = ListOffset_store2;
        cursor = cursor_store2;
    }
    if (timer_mode == 1 || timer_mode == 2)
        timer_mode = 0;
    if (timer_mode == 3) {
        timer_mode = 2;
        ListOffset = ListOffset_store2;
        cursor = cursor_store2;
    }
    DrawEPG(0);
}

// A key while the views are open. Returns the key to pass on, or 0.
static dword view_state_key(dword key)
{
    MsgCountdown = 0;

    if (key == RKEY_Play && autorefresh > 0) {
        scan_mode = 2;
        autorefresh = settings.scan_time_per_channel + 1;
        return 0;
    }
    if (autorefresh > 0 && scan_mode != 1) {
        autorefresh = 0;
        if (settings.view > 0)
            Draw_Now(1);
        else
            DrawEventBuf(1);
        return 0;
    }
    if (autorefresh > 0) {
        autorefresh = 0;
        scan_mode = 0;
        _epgShow = 0;
        cls_wss();
        if (settings.auto_record_by_search > 0)
            SearchAndRecord(1);
        TAP_EnterNormal();
        return 0;
    }
    if (help != 0) {
        help = 0;
        countdown = KEY_WINDOW_VIEWS;
        DrawEPG(0);
        return 0;
    }
    if (menu != 0) {
        if (key == RKEY_Menu || key == RKEY_Exit || (key == RKEY_Ok && ListOffset + cursor <= MENU_COMMAND_ROWS)) {
            close_settings_menu();
            return 0;
        }
        if (!menu_key_goes_on(key))
            return 0;
    }
    if (keyboard_mode != 0) {
        keyboard_key(key);
        return 0;
    }
    if ((search_mode != 0 || timer_mode != 0) && !list_key_goes_on(key)) {
        if (key == RKEY_TimerList && timer_mode == 2) {
            timer_mode = 0;
            DrawEPG(0);
        } else if (key == RKEY_Exit) {
            exit_one_level();
        }
        int record_on_results = key == RKEY_Record && search_mode % 10 == 3 && timer_mode == 0;
        if (!record_on_results)
            return 0;
    }

    scan_mode = 0;
    timerlisthelp = 0;
    if (key >= RKEY_0 && key <= RKEY_Help)
        return Keys_View(key);
    return Keys_EpgButton(key);
}

// --- The entry ---

// 1 for the key codes the plug-in looks at; the firmware keeps all others.
static int is_plugin_key(dword key)
{
    return (key >= RKEY_0 && key <= RKEY_Blue) || (key >= RKEY_Teletext && key <= RKEY_Help) || (key >= 1 && key <= 6);
}

extern "C" dword TAP_EventHandler(dword event, dword param1, dword param2)
{
    dword code = event & EVENT_CODE_MASK;
    if (code != EVT_IDLE && code != EVT_KEY)
        return param1;
    // The plug-in has asked to end; the firmware keeps everything until it is unloaded.
    if (_epgShow == -1)
        return param1;

    TAP_GetState(&mainState, &subState);
    ReadClock();
    if (Idle_Chain() == IDLE_CONSUMED)
        return code == EVT_KEY ? 0 : param1;
    if (code == EVT_IDLE)
        return param1;

    dword key = param1;
    if (mainState != STATE_Normal || !is_plugin_key(key))
        return key;
    measure_key_repeat(key);
    last_sec = MSG_SECOND_NONE;
    dword result = _epgShow == 0 ? tv_state_key(key) : view_state_key(key);
    // A key window counts whole seconds from the key that opened it, not from the clock's seconds.
    if (countdown > 0)
        countdown_tick = TAP_GetTick();
    return result;
}
