// The event search (see search.h). Placeholder: nothing is searched yet.
#include "search/search.h"

void SearchAll(int selection, int show_message) {}
