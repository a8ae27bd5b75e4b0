// The result display from the workspace, through the real engine: the
// "Results" buttons on what the flag boxes and Save wrote, the domain
// statistics written under a decimal-comma locale and shown, one display
// taken over by every command, the size warning declined, and no input to
// the display while a command of the main window runs.
#include <unistd.h>

#include <clocale>
#include <cstring>
#include <functional>
#include <string>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidgetItem>

#include "FileReplace.h"
#include "FileSizeLimit.h"
#include "FrmDisplay.h"
#include "FrmSaveList.h"
#include "ListDialogSeam.h"
#include "OwnerEnabler.h"
#include "RichTextBox.h"
#include "Screen.h"
#include "ScratchMount.h"
#include "WorkspaceFixture.h"
#include "modGlobalFunctionsFiles.h"
#include "modProcess.h"

namespace {

using TestHarness::Folder;
using TestHarness::ReadFile;
using TestHarness::WriteFile;

class Results : public WorkspaceTest {
protected:
    void TearDown() override {
        ListDialogSeam::Install(nullptr);
        EditorPath.clear();
        if (!m_locale.empty()) std::setlocale(LC_ALL, m_locale.c_str());
        WorkspaceTest::TearDown();
    }
    // A side's list, its result names under res<slot>/ as the import gives
    // them, copied to the side's results descriptor.
    void LoadSide(int32_t slot, const QByteArray& lines, int32_t entries) {
        Load(slot, lines, entries);
        const QString base = Folder() + QStringLiteral("/res%1/list.").arg(slot);
        QDir().mkpath(Folder() + QStringLiteral("/res%1").arg(slot));
        clsEmailList& d = *w->Side(slot).listDesc;
        d = clsEmailList();
        d.NameSrc = Folder() + QStringLiteral("/list%1.txt").arg(slot);
        d.NameOut = base + "out";
        d.NameSta = base + "sta";
        d.NameInv = base + "inv";
        d.NameDup = base + "dup";
        d.CopyTo(w->Side(slot).resultsDesc);
    }
    static QString Result(int32_t slot, const char* ext) {
        return QStringLiteral("res%1/list.%2").arg(slot).arg(QLatin1String(ext));
    }
    static FrmDisplay* Viewer() {
        return qobject_cast<FrmDisplay*>(modGlobalFunctions::IsFormLoaded(QStringLiteral("FrmDisplay")));
    }
    static int Viewers() {
        int n = 0;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (qobject_cast<FrmDisplay*>(top) != nullptr && top->objectName() == QLatin1String("FrmDisplay")) ++n;
        return n;
    }
    static QList<int> VisibleTabs(const FrmDisplay* v) {
        QList<int> tabs;
        for (int t = 0; t < v->SSTabDisplay->count(); ++t)
            if (v->SSTabDisplay->isTabVisible(t)) tabs << t;
        return tabs;
    }
    // The window usable again, as every command leaves it.
    void ExpectUsable() const {
        EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
        EXPECT_EQ(Screen::Instance()->MousePointer(), Screen::kDefaultPointer);
    }
    void UseCommaLocale() {
        m_locale = std::setlocale(LC_ALL, nullptr);
        ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
            << "the locale de_DE.UTF-8 is missing: bash scripts/setup test generates it";
        ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    }
    QString Console() const { return w->TxtErrors->Text(); }

private:
    std::string m_locale;
};

// "a@mail.com" twice, one invalid entry, one more address.
const QByteArray kFour = "a@mail.com\r\nbad\r\nb@z.org\r\na@mail.com\r\n";

TEST_F(Results, FlaggedAndSavedSideShowsItsReportsAndOutput) {
    LoadSide(1, kFour, 4);
    TestHarness::AnswerMessages({MsgBoxButton::Ok, MsgBoxButton::Ok});
    w->ChkMarkInvLeft->setChecked(true);
    w->ChkMarkDupLeft->setChecked(true);
    ThisList = w->VL_left;
    w->M_Popup1SelectAll_Click();
    ListDialogSeam::Install([](QDialog* dialog) { qobject_cast<FrmSaveList*>(dialog)->ComSave->click(); });
    TestHarness::AnswerMessages({MsgBoxButton::Ok});
    w->M_Popup1Save_Click();
    ASSERT_TRUE(QFile::exists(Folder() + "/" + Result(1, "out"))) << Console().toStdString();
    ASSERT_TRUE(w->ComViewLeft->isEnabled());

    QTest::mouseClick(w->ComViewLeft, Qt::LeftButton);
    FrmDisplay* v = Viewer();
    ASSERT_NE(v, nullptr);
    EXPECT_TRUE(v->isVisible());
    EXPECT_EQ(v->windowTitle(), "Left List Results");
    EXPECT_EQ(VisibleTabs(v), QList<int>({1, 2, 3}));
    EXPECT_EQ(v->SSTabDisplay->currentIndex(), 1);
    ASSERT_EQ(v->LstDup->ItemCount(), 1);
    EXPECT_EQ(v->LstDup->Item(0)->text(0), "a@mail.com");
    ASSERT_EQ(v->LstInv->ItemCount(), 1);
    EXPECT_EQ(v->LstInv->Item(0)->text(0), "bad");
    EXPECT_EQ(v->RtbOutput->Text(), QString::fromLatin1(ReadFile(Folder() + "/" + Result(1, "out"))));
    EXPECT_EQ(v->CboOutput->count(), 1);
    EXPECT_TRUE(v->isEnabled());
    ExpectUsable();
    EXPECT_EQ(Console(), QString());
}

// Invalid addresses holding TAB, NUL, CR and DEL: the report shows them as
// caret tokens, so the display puts each address and its reason in their
// own columns.
TEST_F(Results, ControlBytesOfInvalidAddressesStayInTheirColumns) {
    LoadSide(1, "x@y.com\r\n", 1);
    const QByteArray lines = QByteArray("tab\tin@example.com\r\nnul") + '\0' +
                             "in@example.com\r\ncr\rin@example.com\r\ndel@exa\x7fmple.com\r\n";
    const QString path = WriteFile("control.txt", lines);
    ASSERT_EQ(YRB13(1, QFile::encodeName(path).constData(), 0, "", "\r\n"), 4);
    Pane(1)->SetCount(4);
    Pane(1)->SetAll();
    TestHarness::AnswerMessages({MsgBoxButton::Ok});
    w->ChkMarkInvLeft->setChecked(true);
    ASSERT_TRUE(QFile::exists(Folder() + "/" + Result(1, "inv"))) << Console().toStdString();
    w->ComViewLeft->setEnabled(true);
    w->ComViewLeft->click();
    FrmDisplay* v = Viewer();
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(TestHarness::Rows(v->LstInv),
              QStringList({"tab^Iin@example.com|Invalid user syntax : invalid character '^I'",
                           "nul^@in@example.com|Invalid user syntax : invalid character '^@'",
                           "cr^Min@example.com|Invalid user syntax : invalid character '^M'",
                           "del@exa^?mple.com|Invalid domain syntax : invalid character '^?'"}));
    EXPECT_EQ(Console(), QString());
}

TEST_F(Results, StatisticsUnderACommaLocaleShowTheStatisticsTabOnly) {
    UseCommaLocale();
    LoadSide(1, "a@mail.com\r\nc@z.org\r\nb@mail.com\r\nd@y.com\r\n", 4);
    // Flagged entries are not counted; nothing needs to be selected.
    ASSERT_EQ(YRB03(1, 3, YRB_FLAG_INVALID, 1), 0);
    WriteFile(Result(1, "sta"), "old");
    WriteFile(Result(1, "dup"), "Email Address\tOccurrences\r\nNone\r\n");
    WriteFile(Result(1, "inv"), "Email Address\tRejection Reason\r\nd@y.com\tx\r\n");
    ThisList = w->VL_left;
    w->M_Popup1Stat_Click();

    EXPECT_EQ(ReadFile(Folder() + "/" + Result(1, "sta")),
              "Domain\tOccurrences\tPercentage\r\nmail.com\t2\t66.667 %\r\nz.org\t1\t33.333 %\r\n");
    // The engine's work mark stays on the entry that repeated a domain.
    int marked = 0;
    for (int32_t e = 0; e < 4; ++e) marked += YRB17(1, e, YRB_FLAG_WORK) != 0 ? 1 : 0;
    EXPECT_EQ(marked, 1);
    FrmDisplay* v = Viewer();
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->windowTitle(), "Left List Results");
    EXPECT_EQ(VisibleTabs(v), QList<int>({0}));
    EXPECT_EQ(MainFixture::Rows(v->LstStat), QStringList({"mail.com|2|66.667 %", "z.org|1|33.333 %"}));
    EXPECT_TRUE(w->ComViewLeft->isEnabled());
    EXPECT_TRUE(TestHarness::AskedMessages().isEmpty());
    ExpectUsable();
    EXPECT_EQ(Console(), QString());
}

