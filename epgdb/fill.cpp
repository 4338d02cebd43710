// Filling the EPG buffer (see fill.h). Placeholder: nothing is buffered yet.
#include "epgdb/fill.h"

void CheckChBuf(void) {}
