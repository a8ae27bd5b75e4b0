#include "ProgramFolder.h"

#include <cerrno>
#include <utility>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include "FileReplace.h"

namespace {
QString& Chosen() {
    static QString folder;
    return folder;
}

// Permission bits do not bind every user (root) nor tell a read-only mount:
// a folder is writable when a file can be created in it.
bool IsWritableFolder(const QString& dir) {
    if (!QFileInfo(dir).isDir()) return false;
    QTemporaryFile probe(dir + QStringLiteral("/.ormid-write-XXXXXX"));
    return probe.open();
}

QStringList& CopyFailures() {
    static QStringList failures;
    return failures;
}

// A cut copy under the name would be taken as present at the next start,
// so the copy goes there whole or not at all.  Returns "" or what failed.
QString CopyWhole(const QString& from, const QString& to) {
    const QString what = QStringLiteral("Could not copy the reference file %1 to ").arg(from);
    QFile source(from);
    QByteArray bytes;
    if (source.open(QIODevice::ReadOnly)) bytes = source.readAll();
    if (source.error() != QFileDevice::NoError)
        return what + to + QStringLiteral(" (") + source.errorString() + QLatin1Char(')');
    filereplace::Call call;
    const int fd = call.Open(QFile::encodeName(to).toStdString(), filereplace::Mode::kFromStart);
    if (fd >= 0 && !filereplace::WriteAll(fd, bytes.constData(), static_cast<size_t>(bytes.size()))) call.Fail(errno);
    if (fd >= 0 && call.Error() == 0 && call.Commit()) return QString();
    return QString::fromLocal8Bit(call.Describe(QFile::encodeName(what).constData()));
}

// Copies the shipped configuration files that the user folder lacks.
void CopyShippedFiles(const QString& from, const QString& to) {
    const QStringList patterns = {QStringLiteral("DN_*.cfg"), QStringLiteral("MA_*.cfg")};
    const QFileInfoList files = QDir(from).entryInfoList(patterns, QDir::Files);
    for (const QFileInfo& f : files) {
        const QString target = to + QLatin1Char('/') + f.fileName();
        if (QFileInfo::exists(target)) continue;
        const QString failure = CopyWhole(f.absoluteFilePath(), target);
        if (!failure.isEmpty()) CopyFailures().append(failure);
    }
}

}  // namespace

QString ProgramFolder::Decide(const QString& exeDir) { return Decide(exeDir, IsWritableFolder(exeDir)); }

QString ProgramFolder::Decide(const QString& exeDir, bool exeDirWritable) {
    if (exeDirWritable) return exeDir;
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty()) data = QDir::homePath() + QStringLiteral("/.local/share");
    const QString dir = data + QStringLiteral("/OrmidYRB100");
    QDir().mkpath(dir);
    CopyShippedFiles(exeDir, dir);
    return dir;
}

QString ProgramFolder::Path() {
    QString& folder = Chosen();
    if (folder.isEmpty())
        folder = Decide(QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath());
    return folder;
}

void ProgramFolder::Set(const QString& folder) { Chosen() = folder; }

void ProgramFolder::Reset() {
    Chosen().clear();
    CopyFailures().clear();
}

QStringList ProgramFolder::TakeCopyFailures() { return std::exchange(CopyFailures(), QStringList()); }
