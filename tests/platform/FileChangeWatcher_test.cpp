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

QString Lists() { return Folder() + QStringLiteral("/lists"); }

void Write(const char* name, const QByteArray& bytes) { TestHarness::WriteFile(QStringLiteral("lists/") + name, bytes); }

void Append(const char* name, const QByteArray& bytes) {
    QFile f(Lists() + QLatin1Char('/') + QLatin1String(name));
    ASSERT_TRUE(f.open(QIODevice::Append));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// As editors save: a new file beside the old one, renamed over it.
void RenameOver(const char* name, const QByteArray& bytes) {
    const QString fresh = TestHarness::WriteFile(QStringLiteral("lists/.") + name + QStringLiteral(".new"), bytes);
    ASSERT_EQ(std::rename(QFile::encodeName(fresh).constData(),
                          QFile::encodeName(Lists() + QLatin1Char('/') + QLatin1String(name)).constData()),
              0);
}

// Every name told, in order, over all the signals so far.
QStringList Told(const QSignalSpy& spy) {
    QStringList names;
    for (const QList<QVariant>& signal : spy) names += signal.at(0).toStringList();
    return names;
}

class Watch : public ::testing::Test {
protected:
    void SetUp() override {
        Write("a.cfg", "a\r\n");
        Write("b.cfg", "b\r\n");
        Write("c.cfg", "c\r\n");
        Write("other.cfg", "other\r\n");
        watcher = std::make_unique<FileChangeWatcher>(Lists(), QStringList{"a.cfg", "b.cfg", "c.cfg"});
        spy = std::make_unique<QSignalSpy>(watcher.get(), &FileChangeWatcher::Changed);
    }
    // A save of c.cfg, waited for: whatever was told before it, or with it,
    // is in the spy once it has been told.
    void Mark() {
        Append("c.cfg", QByteArray::number(++marks) + "\r\n");
        ASSERT_TRUE(QTest::qWaitFor([&] { return Told(*spy).endsWith(QStringLiteral("c.cfg")); }, kWaitMs));
    }
    std::unique_ptr<FileChangeWatcher> watcher;
    std::unique_ptr<QSignalSpy> spy;
    int marks = 0;
};

TEST_F(Watch, EachKindOfSaveIsToldOnce) {
    struct Row {
        const char* name;
        std::function<void(FileChangeWatcher&)> save;
        QStringList told;
    };
    const Row rows[] = {
        {"written in place", [](FileChangeWatcher&) { Append("a.cfg", "more\r\n"); }, {"a.cfg"}},
        {"renamed over", [](FileChangeWatcher&) { RenameOver("b.cfg", "b\r\nnew\r\n"); }, {"b.cfg"}},
        {"a second rename over the same file",
         [](FileChangeWatcher&) { RenameOver("b.cfg", "b\r\nnewer\r\n"); },
         {"b.cfg"}},
        {"in place after a rename", [](FileChangeWatcher&) { Append("b.cfg", "x\r\n"); }, {"b.cfg"}},
        {"a burst of writes",
         [](FileChangeWatcher&) {
             // Each write reaches the watch on its own.
             Write("a.cfg", "");
             QCoreApplication::processEvents();
             Append("a.cfg", "a\r\n");
             QCoreApplication::processEvents();
             Append("a.cfg", "burst\r\n");
         },
         {"a.cfg"}},
        {"two files at once",
         [](FileChangeWatcher&) {
             Append("a.cfg", "both\r\n");
             RenameOver("b.cfg", "both\r\n");
         },
         {"a.cfg", "b.cfg"}},
        {"another file of the folder, renamed over and written",
         [](FileChangeWatcher&) {
             RenameOver("other.cfg", "new\r\n");
             Append("other.cfg", "more\r\n");
         },
         {}},
        {"the same bytes saved again", [](FileChangeWatcher&) { RenameOver("a.cfg", "a\r\nburst\r\nboth\r\n"); },
         {}},
        {"content taken by the owner before the watch looks",
         [](FileChangeWatcher& w) {
             Append("a.cfg", "taken\r\n");
             w.Take(QStringLiteral("a.cfg"));
         },
         {}},
        {"gone: nothing until it is back", [](FileChangeWatcher&) { QFile::remove(Lists() + "/b.cfg"); }, {}},
        {"back with new content", [](FileChangeWatcher&) { Write("b.cfg", "back\r\n"); }, {"b.cfg"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        spy->clear();
        r.save(*watcher);
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
    Append("a.cfg", "while busy\r\n");
    // Asked again and again, and nothing told meanwhile.
    ASSERT_TRUE(QTest::qWaitFor([&] { return asked >= 3; }, kWaitMs));
    EXPECT_EQ(spy->count(), 0);
    busy = false;
    EXPECT_TRUE(QTest::qWaitFor([&] { return spy->count() > 0; }, kWaitMs));
    EXPECT_EQ(Told(*spy), QStringList{"a.cfg"});
}

}  // namespace
