// Save and Split: the selected entries of a side written in the layout the
// save dialog gives, to one file, numbered files or a domain's two halves;
// the earlier outputs of that name replaced, nothing else.

#include <algorithm>
#include <functional>
#include <vector>

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

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
#include "WorkspaceFixture.h"

namespace {

using TestHarness::Folder;
using TestHarness::ReadFile;
using TestHarness::WriteFile;

class Save : public WorkspaceTest {
protected:
    void TearDown() override {
        ListDialogSeam::Install(nullptr);
        WorkspaceTest::TearDown();
    }
    // A ";" list with the address in column 2, described as the import
    // leaves it; every entry selected.
    void LoadSource(const QByteArray& lines, int32_t entries) {
        const QString path = WriteFile("out/mine.2023.txt", lines);
        ASSERT_EQ(YRB13(1, QFile::encodeName(path).constData(), 2, ";", "\r\n"), entries);
        Pane(1)->SetCount(entries);
        clsEmailList& d = w->LeftListDesc;
        d = clsEmailList();
        d.NameSrc = path;
        d.NameOut = Folder() + "/out/mine.out";
        d.FldTab = false;
        d.FldCol = true;
        d.ColNbr = 2;
        YRB10(1, YRB_ALL_ENTRIES, YRB_MODE_SET, YRB_FLAG_SELECTED, 0, 0, nullptr);
        Pane(1)->SetAll();
        ThisList = w->VL_left;
    }
    // The dialog filled by the script, then confirmed.
    void Dialog(std::function<void(FrmSaveList*)> fill) {
        shown = 0;
        ListDialogSeam::Install([this, fill](QDialog* dialog) {
            auto* d = qobject_cast<FrmSaveList*>(dialog);
            ASSERT_NE(d, nullptr);
            ++shown;
            if (fill) fill(d);
        });
    }
    static void Output(FrmSaveList* d, const QString& path) {
        d->TxtOutFile->selectAll();
        QTest::keyClicks(d->TxtOutFile, path);
    }
    QStringList Files() const {
        return QDir(Folder() + "/out").entryList(QDir::Files, QDir::Name);
    }
    QString Console() const { return w->TxtErrors->Text(); }
    int shown = 0;
};

// While one lives, the process acts as the user nobody (effective user,
// group and groups): root reads every folder, a folder that cannot be
// listed needs another user.  In this process, not a forked child: a child
// of a window that has painted waits on the painter's threads, which it
// does not have.
class ActingAsNobody {
public:
    ActingAsNobody() {
        m_groups.resize(static_cast<size_t>(std::max(0, ::getgroups(0, nullptr))));
        if (::getgroups(static_cast<int>(m_groups.size()), m_groups.data()) < 0) return;
        const passwd* nobody = ::getpwnam("nobody");
        if (nobody == nullptr) return;
        const gid_t group = nobody->pw_gid;
        m_set = ::setgroups(1, &group) == 0 && ::setegid(group) == 0 && ::seteuid(nobody->pw_uid) == 0;
    }
    ~ActingAsNobody() {
        (void)::seteuid(m_user);
        (void)::setegid(m_group);
        (void)::setgroups(m_groups.size(), m_groups.data());
    }
    ActingAsNobody(const ActingAsNobody&) = delete;
    ActingAsNobody& operator=(const ActingAsNobody&) = delete;
    // False when the switch failed: the test would prove nothing.
    bool IsSet() const { return m_set; }

private:
    uid_t m_user = ::geteuid();
    gid_t m_group = ::getegid();
    std::vector<gid_t> m_groups;
    bool m_set = false;
};

const QByteArray kFive = "1;a@mail.example;A\r\n2;b@gmail.example;B\r\n3;c@mail.org;C\r\n4;d@x.cyborg;D\r\n5;e@y.com;E\r\n";

TEST_F(Save, SelectAllAndSaveWithNewSeparators) {
    LoadSource(kFive + "6;f@z.com;F\r\n7;g@z.com;G\r\n", 7);
    YRB10(1, YRB_ALL_ENTRIES, YRB_MODE_CLEAR, YRB_FLAG_SELECTED, 0, 0, nullptr);
    // Flagged entries are never written, selected or not.
    YRB03(1, 5, YRB_FLAG_INVALID, 1);
    YRB03(1, 6, YRB_FLAG_DELETED, 1);
    Pane(1)->SetAll();
    w->ComSLSelAll->click();
    ASSERT_EQ(Pane(1)->GetSel(), 5);
    ASSERT_TRUE(w->ComSLSave->isEnabled());
    const QString out = Folder() + "/out/saved.csv";
    Dialog([&](FrmSaveList* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Save list to file"));
        EXPECT_EQ(d->ComSave->text(), QStringLiteral("Save"));
        Output(d, out);
        d->ComMore->click();
        d->OptFldCom->click();
        d->OptRecLf->click();
        d->ComSave->click();
    });
    TestHarness::AnswerMessages({MsgBoxButton::Ok});
    w->ComSLSave->click();
    EXPECT_EQ(shown, 1) << Console().toStdString();
    // The engine holds its records lower-cased.
    EXPECT_EQ(ReadFile(out), "1,a@mail.example,a\n2,b@gmail.example,b\n3,c@mail.org,c\n4,d@x.cyborg,d\n5,e@y.com,e");
    ASSERT_FALSE(TestHarness::AskedMessages().isEmpty());
    EXPECT_EQ(TestHarness::AskedMessages().back().message, QStringLiteral("The List has been successfully saved"));
    EXPECT_EQ(TestHarness::AskedMessages().back().Title, QStringLiteral("List Save Successful"));
    EXPECT_EQ(w->LeftResultsDesc.NameOut, out);
    EXPECT_EQ(w->LeftListDesc.NameOut, Folder() + "/out/mine.out") << "the side's own descriptor is not changed";
    EXPECT_TRUE(w->ComViewLeft->isEnabled());
    EXPECT_EQ(Console(), QString());
}

// Split by size and by domain: the files written and their contents, the
// earlier outputs of the name gone, every other file kept.
TEST_F(Save, SplitsAndReplacesOnlyItsOwnOutputs) {
    struct Case {
        const char* what;
        std::function<void(FrmSaveList*)> fill;
        QStringList written;  // file: its addresses, in order
    } cases[] = {
        {"by 2 entries",
         [](FrmSaveList* d) {
             d->ChkSplNbr->click();
             d->TxtChunk->selectAll();
             QTest::keyClicks(d->TxtChunk, "2");
         },
         {"mine_1.out:a,b", "mine_2.out:c,d", "mine_3.out:e"}},
        {"by the domain name mail (a whole word)",
         [](FrmSaveList* d) {
             d->ChkSplDom->click();
             d->OptSplDom->click();
             QTest::keyClicks(d->TxtDomain, "mail");
         },
         {"mine_E.out:b,d,e", "mine_I.out:a,c"}},
        {"by the extension org, cyborg included",
         [](FrmSaveList* d) {
             d->ChkSplDom->click();
             d->OptSplExt->click();
             QTest::keyClicks(d->TxtExtension, "org");
         },
         {"mine_E.out:a,b,e", "mine_I.out:c,d"}},
        {"by domain and by 1 entry",
         [](FrmSaveList* d) {
             d->ChkSplNbr->click();
             d->TxtChunk->selectAll();
             QTest::keyClicks(d->TxtChunk, "1");
             d->ChkSplDom->click();
             d->OptSplDom->click();
             QTest::keyClicks(d->TxtDomain, "mail");
         },
         {"mine_E_1.out:b", "mine_E_2.out:d", "mine_E_3.out:e", "mine_I_1.out:a", "mine_I_2.out:c"}},
    };
    const QStringList kept = {"mine.2023.out", "mine.2023.txt", "mine_6.out", "mine_old.out", "notes.txt"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(Folder() + "/out").removeRecursively();
        LoadSource(kFive, 5);
        // Earlier outputs of this name, and files that only look like them.
        for (const char* name : {"mine.out", "mine_1.out", "mine_2.out", "mine_3.out", "mine_4.out", "mine_I.out",
                                 "mine_E_1.out", "mine_6.out", "mine_old.out", "mine.2023.out", "notes.txt"})
            WriteFile(QStringLiteral("out/") + name, "old");
        Dialog([&](FrmSaveList* d) {
            EXPECT_EQ(d->windowTitle(), QStringLiteral("Split list"));
            EXPECT_EQ(d->ComSave->text(), QStringLiteral("Split"));
            c.fill(d);
            d->ComSave->click();
        });
        // Yes to the dialog's question on the existing outputs.
        TestHarness::AnswerMessages({MsgBoxButton::Yes, MsgBoxButton::Ok});
        w->M_Popup1Split_Click();
        EXPECT_EQ(TestHarness::AskedMessages().back().message, QStringLiteral("The List has been successfully split"));
        QStringList expected = kept;
        for (const QString& f : c.written) {
            const QString name = f.section(':', 0, 0);
            expected.append(name);
            QByteArray content;
            for (const QString& a : f.section(':', 1).split(',')) {
                const int n = a[0].unicode() - 'a';
                if (!content.isEmpty()) content += "\r\n";
                content += kFive.split('\n')[n].trimmed().toLower();
            }
            EXPECT_EQ(ReadFile(Folder() + "/out/" + name), content) << name.toStdString();
        }
        expected.sort();
        EXPECT_EQ(Files(), expected);
        EXPECT_EQ(Console(), QString());
        YRB20(1);
    }
}

// A split into a folder its user may write but not read (mode 0300), where
// no file matches a pattern: the names the split writes or removes are
// tested one by one, and the question comes before any is replaced.  Five
// entries by 3 write sp_1 and sp_2; an earlier sp_3 goes after a Yes.
TEST_F(Save, SplitIntoAFolderThatCannotBeListedAsksFirst) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to hand the folder to nobody";
    const passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    const uid_t user = nobody->pw_uid;
    const gid_t group = nobody->pw_gid;
    const QString drop = Folder() + "/drop";
    const QString question = QStringLiteral(
        "File(s) Already Exists: File(s) with the following name pattern already exist :\r\n\r\n'sp*.txt'\r\n\r\n"
        "If you choose yes, the existing filenames will be\r\noverwritten. Do you want to proceed anyway ?");
    const QList<QByteArray> records = kFive.toLower().split('\n');
    auto lines = [&](int from, int to) {
        QByteArray text;
        for (int k = from; k < to; ++k) text += (text.isEmpty() ? "" : "\r\n") + records[k].trimmed();
        return text;
    };
    struct Case {
        const char* what;
        QStringList former;  // in the folder, each holding "old" and its name
        QList<int> answers;
        QStringList asked;  // each message as "title: text"
        QStringList after;  // each file of the folder as "name: content"
    } cases[] = {
        {"earlier outputs, No", {"sp_1.txt", "sp_2.txt", "sp_3.txt"}, {MsgBoxButton::No}, {question},
         {"sp_1.txt: old sp_1.txt", "sp_2.txt: old sp_2.txt", "sp_3.txt: old sp_3.txt"}},
        {"earlier outputs, Yes", {"sp_1.txt", "sp_2.txt", "sp_3.txt"}, {MsgBoxButton::Yes, MsgBoxButton::Ok},
         {question, "List Save Successful: The List has been successfully split"},
         {"sp_1.txt: " + lines(0, 3), "sp_2.txt: " + lines(3, 5)}},
        // Not an earlier output (sp_1 is missing), but a file the split writes.
        {"the second file only, No", {"sp_2.txt"}, {MsgBoxButton::No}, {question}, {"sp_2.txt: old sp_2.txt"}},
    };
    ASSERT_EQ(::chmod(QFile::encodeName(Folder()).constData(), 0755), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(drop).removeRecursively();
        LoadSource(kFive, 5);
        for (const QString& name : c.former) {
            const QString path = WriteFile("drop/" + name, "old " + name.toLatin1());
            ASSERT_EQ(::chown(QFile::encodeName(path).constData(), user, group), 0);
        }
        ASSERT_EQ(::chown(QFile::encodeName(drop).constData(), user, group), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(drop).constData(), 0300), 0);
        Dialog([&](FrmSaveList* d) {
            Output(d, drop + "/sp.txt");
            d->ChkSplNbr->click();
            d->TxtChunk->selectAll();
            QTest::keyClicks(d->TxtChunk, "3");
            d->ComSave->click();
        });
        TestHarness::AnswerMessages(c.answers);
        const qsizetype from = TestHarness::AskedMessages().size();
        {
            const ActingAsNobody nobodyNow;
            ASSERT_TRUE(nobodyNow.IsSet());
            w->M_Popup1Split_Click();
        }
        QStringList asked;
        for (qsizetype k = from; k < TestHarness::AskedMessages().size(); ++k)
            asked << TestHarness::AskedMessages()[k].Title + ": " + TestHarness::AskedMessages()[k].message;
        EXPECT_EQ(asked, c.asked);
        QStringList after;
        for (const QString& name : QDir(drop).entryList(QDir::Files | QDir::Hidden, QDir::Name))
            after << name + ": " + ReadFile(drop + "/" + name);
        EXPECT_EQ(after, c.after);
        EXPECT_EQ(Console(), QString());
        YRB20(1);
    }
}

