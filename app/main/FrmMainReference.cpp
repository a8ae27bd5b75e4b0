// The "Address Validation" tab: the four reference lists the user edits,
// the three files the engine reads derived from them, and the block list.
#include <limits>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>

#include "ErrorTrap.h"
#include "FileChangeWatcher.h"
#include "FrmMain.h"
#include "ListsCol.h"
#include "MessagePump.h"
#include "OrmidYRB100.h"
#include "OwnerEnabler.h"
#include "ProgramFolder.h"
#include "ReportError.h"
#include "ReportListView.h"
#include "ServiceObjects.h"
#include "WholeFile.h"
#include "clsFile.h"
#include "clsList.h"
#include "modCallBack.h"
#include "modDialog.h"
#include "modGlobalFunctions.h"
#include "modGlobalFunctionsFiles.h"
#include "modGlobalFunctionsListView.h"
#include "modGlobalFunctionsRecords.h"
#include "modProcess.h"
#include "modRegistry.h"

namespace {
const QString kModule = QStringLiteral("FrmMain");
// Bytes the engine reads a reference file by.
constexpr uint32_t kReadChunk = 100000;
// The header image of a column the view is not sorted by: the flat bar.
constexpr int kFlatBarImage = 1;

QString InProgramFolder(const char* name) { return ProgramFolder::Path() + QLatin1Char('/') + QLatin1String(name); }

void ReportTo(const QString& description, const QString& context, const char* routine, bool showDialog = false) {
    modGlobalFunctions::ReportError(description, context, kModule, QString::fromLatin1(routine), showDialog, true);
}

// A refusal the user must acknowledge: error icon, "Ok" only.
void ErrorBox(const QString& message, const QString& title, QWidget* form) {
    modGlobalFunctions::DisplayMessage({.message = message,
                                        .Title = title,
                                        .IconNb = MsgBoxIcon::Error,
                                        .Focus = MsgBoxButton::Ok,
                                        .ShowOk = true,
                                        .CForm = form,
                                        .OForm = form});
}

// A derived file as a whole: written beside the old one and renamed over
// it, so a failure leaves the old file intact.  False, with the reason in
// *error, when it could not be written.
bool WriteWhole(const QString& path, const QString& text, QString* error) {
    WholeFile file(path);
    return file.Open(error) && file.Write(text.toLatin1(), error) && file.Commit(error);
}
}  // namespace

// One reference list the user edits: its file, view and engine list.
struct FrmMain::ReferenceEdit {
    const char* routine;
    const char* file;
    ListKind pane;
    ReferenceLoader loader;
    clsEmailList FrmMain::*desc;

    static const ReferenceEdit kCountry;
    static const ReferenceEdit kGeneric;
    static const ReferenceEdit kUser;
    static const ReferenceEdit kKeyword;
    static const ReferenceEdit* const kAll[4];
};

const FrmMain::ReferenceEdit FrmMain::ReferenceEdit::kCountry = {"ComEditCountry_Click", "DN_Country.cfg",
                                                                 DomainsCountry, &YRB06, &FrmMain::ValidExtDesc};
const FrmMain::ReferenceEdit FrmMain::ReferenceEdit::kGeneric = {"ComEditGeneric_Click", "DN_Generic.cfg",
                                                                 GenericDomains, &YRB06, &FrmMain::ValidExtDesc};
const FrmMain::ReferenceEdit FrmMain::ReferenceEdit::kUser = {"ComEditUser_Click", "DN_User.cfg",
                                                              ExtensionsToReject, &YRB04, &FrmMain::ExcludeExtDesc};
const FrmMain::ReferenceEdit FrmMain::ReferenceEdit::kKeyword = {
    "ComEditKeyword_Click", "DN_Keyword.cfg", KeywordsToReject, &YRB05, &FrmMain::RejectKeywordDesc};
