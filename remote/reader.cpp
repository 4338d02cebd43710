// The file reader of the search file, the command file and the timer backup (see reader.h):
// reading, bringing the text to Latin-1, splitting it into lines, and what follows a file.
#include "remote/reader.h"

#include <string.h>

#include "frame/platform/tap.h"
#include "remote/commands.h"
#include "search/entries.h"
#include "views/window.h"

enum {
    COMMAND_BUF_SIZE = COMMAND_READ_MAX + 1,   // the data and the 0 after it
    LINE_BUF_SIZE = COMMAND_LINE_MAX + 1,
    JUNK_BYTE = 1                              // stands in for a 0 byte inside the data
};

// The file being read. Static: too large for the receiver's stack.
static char file_data[COMMAND_BUF_SIZE];

static const char *file_name_of(int kind)
{
    switch (kind) {
    case COMMAND_KIND_SEARCH:
        return SEARCH_FILE_NAME;
    case COMMAND_KIND_COMMANDS:
        return COMMAND_FILE_NAME;
    case COMMAND_KIND_BACKUP:
        return TIMER_BACKUP_FILE_NAME;
    default:
        return NULL;
    }
}

static int is_line_end(char c)
{
    return c == '\r' || c == '\n';
}

// --- Reading and preparing the text ---

// The length of a UTF-8 sequence that starts with lead, 0 for a byte that starts none.
static int utf8_length(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

// Whether data[0..n) is UTF-8 with at least one character beyond ASCII. Latin-1 text with
// umlauts is not: its letters from 192 up are never followed by the bytes 128..191 that UTF-8
// needs.
static int is_utf8_text(const unsigned char *data, int n)
{
    int beyond_ascii = 0;
    for (int i = 0; i < n;) {
        int len = utf8_length(data[i]);
        if (len == 0 || i + len > n)
            return 0;
        for (int k = 1; k < len; k++) {
            if ((data[i + k] & 0xC0) != 0x80)
                return 0;
        }
        if (len > 1)
            beyond_ascii = 1;
        i += len;
    }
    return beyond_ascii;
}

// Brings UTF-8 text to Latin-1 in place: characters up to 255 become their byte, others are
// dropped. Returns the new length.
static int utf8_to_latin1(unsigned char *data, int n)
{
    int out = 0;
    for (int i = 0; i < n;) {
        int len = utf8_length(data[i]);
        if (len == 1)
            data[out++] = data[i];
        else if (len == 2 && data[i] <= 0xC3)
            data[out++] = (unsigned char)(((data[i] & 0x03) << 6) | (data[i + 1] & 0x3F));
        i += len > 0 ? len : 1;
    }
    return out;
}

// Reads the file into file_data and prepares the text: a UTF-8 byte-order mark dropped and
// UTF-8 brought to Latin-1, 0 bytes marked as junk, tabs made blanks, and, when the file is
// longer than what was read, the last line dropped, since the read cut it off. The text is
// terminated.
// Returns its length, or -1 when the file is missing or nothing could be read of it.
static int read_text(const char *name)
{
    TYPE_File *file = TAP_Hdd_Fopen(name);
    if (file == NULL)
        return -1;
    dword length = TAP_Hdd_Flen(file);
    dword want = length == 0 || length > COMMAND_READ_MAX ? (dword)COMMAND_READ_MAX : length;
    memset(file_data, 0, sizeof file_data);
    dword got = TAP_Hdd_Fread(file_data, 1, want, file);
    TAP_Hdd_Fclose(file);
    if (got > want)
        got = want;
    if (got == 0 && length > 0)
        return -1;
    int n = (int)got;

    // A file longer than the read (or of unknown length that filled it): its last line is cut.
    if (length > got || (length == 0 && got == COMMAND_READ_MAX)) {
        while (n > 0 && !is_line_end(file_data[n - 1]))
            n--;
    }
    // A tab that an editor put in is a blank, not junk: the line is kept.
    for (int i = 0; i < n; i++) {
        if (file_data[i] == 0)
            file_data[i] = JUNK_BYTE;
        else if (file_data[i] == '\t')
            file_data[i] = ' ';
    }
    unsigned char *text = (unsigned char *)file_data;
    if (n >= 3 && text[0] == 0xEF && text[1] == 0xBB && text[2] == 0xBF) {
        memmove(text, text + 3, (size_t)(n - 3));
        n -= 3;
        n = utf8_to_latin1(text, n);
    } else if (is_utf8_text(text, n)) {
        n = utf8_to_latin1(text, n);
    }
    file_data[n] = 0;
    return n;
}

// Whether a line holds bytes that no text holds (control bytes, DEL): binary junk.
static int is_junk(const char *line)
{
    for (const unsigned char *p = (const unsigned char *)line; *p != 0; p++) {
        if (*p < ' ' || *p == 127)
            return 1;
    }
    return 0;
}

// --- The file reader ---

void ReadCommandFile(int kind)
{
    restore_timerbackup = 0;
    ClearRejectedCommands();
    const char *name = file_name_of(kind);
    if (name == NULL)
        return;
    int entries_before = max_Search;
    int count = kind == COMMAND_KIND_COMMANDS ? max_Search : 0;
    if (count < 0)
        count = 0;

    int length = read_text(name);
    if (length >= 0) {
        const char *p = file_data;
        const char *end = file_data + length;
        char line[LINE_BUF_SIZE];
        for (int lines = 0; lines < COMMAND_LINES_MAX; lines++) {
            while (p < end && is_line_end(*p))
                p++;
            if (p >= end)
                break;
            const char *start = p;
            while (p < end && !is_line_end(*p))
                p++;
            int line_len = (int)(p - start);
            if (line_len > COMMAND_LINE_MAX)
                continue;
            memcpy(line, start, (size_t)line_len);
            line[line_len] = 0;
            if (is_junk(line))
                continue;
            if (kind != COMMAND_KIND_BACKUP && count < SEARCH_LIST_SIZE) {
                if (ExtractLine(line, count) == 0) {
                    count++;
                    max_Search = count;
                }
            } else {
                CheckCommands(line);
            }
        }
        // The list is what the search file holds, none of its entries included.
        if (kind == COMMAND_KIND_SEARCH)
            max_Search = count;
        if (kind == COMMAND_KIND_COMMANDS)
            TAP_Hdd_Delete(COMMAND_FILE_NAME);
    }

    if (kind == COMMAND_KIND_SEARCH && Command_found == 1)
        SaveSearch();
    if (kind == COMMAND_KIND_COMMANDS && max_Search != entries_before)
        SaveSearch();
    Command_found = 0;
    ShowRejectedCommands();
    if (RemoteMsg == 1)
        cls();
}

void ReadCommandINI(void)
{
    ReadCommandFile(COMMAND_KIND_COMMANDS);
    if (restore_timerbackup == 1)
        ReadCommandFile(COMMAND_KIND_BACKUP);
}
