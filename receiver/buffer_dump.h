// The plug-in's EPG data base on a PC: the buffer file "Diro_ROD.BufferExt.DAT" read without the
// plug-in and printed as text, one event a line, and the same line form for what the firmware
// broadcasts (`dump guide`). Texts stored in the coded form are decoded by a decoder of this
// program's own; Latin-1 becomes UTF-8.
//
// Line form: slot|channel name|start YYYY-MM-DD HH:MM|end YYYY-MM-DD HH:MM|title|short info|long info
// where the long info keeps '|' between its lines (it is the last field).
//
// The buffer file: 202 counts, 202 text block sizes, 202 marks, the coding word (0 plain, 1
// coded), 202 x 500 event records of 16 bytes, the text blocks of the slots 0..199 that have
// one, 202 channel marks of 34 bytes; integers little-endian.
// Example:
//   rx::BufferDump d = rx::dumpBuffer(bytes);
//   for (const std::string &l : d.lines) std::cout << l << "\n";
//   for (const std::string &p : d.problems) std::cerr << p << "\n";   // damaged parts
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace rx {

extern const char *const kBufferFileName;  // "Diro_ROD.BufferExt.DAT"

constexpr int kBufferSlots = 202;
constexpr int kBufferedChannels = 200;   // slots 0..199 carry text blocks
constexpr int kEventsPerSlot = 500;
constexpr size_t kEventRecordSize = 16;
constexpr size_t kChannelMarkSize = 34;
constexpr uint32_t kMaxBlockSize = 962500;
constexpr size_t kBufferHeadSize = 3 * 4 * kBufferSlots + 4;                                       // 2428
constexpr size_t kBufferRecordsSize = kBufferSlots * kEventsPerSlot * kEventRecordSize;           // 1,616,000
constexpr size_t kBufferMarksSize = kBufferSlots * kChannelMarkSize;                              // 6,868
constexpr size_t kBufferFixedSize = kBufferHeadSize + kBufferRecordsSize + kBufferMarksSize;      // 1,625,296

// One event of the buffer file, its texts Latin-1 as stored.
struct BufferEvent {
    uint32_t startMjd = 0, endMjd = 0;
    int startHour = 0, startMinute = 0, endHour = 0, endMinute = 0;
    std::string title, shortInfo;
    std::string longInfo;  // '|' between its lines
};

// A slot of the buffer file with events, and the channel it was filled from.
struct BufferChannel {
    int slot = 0;                 // the service number of the TV channel
    std::string name;             // Latin-1, as the channel mark holds it (at most 23 bytes)
    uint16_t serviceId = 0, lcn = 0;
    std::vector<BufferEvent> events;  // record order
};

struct BufferContents {
    bool readable = false;                 // false: the file's layout is broken, no channels
    bool coded = false;                    // the texts were stored coded
    std::vector<BufferChannel> channels;   // slots 0..199 with events, in slot order
    std::vector<std::string> problems;     // what is damaged, one line each
};

// Reads a buffer file's bytes; a damaged slot or record is left out with a problem line.
BufferContents readBuffer(const std::string &bytes);

// The bytes of a buffer file given as the file or the folder holding it. False (with why) when
// it cannot be read; file is the path that was tried.
bool loadBufferFile(const std::string &path, std::string &file, std::string &bytes, std::string &why);

struct BufferDump {
    bool readable = false;             // false: the file's layout is broken, no lines
    bool coded = false;                // the texts were stored coded
    int channels = 0;                  // slots with events
    std::vector<std::string> lines;    // UTF-8, without line ends
    std::vector<std::string> problems; // what is damaged, one line each
};

// Reads a buffer file's bytes. Slots 0..199 with events are listed in slot order, each event
// in record order; a damaged slot or record is left out with a problem line.
BufferDump dumpBuffer(const std::string &bytes);

// `--dump-buffer PATH` (a file, or a folder holding the buffer file): the lines to out, a summary
// and the problems to err. 0 read cleanly, 2 missing or damaged (what could be read is printed).
int runBufferDump(const std::string &path, std::ostream &out, std::ostream &err);

// The plain Latin-1 text of a coded text: 32-bit little-endian words of five codes each, up to
// the first code 0 or the end of the bytes.
std::string decodeCodedText(const unsigned char *data, size_t size);

// Splits an event text "title ~ short|long": the first '|' opens the long info; before it, the
// first " ~ " separates the title from the short info.
void splitEventText(const std::string &text, std::string &title, std::string &shortInfo, std::string &longInfo);

// One line of the dump, in UTF-8. Texts are Latin-1; in the long info a line break ('\n' or
// 0x8A) becomes '|'; other control bytes become spaces, and '|' in the other fields '/'.
std::string guideLine(const std::string &slot, const std::string &channel, uint32_t startMjd, int startHour,
                      int startMinute, uint32_t endMjd, int endHour, int endMinute, const std::string &title,
                      const std::string &shortInfo, const std::string &longInfo);

}  // namespace rx
