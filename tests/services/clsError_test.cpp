// The error reporter: log and console entries, the indicator, failures.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

#include "FileSizeLimit.h"
#include "IntervalTimer.h"
#include "PanelStatusBar.h"
#include "RichTextBox.h"
#include "ServiceObjects.h"
#include "StatusPanel.h"
#include "TestHarness.h"
#include "clsError.h"
#include "clsTrace.h"
#include "ReportError.h"

namespace {

using TestHarness::Folder;

// A form with an error console, a four-panel status bar and a blink timer.
struct ConsoleForm {
    QWidget form;
    RichTextBox* console;
    PanelStatusBar* bar;
    IntervalTimer* blink;
    ConsoleForm() {
        console = new RichTextBox(&form);
        console->setObjectName(QStringLiteral("TxtErrors"));
        bar = new PanelStatusBar({100, 50, 50, 50}, &form);
        blink = new IntervalTimer(&form, 600);
    }
    void Wire(clsError& e) {
        e.LogScreen = &form;
        e.SBar = bar;
        e.Tmr = blink;
    }
};

void AtNineFiveThree() { TestHarness::SetClock(QDateTime(QDate(2026, 3, 8), QTime(9, 5, 3, 45))); }

TEST(clsError, EntryBytesInLogAndConsole) {
    struct Row {
        const char* message;
        const char* context;
        const char* module;
        const char* routine;
        const char* entry;
    };
    const Row rows[] = {
        {"a\r\nb", "", "modX", "Proc",
         "09:05:03 Message : a \nb\r\n\t Context : Error !\r\n\t Module  : modX\r\n\t Routine : Proc\r\n"},
        {"List Object not Set", "Error Saving List", "FrmMain", "ComSave_Click",
         "09:05:03 Message : List Object not Set\r\n\t Context : Error Saving List\r\n\t Module  : FrmMain\r\n"
         "\t Routine : ComSave_Click\r\n"},
        {"", "", "", "", "09:05:03 Message : \r\n\t Context : Error !\r\n\t Module  : \r\n\t Routine : \r\n"},
        {"\r\r\xE9t\xE9", "c", "m", "r",
         "09:05:03 Message :   \xE9t\xE9\r\n\t Context : c\r\n\t Module  : m\r\n\t Routine : r\r\n"},
    };
    for (const Row& r : rows) {
        AtNineFiveThree();
        ConsoleForm f;
        auto e = ErrorObj();
        f.Wire(*e);
        e->LogDir = Folder();
        e->LogFile = QStringLiteral("Error.log");
        e->LogToFileFlag = true;
        QFile::remove(e->LogPath());
        modGlobalFunctions::ReportError(QString::fromLatin1(r.message), QString::fromLatin1(r.context),
                                        QString::fromLatin1(r.module), QString::fromLatin1(r.routine), false, true);
        const QByteArray entry(r.entry);
        EXPECT_EQ(TestHarness::ReadFile(Folder() + "/Error.log"), entry + "\r\n") << r.message;
        EXPECT_EQ(f.console->Text().toLatin1(), entry) << r.message;
        EXPECT_EQ(f.bar->Panel(4)->Text(), QStringLiteral("ERROR"));
        EXPECT_TRUE(f.blink->Enabled());
        EXPECT_FALSE(e->IsPending());
        ReleaseErrorObj();
    }
}

TEST(clsError, TwoReportsGiveTwoEntriesEach) {
    AtNineFiveThree();
    ConsoleForm f;
    auto e = ErrorObj();
    f.Wire(*e);
    e->LogDir = Folder();
    e->LogToFileFlag = true;
    modGlobalFunctions::ReportError("one", "", "M", "R1", false, true);
    modGlobalFunctions::ReportError("two", "", "M", "R2", false, true);
    const QByteArray one = "09:05:03 Message : one\r\n\t Context : Error !\r\n\t Module  : M\r\n\t Routine : R1\r\n";
    const QByteArray two = "09:05:03 Message : two\r\n\t Context : Error !\r\n\t Module  : M\r\n\t Routine : R2\r\n";
    // The default log name, with an empty line after each entry in the file only.
    EXPECT_EQ(TestHarness::ReadFile(Folder() + "/OrmidYRB_Error.log"), one + "\r\n" + two + "\r\n");
    EXPECT_EQ(f.console->Text().toLatin1(), one + two);
}

TEST(clsError, LogFolderWithOrWithoutTrailingSlash) {
    for (const QString& dir : {Folder(), Folder() + "/"}) {
        clsError e;
        e.LogDir = dir;
        e.LogFile = QStringLiteral("Error.log");
        EXPECT_EQ(e.LogPath(), Folder() + "/Error.log");
    }
    clsError e;
    e.LogDir = Folder();
    e.LogFile.clear();
    e.LogToFileFlag = true;
    e.Trigger("x", "", "m", "r");
    EXPECT_TRUE(e.LogToFile());
    EXPECT_EQ(e.LogFile, QStringLiteral("OrmidYRB_Error.log"));
}

TEST(clsError, FlagsAndReferencesDecideWhereEntriesGo) {
    ConsoleForm f;
    clsError e;
    e.LogDir = Folder();
    e.Trigger("late", "", "m", "r");
    EXPECT_FALSE(e.LogToFile());  // file logging off once the main window has loaded
    EXPECT_FALSE(QFile::exists(e.LogPath()));
    EXPECT_TRUE(e.IsPending());

    e.SBar = f.bar;
    e.Tmr = f.blink;
    EXPECT_TRUE(e.LogToScreen());  // no console form: only the indicator
    EXPECT_EQ(f.bar->Panel(4)->Text(), QStringLiteral("ERROR"));
    EXPECT_TRUE(f.blink->Enabled());
    EXPECT_TRUE(f.console->Text().isEmpty());

    e.LogToScreenFlag = false;
    e.LogScreen = &f.form;
    EXPECT_FALSE(e.LogToScreen());
    EXPECT_TRUE(f.console->Text().isEmpty());
}

TEST(clsError, DialogWithoutConsole) {
    ConsoleForm f;
    auto e = ErrorObj();
    f.Wire(*e);
    e->CForm = &f.form;
    e->LogDir = Folder();
    e->LogToFileFlag = true;
    TestHarness::AnswerMessages({MsgBoxButton::Ok});
    modGlobalFunctions::ReportError("Cannot import", "", "FrmMain", "Import", true, false);
    ASSERT_EQ(TestHarness::AskedMessages().size(), 1);
    const MsgBoxRequest& r = TestHarness::AskedMessages().first();
    EXPECT_EQ(r.message, QStringLiteral("Cannot import"));
    EXPECT_EQ(r.Title, QStringLiteral("Error !"));
    EXPECT_EQ(r.IconNb, MsgBoxIcon::Error);
    EXPECT_EQ(r.Focus, MsgBoxButton::Ok);
    EXPECT_TRUE(r.ShowOk);
    EXPECT_FALSE(r.ShowYes || r.ShowNo || r.ShowCancel || r.ShowYesAll || r.ShowNoAll);
    EXPECT_TRUE(r.Choice.isEmpty());
    EXPECT_EQ(r.CForm, &f.form);
    EXPECT_EQ(r.OForm, nullptr);
    EXPECT_TRUE(f.console->Text().isEmpty());
    EXPECT_FALSE(TestHarness::ReadFile(e->LogPath()).isEmpty());
    EXPECT_FALSE(e->IsPending());
}

TEST(clsError, LongMessagesAreWrittenWhole) {
    ConsoleForm f;
    auto e = ErrorObj();
    f.Wire(*e);
    e->LogDir = Folder();
    e->LogToFileFlag = true;
    const QString longText(100000, QLatin1Char('x'));
    modGlobalFunctions::ReportError(longText, "", "M", "R", false, true);
    EXPECT_TRUE(TestHarness::PlainBoxes().isEmpty());
    EXPECT_TRUE(TestHarness::ReadFile(e->LogPath()).contains(longText.toLatin1() + "\r\n\t Context"));
    EXPECT_TRUE(f.console->Text().contains(longText + QStringLiteral("\r\n\t Context")));
}

TEST(clsError, UnopenableLogIsReportedOnce) {
    ConsoleForm f;
    auto e = ErrorObj();
    f.Wire(*e);
    e->LogDir = Folder() + "/missing";
    e->LogToFileFlag = true;
    for (int i = 0; i < 3; ++i) modGlobalFunctions::ReportError(QStringLiteral("e%1").arg(i), "", "M", "R", false, true);
    ASSERT_EQ(TestHarness::PlainBoxes().size(), 1);
    EXPECT_EQ(TestHarness::PlainBoxes().first().first, QStringLiteral("ERROR !"));
    EXPECT_TRUE(TestHarness::PlainBoxes().first().second.contains(e->LogPath()));
    EXPECT_EQ(f.console->Text().count(QStringLiteral("Message : e")), 3);  // the console still gets each

    // Once the log can be written again, a later failure is news again.
    QDir().mkpath(e->LogDir);
    modGlobalFunctions::ReportError("ok", "", "M", "R", false, true);
    EXPECT_TRUE(TestHarness::ReadFile(e->LogPath()).contains("Message : ok"));
    QDir(e->LogDir).removeRecursively();
    modGlobalFunctions::ReportError("gone", "", "M", "R", false, true);
    EXPECT_EQ(TestHarness::PlainBoxes().size(), 2);
}

// An entry that does not fit leaves the log as it was, never half an entry,
// and the failure is told with the system's reason.
TEST(clsError, EntryThatDoesNotFitLeavesTheLogAsItWas) {
    struct Row {
        const char* what;
        bool trace;         // the trace file, else the error log
        QByteArray former;  // null: no file before
    } rows[] = {
        {"the error log", false, "09:05:02 Message : before\r\n\r\n"},
        {"a new error log", false, QByteArray()},
        {"the trace file", true, "[2026/03/08,09:05:02]  before\r\n\r\n"},
    };
    constexpr rlim_t kRoom = 10;  // less than any entry
    int n = 0;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        AtNineFiveThree();
        const QString sub = QStringLiteral("log%1").arg(++n);
        const QString dir = Folder() + "/" + sub;
        QDir().mkpath(dir);
        const QString name = r.trace ? QStringLiteral("OrmidYRB_Trace.log") : QStringLiteral("Error.log");
        if (!r.former.isNull()) TestHarness::WriteFile(sub + "/" + name, r.former);
        const QString path = dir + "/" + name;
        ConsoleForm f;
        auto e = ErrorObj();
        f.Wire(*e);
        e->LogDir = dir;
        e->LogFile = name;
        e->LogToFileFlag = !r.trace;
        clsTrace t;
        t.MyError = e;
        t.DoTraceToScreen = false;
        t.DoTraceToFile = true;
        t.TraceDir = dir;
        {
            const FileSizeLimit full(r.former.size() + kRoom);
            if (r.trace)
                t.Trace("USER bob", "", "", "");
            else
                modGlobalFunctions::ReportError("Cannot import", "", "M", "R", false, true);
        }
        EXPECT_EQ(QFileInfo(path).isFile(), !r.former.isNull());
        EXPECT_EQ(TestHarness::ReadFile(path), r.former);
        const QString failure = QStringLiteral("The %1 '%2' could not be written : File too large")
                                    .arg(r.trace ? QStringLiteral("trace file") : QStringLiteral("error log"), path);
        if (r.trace) {
            EXPECT_TRUE(f.console->Text().contains(QStringLiteral("Message : ") + failure))
                << f.console->Text().toStdString();
        } else {
            const auto& boxes = TestHarness::PlainBoxes();
            EXPECT_EQ(boxes.isEmpty() ? QString() : boxes.last().second, failure);
            EXPECT_TRUE(f.console->Text().contains(QStringLiteral("Message : Cannot import")));
        }
        ReleaseErrorObj();
    }
}

TEST(clsError, ConsoleFormWithoutConsoleFailsVisibly) {
    QWidget bare;
    clsError e;
    e.LogScreen = &bare;
    e.Trigger("x", "", "m", "r");
    EXPECT_FALSE(e.LogToScreen());
    ASSERT_EQ(TestHarness::PlainBoxes().size(), 1);
    EXPECT_EQ(TestHarness::PlainBoxes().first().first, QStringLiteral("ERROR !"));
}

TEST(clsError, ClassReporterWithoutErrorObjectDoesNothing) {
    modGlobalFunctions::ReportErrorOn(nullptr, "lost", "", "clsX", "R", true, true);
    EXPECT_TRUE(TestHarness::AskedMessages().isEmpty());
    EXPECT_TRUE(TestHarness::PlainBoxes().isEmpty());
}

}  // namespace
