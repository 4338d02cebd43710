// Writing the buffer file as an XMLTV guide (see xmltv_write.h).
#include "receiver/xmltv_write.h"

#include <cstdio>
#include <fstream>
#include <iostream>

#include "receiver/guide.h"
#include "sim/clock.h"

namespace rx {

const char *const kNoTitle = "(no title)";

namespace {

// Latin-1 0xC0..0xFF to the ASCII letter an id uses ('-' where there is none).
const char kAsciiOfLatin1Letters[] = "aaaaaaaceeeeiiiidnooooo-ouuuuy-saaaaaaaceeeeiiiidnooooo-ouuuuy-y";
static_assert(sizeof kAsciiOfLatin1Letters - 1 == 64, "0xC0..0xFF");

// Latin-1 text as XML character data in UTF-8: markup characters as entities, control characters
// (which XMLTV readers refuse) as spaces, '|' as a line break where asked.
std::string xmlText(const std::string &latin1, bool barsAreLineBreaks) {
    std::string out;
    out.reserve(latin1.size() + latin1.size() / 8);
    for (char c : latin1) {
        unsigned char u = static_cast<unsigned char>(c);
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '|' && barsAreLineBreaks)
            out += '\n';
        else if (u < 0x20 || (u >= 0x7F && u < 0xA0))
            out += ' ';
        else if (u < 0x80)
            out += c;
        else {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

bool blank(const std::string &s) { return s.find_first_not_of(" \t\r\n|") == std::string::npos; }

// A local time of the buffer with the zone's offset in effect then (summer time included).
std::string xmltvTime(uint32_t mjd, int hour, int minute, const Zone &zone) {
    int y = 0, m = 0, d = 0, wd = 0;
    sim::dateFromMjd(static_cast<int>(mjd), y, m, d, wd);
    int64_t local = sim::Clock::fromCivil({y, m, d, hour, minute, 0});
    int64_t utc = local - int64_t(zone.offsetMinutesAt(local)) * 60000;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d%02d%02d00 ", y, m, d, hour, minute);
    return buf + formatZone(zone.offsetMinutesAt(utc));
}

void element(std::string &xml, const char *name, const std::string &text) {
    xml += "    <";
    xml += name;
    xml += ">" + text + "</";
    xml += name;
    xml += ">\n";
}

}  // namespace

std::string xmltvChannelId(int slot, const std::string &latin1Name) {
    std::string slug;
    for (char c : latin1Name) {
        unsigned char u = static_cast<unsigned char>(c);
        char a = '-';
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            a = c;
        else if (c >= 'A' && c <= 'Z')
            a = static_cast<char>(c - 'A' + 'a');
        else if (u >= 0xC0)
            a = kAsciiOfLatin1Letters[u - 0xC0];
        if (a != '-' || (!slug.empty() && slug.back() != '-'))
            slug += a;
    }
    while (!slug.empty() && slug.back() == '-')
        slug.pop_back();
    return std::to_string(slot + 1) + (slug.empty() ? "" : "." + slug) + ".dirorod";
}

std::string xmltvFromBuffer(const BufferContents &contents, const Zone &zone) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<!DOCTYPE tv SYSTEM \"xmltv.dtd\">\n"
                      "<tv generator-info-name=\"Dir'o ROD receiver\">\n";
    for (const BufferChannel &ch : contents.channels) {
        if (ch.events.empty())
            continue;
        std::string name = blank(ch.name) ? "Channel " + std::to_string(ch.slot + 1) : ch.name;
        xml += "  <channel id=\"" + xmltvChannelId(ch.slot, ch.name) + "\">\n";
        element(xml, "display-name", xmlText(name, false));
        xml += "  </channel>\n";
    }
    for (const BufferChannel &ch : contents.channels) {
        std::string id = xmltvChannelId(ch.slot, ch.name);
        for (const BufferEvent &e : ch.events) {
            xml += "  <programme start=\"" + xmltvTime(e.startMjd, e.startHour, e.startMinute, zone) +
                   "\" stop=\"" + xmltvTime(e.endMjd, e.endHour, e.endMinute, zone) + "\" channel=\"" + id +
                   "\">\n";
            element(xml, "title", xmlText(blank(e.title) ? kNoTitle : e.title, false));
            if (!blank(e.shortInfo))
                element(xml, "sub-title", xmlText(e.shortInfo, false));
            if (!blank(e.longInfo))
                element(xml, "desc", xmlText(e.longInfo, true));
            xml += "  </programme>\n";
        }
    }
    xml += "</tv>\n";
    return xml;
}

int runBufferToXmltv(const std::string &path, const std::string &outPath, const Zone &zone, std::ostream &out,
                     std::ostream &err) {
    std::string file, bytes, why;
    if (!loadBufferFile(path, file, bytes, why)) {
        err << "receiver: " << why << "\n";
        return 2;
    }
    BufferContents c = readBuffer(bytes);
    for (const std::string &p : c.problems)
        err << "receiver: " << file << ": " << p << "\n";
    if (!c.readable) {
        err << "receiver: " << file << ": this buffer file is damaged; no guide written\n";
        return 2;
    }
    std::string xml = xmltvFromBuffer(c, zone);
    if (outPath == "-") {
        out << xml;
        out.flush();
    } else {
        std::ofstream f(outPath, std::ios::binary | std::ios::trunc);
        f << xml;
        f.close();
        if (!f) {
            err << "receiver: " << outPath << ": cannot write the guide\n";
            return 2;
        }
        out << outPath << "\n";
    }
    size_t events = 0, channels = 0;
    for (const BufferChannel &ch : c.channels) {
        events += ch.events.size();
        channels += ch.events.empty() ? 0 : 1;
    }
    err << "receiver: " << (outPath == "-" ? "XMLTV guide" : outPath) << ": " << events
        << (events == 1 ? " programme of " : " programmes of ") << channels
        << (channels == 1 ? " channel" : " channels") << ", local time " << zone.name()
        << (c.problems.empty() ? "" : ", with damaged parts of the buffer file left out") << "\n";
    if (events == 0)
        err << "receiver: warning: the buffer file holds no events: XMLTV readers want at least one programme\n";
    return c.problems.empty() ? 0 : 2;
}

}  // namespace rx
