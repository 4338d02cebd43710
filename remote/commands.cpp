// The remote command file (see commands.h). Placeholder: the command file is not read yet.
#include "remote/commands.h"

unsigned char RemoteMsg;
int RemoteMsgWait;
unsigned char create_TimerList;

void ReadCommandINI(void) {}
void ReadCommandFile(int kind) {}
