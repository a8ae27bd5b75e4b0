// The main window's table of list panes, its shared pane images and its
// proportional layout.
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QResizeEvent>
#include <QTabWidget>

#include "ErrorTrap.h"
#include "FrmMain.h"
#include "ListIcons.h"
#include "ListKind.h"
#include "ListsCol.h"
#include "OwnerDataListView.h"
#include "PictureBox.h"
#include "ReportError.h"
#include "ReportListView.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "clsList.h"
#include "clsResizer.h"
#include "clsVL2.h"

namespace {

const QString kModule = QStringLiteral("FrmMain");
constexpr int kNoIcon = -1;

struct Column {
    const char* caption;
    int16_t width;   // pixels
    int16_t factor;  // share of the width left over; 0 keeps the width
};

// Which header pictures a view pane shows right after it is built.
enum class HeaderIcons {
    FirstThree,   // the bar on the selection, user and domain columns only
    Every,        // the bar on every column
    ButTheFlags,  // the bar on every column but the attachment and priority ones
};

const Column kWorkspaceColumns[] = {{"", 24, 0}, {"User", 0, 2}, {"Domain", 0, 2}, {"", 16, 0},
                                    {"", 16, 0}, {"", 16, 0},    {"", 16, 0}};
const Column kFileColumns[] = {{"", 24, 0}, {"Name", 0, 5}, {"Path", 0, 5}, {"Rec", 0, 2},
                               {"Inv", 0, 2}, {"Dup", 0, 2}, {"Size", 0, 2}};
const Column kMailColumns[] = {{"", 25, 0},           {"", 16, 0},          {"", 16, 0},
                               {"Sender name", 0, 7}, {"Email address", 0, 8}, {"Subject", 0, 11},
                               {"Date", 0, 6},        {"Size", 0, 3}};

void Report(const QString& description, const QString& context, const QString& routine) {
    modGlobalFunctions::ReportError(description, context, kModule, routine, false, true);
}

// Hands the focus that a pane's host receives on to the pane's handler.
class FocusForwarder : public QObject {
public:
    FocusForwarder(QWidget* host, void (FrmMain::*handler)(), FrmMain* form)
        : QObject(host), m_handler(handler), m_form(form), m_routine(host->objectName() + QStringLiteral("_GotFocus")) {
        // The pane's list takes the host's place in the Tab order (the host
        // would only pass the focus on); a click through to the host must not
        // pump messages in the middle of the press either.
        host->setFocusPolicy(Qt::NoFocus);
        host->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        // g++ 12 checks the type behind a member-pointer call in a lambda
        // through a temporary it has not set yet ("may be used
        // uninitialized"), and under UBSan that check then fails on a live
        // FrmMain; the check is off for this one call.
        if (event->type() == QEvent::FocusIn)
            Trap([&]() __attribute__((no_sanitize("vptr"))) { (m_form->*m_handler)(); },
                 [&](const QString& d) { Report(d, QString(), m_routine); });
        return false;
    }

private:
    void (FrmMain::*m_handler)();
    FrmMain* m_form;
    QString m_routine;
};

}  // namespace

