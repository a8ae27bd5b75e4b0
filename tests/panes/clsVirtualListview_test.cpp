// The owner-data list view: window, row index, columns and events.
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QToolTip>

#include "ImageList.h"
#include "PaneFixture.h"
#include "SystemColors.h"
#include "TestHarness.h"

namespace {

struct MouseRecord {
    int16_t button;
    int32_t item, sub, flags;
};

int RowHeight(OwnerDataListView* list) { return list->verticalHeader()->defaultSectionSize(); }

// Centre of a shown row's cell, in viewport coordinates.
QPoint CellPoint(OwnerDataListView* list, int32_t row, int col) {
    const int x = list->horizontalHeader()->sectionViewportPosition(col) + 30;
    return QPoint(x, (row - list->TopIndex()) * RowHeight(list) + RowHeight(list) / 2);
}

}  // namespace

TEST(VirtualListviewWindow, ListWindowDestroyedAloneWhileFocused) {
    PaneForm<clsVirtualListview> f;
    f.pane.InsertColumn(0, QStringLiteral("A"), 50);
    f.pane.SetCount(3);
    f.Show();
    f.pane.GetFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.list()->hasFocus(); }, 2000));
    delete f.list();  // it loses the focus while going
    EXPECT_EQ(f.pane.hWnd(), nullptr);
    f.pic->resize(300, 200);  // the parent's procedure has no list to size
    f.pane.Refresh();
    EXPECT_FALSE(f.pane.MyError->IsPending());
}

TEST(VirtualListviewWindow, PaneOutlivesItsForm) {
    auto form = std::make_unique<QWidget>();
    auto* pic = new QWidget(form.get());
    pic->setGeometry(0, 0, 200, 100);
    clsVirtualListview pane;
    pane.MyError = std::make_shared<clsError>();
    pane.Initialize(pic);
    pane.InsertColumn(0, QStringLiteral("A"), 50);
    pane.SetCount(3);
    form->show();
    QApplication::setActiveWindow(form.get());
    pane.GetFocus();
    form.reset();  // the list window goes with its form, focused
    EXPECT_EQ(pane.hWnd(), nullptr);
    pane.Refresh();
    pane.Resize();
    pane.SetCount(5);
    EXPECT_EQ(pane.GetCnt(), 0);
    EXPECT_EQ(pane.GetItem(), 0);
}

