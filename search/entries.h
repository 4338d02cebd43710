// Search entries and the search file "Diro_ROD.Search.ini": the entry record, the table of 200
// list entries plus the working entry, the operations that copy, delete, move and sort entries,
// the word comparison shared with the result sort, the file writer and the parser of one entry
// line. Leans on settings/ (defaults of a new entry, language), text/ (folding), epgdb/lookup
// (weekday names) and remote/ (the file reader that calls the line parser, the command parser).
//
// Example (a line as the file holds it):
//   ExtractLine("News|3|M,0,0|18:00-19:30|WD", max_Search);   // 0: stored, places 3-3, mode M,
//   max_Search++;                                             // window 1080-1170, Mon-Fri
//   SaveSearch();                                             // writes it back the same way
#ifndef DIRO_SEARCH_ENTRIES_H
#define DIRO_SEARCH_ENTRIES_H

#include <stdint.h>

enum {
    SEARCH_WORD_SIZE = 128,
    SEARCH_WORD_MAX = 127,      // characters of a word
    SEARCH_WORD_MIN = 2,        // a shorter word is no entry
    SEARCH_LIST_SIZE = 200,     // list entries 0..199
    SEARCH_WORKING = 200,       // the working entry
    SEARCH_SLOTS = 201,
    SEARCH_PLACE_MAX = 200      // buffer places are 1..200
};

// What a match of an entry leads to (SearchEntry.mode).
enum {
    SEARCH_MODE_OFF = 0,     // found only by an explicit search
    SEARCH_MODE_M = 1,       // marker
    SEARCH_MODE_P = 2,       // a timer that switches to the channel
    SEARCH_MODE_REC = 3,     // a recording timer
    SEARCH_MODE_1XREC = 4,   // a recording timer once, then M
    SEARCH_MODES = 5
};

// Weekday codes (SearchEntry.weekdays): 0..6 Monday..Sunday, then these.
enum {
    SEARCH_DAYS_WD = 7,   // Monday to Friday
    SEARCH_DAYS_WE = 8,   // Saturday and Sunday
    SEARCH_DAYS_ED = 9    // every day
};

struct SearchEntry {
    char word[SEARCH_WORD_SIZE];   // Latin-1, at most 127 characters; "+" and "~" join terms
    uint8_t first_place;           // first buffer place searched, 1-based
    uint8_t last_place;            // last buffer place searched, 1-based, not below first_place
    uint8_t mode;                  // SEARCH_MODE_*
    int32_t lead_time;             // minutes a timer starts early, 0..600
    int32_t stop_add;              // minutes a timer runs on, 0..600
    int32_t window_start;          // time window, minutes after midnight 0..1439
    int32_t window_end;            // equal to the start: any time; below it: across midnight
    uint8_t weekdays;              // 0..6 one day, SEARCH_DAYS_WD, SEARCH_DAYS_WE, SEARCH_DAYS_ED
};

#define SEARCH_FILE_NAME "Diro_ROD.Search.ini"

extern SearchEntry Search[SEARCH_SLOTS];   // 0..199 the list, 200 the working entry
extern int max_Search;                      // entries in the list, contiguous from slot 0; 0..200

// --- Entries ---

// Gives *entry the settings of a new entry: places 1 to settings.scan_max_channels, mode Off,
// the lead and follow-up times of the settings, window 00:00-00:00, every day. The word stays.
void SearchEntryDefaults(SearchEntry *entry);

// Copies slot source into slot destination (both 0..200; otherwise nothing happens): the word
// (at most 127 characters, terminated) and every other field.
void CopySearch(int destination, int source);

// Removes list entry index, moving the later ones down one slot; an index outside the list
// changes nothing. Changes Search, max_Search.
void DeleteSearch(int index);

// Exchanges list entry index with the next one (direction 1) or the previous one (-1), when that
// neighbour exists; anything else changes nothing. The working entry is never touched.
void SortManualSearch(int index, int direction);

// Sorts the list: 1 by word, 2 by mode ascending, 3 by mode descending (equal modes by word);
// other kinds leave it. Words compare with CharCompare. The working entry is never touched.
void SortSearch(int kind);

// The order of two words for sorting: both folded (umlauts and accents to their base letters,
// A-Z to lower case, at most 128 characters) and compared as signed bytes, so that letters from
// 128 up that do not fold (such as "ß") sort before ASCII. 1: a after b; 2: a before b; 0 equal.
// A null word counts as empty.
int CharCompare(const char *a, const char *b);

// --- The search file ---

// Writes the list to the search file anew: one line per entry, then the block of sample command
// lines, padded with spaces to a multiple of 512 bytes, under a temporary name first
// (frame/safefile). Returns 0, or 1 when the file could not be written whole ("     Can't SAVE
// SEARCH FILE" shows for 4 seconds; the list and the old file stay as they are).
int SaveSearch(void);

// Parses one line of the search or command file into list slot `slot` (0..199). Comments
// (";" "," "|" first), lines of fewer than 2 characters, command lines (carried out by the
// command parser), words of fewer than 2 characters or of spaces only are no entries: the slot
// is left untouched. Returns 0 when an entry was stored, 1 otherwise.
int ExtractLine(const char *line, int slot);

// Reads the search file into the list (rebuilt from slot 0; a missing file leaves it), then the
// timer backup when a command asked for it.
void ReadSearchINI(void);

#endif
