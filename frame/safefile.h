// Saving a file whole, so that a power cut at any moment leaves the old file or the new one, never
// a piece: every file the plug-in writes (settings, buffer file, search file, exports, channel
// lists, timer list and backup) is written under a temporary name beside it and only then put in
// its place. Leans on the disk calls of frame/platform.
//
// The steps of a save of NAME, and what a power cut between them leaves:
//   1. NAME.tmp is created and written               NAME.tmp is a piece: never trusted
//   2. NAME.tmp is closed and renamed to NAME.new     NAME.new is whole
//   3. NAME is deleted, NAME.new renamed to NAME      NAME is the new file
// A write that falls short (a full disk) stops at step 1: NAME.tmp is deleted and NAME stays as it
// was. No step renames onto an existing name, so the firmware's answer to that case does not
// matter. SafeFile_Recover, run at start-up before any file is read, finishes what a power cut
// interrupted: a NAME.new takes the place of NAME, a NAME.tmp is deleted.
// Example:
//   SafeFile sf;
//   if (SafeFile_Create(&sf, "Diro_ROD.Settings.DAT") == 0) {
//       SafeFile_Write(&sf, &settings, 512);
//       if (SafeFile_Close(&sf) != 0) ...;   // not saved: the old file is still there
//   }
#ifndef DIRO_FRAME_SAFEFILE_H
#define DIRO_FRAME_SAFEFILE_H

#include "frame/platform/tap.h"

#define SAFEFILE_PART_SUFFIX ".tmp"   // the file being written: a piece until renamed
#define SAFEFILE_DONE_SUFFIX ".new"   // written whole, waiting to take the file's place

enum {
    SAFEFILE_NAME_SIZE = 64   // longest file name plus its suffix and the NUL
};

// A file being saved.
struct SafeFile {
    TYPE_File *file;                 // NAME.tmp while open, else null
    int failed;                      // 1 once a write fell short
    char name[SAFEFILE_NAME_SIZE];   // NAME, the file it replaces
};

// Starts saving `name`: deletes a leftover NAME.tmp, creates it (a normal file) and opens it.
// Results: 0 open; 1 the name is too long or NAME.tmp could not be created or opened (sf->file
// null; NAME is untouched).
int SafeFile_Create(SafeFile *sf, const char *name);

// Appends size bytes. Results: 1 written whole (also for size 0); 0 not: a file that is not open,
// or a write that fell short (sf->failed becomes 1 and the save will not replace NAME).
int SafeFile_Write(SafeFile *sf, const void *data, dword size);

// Closes NAME.tmp and, when every write went whole, puts it in NAME's place (steps 2 and 3).
// Results: 0 NAME is the new file; 1 not saved: a write fell short or the file was never open
// (NAME.tmp is deleted, NAME stays as it was), or the disk refused a rename (a whole NAME.new may
// stay behind for SafeFile_Recover). A file that is not open: 1 and nothing else.
int SafeFile_Close(SafeFile *sf);

// Finishes an interrupted save of `name`: a whole NAME.new replaces NAME, a leftover NAME.tmp is
// deleted. Results: bit 0 set when NAME.new took NAME's place, bit 1 when a NAME.tmp was deleted;
// 0 nothing to do.
int SafeFile_Recover(const char *name);

// Deletes `name` with whatever an unfinished save left of it (NAME.new, NAME.tmp), so that the
// next start-up has nothing to bring back.
void SafeFile_Delete(const char *name);

#endif
