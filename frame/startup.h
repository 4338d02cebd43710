// Start-up and the ends of the plug-in: TAP_Main prepares the screen, the clock and channel
// copies, loads every file, validates the settings, then starts the automatic EPG scan or shows
// the free-disk warning. The plug-in ends by STOP in the views or by deleting its files.
#ifndef DIRO_FRAME_STARTUP_H
#define DIRO_FRAME_STARTUP_H

#include "frame/platform/tap.h"

enum {
    FREESIZE_MSG_SECONDS = 20    // how long the free-disk warning shows
};

// Declared in frame/platform/tap.h:
//   int TAP_Main(void);   returns 1: the plug-in stays resident.

// Formats the free-disk warning for free_mb megabytes into _strBuf2 in the current language.
void FormatFreeSizeMsg(dword free_mb);

// The start-up's reading of the two files: the settings (defaults, the file, validated) and the
// buffer file, then the colours and language they choose.
void LoadSettingsAndBuffer(void);

// The start-up's settling of what was read: the scan count within the buffered channels, the
// timer names' dates renewed when so set, the channel limit applied.
void SettleStartSettings(void);

// STOP in the views: saves the settings first when the menu holds changes, then the buffer
// file, frees the firmware's event array, clears the screen, gives it back and ends the
// plug-in. Sets _epgShow to -1 (ending).
void Stop_Exit(void);

// The menu's "Delete Buffer File and Settings": deletes both files and ends the plug-in as STOP
// does, saving nothing. Sets _epgShow to -1 (ending).
void Delete_Files_Exit(void);

#endif
