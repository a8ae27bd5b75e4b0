// Flag updates shared by YRB10 and the operations that clear their flag
// before they mark (YRB21, YRB23, YRB24).
#pragma once

#include <cstdint>

#include "lists.h"

namespace yrb {

// YRB10 on a list already validated, whether or not an operation is using
// it: the callers are that operation.  Returns the entries that passed the
// filter, -1 (entry out of range) or -2.
int32_t UpdateFlags(ListObject& list, int32_t entry, int32_t mode, int32_t mask, int32_t mustHave,
                    int32_t mustNot, const Table* t);

// YRB16 on a list already validated: the entries of the display order that
// pass the filter, or -2.
int32_t CountPassing(const ListObject& list, int32_t mustHave, int32_t mustNot, const Table* t);

}  // namespace yrb
