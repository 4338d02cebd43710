// The search list view (see list.h). Placeholder: the list is not drawn yet.
#include "search/list.h"

void SearchList(void) {}
