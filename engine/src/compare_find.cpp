// Comparing list 1 with list 2 (YRB24) and finding a text in the
// entries of a list (YRB21), with the whole-word test IsWordBoundary.
//
// Deliberate behaviour (see compare_find_test.cpp):
// - a stop while clearing the flag or while sorting gives -2, not -1;
// - lists of 0 entries compare and search successfully (nothing to sort);
// - YRB21 passes over entries that lack the part instead of failing, and the
//   "ends with" and whole-word tests look at every occurrence of the text.
#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "flags.h"
#include "guard.h"
#include "parallel.h"
#include "sorting.h"
#include "text.h"

namespace yrb {

// 1 when the occurrence [start, end] (inclusive offsets) of a part of length
// bytes stands as a whole word, 0 when not, -1 when end lies beyond the part.
int IsWordBoundary(const char* text, uint32_t start, uint32_t end, uint32_t length) {
    if (end >= length || start > end) return -1;
    if (start > 0 && IsAsciiAlnum(static_cast<unsigned char>(text[start - 1]))) return 0;
    if (end + 1 < length && IsAsciiAlnum(static_cast<unsigned char>(text[end + 1]))) return 0;
    return 1;
}

namespace {

// YRB21's answer with first_only when no entry matches.
constexpr int32_t kNoMatch = -1;

struct FindOptions {
    const char* text;
    uint32_t length;
    bool wholeWord;
    bool caseSensitive;
    int32_t position;  // YRB_FIND_AT_START, YRB_FIND_AT_END, other anywhere
};

// The pattern occurs at p exactly (with the case option).
bool OccursAt(const char* p, const FindOptions& o) {
    return FindText(p, p + o.length, o.text, o.text + o.length, o.caseSensitive) == p;
}

bool Matches(const char* part, uint32_t length, const FindOptions& o) {
    if (o.length > length) return false;
    auto whole = [&](uint32_t at) {
        return !o.wholeWord || IsWordBoundary(part, at, at + o.length - 1, length) == 1;
    };
    if (o.position == YRB_FIND_AT_START) return OccursAt(part, o) && whole(0);
    if (o.position == YRB_FIND_AT_END) {
        // The only occurrence that can end at the last byte starts here.
        const uint32_t at = length - o.length;
        return OccursAt(part + at, o) && whole(at);
    }
    const char* end = part + length;
    for (const char* hit = FindText(part, end, o.text, o.text + o.length, o.caseSensitive); hit != nullptr;
         hit = FindText(hit + 1, end, o.text, o.text + o.length, o.caseSensitive)) {
        if (whole(static_cast<uint32_t>(hit - part))) return true;
        if (!o.wholeWord) break;
    }
    return false;
}

// The entries of a sorted index as the merge needs them (address offset,
// length and CRC, entry number), gathered a block at a time.  After sorting,
// neighbours in the index lie anywhere in the item arrays and the content; a
// walk that followed the links entry by entry would wait on memory at every
// step, since each step depends on the comparison before it.  Gathering a
// block in separate passes lets the loads of many entries overlap, and the
// address bytes are prefetched for the comparisons.
//
// An entry's filter is read when its block is gathered: the merge changes
// the flags of an entry only when it matches, and never looks at it again.
class SortedWalk {
public:
    struct Key {
        uint32_t offset;
        uint32_t length;  // 0: filtered out or without address
        uint32_t crc;
        uint32_t entry;
    };

    SortedWalk(const ListObject& l, uint32_t count, int32_t mustHave, int32_t mustNot)
        : l_(l), count_(count), mustHave_(mustHave), mustNot_(mustNot) {}

    // Positions are asked in non-decreasing order.
    const Key& At(uint32_t pos) {
        if (pos - base_ >= filled_) Gather(pos);
        return keys_[pos - base_];
    }

private:
    static constexpr uint32_t kBlock = 1024;

