// Comparing list 1 with list 2 (YRB24) and finding a text in the
// entries of a list (YRB21), with the whole-word test IsWordBoundary.
//
// Mended against the Part (see compare_find_test.cpp):
// - a stop while clearing the flag or while sorting gives -2, not -1;
// - lists of 0 entries compare and search successfully (nothing to sort);
// - YRB21 passes over entries that lack the part instead of failing, and the
//   "ends with" and whole-word tests look at every occurrence of the text.
#include <string>
#include <vector>

#include "guard.h"
#include "lists.h"
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

struct FindOptions {
    const char* text;
    uint32_t length;
    bool wholeWord;
    bool caseSensitive;
    int32_t position;  // 1 starts the part, 2 ends it, other anywhere
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
    if (o.position == 1) return OccursAt(part, o) && whole(0);
    if (o.position == 2) {
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

// The merge of YRB24 when whole texts are compared: spans hold each sorted
// position's address (from the sorts).  Same walk and polls as the merge
// over SortedWalk, but positions are read in order from arrays, the flags
// are read for the filter in one pass before anything is marked (the merge
// marks an entry at most once and never looks at it again), and the texts
// ahead are prefetched.  Equal texts have equal checksums, so only the bytes
// are compared.
int32_t MergeTexts(ListObject& l1, ListObject& l2, std::vector<TextSpan>& s1, std::vector<TextSpan>& s2,
                   uint8_t bits, int32_t mustHave, int32_t mustNot, ProgressStep& step) {
    const Table* t = &g_registered;
    const uint32_t n1 = l1.Count();
    const uint32_t n2 = l2.Count();
    // Filtered-out entries count as without address (length 0).
    auto filter = [&](const ListObject& l, std::vector<TextSpan>& s, uint32_t n) {
        if (mustHave == 0 && mustNot == 0) return;
        for (uint32_t p = 0; p < n; ++p)
            if (!PassesFilter(l.flags[l.index1[p]], mustHave, mustNot)) s[p].length = 0;
    };
    filter(l1, s1, n1);
    filter(l2, s2, n2);
    constexpr uint32_t kAhead = 32;
    const char* const c1 = l1.content;
    const char* const c2 = l2.content;
    // The text of a position ahead, and its flags, which a match changes.
    auto ahead = [](const ListObject& l, const TextSpan* s, uint32_t p) {
        __builtin_prefetch(l.content + s[p].offset);
        __builtin_prefetch(&l.flags[l.index1[p]], 1);
    };
    auto mark = [bits](ListObject& l, uint32_t p) {
        const uint32_t e = l.index1[p];
        l.flags[e] = static_cast<uint8_t>(l.flags[e] | bits);
    };
    // Flags the run of entries equal to the matched address that follows
    // position from; returns the position of the entry that ended it, or
    // count.  -2 when stopped.
    auto run = [&](ListObject& l, const TextSpan* s, uint32_t count, uint32_t from, const char* a,
                   uint32_t length) -> int64_t {
        uint32_t k = from;
        for (; k < count; ++k) {
            if (PollInterrupt(t)) return -2;
            if (k + kAhead < count) ahead(l, s, k + kAhead);
            const TextSpan& x = s[k];
            if (x.length == 0) continue;  // filtered out or without address
            if (!EqualBytes(a, l.content + x.offset, length, x.length)) break;
            mark(l, k);
        }
        return k;
    };

    uint32_t i = 0;
    uint32_t j = 0;
    while (i < n1) {
        step(i);
        if (PollInterrupt(t)) return -2;
        if (i + kAhead < n1) ahead(l1, s1.data(), i + kAhead);
        const TextSpan ak = s1[i];
        if (ak.length == 0) {
            ++i;
            continue;
        }
        const char* a = c1 + ak.offset;
        bool matched = false;
        while (j < n2) {
            if (PollInterrupt(t)) return -2;
            if (j + kAhead < n2) ahead(l2, s2.data(), j + kAhead);
            const TextSpan& bk = s2[j];
            if (bk.length == 0) {
                ++j;
                continue;
            }
            const int c = CompareBytes(a, c2 + bk.offset, ak.length, bk.length, false);
            if (c > 0) {
                ++j;
                continue;
            }
            if (c < 0) break;
            mark(l1, i);
            mark(l2, j);
            const int64_t next1 = run(l1, s1.data(), n1, i + 1, a, ak.length);
            if (next1 < 0) return -2;
            const int64_t next2 = run(l2, s2.data(), n2, j + 1, a, ak.length);
            if (next2 < 0) return -2;
            i = static_cast<uint32_t>(next1);
            j = static_cast<uint32_t>(next2);
            matched = true;
            break;
        }
        if (!matched) ++i;
    }
    step(n1);
    return 1;
}

}  // namespace

}  // namespace yrb

using namespace yrb;

