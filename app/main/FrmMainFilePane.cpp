// The file pane ("Merge Multiple Lists"): files added through the file
// dialog, one record structure for all of them, the record and the
// invalid/duplicate counts per file and their totals in the status bar.
#include <QCheckBox>
#include <QFile>
#include <QPushButton>

#include "ErrorTrap.h"
#include "FrmMain.h"
#include "ListIcons.h"
#include "MessagePump.h"
#include "MsgBoxTypes.h"
#include "OrmidYRB100.h"
#include "PanelStatusBar.h"
#include "PictureBox.h"
#include "ProgramFolder.h"
#include "ReportError.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "StatusPanel.h"
#include "clsFile.h"
#include "clsMergeFile.h"
#include "clsVirtualListview.h"
#include "modCallBack.h"
#include "modDialog.h"
#include "modGlobalFunctions.h"
#include "modGlobalFunctionsFiles.h"
#include "modRegistry.h"

namespace {

constexpr int32_t kCountProgressDelayMs = 500;
constexpr int32_t kScratchSlot = 3;
// The scratch list is thrown away after each file: any bit serves as mark.
constexpr int32_t kCountMark = YRB_FLAG_SELECTED;
constexpr int32_t kNoFilter = 0;
constexpr int64_t kBytesPerKB = 1024;

const QString kAddFilter = QStringLiteral(
    "All Mail Address Files (*.mal, *.out, *.txt)|*.mal;*.out;*.txt|"
    "Mail Address List files (*.mal)|*.mal|"
    "Mail Address List files (*.out)|*.out|"
    "Text files (*.txt)|*.txt|"
    "All files (*.*)|*.*|");

// What the counts depend on.
struct Structure {
    int32_t column;
    QString fieldSep;
    QString recordSep;
    bool operator==(const Structure&) const = default;
};
Structure StructureOf(const clsEmailList& desc) { return {desc.ColNbr, desc.FieldSep(), desc.RecordSep()}; }

// A pass lets pending messages run once more before its closing step.
struct YieldOnExit {
    YieldOnExit() = default;
    YieldOnExit(const YieldOnExit&) = delete;
    YieldOnExit& operator=(const YieldOnExit&) = delete;
    ~YieldOnExit() { MessagePump::DoEvents(); }
};

// The scratch list never outlives the pass, however it ends.
struct ScratchFreed {
    ScratchFreed() = default;
    ScratchFreed(const ScratchFreed&) = delete;
    ScratchFreed& operator=(const ScratchFreed&) = delete;
    ~ScratchFreed() { YRB20(kScratchSlot); }
};

QByteArray FullPath(const clsMergeFile& file) { return QFile::encodeName(file.Path + file.name); }

bool Present(const clsMergeFile& file) {
    return modGlobalFunctions::IsFilePresent(FilePattern(file.Path + file.name));
}

// One counter box: its setting and its pass.
struct CounterBox {
    QCheckBox* box;
    bool* busy;
    const char* setting;
    void (FrmMain::*pass)(bool, int32_t);
    const char* routine;
};

void CounterClick(FrmMain& form, const CounterBox& c) {
    // The pass lets messages run: a second click waits for none.
    if (*c.busy) return;
    *c.busy = true;
    Trap(
        [&] {
            const bool on = c.box->isChecked();
            modRegistry::SetSetting(QLatin1String(c.setting), on ? QStringLiteral("1") : QStringLiteral("0"));
            (form.*c.pass)(on, 1);
            form.SetTotals(form.ChkCntRec->isChecked(), form.ChkCntInvDup->isChecked());
        },
        [&](const QString& d) {
            modGlobalFunctions::ReportError(d, QString(), QStringLiteral("FrmMain"), QLatin1String(c.routine), false,
                                            true);
        });
    *c.busy = false;
}

}  // namespace

