// The coded event text: five characters of an 84-letter alphabet packed into one 32-bit word
// (80 % of the plain size), its two tables, the encoder and decoder, and DCT, the one reader of
// every stored event text. Leans on settings.compress_text (settings/settings.h), which is read
// at every call, and on the shared scratch _strBuf (frame/state.h).
//
// Layout of a coded text: little-endian 32-bit words, not aligned in memory (read byte by byte).
// A word holds the codes c0..c4 (c0 the earliest character) as
//   c0 + 84*c1 + 7056*c2 + 592704*c3 + 49787136*c4.
// The text ends at the first code 0 (later codes of that word mean nothing) and is always
// followed by one word equal to 0, which belongs to the text (counted in its length, copied with it).
#ifndef DIRO_TEXT_CODED_H
#define DIRO_TEXT_CODED_H

#include "frame/state.h"

enum {
    CODED_TABLE_SIZE = 256,
    CODE_COUNT = 84,          // codes 0..83 are used; 0 ends the text
    CODE_DROPPED = 100,       // EncTable value of a byte that has no code (it is dropped)
    DCT_CODED_SIZE = 1536,    // bytes of a coded text DCT and the EPG fill handle
    DCT_PLAIN_SIZE = 1920     // bytes of the plain text DCT decodes into dctstr
};

// Code to character: 0 NUL, 1 space, 2..11 digits, 12..37 'A'..'Z', 38..63 'a'..'z',
// 64..75 , . : ! ? - ' " & / ( ), 76..81 Ä Ü ä ö ü ß, 82 '|', 83 '~'; 84..255 are 0.
extern const unsigned char DecTable[CODED_TABLE_SIZE];

// Latin-1 byte to code; CODE_DROPPED for a byte that has no code. Letters outside the alphabet
// fold to a near letter ('Ö' to 'ö', 'é' to 'e'), '_' to '-', '<' to a space.
extern const unsigned char EncTable[CODED_TABLE_SIZE];

// The decoded text of the last DCT (and the EPG fill's work buffer); valid until either runs again.
extern char dctstr[STRBUF_SIZE];

// Encodes the plain string src into at most size bytes at dst and returns the bytes written,
// the final zero word included (a multiple of 4). Bytes without a code are dropped. A text too
// long for size loses its tail: with size DCT_CODED_SIZE it keeps 1915 characters. The output
// never exceeds size: a last group that would leave no room for the zero word is dropped.
// dst may be src (the output never overtakes the input). Returns 0, writing nothing, when dst or
// src is null or size < 4.
int EncodeTxt(void *dst, const char *src, int size);

// The words EncodeTxt(dst, text, size) writes for text = head, '|' and what ConvertByteStr makes
// of the string ext (head alone when that is empty), without building text: when text is not
// cut, that is strlen(head) + 1 + strlen(ext) <= 5 * (size / 4 - 2) + 4. dst may be head; ext
// must not overlap dst. Returns the bytes written, or -1, writing nothing, when text might be cut
// (or an argument is null, or size < 4).
int EncodeTxtWithExt(void *dst, const char *head, const char *ext, int size);

// Decodes the coded text at src into a plain string of at most size bytes at dst (always
// terminated when size > 0). At most (size - 1) / 5 words are read, fewer when the text ends.
// size <= 0 or a null argument: nothing is written.
void DecodeTxt(char *dst, const void *src, int size);

// The byte length of the coded text at data: up to and including its first all-zero word, looking
// only at whole words that lie below limit. Returns limit when there is none; 0 for a null data or
// limit <= 0.
int StrCodedLen(const void *data, int limit);

// Copies one stored text into dst (size bytes). With settings.compress_text not 1: at most
// size - 1 bytes of the plain string, then a NUL at dst[size - 1]. With coding on: whole words,
// byte by byte, while they end before the last 4 bytes of dst, stopping after the first all-zero
// word; then the last 4 bytes of dst (all of it when size < 4) become 0.
// A null dst or src, or size <= 0: nothing is copied.
void CopyCodedStr(void *dst, const void *src, int size);

// The plain text of a stored event text. A null text yields "". With coding off, text itself;
// with coding on, text decoded into dctstr, and _strBuf emptied.
// Changes dctstr and _strBuf[0] when coding is on.
const char *DCT(const char *text);

// Brings the plain string src into the form it would have after coding and decoding (bytes
// without a code dropped, others folded), except that '_' stays '_'. dst may be src; it must
// hold strlen(src) + 1 bytes. Returns dst, or null (doing nothing) on a null argument.
char *UseDecTable(char *dst, const char *src);

#endif
