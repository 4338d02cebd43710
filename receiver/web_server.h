// The page in the browser: an HTTP server (Debian's cpp-httplib) that serves the page and its
// script from the program, pushes the screen and the receiver's state as server-sent events,
// and turns the page's requests into calls on the ReceiverSession (keys, clock, power cycle,
// guide, the plug-in's files). Requests it cannot carry out whole get a 4xx and change nothing.
//
//   GET  /  /app.js  /app.css     the page
//   GET  /api/events              server-sent events: "frame" (changed rectangles as PNG) and "state"
//   GET  /api/state               the state as JSON (clock, channel, timers, recordings, files, ...)
//   GET  /api/screen              the texts on the screen as JSON; /api/screen.png the picture
//   GET  /api/keys                the names of the remote's keys
//   GET  /files/NAME              a file of the plug-in's folder, as a download
//   POST /api/key                 name=GUIDE [action=press|down|up]
//   POST /api/clock               mode=pause|real|x60, or to=YYYY-MM-DD HH:MM
//   POST /api/power-cycle, /api/guide (name=demo|xmltv), /api/upload (multipart: as=command|search, file)
//
// POST requests must carry the header "X-Diro-Page: 1" (the page's script sends it; a form on
// another web site cannot), and on a loopback address the Host header must name it (no other
// site's name resolved to 127.0.0.1).
// Example:
//   rx::WebServer server(session, "127.0.0.1");
//   int port = server.bind(8080, true);        // 8080, or the next free port
//   std::thread t([&] { server.run(); });   ...   server.stop(); t.join();
#pragma once

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "receiver/guide.h"
#include "sim/channels.h"

namespace sim {
class Receiver;
}

namespace rx {

class ReceiverSession;

// The page's files, built into the program from receiver/web/.
struct WebAsset {
    const char *path;         // "/", "/app.js", ...
    const char *contentType;
    const unsigned char *data;
    size_t size;
};
const WebAsset *findWebAsset(const std::string &path);  // null when there is none

class WebServer {
public:
    static constexpr size_t kMaxBodyBytes = 512 * 1024;   // larger requests: 413
    static constexpr size_t kMaxDropBytes = 256 * 1024;   // a dropped command or search file
    static constexpr int kMaxStreams = 4;                 // pages open at once (event streams)
    static constexpr int kPortTries = 20;                 // ports tried after a taken one

    WebServer(ReceiverSession &session, const std::string &address);
    ~WebServer();

    // Binds the address: the port, or when it is taken and tryNext the next kPortTries ports and
    // then any free port; 0 any free port. The port bound, or -1.
    int bind(int port, bool tryNext);
    // Serves until stop() (from another thread).
    void run();
    void stop();
    // Whether an address is a loopback address (127.x.x.x, ::1, localhost).
    static bool isLoopback(const std::string &address);

    WebServer(const WebServer &) = delete;
    WebServer &operator=(const WebServer &) = delete;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// What the program serves (--serve, --serve-addr) and the guides the page can choose from.
struct ServeSettings {
    int port = 8080;
    std::string address = "127.0.0.1";
    std::vector<sim::Channel> lineup;
    std::string guideFile;  // "" the demo guide only
    Guide guide;
};

// Runs the receiver for the page until SIGINT or SIGTERM (Ctrl-C): prints the page's address on
// out, progress on err. Returns 0, or 2 when no port could be bound.
int serveReceiver(std::unique_ptr<sim::Receiver> receiver, ServeSettings settings, std::ostream &out,
                  std::ostream &err);

}  // namespace rx
