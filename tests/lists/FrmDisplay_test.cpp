// The result display on small result files: which tabs it shows, the
// question before big files, the output list and its buttons, the invalid
// list's sort, "Edit" through the process seam, and no input while its
// owner is busy.
#include <functional>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidgetItem>

#include "FrmDisplay.h"
#include "ListTestSupport.h"
#include "OwnerEnabler.h"
#include "PanelStatusBar.h"
#include "ReportListView.h"
#include "RichTextBox.h"
#include "StatusPanel.h"
#include "modGlobalFunctionsFiles.h"
#include "modProcess.h"

namespace {

using TestHarness::Folder;
using TestHarness::WriteFile;

const QByteArray kSta = "Domain\tOccurrences\tPercentage\r\nmail.example\t2\t66.667 %\r\nz.org\t1\t33.333 %\r\n";
const QByteArray kDup = "Email Address\tOccurrences\r\na@mail.example\t3\r\n";
const QByteArray kInv = "Email Address\tRejection Reason\r\nb@x\tNo domain extension\r\nc\tNo @\r\na@y.zz\tUnknown\r\n";
const QByteArray kNone = "Email Address\tOccurrences\r\nNone\r\n";

// A report of exactly size bytes: its header, then rows.
QByteArray Sized(qsizetype size) {
    QByteArray b = "Domain\tOccurrences\r\n";
    while (b.size() < size) b += "a.example\t1\r\n";
    b.truncate(size);
    return b;
}

using TestHarness::Rows;

QStringList Columns(const ReportListView* view) {
    QStringList c;
    for (int col = 0; col < view->ColumnCount(); ++col) c << view->ColumnText(col);
    return c;
}

// The display as its callers set it up, over the files of "res/r.*".
class Display : public ListTest::DialogTest {
protected:
    void SetUp() override {
        ListTest::DialogTest::SetUp();
        QDir().mkpath(Folder() + "/res");
        desc.NameSrc = Folder() + "/res/r.txt";
        desc.NameSta = Folder() + "/res/r.sta";
        desc.NameDup = Folder() + "/res/r.dup";
        desc.NameInv = Folder() + "/res/r.inv";
        desc.NameOut = Folder() + "/res/r.out";
        d = new FrmDisplay(&owner.window);
        d->Form_Load();
        d->OwnerForm = &owner.window;
        d->CForm = &owner.window;
    }
    void TearDown() override {
        delete d.data();
        EditorPath.clear();
        ListTest::DialogTest::TearDown();
    }
    // Initialize, then the owner enabled again as the callers do.
    bool Show(const ResultKinds& kinds, bool* warn = nullptr) {
        const bool shown = d->Initialize(&desc, kinds, warn);
        if (shown) d->show();
        OwnerEnabler::SetEnabled(&owner.window, true);
        return shown;
    }
    QList<int> VisibleTabs() const {
        QList<int> tabs;
        for (int t = 0; t < d->SSTabDisplay->count(); ++t)
            if (d->SSTabDisplay->isTabVisible(t)) tabs << t;
        return tabs;
    }
    QStringList Outputs() const {
        QStringList e;
        for (int i = 0; i < d->CboOutput->count(); ++i) e << d->CboOutput->itemText(i).mid(Folder().size() + 5);
        return e;
    }
    QString PathPanel() const { return d->StbDisplay->Panel(2)->Text(); }

