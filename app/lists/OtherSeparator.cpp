#include "OtherSeparator.h"

#include "clsEmailList.h"
#include "modGlobalFunctions.h"

namespace OtherSeparator {

Fault FaultOf(const QString& separator) {
    if (separator.isEmpty()) return Fault::Missing;
    if (separator.contains(QChar(0))) return Fault::HoldsNull;
    return Fault::None;
}

void Show(QWidget* form, Group group, Fault fault) {
    if (fault == Fault::None) return;
    const bool field = group == Group::Field;
    QString message;
    if (fault == Fault::HoldsNull)
        message = QStringLiteral("The separator cannot contain the Null character (^@) !");
    else if (field)
        message = QStringLiteral("No field separator has been provided !");
    else
        message = QStringLiteral("No record separator has been provided !");
    modGlobalFunctions::DisplayMessage({
        .message = message,
        .Title = field ? QStringLiteral("Invalid Field Separator") : QStringLiteral("Invalid Record Separator"),
        .IconNb = MsgBoxIcon::Error,
        .Focus = 0,
        .ShowCancel = true,
        .CForm = form,
        .OForm = form,
    });
}

bool Usable(const clsEmailList& values, bool field, bool record, QWidget* form) {
    if (field && values.FldOth) {
        const Fault f = FaultOf(values.FieldSep());
        if (f != Fault::None) {
            Show(form, Group::Field, f);
            return false;
        }
    }
    if (record && values.RecOth) {
        const Fault f = FaultOf(values.RecordSep());
        if (f != Fault::None) {
            Show(form, Group::Record, f);
            return false;
        }
    }
    return true;
}

}  // namespace OtherSeparator
