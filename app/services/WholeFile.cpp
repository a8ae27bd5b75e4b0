#include "WholeFile.h"

#include <cerrno>
#include <cstring>

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QPair>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A link that points at itself through others ends the walk here, where
// the system's own lookups give up.
constexpr int kMaxLinks = 40;
// Bits of a new file before the umask, as an editor's save gives them.
constexpr mode_t kNewFileMode = 0666;
constexpr mode_t kPermissionBits = 07777;
// Attempts at a temporary name nobody holds.
constexpr int kNameAttempts = 100;

// The temporary files of the writes in progress and the names they stand for.
QList<QPair<QByteArray, QByteArray>>& Aliases() {
    static QList<QPair<QByteArray, QByteArray>> aliases;
    return aliases;
}

QString SystemText(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

// The file a name finally stands for: each link replaced by what it points
// at, read relative to the link's folder.  A dangling link gives the path
// it points at, which the write then creates.
QByteArray FollowLinks(const QByteArray& name) {
    QByteArray path = name;
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        struct stat st {};
        if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        QByteArray target(static_cast<qsizetype>(st.st_size > 0 ? st.st_size : PATH_MAX), '\0');
        const ssize_t n = ::readlink(path.constData(), target.data(), static_cast<size_t>(target.size()));
        if (n <= 0) return path;
        target.truncate(n);
        if (!target.startsWith('/')) {
            const qsizetype slash = path.lastIndexOf('/');
            target.prepend(slash >= 0 ? path.left(slash + 1) : QByteArray());
        }
        path = target;
    }
    return path;
}

bool WriteAll(int fd, const char* bytes, qint64 size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, static_cast<size_t>(size));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        bytes += n;
        size -= n;
    }
    return true;
}

}  // namespace

WholeFile::WholeFile(const QString& name) : m_name(name) {}

WholeFile::~WholeFile() { Discard(); }

QString WholeFile::Failed(const char* what, int code) const {
    return QLatin1String(what) + m_name + QStringLiteral(" (") + SystemText(code) + QLatin1Char(')');
}

bool WholeFile::Open(QString* failure) {
    const QByteArray target = FollowLinks(QFile::encodeName(m_name));
    m_target = QFile::decodeName(target);
    struct stat st {};
    const bool present = ::stat(target.constData(), &st) == 0;
    if (present && S_ISDIR(st.st_mode)) {
        *failure = Failed("Could not open file for writing : ", EISDIR);
        return false;
    }
    // A file the user may not write is not replaced behind its back.
    if (present && ::access(target.constData(), W_OK) != 0) {
        *failure = Failed("Could not open file for writing : ", errno);
        return false;
    }
    if (present && !S_ISREG(st.st_mode)) {
        // A device or a pipe: nothing can be renamed over it.
        m_inPlace = true;
        m_writePath = m_target;
        m_fd = ::open(target.constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (m_fd < 0) {
            *failure = Failed("Could not open file for writing : ", errno);
            return false;
        }
        return true;
    }

    const QFileInfo info(m_target);
    const QString folder = info.path();
    for (int attempt = 0; attempt < kNameAttempts && m_fd < 0; ++attempt) {
        const QString temp = folder + QStringLiteral("/.") + info.fileName() + QLatin1Char('.') +
                             QString::number(QRandomGenerator::global()->generate(), 36) + QStringLiteral(".tmp");
        m_fd = ::open(QFile::encodeName(temp).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
        if (m_fd >= 0) {
            m_writePath = temp;
        } else if (errno != EEXIST) {
            *failure = Failed("Could not open file for writing : ", errno);
            return false;
        }
    }
    if (m_fd < 0) {
        *failure = Failed("Could not open file for writing : ", EEXIST);
        return false;
    }
    m_pending = true;
    if (present && ::fchmod(m_fd, st.st_mode & kPermissionBits) != 0) {
        *failure = Failed("Could not open file for writing : ", errno);
        Discard();
        return false;
    }
    Aliases().append({QFile::encodeName(m_writePath), QFile::encodeName(m_name)});
    return true;
}

bool WholeFile::Write(const char* bytes, qint64 size, QString* failure) {
    if (m_fd < 0) {
        *failure = Failed("Could not write to file : ", EBADF);
        return false;
    }
    if (!WriteAll(m_fd, bytes, size)) {
        *failure = Failed("Could not write to file : ", errno);
        return false;
    }
    return true;
}

bool WholeFile::CloseHandle(QString* failure) {
    if (m_fd < 0) return true;
    const int fd = m_fd;
    m_fd = -1;
    // A full disk may only show at the last flush or at the close.
    if (!m_inPlace && ::fsync(fd) != 0 && errno != EINVAL) {
        const int code = errno;
        ::close(fd);
        *failure = Failed("Could not write to file : ", code);
        return false;
    }
    if (::close(fd) != 0 && errno != EINTR) {
        *failure = Failed("Could not write to file : ", errno);
        return false;
    }
    return true;
}

bool WholeFile::Commit(QString* failure) {
    if (!CloseHandle(failure)) {
        Discard();
        return false;
    }
    if (!m_pending) return true;
    const QByteArray temp = QFile::encodeName(m_writePath);
    // What the engine wrote by the path reaches the disk before the rename.
    const int fd = ::open(temp.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        const int code = errno;
        if (fd >= 0) ::close(fd);
        *failure = Failed("Could not write to file : ", code);
        Discard();
        return false;
    }
    ::close(fd);
    if (::rename(temp.constData(), QFile::encodeName(m_target).constData()) != 0) {
        *failure = Failed("Could not write to file : ", errno);
        Discard();
        return false;
    }
    m_pending = false;
    Aliases().removeAll(QPair<QByteArray, QByteArray>(temp, QFile::encodeName(m_name)));
    return true;
}

void WholeFile::Discard() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_pending) return;
    const QByteArray temp = QFile::encodeName(m_writePath);
    ::unlink(temp.constData());
    m_pending = false;
    Aliases().removeAll(QPair<QByteArray, QByteArray>(temp, QFile::encodeName(m_name)));
}

namespace WholeFileNames {

QByteArray AsAsked(const QByteArray& engineText) {
    QByteArray text = engineText;
    for (const auto& [written, asked] : Aliases()) text.replace(written, asked);
    return text;
}

}  // namespace WholeFileNames
