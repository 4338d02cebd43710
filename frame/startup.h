// Start-up: TAP_Main prepares the screen, the clock and channel copies, loads every file,
// validates the settings, then starts the automatic EPG scan or shows the free-disk warning.
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

#endif