void FrmMain::ConnectFilePane() {
    const std::pair<QPushButton*, void (FrmMain::*)()> buttons[] = {
        {ComAddFiles, &FrmMain::ComAddFiles_Click}, {ComSelectStructure, &FrmMain::ComSelectStructure_Click},
        {ComSelAll, &FrmMain::ComSelAll_Click},     {ComDesAll, &FrmMain::ComDesAll_Click},
        {ComInvSel, &FrmMain::ComInvSel_Click},     {ComRemSel, &FrmMain::ComRemSel_Click},
        {ComBigMerge, &FrmMain::ComBigMerge_Click}};
    for (const auto& [button, handler] : buttons) connect(button, &QPushButton::clicked, this, handler);
    // A value set from code runs the Click as a user's click does.
    connect(ChkCntRec, &QCheckBox::toggled, this, [this](bool) { ChkCntRec_Click(); });
    connect(ChkCntInvDup, &QCheckBox::toggled, this, [this](bool) { ChkCntInvDup_Click(); });

    clsVirtualListview* pane = VL_file.get();
    if (pane == nullptr) return;
    // Direct: cells, comparisons and tips answer through their reference arguments.
    connect(pane, &clsVirtualListview::ItemTextCallback, this, &FrmMain::VL_file_ItemTextCallback,
            Qt::DirectConnection);
    connect(pane, &clsVirtualListview::ItemImageCallback, this, &FrmMain::VL_file_ItemImageCallback,
            Qt::DirectConnection);
    connect(pane, &clsVirtualListview::evCompare, this, &FrmMain::VL_file_evCompare, Qt::DirectConnection);
    connect(pane, &clsVirtualListview::ToolTip, this, &FrmMain::VL_file_ToolTip, Qt::DirectConnection);
    connect(pane, &clsVirtualListview::ColumnClick, this, &FrmMain::VL_file_ColumnClick, Qt::DirectConnection);
    connect(pane, &clsVirtualListview::MouseDown, this, &FrmMain::VL_file_MouseDown, Qt::DirectConnection);
    connect(pane, &clsVirtualListview::KeyDown, this, &FrmMain::VL_file_KeyDown, Qt::DirectConnection);
}

void FrmMain::ComAddFiles_Click() {
    const QString routine = QStringLiteral("ComAddFiles_Click");
    PointerGuard pointer;
    Trap(
        [&] {
            const auto pane = VL_file;
            if (!pane) return;
            QString start = modRegistry::GetSetting(QStringLiteral("WrkDir"), ProgramFolder::Path());
            // Stored with its closing "/"; the root keeps it.
            if (start.size() > 1 && start.endsWith(QLatin1Char('/'))) start.chop(1);
            QString fileName;
            QString dir;
            QStringList paths;
            modDialog::ShowDialog(modDialog::OFN_ALLOWMULTISELECT | modDialog::OFN_HIDEREADONLY, 1, 0, kAddFilter,
                                  start, fileName, QStringLiteral("mal"),
                                  QStringLiteral("Select Mail Address List File(s)"), &paths, QStringLiteral("Add"),
                                  QStringLiteral("Cancel"), dir, this);
            if (paths.isEmpty()) return;

            auto& files = MergeFiles();
            const auto before = static_cast<int32_t>(files.size());
            for (const QString& path : paths) {
                clsFile file;
                file.MyError = ErrorObj();
                if (!file.IsPathSyntaxOk(path)) {
                    Report(QStringLiteral("Invalid filename : ") + path, QString(), routine);
                } else if (!file.IsPresent()) {
                    Report(path + QStringLiteral(" is not present"), QString(), routine);
                } else if (!file.IsFile()) {
                    Report(path + QStringLiteral(" is not a file"), QString(), routine);
                } else if (file.Size == 0) {
                    const QString name = file.GetFileName();
                    modGlobalFunctions::DisplayMessage(
                        {.message = QStringLiteral("The following file is empty and will not be selected\r\n\r\n") + name,
                         .Title = QStringLiteral("Empty File '") + name + QLatin1Char('\''),
                         .IconNb = MsgBoxIcon::Error,
                         .ShowOk = true,
                         .CForm = this,
                         .OForm = this});
                } else {
                    auto added = std::make_shared<clsMergeFile>();
                    added->name = file.GetFileName();
                    added->Path = file.GetDirectory();
                    added->Size = file.Size;
                    files.append(added);
                }
                MessagePump::DoEvents();
            }
            modRegistry::SetSetting(QStringLiteral("WrkDir"), dir);

            // The rows come back in file-number order: no column is sorted any more.
            pane->SetCount(0);
            pane->SetHeadersIcon(ListIcons::kUnsorted);
            pane->SetCount(static_cast<int32_t>(files.size()));
            pane->SetAll();
            pane->Refresh();

            // Nothing new to describe or to count.
            if (files.size() == before) return;
            FirstFileToCount = before + 1;
            ComSelectStructure_Click();
            // "Select separators" on its own counts every file.
            FirstFileToCount = 1;
        },
        [&](const QString& d) { Report(d, QString(), routine); });
}

