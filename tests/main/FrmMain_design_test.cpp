// The main window's controls, its table of list panes, their images and the
// window's proportional layout.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>

#include "ControlGeometry.h"
#include "FrmMain.h"
#include "ImageList.h"
#include "IntervalTimer.h"
#include "ListIcons.h"
#include "ListsCol.h"
#include "OrmidYRB100.h"
#include "OwnerDataListView.h"
#include "PictureBox.h"
#include "ReportListView.h"
#include "RichTextBox.h"
#include "ServiceObjects.h"
#include "TestHarness.h"
#include "clsError.h"
#include "clsList.h"
#include "clsVL2.h"

namespace {

// A main window whose panes are built, as its load builds them.
struct Panes {
    FrmMain w;
    bool built = false;
    Panes() {
        ListsCol.fill(nullptr);
        built = w.InitListsCol();
    }
    ~Panes() {
        ListsCol.fill(nullptr);
        ThisList.reset();
    }
};

// The tab a control sits on, -1 when on none.
int TabOf(const FrmMain& w, const QWidget* control) {
    for (const QWidget* p = control; p != nullptr; p = p->parentWidget()) {
        if (qobject_cast<const QStackedWidget*>(p->parentWidget()) != nullptr) return w.SSTab->indexOf(p);
    }
    return -1;
}

QString Caption(const QWidget* w) {
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text();
    if (auto* g = qobject_cast<const QGroupBox*>(w)) return g->title();
    if (auto* l = qobject_cast<const QLabel*>(w)) return l->text();
    if (auto* e = qobject_cast<const QLineEdit*>(w)) return e->text();
    return QString();
}

bool Checked(const QWidget* w) {
    auto* b = qobject_cast<const QAbstractButton*>(w);
    return b != nullptr && b->isChecked();
}

enum Kind { Empty, EngineBound, OwnIndex, Simple };

Kind KindOf(const ListPaneRef& pane) {
    if (!pane) return Empty;
    if (dynamic_cast<clsVL2*>(pane.get())) return EngineBound;
    if (dynamic_cast<clsVirtualListview*>(pane.get())) return OwnIndex;
    if (dynamic_cast<clsList*>(pane.get())) return Simple;
    return Empty;
}

}  // namespace

TEST(FrmMainDesign, EveryKindOfListHasItsSlot) {
    Panes p;
    ASSERT_TRUE(p.built);
    struct Row {
        int slot;
        Kind kind;
        const char* name;
    };
    const Row rows[] = {
        {0, EngineBound, "Left list"},      {1, EngineBound, "Right list"},
        {2, OwnIndex, "Merge List"},        {3, Empty, ""},
        {4, Simple, "Domains Country"},     {5, Simple, "Generic Domains"},
        {6, Simple, "Extensions to reject"}, {7, Simple, "Keywords to reject"},
        {8, OwnIndex, "Mail List"},         {9, Empty, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.slot);
        const ListPaneRef& pane = ListsCol[r.slot];
        EXPECT_EQ(KindOf(pane), r.kind);
        if (!pane) continue;
        EXPECT_EQ(pane->name, QString::fromLatin1(r.name));
        EXPECT_EQ(pane->LType, r.slot);
        EXPECT_EQ(pane->Frm, &p.w);
        EXPECT_NE(pane->MyError, nullptr);
        EXPECT_NE(pane->Interrupt, nullptr);
    }
    EXPECT_EQ(ListsCol[0], p.w.VL_left);
    EXPECT_EQ(ListsCol[1], p.w.VL_right);
    EXPECT_EQ(ListsCol[2], p.w.VL_file);
    EXPECT_EQ(ListsCol[8], p.w.VL_mail);
    EXPECT_EQ(p.w.VL_left->VListNb, 1);
    EXPECT_EQ(p.w.VL_right->VListNb, 2);

    struct Reference {
        int slot;
        ReportListView* list;
        QWidget* frame;
    };
    const Reference refs[] = {{4, p.w.LstDNCountry, p.w.FraEmailValidation},
                              {5, p.w.LstDNGeneric, p.w.FraEmailValidation},
                              {6, p.w.LstDNUser, p.w.FraEmailRejection},
                              {7, p.w.LstDNKeyword, p.w.FraKeywordRejection}};
    for (const Reference& r : refs) {
        SCOPED_TRACE(r.slot);
        EXPECT_EQ(ListsCol[r.slot]->List(), r.list);
        EXPECT_EQ(ListsCol[r.slot]->Frame, r.frame);
        // Header pictures come from ImgSort, numbered from 1.
        r.list->AddColumn();
        r.list->SetColumnIcon(0, 1);
        EXPECT_FALSE(r.list->headerItem()->icon(0).isNull());
    }
}

