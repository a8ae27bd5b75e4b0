#include "LogAppend.h"

#include <cerrno>

#include <QFile>

#include "FileReplace.h"

QString LogFilePath(const QString& dir, const QString& file) {
    return dir + (dir.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) + file;
}

LogAppend AppendToLog(const QString& what, const QString& path, const QByteArray& bytes) {
    LogAppend result;
    const QString failed = QStringLiteral("The %1 '%2' could not be ").arg(what, path);
    // A write that fails cuts the file back: a log never holds half an entry.
    filereplace::Call call;
    const int fd = call.Open(QFile::encodeName(path).toStdString(), filereplace::Mode::kAppend);
    if (fd < 0) {
        result.failure = failed + QStringLiteral("opened : ") + QString::fromLocal8Bit(call.Cause());
        return result;
    }
    result.opened = true;
    const bool written = filereplace::WriteAll(fd, bytes.constData(), static_cast<size_t>(bytes.size()));
    if (!written) call.Fail(errno);
    if (written && call.Commit()) return result;
    result.failure = failed + QStringLiteral("written : ") + QString::fromLocal8Bit(call.Cause());
    return result;
}
