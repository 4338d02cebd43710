// Fuzzes the receiver program's XMLTV reader (receiver/xmltv.h) and what the receiver does with a
// guide read: the tidy schedules (moved to the clock's day, or by the days of input byte 0), the
// lineup made of its channels, the schedules installed in the firmware's EPG, and the plug-in
// filling its data base from the first channels' broadcast. The input is the file.
// Checked: a guide read keeps its promises (times in order after tidying, texts printable Latin-1,
// line breaks only in descriptions), and the plug-in's fill frees what it took
// (but the firmware's last event array, which it keeps until its next request).
#include <string>
#include <vector>

#include "epgdb/buffer.h"
#include "epgdb/fill.h"
#include "frame/state.h"
#include "receiver/guide.h"
#include "receiver/latin1_fold.h"
#include "receiver/xmltv.h"
#include "settings/settings.h"
#include "tests/fuzz/fuzz_support.h"
#include "text/coded.h"

namespace {

enum { FILLED_CHANNELS = 3 };

// What foldToLatin1 promises: printable Latin-1, line breaks only where kept.
bool plainText(const std::string &text, bool linesAllowed) {
    return rx::isPrintableLatin1(text) && (linesAllowed || text.find('\n') == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    sim::Receiver &rx = fuzzsupport::receiver();
    std::string bytes(reinterpret_cast<const char *>(data), size);
    rx::XmltvGuide xmltv;
    std::string error;
    if (!rx::parseXmltv(bytes, "fuzz.xml", xmltv, error))
        return 0;
    for (const rx::XmltvChannel &c : xmltv.channels)
        FUZZ_CHECK(plainText(c.name, false), "channel names printable Latin-1");
    for (const rx::XmltvProgramme &p : xmltv.programmes)
        FUZZ_CHECK(plainText(p.title, false) && plainText(p.subTitle, false) && plainText(p.desc, true),
                   "programme texts printable Latin-1");

    rx::GuideSettings gs;
    gs.autoShift = size % 2 == 0;
    gs.shiftDays = size > 0 ? int(data[0] % 16) - 8 : 0;
    gs.tzFromGuide = size % 3 == 0;
    int64_t clockMs = rx.firmware().clock.nowMs();
    rx::Guide guide = rx::guideFromXmltv(xmltv, gs, clockMs);
    for (const rx::GuideChannel &ch : guide.channels) {
        for (size_t i = 0; i < ch.events.size(); ++i) {
            FUZZ_CHECK(ch.events[i].startMs < ch.events[i].endMs, "a tidy event ends after it starts");
            if (i > 0)
                FUZZ_CHECK(ch.events[i - 1].endMs <= ch.events[i].startMs, "tidy events do not overlap");
        }
    }
    rx::guideSummary("fuzz.xml", guide);
    std::vector<sim::Channel> lineup = rx::lineupFromGuide(guide);
    std::vector<std::string> warnings;
    sim::Epg &epg = rx.firmware().epg;
    epg.clear();
    rx::installGuide(epg, lineup, guide, warnings);

    // The plug-in fills its first channels from what the receiver now broadcasts.
    Clear_Settings();
    Check_Settings();
    settings.compress_text = size % 5 == 0;
    sim::Heap &heap = rx.firmware().heap;
    size_t blocksBefore = heap.liveBlocks();
    for (int ch = 0; ch < FILLED_CHANNELS && ch < int(lineup.size()); ++ch) {
        FillBuffer(0, ch);
        for (int i = 0; i < max_Event[ch]; ++i)
            DCT(EPG_Buffer[ch * EVENTS_PER_SLOT + i].text);
        DelBuf(ch);
    }
    // The firmware's last event array stays with the plug-in until its next request.
    if (_evtInfo != nullptr) {
        TAP_MemFree(_evtInfo);
        _evtInfo = nullptr;
    }
    FUZZ_CHECK(heap.liveBlocks() == blocksBefore, "the fill and emptying the slots leave the heap as it was");
    epg.clear();
    settings.compress_text = 0;
    return 0;
}
