#pragma once

#include <cstdint>
#include <functional>

#include <QString>
#include <QStringList>

// The command of the external text editor: set at the main window's load
// from the setting "Editor" (default modProcess::DefaultEditor()), shown and
// replaced by FrmOptions; the callers of modProcess::ExecCmd start it.
extern QString EditorPath;

// Starting an external program and waiting until it ends.  The
// program is started from an argument list, never through a shell, and the
// user-interface thread waits for it.
namespace modProcess {

// Starts Editor (a command: a program and its options, split into words as
// a shell would split them, with "..." quoting) with FilePath as one more
// argument, whatever blanks, quotes or ";" it holds, and waits until it
// ends.  Returns its exit code, or -1 when it could not be run: an empty
// command ("no editor is set"), a program that cannot be started and a
// program that crashed are reported (module "modProcess", routine
// "ExecCmd"); *failure, when given, receives the text reported ("" when the
// editor ran), for a caller that tells the user.
int32_t ExecCmd(const QString& Editor, const QString& FilePath, QString* failure = nullptr);

// The one-text form: the command line is split into words as above
// (a path in double quotes is one word) and started the same way.
int32_t ExecCmd(const QString& CmdLine);

// Starts Editor with FilePath as one more argument, as ExecCmd does, and
// returns at once: the program runs beside this one.  True once started; a
// command that is empty or cannot be started is reported (module
// "modProcess", routine "StartCmd") and gives False.
bool StartCmd(const QString& Editor, const QString& FilePath);

// The default "Editor": an editor of the desktop found on the PATH that
// opens the file in a window of its own and returns when that window is
// closed (gnome-text-editor --standalone, gedit --wait, kate --block,
// mousepad --disable-server), else "xdg-open".
QString DefaultEditor();

// A command word for a program path: quoted when it holds blanks or quotes.
QString QuoteWord(const QString& word);

// Where programs are run.  Tests install a runner that records the program
// and its arguments and answers an exit code; an empty function restores
// the real start.  A runner answers -1 and sets *error for a start failure.
using Runner = std::function<int32_t(const QString& program, const QStringList& arguments, QString* error)>;
void InstallRunner(Runner runner);

// Where programs are started without waiting (StartCmd).  Tests install a
// starter that records the program and its arguments; it answers False and
// sets *error for a start failure.  An empty function restores the real
// detached start.
using Starter = std::function<bool(const QString& program, const QStringList& arguments, QString* error)>;
void InstallStarter(Starter starter);

}  // namespace modProcess
