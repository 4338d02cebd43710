// The timer lines of the remote commands: "Command.AddTimer:", "Command.DelTimer:",
// "Command.AddTimerExt:" and "Command.AddTimerByChName:", read column by column into a timer in
// the new-timer slot (71) that is then queued (ToSetTimer) or deleted from the receiver's table.
// Leans on timers/ (slots, queue, names, deleting), export/channels (the channel lookups) and
// remote/commands (rejected lines, messages).
//
// Columns (X the offset of the date: 0 for AddTimer and DelTimer, 8 for Ext, the channel name's
// length + 4 for ByChName; Y = 0 for AddTimer and DelTimer, X + 9 for the others):
//   17..20        channel number from 1 (AddTimer, DelTimer)
//   20..28        Ext: "Ch" + "TV"/"RA" at 23 + number from 1 at 25..28, "Sid" + 6-digit service
//                 id, or "LCN" + 6-digit logical channel number
//   25..'|'       ByChName: the channel's name, at most 30 characters
//   X+22 year, X+27 month, X+30 day, X+33 hour (0..24), X+36 minute, X+39 hours and X+42
//   minutes of the duration
//   45..46        AddTimer, DelTimer: "RA"/"R+" radio, else TV; a '+' second adds the default
//                 lead and follow times
//   X+45, X+49    Ext, ByChName: lead and follow minutes (3 digits, or "def")
//   X+53          Ext, ByChName: name style (3 digits, or "def"; above 10 means none)
//   Y+48..49      "ED", "WE", "WL", "WD": repeating; else one time
//   Y+52          'P': a "-P-" timer; else a recording timer
//   Y+55          the name, at most 30 characters; none: the channel's name
// The characters between fields are not looked at. Minimum lengths: 44 for AddTimer and
// DelTimer, X + 56 for the others; fields past the end of a longer line take their defaults.
//
// The file comes from another device, so a line must be exactly right or it sets nothing:
// every number field is all digits, the date exists (no 31 February), the channel exists, lead
// and follow are 0..600 minutes, the timer lasts at least a minute and, for a new timer, ends
// after now. A repeating timer whose day written has passed moves on to its coming occurrence
// first, as the receiver moves its own (so a backup restored days later sets its series again).
// A service id or logical number is read whole (up to 65535).
#ifndef DIRO_REMOTE_TIMERLINE_H
#define DIRO_REMOTE_TIMERLINE_H

enum {
    TIMER_LINE_ADD = 0,        // "Command.AddTimer:"
    TIMER_LINE_DELETE = 1,     // "Command.DelTimer:"
    TIMER_LINE_EXT = 2,        // "Command.AddTimerExt:"
    TIMER_LINE_BY_NAME = 3     // "Command.AddTimerByChName:"
};

enum {
    TIMER_LINE_DONE = 0,       // queued, deleted, or already covered by a timer or recording
    TIMER_LINE_REJECTED = 1    // malformed, out of range, or no such channel or timer
};

// Carries out a timer line of the given kind (its command word already recognised): a new timer
// is queued unless a timer or running recording already covers it or an equal one waits in the
// queue; DelTimer deletes the first timer equal in channel, start, duration, kind and mode
// (names are not compared), or, when the receiver has none, takes an equal one out of the queue
// before its turn. Results:
// TIMER_LINE_DONE or TIMER_LINE_REJECTED (counted by RejectCommand, or shown as a channel
// lookup message). Changes slots 71 and 72, the queue (add) or the receiver's table (delete),
// chInfo.
int TimerCommand(int kind, const char *line);

#endif
