// The virtual receiver running for the page in the browser: one thread owns the sim::Receiver
// (the plug-in is single-threaded) and moves its clock (paused, real time or sixty times as
// fast), repeats a held key (after half a second, every 150 ms), and publishes the composed screen and the state the
// page shows (clock, channel, timers, recordings, free disk, the plug-in's folder, ...). Every
// other thread acts on the receiver only through the calls below, which run on that thread one
// at a time and wait for it.
// Example:
//   rx::ReceiverSession s(std::move(receiver), guides);
//   s.start();
//   s.pressKey("GUIDE");                          // "" done, else why not
//   uint64_t v = 0; std::shared_ptr<const rx::Frame> f = s.frame(v);
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "receiver/guide.h"
#include "receiver/web_frames.h"
#include "sim/channels.h"

namespace sim {
class Receiver;
}

namespace rx {

enum class ClockMode { Paused, RealTime, Fast };  // Fast: a minute of the receiver's clock a second

// "pause", "real", "x60" and back (false for another word).
const char *clockModeName(ClockMode mode);
bool parseClockMode(const std::string &name, ClockMode &mode);

// What the receiver broadcasts: the demo guide, and the XMLTV guide of the command line if any.
struct GuideChoice {
    std::vector<sim::Channel> lineup;
    std::string file;  // "" no XMLTV guide was given
    Guide guide;       // its schedules
    bool startWithFile = false;
};

// The files the page may drop into the plug-in's folder.
enum class DropKind { Command, Search };
const char *dropFileName(DropKind kind);  // "Diro_ROD.Command.ini", "Diro_ROD.Search.ini"

class ReceiverSession {
public:
    static constexpr int kRepeatDelayMs = 500;    // a held key repeats after this, as a remote's does,
    static constexpr int kRepeatMs = 150;         // then as often as the receiver's remote repeats
    static constexpr int kHoldLimitMs = 60000;    // a key held longer is let go (a page that vanished)
    static constexpr int kRoundMs = 50;           // the thread's round: one idle event at least
    static constexpr int kStateEveryMs = 200;     // the state is looked at this often
    static constexpr int kMaxCatchUpMs = 1000;    // a slow round lets the clock slip, not pile up

    ReceiverSession(std::unique_ptr<sim::Receiver> receiver, GuideChoice guides,
                    ClockMode mode = ClockMode::RealTime);
    ~ReceiverSession();  // stops the thread; the receiver is switched off with the session

    void start();
    void stop();
    bool running() const;

    // --- Acting on the receiver (each waits for the receiver's thread) ---
    // A key by its name in the key table (GUIDE, OK, 0..9, ...): pressed once. "" done, else why not.
    std::string pressKey(const std::string &name);
    // Pressed now, again after kRepeatDelayMs and then every kRepeatMs until released (or another
    // key is pressed). A tap shorter than the delay presses once, however slow the page's requests.
    std::string holdKey(const std::string &name);
    void releaseKey();
    void setClockMode(ClockMode mode);
    // Sets the clock forward to a local time "YYYY-MM-DD HH:MM[:SS]" (or with 'T' between date
    // and time); "" done, else why not (malformed, not later than now).
    std::string jumpClock(const std::string &when);
    // The plug-in unloaded and loaded afresh; the disk, clock and channel stay. "" or the error.
    std::string powerCycle();
    // "demo" or "xmltv": what the firmware broadcasts from now on. "" or why not.
    std::string chooseGuide(const std::string &name);
    // A file of the plug-in's folder: false when the name is not a plain name there or no such
    // file exists.
    bool readFile(const std::string &name, std::string &bytes);
    // Writes a command or search file into the plug-in's folder; "" done, else why not.
    std::string dropFile(DropKind kind, const std::string &bytes);
    // The texts on the screen: {"texts": [{"x":.., "y":.., "size":.., "text": ".."}, ...]}.
    std::string screenTextsJson();
    // The screen as PNG, as the last published frame shows it.
    std::string screenPng();

    // --- What the page is sent ---
    // The latest picture and its version (from 1; 0 before the first).
    std::shared_ptr<const Frame> frame(uint64_t &version) const;
    std::string state(uint64_t &version) const;
    // Waits until the frame or the state is newer than these versions, the session stops, or
    // the time is up; true when there is news.
    bool waitForNews(uint64_t frameSeen, uint64_t stateSeen, std::chrono::milliseconds timeout) const;

    ReceiverSession(const ReceiverSession &) = delete;
    ReceiverSession &operator=(const ReceiverSession &) = delete;

private:
    using Job = std::function<void(sim::Receiver &)>;
    using SteadyTime = std::chrono::steady_clock::time_point;

    // Runs fn on the receiver's thread and returns its result; throws std::future_error when
    // the session has stopped.
    template <class F>
    auto call(F fn) -> decltype(fn(std::declval<sim::Receiver &>()));
    bool enqueue(Job job);
    // Presses a key of the remote (see pressKey), and holds it when asked.
    std::string pressRemoteKey(const std::string &key, bool hold);

    void loop();
    void runJobs();
    void moveClock(SteadyTime now);
    void repeatHeldKey(SteadyTime now);
    void publishFrame();
    void publishState();
    void publish() {
        publishFrame();
        publishState();
    }
    std::string buildState();
    void installBroadcast(bool file);

    // Owned by the receiver's thread once started.
    std::unique_ptr<sim::Receiver> rx_;
    GuideChoice guides_;
    bool broadcastingFile_ = false;
    ClockMode mode_;
    SteadyTime lastRound_{};
    SteadyTime lastState_{};
    int64_t pendingMs_ = 0;  // wall time not yet given to the clock (below one step)
    struct Held {
        uint32_t code;
        SteadyTime next, until;
    };
    std::optional<Held> held_;
    long keysPressed_ = 0;
    std::string lastKey_;

    // Shared with the other threads.
    mutable std::mutex mutex_;
    mutable std::condition_variable wake_;  // jobs for the receiver's thread
    mutable std::condition_variable news_;  // a new frame or state for the page
    std::deque<Job> jobs_;
    bool stopping_ = false;
    bool started_ = false;
    std::shared_ptr<const Frame> frame_;
    uint64_t frameVersion_ = 0;
    std::string state_;
    uint64_t stateVersion_ = 0;
    std::thread thread_;
};

template <class F>
auto ReceiverSession::call(F fn) -> decltype(fn(std::declval<sim::Receiver &>())) {
    using R = decltype(fn(std::declval<sim::Receiver &>()));
    // Only the queue holds the promise: refused, or dropped when the session stops, it dies and
    // get() throws instead of waiting for ever. The caller learns the result once the page's
    // picture and state show what the call did.
    auto promise = std::make_shared<std::promise<R>>();
    std::future<R> result = promise->get_future();
    enqueue([this, fn = std::move(fn), promise = std::move(promise)](sim::Receiver &r) mutable {
        if constexpr (std::is_void_v<R>) {
            fn(r);
            publish();
            promise->set_value();
        } else {
            R value = fn(r);
            publish();
            promise->set_value(std::move(value));
        }
    });
    return result.get();
}

}  // namespace rx
