// The flag boxes of the two sides: ticking one has the engine flag the
// side's invalid, duplicate or selected entries (with a report beside the
// list for the first two), sorts the flagged ones first and confirms;
// unticking clears that flag on every entry again.
#include <QCheckBox>
#include <QFile>
#include <QPushButton>

#include "ErrorTrap.h"
#include "FrmMain.h"
#include "MessagePump.h"
#include "MsgBoxTypes.h"
#include "OrmidYRB100.h"
#include "PictureBox.h"
#include "ReportError.h"
#include "Screen.h"
#include "WholeFile.h"
#include "clsVL2.h"
#include "modCallBack.h"
#include "modGlobalFunctions.h"
#include "modGlobalFunctionsFiles.h"

namespace {

// A long flagging shows its progress window only after this delay.
constexpr int32_t kFlagProgressDelayMs = 2000;
// The flagged entries come first: their flag sorted descending.
constexpr int32_t kFlaggedFirst = 1;

// The engine calls that flag a side; each answers the entries flagged,
// YRB_FAILED or YRB_STOPPED.
int32_t FlagInvalid(int32_t slot, const QString& report) {
    return YRB12(slot, YRB_FLAG_INVALID, 0, 0, QFile::encodeName(report).constData());
}
int32_t FlagDuplicate(int32_t slot, const QString& report) {
    return YRB11(slot, YRB_PART_ADDRESS, YRB_FLAG_DUPLICATE, 0, 0, QFile::encodeName(report).constData());
}
// Entries already out of the list (any removed flag) are left as they are.
int32_t FlagSelectedDeleted(int32_t slot, const QString&) {
    return YRB10(slot, YRB_ALL_ENTRIES, YRB_MODE_SET, YRB_FLAG_DELETED, YRB_FLAG_SELECTED, YRB_MASK_REMOVED,
                 &modCallBack::EngineCallbackTable);
}

}  // namespace

struct FrmMain::FlagKind {
    int index;  // of the busy flag
    QCheckBox* WorkspaceSide::*box;
    int32_t flag;
    // The report beside the list, rewritten by each run; none for deleted.
    QString clsEmailList::*report;
    int32_t (*flagEntries)(int32_t slot, const QString& report);
    // Unticking clears the flag on the entries that have these bits.
    int32_t clearMustHave;
    int32_t sortKey;
    void (FrmMain::*finish)();
    const char* routine[2];  // left, right
    const char* title[2];
    const char* text[2];

    static const FlagKind kInvalid;
    static const FlagKind kDuplicate;
    static const FlagKind kDeleted;
};

const FrmMain::FlagKind FrmMain::FlagKind::kInvalid = {
    0,
    &WorkspaceSide::markInv,
    YRB_FLAG_INVALID,
    &clsEmailList::NameInv,
    &FlagInvalid,
    0,
    YRB_SORT_INVALID,
    &FrmMain::FinishOkInv,
    {"ChkMarkInvLeft_Click", "ChkMarkInvRight_Click"},
    {"Flagging Invalid", "Flagging Invalid"},
    {"Now flagging invalid entries", "Now flagging invalid entries"}};

// The two sides name this work differently in their progress window.
const FrmMain::FlagKind FrmMain::FlagKind::kDuplicate = {
    1,
    &WorkspaceSide::markDup,
    YRB_FLAG_DUPLICATE,
    &clsEmailList::NameDup,
    &FlagDuplicate,
    0,
    YRB_SORT_DUPLICATE,
    &FrmMain::FinishOkDup,
    {"ChkMarkDupLeft_Click", "ChkMarkDupRight_Click"},
    {"Detecting Duplicates", "Flagging Duplicates"},
    {"Now detecting duplicate entries", "Now flagging duplicate entries"}};

const FrmMain::FlagKind FrmMain::FlagKind::kDeleted = {
    2,
    &WorkspaceSide::markDel,
    YRB_FLAG_DELETED,
    nullptr,
    &FlagSelectedDeleted,
    YRB_FLAG_DELETED,
    YRB_SORT_DELETED,
    &FrmMain::FinishOkDel,
    {"ChkMarkDelleft_Click", "ChkMarkDelRight_Click"},
    {"Flagging Deleted", "Flagging Deleted"},
    {"Now flagging selected entries as deleted", "Now flagging selected entries as deleted"}};