const FrmMain::ReferenceEdit* const FrmMain::ReferenceEdit::kAll[4] = {&kCountry, &kGeneric, &kUser, &kKeyword};

void FrmMain::LoadReferenceList(ReferenceLoader loader, const clsEmailList& desc) {
    // The engine's result is not looked at: a failure has reached the
    // console through the error callback, and the list stays as it was.
    loader(QFile::encodeName(desc.NameSrc).constData(), desc.ColNbr, desc.FieldSep().toLatin1().constData(),
           desc.RecordSep().toLatin1().constData());
}

void FrmMain::ConnectReferenceCommands() {
    connect(ComEditCountry, &QPushButton::clicked, this, &FrmMain::ComEditCountry_Click);
    connect(ComEditGeneric, &QPushButton::clicked, this, &FrmMain::ComEditGeneric_Click);
    connect(ComEditUser, &QPushButton::clicked, this, &FrmMain::ComEditUser_Click);
    connect(ComEditKeyword, &QPushButton::clicked, this, &FrmMain::ComEditKeyword_Click);
    connect(ComBlkFileFind, &QPushButton::clicked, this, &FrmMain::ComBlkFileFind_Click);
    connect(ComBlkFileStruct, &QPushButton::clicked, this, &FrmMain::ComBlkFileStruct_Click);
    connect(ComBlkFileEdit, &QPushButton::clicked, this, &FrmMain::ComBlkFileEdit_Click);
    connect(TxtBlkFile, &QLineEdit::textChanged, this, &FrmMain::TxtBlkFile_Change);
}

void FrmMain::GetFirstCol(QString& Collected, const QString& File, bool SkipFirst, const QString& Separator) {
    const QString fieldSep = Separator.isEmpty() ? QStringLiteral("\t") : Separator;
    QFile file(File);
    if (!file.open(QIODevice::ReadOnly)) {
        ReportTo(file.errorString(), QString(), "GetFirstCol");
        return;
    }
    const qint64 length = file.size();
    file.close();
    if (length == 0) {
        ReportTo(QStringLiteral("'") + File + QStringLiteral("' is an empty File !"), QString(), "GetFirstCol");
        return;
    }
    const QString notLoaded = QStringLiteral("Could not load file '") + File + QStringLiteral("' in memory");
    if (length > std::numeric_limits<int32_t>::max() - 1) {
        ReportTo(notLoaded, QString(), "GetFirstCol");
        return;
    }
    QByteArray buffer(static_cast<qsizetype>(length) + 1, '\0');
    const int32_t got =
        YRB28(QFile::encodeName(File).constData(), kReadChunk, buffer.data(), static_cast<uint32_t>(length));
    if (got != length) {
        ReportTo(notLoaded, QString(), "GetFirstCol");
        return;
    }
    const QString text = QString::fromLatin1(buffer.constData(), static_cast<qsizetype>(length));

    int64_t start = 1;
    QString record;
    if (SkipFirst) modGlobalFunctions::GetNextLine(text, record, start);
    while (modGlobalFunctions::GetNextLine(text, record, start)) {
        QString field;
        int64_t fieldStart = 1;
        // An empty record gives no field; a record beginning with the
        // separator gives an empty one.
        if (modGlobalFunctions::GetNextRecord(record, field, fieldSep, fieldStart)) {
            if (Collected.isEmpty())
                Collected = field;
            else
                Collected += QStringLiteral("\r\n") + field;
        }
        // A big file keeps the window responsive.
        MessagePump::DoEvents();
    }
}

