// The shared byte-string helpers and character filters (see strutil.h). No state of its own;
// reads `language` (settings/settings.h) for the Nordic letters of ReplaceStrN and the scratch
// size STRBUF_SIZE (frame/state.h) that bounds ReplaceFirstFinding.
#include "text/strutil.h"

#include <stdint.h>
#include <string.h>

#include "frame/state.h"
#include "settings/settings.h"

// Bytes compared and tested as unsigned Latin-1 values.
static inline unsigned char ubyte(char c)
{
    return (unsigned char)c;
}

static inline unsigned char fold_ascii_upper(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? (unsigned char)(c + ('a' - 'A')) : c;
}

// --- Comparison ---

// The common walk of the comparisons; fold selects the ASCII case folding.
static int compare_upto(const char *a, const char *b, int n, int fold)
{
    if (a == NULL || b == NULL)
        return -1;
    for (int i = 0; i < n; i++) {
        unsigned char ca = ubyte(a[i]);
        unsigned char cb = ubyte(b[i]);
        if (fold) {
            ca = fold_ascii_upper(ca);
            cb = fold_ascii_upper(cb);
        }
        if (ca != cb)
            return i + 1;
        if (ca == 0)
            return 0;
    }
    return 0;
}

int strncmp_self(const char *a, const char *b, int n)
{
    return compare_upto(a, b, n, 0);
}

int strcmp_self(const char *a, const char *b)
{
    return compare_upto(a, b, STRCMP_LIMIT, 0);
}

int strnicmp_self(const char *a, const char *b, int n)
{
    return compare_upto(a, b, n, 1);
}

int stricmp_self(const char *a, const char *b)
{
    return compare_upto(a, b, STRCMP_LIMIT, 1);
}

// --- Case, order and plain copies ---

char *strlwr_self(char *s)
{
    if (s == NULL)
        return NULL;
    for (char *p = s; *p; p++)
        *p = (char)fold_ascii_upper(ubyte(*p));
    return s;
}

char *strrev(char *s)
{
    if (s == NULL)
        return NULL;
    size_t len = strlen(s);
    if (len < 2)
        return s;
    for (size_t i = 0, j = len - 1; i < j; i++, j--) {
        char c = s[i];
        s[i] = s[j];
        s[j] = c;
    }
    return s;
}

char *strxcpy(char *dst, const char *src, int n)
{
    if (dst == NULL || src == NULL || n < 0)
        return NULL;
    int i = 0;
    while (i < n && src[i] != 0) {
        dst[i] = src[i];
        i++;
    }
    if (i < n)
        dst[i] = 0;
    dst[n] = 0;
    return dst;
}

void *CopyMem(void *dst, const void *src, int n)
{
    if (dst == NULL || src == NULL)
        return NULL;
    unsigned char *d = (unsigned char *)dst;
    const unsigned char *s = (const unsigned char *)src;
    for (int i = 0; i < n; i++)
        d[i] = s[i];
    return dst;
}

int CheckPointerRange(const void *p)
{
    return p == NULL ? 1 : 0;
}

void Convert_TAP_Int(void *word4)
{
    if (word4 == NULL)
        return;
    unsigned char *b = (unsigned char *)word4;
    unsigned char t = b[0];
    b[0] = b[3];
    b[3] = t;
    t = b[1];
    b[1] = b[2];
    b[2] = t;
}

// --- Substrings ---

char *str2ofcpy(char *dst, const char *src, int front, int back)
{
    if (dst == NULL || src == NULL)
        return NULL;
    size_t len = strlen(src);
    size_t start = 0;
    size_t count = len;
    // Negative amounts would reach outside src: they mean "keep everything", like amounts too big.
    if (front >= 0 && back >= 0 && (size_t)front + (size_t)back < len) {
        start = (size_t)front;
        count = len - (size_t)front - (size_t)back;
    }
    memmove(dst, src + start, count);
    dst[count] = 0;
    return dst;
}