// Every command takes over the one display, for its own side.
TEST_F(Results, OneDisplayTakenOverByEveryCommand) {
    LoadSide(1, kFour, 4);
    LoadSide(2, "x@y.com\r\n", 1);
    WriteFile(Result(1, "dup"), "Email Address\tOccurrences\r\na@mail.com\t2\r\n");
    WriteFile(Result(2, "inv"), "Email Address\tRejection Reason\r\nq\tNo @\r\n");
    ThisList = w->VL_left;
    struct Step {
        const char* what;
        std::function<void()> run;
        const char* caption;
        QList<int> tabs;
    } steps[] = {
        {"right Results", [&] { w->ComViewRight->click(); }, "Right List Results", {2}},
        {"left statistics", [&] { w->M_Popup1Stat_Click(); }, "Left List Results", {0}},
        {"left Results", [&] { w->ComViewLeft->click(); }, "Left List Results", {0, 1}},
        {"right Results again", [&] { w->ComViewRight_Click(); }, "Right List Results", {2}},
    };
    w->ComViewLeft->setEnabled(true);
    w->ComViewRight->setEnabled(true);
    QPointer<FrmDisplay> first;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.run();
        FrmDisplay* v = Viewer();
        ASSERT_NE(v, nullptr);
        if (!first) first = v;
        EXPECT_EQ(v, first.data());
        EXPECT_EQ(Viewers(), 1);
        EXPECT_EQ(v->windowTitle(), s.caption);
        EXPECT_EQ(VisibleTabs(v), s.tabs);
        ExpectUsable();
    }
}

