// HTML and CSV export of the EPG data base. For now only the entries the scan and the menu call.
#ifndef DIRO_EXPORT_EXPORT_H
#define DIRO_EXPORT_EXPORT_H

// Write "Diro_ROD.Export.CSV" / "Diro_ROD.Export.html"; show_message 1 shows a box meanwhile.
void ExportCSV(int show_message);
void ExportHTML(int show_message);

#endif
