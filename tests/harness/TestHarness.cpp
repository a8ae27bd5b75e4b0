#include "TestHarness.h"

#include <memory>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTemporaryDir>

#include "Clock.h"
#include "FileChangeWatcher.h"
#include "MemoryStatus.h"
#include "MessageBoxSeam.h"
#include "PopupMenuSeam.h"
#include "ReportListView.h"
#include "PlainMessageBox.h"
#include "ProgramFolder.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "WebPageSeam.h"
#include "modCallBack.h"
#include "modDialog.h"
#include "modProcess.h"
#include "modRegistry.h"
#include "OwnerDataListView.h"

namespace TestHarness {

namespace {
struct State {
    std::unique_ptr<QTemporaryDir> folder;
    QList<int> answers;
    QList<MsgBoxRequest> asked;
    QList<QPair<QString, QString>> plain;
    QDateTime clock;
};

State& S() {
    static State s;
    return s;
}

int Scripted(const MsgBoxRequest& r) {
    S().asked.append(r);
    if (S().answers.isEmpty()) {
        ADD_FAILURE() << "unexpected message box: " << r.Title.toStdString() << " / " << r.message.toStdString();
        return -1;
    }
    return S().answers.takeFirst();
}

class Reset : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        State& s = S();
        s.folder = std::make_unique<QTemporaryDir>();
        ProgramFolder::Set(s.folder->path());
        // The per-user data folder (the mail accounts) inside it too.
        qputenv("XDG_DATA_HOME", QFile::encodeName(s.folder->path() + QStringLiteral("/.data")));
        s.answers.clear();
        s.asked.clear();
        s.plain.clear();
        MessageBoxSeam::Install(&Scripted);
        PlainMessageBox::Install([](const QString& t, const QString& x) { S().plain.append({t, x}); });
        Clock::Install(nullptr);
        FileChangeWatcher::InstallSettleMs(std::nullopt);
        MemoryStatus::Install(nullptr);
        modCallBack::BusyFlags = {};
        // Settings in the test's folder, the splash window hidden as a user
        // who ticked its box; file dialogs, the editor and web pages must be
        // scripted.
        modRegistry::SetSettingsFile(s.folder->path() + QStringLiteral("/.settings/OrmidYRB100.conf"));
        modRegistry::SetSetting(QStringLiteral("Hide"), QStringLiteral("1"));
        modDialog::InstallChooser([](const modDialog::FileDialogRequest& r) {
            ADD_FAILURE() << "unexpected file dialog: " << r.Title.toStdString();
            return QStringList();
        });
        modProcess::InstallRunner([](const QString& program, const QStringList&, QString* error) {
            ADD_FAILURE() << "unexpected external program: " << program.toStdString();
            if (error) *error = QStringLiteral("not started by the test");
            return -1;
        });
        modProcess::InstallStarter([](const QString& program, const QStringList&, QString* error) {
            ADD_FAILURE() << "unexpected external program started: " << program.toStdString();
            if (error) *error = QStringLiteral("not started by the test");
            return false;
        });
        PopupMenuSeam::Install([](QMenu*) {
            ADD_FAILURE() << "unexpected popup menu";
            return static_cast<QAction*>(nullptr);
        });
        WebPageSeam::Install([](const QString& address) {
            ADD_FAILURE() << "unexpected web page: " << address.toStdString();
            return false;
        });
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        ReleaseMonitorObj();
        ReleaseChronoObj();
        ReleaseMemUsageObj();
        ReleaseTraceObj();
        ReleaseInterruptObj();
        ReleaseErrorObj();
        Screen::Instance()->SetMousePointer(0);
        QCoreApplication::processEvents();
        S().folder.reset();
    }
};
}  // namespace

void InstallListener() { ::testing::UnitTest::GetInstance()->listeners().Append(new Reset()); }

QString Folder() { return S().folder ? S().folder->path() : QDir::tempPath(); }

QString WriteFile(const QString& name, const QByteArray& bytes) {
    const QString path = QDir(Folder()).filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
    return path;
}

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList Rows(const ReportListView* view) {
    QStringList rows;
    for (int i = 0; i < view->ItemCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < view->ColumnCount(); ++c) cells.append(view->Item(i)->text(c));
        rows.append(cells.join('|'));
    }
    return rows;
}

void AnswerMessages(const QList<int>& answers) { S().answers = answers; }
const QList<MsgBoxRequest>& AskedMessages() { return S().asked; }
void UseRealMessageBox() { MessageBoxSeam::Install(nullptr); }

const QList<QPair<QString, QString>>& PlainBoxes() { return S().plain; }

void SetClock(const QDateTime& now) {
    S().clock = now;
    Clock::Install([] { return S().clock; });
}

void AdvanceClock(qint64 msecs) { S().clock = S().clock.addMSecs(msecs); }

void QuickClick(QWidget* target, const QPoint& at) {
    const QPoint global = target->mapToGlobal(at);
    QCoreApplication::postEvent(
        target, new QMouseEvent(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QCoreApplication::processEvents();
}

void QuickHeaderClick(OwnerDataListView* list, int column) {
    QHeaderView* header = list->horizontalHeader();
    QuickClick(header->viewport(), QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                                          header->height() / 2));
}

}  // namespace TestHarness
