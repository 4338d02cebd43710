// The buffer file (see bufferfile.h). Placeholder: there is no buffer to load or save yet.
#include "epgdb/bufferfile.h"

void ReadBufferFile(void) {}

void SaveBufferFile(void) {}
