// The search list view.
#ifndef DIRO_SEARCH_LIST_H
#define DIRO_SEARCH_LIST_H

// Draws the whole search list.
void SearchList(void);

#endif
