// The error console's "Save to File" and the question about an unsaved
// console when the window closes.
#include <memory>

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>

#include "FileSizeLimit.h"
#include "FrmMain.h"
#include "MainFixture.h"
#include "MessageBoxSeam.h"
#include "OrmidYRB100.h"
#include "RichTextBox.h"
#include "Screen.h"
#include "TestHarness.h"
#include "modDialog.h"
#include "modRegistry.h"

namespace {

using TestHarness::Folder;

// A console text with bytes above 127, which must reach the file unchanged.
const QString kConsole = QString::fromLatin1("10:00:00 Message : caf\xe9 \xff\r\n\t Context : Error !\r\n");

// A file dialog now fails the test.
void NoFileDialog() {
    modDialog::InstallChooser([](const modDialog::FileDialogRequest& r) {
        ADD_FAILURE() << "unexpected file dialog: " << r.Title.toStdString();
        return QStringList();
    });
}

// The file dialog answers with this path, or is cancelled for an empty one.
void ChooseFile(const QString& path) {
    modDialog::InstallChooser([path](const modDialog::FileDialogRequest&) {
        return path.isEmpty() ? QStringList() : QStringList{path};
    });
}

TEST(FrmMainConsole, SaveToFile) {
    MainFixture::WriteReferenceFiles();
    FrmMain w;
    w.Form_Load();
    EXPECT_FALSE(w.ComSaveErrConsole->isEnabled());
    QDir(Folder()).mkpath("saves/folder");

    enum class Target { Cancelled, NewFile, Existing, Folder, MissingFolder, Relative };
    struct Row {
        const char* name;
        QString console;
        Target target;
        QList<int> answers;
        const char* title;    // of the one box shown, if any
        QString message;      // its text, %1 the path
        bool written;         // the file holds the console's bytes
        bool unsaved;         // ErrorLogUnsaved afterwards
    };
    const QString directory = QStringLiteral("The path '%1' must not be a directory");
    const QString notSaved = QStringLiteral("The Error Log File '%1' could not be saved !");
    const char* saveError = "Error Saving Error Log to File";
    const Row rows[] = {
        {"empty console", QString(), Target::NewFile, {16}, "Error Saving Error Log Content",
         "The Error Log window must not be empty !", false, false},
        {"chooser cancelled", kConsole, Target::Cancelled, {}, nullptr, QString(), false, true},
        {"new file", kConsole, Target::NewFile, {}, nullptr, QString(), true, false},
        {"a folder", kConsole, Target::Folder, {16}, saveError, directory, false, true},
        {"existing, No", kConsole, Target::Existing, {2}, "File already exists",
         "The File '%1' already exists, do you want to overwrite it ?", false, true},
        {"existing, box closed", kConsole, Target::Existing, {0}, "File already exists",
         "The File '%1' already exists, do you want to overwrite it ?", false, true},
        {"existing, Yes", kConsole, Target::Existing, {1}, "File already exists",
         "The File '%1' already exists, do you want to overwrite it ?", true, false},
        {"unwritable", kConsole, Target::MissingFolder, {16}, saveError, notSaved, false, true},
        {"relative name", kConsole, Target::Relative, {16}, saveError,
         "Invalid name syntax for File '%1'\rSee Error Console for potential details", false, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const QString name = QString::fromLatin1(r.name).replace(' ', '_').remove(',');
        QString path;
        switch (r.target) {
            case Target::Cancelled: break;
            case Target::NewFile: path = Folder() + "/saves/" + name + ".log"; break;
            case Target::Existing: path = TestHarness::WriteFile("saves/" + name + ".log", "old bytes"); break;
            case Target::Folder: path = Folder() + "/saves/folder"; break;
            case Target::MissingFolder: path = Folder() + "/saves/missing/" + name + ".log"; break;
            case Target::Relative: path = name + ".log"; break;
        }
        if (r.console.isEmpty()) {
            NoFileDialog();
        } else {
            ChooseFile(path);
        }
        w.TxtErrors->SetText(r.console);
        EXPECT_EQ(w.ComSaveErrConsole->isEnabled(), !r.console.isEmpty());
        const QByteArray before = TestHarness::ReadFile(path);
        TestHarness::AnswerMessages(r.answers);
        const qsizetype asked = TestHarness::AskedMessages().size();

        w.ComSaveErrConsole_Click();

        const QList<MsgBoxRequest> boxes = TestHarness::AskedMessages().mid(asked);
        ASSERT_EQ(boxes.size(), r.title ? 1 : 0);
        if (r.title) {
            EXPECT_EQ(boxes[0].Title, QLatin1String(r.title));
            EXPECT_EQ(boxes[0].message, QString(r.message).arg(path));
            EXPECT_EQ(boxes[0].CForm, &w);
            EXPECT_EQ(boxes[0].OForm, nullptr);
        }
        if (r.written) {
            EXPECT_EQ(TestHarness::ReadFile(path), r.console.toLatin1());
        } else if (!path.isEmpty() && QFileInfo(path).isFile()) {
            EXPECT_EQ(TestHarness::ReadFile(path), before);
        } else if (r.target == Target::NewFile || r.target == Target::MissingFolder) {
            EXPECT_FALSE(QFile::exists(path));
        }
        EXPECT_EQ(w.ErrorLogUnsaved, r.unsaved);
        EXPECT_EQ(Screen::Instance()->MousePointer(), 0);
        // A failure shown in a box is also kept in the console.
        if (r.title && QLatin1String(r.title) == QLatin1String(saveError)) {
            EXPECT_TRUE(w.TxtErrors->Text().contains("\t Context : Error Saving Error Log to File\r\n"
                                                     "\t Module  : FrmMain\r\n\t Routine : ComSaveErrConsole_Click"));
        }
    }
}

// A disk that cannot take the whole console: the file under the chosen name
// is the former one byte for byte, or none; the failure is shown with the
// system's cause, and the console still counts as unsaved.
TEST(FrmMainConsole, SaveThatDoesNotFitLeavesNothingCut) {
    MainFixture::WriteReferenceFiles();
    FrmMain w;
    w.Form_Load();
    constexpr rlim_t kRoom = 1024;
    const QString console = QString(kConsole).repeated(100);
    struct Row {
        const char* name;
        QByteArray former;  // null: no file before
        QList<int> answers;
    } rows[] = {
        {"new", QByteArray(), {MsgBoxButton::Ok}},
        {"existing", "former bytes", {MsgBoxButton::Yes, MsgBoxButton::Ok}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const QString folder = Folder() + "/full_" + r.name;
        QDir().mkpath(folder);
        const QString path = folder + "/console.log";
        if (!r.former.isNull()) TestHarness::WriteFile(path.mid(Folder().size() + 1), r.former);
        ChooseFile(path);
        w.TxtErrors->SetText(console);
        TestHarness::AnswerMessages(r.answers);
        const qsizetype asked = TestHarness::AskedMessages().size();
        {
            const FileSizeLimit full(kRoom);
            w.ComSaveErrConsole_Click();
        }
        const QList<MsgBoxRequest> boxes = TestHarness::AskedMessages().mid(asked);
        ASSERT_EQ(boxes.size(), r.answers.size());
        EXPECT_EQ(boxes.back().message, QStringLiteral("The Error Log File '%1' could not be saved !").arg(path));
        EXPECT_TRUE(w.TxtErrors->Text().contains("Could not write to file : " + path + " (File too large)"))
            << w.TxtErrors->Text().right(600).toStdString();
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                  r.former.isNull() ? QStringList() : QStringList{"console.log"});
        if (!r.former.isNull()) {
            EXPECT_EQ(TestHarness::ReadFile(path), r.former);
        }
        EXPECT_TRUE(w.ErrorLogUnsaved);
    }
}

TEST(FrmMainConsole, FileDialogStartsInTheWorkingFolder) {
    MainFixture::WriteReferenceFiles();
    FrmMain w;
    w.Form_Load();
    struct Row {
        const char* workDir;  // null: no setting
        QString initDir;
    };
    const Row rows[] = {{nullptr, Folder()}, {"/srv/lists/", "/srv/lists"}, {"/srv/lists", "/srv/lists"}, {"/", "/"}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.workDir ? r.workDir : "none");
        if (r.workDir) modRegistry::SetSetting("WrkDir", r.workDir);
        modDialog::FileDialogRequest seen;
        modDialog::InstallChooser([&](const modDialog::FileDialogRequest& request) {
            seen = request;
            return QStringList{Folder() + "/console.log"};
        });
        w.TxtErrors->SetText(kConsole);
        w.ComSaveErrConsole->click();
        EXPECT_EQ(seen.InitDir, r.initDir);
        EXPECT_EQ(seen.Title, QStringLiteral("Save Error Log content as"));
        EXPECT_EQ(seen.Filter, QStringLiteral("Text files (*.txt)|*.txt|Error/Trace Log (*.log)|*.log|"));
        EXPECT_EQ(seen.FilterIndex, 1);
        EXPECT_EQ(seen.DefExt, QStringLiteral("log"));
        EXPECT_EQ(seen.OkCaption, QStringLiteral("Save"));
        EXPECT_EQ(seen.CancelCaption, QStringLiteral("Cancel"));
        EXPECT_EQ(seen.MaxFile, 4096);
        EXPECT_TRUE(seen.Flags & modDialog::OFN_HIDEREADONLY);
        EXPECT_EQ(seen.Owner, &w);
        // The save keeps the setting as it was.
        EXPECT_EQ(modRegistry::GetSetting("WrkDir", "none"), QString::fromLatin1(r.workDir ? r.workDir : "none"));
        TestHarness::AnswerMessages({1});  // the file of the earlier row is replaced
    }
}

TEST(FrmMainConsole, OverwriteQuestionFocusesNoButtonAndShowsTheHourglass) {
    MainFixture::WriteReferenceFiles();
    FrmMain w;
    w.Form_Load();
    const QString path = TestHarness::WriteFile("console.log", "old");
    ChooseFile(path);
    MsgBoxRequest asked;
    int pointer = -1;
    MessageBoxSeam::Install([&](const MsgBoxRequest& r) {
        asked = r;
        pointer = Screen::Instance()->MousePointer();
        return static_cast<int>(MsgBoxButton::Yes);
    });
    w.TxtErrors->SetText(kConsole);
    w.ComSaveErrConsole_Click();
    EXPECT_EQ(asked.IconNb, MsgBoxIcon::Warning);
    EXPECT_EQ(asked.Focus, MsgBoxButton::Ok);
    EXPECT_TRUE(asked.ShowYes && asked.ShowNo);
    EXPECT_FALSE(asked.ShowOk || asked.ShowCancel);
    EXPECT_EQ(pointer, 11);
    EXPECT_EQ(Screen::Instance()->MousePointer(), 0);
    EXPECT_EQ(TestHarness::ReadFile(path), kConsole.toLatin1());
}

// A small list in engine list 1, freed only by the window's unload.
void LoadList() {
    const QString path = TestHarness::WriteFile("list.txt", "a@shop.fr\r\nb@shop.fr\r\n");
    ASSERT_EQ(YRB13(1, QFile::encodeName(path).constData(), 1, "\t", "\r\n"), 2);
}

TEST(FrmMainConsole, QuestionOnClosingWithAnUnsavedConsole) {
    MainFixture::WriteReferenceFiles();
    struct Row {
        const char* name;
        bool prompt;
        bool unsaved;
        bool viaExit;         // the File menu's "&Exit" instead of the close box
        QList<int> answers;   // the question, then a file choice's own boxes
        const char* chosen;   // the file dialog's answer; null: no dialog expected
        bool staysOpen;
        bool saved;
    };
    const Row rows[] = {
        {"not ticked", false, true, false, {}, nullptr, false, false},
        {"nothing unsaved", true, false, false, {}, nullptr, false, false},
        {"Cancel", true, true, false, {32}, nullptr, true, false},
        {"Cancel after Exit", true, true, true, {32}, nullptr, true, false},
        {"No", true, true, false, {2}, nullptr, false, false},
        {"closed without an answer", true, true, false, {0}, nullptr, false, false},
        {"Yes", true, true, true, {1}, "saved.log", false, true},
        {"Yes, file dialog cancelled", true, true, false, {1}, "", false, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        auto w = std::make_unique<FrmMain>();
        w->Form_Load();
        EXPECT_FALSE(w->ChkErrPrompt->isChecked());
        w->ChkErrPrompt->setChecked(r.prompt);
        w->TxtErrors->SetText(r.unsaved ? kConsole : QString());
        LoadList();
        const QString path = r.chosen && *r.chosen ? Folder() + "/" + r.chosen : QString();
        if (r.chosen) {
            ChooseFile(path);
        } else {
            NoFileDialog();
        }
        TestHarness::AnswerMessages(r.answers);
        const qsizetype asked = TestHarness::AskedMessages().size();

        if (r.viaExit) {
            w->S_Exit->trigger();
        } else {
            w->close();
        }

        const QList<MsgBoxRequest> boxes = TestHarness::AskedMessages().mid(asked);
        ASSERT_EQ(boxes.size(), r.answers.size());
        if (!boxes.isEmpty()) {
            const MsgBoxRequest& q = boxes[0];
            EXPECT_EQ(q.message, QStringLiteral("The Error Log has not been saved ! Do you want to save it now ?"));
            EXPECT_EQ(q.Title, QStringLiteral("Saving Error Log"));
            EXPECT_EQ(q.IconNb, MsgBoxIcon::Question);
            EXPECT_EQ(q.Focus, MsgBoxButton::Yes);
            EXPECT_TRUE(q.ShowYes && q.ShowNo && q.ShowCancel);
            EXPECT_FALSE(q.ShowOk);
            EXPECT_EQ(q.CForm, w.get());
            EXPECT_EQ(q.OForm, w.get());
        }
        EXPECT_EQ(w->isVisible(), r.staysOpen);
        EXPECT_EQ(YRB14(1), r.staysOpen ? 0 : 1);
        if (r.saved) {
            EXPECT_EQ(TestHarness::ReadFile(path), kConsole.toLatin1());
        }
        if (r.staysOpen) {
            // The window still works; closing it without the question ends it.
            EXPECT_EQ(w->TxtErrors->Text(), kConsole);
            w->ChkErrPrompt->setChecked(false);
            EXPECT_TRUE(w->close());
            EXPECT_EQ(YRB14(1), 1);
        }
    }
}

}  // namespace