bool FrmMain::InitListsCol() {
    const QString routine = QStringLiteral("InitListsCol");
    auto fail = [&](const QString& description) {
        Report(description, QStringLiteral("Error Initializing Lists Collection"), routine);
        return false;
    };

    if (!ItemImages) ItemImages = ListIcons::NewItemImages(this);
    if (!HeaderImages) HeaderImages = ListIcons::NewHeaderImages(this);

    struct ViewPane {
        ListKind kind;
        const char* name;
        PictureBox* host;
        void (FrmMain::*gotFocus)();
        QLabel* labCnt;
        QLabel* labSel;
        ControlGroup onSel, onCnt, offSel, offEmp;
        const Column* columns;
        int columnCount;
        HeaderIcons icons;
    };
    const ViewPane left{LeftList, "Left list", PicVLleft, &FrmMain::PicVLleft_GotFocus, LabCntLeft, LabSelLeft,
                        {ComSLSave, ComSLDesAll},
                        {ChkMarkDupLeft, ChkMarkInvLeft, ChkMarkDelleft, ComSLInvSel, ComSLFind},
                        {ComSLSelAll}, {ComLClear}, kWorkspaceColumns, std::size(kWorkspaceColumns),
                        HeaderIcons::FirstThree};
    const ViewPane right{RightList, "Right list", PicVLright, &FrmMain::PicVLright_GotFocus, LabCntRight, LabSelRight,
                         {ComSRSave, ComSRDesAll},
                         {ChkMarkDupRight, ChkMarkInvRight, ChkMarkDelRight, ComSRInvSel, ComSRFind}, {ComSRSelAll},
                         {ComRClear}, kWorkspaceColumns, std::size(kWorkspaceColumns), HeaderIcons::FirstThree};
    const ViewPane file{MergeList, "Merge List", PicVLfile, &FrmMain::PicVLfile_GotFocus, LabCnt, LabSel,
                        {ComRemSel, ComDesAll, ComBigMerge},
                        {ComSelectStructure, ComInvSel, ChkCntRec, ChkCntInvDup}, {ComSelAll}, {},
                        kFileColumns, std::size(kFileColumns), HeaderIcons::Every};
    const ViewPane mail{MailList, "Mail List", PicVLmail, &FrmMain::PicVLmail_GotFocus, LabMailCnt, LabMailSel,
                        {ComMailDeselectAll, ComMailSave, ComMailDel}, {ComMailInverse, ComSelCri, ComMailClear},
                        {ComMailSelectAll}, {}, kMailColumns, std::size(kMailColumns), HeaderIcons::ButTheFlags};

    // Configures a new pane and, once every step ran, puts it in its slot.
    auto build = [&](const std::shared_ptr<clsVirtualListview>& pane, const ViewPane& v) {
        pane->MyError = ErrorObj();
        pane->Interrupt = InterruptObj();
        pane->LabCnt = v.labCnt;
        pane->LabSel = v.labSel;
        pane->Frm = this;
        pane->LType = v.kind;
        pane->name = QString::fromLatin1(v.name);
        pane->ColOnSel = v.onSel;
        pane->ColOnCnt = v.onCnt;
        pane->ColOffSel = v.offSel;
        pane->ColOffEmp = v.offEmp;
        pane->Initialize(v.host);
        if (pane->hWnd() == nullptr)
            return fail(QStringLiteral("The list window of '%1' could not be created").arg(pane->name));
        m_eventForwarders.emplace_back(new FocusForwarder(v.host, v.gotFocus, this));
        pane->SetImageList(ItemImages);
        pane->SetHeaderImageList(HeaderImages);
        for (int c = 0; c < v.columnCount; ++c) {
            const Column& col = v.columns[c];
            if (!pane->InsertColumn(c, QString::fromLatin1(col.caption), col.width, col.factor))
                return fail(QStringLiteral("Column %1 of '%2' could not be created").arg(c).arg(pane->name));
        }
        switch (v.icons) {
            case HeaderIcons::FirstThree:
                pane->SetHeadersIcon(kNoIcon);
                for (int c = 0; c < 3; ++c) pane->SetHeaderIcon(c, ListIcons::kUnsorted);
                break;
            case HeaderIcons::Every: pane->SetHeadersIcon(ListIcons::kUnsorted); break;
            case HeaderIcons::ButTheFlags:
                pane->SetHeadersIcon(ListIcons::kUnsorted);
                pane->SetHeaderIcon(1, kNoIcon);
                pane->SetHeaderIcon(2, kNoIcon);
                break;
        }
        pane->SetExtendedStyle(OwnerDataListView::LVS_EX_SUBITEMIMAGES);
        pane->SetExtendedStyle(OwnerDataListView::LVS_EX_FULLROWSELECT);
        pane->SetCount(0);
        pane->SetAll();
        pane->Resize();
        pane->Refresh();
        ListsCol[v.kind] = pane;
        return true;
    };

    VL_left = std::make_shared<clsVL2>();
    VL_left->VListNb = 1;
    if (!build(VL_left, left)) return false;
    VL_right = std::make_shared<clsVL2>();
    VL_right->VListNb = 2;
    if (!build(VL_right, right)) return false;
    VL_file = std::make_shared<clsVirtualListview>();
    if (!build(VL_file, file)) return false;

    struct ReferencePane {
        ListKind kind;
        const char* name;
        ReportListView* list;
        QWidget* frame;
    };
    const ReferencePane references[] = {
        {DomainsCountry, "Domains Country", LstDNCountry, FraEmailValidation},
        {ExtensionsToReject, "Extensions to reject", LstDNUser, FraEmailRejection},
        {GenericDomains, "Generic Domains", LstDNGeneric, FraEmailValidation},
        {KeywordsToReject, "Keywords to reject", LstDNKeyword, FraKeywordRejection},
    };
    for (const ReferencePane& r : references) {
        auto pane = std::make_shared<clsList>();
        ListsCol[r.kind] = pane;
        pane->MyError = ErrorObj();
        pane->Interrupt = InterruptObj();
        pane->Frm = this;
        pane->Frame = r.frame;
        pane->SetList(r.list);
        pane->LType = r.kind;
        pane->name = QString::fromLatin1(r.name);
        pane->SetAll();
        if (pane->List() == nullptr) return fail(QStringLiteral("The list view of '%1' is missing").arg(pane->name));
        pane->List()->SetHeaderImageList(ImgSort);
    }

    VL_mail = std::make_shared<clsVirtualListview>();
    return build(VL_mail, mail);
}

