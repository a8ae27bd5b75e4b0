// The list view bound to an engine list.
#include <QPushButton>

#include "ImageList.h"
#include "OrmidYRB100.h"
#include "PaneFixture.h"
#include "TestHarness.h"
#include "clsVL2.h"

namespace {

const QByteArray kTen =
    "Ann@one.com\nbob@two.org\ncid@three.net\ndan@one.com\neve@two.org\n"
    "fay@three.net\ngus@one.com\nhal@two.org\nivy@three.net\njon@one.com\n";

// A form showing engine list 1 the way the two-list workspace does.
struct EngineForm {
    PaneForm<clsVL2> f;
    int textAsked = 0;

    EngineForm() {
        f.pane.VListNb = 1;
        f.pane.LType = 0;
        f.pane.name = QStringLiteral("Left list");
        f.pane.InsertColumn(0, QStringLiteral("Address"), 150, 1);
        f.pane.InsertColumn(1, QStringLiteral("User"), 80, 1);
        QObject::connect(&f.pane, &clsVirtualListview::ItemTextCallback,
                         [this](int32_t item, int32_t sub, QString& s) {
                             ++textAsked;
                             char buf[260];
                             if (YRB18(1, item, sub, buf, 259) >= 0) s = QString::fromLatin1(buf);
                         });
        QObject::connect(&f.pane, &clsVirtualListview::ItemImageCallback,
                         [](int32_t item, int32_t sub, int16_t& image) {
                             if (sub == 0) image = YRB17(1, item, YRB_FLAG_SELECTED) > 0 ? 1 : 0;
                         });
    }
    ~EngineForm() { YRB20(1); }
    void Load() {
        const QString path = TestHarness::WriteFile(QStringLiteral("ten.mal"), kTen);
        ASSERT_EQ(YRB13(1, QFile::encodeName(path).constData(), 0, "", "\n"), 10);
        f.pane.SetCount(10);
    }
    QString Cell(int row, int col) {
        QAbstractItemModel* m = f.list()->model();
        return m->data(m->index(row - f.list()->TopIndex(), col), Qt::DisplayRole).toString();
    }
};

int32_t EntryFlags(int32_t entry) { return YRB17(1, entry, 0xFF); }

}  // namespace

TEST(EngineListview, NothingLoaded) {
    YRB20(1);
    EngineForm e;
    QPushButton onEmp, offEmp;
    e.f.pane.ColOnEmp.append(&onEmp);
    e.f.pane.ColOffEmp.append(&offEmp);
    EXPECT_EQ(e.f.pane.GetCnt(), 0);
    EXPECT_EQ(e.f.pane.GetCnt(true), 0);
    EXPECT_EQ(e.f.pane.GetSel(), 0);
    EXPECT_TRUE(e.f.pane.GetEmpty());
    e.f.pane.SetAll();
    EXPECT_TRUE(onEmp.isEnabled());
    EXPECT_FALSE(offEmp.isEnabled());
    e.Load();
    e.f.pane.SetAll();
    EXPECT_FALSE(onEmp.isEnabled());
    EXPECT_TRUE(offEmp.isEnabled());
    EXPECT_FALSE(e.f.pane.GetEmpty());
}

TEST(EngineListview, CountsAndSelectionThroughEntryFlags) {
    EngineForm e;
    e.Load();
    for (int32_t entry : {0, 1, 2}) YRB03(1, entry, YRB_FLAG_DUPLICATE, 1);
    for (int32_t entry : {3, 4}) YRB03(1, entry, YRB_FLAG_SELECTED, 1);
    struct Step {
        const char* name;
        std::function<void()> action;
        int32_t cnt, real, sel;
    };
    const Step steps[] = {
        {"loaded", [] {}, 7, 10, 2},
        {"select all", [&] { e.f.pane.SelectAll(); }, 7, 10, 7},
        {"invert", [&] { e.f.pane.InvertAll(); }, 7, 10, 0},
        {"invert again", [&] { e.f.pane.InvertAll(); }, 7, 10, 7},
        {"deselect", [&] { e.f.pane.DeselectAll(); }, 7, 10, 0},
        {"pick two", [&] { YRB03(1, 5, 1, 1); YRB03(1, 9, 1, 1); }, 7, 10, 2},
        {"remove", [&] { e.f.pane.RemoveSel(); }, 5, 10, 0},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        s.action();
        EXPECT_EQ(e.f.pane.GetCnt(), s.cnt);
        EXPECT_EQ(e.f.pane.GetCnt(true), s.real);
        EXPECT_EQ(e.f.pane.GetSel(), s.sel);
        // The marked entries are never selected.
        for (int32_t entry : {0, 1, 2}) EXPECT_EQ(EntryFlags(entry), YRB_FLAG_DUPLICATE) << entry;
    }
    EXPECT_EQ(EntryFlags(5), YRB_FLAG_SELECTED | YRB_FLAG_DELETED);
    EXPECT_EQ(e.f.list()->ItemCount(), 10);  // rows stay until the form sets the count
    EXPECT_FALSE(e.f.pane.Sort(1, true));
    EXPECT_EQ(e.f.pane.Idx(1), 0);
    EXPECT_FALSE(e.f.pane.GetCheckState(1));
    EXPECT_EQ(e.f.pane.GetCnt(), 5);
}

