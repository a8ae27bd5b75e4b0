// Domain statistics (YRB23): the ".sta" file, one line per domain, most
// frequent first.
#include <algorithm>
#include <charconv>
#include <string>

#include "buffered_writer.h"
#include "duplicates.h"
#include "flags.h"
#include "guard.h"
#include "parallel.h"
#include "sorting.h"
#include "text.h"

using namespace yrb;

namespace {

// "66.667": three decimals and a point whatever the process locale, from the
// share rounded to single precision first.
void AppendPercentage(std::string& out, uint32_t part, uint32_t total) {
    const float share = static_cast<float>(static_cast<double>(part) / total * 100.0);
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<double>(share),
                                 std::chars_format::fixed, 3);
    out.append(buf, static_cast<size_t>(r.ptr - buf));
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
            SendError(t, file.OpenFailure("Could not open file for writing : "));
            return YRB_FAILED;
        }
        file.Add("Domain\tOccurrences\tPercentage\r\n");
        // The line of the entry at position i of the walk (index 2 from the
        // highest count down).
        const uint32_t* last = list->index2 + n - 1;
        auto line = [&](std::string& out, uint32_t i) {
            const uint32_t id = last[-int64_t(i)];
            const uint8_t flags = LoadFlags(list->flags[id]);
            if ((flags & YRB_FLAG_WORK) != 0 || !PassesFilter(flags, must_have, must_not)) return;
            const ListItem* domain = list->Part(id, YRB_PART_DOMAIN);
            if (domain == nullptr) return;
            AppendShown(out, list->Text(*domain), domain->length);
            out += '\t';
            AppendNumber(out, list->occurrences[id]);
            out += '\t';
            AppendPercentage(out, list->occurrences[id], static_cast<uint32_t>(total));
            out += " %\r\n";
        };
        const unsigned workers = WorkersFor(n);
        if (workers > 1) {
            // Repeats and entries passed over count 0 and come last: past
            // them the walk only polls and reports progress.
            uint32_t heads = 0;
            for (uint32_t jump = n; jump > 0; jump /= 2)
                while (heads + jump <= n && list->occurrences[last[-int64_t(heads + jump - 1)]] != 0) heads += jump;
            constexpr uint32_t kBlock = 16384;
            const int32_t r = RunOrdered<std::string>(
                workers, Watch(t, false, &step), (uint64_t(heads) + kBlock - 1) / kBlock,
                [&](Worker& w, uint64_t block, std::string& out) {
                    const uint32_t lo = static_cast<uint32_t>(block * kBlock);
                    const uint32_t hi = std::min(heads, lo + kBlock);
                    for (uint32_t i = lo; i < hi; ++i) {
                        w.Step();
                        w.Advance(1);
                        line(out, i);
                    }
                },
                [&](uint64_t, std::string& out) { file.Add(out); });
            // A stop keeps the lines written so far.
            if (r < 0 || PollAndStep(t, step, heads, n)) return file.Close() ? YRB_STOPPED : YRB_FAILED;
        } else {
            bool restZero = false;  // index 2 runs from the highest count down
            std::string text;
            for (uint32_t i = 0; i < n; ++i) {
                if (PollInterrupt(t)) return file.Close() ? YRB_STOPPED : YRB_FAILED;
                step(i);
                if (restZero) continue;
                if (list->occurrences[last[-int64_t(i)]] == 0) {  // repeats and entries passed over: no line
                    restZero = true;
                    continue;
                }
                text.clear();
                line(text, i);
                file.Add(text);
            }
        }
        step(n);
        return file.Close() ? static_cast<int32_t>(n) : YRB_FAILED;
    });
}
