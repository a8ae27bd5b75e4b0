#pragma once

#include <cstdint>

// One row of a list view's own index: the data item it shows and its tick
// (True -1, False 0).
struct VLItem {
    int16_t Checked = 0;
    int32_t DataIdx = 0;
};
