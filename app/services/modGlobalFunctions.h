#pragma once

#include "MsgBoxTypes.h"

// Free procedures shared by the program's windows and classes.  The others
// are in modGlobalFunctionsFiles.h, modGlobalFunctionsForms.h,
// modGlobalFunctionsRecords.h, modGlobalFunctionsStartup.h and ReportError.h.
namespace modGlobalFunctions {

// Shows a FrmMsgBox and waits for it, as in
// DisplayMessage({.message = text, .Title = title, .ShowYes = true, .ShowNo = true}).
// Returns the MsgBoxButton bit of the pressed button plus 64 when the option
// box was ticked, -1 after the automatic close (a box without buttons), 0
// when the box was closed without a button.
int DisplayMessage(const MsgBoxRequest& request);

}  // namespace modGlobalFunctions
