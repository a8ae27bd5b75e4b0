// The list dialogs driven on the real main window as the import, the block
// list, the file pane, the save, the split, the blind copy and both merges
// drive them: the descriptor after confirming and after closing, and the
// main window usable again either way.
#include <functional>
#include <memory>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include "../lists/ListTestSupport.h"
#include "FrmControl.h"
#include "FrmMain.h"
#include "FrmSaveList.h"
#include "FrmStructure.h"
#include "ListDialogSeam.h"
#include "ListKind.h"
#include "ListsCol.h"
#include "MainFixture.h"
#include "ModalShade.h"
#include "OwnerEnabler.h"
#include "modGlobalFunctionsFiles.h"

namespace {

using ListTest::Changed;

bool MainUsable(const FrmMain& w) {
    return OwnerEnabler::IsEnabled(&w) && w.SSTab->isEnabled() && w.menuBar()->isEnabled();
}

// The structure dialog's protocol, as its three callers follow it; True
// when the window was closed.
bool AskStructure(FrmMain& w, clsEmailList& desc) {
    if (QWidget* loaded = modGlobalFunctions::IsFormLoaded(QStringLiteral("FrmStructure"))) loaded->close();
    auto dlg = std::make_unique<FrmStructure>(&w);
    dlg->Form_Load();
    dlg->OwnerForm = &w;
    dlg->Initialize(&desc);
    dlg->ApplySeparators();
    ListDialogSeam::ShowModal(dlg.get());
    const bool cancel = dlg->Cancel;
    dlg->Unload();
    return cancel;
}

// The save dialog's protocol, as its five callers follow it.
bool AskSave(FrmMain& w, clsEmailList& desc, const QString& verb, const QString& caption,
             const SaveListDisplay& display) {
    auto dlg = std::make_unique<FrmSaveList>(&w);
    dlg->Form_Load();
    dlg->OwnerForm = &w;
    dlg->ComSave->setText(verb);
    dlg->setWindowTitle(caption);
    dlg->SetDisplay(display);
    dlg->Initialize(&desc);
    ListDialogSeam::ShowModal(dlg.get());
    const bool cancel = dlg->Cancel;
    dlg->Unload();
    return cancel;
}

class ListDialogsOnTheMainWindow : public ListTest::DialogTest {
protected:
    void SetUp() override {
        ListTest::DialogTest::SetUp();
        MainFixture::WriteReferenceFiles();
        w = std::make_unique<FrmMain>();
        w->Form_Load();
        ASSERT_TRUE(MainUsable(*w));
    }
    void TearDown() override {
        w.reset();
        ListTest::DialogTest::TearDown();
    }
    std::unique_ptr<FrmMain> w;
};

TEST_F(ListDialogsOnTheMainWindow, StructureCallers) {
    struct Case {
        const char* name;
        clsEmailList FrmMain::*desc;
    };
    const Case cases[] = {
        {"import into the left list", &FrmMain::LeftListDesc},
        {"import into the right list", &FrmMain::RightListDesc},
        {"the block list's structure", &FrmMain::BlockListDesc},
        {"the file pane's separators", &FrmMain::MergeDesc},
    };
    const QString file =
        TestHarness::WriteFile(QStringLiteral("in/list.txt"), "Ann;ann@a.example;x\r\nBo;bo@b.example;y\r\n");
    for (const Case& c : cases) {
        for (const bool confirm : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (confirm ? ", confirmed" : ", closed"));
            clsEmailList& desc = (*w).*c.desc;
            desc = clsEmailList();
            desc.NameSrc = file;
            const clsEmailList before = desc;
            bool disabledWhileShown = false;
            ListDialogSeam::Install([&](QDialog* dialog) {
                auto* d = qobject_cast<FrmStructure*>(dialog);
                ASSERT_NE(d, nullptr);
                disabledWhileShown = !MainUsable(*w);
                EXPECT_EQ(d->windowTitle(), QStringLiteral("Select the column containing Emails in 'list.txt'"));
                d->OptFldCol->click();
                EXPECT_EQ(d->CboField->count(), 3);
                d->CboField->setCurrentIndex(1);
                if (confirm)
                    d->ComDone->click();
                else
                    d->close();
            });
            EXPECT_EQ(AskStructure(*w, desc), !confirm);
            EXPECT_TRUE(disabledWhileShown);
            EXPECT_TRUE(MainUsable(*w));
            const QStringList confirmed = {"ColNbr=1 -> 2", "FldTab=True -> False", "FldCol=False -> True"};
            EXPECT_EQ(Changed(before, desc), confirm ? confirmed : QStringList());
            EXPECT_EQ(desc.FieldSep(), confirm ? QStringLiteral(";") : QStringLiteral("\t"));
        }
    }
    // The preview pane stays in the table, harmless, until the window goes.
    ASSERT_TRUE(ListsCol[StructureList]);
    EXPECT_EQ(ListsCol[StructureList]->List(), nullptr);
    ListsCol[StructureList]->SetAll();
    EXPECT_EQ(ListsCol[StructureList]->GetCnt(), 0);
}

