#pragma once

#include <QString>

#include "MsgBoxTypes.h"
#include "modGlobalFunctionsFiles.h"  // file, text and form helpers
#include "modGlobalFunctionsStartup.h"  // start-up

class QWidget;
class clsError;

// Free procedures shared by the program's windows and classes.
namespace modGlobalFunctions {

// Hands an error to ErrorObj: stored, appended to the log while file logging
// is on, to the console when LogToScreen, in a message box when ShowDialog.
void ReportError(const QString& Description, const QString& Context, const QString& Module, const QString& Routine,
                 bool ShowDialog, bool LogToScreen);

// The same steps on a class's own error object; nothing at all when the
// class has none.
void ReportErrorOn(clsError* MyError, const QString& Description, const QString& Context, const QString& Module,
                   const QString& Routine, bool ShowDialog, bool LogToScreen);

// Shows a FrmMsgBox and waits for it.  Returns the MsgBoxButton bit of the
// pressed button plus 64 when the option box was ticked, -1 after the
// automatic close or a failure, 0 when the box was closed without a button.
int DisplayMessage(const QString& message, const QString& Title, int IconNb, int Focus, bool ShowYes, bool ShowNo,
                   bool ShowYesAll, bool ShowNoAll, bool ShowOk, bool ShowCancel, const QString& Choice,
                   QWidget* CForm, QWidget* OForm, bool DoTop, bool DoBottom, bool DoLeft, bool DoRight);

// Places a form centred on its owner (or the screen) or against one of its
// edges, in twips.
void CenterForm(QWidget* Frm, QWidget* OFrm, bool DoTop, bool DoLeft, bool DoBottom, bool DoRight, bool OutTop,
                bool OutLeft, bool OutBottom, bool OutRight);

// A left-button press (button 1) drags the window as its caption bar would.
void MouseMoveForm(QWidget* Frm, int button);

}  // namespace modGlobalFunctions

#include "modGlobalFunctionsRecords.h"
