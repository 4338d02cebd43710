// Owner of the colour globals and the colour schemes (see colors.h). The built-in schemes are one
// table, a column per scheme; the user scheme converts the 15-bit words of the settings record.
#include "settings/colors.h"

#include "settings/settings.h"

// Initial values: those of scheme 0.
dword font_title = 0xFF000080;
dword titlebox_color = 0xFFC8D8E4;
dword font_red = 0xFFC80000;
dword font1_color = 0xFFE0E8F0;
dword font2_color = 0xFFE0E8F0;
dword font_gray = 0xFF8C8C8C;
dword font_boxselected = 0xFFFADC64;
dword font_selected_color = 0xFFFADC64;
dword font_extradark = 0xFF0C1C4C;
dword box1_color = 0xFF283287;
dword box2_color = 0xFF465A91;
dword box_shadow = 0xFF0C1C4C;
dword fineline_color = 0xFF708CB0;
dword timeline_background = 0xFF00005A;
dword statusbox_color = 0xFF283287;

// One row per colour global, one column per built-in scheme.
struct SchemeRow {
    dword *target;
    dword scheme[COLOR_SCHEME_COUNT];
};

static const SchemeRow scheme_table[] = {
    {&font_title, {0xFF000080, 0xFF000080, 0xFFF0F0F0, 0xFFF0F0F0, 0xFFC8D8E4, 0xFFE1E1E1, 0xFFE0C0C0, 0xFFFADC64,
                   0xFFF0F0F0, 0xFFF0F0F0, 0xFFF8F8F8, 0xFF374951}},
    {&titlebox_color, {0xFFC8D8E4, 0xFFC8D8E4, 0xFF878787, 0xFF878787, 0xFF000000, 0xFF1F1F1F, 0xFF750B35,
                       0xFF201898, 0xFF123262, 0xFF123262, 0xFF5878B8, 0xFFB6B6B6}},
    {&font_red, {0xFFC80000, 0xFFC80000, 0xFFFAD21E, 0xFFFAD21E, 0xFFE6C850, 0xFFE1E1E1, 0xFFE0C0C0, 0xFFFADC64,
                 0xFFF0F0F0, 0xFFF0F0F0, 0xFFF8F8F8, 0xFF374951}},
    {&font2_color, {0xFFE0E8F0, 0xFFE0E8F0, 0xFFE0E8F0, 0xFFE0E8F0, 0xFFC8D8E4, 0xFFE1E1E1, 0xFFDEBCBC, 0xFFC0C0E0,
                    0xFFCED8FF, 0xFFCED8FF, 0xFFE8E8E8, 0xFFC8C8C8}},
    {&font_gray, {0xFF8C8C8C, 0xFF8C8C8C, 0xFF8C8C8C, 0xFF8C8C8C, 0xFF8C8C8C, 0xFF8C8C8C, 0xFF750B35, 0xFF6969B6,
                  0xFF969696, 0xFF969696, 0xFFA8B8D0, 0xFFB6B6B6}},
    {&font_boxselected, {0xFFFADC64, 0xFF000080, 0xFF8C2828, 0xFF8C2828, 0xFFC80000, 0xFFA80000, 0xFFF9F9F9,
                         0xFFF8F8F8, 0xFF000080, 0xFF000080, 0xFFFADC64, 0xFF970F19}},
    {&box2_color, {0xFF465A91, 0xFF465A91, 0xFF464646, 0xFF505050, 0xFF000000, 0xFF444444, 0xFF983857, 0xFF385898,
                   0xFF345494, 0xFF345494, 0xFF305098, 0xFF374951}},
    {&fineline_color, {0xFF708CB0, 0xFF708CB0, 0xFFAAAAAA, 0xFF282828, 0xFF383838, 0xFF282828, 0xFF985067,
                       0xFF4369B8, 0xFF4A68A6, 0xFF4A68A6, 0xFF203060, 0xFF55646A}},
    {&timeline_background, {0xFF00005A, 0xFF00005A, 0xFF282828, 0xFF303030, 0xFF303030, 0xFF282828, 0xFF00005A,
                            0xFF00005A, 0xFF00005A, 0xFF00005A, 0xFF00005A, 0xFF00005A}},
    {&statusbox_color, {0xFF283287, 0xFF283287, 0xFF282828, 0xFF3C3C3C, 0xFF000000, 0xFF1F1F1F, 0xFF802849,
                        0xFF201898, 0xFF183878, 0xFF183878, 0xFF5878B8, 0xFF374951}},
    {&font1_color, {0xFFE0E8F0, 0xFF283287, 0xFF282828, 0xFF282828, 0xFFC80000, 0xFFA80000, 0xFFE0C0C0, 0xFFFAFAFA,
                    0xFF283287, 0xFF283287, 0xFFF8F8F8, 0xFF970F19}},
    {&font_selected_color, {0xFFFADC64, 0xFFFADC64, 0xFFFADC64, 0xFFFADC64, 0xFFE6C850, 0xFFFADC64, 0xFFF9F9F9,
                            0xFFFF9D3C, 0xFFFBFBFB, 0xFFFADC64, 0xFFFADC64, 0xFFFAD200}},
    {&box_shadow, {0xFF0C1C4C, 0xFF0C1C4C, 0xFF323232, 0xFF323232, 0xFF6E6E6E, 0xFF1F2828, 0xFF3A0727, 0xFF2C2C2C,
                   0xFF081F48, 0xFF081F48, 0xFF081848, 0xFF55646A}},
    {&font_extradark, {0xFF0C1C4C, 0xFF0C1C4C, 0xFFB4B4B4, 0xFFB4B4B4, 0xFFA0A0A0, 0xFFE1E1E1, 0xFF750B3C,
                       0xFF0C1C4C, 0xFF9CAEDB, 0xFF9CAEDB, 0xFF182858, 0xFF970F19}},
    {&box1_color, {0xFF283287, 0xFFFADC46, 0xFFE0E8F0, 0xFFE0E8F0, 0xFFC8D8E4, 0xFFE1E1E1, 0xFF781837, 0xFF283080,
                   0xFFBBC5E2, 0xFFFADC46, 0xFF6078A8, 0xFFB6B6B6}},
};
enum { SCHEME_ROWS = sizeof(scheme_table) / sizeof(scheme_table[0]) };

