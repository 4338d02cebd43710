// The timer list file "Timer_List.txt" and the timer backup "Diro_ROD.TimerList.bak".
#ifndef DIRO_TIMERS_BACKUP_H
#define DIRO_TIMERS_BACKUP_H

// kind 0 writes the timer list file, kind 1 the backup.
void Create_TimerList(int kind);

#endif
