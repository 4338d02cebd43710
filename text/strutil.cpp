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
    // The NUL is copied with the bytes before it; four bytes a turn, each looked at in order.
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        if ((dst[i] = src[i]) == 0 || (dst[i + 1] = src[i + 1]) == 0 || (dst[i + 2] = src[i + 2]) == 0 ||
            (dst[i + 3] = src[i + 3]) == 0)
            break;
    }
    for (; i < n && (dst[i] = src[i]) != 0; i++) {
    }
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

// --- Filtering by table, a word at a time ---
// The filters of firmware texts run over every title and long text of a fill: a table says what
// each byte becomes (0: dropped), and words whose bytes all stay as they are, nearly all of a
// text, are copied whole.

// What a title byte becomes: printable bytes kept, the layout's separators '|' and '~' as '-'.
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

// What a byte of an extended text becomes: printable bytes but '~' kept, '|' for a line break.
struct ExtFold {
    unsigned char to[256];
    constexpr ExtFold() : to()
    {
        for (int c = 0; c < 256; c++)
            to[c] = ExtTextByte((unsigned)c);
    }
};
static constexpr ExtFold ext_fold;

// Machine words of bytes (8 on the PC, 4 on the receiver) and the bit tricks that test all their
// bytes at once.
typedef unsigned long ByteWord;
static const ByteWord BYTES_ONES = (ByteWord)-1 / 255;          // 0x01 in every byte
static const ByteWord BYTES_HIGHS = BYTES_ONES * 0x80;          // 0x80 in every byte
// A word read or written at any byte address (what memcpy of a word does, without the copy through
// memory that some compilers make of it).
typedef ByteWord __attribute__((aligned(1), may_alias)) UnalignedByteWord;

// The bytes of v that do not lie in 32..125 or 161..255 (plain text with its accented letters),
// and with bar_too the '|' too, have their high bit set in the result. A byte below 32 borrows
// when 32 is taken off; the bytes 126..160 become 0..34 when 130 is added (per byte, without
// carries) and borrow when 35 is taken off; a '|' becomes 0 by an exclusive or and borrows when 1
// is taken off. A byte next to one that borrows may borrow too: a word may be marked without
// need, never left unmarked wrongly.
static inline ByteWord bars_of(ByteWord v, int bar_too)
{
    ByteWord bars = v ^ (BYTES_ONES * '|');
    return bar_too ? (bars - BYTES_ONES) & ~bars : 0;
}

static inline ByteWord odd_bytes(ByteWord v, int bar_too)
{
    ByteWord low = (v - BYTES_ONES * 32) & ~v;
    ByteWord shifted = ((v & ~BYTES_HIGHS) + BYTES_ONES * 2) ^ (~v & BYTES_HIGHS);   // each byte + 130
    return (low | ((shifted - BYTES_ONES * 35) & ~shifted) | bars_of(v, bar_too)) & BYTES_HIGHS;
}

// The shorter test that most words pass: marks as odd_bytes does, and besides every byte of 128
// and above. A byte below 32 borrows as before, and 126 and 127 reach the high bit when 2 is added
// (a byte that carries is itself 128 or above, and marked).
static inline ByteWord odd_or_high_bytes(ByteWord v, int bar_too)
{
    return ((v - BYTES_ONES * 32) | (v + BYTES_ONES * 2) | v | bars_of(v, bar_too)) & BYTES_HIGHS;
}

// Stores what the table makes of the four bytes at in; returns the output's new end. Each byte is
// stored whatever it becomes; the output moves on only for a kept one.
static inline char *filter_four(char *out, const unsigned char *in, const unsigned char *table)
{
    unsigned char t0 = table[in[0]], t1 = table[in[1]], t2 = table[in[2]], t3 = table[in[3]];
    *out = (char)t0;
    out += t0 != 0;
    *out = (char)t1;
    out += t1 != 0;
    *out = (char)t2;
    out += t2 != 0;
    *out = (char)t3;
    out += t3 != 0;
    return out;
}

// Copies at most n bytes of the string src, or up to its NUL, into dst through the table and
// terminates dst; returns where the NUL went. The table must keep as they are all bytes that odd_bytes(.., bar_too) leaves
// unmarked. The string's end is found first (the C library's strlen reads no byte beyond it), so
// that whole words are read only within the string. A word with no byte marked is copied whole;
// otherwise its bytes go through the table. In place the output never overtakes the input: a word
// is read before it is written. Always inlined, so that bar_too is a constant in each filter.
static inline __attribute__((always_inline)) char *filter_bytes(char *dst, const char *src, int n,
                                                                const unsigned char *table, int bar_too)
{
    const unsigned char *in = (const unsigned char *)src;
    size_t length = n > 0 ? strlen(src) : 0;
    if (length > (size_t)n)
        length = (size_t)n;
    const unsigned char *end = in + length;
    char *out = dst;
    for (; in + sizeof(ByteWord) <= end; in += sizeof(ByteWord)) {
        ByteWord v = *(const UnalignedByteWord *)in;
        if (__builtin_expect(odd_or_high_bytes(v, bar_too) == 0, 1) || odd_bytes(v, bar_too) == 0) {
            *(UnalignedByteWord *)out = v;
            out += sizeof v;
            continue;
        }
        for (unsigned k = 0; k < sizeof v; k += 4)
            out = filter_four(out, in + k, table);
    }
    for (; in < end; in++) {
        unsigned char to = table[*in];
        *out = (char)to;
        out += to != 0;
    }
    *out = 0;
    return out;
}

char *CopyConvertTitleStr(char *dst, const char *src, int n)
{
    if (dst == NULL || src == NULL)
        return NULL;
    filter_bytes(dst, src, n, title_fold.to, 1);
    return dst;
}

char *ConvertByteStr(char *dst, const char *src, int n)
{
    if (dst == NULL || src == NULL)
        return NULL;
    filter_bytes(dst, src, n, ext_fold.to, 0);
    return dst;
}

char *ConvertByteStrEnd(char *dst, const char *src, int n)
{
    if (dst == NULL || src == NULL)
        return NULL;
    return filter_bytes(dst, src, n, ext_fold.to, 0);
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

void FoldLowerTable(unsigned char table[256])
{
    if (table == NULL)
        return;
    for (int c = 0; c < 256; c++)
        table[c] = fold_ascii_upper(fold_accent((unsigned char)c));
}
