// modDialog.ShowDialog: filters, captions, single and multiple
// choice, the chosen folder, cancel, the name buffer; the real dialog once.
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include "FormGeometry.h"
#include "ServiceTestSupport.h"
#include "TestHarness.h"
#include "modDialog.h"

namespace {

using modDialog::FileDialogRequest;
using modDialog::ShowDialog;

TEST(modDialog, NameFiltersTable) {
    struct Row {
        const char* filter;
        QStringList filters;
    };
    const Row rows[] = {
        {"Text files (*.txt)|*.txt|All files (*.*)|*.*|",
         {QStringLiteral("Text files (*.txt)"), QStringLiteral("All files (*)")}},
        {"Lists|*.txt;*.lst;*.csv|", {QStringLiteral("Lists (*.txt *.lst *.csv)")}},
        {"Exe files (*.exe)|*.exe|All files (*.*)|*.*|",
         {QStringLiteral("Exe files (*.exe)"), QStringLiteral("All files (*)")}},
        {"", {}},
        {"No pattern||", {QStringLiteral("No pattern (*)")}},
    };
    for (const Row& r : rows) EXPECT_EQ(modDialog::NameFilters(QString::fromLatin1(r.filter)), r.filters) << r.filter;
}

// Scripted choices: each call takes the next answer and keeps the request.
struct Script {
    QList<QStringList> answers;
    QList<FileDialogRequest> asked;
    Script() {
        modDialog::InstallChooser([this](const FileDialogRequest& r) {
            asked.append(r);
            return answers.isEmpty() ? QStringList() : answers.takeFirst();
        });
    }
    ~Script() { modDialog::InstallChooser(nullptr); }
};

TEST(modDialog, ChoicesTable) {
    QWidget owner;
    struct Row {
        int32_t flags;
        int32_t max;
        bool collection;
        QStringList chosen;
        QString fileName;  // outputs, starting from "keep" values
        QString dir;
        QStringList files;
        QString result;
    };
    const QString keep = QStringLiteral("keep");
    const Row rows[] = {
        // one file
        {4, 4096, false, {QStringLiteral("/home/me/a.txt")}, QStringLiteral("/home/me/a.txt"), QStringLiteral("/home/me/"),
         {}, QStringLiteral("/home/me/a.txt")},
        // one file in the multiple-choice dialog: name, folder and one item
        {516, 0, true, {QStringLiteral("/home/me/a.txt")}, QStringLiteral("/home/me/a.txt"), QStringLiteral("/home/me/"),
         {QStringLiteral("/home/me/a.txt")}, QStringLiteral("/home/me/a.txt")},
        // several files: folder and items, the name untouched
        {516, 0, true, {QStringLiteral("/home/me/b.txt"), QStringLiteral("/home/me/a.txt")}, keep,
         QStringLiteral("/home/me/"), {QStringLiteral("/home/me/b.txt"), QStringLiteral("/home/me/a.txt")}, QString()},
        // several files in the root: exactly one "/"
        {516, 0, true, {QStringLiteral("/a.txt"), QStringLiteral("/b.txt")}, keep, QStringLiteral("/"),
         {QStringLiteral("/a.txt"), QStringLiteral("/b.txt")}, QString()},
        // cancelled: everything as it was
        {4, 4096, true, {}, keep, keep, {}, QString()},
        // a name that does not fit the buffer is a cancel
        {4, 10, false, {QStringLiteral("/home/me/long-name.txt")}, keep, keep, {}, QString()},
        {4, 16, false, {QStringLiteral("/home/a.txt")}, QStringLiteral("/home/a.txt"), QStringLiteral("/home/"), {},
         QStringLiteral("/home/a.txt")},
    };
    for (const Row& r : rows) {
        Script script;
        script.answers.append(r.chosen);
        QString fileName = keep, dir = keep;
        QStringList files;
        const QString result = ShowDialog(r.flags, 1, r.max, QStringLiteral("Text files (*.txt)|*.txt|"),
                                          QStringLiteral("/home"), fileName, QStringLiteral("txt"),
                                          QStringLiteral("Title"), r.collection ? &files : nullptr,
                                          QStringLiteral("Open"), QStringLiteral("Cancel"), dir, &owner);
        EXPECT_EQ(fileName, r.fileName);
        EXPECT_EQ(dir, r.dir);
        EXPECT_EQ(files, r.files);
        EXPECT_EQ(result, r.result);
    }
}

TEST(modDialog, RequestCarriesTheCallersChoices) {
    QWidget owner;
    Script script;
    QString fileName, dir;
    QStringList files;
    ShowDialog(516, 2, 0, QStringLiteral("Text files (*.txt)|*.txt|All files (*.*)|*.*|"), QStringLiteral("/srv"),
               fileName, QStringLiteral("lst"), QStringLiteral("Add Files"), &files, QStringLiteral("Add"),
               QStringLiteral("Close"), dir, &owner);
    ASSERT_EQ(script.asked.size(), 1);
    const FileDialogRequest& r = script.asked.first();
    EXPECT_TRUE(r.Multiple);
    EXPECT_EQ(r.MaxFile, 260000);
    EXPECT_EQ(r.FilterIndex, 2);
    EXPECT_EQ(r.NameFilters, (QStringList{QStringLiteral("Text files (*.txt)"), QStringLiteral("All files (*)")}));
    EXPECT_EQ(r.InitDir, QStringLiteral("/srv"));
    EXPECT_EQ(r.DefExt, QStringLiteral("lst"));
    EXPECT_EQ(r.Title, QStringLiteral("Add Files"));
    EXPECT_EQ(r.OkCaption, QStringLiteral("Add"));
    EXPECT_EQ(r.CancelCaption, QStringLiteral("Close"));
    EXPECT_EQ(r.Owner, &owner);
}

TEST(modDialog, WithoutOwnerNothingHappens) {
    Script script;
    script.answers.append({QStringLiteral("/a.txt")});
    QString fileName = QStringLiteral("keep"), dir = QStringLiteral("keep");
    QStringList files;
    ShowDialog(4, 1, 4096, QStringLiteral("All|*.*|"), QStringLiteral("/"), fileName, QString(), QStringLiteral("T"),
               &files, QStringLiteral("Open"), QStringLiteral("Cancel"), dir, nullptr);
    EXPECT_TRUE(script.asked.isEmpty());
    EXPECT_EQ(fileName, QStringLiteral("keep"));
    EXPECT_EQ(dir, QStringLiteral("keep"));
    EXPECT_TRUE(files.isEmpty());
}

TEST(modDialog, RealDialogHasTheCaptionsFiltersAndAcceptsANewName) {
    modDialog::InstallChooser(nullptr);
    TestHarness::WriteFile(QStringLiteral("pick/one.txt"), QByteArray("x"));
    TestHarness::WriteFile(QStringLiteral("pick/two.csv"), QByteArray("x"));
    const QString folder = TestHarness::Folder() + QStringLiteral("/pick");
    QWidget owner;
    owner.resize(900, 700);
    owner.move(100, 80);
    owner.show();
    QString title, accept, reject, filter;
    QStringList filters;
    bool nonNative = false;
    QPoint centreDelta;
    TestHarness::WhenModal<QFileDialog>([&](QFileDialog* d) {
        QCoreApplication::processEvents();
        title = d->windowTitle();
        nonNative = d->testOption(QFileDialog::DontUseNativeDialog);
        filters = d->nameFilters();
        filter = d->selectedNameFilter();
        const auto* box = d->findChild<QDialogButtonBox*>();
        for (QAbstractButton* b : box->buttons()) {
            if (box->buttonRole(b) == QDialogButtonBox::AcceptRole) accept = b->text();
            if (box->buttonRole(b) == QDialogButtonBox::RejectRole) reject = b->text();
        }
        centreDelta = d->frameGeometry().center() - owner.frameGeometry().center();
        // A save target that does not exist yet.
        d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("new-file"));
        QMetaObject::invokeMethod(d, "accept", Qt::DirectConnection);
    });
    QString fileName, dir;
    ShowDialog(4, 2, 4096, QStringLiteral("Text files (*.txt)|*.txt|All files (*.*)|*.*|"), folder, fileName,
               QStringLiteral("txt"), QStringLiteral("Save the Console"), nullptr, QStringLiteral("Save"),
               QStringLiteral("Cancel"), dir, &owner);
    EXPECT_TRUE(nonNative);
    EXPECT_EQ(title, QStringLiteral("Save the Console"));
    EXPECT_EQ(accept, QStringLiteral("Save"));
    EXPECT_EQ(reject, QStringLiteral("Cancel"));
    EXPECT_EQ(filters, (QStringList{QStringLiteral("Text files (*.txt)"), QStringLiteral("All files (*)")}));
    EXPECT_EQ(filter, QStringLiteral("All files (*)"));
    EXPECT_LE(std::abs(centreDelta.x()), 2);
    EXPECT_LE(std::abs(centreDelta.y()), 2);
    EXPECT_EQ(fileName, folder + QStringLiteral("/new-file.txt"));  // the default extension added
    EXPECT_EQ(dir, folder + QStringLiteral("/"));
}

