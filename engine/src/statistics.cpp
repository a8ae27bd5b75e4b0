// Domain statistics (YRB23): the ".sta" file, one line per domain, most
// frequent first.
#include <charconv>

#include "buffered_writer.h"
#include "duplicates.h"
#include "flags.h"
#include "guard.h"
#include "sorting.h"

using namespace yrb;

namespace {

// "66.667": three decimals and a point whatever the process locale, from the
// share rounded to single precision first.
void AddPercentage(BufferedWriter& out, uint32_t part, uint32_t total) {
    const float share = static_cast<float>(static_cast<double>(part) / total * 100.0);
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<double>(share),
                                 std::chars_format::fixed, 3);
    out.Add(buf, static_cast<size_t>(r.ptr - buf));
}

}  // namespace

extern "C" YRB_API int32_t YRB23(int32_t slot, const char* stat_path, int32_t must_have,
                                 int32_t must_not) {
    return Guarded([&]() -> int32_t {
        const Table* t = &g_registered;
        if (stat_path == nullptr || *stat_path == '\0') {
            SendError(t, "No 'stat' file has been specified");
            return YRB_FAILED;
        }
        ListObject* list = nullptr;
        if (ValidateSlotForChange(slot, list, t) != 1) return YRB_FAILED;
        BusyScope busy(list);
        const uint32_t n = list->Count();
        InitProgress(t, n);
        ProgressStep(t, n)(0);

        const int32_t cleared = UpdateFlags(*list, YRB_ALL_ENTRIES, YRB_MODE_CLEAR, YRB_FLAG_WORK, 0, 0, t);
        if (cleared < 0) return cleared;
        Info(t, "Preparing List for statistic computation");
        CopyIndex(list->index1, list->index2, n);
        const int32_t grouped =
            MarkDuplicates(*list, list->index2, n, YRB_PART_DOMAIN, YRB_FLAG_WORK, must_have, must_not);
        if (grouped < 0) return grouped;
        const int32_t total = YRB16(slot, must_have, must_not, t);
        if (total < 0) return total;
        if (n > 0) {  // a list of 0 entries has nothing to sort
            const int32_t sorted = SortEntries(*list, list->index2, n, YRB_SORT_OCCURRENCES, false);
            if (sorted < 0) return sorted;
        }

        Info(t, "Writing statistic records to file");
        ProgressStep step(t, n);
        step(0);
        BufferedWriter file;
        if (!file.Open(stat_path, "wb")) {
            SendError(t, Format("Could not open file for writing : %s", stat_path));
            return YRB_FAILED;
        }
        file.Add("Domain\tOccurrences\tPercentage\r\n");
        bool restZero = false;  // index 2 runs from the highest count down
        for (uint32_t i = 0; i < n; ++i) {
            if (PollInterrupt(t)) return YRB_STOPPED;
            step(i);
            if (restZero) continue;
            const uint32_t id = list->index2[n - 1 - i];
            const uint32_t occurrences = list->occurrences[id];
            if (occurrences == 0) {  // repeats and entries passed over: no line
                restZero = true;
                continue;
            }
            const uint8_t flags = list->flags[id];
            if ((flags & YRB_FLAG_WORK) != 0 || !PassesFilter(flags, must_have, must_not)) continue;
            const ListItem* domain = list->Part(id, YRB_PART_DOMAIN);
            if (domain == nullptr) continue;
            file.Add(list->Text(*domain), domain->length);
            file.Add("\t", 1);
            file.AddNumber(occurrences);
            file.Add("\t", 1);
            AddPercentage(file, occurrences, static_cast<uint32_t>(total));
            file.Add(" %\r\n", 4);
        }
        step(n);
        return file.Close() ? static_cast<int32_t>(n) : YRB_FAILED;
    });
}
