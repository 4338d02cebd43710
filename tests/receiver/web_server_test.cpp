// The page's server and the receiver's thread behind it, in this process on loopback (the page
// itself in a browser: tests/browser/receiver_page.mjs):
//   Pictures  changed regions cover every change and rebuild the new picture from the old; base64
//   Keys      a key sent as the page sends it reaches the plug-in; a held key repeats (0.5 s, then
//             every 150 ms)
//   Clock     paused it stands, x60 it runs, "jump to" goes forward only
//   Files     a dropped command file lands in the folder and downloads back as it was
//   Refusals  bad requests get a 4xx and change nothing
//   Stream    the event stream starts with the whole picture and the state
#include <gtest/gtest.h>
#include <httplib.h>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "receiver/lineup.h"
#include "receiver/web_frames.h"
#include "receiver/web_server.h"
#include "receiver/web_session.h"
#include "sim/receiver.h"
#include "tests/support/support.h"

using testsupport::readFile;
using testsupport::TempDir;

namespace {

// --- Pictures ---

rx::Frame decodePng(const std::string &png, int &w, int &h) {
    int comp = 0;
    unsigned char *rgb = stbi_load_from_memory(reinterpret_cast<const unsigned char *>(png.data()),
                                               static_cast<int>(png.size()), &w, &h, &comp, 3);
    rx::Frame out;
    if (!rgb)
        return out;
    for (int i = 0; i < w * h; ++i)
        out.push_back(0xFF000000u | (uint32_t(rgb[3 * i]) << 16) | (uint32_t(rgb[3 * i + 1]) << 8) | rgb[3 * i + 2]);
    stbi_image_free(rgb);
    return out;
}

// Draws the patches of `after` (as PNG, decoded) onto `before`, as the page does.
rx::Frame applyPatches(rx::Frame before, const rx::Frame &after, const std::vector<rx::Patch> &patches) {
    for (const rx::Patch &p : patches) {
        int w = 0, h = 0;
        rx::Frame piece = decodePng(rx::encodePng(after, p), w, h);
        EXPECT_EQ(w, p.w);
        EXPECT_EQ(h, p.h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                before[size_t(p.y + y) * rx::kFrameWidth + size_t(p.x + x)] = piece[size_t(y) * size_t(w) + size_t(x)];
    }
    return before;
}

TEST(PagePictures, PatchesRebuildTheNewPictureFromTheOld) {
    std::mt19937 random(7);
    rx::Frame before(size_t(rx::kFrameWidth) * rx::kFrameHeight);
    for (uint32_t &px : before)
        px = 0xFF000000u | (random() & 0xFFFFFF);
    rx::Frame after = before;
    // A text row, a single pixel at the far corner, a box over tile edges.
    for (int x = 40; x < 600; ++x)
        for (int y = 100; y < 122; ++y)
            after[size_t(y) * rx::kFrameWidth + size_t(x)] = 0xFF123262;
    after.back() = 0xFFFFFFFF;
    for (int x = 300; x < 333; ++x)
        for (int y = 250; y < 299; ++y)
            after[size_t(y) * rx::kFrameWidth + size_t(x)] ^= 0x00FFFFFF;

    std::vector<rx::Patch> patches = rx::changedRegions(before, after);
    ASSERT_FALSE(patches.empty());
    long covered = 0;
    for (const rx::Patch &p : patches) {
        EXPECT_EQ(p.x % rx::kTile, 0);
        EXPECT_EQ(p.y % rx::kTile, 0);
        covered += long(p.w) * p.h;
    }
    EXPECT_LT(covered, long(rx::kFrameWidth) * rx::kFrameHeight / 4) << "only the changed tiles are sent";
    EXPECT_EQ(applyPatches(before, after, patches), after);

    EXPECT_TRUE(rx::changedRegions(after, after).empty());
    EXPECT_EQ(rx::changedRegions({}, after), (std::vector<rx::Patch>{{0, 0, rx::kFrameWidth, rx::kFrameHeight}}));
    rx::Frame inverted = before;
    for (uint32_t &px : inverted)
        px ^= 0x00FFFFFF;
    EXPECT_EQ(rx::changedRegions(before, inverted), (std::vector<rx::Patch>{{0, 0, rx::kFrameWidth, rx::kFrameHeight}}));
    EXPECT_EQ(rx::encodePng(after, {700, 560, 32, 32}), "") << "a rectangle beyond the picture";
}

TEST(PagePictures, Base64AsTheStandardWritesIt) {
    const char *const cases[][2] = {{"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},
                                    {"foo", "Zm9v"},  {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="},
                                    {"foobar", "Zm9vYmFy"}};
    for (const auto &c : cases)
        EXPECT_EQ(rx::base64(c[0]), c[1]);
    EXPECT_EQ(rx::base64(std::string("\xFF\xFE\x00", 3)), "//4A");
}

// --- The server with a receiver behind it ---

class PageServer : public ::testing::Test {
protected:
    TempDir dir;
    std::unique_ptr<rx::ReceiverSession> session;
    std::unique_ptr<rx::WebServer> server;
    std::thread thread;
    int port = -1;

    void SetUp() override {
        rx::GuideChoice guides;
        guides.lineup = rx::demoLineup();
        session = std::make_unique<rx::ReceiverSession>(testsupport::imageReceiver(dir.path()), guides,
                                                         rx::ClockMode::Paused);
        server = std::make_unique<rx::WebServer>(*session, "127.0.0.1");
        port = server->bind(0, false);
        ASSERT_GT(port, 0);
        session->start();
        thread = std::thread([this] { server->run(); });
        ASSERT_EQ(session->chooseGuide("demo"), "");
    }
    void TearDown() override {
        session->stop();
        server->stop();
        thread.join();
    }

    httplib::Client client(bool fromPage = true) {
        httplib::Client c("127.0.0.1", port);
        if (fromPage)
            c.set_default_headers({{"X-Diro-Page", "1"}});
        return c;
    }
    int post(const std::string &path, const httplib::Params &params) {
        auto r = client().Post(path.c_str(), params);
        return r ? r->status : -1;
    }
    std::string get(const std::string &path) {
        auto r = client().Get(path.c_str());
        return r && r->status == 200 ? r->body : "";
    }
    // A number or string field of the state, as written (`"clock": "..."` gives the text).
    std::string stateField(const std::string &name) {
        std::string s = get("/api/state");
        size_t at = s.find("\"" + name + "\": ");
        if (at == std::string::npos)
            return "";
        at += name.size() + 4;
        size_t end = s[at] == '"' ? s.find('"', at + 1) + 1 : s.find_first_of(",}", at);
        return s.substr(at, end - at);
    }
    long keysPressed() { return std::stol(stateField("count")); }
    template <class F>
    bool waitFor(F condition, int ms = 5000) {
        for (int i = 0; i < ms / 20; ++i) {
            if (condition())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return condition();
    }
};

TEST_F(PageServer, KeysFromThePageReachThePlugin) {
    EXPECT_EQ(post("/api/key", {{"name", "GUIDE"}}), 200);
    std::string texts = get("/api/screen");
    EXPECT_NE(texts.find("1. Das Erste HD"), std::string::npos) << texts;
    EXPECT_NE(texts.find("Tagesschau"), std::string::npos) << texts;
    EXPECT_EQ(stateField("last"), "\"GUIDE\"");
    EXPECT_EQ(post("/api/key", {{"name", "exit"}}), 200) << "names as the script language takes them";
    EXPECT_EQ(get("/api/screen").find("1. Das Erste HD"), std::string::npos);

    auto page = client().Get("/");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_NE(page->body.find("<script src=\"/app.js\""), std::string::npos);
    EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=utf-8");
    EXPECT_NE(page->get_header_value("Content-Security-Policy").find("default-src 'none'"), std::string::npos);
    EXPECT_NE(get("/app.js").find("EventSource"), std::string::npos);
    EXPECT_NE(get("/api/keys").find("\"TIMERLIST\""), std::string::npos);
}

TEST_F(PageServer, HeldKeyRepeatsAfterHalfASecondEvery150ms) {
    long before = keysPressed();
    ASSERT_EQ(post("/api/key", {{"name", "DOWN"}, {"action", "down"}}), 200);
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    ASSERT_EQ(post("/api/key", {{"action", "up"}}), 200);
    long held = keysPressed() - before;
    EXPECT_GE(held, 4);  // at 0, 500, 650, 800, 950 ms: 5 on an idle machine
    EXPECT_LE(held, 7);  // a busy machine may answer the release late
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_EQ(keysPressed() - before, held) << "released, the key stops";

    // A press lets a held key go.
    ASSERT_EQ(post("/api/key", {{"name", "DOWN"}, {"action", "down"}}), 200);
    ASSERT_EQ(post("/api/key", {{"name", "UP"}}), 200);
    long now = keysPressed();
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_EQ(keysPressed(), now);
}

TEST_F(PageServer, ClockPausesRunsFastAndJumpsForward) {
    std::string paused = stateField("clock");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(stateField("clock"), paused);

    ASSERT_EQ(post("/api/clock", {{"mode", "x60"}}), 200);
    EXPECT_TRUE(waitFor([&] { return stateField("clock") >= "\"2026-12-07 20:00:30\""; }, 3000)) << stateField("clock");
    ASSERT_EQ(post("/api/clock", {{"mode", "pause"}}), 200);
    EXPECT_EQ(stateField("clockMode"), "\"pause\"");

    ASSERT_EQ(post("/api/clock", {{"to", "2026-12-08T02:59"}}), 200);
    EXPECT_EQ(stateField("clock"), "\"2026-12-08 02:59:00\"");
    EXPECT_EQ(post("/api/clock", {{"to", "2026-12-08 02:00"}}), 400) << "the clock does not go back";
    EXPECT_EQ(stateField("clock"), "\"2026-12-08 02:59:00\"");
}

TEST_F(PageServer, DroppedCommandFileLandsAndDownloadsBack) {
    const std::string text = "Command.CreateChannelList\r\n";
    httplib::MultipartFormDataItems form = {{"as", "command", "", ""}, {"file", text, "my commands.txt", "text/plain"}};
    auto r = client().Post("/api/upload", form);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 200) << r->body;
    EXPECT_EQ(readFile(dir.file("Diro_ROD.Command.ini")), text);
    EXPECT_NE(get("/api/state").find("\"Diro_ROD.Command.ini\""), std::string::npos);

    auto back = client().Get("/files/Diro_ROD.Command.ini");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->status, 200);
    EXPECT_EQ(back->body, text);
    EXPECT_EQ(back->get_header_value("Content-Disposition"), "attachment; filename=\"Diro_ROD.Command.ini\"");

    // A search file goes in under its own name.
    form = {{"as", "search", "", ""}, {"file", "Tatort|1-40|M\r\n", "words.ini", ""}};
    r = client().Post("/api/upload", form);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 200);
    EXPECT_EQ(readFile(dir.file("Diro_ROD.Search.ini")), "Tatort|1-40|M\r\n");
}

TEST_F(PageServer, BadRequestsGet4xxAndChangeNothing) {
    testsupport::writeFile(dir.file("secret.txt"), "keep");
    ASSERT_TRUE(waitFor([&] { return get("/api/state").find("secret.txt") != std::string::npos; }));
    std::string stateBefore = get("/api/state");
    long keysBefore = keysPressed();
    auto files = [&] {
        std::vector<std::string> names;
        for (const auto &e : std::filesystem::directory_iterator(dir.path()))
            names.push_back(e.path().filename().string() + "=" + readFile(e.path().string()));
        std::sort(names.begin(), names.end());
        return names;
    };
    std::vector<std::string> filesBefore = files();

    // Keys: unknown names, raw codes, unknown actions.
    EXPECT_EQ(post("/api/key", {{"name", "POWER"}}), 400);
    EXPECT_EQ(post("/api/key", {{"name", "0x1001E"}}), 400);
    EXPECT_EQ(post("/api/key", {{"name", ""}}), 400);
    EXPECT_EQ(post("/api/key", {{"name", "OK"}, {"action", "twice"}}), 400);
    // Clock, guide.
    EXPECT_EQ(post("/api/clock", {{"mode", "x1000"}}), 400);
    EXPECT_EQ(post("/api/clock", {{"to", "2026-02-30 10:00"}}), 400);
    EXPECT_EQ(post("/api/clock", {}), 400);
    EXPECT_EQ(post("/api/guide", {{"name", "xmltv"}}), 400) << "no XMLTV guide on the command line";
    EXPECT_EQ(post("/api/guide", {{"name", "../guide.xml"}}), 400);
    // Uploads: not multipart, no file, an unknown kind, empty, binary, too large.
    auto c = client();
    auto r = c.Post("/api/upload", "Command.DeleteAllTimers", "text/plain");
    EXPECT_EQ(r ? r->status : -1, 400);
    r = c.Post("/api/upload", httplib::MultipartFormDataItems{{"as", "command", "", ""}});
    EXPECT_EQ(r ? r->status : -1, 400);
    r = c.Post("/api/upload", httplib::MultipartFormDataItems{{"as", "settings", "", ""}, {"file", "x", "f", ""}});
    EXPECT_EQ(r ? r->status : -1, 400);
    r = c.Post("/api/upload", httplib::MultipartFormDataItems{{"as", "command", "", ""}, {"file", "", "f", ""}});
    EXPECT_EQ(r ? r->status : -1, 400);
    r = c.Post("/api/upload",
               httplib::MultipartFormDataItems{{"as", "command", "", ""}, {"file", std::string("ab\0cd", 5), "f", ""}});
    EXPECT_EQ(r ? r->status : -1, 400);
    r = c.Post("/api/upload", httplib::MultipartFormDataItems{
                                  {"as", "search", "", ""}, {"file", std::string(300 * 1024, 'x'), "f", ""}});
    EXPECT_EQ(r ? r->status : -1, 413);
    r = c.Post("/api/key", std::string(2 * 1024 * 1024, 'k'), "application/x-www-form-urlencoded");
    EXPECT_EQ(r ? r->status : -1, 413) << "a huge body";
    // Files outside the plug-in's folder, or not there.
    for (const char *path : {"/files/..%2Fsecret.txt", "/files/%2Fetc%2Fpasswd", "/files/..", "/files/a%5Cb"}) {
        r = c.Get(path);
        EXPECT_EQ(r ? r->status : -1, 400) << path;
    }
    r = c.Get("/files/Diro_ROD.Export.CSV");
    EXPECT_EQ(r ? r->status : -1, 404);
    // Changes without the page's header, or for another host name (a site rebound to 127.0.0.1).
    r = client(false).Post("/api/key", httplib::Params{{"name", "OK"}});
    EXPECT_EQ(r ? r->status : -1, 403);
    r = c.Post("/api/power-cycle", httplib::Headers{{"Host", "evil.example:" + std::to_string(port)}}, "", "text/plain");
    EXPECT_EQ(r ? r->status : -1, 403);
    r = c.Get("/api/state", httplib::Headers{{"Host", "evil.example"}});
    EXPECT_EQ(r ? r->status : -1, 403);
    r = c.Get("/nothing");
    EXPECT_EQ(r ? r->status : -1, 404);

    EXPECT_EQ(keysPressed(), keysBefore);
    EXPECT_EQ(files(), filesBefore);
    EXPECT_EQ(get("/api/state"), stateBefore);
}

TEST_F(PageServer, PowerCycleStartsAnEndedPluginAgain) {
    ASSERT_EQ(post("/api/key", {{"name", "GUIDE"}}), 200);
    ASSERT_EQ(post("/api/key", {{"name", "STOP"}}), 200);
    EXPECT_TRUE(waitFor([&] { return stateField("plugin") == "false"; }));
    EXPECT_EQ(post("/api/power-cycle", {}), 200);
    EXPECT_EQ(stateField("plugin"), "true");
    EXPECT_EQ(post("/api/key", {{"name", "GUIDE"}}), 200);
    EXPECT_NE(get("/api/screen").find("1. Das Erste HD"), std::string::npos);
}

TEST_F(PageServer, EventStreamStartsWithTheWholePictureAndTheState) {
    std::string received;
    auto c = client();
    c.set_read_timeout(5, 0);
    c.Get("/api/events", [&](const char *data, size_t n) {
        received.append(data, n);
        return received.find("event: state") == std::string::npos;  // enough once the state came
    });
    size_t frame = received.find("event: frame\ndata: ");
    ASSERT_NE(frame, std::string::npos) << received.substr(0, 200);
    EXPECT_NE(received.find("\"patches\": [{\"x\": 0, \"y\": 0, \"w\": 720, \"h\": 576, \"png\": \"", frame),
              std::string::npos);
    EXPECT_NE(received.find("data: {\"clock\": \"2026-12-07 20:00:00\""), std::string::npos);
    // The first picture is the one /api/screen.png sends.
    size_t png = received.find("\"png\": \"", frame) + 8;
    std::string encoded = received.substr(png, received.find('"', png) - png);
    EXPECT_EQ(encoded, rx::base64(get("/api/screen.png")));
}

}  // namespace
