// Ormid List Studio: starts the main window.
#include <csignal>
#include <memory>

#include <QApplication>

#include "Clock.h"
#include "FrmMain.h"
#include "MemoryStatus.h"
#include "MessageBoxSeam.h"
#include "ModalShade.h"
#include "PlainMessageBox.h"
#include "ProgramFolder.h"
#include "modGlobalFunctionsStartup.h"

int main(int argc, char** argv) {
    // A write past the file-size limit (ulimit -f) would end the program in
    // the middle of a file, without a word: ignored, the write fails like a
    // full disk, the former file is put back and the cause is shown.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("OrmidYRB100"));
    QApplication::setOrganizationName(QStringLiteral("Ormid Software"));
    QApplication::setApplicationDisplayName(QStringLiteral("Ormid List Studio"));

    // The real answers: the program's message box, the system clock, the
    // platform's message box, /proc/meminfo and the program folder rule.
    MessageBoxSeam::Install(nullptr);
    Clock::Install(nullptr);
    PlainMessageBox::Install(nullptr);
    MemoryStatus::Install(nullptr);
    ProgramFolder::Reset();
    // Windows under a message box or a dialog look as unusable as they are.
    ModalShade::Install();

    // One instance per user, the font check, then the main window.
    std::unique_ptr<FrmMain> main;
    if (!modGlobalFunctions::Main([&] {
            main = std::make_unique<FrmMain>();
            main->Form_Load();
        }))
        return 0;
    return QApplication::exec();
}
