// Byte-string helpers the whole plug-in shares: comparisons that report the first differing
// position, plain copies, substrings, and the character filters that decide which Latin-1 bytes
// of firmware texts and names may enter the stores, files and file names. Leans only on the C
// library and on `language` (settings/settings.h) for the umlaut folding of ReplaceStrN.
//
// Strings are NUL-terminated Latin-1 byte strings; every function works on caller-owned buffers
// and allocates nothing.
#ifndef DIRO_TEXT_STRUTIL_H
#define DIRO_TEXT_STRUTIL_H

// Compare limit of strcmp_self and stricmp_self.
enum { STRCMP_LIMIT = 16000 };

// --- Comparison ---
// These do not return a sign: -1 when a or b is null, otherwise the 1-based position of the
// first byte (among the first n) in which a and b differ, or 0 when they agree up to n bytes or up
// to a common NUL. 0 means equal.
int strncmp_self(const char *a, const char *b, int n);
int strcmp_self(const char *a, const char *b);                 // n = STRCMP_LIMIT
// As strncmp_self, with 'A'..'Z' folded to lower case before comparing (no other byte folds).
int strnicmp_self(const char *a, const char *b, int n);
int stricmp_self(const char *a, const char *b);                // n = STRCMP_LIMIT

// --- Case, order and plain copies ---
// Folds 'A'..'Z' to 'a'..'z' in place; returns s (null stays null).
char *strlwr_self(char *s);

// Reverses the bytes of s in place; returns s (null stays null).
char *strrev(char *s);

// Copies at most n bytes of src into dst (stopping after src's NUL) and always stores a NUL at
// dst[n]; dst must hold n + 1 bytes. Returns dst, or null when dst or src is null or n < 0.
char *strxcpy(char *dst, const char *src, int n);

// Copies n bytes one by one (the regions must not overlap). Returns dst, or null when either
// pointer is null. n <= 0 copies nothing.
void *CopyMem(void *dst, const void *src, int n);

// The validity test applied to an event text pointer before it is read: 1 when p is null
// (not to be read), 0 otherwise.
int CheckPointerRange(const void *p);

// Reverses the four bytes of the 32-bit word at word4 in place (byte-order swap). Null: nothing.
void Convert_TAP_Int(void *word4);

// --- Substrings ---
// Copies src without its first `front` and last `back` bytes into dst and terminates it. When
// front + back >= strlen(src), or either is negative, the whole of src is copied. dst may be src.
// Returns dst, or null when dst or src is null.
char *str2ofcpy(char *dst, const char *src, int front, int back);

// Copies `count` bytes of src from src[offset] into dst and terminates it. When offset < 0,
// offset >= strlen(src), count < 0 or offset + count > strlen(src), the whole of src is copied.
// dst may be src. Returns dst, or null when dst or src is null.
char *stroffsetcpy(char *dst, const char *src, int offset, int count);

// --- Character filters ---
// Each keeps exactly the bytes named, drops the others (no placeholder) and terminates the
// result. The copying filters may work in place (dst == src): they never write ahead of what
// they have read. All return their output buffer, or null (doing nothing) on null arguments.
// CopyConvertTitleStr and ConvertByteStr measure their source first: it must be a string
// (NUL-terminated), of which they take at most n bytes.

// In place: keeps 32..126 and 161..255.
char *ConvertStr(char *s);

// Copy of at most n source bytes (or up to the NUL): keeps 32..126 and 161..255.
// dst must hold n + 1 bytes.
char *CopyConvertXStr(char *dst, const char *src, int n);

// The filter of event titles and short texts: as CopyConvertXStr, and the separators of the
// event text layout, '|' and '~', become '-', so a broadcaster's title never cuts itself short.
// dst must hold n + 1 bytes.
char *CopyConvertTitleStr(char *dst, const char *src, int n);

// The filter of firmware event text. Copy of at most n source bytes (or up to the NUL): keeps
// 32..125 and 161..255, turns the line breaks 10 and 138 (0x8A) into '|', drops '~' and the
// rest, so a firmware text never holds the separators of the event text layout.
// dst must hold n + 1 bytes.
char *ConvertByteStr(char *dst, const char *src, int n);
// The same, returning the end of the result (its NUL) instead, or null on null arguments.
char *ConvertByteStrEnd(char *dst, const char *src, int n);

// What ConvertByteStr makes of one byte c; 0 for a byte it drops.
constexpr unsigned char ExtTextByte(unsigned c)
{
    return c == 10 || c == 138 ? (unsigned char)'|'
                               : (c >= 32 && c <= 125) || (c >= 161 && c <= 255) ? (unsigned char)c : 0;
}

// In place: makes s usable as a disk file name. '/' and '\' become '-'; drops 0..31, '"', '*',
// ':', '<', '>', '?', '|' and 127..160; keeps everything else.
char *ConvertStr_FileName(char *s);

// --- Replacing characters ---
// Replaces every byte equal to oldChar by newChar within the first n bytes of s or up to its NUL.
void ReplaceOneChar(char *s, char newChar, char oldChar, int n);

// Replaces the first occurrence of pattern in text by replacement, in place, carrying the rest
// of text over behind it. text must be a buffer of STRBUF_SIZE (3074) bytes (frame/state.h): the
// result is cut at STRBUF_SIZE - 1 characters and nothing is written beyond the buffer, whatever
// the lengths. replacement must not lie inside text.
// Returns text when a replacement was made; null (text unchanged) when pattern does not occur,
// is empty, or any argument is null.
char *ReplaceFirstFinding(char *text, const char *pattern, const char *replacement);

// Copies min(n, strlen(src)) bytes of src to dst and terminates dst there, folding accented
// vowels to plain lower-case letters for umlaut-blind search comparisons: Ä ä à á to 'a', Ö ö to
// 'o', Ü ü to 'u', è é to 'e'; while `language` is 8..11 also Å å Æ æ to 'a' and Ø ø to 'o'.
// ASCII case is left alone (see strlwr_self). dst may be src; dst must hold n + 1 bytes.
// Returns dst, or null when dst or src is null.
char *ReplaceStrN(char *dst, const char *src, int n);

// Fills table with what ReplaceStrN and then strlwr_self make of each byte under the current
// `language`: the folding of the search, one lookup a byte. Null: nothing.
void FoldLowerTable(unsigned char table[256]);

#endif
