// The receiver's timers written to the disk in two forms: the readable list "Timer_List.txt"
// for the user and other devices, and the backup "Diro_ROD.TimerList.bak", made of remote
// commands, so that reading it back through the command file reader (remote/reader.h)
// re-creates the timers. Leans on timers/table (the copy and its order), export/textfile (the
// buffered writer, padding) and export/channels (channel names).
//
// Timer_List.txt, three lines a timer, in the order of the copy after SortTimer:
//   01.Timer:0001,2026-12-07,20:15,01:30,TV,OT,Rec,T2;Das Erste
//   "Tatort.rec"
//   (an empty line)
// Diro_ROD.TimerList.bak, one AddTimer line a timer (the name without ".rec"), then the line
// that switches remote messages on, so a restore reports failures and its completion:
//   Command.AddTimer:0001,2026-12-07,20:15,01:30,TV,OT,Rec;Tatort
//   Command.RemoteMsg:5
// Lines end in CR LF; both files are padded with blanks to whole 512-byte blocks.
#ifndef DIRO_TIMERS_BACKUP_H
#define DIRO_TIMERS_BACKUP_H

#define TIMER_LIST_FILE_NAME "Timer_List.txt"

enum {
    TIMER_FILE_LIST = 0,     // Create_TimerList kinds: the readable list ...
    TIMER_FILE_BACKUP = 1    // ... and the backup
};

// Writes the file of the kind anew from the receiver's table (re-read and sorted by
// settings.timerlist_sort). Without timers the list is written empty, while the backup is not
// written at all (the previous one stays). A file that cannot be opened is skipped without a
// message; other kinds do nothing. Changes the copy (TimerList 0..69).
void Create_TimerList(int kind);

#endif
