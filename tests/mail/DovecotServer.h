#pragma once

// A private dovecot serving POP3 on 127.0.0.1 from a temporary folder:
// plaintext logins from a passwd-file, maildir mailboxes owned by nobody, no
// SSL, no system service involved.  Start() says why when it cannot run.
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

class DovecotServer {
public:
    DovecotServer() { m_dir.setAutoRemove(true); }
    ~DovecotServer() { Stop(); }

    int Port() const { return m_port; }
    QString Log() const {
        QFile f(m_dir.filePath(QStringLiteral("dovecot.log")));
        return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll()) : QString();
    }

    // A user with a plain password (bytes, as the server compares them).
    void AddUser(const QByteArray& name, const QByteArray& password) { m_users += name + ":{PLAIN}" + password + "\n"; }

    // One message file in the user's new/ folder, CR LF line ends.
    void AddMessage(const QByteArray& user, const QByteArray& bytes) {
        const QString base = m_dir.filePath(QStringLiteral("mail/") + QString::fromLatin1(user));
        for (const char* sub : {"new", "cur", "tmp"}) QDir().mkpath(base + QLatin1Char('/') + QLatin1String(sub));
        const QString path = base + QStringLiteral("/new/%1.M%2P1.fixture").arg(1700000000 + m_count).arg(m_count);
        ++m_count;
        QFile f(path);
        if (f.open(QIODevice::WriteOnly)) f.write(bytes);
        f.close();
    }

    // Messages still in the user's mailbox (new/ and cur/).
    int MessageCount(const QByteArray& user) const {
        const QString base = m_dir.filePath(QStringLiteral("mail/") + QString::fromLatin1(user));
        return static_cast<int>(QDir(base + QStringLiteral("/new")).entryList(QDir::Files).size() +
                                QDir(base + QStringLiteral("/cur")).entryList(QDir::Files).size());
    }

    // Empty when it runs; otherwise why not.
    QString Start() {
        const QString exe = QStandardPaths::findExecutable(QStringLiteral("dovecot"),
                                                           {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
        if (exe.isEmpty()) return QStringLiteral("dovecot is not installed (scripts/setup test installs dovecot-pop3d)");
        if (::geteuid() != 0) return QStringLiteral("dovecot needs root to switch to its users");
        if (::getpwnam("dovenull") == nullptr) return QStringLiteral("user dovenull missing");
        const passwd* nobody = ::getpwnam("nobody");  // last: the record is overwritten by the next lookup
        if (nobody == nullptr) return QStringLiteral("user nobody missing");
        const uid_t uid = nobody->pw_uid;
        const gid_t gid = nobody->pw_gid;
        if (!m_dir.isValid()) return QStringLiteral("no temporary folder");
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost)) return QStringLiteral("no free port");
        m_port = probe.serverPort();
        probe.close();

        const QString d = m_dir.path();
        for (const char* sub : {"run", "state", "mail"}) QDir().mkpath(d + QLatin1Char('/') + QLatin1String(sub));
        WriteText(d + QStringLiteral("/users"), m_users);
        ChownTree(d + QStringLiteral("/mail"), uid, gid);
        QFile::setPermissions(d, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                     QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
        const QByteArray conf = QByteArray("protocols = pop3\n"
                                           "listen = 127.0.0.1\n"
                                           "base_dir = ") + d.toLocal8Bit() + "/run\n"
                                "state_dir = " + d.toLocal8Bit() + "/state\n"
                                "log_path = " + d.toLocal8Bit() + "/dovecot.log\n"
                                "ssl = no\n"
                                "disable_plaintext_auth = no\n"
                                "auth_mechanisms = plain\n"
                                "auth_failure_delay = 0\n"
                                "default_login_user = dovenull\n"
                                "mail_location = maildir:" + d.toLocal8Bit() + "/mail/%u\n"
                                "pop3_uidl_format = %08Xu%08Xv\n"
                                "passdb {\n  driver = passwd-file\n  args = scheme=PLAIN " + d.toLocal8Bit() + "/users\n}\n"
                                "userdb {\n  driver = static\n  args = uid=nobody gid=" +
                                QByteArray(GroupName(gid)) + " home=" + d.toLocal8Bit() + "/mail/%u\n}\n"
                                "service pop3-login {\n  chroot =\n  inet_listener pop3 {\n    address = 127.0.0.1\n    port = " +
                                QByteArray::number(m_port) + "\n  }\n  inet_listener pop3s {\n    port = 0\n  }\n}\n"
                                "service imap-login {\n  chroot =\n}\n";
        WriteText(d + QStringLiteral("/dovecot.conf"), conf);
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(exe, {QStringLiteral("-F"), QStringLiteral("-c"), d + QStringLiteral("/dovecot.conf")});
        if (!m_process.waitForStarted(5000)) return QStringLiteral("dovecot did not start");
        const QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired()) {
            if (m_process.state() != QProcess::Running)
                return QStringLiteral("dovecot stopped: ") + QString::fromLocal8Bit(m_process.readAll()) + Log();
            QTcpSocket s;
            s.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(m_port));
            if (s.waitForConnected(200)) return QString();
            QThread::msleep(50);
        }
        return QStringLiteral("dovecot does not accept connections: ") + Log();
    }

    void Stop() {
        if (m_process.state() == QProcess::NotRunning) return;
        m_process.terminate();  // by its own pid
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
    }

private:
    static const char* GroupName(gid_t gid) {
        const group* g = ::getgrgid(gid);
        return g != nullptr ? g->gr_name : "nogroup";
    }
    static void WriteText(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly)) f.write(bytes);
    }
    static void ChownTree(const QString& path, uid_t uid, gid_t gid) {
        if (::chown(QFile::encodeName(path).constData(), uid, gid) != 0) return;
        for (const QFileInfo& fi : QDir(path).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
            if (fi.isDir())
                ChownTree(fi.filePath(), uid, gid);
            else if (::chown(QFile::encodeName(fi.filePath()).constData(), uid, gid) != 0)
                return;
        }
    }

    QTemporaryDir m_dir;
    QProcess m_process;
    QByteArray m_users;
    int m_port = 0;
    int m_count = 0;
};
