// TAP_MemAlloc, TAP_MemFree, TAP_MemInfo: the active firmware's heap.
#include "frame/platform/tap.h"
#include "sim/firmware.h"

extern "C" {

void *TAP_MemAlloc(dword size) { return sim::Firmware::active(__func__).heap.alloc(size); }

int TAP_MemFree(const void *addr) { return sim::Firmware::active(__func__).heap.free(addr); }

int TAP_MemInfo(dword *heapSize, dword *freeHeapSize, dword *availHeapSize) {
    sim::Heap &heap = sim::Firmware::active(__func__).heap;
    if (heapSize)
        *heapSize = static_cast<dword>(heap.size());
    if (freeHeapSize)
        *freeHeapSize = static_cast<dword>(heap.freeBytes());
    if (availHeapSize)
        *availHeapSize = static_cast<dword>(heap.freeBytes());
    return 0;
}

}  // extern "C"
