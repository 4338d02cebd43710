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
constexpr unsigned char DecTable[CODED_TABLE_SIZE] =
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
// Coded texts sit at any byte offset and are little-endian on every build: a little-endian machine
// reads and writes them as words at any address, another one assembles their bytes.

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
typedef uint32_t __attribute__((aligned(1), may_alias)) UnalignedWord;

static inline uint32_t get_word(const unsigned char *p) { return *(const UnalignedWord *)p; }

static inline void put_word(unsigned char *p, uint32_t w) { *(UnalignedWord *)p = w; }
#else
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
#endif

static int is_zero_word(const unsigned char *p)
{
    return p[0] == 0 && p[1] == 0 && p[2] == 0 && p[3] == 0;
}

// --- Encoding and decoding ---

// What a byte becomes in a code: its EncTable code; in a firmware's extended text (ext_text) the
// code of what ConvertByteStr makes of it, CODE_DROPPED for a byte that the filter drops.
static constexpr unsigned char code_of(int c, int ext_text)
{
    return !ext_text ? EncTable[c]
                     : ExtTextByte((unsigned)c) == 0 ? (unsigned char)CODE_DROPPED : EncTable[ExtTextByte((unsigned)c)];
}

struct ExtCodes {
    unsigned char code[CODED_TABLE_SIZE];
    constexpr ExtCodes() : code()
    {
        for (int c = 0; c < CODED_TABLE_SIZE; c++)
            code[c] = code_of(c, 1);
    }
};
static constexpr ExtCodes ext_codes;

// Five characters that all have a code become a word at once; the tables for each kind of text.
#if UINTPTR_MAX > 0xFFFFFFFFu
// 64-bit machines add up five table reads: place k's table holds each byte's code times 84^k,
// and for a dropped byte a bit above the word's 32 bits (the codes' sum is at most 84^5 - 1, which
// never carries into it), so one test of the sum finds a dropped byte.
static const uint64_t ENC_SUM_DROPPED = (uint64_t)1 << 32;
struct EncGroups {
    uint64_t place[CODES_PER_WORD][CODED_TABLE_SIZE];
    constexpr explicit EncGroups(int ext_text) : place()
    {
        uint64_t scale = 1;
        for (int k = 0; k < CODES_PER_WORD; k++, scale *= CODE_COUNT) {
            for (int c = 0; c < CODED_TABLE_SIZE; c++) {
                unsigned char code = code_of(c, ext_text);
                place[k][c] = code == CODE_DROPPED ? ENC_SUM_DROPPED : code * scale;
            }
        }
    }
};
#else
// 32-bit machines (64-bit sums cost several instructions there) look up the five codes with the
// dropped bytes as ENC_FAST_DROPPED, a bit no code has, test them for a dropped one at once and
// multiply them into the word.
enum { ENC_FAST_DROPPED = 0x80 };
struct EncGroups {
    unsigned char code[CODED_TABLE_SIZE];
    constexpr explicit EncGroups(int ext_text) : code()
    {
        for (int c = 0; c < CODED_TABLE_SIZE; c++) {
            unsigned char code_c = code_of(c, ext_text);
            code[c] = code_c == CODE_DROPPED ? (unsigned char)ENC_FAST_DROPPED : code_c;
        }
    }
};
#endif
static constexpr EncGroups enc_groups(0);
static constexpr EncGroups enc_groups_ext(1);

// Turns the groups of five bytes from p on into words at *w while all five of a group have a code;
// groups_end lies a whole number of groups beyond p. Returns where it stopped.
static inline const unsigned char *encode_groups(unsigned char **w, const unsigned char *p,
                                                 const unsigned char *groups_end, const EncGroups &t)
{
    unsigned char *out = *w;
    while (p < groups_end) {
#if UINTPTR_MAX > 0xFFFFFFFFu
        uint64_t sum = t.place[0][p[0]] + t.place[1][p[1]] + t.place[2][p[2]] + t.place[3][p[3]] + t.place[4][p[4]];
        if (sum >= ENC_SUM_DROPPED)
            break;
        put_word(out, (uint32_t)sum);
#else
        uint32_t c0 = t.code[p[0]], c1 = t.code[p[1]], c2 = t.code[p[2]], c3 = t.code[p[3]], c4 = t.code[p[4]];
        if ((c0 | c1 | c2 | c3 | c4) & ENC_FAST_DROPPED)
            break;
        put_word(out, c0 + CODE_COUNT * (c1 + CODE_COUNT * (c2 + CODE_COUNT * (c3 + CODE_COUNT * c4))));
#endif
        out += CODED_WORD_BYTES;
        p += CODES_PER_WORD;
    }
    *w = out;
    return p;
}

