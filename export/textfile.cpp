// Text files written through the 8 KB buffer and read line by line (see textfile.h).
#include "export/textfile.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

static char write_buffer[TEXTFILE_BUFFER_SIZE];   // the pieces not yet written, of the one open text file
static char line_buffer[TEXTFILE_LINE_SIZE];      // TextFile_Printf formats here
static char pad_block[TEXTFILE_BLOCK];            // the padding of TextFile_Close

// --- Writing ---

static void write_bytes(TextFile *tf, const char *bytes, int length)
{
    if (length <= 0)
        return;
    SafeFile_Write(&tf->out, bytes, (dword)length);
    tf->total += (dword)length;
}

int TextFile_Create(TextFile *tf, const char *name)
{
    tf->buffer = write_buffer;
    tf->used = 0;
    tf->total = 0;
    return SafeFile_Create(&tf->out, name);
}

void TextFile_PutFlushing(TextFile *tf, const char *piece, int length)
{
    if (tf->out.file == NULL || piece == NULL || length <= 0)
        return;
    if (tf->used + length >= TEXTFILE_FLUSH_AT) {
        write_bytes(tf, write_buffer, tf->used);
        tf->used = 0;
        if (length >= TEXTFILE_FLUSH_AT) {
            write_bytes(tf, piece, length);
            return;
        }
    }
    memcpy(write_buffer + tf->used, piece, (size_t)length);
    tf->used += length;
}

void TextFile_PutS(TextFile *tf, const char *s)
{
    if (s != NULL)
        TextFile_Put(tf, s, (int)strlen(s));
}

void TextFile_Printf(TextFile *tf, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    int n = vsnprintf(line_buffer, sizeof line_buffer, format, args);
    va_end(args);
    if (n >= (int)sizeof line_buffer)
        n = (int)sizeof line_buffer - 1;
    TextFile_Put(tf, line_buffer, n);
}

int TextFile_Close(TextFile *tf, char pad)
{
    if (tf->out.file == NULL)
        return 1;
    write_bytes(tf, write_buffer, tf->used);
    tf->used = 0;
    int rest = (int)(tf->total % TEXTFILE_BLOCK);
    if (rest != 0) {
        memset(pad_block, pad, sizeof pad_block);
        write_bytes(tf, pad_block, TEXTFILE_BLOCK - rest);
    }
    return SafeFile_Close(&tf->out);
}

// --- Reading ---

static int line_end(char c)
{
    return c == '\r' || c == '\n';
}

int ReadLine(char *dst, const char *text, const char **next, int size)
{
    if (dst != NULL && size > 0)
        dst[0] = 0;
    if (next != NULL)
        *next = text;
    if (text == NULL || text[0] == 0)
        return 1;
    const char *p = text;
    while (*p != 0 && !line_end(*p))
        p++;
    if (dst != NULL && size > 0) {
        int n = (int)(p - text);
        if (n > size - 1)
            n = size - 1;
        memcpy(dst, text, (size_t)n);
        dst[n] = 0;
    }
    while (line_end(*p))
        p++;
    if (next != NULL)
        *next = p;
    return *p == 0 ? 1 : 0;
}