TEST(VirtualListviewRows, IndexAfterSetCount) {
    PaneForm<clsVirtualListview> f;
    f.pane.SetCount(3);
    struct Case {
        int32_t pos, idx, rev;
        bool check;
    };
    const Case cases[] = {{0, 0, 0, false}, {1, 1, 1, false}, {2, 2, 2, false}, {3, 3, 3, false}, {4, 0, 0, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(f.pane.Idx(c.pos), c.idx) << c.pos;
        EXPECT_EQ(f.pane.RevIdx(c.pos), c.rev) << c.pos;
        EXPECT_EQ(f.pane.GetCheckState(c.pos), c.check) << c.pos;
    }
    EXPECT_EQ(f.pane.GetCnt(), 3);
    EXPECT_EQ(f.pane.GetSel(), 0);
    EXPECT_EQ(f.list()->ItemCount(), 3);
}

TEST(VirtualListviewRows, TicksSelectionAndBounds) {
    PaneForm<clsVirtualListview> f;
    f.pane.SetCount(4);
    f.pane.SetCheckState(0, true);
    f.pane.SetCheckState(5, true);
    EXPECT_EQ(f.pane.GetSel(), 0);
    f.pane.SetCheckState(2, true);
    f.pane.SetCheckState(4, true);
    f.pane.InvertAll();
    EXPECT_EQ(f.pane.GetSel(), 2);
    EXPECT_TRUE(f.pane.GetCheckState(1));
    EXPECT_FALSE(f.pane.GetCheckState(2));
    f.pane.InvertAll();
    EXPECT_TRUE(f.pane.GetCheckState(2));
    EXPECT_TRUE(f.pane.GetCheckState(4));
    f.pane.SelectAll();
    EXPECT_EQ(f.pane.GetSel(), 4);
    f.pane.DeselectAll();
    EXPECT_EQ(f.pane.GetSel(), 0);
    f.pane.Clear();
    EXPECT_EQ(f.pane.GetCnt(), 0);
}

TEST(VirtualListviewRows, NoWindowNoRows) {
    clsVirtualListview pane;
    pane.SetCount(5);
    EXPECT_EQ(pane.GetCnt(), 0);
    EXPECT_EQ(pane.Idx(1), 0);
}

TEST(VirtualListviewRows, LongListScrollsToItsEndAndHitsItsLastRow) {
    PaneForm<clsVirtualListview> f;
    f.pane.InsertColumn(0, QStringLiteral("Address"), 200, 0);
    f.Show();
    const int32_t n = 100000;
    f.pane.SetCount(n);
    f.pane.SetVisible(n - 1);
    OwnerDataListView* list = f.list();
    EXPECT_EQ(list->TopIndex(), n - list->CountPerPage());
    EXPECT_EQ(list->verticalScrollBar()->value(), list->TopIndex());
    EXPECT_LE(list->model()->rowCount(), list->CountPerPage() + 2);  // only the shown rows exist
    const QPoint vp = CellPoint(list, n - 1, 0);
    const QPoint client = list->viewport()->mapTo(list, vp);
    int32_t item = 0, sub = 9, flags = 0;
    ASSERT_TRUE(f.pane.HitTest(client.x(), client.y(), item, sub, flags));
    EXPECT_EQ(item, n - 1);
    EXPECT_EQ(sub, 0);
    EXPECT_EQ(flags, OwnerDataListView::LVHT_ONITEMLABEL);
    // Below the last row: nowhere.
    EXPECT_FALSE(f.pane.HitTest(client.x(), list->height() + 5, item, sub, flags));
    EXPECT_EQ(flags, 0);
    f.pane.SetActiveItem(5);
    EXPECT_EQ(list->TopIndex(), 5);
    EXPECT_EQ(list->GetItemState(5, 3), 3);
}

TEST(VirtualListviewRows, BiggerFontTallerRows) {
    PaneForm<clsVirtualListview> f;
    f.pane.InsertColumn(0, QStringLiteral("A"), 150);
    f.pane.SetCount(1000);
    f.Show();
    const int32_t before = f.list()->CountPerPage();
    QFont big = f.list()->font();
    big.setPixelSize(40);
    f.list()->setFont(big);
    EXPECT_LT(f.list()->CountPerPage(), before);
    const QPoint client = f.list()->viewport()->mapTo(f.list(), CellPoint(f.list(), 3, 0));
    int32_t item = -1, sub = -1, flags = 0;
    ASSERT_TRUE(f.pane.HitTest(client.x(), client.y(), item, sub, flags));
    EXPECT_EQ(item, 3);
}

// ---- columns -------------------------------------------------------------------

TEST(VirtualListviewColumns, WidthsByFactor) {
    MetricsScope metrics([](int index) { return index == SystemMetrics::kCxEdge ? 2 : index == SystemMetrics::kCxVScroll ? 17 : 0; });
    struct Col {
        int16_t ini, factor;
    };
    struct Case {
        const char* name;
        int width;
        QList<Col> cols;
        QList<int> expected;
    };
    const Case cases[] = {
        {"shares by factor", 460, {{20, 0}, {100, 1}, {100, 3}}, {20, 105, 314}},
        {"never below the initial width", 200, {{20, 0}, {100, 1}, {100, 3}}, {20, 100, 119}},
        {"only fixed columns", 460, {{20, 0}, {50, 0}}, {20, 50}},
        {"fixed wider than the window", 60, {{200, 0}, {30, 1}}, {200, 30}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PaneForm<clsVirtualListview> f(c.width, 200);
        for (int i = 0; i < c.cols.size(); ++i)
            ASSERT_TRUE(f.pane.InsertColumn(i, QStringLiteral("C%1").arg(i), c.cols[i].ini, c.cols[i].factor));
        f.pane.Resize();
        ASSERT_EQ(f.pane.GetWidth(), c.width);
        for (int i = 0; i < c.expected.size(); ++i) EXPECT_EQ(f.list()->ColumnWidthOf(i), c.expected[i]) << i;
    }
}

TEST(VirtualListviewColumns, ParentResizeRefitsTheColumns) {
    MetricsScope metrics([](int index) { return index == SystemMetrics::kCxEdge ? 2 : index == SystemMetrics::kCxVScroll ? 17 : 0; });
    PaneForm<clsVirtualListview> f(200, 200);
    f.pane.InsertColumn(0, QStringLiteral("A"), 20, 0);
    f.pane.InsertColumn(1, QStringLiteral("B"), 100, 1);
    f.pane.InsertColumn(2, QStringLiteral("C"), 100, 3);
    f.Show();
    f.pic->resize(460, 200);  // the parent's size message
    EXPECT_EQ(f.list()->width(), 460);
    EXPECT_EQ(f.list()->ColumnWidthOf(2), 314);
}

TEST(VirtualListviewColumns, RecordsCaptionsAndFactors) {
    PaneForm<clsVirtualListview> f;
    f.pane.MyError = std::make_shared<clsError>();
    EXPECT_EQ(f.pane.GetColumnFactor(1), 0);  // no column list yet
    f.pane.InsertColumn(0, QStringLiteral("A"), 10, 1);
    f.pane.InsertColumn(1, QStringLiteral("B"), 20, 2);
    f.pane.InsertColumn(0, QString(100, QLatin1Char('x')), 30, 3);  // record still appended
    EXPECT_EQ(f.pane.GetColumnCount(), 3);
    EXPECT_EQ(f.pane.GetColumnName(1), QStringLiteral("A"));
    EXPECT_EQ(f.pane.GetColumnName(0).size(), 79);
    EXPECT_EQ(f.pane.GetColumnName(7), QString());
    EXPECT_EQ(f.pane.GetColumnFactor(1), 1);
    EXPECT_EQ(f.pane.GetColumnFactor(3), 3);
    EXPECT_EQ(f.pane.GetColumnFactor(4), 0);
    EXPECT_FALSE(f.pane.MyError->IsPending());
    EXPECT_EQ(f.pane.GetColumnFactor(0), 0);
    EXPECT_TRUE(f.pane.MyError->IsPending());
    EXPECT_EQ(f.pane.MyError->Routine(), QStringLiteral("GetColumnFactor"));
    EXPECT_EQ(f.pane.MyError->Module(), QStringLiteral("clsVirtualListview"));

    // A header column beyond the records: deleted, the records stay.
    f.list()->InsertColumn(3, QStringLiteral("D"), 10);
    f.list()->InsertColumn(4, QStringLiteral("E"), 10);
    f.list()->InsertColumn(5, QStringLiteral("F"), 10);
    EXPECT_TRUE(f.pane.DeleteColumn(5));
    EXPECT_EQ(f.pane.GetColumnCount(), 5);
    EXPECT_EQ(f.pane.GetColumnFactor(3), 3);
    EXPECT_TRUE(f.pane.DeleteColumn(0));
    EXPECT_EQ(f.pane.GetColumnFactor(1), 2);
    EXPECT_FALSE(f.pane.DeleteColumn(9));
}

TEST(VirtualListviewColumns, HeaderIcons) {
    PaneForm<clsVirtualListview> f;
    ImageList images(QSize(8, 8));
    QPixmap red(8, 8);
    red.fill(Qt::red);
    images.Add(red);
    images.Add(red);
    f.pane.SetHeaderImageList(&images);
    f.pane.InsertColumn(0, QStringLiteral("A"), 50);
    f.pane.InsertColumn(1, QStringLiteral("B"), 50);
    f.pane.SetHeaderIcon(1, 1);
    EXPECT_TRUE(f.list()->model()->headerData(1, Qt::Horizontal, Qt::DecorationRole).isValid());
    EXPECT_FALSE(f.list()->model()->headerData(0, Qt::Horizontal, Qt::DecorationRole).isValid());
    f.pane.SetHeadersIcon(-1);
    EXPECT_FALSE(f.list()->model()->headerData(1, Qt::Horizontal, Qt::DecorationRole).isValid());
}

// ---- cells ----------------------------------------------------------------------

TEST(VirtualListviewCells, TextCutToTheBufferAndImagesFromTheList) {
    PaneForm<clsVirtualListview> f;
    f.pane.InsertColumn(0, QStringLiteral("A"), 50);
    f.pane.InsertColumn(1, QStringLiteral("B"), 50);
    f.pane.SetCount(3);
    QObject::connect(&f.pane, &clsVirtualListview::ItemTextCallback,
                     [](int32_t item, int32_t sub, QString& s) {
                         s = item == 2 ? QString(300, QLatin1Char('y')) : QStringLiteral("r%1c%2").arg(item).arg(sub);
                     });
    QObject::connect(&f.pane, &clsVirtualListview::ItemImageCallback,
                     [](int32_t item, int32_t, int16_t& image) { image = item == 1 ? 1 : -1; });
    QAbstractItemModel* m = f.list()->model();
    EXPECT_EQ(m->data(m->index(1, 1), Qt::DisplayRole).toString(), QStringLiteral("r1c1"));
    EXPECT_EQ(m->data(m->index(2, 0), Qt::DisplayRole).toString().size(), ListRowSource::kItemTextMax - 1);
    // No row image list: no image asked for.
    EXPECT_FALSE(m->data(m->index(1, 0), Qt::DecorationRole).isValid());
    ImageList images(QSize(16, 16));
    QPixmap px(16, 16);
    px.fill(Qt::blue);
    images.Add(px);
    images.Add(px);
    ASSERT_TRUE(f.pane.SetImageList(&images));
    EXPECT_TRUE(m->data(m->index(1, 0), Qt::DecorationRole).isValid());
    EXPECT_FALSE(m->data(m->index(0, 0), Qt::DecorationRole).isValid());  // -1: none
    EXPECT_FALSE(m->data(m->index(1, 1), Qt::DecorationRole).isValid());  // sub-items only with the style
    f.pane.SetExtendedStyle(OwnerDataListView::LVS_EX_SUBITEMIMAGES);
    EXPECT_TRUE(m->data(m->index(1, 1), Qt::DecorationRole).isValid());
}

// The form answers with bytes, one per character: a cell that is valid
// UTF-8 shows as UTF-8, any other byte for byte as Latin-1, and a cell
// longer than the buffer is cut before a character that would not fit.
TEST(VirtualListviewCells, BytesShownAsUtf8WhereValidElseLatin1) {
    PaneForm<clsVirtualListview> f;
    f.pane.InsertColumn(0, QStringLiteral("A"), 150);
    f.pane.SetCount(1);
    QByteArray answer;
    QObject::connect(&f.pane, &clsVirtualListview::ItemTextCallback,
                     [&](int32_t, int32_t, QString& s) { s = QString::fromLatin1(answer); });
    const qsizetype limit = ListRowSource::kItemTextMax - 1;
    const QByteArray fill(limit - 2, 'a');
    struct Case {
        const char* name;
        QByteArray bytes;
        QString shown;
    } const cases[] = {
        {"ascii", "anna@example.org", QStringLiteral("anna@example.org")},
        {"latin-1", "Chlo\xe9 Dubois", QStringLiteral("Chlo\u00e9 Dubois")},
        {"utf-8", "Chlo\xc3\xa9 Dubois, Krak\xc3\xb3w, \xc5\x81\xc3\xb3" "d\xc5\xba",
         QStringLiteral("Chlo\u00e9 Dubois, Krak\u00f3w, \u0141\u00f3d\u017a")},
        {"utf-8 beyond the basic plane", "a\xf0\x9f\x98\x80" "b", QStringLiteral("a\U0001F600b")},
        {"utf-8 filling the buffer", fill + "\xc3\xa9", QString::fromLatin1(fill) + QStringLiteral("\u00e9")},
        {"utf-8 cut at the buffer", fill + "a\xc3\xa9", QString::fromLatin1(fill) + QStringLiteral("a")},
        {"latin-1 cut at the buffer", fill + "\xe9\xe9\xe9", QString::fromLatin1(fill) + QStringLiteral("\u00e9\u00e9")},
        {"a broken sequence", "\xc3\x28 x", QStringLiteral("\u00c3( x")},
        {"an overlong form", "\xc0\xaf", QStringLiteral("\u00c0\u00af")},
        {"a surrogate", "\xed\xa0\x80", QStringLiteral("\u00ed\u00a0\u0080")},
        {"a sequence the end cuts", "abc\xc3", QStringLiteral("abc\u00c3")},
        {"DEL in caret form", "del@exa\x7fmple.com", QStringLiteral("del@exa^?mple.com")},
        {"DEL in a latin-1 cell", "\x7f\xe9", QStringLiteral("^?\u00e9")},
        {"DEL in a utf-8 cell", "\x7f\xc3\xa9", QStringLiteral("^?\u00e9")},
    };
    QAbstractItemModel* m = f.list()->model();
    for (const Case& c : cases) {
        answer = c.bytes;
        EXPECT_EQ(m->data(m->index(0, 0), Qt::DisplayRole).toString(), c.shown) << c.name;
    }
}

TEST(VirtualListviewCells, ToolTipsAtMostEightyCharacters) {
    PaneForm<clsVirtualListview> f;
    f.pane.InsertColumn(0, QStringLiteral("A"), 150);
    f.pane.SetCount(5);
    f.Show();
    QString answer;
    int asked = 0;
    QObject::connect(&f.pane, &clsVirtualListview::ToolTip, [&](int32_t item, int32_t sub, QString& s) {
        ++asked;
        EXPECT_EQ(item, 2);
        EXPECT_EQ(sub, 0);
        s = answer;
    });
    QWidget* vp = f.list()->viewport();
    const QPoint at = CellPoint(f.list(), 2, 0);
    auto ask = [&] {
        QHelpEvent e(QEvent::ToolTip, at, vp->mapToGlobal(at));
        QCoreApplication::sendEvent(vp, &e);
    };
    struct Case {
        int length;
        int shown;
    };
    for (const Case c : {Case{100, 80}, Case{79, 79}, Case{80, 80}}) {
        answer = QString(c.length, QLatin1Char('t'));
        ask();
        EXPECT_EQ(QToolTip::text(), QString(c.shown, QLatin1Char('t'))) << c.length;
    }
    // Bytes, shown as UTF-8 where valid: the cut keeps whole characters.
    const QByteArray t79(79, 't');
    struct BytesCase {
        QByteArray bytes;
        QString shown;
    } const bytesCases[] = {
        {t79 + "\xc3\xa9", QString::fromLatin1(t79)},
        {t79 + "\xe9", QString::fromLatin1(t79) + QStringLiteral("\u00e9")},
        {"[chlo\xc3\xa9@krak\xc3\xb3w.example]", QStringLiteral("[chlo\u00e9@krak\u00f3w.example]")},
    };
    for (const BytesCase& c : bytesCases) {
        answer = QString::fromLatin1(c.bytes);
        ask();
        EXPECT_EQ(QToolTip::text(), c.shown) << c.bytes.toStdString();
    }
    answer.clear();
    ask();
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000));
    EXPECT_EQ(asked, 7);
    // Off the rows: no question.
    const QPoint below(at.x(), vp->height() - 2);
    QHelpEvent e(QEvent::ToolTip, below, vp->mapToGlobal(below));
    QCoreApplication::sendEvent(vp, &e);
    EXPECT_EQ(asked, 7);
}

