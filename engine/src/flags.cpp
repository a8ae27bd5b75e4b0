// Entry flags, flag filters and reading entries back.
#include <algorithm>
#include <utility>
#include <vector>

#include "flags.h"
#include "guard.h"
#include "parallel.h"

using namespace yrb;

namespace {

// Entry numbers are positions in index 1.
bool InRange(const ListObject* list, int32_t entry) {
    return entry >= 0 && static_cast<uint32_t>(entry) < list->Count();
}

}  // namespace

namespace yrb {

int32_t UpdateFlags(ListObject& list, int32_t entry, int32_t mode, int32_t mask, int32_t mustHave,
                    int32_t mustNot, const Table* t) {
    if (mask == 0) return 0;
    const bool all = entry == YRB_ALL_ENTRIES;
    if (!all && !InRange(&list, entry)) return YRB_FAILED;
    if (mode < YRB_MODE_TOGGLE || mode > YRB_MODE_SET) mode = YRB_MODE_SET;
    BusyScope busy(&list);
    const uint32_t first = all ? 0 : static_cast<uint32_t>(entry);
    const uint32_t range = all ? list.Count() : 1;
    const uint8_t m = static_cast<uint8_t>(mask & 0xFF);
    InitProgress(t, range);
    Info(t, "Updating entry flags");
    Progress(t, 0);
    ProgressStep step(t, range);
    auto update = [&](uint32_t i) -> bool {
        uint8_t& f = list.flags[list.index1[first + i]];
        const uint8_t v = LoadFlags(f);
        if (!PassesFilter(v, mustHave, mustNot)) return false;
        if (mode == YRB_MODE_SET) {
            StoreFlags(f, static_cast<uint8_t>(v | m));
        } else if (mode == YRB_MODE_CLEAR) {
            StoreFlags(f, static_cast<uint8_t>(v & ~m));
        } else {
            StoreFlags(f, (v & m) ? static_cast<uint8_t>(v & ~m) : static_cast<uint8_t>(v | m));
        }
        return true;
    };
    const unsigned workers = WorkersFor(range);
    if (workers > 1) {
        std::vector<uint32_t> counts(workers, 0);
        const int32_t r = RunWorkers(workers, Watch(t, false, &step), [&](Worker& w) {
            const uint32_t lo = static_cast<uint32_t>(SplitPoint(range, workers, w.Index()));
            const uint32_t hi = static_cast<uint32_t>(SplitPoint(range, workers, w.Index() + 1));
            for (uint32_t i = lo; i < hi; ++i) {
                if (!w.Poll()) return;
                w.Advance(1);
                counts[w.Index()] += update(i);
            }
        });
        if (r < 0) return r;
        step(range);
        uint32_t counted = 0;
        for (uint32_t c : counts) counted += c;
        return static_cast<int32_t>(counted);
    }
    uint32_t counted = 0;
    for (uint32_t i = 0; i < range; ++i) {
        if (PollInterrupt(t)) return YRB_STOPPED;
        step(i);
        counted += update(i);
    }
    step(range);
    return static_cast<int32_t>(counted);
}

// Counts the entries of the display order that pass the filter.  Returns the
// count or -2.
int32_t CountPassing(const ListObject& list, int32_t mustHave, int32_t mustNot, const Table* t) {
    const uint32_t n = list.Count();
    InitProgress(t, n);
    Info(t, "Counting entries");
    ProgressStep step(t, n);
    step(0);
    auto passes = [&](uint32_t i) {
        return PassesFilter(LoadFlags(list.flags[list.index1[i]]), mustHave, mustNot) ? 1u : 0u;
    };
    uint32_t counted = 0;
    const unsigned workers = WorkersFor(n);
    if (workers > 1) {
        std::vector<uint32_t> counts(workers, 0);
        const int32_t r = RunWorkers(workers, Watch(t, false, &step), [&](Worker& w) {
            const uint32_t lo = static_cast<uint32_t>(SplitPoint(n, workers, w.Index()));
            const uint32_t hi = static_cast<uint32_t>(SplitPoint(n, workers, w.Index() + 1));
            for (uint32_t i = lo; i < hi; ++i) {
                if (!w.Poll()) return;
                w.Advance(1);
                counts[w.Index()] += passes(i);
            }
        });
        if (r < 0) return r;
        for (uint32_t c : counts) counted += c;
    } else {
        for (uint32_t i = 0; i < n; ++i) {
            step(i);
            if (PollInterrupt(t)) return YRB_STOPPED;
            counted += passes(i);
        }
    }
    step(n);
    return static_cast<int32_t>(counted);
}

}  // namespace yrb