TEST(FrmMainDesign, ViewPanesStartEmptyWithTheirControlsDisabled) {
    Panes p;
    ASSERT_TRUE(p.built);
    FrmMain& w = p.w;
    struct Row {
        QLabel* count;
        QLabel* selected;
        QList<QWidget*> following;
    };
    const Row rows[] = {
        {w.LabCntLeft, w.LabSelLeft,
         {w.ComSLSave, w.ComSLDesAll, w.ChkMarkDupLeft, w.ChkMarkInvLeft, w.ChkMarkDelleft, w.ComSLInvSel,
          w.ComSLFind, w.ComSLSelAll, w.ComLClear}},
        {w.LabCntRight, w.LabSelRight,
         {w.ComSRSave, w.ComSRDesAll, w.ChkMarkDupRight, w.ChkMarkInvRight, w.ChkMarkDelRight, w.ComSRInvSel,
          w.ComSRFind, w.ComSRSelAll, w.ComRClear}},
        {w.LabCnt, w.LabSel,
         {w.ComRemSel, w.ComDesAll, w.ComBigMerge, w.ComSelectStructure, w.ComInvSel, w.ChkCntRec, w.ChkCntInvDup,
          w.ComSelAll}},
        {w.LabMailCnt, w.LabMailSel,
         {w.ComMailDeselectAll, w.ComMailSave, w.ComMailDel, w.ComMailInverse, w.ComSelCri, w.ComMailClear,
          w.ComMailSelectAll}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.count->objectName().toStdString());
        EXPECT_EQ(r.count->text(), QStringLiteral("0 object(s)"));
        EXPECT_EQ(r.selected->text(), QStringLiteral("0 selected"));
        for (QWidget* c : r.following) EXPECT_FALSE(c->isEnabled()) << c->objectName().toStdString();
    }
    // The buttons in no group are left as they were.
    for (QWidget* c : {static_cast<QWidget*>(w.ComSLImp), static_cast<QWidget*>(w.ComSRImp),
                       static_cast<QWidget*>(w.ComAddFiles)})
        EXPECT_TRUE(c->isEnabled()) << c->objectName().toStdString();
}

