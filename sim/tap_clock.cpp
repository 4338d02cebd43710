// TAP_GetTime, TAP_MakeMjd, TAP_ExtractMjd, TAP_GetTick, TAP_Delay, TAP_Sleep: the active
// firmware's clock. Delays move the virtual clock on at once; no event arrives meanwhile.
#include "frame/platform/tap.h"
#include "sim/firmware.h"

extern "C" {

int TAP_GetTime(word *mjd, byte *hour, byte *min, byte *sec) {
    sim::CivilTime t = sim::Firmware::active(__func__).clock.civil();
    if (mjd)
        *mjd = static_cast<word>(t.mjd);
    if (hour)
        *hour = static_cast<byte>(t.hour);
    if (min)
        *min = static_cast<byte>(t.minute);
    if (sec)
        *sec = static_cast<byte>(t.second);
    return 0;
}

// 0 for a date that does not exist or lies outside the 16-bit day numbers.
word TAP_MakeMjd(word year, byte month, byte day) {
    int mjd = sim::mjdFromDate(year, month, day);
    return mjd < 0 || mjd > 0xFFFF ? 0 : static_cast<word>(mjd);
}

int TAP_ExtractMjd(word mjd, word *year, byte *month, byte *day, byte *weekDay) {
    int y = 0, m = 0, d = 0, wd = 0;
    sim::dateFromMjd(mjd, y, m, d, wd);
    if (year)
        *year = static_cast<word>(y);
    if (month)
        *month = static_cast<byte>(m);
    if (day)
        *day = static_cast<byte>(d);
    if (weekDay)
        *weekDay = static_cast<byte>(wd);
    return 0;
}

dword TAP_GetTick(void) { return sim::Firmware::active(__func__).clock.ticks(); }

void TAP_Delay(dword ticks) { sim::Firmware::active(__func__).clock.advanceMs(int64_t(ticks) * 10); }

void TAP_Sleep(dword ticks) { sim::Firmware::active(__func__).clock.advanceMs(int64_t(ticks) * 10); }

}  // extern "C"
