#include "ConfigFile.h"

#include <sys/stat.h>

#include <QFile>

#include "WholeFile.h"

namespace ConfigFile {

namespace {

struct StepWords {
    const char* open;
    const char* write;
    const char* commit;
};

bool WriteWhole(const QString& name, const QByteArray& bytes, filereplace::Bits bits, const StepWords& words,
                QString* failure) {
    WholeFile out(name, bits);
    QString text;  // WholeFile's own words: the caller's name the file better
    if (!out.Open(&text)) {
        *failure = out.Failure(words.open);
    } else if (!out.Write(bytes, &text)) {
        *failure = out.Failure(words.write);
    } else if (!out.Commit(&text)) {
        *failure = out.Failure(words.commit);
    } else {
        return true;
    }
    return false;
}

}  // namespace

bool Write(const QString& name, const QByteArray& bytes, filereplace::Bits bits, const Words& words,
           QString* failure) {
    return WriteWhole(name, bytes, bits, {words.write, words.write, words.replace}, failure);
}

bool BackUpOnce(const QString& name, filereplace::Bits bits, QString* failure) {
    const QString backup = name + QStringLiteral(".bak");
    struct stat st {};
    if (::lstat(QFile::encodeName(backup).constData(), &st) == 0) return true;
    QFile former(name);
    const QByteArray bytes = former.open(QIODevice::ReadOnly) ? former.readAll() : QByteArray();
    if (former.error() != QFileDevice::NoError) {
        *failure = QStringLiteral("Cannot read %1 to back it up (%2)").arg(name, former.errorString());
        return false;
    }
    return WriteWhole(backup, bytes, bits,
                      {"Cannot create the backup ", "Cannot write the backup ", "Cannot write the backup "}, failure);
}

}  // namespace ConfigFile
