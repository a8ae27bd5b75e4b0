// Shared procedures: whole words, file-name helpers, wildcards, file
// presence, sizes and removal, NUL cutting, loaded forms; the merge-file record.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

#include "ServiceTestSupport.h"
#include "TestHarness.h"
#include "clsMergeFile.h"
#include "modGlobalFunctionsFiles.h"

namespace {

using TestHarness::Folder;
using TestHarness::WriteFile;
namespace g = modGlobalFunctions;

QString At(const QString& name) { return QDir(Folder()).filePath(name); }

TEST(IsWholeWord, Table) {
    struct Row {
        const char* text;
        int start;
        int end;
        bool whole;
    };
    const Row rows[] = {
        {"cat", 1, 3, true},          // the whole text
        {"a cat b", 3, 5, true},      // blanks around
        {"concat", 4, 6, false},      // letter before
        {"cats", 1, 3, false},        // letter after, hit at position 1: only after is looked at
        {"xcat", 2, 4, false},        // hit ends on the last character: only before
        {"1cat", 2, 4, false},        // digits count
        {"cat2", 1, 3, false},
        {"-cat.", 2, 4, true},
        {"\xE9" "cat", 2, 4, false},  // a letter of the code page
        {"\x8A" "cat", 2, 4, false},  // Windows-1252 S caron
        {"\xA0" "cat", 2, 4, true},   // no-break space is no letter
    };
    for (const Row& r : rows) {
        const QString text = QString::fromLatin1(r.text);
        EXPECT_EQ(g::IsWholeWord(text, r.start, r.end, text.size()), r.whole) << r.text;
    }
}

TEST(GetFileExtension, Table) {
    struct Row {
        const char* name;
        bool found;
        const char* base;
        const char* ext;
    };
    const Row rows[] = {
        {"archive.tar.gz", true, "archive.tar", "gz"},
        {"/home/me/archive.tar.gz", true, "/home/me/archive.tar", "gz"},
        {"noext", false, "", ""},
        {"/a.b/c", false, "", ""},          // a point in a folder name is no extension
        {"/a.b/", false, "", ""},           // a path ending in "/" has none
        {"/home/me/.profile", false, "", ""},  // a hidden file's point starts its name
        {"/home/me/.list.txt", true, "/home/me/.list", "txt"},
        {"name.", true, "name", ""},
        {"", false, "", ""},
    };
    for (const Row& r : rows) {
        QString base = QStringLiteral("old"), ext = QStringLiteral("old");
        EXPECT_EQ(g::GetFileExtension(QString::fromLatin1(r.name), base, ext), r.found) << r.name;
        EXPECT_EQ(base, QString::fromLatin1(r.base)) << r.name;
        EXPECT_EQ(ext, QString::fromLatin1(r.ext)) << r.name;
    }
}

TEST(GetFileName, Table) {
    struct Row {
        const char* path;
        bool found;
        const char* dir;
        const char* name;
    };
    const Row rows[] = {
        {"/file.txt", true, "", "file.txt"},
        {"/home/me/file.txt", true, "/home/me", "file.txt"},
        {"/home/me/", true, "/home/me", ""},
        {"file.txt", false, "", ""},
        {"", false, "", ""},
        {"a\\b", false, "", ""},  // a backslash is a character of a Linux name
    };
    for (const Row& r : rows) {
        QString dir = QStringLiteral("old"), name = QStringLiteral("old");
        EXPECT_EQ(g::GetFileName(QString::fromLatin1(r.path), dir, name), r.found) << r.path;
        EXPECT_EQ(dir, QString::fromLatin1(r.dir)) << r.path;
        EXPECT_EQ(name, QString::fromLatin1(r.name)) << r.path;
    }
}

TEST(StripNulls, Table) {
    struct Row {
        QString in;
        QString out;
    };
    const Row rows[] = {
        {QStringLiteral("plain"), QStringLiteral("plain")},
        {QString(QChar(u'\0')) + QStringLiteral("abc"), QString()},
        {QStringLiteral("ab") + QChar(u'\0') + QStringLiteral("cd") + QChar(u'\0'), QStringLiteral("ab")},
        {QString(), QString()},
    };
    for (const Row& r : rows) {
        QString text = r.in;
        EXPECT_EQ(g::StripNulls(text), r.out);
        EXPECT_EQ(text, r.out);  // the caller's variable too
    }
}

TEST(FilePattern, WildcardsOnlyWhereTheProgramPutThem) {
    struct Row {
        FilePattern pattern;
        const char* name;
        bool matches;
    };
    const Row rows[] = {
        {FilePattern::Wild(QStringLiteral("/d"), QStringLiteral("list_*.txt")), "list_1.txt", true},
        {FilePattern::Wild(QStringLiteral("/d"), QStringLiteral("list_*.txt")), "list_.txt", true},
        {FilePattern::Wild(QStringLiteral("/d"), QStringLiteral("list_*.txt")), "List_1.txt", false},  // case
        {FilePattern::Wild(QStringLiteral("/d"), QStringLiteral("list_?.txt")), "list_12.txt", false},
        {FilePattern::Wild(QStringLiteral("/d"), QStringLiteral("*")), ".hidden", true},
        {FilePattern::Wild(QStringLiteral("/d/") + g::WildcardLiteral(QStringLiteral("a*b")) + QStringLiteral("_*")),
         "a*b_1", true},
        {FilePattern::Wild(QStringLiteral("/d/") + g::WildcardLiteral(QStringLiteral("a*b")) + QStringLiteral("_*")),
         "axxb_1", false},
        {FilePattern::Wild(QStringLiteral("/d"), g::WildcardLiteral(QStringLiteral("what?[1]\\"))), "what?[1]\\",
         true},
        {FilePattern::Wild(QStringLiteral("/d"), g::WildcardLiteral(QStringLiteral("what?"))), "whatx", false},
        {FilePattern(QStringLiteral("/d/a*b")), "a*b", true},  // a plain path is literal
        {FilePattern(QStringLiteral("/d/a*b")), "axb", false},
        {FilePattern(QStringLiteral("/d/x[1].txt")), "x1.txt", false},
        {FilePattern(QStringLiteral("/d/x[1].txt")), "x[1].txt", true},
    };
    for (const Row& r : rows) EXPECT_EQ(r.pattern.Matches(QString::fromLatin1(r.name)), r.matches) << r.name;
    EXPECT_EQ(FilePattern::Wild(QStringLiteral("/d/sub/l_*.txt")).Folder(), QStringLiteral("/d/sub/"));
    EXPECT_EQ(FilePattern(QStringLiteral("/d/sub/x")).Folder(), QStringLiteral("/d/sub/"));
}

TEST(FileQueries, PresenceAndSizeTable) {
    WriteFile(QStringLiteral("r/list.txt"), QByteArray(10, 'a'));
    WriteFile(QStringLiteral("r/list_1.txt"), QByteArray(300, 'a'));
    WriteFile(QStringLiteral("r/list_2.txt"), QByteArray(20, 'a'));
    WriteFile(QStringLiteral("r/a*b.txt"), QByteArray(7, 'a'));
    WriteFile(QStringLiteral("r/x[1].txt"), QByteArray(5, 'a'));
    QDir().mkpath(At(QStringLiteral("r/folder.txt")));
    QDir().mkpath(At(QStringLiteral("r/sub")));
    const QString r = At(QStringLiteral("r"));
    struct Row {
        FilePattern pattern;
        bool present;
        int64_t size;
    };
    const Row rows[] = {
        {r + QStringLiteral("/list.txt"), true, 10},
        {FilePattern::Wild(r, QStringLiteral("list_*.txt")), true, 300},
        {FilePattern::Wild(r, QStringLiteral("*.txt")), true, 300},  // folder.txt is a folder: skipped
        {FilePattern::Wild(r, QStringLiteral("folder*")), false, 0},  // only folders
        {r, false, 0},                                                 // a folder's own path
        {r + QStringLiteral("/sub"), false, 0},
        {r + QStringLiteral("/missing.txt"), false, 0},
        {FilePattern::Wild(r, QStringLiteral("nothing_*")), false, 0},
        {r + QStringLiteral("/a*b.txt"), true, 7},  // a user's "*" is literal
        {r + QStringLiteral("/a?b.txt"), false, 0},
        {r + QStringLiteral("/x[1].txt"), true, 5},
        {QString(), false, 0},
        {r + QStringLiteral("/"), false, 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(g::IsFilePresent(row.pattern), row.present) << row.pattern.Text().toStdString();
        EXPECT_EQ(g::GetFileSize(row.pattern), row.size) << row.pattern.Text().toStdString();
    }
}

TEST(FileQueries, SizesBeyondFourGiB) {
    // A sparse file: 5 GiB long, almost nothing on disk.
    const QString path = WriteFile(QStringLiteral("big/huge.lst"), QByteArray("x"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const int64_t five = int64_t(5) << 30;
    ASSERT_TRUE(f.resize(five));
    f.close();
    WriteFile(QStringLiteral("big/small.lst"), QByteArray(3, 'a'));
    EXPECT_EQ(g::GetFileSize(path), five);
    EXPECT_EQ(g::GetFileSize(FilePattern::Wild(At(QStringLiteral("big")), QStringLiteral("*.lst"))), five);
    EXPECT_TRUE(g::IsFilePresent(path));
}

// Makes a file undeletable even for root: the immutable attribute.  False
// where the file system or the user's rights do not allow it.
bool SetImmutable(const QString& path, bool on) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}

TEST(RemoveFiles, TableOverATemporaryFolder) {
    ServiceTest::Console console;
    const QString r = At(QStringLiteral("rm"));
    auto make = [&] {
        for (const char* n : {"out_1.txt", "out_2.txt", "out_x.csv", "keep.txt", "a*b.txt", "axb.txt", "q?.txt",
                              "qq.txt"})
            WriteFile(QStringLiteral("rm/") + QString::fromLatin1(n), QByteArray("x"));
        QDir().mkpath(r + QStringLiteral("/out_dir.txt"));
    };
    auto left = [&] {
        QStringList names = QDir(r).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
        return names.join(QLatin1Char(' '));
    };
    struct Row {
        FilePattern pattern;
        bool result;
        const char* remaining;
    };
    const Row rows[] = {
        {FilePattern::Wild(r, QStringLiteral("out_*.txt")), true,
         "a*b.txt axb.txt keep.txt out_dir.txt out_x.csv q?.txt qq.txt"},
        {r + QStringLiteral("/a*b.txt"), true, "axb.txt keep.txt out_1.txt out_2.txt out_dir.txt out_x.csv q?.txt qq.txt"},
        {FilePattern::Wild(r, g::WildcardLiteral(QStringLiteral("q?")) + QStringLiteral(".txt")), true,
         "a*b.txt axb.txt keep.txt out_1.txt out_2.txt out_dir.txt out_x.csv qq.txt"},
        {FilePattern::Wild(r, QStringLiteral("none_*")), true,
         "a*b.txt axb.txt keep.txt out_1.txt out_2.txt out_dir.txt out_x.csv q?.txt qq.txt"},
        {r + QStringLiteral("/missing.txt"), true,
         "a*b.txt axb.txt keep.txt out_1.txt out_2.txt out_dir.txt out_x.csv q?.txt qq.txt"},
    };
    for (const Row& row : rows) {
        QDir(r).removeRecursively();
        make();
        EXPECT_EQ(g::RemoveFiles(row.pattern), row.result) << row.pattern.Text().toStdString();
        EXPECT_EQ(left(), QString::fromLatin1(row.remaining)) << row.pattern.Text().toStdString();
    }
    EXPECT_TRUE(console.Empty()) << console.Text().toStdString();
}

TEST(RemoveFiles, OneUndeletableFileIsReportedAndTheOthersGo) {
    ServiceTest::Console console;
    const QString r = At(QStringLiteral("ro"));
    for (const char* n : {"res_1.txt", "res_2.txt", "res_3.txt"})
        WriteFile(QStringLiteral("ro/") + QString::fromLatin1(n), QByteArray("x"));
    const QString stuck = r + QStringLiteral("/res_2.txt");
    if (!SetImmutable(stuck, true)) GTEST_SKIP() << "the immutable attribute is not available here";
    const bool result = g::RemoveFiles(FilePattern::Wild(r, QStringLiteral("res_*.txt")));
    const QStringList remaining = QDir(r).entryList(QDir::Files);
    SetImmutable(stuck, false);
    EXPECT_FALSE(result);
    EXPECT_EQ(remaining, QStringList{QStringLiteral("res_2.txt")});
    EXPECT_EQ(console.Count(QStringLiteral("The file 'res_2.txt' could not be deleted")), 1) << console.Text().toStdString();
    EXPECT_TRUE(console.Text().contains(QStringLiteral("Context : Error Removing File")));
    EXPECT_TRUE(console.Text().contains(QStringLiteral("Routine : RemoveFiles")));
}

TEST(IsFormLoaded, FindsByNameWithoutCaseFirstCreatedFirst) {
    QWidget first, second, other;
    first.setObjectName(QStringLiteral("FrmFind"));
    second.setObjectName(QStringLiteral("FrmFind"));
    other.setObjectName(QStringLiteral("FrmDisplay"));
    first.show();
    second.show();
    EXPECT_EQ(g::IsFormLoaded(QStringLiteral("frmFind")), &first);
    EXPECT_EQ(g::IsFormLoaded(QStringLiteral("FRMDISPLAY")), &other);  // loaded, never shown
    EXPECT_EQ(g::IsFormLoaded(QStringLiteral("FrmStructure")), nullptr);
    QWidget child(&other);
    child.setObjectName(QStringLiteral("FrmControl"));  // a control, not a form
    EXPECT_EQ(g::IsFormLoaded(QStringLiteral("FrmControl")), nullptr);
}

TEST(clsMergeFile, NewRecordIsUncounted) {
    clsMergeFile m;
    EXPECT_EQ(m.nbRec, -1);
    EXPECT_EQ(m.nbInv, -1);
    EXPECT_EQ(m.nbDup, -1);
    EXPECT_EQ(m.Size, 0);
    EXPECT_TRUE(m.name.isEmpty());
    EXPECT_TRUE(m.Path.isEmpty());
    m.Size = int64_t(3) << 31;  // 64-bit sizes
    EXPECT_EQ(m.Size, int64_t(6442450944));
    auto& files = MergeFiles();
    files.clear();
    files.append(std::make_shared<clsMergeFile>());
    files.append(std::make_shared<clsMergeFile>());
    files.first()->name = QStringLiteral("a.txt");
    EXPECT_EQ(files.size(), 2);
    EXPECT_EQ(files.at(0)->name, QStringLiteral("a.txt"));
    files.clear();
}

}  // namespace
