// Owner of the keyboard's selection and text buffers (see keyboard.h): the key handler and the
// drawing of the title, the text line, the character keys and the function row.
// Leans on frame/state.h (rgn, keyboard_mode), settings/colors.h, settings/settings.h (LangText).
#include "search/keyboard.h"

#include <stdio.h>
#include <string.h>

#include "frame/state.h"
#include "settings/colors.h"
#include "settings/settings.h"

int32_t keyboard_idx;
char strBuf_keyb[KEYB_BUF_SIZE];
char strBuf_keyb_2[KEYB_BUF_SIZE];

// The characters of keys 0..49, row by row: A-J, K-T, U-Z and the umlauts with sharp s,
// punctuation, digits.
static const char keyb_chars[KEYB_CHAR_KEYS + 1] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ\xC4\xD6\xDC\xDF.-_+~'!&()1234567890";

// Geometry of the keyboard on the OSD (pixels).
enum {
    KEYB_TITLE_X = 61, KEYB_TITLE_Y = 71, KEYB_TITLE_W = 500, KEYB_TITLE_H = 36,
    KEYB_TITLE_TEXT_X = 279, KEYB_TITLE_TEXT_Y = 76, KEYB_TITLE_TEXT_RIGHT = 524,
    KEYB_LINE_X = 60, KEYB_LINE_Y = 110, KEYB_LINE_W = 598, KEYB_LINE_H = 33,
    KEYB_LINE_FRAME = 2,                   // thickness of the two frames of the text line
    KEYB_LINE_TEXT_X = 64, KEYB_LINE_TEXT_RIGHT = 655,
    KEYB_LINE_TEXT_Y = 113, KEYB_LINE_SMALL_Y = 115,
    KEYB_LINE_FIT = 590,                   // wider texts are drawn one font size smaller
    KEYB_FIELD_X = 60, KEYB_FIELD_Y = 145, KEYB_FIELD_W = 598, KEYB_FIELD_H = 358,
    KEYB_CELL = 60,                        // a key cell is 60 x 60 pixels
    KEYB_EDGE = 3,                         // button edges
    KEYB_FRAME_X = 60, KEYB_FRAME_Y = 442, KEYB_FRAME_W = 600, KEYB_FRAME_H = 62,
    KEYB_FUNC_Y = 445, KEYB_FUNC_H = 56,   // the function buttons inside the bottom frame
    KEYB_FUNC_TEXT_Y = 448,
    KEYB_STOP_MARK = 10,                   // side of the stop symbol on Save
    KEYB_FONT_H = 26                       // height of the key labels (font size 2)
};
static const dword KEYB_DARK_EDGE = 0xFF182C58;   // lower and right button edges

// The four buttons of the function row: first column, width in cells, label.
struct KeybFunction {
    int column;
    int cells;
    const char *label;
};
static const KeybFunction keyb_functions[] = {
    {KEYB_SHIFT - KEYB_CHAR_KEYS, 2, "Shift >"},
    {KEYB_SPACE - KEYB_CHAR_KEYS, 4, "Space >>"},
    {KEYB_DELETE - KEYB_CHAR_KEYS, 2, "Delete <<"},
    {KEYB_SAVE - KEYB_CHAR_KEYS, 2, "Save   "},
};
enum { KEYB_FUNCTION_COUNT = sizeof keyb_functions / sizeof keyb_functions[0] };

// --- Text buffers ---

// The character a key types and shows: letters A-Z, \xC4, \xD6 and \xDC in small letters while
// shifted; sharp s, punctuation and digits as they are.
static char Keyb_Char(int idx)
{
    unsigned char c = (unsigned char)keyb_chars[idx];
    if (keyboard_mode == KEYB_MODE_SMALL && ((c >= 'A' && c <= 'Z') || c == 0xC4 || c == 0xD6 || c == 0xDC))
        c = (unsigned char)(c + 32);
    return (char)c;
}

static int Keyb_Length(void)
{
    return (int)(strlen(strBuf_keyb) + strlen(strBuf_keyb_2));
}

