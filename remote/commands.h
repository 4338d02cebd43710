// The remote command file "Diro_ROD.Command.ini". For now only the entry start-up calls.
#ifndef DIRO_REMOTE_COMMANDS_H
#define DIRO_REMOTE_COMMANDS_H

// Reads and carries out the command file.
void ReadCommandINI(void);

#endif
