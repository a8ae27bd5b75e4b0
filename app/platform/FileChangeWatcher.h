#pragma once

#include <functional>
#include <optional>

#include <QByteArray>
#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTimer>

// Follows a few files of one folder while the program runs, whoever saves
// them and however: written in place, or written as a new file renamed over
// the old one (a watch on the file alone loses it then, so the folder is
// watched too).  The writes of one save come as a burst: changes are looked
// at once the folder has been quiet for a moment, and only while the busy
// test allows it; until then they wait.  A file whose content is what was
// last taken has not changed, so writes of other files in the folder (the
// owner's own among them) tell nothing.
class FileChangeWatcher : public QObject {
    Q_OBJECT
public:
    // The files' content now is taken as known.
    FileChangeWatcher(const QString& folder, const QStringList& names, QObject* parent = nullptr);

    // While it answers true, changes wait and it is asked again later.
    void SetBusyTest(std::function<bool()> busy);
    // The file's content now is known: no change is told for it.
    void Take(const QString& name);

    // The quiet time after the last write, and how often a busy owner is
    // asked again.
    static constexpr int kSettleMs = 250;
    // Tests install a quiet time of their own; none puts kSettleMs back.
    // A watch already waiting keeps its time until the next write.
    static void InstallSettleMs(std::optional<int> ms);

signals:
    // The names whose content differs from what was last taken; taken now.
    void Changed(const QStringList& names);

private:
    static int SettleMs();
    void Seen();
    void Settle();
    void WatchFiles();
    QString PathOf(const QString& name) const;
    // A digest of the content; none while the file cannot be read.
    std::optional<QByteArray> Digest(const QString& name) const;

    QString m_folder;
    QStringList m_names;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    std::function<bool()> m_busy;
    QHash<QString, std::optional<QByteArray>> m_taken;
};
