#pragma once

#include <cstdint>

#include <QString>

// Whoever owns the rows of an owner-data list view: the list holds none and
// asks for each cell as it paints it.  Rows and columns are the list's own,
// from 0.  Answers come from inside painting, so they never pump events and
// never throw.
class ListRowSource {
public:
    // The buffer a cell's text is copied into, with its terminator.
    static constexpr int32_t kItemTextMax = 260;

    // The text of a cell; the list shows at most kItemTextMax - 1 characters.
    virtual QString RowText(int32_t row, int32_t column) = 0;
    // The number of a cell's image in the list's image list; -1 for none.
    virtual int32_t RowImage(int32_t row, int32_t column) = 0;
    // The tooltip of a cell; empty for none.
    virtual QString RowToolTip(int32_t row, int32_t column) = 0;
    // The order of two rows' data items by a column, in the direction given
    // (1 ascending, -1 descending): -1, 0 or 1.  The list itself never
    // sorts; an owner that sorts its rows asks this.
    virtual int32_t CompareRows(int32_t a, int32_t b, int16_t column, int16_t direction) = 0;

protected:
    ~ListRowSource() = default;
};
