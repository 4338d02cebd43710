// The firmware's own messages: a timer it refused and why, a timer that could not record, a
// disk that ran full. One line each, kept for tests and written to standard error as
// "virtual receiver: ..." like the firmware's other messages. Every such line goes through here.
// Example:
//   sim::FirmwareLog log;
//   log.write("the disk is full");     // stderr: "virtual receiver: the disk is full"
//   log.lines().back();                 // "the disk is full"
#pragma once

#include <string>
#include <vector>

namespace sim {

class FirmwareLog {
public:
    // Adds a line (UTF-8, without the prefix and the newline).
    void write(const std::string &line);
    const std::vector<std::string> &lines() const { return lines_; }
    // Whether some line contains the text (for tests).
    bool contains(const std::string &text) const;

    bool echo = true;  // the lines also go to standard error

private:
    std::vector<std::string> lines_;
};

}  // namespace sim
