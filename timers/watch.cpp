// The timer watch (see watch.h). Placeholder: nothing is watched yet.
#include "timers/watch.h"

int nowRecordAge;

void CheckWakeUpTimer(void) {}
void CheckNowTimer(void) {}
