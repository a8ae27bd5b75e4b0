#include "lists.h"

#include <cstdlib>

#include "guard.h"

namespace yrb {

namespace {
ListObject g_slots[3];
ListObject g_references[4];
}  // namespace

int g_referenceBusy = 0;

ListObject* SlotList(int32_t slot) {
    return (slot >= 1 && slot <= 3) ? &g_slots[slot - 1] : nullptr;
}

ListObject& ReferenceList(int which) { return g_references[which]; }

int32_t ValidateSlot(int32_t slot, ListObject*& out, const Table* t) {
    out = nullptr;
    ListObject* list = SlotList(slot);
    if (list == nullptr) return YRB_FAILED;
    const char* msg = nullptr;
    if (list->content == nullptr) {
        msg = "No memory space has been allocated for the file content in List %d";
    } else if (list->size == 0) {
        msg = "The memory space allocated for the file content is empty in List %d";
    } else if (list->dims == nullptr) {
        msg = "No memory space has been allocated for entry attributes in List %d";
    } else if (list->index1 == nullptr) {
        msg = "No memory space has been allocated for entry index in List %d";
    } else if (list->levels == 0) {
        msg = "The number of dimensions is invalid in List %d : 0";
    }
    if (msg) {
        SendError(t, Format(msg, slot));
        return YRB_FAILED;
    }
    out = list;
    return 1;
}

int32_t ValidateSlotForChange(int32_t slot, ListObject*& out, const Table* t) {
    out = nullptr;
    const ListObject* list = SlotList(slot);
    if (list != nullptr && list->busy) {
        // The running operation reads entry numbers and flags between its
        // callbacks; a change now would mix two states of the list.
        SendError(&g_registered,
                  Format("List %d is in use by a running operation and cannot be changed", slot));
        return YRB_FAILED;
    }
    return ValidateSlot(slot, out, t);
}

int32_t CopyIndex(const uint32_t* source, uint32_t* target, uint32_t count) {
    if (source == nullptr) {
        SendError(&g_registered, "Cannot copy List index : Source Index object not set");
        return YRB_FAILED;
    }
    if (target == nullptr) {
        SendError(&g_registered, "Cannot copy List index : Target Index object not set");
        return YRB_FAILED;
    }
    if (count) std::memmove(target, source, static_cast<size_t>(count) * sizeof(uint32_t));
    return 1;
}

int32_t FreeListObject(ListObject* list) {
    if (list == nullptr) return YRB_FAILED;
    if (list->dims) {
        for (uint32_t l = 0; l < list->levels; ++l) std::free(list->dims[l].items);
        delete[] list->dims;
    }
    std::free(list->index1);
    std::free(list->index2);
    std::free(list->flags);
    std::free(list->occurrences);
    std::free(list->content);
    const int busy = list->busy;
    *list = ListObject{};
    list->busy = busy;
    return 1;
}

BlockPool::~BlockPool() {
    for (int i = 0; i < count_; ++i) std::free(blocks_[i].p);
}

void BlockPool::Add(void* p, size_t bytes) {
    if (p == nullptr) return;
    if (count_ == 16) {
        std::free(p);
        return;
    }
    blocks_[count_++] = {p, bytes};
}

void BlockPool::Adopt(ListObject& list) {
    const size_t n = list.Count();
    if (list.dims) {
        for (uint32_t l = 0; l < list.levels; ++l)
            Add(list.dims[l].items, static_cast<size_t>(list.dims[l].capacity) * sizeof(ListItem));
        delete[] list.dims;
    }
    Add(list.index1, n * sizeof(uint32_t));
    Add(list.index2, n * sizeof(uint32_t));
    Add(list.flags, n);
    Add(list.occurrences, n * sizeof(uint32_t));
    Add(list.content, list.content ? static_cast<size_t>(list.size) + 1 : 0);
    const int busy = list.busy;
    list = ListObject{};
    list.busy = busy;
}

void* BlockPool::Take(size_t bytes) {
    // Best fit, and never a block more than a quarter larger than asked for:
    // the list keeps what it takes for its whole life.
    int best = -1;
    for (int i = 0; i < count_; ++i) {
        const size_t b = blocks_[i].bytes;
        if (b >= bytes && b - bytes <= bytes / 4 && (best < 0 || b < blocks_[best].bytes)) best = i;
    }
    if (best < 0) return nullptr;
    void* p = blocks_[best].p;
    blocks_[best] = blocks_[--count_];
    return p;
}

bool SetSeparator(ListDimension& d, const char* sep) {
    const size_t n = sep ? std::strlen(sep) : 0;
    if (n > kMaxSeparator) return false;
    if (n) std::memcpy(d.separator, sep, n);
    d.separator[n] = '\0';
    d.sepLength = static_cast<uint32_t>(n);
    return true;
}

}  // namespace yrb

using namespace yrb;

extern "C" YRB_API int32_t YRB14(int32_t slot) {
    ListObject* list = nullptr;
    return ValidateSlot(slot, list, &g_silent) == 1 ? 0 : 1;
}

extern "C" YRB_API int32_t YRB20(int32_t slot) {
    ListObject* list = SlotList(slot);
    if (list == nullptr) return YRB_FAILED;
    if (list->busy) {
        // Freeing here would pull the memory from under the running operation.
        SendError(&g_registered,
                  Format("List %d is in use by a running operation and cannot be freed", slot));
        return YRB_FAILED;
    }
    FreeListObject(list);
    return 1;
}

extern "C" YRB_API int32_t YRB09(void) {
    int32_t result = 1;
    for (int32_t slot = 1; slot <= 2; ++slot) {
        ListObject* list = SlotList(slot);
        if (list->busy) {
            SendError(&g_registered,
                      Format("List %d is in use by a running operation and cannot be freed", slot));
            result = YRB_FAILED;
            continue;
        }
        FreeListObject(list);
    }
    if (g_referenceBusy == 0) {
        for (int k = 0; k < 4; ++k) FreeListObject(&ReferenceList(k));
    } else {
        SendError(&g_registered, "The reference lists are in use by a running operation and cannot be freed");
        result = YRB_FAILED;
    }
    // Slot 7 (animate) keeps its value.
    g_registered.error = nullptr;
    g_registered.progress = nullptr;
    g_registered.check_interrupt = nullptr;
    g_registered.information = nullptr;
    g_registered.reserved = nullptr;
    g_registered.init_progress = nullptr;
    return result;
}
