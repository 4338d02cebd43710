// Owner of the search results' extension records (see results.h).
#include "search/results.h"

SearchResultExt searchresult_ext[SEARCH_RESULTS_MAX];
