// The three flag boxes of each side: ticking flags the side's invalid,
// duplicate or selected entries, writes the reports, puts the flagged
// entries first and confirms; unticking clears the flag again.
#include <algorithm>

#include <QCheckBox>
#include <QFile>
#include <QPushButton>

#include "FrmMain.h"
#include "MainFixture.h"
#include "OrmidYRB100.h"
#include "OwnerEnabler.h"
#include "RichTextBox.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "TestHarness.h"
#include "WorkspaceFixture.h"
#include "clsInterrupt.h"
#include "clsMonitor.h"
#include "modCallBack.h"

namespace {

using Box = QCheckBox* FrmMain::WorkspaceSide::*;

// One of each: a valid entry, an invalid one, an address twice.
constexpr const char* kList = "c@d.org\r\nbad\r\na@b.com\r\na@b.com\r\n";
constexpr int32_t kEntries = 4;

struct Kind {
    const char* name;
    Box box;
    int32_t flag;
    int flagged;            // entries of kList flagged by a tick
    const char* reportExt;  // the report the kind writes; nullptr for none
    const char* doneTitle;
    const char* doneText;
};
const Kind kKinds[] = {
    {"invalid", &FrmMain::WorkspaceSide::markInv, YRB_FLAG_INVALID, 1, "inv", "Invalid Detection Completed",
     "The invalid detection completed successfully"},
    {"duplicate", &FrmMain::WorkspaceSide::markDup, YRB_FLAG_DUPLICATE, 1, "dup", "Duplicate Detection Completed",
     "The duplicate detection completed successfully"},
    // Entries 0 and 2 are selected before the tick.
    {"deleted", &FrmMain::WorkspaceSide::markDel, YRB_FLAG_DELETED, 2, nullptr, "Flag as Deleted",
     "The selected entries have been successfully flagged as deleted"},
};

class FlagBoxes : public WorkspaceTest {
protected:
    void TearDown() override {
        w->SuppressMarkClicks = false;
        WorkspaceTest::TearDown();
    }
    // The side's descriptor names its source and its reports beside it.
    void Name(int32_t slot) {
        FrmMain::WorkspaceSide side = w->Side(slot);
        const QString base = TestHarness::Folder() + QStringLiteral("/list%1.").arg(slot);
        side.listDesc->NameSrc = base + "txt";
        side.listDesc->NameInv = base + "inv";
        side.listDesc->NameDup = base + "dup";
        side.listDesc->NameSta = base + "sta";
    }
    void LoadSide(int32_t slot, const QByteArray& lines = kList, int32_t entries = kEntries) {
        Load(slot, lines, entries);
        Name(slot);
        ASSERT_EQ(YRB03(slot, 0, YRB_FLAG_SELECTED, 1), 0);
        ASSERT_EQ(YRB03(slot, 2, YRB_FLAG_SELECTED, 1), 0);
    }
    // Empties the slot and tells its pane, so no row asks for a lost entry.
    void Unload(int32_t slot) {
        YRB20(slot);
        Pane(slot)->SetCount(0);
    }
    static QString Report(int32_t slot, const char* ext) {
        return TestHarness::Folder() + QStringLiteral("/list%1.%2").arg(slot).arg(QLatin1String(ext));
    }
    // The entries' flags in display order.
    static QList<int32_t> Flags(int32_t slot, int32_t mask) {
        QList<int32_t> flags;
        for (int32_t e = 0; YRB17(slot, e, -1) >= 0; ++e) flags.append(YRB17(slot, e, -1) & mask);
        return flags;
    }
    static int Count(const QList<int32_t>& flags) {
        return static_cast<int>(std::count_if(flags.begin(), flags.end(), [](int32_t f) { return f != 0; }));
    }
    void ExpectClosed() const {
        EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
        EXPECT_EQ(Screen::Instance()->MousePointer(), Screen::kDefaultPointer);
        EXPECT_EQ(MonitorObj()->MFrm, nullptr);
    }
    void ExpectDone(const Kind& k) const {
        ASSERT_FALSE(TestHarness::AskedMessages().isEmpty());
        const MsgBoxRequest& r = TestHarness::AskedMessages().last();
        EXPECT_EQ(r.Title, k.doneTitle);
        EXPECT_EQ(r.message, k.doneText);
        EXPECT_EQ(r.IconNb, MsgBoxIcon::Logo);
        EXPECT_TRUE(r.ShowOk);
        EXPECT_FALSE(r.ShowYes || r.ShowNo || r.ShowYesAll || r.ShowNoAll || r.ShowCancel);
        EXPECT_EQ(r.Choice, QString());
        EXPECT_EQ(r.CForm, w.get());
        EXPECT_EQ(r.OForm, w.get());
    }
    QString Console() const { return w->TxtErrors->Text(); }
};

// Every kind on both sides: ticked, then unticked; the other side's list
// is never touched.
TEST_F(FlagBoxes, TickFlagsAndConfirmsUntickClears) {
    for (const Kind& k : kKinds) {
        for (int32_t slot : {1, 2}) {
            SCOPED_TRACE(testing::Message() << k.name << " on side " << slot);
            const int32_t other = 3 - slot;
            LoadSide(slot);
            LoadSide(other);
            const QList<int32_t> otherBefore = Flags(other, -1);
            const FrmMain::WorkspaceSide side = w->Side(slot);
            const qsizetype asked = TestHarness::AskedMessages().size();

            TestHarness::AnswerMessages({MsgBoxButton::Ok});
            (side.*k.box)->setChecked(true);
            EXPECT_EQ(TestHarness::AskedMessages().size(), asked + 1);
            ExpectDone(k);
            const QList<int32_t> flags = Flags(slot, k.flag);
            EXPECT_EQ(Count(flags), k.flagged);
            // The flagged entries come first.
            for (int i = 0; i < k.flagged; ++i) EXPECT_NE(flags[i], 0) << "row " << i;
            EXPECT_TRUE((side.*k.box)->isChecked());
            if (k.reportExt != nullptr) {
                EXPECT_TRUE(QFile::exists(Report(slot, k.reportExt)));
                EXPECT_TRUE(side.view->isEnabled());
            } else {
                EXPECT_FALSE(side.view->isEnabled());
            }
            EXPECT_EQ(Flags(other, -1), otherBefore);
            ExpectClosed();

            (side.*k.box)->setChecked(false);
            EXPECT_EQ(TestHarness::AskedMessages().size(), asked + 1);
            EXPECT_EQ(Count(Flags(slot, k.flag)), 0);
            if (k.reportExt != nullptr) {
                EXPECT_FALSE(QFile::exists(Report(slot, k.reportExt)));
            }
            EXPECT_FALSE(side.view->isEnabled());
            EXPECT_EQ(Console(), QString());
            ExpectClosed();
            Unload(slot);
            Unload(other);
        }
    }
}

// A side without a list: the report kinds do nothing; the deleted kind
// lets the engine say so in the console.  No message either way, and the
// box keeps its tick.
TEST_F(FlagBoxes, EmptySide) {
    for (const Kind& k : kKinds) {
        for (int32_t slot : {1, 2}) {
            SCOPED_TRACE(testing::Message() << k.name << " on side " << slot);
            Name(slot);
            w->TxtErrors->SetText(QString());
            const FrmMain::WorkspaceSide side = w->Side(slot);
            const qsizetype asked = TestHarness::AskedMessages().size();
            (side.*k.box)->setChecked(true);
            EXPECT_EQ(TestHarness::AskedMessages().size(), asked);
            EXPECT_TRUE((side.*k.box)->isChecked());
            if (k.reportExt != nullptr) {
                EXPECT_EQ(Console(), QString());
                EXPECT_FALSE(QFile::exists(Report(slot, k.reportExt)));
            } else {
                EXPECT_TRUE(Console().contains(QStringLiteral("in List %1").arg(slot))) << Console().toStdString();
                EXPECT_FALSE(Console().contains(QStringLiteral("Routine : ChkMark")));
            }
            ExpectClosed();
        }
    }
}

// While SuppressMarkClicks is set no box does anything, either way.
TEST_F(FlagBoxes, SuppressedClicksDoNothing) {
    for (const Kind& k : kKinds) {
        for (int32_t slot : {1, 2}) {
            SCOPED_TRACE(testing::Message() << k.name << " on side " << slot);
            LoadSide(slot);
            const FrmMain::WorkspaceSide side = w->Side(slot);
            if (k.reportExt != nullptr) TestHarness::WriteFile(Report(slot, k.reportExt).section('/', -1), "old");
            const QList<int32_t> before = Flags(slot, -1);
            w->SuppressMarkClicks = true;
            (side.*k.box)->setChecked(true);
            EXPECT_EQ(Flags(slot, -1), before);
            // An untick, as a clear of the side does it, keeps the flags set
            // one by one and the old report.
            ASSERT_EQ(YRB03(slot, 0, k.flag, 1), 0);
            (side.*k.box)->setChecked(false);
            w->SuppressMarkClicks = false;
            EXPECT_NE(YRB17(slot, 0, k.flag), 0);
            if (k.reportExt != nullptr) {
                EXPECT_TRUE(QFile::exists(Report(slot, k.reportExt)));
            }
            EXPECT_EQ(Console(), QString());
            Unload(slot);
        }
    }
}

// Nothing to flag still completes: the message is shown; the duplicate
// report says "None".
TEST_F(FlagBoxes, NothingFoundStillConfirms) {
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.name);
        Load(1, "c@d.org\r\na@b.com\r\n", 2);
        Name(1);
        TestHarness::AnswerMessages({MsgBoxButton::Ok});
        (w->Side(1).*k.box)->setChecked(true);
        ExpectDone(k);
        EXPECT_EQ(Flags(1, -1), (QList<int32_t>{0, 0}));
        (w->Side(1).*k.box)->setChecked(false);
        Unload(1);
    }
    EXPECT_EQ(Console(), QString());
}

