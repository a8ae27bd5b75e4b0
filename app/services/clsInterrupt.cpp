#include "clsInterrupt.h"

#include "ErrorTrap.h"
#include "clsError.h"
#include "modGlobalFunctions.h"

void clsInterrupt::ISet(const QString& origin) {
    Trap(
        [&] {
            Active = true;
            Origin = origin;
        },
        [&](const QString& d) {
            modGlobalFunctions::ReportErrorOn(MyError.get(), d, QStringLiteral("Error Setting Interrupt"),
                                              QStringLiteral("clsInterrupt"), QStringLiteral("ISet"), false, true);
        });
}

void clsInterrupt::IReset() {
    Trap(
        [&] {
            Active = false;
            Origin.clear();
        },
        [&](const QString& d) {
            modGlobalFunctions::ReportErrorOn(MyError.get(), d, QStringLiteral("Error Resetting Interrupt"),
                                              QStringLiteral("clsInterrupt"), QStringLiteral("IReset"), false, true);
        });
}