// The user words in their stored order: the global each one colours and its default.
struct UserColorSlot {
    dword *target;
    int default15;
};

static const UserColorSlot user_slots[USER_COLOR_COUNT] = {
    {&box_shadow, 9313},     {&font_extradark, 28339}, {&font_title, 31710},          {&box1_color, 9087},
    {&box2_color, 18758},    {&font1_color, 16581},    {&fineline_color, 21929},      {&font_red, 31710},
    {&font_selected_color, 9087}, {&font_gray, 19026}, {&titlebox_color, 12482},      {&font2_color, 32633},
    {&statusbox_color, 15587}, {&font_boxselected, 16384},
};

enum { USER_WORD_BOX1 = 3, USER_WORD_BOX2 = 4, USER_WORD_FONT1 = 5, USER_WORD_FONT2 = 11 };

dword UserColorToArgb(int value15)
{
    dword v = (dword)value15;
    dword red = v & 0x1F, green = (v >> 5) & 0x1F, blue = (v >> 10) & 0x1F;
    return 0xFF000000u + ((red * 8) << 16) + ((green * 8) << 8) + blue * 8;
}

// The user scheme: a box colour equal to the text colour written on it would make the texts
// invisible, so such a set of words is thrown away and replaced by the defaults.
static void apply_user_colors(void)
{
    int32_t *words = settings.user_colors;
    if (words[USER_WORD_BOX2] == words[USER_WORD_FONT2] || words[USER_WORD_BOX1] == words[USER_WORD_FONT1]) {
        for (int i = 0; i < USER_COLOR_COUNT; i++)
            words[i] = SETTINGS_UNSET;
    }
    for (int i = 0; i < USER_COLOR_COUNT; i++) {
        if (words[i] < -1 || words[i] > 32767)
            words[i] = user_slots[i].default15;
    }
    timeline_background = 0xFF00005A;
    for (int i = 0; i < USER_COLOR_COUNT; i++)
        *user_slots[i].target = words[i] == -1 ? 0 : UserColorToArgb(words[i]);
}

void Set_Colors(void)
{
    int s = settings.color_scheme;
    if (s == COLOR_SCHEME_USER || s == COLOR_SCHEME_USER_RESET) {
        settings.color_scheme = COLOR_SCHEME_USER;
        apply_user_colors();
    } else if (s >= 0 && s < COLOR_SCHEME_COUNT) {
        // Every column of the table is complete, so the base colours (scheme 0) need no pass of
        // their own: the scheme's column overwrites all of them.
        for (int r = 0; r < SCHEME_ROWS; r++)
            *scheme_table[r].target = scheme_table[r].scheme[s];
    }
    if (settings.gridlines == 0)
        fineline_color = box2_color;
}
