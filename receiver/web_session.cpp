// The receiver's thread for the page (see web_session.h): jobs from the HTTP threads, the clock,
// held keys, and the published picture and state.
#include "receiver/web_session.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "receiver/demo_guide.h"
#include "receiver/firmware_dump.h"
#include "receiver/script.h"
#include "sim/clock.h"
#include "sim/latin1.h"
#include "sim/receiver.h"

namespace rx {

namespace {

constexpr int kFastFactor = 60;
constexpr size_t kLogLines = 12;  // the firmware's last messages on the page

// A key of the remote by its name in the key table (codes such as 0x1001E are not keys of the
// remote); its code and the name in capitals.
bool remoteKey(const std::string &name, uint32_t &code, std::string &canonical) {
    if (name.size() > 1 && name[0] == '0' && (name[1] == 'x' || name[1] == 'X'))
        return false;
    if (!keyCode(name, code))
        return false;
    canonical = name;
    for (char &c : canonical)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return true;
}

std::string withSpace(std::string when) {
    if (when.size() > 10 && when[10] == 'T')
        when[10] = ' ';
    return when;
}

}  // namespace

const char *clockModeName(ClockMode mode) {
    switch (mode) {
    case ClockMode::Paused:
        return "pause";
    case ClockMode::RealTime:
        return "real";
    case ClockMode::Fast:
        return "x60";
    }
    return "real";
}

bool parseClockMode(const std::string &name, ClockMode &mode) {
    for (ClockMode m : {ClockMode::Paused, ClockMode::RealTime, ClockMode::Fast}) {
        if (name == clockModeName(m)) {
            mode = m;
            return true;
        }
    }
    return false;
}

const char *dropFileName(DropKind kind) {
    return kind == DropKind::Command ? "Diro_ROD.Command.ini" : "Diro_ROD.Search.ini";
}

ReceiverSession::ReceiverSession(std::unique_ptr<sim::Receiver> receiver, GuideChoice guides, ClockMode mode)
    : rx_(std::move(receiver)), guides_(std::move(guides)), broadcastingFile_(guides_.startWithFile),
      mode_(mode) {}

ReceiverSession::~ReceiverSession() {
    stop();
    if (rx_)
        rx_->firmware().activate();
    rx_.reset();
}

void ReceiverSession::start() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (started_)
        return;
    started_ = true;
    thread_ = std::thread([this] { loop(); });
}

void ReceiverSession::stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    news_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

bool ReceiverSession::running() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return started_ && !stopping_;
}

bool ReceiverSession::enqueue(Job job) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_ || !started_)
            return false;
        jobs_.push_back(std::move(job));
    }
    wake_.notify_all();
    return true;
}

// --- The receiver's thread ---

void ReceiverSession::loop() {
    rx_->firmware().activate();
    lastRound_ = std::chrono::steady_clock::now();
    publishFrame();
    publishState();
    lastState_ = lastRound_;
    for (;;) {
        runJobs();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stopping_)
                break;
        }
        SteadyTime now = std::chrono::steady_clock::now();
        repeatHeldKey(now);
        moveClock(now);
        publishFrame();
        if (now - lastState_ >= std::chrono::milliseconds(kStateEveryMs)) {
            publishState();
            lastState_ = now;
        }
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait_until(lock, now + std::chrono::milliseconds(kRoundMs),
                         [this] { return stopping_ || !jobs_.empty(); });
    }
    // Calls still waiting are refused: their tasks die with the queue.
    std::lock_guard<std::mutex> lock(mutex_);
    jobs_.clear();
}

void ReceiverSession::runJobs() {
    std::deque<Job> jobs;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        jobs.swap(jobs_);
    }
    for (Job &job : jobs)
        job(*rx_);
}

void ReceiverSession::moveClock(SteadyTime now) {
    int64_t wallMs = std::chrono::duration_cast<std::chrono::milliseconds>(now - lastRound_).count();
    lastRound_ += std::chrono::milliseconds(wallMs);
    wallMs = std::min<int64_t>(wallMs, kMaxCatchUpMs);
    if (mode_ == ClockMode::Paused) {
        pendingMs_ = 0;
        rx_->idle();
        return;
    }
    pendingMs_ += mode_ == ClockMode::Fast ? wallMs * kFastFactor : wallMs;
    // Whole idle steps only, so the plug-in sees the same 50 ms steps as under a script.
    int64_t steps = pendingMs_ / sim::Receiver::kIdleStepMs;
    if (steps == 0) {
        rx_->idle();
        return;
    }
    pendingMs_ -= steps * sim::Receiver::kIdleStepMs;
    rx_->advance(steps * sim::Receiver::kIdleStepMs);
}

