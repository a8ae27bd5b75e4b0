// clsFile and clsPathElement over a temporary
// folder tree: the parser, its levels and flags, the queries, the file
// operations and the shortened paths.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

#include "FontFamilies.h"
#include "Screen.h"
#include "ServiceTestSupport.h"
#include "TestHarness.h"
#include "TextMeasure.h"
#include "Twips.h"
#include "clsFile.h"
#include "clsMonitor.h"
#include "OwnerEnabler.h"

namespace {

using TestHarness::Folder;
using TestHarness::WriteFile;

// The tree: dir/file.txt, dir/sub/, dir/archive.tar.gz, dir/.profile.
struct Tree {
    QString root;
    Tree() {
        WriteFile(QStringLiteral("dir/file.txt"), QByteArray("hello\r\n"));
        WriteFile(QStringLiteral("dir/archive.tar.gz"), QByteArray("z"));
        WriteFile(QStringLiteral("dir/.profile"), QByteArray("p"));
        QDir().mkpath(QDir(Folder()).filePath(QStringLiteral("dir/sub")));
        root = Folder();
    }
    QString operator()(const QString& rel) const { return root + QLatin1Char('/') + rel; }
};

TEST(clsFile, ParserAndQueriesTable) {
    ServiceTest::Console console;
    Tree t;
    struct Row {
        QString path;
        bool ok;
        bool present;
        bool file;
        bool dir;
        QString name;
        QString directory;
        QString ext;
        QString noExt;
        QString message;  // the report of a refused path
    };
    const QString T = t.root;
    const Row rows[] = {
        // an existing file
        {t(QStringLiteral("dir/file.txt")), true, true, true, false, QStringLiteral("file.txt"), t(QStringLiteral("dir/")),
         QStringLiteral("txt"), QStringLiteral("file"), {}},
        // an existing folder without its "/": the folder path itself
        {t(QStringLiteral("dir/sub")), true, true, false, true, QStringLiteral("sub"), t(QStringLiteral("dir/sub")),
         QString(), QStringLiteral("sub"), {}},
        // the folder with its "/": no final name, no extension
        {t(QStringLiteral("dir/sub/")), true, true, false, true, QStringLiteral("sub"), t(QStringLiteral("dir/sub/")),
         QString(), QString(), {}},
        // a missing level: the deepest existing folder
        {t(QStringLiteral("missing/deeper/new.lst")), true, false, false, false, QStringLiteral("new.lst"),
         T + QLatin1Char('/'), QStringLiteral("lst"), QStringLiteral("new"), {}},
        // a name under a file
        {t(QStringLiteral("dir/file.txt/x")), true, false, false, false, QStringLiteral("x"), t(QStringLiteral("dir/")),
         QString(), QStringLiteral("x"), {}},
        // several points: the first one counts
        {t(QStringLiteral("dir/archive.tar.gz")), true, true, true, false, QStringLiteral("archive.tar.gz"),
         t(QStringLiteral("dir/")), QStringLiteral("tar.gz"), QStringLiteral("archive"), {}},
        // a hidden file has no extension and keeps its whole name
        {t(QStringLiteral("dir/.profile")), true, true, true, false, QStringLiteral(".profile"), t(QStringLiteral("dir/")),
         QString(), QStringLiteral(".profile"), {}},
        // the root
        {QStringLiteral("/"), true, true, false, false, QString(), QStringLiteral("/"), QString(), QString(), {}},
        // refused paths
        {QString(), false, false, false, false, {}, {}, {}, {}, QStringLiteral("No Filename has been provided !")},
        {QStringLiteral("relative/file.txt"), false, false, false, false, {}, {}, {}, {},
         QStringLiteral("Invalid Drive Specification in 'relative/file.txt' !")},
        {T + QStringLiteral("//dir"), false, false, false, false, {}, {}, {}, {},
         QStringLiteral("The Path '") + T + QStringLiteral("//dir' contains invalid characters : * / : < > ? |")},
        {QStringLiteral("//srv/share/x"), false, false, false, false, {}, {}, {}, {},
         QStringLiteral("The Path '//srv/share/x' contains invalid characters : * / : < > ? |")},
        {t(QStringLiteral("dir/a:b")), false, false, false, false, {}, {}, {}, {},
         QStringLiteral("The Path '") + t(QStringLiteral("dir/a:b")) +
             QStringLiteral("' contains invalid characters : * / : < > ? |")},
        {t(QStringLiteral("dir/a*b")), false, false, false, false, {}, {}, {}, {},
         QStringLiteral("The Path '") + t(QStringLiteral("dir/a*b")) +
             QStringLiteral("' contains invalid characters : * / : < > ? |")},
        {t(QStringLiteral("dir/q\"")), false, false, false, false, {}, {}, {}, {},
         QStringLiteral("The Path '") + t(QStringLiteral("dir/q\"")) +
             QStringLiteral("' contains invalid characters : * / : < > ? |")},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.path.toStdString());
        clsFile f;
        f.MyError = ErrorObj();
        console.text->SetText(QString());
        EXPECT_EQ(f.IsPathSyntaxOk(r.path), r.ok);
        if (!r.ok) {
            EXPECT_EQ(console.Count(r.message), 1) << console.Text().toStdString();
            EXPECT_TRUE(console.Text().contains(QStringLiteral("Context : Filename Syntax Error")));
            EXPECT_TRUE(console.Text().contains(QStringLiteral("Routine : IsPathSyntaxOk")));
            continue;
        }
        EXPECT_TRUE(console.Empty()) << console.Text().toStdString();
        EXPECT_EQ(f.IsPresent(), r.present);
        EXPECT_EQ(f.IsFile(), r.file);
        EXPECT_EQ(f.Isdirectory(), r.dir);
        EXPECT_FALSE(f.IsNetworkFile());
        EXPECT_EQ(f.GetFileName(), r.name);
        EXPECT_EQ(f.GetDirectory(), r.directory);
        EXPECT_EQ(f.GetExtension(), r.ext);
        EXPECT_EQ(f.GetNoExtension(), r.noExt);
        EXPECT_EQ(f.GetDrive(), QStringLiteral("/"));
        EXPECT_EQ(f.GetPath(), r.path);
        EXPECT_EQ(f.GetShortName(), r.path);
        EXPECT_TRUE(console.Empty()) << console.Text().toStdString();
    }
}