// Inserts c left of the cursor while the whole text is shorter than max_len. 0 done, 1 full.
static int Keyb_Insert(char c, int max_len)
{
    if (Keyb_Length() >= max_len)
        return 1;
    size_t n = strlen(strBuf_keyb);
    strBuf_keyb[n] = c;
    strBuf_keyb[n + 1] = 0;
    return 0;
}

// Removes the character left of the cursor. 0 done, 1 the cursor is at the start.
static int Keyb_DeleteLeft(void)
{
    size_t n = strlen(strBuf_keyb);
    if (n == 0)
        return 1;
    strBuf_keyb[n - 1] = 0;
    return 0;
}

// Moves the cursor one character left (the last character of the left part becomes the first
// of the right part). 0 done, 1 already at the start.
static int Keyb_CursorLeft(void)
{
    size_t n = strlen(strBuf_keyb);
    size_t m = strlen(strBuf_keyb_2);
    if (n == 0 || m + 1 >= KEYB_BUF_SIZE)
        return 1;
    memmove(strBuf_keyb_2 + 1, strBuf_keyb_2, m + 1);
    strBuf_keyb_2[0] = strBuf_keyb[n - 1];
    strBuf_keyb[n - 1] = 0;
    return 0;
}

// Moves the cursor one character right. 0 done, 1 already at the end.
static int Keyb_CursorRight(void)
{
    size_t n = strlen(strBuf_keyb);
    size_t m = strlen(strBuf_keyb_2);
    if (m == 0 || n + 1 >= KEYB_BUF_SIZE)
        return 1;
    strBuf_keyb[n] = strBuf_keyb_2[0];
    strBuf_keyb[n + 1] = 0;
    memmove(strBuf_keyb_2, strBuf_keyb_2 + 1, m);
    return 0;
}

// Joins both parts into strBuf_keyb, cut to max_len, and copies the result into text.
static void Keyb_Store(char *text, int max_len)
{
    size_t n = strlen(strBuf_keyb);
    size_t room = (size_t)max_len > n ? (size_t)max_len - n : 0;
    strncat(strBuf_keyb, strBuf_keyb_2, room);
    strBuf_keyb[max_len] = 0;
    strBuf_keyb_2[0] = 0;
    if (text) {
        memcpy(text, strBuf_keyb, strlen(strBuf_keyb) + 1);
    }
}

// --- Moving the selection ---

// A function-row column belongs to the button that covers it: 51 to 50, 53..55 to 52, 57 to 56,
// 59 to 58.
static int32_t Keyb_PullBack(int32_t idx)
{
    if (idx == 51)
        return KEYB_SHIFT;
    if (idx >= 53 && idx <= 55)
        return KEYB_SPACE;
    if (idx == 57)
        return KEYB_DELETE;
    if (idx == 59)
        return KEYB_SAVE;
    return idx;
}

// Brings a selection that is none of the keys back to the first key.
static int32_t Keyb_Valid(int32_t idx)
{
    if (idx >= 0 && idx < KEYB_FUNCTION_END)
        return Keyb_PullBack(idx);
    if (idx >= KEYB_TEXT_LINE && idx < KEYB_TEXT_LINE + KEYB_COLUMNS)
        return idx;
    return 0;
}

static int32_t Keyb_MoveLeft(int32_t idx)
{
    if (idx < KEYB_CHAR_KEYS)
        return idx % KEYB_COLUMNS == 0 ? idx + KEYB_COLUMNS - 1 : idx - 1;
    switch (idx) {
    case KEYB_SHIFT: return KEYB_SAVE;
    case KEYB_SAVE: return KEYB_DELETE;
    case KEYB_DELETE: return KEYB_SPACE;
    default: return KEYB_SHIFT;
    }
}

static int32_t Keyb_MoveRight(int32_t idx)
{
    if (idx < KEYB_CHAR_KEYS)
        return idx % KEYB_COLUMNS == KEYB_COLUMNS - 1 ? idx - KEYB_COLUMNS + 1 : idx + 1;
    switch (idx) {
    case KEYB_SHIFT: return KEYB_SPACE;
    case KEYB_SPACE: return KEYB_DELETE;
    case KEYB_DELETE: return KEYB_SAVE;
    default: return KEYB_SHIFT;
    }
}