void ReceiverSession::repeatHeldKey(SteadyTime now) {
    if (!held_)
        return;
    if (now >= held_->until) {
        held_.reset();
        return;
    }
    while (held_ && now >= held_->next) {
        rx_->pressKey(held_->code);
        ++keysPressed_;
        held_->next += std::chrono::milliseconds(kRepeatMs);
    }
}

void ReceiverSession::publishFrame() {
    Frame picture = rx_->screen().compose(rx_->firmware().tvPicture());
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (frame_ && *frame_ == picture)
            return;
        frame_ = std::make_shared<const Frame>(std::move(picture));
        ++frameVersion_;
    }
    news_.notify_all();
}

void ReceiverSession::publishState() {
    std::string now = buildState();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (now == state_)
            return;
        state_ = std::move(now);
        ++stateVersion_;
    }
    news_.notify_all();
}

std::string ReceiverSession::buildState() {
    sim::Firmware &fw = rx_->firmware();
    std::string s = "{";
    s += "\"clock\": \"" + sim::formatLocalTime(fw.clock.nowMs()) + "\"";
    static const char *const kWeekdays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    s += ", \"weekday\": \"" + std::string(kWeekdays[fw.clock.civil().weekday % 7]) + "\"";
    s += ", \"clockMode\": \"" + std::string(clockModeName(mode_)) + "\"";
    sim::ChannelRef ch = fw.channels.current();
    const sim::Channel *c = fw.channels.find(ch.svcType, ch.svcNum);
    s += ", \"channel\": {\"type\": \"" + std::string(ch.svcType == sim::kRadio ? "radio" : "tv") +
         "\", \"number\": " + std::to_string(ch.svcNum) + ", \"name\": " + jsonString(c ? c->name : "") + "}";
    s += ", \"channels\": {";
    for (int type : {sim::kTv, sim::kRadio}) {
        s += type == sim::kTv ? "\"tv\": [" : "], \"radio\": [";
        const std::vector<sim::Channel> &list = fw.channels.list(type);
        for (size_t i = 0; i < list.size(); ++i)
            s += (i ? ", " : "") + jsonString(list[i].name);
    }
    s += "]}";
    s += ", \"plugin\": " + std::string(rx_->pluginRunning() ? "true" : "false");
    s += ", \"freeMb\": " + std::to_string(fw.disk.freeMb);
    s += ", \"guide\": \"" + std::string(broadcastingFile_ ? "xmltv" : "demo") + "\"";
    s += ", \"guideFile\": " + jsonString(sim::utf8ToLatin1(guides_.file));
    s += ", \"keys\": {\"count\": " + std::to_string(keysPressed_) + ", \"last\": \"" + lastKey_ + "\"}";
    s += ", \"timers\": " + timersJson(fw);
    s += ", \"recordings\": " + recordingsJson(fw);
    s += ", \"files\": [";
    std::vector<std::pair<std::string, uintmax_t>> files;
    std::error_code ec;
    for (const auto &e : std::filesystem::directory_iterator(fw.disk.folder(), ec)) {
        std::error_code sizeEc;
        if (e.is_regular_file(sizeEc))
            files.emplace_back(e.path().filename().string(), e.file_size(sizeEc));
    }
    std::sort(files.begin(), files.end());
    for (size_t i = 0; i < files.size(); ++i)
        s += (i ? ", " : "") + std::string("{\"name\": ") + jsonString(files[i].first) +
             ", \"size\": " + std::to_string(files[i].second) + "}";
    s += "], \"log\": [";
    const std::vector<std::string> &log = fw.log.lines();
    size_t from = log.size() > kLogLines ? log.size() - kLogLines : 0;
    for (size_t i = from; i < log.size(); ++i)
        s += (i > from ? ", " : "") + jsonString(sim::utf8ToLatin1(log[i]));
    s += "]}";
    return s;
}

void ReceiverSession::installBroadcast(bool file) {
    sim::Firmware &fw = rx_->firmware();
    fw.epg.clear();
    if (file) {
        std::vector<std::string> warnings;
        installGuide(fw.epg, guides_.lineup, guides_.guide, warnings);
    } else {
        installDemoGuide(fw.epg, guides_.lineup, fw.clock.nowMs());
    }
    broadcastingFile_ = file;
}

// --- Calls from the other threads ---

