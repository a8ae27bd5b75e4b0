// Import: a list file chosen, described and read into one side, with what
// it leaves on the side and the other side; the selection commands and the
// pane buttons that run them.
#include <cstring>
#include <tuple>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "FrmDisplay.h"
#include "FrmStructure.h"
#include "ListDialogSeam.h"
#include "OwnerEnabler.h"
#include "ProgramFolder.h"
#include "RichTextBox.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "WorkspaceFixture.h"
#include "clsInterrupt.h"
#include "clsVirtualListview.h"
#include "modCallBack.h"
#include "modDialog.h"
#include "modGlobalFunctionsFiles.h"
#include "modRegistry.h"

namespace {

using TestHarness::Folder;
using TestHarness::ReadFile;
using TestHarness::WriteFile;

class Import : public WorkspaceTest {
protected:
    void TearDown() override {
        ListDialogSeam::Install(nullptr);
        modDialog::InstallChooser(nullptr);
        WorkspaceTest::TearDown();
    }
    // The file dialog answers the path (nothing: cancelled) and keeps what
    // it was asked; the structure dialog picks ";" and the column, or is
    // closed with column 0.
    void Answer(const QString& path, int column = 1) {
        requests.clear();
        modDialog::InstallChooser([this, path](const modDialog::FileDialogRequest& r) {
            requests.append(r);
            return path.isEmpty() ? QStringList() : QStringList{path};
        });
        ListDialogSeam::Install([column](QDialog* dialog) {
            auto* d = qobject_cast<FrmStructure*>(dialog);
            ASSERT_NE(d, nullptr);
            if (column == 0) {
                d->close();
                return;
            }
            d->OptFldCol->click();
            d->CboField->setCurrentIndex(column - 1);
            d->ComDone->click();
        });
    }
    QString Cell(int32_t slot, int32_t row, int32_t column) {
        QString text;
        if (slot == 1)
            w->VL_left_ItemTextCallback(row, column, text);
        else
            w->VL_right_ItemTextCallback(row, column, text);
        return text;
    }
    int32_t Rows(int32_t slot) const { return Pane(slot)->ListWindow()->ItemCount(); }
    QString Console() const { return w->TxtErrors->Text(); }
    void ExpectClosed() const {
        EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
        EXPECT_EQ(Screen::Instance()->MousePointer(), Screen::kDefaultPointer);
    }
    // A side's descriptor of the list at base (no extension), read with
    // ";" and column 2, its results named beside it.
    static clsEmailList ListAt(const QString& base) {
        clsEmailList d;
        d.NameSrc = base + ".txt";
        d.NameOut = base + ".out";
        d.NameSta = base + ".sta";
        d.NameInv = base + ".inv";
        d.NameDup = base + ".dup";
        d.SetFieldSep(QStringLiteral(";"));
        d.ColNbr = 2;
        return d;
    }
    // What a descriptor says of its list: the names, the column and the
    // separators.
    static auto Layout(const clsEmailList& d) {
        return std::tuple(d.NameSrc, d.NameOut, d.NameSta, d.NameInv, d.NameDup, d.ColNbr, d.FieldSep(),
                          d.RecordSep());
    }
    QList<modDialog::FileDialogRequest> requests;
};

TEST_F(Import, ImportsIntoTheLeftThenTheRightSide) {
    const QString file = WriteFile("in/c.2023.txt", "1;Ann.Lee@Mail.example;x\r\n2;bo@b.example;y\r\n3;cy@c.org;z\r\n");
    Answer(file, 2);
    w->ComSLImp->click();
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].Title, QStringLiteral("Select a List of Mail Addresses to import"));
    EXPECT_EQ(requests[0].InitDir, ProgramFolder::Path());
    EXPECT_EQ(requests[0].DefExt, QStringLiteral("mal"));
    EXPECT_EQ(ThisList.get(), Pane(1));
    EXPECT_EQ(Rows(1), 3);
    EXPECT_EQ(Cell(1, 0, 1), QStringLiteral("ann.lee"));
    EXPECT_EQ(Cell(1, 0, 2), QStringLiteral("mail.example"));
    EXPECT_EQ(Cell(1, 2, 2), QStringLiteral("c.org"));
    EXPECT_EQ(w->LabCntLeft->text().section(' ', 0, 0), QStringLiteral("3"));
    const QString base = Folder() + QStringLiteral("/in/c");
    const clsEmailList& d = w->LeftListDesc;
    EXPECT_EQ(d.NameSrc, file);
    EXPECT_EQ(d.NameOut, base + ".out");
    EXPECT_EQ(d.NameSta, base + ".sta");
    EXPECT_EQ(d.NameInv, base + ".inv");
    EXPECT_EQ(d.NameDup, base + ".dup");
    EXPECT_EQ(d.ColNbr, 2);
    EXPECT_EQ(w->LeftResultsDesc.NameOut, base + ".out");
    EXPECT_EQ(modRegistry::GetSetting("WrkDir", "-"), Folder() + QStringLiteral("/in/"));
    EXPECT_EQ(w->FraLeft->title(), QStringLiteral(" Left List : c.2023.txt "));
    EXPECT_FALSE(w->ComCompare->isEnabled());
    EXPECT_FALSE(w->ComSMerge->isEnabled());
    EXPECT_TRUE(w->ComLClear->isEnabled());

    Answer(WriteFile("in/r.mal", "x@y.com\r\n"), 1);
    w->ComSRImp->click();
    ASSERT_EQ(requests.size(), 1);
    // The folder of the last import, without its closing "/".
    EXPECT_EQ(requests[0].InitDir, Folder() + QStringLiteral("/in"));
    EXPECT_EQ(Rows(2), 1);
    EXPECT_EQ(w->FraRight->title(), QStringLiteral(" Right List : r.mal "));
    for (QWidget* c : {static_cast<QWidget*>(w->ComCompare), static_cast<QWidget*>(w->OptCmpCom),
                       static_cast<QWidget*>(w->OptCmpDif), static_cast<QWidget*>(w->ComSMerge),
                       static_cast<QWidget*>(w->ChkMergeSelect)})
        EXPECT_TRUE(c->isEnabled()) << c->objectName().toStdString();
    EXPECT_EQ(Console(), QString());
    ExpectClosed();
}