TEST(clsFile, LevelsAndFlags) {
    Tree t;
    clsFile f;
    const QString path = t(QStringLiteral("dir/missing/file.txt"));
    ASSERT_TRUE(f.IsPathSyntaxOk(path));
    // Expected levels: "/", then each folder of the temporary root, then dir,
    // missing and the file.
    QStringList items, names;
    for (const auto& e : *f.PathItems) items << e->Element;
    for (const auto& e : *f.NameElements) names << e->Element;
    ASSERT_EQ(items.size(), names.size());
    EXPECT_EQ(items.first(), QStringLiteral("/"));
    EXPECT_EQ(names.first(), QStringLiteral("/"));
    EXPECT_EQ(items.last(), path);
    EXPECT_EQ(names.last(), QStringLiteral("file.txt"));
    EXPECT_EQ(items.at(items.size() - 2), t(QStringLiteral("dir/missing/")));
    EXPECT_EQ(names.at(names.size() - 2), QStringLiteral("missing"));
    EXPECT_EQ(f.FinalName(), QStringLiteral("file.txt"));

    const clsPathElement& root = *f.PathItems->first();
    EXPECT_TRUE(root.IsCreated && root.IsDrive && root.Islocal);
    EXPECT_FALSE(root.IsValid || root.IsFile || root.Isdirectory || root.IsServer || root.IsShare);
    const clsPathElement& dir = *f.PathItems->at(items.size() - 3);
    EXPECT_TRUE(dir.IsValid && dir.IsCreated && dir.Islocal && dir.Isdirectory);
    EXPECT_FALSE(dir.IsFile || dir.IsDrive);
    const clsPathElement& missing = *f.PathItems->at(items.size() - 2);
    EXPECT_TRUE(missing.IsValid);
    EXPECT_FALSE(missing.IsCreated || missing.Islocal || missing.Isdirectory || missing.IsFile);
    // Names are never looked up.
    for (qsizetype k = 1; k < f.NameElements->size(); ++k) {
        const clsPathElement& e = *f.NameElements->at(k);
        EXPECT_FALSE(e.IsCreated || e.IsValid || e.IsFile || e.Isdirectory || e.Islocal || e.IsDrive);
    }
    // The root alone is one level, looked up by nobody.
    ASSERT_TRUE(f.IsPathSyntaxOk(QStringLiteral("/")));
    EXPECT_EQ(f.PathItems->size(), 1);
    EXPECT_EQ(f.FinalName(), QString());
    // A refused character leaves the root level only.
    EXPECT_FALSE(f.IsPathSyntaxOk(QStringLiteral("/a|b")));
    EXPECT_EQ(f.PathItems->size(), 1);
    EXPECT_EQ(f.NameElements->size(), 1);
    // A refused drive specification leaves both collections empty.
    EXPECT_FALSE(f.IsPathSyntaxOk(QStringLiteral("x")));
    EXPECT_TRUE(f.PathItems->isEmpty());
    EXPECT_TRUE(f.NameElements->isEmpty());
}

