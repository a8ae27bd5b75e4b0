// The watch on a few files of a folder: saves in place and by a new file
// renamed over the old one are told once per burst, writes that change
// nothing of the watched files tell nothing, and a busy owner holds
// changes back until it is free.
#include <cstdio>
#include <functional>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include "FileChangeWatcher.h"
#include "TestHarness.h"

namespace {

using TestHarness::Folder;

// Long enough for a loaded machine; a watch that works tells in a fraction.
constexpr int kWaitMs = 5000;
// A quiet time no pause of the test's own thread outlasts.
constexpr int kLongerThanAnyStallMs = 10 * 60 * 1000;

// The files of one folder, as their owners write them.
struct Files {
    QString folder;  // inside the test's folder

    QString Path(const char* name) const { return Folder() + QLatin1Char('/') + folder + QLatin1Char('/') + name; }
    void Write(const char* name, const QByteArray& bytes) const {
        TestHarness::WriteFile(folder + QLatin1Char('/') + QLatin1String(name), bytes);
    }
    void Append(const char* name, const QByteArray& bytes) const {
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::Append));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    // As editors save: a new file beside the old one, renamed over it.
    void RenameOver(const char* name, const QByteArray& bytes) const {
        const QString fresh =
            TestHarness::WriteFile(folder + QStringLiteral("/.") + name + QStringLiteral(".new"), bytes);
        ASSERT_EQ(std::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(Path(name)).constData()), 0);
    }
    void Remove(const char* name) const { ASSERT_TRUE(QFile::remove(Path(name))); }
};

// Every name told, in order, over all the signals so far.
QStringList Told(const QSignalSpy& spy) {
    QStringList names;
    for (const QList<QVariant>& signal : spy) names += signal.at(0).toStringList();
    return names;
}

class Watch : public ::testing::Test {
protected:
    void SetUp() override { Start(QStringLiteral("lists")); }
    // A watch of a, b and c in a folder of their own, with another file beside them.
    void Start(const QString& folder) {
        spy.reset();
        watcher.reset();
        files = {folder};
        files.Write("a.cfg", "a\r\n");
        files.Write("b.cfg", "b\r\n");
        files.Write("c.cfg", "c\r\n");
        files.Write("other.cfg", "other\r\n");
        watcher = std::make_unique<FileChangeWatcher>(Folder() + QLatin1Char('/') + folder,
                                                      QStringList{"a.cfg", "b.cfg", "c.cfg"});
        spy = std::make_unique<QSignalSpy>(watcher.get(), &FileChangeWatcher::Changed);
    }
    // A save of c.cfg, waited for: whatever was told before it, or with it,
    // is in the spy once it has been told.
    void Mark() {
        files.Append("c.cfg", QByteArray::number(++marks) + "\r\n");
        ASSERT_TRUE(QTest::qWaitFor([&] { return Told(*spy).endsWith(QStringLiteral("c.cfg")); }, kWaitMs));
    }
    Files files;
    std::unique_ptr<FileChangeWatcher> watcher;
    std::unique_ptr<QSignalSpy> spy;
    int marks = 0;
};

TEST_F(Watch, EachKindOfSaveIsToldOnce) {
    using Step = std::function<void(const Files&, FileChangeWatcher&)>;
    struct Row {
        const char* name;
        Step before;  // done and told before the save; may be empty
        Step save;
        QStringList told;
    };
    const Row rows[] = {
        {"written in place", {}, [](const Files& f, FileChangeWatcher&) { f.Append("a.cfg", "more\r\n"); }, {"a.cfg"}},
        {"renamed over", {}, [](const Files& f, FileChangeWatcher&) { f.RenameOver("b.cfg", "b\r\nnew\r\n"); },
         {"b.cfg"}},
        {"a second rename over the same file",
         [](const Files& f, FileChangeWatcher&) { f.RenameOver("b.cfg", "b\r\nnew\r\n"); },
         [](const Files& f, FileChangeWatcher&) { f.RenameOver("b.cfg", "b\r\nnewer\r\n"); },
         {"b.cfg"}},
        {"in place after a rename",
         [](const Files& f, FileChangeWatcher&) { f.RenameOver("b.cfg", "b\r\nnew\r\n"); },
         [](const Files& f, FileChangeWatcher&) { f.Append("b.cfg", "x\r\n"); },
         {"b.cfg"}},
        {"a burst of writes",
         {},
         [](const Files& f, FileChangeWatcher&) {
             // Each write reaches the watch on its own, and no stall between
             // them ends the quiet time: the last write starts the usual one.
             FileChangeWatcher::InstallSettleMs(kLongerThanAnyStallMs);
             f.Write("a.cfg", "");
             QCoreApplication::processEvents();
             f.Append("a.cfg", "a\r\n");
             QCoreApplication::processEvents();
             FileChangeWatcher::InstallSettleMs(std::nullopt);
             f.Append("a.cfg", "burst\r\n");
         },
         {"a.cfg"}},
        {"two files at once",
         {},
         [](const Files& f, FileChangeWatcher&) {
             f.Append("a.cfg", "both\r\n");
             f.RenameOver("b.cfg", "both\r\n");
         },
         {"a.cfg", "b.cfg"}},
        {"another file of the folder, renamed over and written",
         {},
         [](const Files& f, FileChangeWatcher&) {
             f.RenameOver("other.cfg", "new\r\n");
             f.Append("other.cfg", "more\r\n");
         },
         {}},
        {"the same bytes saved again", {}, [](const Files& f, FileChangeWatcher&) { f.RenameOver("a.cfg", "a\r\n"); },
         {}},
        {"content taken by the owner before the watch looks",
         {},
         [](const Files& f, FileChangeWatcher& w) {
             f.Append("a.cfg", "taken\r\n");
             w.Take(QStringLiteral("a.cfg"));
         },
         {}},
        {"gone: nothing until it is back", {}, [](const Files& f, FileChangeWatcher&) { f.Remove("b.cfg"); }, {}},
        {"back with new content",
         [](const Files& f, FileChangeWatcher&) { f.Remove("b.cfg"); },
         [](const Files& f, FileChangeWatcher&) { f.Write("b.cfg", "back\r\n"); },
         {"b.cfg"}},
    };
    int index = 0;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Start(QStringLiteral("row %1").arg(++index));
        if (r.before) {
            r.before(files, *watcher);
            Mark();
            spy->clear();
        }
        r.save(files, *watcher);
        // Told by the save itself, not by a later one that makes the watch look.
        if (!r.told.isEmpty()) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return Told(*spy) == r.told; }, kWaitMs));
        }
        // And nothing more.
        Mark();
        EXPECT_EQ(Told(*spy), r.told + QStringList{"c.cfg"});
    }
}

TEST_F(Watch, ABusyOwnerGetsTheChangeOnceFree) {
    bool busy = true;
    int asked = 0;
    watcher->SetBusyTest([&] {
        ++asked;
        return busy;
    });
    files.Append("a.cfg", "while busy\r\n");
    // Asked again and again, and nothing told meanwhile.
    ASSERT_TRUE(QTest::qWaitFor([&] { return asked >= 3; }, kWaitMs));
    EXPECT_EQ(spy->count(), 0);
    busy = false;
    EXPECT_TRUE(QTest::qWaitFor([&] { return spy->count() > 0; }, kWaitMs));
    EXPECT_EQ(Told(*spy), QStringList{"a.cfg"});
}

}  // namespace
