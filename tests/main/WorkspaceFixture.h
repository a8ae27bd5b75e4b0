#pragma once

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "FileReplace.h"
#include "FileSizeLimit.h"
#include "FrmMain.h"
#include "FrmSaveList.h"
#include "ListDialogSeam.h"
#include "ListsCol.h"
#include "MainFixture.h"
#include "OrmidYRB100.h"
#include "OwnerDataListView.h"
#include "OwnerEnabler.h"
#include "RichTextBox.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "TestHarness.h"
#include "clsInterrupt.h"
#include "clsVL2.h"
#include "modCallBack.h"

// The permission bits of the file at path; -1: none there.
inline int BitsOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
}

// A loaded main window for tests of the two-list workspace, with the
// engine lists emptied after each test.
class WorkspaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        MainFixture::WriteReferenceFiles();
        w = std::make_unique<FrmMain>();
        w->Form_Load();
    }
    void TearDown() override {
        ThisList.reset();
        w.reset();
        YRB20(1);
        YRB20(2);
    }
    // Loads one address a line into the slot and tells the pane its rows.
    void Load(int32_t slot, const QByteArray& lines, int32_t entries) {
        const QString path = TestHarness::WriteFile(QStringLiteral("list%1.txt").arg(slot), lines);
        ASSERT_EQ(YRB13(slot, QFile::encodeName(path).constData(), 1, "\t", "\r\n"), entries);
        Pane(slot)->SetCount(entries);
        Pane(slot)->SetAll();
    }
    clsVL2* Pane(int32_t slot) const { return slot == 1 ? w->VL_left.get() : w->VL_right.get(); }
    // The header images of the pane's seven columns.
    QList<int> Headers(int32_t slot) const {
        QList<int> images;
        for (int col = 0; col < 7; ++col) images.append(Pane(slot)->ListWindow()->HeaderItemImage(col));
        return images;
    }
    static QString Address(int32_t slot, int32_t row) {
        char buffer[64] = {};
        if (YRB18(slot, row, YRB_PART_ADDRESS, buffer, sizeof buffer - 1) < 0) return QString();
        return QString::fromLatin1(buffer);
    }
    std::unique_ptr<FrmMain> w;
};

// A loaded window whose save dialog the test scripts.
class SaveDialogTest : public WorkspaceTest {
protected:
    // The script of the save dialog; shown counts its runs.
    void Dialog(std::function<void(FrmSaveList*)> act) {
        shown = 0;
        ListDialogSeam::Install([this, act](QDialog* dialog) {
            auto* d = qobject_cast<FrmSaveList*>(dialog);
            ASSERT_NE(d, nullptr);
            ++shown;
            act(d);
        });
    }
    static void Output(FrmSaveList* d, const QString& path) {
        d->TxtOutFile->selectAll();
        QTest::keyClicks(d->TxtOutFile, path);
    }
    QString Console() const { return w->TxtErrors->Text(); }
    void ExpectClosed() const {
        EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
        EXPECT_EQ(Screen::Instance()->MousePointer(), Screen::kDefaultPointer);
    }
    // Runs a command that writes to out, chosen in the save dialog (Yes to
    // replacing a former file, null: none), while at most room bytes fit in a
    // file; then nothing cut is left: no success message, out's folder holds
    // the former file byte for byte (with formerBits, when given) or
    // nothing, and the console names out with the cause.
    void ExpectNothingCut(const QString& out, const QByteArray& former, rlim_t room, const std::function<void()>& command,
                          mode_t formerBits = 0) {
        if (!former.isNull()) {
            QFile file(out);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(former);
            file.close();
            if (formerBits != 0) {
                ASSERT_EQ(::chmod(QFile::encodeName(out).constData(), formerBits), 0);
            }
        }
        Dialog([&](FrmSaveList* d) {
            Output(d, out);
            d->ComSave->click();
        });
        TestHarness::AnswerMessages(former.isNull() ? QList<int>{} : QList<int>{MsgBoxButton::Yes});
        const auto asked = TestHarness::AskedMessages().size();
        w->TxtErrors->SetText(QString());
        {
            const FileSizeLimit full(room);
            ASSERT_TRUE(full.IsSet());
            command();
        }
        EXPECT_EQ(TestHarness::AskedMessages().size(), asked + (former.isNull() ? 0 : 1)) << "no success message";
        const QFileInfo info(out);
        EXPECT_EQ(info.dir().entryList(QDir::Files | QDir::Hidden),
                  former.isNull() ? QStringList() : QStringList{info.fileName()});
        if (!former.isNull()) {
            EXPECT_EQ(TestHarness::ReadFile(out), former);
            if (formerBits != 0) {
                EXPECT_EQ(BitsOf(out), static_cast<int>(formerBits));
            }
        }
        // The cause on the name asked for, never on a file beside it.
        EXPECT_TRUE(Console().contains("Could not write to file : " + out + " (File too large)"))
            << Console().toStdString();
        EXPECT_FALSE(Console().contains("/." + info.fileName() + ".")) << Console().toStdString();
        ExpectClosed();
    }
    int shown = 0;
};

enum class Links { kMade, kRefused };

// While one lives with Links::kRefused, the program's own writes
// (WholeFile, FormerContent) can make no hard link, as on FAT and exFAT.
// The engine's writes, in its own library, still can.
class HardLinks {
public:
    explicit HardLinks(Links links) : m_refused(links == Links::kRefused) {
        if (m_refused)
            filereplace::InstallFault([](filereplace::Step step, const std::string&) {
                return step == filereplace::Step::kLink ? EPERM : 0;
            });
    }
    ~HardLinks() {
        if (m_refused) filereplace::InstallFault({});
    }
    HardLinks(const HardLinks&) = delete;
    HardLinks& operator=(const HardLinks&) = delete;

private:
    bool m_refused;
};

// While it lives, action runs inside the engine's call when the engine
// sends the given information text.
class OnInformation {
public:
    OnInformation(const char* text, std::function<void()> action) : m_saved(modCallBack::EngineCallbackTable) {
        s_text = text;
        s_action = std::move(action);
        modCallBack::EngineCallbackTable.information = &Information;
        YRB07(&modCallBack::EngineCallbackTable);
    }
    ~OnInformation() {
        s_text = nullptr;
        s_action = nullptr;
        modCallBack::EngineCallbackTable = m_saved;
        YRB07(&modCallBack::EngineCallbackTable);
    }
    OnInformation(const OnInformation&) = delete;
    OnInformation& operator=(const OnInformation&) = delete;

private:
    static int32_t Information(const char* text) {
        if (s_text != nullptr && std::strcmp(text, s_text) == 0 && s_action) s_action();
        return 0;
    }
    static inline const char* s_text = nullptr;
    static inline std::function<void()> s_action;
    YRB_CallbackTable m_saved;
};

// While it lives, Cancel is pressed (as the progress window's button does
// it) when the engine sends the given information text.
class CancelOnInformation : public OnInformation {
public:
    explicit CancelOnInformation(const char* text)
        : OnInformation(text, [] { InterruptObj()->ISet(QStringLiteral("Operator")); }) {}
};

// The row with the focused state, -1 for none.
inline int32_t FocusedRow(const OwnerDataListView* list) {
    for (int32_t row = 0; row < list->ItemCount(); ++row)
        if (list->GetItemState(row, OwnerDataListView::LVIS_FOCUSED) != 0) return row;
    return -1;
}
