#include "ReportError.h"

#include "ServiceObjects.h"
#include "clsError.h"

namespace modGlobalFunctions {

void ReportErrorOn(clsError* MyError, const QString& Description, const QString& Context, const QString& Module,
                   const QString& Routine, bool ShowDialog, bool LogToScreen) {
    if (MyError == nullptr) return;
    MyError->Clear();
    MyError->Trigger(Description, Context, Module, Routine);
    MyError->LogToFile();
    if (LogToScreen) MyError->LogToScreen();
    if (ShowDialog) MyError->Display();
}

void ReportError(const QString& Description, const QString& Context, const QString& Module, const QString& Routine,
                 bool ShowDialog, bool LogToScreen) {
    ReportErrorOn(ErrorObj().get(), Description, Context, Module, Routine, ShowDialog, LogToScreen);
}

}  // namespace modGlobalFunctions
