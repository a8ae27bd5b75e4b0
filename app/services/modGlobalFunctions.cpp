#include "modGlobalFunctions.h"

#include <QApplication>

#include "FrmMsgBox.h"
#include "MessageBoxSeam.h"
#include "MessagePump.h"

namespace modGlobalFunctions {

int DisplayMessage(const MsgBoxRequest& request) {
    MsgBoxRequest r = request;
    if (!r.CForm) r.CForm = QApplication::activeWindow();
    if (MessageBoxSeam::IsScripted()) return MessageBoxSeam::Answer(r);
    // The box may get an owner, which would delete it with itself.
    QPointer<FrmMsgBox> box = new FrmMsgBox();
    box->Form_Load();
    box->Request = r;
    box->Display();
    MessagePump::DoEvents();
    if (!box) return 0;
    const int result = box->Result;
    delete box.data();
    return result;
}

}  // namespace modGlobalFunctions
