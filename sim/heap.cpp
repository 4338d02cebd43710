// The firmware heap with accounting (see heap.h).
#include "sim/heap.h"

#include <cstdlib>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace sim {

Heap::Heap(size_t sizeBytes) : size_(sizeBytes) {
#if defined(__GLIBC__)
    // A receiver's heap is memory the firmware owns for good. The C library would hand each block
    // of the plug-in's size (the data base's blocks are hundreds of kB) to the system when it is
    // freed and map fresh pages for the next one, whose zeroing the system counts as the plug-in's
    // time: the blocks come from the library's own heap instead, which keeps what is freed.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
#endif
}

void *Heap::alloc(size_t bytes, HeapOwner owner) {
    bool faulted = faults.failAfterCalls == 0;
    if (faults.failAfterCalls > 0)
        --faults.failAfterCalls;
    else if (faulted && faults.failOnlyOne)
        faults.failAfterCalls = -1;
    if (faulted || bytes == 0 || bytes > size_ - used_) {
        ++failed_;
        return nullptr;
    }
    void *p = std::malloc(bytes);
    if (!p) {
        ++failed_;
        return nullptr;
    }
    blocks_[p] = {bytes, owner};
    used_ += bytes;
    if (used_ > peak_)
        peak_ = used_;
    if (blocks_.size() > peakBlocks_)
        peakBlocks_ = blocks_.size();
    if (owner == HeapOwner::Firmware && ++firmwareBlocks_ > peakFirmwareBlocks_)
        peakFirmwareBlocks_ = firmwareBlocks_;
    ++allocations_;
    return p;
}

int Heap::free(const void *p) {
    if (!p) {
        ++nullFrees_;
        return 1;
    }
    auto it = blocks_.find(p);
    if (it == blocks_.end()) {
        ++doubleFrees_;
        return 1;
    }
    used_ -= it->second.bytes;
    if (it->second.owner == HeapOwner::Firmware)
        --firmwareBlocks_;
    blocks_.erase(it);
    std::free(const_cast<void *>(p));
    return 0;
}

size_t Heap::blockSize(const void *p) const {
    auto it = blocks_.find(p);
    return it == blocks_.end() ? 0 : it->second.bytes;
}

size_t Heap::releaseAll() {
    size_t n = blocks_.size();
    for (auto &b : blocks_) {
        reclaimed_ += b.second.bytes;
        std::free(const_cast<void *>(b.first));
    }
    blocks_.clear();
    used_ = 0;
    firmwareBlocks_ = 0;
    return n;
}

}  // namespace sim
