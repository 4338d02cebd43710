// The plug-in's text files: written through one 8 KB buffer that goes to the disk only when full,
// and padded to whole 512-byte blocks (the exports, the channel lists); and read line by line
// (the command file). Leans on the disk calls of frame/platform.
//
// Writing: TextFile_Create starts the file anew under a temporary name (frame/safefile);
// TextFile_Put appends pieces; TextFile_Close writes what is left, pads, closes and puts the file
// in place of the old one. One file is written at a time: the buffer is shared.
// Example:
//   TextFile tf;
//   if (TextFile_Create(&tf, "TV_Channel_List.txt") == 0) {
//       TextFile_Printf(&tf, "%04d|%s|%d\r\n", 1, "Das Erste", 28106);
//       TextFile_Close(&tf, ' ');   // 512 bytes on the disk
//   }
#ifndef DIRO_EXPORT_TEXTFILE_H
#define DIRO_EXPORT_TEXTFILE_H

#include <string.h>

#include "frame/platform/tap.h"
#include "frame/safefile.h"

enum {
    TEXTFILE_BUFFER_SIZE = 8192,   // bytes of the write buffer
    TEXTFILE_FLUSH_AT = 8191,      // a piece that would bring the buffer to this length flushes it first
    TEXTFILE_BLOCK = 512,          // files are padded to a multiple of this many bytes
    TEXTFILE_LINE_SIZE = 1024      // longest line TextFile_Printf formats (longer ones are cut)
};

// A text file being written.
struct TextFile {
    SafeFile out;      // the file being written; out.file null when it could not be opened
    char *buffer;      // the shared write buffer (TEXTFILE_BUFFER_SIZE bytes)
    int used;          // bytes waiting in the buffer
    dword total;       // bytes handed to the disk so far
};

// Starts writing name anew (SafeFile_Create) with an empty buffer; the old file stays until
// TextFile_Close. Results: 0 open; 1 it could not be opened (nothing else is written).
int TextFile_Create(TextFile *tf, const char *name);

// Appends length bytes. When the buffer and the piece would reach TEXTFILE_FLUSH_AT bytes the
// buffer is written first; a piece that does not fit into the empty buffer is written at once.
// Nothing happens for a file that is not open, a null piece or length <= 0. A piece that fits is
// copied right here: the exports put a few dozen pieces a row.
void TextFile_PutFlushing(TextFile *tf, const char *piece, int length);   // TextFile_Put, writing the buffer first
static inline void TextFile_Put(TextFile *tf, const char *piece, int length)
{
    if (tf->out.file != NULL && piece != NULL && length > 0 && tf->used + length < TEXTFILE_FLUSH_AT) {
        memcpy(tf->buffer + tf->used, piece, (size_t)length);
        tf->used += length;
    } else {
        TextFile_PutFlushing(tf, piece, length);
    }
}

// Appends a NUL-terminated string.
void TextFile_PutS(TextFile *tf, const char *s);

// Appends a formatted piece (at most TEXTFILE_LINE_SIZE - 1 bytes).
void TextFile_Printf(TextFile *tf, const char *format, ...) __attribute__((format(printf, 2, 3)));

// Writes what the buffer holds, then pad bytes (a space, or 0) up to the next multiple of 512
// bytes (none when the total already is one; an empty file stays empty), closes the file and puts
// it in place of the old one (SafeFile_Close). Results: 0 saved; 1 not: a write fell short or
// the file was not open (the old file stays as it was).
int TextFile_Close(TextFile *tf, char pad);

// The next line of text into dst (size bytes, always terminated when size > 0): the bytes up to
// a CR, an LF or the end of text, at most size - 1 of them (the rest of a longer line is
// skipped). *next becomes the start of the following line: every CR and LF after the line is
// passed over. Results: 1 when no further line follows (text is empty or null, or *next is at
// its end), else 0. A null next is allowed (the position is then not returned).
int ReadLine(char *dst, const char *text, const char **next, int size);

#endif
