// Duplicate detection (YRB11) with its ".dup" report.
#include "duplicates.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "buffered_writer.h"
#include "gather.h"
#include "guard.h"
#include "sorting.h"

namespace yrb {

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
    if (count == list.Count()) {
        std::memset(list.occurrences, 0, static_cast<size_t>(count) * sizeof(uint32_t));
    } else {
        for (uint32_t p = 0; p < count; ++p) list.occurrences[index[p]] = 0;
    }
    const uint8_t bits = static_cast<uint8_t>(flag & 0xFF);
    // A head never keeps the bits this call sets on repeats, so one copy of
    // every value stays unmarked.
    auto makeHead = [&](uint32_t id) {
        list.occurrences[id] = 1;
        list.flags[id] = static_cast<uint8_t>(list.flags[id] & ~bits);
    };

    uint32_t p = 0;
    uint32_t head = 0;
    bool found = false;
    for (; p < count && !found; ++p) {
        const uint32_t id = index[p];
        list.occurrences[id] = 1;
        if (groups[p] != kLacksPart && PassesFilter(list.flags[id], mustHave, mustNot)) {
            found = true;
            head = id;
            makeHead(id);
        }
    }
    // Equal texts lie together, so a text equals the head's as long as no
    // position since the head started a new text.
    bool sameAsHead = true;
    ProgressStep step(t, count);
    uint32_t repeats = 0;
    // The sorted index visits the entries all over memory: their flags and
    // counts are asked for a little ahead.
    constexpr uint32_t kAhead = 16;
    for (; p < count; ++p) {
        if (PollInterrupt(t)) return YRB_STOPPED;
        step(p);
        if (p + kAhead < count) {
            const uint32_t ahead = index[p + kAhead];
            __builtin_prefetch(&list.flags[ahead], 1);
            __builtin_prefetch(&list.occurrences[ahead], 1);
        }
        if (groups[p] == kLacksPart) continue;
        if (groups[p] == kNewText) sameAsHead = false;
        const uint32_t id = index[p];
        if (!PassesFilter(list.flags[id], mustHave, mustNot)) continue;
        if (sameAsHead) {
            list.flags[id] = static_cast<uint8_t>(list.flags[id] | bits);
            ++list.occurrences[head];
            ++repeats;
        } else {
            head = id;
            makeHead(id);
            sameAsHead = true;
        }
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
        if (sorted < 0) return sorted;

        Info(t, "Writing duplicate entries to file");
        ProgressStep step(t, count);
        bool restAtMostOne = false;  // index 2 runs from the highest count down
        uint32_t ids[kGatherBatch];
        const ListItem* items[kGatherBatch];
        for (uint32_t base = 0; base < count; base += kGatherBatch) {
            const size_t m = std::min<size_t>(kGatherBatch, count - base);
            if (!restAtMostOne) {
                for (size_t j = 0; j < m; ++j) ids[j] = list->index2[count - 1 - base - j];
                GatherParts(*list, ids, m, key, items);
            }
            for (size_t j = 0; j < m; ++j) {
                if (PollInterrupt(t)) return YRB_STOPPED;
                step(static_cast<uint32_t>(base + j));
                if (restAtMostOne) continue;
                const uint32_t id = ids[j];
                const uint32_t occurrences = list->occurrences[id];
                if (occurrences <= 1) {
                    restAtMostOne = true;
                    continue;
                }
                const uint8_t flags = list->flags[id];
                if ((flags & static_cast<uint32_t>(flag)) != 0) continue;
                if (!PassesFilter(flags, must_have, must_not) || items[j] == nullptr) continue;
                report.Add(list->Text(*items[j]), items[j]->length);
                report.Add("\t", 1);
                report.AddNumber(occurrences);
                report.Add("\r\n", 2);
            }
        }
        return report.Close() ? repeats : YRB_FAILED;
    });
}
