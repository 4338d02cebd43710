// The firmware heap the plug-in allocates from: real blocks with accounting (live blocks and
// their sizes, high-water marks), a configurable size (24 MB by default), bad frees counted
// instead of crashing, and an allocation failure a test can schedule. Blocks the firmware hands
// the plug-in (event arrays, extended texts) are told apart from the plug-in's own.
// Example:
//   sim::Heap heap(1 << 20);
//   void *p = heap.alloc(100);          // heap.usedBytes() == 100, heap.liveBlocks() == 1
//   heap.free(p); heap.free(p);         // the second returns non-zero, heap.doubleFrees() == 1
//   heap.faults.failAfterCalls = 3; heap.faults.failOnlyOne = true;   // the 4th allocation fails
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>

namespace sim {

struct HeapFaults {
    long failAfterCalls = -1;  // -1 off; else this many more allocations succeed, then every
                               // allocation fails until the field is reset
    bool failOnlyOne = false;  // with failAfterCalls: only that one allocation fails (the field
                               // is then -1 again)
};

// Who asked for a block: the plug-in (TAP_MemAlloc), or the firmware for what it hands over
// (TAP_GetEvent's array, TAP_EPG_GetExtInfo's text).
enum class HeapOwner { PlugIn, Firmware };

class Heap {
public:
    static constexpr size_t kDefaultSize = 24u * 1024 * 1024;

    explicit Heap(size_t sizeBytes = kDefaultSize);
    ~Heap() { releaseAll(); }

    // Null for size 0, for more than is free, or when a fault says so.
    void *alloc(size_t bytes, HeapOwner owner = HeapOwner::PlugIn);
    // 0 freed; non-zero (and nothing freed) for null, or a pointer that is not a live block:
    // those count as double frees (null ones separately).
    int free(const void *p);

    size_t size() const { return size_; }
    size_t usedBytes() const { return used_; }
    size_t freeBytes() const { return size_ - used_; }
    size_t peakBytes() const { return peak_; }
    size_t liveBlocks() const { return blocks_.size(); }
    // The most blocks live at once: all of them, and of the firmware's.
    size_t peakBlocks() const { return peakBlocks_; }
    size_t peakFirmwareBlocks() const { return peakFirmwareBlocks_; }
    size_t liveFirmwareBlocks() const { return firmwareBlocks_; }
    size_t blockSize(const void *p) const;  // 0 when p is not a live block
    long allocations() const { return allocations_; }
    long failedAllocations() const { return failed_; }
    long doubleFrees() const { return doubleFrees_; }
    long nullFrees() const { return nullFrees_; }

    // Frees every live block (the plug-in ended: the firmware takes its memory back). Returns
    // how many there were; their bytes are added to reclaimedBytes().
    size_t releaseAll();
    size_t reclaimedBytes() const { return reclaimed_; }

    HeapFaults faults;

    Heap(const Heap &) = delete;
    Heap &operator=(const Heap &) = delete;

private:
    size_t size_;
    struct Block {
        size_t bytes;
        HeapOwner owner;
    };
    size_t used_ = 0, peak_ = 0, reclaimed_ = 0;
    size_t peakBlocks_ = 0, firmwareBlocks_ = 0, peakFirmwareBlocks_ = 0;
    long allocations_ = 0, failed_ = 0, doubleFrees_ = 0, nullFrees_ = 0;
    std::unordered_map<const void *, Block> blocks_;
};

}  // namespace sim
