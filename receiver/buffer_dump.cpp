// Reading the plug-in's buffer file on a PC (see buffer_dump.h).
#include "receiver/buffer_dump.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "sim/clock.h"
#include "sim/latin1.h"

namespace rx {

const char *const kBufferFileName = "Diro_ROD.BufferExt.DAT";

namespace {

// Code to character of the coded text: 0 the end, 1 space, 2..11 digits, 12..37 'A'..'Z',
// 38..63 'a'..'z', 64..75 punctuation, 76..81 umlauts and sharp s (Latin-1), 82 '|', 83 '~'.
const char kCodeChars[] = " 0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz,.:!?-'\"&/()"
                          "\xC4\xDC\xE4\xF6\xFC\xDF|~";
static_assert(sizeof kCodeChars - 1 == 83, "codes 1..83");

uint32_t le32(const std::string &b, size_t at) {
    return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

uint16_t le16(const std::string &b, size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8);
}

struct Record {
    uint32_t startMjd, endMjd;
    int startHour, startMinute, endHour, endMinute;
    uint32_t text;
};

Record recordAt(const std::string &b, int slot, int index) {
    size_t at =
        kBufferHeadSize + (static_cast<size_t>(slot) * kEventsPerSlot + static_cast<size_t>(index)) * kEventRecordSize;
    const unsigned char *p = reinterpret_cast<const unsigned char *>(b.data()) + at;
    Record r;
    r.startMjd = le16(b, at);
    r.startHour = p[2];
    r.startMinute = p[3];
    r.endMjd = le16(b, at + 4);
    r.endHour = p[6];
    r.endMinute = p[7];
    r.text = le32(b, at + 12);
    return r;
}

std::string date(uint32_t mjd, int hour, int minute) {
    int y = 0, m = 0, d = 0, wd = 0;
    sim::dateFromMjd(static_cast<int>(mjd), y, m, d, wd);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d", y, m, d, hour, minute);
    return buf;
}

// Latin-1 bytes fit for one field of a line.
std::string field(const std::string &latin1, bool longInfo) {
    std::string s = latin1;
    for (char &c : s) {
        unsigned char u = static_cast<unsigned char>(c);
        if (longInfo && (u == '\n' || u == 0x8A))
            c = '|';
        else if (u < 0x20 || (u >= 0x7F && u < 0xA0))
            c = ' ';
        else if (!longInfo && c == '|')
            c = '/';
    }
    return sim::latin1ToUtf8(s);
}

}  // namespace

std::string decodeCodedText(const unsigned char *data, size_t size) {
    std::string out;
    for (size_t at = 0; at + 4 <= size; at += 4) {
        uint32_t w = static_cast<uint32_t>(data[at]) | static_cast<uint32_t>(data[at + 1]) << 8 |
                     static_cast<uint32_t>(data[at + 2]) << 16 | static_cast<uint32_t>(data[at + 3]) << 24;
        for (int k = 0; k < 5; ++k) {
            // A word of a damaged file may exceed 84^5 - 1: its top code is then no code at all.
            uint32_t code = k < 4 ? w % 84 : w;
            w /= 84;
            if (code == 0 || code > 83)
                return out;
            out += kCodeChars[code - 1];
        }
    }
    return out;
}

void splitEventText(const std::string &text, std::string &title, std::string &shortInfo, std::string &longInfo) {
    size_t bar = text.find('|');
    std::string head = text.substr(0, bar);
    longInfo = bar == std::string::npos ? "" : text.substr(bar + 1);
    size_t tilde = head.find(" ~ ");
    title = head.substr(0, tilde);
    shortInfo = tilde == std::string::npos ? "" : head.substr(tilde + 3);
}

std::string guideLine(const std::string &slot, const std::string &channel, uint32_t startMjd, int startHour,
                      int startMinute, uint32_t endMjd, int endHour, int endMinute, const std::string &title,
                      const std::string &shortInfo, const std::string &longInfo) {
    return field(slot, false) + "|" + field(channel, false) + "|" + date(startMjd, startHour, startMinute) + "|" +
           date(endMjd, endHour, endMinute) + "|" + field(title, false) + "|" + field(shortInfo, false) + "|" +
           field(longInfo, true);
}

BufferContents readBuffer(const std::string &bytes) {
    BufferContents d;
    if (bytes.size() < kBufferFixedSize) {
        d.problems.push_back("the file is " + std::to_string(bytes.size()) + " bytes; a buffer file has at least " +
                             std::to_string(kBufferFixedSize) + " (it is cut short or not a buffer file)");
        return d;
    }
    uint32_t coding = le32(bytes, 3 * 4 * kBufferSlots);
    if (coding > 1) {
        d.problems.push_back("the coding word is " + std::to_string(coding) +
                             ", not 0 (plain texts) or 1 (coded texts)");
        return d;
    }
    d.coded = coding == 1;

    // Where each slot's text block lies: the same test the plug-in applies when it reads.
    size_t blockAt[kBufferedChannels] = {};
    uint32_t blockSize[kBufferedChannels] = {};
    size_t at = kBufferHeadSize + kBufferRecordsSize;
    for (int s = 0; s < kBufferedChannels; ++s) {
        int32_t count = static_cast<int32_t>(le32(bytes, 4 * static_cast<size_t>(s)));
        uint32_t size = le32(bytes, 4 * (kBufferSlots + static_cast<size_t>(s)));
        if (size >= 1 && size <= kMaxBlockSize && recordAt(bytes, s, 0).text != 0 && count > 0) {
            blockAt[s] = at;
            blockSize[s] = size;
            at += size;
        }
    }
    if (at + kBufferMarksSize != bytes.size()) {
        d.problems.push_back("the file is " + std::to_string(bytes.size()) + " bytes, but its text block sizes make " +
                             std::to_string(at + kBufferMarksSize) + " (it is cut short or damaged)");
        return d;
    }
    d.readable = true;
    size_t marks = bytes.size() - kBufferMarksSize;

    for (int s = 0; s < kBufferedChannels; ++s) {
        int32_t count = static_cast<int32_t>(le32(bytes, 4 * static_cast<size_t>(s)));
        if (count == 0)
            continue;
        std::string where = "slot " + std::to_string(s) + ": ";
        if (count < 0 || count > kEventsPerSlot) {
            d.problems.push_back(where + "the event count " + std::to_string(count) +
                                 " lies outside 0..500; slot left out");
            continue;
        }
        if (blockSize[s] == 0) {
            d.problems.push_back(where + std::to_string(count) + " events but no text block; slot left out");
            continue;
        }
        size_t markAt = marks + static_cast<size_t>(s) * kChannelMarkSize;
        BufferChannel ch;
        ch.slot = s;
        ch.name = bytes.substr(markAt + 10, 23);
        ch.name = ch.name.substr(0, ch.name.find('\0'));
        ch.serviceId = le16(bytes, markAt + 6);
        ch.lcn = le16(bytes, markAt + 8);
        const unsigned char *block = reinterpret_cast<const unsigned char *>(bytes.data()) + blockAt[s];
        uint32_t base = recordAt(bytes, s, 0).text;
        for (int i = 0; i < count; ++i) {
            Record r = recordAt(bytes, s, i);
            std::string what = where + "event " + std::to_string(i) + ": ";
            if (r.startHour > 23 || r.startMinute > 59 || r.endHour > 23 || r.endMinute > 59) {
                d.problems.push_back(what + "its times are out of range; left out");
                continue;
            }
            std::string text;
            if (i == 0 || r.text != 0) {
                uint32_t offset = r.text - base;
                if (offset >= blockSize[s]) {
                    d.problems.push_back(what + "its text lies outside the slot's text block; left out");
                    continue;
                }
                size_t left = blockSize[s] - offset;
                if (d.coded) {
                    text = decodeCodedText(block + offset, left);
                } else {
                    const char *p = reinterpret_cast<const char *>(block + offset);
                    size_t n = 0;
                    while (n < left && p[n] != '\0')
                        ++n;
                    text.assign(p, n);
                }
            }
            BufferEvent e;
            e.startMjd = r.startMjd;
            e.startHour = r.startHour;
            e.startMinute = r.startMinute;
            e.endMjd = r.endMjd;
            e.endHour = r.endHour;
            e.endMinute = r.endMinute;
            splitEventText(text, e.title, e.shortInfo, e.longInfo);
            ch.events.push_back(std::move(e));
        }
        d.channels.push_back(std::move(ch));
    }
    return d;
}

BufferDump dumpBuffer(const std::string &bytes) {
    BufferContents c = readBuffer(bytes);
    BufferDump d;
    d.readable = c.readable;
    d.coded = c.coded;
    d.channels = static_cast<int>(c.channels.size());
    d.problems = c.problems;
    for (const BufferChannel &ch : c.channels)
        for (const BufferEvent &e : ch.events)
            d.lines.push_back(guideLine(std::to_string(ch.slot), ch.name, e.startMjd, e.startHour, e.startMinute,
                                        e.endMjd, e.endHour, e.endMinute, e.title, e.shortInfo, e.longInfo));
    return d;
}

bool loadBufferFile(const std::string &path, std::string &file, std::string &bytes, std::string &why) {
    file = path;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        file = (std::filesystem::path(path) / kBufferFileName).string();
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        why = file + ": cannot read the buffer file";
        return false;
    }
    std::ostringstream all;
    all << in.rdbuf();
    bytes = all.str();
    return true;
}

int runBufferDump(const std::string &path, std::ostream &out, std::ostream &err) {
    std::string file, bytes, why;
    if (!loadBufferFile(path, file, bytes, why)) {
        err << "receiver: " << why << "\n";
        return 2;
    }
    BufferDump d = dumpBuffer(bytes);
    for (const std::string &l : d.lines)
        out << l << "\n";
    out.flush();
    for (const std::string &p : d.problems)
        err << "receiver: " << file << ": " << p << "\n";
    if (!d.readable) {
        err << "receiver: " << file << ": this buffer file is damaged; nothing could be read\n";
        return 2;
    }
    err << "receiver: " << file << ": " << d.lines.size() << (d.lines.size() == 1 ? " event of " : " events of ")
        << d.channels << (d.channels == 1 ? " channel" : " channels") << ", texts " << (d.coded ? "coded" : "plain")
        << (d.problems.empty() ? "" : ", with damaged parts left out") << "\n";
    return d.problems.empty() ? 0 : 2;
}

}  // namespace rx
