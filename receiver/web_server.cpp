// The page's HTTP server (see web_server.h): routes, checks of every request, the event stream,
// and the program's serve mode.
#include "receiver/web_server.h"

#include <httplib.h>
#include <signal.h>
#include <sys/socket.h>

#include <atomic>
#include <cstring>
#include <ostream>
#include <thread>

#include "receiver/firmware_dump.h"
#include "receiver/script.h"
#include "receiver/web_session.h"
#include "sim/latin1.h"
#include "sim/receiver.h"

namespace rx {

// The generated table of the page's files (receiver/web/embed.cmake).
extern const WebAsset kWebAssets[];
extern const size_t kWebAssetCount;

const WebAsset *findWebAsset(const std::string &path) {
    for (size_t i = 0; i < kWebAssetCount; ++i)
        if (path == kWebAssets[i].path)
            return &kWebAssets[i];
    return nullptr;
}

namespace {

constexpr auto kStreamPatience = std::chrono::seconds(10);  // a comment line keeps a quiet stream open

// The security header of every answer: the page loads nothing from elsewhere.
const char *const kContentPolicy =
    "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self' data: blob:; connect-src 'self'; "
    "form-action 'none'; frame-ancestors 'none'; base-uri 'none'";

void answer(httplib::Response &res, int status, const std::string &json) {
    res.status = status;
    res.set_content(json, "application/json; charset=utf-8");
}

void fail(httplib::Response &res, int status, const std::string &why) {
    answer(res, status, "{\"error\": " + jsonString(sim::utf8ToLatin1(why)) + "}\n");
}

void done(httplib::Response &res) { answer(res, 200, "{\"ok\": true}\n"); }

// A parameter from the query or a form body ("" when missing).
std::string param(const httplib::Request &req, const char *name) {
    if (req.has_param(name))
        return req.get_param_value(name);
    if (req.has_file(name))
        return req.get_file_value(name).content;
    return "";
}

// An SSE event; data lines may not hold line breaks, so every line gets its own "data:".
std::string event(const char *name, const std::string &data) {
    std::string e = "event: ";
    e += name;
    e += "\ndata: ";
    for (char c : data) {
        if (c == '\n')
            e += "\ndata: ";
        else
            e += c;
    }
    return e + "\n\n";
}

// The rectangles of `now` that differ from `before` (everything when there was none).
std::string frameEvent(const Frame *before, const Frame &now, uint64_t version) {
    std::vector<Patch> patches = before ? changedRegions(*before, now) : std::vector<Patch>{{0, 0, kFrameWidth, kFrameHeight}};
    std::string data = "{\"version\": " + std::to_string(version) + ", \"patches\": [";
    bool first = true;
    for (const Patch &p : patches) {
        std::string png = encodePng(now, p);
        if (png.empty())
            continue;
        data += first ? "" : ", ";
        first = false;
        data += "{\"x\": " + std::to_string(p.x) + ", \"y\": " + std::to_string(p.y) + ", \"w\": " +
                std::to_string(p.w) + ", \"h\": " + std::to_string(p.h) + ", \"png\": \"" + base64(png) + "\"}";
    }
    return event("frame", data + "]}");
}

// How a file of the plug-in's folder is sent: its type by its extension, always as a download.
std::string downloadType(const std::string &name) {
    std::string lower;
    for (char c : name)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    auto endsWith = [&](const char *ext) {
        size_t n = std::strlen(ext);
        return lower.size() >= n && lower.compare(lower.size() - n, n, ext) == 0;
    };
    if (endsWith(".html"))
        return "text/html; charset=ISO-8859-1";
    if (endsWith(".csv"))
        return "text/csv; charset=ISO-8859-1";
    if (endsWith(".txt") || endsWith(".ini") || endsWith(".bak"))
        return "text/plain; charset=ISO-8859-1";
    return "application/octet-stream";
}

// A name that may stand in a Content-Disposition header as it is.
bool plainHeaderName(const std::string &name) {
    for (unsigned char c : name)
        if (c < 0x20 || c >= 0x7F || c == '"' || c == '\\' || c == ';')
            return false;
    return !name.empty();
}

}  // namespace

struct WebServer::Impl {
    ReceiverSession &session;
    std::string address;
    bool loopback;
    httplib::Server http;
    int port = -1;
    std::atomic<int> streams{0};
    std::atomic<bool> stopping{false};

