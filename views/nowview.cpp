// The Now view (see nowview.h). Placeholder: the Now view is not drawn yet.
#include "views/nowview.h"

unsigned char nowmode_timeon;
unsigned char show_name;
int cursor_event;

void Draw_Now(int mode) {}

int CheckRecTransponder(int transponder)
{
    return 1;
}
