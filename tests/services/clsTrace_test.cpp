// The trace: screen and file lines.
#include <QFile>

#include "RichTextBox.h"
#include "TestHarness.h"
#include "clsError.h"
#include "clsTrace.h"

namespace {

using TestHarness::Folder;

TEST(clsTrace, ScreenAndFileLines) {
    struct Row {
        QDateTime when;
        const char* message;
        const char* screen;
        const char* file;
    };
    const Row rows[] = {
        {QDateTime(QDate(2026, 3, 8), QTime(9, 5, 3, 45)), "+OK POP3 ready",
         "[2026/03/08,09:05:03.045]  +OK POP3 ready\r\n", "[2026/03/08,09:05:03]  +OK POP3 ready\r\n\r\n"},
        {QDateTime(QDate(2025, 12, 31), QTime(23, 59, 59, 999)), "", "[2025/12/31,23:59:59.999]  \r\n",
         "[2025/12/31,23:59:59]  \r\n\r\n"},
    };
    for (const Row& r : rows) {
        TestHarness::SetClock(r.when);
        RichTextBox box;
        box.SetText(QStringLiteral("before\r\n"));
        clsTrace t;
        t.TraceCtl = &box;
        t.TraceDir = Folder();
        t.DoTraceToFile = true;
        QFile::remove(t.TracePath());
        t.Trace(QString::fromLatin1(r.message), "", "", "");
        EXPECT_EQ(box.Text().toLatin1(), QByteArray("before\r\n") + r.screen);
        EXPECT_EQ(TestHarness::ReadFile(Folder() + "/OrmidYRB_Trace.log"), QByteArray(r.file));
    }
}

TEST(clsTrace, SwitchesAndPaths) {
    clsTrace t;
    EXPECT_TRUE(t.TraceToScreen());   // on, but no text box: nothing written
    EXPECT_FALSE(t.TraceToFile());    // off unless asked for
    t.DoTraceToScreen = false;
    EXPECT_FALSE(t.TraceToScreen());
    for (const QString& dir : {Folder(), Folder() + "/"}) {
        t.TraceDir = dir;
        EXPECT_EQ(t.TracePath(), Folder() + "/OrmidYRB_Trace.log");
    }
    t.TraceFil.clear();
    t.DoTraceToFile = true;
    EXPECT_TRUE(t.TraceToFile());
    EXPECT_EQ(t.TraceFil, QStringLiteral("OrmidYRB_Trace.log"));
}

TEST(clsTrace, UnopenableFileGoesToTheConsole) {
    QWidget form;
    auto* console = new RichTextBox(&form);
    console->setObjectName(QStringLiteral("TxtErrors"));
    auto err = std::make_shared<clsError>();
    err->LogScreen = &form;
    clsTrace t;
    t.MyError = err;
    t.DoTraceToScreen = false;
    t.DoTraceToFile = true;
    t.TraceDir = Folder() + "/missing";
    t.Trace("USER bob", "", "", "");
    EXPECT_TRUE(console->Text().contains(QStringLiteral("Module  : clsTrace\r\n\t Routine : TraceToFile")));
    EXPECT_TRUE(TestHarness::PlainBoxes().isEmpty());
}

}  // namespace
