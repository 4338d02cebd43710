// Help screens (see help.h). Placeholder: no help is drawn yet.
#include "views/help.h"

unsigned char timerlisthelp;

void Help(void) {}
void HelpSort(void) {}
void HelpSearchlist(void) {}
void HelpTimerlist(void) {}
