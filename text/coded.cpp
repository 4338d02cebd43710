// Owner of the coding tables and of dctstr (see coded.h): the encoder, the decoder, the length
// and copy of a stored text, and DCT. Reads settings.compress_text (settings/settings.h) at every
// call and borrows _strBuf (frame/state.h) inside DCT.
#include "text/coded.h"

#include <stdint.h>
#include <string.h>

#include "settings/settings.h"
#include "text/strutil.h"

enum { CODED_WORD_BYTES = 4, CODES_PER_WORD = 5 };

// Code to character. The string fills codes 0..83 (code 0 is its leading NUL); the rest stay 0.
const unsigned char DecTable[CODED_TABLE_SIZE] =
    "\0 "                                   //  0 end,  1 space
    "0123456789"                            //  2..11
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ"            // 12..37
    "abcdefghijklmnopqrstuvwxyz"            // 38..63
    ",.:!?-'\"&/()"                         // 64..75
    "\xC4\xDC\xE4\xF6\xFC\xDF"              // 76..81  Ä Ü ä ö ü ß
    "|~";                                   // 82, 83  the separators of the event text

// Latin-1 byte to code, one row per 16 bytes; 100 (CODE_DROPPED) has no code.
constexpr unsigned char EncTable[CODED_TABLE_SIZE] = {
      0, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100,   //   0..15
    100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100,   //  16..31
      1,  67,  71, 100,  68,  68,  72,  70,  74,  75,  65,  72,  64,  69,  65,  73,   //  32..47
      2,   3,   4,   5,   6,   7,   8,   9,  10,  11,  66,  64,   1,   1,   1,  68,   //  48..63
    100,  12,  13,  14,  15,  16,  17,  18,  19,  20,  21,  22,  23,  24,  25,  26,   //  64..79
     27,  28,  29,  30,  31,  32,  33,  34,  35,  36,  37,  74,  73,  75,  70,  69,   //  80..95
     70,  38,  39,  40,  41,  42,  43,  44,  45,  46,  47,  48,  49,  50,  51,  52,   //  96..111
     53,  54,  55,  56,  57,  58,  59,  60,  61,  62,  63,  74,  82,  75,  83, 100,   // 112..127
    100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100,   // 128..143
    100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100,   // 144..159
    100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100,  69, 100, 100,   // 160..175
     70, 100,   4,   5,  70, 100, 100,  65,  64, 100,  70, 100, 100, 100, 100, 100,   // 176..191
     12,  12,  12,  12,  76,  12, 100,  14,  16,  16,  16,  16,  20,  20,  20,  20,   // 192..207
     18,  25,  26,  26,  26,  26,  79,  61, 100,  32,  32,  32,  77,  20,  30,  81,   // 208..223
     38,  38,  38,  38,  78,  38, 100,  40,  42,  42,  42,  42,  46,  46,  46,  46,   // 224..239
     44,  51,  52,  52,  52,  52,  79,  73, 100,  58,  58,  58,  80,  46,  56,  62,   // 240..255
};

char dctstr[STRBUF_SIZE];

// --- Words ---
// Coded texts sit at any byte offset and are little-endian on every build: bytes are assembled.

