// Folding UTF-8 guide texts into Latin-1 (see latin1_fold.h).
#include "receiver/latin1_fold.h"

#include <cstring>

namespace rx {

namespace {

// Latin Extended-A, U+0100..U+017F, by base letter; '*' marks the ligatures handled apart.
const char kExtendedA[] =
    "AaAaAaCcCcCcCcDd"   // 0100
    "DdEeEeEeEeEeGgGg"   // 0110
    "GgGgHhHhIiIiIiIi"   // 0120
    "Ii**JjKkkLlLlLlL"   // 0130
    "lLlNnNnNnnNnOoOo"   // 0140
    "Oo**RrRrRrSsSsSs"   // 0150
    "SsTtTtTtUuUuUuUu"   // 0160
    "UuUuWwYyYZzZzZzs";  // 0170
static_assert(sizeof kExtendedA == 129, "one letter for each of U+0100..U+017F");

// Cyrillic capitals U+0410..U+042F spelled in Latin letters; the small letters follow them.
const char *const kCyrillic[32] = {"A",  "B", "V", "G",  "D",  "E",    "Zh", "Z",  "I",  "J", "K",
                                   "L",  "M", "N", "O",  "P",  "R",    "S",  "T",  "U",  "F", "Kh",
                                   "Ts", "Ch", "Sh", "Shch", "", "Y", "", "E", "Yu", "Ya"};

struct Single {
    unsigned cp;
    const char *latin1;
};

// Other characters with a plain Latin-1 form (sorted by code point).
const Single kSingles[] = {
    {0x0192, "f"},   {0x01CD, "A"},   {0x01CE, "a"},   {0x01CF, "I"},   {0x01D0, "i"},   {0x01D1, "O"},
    {0x01D2, "o"},   {0x01D3, "U"},   {0x01D4, "u"},   {0x0218, "S"},   {0x0219, "s"},   {0x021A, "T"},
    {0x021B, "t"},   {0x02B9, "'"},   {0x02BB, "'"},   {0x02BC, "'"},   {0x02C6, "^"},   {0x02C8, "'"},
    {0x02DC, "~"},   {0x0401, "E"},   {0x0404, "Ye"},  {0x0406, "I"},   {0x0407, "Yi"},  {0x0408, "J"},
    {0x0451, "e"},   {0x0454, "ye"},  {0x0456, "i"},   {0x0457, "yi"},  {0x0458, "j"},   {0x1E9E, "SS"},
    {0x2010, "-"},   {0x2011, "-"},   {0x2012, "-"},   {0x2013, "-"},   {0x2014, "-"},   {0x2015, "-"},
    {0x2018, "'"},   {0x2019, "'"},   {0x201A, "'"},   {0x201B, "'"},   {0x201C, "\""},  {0x201D, "\""},
    {0x201E, "\""},  {0x201F, "\""},  {0x2022, "\xB7"}, {0x2024, "."},  {0x2025, ".."},  {0x2026, "..."},
    {0x2027, "-"},   {0x2032, "'"},   {0x2033, "\""},  {0x2039, "<"},   {0x203A, ">"},   {0x2044, "/"},
    {0x20AC, "EUR"}, {0x2116, "No."}, {0x2122, "TM"},  {0x2190, "<-"},  {0x2192, "->"},  {0x2212, "-"},
    {0x2215, "/"},   {0x2219, "\xB7"}, {0x2264, "<="}, {0x2265, ">="},  {0x2605, "*"},   {0x2606, "*"},
    {0xFF01, "!"},   {0xFF0C, ","},   {0xFF1A, ":"},   {0xFF1F, "?"},
};

// Combining accents U+0300.. that Latin-1 letters carry, and the letters with them.
struct Composed {
    unsigned mark;
    const char *bases;     // ASCII letters
    const char *composed;  // the Latin-1 letters, one for each base
};
const Composed kComposed[] = {
    {0x0300, "AEIOUaeiou", "\xC0\xC8\xCC\xD2\xD9\xE0\xE8\xEC\xF2\xF9"},
    {0x0301, "AEIOUYaeiouy", "\xC1\xC9\xCD\xD3\xDA\xDD\xE1\xE9\xED\xF3\xFA\xFD"},
    {0x0302, "AEIOUaeiou", "\xC2\xCA\xCE\xD4\xDB\xE2\xEA\xEE\xF4\xFB"},
    {0x0303, "ANOano", "\xC3\xD1\xD5\xE3\xF1\xF5"},
    {0x0308, "AEIOUaeiouy", "\xC4\xCB\xCF\xD6\xDC\xE4\xEB\xEF\xF6\xFC\xFF"},
    {0x030A, "Aa", "\xC5\xE5"},
    {0x0327, "Cc", "\xC7\xE7"},
};

bool isSpace(unsigned cp) {
    return cp == ' ' || cp == '\t' || cp == 0xA0 || (cp >= 0x2000 && cp <= 0x200A) || cp == 0x202F ||
           cp == 0x205F || cp == 0x3000;
}

bool isLineBreak(unsigned cp) { return cp == '\n' || cp == 0x2028 || cp == 0x2029 || cp == 0x0B || cp == 0x0C; }

// Invisible characters that leave nothing behind (not counted as lost text).
bool isInvisible(unsigned cp) {
    return cp == '\r' || cp == 0xAD || (cp >= 0x200B && cp <= 0x200F) || (cp >= 0x2060 && cp <= 0x2064) ||
           cp == 0xFEFF || (cp >= 0xFE00 && cp <= 0xFE0F);
}

// Symbols, pictographs and punctuation of other scripts: left out when they have no near form
// (a letter without one becomes a placeholder instead).
bool isSymbol(unsigned cp) {
    return (cp >= 0x2000 && cp <= 0x2BFF) || (cp >= 0x3000 && cp <= 0x303F) || (cp >= 0xE000 && cp <= 0xF8FF) ||
           (cp >= 0x1F000 && cp <= 0x1FAFF);
}

// Reads one code point at i (advancing i); a byte that does not start valid UTF-8 is taken as
// Latin-1.
unsigned nextCodePoint(std::string_view s, size_t &i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t extra = c >= 0xF0 && c < 0xF5 ? 3 : c >= 0xE0 && c < 0xF0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : 0;
    if (extra == 0 || i + extra >= s.size()) {
        ++i;
        return c;
    }
    unsigned cp = c & (0x3Fu >> extra);
    for (size_t k = 1; k <= extra; ++k) {
        unsigned char cc = static_cast<unsigned char>(s[i + k]);
        if ((cc & 0xC0) != 0x80) {
            ++i;
            return c;
        }
        cp = (cp << 6) | (cc & 0x3Fu);
    }
    i += extra + 1;
    return cp;
}

// The folded text built as it is read, tidied on the way: runs of spaces become one space, lines
// are trimmed, and line breaks are kept (at most one empty line in a row, none at the ends) or
// joined by spaces. One pass, no copy of the text between the steps.
class Tidy {
public:
    Tidy(size_t expected, bool keepLineBreaks) : keep_(keepLineBreaks) { out_.reserve(expected); }

