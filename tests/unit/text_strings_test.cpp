// The shared string helpers and character filters (text/strutil.h).
//   Comparisons    first differing position, limits, null, ASCII-only case folding
//   Copies         strxcpy, CopyMem, byte swap, reversal
//   Substrings     str2ofcpy / stroffsetcpy cuts, and the whole string for out-of-range amounts
//   Filters        every byte value through the four filters, limits, in place, random texts
//   Replacing      ReplaceFirstFinding within its buffer, umlaut folding by language
#include <gtest/gtest.h>

#include <limits.h>
#include <stdint.h>
#include <string.h>

#include <memory>
#include <string>

#include "frame/state.h"
#include "settings/settings.h"
#include "text/strutil.h"

namespace {

TEST(TextCompare, ReportsFirstDifferingPositionAndFoldsAsciiOnly)
{
    EXPECT_EQ(strncmp_self("abc", "abd", 10), 3);
    EXPECT_EQ(strncmp_self("abc", "abc", 10), 0);
    EXPECT_EQ(strncmp_self("abc", "abcd", 10), 4);     // the NUL differs from 'd'
    EXPECT_EQ(strncmp_self("abcX", "abcY", 3), 0);     // difference beyond the limit
    EXPECT_EQ(strcmp_self("a\xE4", "a\xE5"), 2);       // high bytes are not negative chars
    EXPECT_EQ(strncmp_self(nullptr, "a", 5), -1);
    EXPECT_EQ(stricmp_self("a", nullptr), -1);

    EXPECT_EQ(stricmp_self("ABC", "abc"), 0);
    EXPECT_NE(stricmp_self("\xC4", "\xE4"), 0);         // Ä and ä stay different
    EXPECT_EQ(stricmp_self("@[", "`{"), 1);             // the neighbours of 'A'..'Z' do not fold
    EXPECT_EQ(strnicmp_self("NEWSx", "newsy", 4), 0);
    EXPECT_EQ(strnicmp_self("NEWSx", "newsy", 5), 5);
}

TEST(TextCopy, CopiesStopAtTheirLimits)
{
    char buf[8];
    memset(buf, 'z', sizeof buf);
    EXPECT_STREQ(strxcpy(buf, "abcdef", 3), "abc");
    EXPECT_EQ(buf[4], 'z');
    memset(buf, 'z', sizeof buf);
    EXPECT_STREQ(strxcpy(buf, "ab", 5), "ab");
    EXPECT_EQ(buf[5], 0);
    EXPECT_EQ(buf[6], 'z');
    EXPECT_EQ(strxcpy(buf, "abc", -1), nullptr);
    EXPECT_EQ(strxcpy(nullptr, "abc", 2), nullptr);

    unsigned char src[4] = {1, 0, 2, 3};
    unsigned char dst[5] = {9, 9, 9, 9, 9};
    EXPECT_EQ(CopyMem(dst, src, 4), dst);
    EXPECT_EQ(memcmp(dst, src, 4), 0);                 // NULs are data here
    EXPECT_EQ(dst[4], 9);
    EXPECT_EQ(CopyMem(nullptr, src, 4), nullptr);

    unsigned char w[4] = {0x00, 0xFE, 0xFF, 0xFF};     // -512 written little-endian
    Convert_TAP_Int(w);
    EXPECT_EQ(memcmp(w, "\xFF\xFF\xFE\x00", 4), 0);      // the same word big-endian
    EXPECT_EQ(CheckPointerRange(nullptr), 1);
    EXPECT_EQ(CheckPointerRange(w), 0);

    char odd[] = "abcde", even[] = "ab\xE4" "c", lower[] = "AbZ\xC4@[";
    EXPECT_STREQ(strrev(odd), "edcba");
    EXPECT_STREQ(strrev(even), "c\xE4" "ba");
    EXPECT_STREQ(strlwr_self(lower), "abz\xC4@[");
}

TEST(TextSubstring, CutsOrKeepsTheWholeStringForOutOfRangeAmounts)
{
    char buf[16];
    EXPECT_STREQ(str2ofcpy(buf, "abcdef", 1, 2), "bcd");
    EXPECT_STREQ(str2ofcpy(buf, "abcdef", 5, 0), "f");
    EXPECT_STREQ(str2ofcpy(buf, "abcdef", 3, 3), "abcdef");
    // Negative or huge amounts would read outside the string: the whole is kept.
    EXPECT_STREQ(str2ofcpy(buf, "abcdef", -2, 1), "abcdef");
    EXPECT_STREQ(str2ofcpy(buf, "abcdef", INT_MAX, INT_MAX), "abcdef");

    EXPECT_STREQ(stroffsetcpy(buf, "abcdef", 2, 3), "cde");
    EXPECT_STREQ(stroffsetcpy(buf, "abcdef", 3, 3), "def");
    EXPECT_STREQ(stroffsetcpy(buf, "abcdef", 4, 3), "abcdef");
    EXPECT_STREQ(stroffsetcpy(buf, "abcdef", -1, 2), "abcdef");
    EXPECT_STREQ(stroffsetcpy(buf, "abcdef", 2, INT_MAX), "abcdef");

    char inplace[] = "  title  ";
    EXPECT_STREQ(str2ofcpy(inplace, inplace, 2, 2), "title");
    EXPECT_EQ(stroffsetcpy(buf, nullptr, 0, 0), nullptr);
}

// --- Filters ---

// What each filter makes of one byte; "" means dropped.
std::string keep_printable(unsigned c)
{
    return ((c >= 32 && c <= 126) || c >= 161) ? std::string(1, (char)c) : std::string();
}

std::string event_text_byte(unsigned c)
{
    if (c == 10 || c == 138)
        return "|";
    return (c == 126) ? std::string() : keep_printable(c);
}

std::string file_name_byte(unsigned c)
{
    if (c == '/' || c == '\\')
        return "-";
    if (c <= 31 || (c >= 127 && c <= 160) || strchr("\"*:<>?|", (int)c) != nullptr)
        return "";
    return std::string(1, (char)c);
}

TEST(TextFilters, EveryByteValueIsKeptReplacedOrDroppedAsListed)
{
    for (unsigned c = 1; c < 256; c++) {
        SCOPED_TRACE(c);
        const char src[4] = {'a', (char)c, 'b', 0};    // a dropped byte shows as "ab"
        char s[4], d[8];
        memcpy(s, src, sizeof s);
        EXPECT_EQ(std::string(ConvertStr(s)), "a" + keep_printable(c) + "b");
        EXPECT_EQ(std::string(CopyConvertXStr(d, src, 3)), "a" + keep_printable(c) + "b");
        EXPECT_EQ(std::string(CopyConvertTitleStr(d, src, 3)),
                  "a" + (c == '|' || c == '~' ? std::string("-") : keep_printable(c)) + "b");
        EXPECT_EQ(std::string(ConvertByteStr(d, src, 3)), "a" + event_text_byte(c) + "b");
        memcpy(s, src, sizeof s);
        EXPECT_EQ(std::string(ConvertStr_FileName(s)), "a" + file_name_byte(c) + "b");
    }
}

TEST(TextFilters, CopiesStopAfterNSourceBytesAndWorkInPlace)
{
    char d[16];
    EXPECT_STREQ(ConvertByteStr(d, "a\nb~c", 5), "a|bc");
    EXPECT_STREQ(ConvertByteStr(d, "a\x01" "bcdef", 4), "abc");
    EXPECT_STREQ(CopyConvertXStr(d, "a\x7F" "bcdef", 4), "abc");
    EXPECT_STREQ(CopyConvertXStr(d, "ab", 10), "ab");
    // Titles: the same bytes kept, the separators of the event text folded, never dropped.
    EXPECT_STREQ(CopyConvertTitleStr(d, "A | B ~ C\x01\xE4\x7F", 20), "A - B - C\xE4");
    EXPECT_STREQ(CopyConvertTitleStr(d, "a|bcdef", 3), "a-b");
    char inplace[] = "\x01L\ni\x8An\x05" "e~";
    EXPECT_STREQ(ConvertByteStr(inplace, inplace, 20), "L|i|ne");
    EXPECT_EQ(ConvertByteStr(nullptr, "a", 1), nullptr);

    char name[] = "a/b:c?";
    EXPECT_STREQ(ConvertStr_FileName(name), "a-bc");
    char s[] = "a_b_c_d";
    ReplaceOneChar(s, ' ', '_', 4);
    EXPECT_STREQ(s, "a b c_d");
}

// The filters copy whole words of text that stays as it is: on random texts of every byte, at any
// alignment, with any limit, and in place, they give what the tables give a byte at a time.
TEST(TextFilters, WordAtATimeFiltersGiveTheBytesOfTheByteByByteRules)
{
    uint32_t seed = 11;
    auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    for (int round = 0; round < 4000; round++) {
        int length = (int)(next() % 70);
        std::string text;
        for (int i = 0; i < length; i++) {
            unsigned r = next();
            // Mostly plain letters, some accented ones, now and then any byte but the NUL.
            text += r % 5 == 0 ? (char)(1 + r % 255) : r % 11 == 0 ? (char)(0xE0 + r % 30) : (char)('a' + r % 26);
        }
        int n = (int)(next() % (length + 6));
        std::string ext, title;
        for (int i = 0; i < n && i < length; i++) {
            unsigned c = (unsigned char)text[i];
            ext += event_text_byte(c);
            title += c == '|' || c == '~' ? std::string("-") : keep_printable(c);
        }
        SCOPED_TRACE(round);
        char source[96], d[96];
        int offset = (int)(next() % 8);
        memcpy(source + offset, text.c_str(), text.size() + 1);
        EXPECT_EQ(std::string(ConvertByteStr(d + offset / 2, source + offset, n)), ext);
        EXPECT_EQ(ConvertByteStrEnd(d + offset / 2, source + offset, n), d + offset / 2 + ext.size());
        EXPECT_EQ(std::string(CopyConvertTitleStr(d + offset / 2, source + offset, n)), title);
        EXPECT_EQ(std::string(ConvertByteStr(source + offset, source + offset, n)), ext);
        memcpy(source + offset, text.c_str(), text.size() + 1);
        EXPECT_EQ(std::string(CopyConvertTitleStr(source + offset, source + offset, n)), title);
    }
}

// A text that ends well before the limit, in a block of exactly its length (as the firmware
// hands over an extended text): the filter reads nothing beyond the block, wherever it starts.
// The sanitized build reports a read past it.
TEST(TextFilters, ATextEndingBeforeTheLimitIsNotReadBeyondItsBlock)
{
    const std::string text = "News at ten\nand the weather";
    for (size_t len = 0; len <= text.size(); ++len) {
        for (size_t shift = 0; shift < 4; ++shift) {
            std::unique_ptr<char[]> block(new char[shift + len + 1]);
            char *src = block.get() + shift;
            memcpy(src, text.data(), len);
            src[len] = 0;
            char d[64];
            std::string want = text.substr(0, len);
            for (char &c : want)
                c = c == '\n' ? '|' : c;
            EXPECT_EQ(std::string(ConvertByteStr(d, src, 500)), want) << len << " " << shift;
        }
    }
}

// --- Replacing ---

TEST(TextReplace, ReplaceFirstFindingReplacesOnlyTheFirst)
{
    char text[STRBUF_SIZE] = "Title ~ short ~ more|long";
    EXPECT_EQ(ReplaceFirstFinding(text, " ~ ", "_~ ++"), text);
    EXPECT_STREQ(text, "Title_~ ++short ~ more|long");
    EXPECT_EQ(ReplaceFirstFinding(text, "Title_~ ++", ""), text);
    EXPECT_STREQ(text, "short ~ more|long");
    EXPECT_EQ(ReplaceFirstFinding(text, "absent", "x"), nullptr);
    EXPECT_EQ(ReplaceFirstFinding(text, "", "x"), nullptr);
    EXPECT_EQ(ReplaceFirstFinding(text, "short", nullptr), nullptr);
    EXPECT_STREQ(text, "short ~ more|long");
}

TEST(TextReplace, ReplaceFirstFindingNeverWritesBeyondItsBuffer)
{
    struct {
        char text[STRBUF_SIZE];
        char canary[16];
    } area;
    memset(area.canary, 0x5A, sizeof area.canary);
    std::string longer(40, 'R');
    std::string huge(STRBUF_SIZE, 'R');
    // A full buffer: the pattern near the start, then right at the end.
    for (int at : {10, STRBUF_SIZE - 4}) {
        SCOPED_TRACE(at);
        memset(area.text, 'x', STRBUF_SIZE - 1);
        area.text[STRBUF_SIZE - 1] = 0;
        memcpy(area.text + at, "~~~", 3);
        const std::string &with = at == 10 ? longer : huge;
        EXPECT_EQ(ReplaceFirstFinding(area.text, "~~~", with.c_str()), area.text);
        EXPECT_EQ(strlen(area.text), (size_t)STRBUF_SIZE - 1);
        EXPECT_EQ(area.text[at], 'R');
        EXPECT_EQ(area.text[at == 10 ? 50 : STRBUF_SIZE - 2], at == 10 ? 'x' : 'R');
        for (char c : area.canary)
            EXPECT_EQ(c, 0x5A);
    }
}

TEST(TextReplace, ReplaceStrNFoldsAccentsByLanguage)
{
    language = 2;
    char dst[16];
    memset(dst, '#', sizeof dst);
    EXPECT_STREQ(ReplaceStrN(dst, "M\xDCNCHEN \xE9t\xE9", 6), "MuNCHE");   // ASCII case stays
    EXPECT_EQ(dst[7], '#');
    EXPECT_STREQ(ReplaceStrN(dst, "\xC4\xE4\xE0\xE1\xD6\xF6\xDC\xFC\xE8\xE9", 99), "aaaaoouuee");
    const char *nordic = "\xC5\xE5\xC6\xE6\xD8\xF8\xC0";          // À never folds
    EXPECT_STREQ(ReplaceStrN(dst, nordic, 99), nordic);
    for (int lang : {8, 11}) {
        language = lang;
        EXPECT_STREQ(ReplaceStrN(dst, nordic, 99), "aaaaoo\xC0");
    }
    language = 12;
    EXPECT_STREQ(ReplaceStrN(dst, nordic, 99), nordic);
    EXPECT_STREQ(ReplaceStrN(dst, "K\xF6ln", -1), "");
}

}  // namespace
