// Sorting an entry index by one of the twelve keys (YRB02, SortEntries).
//
// The order is the one of the key's compare rule: texts in CompareBytes
// order, numbers by value, entries lacking the part first in both directions,
// descending by exchanging the operands.  Entries with equal keys keep their
// order (the sort is stable), so the first copy of an address in the current
// order stays first.
//
// How: the entries lacking the part are set aside in their order; every other
// entry becomes a 16-byte record (a 64-bit key, a small secondary key, the
// entry number).  For texts the key is the next eight bytes big-endian and the
// secondary key says where the text ends (inside those eight bytes at which
// length, or beyond them).  Large ranges are sorted by LSD radix passes
// (stable) over the secondary key and the four 16-bit digits of the key;
// runs of texts that agree on those eight bytes and go on are sorted again on
// their next eight bytes.  Smaller ranges are merge sorted with the full
// comparison.  The sort works on a copy and writes the index back only when
// it finishes, so a stop leaves the index as it was.
//
// Every record moved or compared is one step: it polls for a stop and ticks
// the animation, as often as a comparison sort polls per comparison.
#include "sorting.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "guard.h"
#include "text.h"

namespace yrb {

namespace {

const char* const kSortInfo[12] = {
    "Sorting entries alphabetically",
    "Sorting entries alphabetically by user",
    "Sorting entries alphabetically by domain",
    "Sorting entries by length",
    "Sorting entries by user length",
    "Sorting entries by domain length",
    "Sorting entries by number of occurrences",
    "Sorting entries by invalid flag",
    "Sorting entries by duplicate flag",
    "Sorting entries by deleted flag",
    "Sorting entries by compare flag",
    "Sorting entries by selection",
};

// The flag mask of keys 7 to 11.
constexpr uint8_t kFlagMask[12] = {0, 0, 0, 0, 0, 0, 0, 0x20, 0x10, 0x08, 0x06, 0x01};

struct Rec {
    uint64_t key;   // texts: the eight bytes of the range's depth; others: the value
    uint64_t next;  // texts: the eight bytes after them, where the range says so
    uint32_t id;
    uint32_t len;   // texts: the whole length
};

constexpr uint32_t kChunk = 8;          // bytes per text key
constexpr uint32_t kGoesOn = 9;         // where a text ends: beyond the eight bytes
constexpr uint32_t kAuxBuckets = 10;    // where a text ends: 1..9
constexpr uint32_t kDigits = 4;         // 16-bit digits of a key
constexpr uint32_t kBuckets = 1u << 16;
constexpr size_t kRadixMin = 1u << 14;  // smaller ranges are merge sorted
constexpr size_t kInsertionRun = 16;    // merge sort starts from runs this long

struct Stopped {};

class Sorter {
public:
    Sorter(const ListObject& list, int32_t key, bool descending)
        : list_(list),
          key_(key),
          part_(key <= 5 ? key % 3 : -1),
          text_(key <= 2),
          desc_(descending),
          content_(reinterpret_cast<const unsigned char*>(list.content)),
          contentEnd_(content_ + list.size + 1) {}

    // 1 sorted, -2 stopped.
    int32_t Run(uint32_t* index, uint32_t count) {
        std::vector<uint32_t> missing;
        a_.reset(new Rec[count]);
        if (text_) off_.reset(new uint32_t[list_.Count()]);
        size_t n = 0;
        for (uint32_t i = 0; i < count; ++i) {
            Step();
            if (First(a_[n], index[i])) {
                ++n;
            } else {
                missing.push_back(index[i]);
            }
        }
        if (n > 1) {
            b_.reset(new Rec[n]);
            std::vector<Range> work{{0, n, 0, true}};
            while (!work.empty()) {
                const Range r = work.back();
                work.pop_back();
                if (r.end - r.begin < kRadixMin) {
                    MergeSort(r);
                } else {
                    RadixSort(r.begin, r.end);
                    if (text_) SplitTies(r, work);
                }
            }
        }
        uint32_t* out = index;
        for (uint32_t id : missing) *out++ = id;
        for (size_t i = 0; i < n; ++i) *out++ = a_[i].id;
        return 1;
    }

private:
    // A range of records whose texts agree on their first depth * 8 bytes.
    struct Range {
        size_t begin, end;
        uint32_t depth;
        bool nextReady;  // next holds the eight bytes after key
    };

    void Step() {
        const bool stop = PollInterrupt(&g_registered);
        PollAnimation(&g_registered);
        if (stop) throw Stopped{};
    }