    void Gather(uint32_t pos) {
        base_ = pos;
        filled_ = count_ - pos < kBlock ? count_ - pos : kBlock;
        const ListItem* records = l_.dims[0].items;
        const ListItem* fields = l_.levels >= 2 ? l_.dims[1].items : nullptr;
        for (uint32_t k = 0; k < filled_; ++k) {
            const uint32_t e = l_.index1[pos + k];
            keys_[k].entry = e;
            __builtin_prefetch(&records[e]);
            __builtin_prefetch(&l_.flags[e]);
        }
        for (uint32_t k = 0; k < filled_; ++k) {
            const ListItem& rec = records[keys_[k].entry];
            // The first child's number waits in offset for the next pass.
            if (fields != nullptr && l_.ChildCount(0, rec) != 0) {
                keys_[k].offset = rec.first;
                keys_[k].length = 1;
                __builtin_prefetch(&fields[rec.first]);
            } else {
                keys_[k].length = 0;
            }
        }
        for (uint32_t k = 0; k < filled_; ++k) {
            Key& key = keys_[k];
            if (key.length == 0) continue;
            if (!PassesFilter(l_.flags[key.entry], mustHave_, mustNot_)) {
                key.length = 0;
                continue;
            }
            const ListItem& address = fields[key.offset];
            key.offset = address.offset;
            key.length = address.length;
            key.crc = address.crc;
            __builtin_prefetch(l_.content + address.offset);
        }
    }

