// Owner of the EPG-button key codes and the button table (see epgkeys.h).
#include "frame/epgkeys.h"

#include <string.h>

#include "settings/settings.h"

dword first_EPG_key;
dword second_EPG_key;

struct EpgButton {
    dword key;
    const char *label;
    const char *label_fi;   // null: the English label
    dword key_rc2;          // 0: the same key on the RC2 remote
    const char *label_rc2;
};

// Labels are Latin-1 and padded to line up in the settings menu.
static const EpgButton button_table[EPG_BUTTON_COUNT] = {
    {0, "     -", 0, 0, 0},
    {RKEY_Mute, "  Mute", " Mykistys", 0, 0},
    {RKEY_Uhf, "   UHF", 0, RKEY_Radio, " (Radio)"},
    {RKEY_TvSat, "  TvSat", " TV/STB", 0, 0},
    {RKEY_Recall, "  Recall", "Edellinen", 0, 0},
    {RKEY_Guide, "  Guide", 0, 0, 0},
    {RKEY_Radio, "  Radio", 0, 0, 0},
    {RKEY_AudioTrk, " AudioTr", "  \xC4\xE4ni", RKEY_Guide, " (Guide)"},
    {RKEY_Ok, "   OK", 0, 0, 0},
    {RKEY_Guide, " (Guide)", 0, 0, 0},
    {RKEY_Exit, "   EXIT", 0, 0, 0},
    {RKEY_Pause, "  Pause", 0, 0, 0},
    {RKEY_Blue, "   Blue", " Sininen", 0, 0},
    {RKEY_Sat, "   Sat", 0, RKEY_Sat, "PipSwitch"},
    {RKEY_Guide, "  Guide*", 0, 0, 0},
};

void Set_Button(dword *key, char *label, int index)
{
    if (index < 0 || index >= EPG_BUTTON_COUNT)
        index = 0;
    const EpgButton *b = &button_table[index];
    dword code = b->key;
    const char *text = language == LAN_Finnish && b->label_fi ? b->label_fi : b->label;
    if (settings.rc2_support == 1 && b->label_rc2) {
        code = b->key_rc2;
        text = b->label_rc2;
    }
    if (key)
        *key = code;
    if (label) {
        strncpy(label, text, EPG_BUTTON_LABEL_SIZE - 1);
        label[EPG_BUTTON_LABEL_SIZE - 1] = 0;
    }
}

// Keys that leave the firmware's viewing undisturbed enough to open the guide with.
static const dword usable_first_keys[] = {
    RKEY_Recall, RKEY_Mute, RKEY_Uhf, RKEY_AudioTrk, RKEY_Guide, RKEY_Exit, RKEY_Radio,
    RKEY_Pause, RKEY_Ok, 0x10020, RKEY_TvSat, RKEY_Blue, RKEY_Sat,
};

void Check_PrimButton(void)
{
    for (unsigned i = 0; i < sizeof(usable_first_keys) / sizeof(usable_first_keys[0]); i++) {
        if (first_EPG_key == usable_first_keys[i])
            return;
    }
    first_EPG_key = RKEY_Guide;
    settings.first_epg_button = 5;
    second_EPG_key = RKEY_Ok;
    settings.second_epg_button = 8;
}