    // Bytes 8 * depth to 8 * depth + 7 of a text, big-endian, zero-padded;
    // inverted when descending.
    uint64_t Chunk(uint32_t off, uint32_t len, uint32_t depth) const {
        const uint32_t skip = depth * kChunk;
        uint64_t k = 0;
        if (len > skip) {
            const uint32_t take = len - skip < kChunk ? len - skip : kChunk;
            const unsigned char* p = content_ + off + skip;
            if (p + kChunk <= contentEnd_) {
                std::memcpy(&k, p, kChunk);
                k = __builtin_bswap64(k);
                if (take < kChunk) k &= ~uint64_t(0) << (8 * (kChunk - take));
            } else {
                for (uint32_t i = 0; i < take; ++i) k |= uint64_t(p[i]) << (56 - 8 * i);
            }
        }
        return desc_ ? ~k : k;
    }

    // Where a text ends, seen from a depth: 1..8 inside its eight bytes,
    // kGoesOn beyond them; mirrored when descending.
    uint32_t Ends(uint32_t len, uint32_t depth) const {
        const uint32_t rest = len - depth * kChunk;
        const uint32_t e = rest < kGoesOn ? rest : kGoesOn;
        return desc_ ? kAuxBuckets - e : e;
    }
    uint32_t GoesOnMark() const { return desc_ ? kAuxBuckets - kGoesOn : kGoesOn; }

    // The record of an entry at depth 0; false when the entry lacks the part.
    bool First(Rec& r, uint32_t id) {
        r.id = id;
        r.len = 0;
        r.next = 0;
        if (part_ >= 0) {
            const ListItem* it = list_.Part(id, part_);
            if (it == nullptr) return false;
            if (text_) {
                off_[id] = it->offset;
                r.len = it->length;
                r.key = Chunk(it->offset, it->length, 0);
                r.next = Chunk(it->offset, it->length, 1);
                return true;
            }
            r.key = it->length;
        } else if (key_ == 6) {
            r.key = list_.occurrences[id];
        } else {
            r.key = list_.flags[id] & kFlagMask[key_];
        }
        if (desc_) r.key = ~r.key;
        return true;
    }

    // Full order of two records of a range.
    int Compare(const Rec& x, const Rec& y, const Range& r) const {
        if (x.key != y.key) return x.key < y.key ? -1 : 1;
        if (!text_) return 0;
        uint32_t depth = r.depth;
        uint32_t ex = Ends(x.len, depth), ey = Ends(y.len, depth);
        if (ex != ey) return ex < ey ? -1 : 1;
        if (ex != GoesOnMark()) return 0;
        ++depth;
        if (r.nextReady) {
            if (x.next != y.next) return x.next < y.next ? -1 : 1;
            ex = Ends(x.len, depth);
            ey = Ends(y.len, depth);
            if (ex != ey) return ex < ey ? -1 : 1;
            if (ex != GoesOnMark()) return 0;
            ++depth;
        }
        const uint32_t skip = depth * kChunk;
        return CompareBytes(list_.content + off_[x.id] + skip, list_.content + off_[y.id] + skip,
                            x.len - skip, y.len - skip, desc_);
    }

    // Stable: insertion sorts of short runs, then merges between a_ and b_.
    void MergeSort(const Range& r) {
        const size_t begin = r.begin, end = r.end;
        Rec* a = a_.get();
        for (size_t lo = begin; lo < end; lo += kInsertionRun) {
            const size_t hi = std::min(end, lo + kInsertionRun);
            for (size_t k = lo + 1; k < hi; ++k) {
                const Rec v = a[k];
                size_t j = k;
                while (j > lo) {
                    Step();
                    if (Compare(a[j - 1], v, r) <= 0) break;
                    a[j] = a[j - 1];
                    --j;
                }
                a[j] = v;
            }
        }
        Rec* src = a;
        Rec* dst = b_.get();
        for (size_t width = kInsertionRun; width < end - begin; width *= 2) {
            for (size_t lo = begin; lo < end; lo += 2 * width) {
                const size_t mid = std::min(end, lo + width);
                const size_t hi = std::min(end, lo + 2 * width);
                Step();
                if (mid >= hi || Compare(src[mid - 1], src[mid], r) <= 0) {
                    std::copy(src + lo, src + hi, dst + lo);  // already in order
                    continue;
                }
                size_t i = lo, j = mid, o = lo;
                while (i < mid && j < hi) {
                    Step();
                    dst[o++] = Compare(src[j], src[i], r) < 0 ? src[j++] : src[i++];
                }
                while (i < mid) dst[o++] = src[i++];
                while (j < hi) dst[o++] = src[j++];
            }
            std::swap(src, dst);
        }
        if (src != a) std::copy(src + begin, src + end, a + begin);
    }

