#include "FileChangeWatcher.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

namespace {
std::optional<int>& InstalledSettleMs() {
    static std::optional<int> ms;
    return ms;
}
}  // namespace

FileChangeWatcher::FileChangeWatcher(const QString& folder, const QStringList& names, QObject* parent)
    : QObject(parent), m_folder(folder), m_names(names) {
    for (const QString& name : m_names) m_taken.insert(name, Digest(name));
    m_settle.setSingleShot(true);
    connect(&m_settle, &QTimer::timeout, this, &FileChangeWatcher::Settle);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &FileChangeWatcher::Seen);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &FileChangeWatcher::Seen);
    if (QFileInfo(m_folder).isDir()) m_watcher.addPath(m_folder);
    WatchFiles();
}

void FileChangeWatcher::InstallSettleMs(std::optional<int> ms) { InstalledSettleMs() = ms; }

int FileChangeWatcher::SettleMs() { return InstalledSettleMs().value_or(kSettleMs); }

void FileChangeWatcher::SetBusyTest(std::function<bool()> busy) { m_busy = std::move(busy); }

void FileChangeWatcher::Take(const QString& name) { m_taken.insert(name, Digest(name)); }

void FileChangeWatcher::Seen() {
    // A file renamed over, or written anew, is another file to the system:
    // it is watched from now on.
    WatchFiles();
    m_settle.start(SettleMs());
}

void FileChangeWatcher::Settle() {
    if (m_busy && m_busy()) {
        m_settle.start(SettleMs());
        return;
    }
    // Watched again before the files are read: a write from now on is seen.
    WatchFiles();
    QStringList changed;
    for (const QString& name : m_names) {
        // A file that is gone is taken to be in the middle of a save: it
        // counts once it is back.
        std::optional<QByteArray> now = Digest(name);
        if (!now || m_taken.value(name) == now) continue;
        m_taken.insert(name, now);
        changed.append(name);
    }
    if (!changed.isEmpty()) emit Changed(changed);
}

void FileChangeWatcher::WatchFiles() {
    // Every watch is set again: a watch may still follow a file that was
    // replaced while someone held it open.
    const QStringList watched = m_watcher.files();
    if (!watched.isEmpty()) m_watcher.removePaths(watched);
    for (const QString& name : m_names) {
        const QString path = PathOf(name);
        if (QFileInfo::exists(path)) m_watcher.addPath(path);
    }
}

QString FileChangeWatcher::PathOf(const QString& name) const { return m_folder + QLatin1Char('/') + name; }

std::optional<QByteArray> FileChangeWatcher::Digest(const QString& name) const {
    QFile file(PathOf(name));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    QCryptographicHash hash(QCryptographicHash::Sha1);
    if (!hash.addData(&file)) return std::nullopt;
    return hash.result();
}
