// The whole-file reader and the two-pass loader of address lists.
#include <sys/mman.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "guard.h"
#include "lists.h"
#include "text.h"

namespace yrb {

namespace {

constexpr uint32_t kMaxLoadable = 0x7FFFFFFFu;  // results are 32-bit signed

bool HasAsciiLetter(const char* s, uint32_t n) {
    for (uint32_t i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
    }
    return false;
}

constexpr uint32_t kMaxLevels = 3;

// Counting pass below level 0; returns the items found or -2.  The level is
// a template argument so each level's loop is compiled into its parent's.
template <uint32_t L>
int64_t CountLevel(ListObject& list, const char* text, uint32_t length, const Table* t) {
    ListDimension& d = list.dims[L];
    const char* const sep = d.separator;
    const uint32_t sepLength = d.sepLength;
    const uint32_t column = d.column;
    auto deeper = [&](const char* tok, uint32_t tokLen) -> bool {
        if constexpr (L + 1 < kMaxLevels) {
            if (L + 1 < list.levels) return CountLevel<L + 1>(list, tok, tokLen, t) == YRB_STOPPED;
        }
        return false;
    };
    const char* cursor = text;
    const char* end = text + length;
    const char* tok = nullptr;
    uint32_t tokLen = 0;
    if (column == 0) {
        int64_t found = 0;
        while (NextToken(cursor, end, sep, sepLength, tok, tokLen)) {
            if (tokLen == 0) continue;
            ++found;
            if (deeper(tok, tokLen)) return YRB_STOPPED;
        }
        d.capacity += static_cast<uint32_t>(found);
        if (PollInterrupt(t)) return YRB_STOPPED;
        return found;
    }
    for (uint32_t k = 1; k <= column; ++k) {
        if (PollInterrupt(t)) return YRB_STOPPED;
        if (!NextToken(cursor, end, sep, sepLength, tok, tokLen)) return 0;
        if (k == column) {
            if (tokLen == 0) return 0;
            ++d.capacity;
            if (deeper(tok, tokLen)) return YRB_STOPPED;
            return 1;
        }
    }
    return 0;
}

// Counting pass over the whole content (level 0, column 0).
int64_t CountRecords(ListObject& list, bool lowerEachRecord, const Table* t) {
    ListDimension& d = list.dims[0];
    InitProgress(t, list.size);
    Progress(t, 0);
    ProgressStep step(t, list.size);
    const char* content = list.content;
    const char* cursor = content;
    const char* end = content + list.size;
    const char* tok = nullptr;
    uint32_t tokLen = 0;
    std::string scratch;
    while (NextToken(cursor, end, d.separator, d.sepLength, tok, tokLen)) {
        if (tokLen != 0) {
            ++d.capacity;
            if (list.levels > 1) {
                int64_t r;
                if (lowerEachRecord) {
                    // Fields are split after lower-casing, but the content must
                    // stay as it is so the parsing pass finds the same records.
                    scratch.assign(tok, tokLen);
                    LowerAscii(scratch.data(), tokLen);
                    r = CountLevel<1>(list, scratch.data(), tokLen, t);
                } else {
                    r = CountLevel<1>(list, tok, tokLen, t);
                }
                if (r == YRB_STOPPED) return YRB_STOPPED;
            }
        }
        step(cursor ? static_cast<uint32_t>(cursor - content) : list.size);
    }
    Progress(t, list.size);
    if (PollInterrupt(t)) return YRB_STOPPED;
    return d.capacity;
}

struct Parser {
    ListObject& list;
    const Table* t;
    bool lowerRecords;
    ProgressStep* step = nullptr;

