#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include "FileReplace.h"

// A file the program writes from its start, under its name only when
// whole, by the rule of FileReplace.h: until Commit a file that was there
// stays as it was; an object destroyed without Commit leaves it so.
//
// Failures come back as the system's text with the cause the system gave,
// e.g. "Could not write to file : /data/out.txt (No space left on device)".
class WholeFile {
public:
    // Private: the file is the user's alone (0600), whatever the former
    // one's bits were.
    explicit WholeFile(const QString& name, filereplace::Bits bits = filereplace::Bits::kKept)
        : m_name(name), m_bits(bits) {}
    ~WholeFile() { Discard(); }
    WholeFile(const WholeFile&) = delete;
    WholeFile& operator=(const WholeFile&) = delete;

    // False, with *failure set, when the file cannot be written (a folder
    // given as the name, a missing or read-only folder, a file the user
    // may not write).
    bool Open(QString* failure);
    bool Write(const char* bytes, qint64 size, QString* failure);
    bool Write(const QByteArray& bytes, QString* failure) { return Write(bytes.constData(), bytes.size(), failure); }
    // Puts the written file under the name.  False, with *failure set,
    // when it could not be made durable or put there: the name is then as
    // it was.
    bool Commit(QString* failure);
    // The name stays as it was; a former content that could not be put
    // back is said on the console, with where it is kept.
    void Discard();
    // The last failure in the caller's words: what, then the name and the
    // cause, e.g. "Cannot write the account file /data/a.cfg (File too large)",
    // then where a former content that could not be put back is kept.
    QString Failure(const char* what) const;

private:
    QString m_name;
    filereplace::Bits m_bits;
    filereplace::Call m_call;
    int m_fd = -1;
};

// Names that the engine writes over several calls of one command: each is
// emptied with its former content kept.  A command that fails puts the
// former content back (also when the object goes without Drop); one that
// finishes, or that the user stopped (a stop keeps what was written),
// drops it where a new file stands under the name.  A former content that
// could not be put back is said on the console with where it is kept.
class FormerContent {
public:
    FormerContent() = default;
    ~FormerContent() { PutBack(); }
    FormerContent(const FormerContent&) = delete;
    FormerContent& operator=(const FormerContent&) = delete;

    void SetAside(const QString& name) { m_call.SetAside(QFile::encodeName(name).toStdString()); }
    // A report the engine appends to, which each run makes anew: where its
    // former content cannot be kept it is removed (else emptied), so that
    // the new report never follows it, and the console says why.  False
    // when it could not be cleared either: no report may be written there.
    bool SetAsideReport(const QString& name);
    void Drop();
    void PutBack();

private:
    filereplace::Call m_call;
};
