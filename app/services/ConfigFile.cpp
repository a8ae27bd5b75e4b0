#include "ConfigFile.h"

#include <sys/stat.h>

#include <QFile>

#include "WholeFile.h"

namespace ConfigFile {

namespace {

constexpr mode_t kPermissionBits = 07777;

struct StepWords {
    const char* open;
    const char* write;
    const char* commit;
};

bool WriteWhole(const QString& name, const QByteArray& bytes, filereplace::Bits bits, const StepWords& words,
                QString* failure) {
    WholeFile out(name, bits);
    QString generic;  // WholeFile's words: the failure is told in the caller's
    if (!out.Open(&generic)) {
        *failure = out.Failure(words.open);
    } else if (!out.Write(bytes, &generic)) {
        *failure = out.Failure(words.write);
    } else if (!out.Commit(&generic)) {
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
    struct stat original {};
    if (former.error() != QFileDevice::NoError || ::fstat(former.handle(), &original) != 0) {
        *failure = QStringLiteral("Cannot read %1 to back it up (%2)").arg(name, former.errorString());
        return false;
    }
    // Written the user's alone, then given the bits of the file it copies:
    // never readable by more than the original, not even for a moment.
    if (!WriteWhole(backup, bytes, filereplace::Bits::kPrivate,
                    {"Cannot create the backup ", "Cannot write the backup ", "Cannot write the backup "}, failure))
        return false;
    if (bits == filereplace::Bits::kKept) (void)::chmod(QFile::encodeName(backup).constData(), original.st_mode & kPermissionBits);
    return true;
}

}  // namespace ConfigFile
