// Merge of the file pane's ticked files: their bytes copied in display
// order with the record separator at each junction, then rewritten by the
// engine in the save dialog's layout; only the output's own earlier files
// are replaced; the checks and stops that keep it from running.
#include <sys/stat.h>

#include <functional>

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "FileSizeLimit.h"
#include "FrmSaveList.h"
#include "FrmStructure.h"
#include "ListDialogSeam.h"
#include "OwnerEnabler.h"
#include "RichTextBox.h"
#include "Screen.h"
#include "WorkspaceFixture.h"
#include "clsMergeFile.h"
#include "clsVirtualListview.h"
#include "modDialog.h"
#include "modGlobalFunctionsForms.h"

namespace {

using TestHarness::Folder;
using TestHarness::ReadFile;
using TestHarness::WriteFile;

constexpr int kSizeColumn = 6;
constexpr int32_t kTickIcon = OwnerDataListView::LVHT_ONITEMICON;
const QString kSuccess = QStringLiteral("The selected files have been successfully merged !");

struct Source {
    const char* name;  // under "m/"
    QByteArray bytes;
};

class BigMerge : public WorkspaceTest {
protected:
    void TearDown() override {
        ListDialogSeam::Install(nullptr);
        modDialog::InstallChooser(nullptr);
        WorkspaceTest::TearDown();
        YRB20(3);
    }
    // A fresh pane holding the files, none ticked; the structure dialog of
    // the add is closed.
    void AddFiles(const QList<Source>& sources) {
        MergeFiles().clear();
        w->VL_file->SetCount(0);
        QDir(Folder() + "/m").removeRecursively();
        QStringList paths;
        for (const Source& s : sources) paths << WriteFile(QStringLiteral("m/") + s.name, s.bytes);
        modDialog::InstallChooser([paths](const modDialog::FileDialogRequest&) { return paths; });
        ListDialogSeam::Install([](QDialog* d) { d->close(); });
        w->ComAddFiles->click();
        ASSERT_EQ(w->VL_file->GetCnt(), sources.size());
        // Only what the merge reports counts.
        w->TxtErrors->SetText(QString());
    }
    // The pane's record structure: field and record separators, address column.
    void Structure(const QString& field, const QString& record, int32_t column) {
        clsEmailList& d = w->MergeDesc;
        d = clsEmailList();
        d.SetFieldSep(field);
        d.SetRecordSep(record);
        d.ColNbr = column;
        ASSERT_EQ(d.FieldSep(), field);
        ASSERT_EQ(d.RecordSep(), record);
    }
    // The save dialog gets the output name (under "m/") and the layout, then is
    // confirmed; shown counts its runs.
    void Dialog(const QString& output, std::function<void(FrmSaveList*)> layout = nullptr) {
        shown = 0;
        ListDialogSeam::Install([this, output, layout](QDialog* dialog) {
            auto* d = qobject_cast<FrmSaveList*>(dialog);
            ASSERT_NE(d, nullptr);
            ++shown;
            EXPECT_EQ(d->windowTitle(), QStringLiteral("Merge multiple files"));
            EXPECT_EQ(d->ComSave->text(), QStringLiteral("Merge"));
            EXPECT_TRUE(d->HasSepRec && d->HasFull && d->HasMore);
            EXPECT_FALSE(d->HasSepFld || d->HasSplNbr || d->HasSplDom);
            EXPECT_FALSE(d->ChkFull->isChecked());
            d->TxtOutFile->selectAll();
            QTest::keyClicks(d->TxtOutFile, Folder() + "/m/" + output);
            if (layout) layout(d);
            d->ComSave->click();
        });
    }
    static void FullRecords(FrmSaveList* d) {
        d->ComMore->click();
        d->ChkFull->click();
    }
    QStringList Files() const { return QDir(Folder() + "/m").entryList(QDir::Files, QDir::Name); }
    QString Console() const { return w->TxtErrors->Text(); }
    void ExpectClosed() const {
        EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
        EXPECT_EQ(Screen::Instance()->MousePointer(), Screen::kDefaultPointer);
        EXPECT_EQ(YRB14(3), 1) << "the scratch list is freed";
    }
    int shown = 0;
};

const QByteArray kOne = "1;a@x.com;A\r\n2;b@x.com;B\r\n";
const QByteArray kTwo = "3;c@y.org;C\r\n";

TEST_F(BigMerge, WritesTheTickedFilesInDisplayOrder) {
    const QString crlf = QStringLiteral("\r\n");
    struct Case {
        const char* what;
        QList<Source> sources;
        QString field, record;
        int32_t column;
        std::function<void(FrmMain*)> prepare;  // ticks and order; default: every file ticked
        std::function<void(FrmSaveList*)> layout;
        const char* output;
        QList<Source> before;  // files already there, under "m/"
        QByteArray bytes;
        QStringList files;  // the folder afterwards
    } cases[] = {
        {"addresses, CR LF", {{"one.txt", kOne}, {"two.txt", kTwo}}, ";", crlf, 2, nullptr, nullptr, "out.txt", {},
         "a@x.com\r\nb@x.com\r\nc@y.org", {"one.txt", "out.txt", "two.txt"}},
        {"full records, CR LF", {{"one.txt", kOne}, {"two.txt", kTwo}}, ";", crlf, 2, nullptr, FullRecords, "out.txt",
         {}, "1;a@x.com;a\r\n2;b@x.com;b\r\n3;c@y.org;c", {"one.txt", "out.txt", "two.txt"}},
        {"LF, no LF at the end of the files", {{"one.txt", "1;a@x.com;A\n2;b@x.com;B"}, {"two.txt", "3;c@y.org;C"}},
         ";", "\n", 2, nullptr, FullRecords, "out.txt", {}, "1;a@x.com;a\n2;b@x.com;b\n3;c@y.org;c",
         {"one.txt", "out.txt", "two.txt"}},
        {"\";;\" records", {{"one.txt", "a@x.com\tA;;b@x.com\tB;;"}, {"two.txt", "c@y.org\tC"}}, "\t", ";;", 1, nullptr,
         FullRecords, "out.txt", {}, "a@x.com\ta;;b@x.com\tb;;c@y.org\tc", {"one.txt", "out.txt", "two.txt"}},
        {"the pane sorted by size", {{"one.txt", kOne}, {"two.txt", kTwo}}, ";", crlf, 2,
         [](FrmMain* w) {
             w->ComSelAll->click();
             emit w->VL_file->ColumnClick(kSizeColumn);
         },
         nullptr, "out.txt", {}, "c@y.org\r\na@x.com\r\nb@x.com", {"one.txt", "out.txt", "two.txt"}},
        {"only the ticked files", {{"one.txt", kOne}, {"mid.txt", "9;m@m.com;M\r\n"}, {"two.txt", kTwo}}, ";", crlf, 2,
         [](FrmMain* w) {
             emit w->VL_file->MouseDown(modGlobalFunctions::kLeftButton, 0, 0, kTickIcon);
             emit w->VL_file->MouseDown(modGlobalFunctions::kLeftButton, 2, 0, kTickIcon);
         },
         nullptr, "out.txt", {}, "a@x.com\r\nb@x.com\r\nc@y.org", {"mid.txt", "one.txt", "out.txt", "two.txt"}},
        {"an older, longer output and its numbered files replaced", {{"one.txt", kOne}, {"two.txt", kTwo}}, ";", crlf,
         2, nullptr, nullptr, "out.txt",
         {{"out.txt", QByteArray(5000, 'o')}, {"out_1.txt", "old"}, {"out_2.txt", "old"}, {"out_4.txt", "old"},
          {"out_old.txt", "old"}, {"out.csv", "old"}},
         "a@x.com\r\nb@x.com\r\nc@y.org", {"one.txt", "out.csv", "out.txt", "out_4.txt", "out_old.txt", "two.txt"}},
        {"an output without extension", {{"one.txt", kOne}, {"two.txt", kTwo}}, ";", crlf, 2, nullptr, nullptr,
         "merged", {{"merged", "old@old.com\r\n"}, {"merged_1", "old"}}, "a@x.com\r\nb@x.com\r\nc@y.org",
         {"merged", "one.txt", "two.txt"}},
        {"sources out_1.txt and out_2.txt into out.txt", {{"out_1.txt", kOne}, {"out_2.txt", kTwo}}, ";", crlf, 2,
         nullptr, nullptr, "out.txt", {{"out_3.txt", "old"}}, "a@x.com\r\nb@x.com\r\nc@y.org",
         {"out.txt", "out_1.txt", "out_2.txt"}},
        {"no entry found", {{"one.txt", "\r\n\r\n"}, {"two.txt", "\r\n"}}, ";", crlf, 2, nullptr, nullptr, "out.txt",
         {{"out.txt", "old"}}, "", {"one.txt", "out.txt", "two.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Structure(c.field, c.record, c.column);
        AddFiles(c.sources);
        for (const Source& s : c.before) WriteFile(QStringLiteral("m/") + s.name, s.bytes);
        if (c.prepare)
            c.prepare(w.get());
        else
            w->ComSelAll->click();
        const clsEmailList before = w->MergeDesc;
        Dialog(QLatin1String(c.output), c.layout);
        // The dialog asks before replacing an existing output.
        const bool exists = QFile::exists(Folder() + "/m/" + c.output);
        TestHarness::AnswerMessages(exists ? QList<int>{MsgBoxButton::Yes, MsgBoxButton::Ok}
                                           : QList<int>{MsgBoxButton::Ok});
        w->ComBigMerge->click();
        EXPECT_EQ(shown, 1);
        EXPECT_EQ(ReadFile(Folder() + "/m/" + c.output), c.bytes);
        EXPECT_EQ(Files(), c.files);
        for (const Source& s : c.sources) EXPECT_EQ(ReadFile(Folder() + "/m/" + s.name), s.bytes) << s.name;
        ASSERT_FALSE(TestHarness::AskedMessages().isEmpty());
        const MsgBoxRequest& m = TestHarness::AskedMessages().back();
        EXPECT_EQ(m.message, kSuccess);
        EXPECT_EQ(m.Title, QStringLiteral("Merge Successful"));
        EXPECT_EQ(m.IconNb, MsgBoxIcon::Logo);
        EXPECT_EQ(w->MergeDesc.NameOut, before.NameOut) << "the pane's structure keeps no output";
        EXPECT_EQ(w->MergeDesc.KeepAllCols, before.KeepAllCols);
        EXPECT_EQ(Console(), QString());
        ExpectClosed();
    }
}

// A disk that cannot take the whole output, in the text pass or in the
// engine's rewrite: nothing new under the output's name (the former output
// byte for byte, or none), no file left beside it, no success message, and
// the cause in the console.
TEST_F(BigMerge, OutputThatDoesNotFitLeavesNothingCut) {
    // 100 LF records of 11 bytes each a file: 2201 bytes of raw text, which
    // the rewrite with CR LF makes 2398.
    QByteArray one, two;
    for (int i = 0; i < 100; ++i) {
        one += QStringLiteral("a%1@x.com\n").arg(i, 3, 10, QLatin1Char('0')).toLatin1();
        two += QStringLiteral("b%1@y.com\n").arg(i, 3, 10, QLatin1Char('0')).toLatin1();
    }
    const auto crlfOut = [](FrmSaveList* d) {
        d->ComMore->click();
        d->OptRecCrLf->click();
    };
    struct Case {
        const char* what;
        rlim_t room;
        QByteArray former;  // "m/out.txt" and an earlier numbered output "m/out_1.txt" before; null: none
        mode_t bits;        // the former output's; 0: as made
        Links links;
    } cases[] = {
        {"the text pass", 1000, QByteArray(), 0, Links::kMade},
        {"the text pass, over a former output", 1000, "former output", 0, Links::kMade},
        {"the engine's rewrite", 2300, QByteArray(), 0, Links::kMade},
        {"the engine's rewrite, over a former output", 2300, "former output", 0, Links::kMade},
        {"the engine's rewrite, over a former output of 0640, no hard links", 2300, "former output", 0640,
         Links::kRefused},
        {"the engine's rewrite, over a private former output, no hard links", 2300, "former output", 0600,
         Links::kRefused},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Structure("\t", "\n", 1);
        AddFiles({{"one.txt", one}, {"two.txt", two}});
        const QString out = Folder() + "/m/out.txt";
        if (!c.former.isNull()) {
            WriteFile("m/out.txt", c.former);
            WriteFile("m/out_1.txt", c.former);
        }
        if (c.bits != 0) {
            ASSERT_EQ(::chmod(QFile::encodeName(out).constData(), c.bits), 0);
        }
        w->ComSelAll->click();
        Dialog("out.txt", crlfOut);
        TestHarness::AnswerMessages(c.former.isNull() ? QList<int>{} : QList<int>{MsgBoxButton::Yes});
        const auto asked = TestHarness::AskedMessages().size();
        {
            const HardLinks links(c.links);
            const FileSizeLimit full(c.room);
            w->ComBigMerge->click();
        }
        EXPECT_EQ(shown, 1);
        EXPECT_EQ(TestHarness::AskedMessages().size(), asked + (c.former.isNull() ? 0 : 1)) << "no success message";
        EXPECT_EQ(QDir(Folder() + "/m").entryList(QDir::Files | QDir::Hidden, QDir::Name),
                  c.former.isNull() ? QStringList({"one.txt", "two.txt"})
                                    : QStringList({"one.txt", "out.txt", "out_1.txt", "two.txt"}));
        if (!c.former.isNull()) {
            EXPECT_EQ(ReadFile(out), c.former);
            if (c.bits != 0) {
                EXPECT_EQ(BitsOf(out), static_cast<int>(c.bits));
            }
            EXPECT_EQ(ReadFile(Folder() + "/m/out_1.txt"), c.former);
            QFile::remove(Folder() + "/m/out_1.txt");
        }
        EXPECT_TRUE(Console().contains("Could not write to file : " + out + " (File too large)"))
            << Console().toStdString();
        EXPECT_FALSE(Console().contains(".out.txt.")) << "the file asked for is named";
        EXPECT_EQ(Screen::Instance()->MousePointer(), Screen::kDefaultPointer);
        EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
    }
}

// A private output stays private through the whole merge: while the engine
// rewrites the text pass, the file under the name has the former output's
// bits, never the usual ones of a new file.
TEST_F(BigMerge, OutputKeepsItsBitsFromTheFirstByte) {
    for (const mode_t bits : {mode_t{0600}, mode_t{0640}}) {
        SCOPED_TRACE(QString::number(bits, 8).toStdString());
        Structure(";", "\r\n", 2);
        AddFiles({{"one.txt", kOne}, {"two.txt", kTwo}});
        const QString out = WriteFile("m/out.txt", "former output");
        ASSERT_EQ(::chmod(QFile::encodeName(out).constData(), bits), 0);
        w->ComSelAll->click();
        Dialog("out.txt");
        TestHarness::AnswerMessages({MsgBoxButton::Yes, MsgBoxButton::Ok});
        QList<int> seen;
        {
            const OnInformation hook("Writing entries to file", [&] { seen << BitsOf(out); });
            w->ComBigMerge->click();
        }
        EXPECT_EQ(seen, QList<int>{static_cast<int>(bits)});
        EXPECT_EQ(ReadFile(out), "a@x.com\r\nb@x.com\r\nc@y.org");
        EXPECT_EQ(BitsOf(out), static_cast<int>(bits));
        EXPECT_EQ(TestHarness::AskedMessages().back().message, kSuccess);
        ExpectClosed();
    }
}

// The ways a merge ends before its engine pass, and what each leaves.
TEST_F(BigMerge, RefusalsAndStops) {
    QByteArray everyByte;
    for (int b = 0; b < 256; ++b) everyByte += static_cast<char>(b);
    everyByte += everyByte;
    struct Case {
        const char* what;
        std::function<void()> prepare;  // after both files were added
        bool dialog;
        const char* message;  // the last message, or none
        const char* title;
        QByteArray output;  // of "out.txt"; null: the file is not there
        const char* console;
    } cases[] = {
        {"one ticked file",
         [this] {
             w->ComDesAll->click();
             emit w->VL_file->MouseDown(modGlobalFunctions::kLeftButton, 0, 0, kTickIcon);
         },
         false,
         "At least two files must be selected before proceeding !", "No Files Selected", QByteArray(), nullptr},
        {"no field separator",
         [this] {
             w->MergeDesc.FldTab = false;
             w->MergeDesc.FldOth = true;
         },
         false, "", "Invalid Field Separator Specification", QByteArray(), nullptr},
        {"no record separator",
         [this] {
             w->MergeDesc.RecCrLF = false;
             w->MergeDesc.RecOth = true;
         },
         false, "", "Invalid Record Separator Specification", QByteArray(), nullptr},
        {"Cancel in the dialog",
         [this] {
             ListDialogSeam::Install([this](QDialog* d) {
                 ++shown;
                 d->close();
             });
         }, true, nullptr,
         nullptr, QByteArray(), nullptr},
        {"an output equal to a source but for case", [this] { Dialog("ONE.TXT"); }, true,
         "The Output file has the same name as the the following source file :\r\n\r\n%1/m/one.txt\r\n\r\n"
         "Please select another output file name",
         "Invalid Output File Name", QByteArray(), nullptr},
        {"Cancel while the first file is read: its bytes exactly, nothing more", nullptr, true, nullptr, nullptr,
         everyByte, nullptr},
        {"a source above 2 GiB: nothing under the output's name", [] {
             QFile big(Folder() + "/m/two.txt");
             EXPECT_TRUE(big.open(QIODevice::ReadWrite) && big.resize(3LL << 30));
         },
         true, nullptr, nullptr, QByteArray(), "holds 3221225472 bytes: at most 2147483647 bytes can be read at once"},
        {"a source gone since it was added: no output either", [] { QFile::remove(Folder() + "/m/one.txt"); }, true,
         nullptr, nullptr, QByteArray(), "/m/one.txt' is not present"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // The structure first: the add's structure dialog opens on it.
        Structure("\t", "\r\n", 1);
        AddFiles({{"one.txt", everyByte}, {"two.txt", "z@z.com\r\n"}});
        w->ComSelAll->click();
        Dialog("out.txt");
        if (c.prepare) c.prepare();
        TestHarness::AnswerMessages(c.message ? QList<int>{MsgBoxButton::Ok} : QList<int>{});
        const auto asked = TestHarness::AskedMessages().size();
        {
            const CancelOnInformation cancel(QByteArray(c.what).startsWith("Cancel while") ? "Loading file" : "-");
            w->ComBigMerge_Click();
        }
        EXPECT_EQ(shown, c.dialog ? 1 : 0);
        const QList<MsgBoxRequest> messages = TestHarness::AskedMessages().mid(asked);
        if (c.message) {
            ASSERT_EQ(messages.size(), 1);
            EXPECT_EQ(messages[0].message, QString::fromLatin1(c.message).replace("%1", Folder()));
            EXPECT_EQ(messages[0].Title, QLatin1String(c.title));
            EXPECT_EQ(messages[0].IconNb, MsgBoxIcon::Error);
        } else {
            EXPECT_TRUE(messages.isEmpty()) << "no success message";
        }
        const QString out = Folder() + "/m/out.txt";
        EXPECT_EQ(QFile::exists(out), !c.output.isNull());
        if (!c.output.isNull()) {
            EXPECT_EQ(ReadFile(out), c.output);
        }
        if (c.console) {
            EXPECT_TRUE(Console().contains(QLatin1String(c.console))) << Console().toStdString();
        } else {
            EXPECT_EQ(Console(), QString());
        }
        EXPECT_FALSE(InterruptObj()->Active);
        ExpectClosed();
    }
}

}  // namespace
