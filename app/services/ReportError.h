#pragma once

#include <QString>

class clsError;

// Where failures are reported: every service above the error store and the
// message box reports through these.
namespace modGlobalFunctions {

// Hands an error to ErrorObj: stored, appended to the log while file logging
// is on, to the console when LogToScreen, in a message box when ShowDialog.
void ReportError(const QString& Description, const QString& Context, const QString& Module, const QString& Routine,
                 bool ShowDialog, bool LogToScreen);

// The same steps on a class's own error object; nothing at all when the
// class has none.
void ReportErrorOn(clsError* MyError, const QString& Description, const QString& Context, const QString& Module,
                   const QString& Routine, bool ShowDialog, bool LogToScreen);

}  // namespace modGlobalFunctions
