// The whole-file reader and the two-pass loader of address lists.
#include <sys/mman.h>
#include <sys/stat.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "guard.h"
#include "lists.h"
#include "parallel.h"
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

// Items found per level by a counting pass.
using LevelCounts = uint32_t[kMaxLevels];

// Counting pass below level 0; returns the items found or -2.  The level is
// a template argument so each level's loop is compiled into its parent's.
// stop() is where the pass polls: true ends it.
template <uint32_t L, class Stop>
int64_t CountLevel(const ListObject& list, const char* text, uint32_t length, LevelCounts& counts, Stop& stop) {
    const ListDimension& d = list.dims[L];
    const char* const sep = d.separator;
    const uint32_t sepLength = d.sepLength;
    const uint32_t column = d.column;
    auto deeper = [&](const char* tok, uint32_t tokLen) -> bool {
        if constexpr (L + 1 < kMaxLevels) {
            if (L + 1 < list.levels) return CountLevel<L + 1>(list, tok, tokLen, counts, stop) == YRB_STOPPED;
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
        counts[L] += static_cast<uint32_t>(found);
        if (stop()) return YRB_STOPPED;
        return found;
    }
    for (uint32_t k = 1; k <= column; ++k) {
        if (stop()) return YRB_STOPPED;
        if (!NextToken(cursor, end, sep, sepLength, tok, tokLen)) return 0;
        if (k == column) {
            if (tokLen == 0) return 0;
            ++counts[L];
            if (deeper(tok, tokLen)) return YRB_STOPPED;
            return 1;
        }
    }
    return 0;
}

// Counting pass over the records of [from, to), which starts where a record
// starts.  onRecord(cursor) follows every record, empty ones too.  Returns
// 0 or -2.
template <class Stop, class OnRecord>
int64_t CountRecordsIn(const ListObject& list, const char* from, const char* to, bool lowerEachRecord,
                       LevelCounts& counts, Stop& stop, OnRecord onRecord) {
    const ListDimension& d = list.dims[0];
    const char* cursor = from;
    const char* tok = nullptr;
    uint32_t tokLen = 0;
    std::string scratch;
    while (NextToken(cursor, to, d.separator, d.sepLength, tok, tokLen)) {
        if (tokLen != 0) {
            ++counts[0];
            if (list.levels > 1) {
                int64_t r;
                if (lowerEachRecord) {
                    // Fields are split after lower-casing, but the content must
                    // stay as it is so the parsing pass finds the same records.
                    scratch.assign(tok, tokLen);
                    LowerAscii(scratch.data(), tokLen);
                    r = CountLevel<1>(list, scratch.data(), tokLen, counts, stop);
                } else {
                    r = CountLevel<1>(list, tok, tokLen, counts, stop);
                }
                if (r == YRB_STOPPED) return YRB_STOPPED;
            }
        }
        onRecord(cursor);
    }
    return 0;
}

// Counting pass over the whole content (level 0, column 0).
int64_t CountRecords(ListObject& list, bool lowerEachRecord, const Table* t) {
    InitProgress(t, list.size);
    Progress(t, 0);
    ProgressStep step(t, list.size);
    const char* content = list.content;
    LevelCounts counts = {};
    auto stop = [t] { return PollInterrupt(t); };
    const int64_t r = CountRecordsIn(list, content, content + list.size, lowerEachRecord, counts, stop,
                                     [&](const char* cursor) {
                                         step(cursor ? static_cast<uint32_t>(cursor - content) : list.size);
                                     });
    if (r < 0) return r;
    for (uint32_t l = 0; l < list.levels; ++l) list.dims[l].capacity = counts[l];
    Progress(t, list.size);
    if (PollInterrupt(t)) return YRB_STOPPED;
    return list.dims[0].capacity;
}

// Result of the parsing pass when it finds more items than were counted.
constexpr int64_t kCountMismatch = YRB_FAILED;

// Parses records into the items of each level from next[] on, never past
// limit[].  Hooks: Stop() polls (true ends the pass), Entry(parsed) follows
// every record, LevelDone(capacity) ends the records' level.
template <class Hooks>
struct Parser {
    ListObject& list;
    bool lowerRecords;
    Hooks& hooks;
    uint32_t next[kMaxLevels] = {};
    uint32_t limit[kMaxLevels] = {};

    // Returns the parent's child count, kCountMismatch or -2.
    template <uint32_t L>
    int64_t Level(ListItem& parent) {
        const ListDimension& d = list.dims[L];
        const char* const sep = d.separator;
        const uint32_t sepLength = d.sepLength;
        const uint32_t column = d.column;
        uint32_t count = 0;
        parent.first = next[L];
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
                if constexpr (L == 0) hooks.Entry(next[0]);
                if (hooks.Stop()) return YRB_STOPPED;
            }
            if constexpr (L == 0) hooks.LevelDone(d.capacity);
            return count;
        }
        for (uint32_t k = 1; k <= column; ++k) {
            if (hooks.Stop()) return YRB_STOPPED;
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
        if (next[L] >= limit[L]) return kCountMismatch;
        ListItem& it = list.dims[L].items[next[L]++];
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

const char* const kMismatchMessage = "The list could not be parsed : the entries changed between the two passes";

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
// Arrays of the single-thread path are faulted in at once (prefault); those
// of the workers' path on huge pages, each worker faulting in its own part.
template <class T>
T* AllocFilled(size_t n, BlockPool* pool, bool prefault = true) {
    if (pool && n) {
        if (void* p = pool->Take(n * sizeof(T))) return static_cast<T*>(p);
    }
    T* p = static_cast<T*>(std::malloc((n ? n : 1) * sizeof(T)));
    if (prefault) {
        Prefault(p, n * sizeof(T));
    } else {
        AskHugePages(p, n * sizeof(T));
    }
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
    char* buffer = AllocFilled<char>(static_cast<size_t>(want) + 1, pool, WorkersFor(want / kBytesPerEntryGuess) == 1);
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

namespace {

// Items, indexes, flags and counts at their exact sizes.  prefault false
// leaves the fresh pages to the workers that fill them.  -1 after the
// message, the list freed.
int32_t AllocateArrays(ListObject& list, BlockPool* pool, bool prefault) {
    const uint32_t n = list.dims[0].capacity;
    for (uint32_t l = 0; l < list.levels; ++l) {
        ListDimension& d = list.dims[l];
        d.items = AllocFilled<ListItem>(d.capacity, pool, prefault);
        if (d.items == nullptr) {
            SendError(&g_registered,
                      Format("Memory required for list object could not be allocated : %llu bytes",
                             static_cast<unsigned long long>(d.capacity) * sizeof(ListItem)));
            FreeListObject(&list);
            return YRB_FAILED;
        }
    }
    const unsigned long long indexBytes = static_cast<unsigned long long>(n) * sizeof(uint32_t);
    list.index1 = AllocFilled<uint32_t>(n, pool, prefault);
    if (list.index1 == nullptr) {
        SendError(&g_registered,
                  Format("Memory required for list object index 1 could not be allocated : %llu bytes", indexBytes));
        FreeListObject(&list);
        return YRB_FAILED;
    }
    list.index2 = AllocFilled<uint32_t>(n, pool, prefault);
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
    return 1;
}

// A separator that can overlap itself ("\n\n", "abab") splits a text in a
// way that depends on where the search started; one that cannot is found
// at the same places from anywhere.
bool CanOverlapItself(const char* sep, uint32_t n) {
    for (uint32_t k = 1; k < n; ++k)
        if (std::memcmp(sep, sep + n - k, k) == 0) return true;
    return false;
}

// A part of the content for one worker at a time: it starts where a record
// starts, so its records are the ones the whole-content pass finds there.
struct LoadChunk {
    uint32_t begin, end;
    LevelCounts counts = {};
    LevelCounts first = {};  // its first item of each level
    bool mismatch = false;
};

std::vector<LoadChunk> SplitAtRecords(const ListObject& list, unsigned parts) {
    const ListDimension& d = list.dims[0];
    const char* content = list.content;
    const char* end = content + list.size;
    std::vector<LoadChunk> chunks;
    uint32_t begin = 0;
    for (unsigned k = 1; k <= parts && begin < list.size; ++k) {
        uint32_t cut = list.size;
        const uint32_t target = static_cast<uint32_t>(SplitPoint(list.size, parts, k));
        if (k < parts && target > begin) {
            const char* hit = d.sepLength == 1
                                  ? static_cast<const char*>(std::memchr(content + target, d.separator[0],
                                                                         static_cast<size_t>(end - content - target)))
                                  : FindText(content + target, end, d.separator, d.separator + d.sepLength, true);
            if (hit) cut = static_cast<uint32_t>(hit - content) + d.sepLength;
        }
        if (k < parts && target <= begin) continue;
        chunks.push_back(LoadChunk{begin, cut});
        begin = cut;
    }
    return chunks;
}

struct SerialParse {
    const Table* t;
    ProgressStep& step;
    bool Stop() { return PollInterrupt(t); }
    void Entry(uint32_t parsed) { step(parsed); }
    void LevelDone(uint32_t capacity) { Progress(t, capacity); }
};

struct WorkerParse {
    Worker& w;
    bool Stop() { return !w.Poll(); }
    void Entry(uint32_t) { w.Advance(1); }
    void LevelDone(uint32_t) {}
};

int32_t BuildSerial(ListObject& list, const Table* t, BlockPool* pool, bool lowerFirst) {
    if (lowerFirst) LowerAscii(list.content, list.size);
    const int64_t counted = CountRecords(list, !lowerFirst, t);
    if (counted < 0) return static_cast<int32_t>(counted);
    const uint32_t n = list.dims[0].capacity;

    Info(t, "Allocating Memory");
    if (AllocateArrays(list, pool, true) < 0) return YRB_FAILED;

    Info(t, "Parsing entries");
    InitProgress(t, n);
    Progress(t, 0);
    ProgressStep step(t, n);
    SerialParse hooks{t, step};
    Parser<SerialParse> parser{list, !lowerFirst, hooks};
    for (uint32_t l = 0; l < list.levels; ++l) parser.limit[l] = list.dims[l].capacity;
    ListItem root{0, list.size, 0, 0};
    const int64_t parsed = parser.Level<0>(root);
    if (parsed == kCountMismatch) SendError(&g_registered, kMismatchMessage);
    if (parsed < 0) {
        FreeListObject(&list);
        return static_cast<int32_t>(parsed);
    }
    for (uint32_t l = 0; l < list.levels; ++l) list.dims[l].parsed = parser.next[l];
    for (uint32_t i = 0; i < n; ++i) list.index1[i] = i;
    // Sorting and statistics walk index 2, so it never holds holes.
    CopyIndex(list.index1, list.index2, n);
    return static_cast<int32_t>(n);
}

// The same passes with the content cut into chunks at record boundaries:
// every chunk is counted, then parsed into its own ranges of the item
// arrays, which follow each other in file order.
int32_t BuildParallel(ListObject& list, const Table* t, BlockPool* pool, bool lowerFirst, unsigned workers) {
    // More chunks than workers, so one slow chunk does not hold up the pass.
    constexpr unsigned kChunksPerWorker = 4;
    std::vector<LoadChunk> chunks = SplitAtRecords(list, workers * kChunksPerWorker);
    const unsigned parts = static_cast<unsigned>(chunks.size());
    InitProgress(t, list.size);
    Progress(t, 0);
    {
        ProgressStep step(t, list.size);
        std::atomic<unsigned> next{0};
        const int32_t r = RunWorkers(workers, Watch{t, false, &step, 0}, [&](Worker& w) {
            auto stop = [&w] { return !w.Poll(); };
            for (unsigned c; (c = next.fetch_add(1)) < parts;) {
                LoadChunk& chunk = chunks[c];
                char* from = list.content + chunk.begin;
                const char* to = list.content + chunk.end;
                if (lowerFirst) LowerAscii(from, chunk.end - chunk.begin);
                const char* last = from;
                const int64_t counted = CountRecordsIn(list, from, to, !lowerFirst, chunk.counts, stop,
                                                       [&](const char* cursor) {
                                                           const char* at = cursor ? cursor : to;
                                                           w.Advance(static_cast<uint64_t>(at - last));
                                                           last = at;
                                                       });
                if (counted < 0) return;
            }
        });
        if (r < 0) return r;
    }
    uint64_t totals[kMaxLevels] = {};
    for (LoadChunk& chunk : chunks) {
        for (uint32_t l = 0; l < list.levels; ++l) {
            chunk.first[l] = static_cast<uint32_t>(totals[l]);
            totals[l] += chunk.counts[l];
        }
    }
    // Every item holds a byte of its own at its level, so the totals fit.
    for (uint32_t l = 0; l < list.levels; ++l) list.dims[l].capacity = static_cast<uint32_t>(totals[l]);
    Progress(t, list.size);
    if (PollInterrupt(t)) return YRB_STOPPED;
    const uint32_t n = list.dims[0].capacity;

    Info(t, "Allocating Memory");
    // Each worker faults in the pages of its own ranges.
    if (AllocateArrays(list, pool, false) < 0) return YRB_FAILED;

    Info(t, "Parsing entries");
    InitProgress(t, n);
    Progress(t, 0);
    ProgressStep step(t, n);
    std::atomic<unsigned> next{0};
    const int32_t r = RunWorkers(workers, Watch{t, false, &step, 0}, [&](Worker& w) {
        WorkerParse hooks{w};
        for (unsigned c; (c = next.fetch_add(1)) < parts;) {
            LoadChunk& chunk = chunks[c];
            Parser<WorkerParse> parser{list, !lowerFirst, hooks};
            for (uint32_t l = 0; l < list.levels; ++l) {
                parser.next[l] = chunk.first[l];
                parser.limit[l] = chunk.first[l] + chunk.counts[l];
                Prefault(list.dims[l].items + chunk.first[l], size_t(chunk.counts[l]) * sizeof(ListItem));
            }
            ListItem root{chunk.begin, chunk.end - chunk.begin, 0, 0};
            const int64_t parsed = parser.Level<0>(root);
            if (parsed == YRB_STOPPED) return;
            for (uint32_t l = 0; l < list.levels; ++l) chunk.mismatch |= parser.next[l] != parser.limit[l];
            if (parsed == kCountMismatch) chunk.mismatch = true;
            const uint32_t e0 = chunk.first[0];
            const uint32_t e1 = e0 + chunk.counts[0];
            Prefault(list.index1 + e0, size_t(e1 - e0) * sizeof(uint32_t));
            Prefault(list.index2 + e0, size_t(e1 - e0) * sizeof(uint32_t));
            for (uint32_t i = e0; i < e1; ++i) list.index1[i] = i;
            std::memcpy(list.index2 + e0, list.index1 + e0, size_t(e1 - e0) * sizeof(uint32_t));
        }
    });
    if (r < 0) {
        FreeListObject(&list);
        return r;
    }
    for (const LoadChunk& chunk : chunks) {
        if (chunk.mismatch) {
            SendError(&g_registered, kMismatchMessage);
            FreeListObject(&list);
            return YRB_FAILED;
        }
    }
    for (uint32_t l = 0; l < list.levels; ++l) list.dims[l].parsed = list.dims[l].capacity;
    Progress(t, n);
    return static_cast<int32_t>(n);
}

}  // namespace

int32_t BuildList(ListObject& list, const Table* t, BlockPool* pool) {
    if (list.content == nullptr || list.size == 0) return YRB_FAILED;
    Info(t, "Counting entries");
    // When the record separator has no letters, lower-casing first changes no
    // record boundary, and one pass over the bytes is much cheaper.
    const ListDimension& records = list.dims[0];
    const bool lowerFirst = !HasAsciiLetter(records.separator, records.sepLength);
    for (uint32_t l = 0; l < list.levels; ++l) list.dims[l].capacity = 0;
    const unsigned workers = WorkersFor(list.size / kBytesPerEntryGuess);
    if (workers > 1 && !CanOverlapItself(records.separator, records.sepLength))
        return BuildParallel(list, t, pool, lowerFirst, workers);
    return BuildSerial(list, t, pool, lowerFirst);
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