TEST_F(Results, SizeWarningAndFilesGone) {
    LoadSide(1, kFour, 4);
    LoadSide(2, "x@y.com\r\n", 1);
    QByteArray big = "Email Address\tOccurrences\r\n";
    while (big.size() <= FrmDisplay::kBigFileBytes) big += "someone@example.com\t2\r\n";
    WriteFile(Result(1, "dup"), big);
    WriteFile(Result(2, "inv"), "Email Address\tRejection Reason\r\nq\tNo @\r\n");
    struct Step {
        const char* what;
        int32_t slot;
        int answer;  // 0: no question
        bool viewer;
        bool warnAfter;
    } steps[] = {
        {"declined with no display open: none left", 1, MsgBoxButton::No, false, true},
        {"a small right side opens the display", 2, 0, true, true},
        {"declined: no display, the open one closed", 1, MsgBoxButton::No, false, true},
        {"right again", 2, 0, true, true},
        {"not to be asked again, and declined", 1, MsgBoxButton::No | MsgBoxButton::Option, false, false},
        {"no more question", 1, 0, true, false},
        {"the right side's files gone: closed without a word", 2, 0, false, false},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        if (s.answer != 0) TestHarness::AnswerMessages({s.answer});
        if (s.slot == 2 && !s.viewer) QFile::remove(Folder() + "/" + Result(2, "inv"));
        const qsizetype asked = TestHarness::AskedMessages().size();
        if (s.slot == 1)
            w->ComViewLeft_Click();
        else
            w->ComViewRight_Click();
        EXPECT_EQ(TestHarness::AskedMessages().size() - asked, s.answer != 0 ? 1 : 0);
        if (s.answer != 0) {
            EXPECT_EQ(TestHarness::AskedMessages().back().Title, "Big Results File(s)");
        }
        EXPECT_EQ(Viewer() != nullptr, s.viewer);
        EXPECT_EQ(w->WarnBigResults, s.warnAfter);
        ExpectUsable();
    }
    EXPECT_EQ(Console(), QString());
}

