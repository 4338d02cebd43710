// The timer watch: "-P-" timers switch the channel, a record-now timer is looked after.
#ifndef DIRO_TIMERS_WATCH_H
#define DIRO_TIMERS_WATCH_H

extern int nowRecordAge;   // countdown of the record-now watch; 0 none

void CheckWakeUpTimer(void);
void CheckNowTimer(void);

#endif