// A duplicate report the engine cannot write fails the detection: the
// engine's message in the console, no completion message, the box stays
// ticked, and the window is usable again.  (A failed invalid report does
// not stop the engine's detection.)
TEST_F(FlagBoxes, EngineFailureShowsNoMessage) {
    const Kind& k = kKinds[1];
    ASSERT_EQ(k.flag, YRB_FLAG_DUPLICATE);
    for (int32_t slot : {1, 2}) {
        SCOPED_TRACE(testing::Message() << k.name << " on side " << slot);
        LoadSide(slot);
        const FrmMain::WorkspaceSide side = w->Side(slot);
        const QString unwritable = TestHarness::Folder() + "/no such folder/list." + k.reportExt;
        side.listDesc->NameInv = unwritable;
        side.listDesc->NameDup = unwritable;
        w->TxtErrors->SetText(QString());
        const qsizetype asked = TestHarness::AskedMessages().size();
        (side.*k.box)->setChecked(true);
        EXPECT_EQ(TestHarness::AskedMessages().size(), asked);
        EXPECT_TRUE((side.*k.box)->isChecked());
        EXPECT_TRUE(Console().contains("Could not open duplicate file for writing")) << Console().toStdString();
        EXPECT_FALSE(Console().contains(QStringLiteral("Routine : ChkMark")));
        EXPECT_FALSE(side.view->isEnabled());
        ExpectClosed();
        w->SuppressMarkClicks = true;
        (side.*k.box)->setChecked(false);
        w->SuppressMarkClicks = false;
        Unload(slot);
    }
}

