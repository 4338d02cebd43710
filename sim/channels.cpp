// The service lists and the tuner (see channels.h).
#include "sim/channels.h"

#include <algorithm>
#include <cstring>

namespace sim {

Channels::Channels(const std::vector<Channel> &lineup) {
    for (const Channel &c : lineup)
        (c.type == kRadio ? radio_ : tv_).push_back(c);
}

const Channel *Channels::find(int svcType, int svcNum) const {
    if (svcType != kTv && svcType != kRadio)
        return nullptr;
    const auto &l = list(svcType);
    if (svcNum < 0 || svcNum >= static_cast<int>(l.size()))
        return nullptr;
    return &l[static_cast<size_t>(svcNum)];
}

int Channels::tune(int svcType, int svcNum, TuneSource source, int64_t atMs) {
    if (!find(svcType, svcNum))
        return 1;
    current_ = {svcType, svcNum};
    tunings_.push_back({current_, source, atMs});
    return 0;
}

int64_t Channels::transponderSeenUntil(int transponder, int64_t minStayMs, int64_t nowMs) const {
    // Tunings in a row to channels of one transponder are one stay: the tuner never left it.
    int64_t seen = -1;
    size_t i = 0;
    while (i < tunings_.size()) {
        const Channel *c = find(tunings_[i].channel.svcType, tunings_[i].channel.svcNum);
        int here = c ? c->transponder : -1;
        int64_t from = tunings_[i].atMs;
        size_t j = i + 1;
        for (; j < tunings_.size(); ++j) {
            const Channel *d = find(tunings_[j].channel.svcType, tunings_[j].channel.svcNum);
            if (!d || d->transponder != here)
                break;
        }
        int64_t until = j < tunings_.size() ? std::min(tunings_[j].atMs, nowMs) : nowMs;
        if (here == transponder && from <= nowMs && until - from >= minStayMs)
            seen = std::max(seen, until);
        i = j;
    }
    return seen;
}

uint32_t Channels::frequencyKhz(int transponder) {
    int uhf = 21 + ((transponder % 49) + 49) % 49;
    return static_cast<uint32_t>(306000 + 8000 * uhf);
}

int Channels::info(int svcType, int svcNum, PlatformChannelInfo *out) const {
    if (!out)
        return 0;
    std::memset(out, 0, sizeof *out);
    const Channel *c = find(svcType, svcNum);
    if (!c)
        return 0;
    out->svc_type = static_cast<byte>(svcType);
    out->svc_num = static_cast<word>(svcNum);
    // Believable PIDs derived from the service id: every service has its own.
    word base = static_cast<word>(0x100 + (c->serviceId % 0x1000) * 0x10 % 0x1E00);
    out->pmt_pid = base;
    out->video_pid = svcType == kTv ? static_cast<word>(base + 1) : 0;
    out->audio_pid = static_cast<word>(base + 2);
    out->pcr_pid = svcType == kTv ? out->video_pid : out->audio_pid;
    out->tuner = 0;
    size_t n = c->name.size() < sizeof out->name - 1 ? c->name.size() : sizeof out->name - 1;
    std::memcpy(out->name, c->name.data(), n);  // cut to 23 bytes, the rest stays NUL
    out->frequency = frequencyKhz(c->transponder);
    out->transponder = static_cast<word>(c->transponder);
    out->orig_network_id = 0x2000;
    out->ts_id = static_cast<word>(c->transponder);
    out->service_id = static_cast<word>(c->serviceId);
    out->lcn = static_cast<word>(c->lcn);
    return 1;
}

}  // namespace sim
