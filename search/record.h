// Recording by search words. For now only the entry start-up calls.
#ifndef DIRO_SEARCH_RECORD_H
#define DIRO_SEARCH_RECORD_H

// Searches the buffer with every recording search word and queues timers for the hits.
// show_message 1 shows progress on the screen.
void SearchAndRecord(int show_message);

#endif
