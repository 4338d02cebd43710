// The receiver's clock: virtual local time in milliseconds (no time zone, no real sleeping), the
// Modified Julian Date arithmetic of the firmware (MJD 0 = 1858-11-17, weekday 0 = Monday) and
// the ticks of 10 ms since power-on.
// Example:
//   sim::Clock clock(sim::Clock::fromCivil({2026, 12, 7, 20, 0, 0}));
//   clock.advanceMs(1500);                      // 20:00:01.5, ticks 150
//   sim::CivilTime now = clock.civil();         // now.mjd == 61381, now.weekday == 0 (Monday)
#pragma once

#include <cstdint>
#include <string>

namespace sim {

constexpr int kMjdOf1970 = 40587;  // 1970-01-01, a Thursday

// A date and time of day as people write it, plus the firmware's day number and weekday.
struct CivilTime {
    int year = 1970, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0;
    int millisecond = 0;
    int mjd = kMjdOf1970;  // filled by Clock::civil / toCivil
    int weekday = 3;       // 0 Monday .. 6 Sunday
};

// Days since 1970-01-01 of a date (proleptic Gregorian); no check of the fields.
int64_t daysFromCivil(int year, int month, int day);
// A valid calendar date (month 1..12, day within the month).
bool isValidDate(int year, int month, int day);
// MJD of a date; -1 when the date is not valid.
int mjdFromDate(int year, int month, int day);
// Splits an MJD; weekday 0 = Monday.
void dateFromMjd(int mjd, int &year, int &month, int &day, int &weekday);
// The days the firmware's 16-bit day numbers hold: MJD 0 (1858-11-17) to 65535 (2038-04-22).
constexpr int kLastMjd = 65535;
// True when the firmware's clock can show a local time: from 1858-11-17 00:00:00 to 2038-04-22
// 23:59:59.999.
bool firmwareCanHold(int64_t localMs);
// "from 1858-11-17 to 2038-04-22", for messages.
const char *firmwareDateRange();

// Parses "YYYY-MM-DD HH:MM" or "YYYY-MM-DD HH:MM:SS" into local milliseconds; false if malformed
// or not a real date and time.
bool parseLocalTime(const std::string &text, int64_t &ms);
// "YYYY-MM-DD HH:MM:SS".
std::string formatLocalTime(int64_t ms);

class Clock {
public:
    explicit Clock(int64_t localMs = 0) : nowMs_(localMs) {}

    static int64_t fromCivil(const CivilTime &t);  // local milliseconds of a date and time
    static CivilTime toCivil(int64_t localMs);

    int64_t nowMs() const { return nowMs_; }
    // The time now as a date and time of day. The plug-in asks for it at every idle event: the
    // second last worked out is kept, so that within it no 64-bit division runs (a library call
    // on the receiver's 32-bit processor).
    CivilTime civil() const;
    // Ticks of 10 ms since power-on.
    uint32_t ticks() const { return static_cast<uint32_t>(sincePowerOnMs_ / 10); }
    int64_t sincePowerOnMs() const { return sincePowerOnMs_; }

    // Time passes: both the time of day and the ticks move on.
    void advanceMs(int64_t ms);
    // The time of day is set (the receiver took the time from the broadcast); ticks go on.
    void set(int64_t localMs) { nowMs_ = localMs; }
    // Power-on: ticks start again from 0, the time of day goes on.
    void powerCycle() { sincePowerOnMs_ = 0; }

private:
    int64_t nowMs_ = 0;
    int64_t sincePowerOnMs_ = 0;
    // The second civil() worked out last: its local time from secondMs_ (a whole second) on;
    // secondMs_ > nowMs_ at the start, so the first call works it out.
    mutable int64_t secondMs_ = INT64_MAX;
    mutable CivilTime second_;
};

}  // namespace sim
