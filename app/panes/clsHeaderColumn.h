#pragma once

#include <cstdint>

// One column of a list view: the width it was inserted with and its share of
// the free width (0: the column keeps its width).
class clsHeaderColumn {
public:
    int16_t IniWidth = 0;
    int16_t Factor = 0;
};