bool FrmMain::InitResizerObj() {
    m_resizer = std::make_shared<clsResizer>();
    m_resizer->MyError = ErrorObj();
    m_resizer->Screen = Screen::Instance();
    m_resizer->Frm = this;
    // The window shows the tab pages at their designed size; that size is
    // also the smallest the layout allows.
    FitWindowToTabs();
    if (!m_resizer->Initialize()) {
        setFixedSize(size());
        return true;
    }
    // The layout never goes below that size; the window is kept from it too.
    setMinimumSize(size());
    return true;
}

void FrmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

// No message pumping in here: this runs inside the window's resize.
void FrmMain::Form_Resize() {
    // Hiding the tabs takes the focus from a control on them; it goes back.
    QPointer<QWidget> focus = QApplication::focusWidget();
    if (!SSTab->isAncestorOf(focus)) focus = nullptr;
    if (!IsResizing) {
        IsResizing = true;
        Trap(
            [&] {
                // Hidden while its controls move, so it is drawn once.
                SSTab->hide();
                if (m_resizer) m_resizer->Resize();
                for (ListKind k : {DomainsCountry, GenericDomains, ExtensionsToReject, KeywordsToReject}) {
                    const ListPaneRef& pane = ListsCol[k];
                    if (pane && pane->List() && pane->List()->ColumnCount() > 0) pane->ResizeCols();
                }
                ResizeListCaptions(true, true);
            },
            [&](const QString& d) { Report(d, QStringLiteral("Error Resizing Form"), QStringLiteral("Form_Resize")); });
    }
    SSTab->show();
    if (focus && focus->isVisible() && !focus->hasFocus()) focus->setFocus(Qt::OtherFocusReason);
    IsResizing = false;
}

void FrmMain::PicVLleft_GotFocus() {
    if (VL_left) VL_left->GetFocus();
}

void FrmMain::PicVLright_GotFocus() {
    if (VL_right) VL_right->GetFocus();
}

void FrmMain::PicVLfile_GotFocus() {
    if (VL_file) VL_file->GetFocus();
}

void FrmMain::PicVLmail_GotFocus() {
    if (VL_mail) VL_mail->GetFocus();
}
