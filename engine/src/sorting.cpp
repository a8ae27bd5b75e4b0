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
// On workers (big lists): each gathers the records of a slice of the
// entries, one stable counting pass spread over them splits the records on
// their first two bytes, and the buckets are then sorted as above by
// whichever worker is free; a big bucket is split one pass at a time and
// its parts shared out again.  The numbers' passes are spread the same way.
// A stable sort has one result, so the order is the same for any number of
// workers.
//
// Every record moved or compared is one step: it polls for a stop and ticks
// the animation, as a comparison sort polls once per comparison.
#include "sorting.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

#include "guard.h"
#include "gather.h"
#include "parallel.h"
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

// A sorting step on the thread that runs it: the caller's polls and
// animation, or a worker's count of them.
struct Stepper {
    Worker* worker = nullptr;
    void operator()() const {
        if (worker) {
            worker->Step();
        } else {
            Step();
        }
    }
};

// While workers sort, the caller asks for stops and ticks the animation as
// the single-thread sort would.
const Watch kSortWatch{&g_registered, true, nullptr, 0};
// Writing the results back: no callback may read the index meanwhile.
const Watch kQuietWatch{};

// One stable counting pass; counts (buckets long) is the digit's histogram
// and becomes the start of each bucket.
template <class R, class Digit>
void Scatter(const R* src, R* dst, size_t n, uint32_t* counts, uint32_t buckets, Digit digit, Stepper step) {
    uint32_t sum = 0;
    for (uint32_t b = 0; b < buckets; ++b) {
        const uint32_t c = counts[b];
        counts[b] = sum;
        sum += c;
    }
    for (size_t i = 0; i < n; ++i) {
        step();
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
        }, Stepper{});
        std::swap(src, dst);
    }
    if (src != a) std::copy(src, src + n, a);
}

// ---- The same passes on worker threads ---------------------------------

// Records of one worker, in order; the slices of all workers follow each
// other.
template <class R>
struct Slice {
    R* p;
    size_t n;
};

// Slices of an array of n records, one per worker.
template <class R>
std::vector<Slice<R>> SliceArray(R* a, size_t n, unsigned workers) {
    std::vector<Slice<R>> out(workers);
    for (unsigned w = 0; w < workers; ++w) {
        const size_t lo = SplitPoint(n, workers, w);
        out[w] = {a + lo, SplitPoint(n, workers, w + 1) - lo};
    }
    return out;
}

// One stable counting pass from the slices (one per worker) into dst:
// buckets in order, and within a bucket the slices in order.  1, 0 when
// every record falls into one bucket (nothing moves), -2.  bucketStart, when
// given, receives where each bucket starts in dst and, last, the total.
template <class R, class Digit>
int32_t ScatterSlices(const std::vector<Slice<R>>& src, R* dst, uint32_t buckets, Digit digit,
                      std::vector<uint32_t>* bucketStart = nullptr) {
    const unsigned workers = static_cast<unsigned>(src.size());
    std::vector<uint32_t> counts(static_cast<size_t>(workers) * buckets, 0);
    int32_t r = RunWorkers(workers, kSortWatch, [&](Worker& w) {
        uint32_t* c = counts.data() + static_cast<size_t>(w.Index()) * buckets;
        const Slice<R>& s = src[w.Index()];
        for (size_t i = 0; i < s.n; ++i) ++c[digit(s.p[i])];
    });
    if (r < 0) return r;
    size_t n = 0;
    for (const Slice<R>& s : src) n += s.n;
    if (bucketStart) bucketStart->assign(static_cast<size_t>(buckets) + 1, 0);
    uint32_t sum = 0;
    for (uint32_t b = 0; b < buckets; ++b) {
        if (bucketStart) (*bucketStart)[b] = sum;
        const uint32_t before = sum;
        for (unsigned w = 0; w < workers; ++w) {
            uint32_t& c = counts[static_cast<size_t>(w) * buckets + b];
            const uint32_t k = c;
            c = sum;
            sum += k;
        }
        if (sum - before == n && !bucketStart) return 0;
    }
    if (bucketStart) (*bucketStart)[buckets] = sum;
    r = RunWorkers(workers, kSortWatch, [&](Worker& w) {
        uint32_t* c = counts.data() + static_cast<size_t>(w.Index()) * buckets;
        const Slice<R>& s = src[w.Index()];
        for (size_t i = 0; i < s.n; ++i) {
            w.Step();
            dst[c[digit(s.p[i])]++] = s.p[i];
        }
    });
    return r < 0 ? r : 1;
}

