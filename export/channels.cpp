// Channel list files (see channels.h). Placeholder: nothing is written yet.
#include "export/channels.h"

void Create_ChannelList(void) {}