// ---- mouse, keys, focus ---------------------------------------------------------------

TEST(VirtualListviewInput, MouseEventsCarryButtonRowAndHitFlags) {
    PaneForm<clsVirtualListview> f;
    f.pane.InsertColumn(0, QStringLiteral("A"), 100);
    f.pane.InsertColumn(1, QStringLiteral("B"), 100);
    f.pane.SetCount(3);
    f.Show();
    QList<MouseRecord> down, up;
    QObject::connect(&f.pane, &clsVirtualListview::MouseDown,
                     [&](int16_t b, int32_t i, int32_t s, int32_t fl) { down.append({b, i, s, fl}); });
    QObject::connect(&f.pane, &clsVirtualListview::MouseUp,
                     [&](int16_t b, int32_t i, int32_t s, int32_t fl) { up.append({b, i, s, fl}); });
    QWidget* vp = f.list()->viewport();
    struct Case {
        Qt::MouseButton button;
        QPoint at;
        int16_t code;
        int32_t item, sub, flags;
    };
    const Case cases[] = {
        {Qt::RightButton, QPoint(50, vp->height() - 3), 2, -1, 0, 0},  // empty space
        {Qt::LeftButton, CellPoint(f.list(), 1, 1), 1, 1, 1, OwnerDataListView::LVHT_ONITEMLABEL},
        {Qt::MiddleButton, CellPoint(f.list(), 2, 0), 4, 2, 0, OwnerDataListView::LVHT_ONITEMLABEL},
    };
    for (const Case& c : cases) {
        down.clear();
        up.clear();
        QTest::mouseClick(vp, c.button, Qt::NoModifier, c.at);
        ASSERT_EQ(down.size(), 1);
        EXPECT_EQ(down[0].button, c.code);
        EXPECT_EQ(down[0].item, c.item);
        EXPECT_EQ(down[0].sub, c.sub);
        EXPECT_EQ(down[0].flags, c.flags);
        ASSERT_EQ(up.size(), 1);
        EXPECT_EQ(up[0].button, 0);  // no button held any more
        EXPECT_EQ(up[0].item, c.item);
    }
    // The left click selected row 1 and made it the selection mark; the
    // middle button selects nothing.
    EXPECT_EQ(f.pane.GetItem(), 1);
    EXPECT_EQ(f.list()->GetItemState(1, OwnerDataListView::LVIS_SELECTED), OwnerDataListView::LVIS_SELECTED);
}

