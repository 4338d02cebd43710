// What the receiver's two tuners can serve at once. One tuner receives a whole transponder, so
// everything on one transponder can share it. A need is a stretch of minutes on a transponder
// that may use some of the tuners: a timer with tuner 0 or 1 only that one, a timer with tuner 3
// either, a running recording the one it runs on. The timer table judges new timers with this
// (a collision is a minute at which a third tuner would be needed) and a starting timer with
// tuner 3 picks its tuner with it.
// Example:
//   std::vector<sim::TunerNeed> set = {{0, 60, 1, sim::kEitherTuner, 0}, {0, 60, 2, sim::kEitherTuner, 1}};
//   sim::TunerCheck c = sim::checkTuners({{30, 90, 3, sim::kEitherTuner, -1}}, set);
//   // c.fits == false, c.blocker == 0, c.atMinute == 30
#pragma once

#include <cstdint>
#include <vector>

namespace sim {

// Which tuners a need may use: bit 0 the first tuner, bit 1 the second.
constexpr unsigned kFirstTuner = 1;
constexpr unsigned kSecondTuner = 2;
constexpr unsigned kEitherTuner = 3;

// The tuners a timer's tuner field allows: 0 the first, 1 the second, any other value (3) either.
unsigned tunersOfField(int tunerField);
// The tuners of a recording that runs on tuner 0 or 1.
inline unsigned tunerBit(int tuner) { return tuner == 1 ? kSecondTuner : kFirstTuner; }

struct TunerNeed {
    int64_t fromMinute = 0;  // first minute needed
    int64_t toMinute = 0;    // first minute no longer needed
    int transponder = 0;
    unsigned tuners = kEitherTuner;
    int owner = -1;          // index in the timer table, -1 none
};

struct TunerCheck {
    bool fits = true;
    int blocker = -1;        // when it does not fit: the lowest owner in the way, -1 none
    int64_t atMinute = -1;   // the first minute at which it does not fit
};

// Whether needs that all run at one moment can be served by two tuners.
bool tunersSuffice(const std::vector<const TunerNeed *> &active);

// Whether every need in `mine` can be served beside `others` at every minute of it (`others`
// alone are taken to fit). When not: the lowest owner of the others that run at a minute where
// it does not fit, lie on another transponder and may use a tuner that the need could use (or,
// should none qualify, the lowest owner running then).
TunerCheck checkTuners(const std::vector<TunerNeed> &mine, const std::vector<TunerNeed> &others);

}  // namespace sim
