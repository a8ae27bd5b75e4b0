#pragma once

#include <QByteArray>
#include <QString>

#include "FileReplace.h"

// The program's own files of settings the user made (the accounts, the
// criteria): written whole by the rule of WholeFile, the former file copied
// once to a backup beside it before the first overwrite.
namespace ConfigFile {

// What a failed write says before the file's name and the system's cause.
struct Words {
    const char* write;    // the file could not be opened or written
    const char* replace;  // it could not be made durable or put under its name
};

// Writes the bytes under the name; false, with *failure set, leaves the
// name as it was.
bool Write(const QString& name, const QByteArray& bytes, filereplace::Bits bits, const Words& words,
           QString* failure);

// Copies the file at name to name + ".bak" unless something stands there
// already (a link too): a backup is made once and never replaced.  False,
// with *failure set, when it could not be made: no backup is left then, and
// the next call tries again.
bool BackUpOnce(const QString& name, filereplace::Bits bits, QString* failure);

}  // namespace ConfigFile