// The halves of a split by domain take "_I" and "_E" before the extension
// of the file name; a name without one gets them at its end.
TEST_F(Save, DomainHalvesOfAnOutputWithoutExtension) {
    struct Case {
        const char* output;  // under the test folder
        const char* in;
        const char* out;
    } cases[] = {
        {"/out/my.lists/mine", "/out/my.lists/mine_I", "/out/my.lists/mine_E"},
        {"/out/mine", "/out/mine_I", "/out/mine_E"},
        {"/out/mine.txt", "/out/mine_I.txt", "/out/mine_E.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output);
        LoadSource(kFive, 5);
        QDir().mkpath(Folder() + "/out/my.lists");
        Dialog([&](FrmSaveList* d) {
            Output(d, Folder() + c.output);
            d->ChkSplDom->click();
            d->OptSplDom->click();
            QTest::keyClicks(d->TxtDomain, "mail");
            d->ComSave->click();
        });
        TestHarness::AnswerMessages({MsgBoxButton::Yes, MsgBoxButton::Ok});
        w->M_Popup1Split_Click();
        EXPECT_EQ(ReadFile(Folder() + c.in), "1;a@mail.example;a\r\n3;c@mail.org;c");
        EXPECT_TRUE(QFile::exists(Folder() + c.out));
        YRB20(1);
    }
}

// A save and a split into a place that cannot take the whole output: the
// cause in the console, no success message, and no cut file left; the
// numbered files that fitted go too, other files stay.
TEST_F(Save, OutputThatDoesNotFitLeavesNothingCut) {
    // 20,001 entries: short ones first, so the first numbered files fit.
    QByteArray lines;
    for (int k = 0; k < 20001; ++k) {
        const QByteArray n = QByteArray::number(k);
        lines += n + ";" + (k < 10000 ? "a" + n + "@x.com" : "a-much-longer-address-" + n + "@example.com") + ";X\r\n";
    }
    struct Case {
        const char* what;
        void (FrmMain::*command)();
        std::function<void(FrmSaveList*)> fill;
        const char* failing;  // the file the console names
    } cases[] = {
        {"save", &FrmMain::M_Popup1Save_Click, [](FrmSaveList*) {}, "mine.out"},
        {"split by 5000 entries", &FrmMain::M_Popup1Split_Click,
         [](FrmSaveList* d) {
             d->ChkSplNbr->click();
             d->TxtChunk->selectAll();
             QTest::keyClicks(d->TxtChunk, "5000");
         },
         "mine_3.out"},
    };
    // Earlier outputs of the name, each to be left byte for byte.
    const QStringList formerOutputs = {"mine.out", "mine_1.out", "mine_2.out", "mine_3.out", "mine_5.out"};
    for (const Case& c : cases)
    for (const bool former : {false, true}) {
        SCOPED_TRACE(c.what + std::string(former ? ", over earlier outputs" : ""));
        QDir(Folder() + "/out").removeRecursively();
        LoadSource(lines, 20001);
        WriteFile("out/notes.txt", "kept");
        if (former)
            for (const QString& name : formerOutputs) WriteFile("out/" + name, "old " + name.toLatin1());
        w->TxtErrors->SetText(QString());
        Dialog([&](FrmSaveList* d) {
            c.fill(d);
            d->ComSave->click();
        });
        // Yes to the question on the earlier outputs, then the failure's message.
        if (former)
            TestHarness::AnswerMessages({MsgBoxButton::Yes, MsgBoxButton::Ok});
        else
            TestHarness::AnswerMessages({MsgBoxButton::Ok});
        const qsizetype asked = TestHarness::AskedMessages().size();
        {
            FileSizeLimit limit(100000);
            ASSERT_TRUE(limit.IsSet());
            (w.get()->*c.command)();
        }
        EXPECT_EQ(shown, 1);
        for (qsizetype k = asked; k < TestHarness::AskedMessages().size(); ++k)
            EXPECT_FALSE(TestHarness::AskedMessages()[k].message.contains("successfully"))
                << TestHarness::AskedMessages()[k].message.toStdString();
        const QString failing = Folder() + "/out/" + c.failing;
        EXPECT_TRUE(Console().contains("Could not write to file : " + failing + " (File too large)"))
            << Console().toStdString();
        QStringList expected = {"mine.2023.txt", "notes.txt"};
        if (former) {
            for (const QString& name : formerOutputs)
                EXPECT_EQ(ReadFile(Folder() + "/out/" + name), "old " + name.toLatin1()) << name.toStdString();
            expected += formerOutputs;
            expected.sort();
        }
        EXPECT_EQ(Files(), expected);
        YRB20(1);
    }
}

// A split by domain whose outside half does not fit: the two halves stand
// or fall together, so the inside files are as they were too (the former
// files byte for byte, or none), and nothing is left beside them.
TEST_F(Save, DomainSplitWhoseOutsideHalfDoesNotFitLeavesBothAsTheyWere) {
    // Two short entries in "in.org"; outside, one longer than the room.
    const QByteArray lines =
        "1;a@in.org;A\r\n2;" + QByteArray(200, 'b') + "@out.com;B\r\n3;c@in.org;C\r\n4;d@out.com;D\r\n";
    constexpr rlim_t kRoom = 100;
    struct Case {
        const char* what;
        std::function<void(FrmSaveList*)> fill;
        QStringList former;   // the files of the name before, under "out/"
        const char* failing;  // the file the console names
    } cases[] = {
        {"by the domain name in",
         [](FrmSaveList* d) {
             d->ChkSplDom->click();
             d->OptSplDom->click();
             QTest::keyClicks(d->TxtDomain, "in");
         },
         {"mine_E.out", "mine_I.out"}, "mine_E.out"},
        {"by the extension org",
         [](FrmSaveList* d) {
             d->ChkSplDom->click();
             d->OptSplExt->click();
             QTest::keyClicks(d->TxtExtension, "org");
         },
         {"mine_E.out", "mine_I.out"}, "mine_E.out"},
        // mine_I_3.out is an earlier output the run would not replace.
        {"by the domain name and by 1 entry",
         [](FrmSaveList* d) {
             d->ChkSplNbr->click();
             d->TxtChunk->selectAll();
             QTest::keyClicks(d->TxtChunk, "1");
             d->ChkSplDom->click();
             d->OptSplDom->click();
             QTest::keyClicks(d->TxtDomain, "in");
         },
         {"mine_E_1.out", "mine_E_2.out", "mine_I_1.out", "mine_I_2.out", "mine_I_3.out"}, "mine_E_1.out"},
    };
    for (const Case& c : cases)
    for (const bool former : {false, true}) {
        SCOPED_TRACE(c.what + std::string(former ? ", over former files" : ""));
        QDir(Folder() + "/out").removeRecursively();
        LoadSource(lines, 4);
        QStringList expected = {"mine.2023.txt"};
        if (former) {
            for (const QString& name : c.former) WriteFile("out/" + name, "old " + name.toLatin1());
            expected += c.former;
            expected.sort();
        }
        w->TxtErrors->SetText(QString());
        Dialog([&](FrmSaveList* d) {
            c.fill(d);
            d->ComSave->click();
        });
        // Yes to the question on the former files, then the failure's message.
        TestHarness::AnswerMessages(former ? QList<int>{MsgBoxButton::Yes, MsgBoxButton::Ok}
                                           : QList<int>{MsgBoxButton::Ok});
        const qsizetype asked = TestHarness::AskedMessages().size();
        {
            const FileSizeLimit full(kRoom);
            ASSERT_TRUE(full.IsSet());
            w->M_Popup1Split_Click();
        }
        EXPECT_EQ(shown, 1);
        for (qsizetype k = asked; k < TestHarness::AskedMessages().size(); ++k)
            EXPECT_FALSE(TestHarness::AskedMessages()[k].message.contains("successfully"))
                << TestHarness::AskedMessages()[k].message.toStdString();
        EXPECT_TRUE(Console().contains("Could not write to file : " + Folder() + "/out/" + c.failing +
                                       " (File too large)"))
            << Console().toStdString();
        EXPECT_EQ(QDir(Folder() + "/out").entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
        if (former) {
            for (const QString& name : c.former)
                EXPECT_EQ(ReadFile(Folder() + "/out/" + name), "old " + name.toLatin1()) << name.toStdString();
        }
        EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
        EXPECT_EQ(Screen::Instance()->MousePointer(), Screen::kDefaultPointer);
        YRB20(1);
    }
}

TEST_F(Save, EarlyExits) {
    LoadSource(kFive, 5);
    const clsEmailList before = w->LeftResultsDesc;
    // Nothing selected: no dialog, no message.
    YRB10(1, YRB_ALL_ENTRIES, YRB_MODE_CLEAR, YRB_FLAG_SELECTED, 0, 0, nullptr);
    Dialog(nullptr);
    w->M_Popup1Save_Click();
    EXPECT_EQ(shown, 0);
    // Closed: nothing written or deleted.
    YRB10(1, YRB_ALL_ENTRIES, YRB_MODE_SET, YRB_FLAG_SELECTED, 0, 0, nullptr);
    WriteFile("out/mine.out", "old");
    Dialog([](FrmSaveList* d) { d->close(); });
    w->M_Popup1Save_Click();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(ReadFile(Folder() + "/out/mine.out"), "old");
    EXPECT_EQ(w->LeftResultsDesc.NameOut, before.NameOut);
    // A split with neither option: the warning, nothing else.
    // Yes to the dialog's question on the existing output first.
    Dialog([](FrmSaveList* d) { d->ComSave->click(); });
    TestHarness::AnswerMessages({MsgBoxButton::Yes, MsgBoxButton::Ok});
    w->M_Popup1Split_Click();
    EXPECT_EQ(TestHarness::AskedMessages().back().message, QStringLiteral("Split parameters have not been set properly !"));
    EXPECT_EQ(TestHarness::AskedMessages().back().Title, QStringLiteral("List Split Failed"));
    EXPECT_EQ(ReadFile(Folder() + "/out/mine.out"), "old");
    // No domain matches: the not-found text, no file.
    Dialog([](FrmSaveList* d) {
        d->ChkSplDom->click();
        d->OptSplDom->click();
        QTest::keyClicks(d->TxtDomain, "nowhere");
        d->ComSave->click();
    });
    TestHarness::AnswerMessages({MsgBoxButton::Yes, MsgBoxButton::Ok});
    w->M_Popup1Split_Click();
    EXPECT_EQ(TestHarness::AskedMessages().back().message, QStringLiteral("No matching domain name could be found."));
    EXPECT_FALSE(QFile::exists(Folder() + "/out/mine_I.out"));
    EXPECT_TRUE(w->LeftResultsDesc.ByDomain) << "the results descriptor holds the new settings";
    // Without a pane.
    ThisList.reset();
    w->M_Popup1Save_Click();
    EXPECT_TRUE(Console().contains("Message : List Object not Set")) << Console().toStdString();
    EXPECT_TRUE(Console().contains("Context : Error Saving List Content to File"));
    EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
    EXPECT_EQ(Screen::Instance()->MousePointer(), Screen::kDefaultPointer);
}

}  // namespace
