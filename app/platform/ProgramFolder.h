#pragma once

#include <QString>
#include <QStringList>

// The folder of the configuration files and logs: the executable's folder
// when it is writable, otherwise $XDG_DATA_HOME/OrmidYRB100, which is given
// the shipped files it lacks when decided, each whole or not at all (a
// missing one is copied at the next start).  Tests set a folder of their own.
class ProgramFolder {
public:
    static QString Path();
    static void Set(const QString& folder);
    // Empties the chosen folder so that the next Path() decides again; the
    // failed copies recorded are forgotten.
    static void Reset();
    // The copies of shipped files that failed since the last call, each
    // with the file's name and the cause: "Could not copy the reference file
    // <shipped> to <copy> (File too large)".  The folder may be decided
    // before there is a console to tell them: start-up takes them once there is.
    static QStringList TakeCopyFailures();
    // The rule itself, for an executable in exeDir.
    static QString Decide(const QString& exeDir);
    // The same once the executable's folder has been tested.
    static QString Decide(const QString& exeDir, bool exeDirWritable);
};
