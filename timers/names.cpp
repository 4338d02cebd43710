// Timer names (see names.h). Placeholder: timer names are left as they are.
#include "timers/names.h"

void Timer_ChangeDate(void) {}