// The sorted order into index: the entries lacking the part first, in their
// order, then the ids of the records; fill(i, rec) runs for every record
// position i as well.  No callback runs meanwhile.
template <class R, class Fill>
void WriteBack(const std::vector<std::vector<uint32_t>>& missing, const std::vector<Slice<R>>& records,
               uint32_t* index, Fill fill) {
    uint32_t* out = index;
    for (const auto& m : missing) out = std::copy(m.begin(), m.end(), out);
    std::vector<size_t> starts;
    size_t at = 0;
    for (const Slice<R>& s : records) {
        starts.push_back(at);
        at += s.n;
    }
    RunWorkers(static_cast<unsigned>(records.size()), kQuietWatch, [&](Worker& w) {
        const Slice<R>& s = records[w.Index()];
        const size_t base = starts[w.Index()];
        for (size_t i = 0; i < s.n; ++i) {
            out[base + i] = s.p[i].id;
            fill(base + i, s.p[i]);
        }
    });
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
        const size_t n = Gather(ids, count, a.get(), missing, Stepper{});
        if (n > 1) {
            std::unique_ptr<Rec[]> b(new Rec[n]);
            RadixSort(a.get(), b.get(), n, 2, [](const Rec& r) -> uint64_t { return r.key; });
        }
        uint32_t* out = index;
        for (uint32_t id : missing) *out++ = id;
        for (size_t i = 0; i < n; ++i) *out++ = a[i].id;
    }

    // Run on workers: the keys gathered by slices of ids, then the two
    // digit passes spread over the workers.  1 or -2.
    int32_t RunParallel(const uint32_t* ids, uint32_t* index, uint32_t count, unsigned workers) {
        std::vector<std::vector<uint32_t>> missing(workers);
        std::unique_ptr<Rec[]> a(new Rec[count]);
        AskHugePages(a.get(), size_t(count) * sizeof(Rec));
        std::vector<Slice<Rec>> src(workers);
        int32_t r = RunWorkers(workers, kSortWatch, [&](Worker& w) {
            const size_t lo = SplitPoint(count, workers, w.Index());
            const size_t hi = SplitPoint(count, workers, w.Index() + 1);
            const size_t got = Gather(ids + lo, hi - lo, a.get() + lo, missing[w.Index()], Stepper{&w});
            src[w.Index()] = {a.get() + lo, got};
        });
        if (r < 0) return r;
        size_t n = 0;
        for (const Slice<Rec>& s : src) n += s.n;
        std::unique_ptr<Rec[]> b(new Rec[n ? n : 1]);
        AskHugePages(b.get(), n * sizeof(Rec));
        Rec* spare = b.get();
        for (uint32_t shift : {0u, 16u}) {
            r = ScatterSlices(src, spare, kBuckets,
                              [shift](const Rec& x) { return static_cast<uint32_t>((x.key >> shift) & 0xFFFF); });
            if (r < 0) return r;
            if (r == 0) continue;
            // The records now lie in spare, in one piece; the other array is
            // the next pass's target (a holds count records, b n).
            Rec* done = spare;
            spare = done == b.get() ? a.get() : b.get();
            src = SliceArray(done, n, workers);
        }
        WriteBack(missing, src, index, [](size_t, const Rec&) {});
        return 1;
    }

private:
    struct Rec {
        uint32_t key;
        uint32_t id;
    };
    static constexpr uint32_t kMissing = 0;  // key of an entry lacking the part (set aside)

    // Records of the m entries of ids into out, the entries lacking the part
    // into missing; returns the records made.
    size_t Gather(const uint32_t* ids, size_t m, Rec* out, std::vector<uint32_t>& missing, Stepper step) const {
        const ListItem* items[kGatherBatch];
        uint32_t keys[kGatherBatch];
        size_t n = 0;
        for (size_t base = 0; base < m; base += kGatherBatch) {
            const size_t k = std::min<size_t>(kGatherBatch, m - base);
            const uint32_t* batch = ids + base;
            // The keys of the batch first, each read independently.
            if (part_ != kNoPart) {
                GatherParts(list_, batch, k, part_, items);
                for (size_t j = 0; j < k; ++j) keys[j] = items[j] ? items[j]->length : kMissing;
            } else if (key_ == YRB_SORT_OCCURRENCES) {
                for (size_t j = 0; j < k; ++j) keys[j] = list_.occurrences[batch[j]];
            } else {
                for (size_t j = 0; j < k; ++j) keys[j] = LoadFlags(list_.flags[batch[j]]) & flagMask_;
            }
            for (size_t j = 0; j < k; ++j) {
                step();
                if (part_ != kNoPart && items[j] == nullptr) {
                    missing.push_back(batch[j]);
                    continue;
                }
                out[n++] = {desc_ ? ~keys[j] : keys[j], batch[j]};
            }
        }
        return n;
    }

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
// Workers share out ranges longer than the list over this many per worker
// (and than kShareMin), one split at a time, so one big bucket does not
// leave the others idle.
constexpr size_t kSharesPerWorker = 16;
constexpr size_t kShareMin = 1u << 12;

