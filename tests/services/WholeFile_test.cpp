// A file written from its start appears under its name only when whole:
// links followed, permission bits kept, devices written in place, and on a
// failure the former file left byte for byte with no temporary file behind.
#include <cerrno>
#include <csignal>
#include <functional>
#include <string>
#include <utility>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "FileSizeLimit.h"
#include "ServiceTestSupport.h"
#include "TestHarness.h"
#include "WholeFile.h"

namespace {

using TestHarness::Folder;
using TestHarness::ReadFile;
using TestHarness::WriteFile;

mode_t ModeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// 80 characters of three bytes each and ".txt": within the limit of 255.
const QByteArray kLongName = QString(80, QChar(0x540D)).toUtf8() + ".txt";
// A group the system has, other than root's.
constexpr gid_t kNogroup = 65534;

struct stat StatOf(const QString& path) {
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
    return st;
}

void SetMode(const QString& path, mode_t mode) { ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0); }

// Names of the folder's entries, hidden ones included.
QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

TEST(WholeFile, WhatEachWriteLeaves) {
    const QByteArray text = "a@x.com\r\nb@y.com\r\nc@z.com";
    struct Case {
        const char* what;
        // Prepares the case in its own folder; answers the name to write.
        std::function<QString(const QString& folder)> prepare;
        rlim_t limit;          // 0: none
        const char* failure;   // the end of the message, %1 the name; none: written
        const char* file;      // the file read afterwards (in the folder)
        QByteArray content;    // what it holds afterwards; null: not there
        mode_t mode;           // its bits afterwards; 0: those of a new file
        QStringList entries;   // everything in the folder afterwards
        // What the file is afterwards: its inode, links, owner and group.
        std::function<void(const QString& folder)> identity = {};
        // A step the system refuses, with its error.
        std::pair<filereplace::Step, int> refused = {filereplace::Step::kCreate, 0};
    } cases[] = {
        {"a new file", [](const QString& f) { return f + "/out.txt"; }, 0, nullptr, "out.txt", text, 0, {"out.txt"}},
        {"a replaced file keeps its bits",
         [](const QString& f) {
             const QString p = WriteFile(f.mid(Folder().size() + 1) + "/out.txt", "old");
             SetMode(p, 0640);
             return p;
         },
         0, nullptr, "out.txt", text, 0640, {"out.txt"}},
        {"a link is followed: the link stays, its target is replaced",
         [](const QString& f) {
             const QString target = WriteFile(f.mid(Folder().size() + 1) + "/sub/target.txt", "old");
             SetMode(target, 0604);
             QFile::link("sub/target.txt", f + "/link.txt");
             return f + "/link.txt";
         },
         0, nullptr, "sub/target.txt", text, 0604, {"link.txt", "sub"}},
        {"a dangling link creates its target",
         [](const QString& f) {
             QFile::link("made.txt", f + "/link.txt");
             return f + "/link.txt";
         },
         0, nullptr, "made.txt", text, 0, {"link.txt", "made.txt"}},
        {"too big for the disk: the former file as it was",
         [](const QString& f) {
             const QString p = WriteFile(f.mid(Folder().size() + 1) + "/out.txt", "old bytes");
             SetMode(p, 0640);
             return p;
         },
         8, "Could not write to file : %1 (File too large)", "out.txt", "old bytes", 0640, {"out.txt"}},
        {"too big for the disk: no file", [](const QString& f) { return f + "/out.txt"; }, 8,
         "Could not write to file : %1 (File too large)", "out.txt", QByteArray(), 0, {}},
        {"a folder as the name",
         [](const QString& f) {
             QDir().mkpath(f + "/out.txt");
             return f + "/out.txt";
         },
         0, "Could not open file for writing : %1 (Is a directory)", "out.txt/x", QByteArray(), 0, {"out.txt"}},
        {"a missing folder", [](const QString& f) { return f + "/none/out.txt"; }, 0,
         "Could not open file for writing : %1 (No such file or directory)", "none/out.txt", QByteArray(), 0, {}},
        {"a name of 244 bytes", [](const QString& f) { return f + "/" + QString::fromUtf8(kLongName); }, 0, nullptr,
         kLongName.constData(), text, 0, {QString::fromUtf8(kLongName)}},
        {"two hard links: both names hold the new text, one file still",
         [](const QString& f) {
             const QString p = WriteFile(f.mid(Folder().size() + 1) + "/out.txt", "old");
             SetMode(p, 0640);
             EXPECT_EQ(::link(QFile::encodeName(p).constData(), QFile::encodeName(f + "/alias.txt").constData()), 0);
             return p;
         },
         0, nullptr, "alias.txt", text, 0640, {"alias.txt", "out.txt"},
         [](const QString& f) {
             const struct stat out = StatOf(f + "/out.txt"), alias = StatOf(f + "/alias.txt");
             EXPECT_EQ(out.st_ino, alias.st_ino);
             EXPECT_EQ(out.st_nlink, 2u);
         }},
        {"two hard links, too big for the disk: the former text in both",
         [](const QString& f) {
             const QString p = WriteFile(f.mid(Folder().size() + 1) + "/out.txt", "old");
             EXPECT_EQ(::link(QFile::encodeName(p).constData(), QFile::encodeName(f + "/alias.txt").constData()), 0);
             return p;
         },
         8, "Could not write to file : %1 (File too large)", "alias.txt", "old", 0, {"alias.txt", "out.txt"}},
        {"another group: the file keeps it",
         [](const QString& f) {
             const QString p = WriteFile(f.mid(Folder().size() + 1) + "/out.txt", "old");
             if (::geteuid() == 0) {
                 EXPECT_EQ(::chown(QFile::encodeName(p).constData(), 0, kNogroup), 0);
             }
             return p;
         },
         0, nullptr, "out.txt", text, 0, {"out.txt"},
         [](const QString& f) {
             if (::geteuid() == 0) {
                 EXPECT_EQ(StatOf(f + "/out.txt").st_gid, kNogroup);
             }
         }},
        {"a file system that keeps no permission bits: written all the same",
         [](const QString& f) {
             const QString p = WriteFile(f.mid(Folder().size() + 1) + "/out.txt", "old");
             SetMode(p, 0640);
             return p;
         },
         0, nullptr, "out.txt", text, 0600, {"out.txt"}, {}, {filereplace::Step::kChmod, ENOSYS}},
        {"a folder that cannot be synced after the rename: written",
         [](const QString& f) { return WriteFile(f.mid(Folder().size() + 1) + "/out.txt", "old"); }, 0, nullptr,
         "out.txt", text, 0, {"out.txt"}, {}, {filereplace::Step::kFolderSync, EACCES}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString folder = Folder() + "/case" + QString::number(++n);
        QDir().mkpath(folder);
        const QString name = c.prepare(folder);
        QString failure;
        bool ok = false;
        {
            WholeFile out(name);
            if (c.refused.second != 0)
                filereplace::InstallFault([&](filereplace::Step step, const std::string&) {
                    return step == c.refused.first ? c.refused.second : 0;
                });
            {
                const FileSizeLimit limit(c.limit ? c.limit : RLIM_INFINITY);
                ok = out.Open(&failure) && out.Write(text, &failure) && out.Commit(&failure);
            }
            filereplace::InstallFault({});
        }
        EXPECT_EQ(ok, c.failure == nullptr);
        EXPECT_EQ(failure, c.failure ? QString::fromLatin1(c.failure).arg(name) : QString());
        const QString file = folder + "/" + c.file;
        EXPECT_EQ(QFileInfo(file).isFile(), !c.content.isNull());
        if (!c.content.isNull()) {
            EXPECT_EQ(ReadFile(file), c.content);
            EXPECT_EQ(ModeOf(file), c.mode ? c.mode : NewFileMode());
        }
        EXPECT_EQ(Entries(folder), c.entries);
        if (c.identity) c.identity(folder);
        if (c.entries.contains("link.txt")) {
            EXPECT_TRUE(QFileInfo(folder + "/link.txt").isSymLink()) << "the link stays";
        }
    }
}

// While it is written, the temporary file is the user's alone.
TEST(WholeFile, TemporaryFileIsTheUsersAlone) {
    const QString folder = Folder() + "/private";
    QDir().mkpath(folder);
    SetMode(WriteFile("private/out.txt", "old"), 0666);
    WholeFile out(folder + "/out.txt");
    QString failure;
    ASSERT_TRUE(out.Open(&failure)) << failure.toStdString();
    const QStringList entries = Entries(folder);
    ASSERT_EQ(entries.size(), 2);
    for (const QString& name : entries) {
        if (name != "out.txt") {
            EXPECT_EQ(ModeOf(folder + "/" + name), 0600u) << name.toStdString();
        }
    }
    EXPECT_TRUE(out.Write(QByteArray("new"), &failure));
    EXPECT_TRUE(out.Commit(&failure));
    EXPECT_EQ(ModeOf(folder + "/out.txt"), 0666u);
    EXPECT_EQ(Entries(folder), QStringList{"out.txt"});
}

// A name that is no regular file is written in place: nothing can be
// renamed over a device.
TEST(WholeFile, DeviceWrittenInPlace) {
    WholeFile out(QStringLiteral("/dev/null"));
    QString failure;
    ASSERT_TRUE(out.Open(&failure)) << failure.toStdString();
    EXPECT_TRUE(out.Write(QByteArray("bytes"), &failure));
    EXPECT_TRUE(out.Commit(&failure));
    struct stat st {};
    ASSERT_EQ(::stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

// With SIGXFSZ at its default, a write past the file-size limit fails like
// a full disk instead of ending the program in the middle of the file: the
// cause told, the former file byte for byte.  In a child process, whose
// signal and limit the test may change.
TEST(WholeFile, WritePastTheSizeLimitWithTheSignalAtItsDefault) {
    constexpr rlim_t kRoom = 8;
    const QString name = WriteFile("limit/out.txt", "former bytes");
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::close(fds[0]);
        std::signal(SIGXFSZ, SIG_DFL);
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = kRoom;
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(2);
        QString failure;
        WholeFile out(name);
        const bool written =
            out.Open(&failure) && out.Write(QByteArray("a@x.com\r\nb@y.com\r\n"), &failure) && out.Commit(&failure);
        const QByteArray told = written ? QByteArray("written") : failure.toUtf8();
        ::_exit(filereplace::WriteAll(fds[1], told.constData(), static_cast<size_t>(told.size())) ? 0 : 3);
    }
    ::close(fds[1]);
    QByteArray told;
    char buffer[512];
    for (ssize_t got; (got = ::read(fds[0], buffer, sizeof buffer)) > 0;) told.append(buffer, got);
    ::close(fds[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << (WIFSIGNALED(status) ? "ended by signal " + std::to_string(WTERMSIG(status)) : "exit status");
    EXPECT_EQ(QString::fromUtf8(told), "Could not write to file : " + name + " (File too large)");
    EXPECT_EQ(ReadFile(name), "former bytes");
    EXPECT_EQ(Entries(Folder() + "/limit"), QStringList{"out.txt"});
}

// A file written in place (a second name) and then given up, as a merge
// does when a source cannot be read: a former content that cannot go back
// stays where it was kept, and the console says where.
TEST(WholeFile, GivenUpFormerContentNotPutBackIsNamed) {
    enum class End { kDiscarded, kDestroyed };
    for (const End end : {End::kDiscarded, End::kDestroyed}) {
        SCOPED_TRACE(end == End::kDiscarded ? "discarded" : "destroyed");
        ServiceTest::Console console;
        const QString folder = Folder() + "/givenup";
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        const QString name = WriteFile("givenup/out.txt", "former list\n");
        ASSERT_EQ(::link(QFile::encodeName(name).constData(), QFile::encodeName(folder + "/alias").constData()), 0);
        filereplace::InstallFault([](filereplace::Step step, const std::string&) {
            return step == filereplace::Step::kPutBack ? EIO : 0;
        });
        {
            WholeFile out(name);
            QString failure;
            ASSERT_TRUE(out.Open(&failure) && out.Write(QByteArray("half a list"), &failure)) << failure.toStdString();
            if (end == End::kDiscarded) out.Discard();
        }
        filereplace::InstallFault({});
        const QStringList entries = Entries(folder);
        ASSERT_EQ(entries.size(), 3) << entries.join(' ').toStdString();
        const QString kept = folder + "/" + entries[0];
        EXPECT_TRUE(entries[0].startsWith(".out.txt.ormid-") && entries[0].endsWith(".kept"))
            << entries[0].toStdString();
        EXPECT_EQ(ReadFile(kept), "former list\n");
        EXPECT_TRUE(console.Has("The former content of " + name + " could not be put back: it is kept in " + kept))
            << console.Text().toStdString();
    }
}

// Names the engine writes over several calls: emptied for the command, the
// former content dropped when it finishes with a new file under the name,
// put back when it fails or made nothing, whatever the former file was and
// whether the file system makes hard links.  While the command writes, the
// name is as private as the former file.
TEST(FormerContent, WhatEachCommandLeaves) {
    enum class Writer { kAppends, kReplaces, kMakesNothing };
    struct Case {
        const char* what;
        bool formerFile;
        bool hardLink;      // a second name for the former file
        bool linksRefused;  // as on FAT and many network mounts
        Writer writer;
    } cases[] = {
        {"no former file", false, false, false, Writer::kAppends},
        {"a former file", true, false, false, Writer::kAppends},
        {"a former file, written from its start", true, false, false, Writer::kReplaces},
        {"a former file with a second name", true, true, false, Writer::kAppends},
        {"a former file, no hard links", true, false, true, Writer::kAppends},
        {"a former file, no hard links, written from its start", true, false, true, Writer::kReplaces},
        {"a former file, the writer could not make its file", true, false, false, Writer::kMakesNothing},
        {"a former file with a second name, the writer could not make its file", true, true, false,
         Writer::kMakesNothing},
    };
    int n = 0;
    for (const Case& c : cases) {
        for (const bool finished : {true, false}) {
            SCOPED_TRACE(std::string(c.what) + (finished ? ", finished" : ", failed"));
            const QString sub = "former" + QString::number(++n);
            const QString folder = Folder() + "/" + sub;
            QDir().mkpath(folder);
            const QString name = folder + "/list.inv";
            if (c.formerFile) SetMode(WriteFile(sub + "/list.inv", "former report\n"), 0640);
            if (c.hardLink) {
                ASSERT_EQ(::link(QFile::encodeName(name).constData(), QFile::encodeName(folder + "/alias").constData()), 0);
            }
            if (c.linksRefused)
                filereplace::InstallFault([](filereplace::Step step, const std::string&) {
                    return step == filereplace::Step::kLink ? EPERM : 0;
                });
            {
                FormerContent former;
                former.SetAside(name);
                if (c.writer == Writer::kAppends) {
                    // The engine appends to the report, which starts empty.
                    QFile report(name);
                    ASSERT_TRUE(report.open(QIODevice::Append));
                    EXPECT_EQ(report.size(), 0);
                    report.write("new report\n");
                    report.close();
                } else if (c.writer == Writer::kReplaces) {
                    WholeFile report(name);
                    QString failure;
                    EXPECT_TRUE(report.Open(&failure) && report.Write(QByteArray("new report\n"), &failure) &&
                                report.Commit(&failure))
                        << failure.toStdString();
                }
                if (c.writer != Writer::kMakesNothing) {
                    EXPECT_EQ(ModeOf(name), c.formerFile ? 0640 : NewFileMode()) << "while the command runs";
                }
                if (finished) former.Drop();
            }
            filereplace::InstallFault({});
            const bool madeNew = finished && c.writer != Writer::kMakesNothing;
            QStringList entries{"list.inv"};
            if (c.hardLink) entries.prepend("alias");
            if (!madeNew && !c.formerFile) entries.removeAll("list.inv");
            EXPECT_EQ(Entries(folder), entries);
            const QByteArray expected = madeNew ? "new report\n" : "former report\n";
            if (entries.contains("list.inv")) {
                EXPECT_EQ(ReadFile(name), expected);
                EXPECT_EQ(ModeOf(name), c.formerFile ? 0640 : NewFileMode());
            }
            if (c.hardLink) {
                EXPECT_EQ(ReadFile(folder + "/alias"), expected);
                EXPECT_EQ(StatOf(name).st_ino, StatOf(folder + "/alias").st_ino);
            }
        }
    }
}

// A former content that cannot be put back stays where it was kept, and
// the console says where.
TEST(FormerContent, NotPutBackIsNamedOnTheConsole) {
    ServiceTest::Console console;
    const QString folder = Folder() + "/notputback";
    QDir().mkpath(folder);
    const QString name = WriteFile("notputback/list.inv", "former report\n");
    filereplace::InstallFault([](filereplace::Step step, const std::string&) {
        return step == filereplace::Step::kPutBack ? EIO : 0;
    });
    {
        FormerContent former;
        former.SetAside(name);
        WriteFile("notputback/list.inv", "half a report");
    }
    filereplace::InstallFault({});
    const QStringList entries = Entries(folder);
    ASSERT_EQ(entries.size(), 2);
    const QString kept = folder + "/" + entries[0];
    EXPECT_TRUE(entries[0].startsWith(".list.inv.ormid-") && entries[0].endsWith(".kept")) << entries[0].toStdString();
    EXPECT_EQ(ReadFile(kept), "former report\n");
    EXPECT_TRUE(console.Has("The former content of " + name + " could not be put back: it is kept in " + kept))
        << console.Text().toStdString();
}

}  // namespace
