// The buffer file (see bufferfile.h for its layout): writing it whole, reading it at start-up with
// every count, size and text value checked against the block it belongs to, and the periodic
// save. A file that contradicts itself is set aside and not loaded at all. Leans on epgdb/buffer
// (arrays, static_to_alloc), frame/msgbox (the save error line), frame/safefile (the save),
// frame/state (the clock) and settings/.
//
// Sections:
//   --- Event records in the file ---
//   --- Writing ---
//   --- Reading ---
//   --- Periodic save ---
#include "epgdb/bufferfile.h"

#include <stdint.h>
#include <string.h>

#include "epgdb/buffer.h"
#include "frame/msgbox.h"
#include "frame/safefile.h"
#include "frame/state.h"
#include "settings/settings.h"
#include "text/coded.h"

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "the buffer file is written as memory holds it: little-endian builds only");
static_assert(sizeof(max_Event) == 808 && sizeof(BlockSize) == 808 && sizeof(hole) == 808, "counter arrays");
static_assert(sizeof(chMarkInfo) == BUFFER_FILE_MARKS_SIZE, "channel marks");
static_assert(BUFFER_FILE_RECORDS_AT == 3 * 808 + 4 &&
                  BUFFER_FILE_BLOCKS_AT == BUFFER_FILE_RECORDS_AT + BUFFER_SLOTS * EVENTS_PER_SLOT * EPG_EVENT_FILE_SIZE &&
                  BUFFER_FILE_FIXED_SIZE == BUFFER_FILE_BLOCKS_AT + BUFFER_FILE_MARKS_SIZE,
              "buffer file layout");

int SaveBufferAuto_lastmin = -1;

static const char cant_save[] = "     Can't SAVE BUFFER FILE";

enum {
    ALL_RECORDS = BUFFER_SLOTS * EVENTS_PER_SLOT,
    CODED_WORD = 4,
    // On the receiver an EpgEvent is the file record: the records are written from EPG_Buffer
    // itself, their text fields turned into file values for the write and back afterwards. Where
    // the text pointer is wider, the records go through file_records.
    RECORDS_IN_PLACE = sizeof(EpgEvent) == EPG_EVENT_FILE_SIZE,
    // In place, what the file values cannot give back: record 0 of every slot (the blocks) and
    // the borrowed texts of slots 200 and 201.
    KEPT_TEXTS = BUFFER_SLOTS + 2 * EVENTS_PER_SLOT
};

static EpgEventFile file_records[RECORDS_IN_PLACE ? 1 : ALL_RECORDS];
static char *kept_texts[RECORDS_IN_PLACE ? KEPT_TEXTS : 1];
static byte slot_with_block[BUFFER_SLOTS_TV];   // the slots whose block the file holds

// --- Event records in the file ---

static int qualifies(int count, int block_size, int has_text0)
{
    return block_size >= 1 && block_size <= TEXT_BLOCK_MAX && has_text0 && count > 0;
}

// The text value of record `index` of a slot whose block goes into the file: the base for record
// 0, base + offset for a text inside the block, 0 otherwise. Reads record 0's pointer, so in
// place it runs before record 0 is turned.
static dword text_value(int slot, int index)
{
    const EpgEvent *rec = &EPG_Buffer[slot * EVENTS_PER_SLOT];
    if (index == 0)
        return BUFFER_FILE_TEXT_BASE;
    if (index >= max_Event[slot] || rec[index].text == NULL)
        return 0;
    uintptr_t base = (uintptr_t)rec[0].text, p = (uintptr_t)rec[index].text;
    if (p < base || p - base >= (uintptr_t)BlockSize[slot])
        return 0;
    return BUFFER_FILE_TEXT_BASE + (dword)(p - base);
}

// The text value read for a record (before the record's text is set).
static dword stored_text(int index)
{
    if (RECORDS_IN_PLACE)
        return (dword)(uintptr_t)EPG_Buffer[index].text;
    return file_records[index].text;
}

// --- Writing ---

static int write_all(SafeFile *file, const void *data, dword size)
{
    return SafeFile_Write(file, data, size);
}

static void find_slots_with_blocks(void)
{
    for (int s = 0; s < BUFFER_SLOTS_TV; s++)
        slot_with_block[s] = (byte)qualifies(max_Event[s], BlockSize[s], EPG_Buffer[s * EVENTS_PER_SLOT].text != NULL);
}

