// Fuzzes the coded form of event texts (text/coded.h), which the buffer file brings in from disk.
// The input, after its first byte, is used twice:
//   - as a stored coded text (cut to what the buffer file lets through: an all-zero word within
//     DCT_CODED_SIZE bytes, which is appended): DCT, DecodeTxt into buffers of every kind of size,
//     StrCodedLen and CopyCodedStr, in buffers exactly as large as they are said to be;
//   - as a plain text: EncodeTxt into a buffer of 4..DCT_CODED_SIZE bytes (chosen by byte 0),
//     then decoded again.
// Checked: nothing is written or read outside its buffer, EncodeTxt keeps within its size and
// returns whole words, and a text coded and decoded is the start of the plain text as the code
// keeps it (UseDecTable, '_' becoming '-'), all of it when the buffer was ample.
#include <cstring>
#include <string>
#include <vector>

#include "settings/settings.h"
#include "tests/fuzz/fuzz_support.h"
#include "text/coded.h"

namespace {

enum { WORD = 4 };

void storedText(const uint8_t *data, size_t size, int decodeSize) {
    size_t n = size < size_t(DCT_CODED_SIZE - WORD) ? size : size_t(DCT_CODED_SIZE - WORD);
    n -= n % WORD;
    std::vector<char> stored(data, data + n);
    stored.insert(stored.end(), WORD, 0);

    settings.compress_text = 1;
    const char *plain = DCT(stored.data());
    FUZZ_CHECK(std::strlen(plain) < DCT_PLAIN_SIZE, "DCT's text within its buffer");
    int len = StrCodedLen(stored.data(), int(stored.size()));
    FUZZ_CHECK(len > 0 && len <= int(stored.size()) && len % WORD == 0, "StrCodedLen within the text, whole words");

    std::vector<char> out(static_cast<size_t>(decodeSize));
    DecodeTxt(out.data(), stored.data(), decodeSize);
    FUZZ_CHECK(std::memchr(out.data(), 0, out.size()) != nullptr, "DecodeTxt terminates its output");
    std::vector<char> copy(static_cast<size_t>(decodeSize));
    CopyCodedStr(copy.data(), stored.data(), decodeSize);
    settings.compress_text = 0;
    CopyCodedStr(copy.data(), stored.data(), decodeSize);
    FUZZ_CHECK(copy[size_t(decodeSize) - 1] == 0, "CopyCodedStr terminates a plain copy");
}

void plainText(const uint8_t *data, size_t size, int codedSize) {
    std::string src(reinterpret_cast<const char *>(data), size);
    src = src.substr(0, src.find('\0'));
    std::vector<char> coded(static_cast<size_t>(codedSize));
    int n = EncodeTxt(coded.data(), src.c_str(), codedSize);
    FUZZ_CHECK(n >= WORD && n <= codedSize && n % WORD == 0, "EncodeTxt returns whole words within its size");
    FUZZ_CHECK(std::memcmp(coded.data() + n - WORD, "\0\0\0\0", WORD) == 0, "a coded text ends with a zero word");

    std::vector<char> decoded(DCT_PLAIN_SIZE);
    DecodeTxt(decoded.data(), coded.data(), DCT_PLAIN_SIZE);
    std::vector<char> kept(src.size() + 1);
    UseDecTable(kept.data(), src.c_str());
    std::string expected(kept.data());
    for (char &c : expected)
        if (c == '_')
            c = '-';
    std::string got(decoded.data());
    FUZZ_CHECK(expected.compare(0, got.size(), got) == 0, "a decoded text is the start of the plain one");
    if (codedSize >= int(WORD * (src.size() / 5 + 3)) && expected.size() + 10 < DCT_PLAIN_SIZE)
        FUZZ_CHECK(got == expected, "a text with ample room is decoded whole");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzsupport::receiver();
    if (size < 2)
        return 0;
    int choice = data[0];
    // Sizes around the small ends and the usual ones.
    int decodeSize = choice < 64 ? 1 + choice : choice < 192 ? 1 + (choice - 64) * 15 : DCT_PLAIN_SIZE;
    int codedSize = choice < 32 ? WORD + choice : choice < 224 ? WORD + (choice - 32) * 8 : DCT_CODED_SIZE;
    storedText(data + 1, size - 1, decodeSize);
    plainText(data + 1, size - 1, codedSize);
    settings.compress_text = 0;
    return 0;
}