TEST(VirtualListviewInput, ImageOfARowIsItsIconHit) {
    PaneForm<clsVirtualListview> f;
    f.pane.InsertColumn(0, QStringLiteral("A"), 150);
    ImageList images(QSize(16, 16));
    QPixmap px(16, 16);
    px.fill(Qt::green);
    images.Add(px);
    f.pane.SetImageList(&images);
    f.pane.SetCount(2);
    f.Show();
    const QPoint icon = f.list()->viewport()->mapTo(f.list(), QPoint(6, RowHeight(f.list()) / 2));
    int32_t item = -1, sub = -1, flags = 0;
    ASSERT_TRUE(f.pane.HitTest(icon.x(), icon.y(), item, sub, flags));
    EXPECT_EQ(item, 0);
    EXPECT_EQ(flags, OwnerDataListView::LVHT_ONITEMICON);
}

TEST(VirtualListviewInput, RepeatedMoveToTheSamePlaceRaisesNothing) {
    PaneForm<clsVirtualListview> f;
    f.pane.InsertColumn(0, QStringLiteral("A"), 150);
    f.pane.SetCount(3);
    f.Show();
    int moves = 0;
    int32_t lastItem = -2;
    QObject::connect(&f.pane, &clsVirtualListview::MouseMove, [&](int16_t, int32_t i, int32_t, int32_t) {
        ++moves;
        lastItem = i;
    });
    QWidget* vp = f.list()->viewport();
    auto move = [&](QPoint at) {
        QMouseEvent e(QEvent::MouseMove, at, vp->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        return QCoreApplication::sendEvent(vp, &e);
    };
    move(CellPoint(f.list(), 1, 0));
    EXPECT_TRUE(move(CellPoint(f.list(), 1, 0)));  // taken, not passed on
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(lastItem, 1);
    move(CellPoint(f.list(), 2, 0));
    EXPECT_EQ(moves, 2);
    EXPECT_EQ(lastItem, 2);
}

TEST(VirtualListviewInput, KeysAsVirtualKeyCodesWithModifierFlags) {
    PaneForm<clsVirtualListview> f;
    f.pane.SetCount(3);
    struct Key {
        int16_t code;
        bool ctrl, shift, alt;
        bool down;
    };
    QList<Key> keys;
    QObject::connect(&f.pane, &clsVirtualListview::KeyDown,
                     [&](int16_t k, bool c, bool s, bool a) { keys.append({k, c, s, a, true}); });
    QObject::connect(&f.pane, &clsVirtualListview::KeyUp,
                     [&](int16_t k, bool c, bool s, bool a) { keys.append({k, c, s, a, false}); });
    QWidget* list = f.list();
    QTest::keyClick(list, Qt::Key_Delete);
    QTest::keyPress(list, Qt::Key_Control);
    QTest::keyClick(list, Qt::Key_S, Qt::ControlModifier);
    QTest::keyRelease(list, Qt::Key_Control);
    QTest::keyClick(list, Qt::Key_F5);
    const Key expected[] = {{0x2E, false, false, false, true}, {0x2E, false, false, false, false},
                            {0x53, true, false, false, true},  {0x53, true, false, false, false},
                            {0x74, false, false, false, true}, {0x74, false, false, false, false}};
    ASSERT_EQ(keys.size(), 6);  // Ctrl itself raises nothing
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(keys[i].code, expected[i].code) << i;
        EXPECT_EQ(keys[i].ctrl, expected[i].ctrl) << i;
        EXPECT_EQ(keys[i].down, expected[i].down) << i;
    }
}

