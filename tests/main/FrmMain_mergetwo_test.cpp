// Merge to file: the left list's entries, then the right list's after a
// record separator, in the layout of a save dialog that opens on the same
// defaults every run; the checks that keep it from running.
#include <sys/stat.h>

#include <cstring>
#include <functional>

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "FileSizeLimit.h"
#include "FrmSaveList.h"
#include "ListDialogSeam.h"
#include "OwnerEnabler.h"
#include "RichTextBox.h"
#include "Screen.h"
#include "ScratchMount.h"
#include "WorkspaceFixture.h"
#include "clsInterrupt.h"

namespace {

using TestHarness::Folder;
using TestHarness::ReadFile;
using TestHarness::WriteFile;

// Left: b, z, b, q (q invalid), z selected.  Right: b, d (d duplicate), b
// selected.  Two fields a record, the address first.
const QByteArray kLeft = "b@x.com\tL1\r\nz@x.com\tL2\r\nb@x.com\tL3\r\nq@x.com\tL4\r\n";
const QByteArray kRight = "b@x.com\tR1\r\nd@x.com\tR2\r\n";

class MergeTwo : public SaveDialogTest {
protected:
    void TearDown() override {
        ListDialogSeam::Install(nullptr);
        WorkspaceTest::TearDown();
    }
    void LoadBoth() {
        Load(1, kLeft, 4);
        Load(2, kRight, 2);
        YRB03(1, 1, YRB_FLAG_SELECTED, 1);
        YRB03(1, 3, YRB_FLAG_INVALID, 1);
        YRB03(2, 0, YRB_FLAG_SELECTED, 1);
        YRB03(2, 1, YRB_FLAG_DUPLICATE, 1);
        w->SetBothListPerm();
    }
};

// Flagged entries are left out, duplicates written as often as they stand;
// each run's dialog starts from the same defaults, whatever the last run chose.
TEST_F(MergeTwo, WritesLeftThenRight) {
    struct Case {
        const char* what;
        bool selectedOnly;
        std::function<void(FrmSaveList*)> layout;
        QByteArray bytes;
    } cases[] = {
        {"defaults: addresses, CR LF", false, nullptr, "b@x.com\r\nz@x.com\r\nb@x.com\r\nb@x.com"},
        {"whole records joined by \",\", records by \";\"", false,
         [](FrmSaveList* d) {
             d->ComMore->click();
             d->ChkFull->click();
             d->OptFldCom->click();
             d->OptRecOth->click();
             QTest::keyClicks(d->TxtRecSep, ";");
         },
         "b@x.com,l1;z@x.com,l2;b@x.com,l3;b@x.com,r1"},
        {"selected entries only, LF", true,
         [](FrmSaveList* d) {
             d->ComMore->click();
             d->OptRecLf->click();
         },
         "z@x.com\nb@x.com"},
    };
    LoadBoth();
    int run = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString out = Folder() + QStringLiteral("/merged%1.txt").arg(++run);
        w->ChkMergeSelect->setChecked(c.selectedOnly);
        Dialog([&](FrmSaveList* d) {
            EXPECT_EQ(d->windowTitle(), QStringLiteral("Merge Left and Right lists"));
            EXPECT_EQ(d->ComSave->text(), QStringLiteral("Merge"));
            EXPECT_TRUE(d->HasSepFld && d->HasSepRec && d->HasFull && d->HasMore);
            EXPECT_FALSE(d->HasSplNbr || d->HasSplDom);
            EXPECT_EQ(d->TxtOutFile->text(), QString());
            EXPECT_TRUE(d->OptFldTab->isChecked());
            EXPECT_TRUE(d->OptRecCrLf->isChecked());
            EXPECT_FALSE(d->ChkFull->isChecked());
            Output(d, out);
            if (c.layout) c.layout(d);
            d->ComSave->click();
        });
        TestHarness::AnswerMessages({MsgBoxButton::Ok});
        w->ComSMerge->click();
        EXPECT_EQ(shown, 1);
        EXPECT_EQ(ReadFile(out), c.bytes);
        const MsgBoxRequest& r = TestHarness::AskedMessages().back();
        EXPECT_EQ(r.message, QStringLiteral("The Left and Right List have been successfully merged"));
        EXPECT_EQ(r.Title, QStringLiteral("List Merge Successful"));
        EXPECT_EQ(r.IconNb, MsgBoxIcon::Logo);
        EXPECT_EQ(Pane(1)->GetSel() + Pane(2)->GetSel(), 2) << "no flag changes";
        EXPECT_EQ(Console(), QString());
        ExpectClosed();
    }
}