void FrmMain::PrepareFiles() {
    // The rebuild lets messages in: a change seen meanwhile waits for its
    // end, else this rebuild would write over it from what it read before.
    const QScopedValueRollback<bool> rebuilding(m_referenceReloading, true);
    struct Derived {
        const char* target;
        const char* sources[2];  // the second may be absent
    };
    const Derived derived[] = {{"DN_All.cfg", {"DN_Country.cfg", "DN_Generic.cfg"}},
                               {"DN_Exclude.cfg", {"DN_User.cfg"}},
                               {"DN_Reject.cfg", {"DN_Keyword.cfg"}}};
    for (const Derived& d : derived) {
        QString collected;
        for (const char* source : d.sources)
            if (source) GetFirstCol(collected, InProgramFolder(source), true, QStringLiteral("|"));
        QString error;
        if (!WriteWhole(InProgramFolder(d.target), collected, &error)) {
            // The files not yet written keep what they held.
            ReportTo(error, QStringLiteral("Error Merging Domain Extensions"), "PrepareFiles");
            return;
        }
    }
}

void FrmMain::ReloadReference(const ReferenceEdit& edit) {
    LoadReferenceList(edit.loader, this->*edit.desc);
    auto* pane = dynamic_cast<clsList*>(ListsCol[edit.pane].get());
    modGlobalFunctions::LoadListView(pane, InProgramFolder(edit.file), false, false, QStringLiteral("|"));
    if (ReportListView* view = pane ? pane->List() : nullptr)
        for (int col = 0; col < view->ColumnCount(); ++col) view->SetColumnIcon(col, kFlatBarImage);
}

void FrmMain::EditReference(const ReferenceEdit& edit) {
    // A save seen during the Edit is taken after it, not inside its rebuild.
    const QScopedValueRollback<bool> editing(m_referenceReloading, true);
    Trap(
        [&] {
            const QString path = InProgramFolder(edit.file);
            // A start failure has reached the console; the lists are rebuilt
            // anyway, from whatever the file holds now.
            QString failure;
            modProcess::ExecCmd(EditorPath, path, &failure);
            // What is read now is taken: the watch tells only later saves
            // (an editor that returns at once saves after this).
            if (m_referenceWatcher) m_referenceWatcher->Take(QString::fromLatin1(edit.file));
            PrepareFiles();
            ReloadReference(edit);
            repaint();
            // Else the user sees no editor and no reason but the console's.
            if (!failure.isEmpty()) ErrorBox(failure, QStringLiteral("Cannot Run Editor"), this);
        },
        [&](const QString& d) { ReportTo(d, QString(), edit.routine); });
}

void FrmMain::ComEditCountry_Click() { EditReference(ReferenceEdit::kCountry); }

void FrmMain::ComEditGeneric_Click() { EditReference(ReferenceEdit::kGeneric); }

void FrmMain::ComEditUser_Click() { EditReference(ReferenceEdit::kUser); }

void FrmMain::ComEditKeyword_Click() { EditReference(ReferenceEdit::kKeyword); }

void FrmMain::WatchReferenceLists() {
    QStringList names;
    for (const ReferenceEdit* edit : ReferenceEdit::kAll) names.append(QString::fromLatin1(edit->file));
    m_referenceWatcher = new FileChangeWatcher(ProgramFolder::Path(), names, this);
    m_referenceWatcher->SetBusyTest([this] { return CommandRunning(); });
    connect(m_referenceWatcher, &FileChangeWatcher::Changed, this, &FrmMain::ReferenceListsChanged);
}

bool FrmMain::CommandRunning() const {
    if (m_referenceReloading || m_mailPaneBusy || m_cntRecBusy || m_cntInvDupBusy) return true;
    for (const auto& side : m_flagBoxBusy)
        for (bool busy : side)
            if (busy) return true;
    return !OwnerEnabler::IsEnabled(this) || QApplication::activeModalWidget() != nullptr ||
           modCallBack::InCallback();
}

void FrmMain::ReferenceListsChanged(const QStringList& names) {
    if (m_unloaded) return;
    const QScopedValueRollback<bool> reloading(m_referenceReloading, true);
    Trap(
        [&] {
            PrepareFiles();
            // The rebuild lets messages in: the window may have gone meanwhile.
            if (m_unloaded) return;
            for (const ReferenceEdit* edit : ReferenceEdit::kAll)
                if (names.contains(QString::fromLatin1(edit->file))) ReloadReference(*edit);
            repaint();
        },
        [&](const QString& d) { ReportTo(d, QString(), "ReferenceListsChanged"); });
}