TEST(FrmMainDesign, ColumnsAndHeaderPicturesOfTheViewPanes) {
    Panes p;
    ASSERT_TRUE(p.built);
    struct Column {
        const char* caption;
        int width;
        int factor;
        int icon;
    };
    const QList<Column> workspace = {{"", 24, 0, 0},  {"User", 0, 2, 0},  {"Domain", 0, 2, 0}, {"", 16, 0, -1},
                                     {"", 16, 0, -1}, {"", 16, 0, -1}, {"", 16, 0, -1}};
    struct Row {
        clsVirtualListview* pane;
        QList<Column> columns;
    };
    const Row rows[] = {
        {p.w.VL_left.get(), workspace},
        {p.w.VL_right.get(), workspace},
        {p.w.VL_file.get(),
         {{"", 24, 0, 0},
          {"Name", 0, 5, 0},
          {"Path", 0, 5, 0},
          {"Rec", 0, 2, 0},
          {"Inv", 0, 2, 0},
          {"Dup", 0, 2, 0},
          {"Size", 0, 2, 0}}},
        {p.w.VL_mail.get(),
         {{"", 25, 0, 0},
          {"", 16, 0, -1},
          {"", 16, 0, -1},
          {"Sender name", 0, 7, 0},
          {"Email address", 0, 8, 0},
          {"Subject", 0, 11, 0},
          {"Date", 0, 6, 0},
          {"Size", 0, 3, 0}}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.pane->name.toStdString());
        OwnerDataListView* list = r.pane->ListWindow();
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(r.pane->GetColumnCount(), r.columns.size());
        EXPECT_EQ(r.pane->GetCnt(), 0);
        for (int c = 0; c < r.columns.size(); ++c) {
            const Column& col = r.columns[c];
            SCOPED_TRACE(c);
            EXPECT_EQ(r.pane->GetColumnName(c), QString::fromLatin1(col.caption));
            EXPECT_EQ(r.pane->GetColumnFactor(c + 1), col.factor);  // numbered from 1
            EXPECT_EQ(list->HeaderItemImage(c), col.icon);
            if (col.factor == 0) {
                EXPECT_EQ(list->ColumnWidthOf(c), col.width);
            }
        }
        // The shared columns split the free width by their factors.
        for (int a = 0; a < r.columns.size(); ++a) {
            for (int b = a + 1; b < r.columns.size(); ++b) {
                const int fa = r.columns[a].factor, fb = r.columns[b].factor;
                if (fa == 0 || fb == 0) continue;
                EXPECT_LE(std::abs(list->ColumnWidthOf(a) * fb - list->ColumnWidthOf(b) * fa), fa + fb)
                    << a << " and " << b;
            }
        }
    }
}

