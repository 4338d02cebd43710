// The remote commands: the parser of command lines found in the command file, the search file
// and the timer backup, and the flags and messages of remote use. For now the parser recognises
// no command yet. The file reader is remote/reader.h.
#ifndef DIRO_REMOTE_COMMANDS_H
#define DIRO_REMOTE_COMMANDS_H

#include "remote/reader.h"

extern unsigned char RemoteMsg;             // 1 while remote-command messages show (a completion message is due)
extern int RemoteMsgWait;                   // seconds a timer error of a remote command shows
extern unsigned char create_TimerList;      // 1 when the timer list file is to be written
extern unsigned char Command_found;         // 1 when a line of the file being read was a command
extern unsigned char restore_timerbackup;   // 1: read the timer backup after the current file

// Carries out line when it is a command. Returns 1 when the line was a command (carried out or
// rejected; Command_found is set), 0 when it is none.
int CheckCommands(const char *line);

#endif
