// Duplicate detection (YRB11) with its ".dup" report.
#include "duplicates.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

#include "buffered_writer.h"
#include "gather.h"
#include "guard.h"
#include "parallel.h"
#include "sorting.h"
#include "text.h"

namespace yrb {

namespace {

// The walk over positions [from, to) of the sorted index: the first entry of
// each run of equal texts that passes the filter is its head (it loses the
// bits and counts the run), every later one is a repeat (it gets the bits).
// sameAsHead: from continues the run of head.  Returns the repeats or -2
// when stop() answers true.  Flags go through LoadFlags and StoreFlags: a
// callback may read them while workers walk.
template <class Stop, class Step>
int64_t WalkGroups(ListObject& list, const uint32_t* index, const uint8_t* groups, uint32_t from, uint32_t to,
                   bool sameAsHead, uint32_t head, uint8_t bits, int32_t mustHave, int32_t mustNot, Stop stop,
                   Step step) {
    uint64_t repeats = 0;
    // The sorted index visits the entries all over memory: their flags and
    // counts are asked for a little ahead.
    constexpr uint32_t kAhead = 16;
    for (uint32_t p = from; p < to; ++p) {
        if (stop()) return YRB_STOPPED;
        step(p);
        if (p + kAhead < to) {
            const uint32_t ahead = index[p + kAhead];
            __builtin_prefetch(&list.flags[ahead], 1);
            __builtin_prefetch(&list.occurrences[ahead], 1);
        }
        if (groups[p] == kLacksPart) continue;
        if (groups[p] == kNewText) sameAsHead = false;
        const uint32_t id = index[p];
        const uint8_t flags = LoadFlags(list.flags[id]);
        if (!PassesFilter(flags, mustHave, mustNot)) continue;
        if (sameAsHead) {
            StoreFlags(list.flags[id], static_cast<uint8_t>(flags | bits));
            ++list.occurrences[head];
            ++repeats;
        } else {
            // A head never keeps the bits this call sets on repeats, so one
            // copy of every value stays unmarked.
            head = id;
            list.occurrences[id] = 1;
            StoreFlags(list.flags[id], static_cast<uint8_t>(flags & ~bits));
            sameAsHead = true;
        }
    }
    return static_cast<int64_t>(repeats);
}

}  // namespace

int32_t MarkDuplicates(ListObject& list, uint32_t* index, uint32_t count, int part,
                       int32_t flag, int32_t mustHave, int32_t mustNot) {
    if (index == nullptr || part < YRB_PART_ADDRESS || part > YRB_PART_DOMAIN) return YRB_FAILED;
    const Table* t = &g_registered;
    InitProgress(t, count);
    Progress(t, 0);
    // The sort tells which positions hold the same text as the one before,
    // so the walk below never reads the texts again.
    std::vector<uint8_t> groups;
    if (count > 0) {  // a list of 0 entries has nothing to sort
        const int32_t sorted = SortEntriesGrouped(list, index, count, part, false, groups);
        if (sorted < 0) return sorted;
    }
    Info(t, "Detecting duplicate entries");

    // Counts of an earlier call must not reach this one's report.
    const unsigned workers = WorkersFor(count);
    if (count == list.Count()) {
        std::memset(list.occurrences, 0, static_cast<size_t>(count) * sizeof(uint32_t));
    } else {
        for (uint32_t p = 0; p < count; ++p) list.occurrences[index[p]] = 0;
    }
    const uint8_t bits = static_cast<uint8_t>(flag & 0xFF);

    uint32_t p = 0;
    uint32_t head = 0;
    bool found = false;
    for (; p < count && !found; ++p) {
        const uint32_t id = index[p];
        list.occurrences[id] = 1;
        if (groups[p] != kLacksPart && PassesFilter(list.flags[id], mustHave, mustNot)) {
            found = true;
            head = id;
            list.flags[id] = static_cast<uint8_t>(list.flags[id] & ~bits);
        }
    }
    ProgressStep step(t, count);
    uint64_t repeats = 0;
    if (workers > 1) {
        // Runs of equal texts never cross a cut, so each range is walked on
        // its own; the first one goes on with the run of the first head.
        const std::vector<uint32_t> cuts =
            CutAt(p, count, workers * 4, [&](uint32_t q) { return groups[q] == kNewText; });
        std::vector<int64_t> repeatsIn(cuts.size() - 1, 0);
        std::atomic<size_t> next{0};
        const int32_t r = RunWorkers(workers, Watch{t, false, &step, p}, [&](Worker& w) {
            for (size_t c; (c = next.fetch_add(1)) + 1 < cuts.size();) {
                repeatsIn[c] = WalkGroups(list, index, groups.data(), cuts[c], cuts[c + 1], c == 0, head, bits, mustHave,
                                      mustNot, [&w] { return !w.Poll(); }, [&w](uint32_t) { w.Advance(1); });
                if (w.Stopping()) return;
            }
        });
        if (r < 0) return r;
        for (int64_t f : repeatsIn) repeats += static_cast<uint64_t>(f);
    } else {
        const int64_t r = WalkGroups(list, index, groups.data(), p, count, true, head, bits, mustHave, mustNot,
                                     [t] { return PollInterrupt(t); }, [&step](uint32_t q) { step(q); });
        if (r < 0) return static_cast<int32_t>(r);
        repeats = static_cast<uint64_t>(r);
    }
    step(count);
    return static_cast<int32_t>(repeats);
}

}  // namespace yrb