    // Returns the parent's child count, -1 (count mismatch) or -2.
    template <uint32_t L>
    int64_t Level(ListItem& parent) {
        ListDimension& d = list.dims[L];
        const char* const sep = d.separator;
        const uint32_t sepLength = d.sepLength;
        const uint32_t column = d.column;
        uint32_t count = 0;
        parent.first = d.parsed;
        const char* cursor = list.content + parent.offset;
        const char* end = cursor + parent.length;
        const char* tok = nullptr;
        uint32_t tokLen = 0;
        if (column == 0) {
            while (NextToken(cursor, end, sep, sepLength, tok, tokLen)) {
                if (tokLen != 0) {
                    const int64_t r = NewItem<L>(tok, tokLen);
                    if (r < 0) return r;
                    ++count;
                }
                if constexpr (L == 0) (*step)(d.parsed);
                if (PollInterrupt(t)) return YRB_STOPPED;
            }
            if constexpr (L == 0) Progress(t, d.capacity);
            return count;
        }
        for (uint32_t k = 1; k <= column; ++k) {
            if (PollInterrupt(t)) return YRB_STOPPED;
            if (!NextToken(cursor, end, sep, sepLength, tok, tokLen)) break;
            if (k == column) {
                if (tokLen != 0) {
                    const int64_t r = NewItem<L>(tok, tokLen);
                    if (r < 0) return r;
                    ++count;
                }
                break;
            }
        }
        return count;
    }

    template <uint32_t L>
    int64_t NewItem(const char* tok, uint32_t tokLen) {
        ListDimension& d = list.dims[L];
        if (d.parsed >= d.capacity) {
            SendError(&g_registered, "The list could not be parsed : the entries changed between the two passes");
            return YRB_FAILED;
        }
        ListItem& it = d.items[d.parsed++];
        if constexpr (L == 0) {
            if (lowerRecords) LowerAscii(const_cast<char*>(tok), tokLen);
        }
        it.offset = static_cast<uint32_t>(tok - list.content);
        it.length = tokLen;
        it.first = 0;
        const ListItem* child = nullptr;
        if constexpr (L + 1 < kMaxLevels) {
            if (L + 1 < list.levels) {
                const int64_t r = Level<L + 1>(it);
                if (r < 0) return r;
                if (r > 0) child = &list.dims[L + 1].items[it.first];
            }
        }
        // Children first: a first child at the item's start is a prefix whose
        // checksum is extended instead of reading its bytes again.
        if (child && child->offset == it.offset) {
            it.crc = Crc32Extend(child->crc, tok + child->length, tokLen - child->length);
        } else {
            it.crc = Crc32(tok, tokLen);
        }
        return 0;
    }
};

// Fresh arrays are written from end to end right away: faulting their pages
// in with one call costs less than a fault per page.
void Prefault(void* p, size_t bytes) {
#ifdef MADV_POPULATE_WRITE
    constexpr uintptr_t kPage = 4096;
    if (p == nullptr || bytes < (1u << 20)) return;
    const uintptr_t start = (reinterpret_cast<uintptr_t>(p) + kPage - 1) & ~(kPage - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(p) + bytes) & ~(kPage - 1);
    if (end > start) ::madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
#else
    (void)p;
    (void)bytes;
#endif
}

// Arrays whose every element the loader writes.
template <class T>
T* AllocFilled(size_t n, BlockPool* pool) {
    if (pool && n) {
        if (void* p = pool->Take(n * sizeof(T))) return static_cast<T*>(p);
    }
    T* p = static_cast<T*>(std::malloc((n ? n : 1) * sizeof(T)));
    Prefault(p, n * sizeof(T));
    return p;
}

template <class T>
T* AllocZeroed(size_t n, BlockPool* pool) {
    if (pool && n) {
        if (void* p = pool->Take(n * sizeof(T))) return static_cast<T*>(std::memset(p, 0, n * sizeof(T)));
    }
    return static_cast<T*>(std::calloc(n ? n : 1, sizeof(T)));
}

}  // namespace

int32_t ReadChunks(const char* path, uint32_t chunk, char* buffer, uint32_t size) {
    const Table* t = &g_registered;
    if (chunk == 0) chunk = 1;
    InitProgress(t, size);
    Info(t, "Loading file");
    Progress(t, 0);
    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr) {
        buffer[size] = '\0';
        SendError(t, Format("Could not open file for reading : %s", path));
        return YRB_FAILED;
    }
    uint32_t total = 0;
    // After each read: end of file gives what was read, a read error fails.
    auto afterRead = [&](size_t got, uint32_t wanted, int32_t& result) {
        total += static_cast<uint32_t>(got);
        if (got == wanted) return false;
        if (std::ferror(f)) {
            buffer[size] = '\0';
            std::fclose(f);
            SendError(t, "Error loading file content");
            result = YRB_FAILED;
        } else {
            buffer[total] = '\0';
            std::fclose(f);
            result = static_cast<int32_t>(total);
        }
        return true;
    };
    int32_t result = 0;
    const uint32_t full = size / chunk;
    const uint32_t rest = size % chunk;
    for (uint32_t i = 0; i < full; ++i) {
        if (afterRead(std::fread(buffer + total, 1, chunk, f), chunk, result)) return result;
        Progress(t, total);
        if (CallValue(t->check_interrupt, 0) != 0) {
            buffer[size] = '\0';
            std::fclose(f);
            return YRB_STOPPED;
        }
    }
    if (afterRead(rest ? std::fread(buffer + total, 1, rest, f) : 0, rest, result)) return result;
    Progress(t, total);
    buffer[total] = '\0';
    std::fclose(f);
    return static_cast<int32_t>(total);
}