// Entries already out of the list keep their flags; only selected ones are
// flagged deleted, and they stay selected.  Unticking clears the deleted
// flag on every entry, selected or not.
TEST_F(FlagBoxes, DeletedTakesOnlySelectedEntriesStillInTheList) {
    LoadSide(1);
    ASSERT_EQ(YRB03(1, 0, YRB_FLAG_INVALID, 1), 0);  // selected and invalid
    ASSERT_EQ(YRB03(1, 1, YRB_FLAG_DELETED, 1), 0);  // not selected, deleted by hand
    TestHarness::AnswerMessages({MsgBoxButton::Ok});
    w->ChkMarkDelleft->setChecked(true);
    // a@b.com (selected) is flagged; c@d.org stays invalid only.
    for (int32_t e = 0; e < kEntries; ++e) {
        const QString a = Address(1, e);
        const int32_t f = YRB17(1, e, -1);
        SCOPED_TRACE(a.toStdString());
        if (a == "c@d.org") {
            EXPECT_EQ(f, YRB_FLAG_SELECTED | YRB_FLAG_INVALID);
        } else if (a == "bad") {
            EXPECT_EQ(f, YRB_FLAG_DELETED);
        }
    }
    EXPECT_EQ(Count(Flags(1, YRB_FLAG_DELETED)), 2);
    EXPECT_EQ(Count(Flags(1, YRB_FLAG_SELECTED | YRB_FLAG_DELETED)), 3);
    w->ChkMarkDelleft->setChecked(false);
    EXPECT_EQ(Count(Flags(1, YRB_FLAG_DELETED)), 0);
    EXPECT_EQ(Count(Flags(1, YRB_FLAG_INVALID)), 1);
}

