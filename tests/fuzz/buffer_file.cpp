// Fuzzes the buffer file "Diro_ROD.BufferExt.DAT". The file has 1.6 MB of fixed layout, mostly
// zeros, so the input describes it compactly (byte 0 chooses the form):
//   even   the rest of the input is the whole file (short and cut files, damaged headers)
//   odd    byte 1: 1 + (b & 3) slots described, each by 13 bytes (slot number mod 202, then the
//          count, block size and hole words); the coding word; then for each described slot its
//          first RECORDS records (16 bytes each); the rest of the input is what follows the
//          records in the file: the text blocks, then the channel marks. Missing bytes are 0.
// The file is read as at start-up, the channels checked, and the guide drawn on it (when the
// tuned channel's slot 0 has events).
// Checked: the buffer's invariants (counts, every text inside its slot's block, the block sizes
// the heap knows, nothing in slots 200 and 201), every text decodes, and emptying the buffer
// frees every block the read allocated.
#include <cstring>
#include <vector>

#include "epgdb/buffer.h"
#include "epgdb/bufferfile.h"
#include "epgdb/fill.h"
#include "frame/epgkeys.h"
#include "frame/state.h"
#include "settings/settings.h"
#include "tests/fuzz/fuzz_support.h"
#include "text/coded.h"

namespace {

enum { RECORDS = 8, SLOT_HEADER = 13, MAX_SLOTS = 4, GUIDE_KEYS = 2, CLOSE_TRIES = 4 };

// The bytes of the input from `at` on, missing ones 0.
struct Reader {
    const uint8_t *data;
    size_t size, at;
    void take(uint8_t *out, size_t n) {
        for (size_t i = 0; i < n; ++i, ++at)
            out[i] = at < size ? data[at] : 0;
    }
};

std::vector<uint8_t> expand(const uint8_t *data, size_t size) {
    if (size == 0 || (data[0] & 1) == 0)
        return std::vector<uint8_t>(data + (size > 0 ? 1 : 0), data + size);
    Reader in{data, size, 1};
    uint8_t count_byte = 0;
    in.take(&count_byte, 1);
    int slots = 1 + (count_byte & 3);
    int slot_of[MAX_SLOTS];
    std::vector<uint8_t> file(BUFFER_FILE_BLOCKS_AT, 0);
    for (int k = 0; k < slots; ++k) {
        uint8_t header[SLOT_HEADER];
        in.take(header, sizeof header);
        int s = header[0] % BUFFER_SLOTS;
        slot_of[k] = s;
        std::memcpy(&file[size_t(s) * 4], header + 1, 4);
        std::memcpy(&file[808 + size_t(s) * 4], header + 5, 4);
        std::memcpy(&file[1616 + size_t(s) * 4], header + 9, 4);
    }
    in.take(&file[2424], 4);
    for (int k = 0; k < slots; ++k)
        in.take(&file[BUFFER_FILE_RECORDS_AT + size_t(slot_of[k]) * EVENTS_PER_SLOT * EPG_EVENT_FILE_SIZE],
                RECORDS * EPG_EVENT_FILE_SIZE);
    if (in.at < size)
        file.insert(file.end(), data + in.at, data + size);
    return file;
}

// The invariants of the buffer between calls (epgdb/buffer.h).
void checkBuffer(sim::Heap &heap) {
    for (int s = 0; s < BUFFER_SLOTS; ++s) {
        FUZZ_CHECK(max_Event[s] >= 0 && max_Event[s] <= EVENTS_PER_SLOT, "a count within 0..500");
        const EpgEvent *rec = &EPG_Buffer[s * EVENTS_PER_SLOT];
        const char *block = rec[0].text;
        if (s >= SLOT_SCRATCH)
            FUZZ_CHECK(block == nullptr && max_Event[s] == 0, "slots 200 and 201 empty after the read");
        if (block != nullptr)
            FUZZ_CHECK(heap.blockSize(block) == size_t(BlockSize[s]) && BlockSize[s] >= TEXT_BLOCK_SLACK,
                       "record 0 owns a heap block of BlockSize bytes");
        for (int i = 1; i < EVENTS_PER_SLOT; ++i) {
            const char *t = rec[i].text;
            if (t == nullptr)
                continue;
            FUZZ_CHECK(i < max_Event[s], "no text beyond the count");
            FUZZ_CHECK(block != nullptr && t >= block && t < block + BlockSize[s], "a text inside its slot's block");
        }
    }
}

// Every text as the guide reads it.
void decodeAll() {
    for (int s = 0; s < BUFFER_SLOTS; ++s) {
        for (int i = 0; i < max_Event[s]; ++i) {
            const char *t = DCT(EPG_Buffer[s * EVENTS_PER_SLOT + i].text);
            FUZZ_CHECK(std::strlen(t) < DCT_PLAIN_SIZE, "a decoded text within the decode buffer");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    sim::Receiver &rx = fuzzsupport::receiver();
    sim::Heap &heap = rx.firmware().heap;
    Clear_Settings();
    Check_Settings();
    std::vector<uint8_t> file = expand(data, size);
    fuzzsupport::putFile(BUFFER_FILE_NAME, file.data(), file.size());
    size_t blocksBefore = heap.liveBlocks();

    ReadBufferFile();
    checkBuffer(heap);
    CheckChBuf();
    checkBuffer(heap);
    decodeAll();

    // The guide shows the tuned channel, slot 0 (drawing costs more than the read: only when it
    // has events).
    if (max_Event[0] > 0) {
        rx.pressKey(first_EPG_key);
        for (int i = 0; i < GUIDE_KEYS; ++i)
            rx.pressKey(RKEY_Down);
        for (int i = 0; i < CLOSE_TRIES && _epgShow != 0; ++i)
            rx.pressKey(RKEY_Exit);
        FUZZ_CHECK(_epgShow == 0, "EXIT closes the guide");
    }

    for (int s = 0; s <= SLOT_SCRATCH; ++s)
        DelBuf(s);
    FUZZ_CHECK(heap.liveBlocks() == blocksBefore, "emptying the buffer frees every block the read allocated");
    return 0;
}