extern "C" YRB_API int32_t YRB03(int32_t slot, int32_t entry, int32_t mask, int32_t on) {
    ListObject* list = nullptr;
    if (ValidateSlotForChange(slot, list, &g_registered) != 1) return YRB_FAILED;
    if (!InRange(list, entry)) return YRB_FAILED;
    uint8_t& f = list->flags[list->index1[entry]];
    const uint8_t m = static_cast<uint8_t>(mask & 0xFF);
    f = on ? static_cast<uint8_t>(f | m) : static_cast<uint8_t>(f & ~m);
    return 0;
}

extern "C" YRB_API int32_t YRB17(int32_t slot, int32_t entry, int32_t mask) {
    ListObject* list = nullptr;
    if (ValidateSlot(slot, list, &g_registered) != 1) return YRB_FAILED;
    if (!InRange(list, entry)) return YRB_FAILED;
    // Workers of a running operation may be marking other entries.
    return static_cast<int32_t>(LoadFlags(list->flags[list->index1[entry]]) & static_cast<uint32_t>(mask));
}

extern "C" YRB_API int32_t YRB18(int32_t slot, int32_t entry, int32_t part, char* buffer,
                                 int32_t max) {
    if (buffer == nullptr || max < 0) return YRB_FAILED;
    ListObject* list = nullptr;
    if (ValidateSlot(slot, list, &g_registered) != 1) return YRB_FAILED;
    if (!InRange(list, entry) || part < YRB_PART_ADDRESS || part > YRB_PART_DOMAIN) return YRB_FAILED;
    const ListItem* it = list->Part(list->index1[entry], part);
    if (it == nullptr) return YRB_FAILED;
    const uint32_t n = it->length < static_cast<uint32_t>(max) ? it->length : static_cast<uint32_t>(max);
    std::memcpy(buffer, list->Text(*it), n);
    buffer[n] = '\0';
    return static_cast<int32_t>(n);
}

extern "C" YRB_API int32_t YRB26(int32_t slot, int32_t entry) {
    ListObject* list = nullptr;
    if (ValidateSlot(slot, list, &g_registered) != 1) return YRB_FAILED;
    if (!InRange(list, entry)) return YRB_FAILED;
    return static_cast<int32_t>(list->index1[entry]);
}

extern "C" YRB_API int32_t YRB27(int32_t slot, int32_t id) {
    ListObject* list = nullptr;
    if (ValidateSlot(slot, list, &g_registered) != 1) return YRB_FAILED;
    if (!InRange(list, id)) return YRB_FAILED;
    // A walk of the display order: far cheaper than any sort that moved
    // the entry, and no index to keep up to date.
    const uint32_t* const begin = list->index1;
    return static_cast<int32_t>(std::find(begin, begin + list->Count(), static_cast<uint32_t>(id)) - begin);
}

extern "C" YRB_API int32_t YRB10(int32_t slot, int32_t entry, int32_t mode, int32_t mask,
                                 int32_t must_have, int32_t must_not,
                                 const YRB_CallbackTable* table) {
    const Table* t = Choose(table, &g_silent);
    ListObject* list = nullptr;
    if (ValidateSlotForChange(slot, list, t) != 1) return YRB_FAILED;
    return Guarded([&] { return UpdateFlags(*list, entry, mode, mask, must_have, must_not, t); });
}

extern "C" YRB_API int32_t YRB16(int32_t slot, int32_t must_have, int32_t must_not,
                                 const YRB_CallbackTable* table) {
    const Table* t = Choose(table, &g_silent);
    ListObject* list = nullptr;
    if (ValidateSlot(slot, list, t) != 1) return YRB_FAILED;
    BusyScope busy(list);
    return Guarded([&] { return CountPassing(*list, must_have, must_not, t); });
}

extern "C" YRB_API int32_t YRB15(int32_t slot) {
    const Table* t = &g_registered;
    ListObject* list = nullptr;
    if (ValidateSlotForChange(slot, list, t) != 1) return YRB_FAILED;
    BusyScope busy(list);
    const uint32_t n = list->Count();
    const uint32_t half = n / 2;
    InitProgress(t, half);
    Progress(t, 0);
    Info(t, "Invert entries order");
    ProgressStep step(t, n);  // the step is a hundredth of the whole list
    uint32_t* idx = list->index1;
    for (uint32_t i = 0; i < half; ++i) {
        std::swap(idx[i], idx[n - 1 - i]);
        if (PollInterrupt(t)) return YRB_STOPPED;
        step(i);
    }
    step(half);
    return 1;
}

extern "C" YRB_API int32_t YRB19(void) { return YRB_FAILED; }
