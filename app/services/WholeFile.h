#pragma once

#include <QByteArray>
#include <QString>

// A file written from its start that appears under its name only when
// whole: the text goes to a temporary file in the same folder, renamed over
// the name by Commit.  Until then a file that was there stays as it was; an
// object destroyed without Commit removes its temporary file.
//
// A symbolic link is followed (the link stays, its target is replaced); a
// replaced file keeps its permission bits, a new one gets the usual bits
// less the umask.  A name that is not a regular file (a device, a pipe) is
// written in place, as there is nothing to rename over it.
//
// Failures come back as the system's text with the cause the system gave,
// e.g. "Could not write to file : /data/out.txt (No space left on device)".
// While the object lives, the engine's messages about the temporary file
// name the file asked for.
class WholeFile {
public:
    explicit WholeFile(const QString& name);
    ~WholeFile();
    WholeFile(const WholeFile&) = delete;
    WholeFile& operator=(const WholeFile&) = delete;

    // Creates the place to write.  False, with *failure set, when it
    // cannot be created (a folder given as the name, a read-only folder, a
    // file the user may not write).
    bool Open(QString* failure);
    // Where the bytes go: the temporary file, or the name itself when it is
    // written in place.  For the engine, which opens the path itself.
    const QString& WritePath() const { return m_writePath; }
    // Appends bytes through the program's own handle.
    bool Write(const char* bytes, qint64 size, QString* failure);
    bool Write(const QByteArray& bytes, QString* failure) { return Write(bytes.constData(), bytes.size(), failure); }
    // Flushes and closes the program's handle, before the engine reads or
    // writes the file by its path.  Also done by Commit.
    bool CloseHandle(QString* failure);
    // Puts the written file under the name.  False, with *failure set, when
    // it could not be made durable or renamed; nothing is left then.
    bool Commit(QString* failure);
    // Removes the temporary file: the name stays as it was.
    void Discard();

private:
    QString Failed(const char* what, int code) const;

    QString m_name;       // as asked, for messages
    QString m_target;     // the name with its links followed
    QString m_writePath;  // the temporary file, or the target itself
    bool m_inPlace = false;
    bool m_pending = false;  // a temporary file exists and is not renamed
    int m_fd = -1;
};

namespace WholeFileNames {
// The engine's text with the temporary file's path, while a WholeFile is
// open, replaced by the name asked for.
QByteArray AsAsked(const QByteArray& engineText);
}  // namespace WholeFileNames
