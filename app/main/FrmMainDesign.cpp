// The controls of the main window's tabs: their names, captions, states at
// creation, places (twips, on the tab pages) and layout tags.
#include <initializer_list>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>
#include <QTabWidget>

#include "ControlGeometry.h"
#include "FontFamilies.h"
#include "FrmMain.h"
#include "ImageList.h"
#include "IntervalTimer.h"
#include "ListIcons.h"
#include "PictureBox.h"
#include "ReportListView.h"
#include "RichTextBox.h"

namespace {

// A control's place in twips.
struct Box {
    double l = 0, t = 0, w = 0, h = 0;
};

// The tab pages as designed, in pixels; the window is sized to show them so.
constexpr int kPageWidth = 944;
constexpr int kPageHeight = 576;
constexpr int kMargin = 4;
constexpr int kBarHeight = 17;
constexpr int kBarGap = 2;

// Layout tags: move left, move top, size width, size height, then the
// divisor of the container's growth for each.
namespace Tag {
constexpr const char* Fixed = "00000000";
constexpr const char* Grow = "00111111";        // both edges follow the container
constexpr const char* Right = "10001111";       // stays at the right edge
constexpr const char* Bottom = "01001111";      // stays at the bottom
constexpr const char* Corner = "11001111";      // stays at the bottom-right corner
constexpr const char* Wide = "00101111";        // takes the width growth
constexpr const char* WideBottom = "01101111";  // at the bottom, takes the width growth
}  // namespace Tag

template <class W>
W* Place(W* w, const char* name, QWidget* parent, const Box& b, const char* tag) {
    w->setParent(parent);
    w->setObjectName(QString::fromLatin1(name));
    w->setProperty("Tag", QString::fromLatin1(tag));
    ControlGeometry::Move(w, b.l, b.t, b.w, b.h);
    return w;
}

QPushButton* Button(const char* name, QWidget* parent, const char* caption, const Box& b, const char* tag,
                    bool enabled = true) {
    auto* w = Place(new QPushButton(QString::fromLatin1(caption)), name, parent, b, tag);
    w->setEnabled(enabled);
    // Enter presses the focused button too, as Space does; outside a dialog
    // a push button would take only Space.
    w->setAutoDefault(true);
    return w;
}

QCheckBox* Check(const char* name, QWidget* parent, const char* caption, const Box& b, const char* tag,
                 bool enabled = true) {
    auto* w = Place(new QCheckBox(QString::fromLatin1(caption)), name, parent, b, tag);
    w->setEnabled(enabled);
    return w;
}

QRadioButton* Option(const char* name, QButtonGroup* group, const char* caption, const Box& b, bool chosen) {
    auto* w = Place(new QRadioButton(QString::fromLatin1(caption)), name, qobject_cast<QWidget*>(group->parent()),
                    b, Tag::Fixed);
    group->addButton(w);
    w->setChecked(chosen);
    return w;
}

QLabel* Label(const char* name, QWidget* parent, const char* caption, const Box& b, const char* tag,
              Qt::Alignment align = Qt::AlignLeft) {
    auto* w = Place(new QLabel(QString::fromLatin1(caption)), name, parent, b, tag);
    w->setAlignment(align | Qt::AlignVCenter);
    return w;
}

QGroupBox* Frame(const char* name, QWidget* parent, const char* caption, const Box& b, const char* tag) {
    return Place(new QGroupBox(QString::fromLatin1(caption)), name, parent, b, tag);
}

// Option buttons of one group, which code may also leave with no choice.
QButtonGroup* OptionGroup(QWidget* frame) {
    auto* group = new QButtonGroup(frame);
    group->setExclusive(true);
    return group;
}

// Twips from pixels of the design grid.
constexpr double P(int pixels) { return pixels * 15.0; }
constexpr Box Px(int l, int t, int w, int h) { return {P(l), P(t), P(w), P(h)}; }

// The controls around a list pane's host, with their names.
struct PaneControls {
    QLabel*& count;
    const char* countName;
    QLabel*& selected;
    const char* selectedName;
    PictureBox*& host;
    const char* hostName;
};

// A button of the column beside a pane's host.
struct ColumnButton {
    static constexpr int kAtBottom = -1;
    QPushButton*& button;
    const char* name;
    const char* caption;
    int top;  // pixels, or kAtBottom: level with the host's bottom, in the corner
    bool enabled = true;
    int height = 25;
};

// A list pane in its frame: the count label above the host's left edge, the
// selection label above its right edge, the host taking the frame's growth
// and the buttons in a column at its right.
void PaneFrame(QGroupBox* frame, QSize host, int columnWidth, const PaneControls& c,
               std::initializer_list<ColumnButton> buttons) {
    constexpr int kLeft = 12, kTop = 42, kLabelTop = 22, kLabelWidth = 200, kLabelHeight = 17, kGap = 8;
    c.count = Label(c.countName, frame, "object(s)", Px(kLeft, kLabelTop, kLabelWidth, kLabelHeight), Tag::Fixed);
    c.selected = Label(c.selectedName, frame, "selected",
                       Px(kLeft + host.width() - kLabelWidth, kLabelTop, kLabelWidth, kLabelHeight), Tag::Right,
                       Qt::AlignRight);
    c.host = Place(new PictureBox(), c.hostName, frame, Px(kLeft, kTop, host.width(), host.height()), Tag::Grow);
    const int x = kLeft + host.width() + kGap;
    for (const ColumnButton& b : buttons) {
        const bool atBottom = b.top == ColumnButton::kAtBottom;
        const int top = atBottom ? kTop + host.height() - b.height : b.top;
        b.button = Button(b.name, frame, b.caption, Px(x, top, columnWidth, b.height),
                          atBottom ? Tag::Corner : Tag::Right, b.enabled);
    }
}

QWidget* Page(QTabWidget* tabs, const char* name, const char* caption) {
    auto* page = new QWidget(tabs);
    page->setObjectName(QString::fromLatin1(name));
    tabs->addTab(page, QString::fromLatin1(caption));
    return page;
}

// What the tab control takes around a page: its tab strip and frame.
QSize TabChrome(const QTabWidget* tabs) {
    QStyleOptionTabWidgetFrame opt;
    opt.initFrom(tabs);
    opt.lineWidth = tabs->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, tabs);
    opt.shape = QTabBar::RoundedNorth;
    opt.tabBarSize = tabs->tabBar()->sizeHint();
    opt.rect = QRect(0, 0, 4000, 4000);
    const QRect contents = tabs->style()->subElementRect(QStyle::SE_TabWidgetTabContents, &opt, tabs);
    return QSize(opt.rect.width() - contents.width(), opt.rect.height() - contents.height());
}

}  // namespace

