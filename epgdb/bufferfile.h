// The buffer file "Diro_ROD.BufferExt.DAT": the EPG buffer across restarts, written whole on
// request and periodically, read once at start-up. Leans on epgdb/buffer, settings/ and the
// disk calls of the platform.
//
// Layout (all integers 32-bit little-endian; 1,625,296 bytes plus the text blocks):
//   0          808        max_Event, 202 counts
//   808        808        BlockSize, 202 block sizes
//   1616       808        hole, 202 marks
//   2424       4          settings.compress_text when written (0 plain, 1 coded texts)
//   2428       1,616,000  EPG_Buffer: 202 x 500 records of 16 bytes (the text as a 32-bit value)
//   1,618,428  variable   the text block of every slot 0..199 that qualifies, in slot order
//   end - 6868 6868       chMarkInfo, 202 x 34 bytes
// A slot qualifies for a block when its BlockSize is 1..962,500, record 0's text is not null and
// max_Event is above 0; the reader applies the same test to the values it read. The text values
// are relative: record 0 of a slot with a block holds BUFFER_FILE_TEXT_BASE, every other text the
// base plus its offset in the block, null texts and slots without a block (200 and 201 always)
// hold 0. A reader uses them only relative to record 0's value. No real address is ever written,
// so the 32-bit receiver and a 64-bit PC write the same bytes.
#ifndef DIRO_EPGDB_BUFFERFILE_H
#define DIRO_EPGDB_BUFFERFILE_H

#include "frame/platform/tap.h"

#define BUFFER_FILE_NAME "Diro_ROD.BufferExt.DAT"
#define BUFFER_FILE_KEPT_NAME "Diro_ROD.BufferExt.bad"   // a damaged buffer file, set aside

enum {
    BUFFER_FILE_FIXED_SIZE = 1625296,     // the file without its text blocks
    BUFFER_FILE_RECORDS_AT = 2428,        // offset of the event records
    BUFFER_FILE_BLOCKS_AT = 1618428,      // offset of the first text block
    BUFFER_FILE_MARKS_SIZE = 6868,        // chMarkInfo at the end
    EPG_EVENT_FILE_SIZE = 16,
    READ_HEAP_RESERVE = 1262500,          // heap left free behind each block loaded
    AUTO_SAVE_STEP_MINUTES = 30
};
static const dword BUFFER_FILE_TEXT_BASE = 0x10000000u;   // text value of record 0 of a block

// One event record as the file holds it.
struct EpgEventFile {
    byte fields[12];   // start_mjd .. event_id, as in EpgEvent
    dword text;        // 0, or BUFFER_FILE_TEXT_BASE + offset in the slot's block
};
static_assert(sizeof(EpgEventFile) == EPG_EVENT_FILE_SIZE, "the file record is 16 bytes");

// The minute of the day of the last periodic save, -1 none yet.
extern int SaveBufferAuto_lastmin;

// Writes the whole buffer file anew, under a temporary name first (frame/safefile). Results: 0
// written; 1 the file could not be created or opened, or a write fell short: "     Can't SAVE
// BUFFER FILE" shows at (64, 76) for 4 seconds, and the old file stays as it was. The buffer in
// memory is unchanged either way.
int SaveBufferFile(void);

// Reads the buffer file into the buffer; meant for start-up, when no slot owns a block yet
// (nothing held before is freed). Every slot is rebuilt from the file: a qualifying slot gets
// its block on the heap (keeping READ_HEAP_RESERVE free; a slot that does not fit stays empty),
// any other slot is empty; slots 200 and 201 start empty. A file that contradicts itself (a
// coding word other than 0 or 1, a count of a buffered channel outside 0..500, a length other
// than its block sizes make, an event of a buffered channel with day 0 or an hour or minute out
// of range) is not loaded at all: every slot is empty, the file is renamed to
// BUFFER_FILE_KEPT_NAME so the next save does not overwrite it, and a line on the firmware's
// console (TAP_Print) says so. Within a sound file, a block smaller than 4 bytes or a record 0
// text that runs past its block empties the slot; a text value outside its block, or a text
// that runs past it, leaves that event without text. settings.compress_text takes the file's
// coding word. Results: 0 read; 1 no file (the buffer is left as it is); 2 the file was damaged
// and set aside (the buffer is empty).
// Changes the whole buffer, the text store, settings.compress_text.
int ReadBufferFile(void);

// The periodic save, called every few seconds: with n = settings.auto_save_buffer 1..8, saves in
// a minute of the day that is a multiple of n x 30 minutes, once per such minute. Results: 1 the
// file was written (or tried), 0 not due. Changes SaveBufferAuto_lastmin.
int SaveBufferAuto(void);

#endif
