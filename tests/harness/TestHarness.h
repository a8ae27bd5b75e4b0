#pragma once

#include <functional>
#include <ostream>

#include <QApplication>
#include <QByteArray>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <gtest/gtest.h>

#include "MsgBoxTypes.h"

class OwnerDataListView;

class ReportListView;

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

// Helpers shared by the program's tests.  Before every test the harness
// installs scripted message boxes, records the platform's message boxes,
// restores the system clock and points the program folder at a fresh
// temporary folder; after it, the service objects are released.
namespace TestHarness {

// The temporary program folder of the running test.
QString Folder();

// Writes bytes to a file of the folder (created with its parents); returns its path.
QString WriteFile(const QString& name, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);

// Answers for DisplayMessage, taken in order; an unexpected message fails
// the test and answers -1.  Every request is recorded.
void AnswerMessages(const QList<int>& answers);
const QList<MsgBoxRequest>& AskedMessages();
// A report list view's rows, each as its cells joined by "|".
QStringList Rows(const ReportListView* view);

// Lets DisplayMessage show the real FrmMsgBox for the rest of the test.
void UseRealMessageBox();

// Title and text of every platform message box shown during the test.
const QList<QPair<QString, QString>>& PlainBoxes();

// A clock standing still at the given time until moved.
// A quick left click as the window system delivers it: the release is
// queued already when the press is handled, so whatever pumps messages
// inside the press sees the release first.
void QuickClick(QWidget* target, const QPoint& at);
// A quick click in the middle of a header section of a list.
void QuickHeaderClick(OwnerDataListView* list, int column);

void SetClock(const QDateTime& now);
void AdvanceClock(qint64 msecs);

// Calls action once with the first visible modal widget of type T, from
// inside its modal loop.  A box that does not come within the time fails
// the test and is closed.
template <class T>
void WhenModal(std::function<void(T*)> action, int timeoutMs = 5000) {
    auto* timer = new QTimer();
    const QDeadlineTimer deadline(timeoutMs);
    QObject::connect(timer, &QTimer::timeout, [timer, deadline, action] {
        if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget()); w != nullptr && w->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action(w);
            return;
        }
        if (deadline.hasExpired()) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "the expected modal window did not appear";
            if (QWidget* m = QApplication::activeModalWidget()) m->hide();
        }
    });
    timer->start(5);
}

}  // namespace TestHarness