// The checks in their order: both lists loaded, then both counted, then
// both selections (only with "Selected entries only"); no dialog after one.
TEST_F(MergeTwo, RefusedInTheOrderOfTheChecks) {
    // "-" no list, "removed" every entry flagged, "plain" nothing
    // selected, "selected" one entry selected.
    struct Case {
        const char* left;
        const char* right;
        bool selectedOnly;
        const char* message;
        const char* title;
    } cases[] = {
        {"-", "-", false, "The Left list is empty !", "Empty List"},
        {"removed", "-", false, "The Right list is empty !", "Empty List"},
        {"removed", "removed", true, "The Left list contains no entries", "Empty List"},
        {"plain", "removed", true, "The Right list contains no entries", "Empty List"},
        {"plain", "plain", true, "No entries are selected in Left list", "No Entries selected"},
        {"selected", "plain", true, "No entries are selected in Right list", "No Entries selected"},
    };
    auto prepare = [&](int32_t slot, const std::string& state) {
        YRB20(slot);
        if (state == "-") return;
        Load(slot, "a@x.com\r\nb@x.com\r\n", 2);
        if (state == "removed") {
            YRB03(slot, 0, YRB_FLAG_DELETED, 1);
            YRB03(slot, 1, YRB_FLAG_INVALID | YRB_FLAG_SELECTED, 1);
        }
        if (state == "selected") YRB03(slot, 1, YRB_FLAG_SELECTED, 1);
    };
    Dialog([](FrmSaveList*) { ADD_FAILURE() << "no dialog after a refusal"; });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        prepare(1, c.left);
        prepare(2, c.right);
        w->ChkMergeSelect->setChecked(c.selectedOnly);
        const qsizetype asked = TestHarness::AskedMessages().size();
        TestHarness::AnswerMessages({MsgBoxButton::Ok});
        w->ComSMerge_Click();
        ASSERT_EQ(TestHarness::AskedMessages().size(), asked + 1);
        const MsgBoxRequest& r = TestHarness::AskedMessages().back();
        EXPECT_EQ(r.message, QLatin1String(c.message));
        EXPECT_EQ(r.Title, QLatin1String(c.title));
        EXPECT_EQ(r.IconNb, MsgBoxIcon::Warning);
        EXPECT_TRUE(r.ShowOk);
        ExpectClosed();
    }
    EXPECT_EQ(shown, 0);
}

TEST_F(MergeTwo, CancelWritesNothing) {
    LoadBoth();
    const QString existing = WriteFile("merged.txt", "old");
    const QString fresh = Folder() + "/fresh.txt";
    for (const QString& out : {existing, fresh}) {
        Dialog([&](FrmSaveList* d) {
            Output(d, out);
            d->close();
        });
        w->ComSMerge->click();
        EXPECT_EQ(shown, 1);
        ExpectClosed();
    }
    EXPECT_EQ(ReadFile(existing), "old");
    EXPECT_FALSE(QFile::exists(fresh));
    EXPECT_TRUE(TestHarness::AskedMessages().isEmpty());
}

// A disk that cannot take both halves: nothing new under the output's name
// (the former file byte for byte with its bits, or none), nothing left
// beside it, no success message, the cause in the console under the name
// asked for.  Where no hard link can be made (FAT, exFAT), the former file
// is moved aside instead, and comes back over the engine's left half.
TEST_F(MergeTwo, OutputThatDoesNotFitLeavesNothingCut) {
    LoadBoth();
    // The left half is 25 bytes, both 36.
    struct Case {
        const char* what;
        rlim_t room;
        QByteArray former;  // null: no file before
        mode_t bits;        // the former file's; 0: as made
        Links links;
    } cases[] = {
        {"the left half", 10, QByteArray(), 0, Links::kMade},
        {"the left half, over a former file", 10, "former bytes", 0, Links::kMade},
        {"the right half", 30, QByteArray(), 0, Links::kMade},
        {"the right half, over a former file", 30, "former bytes", 0, Links::kMade},
        {"the right half, over a former file of 0640, no hard links", 30, "former bytes", 0640, Links::kRefused},
        {"the right half, over a private former file, no hard links", 30, "former bytes", 0600, Links::kRefused},
    };
    int run = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString folder = Folder() + "/full" + QString::number(++run);
        QDir().mkpath(folder);
        const HardLinks links(c.links);
        ExpectNothingCut(folder + "/merged.txt", c.former, c.room, [&] { w->ComSMerge->click(); }, c.bits);
    }
}