// Down: a row down, the digits to the function row, the function row to the text line (which
// remembers the column), the text line to the top row in that column.
static int32_t Keyb_MoveDown(int32_t idx)
{
    if (idx >= KEYB_TEXT_LINE)
        return idx - KEYB_TEXT_LINE;
    if (idx >= KEYB_CHAR_KEYS)
        return KEYB_TEXT_LINE + idx - KEYB_CHAR_KEYS;
    return Keyb_PullBack(idx + KEYB_COLUMNS);
}

// Up: the reverse of Down; from the text line to the button under the remembered column.
static int32_t Keyb_MoveUp(int32_t idx)
{
    if (idx >= KEYB_TEXT_LINE)
        return Keyb_PullBack(KEYB_CHAR_KEYS + idx - KEYB_TEXT_LINE);
    if (idx < KEYB_COLUMNS)
        return KEYB_TEXT_LINE + idx;
    return idx - KEYB_COLUMNS;
}

// --- Drawing ---

// A raised button: light edges top and left, dark edges bottom and right (exchanged when
// selected), the face, and the label centred on the face from text_y.
static void Keyb_DrawButton(int x, int y, int w, int h, int text_y, const char *label, int selected)
{
    dword light = selected ? KEYB_DARK_EDGE : fineline_color;
    dword dark = selected ? fineline_color : KEYB_DARK_EDGE;
    dword fg = selected ? font_boxselected : font2_color;
    dword bg = selected ? box1_color : box2_color;
    TAP_Osd_FillBox(rgn, x, y, w, KEYB_EDGE, light);
    TAP_Osd_FillBox(rgn, x, y, KEYB_EDGE, h, light);
    TAP_Osd_FillBox(rgn, x, y + h - KEYB_EDGE, w, KEYB_EDGE, dark);
    TAP_Osd_FillBox(rgn, x + w - KEYB_EDGE, y + KEYB_EDGE, KEYB_EDGE, h - KEYB_EDGE, dark);
    TAP_Osd_FillBox(rgn, x + KEYB_EDGE, y + KEYB_EDGE, w - 2 * KEYB_EDGE, h - 2 * KEYB_EDGE, bg);
    TAP_Osd_PutS(rgn, x + KEYB_EDGE, text_y, x + w - KEYB_EDGE, label, fg, bg, FNT_Type_Default, FNT_Size_1926,
                 0, ALIGN_CENTER);
}

static void Keyb_DrawCharKeys(void)
{
    char label[2] = {0, 0};
    for (int idx = 0; idx < KEYB_CHAR_KEYS; idx++) {
        int x = KEYB_FIELD_X + KEYB_CELL * (idx % KEYB_COLUMNS);
        int y = KEYB_FIELD_Y + KEYB_CELL * (idx / KEYB_COLUMNS);
        label[0] = Keyb_Char(idx);
        Keyb_DrawButton(x, y, KEYB_CELL, KEYB_CELL, y + (KEYB_CELL - KEYB_FONT_H) / 2, label, idx == keyboard_idx);
    }
}

static void Keyb_DrawFunctionRow(void)
{
    for (int i = 0; i < KEYB_FUNCTION_COUNT; i++) {
        const KeybFunction *f = &keyb_functions[i];
        int x = KEYB_FIELD_X + KEYB_CELL * f->column;
        int w = KEYB_CELL * f->cells;
        int selected = keyboard_idx == KEYB_CHAR_KEYS + f->column;
        Keyb_DrawButton(x, KEYB_FUNC_Y, w, KEYB_FUNC_H, KEYB_FUNC_TEXT_Y, f->label, selected);
        if (KEYB_CHAR_KEYS + f->column == KEYB_SAVE) {
            // The stop symbol in the room the label leaves after "Save".
            int face = w - 2 * KEYB_EDGE;
            int left = x + KEYB_EDGE + (face - TAP_Osd_GetW(f->label, FNT_Type_Default, FNT_Size_1926)) / 2;
            int mark_x = left + TAP_Osd_GetW("Save ", FNT_Type_Default, FNT_Size_1926) + 2;
            TAP_Osd_FillBox(rgn, mark_x, KEYB_FUNC_TEXT_Y + 8, KEYB_STOP_MARK, KEYB_STOP_MARK,
                            selected ? font_boxselected : font2_color);
        }
    }
}