void FrmMain::BuildControls() {
    QWidget* central = centralWidget();

    // Placed and sized with the window by FitWindowToTabs.
    SSTab = Place(new QTabWidget(), "SSTab", central, Box{}, Tag::Grow);
    SSTab->setFont(FontFamilies::SansSerif(8.25));

    // ---- "Manage Lists": two list panes side by side, the both-list controls below.
    QWidget* page = Page(SSTab, "TabManageLists", "Manage Lists");
    struct Side {
        const char* suffix;  // "Left" / "Right"
        char letter;         // 'L' / 'R'
        const char* host;
        const char* markDel;
        int left;
        const char* frameTag;
        QGroupBox*& frame;
        PictureBox*& pic;
        QLabel*& labCnt;
        QLabel*& labSel;
        QPushButton*& imp;
        QPushButton*& save;
        QPushButton*& view;
        QPushButton*& find;
        QPushButton*& selAll;
        QPushButton*& desAll;
        QPushButton*& invSel;
        QPushButton*& clear;
        QCheckBox*& markInv;
        QCheckBox*& markDup;
        QCheckBox*& markDelBox;
    };
    // The left frame takes half the width growth; the right one moves by it.
    Side sides[] = {
        {"Left", 'L', "PicVLleft", "ChkMarkDelleft", 6, "00111121", FraLeft, PicVLleft, LabCntLeft, LabSelLeft,
         ComSLImp, ComSLSave, ComViewLeft, ComSLFind, ComSLSelAll, ComSLDesAll, ComSLInvSel, ComLClear,
         ChkMarkInvLeft, ChkMarkDupLeft, ChkMarkDelleft},
        {"Right", 'R', "PicVLright", "ChkMarkDelRight", 475, "10112121", FraRight, PicVLright, LabCntRight,
         LabSelRight, ComSRImp, ComSRSave, ComViewRight, ComSRFind, ComSRSelAll, ComSRDesAll, ComSRInvSel, ComRClear,
         ChkMarkInvRight, ChkMarkDupRight, ChkMarkDelRight},
    };
    for (Side& s : sides) {
        const QByteArray sfx(s.suffix);
        const QByteArray ltr(1, s.letter);
        auto name = [](const QByteArray& a, const QByteArray& b, const char* c = "") {
            return QByteArray(a + b + c);
        };
        const QByteArray caption = " " + sfx + " List ";
        s.frame = Frame(name("Fra", sfx), page, caption.constData(), Px(s.left, 4, 463, 490), s.frameTag);
        QGroupBox* f = s.frame;
        constexpr int kAtBottom = ColumnButton::kAtBottom;
        PaneFrame(f, QSize(331, 370), 100,
                  {s.labCnt, name("LabCnt", sfx), s.labSel, name("LabSel", sfx), s.pic, s.host},
                  {{s.imp, name("ComS", ltr, "Imp"), "Import", 42},
                   {s.save, name("ComS", ltr, "Save"), "Save", 71},
                   {s.view, name("ComView", sfx), "Results", 100, false},
                   {s.find, name("ComS", ltr, "Find"), "Find", 137},
                   {s.selAll, name("ComS", ltr, "SelAll"), "Select All", 174},
                   {s.desAll, name("ComS", ltr, "DesAll"), "Deselect All", 203},
                   {s.invSel, name("ComS", ltr, "InvSel"), "Invert", 232},
                   {s.clear, name("Com", ltr, "Clear"), "Clear", kAtBottom}});
        s.markInv = Check(name("ChkMarkInv", sfx), f, "Flag invalid entries", Px(12, 420, 331, 20), Tag::Bottom);
        s.markDup = Check(name("ChkMarkDup", sfx), f, "Flag duplicate entries", Px(12, 442, 331, 20), Tag::Bottom);
        s.markDelBox = Check(s.markDel, f, "Flag selected entries as deleted", Px(12, 464, 331, 20), Tag::Bottom);
    }
    FraCompare = Frame("FraCompare", page, " Compare the two lists ", Px(6, 500, 463, 70), "01101121");
    QButtonGroup* compare = OptionGroup(FraCompare);
    OptCmpCom = Option("OptCmpCom", compare, "Select common entries", Px(12, 22, 300, 20), true);
    OptCmpDif = Option("OptCmpDif", compare, "Select different entries", Px(12, 44, 300, 20), false);
    ComCompare = Button("ComCompare", FraCompare, "Compare", Px(351, 32, 100, 26), Tag::Right);
    FraSMerge = Frame("FraSMerge", page, " Merge the two lists ", Px(475, 500, 463, 70), "11102121");
    ChkMergeSelect = Check("ChkMergeSelect", FraSMerge, "Selected entries only", Px(12, 35, 300, 20), Tag::Fixed);
    ComSMerge = Button("ComSMerge", FraSMerge, "Merge to file", Px(351, 32, 100, 26), Tag::Right);

    // ---- "Merge Multiple Lists": the file pane, its buttons on the right.
    page = Page(SSTab, "TabMergeLists", "Merge Multiple Lists");
    FraMerge = Frame("FraMerge", page, " List of files to be merged ", Px(6, 4, 932, 566), Tag::Grow);
    PaneFrame(FraMerge, QSize(772, 460), 128, {LabCnt, "LabCnt", LabSel, "LabSel", PicVLfile, "PicVLfile"},
              {{ComAddFiles, "ComAddFiles", "Add File(s)", 42},
               {ComSelectStructure, "ComSelectStructure", "Select separators", 71},
               {ComSelAll, "ComSelAll", "Select All", 108},
               {ComDesAll, "ComDesAll", "Deselect All", 137},
               {ComInvSel, "ComInvSel", "Invert", 166},
               {ComRemSel, "ComRemSel", "Remove", 195},
               {ComBigMerge, "ComBigMerge", "Merge", ColumnButton::kAtBottom, true, 31}});
    ChkCntRec = Check("ChkCntRec", FraMerge, "Display Records Count", Px(12, 512, 420, 20), Tag::Bottom);
    ChkCntInvDup = Check("ChkCntInvDup", FraMerge, "Display Invalid and Duplicate Email Count", Px(12, 536, 420, 20),
                         Tag::Bottom);

    // ---- "Address Validation": valid extensions on the left, what is rejected
    // on the right, the block-list file below.
    page = Page(SSTab, "TabValidation", "Address Validation");
    auto list = [](const char* name, QWidget* parent, const Box& b, const char* tag) {
        return Place(new ReportListView(), name, parent, b, tag);
    };
    FraEmailValidation = Frame("FraEmailValidation", page, " Valid Domain extensions ", Px(6, 4, 560, 490), "00111121");
    // The country list takes the upper half of the height growth, the generic one the lower.
    LstDNCountry = list("LstDNCountry", FraEmailValidation, Px(12, 22, 536, 196), "00111112");
    ComEditCountry = Button("ComEditCountry", FraEmailValidation, "Edit", Px(468, 222, 80, 25), "11001211");
    LstDNGeneric = list("LstDNGeneric", FraEmailValidation, Px(12, 254, 536, 196), "01111212");
    ComEditGeneric = Button("ComEditGeneric", FraEmailValidation, "Edit", Px(468, 455, 80, 25), Tag::Corner);
    FraEmailRejection = Frame("FraEmailRejection", page, "Domain extensions to reject ", Px(572, 4, 366, 242),
                              "10112122");
    LstDNUser = list("LstDNUser", FraEmailRejection, Px(12, 22, 342, 180), Tag::Grow);
    ComEditUser = Button("ComEditUser", FraEmailRejection, "Edit", Px(274, 207, 80, 25), Tag::Corner);
    FraKeywordRejection = Frame("FraKeywordRejection", page, " Keywords to reject ", Px(572, 252, 366, 242),
                                "11112222");
    LstDNKeyword = list("LstDNKeyword", FraKeywordRejection, Px(12, 22, 342, 180), Tag::Grow);
    ComEditKeyword = Button("ComEditKeyword", FraKeywordRejection, "Edit", Px(274, 207, 80, 25), Tag::Corner);
    FraEmailBlackList = Frame("FraEmailBlackList", page, " Black Listed Email addresses ", Px(6, 500, 932, 66),
                              Tag::WideBottom);
    Label3 = Label("Label3", FraEmailBlackList, "Black List File", Px(12, 30, 96, 17), Tag::Fixed);
    TxtBlkFile = Place(new QLineEdit(), "TxtBlkFile", FraEmailBlackList, Px(112, 27, 714, 24), Tag::Wide);
    ComBlkFileFind = Button("ComBlkFileFind", FraEmailBlackList, "...", Px(834, 27, 26, 24), Tag::Right);
    ComBlkFileFind->setToolTip(QStringLiteral("Select a file"));
    ComBlkFileStruct = Button("ComBlkFileStruct", FraEmailBlackList, "S", Px(864, 27, 26, 24), Tag::Right, false);
    ComBlkFileStruct->setToolTip(QStringLiteral("Select file structure parameters"));
    ComBlkFileEdit = Button("ComBlkFileEdit", FraEmailBlackList, "E", Px(894, 27, 26, 24), Tag::Right, false);
    ComBlkFileEdit->setToolTip(QStringLiteral("Edit file"));

    // ---- "Mail Accounts": the account and retrieval options, the mail list,
    // the chosen message's header and content side by side.
    page = Page(SSTab, "TabMail", "Mail Accounts");
    FraMailbox = Frame("FraMailbox", page, " Account ", Px(6, 4, 932, 104), Tag::Wide);
    CboUserName = Place(new QComboBox(), "CboUserName", FraMailbox, Px(12, 22, 240, 24), Tag::Fixed);
    ComMailbox = Button("ComMailbox", FraMailbox, "Manage Accounts", Px(260, 21, 140, 26), Tag::Fixed);
    ComMailGet = Button("ComMailGet", FraMailbox, "Retrieve mails", Px(780, 21, 140, 26), Tag::Right, false);
    QButtonGroup* retrieval = OptionGroup(FraMailbox);
    OptEmailHdr = Option("OptEmailHdr", retrieval, "Get email header only ", Px(12, 52, 180, 20), true);
    OptEmailCon = Option("OptEmailCon", retrieval, "Get email content n first lines :", Px(200, 52, 226, 20), false);
    TxtLines = Place(new QLineEdit(QStringLiteral("25")), "TxtLines", FraMailbox, Px(428, 50, 44, 24), Tag::Fixed);
    TxtLines->setEnabled(false);  // only with "first lines" chosen
    OptEmailFul = Option("OptEmailFul", retrieval, "Get full email content", Px(490, 52, 200, 20), false);
    ChkTrace = Check("ChkTrace", FraMailbox, "Trace POP3 connection", Px(12, 78, 180, 20), Tag::Fixed);
    ChkVerbose = Check("ChkVerbose", FraMailbox, "Verbose", Px(200, 78, 100, 20), Tag::Fixed, false);
    CboRules = Place(new QComboBox(), "CboRules", FraMailbox, Px(552, 76, 220, 24), Tag::Right);
    ComKeyword = Button("ComKeyword", FraMailbox, "Manage Criteria Set(s)", Px(780, 75, 140, 26), Tag::Right);

    // The mail list takes the upper half of the height growth, the message the lower.
    FraMail = Frame("FraMail", page, " List of message(s) in POP3 server account ", Px(6, 112, 932, 262), "00111112");
    PaneFrame(FraMail, QSize(710, 210), 190,
              {LabMailCnt, "LabMailCnt", LabMailSel, "LabMailSel", PicVLmail, "PicVLmail"},
              {{ComMailSelectAll, "ComMailSelectAll", "Select All", 42},
               {ComMailDeselectAll, "ComMailDeselectAll", "Deselect All", 69},
               {ComMailInverse, "ComMailInverse", "Invert", 96},
               {ComSelCri, "ComSelCri", "Select based on criteria", 127},
               {ComMailSave, "ComMailSave", "Save selected email addresses", 154},
               {ComMailDel, "ComMailDel", "Delete selection", 181},
               {ComMailClear, "ComMailClear", "Clear All", ColumnButton::kAtBottom}});
    LabMsgHeader = Label("LabMsgHeader", page, "Message header source", Px(8, 380, 300, 17), "01001211");
    TxtHeader = Place(new RichTextBox(), "TxtHeader", page, Px(6, 398, 463, 140), "01111222");
    LabMsgContent = Label("LabMsgContent", page, "Message content source", Px(477, 380, 300, 17), "11002211");
    TxtContent = Place(new RichTextBox(), "TxtContent", page, Px(475, 398, 463, 140), "11112222");
    for (RichTextBox* t : {TxtHeader, TxtContent}) {
        t->SetContent(RichTextBox::Content::Bytes);
        t->setReadOnly(true);
        t->setFont(FontFamilies::CourierNew(9));
    }
    ComSaveHeader = Button("ComSaveHeader", page, "Save Header", Px(6, 543, 120, 26), Tag::Bottom, false);
    ComSaveContent = Button("ComSaveContent", page, "Save Content", Px(475, 543, 120, 26), "11002111", false);
    ComHighLight = Button("ComHighLight", page, "Highlight", Px(601, 543, 120, 26), "11002111", false);
    TmrPOP31 = new IntervalTimer(this, 60000);
    TmrPOP31->setObjectName(QStringLiteral("TmrPOP31"));
    TmrPOP32 = new IntervalTimer(this, 60000);
    TmrPOP32->setObjectName(QStringLiteral("TmrPOP32"));

    // ---- "Console": the error console and its buttons.
    page = Page(SSTab, "TabConsole", "Console");
    FraErrConsole = Frame("FraErrConsole", page, " Error Console ", Px(6, 4, 932, 566), Tag::Grow);
    TxtErrors = Place(new RichTextBox(), "TxtErrors", FraErrConsole, Px(12, 22, 908, 500), Tag::Grow);
    TxtErrors->setReadOnly(true);
    TxtErrors->setFont(FontFamilies::CourierNew(9));
    ComClearErrConsole = Button("ComClearErrConsole", FraErrConsole, "Clear", Px(12, 530, 110, 26), Tag::Bottom);
    ComSaveErrConsole = Button("ComSaveErrConsole", FraErrConsole, "Save to File", Px(130, 530, 110, 26), Tag::Bottom,
                               false);
    ChkErrPrompt = Check("ChkErrPrompt", FraErrConsole, "Prompt for Save on exit", Px(700, 533, 220, 20), Tag::Corner);

    // The reference lists' header pictures, numbered from 1 by their views.
    ImgSort = ListIcons::NewHeaderImages(this);
    ImgSort->setObjectName(QStringLiteral("ImgSort"));

    FitWindowToTabs();
}

void FrmMain::FitWindowToTabs() {
    QWidget* central = centralWidget();
    const QSize tabs = QSize(kPageWidth, kPageHeight) + TabChrome(SSTab);
    ControlGeometry::Move(SSTab, P(kMargin), P(kMargin), P(tabs.width()), P(tabs.height()));
    // The progress bar runs along the bottom of the window, under the tabs.
    if (Bar) {
        Bar->setProperty("Tag", QString::fromLatin1(Tag::WideBottom));
        ControlGeometry::Move(Bar, P(kMargin), P(kMargin + tabs.height() + kBarGap), P(tabs.width()), P(kBarHeight));
    }
    const QSize wanted(tabs.width() + 2 * kMargin, kMargin + tabs.height() + 2 * kBarGap + kBarHeight);
    // The menu and status bars take what they need; the central area gets
    // the rest, so correct the window by what the central area lacks.
    for (int pass = 0; pass < 2; ++pass) {
        if (layout()) {
            layout()->invalidate();
            layout()->activate();
        }
        const QSize lack = wanted - central->size();
        if (lack.isNull()) break;
        resize(size() + lack);
    }
}
