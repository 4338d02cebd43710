// The guide's screens in the receiver's language, through the receiver program (run as a
// separate process, its script on standard input):
//   ViewsLanguage  the help page and the Now view follow the receiver's menu language, and the
//                  plug-in's own language setting wins over it
#include <gtest/gtest.h>

#include <string>

#include "tests/support/support.h"

using testsupport::runReceiver;
using testsupport::TempDir;

namespace {

// Opens the Now view (OK, the second EPG button) and its help page, and checks what they say.
std::string script(const std::string &label, const std::string &heading, const std::string &row5) {
    return "wait 2s\nkey OK\nexpect screen \"" + label + "\"\nkey HELP\nexpect screen \"" + heading +
           "\"\nexpect screen \"" + row5 + "\"\nkey 5\nexpect screen \"" + label + "\"\n";
}

TEST(ViewsLanguage, TheHelpPageAndTheNowViewSpeakTheReceiversLanguage) {
    struct Case {
        const char *osd;
        const char *label, *heading, *row5;
    } cases[] = {
        {"0", " NOW", "Button Description", "Change between Normal & NOW-Mode"},
        {"2", " JETZT", "Tastenbelegung", "Wechsel zwischen Normal & NOW Ansicht"},
        {"15", " NYT", "N\xC3\xA4pp\xC3\xA4intoiminnot", "Vaihda n\xC3\xA4kym\xC3\xA4: Normaali / NYT"},
    };
    for (const auto &c : cases) {
        TempDir dir;
        auto r = runReceiver({"--disk", dir.path(), "--clock", "2026-12-07 20:00", "--osd-language", c.osd,
                              "--script", "-"},
                             script(c.label, c.heading, c.row5));
        EXPECT_EQ(r.exitCode, 0) << c.osd << "\n" << r.err;
    }
}

TEST(ViewsLanguage, TheLanguageSettingWinsOverTheReceiversLanguage) {
    TempDir dir;
    // language_choice (offset 84): 3 Finnish, on a receiver set to German.
    testsupport::writeFile(dir.file("Diro_ROD.Settings.DAT"), testsupport::settingsImage({{84, 3}}));
    auto r = runReceiver({"--disk", dir.path(), "--clock", "2026-12-07 20:00", "--osd-language", "2", "--script", "-"},
                         script(" NYT", "N\xC3\xA4pp\xC3\xA4intoiminnot", " Teksti-TV"));
    EXPECT_EQ(r.exitCode, 0) << r.err;
}

}  // namespace
