#pragma once

#include <QString>

class QWidget;
class clsEmailList;

// The "other" separators typed in the list dialogs, and what the engine
// cannot take of them.
namespace OtherSeparator {

enum class Group { Field, Record };

enum class Fault {
    None,
    Missing,    // gives no character: an empty box, or notation that converts to nothing
    HoldsNull,  // holds NUL, which would cut the separator short on its way to the engine
};

// The fault of a separator as characters.
Fault FaultOf(const QString& separator);

// The message of a fault, with the error icon and Cancel alone, placed on
// and owned by the form.
void Show(QWidget* form, Group group, Fault fault);

// Checks the "other" separators that values chooses, in the groups asked
// for, field first; shows the first fault.  True when there is none.
bool Usable(const clsEmailList& values, bool field, bool record, QWidget* form);

}  // namespace OtherSeparator
