// HTML and CSV export of the EPG data base for reading on a computer: "Diro_ROD.Export.html" (one
// table, a row per event, channels shaded alternately) and "Diro_ROD.Export.CSV" (a line per
// event, fields separated by '|'), both written through the 8 KB buffer of export/textfile and
// padded to 512-byte blocks. Leans on epgdb/ (the buffer, the pieces of an event text),
// export/channels (channel names), frame/msgbox and settings/.
//
// What is exported: the TV channels 0 .. settings.scan_max_channels - 1 whose own buffer slot
// holds events (a channel served by the scratch slot is left out: that slot may hold any other
// channel), each channel's events in record order.
//
// HTML row: <tr> (or <tr bgcolor="#E4E4E4">) number. | name | weekday | YYYY.MM.DD |
//           hh:mm~hh:mm | duration hh:mm | title (" " when empty) | short info<br>long info
//           with &, < and > written as entities.
// CSV line: name|YYYYMMDDhhmm|YYYYMMDDhhmm||title|short info|long info||number||service id|lcn
//           (lcn only with settings.lcn_support 1; no header line). A field that begins with '"'
//           is quoted, its quotes doubled, so that CSV readers keep it as it is.
// The lines of a long info are joined by spaces; lines end with CR LF.
#ifndef DIRO_EXPORT_EXPORT_H
#define DIRO_EXPORT_EXPORT_H

#define EXPORT_HTML_NAME "Diro_ROD.Export.html"
#define EXPORT_CSV_NAME "Diro_ROD.Export.CSV"

enum {
    EXPORT_TITLE_SIZE = 128,       // a title is cut to 127 bytes
    EXPORT_INFO_SIZE = 128,        // a short info is cut to 127 bytes
    EXPORT_LONG_INFO_MAX = 1919,   // bytes of a long info exported
    EXPORT_HTML_NAME_LENGTH = 23,  // bytes of a channel name in the HTML file
    EXPORT_CSV_NAME_LENGTH = 127   // ... in the CSV file (the firmware's names are shorter)
};

// Write "Diro_ROD.Export.CSV" / "Diro_ROD.Export.html" anew. With show_message 1 a message box
// ("Creating CSV Export File! Please wait ...") stands while the file is written and is removed
// afterwards. A file that cannot be opened or written whole: "     Can't SAVE CSV FILE" (HTML
// FILE) for 4 seconds, and the old file stays as it was. Change nothing but the screen, chInfo
// and the scratch of DCT.
void ExportCSV(int show_message);
void ExportHTML(int show_message);

#endif
