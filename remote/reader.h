// The file reader shared by the search file "Diro_ROD.Search.ini", the command file
// "Diro_ROD.Command.ini" and the timer backup "Diro_ROD.TimerList.bak": it reads the first
// 65,099 bytes, splits them into lines and hands at most 300 of them to the search entry parser
// (search/entries.h) or the command parser (remote/commands.h). Leans on frame/platform (files),
// search/ (the list and its file) and views/ (clearing the screen after remote messages).
//
// The files come from other devices and editors: lines end in CR, LF or both, the last line may
// lack its end, and the text may be Latin-1 (the plug-in's own form) or UTF-8 (it is brought to
// Latin-1). A line the reader cannot take whole is skipped, never half-used: a line of more than
// 255 characters, a line holding control bytes (binary junk; a tab counts as a blank), and the
// last line of a file longer than what is read, which the read cut off.
//
// Example:
//   ReadCommandINI();   // carries out "Diro_ROD.Command.ini" once, deletes it, saves new entries
#ifndef DIRO_REMOTE_READER_H
#define DIRO_REMOTE_READER_H

enum {
    COMMAND_KIND_SEARCH = 0,     // the search file: the list is rebuilt from its entry lines
    COMMAND_KIND_COMMANDS = 1,   // the command file: entry lines are appended, then it is deleted
    COMMAND_KIND_BACKUP = 2,     // the timer backup: command lines only
    COMMAND_READ_MAX = 65099,    // bytes read of a file at most
    COMMAND_LINES_MAX = 300,     // lines examined at most (every line taken counts)
    COMMAND_LINE_MAX = 255       // characters of a line; longer lines are skipped
};

#define COMMAND_FILE_NAME "Diro_ROD.Command.ini"
#define TIMER_BACKUP_FILE_NAME "Diro_ROD.TimerList.bak"

// Reads one of the three files (kind COMMAND_KIND_*; other kinds do nothing). Lines go to
// ExtractLine while the list has room (search and command file), else to CheckCommands. Then:
// the command file is deleted; the search file is written again when it held a command (so that
// commands run once), or after the command file when it added entries. A search file that opens
// rebuilds the list from what it holds (an empty file empties it); a missing or unreadable one
// leaves the list as it is. While remote messages are on, the command lines rejected in the file
// are summed up on the screen at the end.
// Changes Search, max_Search, restore_timerbackup (cleared first), Command_found (cleared at the
// end), the files; whatever the commands change.
void ReadCommandFile(int kind);

// Reads and carries out the command file, then the timer backup when a command asked for it.
void ReadCommandINI(void);

#endif