char *stroffsetcpy(char *dst, const char *src, int offset, int count)
{
    if (dst == NULL || src == NULL)
        return NULL;
    size_t len = strlen(src);
    size_t start = 0;
    size_t n = len;
    if (offset >= 0 && count >= 0 && (size_t)offset < len && (size_t)count <= len - (size_t)offset) {
        start = (size_t)offset;
        n = (size_t)count;
    }
    memmove(dst, src + start, n);
    dst[n] = 0;
    return dst;
}

// --- Character filters ---

// 32..126 and 161..255: the printable Latin-1 bytes.
static constexpr int is_printable(unsigned char c)
{
    return (c >= 32 && c <= 126) || c >= 161;
}

char *ConvertStr(char *s)
{
    if (s == NULL)
        return NULL;
    char *out = s;
    for (const char *in = s; *in; in++) {
        if (is_printable(ubyte(*in)))
            *out++ = *in;
    }
    *out = 0;
    return s;
}

char *CopyConvertXStr(char *dst, const char *src, int n)
{
    if (dst == NULL || src == NULL)
        return NULL;
    int out = 0;
    for (int i = 0; i < n && src[i] != 0; i++) {
        if (is_printable(ubyte(src[i])))
            dst[out++] = src[i];
    }
    dst[out] = 0;
    return dst;
}

// What a title byte becomes: 0 dropped, else the byte kept or folded. Built at compile time, so
// the title filter does one lookup a byte, as the plain filter does its range test.
struct TitleFold {
    unsigned char to[256];
    constexpr TitleFold() : to()
    {
        for (int c = 0; c < 256; c++)
            to[c] = is_printable((unsigned char)c) ? (unsigned char)c : 0;
        to[(unsigned char)'|'] = '-';
        to[(unsigned char)'~'] = '-';
    }
};
static constexpr TitleFold title_fold;

char *CopyConvertTitleStr(char *dst, const char *src, int n)
{
    if (dst == NULL || src == NULL)
        return NULL;
    int out = 0;
    for (int i = 0; i < n && src[i] != 0; i++) {
        unsigned char to = title_fold.to[ubyte(src[i])];
        if (to != 0)
            dst[out++] = (char)to;
    }
    dst[out] = 0;
    return dst;
}

// What a byte of an extended text becomes: 0 dropped, else the byte kept, or '|' for a line
// break. One lookup and a store a byte: the filter runs over every long text of a fill.
struct ExtFold {
    unsigned char to[256];
    constexpr ExtFold() : to()
    {
        for (int c = 0; c < 256; c++)
            to[c] = ((c >= 32 && c <= 125) || c >= 161) ? (unsigned char)c : 0;
        to[10] = '|';
        to[138] = '|';
    }
};
static constexpr ExtFold ext_fold;

// The length of s up to its NUL, at most n: four bytes at a time (a word holds a zero byte when
// (v - 0x01010101) & ~v & 0x80808080 is not 0), never reading beyond s[n - 1]. The text may end
// well before n (an extended text the firmware allocated to its length), so the words are read at
// aligned addresses only: the word that holds the NUL lies in the same page as the NUL, and its
// bytes beyond the text are not used. The address sanitizer would report those bytes all the same.
__attribute__((no_sanitize("address"))) static int bounded_length(const unsigned char *s, int n)
{
    int i = 0;
    for (; i < n && ((uintptr_t)(s + i) & 3) != 0; i++) {
        if (s[i] == 0)
            return i;
    }
    for (; i + 4 <= n; i += 4) {
        uint32_t v;
        memcpy(&v, s + i, 4);
        if ((v - 0x01010101u) & ~v & 0x80808080u)
            break;
    }
    while (i < n && s[i] != 0)
        i++;
    return i;
}

