// TAP_Osd_*: the plug-in's drawing calls, forwarded to the active firmware's Screen.
#include "frame/platform/tap.h"
#include "sim/firmware.h"

namespace {
sim::Screen &screen(const char *call) { return sim::Firmware::active(call).screen; }
// Firmware coordinates are unsigned; a value the plug-in computed below zero arrives huge and
// must stay off the screen, so it is passed on as the negative number it was meant to be.
int coord(dword v) { return static_cast<int>(v); }
const char *text(const char *s) { return s ? s : ""; }
}  // namespace

extern "C" {

int TAP_Osd_Create(dword x, dword y, dword w, dword h, byte, int) {
    return screen(__func__).createRegion(coord(x), coord(y), coord(w), coord(h));
}

int TAP_Osd_Delete(word rgn) { return screen(__func__).deleteRegion(rgn); }

int TAP_Osd_FillBox(word rgn, dword x, dword y, dword w, dword h, dword color) {
    return screen(__func__).fillBox(rgn, coord(x), coord(y), coord(w), coord(h), color);
}

int TAP_Osd_DrawRectangle(word rgn, dword x, dword y, dword w, dword h, dword thick, dword color) {
    return screen(__func__).drawRectangle(rgn, coord(x), coord(y), coord(w), coord(h), coord(thick), color);
}

int TAP_Osd_PutString(word rgn, dword x, dword y, dword maxX, const char *str, dword fcolor, dword bcolor, byte,
                      byte fntSize, byte) {
    return screen(__func__).putString(rgn, coord(x), coord(y), coord(maxX), text(str), fcolor, bcolor, fntSize);
}

int TAP_Osd_PutStringAf(word rgn, dword x, dword y, dword maxX, const char *str, dword fcolor, dword bcolor,
                        byte, byte fntSize, byte) {
    return screen(__func__).putString(rgn, coord(x), coord(y), coord(maxX), text(str), fcolor, bcolor, fntSize);
}

int TAP_Osd_PutS(word rgn, dword x, dword y, dword maxX, const char *str, dword fcolor, dword bcolor, byte,
                 byte fntSize, byte bDot, byte align) {
    sim::Align a = align == ALIGN_CENTER ? sim::Align::Center : align == ALIGN_RIGHT ? sim::Align::Right
                                                                                   : sim::Align::Left;
    return screen(__func__).putS(rgn, coord(x), coord(y), coord(maxX), text(str), fcolor, bcolor, fntSize,
                                 bDot != 0, a);
}

int TAP_Osd_GetW(const char *str, byte, byte fntSize) { return screen(__func__).textWidth(text(str), fntSize); }

void TAP_Osd_Sync(void) { screen(__func__).sync(); }

}  // extern "C"