static int has_block(int slot)
{
    return slot < BUFFER_SLOTS_TV && slot_with_block[slot];
}

// The records through file_records: fields as they are, texts as file values.
static int write_records_converted(SafeFile *file)
{
    for (int s = 0; s < BUFFER_SLOTS; s++) {
        int with_block = has_block(s);
        for (int i = 0; i < EVENTS_PER_SLOT; i++) {
            EpgEventFile *out = &file_records[s * EVENTS_PER_SLOT + i];
            memcpy(out->fields, &EPG_Buffer[s * EVENTS_PER_SLOT + i], EPG_EVENT_FIELDS_SIZE);
            out->text = with_block ? text_value(s, i) : 0;
        }
    }
    return write_all(file, file_records, sizeof file_records);
}

// The records from EPG_Buffer itself: every text becomes its file value for the write and is
// set back from the kept pointers and the values afterwards. A slot without a block has no valid
// text beyond record 0, so those are left null.
static int write_records_in_place(SafeFile *file)
{
    for (int s = 0; s < BUFFER_SLOTS; s++) {
        EpgEvent *rec = &EPG_Buffer[s * EVENTS_PER_SLOT];
        kept_texts[s] = rec[0].text;
        int with_block = has_block(s);
        for (int i = EVENTS_PER_SLOT - 1; i >= 0; i--) {   // record 0 last: the others need it
            if (s >= SLOT_SCRATCH)
                kept_texts[BUFFER_SLOTS + (s - SLOT_SCRATCH) * EVENTS_PER_SLOT + i] = rec[i].text;
            rec[i].text = (char *)(uintptr_t)(with_block ? text_value(s, i) : 0);
        }
    }
    int ok = write_all(file, EPG_Buffer, sizeof EPG_Buffer);
    for (int s = 0; s < BUFFER_SLOTS; s++) {
        EpgEvent *rec = &EPG_Buffer[s * EVENTS_PER_SLOT];
        int with_block = has_block(s);
        for (int i = 1; i < EVENTS_PER_SLOT; i++) {
            dword v = (dword)(uintptr_t)rec[i].text;
            if (s >= SLOT_SCRATCH)
                rec[i].text = kept_texts[BUFFER_SLOTS + (s - SLOT_SCRATCH) * EVENTS_PER_SLOT + i];
            else
                rec[i].text = with_block && v != 0 ? kept_texts[s] + (v - BUFFER_FILE_TEXT_BASE) : NULL;
        }
        rec[0].text = kept_texts[s];
    }
    return ok;
}

int SaveBufferFile(void)
{
    SafeFile out;
    SafeFile *file = &out;
    if (SafeFile_Create(file, BUFFER_FILE_NAME) != 0) {
        ShowSaveError(cant_save);
        return 1;
    }
    find_slots_with_blocks();
    int32_t coding = settings.compress_text;
    int ok = write_all(file, max_Event, sizeof max_Event) && write_all(file, BlockSize, sizeof BlockSize) &&
             write_all(file, hole, sizeof hole) && write_all(file, &coding, sizeof coding);
    if (ok)
        ok = RECORDS_IN_PLACE ? write_records_in_place(file) : write_records_converted(file);
    for (int s = 0; ok && s < BUFFER_SLOTS_TV; s++) {
        if (slot_with_block[s])
            ok = write_all(file, EPG_Buffer[s * EVENTS_PER_SLOT].text, (dword)BlockSize[s]);
    }
    if (ok)
        ok = write_all(file, chMarkInfo, sizeof chMarkInfo);
    if (SafeFile_Close(file) != 0)
        ok = 0;
    if (!ok) {
        ShowSaveError(cant_save);
        return 1;
    }
    return 0;
}

// --- Reading ---

// Reads up to size bytes; returns the bytes read.
static dword read_bytes(TYPE_File *file, void *data, dword size)
{
    return TAP_Hdd_Fread(data, 1, size, file);
}

// Reads `count` whole items of item_size bytes; the items the file does not hold in full are 0.
static void read_items(TYPE_File *file, void *data, dword item_size, dword count)
{
    dword got = read_bytes(file, data, item_size * count) / item_size;
    memset((char *)data + got * item_size, 0, (count - got) * item_size);
}

