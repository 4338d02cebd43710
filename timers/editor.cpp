// The timer editor (see editor.h). Placeholder: the editor is not drawn yet.
#include "timers/editor.h"

unsigned char timer_edit;

void Timer_Menu(int step) {}
