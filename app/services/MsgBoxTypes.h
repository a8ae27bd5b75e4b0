#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "modGlobalFunctionsForms.h"

// Button bits, used for the initial focus and for the answer.
namespace MsgBoxButton {
enum : int { Yes = 1, No = 2, YesToAll = 4, NoToAll = 8, Ok = 16, Cancel = 32, Option = 64 };
}

// Icon numbers; any other value shows no icon.
namespace MsgBoxIcon {
enum : int { Info = 1, Warning = 2, Error = 4, Question = 8, Logo = 16 };
}

// One message: what DisplayMessage shows and what FrmMsgBox lays out.  The
// fields are in the order designated initialisers name them; each has a
// default, so a request names only what differs.
struct MsgBoxRequest {
    QString message{};  // lines separated by CR LF
    QString Title{};
    int IconNb = 0;   // a MsgBoxIcon; 0: no icon
    int Focus = -1;   // the MsgBoxButton focused first; -1: none
    bool ShowYes = false;
    bool ShowNo = false;
    bool ShowYesAll = false;
    bool ShowNoAll = false;
    bool ShowOk = false;
    bool ShowCancel = false;
    QString Choice{};           // the option box's caption; "": no option box
    QPointer<QWidget> CForm{};  // the box is placed on it; none: the active window
    QPointer<QWidget> OForm{};  // the box's owner, if any
    FormPlacement Placement{};
};