    // Stable LSD passes over the key's 16-bit digits from the lowest; a pass
    // whose digit is the same for every record is skipped.
    void RadixSort(size_t begin, size_t end) {
        const size_t n = end - begin;
        std::vector<uint32_t> count(static_cast<size_t>(kDigits) * kBuckets, 0);
        Rec* src = a_.get() + begin;
        Rec* dst = b_.get() + begin;
        for (size_t i = 0; i < n; ++i) {
            const uint64_t k = src[i].key;
            for (uint32_t d = 0; d < kDigits; ++d) ++count[d * kBuckets + ((k >> (16 * d)) & 0xFFFF)];
        }
        for (uint32_t d = 0; d < kDigits; ++d) {
            uint32_t* c = count.data() + static_cast<size_t>(d) * kBuckets;
            const uint32_t shift = 16 * d;
            if (c[(src[0].key >> shift) & 0xFFFF] == n) continue;
            Scatter(src, dst, n, c, kBuckets, [shift](const Rec& x) {
                return static_cast<uint32_t>((x.key >> shift) & 0xFFFF);
            });
            std::swap(src, dst);
        }
        if (src != a_.get() + begin) std::copy(src, src + n, a_.get() + begin);
    }

    // One stable counting pass; counts (buckets long) is the digit's histogram.
    template <class Digit>
    void Scatter(const Rec* src, Rec* dst, size_t n, uint32_t* counts, uint32_t buckets,
                 Digit digit) {
        uint32_t sum = 0;
        for (uint32_t b = 0; b < buckets; ++b) {
            const uint32_t c = counts[b];
            counts[b] = sum;
            sum += c;
        }
        for (size_t i = 0; i < n; ++i) {
            Step();
            dst[counts[digit(src[i])]++] = src[i];
        }
    }

    // After a radix sort of texts by key: each run of equal keys is put in
    // order of where its texts end, and the texts that go on are sorted again
    // on their next eight bytes.
    void SplitTies(const Range& r, std::vector<Range>& work) {
        Rec* a = a_.get();
        size_t i = r.begin;
        while (i < r.end) {
            size_t j = i + 1;
            while (j < r.end && a[j].key == a[i].key) ++j;
            if (j - i > 1) SplitRun(r, i, j, work);
            i = j;
        }
    }

    void SplitRun(const Range& r, size_t begin, size_t end, std::vector<Range>& work) {
        Rec* a = a_.get();
        uint32_t counts[kAuxBuckets] = {};
        for (size_t k = begin; k < end; ++k) ++counts[Ends(a[k].len, r.depth)];
        const size_t n = end - begin;
        if (counts[Ends(a[begin].len, r.depth)] != n) {
            Rec* tmp = b_.get() + begin;
            const uint32_t depth = r.depth;
            Scatter(a + begin, tmp, n, counts, kAuxBuckets,
                    [this, depth](const Rec& x) { return Ends(x.len, depth); });
            std::copy(tmp, tmp + n, a + begin);
        }
        // The texts that go on lie together: last ascending, first descending.
        size_t gb = begin, ge = end;
        while (gb < ge && Ends(a[gb].len, r.depth) != GoesOnMark()) ++gb;
        while (ge > gb && Ends(a[ge - 1].len, r.depth) != GoesOnMark()) --ge;
        if (ge - gb < 2) return;
        const uint32_t depth = r.depth + 1;
        if (r.nextReady) {
            for (size_t k = gb; k < ge; ++k) a[k].key = a[k].next;
        } else {
            for (size_t k = gb; k < ge; ++k) {
                Step();
                const uint32_t off = off_[a[k].id];
                a[k].key = Chunk(off, a[k].len, depth);
                a[k].next = Chunk(off, a[k].len, depth + 1);
            }
        }
        work.push_back({gb, ge, depth, !r.nextReady});
    }

    const ListObject& list_;
    const int32_t key_;
    const int part_;
    const bool text_;
    const bool desc_;
    const unsigned char* const content_;
    const unsigned char* const contentEnd_;
    std::unique_ptr<Rec[]> a_;
    std::unique_ptr<Rec[]> b_;
    std::unique_ptr<uint32_t[]> off_;  // texts: content offset of each entry's part
};

}  // namespace

int32_t SortEntries(const ListObject& list, uint32_t* index, uint32_t count, int32_t key,
                    bool descending) {
    if (index == nullptr) return -1;
    if (key < 0 || key > 11) key = 0;
    if (count == 1) return 1;
    Info(&g_registered, kSortInfo[key]);
    if (count < 2) return -1;
    try {
        Sorter sorter(list, key, descending);
        return sorter.Run(index, count);
    } catch (const Stopped&) {
        return -2;
    } catch (const std::bad_alloc&) {
        SendError(&g_registered, "Not enough memory to complete the operation");
        return -1;
    }
}

}  // namespace yrb

using namespace yrb;

extern "C" YRB_API int32_t YRB02(int32_t slot, int32_t key, int32_t which_index,
                                 int32_t descending) {
    return Guarded([&]() -> int32_t {
        ListObject* list = nullptr;
        if (ValidateSlot(slot, list, &g_registered) != 1) return -1;
        BusyScope busy(list);
        uint32_t* index = which_index == 0 ? list->index1 : list->index2;
        return SortEntries(*list, index, list->Count(), key, descending != 0);
    });
}
