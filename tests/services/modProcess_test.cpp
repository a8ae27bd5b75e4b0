// modProcess.ExecCmd: the editor started from an argument list
// and waited for; start failures reported; the runner seam.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include "ServiceTestSupport.h"
#include "TestHarness.h"
#include "modProcess.h"

namespace {

using TestHarness::Folder;

// A small "editor" that waits a little, writes each of its arguments on a
// line of args.out and ends with the given exit code.
QString MakeEditor(int exitCode) {
    const QString out = Folder() + QStringLiteral("/args.out");
    const QString script = QStringLiteral("#!/bin/sh\nsleep 0.3\n: > '%1'\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> '%1'; "
                                          "done\nexit %2\n")
                               .arg(out)
                               .arg(exitCode);
    const QString path = TestHarness::WriteFile(QStringLiteral("my editors/ed it.sh"), script.toUtf8());
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QStringList Recorded() {
    const QByteArray bytes = TestHarness::ReadFile(Folder() + QStringLiteral("/args.out"));
    QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

// Nothing on the console when message is "", else the message once, from
// the routine of modProcess.
void ExpectReported(const ServiceTest::Console& console, const QString& message, const char* routine) {
    if (message.isEmpty()) {
        EXPECT_TRUE(console.Empty()) << console.Text().toStdString();
        return;
    }
    EXPECT_EQ(console.Count(message), 1) << console.Text().toStdString();
    EXPECT_TRUE(console.Text().contains(QStringLiteral("Module  : modProcess")));
    EXPECT_TRUE(console.Text().contains(QStringLiteral("Routine : ") + QLatin1String(routine)));
}

TEST(ExecCmd, TheFileReachesTheEditorAsOneArgument) {
    modProcess::InstallRunner(nullptr);  // real programs
    ServiceTest::Console console;
    const QString editor = MakeEditor(7);
    const QString files[] = {
        QStringLiteral("/tmp/plain.txt"),
        QStringLiteral("/home/me/My Lists/list one.txt"),
        QStringLiteral("/home/me/it's \"quoted\".txt"),
        QStringLiteral("/home/me/a;b && rm -rf x | cat $HOME `id`.txt"),
        QStringLiteral("/home/me/*?[x].txt"),
    };
    for (const QString& file : files) {
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(modProcess::ExecCmd(modProcess::QuoteWord(editor) + QStringLiteral(" --wait -n"), file), 7);
        EXPECT_GE(clock.elapsed(), 250);  // it waited for the editor
        EXPECT_EQ(Recorded(), (QStringList{QStringLiteral("--wait"), QStringLiteral("-n"), file}));
    }
    EXPECT_TRUE(console.Empty()) << console.Text().toStdString();
}

TEST(ExecCmd, OneTextCommandLine) {
    modProcess::InstallRunner(nullptr);
    const QString editor = MakeEditor(0);
    EXPECT_EQ(modProcess::ExecCmd(modProcess::QuoteWord(editor) + QStringLiteral(" \"/a b/c d.txt\"")), 0);
    EXPECT_EQ(Recorded(), QStringList{QStringLiteral("/a b/c d.txt")});
}

TEST(ExecCmd, ExitCodesAndFailuresTable) {
    modProcess::InstallRunner(nullptr);
    ServiceTest::Console console;
    struct Row {
        QString editor;
        int32_t code;
        QString message;  // "" when nothing is reported
    };
    const QString crash = TestHarness::WriteFile(QStringLiteral("crash.sh"), QByteArray("#!/bin/sh\nkill -SEGV $$\n"));
    QFile::setPermissions(crash, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const Row rows[] = {
        {QStringLiteral("/bin/true"), 0, {}},
        {QStringLiteral("/bin/false"), 1, {}},
        {QStringLiteral("/bin/sh -c \"exit 42\""), 42, {}},
        {QStringLiteral("/no/such/editor --wait"), -1, QStringLiteral("'/no/such/editor' could not be run : ")},
        {QStringLiteral("no-such-editor-anywhere"), -1, QStringLiteral("'no-such-editor-anywhere' could not be run : ")},
        {crash, -1, QStringLiteral("'") + crash + QStringLiteral("' could not be run : the program ended abnormally")},
        {QString(), -1, QStringLiteral("No editor is set")},
        {QStringLiteral("   "), -1, QStringLiteral("No editor is set")},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.editor.toStdString());
        console.text->SetText(QString());
        // The data file is never run in place of a missing editor.
        QString failure = QStringLiteral("left from before");
        EXPECT_EQ(modProcess::ExecCmd(r.editor, QStringLiteral("/bin/true"), &failure), r.code);
        ExpectReported(console, r.message, "ExecCmd");
        // The caller gets the text the console got.
        EXPECT_EQ(failure.isEmpty(), r.message.isEmpty()) << failure.toStdString();
        EXPECT_TRUE(failure.startsWith(r.message)) << failure.toStdString();
        if (!failure.isEmpty()) {
            EXPECT_TRUE(console.Text().contains(failure)) << failure.toStdString();
        }
    }
}

TEST(ExecCmd, RunnerSeam) {
    QString program;
    QStringList arguments;
    modProcess::InstallRunner([&](const QString& p, const QStringList& a, QString*) {
        program = p;
        arguments = a;
        return 3;
    });
    EXPECT_EQ(modProcess::ExecCmd(QStringLiteral("\"/opt/My Editor/ed\" -w"), QStringLiteral("/x y/z.txt")), 3);
    modProcess::InstallRunner(nullptr);
    EXPECT_EQ(program, QStringLiteral("/opt/My Editor/ed"));
    EXPECT_EQ(arguments, (QStringList{QStringLiteral("-w"), QStringLiteral("/x y/z.txt")}));
}

TEST(ExecCmd, QuoteWordSurvivesSplitting) {
    for (const QString& w : {QStringLiteral("plain"), QStringLiteral("/a b/c"), QStringLiteral("say \"hi\""),
                             QStringLiteral("tab\there")})
        EXPECT_EQ(QProcess::splitCommand(modProcess::QuoteWord(w)), QStringList{w}) << w.toStdString();
    EXPECT_EQ(modProcess::QuoteWord(QStringLiteral("/usr/bin/gedit")), QStringLiteral("/usr/bin/gedit"));
}

TEST(ExecCmd, DefaultEditorFallsBackToXdgOpen) {
    const QByteArray saved = qgetenv("PATH");
    const QString bin = Folder() + QStringLiteral("/bin");
    QDir().mkpath(bin);
    qputenv("PATH", bin.toLocal8Bit());
    EXPECT_EQ(modProcess::DefaultEditor(), QStringLiteral("xdg-open"));
    const QString gedit = TestHarness::WriteFile(QStringLiteral("bin/gedit"), QByteArray("#!/bin/sh\n"));
    QFile::setPermissions(gedit, QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_EQ(modProcess::DefaultEditor(), QStringLiteral("gedit --wait"));
    const QString gte = TestHarness::WriteFile(QStringLiteral("bin/gnome-text-editor"), QByteArray("#!/bin/sh\n"));
    QFile::setPermissions(gte, QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_EQ(modProcess::DefaultEditor(), QStringLiteral("gnome-text-editor --standalone"));
    qputenv("PATH", saved);
}

}  // namespace

// The detached start: the program gets the file as one argument and runs on
// after StartCmd has returned; failures are reported.
TEST(StartCmd, StartsWithoutWaitingAndReportsFailures) {
    modProcess::InstallStarter(nullptr);  // real programs
    ServiceTest::Console console;
    struct Row {
        QString editor;
        bool started;
        QString message;  // "" when nothing is reported
    };
    const Row rows[] = {
        {modProcess::QuoteWord(MakeEditor(0)) + QStringLiteral(" -n"), true, {}},
        {QStringLiteral("/no/such/editor --wait"), false, QStringLiteral("'/no/such/editor' could not be run : ")},
        {QStringLiteral("  "), false, QStringLiteral("No editor is set")},
    };
    const QString file = Folder() + QStringLiteral("/a \"b\"; c.mal");
    for (const Row& r : rows) {
        SCOPED_TRACE(r.editor.toStdString());
        console.text->SetText(QString());
        EXPECT_EQ(modProcess::StartCmd(r.editor, file), r.started);
        ExpectReported(console, r.message, "StartCmd");
    }
    // The editor wrote its arguments after StartCmd returned.
    QElapsedTimer waited;
    waited.start();
    while (Recorded().size() < 2 && waited.elapsed() < 10000) QThread::msleep(20);
    EXPECT_EQ(Recorded(), (QStringList{QStringLiteral("-n"), file}));
}
