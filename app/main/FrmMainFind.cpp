// Find In List: the program's one find window, opened on ThisList or
// re-targeted to it where it stands.
#include <QComboBox>

#include "ErrorTrap.h"
#include "FrmFind.h"
#include "FrmMain.h"
#include "ListsCol.h"
#include "modGlobalFunctionsFiles.h"
#include "modGlobalFunctionsForms.h"

void FrmMain::M_Popup1Find_Click() {
    const QString routine = QStringLiteral("M_Popup1Find_Click");
    Trap(
        [&] {
            const ListPaneRef pane = ThisList;
            if (!pane) {
                Report(QStringLiteral("List Object not Set"), QString(), routine);
                return;
            }
            auto* find = qobject_cast<FrmFind*>(modGlobalFunctions::IsFormLoaded(QStringLiteral("frmFind")));
            if (find == nullptr) {
                find = new FrmFind(pane->Frm ? pane->Frm.data() : this);
                find->Form_Load();
                modGlobalFunctions::CenterForm(find, pane->Frm);
            }
            find->setWindowTitle(QStringLiteral("Find String in "));
            find->ThisList = pane;
            find->setWindowTitle(find->windowTitle() + pane->name);
            find->Initialize();
            find->show();
            find->raise();
            find->activateWindow();
            // The window's focus is its text box, as for a form given the focus.
            find->TxtFind->setFocus();
        },
        [&](const QString& d) { Report(d, QString(), routine); });
}
