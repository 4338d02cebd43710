// The remote commands (see commands.h). The parser recognises no command yet.
#include "remote/commands.h"

unsigned char RemoteMsg;
int RemoteMsgWait;
unsigned char create_TimerList;
unsigned char Command_found;
unsigned char restore_timerbackup;

int CheckCommands(const char *line)
{
    return 0;
}