    const ListObject& l_;
    const uint32_t count_;
    const int32_t mustHave_;
    const int32_t mustNot_;
    uint32_t base_ = 0;
    uint32_t filled_ = 0;
    std::vector<Key> keys_ = std::vector<Key>(kBlock);
};

// One list of the YRB24 merge, read in sorted order.  SpanSide compares
// whole texts: the sorts give each position's address, positions are read
// in order from arrays, the filter is applied in one pass before anything is
// marked (the merge marks an entry at most once and never looks at it
// again), and texts ahead are prefetched; equal texts have equal checksums,
// so the bytes alone decide.  WalkSide serves the CRC-only mode, where runs
// of equal addresses are extended on the checksum alone.
class SpanSide {
public:
    // Positions [from, to) of the sorted index; the side's positions count
    // from from.
    SpanSide(ListObject& l, std::vector<TextSpan>& spans, int32_t mustHave, int32_t mustNot, uint8_t bits,
             uint32_t from, uint32_t to)
        : content_(l.content), flags_(l.flags), index_(l.index1 + from), s_(spans.data() + from), n_(to - from),
          bits_(bits) {
        // Filtered-out entries count as without address (length 0).
        if (mustHave == 0 && mustNot == 0) return;
        TextSpan* s = spans.data() + from;
        for (uint32_t p = 0; p < n_; ++p)
            if (!PassesFilter(LoadFlags(flags_[index_[p]]), mustHave, mustNot)) s[p].length = 0;
    }
    uint32_t Count() const { return n_; }
    // The text of a position ahead, and its flags, which a match changes.
    void Ahead(uint32_t p) const {
        if (p + kAhead >= n_) return;
        __builtin_prefetch(content_ + s_[p + kAhead].offset);
        __builtin_prefetch(&flags_[index_[p + kAhead]], 1);
    }
    uint32_t Length(uint32_t p) const { return s_[p].length; }
    const char* Text(uint32_t p) const { return content_ + s_[p].offset; }
    uint32_t Crc(uint32_t) const { return 0; }
    bool Same(uint32_t p, const char* a, uint32_t length, uint32_t) const {
        return EqualBytes(a, Text(p), length, s_[p].length) != 0;
    }
    // A callback may read the flags while workers mark.
    void Mark(uint32_t p) const {
        uint8_t& f = flags_[index_[p]];
        StoreFlags(f, static_cast<uint8_t>(LoadFlags(f) | bits_));
    }

private:
    static constexpr uint32_t kAhead = 32;
    const char* content_;
    uint8_t* flags_;
    const uint32_t* index_;
    const TextSpan* s_;
    uint32_t n_;
    uint8_t bits_;
};

class WalkSide {
public:
    WalkSide(ListObject& l, int32_t mustHave, int32_t mustNot, uint8_t bits)
        : l_(l), w_(l, l.Count(), mustHave, mustNot), n_(l.Count()), bits_(bits) {}
    uint32_t Count() const { return n_; }
    void Ahead(uint32_t) const {}
    uint32_t Length(uint32_t p) { return w_.At(p).length; }
    const char* Text(uint32_t p) { return l_.content + w_.At(p).offset; }
    uint32_t Crc(uint32_t p) { return w_.At(p).crc; }
    bool Same(uint32_t p, const char*, uint32_t, uint32_t crc) { return w_.At(p).crc == crc; }
    void Mark(uint32_t p) {
        const uint32_t e = w_.At(p).entry;
        l_.flags[e] = static_cast<uint8_t>(l_.flags[e] | bits_);
    }

private:
    ListObject& l_;
    SortedWalk w_;
    const uint32_t n_;
    const uint8_t bits_;
};

// Walks both sorted lists together and marks the entries whose address the
// other list holds.  The first match of each run is always decided on the
// bytes.  1, or -2 when stopped.
// The sides are taken by value: as locals their fields stay in registers
// across the flag stores and polls.
// hooks.Stop() polls (true: stop), hooks.At(i) follows list 1's position.
template <class Side, class Hooks>
int32_t MergeSorted(Side s1, Side s2, Hooks hooks) {
    const uint32_t n1 = s1.Count();
    const uint32_t n2 = s2.Count();
    // Marks the run of entries equal to the matched address a that follows
    // position from; returns the position of the entry that ended it, or
    // the count.  -2 when stopped.
    // Inlined, so the sides never leave registers for memory.
    auto run = [&](Side& side, uint32_t from, const char* a, uint32_t length,
                   uint32_t crc) __attribute__((always_inline)) -> int64_t {
        const uint32_t count = side.Count();
        uint32_t k = from;
        for (; k < count; ++k) {
            if (hooks.Stop()) return YRB_STOPPED;
            side.Ahead(k);
            if (side.Length(k) == 0) continue;  // filtered out or without address
            if (!side.Same(k, a, length, crc)) break;
            side.Mark(k);
        }
        return k;
    };

    uint32_t i = 0;
    uint32_t j = 0;
    while (i < n1) {
        hooks.At(i);
        if (hooks.Stop()) return YRB_STOPPED;
        s1.Ahead(i);
        const uint32_t length = s1.Length(i);
        if (length == 0) {
            ++i;
            continue;
        }
        const char* a = s1.Text(i);
        const uint32_t crc = s1.Crc(i);
        bool matched = false;
        while (j < n2) {
            if (hooks.Stop()) return YRB_STOPPED;
            s2.Ahead(j);
            const uint32_t lengthB = s2.Length(j);
            if (lengthB == 0) {
                ++j;
                continue;
            }
            const int c = CompareBytes(a, s2.Text(j), length, lengthB, false);
            if (c > 0) {
                ++j;
                continue;
            }
            if (c < 0) break;
            s1.Mark(i);
            s2.Mark(j);
            const int64_t next1 = run(s1, i + 1, a, length, crc);
            if (next1 < 0) return YRB_STOPPED;
            const int64_t next2 = run(s2, j + 1, a, length, crc);
            if (next2 < 0) return YRB_STOPPED;
            i = static_cast<uint32_t>(next1);
            j = static_cast<uint32_t>(next2);
            matched = true;
            break;
        }
        if (!matched) ++i;
    }
    hooks.At(n1);
    return 1;
}

struct SerialMerge {
    ProgressStep& step;
    bool Stop() const { return PollInterrupt(&g_registered); }
    void At(uint32_t i) const { step(i); }
};

struct WorkerMerge {
    Worker& w;
    uint32_t reached = 0;
    bool Stop() const { return !w.Poll(); }
    void At(uint32_t i) {
        w.Advance(i - reached);
        reached = i;
    }
};

// The whole-text merge cut into ranges of list 1 that start at a new text,
// each with the range of list 2 whose texts lie between the same bounds:
// every text's entries of both lists meet in one range.  1 or -2.
int32_t MergeParallel(ListObject& l1, ListObject& l2, std::vector<TextSpan>& s1, std::vector<TextSpan>& s2,
                      int32_t mustHave, int32_t mustNot, uint8_t bits, ProgressStep& step, unsigned workers) {
    const uint32_t n1 = l1.Count();
    const uint32_t n2 = l2.Count();
    auto text1 = [&](uint32_t p) { return l1.content + s1[p].offset; };
    const std::vector<uint32_t> cuts1 = CutAt(0, n1, workers * 4, [&](uint32_t p) {
        return s1[p].length != 0 && EqualBytes(text1(p - 1), text1(p), s1[p - 1].length, s1[p].length) == 0;
    });
    // Entries without an address lie first in list 2.
    const uint32_t first2 = static_cast<uint32_t>(
        std::find_if(s2.begin(), s2.end(), [](const TextSpan& x) { return x.length != 0; }) - s2.begin());
    std::vector<uint32_t> cuts2{0};
    for (size_t c = 1; c + 1 < cuts1.size(); ++c) {
        const uint32_t p = cuts1[c];
        const auto at = std::lower_bound(s2.begin() + std::max(first2, cuts2.back()), s2.end(), s1[p],
                                         [&](const TextSpan& x, const TextSpan& y) {
                                             return CompareBytes(l2.content + x.offset, text1(p), x.length,
                                                                 y.length, false) < 0;
                                         });
        cuts2.push_back(static_cast<uint32_t>(at - s2.begin()));
    }
    cuts2.push_back(n2);
    std::atomic<size_t> next{0};
    return RunWorkers(workers, Watch(&g_registered, false, &step), [&](Worker& w) {
        for (size_t c; (c = next.fetch_add(1)) + 1 < cuts1.size();) {
            SpanSide a(l1, s1, mustHave, mustNot, bits, cuts1[c], cuts1[c + 1]);
            SpanSide b(l2, s2, mustHave, mustNot, bits, cuts2[c], cuts2[c + 1]);
            if (MergeSorted(a, b, WorkerMerge{w}) < 0) return;
        }
    });
}

}  // namespace

}  // namespace yrb

