// Helpers of the search tests: list entries made in one line.
// Example:
//   searchtest::setEntry(max_Search++, "Tatort", SEARCH_MODE_M, 1, 40);
#pragma once

#include <cstdint>
#include <cstring>

#include "search/entries.h"

namespace searchtest {

// Slot `slot` of Search becomes a new entry (the settings' defaults) with this word, mode and places.
inline void setEntry(int slot, const char *word, int mode, int first, int last) {
    SearchEntry &e = Search[slot];
    std::memset(&e, 0, sizeof e);
    SearchEntryDefaults(&e);
    std::strncpy(e.word, word, SEARCH_WORD_MAX);
    e.mode = static_cast<uint8_t>(mode);
    e.first_place = static_cast<uint8_t>(first);
    e.last_place = static_cast<uint8_t>(last);
}

}  // namespace searchtest
