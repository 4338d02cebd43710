// The guide's schedules, its lineup and their tie to a lineup (see guide.h).
#include "receiver/guide.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <unordered_map>

namespace rx {

namespace {

constexpr int64_t kMsPerMinute = 60000;
constexpr int64_t kMsPerDay = 86400000;
constexpr int64_t kLastProgrammeMs = 3600000;  // a channel's last programme without stop: one hour
constexpr int kChannelsPerTransponder = 8;
constexpr int kFirstServiceId = 10001;
constexpr int64_t kNoStart = std::numeric_limits<int64_t>::max();

int64_t floorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0); }

int64_t toMinute(int64_t ms) { return floorDiv(ms, kMsPerMinute) * kMsPerMinute; }

std::string lower(std::string s) {
    for (char &c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A programme on its way into a schedule.
struct Item {
    int64_t startMs;
    int64_t stopMs;
    bool hasStop;
    size_t programme;  // index in the file's programmes
};

}  // namespace

Guide guideFromXmltv(const XmltvGuide &xmltv, const GuideSettings &settings, int64_t clockMs) {
    Guide g;
    const Zone zone = settings.tzFromGuide && !xmltv.programmes.empty()
                          ? Zone::fixed(xmltv.programmes[0].startZoneMinutes)
                          : settings.zone;
    g.zone = zone.name();
    g.counts.programmes = static_cast<long>(xmltv.programmes.size());

    std::unordered_map<std::string, size_t> channelAt;
    for (const XmltvChannel &c : xmltv.channels) {
        channelAt.emplace(c.id, g.channels.size());
        g.channels.push_back({c.id, c.name, {}});
    }
    std::vector<std::vector<Item>> items(g.channels.size());
    int64_t firstStart = kNoStart;
    for (size_t i = 0; i < xmltv.programmes.size(); ++i) {
        const XmltvProgramme &p = xmltv.programmes[i];
        auto at = channelAt.find(p.channelId);
        if (at == channelAt.end())
            continue;  // the reader names every channel a programme uses
        // Each time at the zone's offset of its own moment: a schedule across a change to or from
        // summer time keeps the clock times the viewers read.
        Item it{toMinute(zone.localMs(p.startUtcMs)), 0, false, i};
        if (p.hasStop) {
            int64_t stop = toMinute(zone.localMs(p.stopUtcMs));
            if (stop == it.startMs) {
                ++g.counts.zeroLength;
                continue;
            }
            if (stop < it.startMs) {
                ++g.counts.backwardStops;
            } else {
                it.stopMs = stop;
                it.hasStop = true;
            }
        }
        firstStart = std::min(firstStart, it.startMs);
        items[at->second].push_back(it);
    }

    if (settings.autoShift && firstStart != kNoStart)
        g.shiftDays = static_cast<int>(floorDiv(clockMs, kMsPerDay) - floorDiv(firstStart, kMsPerDay));
    else if (!settings.autoShift)
        g.shiftDays = settings.shiftDays;
    int64_t shiftMs = g.shiftDays * kMsPerDay;

    for (size_t c = 0; c < g.channels.size(); ++c) {
        std::vector<Item> &list = items[c];
        std::stable_sort(list.begin(), list.end(), [](const Item &a, const Item &b) { return a.startMs < b.startMs; });
        std::vector<Item> kept;
        kept.reserve(list.size());
        for (const Item &it : list) {
            if (!kept.empty() && kept.back().startMs == it.startMs) {
                ++g.counts.sameStart;
                continue;
            }
            kept.push_back(it);
        }
        std::vector<sim::GuideEvent> &events = g.channels[c].events;
        events.reserve(kept.size());
        for (size_t k = 0; k < kept.size(); ++k) {
            Item it = kept[k];
            bool hasNext = k + 1 < kept.size();
            if (!it.hasStop) {
                it.stopMs = hasNext ? kept[k + 1].startMs : it.startMs + kLastProgrammeMs;
                ++g.counts.stopsFilled;
            } else if (hasNext && it.stopMs > kept[k + 1].startMs) {
                it.stopMs = kept[k + 1].startMs;
                ++g.counts.overlapsCut;
            }
            const XmltvProgramme &p = xmltv.programmes[it.programme];
            sim::GuideEvent e;
            e.startMs = it.startMs + shiftMs;
            e.endMs = it.stopMs + shiftMs;
            e.eventId = static_cast<uint16_t>(k % 65535 + 1);
            e.title = p.title;
            e.shortText = p.subTitle;
            e.extText = p.desc;
            events.push_back(std::move(e));
        }
        g.counts.events += static_cast<long>(events.size());
    }
    return g;
}

std::vector<sim::Channel> lineupFromGuide(const Guide &guide) {
    std::vector<sim::Channel> lineup;
    for (size_t i = 0; i < guide.channels.size() && i < 65535; ++i) {
        const GuideChannel &gc = guide.channels[i];
        sim::Channel c;
        c.type = sim::kTv;
        c.name = gc.name.empty() ? gc.id : gc.name;
        c.serviceId = static_cast<int>((kFirstServiceId + i) % 65536);
        c.lcn = static_cast<int>(i + 1);
        c.transponder = static_cast<int>(1 + i / kChannelsPerTransponder);
        c.xmltvId = gc.id;
        lineup.push_back(c);
    }
    return lineup;
}

int installGuide(sim::Epg &epg, const std::vector<sim::Channel> &lineup, const Guide &guide,
                 std::vector<std::string> &warnings) {
    std::unordered_map<std::string, size_t> exact, folded;
    for (size_t i = 0; i < guide.channels.size(); ++i) {
        exact.emplace(guide.channels[i].id, i);
        folded.emplace(lower(guide.channels[i].id), i);
    }
    int served = 0;
    int number[2] = {0, 0};  // service numbers count TV and radio apart
    for (const sim::Channel &c : lineup) {
        int svcNum = number[c.type == sim::kRadio ? 1 : 0]++;
        if (c.xmltvId.empty())
            continue;
        size_t at = guide.channels.size();
        auto e = exact.find(c.xmltvId);
        if (e != exact.end()) {
            at = e->second;
        } else {
            auto f = folded.find(lower(c.xmltvId));
            if (f != folded.end())
                at = f->second;
        }
        if (at == guide.channels.size()) {
            warnings.push_back("the guide has no channel \"" + c.xmltvId + "\" (lineup channel " + c.name + ")");
            continue;
        }
        epg.setSchedule(c.type, svcNum, guide.channels[at].events);
        ++served;
    }
    return served;
}

std::string guideSummary(const std::string &source, const Guide &guide) {
    const GuideCounts &n = guide.counts;
    auto count = [](long k, const char *one, const char *many) {
        return std::to_string(k) + " " + (k == 1 ? one : many);
    };
    std::string s = "guide " + source + ": " + count(static_cast<long>(guide.channels.size()), "channel", "channels") +
                    ", " + count(n.events, "event", "events") + " from " +
                    count(n.programmes, "programme", "programmes") + ", local time " + guide.zone;
    if (guide.shiftDays != 0)
        s += ", moved by " + std::to_string(guide.shiftDays) + " days";
    std::vector<std::string> tidied;
    if (n.zeroLength)
        tidied.push_back(std::to_string(n.zeroLength) + " of zero length dropped");
    if (n.sameStart)
        tidied.push_back(std::to_string(n.sameStart) + " starting with another dropped");
    if (n.overlapsCut)
        tidied.push_back(std::to_string(n.overlapsCut) + " overlaps cut");
    if (n.backwardStops)
        tidied.push_back(std::to_string(n.backwardStops) + " stops before the start ignored");
    if (n.stopsFilled)
        tidied.push_back(std::to_string(n.stopsFilled) + " without stop ended where the next begins");
    for (size_t i = 0; i < tidied.size(); ++i)
        s += (i == 0 ? " (" : ", ") + tidied[i];
    return s + (tidied.empty() ? "" : ")");
}

}  // namespace rx