TEST_F(ListDialogsOnTheMainWindow, SaveCallers) {
    struct Case {
        const char* name;
        QString verb, caption;
        SaveListDisplay display;
        std::function<clsEmailList(FrmMain&)> workCopy;
        QStringList confirmed;  // the descriptor's changes after the dialog was confirmed
    };
    auto copyOf = [](clsEmailList FrmMain::*desc) {
        return [desc](FrmMain& m) {
            clsEmailList copy;
            ((m.*desc)).CopyTo(&copy);
            return copy;
        };
    };
    auto forMerge = [](std::function<clsEmailList(FrmMain&)> from) {
        return [from](FrmMain& m) {
            clsEmailList d = from(m);
            d.KeepAllCols = false;
            return d;
        };
    };
    const QString out = TestHarness::Folder() + QStringLiteral("/result.out");
    const Case cases[] = {
        {"save a list",
         "Save",
         "Save list to file",
         {.DoSepFld = true, .DoSepRec = true, .DoSplNbr = true, .DoSplDom = true, .DoFull = true, .DoMore = true},
         copyOf(&FrmMain::LeftListDesc),
         {"NameOut= -> " + out, "Domain= -> abc.com", "FldTab=True -> False", "FldCol=False -> True",
          "RecLf=False -> True", "RecCrLF=True -> False", "ByDomain=False -> True", "ByRecNbr=False -> True",
          "KeepAllCols=True -> False", "ChunkSize=0 -> 100"}},
        {"split a list",
         "Split",
         "Split list",
         {.DoSplNbr = true, .DoSplDom = true, .DoFull = true},
         copyOf(&FrmMain::RightListDesc),
         {"NameOut= -> " + out, "Domain= -> abc.com", "ByDomain=False -> True", "ByRecNbr=False -> True",
          "KeepAllCols=True -> False", "ChunkSize=0 -> 100"}},
        {"blind-copy list",
         "Save",
         "Save Bcc List to file",
         {},
         copyOf(&FrmMain::LeftListDesc),
         {"NameOut= -> " + out}},
        {"merge the two lists",
         "Merge",
         "Merge Left and Right lists",
         {.DoSepFld = true, .DoSepRec = true, .DoFull = true, .DoMore = true},
         forMerge([](FrmMain&) { return clsEmailList(); }),
         {"NameOut= -> " + out, "FldTab=True -> False", "FldCol=False -> True", "RecLf=False -> True",
          "RecCrLF=True -> False", "KeepAllCols=False -> True"}},
        {"merge the file pane's files",
         "Merge",
         "Merge multiple files",
         {.DoSepRec = true, .DoFull = true, .DoMore = true},
         forMerge(copyOf(&FrmMain::MergeDesc)),
         {"NameOut= -> " + out, "RecLf=False -> True", "RecCrLF=True -> False", "KeepAllCols=False -> True"}},
    };
    for (const Case& c : cases) {
        for (const bool confirm : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (confirm ? ", confirmed" : ", closed"));
            clsEmailList desc = c.workCopy(*w);
            const clsEmailList before = desc;
            bool disabledWhileShown = false;
            ListDialogSeam::Install([&](QDialog* dialog) {
                auto* d = qobject_cast<FrmSaveList*>(dialog);
                ASSERT_NE(d, nullptr);
                disabledWhileShown = !MainUsable(*w);
                EXPECT_EQ(d->windowTitle(), c.caption);
                EXPECT_EQ(d->ComSave->text(), c.verb);
                QTest::keyClicks(d->TxtOutFile, out);
                if (c.display.DoMore) d->ComMore->click();
                // What a user changes in every group shown.
                if (d->FraFldSep->isVisible()) d->OptFldCol->click();
                if (d->FraRecSep->isVisible()) d->OptRecLf->click();
                if (d->ChkFull->isVisible()) d->ChkFull->click();
                if (d->FraSplNbr->isVisible()) {
                    d->ChkSplNbr->click();
                    d->TxtChunk->selectAll();
                    QTest::keyClicks(d->TxtChunk, QStringLiteral("100"));
                }
                if (d->FraSplDom->isVisible()) {
                    d->ChkSplDom->click();
                    QTest::keyClicks(d->TxtDomain, QStringLiteral("abc.com"));
                }
                if (confirm)
                    d->ComSave->click();
                else
                    d->close();
            });
            EXPECT_EQ(AskSave(*w, desc, c.verb, c.caption, c.display), !confirm);
            EXPECT_TRUE(disabledWhileShown);
            EXPECT_TRUE(MainUsable(*w));
            // Closed: only the output name, which follows its box at once.
            EXPECT_EQ(Changed(before, desc), confirm ? c.confirmed : QStringList{"NameOut= -> " + out});
        }
    }
}