    Impl(ReceiverSession &s, const std::string &addr) : session(s), address(addr), loopback(isLoopback(addr)) {}

    // The Host header names this server (only checked on loopback addresses).
    bool hostAllowed(const httplib::Request &req) const {
        if (!loopback)
            return true;
        std::string host = req.get_header_value("Host");
        std::string p = ":" + std::to_string(port);
        for (const char *name : {"127.0.0.1", "localhost", "[::1]"})
            if (host == name + p || (port == 80 && host == name))
                return true;
        return host == address + p;
    }

    // Runs an action on the session; a session that stopped answers 503.
    template <class F>
    void guarded(httplib::Response &res, F action) {
        try {
            action();
        } catch (const std::exception &) {
            fail(res, 503, "the receiver is switched off");
        }
    }

    void routes();
    void events(const httplib::Request &req, httplib::Response &res);
};

WebServer::WebServer(ReceiverSession &session, const std::string &address)
    : impl_(std::make_unique<Impl>(session, address)) {
    impl_->http.set_payload_max_length(kMaxBodyBytes);
    impl_->http.set_socket_options([](socket_t sock) {
        // The library's default (SO_REUSEPORT) would let a second server share a taken port.
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    impl_->http.new_task_queue = [] { return new httplib::ThreadPool(kMaxStreams + 8); };
    impl_->routes();
}

WebServer::~WebServer() { stop(); }

bool WebServer::isLoopback(const std::string &address) {
    return address.rfind("127.", 0) == 0 || address == "::1" || address == "localhost";
}

int WebServer::bind(int port, bool tryNext) {
    Impl &m = *impl_;
    if (port == 0) {
        m.port = m.http.bind_to_any_port(m.address);
        return m.port;
    }
    for (int p = port; p <= port + (tryNext ? kPortTries : 0) && p <= 65535; ++p) {
        if (m.http.bind_to_port(m.address, p)) {
            m.port = p;
            return p;
        }
    }
    if (tryNext)
        m.port = m.http.bind_to_any_port(m.address);
    return m.port;
}

void WebServer::run() { impl_->http.listen_after_bind(); }

void WebServer::stop() {
    impl_->stopping = true;
    impl_->http.stop();
}

void WebServer::Impl::routes() {
    http.set_pre_routing_handler([this](const httplib::Request &req, httplib::Response &res) {
        res.set_header("Content-Security-Policy", kContentPolicy);
        res.set_header("X-Content-Type-Options", "nosniff");
        res.set_header("Cache-Control", "no-store");
        if (!hostAllowed(req)) {
            fail(res, 403, "this server answers only to its own address");
            return httplib::Server::HandlerResponse::Handled;
        }
        if (req.method != "GET" && req.method != "HEAD" && req.get_header_value("X-Diro-Page") != "1") {
            fail(res, 403, "requests that change something come from the page (header X-Diro-Page: 1)");
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    http.set_error_handler([](const httplib::Request &, httplib::Response &res) {
        if (res.body.empty())
            fail(res, res.status, res.status == 413 ? "the request is too large" : "no such thing here");
    });

    http.Get(R"(/|/app\.js|/app\.css)", [](const httplib::Request &req, httplib::Response &res) {
        const WebAsset *a = findWebAsset(req.path);
        if (!a)
            return fail(res, 404, "no such page");
        res.set_content(reinterpret_cast<const char *>(a->data), a->size, a->contentType);
    });
    http.Get("/favicon.ico", [](const httplib::Request &, httplib::Response &res) { res.status = 204; });
    http.Get("/api/events", [this](const httplib::Request &req, httplib::Response &res) { events(req, res); });
    http.Get("/api/state", [this](const httplib::Request &, httplib::Response &res) {
        uint64_t v = 0;
        answer(res, 200, session.state(v) + "\n");
    });
    http.Get("/api/screen", [this](const httplib::Request &, httplib::Response &res) {
        guarded(res, [&] { answer(res, 200, session.screenTextsJson()); });
    });
    http.Get("/api/screen.png", [this](const httplib::Request &, httplib::Response &res) {
        std::string png = session.screenPng();
        if (png.empty())
            return fail(res, 503, "no picture yet");
        res.set_content(png, "image/png");
    });
    http.Get("/api/keys", [](const httplib::Request &, httplib::Response &res) {
        std::string json = "{\"keys\": [";
        std::vector<std::string> names = keyNames();
        for (size_t i = 0; i < names.size(); ++i)
            json += (i ? ", " : "") + jsonString(names[i]);
        answer(res, 200, json + "]}\n");
    });
    http.Get(R"(/files/(.+))", [this](const httplib::Request &req, httplib::Response &res) {
        std::string name = req.matches[1];
        if (!sim::Disk::validName(name) || !plainHeaderName(name))
            return fail(res, 400, "not a file of the plug-in's folder: " + name);
        guarded(res, [&] {
            std::string bytes;
            if (!session.readFile(name, bytes))
                return fail(res, 404, "the plug-in's folder holds no " + name);
            res.set_header("Content-Disposition", "attachment; filename=\"" + name + "\"");
            res.set_content(bytes, downloadType(name));
        });
    });

    http.Post("/api/key", [this](const httplib::Request &req, httplib::Response &res) {
        std::string action = req.has_param("action") ? req.get_param_value("action") : "press";
        std::string name = param(req, "name");
        guarded(res, [&] {
            if (action == "up") {
                session.releaseKey();
                return done(res);
            }
            if (action != "press" && action != "down")
                return fail(res, 400, "action is press, down or up, not " + action);
            std::string why = action == "down" ? session.holdKey(name) : session.pressKey(name);
            if (!why.empty())
                return fail(res, 400, why);
            done(res);
        });
    });
    http.Post("/api/clock", [this](const httplib::Request &req, httplib::Response &res) {
        guarded(res, [&] {
            if (req.has_param("mode")) {
                ClockMode mode;
                if (!parseClockMode(req.get_param_value("mode"), mode))
                    return fail(res, 400, "the clock runs in mode pause, real or x60");
                session.setClockMode(mode);
                return done(res);
            }
            if (!req.has_param("to"))
                return fail(res, 400, "give mode=pause|real|x60 or to=YYYY-MM-DD HH:MM");
            std::string why = session.jumpClock(req.get_param_value("to"));
            if (!why.empty())
                return fail(res, 400, why);
            done(res);
        });
    });
    http.Post("/api/power-cycle", [this](const httplib::Request &, httplib::Response &res) {
        guarded(res, [&] {
            std::string why = session.powerCycle();
            if (!why.empty())
                return fail(res, 500, why);
            done(res);
        });
    });
    http.Post("/api/guide", [this](const httplib::Request &req, httplib::Response &res) {
        guarded(res, [&] {
            std::string why = session.chooseGuide(param(req, "name"));
            if (!why.empty())
                return fail(res, 400, why);
            done(res);
        });
    });
    http.Post("/api/upload", [this](const httplib::Request &req, httplib::Response &res) {
        if (!req.is_multipart_form_data() || !req.has_file("file"))
            return fail(res, 400, "send the file as multipart/form-data, in a field named file");
        std::string as = param(req, "as");
        if (as != "command" && as != "search")
            return fail(res, 400, "as=command (Diro_ROD.Command.ini) or as=search (Diro_ROD.Search.ini)");
        const std::string bytes = req.get_file_value("file").content;
        if (bytes.empty())
            return fail(res, 400, "the file is empty");
        if (bytes.size() > kMaxDropBytes)
            return fail(res, 413, "the file is larger than " + std::to_string(kMaxDropBytes / 1024) + " KB");
        if (bytes.find('\0') != std::string::npos)
            return fail(res, 400, "not a text file: it holds zero bytes");
        DropKind kind = as == "command" ? DropKind::Command : DropKind::Search;
        guarded(res, [&] {
            std::string why = session.dropFile(kind, bytes);
            if (!why.empty())
                return fail(res, 500, why);
            answer(res, 200, "{\"ok\": true, \"file\": \"" + std::string(dropFileName(kind)) +
                                 "\", \"bytes\": " + std::to_string(bytes.size()) + "}\n");
        });
    });
}

void WebServer::Impl::events(const httplib::Request &, httplib::Response &res) {
    if (++streams > kMaxStreams) {
        --streams;
        return fail(res, 503, "the page is open " + std::to_string(kMaxStreams) + " times already");
    }
    struct Seen {
        std::shared_ptr<const Frame> frame;
        uint64_t frameVersion = 0, stateVersion = 0;
    };
    auto seen = std::make_shared<Seen>();
    res.set_header("X-Accel-Buffering", "no");
    res.set_chunked_content_provider(
        "text/event-stream",
        [this, seen](size_t, httplib::DataSink &sink) {
            if (stopping || !session.running())
                return false;
            session.waitForNews(seen->frameVersion, seen->stateVersion, kStreamPatience);
            if (stopping || !session.running())
                return false;
            std::string out;
            uint64_t fv = 0, sv = 0;
            std::shared_ptr<const Frame> f = session.frame(fv);
            if (f && fv != seen->frameVersion) {
                out += frameEvent(seen->frame.get(), *f, fv);
                seen->frame = f;
                seen->frameVersion = fv;
            }
            std::string state = session.state(sv);
            if (sv != seen->stateVersion) {
                out += event("state", state);
                seen->stateVersion = sv;
            }
            if (out.empty())
                out = ": waiting\n\n";
            return sink.write(out.data(), out.size());
        },
        [this](bool) {
            // The last page closed: a key it held is let go.
            if (--streams == 0 && !stopping) {
                try {
                    session.releaseKey();
                } catch (const std::exception &) {
                }
            }
        });
}

// --- The program's serve mode ---

int serveReceiver(std::unique_ptr<sim::Receiver> receiver, ServeSettings settings, std::ostream &out,
                  std::ostream &err) {
    // Ctrl-C and SIGTERM are taken by sigwait below, not by the threads started here.
    sigset_t stopSignals, before;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, &before);

    GuideChoice guides;
    guides.lineup = settings.lineup;
    guides.file = settings.guideFile;
    guides.guide = std::move(settings.guide);
    guides.startWithFile = !settings.guideFile.empty();
    ReceiverSession session(std::move(receiver), std::move(guides));
    WebServer server(session, settings.address);
    int port = server.bind(settings.port, settings.port != 0);
    if (port < 0) {
        err << "receiver: cannot serve the page on " << settings.address << " port " << settings.port << "\n";
        pthread_sigmask(SIG_SETMASK, &before, nullptr);
        return 2;
    }
    if (settings.port != 0 && port != settings.port)
        err << "receiver: port " << settings.port << " is taken: the page is served on port " << port << "\n";
    session.start();
    std::thread http([&server] { server.run(); });
    std::string host = settings.address.find(':') != std::string::npos ? "[" + settings.address + "]" : settings.address;
    out << "http://" << host << ":" << port << "/" << std::endl;
    err << "receiver: the virtual receiver's page is at http://" << host << ":" << port << "/"
        << (WebServer::isLoopback(settings.address) ? "" : " (open to every machine that reaches this address)")
        << "; Ctrl-C stops it\n";

    int signal = 0;
    sigwait(&stopSignals, &signal);
    err << "receiver: stopped\n";
    session.stop();
    server.stop();
    http.join();
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    return 0;
}

}  // namespace rx
