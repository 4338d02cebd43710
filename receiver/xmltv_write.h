// The plug-in's EPG data base as an XMLTV guide, for other guide programs: the buffer file
// "Diro_ROD.BufferExt.DAT" (read by receiver/buffer_dump) written as one XMLTV document in UTF-8
// that the XMLTV project's validator accepts.
//
// A channel per buffered slot with events: id "N.name.dirorod" (N the service number + 1, name
// its letters and digits in lower case, other characters as '-'), its name as display-name. A
// programme per event: start and stop in the receiver's local time with the zone
// ("20261207201500 +0100"), the title, the short info as sub-title, the long info as desc with
// its lines on lines of their own. Empty texts are left out; an event without a title gets
// "(no title)", as XMLTV wants one.
// Example:
//   rx::BufferContents c = rx::readBuffer(bytes);
//   std::string xml = rx::xmltvFromBuffer(c, 60);   // times in +0100
#pragma once

#include <iosfwd>
#include <string>

#include "receiver/buffer_dump.h"
#include "receiver/zone.h"

namespace rx {

extern const char *const kNoTitle;  // "(no title)"

// The XMLTV id of a buffered channel, e.g. "1.das-erste-hd.dirorod" ("1.dirorod" when the name
// has no letters or digits).
std::string xmltvChannelId(int slot, const std::string &latin1Name);

// The XMLTV document of a buffer's channels; zone is the receiver's local time, in which the
// buffer's times are.
std::string xmltvFromBuffer(const BufferContents &contents, const Zone &zone);

// `--buffer-to-xmltv PATH OUT`: the buffer file (or the one in the folder PATH) as an XMLTV file
// OUT ("-" standard output). The path written goes to out, a summary and problems to err.
// 0 written from a sound file; 2 missing, unreadable or not writable (nothing written), or
// damaged parts left out (the rest is written).
int runBufferToXmltv(const std::string &path, const std::string &outPath, const Zone &zone, std::ostream &out,
                     std::ostream &err);

}  // namespace rx
