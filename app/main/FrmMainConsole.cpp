// The error console of the main window: its change, "Clear" and "Save to
// File".
#include <QPushButton>

#include "ErrorTrap.h"
#include "FrmMain.h"
#include "IntervalTimer.h"
#include "PanelStatusBar.h"
#include "ProgramFolder.h"
#include "ReportError.h"
#include "RichTextBox.h"
#include "ServiceObjects.h"
#include "StatusPanel.h"
#include "clsFile.h"
#include "modDialog.h"
#include "modGlobalFunctions.h"
#include "modGlobalFunctionsRecords.h"
#include "modRegistry.h"

namespace {

const QString kSaveContext = QStringLiteral("Error Saving Error Log to File");
const QString kSaveRoutine = QStringLiteral("ComSaveErrConsole_Click");

// Characters of the file dialog's name buffer.
constexpr int32_t kNameBuffer = 4096;

// Shown in a message box titled with the context, and kept in the console.
void SaveFailed(const QString& message) {
    modGlobalFunctions::ReportError(message, kSaveContext, QStringLiteral("FrmMain"), kSaveRoutine, true, true);
}

}  // namespace

void FrmMain::TxtErrors_Change() {
    Trap(
        [&] {
            const bool hasText = !TxtErrors->Text().isEmpty();
            ErrorLogUnsaved = hasText;
            if (ComSaveErrConsole) ComSaveErrConsole->setEnabled(hasText);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("TxtErrors_Change")); });
}

void FrmMain::ComClearErrConsole_Click() {
    Trap(
        [&] {
            TxtErrors->SetText(QString());
            TmrError->SetEnabled(false);
            StatusBar->Panel(4)->SetText(QString());
            StatusBar->Panel(4)->SetBevel(1);
            ErrorLogUnsaved = false;
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("ComClearErrConsole_Click")); });
}

void FrmMain::ComSaveErrConsole_Click() {
    PointerGuard pointer;
    Trap(
        [&] {
            if (TxtErrors->Text().isEmpty()) {
                modGlobalFunctions::DisplayMessage({
                    .message = QStringLiteral("The Error Log window must not be empty !"),
                    .Title = QStringLiteral("Error Saving Error Log Content"),
                    .IconNb = MsgBoxIcon::Error,
                    .Focus = MsgBoxButton::Ok,
                    .ShowOk = true,
                    .CForm = this,
                });
                return;
            }
            QString folder = modRegistry::GetSetting(QStringLiteral("WrkDir"), ProgramFolder::Path());
            if (folder.size() > 1 && folder.endsWith(QLatin1Char('/'))) folder.chop(1);
            QString path;
            QString dir;
            modDialog::ShowDialog(modDialog::OFN_HIDEREADONLY, 1, kNameBuffer,
                                  QStringLiteral("Text files (*.txt)|*.txt|Error/Trace Log (*.log)|*.log|"), folder,
                                  path, QStringLiteral("log"), QStringLiteral("Save Error Log content as"), nullptr,
                                  QStringLiteral("Save"), QStringLiteral("Cancel"), dir, this);
            if (path.isEmpty()) return;

            pointer.Hourglass();
            clsFile file;
            file.MyError = ErrorObj();
            if (!file.IsPathSyntaxOk(path)) {
                SaveFailed(QStringLiteral("Invalid name syntax for File '") + path +
                           QStringLiteral("'\rSee Error Console for potential details"));
                return;
            }
            if (file.IsPresent()) {
                if (!file.IsFile()) {
                    SaveFailed(QStringLiteral("The path '") + path + QStringLiteral("' must not be a directory"));
                    return;
                }
                // No button takes the focus: Enter must not overwrite a file.
                const int answer = modGlobalFunctions::DisplayMessage(
                    {.message = QStringLiteral("The File '") + path +
                                QStringLiteral("' already exists, do you want to overwrite it ?"),
                     .Title = QStringLiteral("File already exists"),
                     .IconNb = MsgBoxIcon::Warning,
                     .Focus = MsgBoxButton::Ok,
                     .ShowYes = true,
                     .ShowNo = true,
                     .CForm = this});
                if (answer != MsgBoxButton::Yes) return;
            }
            if (modGlobalFunctions::SaveTextBoxToFile(TxtErrors, path)) {
                ErrorLogUnsaved = false;
                return;
            }
            SaveFailed(QStringLiteral("The Error Log File '") + path + QStringLiteral("' could not be saved !"));
        },
        [&](const QString& d) {
            modGlobalFunctions::ReportError(d, kSaveContext, QStringLiteral("FrmMain"), kSaveRoutine, false, true);
        });
}