// A range of records whose texts agree on their first depth chunks and on
// the first level bytes of the chunk they carry.
struct Range {
    size_t begin, end;
    uint32_t depth;
    uint32_t level;
};

// Ranges waiting for a worker, the biggest taken first.  Empty and nothing
// in hand anywhere: the sort is done.
class RangeQueue {
public:
    void Push(const std::vector<Range>& ranges) {
        if (ranges.empty()) return;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ranges_.insert(ranges_.end(), ranges.begin(), ranges.end());
        }
        ready_.notify_all();
    }
    // The next range, or false when all are sorted.
    bool Pop(Range& r, const Worker& w) {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            if (!ranges_.empty()) {
                r = ranges_.back();
                ranges_.pop_back();
                ++inHand_;
                return true;
            }
            if (inHand_ == 0) return false;
            if (w.Stopping()) throw WorkerStopped{};
            ready_.wait_for(lock, std::chrono::milliseconds(1));
        }
    }
    // The range taken last is sorted, or split with its parts pushed.
    void Done() {
        bool last = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            last = --inHand_ == 0 && ranges_.empty();
        }
        if (last) ready_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::vector<Range> ranges_;
    size_t inHand_ = 0;
};

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
        const size_t n = Gather(ids, count, a_.get(), missing, Stepper{});
        if (groups) tie_.assign(n, 0);
        if (n > 1) {
            b_.reset(new Rec[n]);
            Local local;
            local.work.push_back({0, n, 0, 0});
            SortLocal(local);
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

    // Run on workers: records gathered by slices of ids, one pass on their
    // first two bytes into buckets, and the buckets sorted by whichever
    // worker is free.  1 or -2.
    int32_t RunParallel(const uint32_t* ids, uint32_t* index, uint32_t count, std::vector<uint8_t>* groups,
                        std::vector<TextSpan>* spans, unsigned workers) {
        std::vector<std::vector<uint32_t>> missing(workers);
        a_.reset(new Rec[count]);
        AskHugePages(a_.get(), size_t(count) * sizeof(Rec));
        off_.reset(new uint32_t[list_.Count()]);
        AskHugePages(off_.get(), size_t(list_.Count()) * sizeof(uint32_t));
        std::vector<Slice<Rec>> src(workers);
        int32_t r = RunWorkers(workers, kSortWatch, [&](Worker& w) {
            const size_t lo = SplitPoint(count, workers, w.Index());
            const size_t hi = SplitPoint(count, workers, w.Index() + 1);
            const size_t got = Gather(ids + lo, hi - lo, a_.get() + lo, missing[w.Index()], Stepper{&w});
            src[w.Index()] = {a_.get() + lo, got};
        });
        if (r < 0) return r;
        size_t n = 0;
        for (const Slice<Rec>& s : src) n += s.n;
        b_.reset(new Rec[n ? n : 1]);
        AskHugePages(b_.get(), n * sizeof(Rec));
        constexpr uint32_t kTopShift = 64 - 16;  // the first two bytes of the first chunk
        std::vector<uint32_t> bucketStart;
        r = ScatterSlices(src, b_.get(), kBuckets,
                          [](const Rec& x) { return static_cast<uint32_t>(x.k >> kTopShift); }, &bucketStart);
        if (r < 0) return r;
        std::swap(a_, b_);  // the records in one piece; the other array is the spare
        if (groups) tie_.assign(n, 0);

        std::vector<Range> buckets;
        for (uint32_t b = 0; b < kBuckets; ++b) {
            if (bucketStart[b + 1] - bucketStart[b] > 1) buckets.push_back({bucketStart[b], bucketStart[b + 1], 0, 2});
        }
        std::sort(buckets.begin(), buckets.end(),
                  [](const Range& x, const Range& y) { return x.end - x.begin < y.end - y.begin; });
        RangeQueue queue;
        queue.Push(buckets);
        const size_t shareAbove = std::max(kShareMin, n / (size_t(workers) * kSharesPerWorker));
        r = RunWorkers(workers, kSortWatch, [&](Worker& w) {
            Local local;
            local.step = Stepper{&w};
            Range range;
            while (queue.Pop(range, w)) {
                if (range.end - range.begin > shareAbove) {
                    // One split, and its parts go back to be shared.
                    std::vector<Range> parts;
                    if (range.level == kChunk) {
                        SplitEnds(range, local);
                        ReadDeeper(local, parts);
                    } else {
                        SplitDigit(range, local, parts);
                    }
                    queue.Push(parts);
                } else {
                    local.work.push_back(range);
                    SortLocal(local);
                }
                queue.Done();
            }
        });
        if (r < 0) return r;
        b_.reset();

        if (groups) groups->assign(count, kLacksPart);
        if (spans) spans->assign(count, TextSpan{0, 0});
        size_t lacking = 0;
        for (const auto& m : missing) lacking += m.size();
        WriteBack(missing, SliceArray(a_.get(), n, workers), index, [&](size_t i, const Rec& rec) {
            const size_t p = lacking + i;
            if (groups) (*groups)[p] = tie_[i] ? kSameText : kNewText;
            if (spans) (*spans)[p] = {off_[rec.id], rec.len};
        });
        return 1;
    }

private:
    struct Rec {
        uint64_t k;    // chunk number depth of the text
        uint32_t id;
        uint32_t len;  // the whole text's length
    };

    // What one thread needs while it sorts ranges.
    struct Local {
        Stepper step;
        std::vector<Range> work;
        std::vector<Range> deeper;  // ranges waiting for their next chunk
        size_t deeperRecords = 0;
        std::vector<uint32_t> counts;  // of one digit pass
    };

    // Records of the m entries of ids into out, the entries lacking the part
    // into missing, and each entry's offset into off_; returns the records
    // made.
    size_t Gather(const uint32_t* ids, size_t m, Rec* out, std::vector<uint32_t>& missing, Stepper step) {
        const ListItem* items[kGatherBatch];
        size_t n = 0;
        for (size_t base = 0; base < m; base += kGatherBatch) {
            const size_t k = std::min<size_t>(kGatherBatch, m - base);
            const uint32_t* batch = ids + base;
            GatherParts(list_, batch, k, part_, items);
            const size_t first = n;
            for (size_t j = 0; j < k; ++j) {
                step();
                const ListItem* it = items[j];
                if (it == nullptr) {
                    missing.push_back(batch[j]);
                    continue;
                }
                Rec& r = out[n++];
                r.id = batch[j];
                r.len = it->length;
                r.k = it->offset;  // for the loop below
            }
            // The texts of the batch, each read independently of the others.
            for (size_t j = first; j < n; ++j) {
                Rec& r = out[j];
                const uint32_t off = static_cast<uint32_t>(r.k);
                off_[r.id] = off;
                r.k = Chunk(off, r.len, 0);
            }
        }
        return n;
    }

    // Sorts the ranges of local.work, and every range they split into.
    void SortLocal(Local& local) {
        while (!local.work.empty() || !local.deeper.empty()) {
            if (local.work.empty() || local.deeperRecords >= kDeeperBatch) {
                ReadDeeper(local, local.work);
                continue;
            }
            const Range r = local.work.back();
            local.work.pop_back();
            if (r.end - r.begin <= kSmallRange) {
                MergeSort(r, local);
            } else if (r.level == kChunk) {
                SplitEnds(r, local);
            } else {
                SplitDigit(r, local, local.work);
            }
        }
    }

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
    void MergeSort(const Range& r, Local& local) {
        const size_t begin = r.begin, end = r.end;
        Rec* a = a_.get();
        for (size_t lo = begin; lo < end; lo += kInsertionRun) {
            const size_t hi = std::min(end, lo + kInsertionRun);
            for (size_t k = lo + 1; k < hi; ++k) {
                const Rec v = a[k];
                size_t j = k;
                while (j > lo) {
                    local.step();
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
                local.step();
                if (mid >= hi || Compare(src[mid - 1], src[mid], r) <= 0) {
                    std::copy(src + lo, src + hi, dst + lo);  // already in order
                    continue;
                }
                size_t i = lo, j = mid, o = lo;
                while (i < mid && j < hi) {
                    local.step();
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
                if (j - k > 1) GoDeeper(k, j, r.depth, local);
            } else if (!tie_.empty()) {
                for (size_t q = k + 1; q < j; ++q) tie_[q] = 1;
            }
            k = j;
        }
    }

    // The texts of [begin, end) agree on chunk depth and go on: they are to
    // carry their next chunk and be sorted again on it.  The chunks are read
    // for many such ranges at once (ReadDeeper).
    void GoDeeper(size_t begin, size_t end, uint32_t depth, Local& local) {
        local.deeper.push_back({begin, end, depth + 1, 0});
        local.deeperRecords += end - begin;
    }

    void ReadDeeper(Local& local, std::vector<Range>& work) {
        Rec* a = a_.get();
        // Offsets first, then texts: each loop's reads are independent.
        for (const Range& r : local.deeper) {
            for (size_t k = r.begin; k < r.end; ++k) {
                const uint32_t off = off_[a[k].id];
                a[k].k = off;
                __builtin_prefetch(content_ + off + r.depth * kChunk);
            }
        }
        for (const Range& r : local.deeper) {
            // Mostly the copies of one text: then the run is done.
            if (AllEqual(r, local)) {
                if (!tie_.empty()) std::fill(tie_.begin() + r.begin + 1, tie_.begin() + r.end, 1);
                continue;
            }
            for (size_t k = r.begin; k < r.end; ++k) {
                local.step();
                a[k].k = Chunk(static_cast<uint32_t>(a[k].k), a[k].len, r.depth);
            }
            work.push_back(r);
        }
        local.deeper.clear();
        local.deeperRecords = 0;
    }

    // The texts of a range agree on their first depth chunks and carry their
    // offsets: whether they are all the same text.
    bool AllEqual(const Range& r, Local& local) const {
        const Rec* a = a_.get();
        const uint32_t len = a[r.begin].len;
        for (size_t k = r.begin + 1; k < r.end; ++k)
            if (a[k].len != len) return false;
        const uint32_t skip = r.depth * kChunk;
        const char* first = list_.content + a[r.begin].k + skip;
        for (size_t k = r.begin + 1; k < r.end; ++k) {
            local.step();
            if (std::memcmp(first, list_.content + a[k].k + skip, len - skip) != 0) return false;
        }
        return true;
    }

    // One stable counting pass on the next byte (two for long ranges) of the
    // carried chunk; each bucket becomes a range of its own.  Equal texts
    // stay in one bucket, so ties are decided within the buckets.
    void SplitDigit(const Range& r, Local& local, std::vector<Range>& work) {
        Rec* a = a_.get();
        const size_t n = r.end - r.begin;
        const uint32_t bytes = n >= kWideMin && r.level + 2 <= kChunk ? 2 : 1;
        const uint32_t buckets = 1u << (8 * bytes);
        const uint32_t shift = 8 * (kChunk - r.level - bytes);
        const uint64_t mask = buckets - 1;
        local.counts.assign(buckets, 0);
        uint32_t* c = local.counts.data();
        for (size_t k = r.begin; k < r.end; ++k) ++c[(a[k].k >> shift) & mask];
        const uint32_t level = r.level + bytes;
        if (c[(a[r.begin].k >> shift) & mask] == n) {  // one bucket: nothing moves
            work.push_back({r.begin, r.end, r.depth, level});
            return;
        }
        Rec* tmp = b_.get() + r.begin;
        Scatter(a + r.begin, tmp, n, c, buckets,
                [shift, mask](const Rec& x) { return static_cast<uint32_t>((x.k >> shift) & mask); }, local.step);
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
    void SplitEnds(const Range& r, Local& local) {
        Rec* a = a_.get();
        const size_t begin = r.begin, end = r.end;
        const uint32_t depth = r.depth;
        uint32_t counts[kEndsBuckets] = {};
        for (size_t k = begin; k < end; ++k) ++counts[Ends(a[k].len, depth)];
        const size_t n = end - begin;
        if (counts[Ends(a[begin].len, depth)] != n) {
            Rec* tmp = b_.get() + begin;
            Scatter(a + begin, tmp, n, counts, kEndsBuckets,
                    [this, depth](const Rec& x) { return Ends(x.len, depth); }, local.step);
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
        if (ge - gb > 1) GoDeeper(gb, ge, depth, local);
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
        const unsigned workers = WorkersFor(count);
        std::unique_ptr<uint32_t[]> ids(new uint32_t[count ? count : 1]);
        if (workers > 1) AskHugePages(ids.get(), size_t(count) * sizeof(uint32_t));
        if (count) std::memcpy(ids.get(), index, size_t(count) * sizeof(uint32_t));
        Info(&g_registered, kSortInfo[key]);
        if (count < 2) return YRB_FAILED;
        if (key <= YRB_SORT_DOMAIN) {
            TextSorter sorter(list, key, descending);
            if (workers > 1) return sorter.RunParallel(ids.get(), index, count, groups, spans, workers);
            sorter.Run(ids.get(), index, count, groups, spans);
        } else {
            NumberSorter sorter(list, key, descending);
            if (workers > 1) return sorter.RunParallel(ids.get(), index, count, workers);
            sorter.Run(ids.get(), index, count);
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
