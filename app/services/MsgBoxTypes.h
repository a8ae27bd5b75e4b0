#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

// Button bits, used for the initial focus and for the answer.
namespace MsgBoxButton {
enum : int { Yes = 1, No = 2, YesToAll = 4, NoToAll = 8, Ok = 16, Cancel = 32, Option = 64 };
}

// Icon numbers; any other value shows no icon.
namespace MsgBoxIcon {
enum : int { Info = 1, Warning = 2, Error = 4, Question = 8, Logo = 16 };
}

// The arguments of one message, as DisplayMessage receives them.
struct MsgBoxRequest {
    QString message;
    QString Title;
    int IconNb = 0;
    int Focus = -1;
    bool ShowYes = false;
    bool ShowNo = false;
    bool ShowYesAll = false;
    bool ShowNoAll = false;
    bool ShowOk = false;
    bool ShowCancel = false;
    QString Choice;
    QPointer<QWidget> CForm;
    QPointer<QWidget> OForm;
    bool DoTop = false;
    bool DoBottom = false;
    bool DoLeft = false;
    bool DoRight = false;
};
