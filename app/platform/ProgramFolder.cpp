#include "ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

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

// Copies the shipped configuration files that the user folder lacks.
void CopyShippedFiles(const QString& from, const QString& to) {
    const QStringList patterns = {QStringLiteral("DN_*.cfg"), QStringLiteral("MA_*.cfg")};
    const QFileInfoList files = QDir(from).entryInfoList(patterns, QDir::Files);
    for (const QFileInfo& f : files) {
        const QString target = to + QLatin1Char('/') + f.fileName();
        if (!QFileInfo::exists(target)) QFile::copy(f.absoluteFilePath(), target);
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

void ProgramFolder::Reset() { Chosen().clear(); }