// The display takes no input while a command of the main window runs, nor
// the main window while the display loads, so nothing starts inside the
// other's engine call.
TEST_F(Results, NoInputToTheDisplayWhileACommandRuns) {
    LoadSide(1, kFour, 4);
    WriteFile(Result(1, "dup"), "Email Address\tOccurrences\r\na@mail.com\t2\r\n");
    WriteFile(Result(1, "out"), "first");
    WriteFile("res1/list_1.out", "second");
    bool loading = false;
    {
        // The engine reads the reports and lets messages run meanwhile.
        const OnInformation hook("Loading file", [&] {
            loading = true;
            EXPECT_FALSE(OwnerEnabler::IsEnabled(w.get()));
            QTest::mouseClick(w->ComSLImp, Qt::LeftButton);
            FrmDisplay* shown = Viewer();
            ASSERT_NE(shown, nullptr);
            EXPECT_FALSE(shown->isEnabled());
            EXPECT_FALSE(shown->close());
        });
        w->ComViewLeft_Click();
    }
    EXPECT_TRUE(loading);
    QPointer<FrmDisplay> v = Viewer();
    ASSERT_TRUE(v);
    EXPECT_TRUE(v->isVisible());
    EXPECT_EQ(v->windowTitle(), "Left List Results");
    EXPECT_EQ(VisibleTabs(v), QList<int>({1, 3}));
    EXPECT_EQ(v->LstDup->ItemCount(), 1);
    v->SSTabDisplay->setCurrentIndex(3);
    ASSERT_EQ(v->RtbOutput->Text(), "first");
    EditorPath = QStringLiteral("ed");
    int started = 0;
    modProcess::InstallRunner([&](const QString&, const QStringList&, QString*) {
        ++started;
        return 0;
    });
    bool inside = false;
    {
        const OnInformation hook("Writing statistic records to file", [&] {
            inside = true;
            EXPECT_FALSE(v->isEnabled());
            QTest::mouseClick(v->ComNxt, Qt::LeftButton);
            v->ComEdit->click();
            QTest::mouseClick(w->ComViewLeft, Qt::LeftButton);
            EXPECT_EQ(v->RtbOutput->Text(), "first");
            EXPECT_EQ(v->windowTitle(), "Left List Results");
        });
        ThisList = w->VL_left;
        w->M_Popup1Stat_Click();
    }
    EXPECT_TRUE(inside);
    EXPECT_EQ(started, 0);
    ASSERT_TRUE(v);
    EXPECT_TRUE(v->isEnabled());
    EXPECT_EQ(VisibleTabs(v), QList<int>({0}));
    ExpectUsable();
}

