// The extra clock (see extraclock.h). Placeholder: no clock is drawn yet.
#include "views/extraclock.h"

void ExtraClock(void) {}