using namespace yrb;

extern "C" YRB_API int32_t YRB24(int32_t /*ignored*/, int32_t flag, int32_t must_have, int32_t must_not,
                                 int32_t crc_only) {
    const Table* t = &g_registered;
    ListObject* l1 = nullptr;
    ListObject* l2 = nullptr;
    if (ValidateSlotForChange(1, l1, t) != 1) return YRB_FAILED;
    if (ValidateSlotForChange(2, l2, t) != 1) return YRB_FAILED;
    return Guarded([&]() -> int32_t {
        BusyScope busy(l1, l2);
        int32_t r = UpdateFlags(*l1, YRB_ALL_ENTRIES, YRB_MODE_CLEAR, flag, 0, 0, t);
        if (r < 0) return r;
        r = UpdateFlags(*l2, YRB_ALL_ENTRIES, YRB_MODE_CLEAR, flag, 0, 0, t);
        if (r < 0) return r;
        const uint32_t n1 = l1->Count();
        const uint32_t n2 = l2->Count();
        // A list of 0 entries has nothing to sort (SortEntries would refuse it).
        const bool crcOnly = crc_only == 1;
        // Comparing whole texts, the sorts tell where each position's address
        // lies, so the merge never follows the entries' items.
        std::vector<TextSpan> s1, s2;
        auto sort = [&](ListObject* l, uint32_t n, std::vector<TextSpan>& spans) {
            if (n == 0) return 1;
            return crcOnly ? SortEntries(*l, l->index1, n, YRB_SORT_ADDRESS, false)
                           : SortEntriesSpans(*l, l->index1, n, YRB_SORT_ADDRESS, false, spans);
        };
        if ((r = sort(l1, n1, s1)) < 0) return r;
        if ((r = sort(l2, n2, s2)) < 0) return r;

        Info(t, "Comparing lists entries");
        InitProgress(t, n1);
        ProgressStep step(t, n1);
        step(0);

        const uint8_t bits = static_cast<uint8_t>(flag & 0xFF);
        if (!crcOnly) {
            const unsigned workers = WorkersFor(std::max(n1, n2));
            if (workers > 1) {
                r = MergeParallel(*l1, *l2, s1, s2, must_have, must_not, bits, step, workers);
                if (r < 0) return r;
                step(n1);
                return r;
            }
            SpanSide a(*l1, s1, must_have, must_not, bits, 0, n1);
            SpanSide b(*l2, s2, must_have, must_not, bits, 0, n2);
            return MergeSorted(a, b, SerialMerge{step});
        }
        // Runs of the checksum mode may go on past a text, so its merge
        // cannot be cut at texts: it walks on one thread.
        return MergeSorted(WalkSide(*l1, must_have, must_not, bits), WalkSide(*l2, must_have, must_not, bits),
                           SerialMerge{step});
    });
}

