// What the fuzz targets share: one virtual receiver per process with the plug-in linked in and
// started on an empty disk (so the readers run with the firmware active, as on the receiver),
// files put on its disk, and a check that stops the run when an invariant a reader promises fails.
// Example (a target's body):
//   fuzzsupport::putFile(SETTINGS_FILE_NAME, data, size);
//   ReadSettingsFile();
//   FUZZ_CHECK(settings.byte_order == SETTINGS_UNSET || size >= 512, "byte-order word");
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "sim/receiver.h"

namespace fuzzsupport {

// The receiver, made at the first call (20:00 on 7 December 2026, the demo lineup).
sim::Receiver &receiver();

// Writes a file of the plug-in's folder; size 0 leaves an empty file.
void putFile(const std::string &name, const uint8_t *data, size_t size);
void removeFile(const std::string &name);

// Stops the run (a crash libFuzzer keeps the input of) with a message.
[[noreturn]] void fail(const char *file, int line, const char *what);

}  // namespace fuzzsupport

#define FUZZ_CHECK(cond, what)                                   \
    do {                                                         \
        if (!(cond))                                             \
            fuzzsupport::fail(__FILE__, __LINE__, (what));       \
    } while (0)