TEST(clsFile, FileFactsAndASecondParse) {
    Tree t;
    const QString path = WriteFile(QStringLiteral("facts/data.lst"), QByteArray(1234, 'a'));
    const QDateTime written = QDateTime(QDate(2024, 2, 29), QTime(13, 14, 15));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(written, QFileDevice::FileModificationTime));
    }
    clsFile f;
    ASSERT_TRUE(f.IsPathSyntaxOk(path));
    EXPECT_EQ(f.Size, 1234);
    EXPECT_EQ(f.Attrib & 0x10, 0);
    EXPECT_EQ(f.Attrib & 0x20, 0x20);
    EXPECT_EQ(f.STimeLW, QStringLiteral("2024/02/29-13:14:15"));
    EXPECT_EQ(f.STimeC.size(), 19);
    EXPECT_EQ(f.STimeLA.size(), 19);
    // A second parse replaces the levels; a path that names no file keeps
    // the first file's facts.
    const auto firstItems = f.PathItems;
    ASSERT_TRUE(f.IsPathSyntaxOk(t(QStringLiteral("dir/none.lst"))));
    EXPECT_NE(f.PathItems, firstItems);
    EXPECT_FALSE(f.IsPresent());
    EXPECT_EQ(f.Size, 1234);
    EXPECT_EQ(f.STimeLW, QStringLiteral("2024/02/29-13:14:15"));
    // A folder's facts: the folder bit.
    ASSERT_TRUE(f.IsPathSyntaxOk(t(QStringLiteral("dir/sub"))));
    EXPECT_EQ(f.Attrib & 0x10, 0x10);
    // A path ending in "/" names no file: facts unchanged.
    const int32_t attrib = f.Attrib;
    ASSERT_TRUE(f.IsPathSyntaxOk(t(QStringLiteral("facts/"))));
    EXPECT_EQ(f.Attrib, attrib);
}

TEST(clsFile, SizesBeyondTwoGiB) {
    const QString path = WriteFile(QStringLiteral("big/huge.lst"), QByteArray("x"));
    QFile big(path);
    ASSERT_TRUE(big.open(QIODevice::ReadWrite));
    ASSERT_TRUE(big.resize(int64_t(3) << 30));  // sparse
    big.close();
    clsFile f;
    ASSERT_TRUE(f.IsPathSyntaxOk(path));
    EXPECT_EQ(f.Size, int64_t(3) << 30);
}

TEST(clsFile, QueriesBeforeAnyParse) {
    ServiceTest::Console console;
    clsFile f;
    f.MyError = ErrorObj();
    EXPECT_FALSE(f.IsPresent());
    EXPECT_FALSE(f.IsFile());
    EXPECT_FALSE(f.Isdirectory());
    EXPECT_EQ(f.GetPath(), QString());
    EXPECT_EQ(f.GetDirectory(), QString());
    EXPECT_EQ(f.GetFileName(), QString());
    EXPECT_EQ(f.GetDrive(), QString());
    EXPECT_FALSE(f.CreateDirectories());
    QString content = QStringLiteral("kept");
    EXPECT_TRUE(f.LoadFileContent(content, true));
    EXPECT_EQ(content, QStringLiteral("kept"));
    EXPECT_TRUE(console.Empty());
    // After a refused drive specification the collections are empty: the
    // queries fail on their index and report it.
    EXPECT_FALSE(f.IsPathSyntaxOk(QStringLiteral("rel")));
    console.text->SetText(QString());
    EXPECT_FALSE(f.IsPresent());
    EXPECT_TRUE(console.Text().contains(QStringLiteral("Context : Error Checking File Existence")));
}