// Each way out before the load, and what it has changed by then. The
// side's descriptors still name the list it holds, so its flag boxes write
// and remove that list's reports, never those of the file not loaded.
TEST_F(Import, EarlyExits) {
    enum Exit { No, NoFile, Missing, Empty, StructureClosed };
    struct Case {
        const char* what;
        Exit exit;
        bool folderChanged;  // "WrkDir" and the header icons
        const char* message;
    } cases[] = {
        {"No to the overwrite question", No, false, "The list of email addresses is not empty ! do you want to overwrite it ?"},
        {"file dialog cancelled", NoFile, false, nullptr},
        {"missing file", Missing, false, nullptr},
        {"empty file", Empty, false, "The file\r\n\r\n'empty.mal'\r\n\r\nCould not be imported because it is empty !"},
        {"structure dialog closed", StructureClosed, true, nullptr},
    };
    const QString file = WriteFile("in/new.mal", "n@n.com\r\n");
    const QByteArray formerInv = "new.mal's invalid entries of an earlier run\r\n";
    const QString newInv = WriteFile("in/new.inv", formerInv);
    const clsEmailList loaded = ListAt(Folder() + "/list1");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        modRegistry::SetSetting("WrkDir", "/");
        Load(1, "a@b.com\r\nc@d.com\r\n", 2);
        w->LeftListDesc = loaded;
        w->LeftResultsDesc = loaded;
        Pane(1)->SetHeaderIcon(0, 1);
        Pane(1)->SetHeaderIcon(1, 2);
        ThisList = w->VL_left;
        const qsizetype asked = TestHarness::AskedMessages().size();
        switch (c.exit) {
            case No:
                TestHarness::AnswerMessages({MsgBoxButton::No});
                Answer(file);
                break;
            case NoFile:
                TestHarness::AnswerMessages({MsgBoxButton::Yes});
                Answer(QString());
                break;
            case Missing:
                TestHarness::AnswerMessages({MsgBoxButton::Yes, MsgBoxButton::Ok});
                Answer(Folder() + QStringLiteral("/in/gone.mal"));
                break;
            case Empty:
                TestHarness::AnswerMessages({MsgBoxButton::Yes, MsgBoxButton::Ok});
                Answer(WriteFile("in/empty.mal", ""));
                break;
            case StructureClosed:
                TestHarness::AnswerMessages({MsgBoxButton::Yes});
                Answer(file, 0);
                break;
        }
        w->M_Popup1Import_Click();
        const auto& asked_ = TestHarness::AskedMessages();
        ASSERT_GT(asked_.size(), asked);
        EXPECT_EQ(asked_[asked].Title, QStringLiteral("Left List Content Overwrite"));
        EXPECT_EQ(asked_[asked].IconNb, MsgBoxIcon::Warning);
        EXPECT_EQ(asked_[asked].Focus, MsgBoxButton::No);
        if (c.exit == Missing) {
            ASSERT_EQ(asked_.size(), asked + 2);
            EXPECT_EQ(asked_.back().Title, QStringLiteral("Error Importing List"));
            EXPECT_EQ(asked_.back().message,
                      QStringLiteral("The File '") + Folder() + QStringLiteral("/in/gone.mal' does not exist !"));
        } else if (c.exit == Empty) {
            ASSERT_EQ(asked_.size(), asked + 2);
            EXPECT_EQ(asked_.back().message, QLatin1String(c.message));
            EXPECT_EQ(asked_.back().Title, QStringLiteral("Cannot Import File"));
        } else {
            EXPECT_EQ(asked_.size(), asked + 1);
        }
        // The list and the pane are untouched whatever the way out.
        EXPECT_EQ(Rows(1), 2);
        EXPECT_EQ(Address(1, 0), QStringLiteral("a@b.com"));
        EXPECT_EQ(Layout(w->LeftListDesc), Layout(loaded));
        EXPECT_EQ(Layout(w->LeftResultsDesc), Layout(loaded));
        EXPECT_EQ(modRegistry::GetSetting("WrkDir", "-"), c.folderChanged ? Folder() + "/in/" : QStringLiteral("/"));
        EXPECT_EQ(Headers(1).mid(0, 3), c.folderChanged ? QList<int>({0, 0, 0}) : QList<int>({1, 2, 0}));
        ExpectClosed();

        TestHarness::AnswerMessages({MsgBoxButton::Ok});
        w->ChkMarkInvLeft->setChecked(true);
        EXPECT_TRUE(QFile::exists(loaded.NameInv));
        w->ChkMarkInvLeft->setChecked(false);
        EXPECT_FALSE(QFile::exists(loaded.NameInv));
        EXPECT_EQ(ReadFile(newInv), formerInv);
        YRB20(1);
    }
}

