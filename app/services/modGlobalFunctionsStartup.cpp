#include "modGlobalFunctionsStartup.h"

#include <QFontDatabase>
#include <QFontInfo>

#include "ErrorTrap.h"
#include "FontFamilies.h"
#include "MsgBoxTypes.h"
#include "SingleInstance.h"
#include "modGlobalFunctions.h"

namespace modGlobalFunctions {

namespace {
const QString kModule = QStringLiteral("modGlobalFunctions");

std::function<QStringList()>& FontSource() {
    static std::function<QStringList()> source;
    return source;
}

QString& Title() {
    static QString title = QStringLiteral("OrmidYRB100");
    return title;
}
}  // namespace

QString AppTitle() { return Title(); }

void InstallFontList(std::function<QStringList()> source) { FontSource() = std::move(source); }

QStringList RequiredFonts() {
    QString sans = QFontInfo(FontFamilies::SansSerif(8.25)).family();
    if (sans.isEmpty()) sans = FontFamilies::SansSerif(8.25).family();
    return {FontFamilies::Arial(8.25).family(), FontFamilies::CourierNew(8.25).family(), sans};
}

bool IsFontPresent(const QString& FontName) {
    bool present = false;
    Trap(
        [&] {
            const QStringList fonts = FontSource() ? FontSource()() : QFontDatabase::families();
            for (const QString& f : fonts) {
                if (f == FontName) {
                    present = true;
                    return;
                }
            }
        },
        [&](const QString& d) {
            present = false;
            ReportError(d, QStringLiteral("Error Identifying Fonts"), kModule, QStringLiteral("IsFontPresent"), false,
                        true);
        });
    return present;
}

bool ActivatePrevInstance() {
    bool found = false;
    Trap(
        [&] {
            const QString saved = Title();
            // This instance is not the one to be found from now on.
            Title() = QStringLiteral("unwanted instance");
            found = SingleInstance::AskToRaise();
            if (found) Title() = saved;
        },
        [&](const QString& d) {
            found = false;
            ReportError(d, QString(), kModule, QStringLiteral("ActivatePrevInstance"), false, true);
        });
    return found;
}

bool Main(const std::function<void()>& LoadMain) {
    if (SingleInstance::IsOtherRunning() && ActivatePrevInstance()) return false;
    bool proceed = true;
    Trap(
        [&] {
            // An unwanted instance leaves the socket to the instance that has it.
            if (AppTitle() != QLatin1String("unwanted instance")) SingleInstance::Listen();
            for (const QString& font : RequiredFonts()) {
                if (IsFontPresent(font)) continue;
                DisplayMessage(QStringLiteral("The '") + font +
                                   QStringLiteral("' Font could not be found on your system !\r\n\r\n"
                                                  "Ormid List Studio might not display Text and Labels correctly\r\n"
                                                  "if this font is not installed"),
                               QStringLiteral("'") + font + QStringLiteral("' Font not available"), MsgBoxIcon::Error, 0,
                               false, false, false, false, true, false, QString(), nullptr, nullptr, false, false,
                               false, false);
            }
            if (LoadMain) LoadMain();
        },
        [&](const QString& d) {
            proceed = false;
            ReportError(d, QString(), kModule, QString(), false, true);
        });
    return proceed;
}

}  // namespace modGlobalFunctions
