// The remote command file (see commands.h). Placeholder: the command file is not read yet.
#include "remote/commands.h"

void ReadCommandINI(void) {}