TEST(FrmMainDesign, ControlsOfTheTabs) {
    FrmMain w;
    struct Row {
        const char* name;
        const char* className;
        int tab;
        const char* caption;
        bool enabled;
        bool checked;
    };
    const Row rows[] = {
        // "Manage Lists"
        {"FraLeft", "QGroupBox", 0, " Left List ", true, false},
        {"PicVLleft", "PictureBox", 0, "", true, false},
        {"LabCntLeft", "QLabel", 0, "object(s)", true, false},
        {"LabSelLeft", "QLabel", 0, "selected", true, false},
        {"ComSLImp", "QPushButton", 0, "Import", true, false},
        {"ComSLSave", "QPushButton", 0, "Save", true, false},
        {"ComViewLeft", "QPushButton", 0, "Results", false, false},
        {"ComSLFind", "QPushButton", 0, "Find", true, false},
        {"ComSLSelAll", "QPushButton", 0, "Select All", true, false},
        {"ComSLDesAll", "QPushButton", 0, "Deselect All", true, false},
        {"ComSLInvSel", "QPushButton", 0, "Invert", true, false},
        {"ComLClear", "QPushButton", 0, "Clear", true, false},
        {"ChkMarkInvLeft", "QCheckBox", 0, "Flag invalid entries", true, false},
        {"ChkMarkDupLeft", "QCheckBox", 0, "Flag duplicate entries", true, false},
        {"ChkMarkDelleft", "QCheckBox", 0, "Flag selected entries as deleted", true, false},
        {"FraRight", "QGroupBox", 0, " Right List ", true, false},
        {"PicVLright", "PictureBox", 0, "", true, false},
        {"LabCntRight", "QLabel", 0, "object(s)", true, false},
        {"LabSelRight", "QLabel", 0, "selected", true, false},
        {"ComSRImp", "QPushButton", 0, "Import", true, false},
        {"ComSRSave", "QPushButton", 0, "Save", true, false},
        {"ComViewRight", "QPushButton", 0, "Results", false, false},
        {"ComSRFind", "QPushButton", 0, "Find", true, false},
        {"ComSRSelAll", "QPushButton", 0, "Select All", true, false},
        {"ComSRDesAll", "QPushButton", 0, "Deselect All", true, false},
        {"ComSRInvSel", "QPushButton", 0, "Invert", true, false},
        {"ComRClear", "QPushButton", 0, "Clear", true, false},
        {"ChkMarkInvRight", "QCheckBox", 0, "Flag invalid entries", true, false},
        {"ChkMarkDupRight", "QCheckBox", 0, "Flag duplicate entries", true, false},
        {"ChkMarkDelRight", "QCheckBox", 0, "Flag selected entries as deleted", true, false},
        {"FraCompare", "QGroupBox", 0, " Compare the two lists ", true, false},
        {"ComCompare", "QPushButton", 0, "Compare", true, false},
        {"OptCmpCom", "QRadioButton", 0, "Select common entries", true, true},
        {"OptCmpDif", "QRadioButton", 0, "Select different entries", true, false},
        {"FraSMerge", "QGroupBox", 0, " Merge the two lists ", true, false},
        {"ComSMerge", "QPushButton", 0, "Merge to file", true, false},
        {"ChkMergeSelect", "QCheckBox", 0, "Selected entries only", true, false},
        // "Merge Multiple Lists"
        {"FraMerge", "QGroupBox", 1, " List of files to be merged ", true, false},
        {"PicVLfile", "PictureBox", 1, "", true, false},
        {"LabCnt", "QLabel", 1, "object(s)", true, false},
        {"LabSel", "QLabel", 1, "selected", true, false},
        {"ComAddFiles", "QPushButton", 1, "Add File(s)", true, false},
        {"ComSelectStructure", "QPushButton", 1, "Select separators", true, false},
        {"ComSelAll", "QPushButton", 1, "Select All", true, false},
        {"ComDesAll", "QPushButton", 1, "Deselect All", true, false},
        {"ComInvSel", "QPushButton", 1, "Invert", true, false},
        {"ComRemSel", "QPushButton", 1, "Remove", true, false},
        {"ComBigMerge", "QPushButton", 1, "Merge", true, false},
        {"ChkCntRec", "QCheckBox", 1, "Display Records Count", true, false},
        {"ChkCntInvDup", "QCheckBox", 1, "Display Invalid and Duplicate Email Count", true, false},
        // "Address Validation"
        {"FraEmailValidation", "QGroupBox", 2, " Valid Domain extensions ", true, false},
        {"LstDNCountry", "ReportListView", 2, "", true, false},
        {"LstDNGeneric", "ReportListView", 2, "", true, false},
        {"ComEditCountry", "QPushButton", 2, "Edit", true, false},
        {"ComEditGeneric", "QPushButton", 2, "Edit", true, false},
        {"FraEmailRejection", "QGroupBox", 2, "Domain extensions to reject ", true, false},
        {"LstDNUser", "ReportListView", 2, "", true, false},
        {"ComEditUser", "QPushButton", 2, "Edit", true, false},
        {"FraKeywordRejection", "QGroupBox", 2, " Keywords to reject ", true, false},
        {"LstDNKeyword", "ReportListView", 2, "", true, false},
        {"ComEditKeyword", "QPushButton", 2, "Edit", true, false},
        {"FraEmailBlackList", "QGroupBox", 2, " Black Listed Email addresses ", true, false},
        {"Label3", "QLabel", 2, "Black List File", true, false},
        {"TxtBlkFile", "QLineEdit", 2, "", true, false},
        {"ComBlkFileFind", "QPushButton", 2, "...", true, false},
        {"ComBlkFileStruct", "QPushButton", 2, "S", false, false},
        {"ComBlkFileEdit", "QPushButton", 2, "E", false, false},
        // "Mail Accounts"
        {"FraMailbox", "QGroupBox", 3, " Account ", true, false},
        {"CboUserName", "QComboBox", 3, "", true, false},
        {"ComMailbox", "QPushButton", 3, "Manage Accounts", true, false},
        {"ComMailGet", "QPushButton", 3, "Retrieve mails", false, false},
        {"OptEmailHdr", "QRadioButton", 3, "Get email header only ", true, true},
        {"OptEmailCon", "QRadioButton", 3, "Get email content n first lines :", true, false},
        {"TxtLines", "QLineEdit", 3, "25", false, false},
        {"OptEmailFul", "QRadioButton", 3, "Get full email content", true, false},
        {"ChkTrace", "QCheckBox", 3, "Trace POP3 connection", true, false},
        {"ChkVerbose", "QCheckBox", 3, "Verbose", false, false},
        {"CboRules", "QComboBox", 3, "", true, false},
        {"ComKeyword", "QPushButton", 3, "Manage Criteria Set(s)", true, false},
        {"FraMail", "QGroupBox", 3, " List of message(s) in POP3 server account ", true, false},
        {"PicVLmail", "PictureBox", 3, "", true, false},
        {"LabMailCnt", "QLabel", 3, "object(s)", true, false},
        {"LabMailSel", "QLabel", 3, "selected", true, false},
        {"ComMailSelectAll", "QPushButton", 3, "Select All", true, false},
        {"ComMailDeselectAll", "QPushButton", 3, "Deselect All", true, false},
        {"ComMailInverse", "QPushButton", 3, "Invert", true, false},
        {"ComSelCri", "QPushButton", 3, "Select based on criteria", true, false},
        {"ComMailSave", "QPushButton", 3, "Save selected email addresses", true, false},
        {"ComMailDel", "QPushButton", 3, "Delete selection", true, false},
        {"ComMailClear", "QPushButton", 3, "Clear All", true, false},
        {"LabMsgHeader", "QLabel", 3, "Message header source", true, false},
        {"TxtHeader", "RichTextBox", 3, "", true, false},
        {"LabMsgContent", "QLabel", 3, "Message content source", true, false},
        {"TxtContent", "RichTextBox", 3, "", true, false},
        {"ComSaveHeader", "QPushButton", 3, "Save Header", false, false},
        {"ComSaveContent", "QPushButton", 3, "Save Content", false, false},
        {"ComHighLight", "QPushButton", 3, "Highlight", false, false},
        // "Console"
        {"FraErrConsole", "QGroupBox", 4, " Error Console ", true, false},
        {"TxtErrors", "RichTextBox", 4, "", true, false},
        {"ComClearErrConsole", "QPushButton", 4, "Clear", true, false},
        {"ComSaveErrConsole", "QPushButton", 4, "Save to File", false, false},
        {"ChkErrPrompt", "QCheckBox", 4, "Prompt for Save on exit", true, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        auto* c = w.findChild<QWidget*>(QString::fromLatin1(r.name));
        ASSERT_NE(c, nullptr);
        EXPECT_STREQ(c->metaObject()->className(), r.className);
        EXPECT_EQ(TabOf(w, c), r.tab);
        EXPECT_EQ(Caption(c), QString::fromLatin1(r.caption));
        EXPECT_EQ(c->isEnabled(), r.enabled);
        EXPECT_EQ(Checked(c), r.checked);
    }
    const QString tabs[] = {QStringLiteral("Manage Lists"), QStringLiteral("Merge Multiple Lists"),
                            QStringLiteral("Address Validation"), QStringLiteral("Mail Accounts"),
                            QStringLiteral("Console")};
    ASSERT_EQ(w.SSTab->count(), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(w.SSTab->tabText(i), tabs[i]);
    EXPECT_EQ(w.ComBlkFileFind->toolTip(), QStringLiteral("Select a file"));
    EXPECT_EQ(w.ComBlkFileStruct->toolTip(), QStringLiteral("Select file structure parameters"));
    EXPECT_EQ(w.ComBlkFileEdit->toolTip(), QStringLiteral("Edit file"));
    for (IntervalTimer* t : {w.TmrPOP31, w.TmrPOP32}) {
        EXPECT_EQ(t->Interval(), 60000);
        EXPECT_FALSE(t->Enabled());
    }
}

TEST(FrmMainDesign, OptionGroupsChooseOneAtATime) {
    FrmMain w;
    struct Row {
        QRadioButton* chosen;
        QList<QRadioButton*> others;
    };
    const Row rows[] = {{w.OptCmpDif, {w.OptCmpCom}},
                        {w.OptEmailCon, {w.OptEmailHdr, w.OptEmailFul}},
                        {w.OptEmailFul, {w.OptEmailHdr, w.OptEmailCon}}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.chosen->objectName().toStdString());
        r.chosen->click();
        EXPECT_TRUE(r.chosen->isChecked());
        for (QRadioButton* o : r.others) EXPECT_FALSE(o->isChecked());
    }
    // The two groups are independent.
    EXPECT_TRUE(w.OptCmpDif->isChecked());
}

TEST(FrmMainDesign, EveryControlOfTheTabsLiesInsideItsContainerAndHasALayoutTag) {
    FrmMain w;
    w.IsResizing = true;
    ASSERT_TRUE(w.InitResizerObj());
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    for (int tab = 0; tab < w.SSTab->count(); ++tab) {
        w.SSTab->setCurrentIndex(tab);
        QWidget* page = w.SSTab->widget(tab);
        for (QWidget* c : page->findChildren<QWidget*>()) {
            const QString name = c->objectName();
            if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) || !c->parentWidget()) continue;
            if (c->parentWidget() != page && qobject_cast<QGroupBox*>(c->parentWidget()) == nullptr) continue;
            SCOPED_TRACE(name.toStdString());
            EXPECT_EQ(c->property("Tag").toString().size(), 8);
            EXPECT_TRUE(c->parentWidget()->rect().contains(c->geometry()))
                << "in " << c->parentWidget()->objectName().toStdString();
        }
    }
}

