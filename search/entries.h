// Search entries and the search file "Diro_ROD.Search.ini". For now only the entry start-up calls.
#ifndef DIRO_SEARCH_ENTRIES_H
#define DIRO_SEARCH_ENTRIES_H

// Reads the search file into the search table.
void ReadSearchINI(void);

#endif