// A private output stays private through the whole command: from the
// engine's first call on, the file under the name has the former file's
// bits, never the usual ones of a new file.
TEST_F(MergeTwo, OutputKeepsItsBitsFromTheFirstByte) {
    LoadBoth();
    int run = 0;
    for (const mode_t bits : {mode_t{0600}, mode_t{0640}}) {
        SCOPED_TRACE(QString::number(bits, 8).toStdString());
        const QString out = Folder() + QStringLiteral("/private%1.txt").arg(++run);
        WriteFile(QFileInfo(out).fileName(), "former bytes");
        ASSERT_EQ(::chmod(QFile::encodeName(out).constData(), bits), 0);
        Dialog([&](FrmSaveList* d) {
            Output(d, out);
            d->ComSave->click();
        });
        TestHarness::AnswerMessages({MsgBoxButton::Yes, MsgBoxButton::Ok});
        // Before each half is written: the empty file left for the left
        // half, then the left half under the name.
        QList<int> seen;
        {
            const OnInformation hook("Writing entries to file", [&] { seen << BitsOf(out); });
            w->ComSMerge->click();
        }
        EXPECT_EQ(seen, QList<int>({static_cast<int>(bits), static_cast<int>(bits)}));
        EXPECT_EQ(ReadFile(out), "b@x.com\r\nz@x.com\r\nb@x.com\r\nb@x.com");
        EXPECT_EQ(BitsOf(out), static_cast<int>(bits));
        EXPECT_EQ(TestHarness::AskedMessages().back().Title, QStringLiteral("List Merge Successful"));
        ExpectClosed();
    }
}

// On a real exFAT file system (no hard links; link answers EPERM), the merge
// over a former output: the right half not fitting leaves the former output
// byte for byte, with the cause; both fitting leave the merged output.
TEST_F(MergeTwo, OntoAnExfatFileSystem) {
    const ExfatMount exfat(Folder() + "/exfat");
    if (!exfat.Ready()) GTEST_SKIP() << exfat.Why().toStdString();
    LoadBoth();
    const QByteArray former = "former bytes";
    struct Case {
        const char* what;
        rlim_t room;  // RLIM_INFINITY: no limit
        QByteArray after;
    } cases[] = {
        {"the right half does not fit", 30, former},
        {"both halves fit", RLIM_INFINITY, "b@x.com\r\nz@x.com\r\nb@x.com\r\nb@x.com"},
    };
    const QString out = exfat.Folder() + "/merged.txt";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile file(out);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(former);
        file.close();
        ASSERT_NE(::link(QFile::encodeName(out).constData(), QFile::encodeName(out + ".link").constData()), 0)
            << "exFAT makes no hard link";
        Dialog([&](FrmSaveList* d) {
            Output(d, out);
            d->ComSave->click();
        });
        TestHarness::AnswerMessages({MsgBoxButton::Yes, MsgBoxButton::Ok});
        const qsizetype asked = TestHarness::AskedMessages().size();
        w->TxtErrors->SetText(QString());
        {
            const FileSizeLimit limit(c.room);
            ASSERT_TRUE(limit.IsSet());
            w->ComSMerge->click();
        }
        EXPECT_EQ(ReadFile(out), c.after);
        EXPECT_EQ(QDir(exfat.Folder()).entryList(QDir::Files | QDir::Hidden), QStringList{"merged.txt"});
        const bool merged = c.after != former;
        // Yes to replacing the former file, then the success message.
        EXPECT_EQ(TestHarness::AskedMessages().size(), asked + (merged ? 2 : 1));
        if (merged) {
            EXPECT_EQ(Console(), QString());
        } else {
            EXPECT_TRUE(Console().contains("Could not write to file : " + out + " (File too large)"))
                << Console().toStdString();
        }
        ExpectClosed();
    }
}

// The right half stopped in the progress window: the left list's entries stay in
// the file, followed by what the engine wrote of the right half before it
// stopped, and no success is claimed.
TEST_F(MergeTwo, StoppedRightHalfKeepsTheLeftEntries) {
    LoadBoth();
    // The engine looks for a stop once in ten thousand entries.
    constexpr int32_t kLong = 12000;
    QByteArray right;
    for (int32_t i = 0; i < kLong; ++i) right += "r" + QByteArray::number(i) + "@x.com\r\n";
    Load(2, right, kLong);
    const QString out = Folder() + "/merged.txt";
    Dialog([&](FrmSaveList* d) {
        Output(d, out);
        d->ComSave->click();
    });
    static int writes = 0;
    writes = 0;
    const YRB_CallbackTable saved = modCallBack::EngineCallbackTable;
    modCallBack::EngineCallbackTable.information = [](const char* text) -> int32_t {
        if (std::strcmp(text, "Writing entries to file") == 0 && ++writes == 2)
            InterruptObj()->ISet(QStringLiteral("Operator"));
        return 0;
    };
    YRB07(&modCallBack::EngineCallbackTable);
    w->ComSMerge->click();
    modCallBack::EngineCallbackTable = saved;
    YRB07(&modCallBack::EngineCallbackTable);
    EXPECT_EQ(writes, 2);
    const QByteArray bytes = ReadFile(out);
    EXPECT_TRUE(bytes.startsWith("b@x.com\r\nz@x.com\r\nb@x.com\r\nr0@x.com"));
    EXPECT_FALSE(bytes.endsWith("r11999@x.com"));
    EXPECT_TRUE(TestHarness::AskedMessages().isEmpty());
    ExpectClosed();
}

}  // namespace
