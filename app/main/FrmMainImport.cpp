// Import: a list file read by the engine into one side of the workspace,
// replacing the list held there.
#include <memory>

#include <QCheckBox>
#include <QFile>
#include <QPushButton>

#include "ErrorTrap.h"
#include "FrmMain.h"
#include "FrmStructure.h"
#include "ListDialogSeam.h"
#include "ListIcons.h"
#include "ListsCol.h"
#include "MsgBoxTypes.h"
#include "OrmidYRB100.h"
#include "ProgramFolder.h"
#include "ReportError.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "clsFile.h"
#include "clsVL2.h"
#include "modCallBack.h"
#include "modDialog.h"
#include "modGlobalFunctions.h"
#include "modGlobalFunctionsFiles.h"
#include "modRegistry.h"

namespace {
constexpr int32_t kImportProgressDelayMs = 1000;
constexpr int32_t kMaxFileName = 4096;
const QString kContext = QStringLiteral("Error Importing List");
}  // namespace

QString FrmMain::ChooseListFile() {
    QString start = modRegistry::GetSetting(QStringLiteral("WrkDir"), ProgramFolder::Path());
    // Stored with its closing "/"; the root keeps it.
    if (start.size() > 1 && start.endsWith(QLatin1Char('/'))) start.chop(1);
    QString fileName;
    QString dir;
    return modDialog::ShowDialog(modDialog::OFN_HIDEREADONLY, 1, kMaxFileName,
                                 QStringLiteral("All Mail Address List Files (*.mal, *.out)|*.mal;*.out|"
                                                "Mail Address List files (*.mal)|*.mal|"
                                                "Mail Address List files (*.out)|*.out|"
                                                "Text files (*.txt)|*.txt|"
                                                "All files (*.*)|*.*|"),
                                 start, fileName, QStringLiteral("mal"),
                                 QStringLiteral("Select a List of Mail Addresses to import"), nullptr,
                                 QStringLiteral("Open"), QStringLiteral("Cancel"), dir, this);
}

bool FrmMain::AskStructure(clsEmailList* desc) {
    // One structure dialog at a time.
    if (QWidget* loaded = modGlobalFunctions::IsFormLoaded(QStringLiteral("FrmStructure"))) loaded->close();
    auto dialog = std::make_unique<FrmStructure>(this);
    dialog->Form_Load();
    dialog->OwnerForm = this;
    dialog->Initialize(desc);
    dialog->ApplySeparators();
    ListDialogSeam::ShowModal(dialog.get());
    const bool cancel = dialog->Cancel;
    dialog->Unload();
    return !cancel;
}

void FrmMain::M_Popup1Import_Click() {
    Trap(
        [&] {
            if (!ThisList) {
                Report(QStringLiteral("List Object not Set"), QString(), QStringLiteral("M_Popup1Import_Click"));
                return;
            }
            if (!SideOf(ThisList.get())) {
                Report(QStringLiteral("The list '") + ThisList->name + QStringLiteral("' cannot hold an imported list"),
                       QString(), QStringLiteral("M_Popup1Import_Click"));
                return;
            }
            // Held while the import runs: a button may set another ThisList.
            const ListPaneRef pane = ThisList;
            ImportEmailList(pane.get());
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("M_Popup1Import_Click")); });
}