// Unticking the invalid box clears flags set one by one too; "Results"
// stays only while another result file of the list exists.
TEST_F(FlagBoxes, UntickKeepsResultsOnlyForAnotherFile) {
    struct Case {
        const char* what;
        bool statistics;  // a statistics file beside the list
    } cases[] = {{"no other result", false}, {"statistics left", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoadSide(1);
        if (c.statistics) TestHarness::WriteFile("list1.sta", "Domain\tOccurrences\tPercentage\r\n");
        TestHarness::AnswerMessages({MsgBoxButton::Ok});
        w->ChkMarkInvLeft->setChecked(true);
        ASSERT_TRUE(w->ComViewLeft->isEnabled());
        for (int32_t e = 0; e < kEntries; ++e) ASSERT_EQ(YRB03(1, e, YRB_FLAG_INVALID, 1), 0);
        w->ChkMarkInvLeft->setChecked(false);
        EXPECT_EQ(Count(Flags(1, YRB_FLAG_INVALID)), 0);
        EXPECT_FALSE(QFile::exists(Report(1, "inv")));
        EXPECT_EQ(w->ComViewLeft->isEnabled(), c.statistics);
        QFile::remove(Report(1, "sta"));
        Unload(1);
    }
}

// The engine's first information text of a run, seen from inside the
// engine: what the window showed then, and what the test does there.
struct FirstInformation {
    static inline FrmMain* form = nullptr;
    static inline bool seen = false;
    static inline QString caption;
    static inline QString message;
    static inline bool enabled = true;
    static inline int pointer = Screen::kDefaultPointer;
    static inline void (FrmMain::*again)() = nullptr;
    static inline bool cancel = false;
    static int32_t Information(const char*) {
        if (seen || form == nullptr) return 0;
        seen = true;
        caption = MonitorObj()->Caption;
        message = MonitorObj()->message;
        enabled = OwnerEnabler::IsEnabled(form);
        pointer = Screen::Instance()->MousePointer();
        if (again != nullptr) (form->*again)();
        // As the progress window's Cancel does it.
        if (cancel) InterruptObj()->ISet(QStringLiteral("Operator"));
        return 0;
    }
    // Installed in the registered table for the life of the object.
    // Disarmed until Arm(): loads send information too.
    explicit FirstInformation(FrmMain* f) : saved(modCallBack::EngineCallbackTable) {
        form = f;
        seen = true;
        modCallBack::EngineCallbackTable.information = &Information;
        YRB07(&modCallBack::EngineCallbackTable);
    }
    ~FirstInformation() {
        form = nullptr;
        again = nullptr;
        cancel = false;
        modCallBack::EngineCallbackTable = saved;
        YRB07(&modCallBack::EngineCallbackTable);
    }
    static void Arm() { seen = false; }
    YRB_CallbackTable saved;
};

// Cancel taken by the engine's interrupt check: no message, the box keeps
// its tick, the window is usable again and nothing is reported.
TEST_F(FlagBoxes, CancelEndsWithoutMessage) {
    QByteArray bytes;
    for (int i = 0; i < 30000; ++i) bytes += "u" + QByteArray::number(i % 50) + "@d.com\r\n";
    const FirstInformation hook(w.get());
    FirstInformation::cancel = true;
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.name);
        Load(1, bytes, 30000);
        Name(1);
        ASSERT_EQ(YRB10(1, YRB_ALL_ENTRIES, YRB_MODE_SET, YRB_FLAG_SELECTED, 0, 0, nullptr), 30000);
        const qsizetype asked = TestHarness::AskedMessages().size();
        FirstInformation::Arm();
        (w->Side(1).*k.box)->setChecked(true);
        EXPECT_TRUE(FirstInformation::seen);
        EXPECT_FALSE(InterruptObj()->Active);
        EXPECT_EQ(TestHarness::AskedMessages().size(), asked);
        EXPECT_TRUE((w->Side(1).*k.box)->isChecked());
        // Stopped early: not every entry got the flag.
        EXPECT_LT(Count(Flags(1, k.flag)), k.flag == YRB_FLAG_DELETED ? 30000 : 29950);
        EXPECT_EQ(Console(), QString());
        ExpectClosed();
        w->SuppressMarkClicks = true;
        (w->Side(1).*k.box)->setChecked(false);
        w->SuppressMarkClicks = false;
        Unload(1);
    }
}

