// Proportional layout of a form by its controls' tags.
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QTabWidget>

#include "ControlGeometry.h"
#include "TestHarness.h"
#include "clsError.h"
#include "clsResizer.h"

namespace {

struct Geometry {
    double l, t, w, h;
    bool operator==(const Geometry& o) const { return l == o.l && t == o.t && w == o.w && h == o.h; }
};

void PrintTo(const Geometry& g, std::ostream* os) { *os << "(" << g.l << ", " << g.t << ", " << g.w << ", " << g.h << ")"; }

Geometry Of(const QWidget* w) {
    return {ControlGeometry::Left(w), ControlGeometry::Top(w), ControlGeometry::Width(w), ControlGeometry::Height(w)};
}

template <class W = QPushButton>
W* Control(QWidget* parent, const char* name, const char* tag, Geometry g) {
    auto* w = new W(parent);
    w->setObjectName(QString::fromLatin1(name));
    if (tag) w->setProperty("Tag", QString::fromLatin1(tag));
    ControlGeometry::Move(w, g.l, g.t, g.w, g.h);
    return w;
}

// A form of 400 x 300 pixels (6000 x 4500 twips) with its resizer.
struct Form {
    QWidget frm;
    clsResizer resizer;
    Form() {
        frm.setObjectName(QStringLiteral("FrmTest"));
        frm.resize(400, 300);
    }
    bool Init() {
        resizer.MyError = std::make_shared<clsError>();
        resizer.Frm = &frm;
        return resizer.Initialize();
    }
    // Grows the inner size by whole pixels and lays out.
    void Grow(int dw, int dh) {
        frm.resize(frm.width() + dw, frm.height() + dh);
        resizer.Resize();
    }
};

}  // namespace

TEST(Resizer, TagsTable) {
    struct Case {
        const char* tag;
        int dw, dh;  // pixels; 1 pixel = 15 twips
        Geometry expected;  // from (1500, 1500, 1500, 600)
    };
    const Case cases[] = {
        {"01001111", 0, 20, {1500, 1800, 1500, 600}},    // follows the height
        {"10001111", 20, 0, {1800, 1500, 1500, 600}},    // follows the width
        {"11001111", 20, 20, {1800, 1800, 1500, 600}},   // bottom-right corner
        {"00111111", 20, 40, {1500, 1500, 1800, 1200}},  // grows both ways
        {"01001211", 0, 20, {1500, 1650, 1500, 600}},    // half the height growth
        {"01001111", 20, 0, {1500, 1500, 1500, 600}},    // width alone: nothing to do
        {"", 20, 20, {1500, 1500, 1500, 600}},           // no tag: keeps its place
        {"10002111", 1, 0, {1507, 1500, 1500, 600}},     // 15 \ 2 = 7
        {"1111", 20, 20, {1500, 1500, 1500, 600}},       // no divisors: no share, no failure
        {"0011x1y1", 20, 20, {1500, 1500, 1500, 900}},   // a non-digit divisor: no share there
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tag);
        Form f;
        QPushButton* b = Control(&f.frm, "ComTest", c.tag, {1500, 1500, 1500, 600});
        ASSERT_TRUE(f.Init());
        f.Grow(c.dw, c.dh);
        EXPECT_EQ(Of(b), c.expected);
        EXPECT_FALSE(f.resizer.MyError->IsPending());
    }
}

TEST(Resizer, SmallStepsAddUp) {
    Form f;
    QPushButton* b = Control(&f.frm, "ComHalf", "10002111", {1500, 0, 1500, 600});
    ASSERT_TRUE(f.Init());
    f.Grow(1, 0);
    f.Grow(1, 0);
    EXPECT_EQ(Of(b).l, 1514);  // two growths of 15 move by 14
    f.Grow(-1, 0);
    EXPECT_EQ(Of(b).l, 1507);  // shrinking by 15 moves back by 7
}

TEST(Resizer, NeverBelowTheFormOrTheControlsAtLoad) {
    Form f;
    QPushButton* b = Control(&f.frm, "ComOk", "11111111", {3000, 3000, 1500, 600});
    ASSERT_TRUE(f.Init());
    f.Grow(40, 40);
    f.Grow(-100, -100);  // dragged smaller than at load
    EXPECT_EQ(f.frm.size(), QSize(400, 300));
    EXPECT_EQ(Of(b), (Geometry{3000, 3000, 1500, 600}));
}