TEST_F(Import, RefusedWithoutAnEngineBoundPane) {
    ThisList.reset();
    w->M_Popup1Import_Click();
    EXPECT_TRUE(Console().contains("Message : List Object not Set")) << Console().toStdString();
    EXPECT_TRUE(Console().contains("Routine : M_Popup1Import_Click"));
    ThisList = w->VL_file;
    modDialog::InstallChooser([](const modDialog::FileDialogRequest&) -> QStringList {
        ADD_FAILURE() << "no file is chosen for the file pane";
        return {};
    });
    w->M_Popup1Import_Click();
    EXPECT_TRUE(Console().contains("'Merge List' cannot hold an imported list")) << Console().toStdString();
}

// An import into one side drops the other side's compare marks and
// unticks this side's invalid and duplicate boxes. The reports an earlier
// run left beside the new file stay, for "Results" to show.
TEST_F(Import, ResetsTheOtherSidesMarksAndThisSidesBoxes) {
    const char* const kReports[] = {"inv", "dup", "sta"};
    const auto former = [](const char* ext) { return QByteArray(500, ext[0]); };
    for (const char* ext : kReports) WriteFile(QStringLiteral("in/n.") + ext, former(ext));
    Load(1, "a@b.com\r\nc@d.com\r\n", 2);
    Load(2, "a@b.com\r\n", 1);
    ASSERT_EQ(YRB24(0, YRB_FLAG_IN_BOTH, 0, 0, 0), 1);
    YRB10(2, YRB_ALL_ENTRIES, YRB_MODE_SET, YRB_FLAG_SELECTED, 0, 0, nullptr);
    w->SuppressMarkClicks = true;
    w->ChkMarkDupLeft->setChecked(true);
    w->ChkMarkInvLeft->setChecked(true);
    w->ChkMarkDelleft->setChecked(true);
    w->SuppressMarkClicks = false;
    YRB10(1, YRB_ALL_ENTRIES, YRB_MODE_SET, YRB_FLAG_DUPLICATE | YRB_FLAG_INVALID, 0, 0, nullptr);
    TestHarness::AnswerMessages({MsgBoxButton::Yes});
    Answer(WriteFile("in/n.mal", "n@n.com\r\na@b.com\r\n"));
    w->ComSLImp->click();
    ASSERT_EQ(Rows(1), 2);
    EXPECT_FALSE(w->ChkMarkDupLeft->isChecked());
    EXPECT_FALSE(w->ChkMarkInvLeft->isChecked());
    EXPECT_TRUE(w->ChkMarkDelleft->isChecked());
    EXPECT_EQ(YRB17(2, 0, -1), YRB_FLAG_SELECTED) << "compare marks gone, the selection stays";
    for (const char* ext : kReports)
        EXPECT_EQ(ReadFile(Folder() + QStringLiteral("/in/n.") + ext), former(ext)) << ext;
    ASSERT_TRUE(w->ComViewLeft->isEnabled());
    w->ComViewLeft->click();
    const auto* viewer = qobject_cast<FrmDisplay*>(modGlobalFunctions::IsFormLoaded(QStringLiteral("FrmDisplay")));
    ASSERT_NE(viewer, nullptr);
    // The statistics, duplicates and invalids tabs.
    for (int tab : {0, 1, 2}) EXPECT_TRUE(viewer->SSTabDisplay->isTabVisible(tab)) << tab;
    EXPECT_EQ(Console(), QString());
}

