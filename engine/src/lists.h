// The engine's in-memory lists: one content buffer per list, items that point
// into it by offset, and two entry indexes of entry numbers.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "callbacks.h"

namespace yrb {

constexpr uint32_t kMaxSeparator = 127;

// One token of any level.  Children of an item lie one after another in the
// next level's array, and the children of consecutive items follow each
// other, so an item's child count is where the next item's children start
// (ListObject::ChildCount) and needs no field.  Flags and occurrences of
// entries live in the list.
struct ListItem {
    uint32_t offset;  // into the content
    uint32_t length;  // at least 1
    uint32_t crc;
    uint32_t first;   // first child in the next level's array
};

struct ListDimension {
    uint32_t parsed = 0;    // items created by the parsing pass
    uint32_t capacity = 0;  // items found by the counting pass
    char separator[kMaxSeparator + 1] = {};
    uint32_t sepLength = 0;
    uint32_t column = 0;    // 0: every non-empty token; k: the k-th token only
    ListItem* items = nullptr;
};

struct ListObject {
    ListDimension* dims = nullptr;  // null when empty
    uint32_t* index1 = nullptr;     // display order (entry numbers)
    uint32_t* index2 = nullptr;     // scratch order
    uint8_t* flags = nullptr;       // per entry
    uint32_t* occurrences = nullptr;  // per entry
    char* content = nullptr;        // size + 1 bytes
    uint32_t size = 0;
    uint32_t levels = 0;
    int busy = 0;  // operations running on this list (callbacks may re-enter)

    uint32_t Count() const { return dims ? dims[0].capacity : 0; }
    const char* Text(const ListItem& it) const { return content + it.offset; }
    const ListItem& Entry(uint32_t e) const { return dims[0].items[e]; }

    // Number of children of an item of the given level.
    uint32_t ChildCount(uint32_t level, const ListItem& it) const {
        if (level + 1 >= levels) return 0;
        const ListDimension& d = dims[level];
        const ListItem* next = &it + 1;
        const uint32_t end = next < d.items + d.parsed ? next->first : dims[level + 1].parsed;
        return end - it.first;
    }

    // part YRB_PART_...; null when the entry lacks it.
    const ListItem* Part(uint32_t e, int part) const {
        if (levels < 2) return nullptr;
        const ListItem& rec = dims[0].items[e];
        if (ChildCount(0, rec) == 0) return nullptr;
        const ListItem* addr = &dims[1].items[rec.first];
        if (part == YRB_PART_ADDRESS) return addr;
        if (levels < 3 || ChildCount(1, *addr) < static_cast<uint32_t>(part)) return nullptr;
        return &dims[2].items[addr->first + static_cast<uint32_t>(part - 1)];
    }
    const ListItem* Address(uint32_t e) const { return Part(e, YRB_PART_ADDRESS); }
};

// Slot 1..3 of the address lists.
ListObject* SlotList(int32_t slot);
// Reference lists: 0 black list, 1 valid extensions, 2 excluded extensions,
// 3 excluded keywords.
ListObject& ReferenceList(int which);

// 1 and the list, or -1 with null.  Messages go to the given table.
int32_t ValidateSlot(int32_t slot, ListObject*& out, const Table* t);
// ValidateSlot for an export that changes the list's index order or its
// entries' flags: a list in use by a running operation (a callback calling
// back) is refused, with the message through the registered table as for
// freeing and reloading.
int32_t ValidateSlotForChange(int32_t slot, ListObject*& out, const Table* t);

int32_t CopyIndex(const uint32_t* source, uint32_t* target, uint32_t count);
int32_t FreeListObject(ListObject* list);

// A list being built aside: freed when the scope ends, so every early return
// of a failed or stopped load leaves nothing behind, unless Release handed
// it over.
class ScopedList {
public:
    ScopedList() = default;
    ~ScopedList() { FreeListObject(&list_); }
    ScopedList(const ScopedList&) = delete;
    ScopedList& operator=(const ScopedList&) = delete;

    ListObject& Get() { return list_; }
    // The list, no longer freed by the scope.
    ListObject Release() {
        const ListObject out = list_;
        list_ = ListObject{};
        return out;
    }

private:
    ListObject list_;
};

// Memory of a list that is being replaced, offered to the next load so a
// reload does not have to fault in fresh pages for every array.
class BlockPool {
public:
    BlockPool() = default;
    BlockPool(const BlockPool&) = delete;
    BlockPool& operator=(const BlockPool&) = delete;
    ~BlockPool();
    // Takes over the arrays of the list and leaves it empty.
    void Adopt(ListObject& list);
    // A block of at least bytes (not much larger), or null.
    void* Take(size_t bytes);

private:
    struct Block {
        void* p;
        size_t bytes;
    };
    Block blocks_[16] = {};
    int count_ = 0;
    void Add(void* p, size_t bytes);
};

// Content, size, levels and each level's separator and column are set.
// Returns the entry count, -1 or -2.  Frees the list on failure.
int32_t BuildList(ListObject& list, const Table* t, BlockPool* pool = nullptr);

// Sets a level's separator; false when it is longer than 127 bytes.
bool SetSeparator(ListDimension& d, const char* sep);

// The chunked reader behind YRB28; always reports through the registered
// table.  Returns the bytes read, -1 or -2.
int32_t ReadChunks(const char* path, uint32_t chunk, char* buffer, uint32_t size);

// Reads a whole file into a new buffer of size + 1 bytes through the
// registered table, as the loaders do.  On success content/size are set.
// Returns the bytes read, -1 or -2.  Messages use the loader texts.
int32_t ReadWholeFile(const char* path, char*& content, uint32_t& size,
                      const Table* msgTable, bool emptyIsSilent, BlockPool* pool = nullptr);

// Marks a list as in use while an operation runs on it.
struct BusyScope {
    ListObject* a;
    ListObject* b;
    explicit BusyScope(ListObject* x, ListObject* y = nullptr) : a(x), b(y) {
        if (a) ++a->busy;
        if (b) ++b->busy;
    }
    ~BusyScope() {
        if (a) --a->busy;
        if (b) --b->busy;
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
};

// Counts checks running against the reference lists.
extern int g_referenceBusy;

inline bool PassesFilter(uint8_t flags, int32_t mustHave, int32_t mustNot) {
    const uint32_t f = flags;
    if (mustNot != 0 && (f & static_cast<uint32_t>(mustNot)) != 0) return false;
    if (mustHave != 0 && (f & static_cast<uint32_t>(mustHave)) == 0) return false;
    return true;
}

}  // namespace yrb
