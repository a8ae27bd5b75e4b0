#include "modProcess.h"

#include <QProcess>
#include <QStandardPaths>

#include "ReportError.h"

QString EditorPath;

namespace modProcess {

namespace {
Runner& Installed() {
    static Runner runner;
    return runner;
}

Starter& InstalledStarter() {
    static Starter starter;
    return starter;
}

void Report(const QString& description, const QString& routine = QStringLiteral("ExecCmd")) {
    modGlobalFunctions::ReportError(description, QString(), QStringLiteral("modProcess"), routine, false, true);
}

QString NoEditor() { return QStringLiteral("No editor is set : choose one in Help, Options"); }

QString NotRun(const QString& program, const QString& error) {
    return QStringLiteral("'") + program + QStringLiteral("' could not be run : ") + error;
}

bool RealStart(const QString& program, const QStringList& arguments, QString* error) {
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    if (process.startDetached()) return true;
    if (error) *error = process.errorString();
    return false;
}

// Starts the program and waits without a time limit; the user-interface
// thread handles no window messages meanwhile.
int32_t RealRun(const QString& program, const QStringList& arguments, QString* error) {
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setInputChannelMode(QProcess::ForwardedInputChannel);
    process.start();
    if (!process.waitForStarted(-1)) {
        if (error) *error = process.errorString();
        return -1;
    }
    process.waitForFinished(-1);
    if (process.exitStatus() != QProcess::NormalExit) {
        if (error) *error = QStringLiteral("the program ended abnormally : ") + process.errorString();
        return -1;
    }
    return process.exitCode();
}

int32_t Run(const QStringList& words, QString* failure = nullptr) {
    if (words.isEmpty()) {
        Report(NoEditor());
        if (failure) *failure = NoEditor();
        return -1;
    }
    const QString program = words.first();
    const QStringList arguments = words.mid(1);
    QString error;
    const Runner& runner = Installed();
    const int32_t code = runner ? runner(program, arguments, &error) : RealRun(program, arguments, &error);
    if (!error.isEmpty()) {
        Report(NotRun(program, error));
        if (failure) *failure = NotRun(program, error);
        return -1;
    }
    return code;
}
}  // namespace

int32_t ExecCmd(const QString& Editor, const QString& FilePath, QString* failure) {
    if (failure) failure->clear();
    QStringList words = QProcess::splitCommand(Editor);
    if (words.isEmpty()) return Run(words, failure);
    words.append(FilePath);
    return Run(words, failure);
}

int32_t ExecCmd(const QString& CmdLine) { return Run(QProcess::splitCommand(CmdLine)); }

bool StartCmd(const QString& Editor, const QString& FilePath) {
    QStringList words = QProcess::splitCommand(Editor);
    if (words.isEmpty()) {
        Report(NoEditor(), QStringLiteral("StartCmd"));
        return false;
    }
    const QString program = words.takeFirst();
    words.append(FilePath);
    QString error;
    const Starter& starter = InstalledStarter();
    const bool started = starter ? starter(program, words, &error) : RealStart(program, words, &error);
    if (started) return true;
    Report(NotRun(program, error.isEmpty() ? QStringLiteral("not started") : error), QStringLiteral("StartCmd"));
    return false;
}

QString DefaultEditor() {
    struct Candidate {
        const char* program;
        const char* option;
    };
    static const Candidate candidates[] = {
        {"gnome-text-editor", "--standalone"},
        {"gedit", "--wait"},
        {"kate", "--block"},
        {"mousepad", "--disable-server"},
    };
    for (const Candidate& c : candidates) {
        if (!QStandardPaths::findExecutable(QString::fromLatin1(c.program)).isEmpty())
            return QString::fromLatin1(c.program) + QLatin1Char(' ') + QString::fromLatin1(c.option);
    }
    return QStringLiteral("xdg-open");
}

QString QuoteWord(const QString& word) {
    if (!word.isEmpty() && !word.contains(QLatin1Char(' ')) && !word.contains(QLatin1Char('\t')) &&
        !word.contains(QLatin1Char('"')))
        return word;
    // Inside quotes, splitCommand reads a literal quote from three quotes.
    QString quoted = word;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

void InstallRunner(Runner runner) { Installed() = std::move(runner); }

void InstallStarter(Starter starter) { InstalledStarter() = std::move(starter); }

}  // namespace modProcess