    ListTest::Console console;
    ListTest::Owner owner;
    clsEmailList desc;
    QPointer<FrmDisplay> d;
};

constexpr ResultKinds kAll = {.P_DoSta = true, .P_DoDup = true, .P_DoInv = true, .P_DoOut = true};

TEST_F(Display, TabsFollowTheFilesAskedForAndPresent) {
    struct Case {
        const char* name;
        QStringList files;    // under res/
        QStringList folders;  // under res/
        ResultKinds kinds;
        std::function<void(clsEmailList&)> names;
        bool shown;
        QList<int> tabs;
        int current;
        QStringList outputs;  // under res/, in the list's order
    } cases[] = {
        {"no file at all", {}, {}, kAll, {}, false, {}, -1, {}},
        {"files exist, none asked for", {"r.sta", "r.out"}, {}, {}, {}, false, {}, -1, {}},
        {"statistics only, other reports present",
         {"r.sta", "r.dup", "r.inv", "r.out"},
         {},
         {.P_DoSta = true},
         {},
         true,
         {0},
         0,
         {}},
        {"every kind", {"r.sta", "r.dup", "r.inv", "r.out"}, {}, kAll, {}, true, {0, 1, 2, 3}, 0, {"r.out"}},
        {"duplicates and split outputs; folders not listed",
         {"r.dup", "r_2.out", "r_I.out", "r_1.out", "other.out", "r.outx"},
         {"r_dir.out"},
         kAll,
         {},
         true,
         {1, 3},
         1,
         {"r_1.out", "r_2.out", "r_I.out"}},
        {"output without extension: its files in name order",
         {"list_I", "list_1", "list.txt", "list"},
         {"list_d"},
         {.P_DoOut = true},
         [](clsEmailList& l) { l.NameOut = Folder() + "/res/list"; },
         true,
         {3},
         3,
         {"list", "list.txt", "list_1", "list_I"}},
        {"an empty report is still a tab", {"r.inv:"}, {}, kAll, {}, true, {2}, 2, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(Folder() + "/res").removeRecursively();
        QDir().mkpath(Folder() + "/res");
        for (const QString& f : c.files) {
            const QString name = f.section(':', 0, 0);
            WriteFile("res/" + name, f.contains(':') ? QByteArray() : name.toLatin1() + "\r\n");
        }
        for (const QString& f : c.folders) QDir().mkpath(Folder() + "/res/" + f);
        clsEmailList saved = desc;
        if (c.names) c.names(desc);
        const bool shown = d->Initialize(&desc, c.kinds, nullptr);
        EXPECT_EQ(shown, c.shown);
        // Disabled by a successful Initialize, as found otherwise.
        EXPECT_EQ(OwnerEnabler::IsEnabled(&owner.window), !c.shown);
        OwnerEnabler::SetEnabled(&owner.window, true);
        if (c.shown) {
            EXPECT_EQ(VisibleTabs(), c.tabs);
            EXPECT_EQ(d->SSTabDisplay->currentIndex(), c.current);
            EXPECT_EQ(Outputs(), c.outputs);
        }
        desc = saved;
    }
    EXPECT_FALSE(d->Initialize(nullptr, kAll, nullptr));
    EXPECT_TRUE(console.Empty()) << console.text->Text().toStdString();
}

TEST_F(Display, ReportsFillTheirListsAndTabsTheStatusBar) {
    WriteFile("res/r.sta", kSta);
    WriteFile("res/r.dup", kNone);
    WriteFile("res/r.inv", kInv);
    WriteFile("res/r.out", "a@mail.example\r\nb@z.org");
    ASSERT_TRUE(Show(kAll));
    EXPECT_EQ(Columns(d->LstStat), QStringList({"Domain", "Occurrences", "Percentage"}));
    EXPECT_EQ(Rows(d->LstStat), QStringList({"mail.example|2|66.667 %", "z.org|1|33.333 %"}));
    EXPECT_EQ(d->LabStaCnt->text(), "2 object(s)");
    // A report of no duplicates holds one row, "None".
    EXPECT_EQ(Rows(d->LstDup), QStringList({"None|"}));
    EXPECT_EQ(d->LabDupCnt->text(), "1 object(s)");
    EXPECT_EQ(d->LabInvCnt->text(), "3 object(s)");
    EXPECT_EQ(d->RtbOutput->Text(), "a@mail.example\r\nb@z.org");

    struct Step {
        int tab;
        QString path;
        bool arrows;
    } steps[] = {{0, desc.NameSta, false}, {1, desc.NameDup, false}, {2, desc.NameInv, false}, {3, desc.NameOut, true}};
    for (const Step& s : steps) {
        d->SSTabDisplay->setCurrentIndex(s.tab);
        EXPECT_EQ(PathPanel(), s.path) << s.tab;
        EXPECT_EQ(d->ComPrv->isVisible(), s.arrows) << s.tab;
        EXPECT_EQ(d->ComNxt->isEnabled(), s.arrows) << s.tab;
    }
}

// Reports show each cell, the output each line, as UTF-8 where it is valid
// UTF-8, else as Latin-1; the output box keeps the file's bytes.
TEST_F(Display, ReportsAndOutputShownAsUtf8WhereValid) {
    WriteFile("res/r.dup", "Email Address\tOccurrences\r\nchlo\xc3\xa9@krak\xc3\xb3w.example\t2\r\nzo\xeb@a.example\t3\r\n");
    const QByteArray out = "chlo\xc3\xa9@a.example\r\nzo\xeb@a.example";
    WriteFile("res/r.out", out);
    ASSERT_TRUE(Show({.P_DoDup = true, .P_DoOut = true}));
    EXPECT_EQ(Rows(d->LstDup),
              QStringList({QStringLiteral("chlo\u00e9@krak\u00f3w.example|2"), QStringLiteral("zo\u00eb@a.example|3")}));
    EXPECT_EQ(d->RtbOutput->toPlainText(), QStringLiteral("chlo\u00e9@a.example\nzo\u00eb@a.example"));
    EXPECT_EQ(d->RtbOutput->Text(), QString::fromLatin1(out));
}

TEST_F(Display, ReopenedOnFewerFilesHidesTheirTabs) {
    WriteFile("res/r.sta", kSta);
    WriteFile("res/r.dup", kDup);
    ASSERT_TRUE(Show(kAll));
    ASSERT_EQ(VisibleTabs(), QList<int>({0, 1}));
    QFile::remove(desc.NameSta);
    ASSERT_TRUE(Show(kAll));
    EXPECT_EQ(VisibleTabs(), QList<int>({1}));
    EXPECT_EQ(d->SSTabDisplay->currentIndex(), 1);
    EXPECT_EQ(d->LstStat->ItemCount(), 0);
    EXPECT_EQ(d->LstStat->ColumnCount(), 0);
    EXPECT_EQ(PathPanel(), desc.NameDup);
}

TEST_F(Display, BigFileQuestion) {
    const QString logo = QStringLiteral("Big Results File(s)");
    struct Case {
        const char* name;
        QList<QPair<QString, qsizetype>> files;  // under res/
        bool warn;
        int answer;  // 0: no question expected
        QString message;
        bool shown;
        bool warnAfter;
    } cases[] = {
        {"exactly 102,400 bytes is not big", {{"r.sta", 102400}}, true, 0, "", true, true},
        {"102,401 bytes asks, singular",
         {{"r.sta", 102401}, {"r.dup", 100}},
         true,
         MsgBoxButton::Yes,
         "The following file is quite big :\r\n\r\nDomain statistics  (r.sta : 100KB)\r\n\r\n"
         "Displaying it might take a long time ! do you want to proceed anyway ?",
         true,
         true},
        {"two big files, plural; the output line names NameOut though only split files exist",
         {{"r.dup", 204800}, {"r_1.out", 307201}, {"r_2.out", 5000}},
         true,
         MsgBoxButton::No,
         "The following files are quite big :\r\n\r\nDuplicate list  (r.dup : 200KB)\r\n"
         "Output file  (r.out* : 300KB)\r\n\r\nDisplaying them might take a long time, do you want to proceed anyway ?",
         false,
         true},
        {"not warned", {{"r.inv", 500000}}, false, 0, "", true, false},
        {"do not prompt me next time, and No",
         {{"r.inv", 500000}},
         true,
         MsgBoxButton::No | MsgBoxButton::Option,
         "The following file is quite big :\r\n\r\nInvalid list  (r.inv : 488KB)\r\n\r\n"
         "Displaying it might take a long time ! do you want to proceed anyway ?",
         false,
         false},
        {"do not prompt me next time, and Yes",
         {{"r.inv", 500000}},
         true,
         MsgBoxButton::Yes | MsgBoxButton::Option,
         "The following file is quite big :\r\n\r\nInvalid list  (r.inv : 488KB)\r\n\r\n"
         "Displaying it might take a long time ! do you want to proceed anyway ?",
         true,
         false},
        // A box that closed itself answers -1: no Yes, no option ticked.
        {"no button pressed",
         {{"r.inv", 500000}},
         true,
         -1,
         "The following file is quite big :\r\n\r\nInvalid list  (r.inv : 488KB)\r\n\r\n"
         "Displaying it might take a long time ! do you want to proceed anyway ?",
         false,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(Folder() + "/res").removeRecursively();
        for (const auto& [name, size] : c.files) WriteFile("res/" + name, Sized(size));
        const qsizetype before = TestHarness::AskedMessages().size();
        if (c.answer != 0) TestHarness::AnswerMessages({c.answer});
        bool warn = c.warn;
        EXPECT_EQ(Show(kAll, &warn), c.shown);
        EXPECT_EQ(warn, c.warnAfter);
        const auto& asked = TestHarness::AskedMessages();
        ASSERT_EQ(asked.size() - before, c.answer != 0 ? 1 : 0);
        if (c.answer == 0) continue;
        const MsgBoxRequest& r = asked.back();
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.Title, logo);
        EXPECT_EQ(r.IconNb, MsgBoxIcon::Logo);
        EXPECT_EQ(r.Focus, 0);
        EXPECT_TRUE(r.ShowYes && r.ShowNo && !r.ShowOk && !r.ShowCancel && !r.ShowYesAll && !r.ShowNoAll);
        EXPECT_EQ(r.Choice, "Do not prompt me next time");
        EXPECT_EQ(r.CForm.data(), &owner.window);
        EXPECT_EQ(r.OForm.data(), &owner.window);
    }
}

TEST_F(Display, PreviousAndNextStopAtTheEnds) {
    WriteFile("res/r.out", "zero");
    WriteFile("res/r_1.out", "one");
    WriteFile("res/r_2.out", "two");
    ASSERT_TRUE(Show({.P_DoOut = true}));
    struct Step {
        QPushButton* FrmDisplay::*button;
        const char* shown;
    } steps[] = {{&FrmDisplay::ComPrv, "zero"}, {&FrmDisplay::ComNxt, "one"}, {&FrmDisplay::ComNxt, "two"},
                 {&FrmDisplay::ComNxt, "two"},  {&FrmDisplay::ComPrv, "one"}, {&FrmDisplay::ComPrv, "zero"},
                 {&FrmDisplay::ComPrv, "zero"}};
    EXPECT_EQ(d->RtbOutput->Text(), "zero");
    for (const Step& s : steps) {
        QTest::mouseClick(d->*s.button, Qt::LeftButton);
        EXPECT_EQ(d->RtbOutput->Text(), s.shown);
        EXPECT_TRUE(d->ComPrv->isEnabled() && d->ComNxt->isEnabled() && d->ComEdit->isEnabled());
    }
    EXPECT_EQ(PathPanel(), desc.NameOut);
}

TEST_F(Display, InvalidListOrderFlipsOnEveryHeaderClick) {
    WriteFile("res/r.inv", kInv);
    ASSERT_TRUE(Show(kAll));
    struct Click {
        int column;
        QStringList firstColumn;
    } clicks[] = {
        {0, {"c", "b@x", "a@y.zz"}},  // the first click sorts descending
        {0, {"a@y.zz", "b@x", "c"}},
        {1, {"a@y.zz", "b@x", "c"}},  // descending: Unknown, No domain extension, No @
        {1, {"c", "b@x", "a@y.zz"}},
    };
    for (const Click& c : clicks) {
        d->LstInv_ColumnClick(c.column);
        QStringList first;
        for (int i = 0; i < d->LstInv->ItemCount(); ++i) first << d->LstInv->Item(i)->text(0);
        EXPECT_EQ(first, c.firstColumn) << c.column;
    }
}

TEST_F(Display, EditOpensTheTabsFileAsOneArgument) {
    QDir().mkpath(Folder() + "/my results");
    desc.NameSta = Folder() + "/my results/list one.sta";
    desc.NameOut = Folder() + "/my results/list one.out";
    WriteFile("my results/list one.sta", kSta);
    WriteFile("my results/list one_1.out", "x");
    WriteFile("my results/list one_2.out", "y");
    ASSERT_TRUE(Show(kAll));
    EditorPath = QStringLiteral("\"/opt/my editor/ed\" --wait");
    QStringList calls;
    bool fail = false;
    modProcess::InstallRunner([&](const QString& program, const QStringList& arguments, QString* error) {
        calls << (QStringList{program} + arguments).join('|');
        if (!fail) return 3;
        *error = QStringLiteral("No such file or directory");
        return -1;
    });
    const QString ed = "/opt/my editor/ed|--wait|";
    struct Case {
        int tab;
        std::function<void()> before;
        QString expected;
    } cases[] = {
        {0, {}, ed + desc.NameSta},
        {3, {}, ed + Folder() + "/my results/list one_1.out"},
        {3, [&] { d->ComNxt->click(); }, ed + Folder() + "/my results/list one_2.out"},
        {3, [&] { d->CboOutput->setCurrentIndex(-1); }, ""},
    };
    for (const Case& c : cases) {
        d->SSTabDisplay->setCurrentIndex(c.tab);
        if (c.before) c.before();
        calls.clear();
        d->ComEdit->click();
        EXPECT_EQ(calls, c.expected.isEmpty() ? QStringList() : QStringList{c.expected}) << c.tab;
    }
    EXPECT_TRUE(console.Empty());
    // A start failure is reported; the window stays as it was.
    fail = true;
    d->SSTabDisplay->setCurrentIndex(0);
    d->ComEdit->click();
    EXPECT_TRUE(console.Has("'/opt/my editor/ed' could not be run : No such file or directory"));
    EXPECT_EQ(Rows(d->LstStat).size(), 2);
}

TEST_F(Display, NoInputWhileTheOwnerIsBusy) {
    WriteFile("res/r.out", "zero");
    WriteFile("res/r_1.out", "one");
    ASSERT_TRUE(Show(kAll));
    EditorPath = QStringLiteral("ed");
    int started = 0;
    modProcess::InstallRunner([&](const QString&, const QStringList&, QString*) {
        ++started;
        return 0;
    });
    // Long work of the owner disables it as the progress monitor does.
    OwnerEnabler::SetEnabled(&owner.window, false);
    EXPECT_FALSE(d->isEnabled());
    QTest::mouseClick(d->ComNxt, Qt::LeftButton);
    d->ComEdit->click();
    EXPECT_EQ(d->RtbOutput->Text(), "zero");
    EXPECT_EQ(started, 0);
    OwnerEnabler::SetEnabled(&owner.window, true);
    EXPECT_TRUE(d->isEnabled());
    QTest::mouseClick(d->ComNxt, Qt::LeftButton);
    d->ComEdit->click();
    EXPECT_EQ(d->RtbOutput->Text(), "one");
    EXPECT_EQ(started, 1);
}

TEST_F(Display, AVeryLargeOutputIsCutAndSaysSo) {
    const QByteArray line = "abcdefghij@example.org\r\n";
    QByteArray big;
    while (big.size() <= FrmDisplay::kOutputViewBytes) big += line;
    WriteFile("res/r.out", big);
    WriteFile("res/r_1.out", "small");
    ASSERT_TRUE(Show({.P_DoOut = true}));
    const qsizetype shown = (FrmDisplay::kOutputViewBytes / line.size()) * line.size();
    EXPECT_EQ(d->RtbOutput->Text().size(), shown);
    EXPECT_TRUE(d->RtbOutput->Text().endsWith("\r\n"));
    EXPECT_EQ(d->StbDisplay->Panel(1)->Text(),
              QStringLiteral("First %1 KB of %2 KB shown").arg(shown / 1024).arg(big.size() / 1024));
    d->ComNxt->click();
    EXPECT_EQ(d->RtbOutput->Text(), "small");
    EXPECT_EQ(d->StbDisplay->Panel(1)->Text(), QString());
}

TEST_F(Display, GrowsWithTheWindow) {
    WriteFile("res/r.dup", kDup);
    ASSERT_TRUE(Show(kAll));
    const QRect list = d->LstDup->geometry();
    const QRect edit = d->ComEdit->geometry();
    d->resize(d->width() + 150, d->height() + 90);
    QCoreApplication::processEvents();
    EXPECT_EQ(d->LstDup->width(), list.width() + 150);
    EXPECT_EQ(d->LstDup->height(), list.height() + 90);
    EXPECT_EQ(d->ComEdit->x(), edit.x() + 150);
    EXPECT_EQ(d->ComEdit->y(), edit.y() + 90);
    EXPECT_EQ(d->StbDisplay->geometry().bottom(), d->height() - 1);
    // The report's columns share the width.
    ASSERT_EQ(d->LstDup->ColumnCount(), 2);
    EXPECT_NEAR(d->LstDup->ColumnWidth(0), d->LstDup->ColumnWidth(1), 15);
}

// One Escape closes the viewer, wherever its focus is, as it closes the
// other windows.
TEST_F(Display, EscapeClosesIt) {
    struct Case {
        const char* name;
        int tab;
        std::function<QWidget*(FrmDisplay*)> focus;
    };
    const Case cases[] = {
        {"as opened", 0, nullptr},
        {"the tabs", 0, [](FrmDisplay* f) { return static_cast<QWidget*>(f->SSTabDisplay->tabBar()); }},
        {"a report list", 0, [](FrmDisplay* f) { return static_cast<QWidget*>(f->LstStat); }},
        {"the output text", 3, [](FrmDisplay* f) { return static_cast<QWidget*>(f->RtbOutput); }},
        {"the output files", 3, [](FrmDisplay* f) { return static_cast<QWidget*>(f->CboOutput); }},
        {"a button", 3, [](FrmDisplay* f) { return static_cast<QWidget*>(f->ComNxt); }},
    };
    WriteFile("res/r.sta", kSta);
    WriteFile("res/r.out", "zero");
    WriteFile("res/r_1.out", "one");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!d) {
            d = new FrmDisplay(&owner.window);
            d->Form_Load();
            d->OwnerForm = &owner.window;
            d->CForm = &owner.window;
        }
        // As the main window opens it: shown and activated while its owner is
        // still disabled by the load, then the owner enabled again.
        ASSERT_TRUE(d->Initialize(&desc, kAll, nullptr));
        d->show();
        d->raise();
        d->activateWindow();
        OwnerEnabler::SetEnabled(&owner.window, true);
        ASSERT_TRUE(QTest::qWaitForWindowActive(d));
        if (c.focus) {
            d->SSTabDisplay->setCurrentIndex(c.tab);
            QWidget* target = c.focus(d);
            target->setFocus();
            ASSERT_TRUE(target->hasFocus());
        }
        // Through the window, as a key press of the user arrives; the window
        // goes with it, so no release follows.
        QTest::keyPress(d->windowHandle(), Qt::Key_Escape);
        EXPECT_TRUE(d.isNull() || !d->isVisible());
        EXPECT_EQ(modGlobalFunctions::IsFormLoaded(QStringLiteral("FrmDisplay")), nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(Display, ClosedItIsFoundNoMoreAndGoes) {
    WriteFile("res/r.sta", kSta);
    ASSERT_TRUE(Show(kAll));
    EXPECT_EQ(modGlobalFunctions::IsFormLoaded("frmdisplay"), d.data());
    d->Unload();
    EXPECT_EQ(modGlobalFunctions::IsFormLoaded("FrmDisplay"), nullptr);
    EXPECT_TRUE(OwnerEnabler::IsEnabled(&owner.window));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(d.isNull());
}

}  // namespace