void FrmMain::ComSelectStructure_Click() {
    const QString routine = QStringLiteral("ComSelectStructure_Click");
    Trap(
        [&] {
            if (!VL_file) return;
            const int32_t mark = VL_file->GetItem();
            const auto file = FileAtRow(mark < 0 ? 1 : mark + 1);
            if (!file) {
                Report(QStringLiteral("There is no file in the list to read the record structure from"), QString(),
                       routine);
                return;
            }
            MergeDesc.NameSrc = file->Path + file->name;
            const Structure before = StructureOf(MergeDesc);
            // The counts follow whether the dialog was confirmed or closed.
            AskStructure(&MergeDesc);
            // Counts made with another structure would no longer match.
            const int32_t first = StructureOf(MergeDesc) == before ? FirstFileToCount : 1;
            DisplayRecordCount(ChkCntRec->isChecked(), first);
            DisplayInvDupCount(ChkCntInvDup->isChecked(), first);
            SetTotals(ChkCntRec->isChecked(), ChkCntInvDup->isChecked());
        },
        [&](const QString& d) { Report(d, QString(), routine); });
}

void FrmMain::DisplayRecordCount(bool CounterOn, int32_t FirstRow) {
    ClosingStep closing(this);
    YieldOnExit yield;
    Trap(
        [&] {
            const auto pane = VL_file;
            if (!pane || MergeFiles().isEmpty()) return;
            // Off, the pass resets every file.
            const int32_t first = CounterOn && FirstRow > 0 ? FirstRow : 1;
            Screen::Instance()->SetMousePointer(Screen::kHourglassPointer);
            StartProgress(kCountProgressDelayMs, QStringLiteral("Counting File Records"),
                          QStringLiteral("Now counting files records"));
            const QByteArray recordSep = MergeDesc.RecordSep().toLatin1();
            bool stopped = false;
            for (int32_t row = first; row <= pane->GetCnt(); ++row) {
                const auto file = FileAtRow(row);
                if (!file) continue;
                file->nbRec = -1;
                if (CounterOn && !stopped && Present(*file)) {
                    file->nbRec = YRB22(FullPath(*file).constData(), recordSep.constData(),
                                        &modCallBack::EngineCallbackTable);
                    stopped = file->nbRec == YRB_STOPPED;
                }
                // Repainting lets messages run: Cancel is seen between files.
                pane->RepaintItem(row - 1);
            }
            pane->SetAll();
            pane->Refresh();
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("DisplayRecordCount")); });
}

