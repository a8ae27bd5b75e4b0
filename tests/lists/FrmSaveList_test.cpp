// The save-and-split options dialog: its appearance for each caller, the
// enabling rules, the entry-count box, the file chooser and the
// confirmation with its checks and questions.
#include <functional>
#include <memory>

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "ControlGeometry.h"
#include "FrmControl.h"
#include "FrmSaveList.h"
#include "ListTestSupport.h"
#include "ProgramFolder.h"
#include "SystemColors.h"
#include "Twips.h"
#include "modDialog.h"
#include "modRegistry.h"

namespace {

using Change = std::function<void(clsEmailList&)>;
using Action = std::function<void(FrmSaveList&)>;

const SaveListDisplay kSave{
    .DoSepFld = true, .DoSepRec = true, .DoSplNbr = true, .DoSplDom = true, .DoFull = true, .DoMore = true};
const SaveListDisplay kSplit{.DoSplNbr = true, .DoSplDom = true, .DoFull = true};
const SaveListDisplay kBcc{};
const SaveListDisplay kMergeLists{.DoSepFld = true, .DoSepRec = true, .DoFull = true, .DoMore = true};
const SaveListDisplay kMergeFiles{.DoSepRec = true, .DoFull = true, .DoMore = true};

// A dialog loaded, displayed and initialised as its callers do it.
struct SaveDialog {
    ListTest::Owner owner;
    clsEmailList desc;
    std::unique_ptr<FrmSaveList> dlg;
    explicit SaveDialog(const SaveListDisplay& display = kSave, const Change& setup = {}) {
        if (setup) setup(desc);
        dlg = std::make_unique<FrmSaveList>(&owner.window);
        dlg->Form_Load();
        dlg->OwnerForm = &owner.window;
        dlg->ComSave->setText(QStringLiteral("Save"));
        dlg->setWindowTitle(QStringLiteral("Save list to file"));
        dlg->SetDisplay(display);
        dlg->Initialize(&desc);
    }
};

QStringList Asked(qsizetype from) {
    QStringList a;
    const auto& all = TestHarness::AskedMessages();
    for (qsizetype i = from; i < all.size(); ++i) a << all.at(i).Title + ": " + all.at(i).message;
    return a;
}

QString Path(const QString& name) { return QDir(TestHarness::Folder()).filePath(name); }

class FrmSaveListTest : public ListTest::DialogTest {};

TEST_F(FrmSaveListTest, StackingForEachCaller) {
    struct Frame {
        const char* name;
        double left, top, width;
    };
    struct Case {
        const char* name;
        SaveListDisplay display;
        int moreClicks;
        double height;     // the window's, twips
        double outHeight;  // FraOut's
        QStringList shown;
        QList<Frame> frames;
        QString more;
    };
    const QStringList all = {"FraFldSep", "FraRecSep", "FraSplNbr", "FraSplDom", "ChkFull", "ComMore"};
    const Case cases[] = {
        {"save, compact", kSave, 0, 1420, 1095, {"ComMore"}, {}, "More Criteria"},
        {"save, expanded",
         kSave,
         1,
         4300,
         1095,
         all,
         {{"FraFldSep", 0, 1095, 5655},
          {"FraRecSep", 0, 1950, 5655},
          {"FraSplNbr", 0, 2805, 1815},
          {"FraSplDom", 1920, 2805, 3735}},
         "Less Criteria"},
        {"save, collapsed again", kSave, 2, 1420, 1095, {"ComMore"}, {}, "More Criteria"},
        {"split",
         kSplit,
         0,
         2590,
         1095,
         {"FraSplNbr", "FraSplDom", "ChkFull"},
         {{"FraSplNbr", 0, 1095, 1815}, {"FraSplDom", 1920, 1095, 3735}},
         "More Criteria"},
        {"blind copy", kBcc, 0, 1020, 695, {}, {}, "More Criteria"},
        {"merge of the two lists, expanded",
         kMergeLists,
         1,
         3130,
         1095,
         {"FraFldSep", "FraRecSep", "ChkFull", "ComMore"},
         {{"FraFldSep", 0, 1095, 5655}, {"FraRecSep", 0, 1950, 5655}},
         "Less Criteria"},
        {"merge of files, expanded",
         kMergeFiles,
         1,
         2275,
         1095,
         {"FraRecSep", "ChkFull", "ComMore"},
         {{"FraRecSep", 0, 1095, 5655}},
         "Less Criteria"},
        {"the entry-count frame alone takes the row",
         {.DoSplNbr = true},
         0,
         2190,
         695,
         {"FraSplNbr"},
         {{"FraSplNbr", 0, 695, 5655}},
         "More Criteria"},
        {"the domain frame alone takes the row",
         {.DoSplDom = true},
         0,
         2190,
         695,
         {"FraSplDom"},
         {{"FraSplDom", 0, 695, 5655}},
         "More Criteria"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SaveDialog s(c.display);
        for (int i = 0; i < c.moreClicks; ++i) s.dlg->ComMore->click();
        FrmSaveList& d = *s.dlg;
        EXPECT_EQ(d.FormHeight(), c.height);
        // Title bar and borders are not the client's.
        EXPECT_EQ(d.height(), Twips::ToPixels(c.height - 325));
        EXPECT_EQ(d.width(), Twips::ToPixels(5655));
        EXPECT_EQ(ControlGeometry::Height(d.FraOut), c.outHeight);
        QStringList shown;
        for (const QString& name : all)
            if (d.findChild<QWidget*>(name)->isVisibleTo(&d)) shown << name;
        EXPECT_EQ(shown, c.shown);
        for (const Frame& f : c.frames) {
            const QWidget* w = d.findChild<QWidget*>(QString::fromLatin1(f.name));
            EXPECT_EQ(ControlGeometry::Left(w), f.left) << f.name;
            EXPECT_EQ(ControlGeometry::Top(w), f.top) << f.name;
            EXPECT_EQ(ControlGeometry::Width(w), f.width) << f.name;
        }
        EXPECT_EQ(d.ComMore->text(), c.more);
        // Every display keeps the output row.
        EXPECT_TRUE(d.TxtOutFile->isVisibleTo(&d));
        EXPECT_TRUE(d.ComSave->isVisibleTo(&d));
        EXPECT_EQ(d.HasMore, c.display.DoMore);
    }
    SaveDialog domainAlone({.DoSplDom = true});
    EXPECT_EQ(ControlGeometry::Width(domainAlone.dlg->TxtDomain), 5655 - 240);
}

TEST_F(FrmSaveListTest, ValuesEnteredWhileExpandedSurviveTheCollapse) {
    SaveDialog s(kSave, [](clsEmailList& l) { l.NameOut = Path("out.mal"); });
    s.dlg->show();
    s.dlg->ComMore->click();
    s.dlg->OptFldCol->click();
    s.dlg->ChkFull->click();
    s.dlg->ComMore->click();
    s.dlg->ComSave->click();
    EXPECT_FALSE(s.dlg->isVisible());
    EXPECT_TRUE(s.desc.FldCol);
    EXPECT_FALSE(s.desc.FldTab);
    EXPECT_FALSE(s.desc.KeepAllCols);
}

TEST_F(FrmSaveListTest, InitializeAndTheEnablingRules) {
    struct Case {
        const char* name;
        Change setup;
        QStringList enabled;  // of the controls below
    };
    const QStringList controls = {"TxtFldSep", "ComFldCtrl", "TxtRecSep", "ComRecCtrl",   "TxtChunk", "OptSplDom",
                                  "OptSplExt", "TxtDomain",  "LabDom",    "TxtExtension", "LabExt"};
    const Case cases[] = {
        {"a new descriptor", {}, {}},
        {"other field separator", [](clsEmailList& l) { l.FldOth = true; }, {"TxtFldSep", "ComFldCtrl"}},
        {"other record separator", [](clsEmailList& l) { l.RecOth = true; }, {"TxtRecSep", "ComRecCtrl"}},
        {"split by entry count", [](clsEmailList& l) { l.ByRecNbr = true; }, {"TxtChunk"}},
        {"split by domain name",
         [](clsEmailList& l) { l.ByDomain = true; },
         {"OptSplDom", "OptSplExt", "TxtDomain", "LabDom"}},
        {"split by domain extension",
         [](clsEmailList& l) {
             l.ByDomain = true;
             l.ByDomNam = false;
             l.ByDomExt = true;
         },
         {"OptSplDom", "OptSplExt", "TxtExtension", "LabExt"}},
        {"split by domain, neither kind",
         [](clsEmailList& l) {
             l.ByDomain = true;
             l.ByDomNam = false;
         },
         {"OptSplDom", "OptSplExt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SaveDialog s(kSave, c.setup);
        FrmSaveList& d = *s.dlg;
        QStringList enabled;
        for (const QString& name : controls)
            if (d.findChild<QWidget*>(name)->isEnabled()) enabled << name;
        EXPECT_EQ(enabled, c.enabled);
        for (QLineEdit* box : {d.TxtFldSep, d.TxtRecSep, d.TxtChunk, d.TxtDomain, d.TxtExtension})
            EXPECT_EQ(box->palette().color(QPalette::Base), SystemColors::System(box->isEnabled() ? 5 : 15))
                << box->objectName().toStdString();
        // Not shown yet: no rule moved the focus.
        EXPECT_EQ(d.focusWidget(), nullptr);
        EXPECT_EQ(d.OptSplDom->isChecked(), s.desc.ByDomNam);
        EXPECT_EQ(d.OptSplExt->isChecked(), s.desc.ByDomExt);
        EXPECT_FALSE(s.owner.Enabled());
    }
}

TEST_F(FrmSaveListTest, ControlsTakeTheDescriptorsValues) {
    SaveDialog s(kSave, [](clsEmailList& l) {
        l.NameOut = "/a/b.mal";
        l.ChunkSize = 250;
        l.KeepAllCols = false;
        l.Domain = "abc.com";
        l.extension = "org";
        l.FldTab = false;
        l.FldSpc = true;
        l.FldSep = "^A";
        l.RecCrLF = false;
        l.RecOth = true;
        l.RecSep = "\\n\\n";
        l.ByRecNbr = true;
    });
    FrmSaveList& d = *s.dlg;
    EXPECT_EQ(d.TxtOutFile->text(), QStringLiteral("/a/b.mal"));
    EXPECT_EQ(d.TxtChunk->text(), QStringLiteral("250"));
    EXPECT_FALSE(d.ChkFull->isChecked());
    EXPECT_EQ(d.TxtDomain->text(), QStringLiteral("abc.com"));
    EXPECT_EQ(d.TxtExtension->text(), QStringLiteral("org"));
    EXPECT_TRUE(d.OptFldSpc->isChecked());
    EXPECT_EQ(d.TxtFldSep->text(), QStringLiteral("^A"));
    EXPECT_TRUE(d.OptRecOth->isChecked());
    EXPECT_EQ(d.TxtRecSep->text(), QStringLiteral("\\n\\n"));
    EXPECT_TRUE(d.ChkSplNbr->isChecked());
    EXPECT_FALSE(d.ChkSplDom->isChecked());
}

TEST_F(FrmSaveListTest, RulesMoveTheFocusWhileShown) {
    SaveDialog s(kSplit);
    FrmSaveList& d = *s.dlg;
    d.show();
    d.ChkSplDom->click();
    EXPECT_TRUE(d.TxtDomain->isEnabled());
    EXPECT_EQ(d.focusWidget(), d.TxtDomain);
    d.OptSplExt->click();
    EXPECT_EQ(d.focusWidget(), d.TxtExtension);
    EXPECT_TRUE(d.LabExt->isEnabled());
    EXPECT_FALSE(d.TxtDomain->isEnabled());
    EXPECT_FALSE(d.LabDom->isEnabled());
    EXPECT_EQ(d.TxtDomain->palette().color(QPalette::Base), SystemColors::System(15));
    d.ChkSplDom->click();
    for (QWidget* w :
         std::initializer_list<QWidget*>{d.OptSplDom, d.OptSplExt, d.LabDom, d.LabExt, d.TxtDomain, d.TxtExtension})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    d.ChkSplNbr->click();
    EXPECT_EQ(d.focusWidget(), d.TxtChunk);
}

TEST_F(FrmSaveListTest, EntryCountBox) {
    struct Case {
        const char* name;
        QString before;
        std::function<void(QLineEdit*)> type;
        QString after;
    };
    const Case cases[] = {
        {"letters and signs are refused", "", [](QLineEdit* b) { QTest::keyClicks(b, "a1-b2 .3"); }, "123"},
        {"Backspace works", "12", [](QLineEdit* b) { QTest::keyClick(b, Qt::Key_Backspace); }, "1"},
        {"at most nine digits", "", [](QLineEdit* b) { QTest::keyClicks(b, "1234567890"); }, "123456789"},
        {"an empty box reads 0 when left", "5",
         [](QLineEdit* b) {
             QTest::keyClick(b, Qt::Key_Backspace);
             QFocusEvent out(QEvent::FocusOut);
             QCoreApplication::sendEvent(b, &out);
         },
         "0"},
        {"a pasted text must be digits", "4",
         [](QLineEdit* b) {
             b->selectAll();
             b->insert(QStringLiteral("x9"));
         },
         "4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SaveDialog s(kSplit, [](clsEmailList& l) { l.ByRecNbr = true; });
        s.dlg->show();
        s.dlg->TxtChunk->setText(c.before);
        s.dlg->TxtChunk->setCursorPosition(static_cast<int>(c.before.size()));
        c.type(s.dlg->TxtChunk);
        EXPECT_EQ(s.dlg->TxtChunk->text(), c.after);
    }
}

TEST_F(FrmSaveListTest, ChooserThroughTheFileDialogSeam) {
    struct Case {
        const char* name;
        QString wrkDir;  // "" none stored
        QStringList chosen;
        QString initDir;
    };
    const QString work = Path("work");
    QDir().mkpath(work);
    QDir().mkpath(Path("out"));
    const Case cases[] = {
        {"a file chosen", work + "/", {Path("out/new.mal")}, work},
        {"cancelled", work, {}, work},
        {"no folder stored: the program's", "", {Path("out/new.mal")}, ProgramFolder::Path()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.wrkDir.isEmpty())
            modRegistry::SetSettingsFile(Path(QStringLiteral("other/settings.conf")));
        else
            modRegistry::SetSetting(QStringLiteral("WrkDir"), c.wrkDir);
        SaveDialog s(kSave, [](clsEmailList& l) {
            l.NameSrc = "/in/list.txt";
            l.NameOut = "/in/list.out";
            l.NameDup = "/in/list.dup";
            l.NameSta = "/in/list.sta";
            l.NameInv = "/in/list.inv";
        });
        const clsEmailList before = s.desc;
        modDialog::FileDialogRequest request;
        modDialog::InstallChooser([&](const modDialog::FileDialogRequest& r) {
            request = r;
            return c.chosen;
        });
        s.dlg->ComOutFile->click();
        EXPECT_EQ(request.Title, QStringLiteral("Select a target file name"));
        EXPECT_EQ(request.InitDir, c.initDir);
        EXPECT_EQ(request.DefExt, QStringLiteral("mal"));
        EXPECT_EQ(request.Flags, modDialog::OFN_HIDEREADONLY);
        EXPECT_EQ(request.FilterIndex, 1);
        EXPECT_EQ(request.OkCaption, QStringLiteral("Select"));
        EXPECT_EQ(request.CancelCaption, QStringLiteral("Cancel"));
        EXPECT_EQ(request.NameFilters,
                  (QStringList{"All Mail Address List Files (*.mal *.out)", "Mail Address List files (*.mal)",
                               "Mail Address List files (*.out)", "Text files (*.txt)", "All files (*)"}));
        if (c.chosen.isEmpty()) {
            EXPECT_EQ(ListTest::Changed(before, s.desc), QStringList());
            EXPECT_EQ(modRegistry::GetSetting(QStringLiteral("WrkDir"), QString()), c.wrkDir);
            continue;
        }
        EXPECT_EQ(ListTest::Changed(before, s.desc),
                  (QStringList{"NameSrc=/in/list.txt -> ", "NameOut=/in/list.out -> " + c.chosen.first(),
                               "NameDup=/in/list.dup -> ", "NameSta=/in/list.sta -> "}));
        EXPECT_EQ(s.dlg->TxtOutFile->text(), c.chosen.first());
        EXPECT_EQ(modRegistry::GetSetting(QStringLiteral("WrkDir"), QString()), Path("out") + "/");
    }
}

TEST_F(FrmSaveListTest, Confirmation) {
    struct Case {
        const char* name;
        SaveListDisplay display;
        QStringList files;  // present in the test's folder ("/" at the end: a folder)
        Change setup;       // NameOut is relative to the folder
        Action act;         // before the confirm button
        QList<int> answers;
        QStringList asked;
        bool written;  // the domain box's new text reached the descriptor, the dialog hid
    };
    auto out = [](const char* name) { return [name](clsEmailList& l) { l.NameOut = Path(name); }; };
    auto splitByCount = [](FrmSaveList& d) { d.ChkSplNbr->click(); };
    const QString plainQuestion = QStringLiteral(
        "File Already Exists: The specified file already exists ! If you choose yes,\r\n"
        "the existing filename will be overwritten.\r\nDo you want to proceed anyway ?");
    auto patternQuestion = [](const char* pattern) {
        return QStringLiteral(
                   "File(s) Already Exists: File(s) with the following name pattern already exist :\r\n\r\n'") +
               pattern +
               QStringLiteral(
                   "'\r\n\r\nIf you choose yes, the existing filenames will be\r\n"
                   "overwritten. Do you want to proceed anyway ?");
    };
    const Case cases[] = {
        {"no output name",
         kSave,
         {},
         {},
         {},
         {MsgBoxButton::Ok},
         {"Invalid Output File: An Output file name must be specified !"},
         false},
        {"a new file", kSave, {}, out("new.mal"), {}, {}, {}, true},
        {"file present, Yes", kSave, {"list.out"}, out("list.out"), {}, {MsgBoxButton::Yes}, {plainQuestion}, true},
        {"file present, No", kSave, {"list.out"}, out("list.out"), {}, {MsgBoxButton::No}, {plainQuestion}, false},
        {"file present, box closed without an answer",
         kSave,
         {"list.out"},
         out("list.out"),
         {},
         {0},
         {plainQuestion},
         false},
        {"file present, box failed", kSave, {"list.out"}, out("list.out"), {}, {-1}, {plainQuestion}, false},
        {"a folder is no file", kSave, {"list.out/"}, out("list.out"), {}, {}, {}, true},
        {"split: a split file present",
         kSplit,
         {"list_1.out"},
         out("list.out"),
         splitByCount,
         {MsgBoxButton::Yes},
         {patternQuestion("list*.out")},
         true},
        {"split: the output itself present",
         kSplit,
         {"list.out"},
         out("list.out"),
         splitByCount,
         {MsgBoxButton::No},
         {patternQuestion("list*.out")},
         false},
        {"split, no extension: asked too",
         kSplit,
         {"list"},
         out("list"),
         splitByCount,
         {MsgBoxButton::No},
         {patternQuestion("list*")},
         false},
        {"split, nothing matches", kSplit, {"other.out"}, out("list.out"), splitByCount, {}, {}, true},
        {"split by domain asks the same",
         kSplit,
         {"list_abc.out"},
         out("list.out"),
         [](FrmSaveList& d) { d.ChkSplDom->click(); },
         {MsgBoxButton::Yes},
         {patternQuestion("list*.out")},
         true},
        {"offered field group: an empty other is refused",
         kSave,
         {},
         [](clsEmailList& l) {
             l.NameOut = Path("new.mal");
             l.FldOth = true;
         },
         {},
         {MsgBoxButton::Cancel},
         {"Invalid Field Separator: No field separator has been provided !"},
         false},
        {"offered record group: NUL is refused",
         kSave,
         {},
         [](clsEmailList& l) {
             l.NameOut = Path("new.mal");
             l.RecOth = true;
             l.RecSep = "^@";
         },
         {},
         {MsgBoxButton::Cancel},
         {"Invalid Record Separator: The separator cannot contain the Null character (^@) !"},
         false},
        {"a group not offered goes back as it came",
         kMergeFiles,
         {},
         [](clsEmailList& l) {
             l.NameOut = Path("new.mal");
             l.FldOth = true;
             l.FldSep = "^G";
         },
         {},
         {},
         {},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const QString& f : c.files) {
            if (f.endsWith('/'))
                QDir().mkpath(Path(f));
            else
                TestHarness::WriteFile(f, "x");
        }
        const qsizetype asked = TestHarness::AskedMessages().size();
        TestHarness::AnswerMessages(c.answers);
        SaveDialog s(c.display, c.setup);
        s.dlg->show();
        if (c.act) c.act(*s.dlg);
        s.dlg->TxtDomain->setText(QStringLiteral("changed.com"));
        const clsEmailList before = s.desc;
        s.dlg->ComSave->click();
        EXPECT_EQ(Asked(asked), c.asked);
        EXPECT_EQ(s.desc.Domain == QStringLiteral("changed.com"), c.written);
        EXPECT_EQ(s.dlg->isVisible(), !c.written);
        if (!c.written) {
            EXPECT_EQ(ListTest::Changed(before, s.desc), QStringList());
        }
        EXPECT_FALSE(s.dlg->Cancel);
        for (const QString& f : c.files) {
            QDir(Path(f)).removeRecursively();
            QFile::remove(Path(f));
        }
    }
}

TEST_F(FrmSaveListTest, ConfirmationWritesEveryField) {
    SaveDialog s(kSave, [](clsEmailList& l) {
        l.NameOut = Path("o.mal");
        l.NameInv = "inv";
    });
    FrmSaveList& d = *s.dlg;
    const clsEmailList before = s.desc;
    d.show();
    d.ComMore->click();
    d.OptFldOth->click();
    d.TxtFldSep->setText(QStringLiteral("^A|"));
    d.OptRecLf->click();
    d.ChkSplNbr->click();
    d.TxtChunk->setText(QStringLiteral("007"));
    d.ChkSplDom->click();
    d.OptSplExt->click();
    d.TxtExtension->setText(QStringLiteral("com"));
    d.ChkFull->click();
    d.ComSave->click();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(ListTest::Changed(before, s.desc),
              (QStringList{"extension= -> com", "FldSep= -> ^A|", "FldTab=True -> False", "FldOth=False -> True",
                           "RecLf=False -> True", "RecCrLF=True -> False", "ByDomain=False -> True",
                           "ByDomNam=True -> False", "ByDomExt=False -> True", "ByRecNbr=False -> True",
                           "KeepAllCols=True -> False", "ChunkSize=0 -> 7"}));
}

TEST_F(FrmSaveListTest, BlindCopyWritesEverythingBackUnchanged) {
    SaveDialog s(kBcc, [](clsEmailList& l) {
        // One choice per group, as the dialogs leave a descriptor.
        l.NameOut = Path("o.mal");
        l.FldTab = false;
        l.FldCom = true;
        l.RecCrLF = false;
        l.RecOth = true;
        l.RecSep = "||";
        l.ChunkSize = 12;
        l.ByDomain = true;
        l.ByDomNam = false;
        l.ByDomExt = true;
        l.Domain = "abc.com";
        l.extension = "net";
        l.KeepAllCols = false;
    });
    const clsEmailList before = s.desc;
    s.dlg->show();
    s.dlg->ComSave->click();
    EXPECT_FALSE(s.dlg->isVisible());
    EXPECT_EQ(ListTest::Changed(before, s.desc), QStringList());
}

TEST_F(FrmSaveListTest, ClosingKeepsTheTypedNameAndEnablesTheOwner) {
    struct Case {
        const char* name;
        std::function<void(FrmSaveList&)> close;
    };
    const Case cases[] = {
        {"the close button", [](FrmSaveList& d) { d.close(); }},
        {"Esc", [](FrmSaveList& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SaveDialog s(kSave, [](clsEmailList& l) { l.NameOut = "/a.mal"; });
        const clsEmailList before = s.desc;
        ListDialogSeam::Install([&](QDialog* dialog) {
            auto* d = qobject_cast<FrmSaveList*>(dialog);
            ASSERT_NE(d, nullptr);
            d->TxtOutFile->selectAll();
            QTest::keyClicks(d->TxtOutFile, QStringLiteral("/b.mal"));
            d->ComMore->click();
            d->OptFldCom->click();
            c.close(*d);
        });
        ListDialogSeam::ShowModal(s.dlg.get());
        EXPECT_TRUE(s.dlg->Cancel);
        EXPECT_EQ(s.dlg->Lst, nullptr);
        EXPECT_EQ(ListTest::Changed(before, s.desc), QStringList{"NameOut=/a.mal -> /b.mal"});
        EXPECT_TRUE(s.owner.Enabled());
    }
}

TEST_F(FrmSaveListTest, PickerWritesIntoTheFocusedSeparatorBox) {
    SaveDialog s(kSave, [](clsEmailList& l) {
        l.NameOut = Path("o.mal");
        l.FldOth = true;
        l.RecOth = true;
    });
    ListDialogSeam::Install([&](QDialog* dialog) {
        if (auto* picker = qobject_cast<FrmControl*>(dialog)) {
            QTest::mouseClick(picker->LabChar[9], Qt::LeftButton);
            QTest::keyClick(picker, Qt::Key_Escape);
            return;
        }
        auto* d = qobject_cast<FrmSaveList*>(dialog);
        ASSERT_NE(d, nullptr);
        d->ComMore->click();
        d->ComRecCtrl->click();
        d->ComFldCtrl->click();
        d->ComFldCtrl->click();
        d->ComSave->click();
    });
    ListDialogSeam::ShowModal(s.dlg.get());
    EXPECT_FALSE(s.dlg->Cancel);
    EXPECT_EQ(s.desc.FldSep, QStringLiteral("\\t\\t"));
    EXPECT_EQ(s.desc.RecSep, QStringLiteral("\\t"));
    EXPECT_EQ(s.desc.FieldSep(), QStringLiteral("\t\t"));
}

// The "..." button takes the focus from the box on a click, and the box
// lost its selection with it: the picker's token must still replace it.
TEST_F(FrmSaveListTest, PickerReplacesTheSelectionTheBoxHadBeforeTheButtonClick) {
    struct Case {
        const char* name;
        int start, length;   // selected in the record box (negative: dragged leftwards); 0: caret at start
        bool fieldBoxBetween;  // the user clicked into the field box before the record button
        const char* expected;
        int caret;
    };
    const Case cases[] = {
        {"selected rightwards", 2, 3, false, "ab\\rf", 4},
        {"selected leftwards", 5, -3, false, "ab\\rf", 4},
        {"all of it", 0, 6, false, "\\r", 2},
        {"the caret alone", 3, 0, false, "abc\\rdef", 5},
        {"kept while the field box had the focus", 1, 2, true, "a\\rdef", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SaveDialog s(kSave, [](clsEmailList& l) {
            l.NameOut = Path("o.mal");
            l.RecOth = true;
            l.FldOth = true;
            l.RecSep = QStringLiteral("abcdef");
        });
        ListDialogSeam::Install([&](QDialog* dialog) {
            if (auto* picker = qobject_cast<FrmControl*>(dialog)) {
                QTest::mouseClick(picker->LabChar[13], Qt::LeftButton);
                QTest::keyClick(picker, Qt::Key_Escape);
                return;
            }
            auto* d = qobject_cast<FrmSaveList*>(dialog);
            ASSERT_NE(d, nullptr);
            d->ComMore->click();
            d->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(d));
            d->TxtRecSep->setFocus();
            d->TxtRecSep->setCursorPosition(c.start);
            if (c.length != 0) d->TxtRecSep->setSelection(c.start, c.length);
            if (c.fieldBoxBetween) QTest::mouseClick(d->TxtFldSep, Qt::LeftButton);
            QTest::mouseClick(d->ComRecCtrl, Qt::LeftButton);
            EXPECT_EQ(d->TxtRecSep->text(), QString::fromLatin1(c.expected));
            EXPECT_EQ(d->TxtRecSep->cursorPosition(), c.caret);
            d->close();
        });
        ListDialogSeam::ShowModal(s.dlg.get());
    }
}

TEST_F(FrmSaveListTest, WithoutADescriptorNothingIsWritten) {
    ListTest::Console console;
    ListTest::Owner owner;
    FrmSaveList d(&owner.window);
    d.Form_Load();
    d.OwnerForm = &owner.window;
    d.SetDisplay(kSave);
    d.Initialize(nullptr);
    EXPECT_TRUE(owner.Enabled());
    d.TxtOutFile->setText(QStringLiteral("/x.mal"));
    d.ComSave->click();
    EXPECT_TRUE(console.Has(QStringLiteral("No list descriptor has been given to the dialog")));
}

TEST_F(FrmSaveListTest, DestroyedWithoutAnUnloadTheOwnerIsEnabledAgain) {
    ListTest::Owner owner;
    clsEmailList desc;
    {
        FrmSaveList d(&owner.window);
        d.Form_Load();
        d.OwnerForm = &owner.window;
        d.SetDisplay(kSave);
        d.Initialize(&desc);
        EXPECT_FALSE(owner.Enabled());
    }
    EXPECT_TRUE(owner.Enabled());
}

}  // namespace
