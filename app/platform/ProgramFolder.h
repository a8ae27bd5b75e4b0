#pragma once

#include <QString>

// The folder of the configuration files and logs: the executable's folder
// when it is writable, otherwise $XDG_DATA_HOME/OrmidYRB100, which is filled
// with the shipped files on first use.  Tests set a folder of their own.
class ProgramFolder {
public:
    static QString Path();
    static void Set(const QString& folder);
    // Empties the chosen folder so that the next Path() decides again.
    static void Reset();
    // The rule itself, for an executable in exeDir.
    static QString Decide(const QString& exeDir);
    // The same once the executable's folder has been tested.
    static QString Decide(const QString& exeDir, bool exeDirWritable);
};