void FrmMain::TxtBlkFile_Change() {
    Trap(
        [&] {
            const bool named = !TxtBlkFile->text().isEmpty();
            ComBlkFileEdit->setEnabled(named);
            ComBlkFileStruct->setEnabled(named);
        },
        [&](const QString& d) { ReportTo(d, QString(), "TxtBlkFile_Change"); });
}

void FrmMain::ComBlkFileFind_Click() {
    Trap(
        [&] {
            const QString fileName = ChooseListFile();
            if (fileName.isEmpty()) return;
            clsFile file;
            file.MyError = ErrorObj();
            if (!file.IsPathSyntaxOk(fileName)) return;
            modRegistry::SetSetting(QStringLiteral("WrkDir"), file.GetDirectory());
            // "BlkLst" is stored with the layout once the file has loaded,
            // so the settings never pair one file with another's layout.
            TxtBlkFile->setText(fileName);
            ComBlkFileStruct_Click();
        },
        [&](const QString& d) { ReportTo(d, QString(), "ComBlkFileFind_Click"); });
}

void FrmMain::ComBlkFileStruct_Click() {
    Trap(
        [&] {
            const QString path = TxtBlkFile->text();
            clsFile file;
            file.MyError = ErrorObj();
            if (!file.IsPathSyntaxOk(path)) {
                ReportTo(QStringLiteral("Invalid name syntax for File '") + path + QStringLiteral("'"), QString(),
                         "ComBlkFileStruct_Click", true);
                return;
            }
            if (!file.IsPresent()) {
                ReportTo(QStringLiteral("The File '") + path + QStringLiteral("' does not exist !"), QString(),
                         "ComBlkFileStruct_Click", true);
                return;
            }
            if (file.Size == 0) {
                ErrorBox(QStringLiteral("The file\r\n\r\n'") + file.GetFileName() +
                             QStringLiteral("'\r\n\r\n is empty !"),
                         QStringLiteral("Cannot Select File Structure"), this);
                return;
            }
            // The dialog works on a copy: the window's descriptor and the
            // settings describe the list the engine holds until a new one
            // has loaded.
            clsEmailList chosen = BlockListDesc;
            chosen.NameSrc = path;
            if (!AskStructure(&chosen) || chosen.NameSrc.isEmpty()) return;
            // A failure has reached the console through the error callback.
            if (YRB08(QFile::encodeName(chosen.NameSrc).constData(), chosen.ColNbr,
                      chosen.FieldSep().toLatin1().constData(), chosen.RecordSep().toLatin1().constData()) < 0)
                return;
            BlockListDesc = chosen;
            modRegistry::SetSetting(QStringLiteral("BlkLst"), chosen.NameSrc);
            modRegistry::SetSetting(QStringLiteral("BlkFld"), chosen.FieldSep());
            modRegistry::SetSetting(QStringLiteral("BlkRec"), chosen.RecordSep());
            modRegistry::SetSetting(QStringLiteral("BlkCol"), QString::number(chosen.ColNbr));
        },
        [&](const QString& d) { ReportTo(d, QString(), "ComBlkFileStruct_Click"); });
}

void FrmMain::ComBlkFileEdit_Click() {
    Trap(
        [&] {
            if (TxtBlkFile->text().isEmpty()) {
                ErrorBox(QStringLiteral("A filename must be provided"), QStringLiteral("No Filename"), this);
                return;
            }
            // The editor runs beside the program; a start failure is reported.
            // The engine takes the edits at the next "S".
            modProcess::StartCmd(EditorPath, TxtBlkFile->text());
        },
        [&](const QString& d) { ReportTo(d, QString(), "ComBlkFileEdit_Click"); });
}