extern "C" YRB_API int32_t YRB24(int32_t /*ignored*/, int32_t flag, int32_t must_have, int32_t must_not,
                                 int32_t crc_only) {
    const Table* t = &g_registered;
    ListObject* l1 = nullptr;
    ListObject* l2 = nullptr;
    if (ValidateSlot(1, l1, t) != 1) return -1;
    if (ValidateSlot(2, l2, t) != 1) return -1;
    return Guarded([&]() -> int32_t {
        BusyScope busy(l1, l2);
        int32_t r = YRB10(1, -1, 0, flag, 0, 0, t);
        if (r < 0) return r;
        r = YRB10(2, -1, 0, flag, 0, 0, t);
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
            return crcOnly ? SortEntries(*l, l->index1, n, 0, false)
                           : SortEntriesSpans(*l, l->index1, n, 0, false, spans);
        };
        if ((r = sort(l1, n1, s1)) < 0) return r;
        if ((r = sort(l2, n2, s2)) < 0) return r;

        Info(t, "Comparing lists entries");
        InitProgress(t, n1);
        ProgressStep step(t, n1);
        step(0);

        const uint8_t bits = static_cast<uint8_t>(flag & 0xFF);
        if (!crcOnly) return MergeTexts(*l1, *l2, s1, s2, bits, must_have, must_not, step);
        SortedWalk w1(*l1, n1, must_have, must_not);
        SortedWalk w2(*l2, n2, must_have, must_not);
        auto mark = [&](ListObject* l, uint32_t e) { l->flags[e] = static_cast<uint8_t>(l->flags[e] | bits); };
        // Flags the run of entries equal to the matched address a that
        // follows position from; returns the position of the entry that ended
        // it, or count.  -2 when stopped.
        auto run = [&](ListObject* l, SortedWalk& w, uint32_t count, uint32_t from, const char* a,
                       const SortedWalk::Key& ak) -> int64_t {
            uint32_t k = from;
            for (; k < count; ++k) {
                if (PollInterrupt(t)) return -2;
                const SortedWalk::Key& x = w.At(k);
                if (x.length == 0) continue;  // filtered out or without address
                if (x.crc != ak.crc) break;
                if (!crcOnly && !EqualBytes(a, l->content + x.offset, ak.length, x.length)) break;
                mark(l, x.entry);
            }
            return k;
        };

        uint32_t i = 0;
        uint32_t j = 0;
        while (i < n1) {
            step(i);
            if (PollInterrupt(t)) return -2;
            const SortedWalk::Key ak = w1.At(i);
            if (ak.length == 0) {
                ++i;
                continue;
            }
            const char* a = l1->content + ak.offset;
            bool matched = false;
            while (j < n2) {
                if (PollInterrupt(t)) return -2;
                const SortedWalk::Key& bk = w2.At(j);
                if (bk.length == 0) {
                    ++j;
                    continue;
                }
                const int c = CompareBytes(a, l2->content + bk.offset, ak.length, bk.length, false);
                if (c > 0) {
                    ++j;
                    continue;
                }
                if (c < 0) break;
                mark(l1, ak.entry);
                mark(l2, bk.entry);
                const int64_t next1 = run(l1, w1, n1, i + 1, a, ak);
                if (next1 < 0) return -2;
                const int64_t next2 = run(l2, w2, n2, j + 1, a, ak);
                if (next2 < 0) return -2;
                i = static_cast<uint32_t>(next1);
                j = static_cast<uint32_t>(next2);
                matched = true;
                break;
            }
            if (!matched) ++i;
        }
        step(n1);
        return 1;
    });
}

extern "C" YRB_API int32_t YRB21(int32_t slot, int32_t part, const char* text, int32_t whole_word,
                                 int32_t case_sensitive, int32_t start, int32_t position, int32_t first_only,
                                 int32_t flag, int32_t must_have, int32_t must_not) {
    const Table* t = &g_registered;
    ListObject* list = nullptr;
    if (ValidateSlot(slot, list, t) != 1) return -1;
    if (text == nullptr || *text == '\0') {
        SendError(t, "No string to find has been provided");
        return -1;
    }
    if (part < 0 || part > 2) part = 0;
    const uint32_t n = list->Count();
    // Start 0 on a list of 0 entries searches nothing and succeeds.
    if (start < 0 || (static_cast<uint32_t>(start) >= n && !(n == 0 && start == 0))) return -1;
    return Guarded([&]() -> int32_t {
        BusyScope busy(list);
        const int32_t r = YRB10(slot, -1, 0, flag, 0, 0, t);
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
            if (PollInterrupt(t)) return -2;
            const uint32_t e = list->index1[i];
            if (!PassesFilter(list->flags[e], must_have, must_not)) continue;
            const ListItem* it = list->Part(e, part);
            if (it == nullptr) continue;
            if (!Matches(list->Text(*it), it->length, o)) continue;
            list->flags[e] = static_cast<uint8_t>(list->flags[e] | bits);
            if (first_only != 0) return static_cast<int32_t>(i);
            ++found;
        }
        step(n);
        return first_only != 0 ? -1 : static_cast<int32_t>(found);
    });
}