TEST(clsFile, WithoutMyErrorNothingIsReported) {
    ServiceTest::Console console;
    clsFile f;
    EXPECT_FALSE(f.IsPathSyntaxOk(QString()));
    EXPECT_FALSE(f.IsPathSyntaxOk(QStringLiteral("rel")));
    EXPECT_TRUE(console.Empty());
}

TEST(clsFile, BinaryExtensions) {
    struct Row {
        const char* name;
        bool binary;
    };
    const Row rows[] = {
        {"/x/photo.jpg", true},  {"/x/photo.JPG", true},   {"/x/a.b.jpg", false}, {"/x/list.txt", false},
        {"/x/noext", false},     {"/x/setup.exe", true},   {"/x/.jpg", false},    {"/x/song.mp3", true},
        {"/x/archive.zip", true}, {"/x/report.jpeg", true}, {"/x/dir.zip/", false},
    };
    for (const Row& r : rows) {
        clsFile f;
        ASSERT_TRUE(f.IsPathSyntaxOk(QString::fromLatin1(r.name)));
        EXPECT_EQ(f.IsExtensionBinary(), r.binary) << r.name;
    }
}

TEST(clsFile, CreateDirectories) {
    ServiceTest::Console console;
    Tree t;
    clsFile f;
    f.MyError = ErrorObj();
    ASSERT_TRUE(f.IsPathSyntaxOk(t(QStringLiteral("made/a/b"))));
    EXPECT_TRUE(f.CreateDirectories());
    EXPECT_TRUE(QFileInfo(t(QStringLiteral("made/a/b"))).isDir());
    // Every level there: nothing to make.
    ASSERT_TRUE(f.IsPathSyntaxOk(t(QStringLiteral("made/a/b"))));
    EXPECT_TRUE(f.CreateDirectories());
    EXPECT_TRUE(console.Empty());
    // A level that is a file stops the walk through the error path.
    ASSERT_TRUE(f.IsPathSyntaxOk(t(QStringLiteral("dir/file.txt/x"))));
    EXPECT_FALSE(f.CreateDirectories());
    EXPECT_TRUE(console.Text().contains(QStringLiteral("Context : Directories Creation Error")));
    EXPECT_FALSE(QFileInfo::exists(t(QStringLiteral("dir/file.txt/x"))));
}

