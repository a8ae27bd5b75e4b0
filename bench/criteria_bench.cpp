// Criteria sets against many mails (offscreen):
//  - one set of 20 keywords over header, body and subject, evaluated against
//    ORMID_BENCH_MAILS (default 10,000) mails of about 5 KB;
//  - "Select based on criteria" with the same set and mails through the real
//    window: evaluation, ticks, progress texts and message pumping; the
//    whole selection must take under a second for 10,000 mails.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTabWidget>
#include <cstdlib>
#include <memory>

#include "FrmMain.h"
#include "MessageBoxSeam.h"
#include "ProgramFolder.h"
#include "Rules.h"
#include "clsMail.h"
#include "clsRule.h"
#include "clsVirtualListview.h"
#include "modRegistry.h"

namespace {

int MailCount() {
    const char* n = std::getenv("ORMID_BENCH_MAILS");
    return n != nullptr && std::atoi(n) > 0 ? std::atoi(n) : 10000;
}

// Twenty keywords searched in every part, with every mix of the case and
// whole-word options; one in five mails holds the eighteenth.
std::shared_ptr<clsRule> TwentyKeywords() {
    auto set = std::make_shared<clsRule>();
    set->name = QStringLiteral("Twenty");
    set->OP1 = clsOperator::kOr;
    set->OP2 = clsOperator::kOr;
    for (int k = 0; k < 20; ++k) {
        auto keyword = std::make_shared<clsKeyword>();
        keyword->Value = QStringLiteral("keyword%1x").arg(k);
        keyword->DoUse = keyword->DoHea = keyword->DoCon = keyword->DoSub = true;
        keyword->DoWrd = k % 2 == 0;
        keyword->DoCas = k % 4 < 2;
        set->Keywords->push_back(keyword);
    }
    set->Initialize();
    return set;
}

std::shared_ptr<clsPOP3Session::MailList> Mails(int count) {
    auto mails = std::make_shared<clsPOP3Session::MailList>();
    mails->reserve(size_t(count));
    // Words that start like the keywords, so the search has rejected
    // occurrences to go through.
    QString line = QStringLiteral("Some text of the mail with keyword words keywordly and Keyword1 in it.\r\n");
    QString body;
    while (body.size() < 4800) body += line;
    for (int n = 1; n <= count; ++n) {
        auto mail = std::make_shared<clsMail>();
        mail->mSubject = QStringLiteral("Subject number %1").arg(n);
        mail->mHeaders = QStringLiteral("From: Sender <s%1@example.org>\r\nSubject: %2\r\nDate: Mon, 1 Jan 2024\r\n")
                             .arg(n)
                             .arg(mail->mSubject);
        mail->mMsgBody = n % 5 == 0 ? body + QStringLiteral("the KEYWORD18X is here\r\n") : body;
        mail->mFrom = QStringLiteral("s%1@example.org").arg(n);
        mail->LenHea = int32_t(mail->mHeaders.size());
        mail->LenBdy = int32_t(mail->mMsgBody.size());
        mails->push_back(mail);
    }
    return mails;
}

void BM_Evaluate(benchmark::State& state) {
    const auto set = TwentyKeywords();
    const auto mails = Mails(MailCount());
    int64_t selected = 0;
    for (auto _ : state) {
        selected = 0;
        for (const auto& m : *mails) selected += set->Evaluate(m.get()) ? 1 : 0;
        benchmark::DoNotOptimize(selected);
    }
    state.counters["mails"] = double(mails->size());
    state.counters["selected"] = double(selected);
}
BENCHMARK(BM_Evaluate)->Unit(benchmark::kMillisecond)->Iterations(3);

struct Window {
    QString folder;
    std::unique_ptr<FrmMain> w;

    Window() {
        folder = QDir::tempPath() + QStringLiteral("/ormid-criteria-bench");
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
};

void BM_SelectBasedOnCriteria(benchmark::State& state) {
    Window window;
    FrmMain& w = *window.w;
    Rules = std::make_shared<RuleCollection>(RuleCollection{TwentyKeywords()});
    w.LoadRuleCombo();
    w.CboRules->setCurrentIndex(0);
    w.Session1->Mails = Mails(MailCount());
    w.VL_mail->SetCount(int32_t(w.Session1->Mails->size()));
    w.VL_mail->SetAll();
    QApplication::processEvents();
    for (auto _ : state) w.ComSelCri_Click();
    state.counters["mails"] = double(w.VL_mail->GetCnt());
    state.counters["ticked"] = double(w.VL_mail->GetSel());
}
BENCHMARK(BM_SelectBasedOnCriteria)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
