// The word-wrapping text field (see textfield.h): line breaking and page drawing through the
// operations handed in; the one-line field that shrinks or cuts its text to fit. Leans on the OSD calls of frame/platform/tap.h only.
#include "search/textfield.h"

enum {
    TEXTFIELD_SCREEN_RIGHT = 720,   // x values up to 720
    TEXTFIELD_SCREEN_BOTTOM = 576,  // the top and the field's bottom up to 576
    TEXTFIELD_MARGIN = 10,          // a line ends once it reaches the field's width less this
    TEXTFIELD_STRIP = 7,            // background strip at the left of each line
    TEXTFIELD_INDENT = 6,           // the text starts this far right of left_x
    FIT_STEP_DOWN_Y = 2             // a smaller font sits this much lower per size step
};

// Pixel height of a font size code: 19, 22, or 26 for size 2 and any other code.
static int TextField_FontHeight(int font_size)
{
    if (font_size == FNT_Size_1419)
        return 19;
    if (font_size == FNT_Size_1622)
        return 22;
    return 26;
}

static int TextField_IsSeparator(char c, char sep1, char sep2)
{
    return c != 0 && (c == sep1 || c == sep2);
}

// Copies the next line, starting at start, into line (TEXTFIELD_LINE_MAX + 1 bytes) and returns
// where the rest of the text begins. Whole words are taken while the line stays narrower than
// limit_px; the line then ends before its last space and the rest begins at that space. A first
// word that does not fit is cut where it fits (at least one character is kept, so the text always
// moves on). A separator ends the line at once; the rest begins at it.
static const char *TextField_NextLine(const char *start, char *line, int limit_px, byte font_size, char sep1,
                                      char sep2, TextFieldGetWFn get_w)
{
    const char *p = start;
    int n = 0;
    int last_space = -1;   // index in line of the last space taken
    for (;;) {
        while (*p && *p != ' ' && !TextField_IsSeparator(*p, sep1, sep2) && n < TEXTFIELD_LINE_MAX)
            line[n++] = *p++;
        line[n] = 0;
        if (get_w(line, FNT_Type_Default, font_size) >= limit_px) {
            if (last_space >= 0) {
                line[last_space] = 0;
                return start + last_space;
            }
            while (n > 1 && get_w(line, FNT_Type_Default, font_size) >= limit_px)
                line[--n] = 0;
            return start + n;
        }
        if (*p == 0 || TextField_IsSeparator(*p, sep1, sep2) || n >= TEXTFIELD_LINE_MAX)
            return p;
        last_space = n;
        line[n++] = ' ';
        p++;
    }
}

int TextField_EXTERN(word region, int left_x, int top_y, int right_x, const char *text, dword fg, dword bg,
                     int font_size, int align, int lines_per_page, int page, int line_height, char sep1,
                     char sep2, TextFieldFillFn fill, TextFieldPutSFn put_s, TextFieldGetWFn get_w)
{
    if (!fill || !put_s || !get_w)
        return 0;
    if (left_x < 0 || right_x - left_x < TEXTFIELD_MIN_WIDTH || right_x > TEXTFIELD_SCREEN_RIGHT)
        return 0;
    if (top_y < 0 || lines_per_page < 1 || line_height < 1 ||
        top_y + (long long)lines_per_page * line_height > TEXTFIELD_SCREEN_BOTTOM)
        return 0;

    const int width = right_x - left_x;
    const int font_height = TextField_FontHeight(font_size);
    const byte size = (byte)font_size;
    // The lines of the page: first_line up to, not including, end_line (none with page <= 0).
    const long long first_line = page > 0 ? (long long)(page - 1) * lines_per_page : -1;
    const long long end_line = page > 0 ? first_line + lines_per_page : -1;

    char line[TEXTFIELD_LINE_MAX + 1];
    const char *p = text ? text : "";
    int count = 0;
    while (*p) {
        if (TextField_IsSeparator(*p, sep1, sep2))
            p++;
        if (*p == ' ')
            p++;
        if (*p == 0)
            break;   // a separator or space at the very end makes no empty line
        p = TextField_NextLine(p, line, width - TEXTFIELD_MARGIN, size, sep1, sep2, get_w);
        if (count >= first_line && count < end_line) {
            int y = top_y + line_height * (int)(count - first_line);
            fill(region, left_x, y, TEXTFIELD_STRIP, line_height, bg);
            if (line_height > font_height)
                fill(region, left_x, y + font_height, width, line_height - font_height, bg);
            put_s(region, left_x + TEXTFIELD_INDENT, y, right_x, line, fg, bg, FNT_Type_Default, size, 0,
                  (byte)align);
        }
        count++;
    }

    if (page > 0) {
        if (count <= first_line) {
            fill(region, left_x, top_y, width, lines_per_page * line_height, bg);
        } else if (count < end_line) {
            int used = (int)(count - first_line);
            fill(region, left_x, top_y + used * line_height, width, (lines_per_page - used) * line_height, bg);
        }
    }
    return count;
}

int TextField(word region, int left_x, int top_y, int right_x, const char *text, dword fg, dword bg,
              int font_size, int align, int lines_per_page, int page, int line_height, char sep1, char sep2)
{
    return TextField_EXTERN(region, left_x, top_y, right_x, text, fg, bg, font_size, align, lines_per_page, page,
                            line_height, sep1, sep2, TAP_Osd_FillBox, TAP_Osd_PutS, TAP_Osd_GetW);
}

// --- One-line fields ---

int TextFitLength(const char *text, int length, int width_px, int font_size)
{
    char line[TEXTFIELD_LINE_MAX + 1];
    if (text == 0 || length <= 0 || width_px <= 0)
        return 0;
    if (length > TEXTFIELD_LINE_MAX)
        length = TEXTFIELD_LINE_MAX;
    int n = 0;
    while (n < length && text[n] != 0) {
        line[n] = text[n];
        n++;
    }
    line[n] = 0;
    if (TAP_Osd_GetW(line, FNT_Type_Default, (byte)font_size) <= width_px)
        return n;
    // Widths grow with the length: the longest prefix that fits lies between fit and n.
    int fit = 0, too_wide = n;
    while (too_wide - fit > 1) {
        int mid = (fit + too_wide) / 2;
        char kept = line[mid];
        line[mid] = 0;
        if (TAP_Osd_GetW(line, FNT_Type_Default, (byte)font_size) <= width_px)
            fit = mid;
        else
            too_wide = mid;
        line[mid] = kept;
    }
    return fit;
}

int PutFittingText(word region, int x, int y, int right_x, const char *text, dword fg, dword bg, int align)
{
    char line[TEXTFIELD_LINE_MAX + 1];
    int width = right_x - x;
    int n = 0;
    if (text != 0) {
        while (n < TEXTFIELD_LINE_MAX && text[n] != 0) {
            line[n] = text[n];
            n++;
        }
    }
    line[n] = 0;
    int size = FNT_Size_1926;
    while (size > FNT_Size_1419 && TAP_Osd_GetW(line, FNT_Type_Default, (byte)size) > width)
        size--;
    line[TextFitLength(line, n, width, size)] = 0;
    int lower = (FNT_Size_1926 - size) * FIT_STEP_DOWN_Y;
    TAP_Osd_PutS(region, x, y + lower, right_x, line, fg, bg, FNT_Type_Default, (byte)size, 0, (byte)align);
    return size;
}
