// Grouping equal parts along a sorted index: the duplicate detection of
// YRB11 and the per-domain counts of the statistics.
#pragma once

#include <cstdint>

#include "lists.h"

namespace yrb {

// Sorts count entry numbers of index by part (YRB_PART_...),
// ascending and stable, then walks it: among the entries that pass the filter
// and have the part, the first of each run of equal parts is its head (it
// loses the flag bits and holds the run's size in its occurrences), every
// later one is a repeat and gets the flag bits.  Occurrence counts of the
// index's entries are reset first.  Progress and stop checks go through the
// registered table.  Returns the number of repeats, -1 (null index, part out
// of range, sort failure) or -2 when stopped.
int32_t MarkDuplicates(ListObject& list, uint32_t* index, uint32_t count, int part,
                       int32_t flag, int32_t mustHave, int32_t mustNot);

}  // namespace yrb
