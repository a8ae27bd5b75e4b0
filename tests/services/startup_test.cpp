// Start-up: the font check, Main, and the single instance with
// two instances started by the test.
#include <unistd.h>

#include <memory>
#include <stdexcept>

#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <QWidget>

#include "FileSizeLimit.h"
#include "FrmMain.h"
#include "ProgramFolder.h"
#include "RichTextBox.h"
#include "ServiceTestSupport.h"
#include "SingleInstance.h"
#include "TestHarness.h"
#include "modGlobalFunctionsStartup.h"
#include "modRegistry.h"

namespace {

namespace g = modGlobalFunctions;

// A socket of the test's own, and the font list restored afterwards.
struct StartupFixture : ::testing::Test {
    void SetUp() override {
        SingleInstance::SetServerName(TestHarness::Folder() + QStringLiteral("/OrmidYRB100.instance"));
    }
    void TearDown() override {
        SingleInstance::Stop();
        SingleInstance::SetServerName(QString());
        g::InstallFontList(nullptr);
    }
};

TEST(IsFontPresent, ExactAndCaseSensitive) {
    g::InstallFontList([] {
        return QStringList{QStringLiteral("arial"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};
    });
    struct Row {
        const char* name;
        bool present;
    };
    const Row rows[] = {{"Liberation Sans", true}, {"DejaVu Sans", true}, {"Arial", false}, {"arial", true},
                        {"Liberation", false},     {"", false}};
    for (const Row& r : rows) EXPECT_EQ(g::IsFontPresent(QString::fromLatin1(r.name)), r.present) << r.name;
    g::InstallFontList([] { return QStringList(); });
    EXPECT_FALSE(g::IsFontPresent(QStringLiteral("Liberation Sans")));
    g::InstallFontList(nullptr);
}

TEST(IsFontPresent, TheFontsTheWindowsReallyUse) {
    const QStringList fonts = g::RequiredFonts();
    ASSERT_EQ(fonts.size(), 3);
    EXPECT_EQ(fonts.at(0), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(fonts.at(1), QStringLiteral("Liberation Mono"));
    EXPECT_FALSE(fonts.at(2).isEmpty());
}

TEST_F(StartupFixture, MissingFontsAreWarnedInOrderThenTheMainWindowLoads) {
    g::InstallFontList([] { return QStringList(); });
    TestHarness::AnswerMessages({16, 16, 16});
    bool loaded = false;
    int boxesBeforeLoad = -1;
    EXPECT_TRUE(g::Main([&] {
        loaded = true;
        boxesBeforeLoad = static_cast<int>(TestHarness::AskedMessages().size());
    }));
    EXPECT_TRUE(loaded);
    EXPECT_EQ(boxesBeforeLoad, 3);
    const QStringList fonts = g::RequiredFonts();
    const auto& asked = TestHarness::AskedMessages();
    ASSERT_EQ(asked.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const MsgBoxRequest& r = asked.at(i);
        EXPECT_EQ(r.message, QStringLiteral("The '") + fonts.at(i) +
                                 QStringLiteral("' Font could not be found on your system !\r\n\r\n"
                                                "Ormid List Studio might not display Text and Labels correctly\r\n"
                                                "if this font is not installed"));
        EXPECT_EQ(r.Title, QStringLiteral("'") + fonts.at(i) + QStringLiteral("' Font not available"));
        EXPECT_EQ(r.IconNb, MsgBoxIcon::Error);
        EXPECT_EQ(r.Focus, 0);
        EXPECT_TRUE(r.ShowOk);
        EXPECT_FALSE(r.ShowYes || r.ShowNo || r.ShowYesAll || r.ShowNoAll || r.ShowCancel);
        EXPECT_TRUE(r.Choice.isEmpty());
        EXPECT_EQ(r.Placement, FormPlacement());
    }
    EXPECT_TRUE(SingleInstance::IsListening());
}

TEST_F(StartupFixture, OneMissingFontOneBox) {
    const QStringList fonts = g::RequiredFonts();
    g::InstallFontList([fonts] { return QStringList{fonts.at(0), fonts.at(2)}; });
    TestHarness::AnswerMessages({16});
    EXPECT_TRUE(g::Main([] {}));
    ASSERT_EQ(TestHarness::AskedMessages().size(), 1);
    EXPECT_EQ(TestHarness::AskedMessages().first().Title, QStringLiteral("'Liberation Mono' Font not available"));
}

TEST_F(StartupFixture, AllFontsPresentNoBox) {
    g::InstallFontList([] { return g::RequiredFonts(); });
    bool loaded = false;
    EXPECT_TRUE(g::Main([&] { loaded = true; }));
    EXPECT_TRUE(loaded);
    EXPECT_TRUE(TestHarness::AskedMessages().isEmpty());
    EXPECT_EQ(g::AppTitle(), QStringLiteral("OrmidYRB100"));
}

TEST_F(StartupFixture, AFailingLoadEndsStartUp) {
    ServiceTest::Console console;
    g::InstallFontList([] { return g::RequiredFonts(); });
    EXPECT_FALSE(g::Main([] { throw std::runtime_error("cannot load"); }));
    EXPECT_EQ(console.Count(QStringLiteral("cannot load")), 1);
}

TEST_F(StartupFixture, AReferenceFileTheFirstStartCannotCopyIsSaidAndCopiedAtTheNextStart) {
    // The shipped files of a read-only program folder: one larger than the
    // room the file-size limit leaves, as on a full disk.
    constexpr rlim_t kRoom = 64 * 1024;
    const QByteArray country = QByteArrayLiteral("fr|France\r\n");
    const QByteArray line = QByteArrayLiteral("example.com|\r\n");
    const QByteArray generic = line.repeated(2 * kRoom / line.size());
    const QString exe = QFileInfo(TestHarness::WriteFile(QStringLiteral("bin/DN_Country.cfg"), country)).path();
    TestHarness::WriteFile(QStringLiteral("bin/DN_Generic.cfg"), generic);
    g::InstallFontList([] { return g::RequiredFonts(); });
    std::unique_ptr<FrmMain> main;
    const auto start = [&] {
        return g::Main([&] {
            // Root may write anywhere, so the program folder is declared read-only.
            ProgramFolder::Set(ProgramFolder::Decide(exe, false));
            main = std::make_unique<FrmMain>();
            main->Form_Load();
        });
    };
    {
        const FileSizeLimit full(kRoom);
        ASSERT_TRUE(full.IsSet());
        ASSERT_TRUE(start());
    }
    const QString folder = ProgramFolder::Path();
    const QString target = folder + QStringLiteral("/DN_Generic.cfg");
    const QString said = QStringLiteral("Could not copy the reference file ") + exe +
                         QStringLiteral("/DN_Generic.cfg to ") + target + QStringLiteral(" (File too large)");
    // Said first, so that what the load then says of the missing file is explained.
    const QString console = main->TxtErrors->Text();
    EXPECT_EQ(console.indexOf(QStringLiteral("Message : ") + said), console.indexOf(QStringLiteral("Message : ")))
        << console.toStdString();
    EXPECT_EQ(console.count(said), 1);
    EXPECT_EQ(TestHarness::ReadFile(folder + QStringLiteral("/Error.log")).count(said.toUtf8()), 1);
    // No cut copy under the name, nor a temporary one beside it.
    EXPECT_TRUE(QDir(folder).entryList({QStringLiteral("*DN_Generic*")}, QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_EQ(TestHarness::ReadFile(folder + QStringLiteral("/DN_Country.cfg")), country);

    main.reset();
    SingleInstance::Stop();
    ASSERT_TRUE(start());
    EXPECT_EQ(TestHarness::ReadFile(target), generic);
    EXPECT_FALSE(main->TxtErrors->Text().contains(QStringLiteral("Could not copy")));
}

TEST_F(StartupFixture, StaleSocketOfAnEndedInstanceIsReplaced) {
    // A socket file left by an instance that ended without removing it.
    const QString name = SingleInstance::ServerName();
    TestHarness::WriteFile(QStringLiteral("OrmidYRB100.instance"), QByteArray());
    EXPECT_FALSE(SingleInstance::IsOtherRunning());
    EXPECT_TRUE(SingleInstance::Listen());
    EXPECT_TRUE(SingleInstance::IsListening());
    SingleInstance::Stop();
    EXPECT_FALSE(QFileInfo::exists(name));
}

TEST(SingleInstance, DefaultSocketIsPerUser) {
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", TestHarness::Folder().toLocal8Bit());
    EXPECT_EQ(SingleInstance::ServerName(), TestHarness::Folder() + QStringLiteral("/OrmidYRB100.instance"));
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_TRUE(SingleInstance::ServerName().endsWith(QStringLiteral("OrmidYRB100-%1.instance").arg(getuid())));
    if (!saved.isNull()) qputenv("XDG_RUNTIME_DIR", saved);
}

// ---- Two instances -------------------------------------------------------------

#ifdef ORMID_PROGRAM_PATH
// The environment of a program started by the test: offscreen, its own
// runtime folder (so its socket) and settings that hide the splash window.
QProcessEnvironment ProgramEnvironment(const QString& root) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), root + QStringLiteral("/run"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), root + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), root + QStringLiteral("/data"));
    QDir().mkpath(root + QStringLiteral("/run"));
    QFile::setPermissions(root + QStringLiteral("/run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString before = modRegistry::SettingsFile();
    modRegistry::SetSettingsFile(root + QStringLiteral("/config/Ormid Software/OrmidYRB100.conf"));
    modRegistry::SetSetting(QStringLiteral("Hide"), QStringLiteral("1"));
    modRegistry::SetSettingsFile(before);
    return env;
}

// The one line a second start prints.
const QByteArray kAlreadyRunning =
    QByteArrayLiteral("OrmidYRB100 is already running for this user: its window was brought to the front\n");

// Waits for the process while this instance keeps answering its socket.
bool WaitPumping(QProcess& p, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (p.state() != QProcess::NotRunning && clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return p.state() == QProcess::NotRunning;
}

TEST(SingleInstance, ASecondStartRaisesTheFirstAndEnds) {
    const QString root = TestHarness::Folder();
    const QProcessEnvironment env = ProgramEnvironment(root);
    // This test is the first instance: its socket and a minimised main window.
    SingleInstance::SetServerName(root + QStringLiteral("/run/OrmidYRB100.instance"));
    ASSERT_TRUE(SingleInstance::Listen());
    QWidget main;
    main.setObjectName(QStringLiteral("FrmMain"));
    main.show();
    main.showMinimized();
    QCoreApplication::processEvents();
    ASSERT_TRUE(main.isMinimized());
    const int before = SingleInstance::RaiseRequests();

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(ORMID_PROGRAM_PATH), {});
    ASSERT_TRUE(second.waitForStarted(5000));
    EXPECT_TRUE(WaitPumping(second, 20000));
    if (second.state() != QProcess::NotRunning) second.kill();
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(SingleInstance::RaiseRequests(), before + 1);
    EXPECT_FALSE(main.isMinimized());  // restored
    EXPECT_TRUE(second.readAllStandardError().contains(kAlreadyRunning));
    SingleInstance::Stop();
    SingleInstance::SetServerName(QString());
}

TEST(SingleInstance, TwoProgramsTheSecondEnds) {
    const QString root = TestHarness::Folder();
    const QProcessEnvironment env = ProgramEnvironment(root);
    const QString socket = root + QStringLiteral("/run/OrmidYRB100.instance");
    QProcess first;
    first.setProcessEnvironment(env);
    first.start(QStringLiteral(ORMID_PROGRAM_PATH), {});
    ASSERT_TRUE(first.waitForStarted(5000));
    // The first instance listens once it has started.
    QElapsedTimer clock;
    clock.start();
    SingleInstance::SetServerName(socket);
    while (!SingleInstance::IsOtherRunning() && clock.elapsed() < 20000 && first.state() == QProcess::Running)
        QThread::msleep(50);
    SingleInstance::SetServerName(QString());
    ASSERT_EQ(first.state(), QProcess::Running) << first.readAllStandardError().toStdString();

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(ORMID_PROGRAM_PATH), {});
    ASSERT_TRUE(second.waitForStarted(5000));
    EXPECT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);  // the first goes on
    EXPECT_EQ(second.readAllStandardError().count(kAlreadyRunning), 1);
    EXPECT_FALSE(first.readAllStandardError().contains(kAlreadyRunning));
    first.terminate();
    if (!first.waitForFinished(5000)) {
        first.kill();
        first.waitForFinished(5000);
    }
}
#endif

}  // namespace