// The text line: " >>text<<" with the cursor mark between the parts unless it is at the end.
static void Keyb_DrawTextLine(void)
{
    char line[2 * KEYB_BUF_SIZE + 8];
    if (strBuf_keyb_2[0] == 0)
        snprintf(line, sizeof line, " \xBB%s\xAB", strBuf_keyb);
    else
        snprintf(line, sizeof line, " \xBB%s%c%s\xAB", strBuf_keyb, KEYB_CURSOR_MARK, strBuf_keyb_2);
    int selected = keyboard_idx >= KEYB_TEXT_LINE;
    dword fg = selected ? font_boxselected : font2_color;
    dword bg = selected ? box1_color : statusbox_color;
    TAP_Osd_FillBox(rgn, KEYB_LINE_X, KEYB_LINE_Y, KEYB_LINE_W, KEYB_LINE_H, bg);
    if (TAP_Osd_GetW(line, FNT_Type_Default, FNT_Size_1926) > KEYB_LINE_FIT)
        TAP_Osd_PutS(rgn, KEYB_LINE_TEXT_X, KEYB_LINE_SMALL_Y, KEYB_LINE_TEXT_RIGHT, line, fg, bg, FNT_Type_Default,
                     FNT_Size_1622, 0, ALIGN_LEFT);
    else
        TAP_Osd_PutS(rgn, KEYB_LINE_TEXT_X, KEYB_LINE_TEXT_Y, KEYB_LINE_TEXT_RIGHT, line, fg, bg, FNT_Type_Default,
                     FNT_Size_1926, 0, ALIGN_LEFT);
    TAP_Osd_DrawRectangle(rgn, KEYB_LINE_X, KEYB_LINE_Y, KEYB_LINE_W, KEYB_LINE_H, KEYB_LINE_FRAME, fg);
    TAP_Osd_DrawRectangle(rgn, KEYB_LINE_X + KEYB_LINE_FRAME, KEYB_LINE_Y + KEYB_LINE_FRAME,
                          KEYB_LINE_W - 2 * KEYB_LINE_FRAME, KEYB_LINE_H - 2 * KEYB_LINE_FRAME, KEYB_LINE_FRAME, bg);
}

static void Keyb_DrawKeys(void)
{
    Keyb_DrawTextLine();
    Keyb_DrawCharKeys();
    Keyb_DrawFunctionRow();
}

// Everything that does not change while the keyboard is open: title, boxes, the bottom frame.
static void Keyb_DrawFrame(void)
{
    TAP_Osd_FillBox(rgn, KEYB_TITLE_X, KEYB_TITLE_Y, KEYB_TITLE_W, KEYB_TITLE_H, titlebox_color);
    TAP_Osd_PutS(rgn, KEYB_TITLE_TEXT_X, KEYB_TITLE_TEXT_Y, KEYB_TITLE_TEXT_RIGHT,
                 LangText("    Keyboard", "    Tastatur", "    N\xE4pp\xE4imet"), font_red, titlebox_color,
                 FNT_Type_Default, FNT_Size_1926, 0, ALIGN_LEFT);
    TAP_Osd_FillBox(rgn, KEYB_LINE_X, KEYB_LINE_Y, KEYB_LINE_W, KEYB_LINE_H, statusbox_color);
    TAP_Osd_FillBox(rgn, KEYB_FIELD_X, KEYB_FIELD_Y, KEYB_FIELD_W, KEYB_FIELD_H, box2_color);
    TAP_Osd_DrawRectangle(rgn, KEYB_FRAME_X, KEYB_FRAME_Y, KEYB_FRAME_W, KEYB_FRAME_H, KEYB_EDGE, fineline_color);
    TAP_Osd_FillBox(rgn, KEYB_FRAME_X, KEYB_FRAME_Y + KEYB_FRAME_H - KEYB_EDGE, KEYB_FRAME_W, KEYB_EDGE,
                    KEYB_DARK_EDGE);
    TAP_Osd_FillBox(rgn, KEYB_FRAME_X + KEYB_FRAME_W - KEYB_EDGE, KEYB_FRAME_Y, KEYB_EDGE, KEYB_FRAME_H,
                    KEYB_DARK_EDGE);
}

