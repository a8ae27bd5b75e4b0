// The main window's load: the list descriptors, the block list from the
// settings, the reference lists in their views and in the engine, and a
// load that meets failures; and what its unload lets go.
#include <stdexcept>

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTreeWidgetItem>

#include "Clock.h"
#include "FindHistory.h"
#include "FrmMain.h"
#include "ListsCol.h"
#include "MainFixture.h"
#include "OrmidYRB100.h"
#include "ReportError.h"
#include "ReportListView.h"
#include "RichTextBox.h"
#include "ServiceObjects.h"
#include "TestHarness.h"
#include "clsError.h"
#include "clsMergeFile.h"
#include "modRegistry.h"

namespace {

using MainFixture::Reasons;
using MainFixture::Rows;
using TestHarness::Folder;

// Each row of a table gets a settings file of its own, the splash hidden.
void FreshSettings(const QString& name) {
    modRegistry::SetSettingsFile(Folder() + QStringLiteral("/.settings-%1/OrmidYRB100.conf").arg(name));
    modRegistry::SetSetting(QStringLiteral("Hide"), QStringLiteral("1"));
}

QByteArray ErrorLog() { return TestHarness::ReadFile(Folder() + QStringLiteral("/Error.log")); }

TEST(FrmMainLoad, DescriptorsOfTheListsAndOfTheReferenceFiles) {
    MainFixture::WriteReferenceFiles();
    FrmMain w;
    w.Form_Load();
    const QString tab = QStringLiteral("\t"), crlf = QStringLiteral("\r\n"), bar = QStringLiteral("|");
    struct Row {
        const char* name;
        const clsEmailList& desc;
        QString source, fieldSep, recordSep;
    };
    const Row rows[] = {
        {"LeftListDesc", w.LeftListDesc, QString(), tab, crlf},
        {"LeftResultsDesc", w.LeftResultsDesc, QString(), tab, crlf},
        {"RightListDesc", w.RightListDesc, QString(), tab, crlf},
        {"RightResultsDesc", w.RightResultsDesc, QString(), tab, crlf},
        {"MergeDesc", w.MergeDesc, QString(), tab, crlf},
        {"BlockListDesc", w.BlockListDesc, QString(), tab, crlf},
        {"ValidExtDesc", w.ValidExtDesc, Folder() + "/DN_All.cfg", bar, crlf},
        {"ExcludeExtDesc", w.ExcludeExtDesc, Folder() + "/DN_Exclude.cfg", bar, crlf},
        {"RejectKeywordDesc", w.RejectKeywordDesc, Folder() + "/DN_Reject.cfg", bar, crlf},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(r.desc.NameSrc, r.source);
        EXPECT_EQ(r.desc.FieldSep(), r.fieldSep);
        EXPECT_EQ(r.desc.RecordSep(), r.recordSep);
        EXPECT_EQ(r.desc.ColNbr, 1);
    }
    EXPECT_TRUE(w.WarnBigResults);
    EXPECT_FALSE(w.SuppressMarkClicks);
    EXPECT_TRUE(w.TxtErrors->Text().isEmpty());
}

TEST(FrmMainLoad, BlockListFromTheSettings) {
    MainFixture::WriteReferenceFiles();
    const QString blockFile = TestHarness::WriteFile("block.txt", "x|blocked@shop.com\n");
    struct Row {
        const char* name;
        const char* list;  // null: no such setting
        const char* field;
        const char* record;
        const char* column;
        QString fieldSep, recordSep;
        int32_t columnNbr;
        bool reported;
    };
    const Row rows[] = {
        {"none", nullptr, nullptr, nullptr, nullptr, "\t", "\r\n", 1, false},
        {"bar, LF, 3", "block.txt", "|", "\n", "3", "|", "\n", 3, false},
        {"stored empty", "", "", "", "2", "\t", "\r\n", 2, false},
        {"semicolon, CR", "block.txt", ";", "\r", " 7 ", ";", "\r", 7, false},
        {"largest column", nullptr, nullptr, nullptr, "2147483647", "\t", "\r\n", 2147483647, false},
        {"letters", nullptr, nullptr, nullptr, "abc", "\t", "\r\n", 1, true},
        {"too large", nullptr, nullptr, nullptr, "99999999999", "\t", "\r\n", 1, true},
        {"zero", nullptr, nullptr, nullptr, "0", "\t", "\r\n", 1, true},
        {"negative", nullptr, nullptr, nullptr, "-4", "\t", "\r\n", 1, true},
        {"fraction", nullptr, nullptr, nullptr, "2.5", "\t", "\r\n", 1, true},
        {"empty column", nullptr, nullptr, nullptr, "", "\t", "\r\n", 1, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        FreshSettings(QString::fromLatin1(r.name).replace(' ', '_').remove(','));
        QFile::remove(Folder() + "/Error.log");
        QString source;  // null: not written
        if (r.list) source = *r.list ? Folder() + "/" + r.list : QStringLiteral("");
        const std::pair<const char*, QString> settings[] = {
            {"BlkLst", source}, {"BlkFld", r.field}, {"BlkRec", r.record}, {"BlkCol", r.column}};
        for (const auto& [value, text] : settings)
            if (!text.isNull()) modRegistry::SetSetting(QLatin1String(value), text);
        // A setting that was never written must stay missing, not empty.
        if (r.list == nullptr) {
            ASSERT_EQ(modRegistry::GetSetting("BlkLst", "missing"), QStringLiteral("missing"));
        }

        FrmMain w;
        w.Form_Load();
        EXPECT_EQ(w.BlockListDesc.NameSrc, source);
        EXPECT_EQ(w.TxtBlkFile->text(), source);
        EXPECT_EQ(w.BlockListDesc.FieldSep(), r.fieldSep);
        EXPECT_EQ(w.BlockListDesc.RecordSep(), r.recordSep);
        EXPECT_EQ(w.BlockListDesc.ColNbr, r.columnNbr);
        const QString message = QStringLiteral("Message : The setting 'BlkCol' holds '%1', which is no column number "
                                               "from 1 to 2147483647: the block list is read from column 1")
                                    .arg(QString::fromLatin1(r.column ? r.column : ""));
        EXPECT_EQ(w.TxtErrors->Text().contains(message), r.reported) << w.TxtErrors->Text().toStdString();
        EXPECT_EQ(ErrorLog().contains(message.toLatin1()), r.reported);
        // No value stops the load: its last steps ran and the window shows.
        EXPECT_TRUE(w.WarnBigResults);
        EXPECT_TRUE(w.isVisible());
        EXPECT_FALSE(ErrorObj()->LogToFileFlag);
    }
}

// An address list in engine list 1, checked against the reference lists:
// the reason the engine gives for each entry.
QStringList Captions(const ReportListView* view) {
    QStringList captions;
    for (int c = 0; c < view->ColumnCount(); ++c) captions.append(view->ColumnText(c));
    return captions;
}

TEST(FrmMainLoad, ReferenceListsReachTheirViewsAndTheEngine) {
    MainFixture::WriteReferenceFiles();
    TestHarness::WriteFile("block.txt", "Jane;blocked@shop.com\r\nJohn;someone@else.org;x\r\n");
    modRegistry::SetSetting("BlkLst", Folder() + "/block.txt");
    modRegistry::SetSetting("BlkFld", ";");
    modRegistry::SetSetting("BlkCol", "2");
    FrmMain w;
    w.Form_Load();

    struct View {
        const char* name;
        ReportListView* view;
        QStringList captions, rows;
    };
    const View views[] = {
        {"country", w.LstDNCountry, {"Extension", "Country"}, {"fr|France", "de|Germany"}},
        {"generic", w.LstDNGeneric, {"Extension", "Type"}, {"com|generic", "org|generic", "biz|generic"}},
        {"keyword", w.LstDNKeyword, {"Keyword", "Reason"}, {"noreply|automatic sender"}},
        {"user", w.LstDNUser, {"Extension", "Reason"}, {"biz|user's choice"}},
    };
    for (const View& v : views) {
        SCOPED_TRACE(v.name);
        EXPECT_EQ(Captions(v.view), v.captions);
        EXPECT_EQ(Rows(v.view), v.rows);
        EXPECT_FALSE(v.view->Sorted());
        for (int c = 0; c < v.view->ColumnCount(); ++c) EXPECT_EQ(v.view->ColumnIcon(c), 1);
    }

    const QStringList reasons = Reasons(
        "a@shop.fr\r\nb@shop.biz\r\nblocked@shop.com\r\nnoreply@shop.com\r\nc@shop.xx\r\nother@shop.com\r\n");
    const QStringList expected = {
        "valid",
        "excluded domain extension : 'biz'",
        "black listed",
        "excluded keyword : 'noreply'",
        "invalid domain extension : unknown extension 'xx'",
        "valid",
    };
    EXPECT_EQ(reasons, expected);
    EXPECT_TRUE(w.TxtErrors->Text().isEmpty()) << w.TxtErrors->Text().toStdString();
}

TEST(FrmMainLoad, NoBlockFileLeavesTheEngineWithoutBlockList) {
    MainFixture::WriteReferenceFiles();
    FrmMain w;
    w.Form_Load();
    EXPECT_EQ(Reasons("blocked@shop.com\r\n"), QStringList{"valid"});
    EXPECT_TRUE(w.TxtErrors->Text().isEmpty());
}

TEST(FrmMainLoad, MissingCountryFileIsReportedAndTheWindowStillOpens) {
    MainFixture::WriteReferenceFiles("DN_Country.cfg");
    FrmMain w;
    w.Form_Load();
    EXPECT_TRUE(w.isVisible());
    const QString entry = QStringLiteral("Message : File not found\r\n\t Context : Error !\r\n"
                                         "\t Module  : modGlobalFunctions\r\n\t Routine : LoadListView\r\n");
    EXPECT_TRUE(w.TxtErrors->Text().contains(entry)) << w.TxtErrors->Text().toStdString();
    EXPECT_TRUE(ErrorLog().contains(entry.toLatin1()));
    EXPECT_EQ(w.LstDNCountry->ItemCount(), 0);
    EXPECT_EQ(w.LstDNGeneric->ItemCount(), 3);
    EXPECT_EQ(w.LstDNUser->ItemCount(), 1);
    // The derived files are rebuilt from what is there: the country values
    // are gone, the generic ones stay, and the missing file is reported once.
    EXPECT_EQ(TestHarness::ReadFile(Folder() + "/DN_All.cfg"), QByteArray("com\r\norg\r\nbiz"));
    EXPECT_EQ(Reasons("a@shop.fr\r\nb@shop.com\r\n"),
              (QStringList{"invalid domain extension : unknown extension 'fr'", "valid"}));
    EXPECT_EQ(w.TxtErrors->Text().count(QStringLiteral("Routine : GetFirstCol")), 1);
    // Reports after the load reach the console only.
    const QByteArray logged = ErrorLog();
    modGlobalFunctions::ReportError("later", QString(), "test", "test", false, true);
    EXPECT_EQ(ErrorLog(), logged);
}

TEST(FrmMainLoad, MissingDerivedFileIsRebuiltBeforeTheEngineReadsIt) {
    MainFixture::WriteReferenceFiles("DN_Exclude.cfg");
    FrmMain w;
    w.Form_Load();
    EXPECT_EQ(TestHarness::ReadFile(Folder() + "/DN_Exclude.cfg"), QByteArray("biz"));
    EXPECT_EQ(Reasons("b@shop.biz\r\n"), QStringList{"excluded domain extension : 'biz'"});
    EXPECT_TRUE(w.TxtErrors->Text().isEmpty()) << w.TxtErrors->Text().toStdString();
    EXPECT_TRUE(w.isVisible());
}

TEST(FrmMainLoad, UnreadableDerivedFileReachesTheConsoleThroughTheEngine) {
    MainFixture::WriteReferenceFiles();
    // A folder where the derived file should be: it can be neither
    // rebuilt nor read.
    const QString derived = Folder() + QStringLiteral("/DN_Exclude.cfg");
    QFile::remove(derived);
    ASSERT_TRUE(QDir().mkdir(derived));
    FrmMain w;
    w.Form_Load();
    EXPECT_TRUE(w.TxtErrors->Text().contains("Error Merging Domain Extensions")) << w.TxtErrors->Text().toStdString();
    EXPECT_TRUE(w.TxtErrors->Text().contains(derived)) << w.TxtErrors->Text().toStdString();
    EXPECT_TRUE(ErrorLog().contains(derived.toLatin1()));
    EXPECT_TRUE(w.isVisible());
}

TEST(FrmMainLoad, AFailingStepStillShowsTheWindow) {
    MainFixture::WriteReferenceFiles("DN_Country.cfg");
    // The clock fails once, while the missing file is being logged: the
    // failure leaves the reference views' loading.
    bool failed = false;
    Clock::Install([&] {
        if (!failed && ErrorObj()->Message() == QStringLiteral("File not found")) {
            failed = true;
            throw std::runtime_error("the clock stopped");
        }
        return QDateTime::currentDateTime();
    });
    FrmMain w;
    w.Form_Load();
    EXPECT_TRUE(failed);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.TxtErrors->Text().contains(
        QStringLiteral("Message : the clock stopped\r\n\t Context : Error !\r\n\t Module  : FrmMain\r\n"
                       "\t Routine : Form_Load\r\n")));
    // The steps after the failure did not run; reports go to the console only.
    EXPECT_FALSE(w.WarnBigResults);
    EXPECT_EQ(w.LstDNGeneric->ItemCount(), 0);
    EXPECT_FALSE(ErrorObj()->LogToFileFlag);
    Clock::Install(nullptr);
}

// Retrieval and deletion each have their own session and time-out timer,
// wired to the program's error, trace and interrupt objects.
TEST(FrmMainLoad, SessionsWiredToTheServicesAndTheirTimers) {
    MainFixture::WriteReferenceFiles();
    FrmMain w;
    w.Form_Load();
    struct Row {
        clsPOP3Session* session;
        IntervalTimer* timer;
    };
    const Row rows[] = {{w.Session1.get(), w.TmrPOP31}, {w.Session2.get(), w.TmrPOP32}};
    for (const Row& row : rows) {
        ASSERT_NE(row.session, nullptr);
        EXPECT_EQ(row.session->Tmr, row.timer);
        EXPECT_EQ(row.session->MyError, ErrorObj());
        EXPECT_EQ(row.session->MyTrace, TraceObj());
        EXPECT_EQ(row.session->Interrupt, InterruptObj());
        EXPECT_FALSE(row.session->IsConnected());
    }
    EXPECT_NE(w.Session1, w.Session2);
    const QPointer<clsPOP3Session> first = w.Session1.get();
    const QPointer<clsPOP3Session> second = w.Session2.get();
    EXPECT_TRUE(w.close());
    EXPECT_EQ(w.Session1, nullptr);
    EXPECT_EQ(w.Session2, nullptr);
    // Deleted once the unload's caller is back in the event loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    EXPECT_TRUE(second.isNull());
}

TEST(FrmMainUnload, ClosesTheOtherWindowsAndLetsEverythingGo) {
    MainFixture::WriteReferenceFiles();
    const QString list = TestHarness::WriteFile("list.txt", "a@shop.fr\r\n");
    FrmMain w;
    w.Form_Load();
    ASSERT_EQ(YRB13(2, QFile::encodeName(list).constData(), 1, "\t", "\r\n"), 1);
    ThisList = ListsCol[LeftList];
    FindHistory().append(QStringLiteral("shop"));
    MergeFiles().append(std::make_shared<clsMergeFile>());
    auto* other = new QDialog(&w);
    other->show();
    const auto errorObject = ErrorObj();

    EXPECT_TRUE(w.close());
    EXPECT_FALSE(other->isVisible());
    EXPECT_EQ(YRB14(2), 1);
    EXPECT_EQ(w.ItemImages, nullptr);
    EXPECT_EQ(w.HeaderImages, nullptr);
    for (const ListPaneRef& pane : ListsCol) EXPECT_EQ(pane, nullptr);
    EXPECT_EQ(ThisList, nullptr);
    EXPECT_EQ(w.VL_left, nullptr);
    EXPECT_EQ(w.VL_mail, nullptr);
    EXPECT_TRUE(FindHistory().isEmpty());
    EXPECT_TRUE(MergeFiles().isEmpty());
    EXPECT_NE(ErrorObj(), errorObject);
}

}  // namespace
