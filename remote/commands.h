// The remote commands: the parser of command lines found in the command file, the search file
// and the timer backup, the commands that are no timers (lists, exports, deleting, settings,
// message mode), and the messages of remote use. The timer lines are remote/timerline.h, the
// file reader remote/reader.h. Leans on timers/, export/, search/record and settings/.
//
// A command line begins with its command word at column 0, compared without regard to case over
// exactly the characters the table in commands.cpp lists; what follows is read only by the
// commands that have values. Every recognised line counts as a command, whether it was carried
// out or rejected. A rejected line leaves nothing behind: it is counted, named on the console
// (TAP_Print) and, while remote messages are on, summed up on the screen once the file is read.
//
// Example (a command file):
//   Command.RemoteMsg:20sec
//   Command.AddTimer:0001,2026-12-24,20:15,01:30,T+,OT,Rec;Christmas Show
//   Command.CreateTimerBackup
#ifndef DIRO_REMOTE_COMMANDS_H
#define DIRO_REMOTE_COMMANDS_H

#include "remote/reader.h"

enum {
    REMOTE_WAIT_DEFAULT = 100,      // RemoteMsgWait without a value: messages wait REMOTE_WAIT_FIXED
    REMOTE_WAIT_FIXED = 5,          // seconds a message waits when RemoteMsgWait gives none
    REMOTE_WAIT_NAME_MAX = 99,      // RemoteMsgWait up to this is used for a channel name message
    REMOTE_WAIT_NUMBER_MAX = 10     // ... and up to this for a service id or LCN message
};

extern unsigned char RemoteMsg;             // 1 while remote-command messages show (a completion message is due)
extern int RemoteMsgWait;                   // seconds a remote message stays, 0..99; 100 the fixed 5 seconds
extern unsigned char create_TimerList;      // 1 when the timer list file is to be written
extern unsigned char Command_found;         // 1 when a line of the file being read was a command
extern unsigned char restore_timerbackup;   // 1: read the timer backup after the current file

// Carries out line when it is a command. Returns 1 when the line was a command (carried out or
// rejected; Command_found is set), 0 when it is none (the screen is synced then). A null line
// is none.
// Changes Command_found and whatever the command changes: the timer queue and table, the
// settings (and their file), RemoteMsg, RemoteMsgWait, create_TimerList, restore_timerbackup,
// the files it writes.
int CheckCommands(const char *line);

// The seconds a queued timer's error box of a remote command stays: RemoteMsgWait when it is
// 1..99, else the fixed 5 seconds.
int RemoteErrorSeconds(void);

// --- Messages of remote use ---

// Clears the count of rejected lines; the reader calls it before each file.
void ClearRejectedCommands(void);
// Counts a rejected command line and names it on the console with why (a short English
// phrase). The first rejected line of a file is kept for the summary.
void RejectCommand(const char *line, const char *why);
// The number of lines rejected since ClearRejectedCommands.
int RejectedCommands(void);
// While remote messages are on (RemoteMsg 1) and lines were rejected: the two-line remote box
// with their number and the first of them, for the seconds of a channel name message.
void ShowRejectedCommands(void);
// The two-line remote box: text above, value below in double quotes; it stays RemoteMsgWait
// seconds when that is 1..wait_max, else the fixed 5 seconds, then the screen is cleared. Draws
// nothing while RemoteMsg is 0.
void RemoteMessage(const char *text, const char *value, int wait_max);

#endif
