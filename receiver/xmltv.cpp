// Reading XMLTV guides with expat (see xmltv.h).
//
// Sections: times and zones; entities and encodings; the element handlers; the repair pass for
// files that are not well-formed; the whole file.
#include "receiver/xmltv.h"

#include <expat.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>
#include <fstream>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <unordered_map>
#include <unordered_set>

#include "receiver/latin1_fold.h"
#include "sim/clock.h"

namespace rx {

namespace {

constexpr int64_t kMsPerMinute = 60000;
constexpr int64_t kMsPerDay = 86400000;

// --- Times and zones ---

struct ZoneName {
    const char *name;
    int minutes;
};

const ZoneName kZoneNames[] = {
    {"UTC", 0},     {"GMT", 0},     {"Z", 0},       {"UT", 0},      {"WET", 0},     {"WEST", 60},
    {"BST", 60},    {"CET", 60},    {"MET", 60},    {"CEST", 120},  {"MEST", 120},  {"EET", 120},
    {"EEST", 180},  {"MSK", 180},   {"AST", -240},  {"ADT", -180},  {"EST", -300},  {"EDT", -240},
    {"CST", -360},  {"CDT", -300},  {"MST", -420},  {"MDT", -360},  {"PST", -480},  {"PDT", -420},
    {"AKST", -540}, {"AKDT", -480}, {"HST", -600},  {"JST", 540},   {"KST", 540},   {"AWST", 480},
    {"ACST", 570},  {"AEST", 600},  {"AEDT", 660},  {"NZST", 720},  {"NZDT", 780},
};

enum class TimeRead { Ok, UnknownZone, Bad };

bool digitsValue(const std::string &s, size_t at, size_t n, int &out) {
    out = 0;
    for (size_t k = at; k < at + n; ++k) {
        if (k >= s.size() || !std::isdigit(static_cast<unsigned char>(s[k])))
            return false;
        out = out * 10 + (s[k] - '0');
    }
    return true;
}

// Reads an XMLTV time; an unknown zone name gives UnknownZone with the time taken as UTC.
TimeRead readTime(const std::string &text, int64_t &utcMs, int &zoneMinutes, std::string &zoneName) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    size_t digits = 0;
    while (i + digits < text.size() && std::isdigit(static_cast<unsigned char>(text[i + digits])))
        ++digits;
    if (digits < 4 || digits > 14 || digits % 2 != 0)
        return TimeRead::Bad;
    int year = 0, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    digitsValue(text, i, 4, year);
    if (digits >= 6)
        digitsValue(text, i + 4, 2, month);
    if (digits >= 8)
        digitsValue(text, i + 6, 2, day);
    if (digits >= 10)
        digitsValue(text, i + 8, 2, hour);
    if (digits >= 12)
        digitsValue(text, i + 10, 2, minute);
    if (digits >= 14)
        digitsValue(text, i + 12, 2, second);
    if (!sim::isValidDate(year, month, day) || hour > 23 || minute > 59 || second > 60)
        return TimeRead::Bad;
    i += digits;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    std::string zone = text.substr(i);
    while (!zone.empty() && std::isspace(static_cast<unsigned char>(zone.back())))
        zone.pop_back();
    zoneMinutes = 0;
    TimeRead result = TimeRead::Ok;
    if (!zone.empty() && (zone[0] == '+' || zone[0] == '-')) {
        int hh = 0, mm = 0;
        bool ok = false;
        if (zone.size() == 5)
            ok = digitsValue(zone, 1, 2, hh) && digitsValue(zone, 3, 2, mm);
        else if (zone.size() == 3)
            ok = digitsValue(zone, 1, 2, hh);
        else if (zone.size() == 6 && zone[3] == ':')
            ok = digitsValue(zone, 1, 2, hh) && digitsValue(zone, 4, 2, mm);
        if (!ok || hh > 14 || mm > 59)
            return TimeRead::Bad;
        zoneMinutes = (zone[0] == '-' ? -1 : 1) * (hh * 60 + mm);
    } else if (!zone.empty()) {
        std::string upper = zone;
        for (char &c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        bool known = false;
        for (const ZoneName &z : kZoneNames) {
            if (upper == z.name) {
                zoneMinutes = z.minutes;
                known = true;
                break;
            }
        }
        if (!known) {
            for (char c : upper)
                if (!std::isalpha(static_cast<unsigned char>(c)))
                    return TimeRead::Bad;
            zoneName = zone;
            result = TimeRead::UnknownZone;
        }
    }
    int64_t civilMs = sim::daysFromCivil(year, month, day) * kMsPerDay +
                      ((hour * 60 + minute) * 60 + second) * int64_t{1000};
    utcMs = civilMs - zoneMinutes * kMsPerMinute;
    return result;
}

// --- Entities and encodings ---

// HTML's names for the Latin-1 characters 160..255, in order.
const char *const kLatin1EntityNames[96] = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",
    "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",   "sup3",
    "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12",
    "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil",
    "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde",
    "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",
    "Uuml",   "Yacute", "THORN",  "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",
    "aelig",  "ccedil", "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",
    "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

struct NamedChar {
    const char *name;
    unsigned cp;
};

const NamedChar kOtherEntities[] = {
    {"OElig", 0x152}, {"oelig", 0x153},  {"Scaron", 0x160}, {"scaron", 0x161}, {"Yuml", 0x178},
    {"fnof", 0x192},  {"circ", 0x2C6},   {"tilde", 0x2DC},  {"ensp", 0x2002},  {"emsp", 0x2003},
    {"thinsp", 0x2009}, {"zwnj", 0x200C}, {"zwj", 0x200D},  {"lrm", 0x200E},   {"rlm", 0x200F},
    {"ndash", 0x2013}, {"mdash", 0x2014}, {"lsquo", 0x2018}, {"rsquo", 0x2019}, {"sbquo", 0x201A},
    {"ldquo", 0x201C}, {"rdquo", 0x201D}, {"bdquo", 0x201E}, {"dagger", 0x2020}, {"bull", 0x2022},
    {"hellip", 0x2026}, {"permil", 0x2030}, {"prime", 0x2032}, {"lsaquo", 0x2039}, {"rsaquo", 0x203A},
    {"euro", 0x20AC}, {"trade", 0x2122},  {"minus", 0x2212}, {"larr", 0x2190},  {"rarr", 0x2192},
};

// The character an HTML entity name stands for; 0 when the name is not one.
unsigned htmlEntity(const std::string &name) {
    for (int k = 0; k < 96; ++k)
        if (name == kLatin1EntityNames[k])
            return 160u + static_cast<unsigned>(k);
    for (const NamedChar &e : kOtherEntities)
        if (name == e.name)
            return e.cp;
    return 0;
}

std::string utf8Of(unsigned cp) {
    std::string s;
    if (cp < 0x80) {
        s += static_cast<char>(cp);
    } else if (cp < 0x800) {
        s += static_cast<char>(0xC0 | (cp >> 6));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        s += static_cast<char>(0xE0 | (cp >> 12));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (cp >> 18));
        s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return s;
}

std::string lower(std::string s) {
    for (char &c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// windows-1252's characters for the bytes 0x80..0x9F (0xFFFD where it has none).
const unsigned kCp1252High[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                  0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

// The single-byte encodings expat does not know itself.
int unknownEncoding(void *, const XML_Char *name, XML_Encoding *info) {
    std::string n = lower(name ? name : "");
    bool cp1252 = n == "windows-1252" || n == "cp1252" || n == "x-cp1252";
    bool latin9 = n == "iso-8859-15" || n == "iso8859-15" || n == "latin-9" || n == "latin9";
    if (!cp1252 && !latin9)
        return XML_STATUS_ERROR;
    for (int b = 0; b < 256; ++b)
        info->map[b] = b;
    if (cp1252) {
        for (int b = 0x80; b < 0xA0; ++b)
            info->map[b] = static_cast<int>(kCp1252High[b - 0x80]);
    } else {
        const int bytes[] = {0xA4, 0xA6, 0xA8, 0xB4, 0xB8, 0xBC, 0xBD, 0xBE};
        const int chars[] = {0x20AC, 0x160, 0x161, 0x17D, 0x17E, 0x152, 0x153, 0x178};
        for (int k = 0; k < 8; ++k)
            info->map[bytes[k]] = chars[k];
    }
    info->data = nullptr;
    info->convert = nullptr;
    info->release = nullptr;
    return XML_STATUS_OK;
}

// --- The element handlers ---

enum class Field { None, DisplayName, Title, SubTitle, Desc };

struct Reader {
    XML_Parser parser = nullptr;
    std::string source;
    XmltvGuide guide;
    std::unordered_map<std::string, size_t> channelAt;
    int depth = 0;
    bool rootSeen = false;
    std::string fatal;  // a fault of ours that stopped the parser

    bool inChannel = false, inProgramme = false;
    XmltvChannel channel;
    XmltvProgramme programme;
    std::string startText, stopText;
    const std::string *bytes = nullptr;  // what the parser reads (for line numbers)
    long long programmeAt = 0;           // byte index of the programme's start tag
    Field field = Field::None;
    int fieldDepth = 0;
    std::string text;  // UTF-8 content of the field being read

    long noChannel = 0, badStart = 0, badStop = 0;
    std::string firstBadStart;
    std::map<std::string, long> unknownZones;
    std::map<std::string, long> skippedEntities;

    size_t channelIndex(const std::string &id) {
        auto it = channelAt.find(id);
        if (it != channelAt.end())
            return it->second;
        XmltvChannel c;
        c.id = id;
        guide.channels.push_back(c);
        channelAt.emplace(id, guide.channels.size() - 1);
        return guide.channels.size() - 1;
    }

    std::string fold(const std::string &utf8, bool lines) {
        FoldCounts n;
        std::string out = foldToLatin1(utf8, lines, &n);
        guide.foldedChars += n.folded;
        guide.droppedChars += n.dropped;
        guide.placeholderChars += n.placeholders;
        return out;
    }

    // The line of a byte index of the bytes parsed, counted as the parser counts (CR LF, CR and
    // LF each end a line).
    long lineAt(long long at) const {
        if (!bytes || at < 0)
            return 0;
        size_t end = std::min(static_cast<size_t>(at), bytes->size());
        const char *b = bytes->data();
        long line = 1;
        for (size_t k = 0; k < end; ++k) {
            if (b[k] == '\n' || (b[k] == '\r' && (k + 1 >= bytes->size() || b[k + 1] != '\n')))
                ++line;
        }
        return line;
    }

    static const char *attr(const XML_Char **atts, const char *name) {
        for (int k = 0; atts[k]; k += 2)
            if (std::strcmp(atts[k], name) == 0)
                return atts[k + 1];
        return nullptr;
    }

    void start(const char *name, const XML_Char **atts) {
        ++depth;
        if (!rootSeen) {
            rootSeen = true;
            if (std::strcmp(name, "tv") != 0) {
                fatal = std::string("this is not an XMLTV guide: its root element is <") + name + ">, not <tv>";
                XML_StopParser(parser, XML_FALSE);
            }
            return;
        }
        if (depth == 2) {
            if (std::strcmp(name, "channel") == 0) {
                inChannel = true;
                const char *id = attr(atts, "id");
                channel = XmltvChannel();
                channel.id = id ? id : "";
            } else if (std::strcmp(name, "programme") == 0) {
                inProgramme = true;
                programme = XmltvProgramme();
                const char *ch = attr(atts, "channel");
                const char *st = attr(atts, "start");
                const char *sp = attr(atts, "stop");
                programme.channelId = ch ? ch : "";
                startText = st ? st : "";
                stopText = sp ? sp : "";
                // The line is only needed for a warning: the byte index is what costs nothing.
                programmeAt = static_cast<long long>(XML_GetCurrentByteIndex(parser));
            }
            return;
        }
        if (depth != 3 || field != Field::None)
            return;
        if (inChannel && std::strcmp(name, "display-name") == 0 && channel.name.empty())
            field = Field::DisplayName;
        else if (inProgramme && std::strcmp(name, "title") == 0 && programme.title.empty())
            field = Field::Title;
        else if (inProgramme && std::strcmp(name, "sub-title") == 0 && programme.subTitle.empty())
            field = Field::SubTitle;
        else if (inProgramme && std::strcmp(name, "desc") == 0 && programme.desc.empty())
            field = Field::Desc;
        if (field != Field::None) {
            fieldDepth = depth;
            text.clear();
        }
    }

    void end() {
        if (field != Field::None && depth == fieldDepth) {
            switch (field) {
            case Field::DisplayName: channel.name = fold(text, false); break;
            case Field::Title: programme.title = fold(text, false); break;
            case Field::SubTitle: programme.subTitle = fold(text, false); break;
            case Field::Desc: programme.desc = fold(text, true); break;
            case Field::None: break;
            }
            field = Field::None;
        }
        if (depth == 2 && inChannel) {
            inChannel = false;
            if (!channel.id.empty()) {
                // The first <channel> of an id names it; a programme may have named it before.
                XmltvChannel &c = guide.channels[channelIndex(channel.id)];
                if (!c.declared && !channel.name.empty())
                    c.name = channel.name;
                if (c.name.empty())
                    c.name = fold(c.id, false);
                c.declared = true;
            }
        } else if (depth == 2 && inProgramme) {
            inProgramme = false;
            endProgramme();
        }
        --depth;
    }

    void endProgramme() {
        if (programme.channelId.empty()) {
            ++noChannel;
            return;
        }
        std::string zone;
        TimeRead r = readTime(startText, programme.startUtcMs, programme.startZoneMinutes, zone);
        if (r == TimeRead::Bad) {
            if (badStart++ == 0)
                firstBadStart = "line " + std::to_string(lineAt(programmeAt)) + ": start=\"" + startText + "\"";
            return;
        }
        if (r == TimeRead::UnknownZone)
            ++unknownZones[zone];
        if (!stopText.empty()) {
            int stopZone = 0;
            std::string stopZoneName;
            TimeRead s = readTime(stopText, programme.stopUtcMs, stopZone, stopZoneName);
            if (s == TimeRead::Bad)
                ++badStop;
            else if (s == TimeRead::UnknownZone)
                ++unknownZones[stopZoneName];
            programme.hasStop = s != TimeRead::Bad;
        }
        XmltvChannel &c = guide.channels[channelIndex(programme.channelId)];
        if (c.name.empty())
            c.name = fold(c.id, false);
        guide.programmes.push_back(std::move(programme));
    }

    void characters(const XML_Char *s, int len) {
        if (field != Field::None && depth == fieldDepth)
            text.append(s, static_cast<size_t>(len));
    }

    void skippedEntity(const XML_Char *name, int isParameter) {
        if (isParameter)
            return;
        std::string n = name ? name : "";
        ++skippedEntities[n];
        unsigned cp = htmlEntity(n);
        if (field != Field::None && depth == fieldDepth && cp != 0)
            text += utf8Of(cp);
    }

    // The warnings about what was taken differently from the file, one line each.
    void summarise() {
        auto add = [&](const std::string &w) { guide.warnings.push_back(source + ": " + w); };
        if (!skippedEntities.empty()) {
            long total = 0;
            std::string names;
            for (const auto &e : skippedEntities) {
                total += e.second;
                names += (names.empty() ? "" : ", ") + ("&" + e.first + "; x" + std::to_string(e.second));
            }
            add(std::to_string(total) + " undefined entit" + (total == 1 ? "y" : "ies") + " (" + names +
                ") taken as the HTML characters of those names");
        }
        if (noChannel > 0)
            add(std::to_string(noChannel) + " programme(s) without a channel skipped");
        if (badStart > 0)
            add(std::to_string(badStart) + " programme(s) with a start time that cannot be read skipped (first: " +
                firstBadStart + ")");
        if (badStop > 0)
            add(std::to_string(badStop) +
                " stop time(s) that cannot be read ignored (the programme ends where the next begins)");
        for (const auto &z : unknownZones)
            add("unknown time zone \"" + z.first + "\" in " + std::to_string(z.second) + " time(s), taken as UTC");
    }
};

void XMLCALL onStart(void *data, const XML_Char *name, const XML_Char **atts) {
    static_cast<Reader *>(data)->start(name, atts);
}
void XMLCALL onEnd(void *data, const XML_Char *) { static_cast<Reader *>(data)->end(); }
void XMLCALL onText(void *data, const XML_Char *s, int len) { static_cast<Reader *>(data)->characters(s, len); }
void XMLCALL onSkipped(void *data, const XML_Char *name, int isParameter) {
    static_cast<Reader *>(data)->skippedEntity(name, isParameter);
}

struct ParseFault {
    std::string what;  // expat's message, or ours
    long line = 0, column = 0;
    bool xml = false;  // the XML itself is at fault (a repair may help)
};

// Runs one parse over bytes; false with the fault.
bool runParse(const std::string &bytes, Reader &r, ParseFault &fault) {
    XML_Parser p = XML_ParserCreate(nullptr);
    if (!p) {
        fault.what = "out of memory";
        return false;
    }
    r.parser = p;
    r.bytes = &bytes;
    XML_SetUserData(p, &r);
    XML_SetElementHandler(p, onStart, onEnd);
    XML_SetCharacterDataHandler(p, onText);
    XML_SetSkippedEntityHandler(p, onSkipped);
    XML_SetUnknownEncodingHandler(p, unknownEncoding, nullptr);
    const size_t kChunk = 1 << 20;
    bool ok = true;
    size_t at = 0;
    do {
        size_t n = std::min(kChunk, bytes.size() - at);
        bool last = at + n >= bytes.size();
        if (XML_Parse(p, bytes.data() + at, static_cast<int>(n), last ? 1 : 0) != XML_STATUS_OK) {
            ok = false;
            break;
        }
        at += n;
    } while (at < bytes.size());
    if (!ok) {
        fault.line = static_cast<long>(XML_GetCurrentLineNumber(p));
        fault.column = static_cast<long>(XML_GetCurrentColumnNumber(p)) + 1;
        if (!r.fatal.empty()) {
            fault.what = r.fatal;
        } else {
            XML_Error code = XML_GetErrorCode(p);
            fault.what = XML_ErrorString(code);
            fault.xml = code != XML_ERROR_NO_MEMORY && code != XML_ERROR_UNKNOWN_ENCODING &&
                        code != XML_ERROR_INCORRECT_ENCODING;
            if (code == XML_ERROR_UNKNOWN_ENCODING)
                fault.what += " (UTF-8, UTF-16, ISO-8859-1, ISO-8859-15, windows-1252 and US-ASCII are read)";
        }
    }
    XML_ParserFree(p);
    r.parser = nullptr;
    return ok;
}

// --- The repair pass for files that are not well-formed ---

struct Repairs {
    std::map<std::string, long> htmlEntities;  // replaced by their characters
    std::map<std::string, long> unknownEntities;  // '&' taken as a plain '&'
    long bareAmpersands = 0;
    long badReferences = 0;
    long notUtf8 = 0;
    long controls = 0;
    bool any() const {
        return !htmlEntities.empty() || !unknownEntities.empty() || bareAmpersands || badReferences || notUtf8 ||
               controls;
    }
    std::string describe() const {
        std::vector<std::string> parts;
        auto list = [](const std::map<std::string, long> &m, long &total) {
            std::string names;
            for (const auto &e : m) {
                total += e.second;
                names += (names.empty() ? "" : ", ") + ("&" + e.first + "; x" + std::to_string(e.second));
            }
            return names;
        };
        long total = 0;
        std::string names = list(htmlEntities, total);
        if (total > 0)
            parts.push_back(std::to_string(total) + " undefined entities (" + names + ") replaced by their characters");
        total = 0;
        names = list(unknownEntities, total);
        if (total > 0)
            parts.push_back(std::to_string(total) + " unknown entities (" + names + ") kept as plain text");
        if (bareAmpersands)
            parts.push_back(std::to_string(bareAmpersands) + " bare '&' taken as '&amp;'");
        if (badReferences)
            parts.push_back(std::to_string(badReferences) + " references to characters XML does not allow dropped");
        if (notUtf8)
            parts.push_back(std::to_string(notUtf8) + " bytes that are not UTF-8 taken as Latin-1");
        if (controls)
            parts.push_back(std::to_string(controls) + " control characters dropped");
        std::string s;
        for (const std::string &p : parts)
            s += (s.empty() ? "" : "; ") + p;
        return s;
    }
};

bool allowedXmlChar(unsigned long cp) {
    return cp == 0x9 || cp == 0xA || cp == 0xD || (cp >= 0x20 && cp <= 0xD7FF) || (cp >= 0xE000 && cp <= 0xFFFD) ||
           (cp >= 0x10000 && cp <= 0x10FFFF);
}

// The length of a valid UTF-8 sequence of an allowed character at i; 0 when there is none.
size_t utf8Length(const std::string &s, size_t i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (n == 0 || i + n > s.size())
        return 0;
    unsigned long cp = c & (0x7Fu >> n);
    for (size_t k = 1; k < n; ++k) {
        unsigned char cc = static_cast<unsigned char>(s[i + k]);
        if ((cc & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (cc & 0x3Fu);
    }
    unsigned long least = n == 2 ? 0x80 : n == 3 ? 0x800 : 0x10000;
    return cp >= least && allowedXmlChar(cp) ? n : 0;
}

// The encoding the file declares ("" none); "utf-16" for a UTF-16 byte-order mark.
std::string declaredEncoding(const std::string &bytes) {
    if (bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF')))
        return "utf-16";
    size_t at = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    if (bytes.compare(at, 5, "<?xml") != 0)
        return "";
    size_t close = bytes.find("?>", at);
    std::string decl = bytes.substr(at, close == std::string::npos ? 200 : close - at);
    size_t e = decl.find("encoding");
    if (e == std::string::npos)
        return "";
    size_t q = decl.find_first_of("\"'", e);
    if (q == std::string::npos)
        return "";
    size_t q2 = decl.find(decl[q], q + 1);
    return lower(decl.substr(q + 1, q2 == std::string::npos ? std::string::npos : q2 - q - 1));
}

// Names the document's own DTD declares as entities (<!ENTITY name ...> before the root).
std::unordered_set<std::string> declaredEntities(const std::string &bytes) {
    std::unordered_set<std::string> names;
    size_t root = bytes.find("<tv");
    size_t at = 0;
    while ((at = bytes.find("<!ENTITY", at)) != std::string::npos && at < root) {
        at += 8;
        while (at < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[at])))
            ++at;
        size_t end = at;
        while (end < bytes.size() && !std::isspace(static_cast<unsigned char>(bytes[end])))
            ++end;
        names.insert(bytes.substr(at, end - at));
    }
    return names;
}

bool isNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.' || c == ':';
}

// Copies bytes with the faults that keep real guides from being well-formed mended.
std::string repair(const std::string &bytes, Repairs &r) {
    std::string enc = declaredEncoding(bytes);
    bool utf8 = enc.empty() || enc == "utf-8" || enc == "utf8";
    std::unordered_set<std::string> declared = declaredEntities(bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 64);
    size_t i = 0;
    auto copyThrough = [&](const char *endMark) {
        size_t end = bytes.find(endMark, i);
        end = end == std::string::npos ? bytes.size() : end + std::strlen(endMark);
        out.append(bytes, i, end - i);
        i = end;
    };
    while (i < bytes.size()) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '<' && bytes.compare(i, 4, "<!--") == 0) {
            copyThrough("-->");
        } else if (c == '<' && bytes.compare(i, 9, "<![CDATA[") == 0) {
            copyThrough("]]>");
        } else if (c == '&') {
            size_t semi = i + 1;
            while (semi < bytes.size() && semi - i <= 40 && (isNameChar(bytes[semi]) || bytes[semi] == '#'))
                ++semi;
            std::string name = semi < bytes.size() && bytes[semi] == ';' ? bytes.substr(i + 1, semi - i - 1) : "";
            if (name.empty()) {
                out += "&amp;";
                ++r.bareAmpersands;
                ++i;
                continue;
            }
            if (name[0] == '#') {
                bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
                std::string digits = name.substr(hex ? 2 : 1);
                char *end = nullptr;
                unsigned long cp = digits.empty() ? 0 : std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
                if (digits.empty() || *end != '\0') {
                    out += "&amp;";
                    ++r.bareAmpersands;
                    ++i;
                    continue;
                }
                if (allowedXmlChar(cp))
                    out.append(bytes, i, semi + 1 - i);
                else
                    ++r.badReferences;
            } else if (name == "amp" || name == "lt" || name == "gt" || name == "quot" || name == "apos" ||
                       declared.count(name)) {
                out.append(bytes, i, semi + 1 - i);
            } else if (unsigned cp = htmlEntity(name)) {
                out += "&#" + std::to_string(cp) + ";";
                ++r.htmlEntities[name];
            } else {
                out += "&amp;" + name + ";";
                ++r.unknownEntities[name];
            }
            i = semi + 1;
        } else if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
            ++r.controls;
            ++i;
        } else if (c >= 0x80 && utf8) {
            size_t n = utf8Length(bytes, i);
            if (n > 0) {
                out.append(bytes, i, n);
                i += n;
            } else {
                out += utf8Of(c);
                ++r.notUtf8;
                ++i;
            }
        } else {
            out += static_cast<char>(c);
            ++i;
        }
    }
    return out;
}

}  // namespace

// --- The whole file ---

bool parseXmltvTime(const std::string &text, int64_t &utcMs, int &zoneMinutes) {
    std::string zoneName;
    return readTime(text, utcMs, zoneMinutes, zoneName) == TimeRead::Ok;
}

bool parseXmltv(const std::string &bytes, const std::string &source, XmltvGuide &out, std::string &error) {
    if (bytes.size() > static_cast<size_t>(INT_MAX)) {
        error = source + ": the file is too large for a guide (more than 2 GB)";
        return false;
    }
    auto where = [&](const ParseFault &f) {
        return source + ":" + std::to_string(f.line) + ":" + std::to_string(f.column) + ": " + f.what;
    };
    if (bytes.find_first_not_of(" \t\r\n") == std::string::npos) {
        error = source + ": the guide file is empty";
        return false;
    }
    auto reader = std::make_unique<Reader>();
    reader->source = source;
    ParseFault first;
    if (!runParse(bytes, *reader, first)) {
        if (!first.xml) {
            error = where(first);
            return false;
        }
        // Not well-formed: mend what real guides get wrong and read the file again.
        Repairs repairs;
        std::string mended = repair(bytes, repairs);
        if (!repairs.any()) {
            error = where(first) + " (the file is not well-formed XML)";
            return false;
        }
        reader = std::make_unique<Reader>();
        reader->source = source;
        ParseFault second;
        if (!runParse(mended, *reader, second)) {
            error = where(second) + " (the file is not well-formed XML, even with " + repairs.describe() + ")";
            return false;
        }
        reader->guide.warnings.push_back(source + ": not well-formed XML (line " + std::to_string(first.line) +
                                         ", column " + std::to_string(first.column) + ": " + first.what +
                                         "); read after repairs: " + repairs.describe());
    }
    if (!reader->rootSeen) {
        error = source + ": the file holds no XML element";
        return false;
    }
    reader->summarise();
    out = std::move(reader->guide);
    return true;
}

bool readXmltvFile(const std::string &path, XmltvGuide &out, std::string &error) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        error = path + ": this is a folder, not a guide file";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot read the guide file";
        return false;
    }
    std::ostringstream all;
    all << in.rdbuf();
    if (!in.good() && !in.eof()) {
        error = path + ": cannot read the guide file";
        return false;
    }
    return parseXmltv(all.str(), path, out, error);
}

}  // namespace rx