// Reads the event records; the text fields are left null (in place: holding the file values
// until load_slot turns them), the file values stay readable through stored_text.
static void read_records(TYPE_File *file)
{
    if (RECORDS_IN_PLACE) {
        read_items(file, EPG_Buffer, sizeof(EpgEvent), ALL_RECORDS);
        return;
    }
    read_items(file, file_records, sizeof(EpgEventFile), ALL_RECORDS);
    for (int i = 0; i < ALL_RECORDS; i++) {
        memcpy(&EPG_Buffer[i], file_records[i].fields, EPG_EVENT_FIELDS_SIZE);
        EPG_Buffer[i].text = NULL;
    }
}

// Whether the text at `offset` of a block of `size` bytes in the staging store ends inside the
// block and within the longest stored text: a NUL (plain) or an all-zero word counted from the
// text's start (coded) no further than DCT_CODED_SIZE bytes on. The block's last 4 bytes are
// zero (load_slot clears them), so a plain text always ends inside it: the C library's strlen
// finds the end a word at a time and cannot run past the block.
static int text_ends_in_block(dword offset, dword size, int coded)
{
    const unsigned char *t = (const unsigned char *)largetxt_buf + offset;
    dword room = size - offset;
    if (room > DCT_CODED_SIZE)
        room = DCT_CODED_SIZE;
    if (!coded)
        return strlen((const char *)t) < room;
    for (dword at = 0; at + CODED_WORD <= room; at += CODED_WORD) {
        uint32_t value;
        memcpy(&value, t + at, CODED_WORD);
        if (value == 0)
            return 1;
    }
    return 0;
}

static void empty_slot(int slot)
{
    EpgEvent *rec = &EPG_Buffer[slot * EVENTS_PER_SLOT];
    for (int i = 0; i < EVENTS_PER_SLOT; i++)
        rec[i].text = NULL;
    BlockSize[slot] = 0;
    hole[slot] = 1;
    currEvent[slot] = 0;
    max_Event[slot] = 0;
}

// Loads the block of a slot 0..199 when the file holds one, and points its records into it.
static void load_slot(TYPE_File *file, int slot, int coded)
{
    int count = max_Event[slot];
    int size = BlockSize[slot];
    dword value0 = stored_text(slot * EVENTS_PER_SLOT);
    if (!qualifies(count, size, value0 != 0)) {
        empty_slot(slot);
        return;
    }
    // The block follows in the file whatever else is wrong with the slot: it is read in any case,
    // so that the blocks behind it are found.
    dword got = read_bytes(file, largetxt_buf, (dword)size);
    if (got < (dword)size || count > EVENTS_PER_SLOT || size < TEXT_BLOCK_SLACK) {
        empty_slot(slot);
        return;
    }
    int length = size - TEXT_BLOCK_SLACK;
    memset(largetxt_buf + length, 0, TEXT_BLOCK_SLACK);   // the slack: every text ends in the block
    if (!text_ends_in_block(0, (dword)size, coded)) {
        empty_slot(slot);
        return;
    }
    EpgEvent *rec = &EPG_Buffer[slot * EVENTS_PER_SLOT];
    for (int i = 1; i < EVENTS_PER_SLOT; i++) {
        dword value = stored_text(slot * EVENTS_PER_SLOT + i);
        char *text = NULL;
        if (i < count && value != 0) {
            dword offset = value - value0;
            if (offset < (dword)size && text_ends_in_block(offset, (dword)size, coded))
                text = largetxt_buf + offset;
        }
        rec[i].text = text;
    }
    rec[0].text = largetxt_buf;
    currEvent[slot] = 0;
    largetxt_lastmem = NULL;
    static_to_alloc(slot, length, READ_HEAP_RESERVE);
}

// A record whose date or time the firmware cannot have given (day 0 is 17 Nov 1858: a record
// of zeros).
static int record_unsound(const EpgEvent *rec)
{
    return rec->start_mjd == 0 || rec->end_mjd == 0 || rec->start_hour > 23 || rec->start_min > 59 ||
           rec->end_hour > 23 || rec->end_min > 59;
}

