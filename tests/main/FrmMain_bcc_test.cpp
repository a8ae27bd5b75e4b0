// Save as Bcc List: a side's selected, unflagged addresses as one line
// joined by commas; the earlier file of that name replaced, nothing else.
#include <functional>

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
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

// Selected: a, b, c, and q, d, e flagged invalid, duplicate and deleted;
// f is not selected.  The address is in column 2 of ";" records.
const QByteArray kList = "1;a@x;A\r\n2;b@y;B\r\n3;q@q;Q\r\n4;c@z;C\r\n5;d@d;D\r\n6;e@e;E\r\n7;f@f;F\r\n";
constexpr int32_t kEntries = 7;

class Bcc : public SaveDialogTest {
protected:
    void TearDown() override {
        ListDialogSeam::Install(nullptr);
        WorkspaceTest::TearDown();
    }
    // The list in the slot, described as the import leaves it (whole
    // records, CR LF), its output "<name>.out" in the folder "out".
    void LoadSide(int32_t slot, const QString& name) {
        const QString path = WriteFile("out/" + name + ".txt", kList);
        ASSERT_EQ(YRB13(slot, QFile::encodeName(path).constData(), 2, ";", "\r\n"), kEntries);
        Pane(slot)->SetCount(kEntries);
        clsEmailList& d = slot == 1 ? w->LeftListDesc : w->RightListDesc;
        d = clsEmailList();
        d.NameSrc = path;
        d.NameOut = Folder() + "/out/" + name + ".out";
        d.FldTab = false;
        d.FldCol = true;
        d.ColNbr = 2;
        YRB10(slot, YRB_ALL_ENTRIES, YRB_MODE_SET, YRB_FLAG_SELECTED, 0, 0, nullptr);
        YRB03(slot, 6, YRB_FLAG_SELECTED, 0);
        YRB03(slot, 2, YRB_FLAG_INVALID, 1);
        YRB03(slot, 4, YRB_FLAG_DUPLICATE, 1);
        YRB03(slot, 5, YRB_FLAG_DELETED, 1);
        Pane(slot)->SetAll();
        ThisList = slot == 1 ? w->VL_left : w->VL_right;
    }
};

