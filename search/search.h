// The event search: search words find events in the buffered TV channels, from the event
// running now on, and the events found go into the result channel (slot 201 of the EPG buffer)
// with a SearchResultExt each (search/results.h). Leans on epgdb/ (the buffer, the weekday),
// text/ (folding, the coded form of texts), search/entries (the list) and settings/.
//
// A search word holds terms joined by "+" (must occur) and "~" (must not occur): "Krimi+Tatort",
// "Krimi~Tatort", "~Wetter". Terms are plain substrings of the event's text, folded (umlauts and
// accents to their base letters) and in lower case, with the title between two "_", so that
// "_news_" matches the title News only. Which text is tested is settings.search_description:
// 0 the title, 1 title and short info, 2 everything.
//
// Example:
//   SearchTxt("Krimi+Tatort", 0, 39, 22 * 60, 2 * 60, SEARCH_DAYS_ED);   // 22:00-02:00, every day
//   for (int i = 0; i < max_Event[SLOT_RESULT]; i++) ... searchresult_ext[i].channel ...
#ifndef DIRO_SEARCH_SEARCH_H
#define DIRO_SEARCH_SEARCH_H

enum {
    SEARCH_TERMS_MAX = 16,        // terms of one word
    SEARCH_TERM_SIZE = 128,       // a term holds up to 127 characters
    SEARCH_TEXT_MAX = 1535,       // characters of an event's text that are tested
    // selections of SearchAll besides the modes 1..4
    SEARCH_ALL_ENTRIES = 0,
    SEARCH_ALL_ACTIVE = 9,        // every entry whose mode is not Off
    SEARCH_ALL_RECORDING = 10     // entries whose mode is Rec or 1xRec
};

// Searches with one word: channels first..last (buffer places from 0), events starting inside
// the window (minutes after midnight; equal ends mean any time, an end below the start a window
// across midnight) on the weekdays of the code (search/entries.h). The results' extension records
// take their offsets and window from the working entry (slot 200 of Search) and name it as the
// entry that found them. Always shows "Searching! Please wait ..." first.
// Changes the result channel (records, max_Event[201], currEvent[201]) and searchresult_ext.
void SearchTxt(const char *search_word, int first_channel, int last_channel, int window_start, int window_end,
               int weekdays);

// Searches with the list entries the selection picks, in list order: 0 all; 1..4 those of that
// mode (M, P, Rec, 1xRec); 9 all but Off; 10 Rec and 1xRec; others none. An event found by an
// earlier entry is not listed again. show_message non-zero shows "Searching! Please wait ..."
// (in the title box while the views are open, else in the message box, removed afterwards).
// Changes as SearchTxt.
void SearchAll(int selection, int show_message);

#endif
