// Sorting an entry index of a list by one of the twelve keys.
#pragma once

#include <cstdint>
#include <vector>

#include "lists.h"

namespace yrb {

// Sorts count entry numbers of index (index 1 or 2 of the list, or any array
// of the list's entry numbers) by key (YRB_SORT_..., others count as
// YRB_SORT_ADDRESS).
// Stable: entries with equal keys keep their order.  The key's information
// text goes to the registered table; polls and animation use it too.
// Returns 1 (at once for a single entry), -1 (null index or no entries), or
// -2 when stopped;
// a stopped sort leaves every entry in the index exactly once.
int32_t SortEntries(const ListObject& list, uint32_t* index, uint32_t count, int32_t key,
                    bool descending);

// What SortEntriesGrouped tells of each position of the sorted index.
enum SortGroup : uint8_t {
    kLacksPart = 0,  // the entry lacks the key's part
    kNewText = 1,    // its text differs from the one at the position before
    kSameText = 2,   // its text is the one at the position before, byte for byte
};

// SortEntries by a text key (YRB_SORT_ADDRESS, _USER, _DOMAIN), and on
// success groups receives one SortGroup per position (count of them), so that
// runs of equal texts can be walked without reading the texts again.
int32_t SortEntriesGrouped(const ListObject& list, uint32_t* index, uint32_t count, int32_t key,
                           bool descending, std::vector<uint8_t>& groups);

// Where the part of the entry at a position of the sorted index lies in the
// content; length 0 when the entry lacks it.
struct TextSpan {
    uint32_t offset;
    uint32_t length;
};

// SortEntries by a text key (YRB_SORT_ADDRESS, _USER, _DOMAIN), and on
// success spans receives one TextSpan per position (count of them), so that
// a walk along the sorted index finds the texts without following the
// entries' items.
int32_t SortEntriesSpans(const ListObject& list, uint32_t* index, uint32_t count, int32_t key,
                         bool descending, std::vector<TextSpan>& spans);

}  // namespace yrb