int32_t ReadWholeFile(const char* path, char*& content, uint32_t& size, const Table* msgTable,
                      bool emptyIsSilent, BlockPool* pool) {
    content = nullptr;
    size = 0;
    struct stat st {};
    if (::stat(path, &st) != 0 || !S_ISREG(st.st_mode)) {
        SendError(msgTable, Format("Cannot retrieve file infos : '%s'", path));
        return YRB_FAILED;
    }
    if (st.st_size == 0) {
        if (!emptyIsSilent) SendError(msgTable, Format("The file is empty : '%s'", path));
        return YRB_FAILED;
    }
    if (static_cast<unsigned long long>(st.st_size) > kMaxLoadable) {
        SendError(msgTable, Format("The file is too large : '%s' has %lld bytes, at most %u bytes can be loaded",
                                   path, static_cast<long long>(st.st_size), kMaxLoadable));
        return YRB_FAILED;
    }
    const uint32_t want = static_cast<uint32_t>(st.st_size);
    char* buffer = AllocFilled<char>(static_cast<size_t>(want) + 1, pool);
    if (buffer == nullptr) {
        SendError(msgTable, Format("Cannot allocate memory for content of file : '%s'", path));
        return YRB_FAILED;
    }
    const int32_t got = ReadChunks(path, 100000, buffer, want);
    if (got < 0) {
        std::free(buffer);
        return got;
    }
    if (got == 0) {  // emptied since its size was taken
        std::free(buffer);
        if (!emptyIsSilent) SendError(msgTable, Format("The file is empty : '%s'", path));
        return YRB_FAILED;
    }
    content = buffer;
    size = static_cast<uint32_t>(got);  // a file that shrank is parsed as read
    return got;
}

