// Sorting an entry index by one of the twelve keys (YRB02, SortEntries).
//
// The order is the one of the key's compare rule: texts in CompareBytes
// order, numbers by value, entries lacking the part first in both directions,
// descending by exchanging the operands.  Entries with equal keys keep their
// order (the sort is stable), so the first copy of an address in the current
// order stays first.
//
// How: entries lacking the part are set aside in their order; every other
// entry becomes a small record that carries its sort key, and the records are
// sorted by stable counting passes.
// - Numbers (lengths, occurrences, flags) fit in 32 bits: LSD radix passes
//   over 16-bit digits, at most two.
// - Texts: a record carries one chunk of eight bytes of its text as a
//   big-endian number, and the text's length.  Ranges are split MSD-first on
//   the chunk's next byte (two bytes for long ranges), so each pass works on
//   ever smaller ranges that soon fit in the cache; once a range agrees on
//   the whole chunk, the texts that end there come first by length, and the
//   texts that go on carry their next chunk, read anew.  Small ranges are
//   merge sorted on the chunk and where the texts end, and their runs of
//   texts that go on past an equal chunk carry their next chunk as well.
// The sort works on copies, the entry numbers taken before its first
// callback, and writes the index back only when it finishes, so a stop
// leaves the index as it was.
//
// Every record moved or compared is one step: it polls for a stop and ticks
// the animation, as a comparison sort polls once per comparison.
#include "sorting.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "guard.h"
#include "gather.h"
#include "text.h"

