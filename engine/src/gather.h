// Walking entries in an order other than the file's (a sorted index) reads
// items and texts all over memory, and each entry's part is a chain of two
// or three dependent reads.  Following the chains of a batch of entries one
// link at a time keeps the reads of each step independent of each other, so
// their cache misses overlap instead of coming one after the other.
#pragma once

#include <cstddef>
#include <cstdint>

#include "lists.h"

namespace yrb {

constexpr size_t kGatherBatch = 256;

// out[i] = the item of part (YRB_PART_...) of entry ids[i], or
// null when the entry lacks it; the same answer as list.Part.
inline void GatherParts(const ListObject& list, const uint32_t* ids, size_t n, int part,
                        const ListItem** out) {
    if (list.levels < 2) {
        for (size_t i = 0; i < n; ++i) out[i] = nullptr;
        return;
    }
    const ListItem* records = list.dims[0].items;
    const ListItem* fields = list.dims[1].items;
    for (size_t i = 0; i < n; ++i) {
        const ListItem& r = records[ids[i]];
        out[i] = list.ChildCount(0, r) ? &fields[r.first] : nullptr;
    }
    if (part == YRB_PART_ADDRESS) return;
    const ListItem* parts = list.levels >= 3 ? list.dims[2].items : nullptr;
    for (size_t i = 0; i < n; ++i) {
        const ListItem* a = out[i];
        out[i] = (a && parts && list.ChildCount(1, *a) >= static_cast<uint32_t>(part))
                     ? &parts[a->first + static_cast<uint32_t>(part - 1)]
                     : nullptr;
    }
}

}  // namespace yrb