TEST(EngineListview, TextsAndIconsOfVisibleRows) {
    EngineForm e;
    ImageList images(QSize(16, 16));
    QPixmap off(16, 16), on(16, 16);
    off.fill(Qt::white);
    on.fill(Qt::red);
    images.Add(off);
    images.Add(on);
    e.f.pane.SetImageList(&images);
    e.f.Show();
    e.Load();
    YRB03(1, 1, YRB_FLAG_SELECTED, 1);
    EXPECT_EQ(e.Cell(0, 0), QStringLiteral("ann@one.com"));
    EXPECT_EQ(e.Cell(0, 1), QStringLiteral("ann"));
    EXPECT_EQ(e.Cell(9, 0), QStringLiteral("jon@one.com"));
    QAbstractItemModel* m = e.f.list()->model();
    const QImage selected = m->data(m->index(1, 0), Qt::DecorationRole).value<QPixmap>().toImage();
    const QImage plain = m->data(m->index(2, 0), Qt::DecorationRole).value<QPixmap>().toImage();
    EXPECT_EQ(selected.pixelColor(8, 8), QColor(Qt::red));
    EXPECT_EQ(plain.pixelColor(8, 8), QColor(Qt::white));
    // Painting asks only for the shown cells.
    e.textAsked = 0;
    e.f.list()->viewport()->repaint();
    EXPECT_GT(e.textAsked, 0);
    EXPECT_LE(e.textAsked, 2 * 10);
}

namespace {

// The engine's callbacks during a reload: every one repaints the view, as
// the program's callbacks pump messages.
struct Reload {
    EngineForm* form = nullptr;
    int errors = 0;
    int repaintsWhileIncomplete = 0;
    int askedWhileIncomplete = 0;
};
Reload* g_reload = nullptr;

void RepaintDuringCallback() {
    if (g_reload == nullptr || YRB14(1) == 0) return;
    ++g_reload->repaintsWhileIncomplete;
    const int before = g_reload->form->textAsked;
    g_reload->form->f.list()->viewport()->repaint();
    g_reload->form->f.pane.SetAll();
    g_reload->askedWhileIncomplete += g_reload->form->textAsked - before;
}
int32_t OnError(const char*) {
    if (g_reload) ++g_reload->errors;
    return 0;
}
int32_t OnValue(int32_t) {
    RepaintDuringCallback();
    return 0;
}
int32_t OnText(const char*) {
    RepaintDuringCallback();
    return 0;
}
int32_t OnPair(int32_t, int32_t) { return 0; }

}  // namespace

TEST(EngineListview, ListBeingReloadedShowsBlankRowsAndReportsNothing) {
    EngineForm e;
    e.f.Show();
    e.Load();
    Reload r;
    r.form = &e;
    g_reload = &r;
    const YRB_CallbackTable table = {OnError, OnValue, OnValue, OnText, nullptr, OnValue, OnPair};
    YRB07(&table);
    const QString path = TestHarness::WriteFile(QStringLiteral("again.mal"), kTen + kTen);
    const int32_t loaded = YRB13(1, QFile::encodeName(path).constData(), 0, "", "\n");
    const YRB_CallbackTable none{};
    YRB07(&none);
    g_reload = nullptr;
    EXPECT_EQ(loaded, 20);
    EXPECT_GT(r.repaintsWhileIncomplete, 0);
    EXPECT_EQ(r.askedWhileIncomplete, 0);
    EXPECT_EQ(r.errors, 0);
    // Loaded again: the rows are asked for once more.
    e.f.pane.SetCount(loaded);
    e.f.pane.SetVisible(19);
    EXPECT_EQ(e.Cell(19, 0), QStringLiteral("jon@one.com"));
}