// Names typed into the real dialog's name box, as a user types them, then
// Enter: each typed file is taken whatever the filter, a missing one is named
// in a message and the dialog stays open (the test then cancels it).
TEST(modDialog, RealDialogTakesEveryTypedName) {
    modDialog::InstallChooser(nullptr);
    for (const char* name : {"listA.csv", "listB.csv", "only.txt", "my list.csv", "noext"})
        TestHarness::WriteFile(QStringLiteral("typed/") + QLatin1String(name), QByteArray("a@b.c\r\n"));
    TestHarness::WriteFile(QStringLiteral("typed/empty.txt"), QByteArray());
    const QString folder = TestHarness::Folder() + QStringLiteral("/typed");
    const QString filter = QStringLiteral("All Mail Address Files (*.mal, *.out, *.txt)|*.mal;*.out;*.txt|");
    struct Case {
        const char* typed;
        int32_t flags;          // 516: several files ("Add"), 4: one file
        QStringList chosen;     // names in the folder, in order; empty: nothing chosen
        const char* missing;    // named in the message; nullptr: no message
    };
    const Case cases[] = {
        {R"("listA.csv" "listB.csv" "only.txt" "empty.txt")", 516,
         {"listA.csv", "listB.csv", "only.txt", "empty.txt"}, nullptr},
        {"listA.csv", 516, {"listA.csv"}, nullptr},
        {R"("only.txt" "listB.csv")", 516, {"only.txt", "listB.csv"}, nullptr},
        {R"("my list.csv" "only.txt")", 516, {"my list.csv", "only.txt"}, nullptr},
        {R"("listA.csv" "gone.csv" "only.txt")", 516, {}, "gone.csv"},
        {"gone.txt", 516, {}, "gone.txt"},
        {"noext", 516, {"noext"}, nullptr},  // an existing file gets no default extension
        {"listB.csv", 4, {"listB.csv"}, nullptr},
        {"my list.csv", 4, {"my list.csv"}, nullptr},
        {R"("listA.csv")", 4, {"listA.csv"}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        TestHarness::AnswerMessages(c.missing ? QList<int>{MsgBoxButton::Ok} : QList<int>{});
        const qsizetype askedBefore = TestHarness::AskedMessages().size();
        QWidget owner;
        owner.show();
        bool stayedOpen = false;
        TestHarness::WhenModal<QFileDialog>([&](QFileDialog* d) {
            auto* box = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            d->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(d));
            // The folder listed, as a user sees it before typing: only.txt and empty.txt pass the filter.
            auto* view = d->findChild<QListView*>(QStringLiteral("listView"));
            for (QDeadlineTimer listed(5000); view->model()->rowCount(view->rootIndex()) < 2 && !listed.hasExpired();)
                QTest::qWait(10);
            EXPECT_EQ(view->model()->rowCount(view->rootIndex()), 2);
            box->setFocus();
            QTest::keyClicks(box, QString::fromUtf8(c.typed));
            QTest::keyClick(box, Qt::Key_Return);
            stayedOpen = d->isVisible();
            if (stayedOpen) d->reject();
        });
        QString fileName, dir;
        QStringList files;
        ShowDialog(c.flags, 1, 0, filter, folder, fileName, QStringLiteral("mal"), QStringLiteral("Add"),
                   c.flags == 516 ? &files : nullptr, QStringLiteral("Add"), QStringLiteral("Cancel"), dir, &owner);
        QStringList expected;
        for (const QString& n : c.chosen) expected.append(folder + QLatin1Char('/') + n);
        if (c.flags == 516) {
            EXPECT_EQ(files, expected);
        } else {
            EXPECT_EQ(fileName, expected.value(0));
        }
        EXPECT_EQ(stayedOpen, c.missing != nullptr);
        const auto asked = TestHarness::AskedMessages().mid(askedBefore);
        if (c.missing) {
            ASSERT_EQ(asked.size(), 1);
            EXPECT_TRUE(asked.first().message.startsWith(QLatin1String(c.missing) + QStringLiteral("\r\n")));
            EXPECT_TRUE(asked.first().message.contains(QStringLiteral("File not found.")));
        } else {
            EXPECT_TRUE(asked.isEmpty());
        }
    }
}

TEST(modDialog, RealDialogCancelKeepsTheOutputs) {
    modDialog::InstallChooser(nullptr);
    QWidget owner;
    owner.show();
    TestHarness::WhenModal<QFileDialog>([](QFileDialog* d) { d->reject(); });
    QString fileName = QStringLiteral("keep"), dir = QStringLiteral("keep");
    QStringList files;
    ShowDialog(516, 1, 0, QStringLiteral("All files (*.*)|*.*|"), TestHarness::Folder(), fileName, QString(),
               QStringLiteral("Add"), &files, QStringLiteral("Add"), QStringLiteral("Cancel"), dir, &owner);
    EXPECT_EQ(fileName, QStringLiteral("keep"));
    EXPECT_EQ(dir, QStringLiteral("keep"));
    EXPECT_TRUE(files.isEmpty());
}

}  // namespace
