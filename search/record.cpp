// Recording by search words (see record.h). Placeholder: no timers are set by search words yet.
#include "search/record.h"

void SearchAndRecord(int show_message) {}
void HideAutoRecord(void) {}
void DrawSearchMsg(void) {}
