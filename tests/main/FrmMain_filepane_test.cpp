// The file pane: files added through the file dialog and described in the
// structure dialog, their records and invalid and duplicate entries counted
// by the engine, the totals; sorting, ticking and removing files.
#include <cstring>
#include <functional>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "FrmProcess.h"
#include "FrmStructure.h"
#include "ListDialogSeam.h"
#include "ListIcons.h"
#include "OwnerEnabler.h"
#include "PanelStatusBar.h"
#include "PopupMenuSeam.h"
#include "ProgramFolder.h"
#include "RichTextBox.h"
#include "Screen.h"
#include "StatusPanel.h"
#include "WorkspaceFixture.h"
#include "clsMergeFile.h"
#include "clsMonitor.h"
#include "clsVirtualListview.h"
#include "modDialog.h"
#include "modGlobalFunctionsForms.h"
#include "modRegistry.h"

namespace {

using TestHarness::Folder;
using TestHarness::WriteFile;

constexpr int32_t kIcon = OwnerDataListView::LVHT_ONITEMICON;
constexpr int32_t kLabel = OwnerDataListView::LVHT_ONITEMLABEL;
constexpr int32_t kStateIcon = OwnerDataListView::LVHT_ONITEMSTATEICON;
constexpr int16_t kLeft = modGlobalFunctions::kLeftButton;
constexpr int16_t kRight = modGlobalFunctions::kRightButton;
constexpr int kColumns = 7;
constexpr int kNameColumn = 1;
constexpr int kSizeColumn = 6;

// Address in column 2 of ";" fields.  CR LF: an invalid entry and a
// duplicate (case aside).  LF without a final separator: a duplicate.
const QByteArray kCrLf =
    "1;ann@mail.example.com;A\r\n2;bob@mail.example.com;B\r\n3;not-an-address;C\r\n4;Ann@Mail.example.com;D\r\n";
const QByteArray kLf = "7;cy@example.org;E\n8;dee@sample.org;F\n9;cy@example.org;G";

// The structure dialog set to ";" fields, LF records and column 2 (CR LF
// records then end in a CR that column 2 never holds).
void SemicolonLfColumn2(FrmStructure* d) {
    d->OptFldCol->click();
    d->OptRecLf->click();
    d->CboField->setCurrentIndex(1);
    d->ComDone->click();
}

// While it lives, the progress window is shown and its Cancel pressed when
// the engine names the given step for the given time.
class CancelInProgressWindow {
public:
    CancelInProgressWindow(FrmMain* form, const char* step, int time) : m_saved(modCallBack::EngineCallbackTable) {
        s_form = form;
        s_step = step;
        s_time = time;
        s_seen = 0;
        s_caption.clear();
        modCallBack::EngineCallbackTable.information = &Information;
        YRB07(&modCallBack::EngineCallbackTable);
    }
    ~CancelInProgressWindow() {
        s_step = nullptr;
        modCallBack::EngineCallbackTable = m_saved;
        YRB07(&modCallBack::EngineCallbackTable);
    }
    CancelInProgressWindow(const CancelInProgressWindow&) = delete;
    CancelInProgressWindow& operator=(const CancelInProgressWindow&) = delete;
    // The title of the window whose Cancel was pressed; "" when none was.
    static const QString& Caption() { return s_caption; }

private:
    static int32_t Information(const char* text) {
        if (s_step == nullptr || std::strcmp(text, s_step) != 0 || ++s_seen != s_time) return 0;
        s_form->TmrProgress_Timer();  // the delay is over
        const auto m = MonitorObj();
        if (m->MFrm.isNull()) return 0;
        s_caption = m->MFrm->windowTitle();
        QTest::mouseClick(m->MFrm->ComCancel, Qt::LeftButton);
        return 0;
    }
    static inline FrmMain* s_form = nullptr;
    static inline const char* s_step = nullptr;
    static inline int s_time = 0;
    static inline int s_seen = 0;
    static inline QString s_caption;
    YRB_CallbackTable m_saved;
};

class FilePane : public WorkspaceTest {
protected:
    void TearDown() override {
        ListDialogSeam::Install(nullptr);
        modDialog::InstallChooser(nullptr);
        PopupMenuSeam::Install(nullptr);
        WorkspaceTest::TearDown();
        YRB20(3);
    }
    // The file dialog answers the paths (none: cancelled); the structure
    // dialog runs the script, or is closed when there is none.
    void Answer(const QStringList& paths, std::function<void(FrmStructure*)> structure = nullptr) {
        requests.clear();
        structures = 0;
        modDialog::InstallChooser([this, paths](const modDialog::FileDialogRequest& r) {
            requests.append(r);
            return paths;
        });
        ListDialogSeam::Install([this, structure](QDialog* dialog) {
            auto* d = qobject_cast<FrmStructure*>(dialog);
            ASSERT_NE(d, nullptr);
            ++structures;
            if (structure)
                structure(d);
            else
                d->close();
        });
    }
    void Add(const QStringList& paths, std::function<void(FrmStructure*)> structure = nullptr) {
        Answer(paths, structure);
        w->ComAddFiles->click();
    }
    clsVirtualListview* Pane() const { return w->VL_file.get(); }
    int32_t RowCount() const { return Pane()->ListWindow()->ItemCount(); }
    QString Cell(int32_t item, int column) const {
        QString text;
        emit Pane()->ItemTextCallback(item, column, text);
        return text;
    }
    // Each row's cells from "Name" to "Size", the test folder shown as "~".
    QStringList Rows() const {
        QStringList rows;
        for (int32_t r = 0; r < RowCount(); ++r) {
            QStringList cells;
            for (int c = 1; c < kColumns; ++c) cells << Cell(r, c);
            rows << cells.join('|').replace(Folder(), QStringLiteral("~"));
        }
        return rows;
    }
    QStringList Names() const {
        QStringList names;
        for (int32_t r = 0; r < RowCount(); ++r) names << Cell(r, kNameColumn);
        return names;
    }
    QList<bool> Ticks() const {
        QList<bool> ticks;
        for (int32_t r = 1; r <= RowCount(); ++r) ticks << Pane()->GetCheckState(r);
        return ticks;
    }
    QList<int> Headers() const {
        QList<int> icons;
        for (int c = 0; c < kColumns; ++c) icons << Pane()->ListWindow()->HeaderItemImage(c);
        return icons;
    }
    QString Console() const { return w->TxtErrors->Text(); }
    QString Panel1() const { return w->StatusBar->Panel(1)->Text(); }
    void ExpectClosed() const {
        EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
        EXPECT_EQ(Screen::Instance()->MousePointer(), Screen::kDefaultPointer);
    }
    QList<modDialog::FileDialogRequest> requests;
    int structures = 0;
};

QString Bytes(const QByteArray& content) { return QString::number(content.size()) + QStringLiteral(" B"); }

// A new user's road: add two files (an empty one refused), describe them,
// tick both counters, untick them again.
TEST_F(FilePane, AddsDescribesAndCountsFiles) {
    const QString empty = WriteFile("in/empty.txt", "");
    const QString crlf = WriteFile("in/crlf.txt", kCrLf);
    const QString lf = WriteFile("in/lf.txt", kLf);
    TestHarness::AnswerMessages({MsgBoxButton::Ok});
    Add({empty, crlf, lf}, SemicolonLfColumn2);

    ASSERT_EQ(requests.size(), 1);
    const modDialog::FileDialogRequest& r = requests[0];
    EXPECT_EQ(r.Title, QStringLiteral("Select Mail Address List File(s)"));
    EXPECT_EQ(r.OkCaption, QStringLiteral("Add"));
    EXPECT_EQ(r.CancelCaption, QStringLiteral("Cancel"));
    EXPECT_TRUE(r.Multiple);
    EXPECT_EQ(r.DefExt, QStringLiteral("mal"));
    EXPECT_EQ(r.InitDir, ProgramFolder::Path());
    EXPECT_EQ(r.Filter, QStringLiteral("All Mail Address Files (*.mal, *.out, *.txt)|*.mal;*.out;*.txt|"
                                       "Mail Address List files (*.mal)|*.mal|Mail Address List files (*.out)|*.out|"
                                       "Text files (*.txt)|*.txt|All files (*.*)|*.*|"));
    ASSERT_EQ(TestHarness::AskedMessages().size(), 1);
    const MsgBoxRequest& m = TestHarness::AskedMessages()[0];
    EXPECT_EQ(m.message, QStringLiteral("The following file is empty and will not be selected\r\n\r\nempty.txt"));
    EXPECT_EQ(m.Title, QStringLiteral("Empty File 'empty.txt'"));
    EXPECT_EQ(m.IconNb, MsgBoxIcon::Error);

    EXPECT_EQ(structures, 1);
    EXPECT_EQ(w->MergeDesc.NameSrc, crlf) << "the structure of the file in row 1";
    EXPECT_EQ(w->MergeDesc.ColNbr, 2);
    EXPECT_EQ(w->MergeDesc.RecordSep(), QStringLiteral("\n"));
    EXPECT_EQ(Rows(), QStringList({"crlf.txt|~/in/|-|-|-|" + Bytes(kCrLf), "lf.txt|~/in/|-|-|-|" + Bytes(kLf)}));
    EXPECT_EQ(w->TotalsText, QStringLiteral("Totals : 0KB"));
    EXPECT_EQ(w->LabCnt->text(), QStringLiteral("2 object(s)"));
    EXPECT_EQ(modRegistry::GetSetting("WrkDir", "-"), Folder() + "/in/");

    struct Step {
        QCheckBox* box;
        QStringList counts;  // rec|inv|dup of each row
        const char* totals;
        const char* dspRec;
        const char* dspInvDup;
    } steps[] = {
        {w->ChkCntRec, {"4|-|-", "3|-|-"}, "Totals : 7 records, 0KB", "1", "-"},
        {w->ChkCntInvDup, {"4|1|1", "3|0|1"}, "Totals : 7 records, 1 invalids, 2 duplicates, 0KB", "1", "1"},
        {w->ChkCntInvDup, {"4|-|-", "3|-|-"}, "Totals : 7 records, 0KB", "1", "0"},
        {w->ChkCntRec, {"-|-|-", "-|-|-"}, "Totals : 0KB", "0", "0"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.totals);
        ASSERT_TRUE(s.box->isEnabled());
        s.box->click();
        QStringList counts;
        for (const QString& row : Rows()) counts << row.section('|', 2, 4);
        EXPECT_EQ(counts, s.counts);
        EXPECT_EQ(w->TotalsText, QLatin1String(s.totals));
        EXPECT_EQ(Panel1(), QLatin1String(s.totals));
        EXPECT_EQ(modRegistry::GetSetting("DspRec", "-"), QLatin1String(s.dspRec));
        EXPECT_EQ(modRegistry::GetSetting("DspInvDup", "-"), QLatin1String(s.dspInvDup));
        ExpectClosed();
    }
    EXPECT_EQ(Console(), QString());
    EXPECT_EQ(YRB14(3), 1) << "the scratch list is freed";
}

// The files a structure step counts: an add counts what it added, unless
// its dialog changed the structure; "Select separators" counts every file.
TEST_F(FilePane, CountsFollowTheStructureInEffect) {
    w->ChkCntRec->setChecked(true);
    const QString crlf = WriteFile("in/crlf.txt", kCrLf);
    const QString lf = WriteFile("in/lf.txt", kLf);
    Add({crlf, lf}, SemicolonLfColumn2);
    ASSERT_EQ(Names(), QStringList({"crlf.txt", "lf.txt"}));
    const QString more = WriteFile("in/more.txt", "5;eve@example.org;H\n6;fay@example.org;I\n");
    const QString two = WriteFile("in/two.txt", "1;a@example.org\r\n2;b@example.org\r\n");
    struct Case {
        const char* what;
        std::function<void()> act;
        QStringList records;  // by row
    } cases[] = {
        {"an add, structure kept: the new file only", [&] { Add({more}); }, {"99", "3", "2"}},
        {"Select separators: every file", [&] { w->ComSelectStructure->click(); }, {"4", "3", "2"}},
        {"an add that changes the structure: every file", [&] {
             Add({two}, [](FrmStructure* d) {
                 d->OptRecCrLf->click();
                 d->ComDone->click();
             });
         },
         {"4", "1", "1", "2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MergeFiles()[0]->nbRec = 99;  // a count the step must leave or redo
        c.act();
        QStringList records;
        for (int32_t r = 0; r < RowCount(); ++r) records << Cell(r, 3);
        EXPECT_EQ(records, c.records);
    }
    EXPECT_EQ(Console(), QString());
}

// The ways an add refuses paths, and what it changes then.
TEST_F(FilePane, AddEdgeCases) {
    const QString good = WriteFile("in/good.txt", "a@example.org\r\n");
    const QString empty1 = WriteFile("in/e1.txt", "");
    const QString empty2 = WriteFile("in/e2.txt", "");
    QDir().mkpath(Folder() + "/in/sub");
    const QString in = Folder() + "/in/";
    const QString unchanged = QStringLiteral("/nowhere/");
    struct Case {
        const char* what;
        QStringList paths;
        int messages;         // empty-file messages answered
        QStringList names;    // the pane's rows after the add
        int structures;       // structure dialogs shown
        QString wrkDir;       // the setting afterwards
        QStringList console;  // reports expected on the console
    } cases[] = {
        {"file dialog cancelled", {}, 0, {}, 0, unchanged, {}},
        {"only empty files: no structure step, no failure", {empty1, empty2}, 2, {}, 0, in, {}},
        {"the same file twice: two rows", {good, good}, 0, {"good.txt", "good.txt"}, 1, in, {}},
        {"a missing file and a folder reported, the good file taken",
         {in + "missing.txt", in + "sub", good},
         0,
         {"good.txt"},
         1,
         in,
         {in + "missing.txt is not present", in + "sub is not a file"}},
        {"a name without its folder", {"rel.txt"}, 0, {}, 0, "", {"Invalid filename : rel.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MergeFiles().clear();
        Pane()->SetCount(0);
        w->TxtErrors->SetText(QString());
        modRegistry::SetSetting("WrkDir", unchanged);
        QList<int> answers;
        for (int i = 0; i < c.messages; ++i) answers << MsgBoxButton::Ok;
        TestHarness::AnswerMessages(answers);
        const auto asked = TestHarness::AskedMessages().size();
        Add(c.paths);
        EXPECT_EQ(TestHarness::AskedMessages().size() - asked, c.messages);
        EXPECT_EQ(Names(), c.names);
        EXPECT_EQ(structures, c.structures);
        EXPECT_EQ(modRegistry::GetSetting("WrkDir", "-"), c.wrkDir);
        for (const QString& report : c.console) EXPECT_TRUE(Console().contains(report)) << report.toStdString();
        if (c.console.isEmpty()) {
            EXPECT_EQ(Console(), QString());
        }
        ExpectClosed();
    }
}

// Cancel in the progress window of the invalid/duplicate pass, while the
// engine looks for the invalid entries of the second file.
TEST_F(FilePane, CancelStopsTheInvalidAndDuplicatePass) {
    QByteArray big;
    for (int i = 0; i < 30000; ++i) big += "user" + QByteArray::number(i) + "@example.org\r\n";
    const QString first = WriteFile("in/first.txt", "a@example.org\r\na@example.org\r\nnobody\r\n");
    const QString large = WriteFile("in/large.txt", big);
    const QString last = WriteFile("in/last.txt", "z@example.org\r\n");
    Add({first, large, last}, [](FrmStructure* d) { d->ComDone->click(); });
    w->ChkCntRec->click();
    {
        const CancelInProgressWindow cancel(w.get(), "Looking for invalid entries", 2);
        w->ChkCntInvDup->click();
        EXPECT_EQ(CancelInProgressWindow::Caption(), QStringLiteral("Counting Invalid and Duplicate entries"));
    }
    EXPECT_EQ(Rows(), QStringList({"first.txt|~/in/|3|1|1|" + Bytes("a@example.org\r\na@example.org\r\nnobody\r\n"),
                                   "large.txt|~/in/|30000|-|-|" + QString::number(big.size() / 1024) + " KB",
                                   "last.txt|~/in/|1|-|-|15 B"}));
    EXPECT_EQ(MergeFiles()[1]->nbInv, -2) << "stopped";
    EXPECT_EQ(MergeFiles()[1]->nbDup, -1);
    const int64_t kb = (QFileInfo(first).size() + big.size() + QFileInfo(last).size()) / 1024;
    EXPECT_EQ(w->TotalsText,
              QStringLiteral("Totals : 30004 records, 1 invalids, 1 duplicates, %1KB").arg(kb));
    EXPECT_FALSE(InterruptObj()->Active);
    EXPECT_EQ(YRB14(3), 1);
    EXPECT_TRUE(MonitorObj()->MFrm.isNull()) << "the progress window is closed";
    ExpectClosed();
}

// Fixture of the view tests: four files of distinct sizes, names that sort
// differently with and without regard to case.
class FileView : public FilePane {
protected:
    void AddFour() {
        Add({WriteFile("v/b.txt", QByteArray(1536, 'b')), WriteFile("v/A.txt", QByteArray(1023, 'a')),
             WriteFile("v/c.txt", QByteArray(10, 'c')), WriteFile("v/D.txt", QByteArray(2048, 'd'))});
        ASSERT_EQ(Names(), QStringList({"b.txt", "A.txt", "c.txt", "D.txt"}));
    }
    void Click(int16_t button, int32_t item, int32_t column, int32_t flags) {
        emit Pane()->MouseDown(button, item, column, flags);
    }
    void Key(char key) { emit Pane()->KeyDown(key, true, false, false); }
    void Header(int column) { emit Pane()->ColumnClick(column); }
};

TEST_F(FileView, CellTexts) {
    AddFour();
    MergeFiles()[0]->nbRec = 0;
    MergeFiles()[0]->nbInv = -2;
    MergeFiles()[0]->nbDup = 12;
    EXPECT_EQ(Rows(), QStringList({"b.txt|~/v/|0|-|12|1 KB", "A.txt|~/v/|-|-|-|1023 B", "c.txt|~/v/|-|-|-|10 B",
                                   "D.txt|~/v/|-|-|-|2 KB"}));
    // Column 0 shows only the tick image; no row there, no text.
    EXPECT_EQ(Cell(0, 0), QString());
    EXPECT_EQ(Cell(4, 1), QString());
    int16_t image = 99;
    emit Pane()->ItemImageCallback(0, 0, image);
    EXPECT_EQ(image, ListIcons::kUnchecked);
    Pane()->SetCheckState(1, true);
    emit Pane()->ItemImageCallback(0, 0, image);
    EXPECT_EQ(image, ListIcons::kChecked);
    emit Pane()->ItemImageCallback(0, 1, image);
    EXPECT_EQ(image, -1);
}

// Header clicks: the direction rule, the header icons, and the order of
// each column.
TEST_F(FileView, SortsByTheClickedColumn) {
    AddFour();
    // Not counted ("-") and stopped counts sort before 0.
    const int32_t records[] = {0, -1, 5, -2};
    for (int i = 0; i < 4; ++i) MergeFiles()[i]->nbRec = records[i];
    constexpr int U = ListIcons::kUnsorted, A = ListIcons::kAscending, D = ListIcons::kDescending;
    struct Step {
        int column;
        QStringList names;
        QList<int> headers;
    } steps[] = {
        {kNameColumn, {"A.txt", "b.txt", "c.txt", "D.txt"}, {U, A, U, U, U, U, U}},
        {kNameColumn, {"D.txt", "c.txt", "b.txt", "A.txt"}, {U, D, U, U, U, U, U}},
        {kNameColumn, {"A.txt", "b.txt", "c.txt", "D.txt"}, {U, A, U, U, U, U, U}},
        {kSizeColumn, {"c.txt", "A.txt", "b.txt", "D.txt"}, {U, U, U, U, U, U, A}},
        {3, {"D.txt", "A.txt", "b.txt", "c.txt"}, {U, U, U, A, U, U, U}},
        {3, {"c.txt", "b.txt", "A.txt", "D.txt"}, {U, U, U, D, U, U, U}},
    };
    for (const Step& s : steps) {
        Header(s.column);
        EXPECT_EQ(Names(), s.names) << "column " << s.column;
        EXPECT_EQ(Headers(), s.headers) << "column " << s.column;
    }
    // Column 0 sorts by tick: unticked first, then last.
    Pane()->SetCheckState(1, true);
    Pane()->SetCheckState(3, true);
    Header(0);
    EXPECT_EQ(Ticks(), QList<bool>({false, false, true, true}));
    Header(0);
    EXPECT_EQ(Ticks(), QList<bool>({true, true, false, false}));
    EXPECT_EQ(Console(), QString());
    ExpectClosed();
}

// In the shown window, one quick click on a header sorts while another
// control has the focus; the list takes the focus and its current row
// stays on its file, the one "Select separators" describes.
TEST_F(FileView, OneHeaderClickSortsAndTheCurrentFileStays) {
    AddFour();
    w->SSTab->setCurrentIndex(1);
    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    OwnerDataListView* list = Pane()->ListWindow();
    QRect row;
    ASSERT_TRUE(list->GetItemRect(1, row));
    const QPoint name(list->horizontalHeader()->sectionViewportPosition(kNameColumn) + 4, row.center().y());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->viewport()->mapFrom(list, name));
    ASSERT_EQ(Names().value(Pane()->GetItem()), "A.txt");
    struct Step {
        QStringList names;
        int32_t current;
    } steps[] = {
        {{"c.txt", "A.txt", "b.txt", "D.txt"}, 1},
        {{"D.txt", "b.txt", "A.txt", "c.txt"}, 2},
        {{"c.txt", "A.txt", "b.txt", "D.txt"}, 1},
    };
    w->ComAddFiles->setFocus();
    int n = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << "click " << ++n);
        TestHarness::QuickHeaderClick(list, kSizeColumn);
        EXPECT_EQ(Names(), s.names);
        EXPECT_EQ(Pane()->GetItem(), s.current);
        EXPECT_EQ(FocusedRow(list), s.current);
        EXPECT_EQ(QApplication::focusWidget(), list);
    }
    EXPECT_EQ(Console(), QString());
}

TEST_F(FileView, AHeaderClickNeedsTwoFiles) {
    Header(kNameColumn);
    Add({WriteFile("v/one.txt", "x")});
    Header(kNameColumn);
    EXPECT_EQ(Headers(), QList<int>(kColumns, ListIcons::kUnsorted));
    ExpectClosed();
}

// Left clicks toggle a tick only on the icon of column 0.
TEST_F(FileView, ClicksTickOnlyOnTheTickIcon) {
    AddFour();
    struct Case {
        const char* what;
        int16_t button;
        int32_t column;
        int32_t flags;
        bool toggles;
    } cases[] = {
        {"icon of column 0", kLeft, 0, kIcon, true},
        {"label of column 0", kLeft, 0, kLabel, false},
        {"state icon of column 0", kLeft, 0, kStateIcon, false},
        {"icon and label", kLeft, 0, kIcon | kLabel, false},
        {"icon of column 1", kLeft, 1, kIcon, false},
        {"middle button", 4, 0, kIcon, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ThisList.reset();
        const bool before = Pane()->GetCheckState(3);
        Click(c.button, 2, c.column, c.flags);
        EXPECT_EQ(Pane()->GetCheckState(3), c.toggles ? !before : before);
        EXPECT_EQ(ThisList.get(), Pane()) << "every press sets ThisList";
    }
    EXPECT_EQ(Pane()->Item, 2);
    EXPECT_EQ(w->LabSel->text(), QStringLiteral("1 selected"));
    EXPECT_TRUE(w->ComRemSel->isEnabled());
    EXPECT_TRUE(w->ComBigMerge->isEnabled());
}

// The right-click menu offers the three selection entries; the Ctrl keys
// and the buttons tick, untick and invert every row.
TEST_F(FileView, MenuKeysAndButtonsTickEveryRow) {
    // An empty pane: no menu, and the keys change nothing.
    int menus = 0;
    PopupMenuSeam::Install([&](QMenu*) {
        ++menus;
        return nullptr;
    });
    Click(kRight, -1, 0, 0);
    for (char key : {'S', 'D', 'I'}) Key(key);
    EXPECT_EQ(menus, 0);
    EXPECT_EQ(RowCount(), 0);
    EXPECT_EQ(Console(), QString());

    AddFour();
    Pane()->SetCheckState(2, true);
    QList<QAction*> shown;
    QList<bool> enabled;
    PopupMenuSeam::Install([&](QMenu* menu) {
        for (QAction* a : menu->actions())
            if (a->isVisible() && !a->isSeparator()) {
                shown << a;
                enabled << a->isEnabled();
            }
        return w->M_Popup1Invert;
    });
    Click(kRight, 1, 2, kLabel);
    EXPECT_EQ(shown, QList<QAction*>({w->M_Popup1SelectAll, w->M_Popup1DeselectAll, w->M_Popup1Invert}));
    EXPECT_EQ(enabled, QList<bool>({true, true, true}));
    EXPECT_EQ(Ticks(), QList<bool>({true, false, true, true}));

    struct Step {
        std::function<void()> act;
        QList<bool> ticks;
    } steps[] = {
        {[&] { Key('D'); }, {false, false, false, false}},
        {[&] { Key('S'); }, {true, true, true, true}},
        {[&] { Key('I'); }, {false, false, false, false}},
        {[&] { emit Pane()->KeyDown('S', false, false, false); }, {false, false, false, false}},
        {[&] { w->ComInvSel->click(); }, {true, true, true, true}},
        {[&] { w->ComDesAll->click(); }, {false, false, false, false}},
        {[&] { w->ComSelAll->click(); }, {true, true, true, true}},
    };
    for (const Step& s : steps) {
        s.act();
        EXPECT_EQ(Ticks(), s.ticks);
    }
    EXPECT_EQ(w->LabSel->text(), QStringLiteral("4 selected"));
    EXPECT_FALSE(w->ComSelAll->isEnabled());
    EXPECT_EQ(Console(), QString());
}

// Remove takes exactly the ticked files, whatever the order shown, and
// puts the rest back in file-number order with no sorted column; an add
// does the same.
TEST_F(FileView, RemoveAndAddRebuildTheRows) {
    AddFour();
    struct Step {
        const char* what;
        std::function<void()> act;
        QStringList names;
    } steps[] = {
        {"Remove with nothing ticked",
         [&] {
             Header(kSizeColumn);
             w->ComRemSel_Click();
         },
         {"b.txt", "A.txt", "c.txt", "D.txt"}},
        {"Remove after a sort by name",
         [&] {
             Header(kNameColumn);  // A, b, c, D
             Click(kLeft, 1, 0, kIcon);
             Click(kLeft, 3, 0, kIcon);
             w->ComRemSel->click();
         },
         {"A.txt", "c.txt"}},
        {"an add after a sort",
         [&] {
             Header(kNameColumn);  // descending: c, A
             Click(kLeft, 0, 0, kIcon);
             Add({WriteFile("v/e.txt", "e")});
         },
         {"A.txt", "c.txt", "e.txt"}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.act();
        EXPECT_EQ(Names(), s.names);
        EXPECT_EQ(Ticks(), QList<bool>(s.names.size(), false));
        EXPECT_EQ(Headers(), QList<int>(kColumns, ListIcons::kUnsorted));
        for (int32_t r = 1; r <= RowCount(); ++r) EXPECT_EQ(Pane()->RevIdx(Pane()->Idx(r)), r);
    }
    EXPECT_EQ(w->TotalsText, QStringLiteral("Totals : 1KB")) << "1023 + 10 + 1 bytes";
    EXPECT_EQ(Console(), QString());
}

// Every cell's tooltip is the totals text, none before the first totals.
TEST_F(FileView, TooltipIsTheTotals) {
    QString tip = QStringLiteral("x");
    emit Pane()->ToolTip(0, 1, tip);
    EXPECT_EQ(tip, QString());
    AddFour();
    for (int column : {0, 3, 6}) {
        emit Pane()->ToolTip(2, column, tip);
        EXPECT_EQ(tip, QStringLiteral("Totals : 4KB"));
    }
}

// Sizes, their sums and the sort by size are 64-bit.
TEST_F(FileView, FilesAbove2GiB) {
    auto sparse = [](const char* name, qint64 size) {
        const QString path = WriteFile(name, QByteArray());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadWrite) && f.resize(size));
        return path;
    };
    constexpr qint64 kGiB = 1024LL * 1024 * 1024;
    Add({sparse("big/five.txt", 5 * kGiB), sparse("big/three.txt", 3 * kGiB), WriteFile("big/small.txt", "s")});
    EXPECT_EQ(Cell(0, kSizeColumn), QStringLiteral("5242880 KB"));
    EXPECT_EQ(Cell(1, kSizeColumn), QStringLiteral("3145728 KB"));
    EXPECT_EQ(w->TotalsText, QStringLiteral("Totals : 8388608KB"));
    Header(kSizeColumn);
    EXPECT_EQ(Names(), QStringList({"small.txt", "three.txt", "five.txt"}));
    EXPECT_EQ(Console(), QString());
}

}  // namespace
