// The receiver's clock and the calendar arithmetic behind TAP_MakeMjd / TAP_ExtractMjd (see clock.h).
#include "sim/clock.h"

#include <cstdio>

namespace sim {

namespace {
constexpr int64_t kMsPerDay = 86400000;

int64_t floorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
}  // namespace

int64_t daysFromCivil(int year, int month, int day) {
    // Days from 1970-01-01 in the proleptic Gregorian calendar, eras of 400 years.
    int64_t y = year - (month <= 2 ? 1 : 0);
    int64_t era = floorDiv(y, 400);
    int64_t yoe = y - era * 400;
    int64_t mp = (month + 9) % 12;
    int64_t doy = (153 * mp + 2) / 5 + day - 1;
    int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

static void civilFromDays(int64_t z, int &year, int &month, int &day) {
    z += 719468;
    int64_t era = floorDiv(z, 146097);
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

bool isValidDate(int year, int month, int day) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1)
        return false;
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    int days = kDays[month - 1] + (month == 2 && leap ? 1 : 0);
    return day <= days;
}

int mjdFromDate(int year, int month, int day) {
    if (!isValidDate(year, month, day))
        return -1;
    return static_cast<int>(daysFromCivil(year, month, day) + kMjdOf1970);
}

void dateFromMjd(int mjd, int &year, int &month, int &day, int &weekday) {
    civilFromDays(static_cast<int64_t>(mjd) - kMjdOf1970, year, month, day);
    weekday = static_cast<int>(((static_cast<int64_t>(mjd) + 2) % 7 + 7) % 7);
}

int64_t Clock::fromCivil(const CivilTime &t) {
    int64_t days = daysFromCivil(t.year, t.month, t.day);
    return days * kMsPerDay + ((t.hour * 60 + t.minute) * 60 + t.second) * int64_t(1000) + t.millisecond;
}

CivilTime Clock::toCivil(int64_t localMs) {
    CivilTime t;
    int64_t days = floorDiv(localMs, kMsPerDay);
    int64_t msOfDay = localMs - days * kMsPerDay;
    civilFromDays(days, t.year, t.month, t.day);
    t.mjd = static_cast<int>(days + kMjdOf1970);
    t.weekday = static_cast<int>(((days + 3) % 7 + 7) % 7);
    t.hour = static_cast<int>(msOfDay / 3600000);
    t.minute = static_cast<int>(msOfDay / 60000 % 60);
    t.second = static_cast<int>(msOfDay / 1000 % 60);
    t.millisecond = static_cast<int>(msOfDay % 1000);
    return t;
}

CivilTime Clock::civil() const {
    // Within the second kept only the milliseconds move (a difference below 1000 fits an int).
    if (nowMs_ >= secondMs_ && nowMs_ - secondMs_ < 1000) {
        CivilTime t = second_;
        t.millisecond = static_cast<int>(nowMs_ - secondMs_);
        return t;
    }
    second_ = toCivil(nowMs_);
    secondMs_ = nowMs_ - second_.millisecond;
    return second_;
}

void Clock::advanceMs(int64_t ms) {
    if (ms <= 0)
        return;
    nowMs_ += ms;
    sincePowerOnMs_ += ms;
}

bool firmwareCanHold(int64_t localMs) {
    int64_t day = floorDiv(localMs, kMsPerDay) + kMjdOf1970;
    return day >= 0 && day <= kLastMjd;
}

const char *firmwareDateRange() { return "from 1858-11-17 to 2038-04-22"; }

bool parseLocalTime(const std::string &text, int64_t &ms) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, used = 0;
    int n = std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d%n", &y, &mo, &d, &h, &mi, &used);
    if (n != 5)
        return false;
    std::string rest = text.substr(static_cast<size_t>(used));
    if (!rest.empty()) {
        int used2 = 0;
        if (std::sscanf(rest.c_str(), ":%2d%n", &s, &used2) != 1 || static_cast<size_t>(used2) != rest.size())
            return false;
    }
    if (!isValidDate(y, mo, d) || h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 || s > 59)
        return false;
    CivilTime t;
    t.year = y, t.month = mo, t.day = d, t.hour = h, t.minute = mi, t.second = s;
    ms = Clock::fromCivil(t);
    return true;
}

std::string formatLocalTime(int64_t ms) {
    CivilTime t = Clock::toCivil(ms);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return buf;
}

}  // namespace sim
