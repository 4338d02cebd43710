// The event search: search words find events in the buffered channels.
#ifndef DIRO_SEARCH_SEARCH_H
#define DIRO_SEARCH_SEARCH_H

// Searches with the entries of the list chosen by selection into the result channel.
void SearchAll(int selection, int show_message);

#endif
