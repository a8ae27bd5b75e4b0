#include "MailboxFile.h"

#include <climits>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "ConfigFile.h"
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
// The file and its backup are the user's alone from their first byte.
constexpr filereplace::Bits kFileBits = filereplace::Bits::kPrivate;
constexpr ConfigFile::Words kWords{"Cannot write the account file ", "Cannot replace the account file "};

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
    QString failure;
    // A backup that cannot be made is told; the accounts are saved still.
    if (file.IsPresent() && !ConfigFile::BackUpOnce(path, kFileBits, &failure)) ReportSave(failure);
    if (!ConfigFile::Write(path, bytes, kFileBits, kWords, &failure)) {
        ReportSave(failure);
        return false;
    }
    return true;
}

}  // namespace MailboxFile