TEST(clsFile, LoadFileContentTable) {
    ServiceTest::Console console;
    WriteFile(QStringLiteral("load/text.lst"), QByteArray("a@b.c\r\n\xE9t\xE9\tx\x08"));
    WriteFile(QStringLiteral("load/empty.lst"), QByteArray());
    WriteFile(QStringLiteral("load/nul.lst"), QByteArray("ab\0cd", 5));
    WriteFile(QStringLiteral("load/ctrl.lst"), QByteArray("abc\x01"));
    const QString dir = Folder() + QStringLiteral("/load/");
    struct Row {
        const char* name;
        bool check;
        bool result;
        QString content;
        QString message;
    };
    const Row rows[] = {
        {"text.lst", true, true, QString::fromLatin1("a@b.c\r\n\xE9t\xE9\tx\x08"), {}},
        {"nul.lst", false, true, QString::fromLatin1("ab\0cd", 5), {}},
        {"nul.lst", true, false, QString(),
         QStringLiteral("Invalid Characters read at position 3 in File '") + dir + QStringLiteral("nul.lst'")},
        {"ctrl.lst", true, false, QString(),
         QStringLiteral("Invalid Characters read at position 4 in File '") + dir + QStringLiteral("ctrl.lst'")},
        // an empty file: reported, True, and the earlier text is not kept
        {"empty.lst", true, true, QString(), QStringLiteral("'") + dir + QStringLiteral("empty.lst' is an empty File !")},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        console.text->SetText(QString());
        clsFile f;
        f.MyError = ErrorObj();
        ASSERT_TRUE(f.IsPathSyntaxOk(dir + QString::fromLatin1(r.name)));
        QString content = QStringLiteral("text of the file before");
        EXPECT_EQ(f.LoadFileContent(content, r.check), r.result);
        EXPECT_EQ(content, r.content);
        if (r.message.isEmpty()) {
            EXPECT_TRUE(console.Empty()) << console.Text().toStdString();
        } else {
            EXPECT_EQ(console.Count(r.message), 1) << console.Text().toStdString();
            EXPECT_TRUE(console.Text().contains(QStringLiteral("Context : Error Loading File Content")));
        }
    }
    // A file that vanished after the parse goes through the error path.
    clsFile f;
    f.MyError = ErrorObj();
    const QString gone = WriteFile(QStringLiteral("load/gone.lst"), QByteArray("x"));
    ASSERT_TRUE(f.IsPathSyntaxOk(gone));
    QFile::remove(gone);
    console.text->SetText(QString());
    QString content = QStringLiteral("old");
    EXPECT_FALSE(f.LoadFileContent(content, true));
    EXPECT_EQ(content, QString());
    EXPECT_TRUE(console.Text().contains(QStringLiteral("Context : Error Loading File Content")));
}

TEST(clsFile, LoadFileContentArmsAndClosesTheProgress) {
    QWidget owner;
    owner.show();
    auto monitor = MonitorObj();
    monitor->OFrm = &owner;
    const QString path = WriteFile(QStringLiteral("p/list.lst"), QByteArray(250000, 'a'));
    clsFile f;
    f.Monitor = monitor;
    ASSERT_TRUE(f.IsPathSyntaxOk(path));
    QString content;
    EXPECT_TRUE(f.LoadFileContent(content, true));
    EXPECT_EQ(content.size(), 250000);
    EXPECT_EQ(monitor->Caption, QStringLiteral("Now Loading File Content"));
    EXPECT_EQ(monitor->message, QStringLiteral("list.lst"));
    EXPECT_TRUE(OwnerEnabler::IsEnabled(&owner));  // Shutdown gave the owner back
}

// ---- Shortened paths ----

struct Measured {
    QWidget form;
    Measured() { form.setFont(FontFamilies::CourierNew(10)); }
    int64_t W(const QString& text) const {
        return static_cast<int64_t>(
            std::nearbyint(static_cast<double>(TextMeasure::WidthTwips(form.font(), text)) / Twips::kPerPixel));
    }
};

TEST(clsFile, ShortFileName) {
    ServiceTest::Console console;
    Measured m;
    Screen* scr = Screen::Instance();
    clsFile f;
    f.MyError = ErrorObj();
    const QString name = QStringLiteral("abcdefghijklmnop.txt");
    ASSERT_TRUE(f.IsPathSyntaxOk(QStringLiteral("/nowhere/") + name));
    const int64_t wn = m.W(name);
    const int64_t e = m.W(QStringLiteral("... "));
    // Fits: unchanged.
    EXPECT_EQ(f.GetShortFileName(wn, &m.form, scr), name);
    EXPECT_EQ(f.GetShortFileName(wn + 100, &m.form, scr), name);
    // One pixel less: the longest tail whose width and the ellipsis stay
    // strictly below the width.
    for (int64_t size : {wn - 1, wn / 2, e + m.W(QStringLiteral("t")) + 1}) {
        const QString s = f.GetShortFileName(size, &m.form, scr);
        ASSERT_TRUE(s.startsWith(QStringLiteral("... "))) << size;
        const QString tail = s.mid(4);
        EXPECT_TRUE(name.endsWith(tail));
        EXPECT_LT(m.W(tail) + e, size);
        // The longest tail that fits: one character more would not.
        ASSERT_LT(tail.size(), name.size()) << size;
        EXPECT_GE(m.W(name.right(tail.size() + 1)) + e, size) << size;
    }
    // Not one character fits beside the ellipsis.
    EXPECT_EQ(f.GetShortFileName(e, &m.form, scr), QString());
    // Without a form or screen: "" and no report.
    EXPECT_EQ(f.GetShortFileName(1000, nullptr, scr), QString());
    EXPECT_EQ(f.GetShortFileName(1000, &m.form, nullptr), QString());
    // A path of one level has no file name.
    ASSERT_TRUE(f.IsPathSyntaxOk(QStringLiteral("/")));
    EXPECT_EQ(f.GetShortFileName(1000, &m.form, scr), QString());
    EXPECT_TRUE(console.Empty());
}