TEST(FrmMainDesign, TheFirstResizeAfterLoadLaysNothingOutTheSecondDoes) {
    FrmMain w;
    w.IsResizing = true;  // as the load sets it first
    ASSERT_TRUE(w.InitResizerObj());
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QCoreApplication::processEvents();
    EXPECT_FALSE(w.IsResizing);
    const QSize host = w.PicVLleft->size();
    const QSize frame = w.FraMerge->size();

    // Load once more: the next resize only clears the flag.
    w.IsResizing = true;
    w.resize(w.size() + QSize(40, 40));
    QCoreApplication::processEvents();
    EXPECT_FALSE(w.IsResizing);
    EXPECT_TRUE(w.SSTab->isVisible());
    EXPECT_EQ(w.PicVLleft->size(), host);

    // The next one lays out the whole growth since the last layout.
    w.resize(w.size() + QSize(40, 40));
    QCoreApplication::processEvents();
    EXPECT_EQ(w.PicVLleft->size(), host + QSize(40, 80));  // half the width: two panes share it
    EXPECT_EQ(w.FraMerge->size(), frame + QSize(80, 80));
    EXPECT_TRUE(w.SSTab->isVisible());
    EXPECT_FALSE(w.IsResizing);
}

TEST(FrmMainDesign, ResizingKeepsTheFocusAndNeverGoesBelowTheDesignedSize) {
    FrmMain w;
    ASSERT_TRUE(w.InitResizerObj());
    const QSize designed = w.size();
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.SSTab->setCurrentIndex(4);
    w.TxtErrors->setFocus();
    QCoreApplication::processEvents();
    ASSERT_TRUE(w.TxtErrors->hasFocus());
    w.resize(w.size() + QSize(30, 30));
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.TxtErrors->hasFocus());
    w.resize(designed - QSize(100, 100));
    QCoreApplication::processEvents();
    EXPECT_EQ(w.size(), designed);
}

