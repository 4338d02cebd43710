// Timer list file and backup (see backup.h). Placeholder: nothing is written yet.
#include "timers/backup.h"

void Create_TimerList(int kind) {}
