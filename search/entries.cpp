// Search entries (see entries.h). Placeholder: the search file is not read yet.
#include "search/entries.h"

SearchEntry Search[SEARCH_SLOTS];
int max_Search;

void ReadSearchINI(void) {}
void SaveSearch(void) {}
void CopySearch(int destination, int source) {}
void SortSearch(int kind) {}
void SortManualSearch(int index, int direction) {}
