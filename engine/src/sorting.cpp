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
    uint64_t key;
    uint32_t aux;  // text keys: where the text ends; other keys: 0
    uint32_t id;
};

constexpr uint32_t kChunk = 8;        // bytes per text key
constexpr uint32_t kGoesOn = 9;       // aux: the text goes on past the chunk
constexpr uint32_t kAuxBuckets = 10;  // aux values 0..9
constexpr uint32_t kDigits = 4;       // 16-bit digits of the key
constexpr uint32_t kBuckets = 1u << 16;
constexpr size_t kRadixMin = 1u << 16;  // smaller ranges are merge sorted
constexpr size_t kInsertionRun = 16;    // merge sort starts from runs this long

struct Stopped {};

class Sorter {
public:
    Sorter(const ListObject& list, int32_t key, bool descending)
        : list_(list),
          key_(key),
          part_(key <= 5 ? key % 3 : -1),
          text_(key <= 2),
          desc_(descending) {}

    // 1 sorted, -2 stopped.
    int32_t Run(uint32_t* index, uint32_t count) {
        std::vector<uint32_t> missing;
        a_.reset(new Rec[count]);
        size_t n = 0;
        for (uint32_t i = 0; i < count; ++i) {
            Step();
            const uint32_t id = index[i];
            Rec& r = a_[n];
            if (!Fill(r, id, 0)) {
                missing.push_back(id);
                continue;
            }
            ++n;
        }
        if (n > 1) {
            b_.reset(new Rec[n]);
            std::vector<Range> work{{0, n, 0}};
            bool keysReady = true;  // the first range has its keys already
            while (!work.empty()) {
                const Range r = work.back();
                work.pop_back();
                if (!keysReady) {
                    for (size_t i = r.begin; i < r.end; ++i) {
                        Step();
                        Fill(a_[i], a_[i].id, r.depth);
                    }
                }
                keysReady = false;
                if (r.end - r.begin < kRadixMin) {
                    MergeSort(r.begin, r.end, r.depth);
                } else {
                    RadixSort(r.begin, r.end);
                    if (text_) PushRunsThatGoOn(r, work);
                }
            }
        }
        uint32_t* out = index;
        for (uint32_t id : missing) *out++ = id;
        for (size_t i = 0; i < n; ++i) *out++ = a_[i].id;
        return 1;
    }

private:
    struct Range {
        size_t begin, end;
        uint32_t depth;  // text keys: which eight bytes the key holds
    };

    void Step() {
        const bool stop = PollInterrupt(&g_registered);
        PollAnimation(&g_registered);
        if (stop) throw Stopped{};
    }