void FrmMain::DisplayInvDupCount(bool CounterOn, int32_t FirstRow) {
    ClosingStep closing(this);
    ScratchFreed scratch;
    YieldOnExit yield;
    Trap(
        [&] {
            const auto pane = VL_file;
            if (!pane || MergeFiles().isEmpty()) return;
            const int32_t first = CounterOn && FirstRow > 0 ? FirstRow : 1;
            Bar->Cls();
            StartProgress(kCountProgressDelayMs, QStringLiteral("Counting Invalid and Duplicate entries"),
                          QStringLiteral("Now counting invalid and duplicate entries"));
            Screen::Instance()->SetMousePointer(Screen::kHourglassPointer);
            const QByteArray fieldSep = MergeDesc.FieldSep().toLatin1();
            const QByteArray recordSep = MergeDesc.RecordSep().toLatin1();
            bool stopped = false;
            for (int32_t row = first; row <= pane->GetCnt(); ++row) {
                MessagePump::DoEvents();
                const auto file = FileAtRow(row);
                if (!file) continue;
                file->nbInv = -1;
                file->nbDup = -1;
                if (CounterOn) {
                    if (!stopped && Present(*file)) {
                        const int32_t loaded = YRB13(kScratchSlot, FullPath(*file).constData(), MergeDesc.ColNbr,
                                                     fieldSep.constData(), recordSep.constData());
                        if (loaded < 0) {
                            stopped = loaded == YRB_STOPPED;
                        } else {
                            file->nbInv = YRB12(kScratchSlot, kCountMark, kNoFilter, kNoFilter, "");
                            stopped = file->nbInv == YRB_STOPPED;
                            pane->RepaintItem(row - 1);
                            if (!stopped) {
                                file->nbDup =
                                    YRB11(kScratchSlot, YRB_PART_ADDRESS, kCountMark, kNoFilter, kNoFilter, "");
                                stopped = file->nbDup == YRB_STOPPED;
                                pane->RepaintItem(row - 1);
                            }
                        }
                    }
                    YRB20(kScratchSlot);
                }
                pane->RepaintItem(row - 1);
            }
            pane->SetAll();
            pane->Refresh();
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("DisplayInvDupCount")); });
}

void FrmMain::SetTotals(bool DoRecords, bool DoInvDup) {
    PointerGuard pointer;
    Trap(
        [&] {
            pointer.Hourglass();
            StatusBar->Panel(1)->SetText(QString());
            // 64-bit: sizes of several GiB and their sums never overflow.
            int64_t records = 0, invalids = 0, duplicates = 0, bytes = 0;
            // A copy: the loop lets messages run.
            const auto files = MergeFiles();
            for (const auto& f : files) {
                if (DoRecords && f->nbRec >= 0) records += f->nbRec;
                if (DoInvDup && f->nbInv >= 0) invalids += f->nbInv;
                if (DoInvDup && f->nbDup >= 0) duplicates += f->nbDup;
                if (f->Size >= 0) bytes += f->Size;
                MessagePump::DoEvents();
            }
            QString text = QStringLiteral("Totals : ");
            if (DoRecords) text += QString::number(records) + QStringLiteral(" records");
            if (DoRecords && DoInvDup) text += QStringLiteral(", ");
            if (DoInvDup)
                text += QString::number(invalids) + QStringLiteral(" invalids, ") + QString::number(duplicates) +
                        QStringLiteral(" duplicates");
            if (DoRecords || DoInvDup) text += QStringLiteral(", ");
            text += QString::number(bytes / kBytesPerKB) + QStringLiteral("KB");
            TotalsText = text;
            StatusBar->Panel(1)->SetText(TotalsText);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("SetTotals")); });
}

void FrmMain::ChkCntRec_Click() {
    CounterClick(*this, {ChkCntRec, &m_cntRecBusy, "DspRec", &FrmMain::DisplayRecordCount, "ChkCntRec_Click"});
}

void FrmMain::ChkCntInvDup_Click() {
    CounterClick(*this,
                 {ChkCntInvDup, &m_cntInvDupBusy, "DspInvDup", &FrmMain::DisplayInvDupCount, "ChkCntInvDup_Click"});
}
