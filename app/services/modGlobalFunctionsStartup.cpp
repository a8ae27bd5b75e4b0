#include "modGlobalFunctionsStartup.h"

#include <cstdio>

#include <QFontDatabase>
#include <QFontInfo>

#include "ErrorTrap.h"
#include "FontFamilies.h"
#include "ReportError.h"
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
    const QStringList fonts = FontSource() ? FontSource()() : QFontDatabase::families();
    return fonts.contains(FontName);
}

bool ActivatePrevInstance() {
    const QString saved = Title();
    // This instance is not the one to be found from now on.
    Title() = QStringLiteral("unwanted instance");
    const bool found = SingleInstance::AskToRaise();
    if (found) Title() = saved;
    return found;
}

// The program's entry: what loading the main window throws ends start-up
// here, reported, instead of leaving main().
bool Main(const std::function<void()>& LoadMain) {
    if (SingleInstance::IsOtherRunning() && ActivatePrevInstance()) {
        // Said on the terminal: without it a second start looks like one that failed.
        std::fputs("OrmidYRB100 is already running for this user: its window was brought to the front\n", stderr);
        return false;
    }
    bool proceed = true;
    Trap(
        [&] {
            // An unwanted instance leaves the socket to the instance that has it.
            if (AppTitle() != QLatin1String("unwanted instance")) SingleInstance::Listen();
            for (const QString& font : RequiredFonts()) {
                if (IsFontPresent(font)) continue;
                DisplayMessage({.message = QStringLiteral("The '") + font +
                                           QStringLiteral("' Font could not be found on your system !\r\n\r\n"
                                                          "Ormid List Studio might not display Text and Labels "
                                                          "correctly\r\nif this font is not installed"),
                                .Title = QStringLiteral("'") + font + QStringLiteral("' Font not available"),
                                .IconNb = MsgBoxIcon::Error,
                                .Focus = 0,
                                .ShowOk = true});
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
