// Fuzzes the receiver program's script language (receiver/script.h): the input is the script.
// It is parsed as a whole, as before every run.
// Checked: a script is either taken with its commands or refused with a message for each bad
// line, naming the script.
#include <string>
#include <vector>

#include "receiver/script.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    rx::Script script;
    std::vector<std::string> errors;
    bool ok = rx::parseScript(std::string(reinterpret_cast<const char *>(data), size), "fuzz.rod", script, errors);
    FUZZ_CHECK(ok == errors.empty(), "a script is refused exactly when a line is bad");
    for (const std::string &e : errors)
        FUZZ_CHECK(e.rfind("fuzz.rod:", 0) == 0, "each message names the script and the line");
    for (const rx::Command &c : script.commands)
        FUZZ_CHECK(c.line >= 1 && c.count >= 1 && (c.op == rx::Op::Clock || c.ms >= 0), "commands with a line, a count and a time");
    return 0;
}
