#include "ListDialogSeam.h"

#include <QDialog>
#include <QPointer>

namespace {
ListDialogSeam::Script& Current() {
    static ListDialogSeam::Script script;
    return script;
}
}  // namespace

void ListDialogSeam::Install(Script script) { Current() = std::move(script); }

void ListDialogSeam::ShowModal(QDialog* dialog) {
    if (dialog == nullptr) return;
    // A copy: the script may install another one for nested dialogs.
    const Script script = Current();
    if (!script) {
        dialog->exec();
        return;
    }
    QPointer<QDialog> shown = dialog;
    // Shown, so that the dialog's rules see it as a user would.
    dialog->show();
    script(dialog);
    if (shown && shown->isVisible()) shown->close();
}