// Checks what was read of the file against itself before anything of it is loaded: the coding
// word, the counts, the length that the block sizes make, and the date and time of every event
// of a buffered channel. Returns null for a sound file, else what is wrong with it.
static const char *damage_of(TYPE_File *file, int32_t coding)
{
    dword length = TAP_Hdd_Flen(file);
    if (length < BUFFER_FILE_FIXED_SIZE)
        return "it is cut short";
    if (coding != 0 && coding != 1)
        return "its coding word is neither 0 nor 1";
    dword expected = BUFFER_FILE_FIXED_SIZE;
    for (int s = 0; s < BUFFER_SLOTS_TV; s++) {
        if (max_Event[s] < 0 || max_Event[s] > EVENTS_PER_SLOT)
            return "an event count lies outside 0..500";
        if (qualifies(max_Event[s], BlockSize[s], stored_text(s * EVENTS_PER_SLOT) != 0))
            expected += (dword)BlockSize[s];
    }
    if (length != expected)
        return "its length does not match its text block sizes";
    for (int s = 0; s < BUFFER_SLOTS_TV; s++) {
        const EpgEvent *rec = &EPG_Buffer[s * EVENTS_PER_SLOT];
        for (int i = 0; i < max_Event[s]; i++) {
            if (record_unsound(&rec[i]))
                return "an event has a date or time out of range";
        }
    }
    return NULL;
}

// Sets a damaged file aside as BUFFER_FILE_KEPT_NAME (replacing an older one), so the next save
// does not overwrite what may still be recovered from it, and says so on the firmware's console.
static void keep_damaged_file(const char *damage)
{
    TAP_Hdd_Delete(BUFFER_FILE_KEPT_NAME);
    int kept = TAP_Hdd_Rename(BUFFER_FILE_NAME, BUFFER_FILE_KEPT_NAME) == 0;
    TAP_Print("Dir'o ROD: %s is damaged (%s): not loaded, the guide starts empty%s\n", BUFFER_FILE_NAME, damage,
              kept ? "; the file is kept as " BUFFER_FILE_KEPT_NAME : "");
}

int ReadBufferFile(void)
{
    TYPE_File *file = TAP_Hdd_Fopen(BUFFER_FILE_NAME);
    if (file == NULL)
        return 1;
    largetxt_lastmem = NULL;
    read_items(file, max_Event, sizeof(int), BUFFER_SLOTS);
    read_items(file, BlockSize, sizeof(int), BUFFER_SLOTS);
    read_items(file, hole, sizeof(int), BUFFER_SLOTS);
    int32_t coding = -1;
    if (read_bytes(file, &coding, sizeof coding) < sizeof coding)
        coding = -1;
    int coded = coding == 0 || coding == 1 ? coding : settings.compress_text == 1;
    read_records(file);
    memset(currEvent, 0, sizeof currEvent);

    // A file that contradicts itself is trusted in nothing: every slot starts empty.
    const char *damage = damage_of(file, coding);
    if (damage != NULL) {
        TAP_Hdd_Fclose(file);
        for (int s = 0; s < BUFFER_SLOTS; s++)
            empty_slot(s);
        memset(chMarkInfo, 0, sizeof chMarkInfo);
        keep_damaged_file(damage);
        return 2;
    }

    for (int s = 0; s < BUFFER_SLOTS_TV; s++)
        load_slot(file, s, coded);
    for (int s = SLOT_SCRATCH; s < BUFFER_SLOTS; s++) {   // the scratch and result slots: their
        int mark = hole[s];                                   // hole marks stay as read
        empty_slot(s);
        hole[s] = mark;
    }

    read_items(file, chMarkInfo, sizeof(ChannelMark), BUFFER_SLOTS);
    for (int s = 0; s < BUFFER_SLOTS; s++) {
        chMarkInfo[s].pad = 0;
        chMarkInfo[s].name[CHANNEL_NAME_MARK] = 0;
    }
    TAP_Hdd_Fclose(file);

    if ((coding == 0 || coding == 1) && coding != settings.compress_text)
        settings.compress_text = coding;
    return 0;
}

// --- Periodic save ---

int SaveBufferAuto(void)
{
    int n = settings.auto_save_buffer;
    if (n <= 0 || n > 8)
        return 0;
    if (time_min % AUTO_SAVE_STEP_MINUTES != 0)
        return 0;
    int minute = time_h * 60 + time_min;
    if (minute == SaveBufferAuto_lastmin || minute % (n * AUTO_SAVE_STEP_MINUTES) != 0)
        return 0;
    SaveBufferAuto_lastmin = minute;
    SaveBufferFile();
    return 1;
}