TEST(FrmMainDesign, AFailedPaneIsReportedAndEndsTheTable) {
    ListsCol.fill(nullptr);
    FrmMain w;
    ErrorObj()->LogScreen = &w;
    delete w.PicVLright;  // the right pane has no host to live in
    w.PicVLright = nullptr;
    EXPECT_FALSE(w.InitListsCol());
    EXPECT_EQ(KindOf(ListsCol[0]), EngineBound);
    // The pane being built is held by the window, not put in the table.
    EXPECT_NE(w.VL_right, nullptr);
    for (int slot = 1; slot < ListsColSize; ++slot) EXPECT_EQ(ListsCol[slot], nullptr) << slot;
    EXPECT_EQ(w.VL_mail, nullptr);
    EXPECT_TRUE(w.TxtErrors->Text().contains(QStringLiteral("Error Initializing Lists Collection")));
    EXPECT_TRUE(w.TxtErrors->Text().contains(QStringLiteral("InitListsCol")));
    ListsCol.fill(nullptr);
}

TEST(FrmMainDesign, LoadedLeftListEnablesItsClearOnlyAndSelectionFollows) {
    Panes p;
    ASSERT_TRUE(p.built);
    FrmMain& w = p.w;
    const QString path = TestHarness::WriteFile(QStringLiteral("three.mal"), "a@x.com\nb@y.org\nc@z.net\n");
    ASSERT_EQ(YRB13(1, QFile::encodeName(path).constData(), 0, "", "\n"), 3);
    struct State {
        QWidget* control;
        bool enabled;
    };
    auto expect = [](const QList<State>& states) {
        for (const State& st : states)
            EXPECT_EQ(st.control->isEnabled(), st.enabled) << st.control->objectName().toStdString();
    };
    w.VL_left->SetCount(3);
    w.VL_left->SetAll();
    EXPECT_EQ(w.LabCntLeft->text(), QStringLiteral("3 object(s)"));
    expect({{w.ComLClear, true},
            {w.ComRClear, false},
            {w.ComSLSelAll, true},
            {w.ComSLSave, false},
            {w.ComSLDesAll, false},
            {w.ComSLFind, true},
            {w.ComSRFind, false}});

    w.VL_left->SelectAll();
    w.VL_left->SetAll();
    EXPECT_EQ(w.LabSelLeft->text(), QStringLiteral("3 selected"));
    expect({{w.ComSLSelAll, false}, {w.ComSLSave, true}, {w.ComSLDesAll, true}, {w.ComSRSave, false}});
    YRB20(1);
}

