// The timer list view (see list.h). Placeholder: the list is not drawn yet.
#include "timers/list.h"

void Timer_List(void) {}
