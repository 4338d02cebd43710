// The remote command file "Diro_ROD.Command.ini" and the file reader shared with the search
// file and the timer backup. For now only the entries and flags the frame uses.
#ifndef DIRO_REMOTE_COMMANDS_H
#define DIRO_REMOTE_COMMANDS_H

extern unsigned char RemoteMsg;         // 1 while a completion message of remote commands is due
extern int RemoteMsgWait;               // seconds a timer error of a remote command shows
extern unsigned char create_TimerList;  // 1 when the timer list file is to be written

// Reads and carries out the command file.
void ReadCommandINI(void);
// The file reader: kind 0 the search file, 1 the command file, 2 the timer backup.
void ReadCommandFile(int kind);

#endif
