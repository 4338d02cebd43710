// Setting timers from events: the record key, adding to the receiver, the recording status and
// the error boxes. For now only the entries other subsystems call.
#ifndef DIRO_TIMERS_SET_H
#define DIRO_TIMERS_SET_H

extern int TimerError;   // result of the last timer add or modify: 0 ok, -65536 + n collision with n

// Adds the slot's timer to the receiver: 0 set, 1 refused.
int Set_Timer(int slot);
// Refreshes the state of the running recordings.
void ReadRecInfo(void);
// The error boxes; both do nothing while TimerError is 0.
void TimerErrorMsg(void);
void TimerErrorMsg2(void);
// The record key on the selected event of the open view.
void RecordSelectedEvent(void);

#endif
