// Search entries (see entries.h). Placeholder: no search words are kept yet.
#include "search/entries.h"

void ReadSearchINI(void) {}
