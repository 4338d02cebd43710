// Info displays and the chosen time (see info.h). Placeholder: nothing is drawn or moved yet.
#include "views/info.h"

unsigned char blocked_lines;

void StatusBar(int slot, int event) {}

int ExtendedInfoBar(int slot, int event, int row)
{
    return 0;
}

void ExtendedInfoWindow(int svcType, int channel, int slot, int event) {}

void CloseInfoWin(int keep) {}

void Info_Key(void) {}

void TempTime(int step) {}
