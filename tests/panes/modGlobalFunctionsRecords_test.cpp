// Cutting records, delimited files into a simple list pane, saving a text box.
#include <QLineEdit>

#include "ReportListView.h"
#include "RichTextBox.h"
#include "ServiceObjects.h"
#include "TestHarness.h"
#include "clsError.h"
#include "clsList.h"
#include "modGlobalFunctionsRecords.h"
#include "modGlobalFunctionsListView.h"

using modGlobalFunctions::GetNextRecord;

namespace {

QStringList CutAll(const QString& buffer, const QString& sep, int64_t start = 1) {
    QStringList records;
    QString r;
    int guard = 0;
    while (GetNextRecord(buffer, r, sep, start) && ++guard < 100) records.append(r);
    return records;
}

}  // namespace

TEST(GetNextRecord, CutsRecordsTable) {
    struct Case {
        const char* name;
        QString buffer, sep;
        QStringList records;
    };
    const Case cases[] = {
        {"trailing separator gives no empty record", "a\r\nb\r\n", "\r\n", {"a", "b"}},
        {"adjacent separators give an empty record", "a||b", "|", {"a", "", "b"}},
        {"no separator at the end", "a|b", "|", {"a", "b"}},
        {"empty buffer", "", "|", {}},
        {"separator first", "|a", "|", {"", "a"}},
        {"long separator", "a<>b<><>c", "<>", {"a", "b", "", "c"}},
        {"no separator at all", "abc", ";", {"abc"}},
    };
    for (const Case& c : cases) EXPECT_EQ(CutAll(c.buffer, c.sep), c.records) << c.name;
}

TEST(GetNextRecord, StartIndexMovesPastTheSeparator) {
    QString r;
    int64_t start = 1;
    ASSERT_TRUE(GetNextRecord(QStringLiteral("ab|cd"), r, QStringLiteral("|"), start));
    EXPECT_EQ(start, 4);
    ASSERT_TRUE(GetNextRecord(QStringLiteral("ab|cd"), r, QStringLiteral("|"), start));
    EXPECT_EQ(r, QStringLiteral("cd"));
    EXPECT_EQ(start, 9);  // start + whole length: the next call ends
    EXPECT_FALSE(GetNextRecord(QStringLiteral("ab|cd"), r, QStringLiteral("|"), start));
    EXPECT_EQ(r, QString());
    EXPECT_EQ(start, 9);
}

TEST(GetNextRecord, FailuresAreReported) {
    struct Case {
        int64_t start;
        QString sep;
        QString message;
    };
    const Case cases[] = {
        {0, "|", "Invalid Start Index : 0"},
        {-5, "|", "Invalid Start Index : -5"},
        // An empty separator would never move the start on.
        {1, "", "Invalid Separator : the separator is empty"},
    };
    for (const Case& c : cases) {
        ReleaseErrorObj();
        QString r = QStringLiteral("old");
        int64_t start = c.start;
        EXPECT_FALSE(GetNextRecord(QStringLiteral("a|b"), r, c.sep, start));
        EXPECT_EQ(r, QString());
        EXPECT_EQ(start, c.start);
        EXPECT_EQ(ErrorObj()->Message(), c.message);
        EXPECT_EQ(ErrorObj()->Module(), QStringLiteral("modGlobalFunctions"));
        EXPECT_EQ(ErrorObj()->Routine(), QStringLiteral("GetNextRecord"));
    }
}

TEST(GetNextRecord, PositionsBeyondThirtyTwoBits) {
    // A start beyond 2^31 is a valid position; past the buffer's end it ends.
    QString r;
    int64_t start = (int64_t(1) << 33);
    EXPECT_FALSE(GetNextRecord(QStringLiteral("a|b"), r, QStringLiteral("|"), start));
    EXPECT_EQ(start, int64_t(1) << 33);
    EXPECT_FALSE(ErrorObj()->IsPending());
}

namespace {

struct Loaded {
    QStringList captions;
    QList<QStringList> rows;
    QList<double> widths;
    QList<QString> tags;
};

Loaded Read(const ReportListView& v) {
    Loaded l;
    for (int c = 0; c < v.ColumnCount(); ++c) {
        l.captions.append(v.ColumnText(c));
        l.widths.append(v.ColumnWidth(c));
        l.tags.append(v.ColumnTag(c));
    }
    for (int r = 0; r < v.ItemCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < std::max(1, v.ColumnCount()); ++c) cells.append(v.Item(r)->text(c));
        l.rows.append(cells);
    }
    return l;
}

}  // namespace