TEST(Resizer, NestedContainersHandOnTheirGrowth) {
    Form f;
    // A frame taking half the width growth and all the height growth; inside
    // it a list taking the upper half of that and one below taking the lower.
    auto* frame = Control<QFrame>(&f.frm, "FraEmailValidation", "00111121", {150, 150, 4500, 3000});
    QPushButton* upper = Control(frame, "LstDNCountry", "00111112", {150, 150, 3000, 1200});
    QPushButton* lower = Control(frame, "LstDNGeneric", "01111212", {150, 1500, 3000, 1200});
    QPushButton* fixed = Control(frame, "LabFixed", nullptr, {150, 2800, 600, 150});
    auto* label = Control<QLabel>(frame, "LabNote", "01001111", {3300, 150, 600, 300});
    QPushButton* inLabel = Control(label, "ComInLabel", "11111111", {0, 0, 150, 150});
    ASSERT_TRUE(f.Init());
    f.Grow(40, 80);  // 600 x 1200 twips
    EXPECT_EQ(Of(frame), (Geometry{150, 150, 4800, 4200}));
    EXPECT_EQ(Of(upper), (Geometry{150, 150, 3300, 1800}));
    EXPECT_EQ(Of(lower), (Geometry{150, 2100, 3300, 1800}));
    EXPECT_EQ(Of(fixed), (Geometry{150, 2800, 600, 150}));
    EXPECT_EQ(Of(label), (Geometry{3300, 1350, 600, 300}));  // a label is laid out...
    EXPECT_EQ(Of(inLabel), (Geometry{0, 0, 150, 150}));     // ...but never searched
}

TEST(Resizer, UntaggedContainerCutsOffItsControls) {
    Form f;
    auto* frame = Control<QFrame>(&f.frm, "FraPlain", "", {150, 150, 3000, 3000});
    QPushButton* inner = Control(frame, "ComInner", "11111111", {150, 150, 600, 300});
    ASSERT_TRUE(f.Init());
    f.Grow(20, 20);
    EXPECT_EQ(Of(inner), (Geometry{150, 150, 600, 300}));
}

TEST(Resizer, ComboBoxGetsOnlyItsFlaggedProperties) {
    Form f;
    auto* combo = Control<QComboBox>(&f.frm, "CboTest", "11001111", {1500, 1500, 1500, 315});
    ASSERT_TRUE(f.Init());
    ControlGeometry::SetHeight(combo, 150);  // below its floor, untouched by the layout
    f.Grow(20, 20);
    EXPECT_EQ(Of(combo), (Geometry{1800, 1800, 1500, 150}));
}

TEST(Resizer, TabPagesAndMainWindowHoldControlsOnly) {
    QMainWindow main;
    main.setObjectName(QStringLiteral("FrmMain"));
    auto* central = new QWidget(&main);
    central->setObjectName(QStringLiteral("Central"));
    main.setCentralWidget(central);
    main.resize(400, 300);
    auto* tabs = Control<QTabWidget>(central, "SSTab", "00111111", {150, 150, 4500, 3000});
    auto* page1 = new QWidget();
    page1->setObjectName(QStringLiteral("Page1"));
    auto* page2 = new QWidget();
    page2->setObjectName(QStringLiteral("Page2"));
    tabs->addTab(page1, QStringLiteral("One"));
    tabs->addTab(page2, QStringLiteral("Two"));
    QPushButton* shown = Control(page1, "ComShown", "11001111", {300, 300, 600, 300});
    QPushButton* hidden = Control(page2, "ComHidden", "11001111", {300, 300, 600, 300});
    clsResizer resizer;
    resizer.Frm = &main;
    ASSERT_TRUE(resizer.Initialize());
    main.resize(420, 320);
    resizer.Resize();
    EXPECT_EQ(Of(tabs), (Geometry{150, 150, 4800, 3300}));
    EXPECT_EQ(Of(shown), (Geometry{600, 600, 600, 300}));
    EXPECT_EQ(Of(hidden), (Geometry{600, 600, 600, 300}));  // laid out on its hidden page too
}

TEST(Resizer, MinimizedFormIsNotLaidOutUntilRestored) {
    Form f;
    QPushButton* b = Control(&f.frm, "ComOk", "11001111", {1500, 1500, 600, 300});
    ASSERT_TRUE(f.Init());
    f.frm.show();
    f.frm.setWindowState(Qt::WindowMinimized);
    f.frm.resize(420, 320);
    if (f.frm.isMinimized()) {
        EXPECT_FALSE(f.resizer.Resize());
        EXPECT_EQ(Of(b), (Geometry{1500, 1500, 600, 300}));
    }
    f.frm.setWindowState(Qt::WindowNoState);
    EXPECT_TRUE(f.resizer.Resize());
    EXPECT_EQ(Of(b), (Geometry{1800, 1800, 600, 300}));  // the whole change at once
}

TEST(Resizer, NoFormNoTree) {
    clsResizer resizer;
    EXPECT_FALSE(resizer.Initialize());
    EXPECT_FALSE(resizer.Resize());
}
