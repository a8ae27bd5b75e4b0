#pragma once

#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

// A small file system of a test's own, mounted on a folder: a tmpfs with few
// inodes, or exFAT (no hard links) on a loop device.  Unmounted, and the
// loop device detached, however the test ends.  Only root can mount: where
// the machine cannot, Why() says why and the test skips.
class ScratchMount {
public:
    ~ScratchMount() {
        if (m_mounted) {
            const QByteArray folder = QFile::encodeName(m_folder);
            // A file still open there would keep it busy: detached then.
            if (::umount2(folder.constData(), 0) != 0) (void)::umount2(folder.constData(), MNT_DETACH);
        }
        if (!m_loop.isEmpty()) (void)Run(m_losetup, {QStringLiteral("-d"), m_loop});
    }
    ScratchMount(const ScratchMount&) = delete;
    ScratchMount& operator=(const ScratchMount&) = delete;

    bool Ready() const { return m_why.isEmpty(); }
    const QString& Why() const { return m_why; }
    const QString& Folder() const { return m_folder; }

protected:
    explicit ScratchMount(const QString& folder) : m_folder(folder) {
        QDir().mkpath(folder);
        if (::geteuid() != 0) m_why = QStringLiteral("only root can mount a file system");
    }
    // Runs a program to its end, whatever time that takes; its output on failure.
    QString Run(const QString& program, const QStringList& arguments) {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(program, arguments);
        if (!p.waitForStarted(-1)) return program + QStringLiteral(" could not be started");
        p.waitForFinished(-1);
        m_output = QString::fromLocal8Bit(p.readAll()).trimmed();
        if (p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0) return QString();
        return program + QStringLiteral(" failed: ") + m_output;
    }

    QString m_folder;
    QString m_why;
    QString m_output;
    QString m_loop;  // the loop device, with the losetup that detaches it
    QString m_losetup;
    bool m_mounted = false;
};

// A tmpfs of a few inodes; the folder itself takes one.
class TmpfsMount : public ScratchMount {
public:
    TmpfsMount(const QString& folder, unsigned inodes) : ScratchMount(folder) {
        if (!Ready()) return;
        const QByteArray options = "size=1m,nr_inodes=" + QByteArray::number(inodes);
        m_mounted = ::mount("ormid-test", QFile::encodeName(folder).constData(), "tmpfs", 0, options.constData()) == 0;
        if (!m_mounted) m_why = QStringLiteral("tmpfs could not be mounted (%1)").arg(std::strerror(errno));
    }
    // The inodes left; -1 where the system does not say.
    long FreeInodes() const {
        struct statvfs st {};
        return ::statvfs(QFile::encodeName(m_folder).constData(), &st) == 0 ? static_cast<long>(st.f_ffree) : -1;
    }
    // Empty files in the folder "fill" until only left inodes remain (none
    // where the folder takes none).
    void FillUpTo(long left) {
        const QString fill = m_folder + QStringLiteral("/fill");
        QDir().mkdir(fill);
        for (int k = 0; FreeInodes() > left; ++k) {
            QFile file(fill + QStringLiteral("/%1").arg(k));
            if (!file.open(QIODevice::WriteOnly)) return;
        }
    }
};

// exFAT in an image of its own on a loop device, through exfat-fuse.
class ExfatMount : public ScratchMount {
public:
    explicit ExfatMount(const QString& folder) : ScratchMount(folder) {
        if (!Ready()) return;
        const QString mkfs = Tool("mkfs.exfat"), mount = Tool("mount.exfat-fuse"), losetup = Tool("losetup");
        if (mkfs.isEmpty() || mount.isEmpty() || losetup.isEmpty()) {
            m_why = QStringLiteral("mkfs.exfat (exfatprogs), mount.exfat-fuse (exfat-fuse) or losetup is missing");
            return;
        }
        const QString image = folder + QStringLiteral(".img");
        QFile file(image);
        if (!file.open(QIODevice::WriteOnly) || !file.resize(kImageBytes)) {
            m_why = QStringLiteral("no room for the image ") + image;
            return;
        }
        file.close();
        m_why = Run(mkfs, {image});
        if (!Ready()) return;
        m_why = Run(losetup, {QStringLiteral("-f"), QStringLiteral("--show"), image});
        if (!Ready()) return;
        m_loop = m_output;
        m_losetup = losetup;
        m_why = Run(mount, {m_loop, folder});
        m_mounted = Ready();
    }

private:
    static constexpr qint64 kImageBytes = 8 << 20;
    static QString Tool(const char* name) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        return found.isEmpty() ? QStandardPaths::findExecutable(QString::fromLatin1(name), {"/usr/sbin", "/sbin"})
                               : found;
    }
};
