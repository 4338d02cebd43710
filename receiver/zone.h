// The receiver's time zone. The firmware keeps local time only; the zone turns UTC times (the
// guide's programmes, the host's "now") into it. A zone is a fixed offset from UTC ("+0100"),
// a zone of the system's time-zone data with its summer time ("Europe/Berlin", read from
// /usr/share/zoneinfo, Debian's package tzdata), or the host's own zone (the C library's local
// time: TZ or /etc/localtime).
// Example:
//   rx::Zone z;  std::string why;
//   if (rx::Zone::parse("Europe/Helsinki", z, why))
//       int64_t local = z.localMs(utcMs);   // utcMs + 2 h in winter, + 3 h in summer
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace rx {

class Zone {
public:
    // The zone of the system's time-zone data.
    static constexpr const char *kZoneInfoDir = "/usr/share/zoneinfo";

    Zone() = default;  // UTC
    static Zone fixed(int minutesEast);
    static Zone host();
    // "Europe/Berlin" (a zone of kZoneInfoDir), "+hhmm", "-hh:mm", "+hh", "UTC"; false with the
    // reason when it is none of these.
    static bool parse(const std::string &text, Zone &out, std::string &why);

    // "+0100", "Europe/Berlin"; the host's zone by its name when the host tells it.
    std::string name() const;
    bool isFixed() const { return kind_ == Kind::Fixed; }

    // Minutes east of UTC at a moment (the summer time of that moment included).
    int offsetMinutesAt(int64_t utcMs) const;
    // The local time of a moment, in the clock's milliseconds.
    int64_t localMs(int64_t utcMs) const { return utcMs + int64_t(offsetMinutesAt(utcMs)) * 60000; }
    // The host's clock now as local time of this zone, whole seconds.
    int64_t nowLocalMs() const;

private:
    enum class Kind { Fixed, Named, Host };
    Kind kind_ = Kind::Fixed;
    int minutes_ = 0;      // Fixed
    std::string name_;     // Named: the zone; Host: its name when known
    // Offsets already asked of the C library, by quarter hour of UTC (zones change on those).
    mutable std::map<int64_t, int> offsets_;
};

// "+hhmm" / "-hhmm" of an offset in minutes, and back (false when malformed; "UTC", "GMT" and
// "Z" are +0000).
std::string formatZone(int minutes);
bool parseZone(const std::string &text, int &minutes);

}  // namespace rx
