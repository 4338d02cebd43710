// The receiver's time zone (see zone.h). Zones of the time-zone data are read by the C library:
// for one question it is switched to the zone (TZ) and back, and the answers are kept.
#include "receiver/zone.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <ctime>
#include <cstdio>
#include <fstream>

namespace rx {

namespace {

constexpr int64_t kMsPerQuarterHour = 15 * 60000;

int64_t floorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0); }

// Offset of the C library's local time at a moment, in minutes east of UTC.
int libraryOffsetMinutes(int64_t utcMs) {
    std::time_t t = static_cast<std::time_t>(floorDiv(utcMs, 1000));
    std::tm tm{};
    if (!localtime_r(&t, &tm))
        return 0;
    return static_cast<int>(tm.tm_gmtoff / 60);
}

// The C library's local time switched to another zone for as long as it lives.
class ZoneSwitch {
public:
    explicit ZoneSwitch(const std::string &tz) {
        const char *old = std::getenv("TZ");
        hadOld_ = old != nullptr;
        if (hadOld_)
            old_ = old;
        setenv("TZ", tz.c_str(), 1);
        tzset();
    }
    ~ZoneSwitch() {
        if (hadOld_)
            setenv("TZ", old_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    ZoneSwitch(const ZoneSwitch &) = delete;
    ZoneSwitch &operator=(const ZoneSwitch &) = delete;

private:
    bool hadOld_ = false;
    std::string old_;
};

// A name a zone file may have: letters, digits, '_', '-', '+' in parts joined by '/'.
bool plainZoneName(const std::string &name) {
    if (name.empty() || name.front() == '/' || name.back() == '/' || name.find("//") != std::string::npos)
        return false;
    size_t start = 0;
    while (start <= name.size()) {
        size_t slash = name.find('/', start);
        std::string part = name.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (part.empty() || part == "." || part == "..")
            return false;
        for (char c : part)
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-' && c != '+')
                return false;
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    return true;
}

// A file of the time-zone data: a regular file that starts with "TZif".
bool zoneFile(const std::string &path) {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    std::ifstream in(path, std::ios::binary);
    char magic[4] = {};
    in.read(magic, 4);
    return in && std::string(magic, 4) == "TZif";
}

// The host's zone by name: TZ, else the zone /etc/localtime links to, else /etc/timezone.
std::string hostZoneName() {
    const std::string dir = std::string(Zone::kZoneInfoDir) + "/";
    const char *tz = std::getenv("TZ");
    if (tz && *tz) {
        std::string name = tz[0] == ':' ? tz + 1 : tz;
        return name.rfind(dir, 0) == 0 ? name.substr(dir.size()) : name;
    }
    char link[4096];
    ssize_t n = ::readlink("/etc/localtime", link, sizeof link - 1);
    if (n > 0) {
        std::string target(link, static_cast<size_t>(n));
        size_t at = target.find("zoneinfo/");
        if (at != std::string::npos)
            return target.substr(at + 9);
    }
    std::ifstream in("/etc/timezone");
    std::string line;
    if (std::getline(in, line) && !line.empty())
        return line;
    struct stat st{};
    return ::stat("/etc/localtime", &st) == 0 ? "the host's zone" : "UTC";
}

}  // namespace

Zone Zone::fixed(int minutesEast) {
    Zone z;
    z.kind_ = Kind::Fixed;
    z.minutes_ = minutesEast;
    return z;
}

Zone Zone::host() {
    Zone z;
    z.kind_ = Kind::Host;
    z.name_ = hostZoneName();
    return z;
}

bool Zone::parse(const std::string &text, Zone &out, std::string &why) {
    int minutes = 0;
    if (parseZone(text, minutes)) {
        out = fixed(minutes);
        return true;
    }
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        why = "expected an offset such as +0100 or -0430";
        return false;
    }
    std::string path = std::string(kZoneInfoDir) + "/" + text;
    if (!plainZoneName(text) || !zoneFile(path)) {
        struct stat st{};
        bool haveData = ::stat(kZoneInfoDir, &st) == 0 && S_ISDIR(st.st_mode);
        why = std::string("expected a zone such as Europe/Berlin (") +
              (haveData ? std::string("a file of ") + kZoneInfoDir
                        : std::string("the time-zone data is missing: install the package tzdata")) +
              "), an offset such as +0100 or -0430, or guide";
        return false;
    }
    Zone z;
    z.kind_ = Kind::Named;
    z.name_ = text;
    out = z;
    return true;
}

std::string Zone::name() const { return kind_ == Kind::Fixed ? formatZone(minutes_) : name_; }

int Zone::offsetMinutesAt(int64_t utcMs) const {
    if (kind_ == Kind::Fixed)
        return minutes_;
    int64_t quarter = floorDiv(utcMs, kMsPerQuarterHour);
    auto known = offsets_.find(quarter);
    if (known != offsets_.end())
        return known->second;
    int minutes = 0;
    if (kind_ == Kind::Host) {
        tzset();
        minutes = libraryOffsetMinutes(utcMs);
    } else {
        ZoneSwitch to(":" + std::string(kZoneInfoDir) + "/" + name_);
        minutes = libraryOffsetMinutes(utcMs);
    }
    offsets_.emplace(quarter, minutes);
    return minutes;
}

int64_t Zone::nowLocalMs() const {
    int64_t utcMs = static_cast<int64_t>(std::time(nullptr)) * 1000;
    return localMs(utcMs);
}

std::string formatZone(int minutes) {
    char buf[16];
    int a = minutes < 0 ? -minutes : minutes;
    std::snprintf(buf, sizeof buf, "%c%02d%02d", minutes < 0 ? '-' : '+', a / 60 % 100, a % 60);
    return buf;
}

bool parseZone(const std::string &text, int &minutes) {
    if (text == "UTC" || text == "utc" || text == "Z" || text == "GMT") {
        minutes = 0;
        return true;
    }
    if (text.size() < 3 || (text[0] != '+' && text[0] != '-'))
        return false;
    std::string digits;
    for (size_t i = 1; i < text.size(); ++i) {
        if (text[i] == ':' && i == 3)
            continue;
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return false;
        digits += text[i];
    }
    if (digits.size() != 2 && digits.size() != 4)
        return false;
    int hh = std::stoi(digits.substr(0, 2));
    int mm = digits.size() == 4 ? std::stoi(digits.substr(2)) : 0;
    if (hh > 14 || mm > 59)
        return false;
    minutes = (text[0] == '-' ? -1 : 1) * (hh * 60 + mm);
    return true;
}

}  // namespace rx