TEST_F(Results, StatisticsFailures) {
    LoadSide(1, kFour, 4);
    w->ComViewLeft->setEnabled(false);
    struct Case {
        const char* what;
        std::function<void()> setup;
        const char* console;  // on the console
        bool message;         // "could not be computed"
    } cases[] = {
        {"no pane", [&] { ThisList.reset(); }, "Message : List Object not Set", false},
        {"not a side's pane", [&] { ThisList = w->VL_file; }, "Message : List Object not Set", false},
        {"no statistics file name",
         [&] {
             ThisList = w->VL_left;
             w->LeftListDesc.NameSta.clear();
         },
         "Message : No 'stat' file has been specified", true},
        {"a file that cannot be written", [&] { w->LeftListDesc.NameSta = Folder() + "/missing/list.sta"; },
         "Message : Could not open file for writing : ", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        w->TxtErrors->SetText(QString());
        c.setup();
        const qsizetype asked = TestHarness::AskedMessages().size();
        if (c.message) TestHarness::AnswerMessages({MsgBoxButton::Ok});
        w->M_Popup1Stat_Click();
        EXPECT_TRUE(Console().contains(c.console)) << Console().toStdString();
        ASSERT_EQ(TestHarness::AskedMessages().size() - asked, c.message ? 1 : 0);
        if (c.message) {
            const MsgBoxRequest& r = TestHarness::AskedMessages().back();
            EXPECT_EQ(r.message, "The domain statistics could not be computed");
            EXPECT_EQ(r.Title, "Failed to compute statistics");
            EXPECT_EQ(r.IconNb, MsgBoxIcon::Error);
            EXPECT_TRUE(r.ShowOk && !r.ShowYes && !r.ShowNo);
            EXPECT_EQ(r.CForm.data(), w.get());
        }
        EXPECT_EQ(Viewer(), nullptr);
        EXPECT_FALSE(w->ComViewLeft->isEnabled());
        ExpectUsable();
    }
}

// A report that does not fit where it goes: the former report byte for
// byte, still the side's to show, the cause in the console; a run that fits
// leaves the new report alone, no copy of the former one beside it.
TEST_F(Results, ReportThatDoesNotFitKeepsTheFormerOne) {
    // Less than any report's header line, more than the former report.
    constexpr rlim_t kRoom = 20;
    const QByteArray former = "former report\r\n";
    auto untick = [this](QCheckBox* box) {
        // As a clear of the side does it: the flags and the report stay.
        w->SuppressMarkClicks = true;
        box->setChecked(false);
        w->SuppressMarkClicks = false;
    };
    struct Case {
        const char* ext;
        std::function<void()> run;
        std::function<void()> reset;  // for the next run
        const char* failedTitle;      // of the message a failure shows; null: none
        const char* header;           // the new report's first line
    } cases[] = {
        {"inv", [&] { w->ChkMarkInvLeft->setChecked(true); }, [&] { untick(w->ChkMarkInvLeft); }, nullptr,
         "Invalid Addresses\tReason\r\n"},
        {"dup", [&] { w->ChkMarkDupLeft->setChecked(true); }, [&] { untick(w->ChkMarkDupLeft); }, nullptr,
         "Email Address\tOccurrences\r\n"},
        {"sta",
         [&] {
             ThisList = w->VL_left;
             w->M_Popup1Stat_Click();
         },
         [] {}, "Failed to compute statistics", "Domain\tOccurrences\tPercentage\r\n"},
    };
    LoadSide(1, kFour, 4);
    const QString folder = Folder() + "/res1";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ext);
        QDir(folder).removeRecursively();
        const QString report = WriteFile(Result(1, c.ext), former);
        const QStringList alone = {QStringLiteral("list.") + c.ext};
        w->ComViewLeft->setEnabled(true);
        w->TxtErrors->SetText(QString());
        TestHarness::AnswerMessages({MsgBoxButton::Ok});
        const qsizetype asked = TestHarness::AskedMessages().size();
        {
            const FileSizeLimit full(kRoom);
            ASSERT_TRUE(full.IsSet());
            c.run();
        }
        QStringList titles;
        for (qsizetype k = asked; k < TestHarness::AskedMessages().size(); ++k)
            titles << TestHarness::AskedMessages()[k].Title;
        EXPECT_EQ(titles, c.failedTitle ? QStringList{c.failedTitle} : QStringList());
        EXPECT_EQ(ReadFile(report), former);
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), alone);
        EXPECT_TRUE(Console().contains("Could not write to file : " + report + " (File too large)"))
            << Console().toStdString();
        EXPECT_TRUE(w->ComViewLeft->isEnabled()) << "the former report is there to show";
        ExpectUsable();

        c.reset();
        w->TxtErrors->SetText(QString());
        TestHarness::AnswerMessages({MsgBoxButton::Ok});
        c.run();
        EXPECT_TRUE(ReadFile(report).startsWith(c.header)) << ReadFile(report).toStdString();
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), alone);
        EXPECT_EQ(Console(), QString());
        ExpectUsable();
        c.reset();
    }
}

// The folder runs out of inodes for "Flag invalid entries": while it runs
// (the engine, which goes on without its report, can then make no file
// there), or before it starts (the former report cannot even be set aside
// with an empty file in its place).  The name still holds a report, the
// former one byte for byte or the new one whole, never both; nothing is
// left beside it, and a report not written is told.
TEST_F(Results, FolderOutOfInodesLeavesAReport) {
    constexpr unsigned kInodes = 64;
    struct Row {
        const char* name;
        long freeAtStart;   // inodes left when the command starts
        bool fillMeanwhile;  // the last ones go while it runs
    } rows[] = {
        {"the inodes run out while it runs", 1, true},
        {"no inode left when it starts", 0, false},
    };
    LoadSide(1, kFour, 4);
    const QString report = Folder() + "/" + Result(1, "inv");
    TestHarness::AnswerMessages({MsgBoxButton::Ok});
    w->ChkMarkInvLeft->setChecked(true);
    const QByteArray whole = ReadFile(report);
    ASSERT_TRUE(whole.startsWith("Invalid Addresses\tReason\r\n")) << Console().toStdString();
    w->ChkMarkInvLeft->setChecked(false);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        // A small file system of its own for each row, over the side's folder.
        TmpfsMount small(Folder() + "/res1", kInodes);
        if (!small.Ready()) GTEST_SKIP() << small.Why().toStdString();
        const QByteArray former = "former report\r\n";
        WriteFile(Result(1, "inv"), former);
        small.FillUpTo(r.freeAtStart);
        ASSERT_EQ(small.FreeInodes(), r.freeAtStart);
        w->TxtErrors->SetText(QString());
        TestHarness::AnswerMessages({MsgBoxButton::Ok});
        {
            const OnInformation full("Looking for invalid entries", [&] {
                if (r.fillMeanwhile) small.FillUpTo(0);
            });
            w->ChkMarkInvLeft->setChecked(true);
        }
        const QByteArray now = ReadFile(report);
        EXPECT_TRUE(now == former || now == whole) << (QFile::exists(report) ? now.toStdString() : "no report");
        EXPECT_EQ(QDir(small.Folder()).entryList(QDir::Files | QDir::Hidden), QStringList{"list.inv"});
        if (now == former) {
            EXPECT_TRUE(Console().contains(report + " (No space left on device)")) << Console().toStdString();
        }
        ExpectUsable();
        w->ChkMarkInvLeft->setChecked(false);
    }
}