void FrmMain::ImportEmailList(ListPane* pane) {
    ClosingStep closing(this);
    Trap(
        [&] {
            const WorkspaceSide side = SideOf(pane);
            if (!side) return;
            clsEmailList& desc = *side.listDesc;

            if (side.pane->GetCnt() != 0) {
                const int answer = modGlobalFunctions::DisplayMessage(
                    {.message = QStringLiteral("The list of email addresses is not empty ! do you want to overwrite it ?"),
                     .Title = side.word + QStringLiteral(" List Content Overwrite"),
                     .IconNb = MsgBoxIcon::Warning,
                     .Focus = MsgBoxButton::No,
                     .ShowYes = true,
                     .ShowNo = true,
                     .CForm = this,
                     .OForm = side.pane->Frm});
                if (answer != MsgBoxButton::Yes) return;
            }

            const QString path = ChooseListFile();
            if (path.isEmpty()) return;
            clsFile file;
            file.MyError = ErrorObj();
            if (!file.IsPathSyntaxOk(path)) {
                modGlobalFunctions::ReportError(QStringLiteral("Invalid name syntax for File '") + path +
                                                    QStringLiteral("'\rSee Error Console for potential details"),
                                                kContext, QStringLiteral("FrmMain"), QStringLiteral("ImportEmailList"),
                                                true, false);
                return;
            }
            if (!file.IsPresent()) {
                modGlobalFunctions::ReportError(QStringLiteral("The File '") + path + QStringLiteral("' does not exist !"),
                                                kContext, QStringLiteral("FrmMain"), QStringLiteral("ImportEmailList"),
                                                true, false);
                return;
            }
            if (file.Size == 0) {
                modGlobalFunctions::DisplayMessage(
                    {.message = QStringLiteral("The file\r\n\r\n'") + file.GetFileName() +
                                QStringLiteral("'\r\n\r\nCould not be imported because it is empty !"),
                     .Title = QStringLiteral("Cannot Import File"),
                     .IconNb = MsgBoxIcon::Error,
                     .ShowOk = true,
                     .CForm = this,
                     .OForm = this});
                return;
            }

            // The result files lie beside the source, named after its first point.
            // They are set on copies: until the structure is chosen the side's
            // descriptors keep naming the list it holds, whose reports the
            // flag boxes write and remove.
            const QString base = file.GetDirectory() + file.GetNoExtension();
            clsEmailList named = desc;
            named.NameSrc = path;
            named.NameOut = base + QStringLiteral(".out");
            named.NameSta = base + QStringLiteral(".sta");
            named.NameInv = base + QStringLiteral(".inv");
            named.NameDup = base + QStringLiteral(".dup");
            modRegistry::SetSetting(QStringLiteral("WrkDir"), file.GetDirectory());
            side.pane->SetHeaderIcon(0, ListIcons::kUnsorted);
            side.pane->SetHeaderIcon(1, ListIcons::kUnsorted);

            clsEmailList described = named;
            if (!AskStructure(&described)) return;
            desc = described;
            named.CopyTo(side.resultsDesc);

            const QByteArray recordSep = desc.RecordSep().toLatin1();
            const QByteArray fieldSep = desc.FieldSep().toLatin1();
            StartProgress(kImportProgressDelayMs, QStringLiteral("Now Importing a list of File(s)"),
                          QStringLiteral("Please wait while the list of email addresses is being Imported"));
            Screen::Instance()->SetMousePointer(Screen::kHourglassPointer);
            const int32_t slot = side.slot;
            const int32_t n =
                YRB13(slot, QFile::encodeName(path).constData(), desc.ColNbr, fieldSep.constData(), recordSep.constData());
            // A failed or stopped load may have taken the old list with it:
            // the pane then shows what the slot holds, nothing when it is empty.
            // The new list starts at its first row.
            if (n >= 0)
                side.pane->ShowNewList(n);
            else
                side.pane->SetCount(YRB14(slot) == 0 ? side.pane->GetCnt(true) : 0);
            side.pane->Refresh();
            side.pane->SetAll();

            // Unticked without their click: the engine let the old list go
            // with its flags, and an untick would remove the reports the
            // descriptor now names, the new list's own from earlier runs.
            {
                const MarkClicksSuppressed suppressed(this);
                side.markDup->setChecked(false);
                side.markInv->setChecked(false);
            }
            side.view->setEnabled(desc.HasResults());
            ResizeListCaptions(slot == 1, slot == 2);
            const WorkspaceSide other = Side(slot == 1 ? 2 : 1);
            if (YRB14(other.slot) == 0) {
                YRB10(other.slot, YRB_ALL_ENTRIES, YRB_MODE_CLEAR, YRB_MASK_COMPARE, 0, 0,
                      &modCallBack::EngineCallbackTable);
                other.pane->Refresh();
                other.pane->SetAll();
            }
            SetBothListPerm();
        },
        [&](const QString& d) {
            modGlobalFunctions::ReportError(d, kContext, QStringLiteral("FrmMain"), QStringLiteral("ImportEmailList"),
                                            false, true);
        });
}
