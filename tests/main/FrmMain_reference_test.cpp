// The "Address Validation" tab: the derived reference files rebuilt from
// the four lists the user edits, the Edit commands with a real editor
// process, the lists followed on disk while the program runs, the block list chosen, described, loaded, remembered and edited,
// and the shipped reference files in force after a fresh start.
#include <cstdio>
#include <functional>
#include <memory>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QComboBox>
#include <QTest>
#include <QTimer>

#include "../lists/ListTestSupport.h"
#include "FileChangeWatcher.h"
#include "FrmMain.h"
#include "FrmStructure.h"
#include "MainFixture.h"
#include "ReportListView.h"
#include "RichTextBox.h"
#include "clsVL2.h"
#include "modDialog.h"
#include "modProcess.h"
#include "modRegistry.h"

namespace {

using MainFixture::Reasons;
using MainFixture::Rows;
using TestHarness::Folder;
using TestHarness::ReadFile;
using TestHarness::WriteFile;

QByteArray Derived(const char* name) { return ReadFile(Folder() + QLatin1Char('/') + QLatin1String(name)); }

int Reports(const FrmMain& w, const char* routine) {
    return static_cast<int>(w.TxtErrors->Text().count(QStringLiteral("Routine : ") + QLatin1String(routine)));
}

class ReferenceTab : public ListTest::DialogTest {
protected:
    void SetUp() override {
        ListTest::DialogTest::SetUp();
        MainFixture::WriteReferenceFiles();
        w = std::make_unique<FrmMain>();
        w->Form_Load();
        ASSERT_TRUE(w->TxtErrors->Text().isEmpty()) << w->TxtErrors->Text().toStdString();
    }
    void TearDown() override {
        w.reset();
        modProcess::InstallRunner(nullptr);
        modProcess::InstallStarter(nullptr);
        ListTest::DialogTest::TearDown();
    }
    // An editor that appends a line (and CR LF) to the file it is given.
    QString AppendingEditor(const QByteArray& line) {
        const QString script = WriteFile(QStringLiteral("bin/append editor"),
                                         "#!/bin/sh\nprintf '%s\\r\\n' '" + line + "' >> \"$1\"\n");
        QFile::setPermissions(script, QFile::permissions(script) | QFileDevice::ExeOwner);
        return modProcess::QuoteWord(script);
    }
    std::unique_ptr<FrmMain> w;
};

TEST_F(ReferenceTab, PrepareFilesCutsTheFirstColumnOfEveryRecord) {
    struct Row {
        const char* name;
        const char* country;  // nullptr: no such file
        const char* generic;
        const char* all;  // DN_All.cfg afterwards
        int reports;      // GetFirstCol reports
        QString message = {};
    };
    const Row rows[] = {
        {"caption records only", "Extension|Country\r\n", "Extension|Type", "", 0},
        {"generic file missing", "E|C\r\nfr|France\r\nde|Germany\r\n", nullptr, "fr\r\nde", 1},
        {"one CR LF between the files, none at the end", "E\r\nfr|F\r\n", "E\r\ncom|g\r\n", "fr\r\ncom", 0},
        {"empty lines", "E\r\n\r\nfr|F\r\n\r\n\r\nde|G\r\n\r\n", "E\r\n\r\n", "fr\r\nde", 0},
        {"records beginning with the separator", "E\r\n|first\r\nfr|F\r\n|after\r\nde\r\n", "E\r\n|x\r\n",
         "fr\r\n\r\nde\r\n", 0},
        {"a last record without CR LF", "E\r\nfr|F\r\nde|G", "E\r\ncom", "fr\r\nde\r\ncom", 0},
        {"LF line ends", "Extension|Country\nfr|France\nde|Germany\n", "Extension|Type\ncom|generic", "fr\r\nde\r\ncom",
         0},
        {"blanks and case kept", "E\r\n fr |F\r\nDE\t|G\r\n", "E\r\n", " fr \r\nDE\t", 0},
        {"a zero-byte file", "", "E\r\ncom|g\r\n", "com", 1,
         QStringLiteral("Message : '%1/DN_Country.cfg' is an empty File !").arg(Folder())},
        {"both files missing", nullptr, nullptr, "", 2},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        w->ComClearErrConsole_Click();
        QFile::remove(Folder() + "/DN_Country.cfg");
        QFile::remove(Folder() + "/DN_Generic.cfg");
        if (r.country) WriteFile("DN_Country.cfg", r.country);
        if (r.generic) WriteFile("DN_Generic.cfg", r.generic);
        w->PrepareFiles();
        EXPECT_EQ(Derived("DN_All.cfg"), QByteArray(r.all));
        EXPECT_EQ(Reports(*w, "GetFirstCol"), r.reports) << w->TxtErrors->Text().toStdString();
        EXPECT_TRUE(w->TxtErrors->Text().contains(r.message));
        // The other two are rebuilt from their own files every time.
        EXPECT_EQ(Derived("DN_Exclude.cfg"), QByteArray("biz"));
        EXPECT_EQ(Derived("DN_Reject.cfg"), QByteArray("noreply"));
    }
}

TEST_F(ReferenceTab, APrepareThatCannotWriteLeavesTheFilesNotYetWritten) {
    WriteFile("DN_User.cfg", "E\r\nnew|x\r\n");
    WriteFile("DN_Keyword.cfg", "K\r\nnewword|x\r\n");
    // A folder in the exclusion file's place: it cannot be replaced.
    const QString blocked = Folder() + "/DN_Exclude.cfg";
    QFile::remove(blocked);
    ASSERT_TRUE(QDir().mkdir(blocked));
    // The watch looks at its first chance: the lists written above are not
    // taken inside this rebuild.
    FileChangeWatcher::InstallSettleMs(0);
    w->ComClearErrConsole_Click();
    w->PrepareFiles();
    EXPECT_EQ(Derived("DN_All.cfg"), QByteArray("fr\r\nde\r\ncom\r\norg\r\nbiz"));
    EXPECT_EQ(Derived("DN_Reject.cfg"), QByteArray("noreply"));  // as before
    EXPECT_TRUE(w->TxtErrors->Text().contains("Context : Error Merging Domain Extensions"));
    EXPECT_EQ(Reports(*w, "PrepareFiles"), 1);
    EXPECT_TRUE(QDir(Folder()).entryList({"*.cfg.*"}, QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(ReferenceTab, ReferenceFileSavedWithLineFeedsIsReadLikeCrLf) {
    WriteFile("DN_Country.cfg", "Extension|Country\nfr|France\nde|Germany\n");
    w.reset();
    w = std::make_unique<FrmMain>();
    w->Form_Load();
    EXPECT_EQ(Rows(w->LstDNCountry), (QStringList{"fr|France", "de|Germany"}));
    EXPECT_EQ(w->LstDNCountry->ColumnCount(), 2);
    EXPECT_EQ(Reasons("a@shop.fr\r\na@shop.de\r\n"), (QStringList{"valid", "valid"}));
}

TEST_F(ReferenceTab, EachEditRunsTheEditorThenRebuildsAndReloads) {
    struct Row {
        const char* name;
        QPushButton* FrmMain::*button;
        const char* file;
        ReportListView* FrmMain::*view;
        QByteArray line;  // what the editor appends
        QByteArray address;
        QString reason;  // of the address afterwards
    };
    const Row rows[] = {
        {"country", &FrmMain::ComEditCountry, "DN_Country.cfg", &FrmMain::LstDNCountry, "zz|Test", "a@b.zz", "valid"},
        {"generic", &FrmMain::ComEditGeneric, "DN_Generic.cfg", &FrmMain::LstDNGeneric, "shop|generic", "a@b.shop",
         "valid"},
        {"user", &FrmMain::ComEditUser, "DN_User.cfg", &FrmMain::LstDNUser, "org|Test", "a@b.org",
         "excluded domain extension : 'org'"},
        {"keyword", &FrmMain::ComEditKeyword, "DN_Keyword.cfg", &FrmMain::LstDNKeyword, "sales|Test", "sales@b.com",
         "excluded keyword : 'sales'"},
    };
    modProcess::InstallRunner(nullptr);  // the real editor process
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EditorPath = AppendingEditor(r.line);
        // Derived files edited by hand are rebuilt, whichever list was edited.
        WriteFile("DN_Reject.cfg", "by hand");
        ReportListView* view = (*w).*r.view;
        const int before = view->ItemCount();
        ((*w).*r.button)->click();
        EXPECT_TRUE(ReadFile(Folder() + "/" + r.file).endsWith(r.line + "\r\n"));
        EXPECT_EQ(view->ItemCount(), before + 1);
        EXPECT_EQ(Rows(view).last(), QString::fromLatin1(r.line));
        for (int c = 0; c < view->ColumnCount(); ++c) EXPECT_EQ(view->ColumnIcon(c), 1);
        EXPECT_TRUE(Derived("DN_Reject.cfg").startsWith("noreply"));
        EXPECT_EQ(Reasons(r.address + "\r\n"), QStringList{r.reason});
    }
    EXPECT_EQ(Derived("DN_All.cfg"), QByteArray("fr\r\nde\r\nzz\r\ncom\r\norg\r\nbiz\r\nshop"));
    EXPECT_TRUE(w->TxtErrors->Text().isEmpty()) << w->TxtErrors->Text().toStdString();
}

TEST_F(ReferenceTab, AnEditorThatCannotStartIsReportedAndTheListsAreStillRebuilt) {
    struct Row {
        const char* name;
        QString editor;
        QString message;  // in the box and on the console
        QByteArray value;  // saved in the list meanwhile
    };
    const Row rows[] = {
        {"a program that is not installed", Folder() + "/no-such-editor",
         "'" + Folder() + "/no-such-editor' could not be run : ", "org"},
        {"no editor set", "", "No editor is set : choose one in Help, Options", "com"},
    };
    modProcess::InstallRunner(nullptr);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        w->ComClearErrConsole_Click();
        EditorPath = r.editor;
        // Changed outside the program meanwhile: the Edit takes it.
        const QByteArray& value = r.value;
        WriteFile("DN_User.cfg", "Extension|Reason\r\n" + value + "|x\r\n");
        const qsizetype asked = TestHarness::AskedMessages().size();
        TestHarness::AnswerMessages({MsgBoxButton::Ok});
        w->ComEditUser->click();
        ASSERT_EQ(TestHarness::AskedMessages().size(), asked + 1);
        EXPECT_EQ(TestHarness::AskedMessages().last().Title, QStringLiteral("Cannot Run Editor"));
        EXPECT_TRUE(TestHarness::AskedMessages().last().message.startsWith(r.message))
            << TestHarness::AskedMessages().last().message.toStdString();
        EXPECT_TRUE(w->TxtErrors->Text().contains("Message : " + r.message)) << w->TxtErrors->Text().toStdString();
        EXPECT_EQ(Derived("DN_Exclude.cfg"), value);
        EXPECT_EQ(Rows(w->LstDNUser), QStringList{QString::fromLatin1(value) + "|x"});
        EXPECT_EQ(Reasons("a@b." + value + "\r\na@b.biz\r\n"),
                  (QStringList{"excluded domain extension : '" + QString::fromLatin1(value) + "'", "valid"}));
    }
}

// ---- the lists followed on disk ----

namespace {
// Long enough for a loaded machine; a watch that works takes a fraction.
constexpr int kWatchWaitMs = 5000;

void AppendTo(const char* name, const QByteArray& bytes) {
    QFile f(Folder() + "/" + name);
    ASSERT_TRUE(f.open(QIODevice::Append));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// As most editors save: a new file beside the old one, renamed over it.
void RenameOver(const char* name, const QByteArray& bytes) {
    const QString fresh = WriteFile(QStringLiteral(".") + name + QStringLiteral(".new"), bytes);
    ASSERT_EQ(std::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(Folder() + "/" + name).constData()),
              0);
}
}  // namespace

TEST_F(ReferenceTab, AListSavedOnDiskIsTakenWhileTheProgramRuns) {
    struct Row {
        const char* name;
        std::function<void()> save;
        ReportListView* FrmMain::*view;
        QString lastRow;  // of the view afterwards
        const char* derived;
        QByteArray derivedBytes;
        QByteArray address;
        QString reason;  // of the address afterwards
    };
    // An editor that hands the file on and returns at once; it saves once
    // the test has created the file "go" (and gives up after a minute).
    const QString script = WriteFile(QStringLiteral("bin/quick editor"),
                                     "#!/bin/sh\ngo='" + QFile::encodeName(Folder() + "/go") +
                                         "'\n"
                                         "(n=0\n"
                                         " while [ ! -e \"$go\" ] && [ $n -lt 6000 ]; do sleep 0.01; n=$((n+1)); done\n"
                                         " [ -e \"$go\" ] && printf 'org|later\\r\\n' >> \"$1\") &\n");
    QFile::setPermissions(script, QFile::permissions(script) | QFileDevice::ExeOwner);
    EditorPath = modProcess::QuoteWord(script);
    modProcess::InstallRunner(nullptr);
    const Row rows[] = {
        {"saved by an editor after Edit has returned",
         [this] {
             w->ComEditUser->click();
             // Edit rebuilt from the file as it was.
             EXPECT_EQ(Rows(w->LstDNUser), QStringList{"biz|user's choice"});
             WriteFile("go", "");
         },
         &FrmMain::LstDNUser, "org|later", "DN_Exclude.cfg", "biz\r\norg", "a@b.org",
         "excluded domain extension : 'org'"},
        {"a second save, in place", [] { AppendTo("DN_User.cfg", "de|again\r\n"); }, &FrmMain::LstDNUser, "de|again",
         "DN_Exclude.cfg", "biz\r\norg\r\nde", "a@b.de", "excluded domain extension : 'de'"},
        {"a new file renamed over the list",
         [] { RenameOver("DN_Keyword.cfg", "Keyword|Reason\r\nnoreply|automatic sender\r\nsales|renamed\r\n"); },
         &FrmMain::LstDNKeyword, "sales|renamed", "DN_Reject.cfg", "noreply\r\nsales", "sales@b.com",
         "excluded keyword : 'sales'"},
        {"the same list renamed over again",
         [] { RenameOver("DN_Keyword.cfg", "Keyword|Reason\r\nnoreply|automatic sender\r\ninfo|again\r\n"); },
         &FrmMain::LstDNKeyword, "info|again", "DN_Reject.cfg", "noreply\r\ninfo", "sales@b.com", "valid"},
        {"a valid extension, renamed over",
         [] { RenameOver("DN_Generic.cfg", "Extension|Type\r\ncom|generic\r\nshop|generic\r\n"); },
         &FrmMain::LstDNGeneric, "shop|generic", "DN_All.cfg", "fr\r\nde\r\ncom\r\nshop", "a@b.shop", "valid"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        ReportListView* view = (*w).*r.view;
        r.save();
        const auto lastRow = [view] { return Rows(view).value(view->ItemCount() - 1); };
        EXPECT_TRUE(QTest::qWaitFor([&] { return lastRow() == r.lastRow; }, kWatchWaitMs));
        EXPECT_EQ(lastRow(), r.lastRow);
        for (int c = 0; c < view->ColumnCount(); ++c) EXPECT_EQ(view->ColumnIcon(c), 1);
        EXPECT_EQ(Derived(r.derived), r.derivedBytes);
        EXPECT_EQ(Reasons(r.address + "\r\n"), QStringList{r.reason});
    }
    EXPECT_TRUE(w->TxtErrors->Text().isEmpty()) << w->TxtErrors->Text().toStdString();
}

TEST_F(ReferenceTab, AListSavedWhileAnEditRebuildsIsTakenAfterTheEdit) {
    // A generic list long enough that the rebuild lets messages in many
    // times after the save below.
    constexpr int kGenericRecords = 1000;
    QByteArray generic = "Extension|Type\r\n";
    for (int i = 0; i < kGenericRecords; ++i) generic += "g" + QByteArray::number(i) + "|generic\r\n";
    WriteFile("DN_Generic.cfg", generic);
    w.reset();
    w = std::make_unique<FrmMain>();
    w->Form_Load();
    // The watch looks at its first chance, as a slow rebuild would let it.
    FileChangeWatcher::InstallSettleMs(0);
    EditorPath = "editor";
    struct Row {
        const char* name;
        QPushButton* FrmMain::*button;
        QByteArray edited;         // what the editor appends to the list it is given
        QByteArray meanwhile;      // appended to DN_Country.cfg once the rebuild has read it
        QByteArray addresses;      // with the two extensions
        QStringList reasons;       // of the addresses afterwards
    };
    const Row rows[] = {
        {"the list being edited", &FrmMain::ComEditCountry, "yy|edited", "zz|meanwhile", "a@b.yy\r\na@b.zz\r\n",
         {"valid", "valid"}},
        {"another list", &FrmMain::ComEditUser, "de|edited", "xx|meanwhile", "a@b.de\r\na@b.xx\r\n",
         {"excluded domain extension : 'de'", "valid"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        bool saved = false;
        modProcess::InstallRunner([&](const QString&, const QStringList& arguments, QString*) {
            QFile list(arguments.last());
            EXPECT_TRUE(list.open(QIODevice::Append));
            list.write(r.edited + "\r\n");
            // The first message the rebuild lets in.
            QTimer::singleShot(0, [&] {
                AppendTo("DN_Country.cfg", r.meanwhile + "\r\n");
                saved = true;
            });
            return 0;
        });
        ((*w).*r.button)->click();
        ASSERT_TRUE(saved);
        const QByteArray extension = "\r\n" + r.meanwhile.left(r.meanwhile.indexOf('|')) + "\r\n";
        EXPECT_TRUE(QTest::qWaitFor([&] { return Derived("DN_All.cfg").contains(extension); }, kWatchWaitMs));
        EXPECT_EQ(Rows(w->LstDNCountry).last(), QString::fromLatin1(r.meanwhile));
        EXPECT_EQ(Reasons(r.addresses), r.reasons);
    }
    EXPECT_TRUE(w->TxtErrors->Text().isEmpty()) << w->TxtErrors->Text().toStdString();
}

TEST_F(ReferenceTab, AListSavedWhileInvalidEntriesAreFlaggedIsTakenAfterwards) {
    const QString list = WriteFile("list.txt", "a@b.org\r\na@b.com\r\n");
    ASSERT_EQ(YRB13(1, QFile::encodeName(list).constData(), 1, "\t", "\r\n"), 2);
    w->VL_left->SetCount(2);
    w->VL_left->SetAll();
    bool ranInside = false;
    // The first message the command lets in: the list is saved, and the
    // watch has time to see it before the engine flags.
    QTimer::singleShot(0, [&] {
        ranInside = true;
        WriteFile("DN_User.cfg", "Extension|Reason\r\nbiz|user's choice\r\norg|meanwhile\r\n");
        QTest::qWait(4 * FileChangeWatcher::kSettleMs);
        EXPECT_EQ(Derived("DN_Exclude.cfg"), QByteArray("biz"));
        EXPECT_EQ(w->LstDNUser->ItemCount(), 1);
    });
    TestHarness::AnswerMessages({MsgBoxButton::Ok});
    w->ChkMarkInvLeft->setChecked(true);
    ASSERT_TRUE(ranInside);
    // Flagged against the lists as they were when the command began.
    EXPECT_EQ(YRB16(1, YRB_FLAG_INVALID, 0, nullptr), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->LstDNUser->ItemCount() == 2; }, kWatchWaitMs));
    EXPECT_EQ(Derived("DN_Exclude.cfg"), QByteArray("biz\r\norg"));
    EXPECT_EQ(Reasons("a@b.org\r\n"), QStringList{"excluded domain extension : 'org'"});
    YRB20(1);
}

TEST_F(ReferenceTab, AnEditThatEmptiesAFileKeepsItsRowsButNotItsValues) {
    modProcess::InstallRunner([](const QString&, const QStringList& arguments, QString*) {
        WriteFile("DN_User.cfg", "");
        EXPECT_EQ(arguments.last(), Folder() + "/DN_User.cfg");
        return 0;
    });
    EditorPath = "editor";
    w->ComEditUser->click();
    EXPECT_EQ(Rows(w->LstDNUser), QStringList{"biz|user's choice"});
    EXPECT_EQ(Derived("DN_Exclude.cfg"), QByteArray());
    EXPECT_EQ(Reasons("a@b.biz\r\n"), QStringList{"valid"});
}

// ---- the block list ----

class BlockList : public ReferenceTab {
protected:
    // The settings the block list is remembered by.
    static QStringList Stored() {
        QStringList values;
        for (const char* name : {"BlkLst", "BlkFld", "BlkRec", "BlkCol"})
            values.append(modRegistry::GetSetting(QLatin1String(name), QStringLiteral("<unset>")));
        return values;
    }
    // A structure dialog that takes column 2 of a TAB-separated file, or is closed.
    static void StructureDialog(bool confirm, const std::function<void()>& meanwhile = {}) {
        ListDialogSeam::Install([confirm, meanwhile](QDialog* dialog) {
            auto* d = qobject_cast<FrmStructure*>(dialog);
            ASSERT_NE(d, nullptr);
            d->OptFldTab->click();
            d->CboField->setCurrentIndex(1);
            if (meanwhile) meanwhile();
            if (confirm)
                d->ComDone->click();
            else
                d->close();
        });
    }
    void Choose(const QString& path) {
        modDialog::InstallChooser([this, path](const modDialog::FileDialogRequest& r) {
            request = r;
            return path.isEmpty() ? QStringList() : QStringList{path};
        });
    }
    modDialog::FileDialogRequest request;
};

TEST_F(BlockList, FindShowsTheDialogThenLoadsAndStoresTheFileWithItsLayout) {
    const QString path = WriteFile("lists/black list.mal", "Jane\tjane@block.com\r\nJo\tjo@block.com\r\n");
    Choose(path);
    StructureDialog(true);
    w->ComBlkFileFind->click();

    EXPECT_EQ(request.Title, QStringLiteral("Select a List of Mail Addresses to import"));
    EXPECT_EQ(request.InitDir, Folder());
    EXPECT_EQ(request.Flags, modDialog::OFN_HIDEREADONLY);
    EXPECT_EQ(request.FilterIndex, 1);
    EXPECT_EQ(request.DefExt, QStringLiteral("mal"));
    EXPECT_EQ(request.OkCaption, QStringLiteral("Open"));
    EXPECT_EQ(request.Filter, QStringLiteral("All Mail Address List Files (*.mal, *.out)|*.mal;*.out|"
                                             "Mail Address List files (*.mal)|*.mal|"
                                             "Mail Address List files (*.out)|*.out|"
                                             "Text files (*.txt)|*.txt|All files (*.*)|*.*|"));
    EXPECT_EQ(w->TxtBlkFile->text(), path);
    EXPECT_TRUE(w->ComBlkFileStruct->isEnabled());
    EXPECT_TRUE(w->ComBlkFileEdit->isEnabled());
    // TAB is stored as the character itself.
    EXPECT_EQ(Stored(), (QStringList{path, "\t", "\r\n", "2"}));
    EXPECT_TRUE(modRegistry::GetSetting("WrkDir", QString()).startsWith(Folder() + "/lists"));
    EXPECT_EQ(Reasons("jo@block.com\r\nfree@shop.com\r\n"), (QStringList{"black listed", "valid"}));

    // The next Find starts in the folder of this one.
    Choose(QString());
    w->ComBlkFileFind->click();
    EXPECT_EQ(request.InitDir, Folder() + "/lists");

    // A restart over the same settings loads the same list the same way.
    w.reset();
    w = std::make_unique<FrmMain>();
    w->Form_Load();
    EXPECT_EQ(w->TxtBlkFile->text(), path);
    EXPECT_TRUE(w->BlockListDesc.FldTab);
    EXPECT_EQ(w->BlockListDesc.ColNbr, 2);
    EXPECT_TRUE(w->ComBlkFileStruct->isEnabled());
    EXPECT_EQ(Reasons("jane@block.com\r\n"), QStringList{"black listed"});
}

TEST_F(BlockList, WhatEndsFindBeforeALoadLeavesTheSettingsAndTheEngineList) {
    const QString first = WriteFile("first.mal", "x\tfirst@block.com\r\n");
    Choose(first);
    StructureDialog(true);
    w->ComBlkFileFind->click();
    const QStringList stored = Stored();
    ASSERT_EQ(stored.first(), first);

    struct Row {
        const char* name;
        QByteArray bytes;  // of the file chosen; empty name: the dialog cancelled
        bool chosen;
        bool confirmStructure;
        bool removeWhileDialogUp;  // the engine cannot load it
        QList<int> answers;        // message boxes
    };
    const Row rows[] = {
        {"file dialog cancelled", "", false, false, false, {}},
        {"structure dialog closed", "x\tsecond@block.com\r\n", true, false, false, {}},
        {"zero-byte file", "", true, false, false, {MsgBoxButton::Ok}},
        {"failed load", "x\tsecond@block.com\r\n", true, true, true, {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const QString second = WriteFile("second.mal", r.bytes);
        Choose(r.chosen ? second : QString());
        StructureDialog(r.confirmStructure, [&] {
            if (r.removeWhileDialogUp) QFile::remove(second);
        });
        TestHarness::AnswerMessages(r.answers);
        const qsizetype asked = TestHarness::AskedMessages().size();
        w->ComBlkFileFind->click();
        EXPECT_EQ(Stored(), stored);
        EXPECT_EQ(w->TxtBlkFile->text(), r.chosen ? second : first);
        EXPECT_EQ(w->BlockListDesc.NameSrc, first);
        EXPECT_EQ(Reasons("first@block.com\r\nsecond@block.com\r\n"), (QStringList{"black listed", "valid"}));
        EXPECT_EQ(TestHarness::AskedMessages().size() - asked, r.answers.size());
        if (!r.answers.isEmpty()) {
            EXPECT_EQ(TestHarness::AskedMessages().last().Title, QStringLiteral("Cannot Select File Structure"));
            EXPECT_EQ(TestHarness::AskedMessages().last().message,
                      QStringLiteral("The file\r\n\r\n'second.mal'\r\n\r\n is empty !"));
        }
        w->TxtBlkFile->setText(first);
    }
    // A restart loads the list that was loaded last, with its own layout.
    w.reset();
    w = std::make_unique<FrmMain>();
    w->Form_Load();
    EXPECT_EQ(Reasons("first@block.com\r\n"), QStringList{"black listed"});
}

TEST_F(BlockList, ATypedPathIsLoadedAndRememberedWithS) {
    EXPECT_FALSE(w->ComBlkFileStruct->isEnabled());
    EXPECT_FALSE(w->ComBlkFileEdit->isEnabled());
    const QString path = WriteFile("typed.txt", "a\tb\tc\r\nJo\ttyped@block.com\r\n");
    w->TxtBlkFile->setText(path);
    EXPECT_TRUE(w->ComBlkFileStruct->isEnabled());
    EXPECT_TRUE(w->ComBlkFileEdit->isEnabled());
    StructureDialog(true);
    w->ComBlkFileStruct->click();
    EXPECT_EQ(Stored(), (QStringList{path, "\t", "\r\n", "2"}));
    EXPECT_EQ(Reasons("typed@block.com\r\n"), QStringList{"black listed"});
    w->TxtBlkFile->clear();
    EXPECT_FALSE(w->ComBlkFileStruct->isEnabled());
    EXPECT_FALSE(w->ComBlkFileEdit->isEnabled());
    EXPECT_TRUE(w->ComBlkFileFind->isEnabled());
}

TEST_F(BlockList, SRefusesAPathThatNamesNoFile) {
    struct Row {
        const char* name;
        QString path;
        QString message;
    };
    const Row rows[] = {
        {"relative path", "black.mal", "Invalid name syntax for File 'black.mal'"},
        {"missing file", Folder() + "/none.mal", "The File '" + Folder() + "/none.mal' does not exist !"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        w->ComClearErrConsole_Click();
        w->TxtBlkFile->setText(r.path);
        // The report comes with a dialog.
        TestHarness::AnswerMessages({MsgBoxButton::Ok});
        w->ComBlkFileStruct->click();
        EXPECT_TRUE(w->TxtErrors->Text().contains("Message : " + r.message)) << w->TxtErrors->Text().toStdString();
        EXPECT_EQ(Stored(), (QStringList{"<unset>", "<unset>", "<unset>", "<unset>"}));
    }
}

TEST_F(BlockList, EStartsTheEditorWithoutWaiting) {
    struct Started {
        QString program;
        QStringList arguments;
    };
    QList<Started> started;
    QString failure;
    modProcess::InstallStarter([&](const QString& program, const QStringList& arguments, QString* error) {
        started.append({program, arguments});
        if (failure.isEmpty()) return true;
        *error = failure;
        return false;
    });
    EditorPath = "\"/opt/my editor/ed\" --new-window";

    TestHarness::AnswerMessages({MsgBoxButton::Ok});
    w->ComBlkFileEdit_Click();
    ASSERT_EQ(TestHarness::AskedMessages().size(), 1);
    EXPECT_EQ(TestHarness::AskedMessages()[0].message, QStringLiteral("A filename must be provided"));
    EXPECT_EQ(TestHarness::AskedMessages()[0].Title, QStringLiteral("No Filename"));
    EXPECT_TRUE(started.isEmpty());

    const QString path = Folder() + "/a \"b\"; c.mal";
    w->TxtBlkFile->setText(path);
    w->ComBlkFileEdit->click();
    ASSERT_EQ(started.size(), 1);
    EXPECT_EQ(started[0].program, QStringLiteral("/opt/my editor/ed"));
    EXPECT_EQ(started[0].arguments, (QStringList{"--new-window", path}));
    EXPECT_TRUE(w->TxtErrors->Text().isEmpty());

    failure = "No such file or directory";
    w->ComBlkFileEdit->click();
    EXPECT_TRUE(w->TxtErrors->Text().contains("No such file or directory")) << w->TxtErrors->Text().toStdString();
}

// ---- the shipped reference files ----

TEST(ShippedReferenceFiles, InForceAfterAFreshStart) {
    for (const char* name : {"DN_Country.cfg", "DN_Generic.cfg", "DN_User.cfg", "DN_Keyword.cfg"})
        ASSERT_TRUE(QFile::copy(QStringLiteral(ORMID_DATA_DIR "/") + name, Folder() + "/" + name)) << name;
    FrmMain w;
    w.Form_Load();
    EXPECT_TRUE(w.TxtErrors->Text().isEmpty()) << w.TxtErrors->Text().toStdString();
    EXPECT_GE(w.LstDNCountry->ItemCount(), 240);
    EXPECT_GE(w.LstDNGeneric->ItemCount(), 1000);
    EXPECT_EQ(w.LstDNUser->ItemCount(), 2);
    EXPECT_EQ(w.LstDNKeyword->ItemCount(), 5);
    const QStringList expected = {
        "valid",
        "valid",
        "valid",
        "invalid domain extension : unknown extension 'zz'",
        "excluded domain extension : 'onion'",
        "excluded keyword : 'noreply'",
    };
    EXPECT_EQ(Reasons("a@b.com\r\na@b.de\r\na@b.xn--p1ai\r\na@b.zz\r\na@b.onion\r\nnoreply@b.com\r\n"), expected);
}

}  // namespace
