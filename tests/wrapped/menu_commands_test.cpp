// The settings menu's command rows call what they name. The functions they call belong to other
// subsystems; here the linker hands every call of them to a recorder (--wrap, see
// CMakeLists.txt), so the test sees the calls themselves, whatever those functions do.
//   MenuCommandRows*: digit 1 on rows 55 to 60 makes the row's calls, once, and shows the menu
//                     again; digits on other rows call nothing
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/state.h"
#include "settings/menu.h"
#include "tests/support/support.h"

namespace {
std::vector<std::string> calls;
void record(const char *name, int arg) { calls.push_back(std::string(name) + "(" + std::to_string(arg) + ")"); }
}  // namespace

// The recorders, under the names the linker gives the wrapped functions (C++ names mangled).
extern "C" {
void __wrap__Z9ExportCSVi(int show_message) { record("ExportCSV", show_message); }
void __wrap__Z10ExportHTMLi(int show_message) { record("ExportHTML", show_message); }
void __wrap__Z15SearchAndRecordi(int show_message) { record("SearchAndRecord", show_message); }
void __wrap__Z18Create_ChannelListv() { calls.push_back("Create_ChannelList()"); }
void __wrap__Z14ReadCommandINIv() { calls.push_back("ReadCommandINI()"); }
void __wrap__Z16Create_TimerListi(int kind) { record("Create_TimerList", kind); }
void __wrap__Z15ReadCommandFilei(int kind) { record("ReadCommandFile", kind); }
}

TEST(MenuCommandRows, DigitOneMakesTheCallsTheRowNames) {
    testsupport::TempDir dir;
    testsupport::LinkedOptions options;
    options.clock = "2026-12-07 20:00";
    auto rx = testsupport::linkedReceiver(dir.path(), options);
    rx->pressKey(RKEY_Guide);
    rx->pressKey(RKEY_Menu);
    ASSERT_EQ(menu, 1);
    for (int i = 0; i < 5; ++i)
        rx->pressKey(RKEY_Forward);
    for (int i = 0; i < 3; ++i)
        rx->pressKey(RKEY_Down);
    ASSERT_EQ(ListOffset + cursor + 1, 54);   // the last setting row

    calls.clear();
    rx->pressKey(RKEY_1);
    rx->pressKey(RKEY_0);
    EXPECT_TRUE(calls.empty());

    const std::vector<std::vector<std::string>> expected = {
        {"ExportCSV(1)", "ExportHTML(1)"},   // 55
        {"SearchAndRecord(1)"},              // 56
        {"Create_ChannelList()"},            // 57
        {"ReadCommandINI()"},                // 58
        {"Create_TimerList(1)"},             // 59
        {"ReadCommandFile(2)"},              // 60
    };
    for (size_t i = 0; i < expected.size(); ++i) {
        rx->pressKey(RKEY_Down);
        int row = ListOffset + cursor + 1;
        ASSERT_EQ(row, 55 + int(i));
        calls.clear();
        rx->pressKey(RKEY_0);   // not these rows' key
        EXPECT_TRUE(calls.empty()) << row;
        rx->pressKey(RKEY_1);
        EXPECT_EQ(calls, expected[i]) << row;
        EXPECT_EQ(menu, 1) << row;
        EXPECT_TRUE(rx->screen().shows(" press 1")) << row;
    }
}
