// The word-wrapping text field: long event texts broken into lines at spaces and at two
// separator characters, and drawn page by page; and the one-line field whose text shrinks or is
// cut to stay inside its box. Leans on the OSD calls of frame/platform/tap.h,
// which TextField hands to the worker TextField_EXTERN.
//
// Example (the info window: title, short and long info on separate lines, page 2 of 15 lines):
//   int lines = TextField(rgn, 60, 113, 658, text, font2_color, box2_color, FNT_Size_1622,
//                         ALIGN_LEFT, 15, 2, 26, '~', '|');
//   int pages = (TextField(rgn, 60, 113, 658, text, 0, 0, FNT_Size_1622, ALIGN_LEFT, 15, 0, 26,
//                          '~', '|') + 14) / 15;   // page 0: counts only
#ifndef DIRO_SEARCH_TEXTFIELD_H
#define DIRO_SEARCH_TEXTFIELD_H

#include "frame/platform/tap.h"

enum {
    TEXTFIELD_LINE_MAX = 400,    // characters a line holds at most
    TEXTFIELD_MIN_WIDTH = 20     // narrower fields draw nothing
};

// The drawing operations the worker uses; the platform's are TAP_Osd_FillBox, TAP_Osd_PutS and
// TAP_Osd_GetW.
typedef int (*TextFieldFillFn)(word rgn, dword x, dword y, dword w, dword h, dword color);
typedef int (*TextFieldPutSFn)(word rgn, dword x, dword y, dword maxX, const char *str, dword fcolor,
                               dword bcolor, byte fntType, byte fntSize, byte bDot, byte align);
typedef int (*TextFieldGetWFn)(const char *str, byte fntType, byte fntSize);

// Breaks text (null counts as empty) into lines that fit between left_x + 6 and right_x less 10
// pixels: at spaces, and at once at sep1 or sep2 (a separator or a space at the start of a line is
// skipped; a word wider than the field is cut where it fits). With page >= 1 draws lines
// (page - 1) * lines_per_page up to page * lines_per_page - 1 at top_y + line_height * slot, in
// fg on bg with the font size code and alignment, and fills the rest of the page with bg (the
// whole field when the page lies beyond the text). With page <= 0 draws nothing.
// Returns the number of lines of the whole text; 0 and nothing drawn when the field is narrower
// than 20 pixels, lies outside the 720 x 576 screen, lines_per_page or line_height is below 1, or
// an operation is missing.
int TextField_EXTERN(word region, int left_x, int top_y, int right_x, const char *text, dword fg, dword bg,
                     int font_size, int align, int lines_per_page, int page, int line_height, char sep1,
                     char sep2, TextFieldFillFn fill, TextFieldPutSFn put_s, TextFieldGetWFn get_w);

// TextField_EXTERN with the platform's OSD operations.
int TextField(word region, int left_x, int top_y, int right_x, const char *text, dword fg, dword bg,
              int font_size, int align, int lines_per_page, int page, int line_height, char sep1, char sep2);

// The longest prefix of text (at most `length` characters) that is at most width_px wide in the
// font size code. Returns its length in characters (0 when not even one character fits).
int TextFitLength(const char *text, int length, int width_px, int font_size);

// One line of text between x and right_x: in the font size code 2 when it fits, else in 1 or 0,
// lowered by 2 pixels a size so that it stays centred in its line; a text too wide even for size
// 0 is cut at its end where it fits. Drawn with TAP_Osd_PutS (align ALIGN_LEFT, ALIGN_CENTER or
// ALIGN_RIGHT), the background filling x .. right_x. Texts longer than TEXTFIELD_LINE_MAX
// characters are cut there. Returns the font size code used.
int PutFittingText(word region, int x, int y, int right_x, const char *text, dword fg, dword bg, int align);

#endif