std::string ReceiverSession::pressKey(const std::string &key) { return pressRemoteKey(key, false); }

std::string ReceiverSession::holdKey(const std::string &key) { return pressRemoteKey(key, true); }

std::string ReceiverSession::pressRemoteKey(const std::string &key, bool hold) {
    uint32_t code = 0;
    std::string name;
    if (!remoteKey(key, code, name))
        return "unknown key " + key;
    return call([this, code, name, hold](sim::Receiver &r) {
        held_.reset();
        if (hold) {
            SteadyTime now = std::chrono::steady_clock::now();
            held_ = Held{code, now + std::chrono::milliseconds(kRepeatDelayMs),
                         now + std::chrono::milliseconds(kHoldLimitMs)};
        }
        r.pressKey(code);
        ++keysPressed_;
        lastKey_ = name;
        return std::string();
    });
}

void ReceiverSession::releaseKey() {
    call([this](sim::Receiver &) {
        held_.reset();
        return 0;
    });
}

void ReceiverSession::setClockMode(ClockMode mode) {
    call([this, mode](sim::Receiver &) {
        mode_ = mode;
        pendingMs_ = 0;
        return 0;
    });
}

std::string ReceiverSession::jumpClock(const std::string &when) {
    int64_t ms = 0;
    if (!sim::parseLocalTime(withSpace(when), ms))
        return "expected a time \"YYYY-MM-DD HH:MM\", not \"" + when + "\"";
    return call([ms](sim::Receiver &r) {
        int64_t now = r.firmware().clock.nowMs();
        if (ms <= now)
            return "the clock cannot go back: it is " + sim::formatLocalTime(now) + " already";
        r.setClock(ms);
        return std::string();
    });
}

std::string ReceiverSession::powerCycle() {
    return call([this](sim::Receiver &r) {
        held_.reset();
        return r.restart() ? std::string() : "the plug-in did not start again: " + r.error();
    });
}

std::string ReceiverSession::chooseGuide(const std::string &name) {
    if (name != "demo" && name != "xmltv")
        return "no such guide: " + name + " (demo or xmltv)";
    return call([this, name](sim::Receiver &) {
        if (name == "xmltv" && guides_.file.empty())
            return std::string("no XMLTV guide was given on the command line (--guide FILE)");
        installBroadcast(name == "xmltv");
        return std::string();
    });
}

bool ReceiverSession::readFile(const std::string &name, std::string &bytes) {
    return call([&name, &bytes](sim::Receiver &r) {
        std::string path = r.firmware().disk.pathOf(name);
        std::error_code ec;
        if (path.empty() || !std::filesystem::is_regular_file(path, ec))
            return false;
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return static_cast<bool>(in) || in.eof();
    });
}

std::string ReceiverSession::dropFile(DropKind kind, const std::string &bytes) {
    return call([kind, &bytes](sim::Receiver &r) {
        std::string path = r.firmware().disk.pathOf(dropFileName(kind));
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        return out ? std::string() : "cannot write " + path;
    });
}

std::string ReceiverSession::screenTextsJson() {
    return call([](sim::Receiver &r) {
        std::string s = "{\"texts\": [";
        bool first = true;
        for (const sim::ScreenText &t : r.screen().texts()) {
            s += first ? "\n  " : ",\n  ";
            first = false;
            s += "{\"x\": " + std::to_string(t.x) + ", \"y\": " + std::to_string(t.y) +
                 ", \"size\": " + std::to_string(t.size) + ", \"text\": " + jsonString(t.text) + "}";
        }
        return s + (first ? "]}\n" : "\n]}\n");
    });
}

std::string ReceiverSession::screenPng() {
    uint64_t version = 0;
    std::shared_ptr<const Frame> f = frame(version);
    return f ? encodePng(*f, Patch{0, 0, kFrameWidth, kFrameHeight}) : std::string();
}

std::shared_ptr<const Frame> ReceiverSession::frame(uint64_t &version) const {
    std::lock_guard<std::mutex> lock(mutex_);
    version = frameVersion_;
    return frame_;
}

std::string ReceiverSession::state(uint64_t &version) const {
    std::lock_guard<std::mutex> lock(mutex_);
    version = stateVersion_;
    return state_;
}

bool ReceiverSession::waitForNews(uint64_t frameSeen, uint64_t stateSeen, std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return news_.wait_for(lock, timeout, [&] {
        return stopping_ || frameVersion_ != frameSeen || stateVersion_ != stateSeen;
    }) && !stopping_;
}

}  // namespace rx