// The progress window's texts, the busy window while the engine works, and
// a second Click of the same box meanwhile that returns at once.
TEST_F(FlagBoxes, ProgressTitlesAndBusyWindow) {
    struct Case {
        int32_t slot;
        Box box;
        void (FrmMain::*click)();
        const char* caption;
        const char* message;
    } cases[] = {
        {1, &FrmMain::WorkspaceSide::markInv, &FrmMain::ChkMarkInvLeft_Click, "Flagging Invalid",
         "Now flagging invalid entries"},
        {2, &FrmMain::WorkspaceSide::markInv, &FrmMain::ChkMarkInvRight_Click, "Flagging Invalid",
         "Now flagging invalid entries"},
        {1, &FrmMain::WorkspaceSide::markDup, &FrmMain::ChkMarkDupLeft_Click, "Detecting Duplicates",
         "Now detecting duplicate entries"},
        {2, &FrmMain::WorkspaceSide::markDup, &FrmMain::ChkMarkDupRight_Click, "Flagging Duplicates",
         "Now flagging duplicate entries"},
        {1, &FrmMain::WorkspaceSide::markDel, &FrmMain::ChkMarkDelleft_Click, "Flagging Deleted",
         "Now flagging selected entries as deleted"},
        {2, &FrmMain::WorkspaceSide::markDel, &FrmMain::ChkMarkDelRight_Click, "Flagging Deleted",
         "Now flagging selected entries as deleted"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        LoadSide(c.slot);
        const FirstInformation hook(w.get());
        FirstInformation::again = c.click;
        FirstInformation::Arm();
        const qsizetype asked = TestHarness::AskedMessages().size();
        TestHarness::AnswerMessages({MsgBoxButton::Ok});
        (w->Side(c.slot).*c.box)->setChecked(true);
        EXPECT_EQ(TestHarness::AskedMessages().size(), asked + 1);
        EXPECT_EQ(FirstInformation::caption, c.caption);
        EXPECT_EQ(FirstInformation::message, c.message);
        EXPECT_FALSE(FirstInformation::enabled);
        EXPECT_EQ(FirstInformation::pointer, Screen::kHourglassPointer);
        ExpectClosed();
        w->SuppressMarkClicks = true;
        (w->Side(c.slot).*c.box)->setChecked(false);
        w->SuppressMarkClicks = false;
        Unload(c.slot);
    }
    EXPECT_EQ(Console(), QString());
}

// ---- through the engine with the shipped reference files ----

class ShippedFlagging : public FlagBoxes {
protected:
    void SetUp() override {
        for (const char* name : {"DN_Country.cfg", "DN_Generic.cfg", "DN_User.cfg", "DN_Keyword.cfg"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(ORMID_DATA_DIR "/") + name,
                                    TestHarness::Folder() + "/" + name))
                << name;
        w = std::make_unique<FrmMain>();
        w->Form_Load();
        ASSERT_EQ(Console(), QString());
    }
    void TearDown() override {
        // The engine keeps a block list until another load fails.
        const QString none = TestHarness::WriteFile("none.txt", QByteArray());
        YRB08(QFile::encodeName(none).constData(), 1, "\t", "\r\n");
        FlagBoxes::TearDown();
    }
};

// One address for each reason the engine gives on a loaded list (its
// parser never makes an empty user or domain: "@b.com" and "a@" are
// incomplete), an entry without an address, and a valid one.
TEST_F(ShippedFlagging, InvalidReportNamesEachReason) {
    const QString block = TestHarness::WriteFile("block.txt", "black@list.com\r\n");
    ASSERT_EQ(YRB08(QFile::encodeName(block).constData(), 1, "\t", "\r\n"), 1);
    const QByteArray list =
        "good@b.com\r\n"
        "@@\r\n"
        "\tno address\r\n"
        "NoDomain\r\n"
        "@b.com\r\n"
        "a@\r\n"
        "a b@b.com\r\n"
        "a@b..com\r\n"
        "a@b.zz\r\n"
        "a@b.onion\r\n"
        "NoReply@b.com\r\n"
        "black@list.com\r\n";
    Load(1, list, 12);
    Name(1);
    TestHarness::AnswerMessages({MsgBoxButton::Ok});
    w->ChkMarkInvLeft->setChecked(true);
    const QByteArray expected =
        "Invalid Addresses\tReason\r\n"
        "@@\tEmpty Email Address\r\n"
        "nodomain\tIncomplete Email Address\r\n"
        "@b.com\tIncomplete Email Address\r\n"
        "a@\tIncomplete Email Address\r\n"
        "a b@b.com\tInvalid user syntax : invalid character ' '\r\n"
        "a@b..com\tInvalid domain syntax : missing atom\r\n"
        "a@b.zz\tInvalid domain extension : unknown extension 'zz'\r\n"
        "a@b.onion\tExcluded domain extension : 'onion'\r\n"
        "noreply@b.com\tExcluded keyword : 'noreply'\r\n"
        "black@list.com\tBlack listed\r\n";
    EXPECT_EQ(TestHarness::ReadFile(Report(1, "inv")), expected);
    const QList<int32_t> flaggedFirst = {32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 0, 0};
    EXPECT_EQ(Flags(1, YRB_FLAG_INVALID), flaggedFirst);
    EXPECT_TRUE(w->ComViewLeft->isEnabled());
    EXPECT_EQ(Console(), QString());

    w->ChkMarkInvLeft->setChecked(false);
    EXPECT_FALSE(QFile::exists(Report(1, "inv")));
    EXPECT_EQ(Count(Flags(1, YRB_FLAG_INVALID)), 0);
    EXPECT_FALSE(w->ComViewLeft->isEnabled());

    TestHarness::AnswerMessages({MsgBoxButton::Ok});
    w->ChkMarkInvLeft->setChecked(true);
    EXPECT_EQ(TestHarness::ReadFile(Report(1, "inv")), expected);
    EXPECT_EQ(Flags(1, YRB_FLAG_INVALID), flaggedFirst);
    EXPECT_EQ(Console(), QString());
}

// Addresses are compared without regard to case; the report names the
// address as the engine stores it, lower-cased, or "None".
TEST_F(ShippedFlagging, DuplicateReport) {
    struct Case {
        const char* what;
        QByteArray list;
        int32_t entries;
        QList<int32_t> flags;  // in display order afterwards
        QByteArray report;
    } cases[] = {
        {"three differing in case", "Ann@Mail.com\r\nz@y.org\r\nann@mail.com\r\nANN@MAIL.COM\r\n", 4,
         {YRB_FLAG_DUPLICATE, YRB_FLAG_DUPLICATE, 0, 0}, "Email Address\tOccurrences\r\nann@mail.com\t3\r\n"},
        {"no repeats", "c@d.org\r\na@b.com\r\n", 2, {0, 0}, "Email Address\tOccurrences\r\nNone\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Load(2, c.list, c.entries);
        Name(2);
        TestHarness::AnswerMessages({MsgBoxButton::Ok});
        w->ChkMarkDupRight->setChecked(true);
        EXPECT_EQ(Flags(2, YRB_FLAG_DUPLICATE), c.flags);
        EXPECT_EQ(TestHarness::ReadFile(Report(2, "dup")), c.report);
        EXPECT_TRUE(w->ComViewRight->isEnabled());
        w->ChkMarkDupRight->setChecked(false);
        Unload(2);
    }
    EXPECT_EQ(Console(), QString());
}

}  // namespace