int32_t BuildList(ListObject& list, const Table* t, BlockPool* pool) {
    if (list.content == nullptr || list.size == 0) return YRB_FAILED;
    Info(t, "Counting entries");
    // When the record separator has no letters, lower-casing first changes no
    // record boundary, and one pass over the bytes is much cheaper.
    const bool lowerFirst = !HasAsciiLetter(list.dims[0].separator, list.dims[0].sepLength);
    if (lowerFirst) LowerAscii(list.content, list.size);
    for (uint32_t l = 0; l < list.levels; ++l) list.dims[l].capacity = 0;
    const int64_t counted = CountRecords(list, !lowerFirst, t);
    if (counted < 0) return static_cast<int32_t>(counted);
    const uint32_t n = list.dims[0].capacity;

    Info(t, "Allocating Memory");
    for (uint32_t l = 0; l < list.levels; ++l) {
        ListDimension& d = list.dims[l];
        d.items = AllocFilled<ListItem>(d.capacity, pool);
        if (d.items == nullptr) {
            SendError(&g_registered,
                      Format("Memory required for list object could not be allocated : %llu bytes",
                             static_cast<unsigned long long>(d.capacity) * sizeof(ListItem)));
            FreeListObject(&list);
            return YRB_FAILED;
        }
    }
    const unsigned long long indexBytes = static_cast<unsigned long long>(n) * sizeof(uint32_t);
    list.index1 = AllocFilled<uint32_t>(n, pool);
    if (list.index1 == nullptr) {
        SendError(&g_registered,
                  Format("Memory required for list object index 1 could not be allocated : %llu bytes", indexBytes));
        FreeListObject(&list);
        return YRB_FAILED;
    }
    list.index2 = AllocFilled<uint32_t>(n, pool);
    if (list.index2 == nullptr) {
        SendError(&g_registered,
                  Format("Memory required for list object index 2 could not be allocated : %llu bytes", indexBytes));
        FreeListObject(&list);
        return YRB_FAILED;
    }
    list.flags = AllocZeroed<uint8_t>(n, pool);
    list.occurrences = AllocZeroed<uint32_t>(n, pool);
    if (list.flags == nullptr || list.occurrences == nullptr) {
        SendError(&g_registered,
                  Format("Memory required for list object could not be allocated : %llu bytes",
                         static_cast<unsigned long long>(n) * (1 + sizeof(uint32_t))));
        FreeListObject(&list);
        return YRB_FAILED;
    }

    Info(t, "Parsing entries");
    for (uint32_t l = 0; l < list.levels; ++l) list.dims[l].parsed = 0;
    InitProgress(t, n);
    Progress(t, 0);
    ProgressStep step(t, n);
    Parser parser{list, t, !lowerFirst, &step};
    ListItem root{0, list.size, 0, 0};
    const int64_t parsed = parser.Level<0>(root);
    if (parsed < 0) {
        FreeListObject(&list);
        return static_cast<int32_t>(parsed);
    }
    for (uint32_t i = 0; i < n; ++i) list.index1[i] = i;
    // Sorting and statistics walk index 2, so it never holds holes.
    CopyIndex(list.index1, list.index2, n);
    return static_cast<int32_t>(n);
}

}  // namespace yrb

using namespace yrb;

extern "C" YRB_API int32_t YRB28(const char* path, uint32_t chunk, char* buffer, uint32_t size) {
    if (path == nullptr || buffer == nullptr) return YRB_FAILED;
    if (size > kMaxLoadable) {
        buffer[0] = '\0';
        SendError(&g_registered,
                  Format("Cannot read %u bytes at once, at most %u bytes can be read : %s", size, kMaxLoadable, path));
        return YRB_FAILED;
    }
    return Guarded([&] { return ReadChunks(path, chunk, buffer, size); });
}

extern "C" YRB_API int32_t YRB13(int32_t slot, const char* path, int32_t column,
                                 const char* field_sep, const char* record_sep) {
    if (record_sep == nullptr || *record_sep == '\0') return YRB_FAILED;
    ListObject* target = SlotList(slot);
    if (target == nullptr || path == nullptr || field_sep == nullptr) return YRB_FAILED;
    return Guarded([&]() -> int32_t {
        if (target->busy) {
            SendError(&g_registered,
                      Format("List %d is in use by a running operation and cannot be reloaded", slot));
            return YRB_FAILED;
        }
        // The old list goes first, as always; its memory may serve the new one.
        BlockPool pool;
        pool.Adopt(*target);
        if (std::strlen(record_sep) > kMaxSeparator || std::strlen(field_sep) > kMaxSeparator) {
            SendError(&g_registered,
                      Format("A separator is longer than %u bytes and cannot be used : '%s'", kMaxSeparator, path));
            return YRB_FAILED;
        }
        BusyScope busy(target);
        ScopedList built;
        ListObject& list = built.Get();
        const int32_t got = ReadWholeFile(path, list.content, list.size, &g_registered, false, &pool);
        if (got < 0) return got;
        list.dims = new (std::nothrow) ListDimension[3];
        if (list.dims == nullptr) {
            SendError(&g_registered, Format("Cannot allocate memory for file : '%s'", path));
            return YRB_FAILED;
        }
        list.levels = 3;
        SetSeparator(list.dims[0], record_sep);
        SetSeparator(list.dims[1], field_sep);
        SetSeparator(list.dims[2], "@");
        list.dims[1].column = static_cast<uint32_t>(column);
        const int32_t result = BuildList(list, &g_registered, &pool);
        if (result < 0) return result;
        const int keepBusy = target->busy;
        *target = built.Release();
        target->busy = keepBusy;
        return result;
    });
}
