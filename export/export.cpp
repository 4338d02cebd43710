// HTML and CSV export (see export.h). Placeholder: nothing is exported yet.
#include "export/export.h"

void ExportCSV(int show_message) {}
void ExportHTML(int show_message) {}