// --- The key handler ---

// OK on the selected key. Returns KEYB_SAVED when Save closed the keyboard, else KEYB_STAYS_OPEN.
static int Keyb_Ok(char *text, int max_len)
{
    if (keyboard_idx < KEYB_CHAR_KEYS) {
        Keyb_Insert(Keyb_Char(keyboard_idx), max_len);
        return KEYB_STAYS_OPEN;
    }
    switch (keyboard_idx) {
    case KEYB_SHIFT:
        keyboard_mode = keyboard_mode == KEYB_MODE_SMALL ? KEYB_MODE_CAPITALS : KEYB_MODE_SMALL;
        break;
    case KEYB_SPACE:
        Keyb_Insert(' ', max_len);
        break;
    case KEYB_DELETE:
        Keyb_DeleteLeft();
        break;
    case KEYB_SAVE:
        Keyb_Store(text, max_len);
        keyboard_mode = 0;
        return KEYB_SAVED;
    default:   // the text line: nothing to type
        break;
    }
    return KEYB_STAYS_OPEN;
}

int Keyboard(int open, dword key, char *text, int max_len)
{
    if (max_len < 0)
        max_len = 0;
    if (max_len > KEYB_TEXT_MAX)
        max_len = KEYB_TEXT_MAX;
    keyboard_idx = Keyb_Valid(keyboard_idx);

    if (open) {
        if (keyboard_mode != KEYB_MODE_SMALL)
            keyboard_mode = KEYB_MODE_CAPITALS;
        strBuf_keyb[0] = 0;
        strBuf_keyb_2[0] = 0;
        if (text)
            strncat(strBuf_keyb, text, (size_t)max_len);
        Keyb_DrawFrame();
        Keyb_DrawKeys();
        return KEYB_STAYS_OPEN;
    }
    if (keyboard_mode == 0)
        return KEYB_NOT_OPEN;

    int on_text_line = keyboard_idx >= KEYB_TEXT_LINE;
    switch (key) {
    case RKEY_Left:
        if (on_text_line)
            Keyb_CursorLeft();
        else
            keyboard_idx = Keyb_MoveLeft(keyboard_idx);
        break;
    case RKEY_Right:
        if (on_text_line)
            Keyb_CursorRight();
        else
            keyboard_idx = Keyb_MoveRight(keyboard_idx);
        break;
    case RKEY_Down:
        keyboard_idx = Keyb_MoveDown(keyboard_idx);
        break;
    case RKEY_Up:
        keyboard_idx = Keyb_MoveUp(keyboard_idx);
        break;
    case RKEY_Prev:
        Keyb_CursorLeft();
        break;
    case RKEY_Next:
        Keyb_CursorRight();
        break;
    case RKEY_Ok:
        if (Keyb_Ok(text, max_len) == KEYB_SAVED)
            return KEYB_SAVED;
        break;
    case RKEY_Rewind:
        Keyb_DeleteLeft();
        break;
    case RKEY_Forward:
        Keyb_Insert(' ', max_len);
        break;
    case RKEY_Play:
        keyboard_mode = keyboard_mode == KEYB_MODE_SMALL ? KEYB_MODE_CAPITALS : KEYB_MODE_SMALL;
        break;
    case RKEY_Stop:
        Keyb_Store(text, max_len);
        keyboard_mode = 0;
        return KEYB_SAVED;
    case RKEY_Exit:
        keyboard_mode = 0;
        return KEYB_CANCELLED;
    default:
        return KEYB_STAYS_OPEN;
    }
    Keyb_DrawKeys();
    return KEYB_STAYS_OPEN;
}
