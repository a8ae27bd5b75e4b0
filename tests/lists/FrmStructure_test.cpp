// The record-structure dialog on small files read through the real engine:
// the preview, the column choice, "Select", closing, and the separators it
// refuses.
#include <functional>
#include <memory>

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidgetItem>

#include "ControlGeometry.h"
#include "FormGeometry.h"
#include "FrmControl.h"
#include "FrmStructure.h"
#include "ListKind.h"
#include "ListTestSupport.h"
#include "ListsCol.h"
#include "ReportListView.h"
#include "Screen.h"
#include "SystemColors.h"
#include "Twips.h"
#include "clsList.h"

namespace {

using Change = std::function<void(clsEmailList&)>;
using Action = std::function<void(FrmStructure&)>;

QStringList Columns(const FrmStructure& d) {
    QStringList c;
    for (int col = 0; col < d.LstStruct->ColumnCount(); ++col) c << d.LstStruct->ColumnText(col);
    return c;
}

QList<QStringList> Rows(const FrmStructure& d) {
    QList<QStringList> rows;
    for (int r = 0; r < d.LstStruct->ItemCount(); ++r) {
        QStringList cells;
        for (int col = 0; col < d.LstStruct->ColumnCount(); ++col) cells << d.LstStruct->Item(r)->text(col);
        rows << cells;
    }
    return rows;
}

// Entries of the column list as "text=data".
QStringList Entries(const FrmStructure& d) {
    QStringList e;
    for (int i = 0; i < d.CboField->count(); ++i)
        e << d.CboField->itemText(i) + "=" + d.CboField->itemData(i).toString();
    return e;
}

QStringList Asked(qsizetype from) {
    QStringList a;
    const auto& all = TestHarness::AskedMessages();
    for (qsizetype i = from; i < all.size(); ++i) a << all.at(i).Title + ": " + all.at(i).message;
    return a;
}

// A dialog loaded, initialised and previewed as its callers do it.
struct Structure {
    ListTest::Owner owner;
    clsEmailList desc;
    std::unique_ptr<FrmStructure> dlg;
    explicit Structure(const QString& path, const Change& setup = {}) {
        desc.NameSrc = path;
        if (setup) setup(desc);
        dlg = std::make_unique<FrmStructure>(&owner.window);
        dlg->Form_Load();
        dlg->OwnerForm = &owner.window;
        dlg->Initialize(&desc);
        dlg->ApplySeparators();
    }
};

const QString kNoField = QStringLiteral("Invalid Field Separator: No field separator has been provided !");
const QString kNoRecord = QStringLiteral("Invalid Record Separator: No record separator has been provided !");
const QString kNullField =
    QStringLiteral("Invalid Field Separator: The separator cannot contain the Null character (^@) !");
const QString kNullRecord =
    QStringLiteral("Invalid Record Separator: The separator cannot contain the Null character (^@) !");

class FrmStructureTest : public ListTest::DialogTest {
protected:
    void TearDown() override {
        ListsCol[StructureList].reset();
        ThisList.reset();
        ListTest::DialogTest::TearDown();
    }
};

TEST_F(FrmStructureTest, PreviewTable) {
    struct Case {
        const char* name;
        QByteArray bytes;
        Change setup;
        Action then;  // after the first preview
        QStringList columns;
        QList<QStringList> rows;
        QStringList entries;
        int chosen;         // the chosen entry, -1 none
        QStringList asked;  // messages shown
        bool noRecords;     // "Could not read records in " the path, on the console
    };
    auto semicolon = [](clsEmailList& l) {
        l.FldTab = false;
        l.FldCol = true;
    };
    const Case cases[] = {
        {"empty file", "", {}, {}, {""}, {{"The file is empty"}}, {"Column 1=1"}, 0, {}, false},
        {"only separators: the preview keeps what it showed",
         "\r\n\r\n\r\n",
         [](clsEmailList& l) {
             l.RecCrLF = false;
             l.RecLf = true;
         },
         [](FrmStructure& d) { d.OptRecCrLf->click(); },
         {"Column 1"},
         {{"\\r"}, {"\\r"}, {"\\r"}},
         {"Column 1=1"},
         0,
         {},
         true},
        {"an LF file under CR LF: one record, its line breaks in notation on one row",
         "ann@a.example\nbob@b.example\n",
         {},
         {},
         {"Column 1"},
         {{"ann@a.example\\nbob@b.example\\n"}},
         {"Column 1=1"},
         0,
         {},
         false},
        {"the same file under LF: a row per line",
         "ann@a.example\nbob@b.example\n",
         [](clsEmailList& l) {
             l.RecCrLF = false;
             l.RecLf = true;
         },
         {},
         {"Column 1"},
         {{"ann@a.example"}, {"bob@b.example"}},
         {"Column 1=1"},
         0,
         {},
         false},
        {"control characters inside a field in notation",
         "a\x01" "b\x1f;c\r\n",
         semicolon,
         {},
         {"Column 1", "Column 2"},
         {{"a^Ab^_", "c"}},
         {"Column 1=1", "Column 2=2"},
         0,
         {},
         false},
        {"DEL inside a field in caret form, in Latin-1 and in UTF-8 fields",
         "del@exa\x7fmple.com;\x7f\xe9;\x7f\xc3\xa9\r\n",
         semicolon,
         {},
         {"Column 1", "Column 2", "Column 3"},
         {{"del@exa^?mple.com", "^?\u00e9", "^?\u00e9"}},
         {"Column 1=1", "Column 2=2", "Column 3=3"},
         0,
         {},
         false},
        {"each field shown as UTF-8 where it is valid UTF-8, else as Latin-1",
         "Chlo\xc3\xa9 Dubois;Krak\xc3\xb3w\r\nZo\xeb;\xc5\x81\xc3\xb3" "d\xc5\xba\r\n",
         semicolon,
         {},
         {"Column 1", "Column 2"},
         {{"Chlo\u00e9 Dubois", "Krak\u00f3w"}, {"Zo\u00eb", "\u0141\u00f3d\u017a"}},
         {"Column 1=1", "Column 2=2"},
         0,
         {},
         false},
        {"no record separator in the file: one record",
         "a;b;c",
         semicolon,
         {},
         {"Column 1", "Column 2", "Column 3"},
         {{"a", "b", "c"}},
         {"Column 1=1", "Column 2=2", "Column 3=3"},
         0,
         {},
         false},
        {"the first non-empty record decides the columns",
         "\r\na;b\r\nc;d;e\r\n\r\nf\r\n",
         semicolon,
         {},
         {"Column 1", "Column 2"},
         {{"a", "b"}, {"c", "d"}, {"f", ""}},
         {"Column 1=1", "Column 2=2"},
         0,
         {},
         false},
        {"a trailing separator ends the last field",
         "a;b;\r\nc\r\n",
         semicolon,
         {},
         {"Column 1", "Column 2"},
         {{"a", "b"}, {"c", ""}},
         {"Column 1=1", "Column 2=2"},
         0,
         {},
         false},
        {"a leading separator gives an empty first field",
         ";a\r\nb;c\r\n",
         semicolon,
         {},
         {"Column 1", "Column 2"},
         {{"", "a"}, {"b", "c"}},
         {"Column 1=1", "Column 2=2"},
         0,
         {},
         false},
        {"the descriptor's column is chosen first",
         "a\tb\tc\r\n",
         [](clsEmailList& l) { l.ColNbr = 2; },
         {},
         {"Column 1", "Column 2", "Column 3"},
         {{"a", "b", "c"}},
         {"Column 1=1", "Column 2=2", "Column 3=3"},
         1,
         {},
         false},
        {"a column above the count chooses column 1",
         "a\tb\r\n",
         [](clsEmailList& l) { l.ColNbr = 5; },
         {},
         {"Column 1", "Column 2"},
         {{"a", "b"}},
         {"Column 1=1", "Column 2=2"},
         0,
         {},
         false},
        {"column 0 chooses none",
         "a\tb\r\n",
         [](clsEmailList& l) { l.ColNbr = 0; },
         {},
         {"Column 1", "Column 2"},
         {{"a", "b"}},
         {"Column 1=1", "Column 2=2"},
         -1,
         {},
         false},
        {"a separator change chooses column 1 again",
         "a\tb,c,d\r\n",
         [](clsEmailList& l) { l.ColNbr = 2; },
         [](FrmStructure& d) { d.OptFldCom->click(); },
         {"Column 1", "Column 2", "Column 3"},
         {{"a\\tb", "c", "d"}},
         {"Column 1=1", "Column 2=2", "Column 3=3"},
         0,
         {},
         false},
        {"an other separator in notation",
         "a\t|b\r\n",
         [](clsEmailList& l) {
             l.FldOth = true;
             l.FldSep = "\\t|";
         },
         {},
         {"Column 1", "Column 2"},
         {{"a", "b"}},
         {"Column 1=1", "Column 2=2"},
         0,
         {},
         false},
        {"an other record separator",
         "a;b||c",
         [](clsEmailList& l) {
             l.FldTab = false;
             l.FldCol = true;
             l.RecOth = true;
             l.RecSep = "||";
         },
         {},
         {"Column 1", "Column 2"},
         {{"a", "b"}, {"c", ""}},
         {"Column 1=1", "Column 2=2"},
         0,
         {},
         false},
        {"other chosen with an empty box: no refresh, no message; Enter asks",
         "a;b\r\n",
         semicolon,
         [](FrmStructure& d) {
             d.OptFldOth->click();
             EXPECT_EQ(d.focusWidget(), d.TxtFldSep);
             EXPECT_TRUE(TestHarness::AskedMessages().isEmpty());
             QTest::keyClick(d.TxtFldSep, Qt::Key_Return);
         },
         {"Column 1", "Column 2"},
         {{"a", "b"}},
         {"Column 1=1", "Column 2=2"},
         0,
         {kNoField},
         false},
        {"Enter in the empty record box asks",
         "a\r\n",
         [](clsEmailList& l) {
             l.RecCrLF = false;
             l.RecOth = true;
         },
         [](FrmStructure& d) { QTest::keyClick(d.TxtRecSep, Qt::Key_Return); },
         {},
         {},
         {},
         -1,
         {kNoRecord, kNoRecord},
         false},
        {"a NUL in the other separator is refused",
         "a;b\r\n",
         semicolon,
         [](FrmStructure& d) {
             d.OptFldOth->click();
             d.TxtFldSep->setText(QStringLiteral("^@"));
             QTest::keyClick(d.TxtFldSep, Qt::Key_Return);
         },
         {"Column 1", "Column 2"},
         {{"a", "b"}},
         {"Column 1=1", "Column 2=2"},
         0,
         {kNullField},
         false},
        {"a NUL in the other record separator is refused",
         "a;b\r\n",
         [](clsEmailList& l) {
             l.FldTab = false;
             l.FldCol = true;
             l.RecCrLF = false;
             l.RecOth = true;
             l.RecSep = "x^@";
         },
         {},
         {},
         {},
         {},
         -1,
         {kNullRecord},
         false},
        {"notation that converts to nothing refreshes nothing",
         "a;b\r\n",
         semicolon,
         [](FrmStructure& d) {
             d.OptFldOth->click();
             d.TxtFldSep->setText(QStringLiteral("^G"));
             QTest::keyClick(d.TxtFldSep, Qt::Key_Return);
         },
         {"Column 1", "Column 2"},
         {{"a", "b"}},
         {"Column 1=1", "Column 2=2"},
         0,
         {},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ListTest::Console console;
        const qsizetype before = TestHarness::AskedMessages().size();
        TestHarness::AnswerMessages(QList<int>(c.asked.size(), MsgBoxButton::Cancel));
        const QString path = TestHarness::WriteFile(QStringLiteral("list.txt"), c.bytes);
        Structure s(path, c.setup);
        s.dlg->show();
        if (c.then) c.then(*s.dlg);
        EXPECT_EQ(Columns(*s.dlg), c.columns);
        EXPECT_EQ(Rows(*s.dlg), c.rows);
        EXPECT_EQ(Entries(*s.dlg), c.entries);
        EXPECT_EQ(s.dlg->CboField->currentIndex(), c.chosen);
        EXPECT_EQ(Asked(before), c.asked);
        EXPECT_EQ(console.Has(QStringLiteral("Could not read records in ") + path), c.noRecords);
        EXPECT_EQ(Screen::Instance()->MousePointer(), 0);
    }
}

TEST_F(FrmStructureTest, OnlyTheHeadIsPreviewed) {
    // A 60,000-byte file: a short record, then one cut at 50,000 bytes.
    QByteArray bytes = "first;one\r\n";
    const qsizetype longStart = bytes.size();
    bytes += "second;" + QByteArray(60000 - longStart - 7, 'x');
    const QString path = TestHarness::WriteFile(QStringLiteral("big.txt"), bytes);
    Structure s(path, [](clsEmailList& l) {
        l.FldTab = false;
        l.FldCol = true;
    });
    const QList<QStringList> rows = Rows(*s.dlg);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows.at(0), (QStringList{"first", "one"}));
    EXPECT_EQ(rows.at(1).at(0), QStringLiteral("second"));
    EXPECT_EQ(rows.at(1).at(1), QString(50000 - longStart - 7, QLatin1Char('x')));
}

// A head cut inside a UTF-8 character ends the last row before it; a
// Latin-1 head is shown to its last byte.
TEST_F(FrmStructureTest, AHeadCutInsideACharacter) {
    struct Case {
        const char* name;
        QByteArray character;
        QString shown;
        qsizetype count;  // characters of the cut field shown
    } const cases[] = {
        {"utf-8", "\xc3\xa9", QStringLiteral("\u00e9"), (50000 - 3) / 2},
        {"latin-1", "\xe9", QStringLiteral("\u00e9"), 50000 - 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray bytes = "x;y" + c.character.repeated(60000);
        Structure s(TestHarness::WriteFile(QStringLiteral("cut.txt"), bytes), [](clsEmailList& l) {
            l.FldTab = false;
            l.FldCol = true;
        });
        const QList<QStringList> rows = Rows(*s.dlg);
        ASSERT_EQ(rows.size(), 1);
        EXPECT_EQ(rows[0].size(), 2);
        EXPECT_EQ(rows[0].value(0), "x");
        const QString field = rows[0].value(1);
        EXPECT_EQ(field.size(), c.count + 1);
        EXPECT_TRUE(field == "y" + c.shown.repeated(c.count));
    }
}

TEST_F(FrmStructureTest, AtMostFiftyRowsAndEmptyRecordsDoNotCount) {
    QByteArray bytes;
    for (int r = 1; r <= 70; ++r) bytes += "\r\nr" + QByteArray::number(r) + "\r\n";
    Structure s(TestHarness::WriteFile(QStringLiteral("rows.txt"), bytes));
    const QList<QStringList> rows = Rows(*s.dlg);
    ASSERT_EQ(rows.size(), 50);
    EXPECT_EQ(rows.first(), QStringList{"r1"});
    EXPECT_EQ(rows.last(), QStringList{"r50"});
}

TEST_F(FrmStructureTest, MissingFileIsReportedAndChangesNothing) {
    ListTest::Console console;
    const QString path = TestHarness::Folder() + QStringLiteral("/none.txt");
    Structure s(path);
    EXPECT_TRUE(console.Has(QStringLiteral("File not found : '") + path + "'"));
    EXPECT_EQ(s.dlg->LstStruct->ColumnCount(), 0);
    EXPECT_EQ(s.dlg->CboField->count(), 0);
    EXPECT_EQ(Screen::Instance()->MousePointer(), 0);
}

TEST_F(FrmStructureTest, InitializeLoadsTheControlsAndDisablesTheOwner) {
    const QString path = TestHarness::WriteFile(QStringLiteral("sub/my list.txt"), "a\r\n");
    Structure s(path, [](clsEmailList& l) {
        l.FldTab = l.FldOth = true;
        l.FldSep = "\\t|";
        l.RecCrLF = false;
        l.RecCr = true;
        l.RecSep = "^A";
    });
    FrmStructure& d = *s.dlg;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Select the column containing Emails in 'my list.txt'"));
    // The later flag wins, as in the descriptor.
    EXPECT_FALSE(d.OptFldTab->isChecked());
    EXPECT_TRUE(d.OptFldOth->isChecked());
    EXPECT_EQ(d.TxtFldSep->text(), QStringLiteral("\\t|"));
    EXPECT_TRUE(d.TxtFldSep->isEnabled());
    EXPECT_TRUE(d.ComFldCtrl->isEnabled());
    EXPECT_EQ(d.TxtFldSep->palette().color(QPalette::Base), SystemColors::System(5));
    EXPECT_TRUE(d.OptRecCr->isChecked());
    EXPECT_EQ(d.TxtRecSep->text(), QStringLiteral("^A"));
    EXPECT_FALSE(d.TxtRecSep->isEnabled());
    EXPECT_FALSE(d.ComRecCtrl->isEnabled());
    EXPECT_EQ(d.TxtRecSep->palette().color(QPalette::Base), SystemColors::System(15));
    EXPECT_FALSE(s.owner.Enabled());
    EXPECT_FALSE(d.Cancel);
    // The preview pane is the program's.
    ASSERT_TRUE(ListsCol[StructureList]);
    EXPECT_EQ(ListsCol[StructureList]->List(), d.LstStruct);
    EXPECT_EQ(ListsCol[StructureList]->LType, StructureList);
    EXPECT_EQ(ListsCol[StructureList]->name, QStringLiteral("Structure List"));
}

TEST_F(FrmStructureTest, ADescriptorWithoutAGroupChoosesNoOption) {
    Structure s(TestHarness::WriteFile(QStringLiteral("l.txt"), "a\r\n"), [](clsEmailList& l) {
        l.FldTab = false;
        l.RecCrLF = false;
    });
    for (QRadioButton* o : {s.dlg->OptFldTab, s.dlg->OptFldCom, s.dlg->OptFldCol, s.dlg->OptFldSpc, s.dlg->OptFldOth,
                            s.dlg->OptRecCr, s.dlg->OptRecLf, s.dlg->OptRecCrLf, s.dlg->OptRecOth})
        EXPECT_FALSE(o->isChecked()) << o->objectName().toStdString();
    // No separator: the preview is not built.
    EXPECT_EQ(s.dlg->LstStruct->ColumnCount(), 0);
}

TEST_F(FrmStructureTest, HeaderClickChoosesTheColumn) {
    Structure s(TestHarness::WriteFile(QStringLiteral("l.txt"), "a\tb\tc\r\nd\te\tf\r\n"));
    s.dlg->show();
    QCoreApplication::processEvents();
    const QList<QStringList> before = Rows(*s.dlg);
    QHeaderView* header = s.dlg->LstStruct->header();
    const QPoint third(header->sectionViewportPosition(2) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, third);
    EXPECT_EQ(s.dlg->CboField->currentIndex(), 2);
    EXPECT_EQ(s.dlg->focusWidget(), s.dlg->CboField);
    EXPECT_EQ(Rows(*s.dlg), before);
}

TEST_F(FrmStructureTest, SelectWritesExactlyItsFieldsAndHides) {
    const QString path = TestHarness::WriteFile(QStringLiteral("l.txt"), "a;b;c\r\n");
    Structure s(path, [](clsEmailList& l) {
        l.NameOut = "/o/out.mal";
        l.NameDup = "d";
        l.NameInv = "i";
        l.NameSta = "s";
        l.Domain = "abc.com";
        l.extension = "com";
        l.ByDomain = true;
        l.ChunkSize = 7;
        l.KeepAllCols = false;
    });
    const clsEmailList before = s.desc;
    ListDialogSeam::Install([](QDialog* dialog) {
        auto* d = qobject_cast<FrmStructure*>(dialog);
        ASSERT_NE(d, nullptr);
        d->OptFldCol->click();
        d->OptRecOth->click();
        d->TxtRecSep->setText(QStringLiteral("\\n"));
        d->CboField->setCurrentIndex(2);
        d->ComDone->click();
    });
    ListDialogSeam::ShowModal(s.dlg.get());
    EXPECT_FALSE(s.dlg->Cancel);
    EXPECT_FALSE(s.dlg->isVisible());
    EXPECT_EQ(ListTest::Changed(before, s.desc),
              (QStringList{"RecSep= -> \\n", "ColNbr=1 -> 3", "FldTab=True -> False", "FldCol=False -> True",
                           "RecCrLF=True -> False", "RecOth=False -> True"}));
    EXPECT_FALSE(s.owner.Enabled());
    s.dlg->Unload();
    EXPECT_TRUE(s.dlg->Cancel);
    EXPECT_TRUE(s.owner.Enabled());
}

TEST_F(FrmStructureTest, SelectWithoutAColumnAsks) {
    Structure s(TestHarness::WriteFile(QStringLiteral("l.txt"), "a\r\n"), [](clsEmailList& l) { l.ColNbr = 0; });
    const clsEmailList before = s.desc;
    TestHarness::AnswerMessages({MsgBoxButton::Ok});
    s.dlg->show();
    s.dlg->ComDone->click();
    ASSERT_EQ(TestHarness::AskedMessages().size(), 1);
    const MsgBoxRequest& r = TestHarness::AskedMessages().first();
    EXPECT_EQ(r.Title, QStringLiteral("No Column Selected"));
    EXPECT_EQ(r.message, QStringLiteral("A column containing the Email addresses must be selected !"));
    EXPECT_EQ(r.IconNb, MsgBoxIcon::Error);
    EXPECT_TRUE(r.ShowOk);
    EXPECT_FALSE(r.ShowCancel);
    EXPECT_TRUE(s.dlg->isVisible());
    EXPECT_EQ(ListTest::Changed(before, s.desc), QStringList());
}

TEST_F(FrmStructureTest, SelectRefusesOtherSeparatorsThatGiveNothingOrNul) {
    struct Case {
        const char* name;
        bool record;  // the record group, else the field group
        QString text;
        QString asked;
    };
    const Case cases[] = {
        {"empty field box", false, "", kNoField},
        {"field notation that converts to nothing", false, "^G", kNoField},
        {"a lone caret gives nothing", false, "^", kNoField},
        {"field NUL", false, "^@", kNullField},
        {"field NUL inside", false, "a^@b", kNullField},
        {"empty record box", true, "", kNoRecord},
        {"record NUL", true, "^@", kNullRecord},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ListTest::Console console;
        const qsizetype asked = TestHarness::AskedMessages().size();
        TestHarness::AnswerMessages({MsgBoxButton::Cancel});
        Structure s(TestHarness::WriteFile(QStringLiteral("l.txt"), "a;b\r\n"));
        const clsEmailList before = s.desc;
        bool stayedOpen = false;
        ListDialogSeam::Install([&](QDialog* dialog) {
            auto* d = qobject_cast<FrmStructure*>(dialog);
            ASSERT_NE(d, nullptr);
            // Chosen with an empty box, so that no preview runs.
            (c.record ? d->OptRecOth : d->OptFldOth)->click();
            (c.record ? d->TxtRecSep : d->TxtFldSep)->setText(c.text);
            d->ComDone->click();
            stayedOpen = d->isVisible();
            d->close();
        });
        ListDialogSeam::ShowModal(s.dlg.get());
        EXPECT_TRUE(stayedOpen);
        EXPECT_EQ(Asked(asked), QStringList{c.asked});
        EXPECT_TRUE(s.dlg->Cancel);
        EXPECT_EQ(ListTest::Changed(before, s.desc), QStringList());
        EXPECT_TRUE(s.owner.Enabled());
    }
}

TEST_F(FrmStructureTest, ClosingKeepsTheDescriptorAndEnablesTheOwner) {
    struct Case {
        const char* name;
        std::function<void(FrmStructure&)> close;
    };
    const Case cases[] = {
        {"the close button", [](FrmStructure& d) { d.close(); }},
        {"Esc", [](FrmStructure& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Structure s(TestHarness::WriteFile(QStringLiteral("l.txt"), "a;b\r\n"));
        const clsEmailList before = s.desc;
        ListDialogSeam::Install([&](QDialog* dialog) {
            auto* d = qobject_cast<FrmStructure*>(dialog);
            ASSERT_NE(d, nullptr);
            d->OptFldCol->click();
            d->CboField->setCurrentIndex(1);
            c.close(*d);
        });
        ListDialogSeam::ShowModal(s.dlg.get());
        EXPECT_TRUE(s.dlg->Cancel);
        EXPECT_FALSE(s.dlg->isVisible());
        EXPECT_EQ(s.dlg->Lst, nullptr);
        EXPECT_EQ(ListTest::Changed(before, s.desc), QStringList());
        EXPECT_TRUE(s.owner.Enabled());
    }
}

TEST_F(FrmStructureTest, EnterInASeparatorBoxRefreshesAndNeverSelects) {
    Structure s(TestHarness::WriteFile(QStringLiteral("l.txt"), "a|b|c\r\n"));
    s.dlg->show();
    s.dlg->OptFldOth->click();
    QTest::keyClicks(s.dlg->TxtFldSep, QStringLiteral("|"));
    QTest::keyClick(s.dlg->TxtFldSep, Qt::Key_Return);
    EXPECT_EQ(Columns(*s.dlg).size(), 3);
    EXPECT_TRUE(s.dlg->isVisible());
    EXPECT_EQ(s.desc.FldSep, QString());
}

TEST_F(FrmStructureTest, PickerWritesIntoTheRecordBoxDockedAtTheRightEdge) {
    TestHarness::AnswerMessages({MsgBoxButton::Cancel});
    Structure s(TestHarness::WriteFile(QStringLiteral("l.txt"), "a\r\n"), [](clsEmailList& l) {
        l.FldOth = true;
        l.FldSep = "x";
        l.RecCrLF = false;
        l.RecOth = true;
        l.RecSep = "";
    });
    // The first preview asked for the empty record box; no other question.
    EXPECT_EQ(Asked(0), QStringList{kNoRecord});
    int pickers = 0;
    ListDialogSeam::Install([&](QDialog* dialog) {
        if (auto* picker = qobject_cast<FrmControl*>(dialog)) {
            ++pickers;
            QWidget* owner = picker->OwnerForm;
            EXPECT_EQ(owner, s.dlg.get());
            EXPECT_EQ(FormGeometry::Left(picker), FormGeometry::Left(owner) + FormGeometry::Width(owner));
            QTest::mouseClick(picker->LabChar[30], Qt::LeftButton);
            QTest::mouseClick(picker->LabCharDesc[31], Qt::LeftButton);
            QTest::keyClick(picker, Qt::Key_Return);
            return;
        }
        auto* d = qobject_cast<FrmStructure*>(dialog);
        ASSERT_NE(d, nullptr);
        d->ComRecCtrl->click();
        EXPECT_EQ(d->TxtRecSep->text(), QStringLiteral("^^^_"));
        EXPECT_EQ(d->TxtFldSep->text(), QStringLiteral("x"));
        // The closed picker is gone: the button opens a new one.
        EXPECT_EQ(d->findChild<FrmControl*>(), nullptr);
        d->ComFldCtrl->click();
        EXPECT_EQ(d->TxtFldSep->text(), QStringLiteral("x^^^_"));
        d->close();
    });
    ListDialogSeam::ShowModal(s.dlg.get());
    EXPECT_EQ(pickers, 2);
}

// A click on "..." takes the focus, and the selection with it, from the box;
// the picker's token replaces what the user had selected.
TEST_F(FrmStructureTest, PickerReplacesTheSelectionOfTheFieldBox) {
    Structure s(TestHarness::WriteFile(QStringLiteral("l.txt"), "a;b\r\n"), [](clsEmailList& l) {
        l.FldOth = true;
        l.FldSep = "x;y";
    });
    ListDialogSeam::Install([&](QDialog* dialog) {
        if (auto* picker = qobject_cast<FrmControl*>(dialog)) {
            QTest::mouseClick(picker->LabChar[9], Qt::LeftButton);
            QTest::keyClick(picker, Qt::Key_Escape);
            return;
        }
        auto* d = qobject_cast<FrmStructure*>(dialog);
        ASSERT_NE(d, nullptr);
        d->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(d));
        d->TxtFldSep->setFocus();
        d->TxtFldSep->setSelection(1, 1);
        QTest::mouseClick(d->ComFldCtrl, Qt::LeftButton);
        EXPECT_EQ(d->TxtFldSep->text(), QStringLiteral("x\\ty"));
        d->close();
    });
    ListDialogSeam::ShowModal(s.dlg.get());
}

TEST_F(FrmStructureTest, UnloadClosesALoadedPicker) {
    Structure s(TestHarness::WriteFile(QStringLiteral("l.txt"), "a\r\n"), [](clsEmailList& l) {
        l.FldOth = true;
        l.FldSep = "|";
    });
    bool pickerOpenAfterUnload = true;
    ListDialogSeam::Install([&](QDialog* dialog) {
        if (auto* picker = qobject_cast<FrmControl*>(dialog)) {
            // The dialog goes while its picker is up.
            s.dlg->Unload();
            pickerOpenAfterUnload = picker->isVisible();
            return;
        }
        static_cast<FrmStructure*>(dialog)->ComFldCtrl->click();
    });
    ListDialogSeam::ShowModal(s.dlg.get());
    EXPECT_FALSE(pickerOpenAfterUnload);
    EXPECT_TRUE(s.dlg->Cancel);
    EXPECT_TRUE(s.owner.Enabled());
}

TEST_F(FrmStructureTest, ThePreviewPaneOutlivesTheDialogHarmlessly) {
    {
        Structure s(TestHarness::WriteFile(QStringLiteral("l.txt"), "a\tb\r\nc\td\r\n"));
        s.dlg->show();
        QFocusEvent focus(QEvent::FocusIn);
        QCoreApplication::sendEvent(s.dlg->LstStruct, &focus);
        EXPECT_EQ(ThisList, ListsCol[StructureList]);
        EXPECT_EQ(ThisList->GetCnt(), 2);
        s.dlg->Unload();
    }
    ASSERT_TRUE(ListsCol[StructureList]);
    ListPane& pane = *ThisList;
    EXPECT_EQ(pane.List(), nullptr);
    EXPECT_EQ(pane.GetCnt(), 0);
    EXPECT_EQ(pane.GetSel(), 0);
    pane.SelectAll();
    pane.DeselectAll();
    pane.InvertAll();
    pane.RemoveSel();
    pane.SetAll();
    pane.ResizeCols();
    pane.EnableForm(false);
    pane.Refresh();
    pane.Resize();
    pane.GetFocus();
    EXPECT_EQ(pane.GetColumnCount(), 0);
    EXPECT_EQ(pane.Frm.data(), nullptr);
}

TEST_F(FrmStructureTest, FirstResizeOnlyClearsTheFlag) {
    Structure s(TestHarness::WriteFile(QStringLiteral("l.txt"), "a\r\n"));
    const double width = ControlGeometry::Width(s.dlg->LstStruct);
    s.dlg->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(ControlGeometry::Width(s.dlg->LstStruct), width);
    s.dlg->resize(s.dlg->width() + 100, s.dlg->height() + 60);
    QCoreApplication::processEvents();
    EXPECT_EQ(ControlGeometry::Width(s.dlg->LstStruct), width + Twips::FromPixels(100));
    EXPECT_EQ(ControlGeometry::Left(s.dlg->ComDone), 7860 + Twips::FromPixels(100));
}

TEST_F(FrmStructureTest, SubstituteKnowsOnlyCaretTokens) {
    struct Case {
        QString in, out;
    };
    const Case cases[] = {
        {"^A,", QString(QChar(1)) + ","},   {"\\t", "\\t"}, {"a\\n^B", QString("a\\n") + QChar(2)}, {"^I", ""},
        {"^\\x", QString(QChar(28)) + "x"}, {"^G", ""},
    };
    FrmStructure d;
    for (const Case& c : cases) EXPECT_EQ(d.Substitute(c.in), c.out) << c.in.toStdString();
    EXPECT_EQ(d.Expand(QString(QChar(9)) + "|" + QChar(7)), QStringLiteral("\\t|\\a"));
}

}  // namespace