// A former report whose content cannot be kept anywhere (a second name
// makes it a file to copy, and no copy can be made): the new report never
// follows it.  It is removed, else emptied, and the console says why; where
// neither can be done, the flags are set without a report.
TEST_F(Results, FormerReportThatCannotBeKept) {
    using filereplace::Step;
    const QByteArray former = "former report\r\n";
    enum class Cleared { kRemoved, kEmptied, kNeither };
    struct Case {
        const char* ext;
        QCheckBox* box;
        const char* header;
        Cleared cleared;
        const char* told;
    } cases[] = {
        {"inv", w->ChkMarkInvLeft, "Invalid Addresses\tReason\r\n", Cleared::kRemoved,
         "it was removed before the new one was written"},
        {"dup", w->ChkMarkDupLeft, "Email Address\tOccurrences\r\n", Cleared::kRemoved,
         "it was removed before the new one was written"},
        {"inv", w->ChkMarkInvLeft, "Invalid Addresses\tReason\r\n", Cleared::kEmptied,
         "it was emptied before the new one was written"},
        {"dup", w->ChkMarkDupLeft, "Email Address\tOccurrences\r\n", Cleared::kNeither,
         "no new report is written there"},
    };
    LoadSide(1, kFour, 4);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.ext) + " " + c.told);
        const QString report = WriteFile(Result(1, c.ext), former);
        const QString alias = Folder() + "/res1/alias";
        QFile::remove(alias);
        ASSERT_EQ(::link(QFile::encodeName(report).constData(), QFile::encodeName(alias).constData()), 0);
        w->TxtErrors->SetText(QString());
        TestHarness::AnswerMessages({MsgBoxButton::Ok});
        filereplace::InstallFault([&c, clears = 0](Step step, const std::string& path) mutable {
            if (step == Step::kCreate && path.ends_with(".kept")) return EIO;
            const int refused = c.cleared == Cleared::kRemoved ? 0 : c.cleared == Cleared::kEmptied ? 1 : 2;
            return step == Step::kClear && ++clears <= refused ? EPERM : 0;
        });
        c.box->setChecked(true);
        filereplace::InstallFault({});
        const QByteArray now = ReadFile(report);
        if (c.cleared == Cleared::kNeither) {
            EXPECT_EQ(now, former);
        } else {
            EXPECT_TRUE(now.startsWith(c.header)) << now.toStdString();
            EXPECT_FALSE(now.contains(former)) << now.toStdString();
        }
        // Removed, the name parts from the second one, which keeps its bytes.
        EXPECT_EQ(ReadFile(alias), c.cleared == Cleared::kRemoved ? former : now);
        EXPECT_TRUE(Console().contains("The former report " + report + " could not be kept (no copy of its former content "
                                       "could be kept: beside it (Input/output error), in "))
            << Console().toStdString();
        EXPECT_TRUE(Console().contains(c.told)) << Console().toStdString();
        EXPECT_EQ(QDir(Folder() + "/res1").entryList(QDir::Files | QDir::Hidden),
                  (QStringList{"alias", QStringLiteral("list.") + c.ext}));
        ExpectUsable();
        // As a clear of the side does it: the flags and the report stay.
        w->SuppressMarkClicks = true;
        c.box->setChecked(false);
        w->SuppressMarkClicks = false;
        QFile::remove(alias);
        QFile::remove(report);
    }
}

}  // namespace