using namespace yrb;

namespace {

const char* const kDupHeader[3] = {
    "Email Address\tOccurrences\r\n",
    "User\tOccurrences\r\n",
    "Domain\tOccurrences\r\n",
};

}  // namespace

extern "C" YRB_API int32_t YRB11(int32_t slot, int32_t key, int32_t flag, int32_t must_have,
                                 int32_t must_not, const char* report_path) {
    return Guarded([&]() -> int32_t {
        const Table* t = &g_registered;
        ListObject* list = nullptr;
        if (ValidateSlotForChange(slot, list, t) != 1) return YRB_FAILED;
        BusyScope busy(list);
        const uint32_t count = list->Count();
        const int32_t repeats =
            MarkDuplicates(*list, list->index1, count, key, flag, must_have, must_not);
        if (repeats < 0) return repeats;
        if (report_path == nullptr || *report_path == '\0') return repeats;

        BufferedWriter report;
        if (!report.OpenChecked(report_path, "a+b")) {
            SendError(t, Format("Could not open duplicate file for writing : %s", report_path));
            return YRB_FAILED;
        }
        report.Add(kDupHeader[key]);
        if (repeats == 0) {
            report.Add("None\r\n");
            return report.Close() ? 0 : YRB_FAILED;
        }

        Info(t, "Sorting duplicate entries by number of occurrences");
        InitProgress(t, count);
        Progress(t, 0);
        CopyIndex(list->index1, list->index2, count);
        const int32_t sorted = SortEntries(*list, list->index2, count, YRB_SORT_OCCURRENCES, false);
        // A stop keeps the report written so far; a failure leaves none.
        auto stopped = [&] { return report.Close() ? YRB_STOPPED : YRB_FAILED; };
        if (sorted == YRB_STOPPED) return stopped();
        if (sorted < 0) return sorted;

        Info(t, "Writing duplicate entries to file");
        ProgressStep step(t, count);
        // Position p of the report's walk is index 2's entry count - 1 - p.
        auto line = [&](std::string& out, uint32_t id, const ListItem* item) {
            const uint8_t flags = LoadFlags(list->flags[id]);
            if ((flags & static_cast<uint32_t>(flag)) != 0) return;
            if (!PassesFilter(flags, must_have, must_not) || item == nullptr) return;
            AppendShown(out, list->Text(*item), item->length);
            out += '\t';
            AppendNumber(out, list->occurrences[id]);
            out += "\r\n";
        };
        const unsigned workers = WorkersFor(count);
        if (workers > 1) {
            // Counts run from the highest down: past the last count above 1
            // the walk only polls and reports progress.
            const uint32_t* last = list->index2 + count - 1;
            uint32_t lines = 0;
            for (uint32_t jump = count; jump > 0; jump /= 2)
                while (lines + jump <= count && list->occurrences[last[-int64_t(lines + jump - 1)]] > 1) lines += jump;
            constexpr uint32_t kBlock = 16384;
            const int32_t r = RunOrdered<std::string>(
                workers, Watch(t, false, &step), (lines + kBlock - 1) / kBlock,
                [&](Worker& w, uint64_t block, std::string& out) {
                    const uint32_t lo = static_cast<uint32_t>(block * kBlock);
                    const uint32_t hi = std::min(lines, lo + kBlock);
                    uint32_t ids[kGatherBatch];
                    const ListItem* items[kGatherBatch];
                    for (uint32_t base = lo; base < hi; base += kGatherBatch) {
                        const size_t m = std::min<size_t>(kGatherBatch, hi - base);
                        for (size_t j = 0; j < m; ++j) ids[j] = last[-int64_t(base + j)];
                        GatherParts(*list, ids, m, key, items);
                        for (size_t j = 0; j < m; ++j) {
                            w.Step();
                            w.Advance(1);
                            line(out, ids[j], items[j]);
                        }
                    }
                },
                [&](uint64_t, std::string& out) { report.Add(out); });
            if (r < 0 || PollAndStep(t, step, lines, count)) return stopped();
            return report.Close() ? repeats : YRB_FAILED;
        }
        bool restAtMostOne = false;  // index 2 runs from the highest count down
        uint32_t ids[kGatherBatch];
        const ListItem* items[kGatherBatch];
        std::string text;
        for (uint32_t base = 0; base < count; base += kGatherBatch) {
            const size_t m = std::min<size_t>(kGatherBatch, count - base);
            if (!restAtMostOne) {
                for (size_t j = 0; j < m; ++j) ids[j] = list->index2[count - 1 - base - j];
                GatherParts(*list, ids, m, key, items);
            }
            for (size_t j = 0; j < m; ++j) {
                if (PollInterrupt(t)) return stopped();
                step(static_cast<uint32_t>(base + j));
                if (restAtMostOne) continue;
                if (list->occurrences[ids[j]] <= 1) {
                    restAtMostOne = true;
                    continue;
                }
                text.clear();
                line(text, ids[j], items[j]);
                report.Add(text);
            }
        }
        return report.Close() ? repeats : YRB_FAILED;
    });
}