    void space() {
        pendingSpace_ = lineHasText_;
        last_ = ' ';
    }
    void lineBreak() {
        emptyRun_ = lineHasText_ ? 0 : emptyRun_ + 1;
        lineHasText_ = false;
        pendingSpace_ = false;
        last_ = '\n';
    }
    void put(char c) {
        if (!lineHasText_) {
            if (!out_.empty())
                out_ += keep_ ? (emptyRun_ > 0 ? "\n\n" : "\n") : " ";
            lineHasText_ = true;
        } else if (pendingSpace_) {
            out_ += ' ';
        }
        pendingSpace_ = false;
        out_ += c;
        last_ = c;
    }
    void put(const std::string &text) {
        for (char c : text)
            c == ' ' ? space() : put(c);
    }
    // Composes a combining accent with the letter just put; false when Latin-1 has no such letter
    // (or no letter stands before it).
    bool compose(unsigned mark) {
        if (last_ == ' ' || last_ == '\n' || last_ == '\0')
            return false;
        for (const Composed &c : kComposed) {
            if (c.mark != mark)
                continue;
            const char *at = std::strchr(c.bases, last_);
            if (!at)
                return false;
            last_ = c.composed[at - c.bases];
            out_.back() = last_;
            return true;
        }
        return false;
    }
    std::string take() { return std::move(out_); }

private:
    bool keep_;
    std::string out_;
    bool lineHasText_ = false;   // the current line has text in out_
    bool pendingSpace_ = false;  // a space is due before the line's next character
    int emptyRun_ = 0;           // empty lines since the last line with text
    char last_ = '\0';          // the last character read into the text ('\0' none yet)
};

}  // namespace

std::string foldCodePoint(unsigned cp) {
    if (cp >= 0x100 && cp <= 0x17F) {
        if (cp == 0x132)
            return "IJ";
        if (cp == 0x133)
            return "ij";
        if (cp == 0x152)
            return "OE";
        if (cp == 0x153)
            return "oe";
        return std::string(1, kExtendedA[cp - 0x100]);
    }
    if (cp >= 0x410 && cp <= 0x42F)
        return kCyrillic[cp - 0x410];
    if (cp >= 0x430 && cp <= 0x44F) {
        std::string s = kCyrillic[cp - 0x430];
        for (char &c : s)
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        return s;
    }
    size_t lo = 0, hi = sizeof kSingles / sizeof kSingles[0];
    while (lo < hi) {
        size_t mid = (lo + hi) / 2;
        if (kSingles[mid].cp < cp)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo < sizeof kSingles / sizeof kSingles[0] && kSingles[lo].cp == cp)
        return kSingles[lo].latin1;
    return "";
}

std::string foldToLatin1(std::string_view utf8, bool keepLineBreaks, FoldCounts *counts) {
    FoldCounts n;
    Tidy out(utf8.size(), keepLineBreaks);
    size_t i = 0;
    while (i < utf8.size()) {
        unsigned char b = static_cast<unsigned char>(utf8[i]);
        // Printable ASCII, most of any guide, goes straight through.
        if (b > 0x20 && b < 0x7F) {
            out.put(static_cast<char>(b));
            ++i;
            continue;
        }
        unsigned cp = nextCodePoint(utf8, i);
        if (isLineBreak(cp)) {
            out.lineBreak();
        } else if (isSpace(cp)) {
            out.space();
        } else if (isInvisible(cp)) {
            // nothing to show
        } else if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0)) {
            ++n.dropped;
        } else if (cp < 0x100) {
            out.put(static_cast<char>(cp));
        } else if (cp >= 0x300 && cp <= 0x36F) {
            if (out.compose(cp))
                ++n.folded;  // else the accent goes: the base letter stands for the whole
        } else {
            std::string f = foldCodePoint(cp);
            if (!f.empty()) {
                ++n.folded;
                out.put(f);
            } else if (isSymbol(cp)) {
                ++n.dropped;
            } else {
                ++n.placeholders;
                out.put('?');
            }
        }
    }
    if (counts) {
        counts->folded += n.folded;
        counts->dropped += n.dropped;
        counts->placeholders += n.placeholders;
    }
    out.lineBreak();
    return out.take();
}

bool isPrintableLatin1(std::string_view text) {
    for (unsigned char c : text) {
        bool ok = c == '\n' || (c >= 0x20 && c <= 0x7E) || (c >= 0xA1 && c != 0xAD);
        if (!ok)
            return false;
    }
    return true;
}

}  // namespace rx