char *ConvertByteStr(char *dst, const char *src, int n)
{
    if (dst == NULL || src == NULL)
        return NULL;
    const unsigned char *in = (const unsigned char *)src;
    const unsigned char *end = in + (n > 0 ? bounded_length(in, n) : 0);
    char *out = dst;
    // The byte is stored whatever it becomes and the output moves on only for a kept one.
    for (; in + 4 <= end; in += 4) {
        unsigned char t0 = ext_fold.to[in[0]], t1 = ext_fold.to[in[1]];
        unsigned char t2 = ext_fold.to[in[2]], t3 = ext_fold.to[in[3]];
        *out = (char)t0;
        out += t0 != 0;
        *out = (char)t1;
        out += t1 != 0;
        *out = (char)t2;
        out += t2 != 0;
        *out = (char)t3;
        out += t3 != 0;
    }
    for (; in < end; in++) {
        unsigned char to = ext_fold.to[*in];
        *out = (char)to;
        out += to != 0;
    }
    *out = 0;
    return dst;
}

char *ConvertStr_FileName(char *s)
{
    if (s == NULL)
        return NULL;
    char *out = s;
    for (const char *in = s; *in; in++) {
        unsigned char c = ubyte(*in);
        if (c <= 31 || (c >= 127 && c <= 160))
            continue;
        switch (c) {
        case '"': case '*': case ':': case '<': case '>': case '?': case '|':
            continue;
        case '/': case '\\':
            *out++ = '-';
            break;
        default:
            *out++ = (char)c;
            break;
        }
    }
    *out = 0;
    return s;
}

// --- Replacing characters ---

void ReplaceOneChar(char *s, char newChar, char oldChar, int n)
{
    if (s == NULL)
        return;
    for (int i = 0; i < n && s[i] != 0; i++) {
        if (s[i] == oldChar)
            s[i] = newChar;
    }
}

// The longest tail of text carried over behind a replacement.
enum { REPLACE_TAIL_MAX = 3072 };

char *ReplaceFirstFinding(char *text, const char *pattern, const char *replacement)
{
    if (text == NULL || pattern == NULL || replacement == NULL || pattern[0] == 0)
        return NULL;
    char *found = strstr(text, pattern);
    if (found == NULL)
        return NULL;
    const size_t limit = STRBUF_SIZE - 1;   // characters the buffer holds before its NUL
    size_t pos = (size_t)(found - text);
    if (pos > limit)
        return NULL;                        // the text overran its buffer already: leave it
    size_t patLen = strlen(pattern);
    size_t repLen = strlen(replacement);
    size_t tailLen = strlen(found + patLen);
    if (tailLen > REPLACE_TAIL_MAX)
        tailLen = REPLACE_TAIL_MAX;
    if (repLen > limit - pos)
        repLen = limit - pos;
    if (tailLen > limit - pos - repLen)
        tailLen = limit - pos - repLen;
    memmove(found + repLen, found + patLen, tailLen);   // the tail first: it may move either way
    memcpy(found, replacement, repLen);
    found[repLen + tailLen] = 0;
    return text;
}

// The Nordic UI languages, under which Å, Æ and Ø fold too.
static inline int nordic_language(void)
{
    return language >= 8 && language <= 11;
}

static unsigned char fold_accent(unsigned char c)
{
    switch (c) {
    case 196: case 228: case 224: case 225:    // Ä ä à á
        return 'a';
    case 214: case 246:                        // Ö ö
        return 'o';
    case 220: case 252:                        // Ü ü
        return 'u';
    case 232: case 233:                        // è é
        return 'e';
    case 197: case 229: case 198: case 230:    // Å å Æ æ
        return nordic_language() ? 'a' : c;
    case 216: case 248:                        // Ø ø
        return nordic_language() ? 'o' : c;
    default:
        return c;
    }
}

char *ReplaceStrN(char *dst, const char *src, int n)
{
    if (dst == NULL || src == NULL)
        return NULL;
    int i = 0;
    while (i < n && src[i] != 0) {
        dst[i] = (char)fold_accent(ubyte(src[i]));
        i++;
    }
    dst[i] = 0;
    return dst;
}
