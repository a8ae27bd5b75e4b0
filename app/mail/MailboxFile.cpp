#include "MailboxFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "MailNumbers.h"
#include "OrmidYRB100.h"
#include "ReportError.h"
#include "ServiceObjects.h"
#include "clsFile.h"
#include "modGlobalFunctionsRecords.h"

namespace MailboxFile {

namespace {

constexpr bool kShowDialog = false;
constexpr bool kLogToScreen = true;
constexpr uint32_t kReadChunk = 100000;
constexpr mode_t kFolderMode = 0700;
constexpr mode_t kFileMode = 0600;

const QString kFileName = QStringLiteral("MA_Mailbox.cfg");
const QString kRecordEnd = QStringLiteral("\r\n");
const QString kFieldSeparator = QStringLiteral("|");
constexpr int kFields = 5;

void ReportLoad(const QString& Description) {
    modGlobalFunctions::ReportError(Description, QString(), QStringLiteral("FrmMain"), QStringLiteral("LoadMailboxes"),
                                    kShowDialog, kLogToScreen);
}

void ReportSave(const QString& Description) {
    modGlobalFunctions::ReportError(Description, QString(), QStringLiteral("FrmMailBox"),
                                    QStringLiteral("SaveMailboxes"), kShowDialog, kLogToScreen);
}

QString SystemError(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

bool WriteAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

std::function<bool(int, const QByteArray&)>& InstalledWriter() {
    static std::function<bool(int, const QByteArray&)> writer;
    return writer;
}

bool Write(int fd, const QByteArray& bytes) {
    return InstalledWriter() ? InstalledWriter()(fd, bytes) : WriteAll(fd, bytes);
}

// The copy of an existing file made once: a backup that exists is never
// replaced.  Like the account file it is readable by the user alone.
void BackUpOnce(const QString& path) {
    const QByteArray backup = QFile::encodeName(path + QStringLiteral(".bak"));
    const int fd = ::open(backup.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kFileMode);
    if (fd < 0) {
        if (errno != EEXIST)
            ReportSave(
                QStringLiteral("Cannot create the backup %1 : %2").arg(QFile::decodeName(backup), SystemError(errno)));
        return;
    }
    QFile old(path);
    const bool ok = old.open(QIODevice::ReadOnly) && WriteAll(fd, old.readAll());
    const bool closed = ::close(fd) == 0;
    if (!ok || !closed) {
        // A cut backup would be kept for ever: better none, and a try at the next save.
        ::unlink(backup.constData());
        ReportSave(QStringLiteral("Cannot write the backup %1").arg(QFile::decodeName(backup)));
    }
}

bool HoldsSeparator(const QString& text) {
    return text.contains(kFieldSeparator) || text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

// Reads one record's port and time-out; false when one is out of range.
bool ReadRecord(const QString& record, clsPOP3Mailbox& account) {
    QString fields[kFields];
    int64_t at = 1;
    for (QString& field : fields) modGlobalFunctions::GetNextRecord(record, field, kFieldSeparator, at);
    account.POP3User = fields[0];
    account.POP3Password = fields[1];
    account.POP3Server = fields[2];
    const std::optional<int32_t> port = MailNumbers::ToInt32(MailNumbers::LeadingNumber(fields[3]));
    const std::optional<int32_t> timeOut = MailNumbers::ToInt32(MailNumbers::LeadingNumber(fields[4]));
    if (!port || !timeOut) return false;
    account.POP3Port = *port;
    account.POP3TimeOut = *timeOut;
    return true;
}

}  // namespace

QString Folder() {
    // A relative XDG_DATA_HOME is invalid and ignored, as the XDG rules say.
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(data)) data = QDir::homePath() + QStringLiteral("/.local/share");
    const QString dir = data + QStringLiteral("/OrmidYRB100");
    QDir().mkpath(data);
    const QByteArray name = QFile::encodeName(dir);
    ::mkdir(name.constData(), kFolderMode);
    // The folder may have been made before, by a hand or as the fallback
    // program folder, with the usual wider mode.
    ::chmod(name.constData(), kFolderMode);
    return dir;
}

QString Path() { return Folder() + QLatin1Char('/') + kFileName; }

bool Read(const QString& path, MailboxCollection& Accounts) {
    Accounts.clear();
    clsFile file;
    file.MyError = ErrorObj();
    if (!file.IsPathSyntaxOk(path) || !file.IsPresent() || file.Size == 0) return false;
    if (file.Size >= INT32_MAX) {
        ReportLoad(QStringLiteral("The account file %1 is too large").arg(path));
        return false;
    }
    const auto size = static_cast<uint32_t>(file.Size);
    QByteArray buffer(qsizetype(size) + 1, '\0');
    const int32_t count = YRB28(QFile::encodeName(path).constData(), kReadChunk, buffer.data(), size);
    if (count != static_cast<int32_t>(size)) return false;
    const QString text = QString::fromLatin1(buffer.constData(), count);
    QString record;
    int64_t at = 1;
    int64_t line = 0;
    while (modGlobalFunctions::GetNextRecord(text, record, kRecordEnd, at)) {
        ++line;
        auto account = std::make_shared<clsPOP3Mailbox>();
        if (!ReadRecord(record, *account)) {
            ReportLoad(QStringLiteral("Line %1 of the account file %2 is skipped: its port or time-out is out of range")
                           .arg(line)
                           .arg(path));
            continue;
        }
        Accounts.push_back(std::move(account));
        QCoreApplication::processEvents();
    }
    return true;
}

bool Format(const MailboxCollection& Accounts, QByteArray& bytes) {
    bytes.clear();
    int64_t n = 0;
    for (const std::shared_ptr<clsPOP3Mailbox>& a : Accounts) {
        ++n;
        if (!a) continue;
        if (HoldsSeparator(a->POP3User) || HoldsSeparator(a->POP3Server) || HoldsSeparator(a->POP3Password)) {
            ReportSave(
                QStringLiteral("Account %1 cannot be saved: its name or server holds \"|\" or a line break").arg(n));
            bytes.clear();
            return false;
        }
        bytes += a->POP3User.toLatin1();
        bytes += '|';
        bytes += a->POP3Password.toLatin1();
        bytes += '|';
        bytes += a->POP3Server.toLatin1();
        bytes += '|';
        bytes += QByteArray::number(a->POP3Port);
        bytes += '|';
        bytes += QByteArray::number(a->POP3TimeOut);
        bytes += "\r\n";
    }
    return true;
}

bool SaveMailboxes(const QString& path) {
    if (!Mailboxes) {
        ReportSave(QStringLiteral("Accounts collection has not been initialized"));
        return false;
    }
    clsFile file;
    file.MyError = ErrorObj();
    if (!file.IsPathSyntaxOk(path)) return false;
    QByteArray bytes;
    if (!Format(*Mailboxes, bytes)) return false;
    if (file.IsPresent()) BackUpOnce(path);

    // Written beside the file and renamed over it, so the old file stays
    // whole until the new one is.  mkstemp creates it with mode 0600.
    QByteArray temp = QFile::encodeName(QFileInfo(path).absolutePath() + QStringLiteral("/.MA_Mailbox.cfg.XXXXXX"));
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        ReportSave(QStringLiteral("Cannot create a temporary file beside %1 : %2").arg(path, SystemError(errno)));
        return false;
    }
    const bool written = Write(fd, bytes) && ::fsync(fd) == 0;
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        ::unlink(temp.constData());
        ReportSave(QStringLiteral("Cannot write the account file %1 : %2").arg(path, SystemError(writeError)));
        return false;
    }
    if (::rename(temp.constData(), QFile::encodeName(path).constData()) != 0) {
        const int renameError = errno;
        ::unlink(temp.constData());
        ReportSave(QStringLiteral("Cannot replace the account file %1 : %2").arg(path, SystemError(renameError)));
        return false;
    }
    return true;
}

void InstallWriter(std::function<bool(int fd, const QByteArray& bytes)> writer) {
    InstalledWriter() = std::move(writer);
}

}  // namespace MailboxFile