// Both sides: the dialog asks only for the file, proposing the side's
// output; the line holds exactly the selected, unflagged addresses.
TEST_F(Bcc, WritesTheSelectedAddressesAsOneLine) {
    struct Case {
        int32_t slot;
        const char* name;
    } cases[] = {{1, "mine"}, {2, "theirs"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadSide(c.slot, c.name);
        FrmMain& m = *w;
        clsEmailList& listDesc = c.slot == 1 ? m.LeftListDesc : m.RightListDesc;
        const clsEmailList& resultsDesc = c.slot == 1 ? m.LeftResultsDesc : m.RightResultsDesc;
        QPushButton* view = c.slot == 1 ? m.ComViewLeft : m.ComViewRight;
        const QString out = listDesc.NameOut;
        Dialog([&](FrmSaveList* d) {
            EXPECT_EQ(d->windowTitle(), QStringLiteral("Save Bcc List to file"));
            EXPECT_EQ(d->ComSave->text(), QStringLiteral("Save"));
            EXPECT_EQ(d->TxtOutFile->text(), out);
            EXPECT_FALSE(d->HasSepFld || d->HasSepRec || d->HasSplNbr || d->HasSplDom || d->HasFull || d->HasMore);
            d->ComSave->click();
        });
        TestHarness::AnswerMessages({MsgBoxButton::Ok});
        w->M_Popup1Bcc_Click();
        EXPECT_EQ(shown, 1);
        EXPECT_EQ(ReadFile(out), "a@x,b@y,c@z");
        const MsgBoxRequest& r = TestHarness::AskedMessages().back();
        EXPECT_EQ(r.message, QStringLiteral("The Bcc List has been successfully saved"));
        EXPECT_EQ(r.Title, QStringLiteral("Bcc List Save Successful"));
        EXPECT_EQ(r.IconNb, MsgBoxIcon::Logo);
        EXPECT_EQ(resultsDesc.NameOut, out);
        EXPECT_TRUE(view->isEnabled());
        EXPECT_TRUE(listDesc.KeepAllCols) << "the side's own descriptor is not changed";
        EXPECT_EQ(Pane(c.slot)->GetSel(), 3) << "no flag changes";
        EXPECT_EQ(Console(), QString());
        ExpectClosed();
    }
}

// The earlier Bcc file is replaced; other files that fit the output's
// pattern (numbered, split halves, longer names) are other lists and stay.
TEST_F(Bcc, ReplacesOnlyItsOwnFile) {
    LoadSide(1, "mine");
    const QStringList others = {"mine_1.out", "mine_I.out", "mine_old.out", "mine.2023.out", "mines.out"};
    for (const QString& name : others) WriteFile("out/" + name, "old");
    WriteFile("out/mine.out", "old, and longer than the new line");
    Dialog([](FrmSaveList* d) { d->ComSave->click(); });
    // Yes to the dialog's question on the existing file.
    TestHarness::AnswerMessages({MsgBoxButton::Yes, MsgBoxButton::Ok});
    w->M_Popup1Bcc_Click();
    EXPECT_EQ(ReadFile(Folder() + "/out/mine.out"), "a@x,b@y,c@z");
    for (const QString& name : others) EXPECT_EQ(ReadFile(Folder() + "/out/" + name), "old") << name.toStdString();
    EXPECT_EQ(Console(), QString());
}

// A disk that cannot take the line: the earlier Bcc file stays byte for
// byte (or there is none), nothing is left beside it, no success message,
// and the console names the file asked for with the system's cause.
TEST_F(Bcc, OutputThatDoesNotFitLeavesNothingCut) {
    LoadSide(1, "mine");
    constexpr rlim_t kRoom = 5;  // the line is 11 bytes
    struct Case {
        const char* what;
        QByteArray former;  // null: no file before
    } cases[] = {{"no earlier file", QByteArray()}, {"an earlier file", "old"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(Folder() + "/full").removeRecursively();
        QDir().mkpath(Folder() + "/full");
        ExpectNothingCut(Folder() + "/full/mine.out", c.former, kRoom, [&] { w->M_Popup1Bcc_Click(); });
        EXPECT_FALSE(w->ComViewLeft->isEnabled());
    }
}

TEST_F(Bcc, EarlyExitsAndFailures) {
    LoadSide(1, "mine");
    WriteFile("out/mine.out", "old");
    WriteFile("out/mine_1.out", "old");
    const clsEmailList before = w->LeftResultsDesc;

    // Nothing selected: no dialog, no message.
    YRB10(1, YRB_ALL_ENTRIES, YRB_MODE_CLEAR, YRB_FLAG_SELECTED, 0, 0, nullptr);
    Dialog([](FrmSaveList*) { ADD_FAILURE() << "no dialog without a selection"; });
    w->M_Popup1Bcc_Click();
    EXPECT_EQ(shown, 0);
    EXPECT_TRUE(TestHarness::AskedMessages().isEmpty());

    // Cancel: nothing written or deleted, the results descriptor kept.
    YRB10(1, YRB_ALL_ENTRIES, YRB_MODE_SET, YRB_FLAG_SELECTED, 0, 0, nullptr);
    Dialog([](FrmSaveList* d) {
        Output(d, Folder() + "/out/other.out");
        d->close();
    });
    w->M_Popup1Bcc_Click();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(ReadFile(Folder() + "/out/mine.out"), "old");
    EXPECT_EQ(ReadFile(Folder() + "/out/mine_1.out"), "old");
    EXPECT_FALSE(QFile::exists(Folder() + "/out/other.out"));
    EXPECT_EQ(w->LeftResultsDesc.NameOut, before.NameOut);
    EXPECT_FALSE(w->ComViewLeft->isEnabled());
    EXPECT_TRUE(TestHarness::AskedMessages().isEmpty());
    ExpectClosed();

    // The engine cannot open the file: its reason in the console, no
    // success message; the results descriptor already holds the new name,
    // the Results button stays as it was.
    const QString unwritable = Folder() + "/missing/folder.out";
    Dialog([&](FrmSaveList* d) {
        Output(d, unwritable);
        d->ComSave->click();
    });
    w->M_Popup1Bcc_Click();
    EXPECT_TRUE(Console().contains("Could not open file for writing")) << Console().toStdString();
    EXPECT_TRUE(TestHarness::AskedMessages().isEmpty());
    EXPECT_EQ(w->LeftResultsDesc.NameOut, unwritable);
    EXPECT_FALSE(w->ComViewLeft->isEnabled());
    ExpectClosed();

    // No pane, or a pane that is no side of the workspace: reported.
    struct Case {
        ListPaneRef pane;
        const char* message;
    } cases[] = {
        {nullptr, "Message : List Object not Set"},
        {w->VL_file, "cannot be saved from here"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        w->TxtErrors->SetText(QString());
        ThisList = c.pane;
        Dialog([](FrmSaveList*) { ADD_FAILURE() << "no dialog without a side"; });
        w->M_Popup1Bcc_Click();
        EXPECT_TRUE(Console().contains(c.message)) << Console().toStdString();
        EXPECT_TRUE(Console().contains("Context : Error Spliting List to File"));
        EXPECT_TRUE(Console().contains("Routine : M_Popup1Bcc_Click"));
        ExpectClosed();
    }
}

}  // namespace
