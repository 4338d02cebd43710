// The firmware's table of recording timers. For now the receiver keeps no timers: the table is
// empty and every new timer is refused with kTimerRefused. Later work fills this in.
// Example:
//   sim::Timers timers;
//   TimerRecord t{};  int rc = timers.add(t);   // kTimerRefused, timers.count() == 0
//   timers.refusedAdds();                        // 1
#pragma once

#include "frame/platform/tap.h"

namespace sim {

class Timers {
public:
    static constexpr int kTimerRefused = 1;  // TAP_Timer_Add / Modify: the firmware takes no timers

    int count() const { return 0; }
    int get(int index, TimerRecord *out) const;     // 1 found, 0 none (record zeroed)
    int add(const TimerRecord &t);                  // 0 set, else an error code
    int modify(int index, const TimerRecord &t);    // 0 changed, else an error code
    int remove(int index);                          // 1 deleted, 0 none
    long refusedAdds() const { return refusedAdds_; }

private:
    long refusedAdds_ = 0;
};

}  // namespace sim
