// Message box and save-error line (see msgbox.h).
#include "frame/msgbox.h"

#include "frame/platform/tap.h"
#include "frame/state.h"
#include "settings/colors.h"

enum {
    MSGBOX_X = 130, MSGBOX_Y = 251, MSGBOX_W = 460, MSGBOX_H = 43,
    MSGBOX_TEXT_X = 138, MSGBOX_TEXT_Y = 259, MSGBOX_TEXT_RIGHT = 582,
    SAVE_ERROR_X = 64, SAVE_ERROR_Y = 76, SAVE_ERROR_RIGHT = 654,
    SAVE_ERROR_TICKS = 400   // 4 seconds
};
static const dword MSGBOX_FRAME_COLOR = 0xFFC80000;

void DrawMsgBox(const char *text)
{
    TAP_Osd_FillBox(rgn, MSGBOX_X, MSGBOX_Y, MSGBOX_W, MSGBOX_H, MSGBOX_FRAME_COLOR);
    TAP_Osd_PutS(rgn, MSGBOX_TEXT_X, MSGBOX_TEXT_Y, MSGBOX_TEXT_RIGHT, text, font_title, titlebox_color,
                 FNT_Type_Default, FNT_Size_1926, 0, ALIGN_CENTER);
}

void ShowSaveError(const char *text)
{
    TAP_Osd_PutS(rgn, SAVE_ERROR_X, SAVE_ERROR_Y, SAVE_ERROR_RIGHT, text, font_red, titlebox_color,
                 FNT_Type_Default, FNT_Size_1926, 0, ALIGN_LEFT);
    TAP_Osd_Sync();
    TAP_Delay(SAVE_ERROR_TICKS);
}