TEST(FrmMainDesign, HostFocusGoesToTheListWindow) {
    Panes p;
    ASSERT_TRUE(p.built);
    p.w.show();
    QApplication::setActiveWindow(&p.w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&p.w));
    struct Row {
        int tab;
        PictureBox* host;
        clsVirtualListview* pane;
    };
    const Row rows[] = {{0, p.w.PicVLleft, p.w.VL_left.get()},
                        {0, p.w.PicVLright, p.w.VL_right.get()},
                        {1, p.w.PicVLfile, p.w.VL_file.get()},
                        {3, p.w.PicVLmail, p.w.VL_mail.get()}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.host->objectName().toStdString());
        p.w.SSTab->setCurrentIndex(r.tab);
        r.host->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        EXPECT_TRUE(r.pane->hWnd()->hasFocus());
    }
}

TEST(FrmMainDesign, PanePicturesAreDistinctAndFillTheirLists) {
    struct Row {
        QPixmap (*picture)(int);
        int count;
    };
    const Row rows[] = {{&ListIcons::ItemPicture, ListIcons::kItemCount},
                        {&ListIcons::HeaderPicture, ListIcons::kHeaderCount}};
    for (const Row& r : rows) {
        QList<QImage> seen;
        for (int i = 0; i < r.count; ++i) {
            SCOPED_TRACE(i);
            const QImage image = r.picture(i).toImage();
            EXPECT_EQ(image.size(), QSize(16, 16));
            bool drawn = false;
            for (int y = 0; y < 16 && !drawn; ++y)
                for (int x = 0; x < 16 && !drawn; ++x) drawn = qAlpha(image.pixel(x, y)) != 0;
            EXPECT_TRUE(drawn);
            EXPECT_FALSE(seen.contains(image));
            seen.append(image);
        }
    }
    Panes p;
    ASSERT_TRUE(p.built);
    EXPECT_EQ(p.w.ItemImages->Count(), 12);
    EXPECT_EQ(p.w.HeaderImages->Count(), 3);
    ASSERT_EQ(p.w.ImgSort->Count(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(p.w.ImgSort->Image(i).toImage(), p.w.HeaderImages->Image(i).toImage()) << i;
}
