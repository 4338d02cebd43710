// Reading guides in the XMLTV form with expat: the channels (`<channel id>` with its first
// `<display-name>`, and channels that only `<programme channel>` names, in file order) and the
// programmes (`start`, `stop`, first `title`, `sub-title`, `desc`), texts folded to Latin-1.
// UTF-8 (with or without byte-order mark and declaration), ISO-8859-1, windows-1252 and
// ISO-8859-15 files are read. A file that is not well-formed only because of undefined entities
// (&nbsp; ...), stray '&', bytes that are not UTF-8 or control characters is repaired and read,
// with a warning naming what was repaired; any other fault is an error with line and column.
// Example:
//   rx::XmltvGuide g; std::string err;
//   if (!rx::readXmltvFile("guide.xml", g, err)) std::cerr << err << "\n";
//   for (const std::string &w : g.warnings) std::cerr << w << "\n";
//   // g.programmes[0].title (Latin-1), g.programmes[0].startUtcMs, g.channels[0].name
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rx {

struct XmltvChannel {
    std::string id;          // as in the file (UTF-8)
    std::string name;        // first display-name, Latin-1; the id (folded) when there is none
    bool declared = false;   // has a <channel> element (else only programmes name it)
};

struct XmltvProgramme {
    std::string channelId;   // UTF-8
    int64_t startUtcMs = 0;
    int startZoneMinutes = 0;  // the offset the start was written in (minutes east of UTC)
    bool hasStop = false;      // false: no stop, or one that could not be read
    int64_t stopUtcMs = 0;
    std::string title;       // Latin-1; first non-empty <title>
    std::string subTitle;    // Latin-1; first non-empty <sub-title>, one line
    std::string desc;        // Latin-1; first non-empty <desc>, line breaks kept as '\n'
};

struct XmltvGuide {
    std::vector<XmltvChannel> channels;       // file order
    std::vector<XmltvProgramme> programmes;   // file order
    std::vector<std::string> warnings;        // repairs and skipped programmes, for the user
    long foldedChars = 0;                     // characters outside Latin-1 replaced by a near form
    long droppedChars = 0;                    // characters left out
    long placeholderChars = 0;                // letters without a near form, shown as '?'
};

// Parses the bytes of an XMLTV file; false with "source: why" (line and column for XML faults).
bool parseXmltv(const std::string &bytes, const std::string &source, XmltvGuide &out, std::string &error);
bool readXmltvFile(const std::string &path, XmltvGuide &out, std::string &error);

// An XMLTV time, "YYYYMMDDhhmmss +hhmm": seconds, minutes and hours may be left off (as may the
// zone, which is then UTC); the zone may be "+hh", "+hh:mm" or a name (UTC, GMT, Z, BST, CET,
// CEST, EET, EEST, ...). False when malformed, not a real date, or the zone name is unknown.
bool parseXmltvTime(const std::string &text, int64_t &utcMs, int &zoneMinutes);

}  // namespace rx
