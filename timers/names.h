// Timer names: date, time and number suffixes. For now only the entry start-up calls.
#ifndef DIRO_TIMERS_NAMES_H
#define DIRO_TIMERS_NAMES_H

// Brings the dates in the names of the firmware's timers up to date.
void Timer_ChangeDate(void);

#endif