TEST(clsFile, ShortPath) {
    ServiceTest::Console console;
    Measured m;
    Screen* scr = Screen::Instance();
    clsFile f;
    f.MyError = ErrorObj();
    const QString path = QStringLiteral("/home/someone/lists/customers.txt");
    ASSERT_TRUE(f.IsPathSyntaxOk(path));
    const int64_t w = m.W(path);
    const int64_t e = std::max(m.W(QStringLiteral(".../")), m.W(QStringLiteral("... ")));
    EXPECT_EQ(f.GetShortPath(w + e, &m.form, scr), path);
    const QString cut = f.GetShortPath(w + e - 1, &m.form, scr);
    ASSERT_TRUE(cut.startsWith(QStringLiteral("... ")));
    EXPECT_TRUE(path.endsWith(cut.mid(4)));
    EXPECT_LE(m.W(cut), w + e - 1);
    const QString narrow = f.GetShortPath(w / 2, &m.form, scr);
    ASSERT_TRUE(narrow.startsWith(QStringLiteral("... ")));
    EXPECT_LE(m.W(narrow), w / 2);
    EXPECT_TRUE(console.Empty());
    // Too narrow for the ellipsis alone, or no width at all: reported, "".
    EXPECT_EQ(f.GetShortPath(0, &m.form, scr), QString());
    EXPECT_EQ(f.GetShortPath(m.W(QStringLiteral("... ")) - 1, &m.form, scr), QString());
    EXPECT_EQ(console.Count(QStringLiteral("Invalid procedure call or argument")), 2);
    EXPECT_TRUE(console.Text().contains(QStringLiteral("Routine : GetShortPath")));
}

TEST(clsFile, ShortDirName) {
    ServiceTest::Console console;
    Measured m;
    Screen* scr = Screen::Instance();
    clsFile f;
    f.MyError = ErrorObj();
    ASSERT_TRUE(f.IsPathSyntaxOk(QStringLiteral("/home/someone/lists/file.txt")));
    // Fits: the folder level itself, with its "/".
    EXPECT_EQ(f.GetShortDirName(1000, &m.form, scr), QStringLiteral("/home/someone/lists/"));
    // Not even the folder's name fits: the root and the ellipsis.
    EXPECT_EQ(f.GetShortDirName(m.W(QStringLiteral("lists")), &m.form, scr), QStringLiteral("/ ..."));
    // The first level from the deepest parent towards the root that fits with
    // the ellipsis and the name.
    const int64_t e = m.W(QStringLiteral("/ .../"));
    const int64_t wn = m.W(QStringLiteral("lists"));
    const int64_t home = m.W(QStringLiteral("/home//")) + e + wn + 1;
    EXPECT_EQ(f.GetShortDirName(home, &m.form, scr), QStringLiteral("/home/ .../lists"));
    const int64_t root = m.W(QStringLiteral("//")) + e + wn + 1;
    EXPECT_EQ(f.GetShortDirName(root, &m.form, scr), QStringLiteral("/ .../lists"));
    // A folder that does not exist is treated as a file name.
    ASSERT_TRUE(f.IsPathSyntaxOk(QStringLiteral("/nowhere-at-all/deeper")));
    EXPECT_EQ(f.GetShortDirName(1000, &m.form, scr), QStringLiteral("/nowhere-at-all/"));
    EXPECT_TRUE(console.Empty());
    EXPECT_EQ(f.GetShortDirName(1000, nullptr, scr), QString());
}

}  // namespace
