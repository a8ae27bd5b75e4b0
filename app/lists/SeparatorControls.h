#pragma once

#include "clsEmailList.h"

class QLineEdit;
class QRadioButton;

// The separator options and "other" boxes that both list dialogs carry,
// loaded from and written to a descriptor field by field.
struct SeparatorControls {
    QRadioButton* FldTab = nullptr;
    QRadioButton* FldCol = nullptr;
    QRadioButton* FldCom = nullptr;
    QRadioButton* FldSpc = nullptr;
    QRadioButton* FldOth = nullptr;
    QLineEdit* FldSep = nullptr;
    QRadioButton* RecCr = nullptr;
    QRadioButton* RecLf = nullptr;
    QRadioButton* RecCrLF = nullptr;
    QRadioButton* RecOth = nullptr;
    QLineEdit* RecSep = nullptr;

    // The field options, the field box, the record options, the record
    // box; an option set to True runs its click handler.  The boxes take
    // the stored text as it is.
    void Load(const clsEmailList& list) const;
    // A fresh descriptor holding the controls' choice.
    clsEmailList Values() const;
    // The nine flags and the two texts, in the order Load reads them.
    void WriteTo(clsEmailList& list) const;
};