TEST(VirtualListviewInput, ClickWithoutFocusFocusesTheParentFirst) {
    PaneForm<clsVirtualListview> f;
    f.pane.InsertColumn(0, QStringLiteral("A"), 150);
    f.pane.SetCount(3);
    QLineEdit* other = new QLineEdit(&f.form);
    other->setGeometry(0, 0, 5, 5);
    f.Show();
    other->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return other->hasFocus(); }, 2000));
    struct FocusSpy : QObject {
        QStringList order;
        bool eventFilter(QObject* o, QEvent* e) override {
            if (e->type() == QEvent::FocusIn) order.append(o->objectName());
            return false;
        }
    } spy;
    f.list()->setObjectName(QStringLiteral("list"));
    f.pic->installEventFilter(&spy);
    f.list()->installEventFilter(&spy);
    QTest::mouseClick(f.list()->viewport(), Qt::LeftButton, Qt::NoModifier, CellPoint(f.list(), 0, 0));
    EXPECT_EQ(spy.order, (QStringList{QStringLiteral("PicVL"), QStringLiteral("list")}));
    EXPECT_TRUE(f.list()->hasFocus());
    // The focused list shows the tooltip background.
    EXPECT_EQ(f.list()->BkColor(), SystemColors::System(24));
    other->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return other->hasFocus(); }, 2000));
    EXPECT_EQ(f.list()->BkColor(), SystemColors::System(5));
}

// ---- header ----------------------------------------------------------------------------

TEST(VirtualListviewHeader, ColumnClickAndNoSizingByDoubleClick) {
    PaneForm<clsVirtualListview> f;
    f.pane.InsertColumn(0, QStringLiteral("A"), 60);
    f.pane.InsertColumn(1, QStringLiteral("B"), 60);
    f.pane.SetCount(3);
    QObject::connect(&f.pane, &clsVirtualListview::ItemTextCallback,
                     [](int32_t, int32_t, QString& s) { s = QString(60, QLatin1Char('w')); });
    f.Show();
    QList<int32_t> clicks;
    QObject::connect(&f.pane, &clsVirtualListview::ColumnClick, [&](int32_t c) { clicks.append(c); });
    QHeaderView* header = f.list()->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(header->sectionViewportPosition(1) + 30, header->height() / 2));
    EXPECT_EQ(clicks, QList<int32_t>{1});
    const QPoint divider(header->sectionViewportPosition(0) + header->sectionSize(0) - 1, header->height() / 2);
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, divider);
    EXPECT_EQ(f.list()->ColumnWidthOf(0), 60);
}