TEST_F(ListDialogsOnTheMainWindow, ARefusedConfirmationKeepsTheDialogAndTheWindowWaits) {
    TestHarness::WriteFile(QStringLiteral("result.out"), "x");
    TestHarness::AnswerMessages({MsgBoxButton::No, 0, MsgBoxButton::Yes});
    clsEmailList desc;
    int attempts = 0;
    ListDialogSeam::Install([&](QDialog* dialog) {
        auto* d = qobject_cast<FrmSaveList*>(dialog);
        ASSERT_NE(d, nullptr);
        d->TxtOutFile->setText(TestHarness::Folder() + QStringLiteral("/result.out"));
        // No, then a box closed without an answer, then Yes.
        while (d->isVisible() && attempts < 3) {
            ++attempts;
            d->ComSave->click();
            if (d->isVisible()) {
                EXPECT_FALSE(MainUsable(*w));
            }
        }
    });
    EXPECT_FALSE(AskSave(*w, desc, QStringLiteral("Save"), QStringLiteral("Save list to file"), {}));
    EXPECT_EQ(attempts, 3);
    EXPECT_TRUE(MainUsable(*w));
}

// The special-character picker as the "..." buttons open it: modal over the
// dialog, which is drawn disabled meanwhile, and the clicked tokens written
// into the separator box beside the button.
TEST_F(ListDialogsOnTheMainWindow, PickerWritesIntoTheBoxBesideTheButton) {
    ModalShade::Install();
    ListDialogSeam::Install(nullptr);
    enum class Dialog { Structure, Save };
    enum class Box { Field, Record };
    // A click on a row of the picker: on its token, or on its name.
    struct Click {
        int row;
        bool onName;
    };
    struct Case {
        const char* name;
        Dialog dialog;
        Box box;
        const char* typed;
        int start, length;  // the selection (negative: dragged leftwards); 0: the caret at start
        QList<Click> clicks;
        const char* expected;
        int caret;
    };
    const Case cases[] = {
        {"import, other field separator, a selection", Dialog::Structure, Box::Field, "AB;CD", 1, 3, {{31, false}},
         "A^_D", 3},
        {"import, a selection dragged leftwards, the name clicked", Dialog::Structure, Box::Field, "AB;CD", 4, -3,
         {{31, true}}, "A^_D", 3},
        {"import, an empty record box", Dialog::Structure, Box::Record, "", 0, 0, {{30, false}}, "^^", 2},
        {"save, more criteria, a selection", Dialog::Save, Box::Field, "AB;CD", 1, 3, {{31, true}}, "A^_D", 3},
        {"save, an empty record box, several clicks", Dialog::Save, Box::Record, "", 0, 0,
         {{13, false}, {10, true}, {31, false}}, "\\r\\n^_", 6},
        {"save, at the caret, several clicks", Dialog::Save, Box::Record, "xy", 1, 0, {{1, true}, {2, false}},
         "x^A^By", 5},
    };
    const QString file = TestHarness::WriteFile(QStringLiteral("in/list.txt"), "a;b\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QString text;
        int caret = -1;
        bool drawnDisabled = false;
        // What the user does in either dialog: "Other", the text, the
        // selection, "..." and the picker's rows.
        auto use = [&](auto* d) {
            d->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(d));
            const bool field = c.box == Box::Field;
            QLineEdit* box = field ? d->TxtFldSep : d->TxtRecSep;
            (field ? d->OptFldOth : d->OptRecOth)->click();
            box->clear();
            QTest::keyClicks(box, QLatin1String(c.typed));
            box->setFocus();
            box->setCursorPosition(c.start);
            if (c.length != 0) box->setSelection(c.start, c.length);
            TestHarness::WhenModal<FrmControl>([&](FrmControl* picker) {
                drawnDisabled = !box->isEnabled();
                for (const Click& k : c.clicks)
                    QTest::mouseClick(k.onName ? picker->LabCharDesc[k.row] : picker->LabChar[k.row], Qt::LeftButton);
                QTest::keyClick(picker, Qt::Key_Escape);
            });
            QTest::mouseClick(field ? d->ComFldCtrl : d->ComRecCtrl, Qt::LeftButton);
            text = box->text();
            caret = box->cursorPosition();
            d->close();
        };
        clsEmailList desc;
        desc.NameSrc = file;
        if (c.dialog == Dialog::Structure) {
            TestHarness::WhenModal<FrmStructure>([&](FrmStructure* d) { use(d); });
            AskStructure(*w, desc);
        } else {
            TestHarness::WhenModal<FrmSaveList>([&](FrmSaveList* d) {
                QTest::mouseClick(d->ComMore, Qt::LeftButton);
                use(d);
            });
            AskSave(*w, desc, QStringLiteral("Save"), QStringLiteral("Save list to file"),
                    {.DoSepFld = true, .DoSepRec = true, .DoMore = true});
        }
        EXPECT_TRUE(drawnDisabled);
        EXPECT_EQ(text, QString::fromLatin1(c.expected));
        EXPECT_EQ(caret, c.caret);
        EXPECT_TRUE(MainUsable(*w));
    }
}

}  // namespace