// Cancel during the load: the engine has let the old list go, so the side
// is empty and the pane shows no row.
TEST_F(Import, StoppedLoadLeavesTheSideEmpty) {
    Load(1, "a@b.com\r\nc@d.com\r\n", 2);
    Load(2, "a@b.com\r\n", 1);
    w->LeftListDesc.NameSrc = Folder() + "/list1.txt";
    w->FraLeft->setFixedWidth(600);
    w->ResizeListCaptions(true, false);
    ASSERT_EQ(w->FraLeft->title(), QStringLiteral(" Left List : list1.txt "));
    w->SetBothListPerm();
    QByteArray big;
    for (int i = 0; i < 300000; ++i) big += "u" + QByteArray::number(i) + "@d.com\r\n";
    TestHarness::AnswerMessages({MsgBoxButton::Yes});
    Answer(WriteFile("in/big.mal", big));
    {
        const CancelOnInformation hook("Parsing entries");
        w->ComSLImp->click();
    }
    EXPECT_NE(YRB14(1), 0);
    EXPECT_EQ(Rows(1), 0);
    EXPECT_EQ(w->LabCntLeft->text().section(' ', 0, 0), QStringLiteral("0"));
    EXPECT_EQ(w->FraLeft->title(), QStringLiteral(" Left List "));
    EXPECT_FALSE(w->ComCompare->isEnabled());
    EXPECT_FALSE(InterruptObj()->Active);
    Pane(1)->Refresh();
    QApplication::processEvents();
    // No cell asked the engine for an entry of the missing list.
    EXPECT_FALSE(Console().contains("Routine : CB")) << Console().toStdString();
    ExpectClosed();
}

struct SelectionCase {
    const char* what;
    void (FrmMain::*command)();
    int selectedAfter;  // of 4 entries: 0 and 1 selected, 2 flagged (selected), 3 plain
};