static uint32_t group_word(const uint32_t *codes)
{
    return codes[0] + CODE_COUNT * (codes[1] + CODE_COUNT * (codes[2] + CODE_COUNT * (codes[3] + CODE_COUNT * codes[4])));
}

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
        const unsigned char *groups_end = p;
        if (n == 0) {
            // The whole groups that both the text and the words left have room for.
            long groups = (long)(text_end - p) / CODES_PER_WORD;
            long room = (long)(words_end - w) / CODED_WORD_BYTES;
            groups_end = p + CODES_PER_WORD * (groups < room ? groups : room);
        }
        p = encode_groups(&w, p, groups_end, enc_groups);
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
            put_word(w, group_word(codes));
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

// The state of an encoding that runs over several pieces: the next word and the codes of an
// unfinished group.
struct EncRun {
    unsigned char *w;
    uint32_t codes[CODES_PER_WORD];
    int n;
};

static void push_code(EncRun *r, uint32_t code)
{
    r->codes[r->n++] = code;
    if (r->n == CODES_PER_WORD) {
        put_word(r->w, group_word(r->codes));
        r->w += CODED_WORD_BYTES;
        r->n = 0;
    }
}

// Codes the bytes [p, end) (codes: byte to code, CODE_DROPPED dropped; groups: the same for whole
// groups). No bound: the caller knows the words fit.
static void encode_piece(EncRun *r, const unsigned char *p, const unsigned char *end, const unsigned char *codes,
                         const EncGroups &groups)
{
    while (p < end) {
        if (r->n == 0)
            p = encode_groups(&r->w, p, p + CODES_PER_WORD * ((end - p) / CODES_PER_WORD), groups);
        // A byte at a time up to the end of the group.
        for (; p < end; p++) {
            uint32_t code = codes[*p];
            if (code == CODE_DROPPED)
                continue;
            push_code(r, code);
            if (r->n == 0) {
                p++;
                break;
            }
        }
    }
}

int EncodeTxtWithExt(void *dst, const char *head, const char *ext, int size)
{
    if (dst == NULL || head == NULL || ext == NULL || size < CODED_WORD_BYTES)
        return -1;
    size_t head_len = strlen(head), ext_len = strlen(ext);
    if ((long)(head_len + 1 + ext_len) > 5L * (size / CODED_WORD_BYTES - 2) + 4)
        return -1;
    const unsigned char *e = (const unsigned char *)ext, *e_end = e + ext_len;
    while (e < e_end && ExtTextByte(*e) == 0)
        e++;
    if (e == e_end)
        return EncodeTxt(dst, head, size);
    // Both pieces fit whole: (head + ext) / 5 words, the last word and the zero word.
    EncRun r = {(unsigned char *)dst, {0, 0, 0, 0, 0}, 0};
    encode_piece(&r, (const unsigned char *)head, (const unsigned char *)head + head_len, EncTable, enc_groups);
    push_code(&r, EncTable[(unsigned char)'|']);
    encode_piece(&r, e, e_end, ext_codes.code, enc_groups_ext);
    uint32_t last_word = 0;
    for (int k = r.n - 1; k >= 0; k--)
        last_word = last_word * CODE_COUNT + r.codes[k];
    put_word(r.w, last_word);
    put_word(r.w + CODED_WORD_BYTES, 0);
    return (int)(r.w + 2 * CODED_WORD_BYTES - (unsigned char *)dst);
}

// Two codes to their two characters: the pair c0 + 84 * c1 gives DecTable[c0], DecTable[c1]. A
// word is three lookups: two pairs and the fifth code.
enum { CODE_PAIRS = CODE_COUNT * CODE_COUNT };
struct DecPairs {
    unsigned char chars[CODE_PAIRS][2];
    constexpr DecPairs() : chars()
    {
        for (int pair = 0; pair < CODE_PAIRS; pair++) {
            chars[pair][0] = DecTable[pair % CODE_COUNT];
            chars[pair][1] = DecTable[pair / CODE_COUNT];
        }
    }
};
static constexpr DecPairs dec_pairs;

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
            uint32_t high = w / CODE_PAIRS;
            uint16_t c01, c23;
            memcpy(&c01, dec_pairs.chars[w % CODE_PAIRS], 2);
            memcpy(&c23, dec_pairs.chars[high % CODE_PAIRS], 2);
            uint32_t code4 = high / CODE_PAIRS;   // at most 86: beyond 83 it counts from 0 again
            unsigned char c4 = DecTable[code4 < CODE_COUNT ? code4 : code4 - CODE_COUNT];
            char *out = dst + pos;
            memcpy(out, &c01, 2);
            memcpy(out + 2, &c23, 2);
            out[4] = (char)c4;
            out[5] = 0;
            // A NUL among the first four characters: a zero byte in the word they make.
            uint32_t four = (uint32_t)c01 | ((uint32_t)c23 << 16);
            if (((four - 0x01010101u) & ~four & 0x80808080u) != 0 || c4 == 0)
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
    // Decoded where it lies: the decoder reads no further than the first word holding the end
    // code, which comes no later than the zero word a copy through _strBuf would stop after,
    // and it reads at most the (DCT_PLAIN_SIZE - 1) / 5 words such a copy would hold.
    DecodeTxt(dctstr, text, DCT_PLAIN_SIZE);
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