void FrmMain::FlagBoxClick(int32_t slot, const FlagKind& kind) {
    bool& busy = m_flagBoxBusy[slot - 1][kind.index];
    if (busy || SuppressMarkClicks) return;
    busy = true;
    {
        const ClosingStep closing(this);
        Trap(
            [&] {
                const WorkspaceSide side = Side(slot);
                const std::shared_ptr<clsVL2> pane = side.pane;
                if (!pane) return;
                // Report kinds need a list; the deleted kind lets the
                // engine say that there is none.
                if (kind.report != nullptr && YRB14(pane->VListNb) != 0) return;
                Bar->Cls();
                StartProgress(kFlagProgressDelayMs, QString::fromLatin1(kind.title[slot - 1]),
                              QString::fromLatin1(kind.text[slot - 1]));
                Screen::Instance()->SetMousePointer(Screen::kHourglassPointer);
                // The engine appends to a report: each run starts a new one,
                // and a run that fails leaves the former report as it was.
                QString report;
                FormerContent former;
                if (kind.report != nullptr) report = side.listDesc->*kind.report;
                if ((side.*kind.box)->isChecked()) {
                    // A former report that can be neither kept nor cleared
                    // gets no new one after it: the flags go on without.
                    const bool reporting = kind.report == nullptr || former.SetAsideReport(report);
                    const int32_t r = kind.flagEntries(pane->VListNb, reporting ? report : QString());
                    // A failure puts the former report back before the
                    // side's Results button looks for it.
                    if (r >= 0 || r == YRB_STOPPED)
                        former.Drop();
                    else
                        former.PutBack();
                    {
                        // Whatever the result, the side shows its flagged
                        // entries first, and the window is usable again
                        // before the message.
                        const ClosingStep sorted(this);
                        SortBy(pane.get(), kind.sortKey, kFlaggedFirst);
                    }
                    // A failure or a stop has been told already.
                    if (r >= 0) (this->*kind.finish)();
                } else {
                    if (kind.report != nullptr) modGlobalFunctions::RemoveFiles(report);
                    YRB10(pane->VListNb, YRB_ALL_ENTRIES, YRB_MODE_CLEAR, kind.flag, kind.clearMustHave, 0,
                          &modCallBack::EngineCallbackTable);
                }
                pane->SetAll();
                pane->Refresh();
                if (kind.report != nullptr) side.view->setEnabled(side.listDesc->HasResults());
            },
            [&](const QString& d) { Report(d, QString(), QString::fromLatin1(kind.routine[slot - 1])); });
    }
    busy = false;
}

namespace {

void ShowFlagDone(FrmMain* form, const char* text, const char* title, const char* routine) {
    Trap(
        [&] {
            MessagePump::DoEvents();
            modGlobalFunctions::DisplayMessage({.message = QString::fromLatin1(text),
                                                .Title = QString::fromLatin1(title),
                                                .IconNb = MsgBoxIcon::Logo,
                                                .ShowOk = true,
                                                .CForm = form,
                                                .OForm = form});
        },
        [&](const QString& d) {
            modGlobalFunctions::ReportError(d, QString(), QStringLiteral("FrmMain"), QString::fromLatin1(routine),
                                            false, true);
        });
}

}  // namespace

void FrmMain::FinishOkInv() {
    ShowFlagDone(this, "The invalid detection completed successfully", "Invalid Detection Completed", "FinishOkInv");
}
void FrmMain::FinishOkDup() {
    ShowFlagDone(this, "The duplicate detection completed successfully", "Duplicate Detection Completed",
                 "FinishOkDup");
}
void FrmMain::FinishOkDel() {
    ShowFlagDone(this, "The selected entries have been successfully flagged as deleted", "Flag as Deleted",
                 "FinishOkDel");
}

void FrmMain::ChkMarkInvLeft_Click() { FlagBoxClick(1, FlagKind::kInvalid); }
void FrmMain::ChkMarkInvRight_Click() { FlagBoxClick(2, FlagKind::kInvalid); }
void FrmMain::ChkMarkDupLeft_Click() { FlagBoxClick(1, FlagKind::kDuplicate); }
void FrmMain::ChkMarkDupRight_Click() { FlagBoxClick(2, FlagKind::kDuplicate); }
void FrmMain::ChkMarkDelleft_Click() { FlagBoxClick(1, FlagKind::kDeleted); }
void FrmMain::ChkMarkDelRight_Click() { FlagBoxClick(2, FlagKind::kDeleted); }

void FrmMain::ConnectFlagBoxes() {
    struct Box {
        QCheckBox* box;
        void (FrmMain::*click)();
    };
    const Box boxes[] = {{ChkMarkInvLeft, &FrmMain::ChkMarkInvLeft_Click},
                         {ChkMarkDupLeft, &FrmMain::ChkMarkDupLeft_Click},
                         {ChkMarkDelleft, &FrmMain::ChkMarkDelleft_Click},
                         {ChkMarkInvRight, &FrmMain::ChkMarkInvRight_Click},
                         {ChkMarkDupRight, &FrmMain::ChkMarkDupRight_Click},
                         {ChkMarkDelRight, &FrmMain::ChkMarkDelRight_Click}};
    // A box's Click follows every change of its value, by the user or by code.
    for (const Box& b : boxes) {
        if (b.box == nullptr) continue;
        connect(b.box, &QCheckBox::toggled, this, [this, click = b.click](bool) { (this->*click)(); });
    }
}
