// The firmware's timer table and recordings as JSON, for the script commands `dump timers` and
// `dump recordings`. Texts are the firmware's Latin-1, written as UTF-8 JSON strings; times are
// the receiver's local time "YYYY-MM-DD HH:MM".
//   timers:     [{"index": 0, "kind": "Rec", "tuner": 3, "type": "tv", "channel": 2,
//                 "start": "2026-12-07 20:15", "duration": 45, "mode": "OT", "name": "News.rec"}, ...]
//   recordings: {"running": [{"slot": 0, "type": "tv", "channel": 2, "start": ..., "end": ...,
//                 "name": ...}], "done": [... the same keys, in the order they ended]}
// Example:
//   std::string json = rx::timersJson(receiver.firmware());   // "[]\n" for an empty table
#pragma once

#include <string>
#include <string_view>

namespace sim {
class Firmware;
}

namespace rx {

std::string timersJson(const sim::Firmware &fw);
std::string recordingsJson(const sim::Firmware &fw);
// A Latin-1 text as a JSON string in UTF-8, quotes included: quotes, backslashes and control
// characters (C0, DEL and C1) escaped.
std::string jsonString(std::string_view latin1);

}  // namespace rx
