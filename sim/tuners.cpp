// The two tuners and what they can serve (see tuners.h).
#include "sim/tuners.h"

#include <algorithm>

namespace sim {

unsigned tunersOfField(int tunerField) {
    return tunerField == 0 ? kFirstTuner : tunerField == 1 ? kSecondTuner : kEitherTuner;
}

bool tunersSuffice(const std::vector<const TunerNeed *> &active) {
    // Each tuner is set to one transponder (or none); try every setting of the two.
    std::vector<int> transponders;
    for (const TunerNeed *n : active)
        if (std::find(transponders.begin(), transponders.end(), n->transponder) == transponders.end())
            transponders.push_back(n->transponder);
    if (transponders.size() > 2)
        return false;
    const int choices = static_cast<int>(transponders.size()) + 1;  // the last choice: not set
    for (int a = 0; a < choices; ++a) {
        for (int b = 0; b < choices; ++b) {
            bool served = true;
            for (const TunerNeed *n : active) {
                bool onFirst = (n->tuners & kFirstTuner) && a < choices - 1 && transponders[a] == n->transponder;
                bool onSecond = (n->tuners & kSecondTuner) && b < choices - 1 && transponders[b] == n->transponder;
                if (!onFirst && !onSecond) {
                    served = false;
                    break;
                }
            }
            if (served)
                return true;
        }
    }
    return false;
}

TunerCheck checkTuners(const std::vector<TunerNeed> &mine, const std::vector<TunerNeed> &others) {
    TunerCheck result;
    for (const TunerNeed &m : mine) {
        if (m.toMinute <= m.fromMinute)
            continue;
        // Everything that runs during m, and the minutes at which that changes.
        struct Around {
            const TunerNeed *need;
            bool other;  // one of `others` (else another of `mine`)
        };
        std::vector<Around> around;
        std::vector<int64_t> cuts = {m.fromMinute, m.toMinute};
        auto gather = [&](const TunerNeed &n, bool other) {
            if (&n == &m || n.fromMinute >= m.toMinute || n.toMinute <= m.fromMinute || n.toMinute <= n.fromMinute)
                return;
            around.push_back({&n, other});
            if (n.fromMinute > m.fromMinute)
                cuts.push_back(n.fromMinute);
            if (n.toMinute < m.toMinute)
                cuts.push_back(n.toMinute);
        };
        for (const TunerNeed &n : mine)
            gather(n, false);
        for (const TunerNeed &n : others)
            gather(n, true);
        std::sort(cuts.begin(), cuts.end());
        cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
        for (size_t c = 0; c + 1 < cuts.size(); ++c) {
            int64_t at = cuts[c];
            std::vector<const TunerNeed *> active = {&m};
            std::vector<const TunerNeed *> activeOthers;
            for (const Around &a : around) {
                if (a.need->fromMinute > at || a.need->toMinute <= at)
                    continue;
                active.push_back(a.need);
                if (a.other)
                    activeOthers.push_back(a.need);
            }
            if (tunersSuffice(active))
                continue;
            if (result.fits || at < result.atMinute)
                result.atMinute = at;
            result.fits = false;
            int inTheWay = -1, running = -1;
            for (const TunerNeed *n : activeOthers) {
                if (n->owner < 0)
                    continue;
                if (running < 0 || n->owner < running)
                    running = n->owner;
                if (n->transponder != m.transponder && (n->tuners & m.tuners) && (inTheWay < 0 || n->owner < inTheWay))
                    inTheWay = n->owner;
            }
            int blocker = inTheWay >= 0 ? inTheWay : running;
            if (blocker >= 0 && (result.blocker < 0 || blocker < result.blocker))
                result.blocker = blocker;
        }
    }
    return result;
}

}  // namespace sim
