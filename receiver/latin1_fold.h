// Guide texts for a Latin-1 receiver: UTF-8 text folded into Latin-1 bytes the plug-in can show.
// Characters outside Latin-1 become their nearest Latin-1 form where that is plain (typographic
// quotes to ASCII quotes, dashes to '-', the ellipsis to "...", letters with other accents to
// their base letter, a letter followed by a combining accent to the accented letter when Latin-1
// has it, Cyrillic spelled out in Latin letters). A letter of another script without such a form
// becomes the placeholder '?', so a Greek or Japanese title never comes out empty; symbols and
// pictographs without a near form, and control characters, are dropped. White space is tidied,
// line breaks are kept where asked.
// Example:
//   rx::FoldCounts n;
//   std::string l1 = rx::foldToLatin1("\xE2\x80\x9EKrimi\xE2\x80\x9C \xE2\x80\x93 \xC4\x8Ce\xC5\xA1ka", false, &n);
//   // l1 == "\"Krimi\" - Ceska", n.folded == 5
#pragma once

#include <string>
#include <string_view>

namespace rx {

struct FoldCounts {
    long folded = 0;   // characters replaced by a near Latin-1 form
    long dropped = 0;  // characters left out (symbols without a near form, control characters)
    long placeholders = 0;  // letters without a near form, shown as '?'
};

// Folds UTF-8 text to Latin-1 and tidies it: runs of spaces and tabs become one space, lines are
// trimmed. With keepLineBreaks, line breaks stay as '\n' (at most one empty line in a row, none
// at the ends); without, they become spaces. Bytes that are not UTF-8 are taken as Latin-1.
std::string foldToLatin1(std::string_view utf8, bool keepLineBreaks, FoldCounts *counts = nullptr);

// The Latin-1 form of one code point outside the printable Latin-1 range, "" when it has none.
std::string foldCodePoint(unsigned cp);

// True when every byte is a printable Latin-1 byte (0x20..0x7E, 0xA1..0xFF but the soft hyphen
// 0xAD) or '\n': what foldToLatin1 produces.
bool isPrintableLatin1(std::string_view text);

}  // namespace rx
