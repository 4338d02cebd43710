// The timer watch: two small duties that look at the receiver's timer table while the plug-in
// runs. The wake-up watch switches the receiver to the channel of a "-P-" timer in its start
// minute; the record-now watch looks after a timer that the editor set to start at once (slot 70
// of TimerList holds it as it was set). Called by the idle chain (frame/idle.cpp: the record-now
// watch once a second while nowRecordAge > 0, the wake-up watch every ten seconds) and by the
// clock of the open window (views/window.cpp). Leans on timers/table, timers/set (ReadRecInfo,
// the ".rec" rule), timers/combine (the other tuner) and views/help (timerlisthelp).
//
// Example (the record-now row of the editor):
//   CopyTimer(TIMER_SLOT_RECORD_NOW, TIMER_SLOT_NEW);  nowRecordAge = NOW_RECORD_CALLS;
//   Set_Timer(TIMER_SLOT_NEW);          // then, once a second: CheckNowTimer();
#ifndef DIRO_TIMERS_WATCH_H
#define DIRO_TIMERS_WATCH_H

enum {
    NOW_RECORD_CALLS = 13,      // calls of the record-now watch after a record-now timer was set
    NOW_RECORD_RESET_AT = 8,    // nowRecordAge after the fifth call: the timer is set anew
    NOW_RECORD_DELETE_AT = 1    // ... after the twelfth: the timer leaves, its recording runs on
};

extern int nowRecordAge;            // calls of the record-now watch still due; 0 none
extern int WakeUpTimer_lasttime;    // minute of the day the wake-up watch last switched; -1 never

// The wake-up watch: in a minute it has not acted in yet, the first "-P-" timer of the table
// (is_rec other than 1) that starts in this minute switches the receiver to its channel, when its
// service type is the views' (_svcType) or the views are closed. A channel that neither tuner
// could receive while both record other transponders is left alone, so that no running recording
// is disturbed. Recording timers never switch. Changes WakeUpTimer_lasttime, _svcType,
// curr_svcNum, the copy, recSlot, chInfo, timerlisthelp (0 after a switch).
void CheckWakeUpTimer(void);

// The record-now watch, one call a second while nowRecordAge > 0: counts nowRecordAge down; at
// the fifth call the firmware's timer equal to slot 70 (start, service type, channel) that has
// begun is set anew on the other tuner (deleted, then added), at the twelfth it is deleted and
// its recording runs on to its end. Changes nowRecordAge, slot 70 (tuner, name), the copy.
void CheckNowTimer(void);

#endif