TEST(LoadListView, DelimitedFilesTable) {
    struct Case {
        const char* name;
        QByteArray bytes;
        QString sep;
        QStringList captions;
        QList<QStringList> rows;
    };
    const Case cases[] = {
        {"reference list", "Domain|Country\r\nde|Germany\r\nfr|France\r\n", "|", {"Domain", "Country"},
         {{"de", "Germany"}, {"fr", "France"}}},
        {"captions only", "Domain|Country\r\n", "|", {"Domain", "Country"}, {}},
        {"blank line in the middle", "Ext\r\nexe\r\n\r\nbat", "|", {"Ext"}, {{"exe"}, {""}, {"bat"}}},
        {"surplus fields dropped, missing ones empty", "A\tB\r\n1\t2\t3\r\n4\r\n", "", {"A", "B"},
         {{"1", "2"}, {"4", ""}}},
        {"empty first record: no columns", "\r\nx|y\r\nz\r\n", "|", {}, {{"x"}, {"z"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget form;
        auto* view = new ReportListView(&form);
        view->resize(400, 200);
        clsList pane;
        pane.SetList(view);
        const QString path = TestHarness::WriteFile(QStringLiteral("list.cfg"), c.bytes);
        modGlobalFunctions::LoadListView(&pane, path, false, false, c.sep);
        const Loaded l = Read(*view);
        EXPECT_EQ(l.captions, c.captions);
        EXPECT_EQ(l.rows, c.rows);
        for (const QString& tag : l.tags) EXPECT_EQ(tag, QStringLiteral("1"));
        EXPECT_FALSE(ErrorObj()->IsPending());
    }
}

TEST(LoadListView, ColumnsShareTheWidthIconsAndSorting) {
    QWidget form;
    auto* view = new ReportListView(&form);
    view->resize(400, 200);  // 6000 twips
    clsList pane;
    pane.SetList(view);
    const QString path = TestHarness::WriteFile(QStringLiteral("DN_Country.cfg"), "Domain|Country\r\nfr|France\r\nde|Germany\r\nat|Austria\r\n");
    modGlobalFunctions::LoadListView(&pane, path, true, true, QStringLiteral("|"));
    EXPECT_EQ(view->ColumnWidth(0), 3000);
    EXPECT_EQ(view->ColumnWidth(1), 3000);
    EXPECT_EQ(view->ColumnIcon(0), 1);
    QStringList first;
    for (int r = 0; r < view->ItemCount(); ++r) first.append(view->Item(r)->text(0));
    EXPECT_EQ(first, (QStringList{"at", "de", "fr"}));
}

TEST(LoadListView, EmptyMissingOrNoPaneLeavesThePaneAsItWas) {
    QWidget form;
    auto* view = new ReportListView(&form);
    view->AddColumn();
    view->SetColumnText(0, QStringLiteral("Old"));
    view->AddItem()->setText(0, QStringLiteral("kept"));
    clsList pane;
    pane.SetList(view);
    modGlobalFunctions::LoadListView(&pane, TestHarness::WriteFile(QStringLiteral("empty.cfg"), ""), false, false, "|");
    modGlobalFunctions::LoadListView(&pane, QString(), false, false, "|");
    modGlobalFunctions::LoadListView(nullptr, TestHarness::WriteFile(QStringLiteral("x.cfg"), "A\r\n"), false, false, "|");
    EXPECT_EQ(view->ColumnText(0), QStringLiteral("Old"));
    ASSERT_EQ(view->ItemCount(), 1);
    EXPECT_FALSE(ErrorObj()->IsPending());
    modGlobalFunctions::LoadListView(&pane, TestHarness::Folder() + QStringLiteral("/missing.cfg"), false, false, "|");
    EXPECT_EQ(view->ItemCount(), 1);
    EXPECT_EQ(ErrorObj()->Routine(), QStringLiteral("LoadListView"));
}

TEST(SaveTextBoxToFile, WritesTheTextAsItIs) {
    RichTextBox console;
    console.SetText(QStringLiteral("line 1\r\nl\xe9gal\r\n"));
    const QString path = TestHarness::Folder() + QStringLiteral("/console.txt");
    TestHarness::WriteFile(QStringLiteral("console.txt"), "older and longer content");
    EXPECT_TRUE(modGlobalFunctions::SaveTextBoxToFile(&console, path));
    EXPECT_EQ(TestHarness::ReadFile(path), QByteArray("line 1\r\nl\xe9gal\r\n"));
    QLineEdit empty;
    EXPECT_TRUE(modGlobalFunctions::SaveTextBoxToFile(&empty, path));
    EXPECT_EQ(TestHarness::ReadFile(path), QByteArray());
    EXPECT_FALSE(modGlobalFunctions::SaveTextBoxToFile(&console, QString()));
    EXPECT_FALSE(modGlobalFunctions::SaveTextBoxToFile(nullptr, path));
    EXPECT_FALSE(ErrorObj()->IsPending());
    EXPECT_FALSE(modGlobalFunctions::SaveTextBoxToFile(&console, TestHarness::Folder() + QStringLiteral("/no/such/dir/f.txt")));
    EXPECT_EQ(ErrorObj()->Context(), QStringLiteral("Error saving text Box content to File"));
}