extern "C" YRB_API int32_t YRB21(int32_t slot, int32_t part, const char* text, int32_t whole_word,
                                 int32_t case_sensitive, int32_t start, int32_t position, int32_t first_only,
                                 int32_t flag, int32_t must_have, int32_t must_not) {
    const Table* t = &g_registered;
    ListObject* list = nullptr;
    // Without flag bits to set the find only reads the list.
    const bool marks = (flag & 0xFF) != 0;
    if ((marks ? ValidateSlotForChange(slot, list, t) : ValidateSlot(slot, list, t)) != 1) return YRB_FAILED;
    if (text == nullptr || *text == '\0') {
        SendError(t, "No string to find has been provided");
        return YRB_FAILED;
    }
    if (part < YRB_PART_ADDRESS || part > YRB_PART_DOMAIN) part = YRB_PART_ADDRESS;
    const uint32_t n = list->Count();
    // Start 0 on a list of 0 entries searches nothing and succeeds.
    if (start < 0 || (static_cast<uint32_t>(start) >= n && !(n == 0 && start == 0))) return YRB_FAILED;
    return Guarded([&]() -> int32_t {
        BusyScope busy(list);
        const int32_t r = UpdateFlags(*list, YRB_ALL_ENTRIES, YRB_MODE_CLEAR, flag, 0, 0, t);
        if (r < 0) return r;
        const FindOptions o{text, static_cast<uint32_t>(std::strlen(text)), whole_word != 0, case_sensitive != 0,
                            position};
        const uint8_t bits = static_cast<uint8_t>(flag & 0xFF);
        InitProgress(t, n);
        Info(t, "Finding string occurrence(s)");
        ProgressStep step(t, n);
        step(static_cast<uint32_t>(start));
        uint32_t found = 0;
        for (uint32_t i = static_cast<uint32_t>(start); i < n; ++i) {
            step(i);
            if (PollInterrupt(t)) return YRB_STOPPED;
            const uint32_t e = list->index1[i];
            // Without flag bits the find may run inside a callback of an
            // operation whose workers mark flags meanwhile.
            if (!PassesFilter(LoadFlags(list->flags[e]), must_have, must_not)) continue;
            const ListItem* it = list->Part(e, part);
            if (it == nullptr) continue;
            if (!Matches(list->Text(*it), it->length, o)) continue;
            list->flags[e] = static_cast<uint8_t>(list->flags[e] | bits);
            if (first_only != 0) return static_cast<int32_t>(i);
            ++found;
        }
        step(n);
        return first_only != 0 ? kNoMatch : static_cast<int32_t>(found);
    });
}