    // The record of an entry at a depth; false when the entry lacks the part.
    bool Fill(Rec& r, uint32_t id, uint32_t depth) const {
        r.id = id;
        r.aux = 0;
        if (part_ >= 0) {
            const ListItem* it = list_.Part(id, part_);
            if (it == nullptr) return false;
            if (text_) {
                const uint32_t skip = depth * kChunk;
                const uint32_t rest = it->length - skip;  // above 0 by construction
                const uint32_t take = rest < kChunk ? rest : kChunk;
                const unsigned char* p =
                    reinterpret_cast<const unsigned char*>(list_.Text(*it)) + skip;
                uint64_t k = 0;
                for (uint32_t i = 0; i < take; ++i) k |= uint64_t(p[i]) << (56 - 8 * i);
                const uint32_t ends = rest < kGoesOn ? rest : kGoesOn;
                r.key = desc_ ? ~k : k;
                r.aux = desc_ ? kGoesOn + 1 - ends : ends;
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

    bool GoesOn(const Rec& r) const { return r.aux == (desc_ ? 1u : kGoesOn); }

    // Full order of two records whose keys were taken at the given depth.
    int Compare(const Rec& x, const Rec& y, uint32_t depth) const {
        if (x.key != y.key) return x.key < y.key ? -1 : 1;
        if (x.aux != y.aux) return x.aux < y.aux ? -1 : 1;
        if (!text_ || !GoesOn(x)) return 0;
        const ListItem* px = list_.Part(x.id, part_);
        const ListItem* py = list_.Part(y.id, part_);
        const uint32_t skip = (depth + 1) * kChunk;
        return CompareBytes(list_.Text(*px) + skip, list_.Text(*py) + skip, px->length - skip,
                            py->length - skip, desc_);
    }

    // Stable: insertion sorts of short runs, then merges between a_ and b_.
    void MergeSort(size_t begin, size_t end, uint32_t depth) {
        Rec* a = a_.get();
        for (size_t lo = begin; lo < end; lo += kInsertionRun) {
            const size_t hi = std::min(end, lo + kInsertionRun);
            for (size_t k = lo + 1; k < hi; ++k) {
                const Rec v = a[k];
                size_t j = k;
                while (j > lo) {
                    Step();
                    if (Compare(a[j - 1], v, depth) <= 0) break;
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
                size_t i = lo, j = mid, o = lo;
                if (mid < hi && Compare(src[mid - 1], src[mid], depth) <= 0) {
                    // Already in order: copy the pair of runs.
                    Step();
                    std::copy(src + lo, src + hi, dst + lo);
                    continue;
                }
                while (i < mid && j < hi) {
                    Step();
                    dst[o++] = Compare(src[j], src[i], depth) < 0 ? src[j++] : src[i++];
                }
                while (i < mid) dst[o++] = src[i++];
                while (j < hi) dst[o++] = src[j++];
            }
            std::swap(src, dst);
        }
        if (src != a) std::copy(src + begin, src + end, a + begin);
    }

    // Stable LSD passes: aux first, then the key's 16-bit digits from the
    // lowest; a pass whose digit is the same for every record is skipped.
    void RadixSort(size_t begin, size_t end) {
        const size_t n = end - begin;
        std::vector<uint32_t> auxCount(kAuxBuckets, 0);
        std::vector<uint32_t> count(static_cast<size_t>(kDigits) * kBuckets, 0);
        Rec* a = a_.get();
        for (size_t i = begin; i < end; ++i) {
            ++auxCount[a[i].aux];
            const uint64_t k = a[i].key;
            for (uint32_t d = 0; d < kDigits; ++d) ++count[d * kBuckets + ((k >> (16 * d)) & 0xFFFF)];
        }
        Rec* src = a + begin;
        Rec* dst = b_.get() + begin;
        if (auxCount[a[begin].aux] != n) {
            Scatter(src, dst, n, auxCount.data(), kAuxBuckets, [](const Rec& r) { return r.aux; });
            std::swap(src, dst);
        }
        for (uint32_t d = 0; d < kDigits; ++d) {
            uint32_t* c = count.data() + static_cast<size_t>(d) * kBuckets;
            const uint32_t shift = 16 * d;
            if (c[(src[0].key >> shift) & 0xFFFF] == n) continue;
            Scatter(src, dst, n, c, kBuckets, [shift](const Rec& r) {
                return static_cast<uint32_t>((r.key >> shift) & 0xFFFF);
            });
            std::swap(src, dst);
        }
        if (src != a + begin) std::copy(src, src + n, a + begin);
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

    // After a radix sort of texts: runs that agree on the key and go on are
    // sorted again on their next eight bytes.
    void PushRunsThatGoOn(const Range& r, std::vector<Range>& work) const {
        const Rec* a = a_.get();
        size_t i = r.begin;
        while (i < r.end) {
            size_t j = i + 1;
            while (j < r.end && a[j].key == a[i].key && a[j].aux == a[i].aux) ++j;
            if (j - i > 1 && GoesOn(a[i])) work.push_back({i, j, r.depth + 1});
            i = j;
        }
    }

    const ListObject& list_;
    const int32_t key_;
    const int part_;
    const bool text_;
    const bool desc_;
    std::unique_ptr<Rec[]> a_;
    std::unique_ptr<Rec[]> b_;
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