TEST_F(Import, SelectionCommandsOnTheEnginePane) {
    const SelectionCase cases[] = {
        {"Select All", &FrmMain::M_Popup1SelectAll_Click, 4},
        {"Deselect All", &FrmMain::M_Popup1DeselectAll_Click, 0},
        {"Invert Selection", &FrmMain::M_Popup1Invert_Click, 2},
    };
    for (const SelectionCase& c : cases) {
        SCOPED_TRACE(c.what);
        Load(1, "a@x.com\r\nb@x.com\r\nc@x.com\r\nd@x.com\r\n", 4);
        for (int32_t e : {0, 1, 2}) YRB03(1, e, YRB_FLAG_SELECTED, 1);
        YRB03(1, 2, YRB_FLAG_INVALID, 1);
        ThisList = w->VL_left;
        (w.get()->*c.command)();
        int selected = 0;
        for (int32_t e = 0; e < 4; ++e) selected += YRB17(1, e, YRB_FLAG_SELECTED) != 0;
        EXPECT_EQ(selected, c.selectedAfter);
        // The flagged entry keeps its selection, except under Deselect All.
        EXPECT_EQ(YRB17(1, 2, YRB_FLAG_SELECTED) != 0, c.command != &FrmMain::M_Popup1DeselectAll_Click);
        EXPECT_EQ(w->LabSelLeft->text().section(' ', 0, 0).toInt(), Pane(1)->GetSel());
        ExpectClosed();
        YRB20(1);
    }
}

TEST_F(Import, SelectionCommandsOnTheFilePaneAndWithoutAPane) {
    w->VL_file->SetCount(3);
    ThisList = w->VL_file;
    w->M_Popup1SelectAll_Click();
    EXPECT_EQ(w->VL_file->GetSel(), 3);
    w->M_Popup1Invert_Click();
    EXPECT_EQ(w->VL_file->GetSel(), 0);
    w->M_Popup1Invert_Click();
    w->M_Popup1DeselectAll_Click();
    EXPECT_EQ(w->VL_file->GetSel(), 0);
    struct Case {
        void (FrmMain::*command)();
        const char* message;
        const char* routine;
    } cases[] = {
        {&FrmMain::M_Popup1SelectAll_Click, "List Object not Set", "M_Popup1SelectAll_Click"},
        {&FrmMain::M_Popup1DeselectAll_Click, "List Object not Set", "M_Popup1DeselectAll_Click"},
        {&FrmMain::M_Popup1Invert_Click, "The List object has not been initialized", "M_Popup1Invert_Click"},
    };
    ThisList.reset();
    for (const Case& c : cases) {
        w->TxtErrors->SetText(QString());
        (w.get()->*c.command)();
        EXPECT_TRUE(Console().contains(QStringLiteral("Message : ") + c.message)) << Console().toStdString();
        EXPECT_TRUE(Console().contains(QStringLiteral("Routine : ") + c.routine));
        ExpectClosed();
    }
}

// A pane button works on its own side whichever pane was touched last.
TEST_F(Import, PaneButtonsActOnTheirOwnSide) {
    Load(1, "a@x.com\r\nb@x.com\r\n", 2);
    Load(2, "c@x.com\r\nd@x.com\r\ne@x.com\r\n", 3);
    struct Case {
        QPushButton* button;
        int32_t slot;
        int selectedAfter;
    } cases[] = {
        {w->ComSRInvSel, 2, 3}, {w->ComSLSelAll, 1, 2}, {w->ComSRDesAll, 2, 0}, {w->ComSLInvSel, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button->objectName().toStdString());
        ThisList = c.slot == 1 ? ListPaneRef(w->VL_right) : ListPaneRef(w->VL_left);
        ASSERT_TRUE(c.button->isEnabled());
        c.button->click();
        EXPECT_EQ(ThisList.get(), Pane(c.slot));
        EXPECT_EQ(Pane(c.slot)->GetSel(), c.selectedAfter);
    }
    // The Clear button follows its own side only.
    YRB20(2);
    Pane(2)->SetCount(0);
    Pane(2)->SetAll();
    EXPECT_FALSE(w->ComRClear->isEnabled());
    EXPECT_TRUE(w->ComLClear->isEnabled());
}

}  // namespace
