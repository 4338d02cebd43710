// The firmware's message lines (see log.h).
#include "sim/log.h"

#include <cstdio>

namespace sim {

void FirmwareLog::write(const std::string &line) {
    lines_.push_back(line);
    if (echo)
        std::fprintf(stderr, "virtual receiver: %s\n", line.c_str());
}

bool FirmwareLog::contains(const std::string &text) const {
    for (const std::string &l : lines_)
        if (l.find(text) != std::string::npos)
            return true;
    return false;
}

}  // namespace sim
