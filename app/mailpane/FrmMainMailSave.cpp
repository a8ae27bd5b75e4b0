// The mail pane's saves: the sender addresses of the ticked mails as a Mail
// Address List file, and the header or body view as a Mail Text file.
#include <cstdint>


#include "ErrorTrap.h"
#include "FrmMain.h"
#include "MessagePump.h"
#include "OwnerEnabler.h"
#include "ProgramFolder.h"
#include "RichTextBox.h"
#include "ServiceObjects.h"
#include "WholeFile.h"
#include "clsFile.h"
#include "clsMail.h"
#include "clsVirtualListview.h"
#include "modDialog.h"
#include "modGlobalFunctions.h"
#include "modGlobalFunctionsRecords.h"
#include "modRegistry.h"

namespace {

constexpr int32_t kMaxFileName = 4096;
const QByteArray kCrLf = QByteArrayLiteral("\r\n");

// The folder the dialogs start in: "WrkDir" without its closing "/" (the
// root keeps it), the program folder when it is missing.
QString StartFolder() {
    QString folder = modRegistry::GetRegValue(modRegistry::HKEY_LOCAL_MACHINE, modRegistry::SettingsKey(),
                                              QStringLiteral("WrkDir"), ProgramFolder::Path());
    if (folder.size() > 1 && folder.endsWith(QLatin1Char('/'))) folder.chop(1);
    return folder;
}

// Only a pressed Yes replaces the file.
bool OverwriteConfirmed(QWidget* owner) {
    return modGlobalFunctions::DisplayMessage(
               {.message = QStringLiteral("The selected file already exists !\r\n"
                                          "Are you sure you want to overwrite it ? "),
                .Title = QStringLiteral("File Already Exists"),
                .IconNb = MsgBoxIcon::Warning,
                .Focus = MsgBoxButton::No,
                .ShowYes = true,
                .ShowNo = true,
                .CForm = owner,
                .OForm = owner}) == MsgBoxButton::Yes;
}

// The window's content disabled for the scope's life.
class WindowDisabled {
public:
    explicit WindowDisabled(QWidget* window) : m_window(window) { OwnerEnabler::SetEnabled(m_window, false); }
    ~WindowDisabled() { OwnerEnabler::SetEnabled(m_window, true); }
    WindowDisabled(const WindowDisabled&) = delete;
    WindowDisabled& operator=(const WindowDisabled&) = delete;

private:
    QWidget* m_window;
};

}  // namespace

void FrmMain::ComMailSave_Click() {
    const QString routine = QStringLiteral("ComMailSave_Click");
    MailPaneRun run(this);
    if (MailPaneRefused(run, "ComMailSave_Click")) return;
    Trap(
        [&] {
            QString fileName;
            QString dir;
            const QString path = modDialog::ShowDialog(
                modDialog::OFN_HIDEREADONLY, 1, kMaxFileName,
                QStringLiteral("All Mail Address List Files (*.mal, *.out)|*.mal;*.out|"
                               "Mail Address List files (*.mal)|*.mal|"
                               "Mail Address List files (*.out)|*.out|"
                               "Text files (*.txt)|*.txt|"
                               "All files (*.*)|*.*|"),
                StartFolder(), fileName, QStringLiteral("mal"), QStringLiteral("Save Mail Addresses As"), nullptr,
                QStringLiteral("Save"), QStringLiteral("Cancel"), dir, this);
            if (path.isEmpty()) return;
            clsFile file;
            file.MyError = ErrorObj();
            if (!file.IsPathSyntaxOk(path)) return;
            if (file.IsPresent() && !OverwriteConfirmed(this)) return;

            // The list appears under the name only when whole: a failure
            // leaves the former file as it was.
            WholeFile out(path);
            QString failure;
            if (!out.Open(&failure)) return Report(failure, QString(), routine);
            {
                // The loop pumps: nothing may change the list or its mails meanwhile.
                WindowDisabled disabled(this);
                const std::shared_ptr<clsVirtualListview> pane = VL_mail;
                const std::shared_ptr<clsPOP3Session::MailList> mails = Session1 ? Session1->Mails : nullptr;
                const int32_t count = pane->GetCnt();
                for (int32_t r = 1; r <= count; ++r) {
                    if (pane->GetCheckState(r)) {
                        const int32_t index = pane->Idx(r);
                        if (!mails || index < 1 || static_cast<size_t>(index) > mails->size()) {
                            Report(QStringLiteral("Mail %1 of row %2 is not in the mail list").arg(index).arg(r),
                                   QString(), routine);
                            return;
                        }
                        const QByteArray record = mails->at(static_cast<size_t>(index) - 1)->mFrom.toLatin1() + kCrLf;
                        if (!out.Write(record, &failure)) return Report(failure, QString(), routine);
                    }
                    MessagePump::DoEvents();
                }
            }
            if (!out.Commit(&failure)) return Report(failure, QString(), routine);
            modGlobalFunctions::DisplayMessage(
                {.message = QStringLiteral("The selected email addresses have been successfully saved to file"),
                 .Title = QStringLiteral("Addresses Saved Successfully"),
                 .IconNb = MsgBoxIcon::Logo,
                 .ShowOk = true,
                 .CForm = this,
                 .OForm = this});
        },
        [&](const QString& d) { Report(d, QString(), routine); });
}

void FrmMain::SaveMailView(RichTextBox* view, const char* routine, const QString& success) {
    MailPaneRun run(this);
    if (MailPaneRefused(run, routine)) return;
    Trap(
        [&] {
            QString fileName;
            QString dir;
            const QString path = modDialog::ShowDialog(
                modDialog::OFN_HIDEREADONLY, 1, kMaxFileName,
                QStringLiteral("Text files (*.txt)|*.txt|All files (*.*)|*.*|"), StartFolder(), fileName,
                QStringLiteral("txt"), QStringLiteral("Select a target file name"), nullptr, QStringLiteral("Save"),
                QStringLiteral("Cancel"), dir, this);
            if (path.isEmpty()) return;
            // The check's verdict is not looked at: a bad name fails the write, which says so.
            clsFile file;
            file.IsPathSyntaxOk(path);
            // Before the question: a No keeps the new start folder.
            modRegistry::SetRegValue(modRegistry::HKEY_LOCAL_MACHINE, modRegistry::SettingsKey(),
                                     QStringLiteral("WrkDir"), file.GetDirectory());
            if (file.IsPresent() && !OverwriteConfirmed(this)) return;
            if (!modGlobalFunctions::SaveTextBoxToFile(view, path)) return;
            modGlobalFunctions::DisplayMessage({.message = success,
                                                .Title = QStringLiteral("Save Successful"),
                                                .IconNb = MsgBoxIcon::Logo,
                                                .ShowOk = true,
                                                .CForm = this,
                                                .OForm = this});
        },
        [&](const QString& d) { Report(d, QString(), QLatin1String(routine)); });
}

void FrmMain::ComSaveHeader_Click() {
    SaveMailView(TxtHeader, "ComSaveHeader_Click", QStringLiteral("Mail header has been successfully saved"));
}

void FrmMain::ComSaveContent_Click() {
    SaveMailView(TxtContent, "ComSaveContent_Click", QStringLiteral("Mail content has been successfully saved"));
}
