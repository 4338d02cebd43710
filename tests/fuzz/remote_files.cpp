// Fuzzes the files of the common file reader (remote/reader.h), one program per kind
// (FUZZ_FILE_KIND): 0 the search file "Diro_ROD.Search.ini", 1 the command file
// "Diro_ROD.Command.ini", 2 the timer backup "Diro_ROD.TimerList.bak". The input is the file; it
// is read as the plug-in reads it (the command file onto a list of two entries, or of 195 for
// inputs whose size is 7 modulo 8, so that a full list is met too).
// The timers the commands queued are then set one by one as the idle handler sets them, and the
// firmware's table is emptied for the next input.
// Checked: every entry of the list keeps the ranges of entries.h, the command file is deleted,
// the queue empties and the firmware's table stays within its size, and a search file the
// plug-in writes from what it read reads back to the same list (lists of plain ASCII words: a
// Latin-1 word may read back as UTF-8, by design).
#include <cstdio>
#include <cstring>
#include <string>

#include "remote/commands.h"
#include "remote/reader.h"
#include "search/entries.h"
#include "settings/settings.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/support/support.h"
#include "timers/set.h"
#include "timers/table.h"

#ifndef FUZZ_FILE_KIND
#error "FUZZ_FILE_KIND: 0 search file, 1 command file, 2 timer backup"
#endif

namespace {

enum { SMALL_LIST = 2, NEARLY_FULL_LIST = 195 };

const char *fileName(int kind) {
    return kind == COMMAND_KIND_SEARCH ? SEARCH_FILE_NAME : kind == COMMAND_KIND_COMMANDS ? COMMAND_FILE_NAME
                                                                                           : TIMER_BACKUP_FILE_NAME;
}

void presetList(int entries) {
    max_Search = 0;
    for (int i = 0; i < entries; ++i) {
        SearchEntry &e = Search[max_Search++];
        std::memset(&e, 0, sizeof e);
        SearchEntryDefaults(&e);
        std::snprintf(e.word, sizeof e.word, "Word %d", i);
    }
}

bool entryValid(const SearchEntry &e) {
    size_t len = strnlen(e.word, sizeof e.word);
    return len >= SEARCH_WORD_MIN && len <= SEARCH_WORD_MAX && std::strspn(e.word, " ") < len &&
           e.first_place >= 1 && e.first_place <= e.last_place && e.last_place <= SEARCH_PLACE_MAX &&
           e.mode < SEARCH_MODES && e.lead_time >= 0 && e.lead_time <= 600 && e.stop_add >= 0 &&
           e.stop_add <= 600 && e.window_start >= 0 && e.window_start < 1440 && e.window_end >= 0 &&
           e.window_end < 1440 && e.weekdays <= SEARCH_DAYS_ED;
}

void checkList() {
    FUZZ_CHECK(max_Search >= 0 && max_Search <= SEARCH_LIST_SIZE, "the list holds 0..200 entries");
    for (int i = 0; i < max_Search; ++i)
        FUZZ_CHECK(entryValid(Search[i]), "every entry within its ranges");
}

bool sameEntry(const SearchEntry &a, const SearchEntry &b) {
    return std::strcmp(a.word, b.word) == 0 && a.first_place == b.first_place && a.last_place == b.last_place &&
           a.mode == b.mode && a.lead_time == b.lead_time && a.stop_add == b.stop_add &&
           a.window_start == b.window_start && a.window_end == b.window_end && a.weekdays == b.weekdays;
}

bool asciiWords() {
    for (int i = 0; i < max_Search; ++i)
        for (const char *p = Search[i].word; *p != 0; ++p)
            if (static_cast<unsigned char>(*p) >= 0x80)
                return false;
    return true;
}

// Sets the waiting timers as the idle handler does, one a pass, then deletes every timer.
void setQueuedTimers() {
    FUZZ_CHECK(ToSetTimer_max >= 0 && ToSetTimer_max <= TIMER_QUEUE_SIZE, "the queue holds 0..70 timers");
    for (int passes = 0; ToSetTimer_max > 0; ++passes) {
        // Combining may queue a timer again, but the queue must run dry.
        FUZZ_CHECK(passes < 10 * TIMER_QUEUE_SIZE, "the queue empties");
        CopyTimerToSet(QUEUE_TAKE_FIRST, TIMER_SLOT_SWAP);
        Set_Timer(TIMER_SLOT_SWAP);
    }
    sim::Timers &timers = fuzzsupport::receiver().firmware().timers;
    FUZZ_CHECK(timers.count() <= sim::Timers::kMaxTimers, "the firmware's table within its size");
    while (timers.count() > 0)
        timers.remove(0);
    ReadTimers();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzsupport::receiver();
    Clear_Settings();
    Check_Settings();
    const int kind = FUZZ_FILE_KIND;
    presetList(kind == COMMAND_KIND_COMMANDS && size % 8 == 7 ? NEARLY_FULL_LIST : SMALL_LIST);
    fuzzsupport::removeFile(SEARCH_FILE_NAME);
    fuzzsupport::putFile(fileName(kind), data, size);

    ReadCommandFile(kind);
    checkList();
    if (kind == COMMAND_KIND_COMMANDS)
        FUZZ_CHECK(!fuzzsupport::receiver().firmware().disk.exists(COMMAND_FILE_NAME), "the command file is deleted");
    if (kind == COMMAND_KIND_BACKUP)
        FUZZ_CHECK(max_Search == SMALL_LIST, "the timer backup adds no entries");
    setQueuedTimers();

    if (asciiWords()) {
        static SearchEntry before[SEARCH_SLOTS];
        int count = max_Search;
        std::memcpy(before, Search, sizeof before);
        FUZZ_CHECK(SaveSearch() == 0, "the search file is written");
        ReadCommandFile(COMMAND_KIND_SEARCH);
        FUZZ_CHECK(max_Search == count, "the search file written reads back to as many entries");
        for (int i = 0; i < count; ++i)
            FUZZ_CHECK(sameEntry(Search[i], before[i]), "the search file written reads back to the same entries");
    }
    return 0;
}
