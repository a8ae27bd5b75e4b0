#include "LogAppend.h"

#include <QFile>

QString LogFilePath(const QString& dir, const QString& file) {
    return dir + (dir.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) + file;
}

LogAppend AppendToLog(const QString& what, const QString& path, const QByteArray& bytes) {
    LogAppend result;
    const QString failed = QStringLiteral("The %1 '%2' could not be ").arg(what, path);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) {
        result.failure = failed + QStringLiteral("opened : ") + f.errorString();
        return result;
    }
    result.opened = true;
    if (f.write(bytes) != bytes.size()) result.failure = failed + QStringLiteral("written : ") + f.errorString();
    return result;
}
