// The mail pane through the real window (offscreen):
//  - painting and scrolling VL_mail over 100 and 20,000 mails: time and the
//    cells asked per repaint, which must not grow with the mails;
//  - a header-click sort of 20,000 mails by subject: its time and the
//    longest stretch without an event-loop turn (the window's responsiveness);
//  - "Retrieve mails" of ORMID_BENCH_MAILS (default 2,000) messages, headers
//    only, from a private dovecot, parsed and listed; skipped, saying why,
//    where dovecot cannot run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>

#include "DovecotServer.h"
#include "FrmMain.h"
#include "ListsCol.h"
#include "MailboxFile.h"
#include "MessageBoxSeam.h"
#include "OwnerDataListView.h"
#include "ProgramFolder.h"
#include "clsMail.h"
#include "clsPOP3Mailbox.h"
#include "clsVirtualListview.h"
#include "modCrypto.h"
#include "modRegistry.h"

namespace {

int MailCount() {
    const char* n = std::getenv("ORMID_BENCH_MAILS");
    return n != nullptr && std::atoi(n) > 0 ? std::atoi(n) : 2000;
}

QByteArray MessageBytes(int n) {
    // Subjects in no order, so the sort has work to do.
    const int key = int((uint32_t(n) * 2654435761u) % 1000003u);
    return "From: Sender " + QByteArray::number(n) + " <s" + QByteArray::number(n) +
           "@example.org>\r\nSubject: Subject " + QByteArray::number(key) + "\r\nMessage-ID: <m" +
           QByteArray::number(n) + "@example.org>\r\nDate: Mon, 1 Jan 2024 10:00:00 +0000\r\nX-Filler: " +
           QByteArray(300, 'h') + "\r\n\r\nbody line\r\n";
}

struct Window {
    QString folder;
    std::unique_ptr<FrmMain> w;

    Window() {
        folder = QDir::tempPath() + QStringLiteral("/ormid-mailpane-bench");
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        ProgramFolder::Set(folder);
        qputenv("XDG_DATA_HOME", QFile::encodeName(folder + QStringLiteral("/.data")));
        modRegistry::SetSettingsFile(folder + QStringLiteral("/settings.conf"));
        modRegistry::SetSetting(QStringLiteral("Hide"), QStringLiteral("1"));
        MessageBoxSeam::Install([](const MsgBoxRequest&) { return MsgBoxButton::Ok; });
        w = std::make_unique<FrmMain>();
        w->Form_Load();
        w->resize(1000, 700);
        w->SSTab->setCurrentIndex(3);
        QApplication::processEvents();
    }
    ~Window() {
        w.reset();
        QDir(folder).removeRecursively();
    }
    void Show(int count) {
        auto mails = std::make_shared<clsPOP3Session::MailList>();
        mails->reserve(size_t(count));
        for (int n = 1; n <= count; ++n) {
            auto mail = std::make_shared<clsMail>();
            mail->mRawMessage = "+OK\r\n" + MessageBytes(n) + ".\r\n";
            mail->mSize = 400 + n;
            mail->ParseMail();
            mails->push_back(mail);
        }
        w->Session1->Mails = mails;
        w->VL_mail->SetCount(count);
        w->VL_mail->SetAll();
        w->VL_mail->Refresh();
        QApplication::processEvents();
    }
    OwnerDataListView* List() const { return w->VL_mail->ListWindow(); }
};

std::unique_ptr<Window> g_window;
Window& Pane() {
    if (!g_window) g_window = std::make_unique<Window>();
    return *g_window;
}

void BM_PaintMailList(benchmark::State& state) {
    Window& s = Pane();
    s.Show(int(state.range(0)));
    OwnerDataListView* list = s.List();
    const int64_t before = list->CellRequests();
    for (auto _ : state) list->viewport()->repaint();
    state.counters["cells_per_paint"] =
        double(list->CellRequests() - before) / double(state.iterations());
    state.counters["rows_shown"] = list->CountPerPage();
}

void BM_ScrollMailList(benchmark::State& state) {
    Window& s = Pane();
    s.Show(int(state.range(0)));
    OwnerDataListView* list = s.List();
    QScrollBar* bar = list->verticalScrollBar();
    const int64_t before = list->CellRequests();
    int value = 0;
    for (auto _ : state) {
        value = value + list->CountPerPage() > bar->maximum() ? 0 : value + list->CountPerPage();
        bar->setValue(value);
        list->viewport()->repaint();
    }
    state.counters["cells_per_page"] =
        double(list->CellRequests() - before) / double(state.iterations());
}

// The header click on "Subject", alternating the direction; the longest
// gap between two turns of the event loop during it.
void BM_SortBySubject(benchmark::State& state) {
    Window& s = Pane();
    s.Show(int(state.range(0)));
    double worstGapMs = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        QTimer tick;
        tick.setInterval(0);
        double last = 0;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const double now = double(clock.nsecsElapsed()) / 1e6;
            worstGapMs = std::max(worstGapMs, now - last);
            last = now;
        });
        clock.start();
        tick.start();
        s.w->VL_mail_ColumnClick(5);
        tick.stop();
        worstGapMs = std::max(worstGapMs, double(clock.nsecsElapsed()) / 1e6 - last);
    }
    state.counters["longest_gap_ms"] = worstGapMs;
}

void BM_RetrieveHeaders(benchmark::State& state) {
    const int count = MailCount();
    DovecotServer server;
    server.AddUser("user", "secret");
    for (int n = 1; n <= count; ++n) server.AddMessage("user", MessageBytes(n));
    const QString why = server.Start();
    if (!why.isEmpty()) {
        state.SkipWithError(why.toStdString().c_str());
        return;
    }
    Window& s = Pane();
    auto account = std::make_shared<clsPOP3Mailbox>();
    account->POP3User = QStringLiteral("user");
    account->POP3Server = QStringLiteral("127.0.0.1");
    account->POP3Port = server.Port();
    account->POP3TimeOut = 60;
    account->POP3Password = modCrypto::EncryptPassword(QStringLiteral("secret"));
    Mailboxes = std::make_shared<MailboxCollection>(MailboxCollection{account});
    s.w->CboUserName->clear();
    s.w->CboUserName->addItem(account->POP3User);
    s.w->CboUserName->setCurrentIndex(0);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) s.w->ComMailGet_Click();
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    state.counters["rows"] = s.w->VL_mail->GetCnt();
    state.counters["ms_per_mail"] = ms / (double(count) * double(state.iterations()));
}

BENCHMARK(BM_PaintMailList)->Arg(100)->Arg(20000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScrollMailList)->Arg(100)->Arg(20000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SortBySubject)->Arg(100)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RetrieveHeaders)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    g_window.reset();
    benchmark::Shutdown();
    return 0;
}