static uint32_t get_word(const unsigned char *p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

static void put_word(unsigned char *p, uint32_t w)
{
    p[0] = (unsigned char)w;
    p[1] = (unsigned char)(w >> 8);
    p[2] = (unsigned char)(w >> 16);
    p[3] = (unsigned char)(w >> 24);
}

static int is_zero_word(const unsigned char *p)
{
    return p[0] == 0 && p[1] == 0 && p[2] == 0 && p[3] == 0;
}

// --- Encoding and decoding ---

// EncTable with the dropped bytes as ENC_FAST_DROPPED, a bit no code has: five codes are tested
// for a dropped one with a single test.
enum { ENC_FAST_DROPPED = 0x80 };
struct EncFast {
    unsigned char code[CODED_TABLE_SIZE];
    constexpr EncFast() : code()
    {
        for (int c = 0; c < CODED_TABLE_SIZE; c++)
            code[c] = EncTable[c] == CODE_DROPPED ? (unsigned char)ENC_FAST_DROPPED : EncTable[c];
    }
};
static constexpr EncFast enc_fast;

int EncodeTxt(void *dst, const char *src, int size)
{
    if (dst == NULL || src == NULL || size < CODED_WORD_BYTES)
        return 0;
    unsigned char *out = (unsigned char *)dst;
    const unsigned char *in = (const unsigned char *)src;
    long long len = (long long)strlen(src);
    // The last source position read: the NUL when the text fits, else as far as size allows.
    long long last = len;
    if (size < (4 * len) / 5 + 4)
        last = (5LL * size - 20) / 4;
    // The fit test above is approximate, so the words are counted as well: one word always stays
    // free for the zero word, and a group that finds no room is dropped.
    unsigned char *words_end = out + (size / CODED_WORD_BYTES - 1) * CODED_WORD_BYTES;
    unsigned char *w = out;
    // The characters before the NUL (only the NUL has code 0): five codes make a word. Encoding
    // in place is safe: the word written never reaches a byte not yet read.
    const unsigned char *text_end = in + (last < len ? last + 1 : len);
    uint32_t codes[CODES_PER_WORD] = {0, 0, 0, 0, 0};
    int n = 0;
    const unsigned char *p = in;
    int full = 0;   // no room left for another word
    while (p < text_end && !full) {
        // Five characters that all have a code make a word at once (the common case); a group
        // with a dropped character goes the long way, a character at a time.
        while (n == 0 && p + CODES_PER_WORD <= text_end && w < words_end) {
            uint32_t c0 = enc_fast.code[p[0]], c1 = enc_fast.code[p[1]], c2 = enc_fast.code[p[2]];
            uint32_t c3 = enc_fast.code[p[3]], c4 = enc_fast.code[p[4]];
            if ((c0 | c1 | c2 | c3 | c4) & ENC_FAST_DROPPED)
                break;
            put_word(w, c0 + CODE_COUNT * (c1 + CODE_COUNT * (c2 + CODE_COUNT * (c3 + CODE_COUNT * c4))));
            w += CODED_WORD_BYTES;
            p += CODES_PER_WORD;
        }
        for (; p < text_end; p++) {
            uint32_t code = EncTable[*p];
            if (code == CODE_DROPPED)
                continue;
            codes[n++] = code;
            if (n < CODES_PER_WORD)
                continue;
            p++;
            if (w >= words_end) {
                full = 1;
                break;
            }
            put_word(w, codes[0] + CODE_COUNT * (codes[1] + CODE_COUNT * (codes[2] + CODE_COUNT * (codes[3] +
                                                                                              CODE_COUNT * codes[4]))));
            w += CODED_WORD_BYTES;
            n = 0;
            break;
        }
    }
    // The NUL read ends the text: the codes left over and the end code make the last word (a word
    // of the end code alone when none are left).
    if (last >= len && n < CODES_PER_WORD && w < words_end) {
        uint32_t last_word = 0;
        for (int k = n - 1; k >= 0; k--)
            last_word = last_word * CODE_COUNT + codes[k];
        put_word(w, last_word);
        w += CODED_WORD_BYTES;
    }
    // An incomplete group left at a cut is dropped; the zero word ends every text.
    put_word(w, 0);
    w += CODED_WORD_BYTES;
    return (int)(w - out);
}

void DecodeTxt(char *dst, const void *src, int size)
{
    if (dst == NULL || size <= 0)
        return;
    dst[0] = 0;
    if (src != NULL && size > CODES_PER_WORD) {
        const unsigned char *in = (const unsigned char *)src;
        // Five characters and a NUL per word, all below dst[size - 1].
        for (int pos = 0; pos < size - CODES_PER_WORD; pos += CODES_PER_WORD) {
            uint32_t w = get_word(in);
            in += CODED_WORD_BYTES;
            int ended = 0;
            for (int k = 0; k < CODES_PER_WORD; k++) {
                unsigned char c = DecTable[w % CODE_COUNT];
                w /= CODE_COUNT;
                dst[pos + k] = (char)c;
                if (c == 0)
                    ended = 1;
            }
            dst[pos + CODES_PER_WORD] = 0;
            if (ended)
                break;
        }
    }
    dst[size - 1] = 0;
}

int StrCodedLen(const void *data, int limit)
{
    if (data == NULL || limit <= 0)
        return 0;
    const unsigned char *p = (const unsigned char *)data;
    for (int off = 0; off <= limit - CODED_WORD_BYTES; off += CODED_WORD_BYTES) {
        if (is_zero_word(p + off))
            return off + CODED_WORD_BYTES;
    }
    return limit;
}

void CopyCodedStr(void *dst, const void *src, int size)
{
    if (dst == NULL || src == NULL || size <= 0)
        return;
    unsigned char *d = (unsigned char *)dst;
    const unsigned char *s = (const unsigned char *)src;
    if (settings.compress_text != 1) {
        int i = 0;
        while (i < size - 1 && s[i] != 0) {
            d[i] = s[i];
            i++;
        }
        d[i] = 0;
        d[size - 1] = 0;
        return;
    }
    if (size < CODED_WORD_BYTES) {
        memset(d, 0, (size_t)size);
        return;
    }
    for (int off = 0; off < size - CODED_WORD_BYTES; off += CODED_WORD_BYTES) {
        for (int k = 0; k < CODED_WORD_BYTES; k++)
            d[off + k] = s[off + k];
        if (is_zero_word(d + off))
            break;
    }
    memset(d + size - CODED_WORD_BYTES, 0, CODED_WORD_BYTES);
}

// --- Reading stored texts ---

const char *DCT(const char *text)
{
    if (CheckPointerRange(text))
        return "";
    if (settings.compress_text != 1)
        return text;
    CopyCodedStr(_strBuf, text, DCT_CODED_SIZE);
    DecodeTxt(dctstr, _strBuf, DCT_PLAIN_SIZE);
    _strBuf[0] = 0;
    return dctstr;
}

char *UseDecTable(char *dst, const char *src)
{
    if (dst == NULL || src == NULL)
        return NULL;
    int out = 0;
    for (int i = 0; src[i] != 0; i++) {
        unsigned char c = (unsigned char)src[i];
        if (c == '_') {                 // kept for search terms, though the code turns it into '-'
            dst[out++] = '_';
            continue;
        }
        unsigned char code = EncTable[c];
        if (code != CODE_DROPPED)
            dst[out++] = (char)DecTable[code];
    }
    dst[out] = 0;
    return dst;
}