namespace yrb {

namespace {

constexpr int kSortKeys = YRB_SORT_SELECTED + 1;

const char* const kSortInfo[kSortKeys] = {
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

// The text keys are the parts they sort by.
static_assert(YRB_SORT_ADDRESS == YRB_PART_ADDRESS && YRB_SORT_USER == YRB_PART_USER &&
              YRB_SORT_DOMAIN == YRB_PART_DOMAIN);

constexpr int kNoPart = -1;

// The part whose text or length a key sorts by, or kNoPart.
constexpr int KeyPart(int32_t key) {
    if (key <= YRB_SORT_DOMAIN) return key;
    if (key <= YRB_SORT_DOMAIN_LENGTH) return key - YRB_SORT_ADDRESS_LENGTH;
    return kNoPart;
}

// The flags a flag key sorts by.
constexpr uint8_t FlagMask(int32_t key) {
    switch (key) {
        case YRB_SORT_INVALID: return YRB_FLAG_INVALID;
        case YRB_SORT_DUPLICATE: return YRB_FLAG_DUPLICATE;
        case YRB_SORT_DELETED: return YRB_FLAG_DELETED;
        case YRB_SORT_COMPARE: return YRB_MASK_COMPARE;
        case YRB_SORT_SELECTED: return YRB_FLAG_SELECTED;
        default: return 0;
    }
}

constexpr uint32_t kBuckets = 1u << 16;  // a 16-bit digit

struct Stopped {};

void Step() {
    const bool stop = PollInterrupt(&g_registered);
    PollAnimation(&g_registered);
    if (stop) throw Stopped{};
}

// One stable counting pass; counts (buckets long) is the digit's histogram
// and becomes the start of each bucket.
template <class R, class Digit>
void Scatter(const R* src, R* dst, size_t n, uint32_t* counts, uint32_t buckets, Digit digit) {
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

// Stable LSD passes over the 16-bit digits of key(r), lowest first; a digit
// that is the same for every record costs no pass.  The result ends in a.
template <class R, class Key>
void RadixSort(R* a, R* b, size_t n, uint32_t digits, Key key) {
    std::vector<uint32_t> count(static_cast<size_t>(digits) * kBuckets, 0);
    for (size_t i = 0; i < n; ++i) {
        const uint64_t k = key(a[i]);
        for (uint32_t d = 0; d < digits; ++d) ++count[d * kBuckets + ((k >> (16 * d)) & 0xFFFF)];
    }
    R* src = a;
    R* dst = b;
    for (uint32_t d = 0; d < digits; ++d) {
        uint32_t* c = count.data() + static_cast<size_t>(d) * kBuckets;
        const uint32_t shift = 16 * d;
        if (c[(key(src[0]) >> shift) & 0xFFFF] == n) continue;
        Scatter(src, dst, n, c, kBuckets, [&key, shift](const R& x) {
            return static_cast<uint32_t>((key(x) >> shift) & 0xFFFF);
        });
        std::swap(src, dst);
    }
    if (src != a) std::copy(src, src + n, a);
}

// ---- Numbers: lengths, occurrences, flags -------------------------------

class NumberSorter {
public:
    NumberSorter(const ListObject& list, int32_t key, bool descending)
        : list_(list), key_(key), part_(KeyPart(key)), flagMask_(FlagMask(key)), desc_(descending) {}

    // Sorts the count entry numbers of ids into index.
    void Run(const uint32_t* ids, uint32_t* index, uint32_t count) {
        std::vector<uint32_t> missing;
        std::unique_ptr<Rec[]> a(new Rec[count]);
        const ListItem* items[kGatherBatch];
        uint32_t keys[kGatherBatch];
        size_t n = 0;
        for (uint32_t base = 0; base < count; base += kGatherBatch) {
            const size_t m = std::min<size_t>(kGatherBatch, count - base);
            const uint32_t* batch = ids + base;
            // The keys of the batch first, each read independently.
            if (part_ != kNoPart) {
                GatherParts(list_, batch, m, part_, items);
                for (size_t j = 0; j < m; ++j) keys[j] = items[j] ? items[j]->length : kMissing;
            } else if (key_ == YRB_SORT_OCCURRENCES) {
                for (size_t j = 0; j < m; ++j) keys[j] = list_.occurrences[batch[j]];
            } else {
                for (size_t j = 0; j < m; ++j) keys[j] = list_.flags[batch[j]] & flagMask_;
            }
            for (size_t j = 0; j < m; ++j) {
                Step();
                if (part_ != kNoPart && items[j] == nullptr) {
                    missing.push_back(batch[j]);
                    continue;
                }
                a[n++] = {desc_ ? ~keys[j] : keys[j], batch[j]};
            }
        }
        if (n > 1) {
            std::unique_ptr<Rec[]> b(new Rec[n]);
            RadixSort(a.get(), b.get(), n, 2, [](const Rec& r) -> uint64_t { return r.key; });
        }
        uint32_t* out = index;
        for (uint32_t id : missing) *out++ = id;
        for (size_t i = 0; i < n; ++i) *out++ = a[i].id;
    }

private:
    struct Rec {
        uint32_t key;
        uint32_t id;
    };
    static constexpr uint32_t kMissing = 0;  // key of an entry lacking the part (set aside)

    const ListObject& list_;
    const int32_t key_;
    const int part_;
    const uint8_t flagMask_;
    const bool desc_;
};

// ---- Texts: address, user, domain ------------------------------------------

constexpr uint32_t kChunk = 8;          // bytes per chunk
constexpr uint32_t kGoesOn = 9;         // where a text ends: beyond the chunk
constexpr uint32_t kEndsBuckets = 10;   // where a text ends: 1..9
constexpr size_t kSmallRange = 48;      // smaller ranges are merge sorted
constexpr size_t kWideMin = 1u << 16;   // ranges this long split on two bytes at once
constexpr size_t kInsertionRun = 16;    // merge sort starts from runs this long
constexpr size_t kDeeperBatch = 4096;   // records whose next chunks are read at once

class TextSorter {
public:
    TextSorter(const ListObject& list, int part, bool descending)
        : list_(list),
          part_(part),
          desc_(descending),
          content_(reinterpret_cast<const unsigned char*>(list.content)),
          contentEnd_(content_ + list.size + 1) {}

    // Sorts the count entry numbers of ids into index.  With groups, one
    // SortGroup per position of the sorted index; with spans, the part's
    // offset and length per position.
    void Run(const uint32_t* ids, uint32_t* index, uint32_t count, std::vector<uint8_t>* groups,
             std::vector<TextSpan>* spans) {
        std::vector<uint32_t> missing;
        a_.reset(new Rec[count]);
        off_.reset(new uint32_t[list_.Count()]);
        const ListItem* items[kGatherBatch];
        size_t n = 0;
        for (uint32_t base = 0; base < count; base += kGatherBatch) {
            const size_t m = std::min<size_t>(kGatherBatch, count - base);
            const uint32_t* batch = ids + base;
            GatherParts(list_, batch, m, part_, items);
            const size_t first = n;
            for (size_t j = 0; j < m; ++j) {
                Step();
                const ListItem* it = items[j];
                if (it == nullptr) {
                    missing.push_back(batch[j]);
                    continue;
                }
                Rec& r = a_[n++];
                r.id = batch[j];
                r.len = it->length;
                r.k = it->offset;  // for the loop below
            }
            // The texts of the batch, each read independently of the others.
            for (size_t j = first; j < n; ++j) {
                Rec& r = a_[j];
                const uint32_t off = static_cast<uint32_t>(r.k);
                off_[r.id] = off;
                r.k = Chunk(off, r.len, 0);
            }
        }
        if (groups) tie_.assign(n, 0);
        if (n > 1) {
            b_.reset(new Rec[n]);
            std::vector<Range> work{{0, n, 0, 0}};
            while (!work.empty() || !deeper_.empty()) {
                if (work.empty() || deeperRecords_ >= kDeeperBatch) {
                    ReadDeeper(work);
                    continue;
                }
                const Range r = work.back();
                work.pop_back();
                if (r.end - r.begin <= kSmallRange) {
                    MergeSort(r);
                } else if (r.level == kChunk) {
                    SplitEnds(r);
                } else {
                    SplitDigit(r, work);
                }
            }
            b_.reset();
        }
        uint32_t* out = index;
        for (uint32_t id : missing) *out++ = id;
        for (size_t i = 0; i < n; ++i) *out++ = a_[i].id;
        if (groups) {
            groups->assign(missing.size(), kLacksPart);
            groups->reserve(count);
            for (size_t i = 0; i < n; ++i) groups->push_back(tie_[i] ? kSameText : kNewText);
        }
        if (spans) {
            spans->assign(missing.size(), TextSpan{0, 0});
            spans->resize(count);
            TextSpan* s = spans->data() + missing.size();
            for (size_t i = 0; i < n; ++i) s[i] = {off_[a_[i].id], a_[i].len};
        }
    }

private:
    struct Rec {
        uint64_t k;    // chunk number depth of the text
        uint32_t id;
        uint32_t len;  // the whole text's length
    };

    // A range of records whose texts agree on their first depth chunks and on
    // the first level bytes of the chunk they carry.
    struct Range {
        size_t begin, end;
        uint32_t depth;
        uint32_t level;
    };

    // Chunk number depth of a text, big-endian, zero-padded; inverted when
    // descending.
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

    // Where a text ends, seen from a chunk: 1..8 inside it, kGoesOn beyond
    // it; mirrored when descending.
    uint32_t Ends(uint32_t len, uint32_t depth) const {
        const uint32_t rest = len - depth * kChunk;
        const uint32_t e = rest < kGoesOn ? rest : kGoesOn;
        return desc_ ? kEndsBuckets - e : e;
    }
    uint32_t GoesOnMark() const { return desc_ ? kEndsBuckets - kGoesOn : kGoesOn; }

    // Order of two records of a range by their chunk and where their texts
    // end; 0 for two texts that both go on is decided a chunk deeper.
    int Compare(const Rec& x, const Rec& y, const Range& r) const {
        if (x.k != y.k) return x.k < y.k ? -1 : 1;
        const uint32_t ex = Ends(x.len, r.depth), ey = Ends(y.len, r.depth);
        return ex == ey ? 0 : (ex < ey ? -1 : 1);
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
        // Runs of texts that go on past an equal chunk are sorted on the next.
        const uint32_t goesOn = GoesOnMark();
        for (size_t k = begin; k < end;) {
            size_t j = k + 1;
            while (j < end && Compare(a[k], a[j], r) == 0) ++j;
            if (Ends(a[k].len, r.depth) == goesOn) {
                if (j - k > 1) GoDeeper(k, j, r.depth);
            } else if (!tie_.empty()) {
                for (size_t q = k + 1; q < j; ++q) tie_[q] = 1;
            }
            k = j;
        }
    }

    // The texts of [begin, end) agree on chunk depth and go on: they are to
    // carry their next chunk and be sorted again on it.  The chunks are read
    // for many such ranges at once (ReadDeeper).
    void GoDeeper(size_t begin, size_t end, uint32_t depth) {
        deeper_.push_back({begin, end, depth + 1, 0});
        deeperRecords_ += end - begin;
    }

    void ReadDeeper(std::vector<Range>& work) {
        Rec* a = a_.get();
        // Offsets first, then texts: each loop's reads are independent.
        for (const Range& r : deeper_) {
            for (size_t k = r.begin; k < r.end; ++k) {
                const uint32_t off = off_[a[k].id];
                a[k].k = off;
                __builtin_prefetch(content_ + off + r.depth * kChunk);
            }
        }
        for (const Range& r : deeper_) {
            // Mostly the copies of one text: then the run is done.
            if (AllEqual(r)) {
                if (!tie_.empty()) std::fill(tie_.begin() + r.begin + 1, tie_.begin() + r.end, 1);
                continue;
            }
            for (size_t k = r.begin; k < r.end; ++k) {
                Step();
                a[k].k = Chunk(static_cast<uint32_t>(a[k].k), a[k].len, r.depth);
            }
            work.push_back(r);
        }
        deeper_.clear();
        deeperRecords_ = 0;
    }

    // The texts of a range agree on their first depth chunks and carry their
    // offsets: whether they are all the same text.
    bool AllEqual(const Range& r) const {
        const Rec* a = a_.get();
        const uint32_t len = a[r.begin].len;
        for (size_t k = r.begin + 1; k < r.end; ++k)
            if (a[k].len != len) return false;
        const uint32_t skip = r.depth * kChunk;
        const char* first = list_.content + a[r.begin].k + skip;
        for (size_t k = r.begin + 1; k < r.end; ++k) {
            Step();
            if (std::memcmp(first, list_.content + a[k].k + skip, len - skip) != 0) return false;
        }
        return true;
    }

    // One stable counting pass on the next byte (two for long ranges) of the
    // carried chunk; each bucket becomes a range of its own.  Equal texts
    // stay in one bucket, so ties are decided within the buckets.
    void SplitDigit(const Range& r, std::vector<Range>& work) {
        Rec* a = a_.get();
        const size_t n = r.end - r.begin;
        const uint32_t bytes = n >= kWideMin && r.level + 2 <= kChunk ? 2 : 1;
        const uint32_t buckets = 1u << (8 * bytes);
        const uint32_t shift = 8 * (kChunk - r.level - bytes);
        const uint64_t mask = buckets - 1;
        counts_.assign(buckets, 0);
        uint32_t* c = counts_.data();
        for (size_t k = r.begin; k < r.end; ++k) ++c[(a[k].k >> shift) & mask];
        const uint32_t level = r.level + bytes;
        if (c[(a[r.begin].k >> shift) & mask] == n) {  // one bucket: nothing moves
            work.push_back({r.begin, r.end, r.depth, level});
            return;
        }
        Rec* tmp = b_.get() + r.begin;
        Scatter(a + r.begin, tmp, n, c, buckets,
                [shift, mask](const Rec& x) { return static_cast<uint32_t>((x.k >> shift) & mask); });
        std::copy(tmp, tmp + n, a + r.begin);
        // c[b] is now where bucket b ends.
        size_t lo = r.begin;
        for (uint32_t b = 0; b < buckets; ++b) {
            const size_t hi = r.begin + c[b];
            if (hi - lo > 1) work.push_back({lo, hi, r.depth, level});
            lo = hi;
        }
    }

    // All records of the range carry the same chunk: they are put in order
    // of where their texts end, and the texts that go on carry their next
    // chunk.
    void SplitEnds(const Range& r) {
        Rec* a = a_.get();
        const size_t begin = r.begin, end = r.end;
        const uint32_t depth = r.depth;
        uint32_t counts[kEndsBuckets] = {};
        for (size_t k = begin; k < end; ++k) ++counts[Ends(a[k].len, depth)];
        const size_t n = end - begin;
        if (counts[Ends(a[begin].len, depth)] != n) {
            Rec* tmp = b_.get() + begin;
            Scatter(a + begin, tmp, n, counts, kEndsBuckets,
                    [this, depth](const Rec& x) { return Ends(x.len, depth); });
            std::copy(tmp, tmp + n, a + begin);
        }
        if (!tie_.empty()) {
            for (size_t k = begin + 1; k < end; ++k) {
                const uint32_t e = Ends(a[k].len, depth);
                tie_[k] = e == Ends(a[k - 1].len, depth) && e != GoesOnMark();
            }
        }
        // The texts that go on lie together: last ascending, first descending.
        size_t gb = begin, ge = end;
        while (gb < ge && Ends(a[gb].len, depth) != GoesOnMark()) ++gb;
        while (ge > gb && Ends(a[ge - 1].len, depth) != GoesOnMark()) --ge;
        if (ge - gb > 1) GoDeeper(gb, ge, depth);
    }

    const ListObject& list_;
    const int part_;
    const bool desc_;
    const unsigned char* const content_;
    const unsigned char* const contentEnd_;
    std::unique_ptr<Rec[]> a_;
    std::unique_ptr<Rec[]> b_;
    std::unique_ptr<uint32_t[]> off_;  // content offset of each entry's part
    std::vector<uint8_t> tie_;         // per record: its text is the one before it
    std::vector<uint32_t> counts_;     // of one digit pass
    std::vector<Range> deeper_;        // ranges waiting for their next chunk
    size_t deeperRecords_ = 0;
};

int32_t Sort(const ListObject& list, uint32_t* index, uint32_t count, int32_t key,
             bool descending, std::vector<uint8_t>* groups, std::vector<TextSpan>* spans) {
    if (index == nullptr) return YRB_FAILED;
    if (key < YRB_SORT_ADDRESS || key > YRB_SORT_SELECTED) key = YRB_SORT_ADDRESS;
    if (count == 1) {
        const ListItem* it = key <= YRB_SORT_DOMAIN ? list.Part(index[0], key) : nullptr;
        if (groups) groups->assign(1, it ? kNewText : kLacksPart);
        if (spans) spans->assign(1, it ? TextSpan{it->offset, it->length} : TextSpan{0, 0});
        return 1;
    }
    try {
        // The entry numbers are taken before the first callback: one that
        // changed the index meanwhile could otherwise mix two orders.
        const std::vector<uint32_t> ids(index, index + count);
        Info(&g_registered, kSortInfo[key]);
        if (count < 2) return YRB_FAILED;
        if (key <= YRB_SORT_DOMAIN) {
            TextSorter(list, key, descending).Run(ids.data(), index, count, groups, spans);
        } else {
            NumberSorter(list, key, descending).Run(ids.data(), index, count);
        }
        return 1;
    } catch (const Stopped&) {
        return YRB_STOPPED;
    } catch (const std::bad_alloc&) {
        SendError(&g_registered, "Not enough memory to complete the operation");
        return YRB_FAILED;
    }
}

}  // namespace

int32_t SortEntries(const ListObject& list, uint32_t* index, uint32_t count, int32_t key,
                    bool descending) {
    return Sort(list, index, count, key, descending, nullptr, nullptr);
}

int32_t SortEntriesGrouped(const ListObject& list, uint32_t* index, uint32_t count, int32_t key,
                           bool descending, std::vector<uint8_t>& groups) {
    if (key < YRB_SORT_ADDRESS || key > YRB_SORT_DOMAIN) return YRB_FAILED;
    return Sort(list, index, count, key, descending, &groups, nullptr);
}

int32_t SortEntriesSpans(const ListObject& list, uint32_t* index, uint32_t count, int32_t key,
                         bool descending, std::vector<TextSpan>& spans) {
    if (key < YRB_SORT_ADDRESS || key > YRB_SORT_DOMAIN) return YRB_FAILED;
    return Sort(list, index, count, key, descending, nullptr, &spans);
}

}  // namespace yrb

using namespace yrb;

extern "C" YRB_API int32_t YRB02(int32_t slot, int32_t key, int32_t which_index,
                                 int32_t descending) {
    return Guarded([&]() -> int32_t {
        ListObject* list = nullptr;
        if (ValidateSlotForChange(slot, list, &g_registered) != 1) return YRB_FAILED;
        BusyScope busy(list);
        uint32_t* index = which_index == 0 ? list->index1 : list->index2;
        return SortEntries(*list, index, list->Count(), key, descending != 0);
    });
}
