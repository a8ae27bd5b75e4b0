// The message box: layout, answers, automatic close, focus and pointer.
#include <cmath>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "FrmMsgBox.h"
#include "IntervalTimer.h"
#include "Screen.h"
#include "TestHarness.h"
#include "TextMeasure.h"
#include "Twips.h"
#include "modGlobalFunctions.h"
#include "modGlobalFunctionsForms.h"

namespace {

using Button = QPushButton* FrmMsgBox::*;

int Px(int64_t twips) { return Twips::ToPixels(static_cast<double>(twips)); }

TEST(FrmMsgBox, LayoutRules) {
    struct Row {
        int64_t msgWidth, msgHeight;
        int buttons;
        bool choice;
        int64_t width, height, firstLeft, buttonTop, optionTop;
    };
    const Row rows[] = {
        {2000, 255, 1, false, 3200, 1170, 1010, 615, 255},    // Ok only: centred at 1010
        {300, 200, 2, false, 2760, 1170, 190, 615, 255},      // Yes, No wider than the message
        {300, 600, 3, false, 3960, 1515, 190, 960, 600},      // three lines high
        {8000, 255, 6, true, 9200, 1485, 1010, 930, 570},      // all six and the option box
        {1000, 255, 0, false, 2200, 1170, 1110, 615, 255},    // no buttons (then 315 shorter)
    };
    for (const Row& r : rows) {
        const MsgBoxLayout l = FrmMsgBox::Layout(r.msgWidth, r.msgHeight, r.buttons, r.choice);
        EXPECT_EQ(l.width, r.width) << r.msgWidth << "/" << r.buttons;
        EXPECT_EQ(l.height, r.height) << r.msgWidth << "/" << r.buttons;
        EXPECT_EQ(l.firstLeft, r.firstLeft) << r.msgWidth << "/" << r.buttons;
        EXPECT_EQ(l.buttonTop, r.buttonTop);
        EXPECT_EQ(l.optionTop, r.optionTop);
        EXPECT_EQ(l.optionWidth, r.width - 240);
    }
}

void ClickOption(FrmMsgBox* b) { QTest::mouseClick(b->ChkOption, Qt::LeftButton, {}, QPoint(6, b->ChkOption->height() / 2)); }

TEST(FrmMsgBox, AnswersAndFocus) {
    struct Row {
        const char* name;
        bool yes, no, yesAll, noAll, ok, cancel;
        int focus;
        const char* choice;
        int optionClicks;
        Button press;
        int answer;
        Button focused;
    };
    const Row rows[] = {
        {"ticked then Yes", true, true, false, false, false, false, 1, "Do not warn me next time", 1,
         &FrmMsgBox::ComYes, 65, &FrmMsgBox::ComYes},
        {"ticked, unticked, No", true, true, false, false, false, false, 2, "Do not warn me next time", 2,
         &FrmMsgBox::ComNo, 2, &FrmMsgBox::ComNo},
        {"focus on a hidden button", false, false, false, false, true, false, 2, "", 0, &FrmMsgBox::ComOK, 16,
         &FrmMsgBox::ComOK},
        {"unload question", true, true, false, false, false, true, 1, "", 0, &FrmMsgBox::ComCancel, 32,
         &FrmMsgBox::ComYes},
        {"all six", true, true, true, true, true, true, 8, "", 0, &FrmMsgBox::ComNoAll, 8, &FrmMsgBox::ComNoAll},
        {"yes to all", true, true, true, true, false, false, -1, "", 0, &FrmMsgBox::ComYesAll, 4, &FrmMsgBox::ComYes},
    };
    TestHarness::UseRealMessageBox();
    QWidget owner;
    owner.setGeometry(100, 100, 800, 500);
    owner.show();
    for (const Row& r : rows) {
        bool seen = false;
        TestHarness::WhenModal<FrmMsgBox>([&](FrmMsgBox* b) {
            seen = true;
            EXPECT_EQ(b->windowTitle(), QStringLiteral("Question"));
            EXPECT_EQ(b->LabMessage->text(), QStringLiteral("Replace the list?\nIt has 3 entries."));
            // Shown buttons in row order, 1200 twips apart, from the layout's first left.
            const bool shown[6] = {r.yes, r.no, r.yesAll, r.noAll, r.ok, r.cancel};
            QPushButton* const row[6] = {b->ComYes, b->ComNo, b->ComYesAll, b->ComNoAll, b->ComOK, b->ComCancel};
            int n = 0;
            for (bool s : shown) n += s;
            const MsgBoxLayout l =
                FrmMsgBox::Layout(b->MessageWidth(), b->MessageHeight(), n, *r.choice != '\0');
            EXPECT_EQ(b->size(), QSize(Px(l.width), Px(l.height))) << r.name;
            int64_t left = l.firstLeft;
            for (int i = 0; i < 6; ++i) {
                EXPECT_EQ(row[i]->isVisible(), shown[i]) << r.name << " button " << i;
                if (!shown[i]) continue;
                EXPECT_EQ(row[i]->pos(), QPoint(Px(left), Px(l.buttonTop))) << r.name << " button " << i;
                left += 1200;
            }
            EXPECT_EQ(b->ChkOption->isVisible(), *r.choice != '\0');
            // The focus comes with the box's activation, which may follow its showing.
            EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == b->*r.focused; })) << r.name;
            for (int i = 0; i < r.optionClicks; ++i) ClickOption(b);
            QTest::mouseClick(b->*r.press, Qt::LeftButton);
        });
        const int answer = modGlobalFunctions::DisplayMessage({.message = QStringLiteral("Replace the list?\r\nIt has 3 entries."),
                                                               .Title = QStringLiteral("Question"),
                                                               .IconNb = MsgBoxIcon::Question,
                                                               .Focus = r.focus,
                                                               .ShowYes = r.yes,
                                                               .ShowNo = r.no,
                                                               .ShowYesAll = r.yesAll,
                                                               .ShowNoAll = r.noAll,
                                                               .ShowOk = r.ok,
                                                               .ShowCancel = r.cancel,
                                                               .Choice = QString::fromLatin1(r.choice),
                                                               .CForm = &owner,
                                                               .OForm = &owner});
        EXPECT_TRUE(seen) << r.name;
        EXPECT_EQ(answer, r.answer) << r.name;
    }
}

TEST(FrmMsgBox, WithoutButtonsClosesItselfOnTheFifthTick) {
    TestHarness::UseRealMessageBox();
    TestHarness::WhenModal<FrmMsgBox>([](FrmMsgBox* b) {
        EXPECT_TRUE(b->TmrHide->Enabled());
        EXPECT_EQ(b->TmrHide->Interval(), 1000);
        EXPECT_EQ(b->height(), Px(1170 - 315));
        for (int i = 0; i < 4; ++i) b->TmrHide_Timer();
        EXPECT_TRUE(b->isVisible());
        EXPECT_TRUE(b->TmrHide->Enabled());
        b->TmrHide_Timer();
        EXPECT_FALSE(b->isVisible());
    });
    const int answer =
        modGlobalFunctions::DisplayMessage({.message = "Saved.", .Title = "Done", .IconNb = MsgBoxIcon::Logo});
    EXPECT_EQ(answer, -1);
}

TEST(FrmMsgBox, ClosedWithoutAButtonAnswersZero) {
    TestHarness::UseRealMessageBox();
    TestHarness::WhenModal<FrmMsgBox>([](FrmMsgBox* b) {
        ClickOption(b);
        EXPECT_TRUE(b->IsCheck);
        b->close();
    });
    const int answer = modGlobalFunctions::DisplayMessage({.message = "Go on?",
                                                           .Title = "Q",
                                                           .IconNb = MsgBoxIcon::Warning,
                                                           .Focus = MsgBoxButton::Yes,
                                                           .ShowYes = true,
                                                           .ShowNo = true,
                                                           .Choice = "Do not warn me next time"});
    EXPECT_EQ(answer, 0);
}

TEST(FrmMsgBox, MeasuresEveryLineAndShowsTheIcon) {
    struct Row {
        const char* message;
        const char* widest;
        int lines;
        int icon;
        const char* image;
    };
    const Row rows[] = {
        {"WWWW\r\nW", "WWWW", 2, MsgBoxIcon::Info, "ImgInfo"},
        {"W\r\nWWWWWWWW", "WWWWWWWW", 2, MsgBoxIcon::Error, "ImgError"},  // the last line counts
        {"W", "W", 1, MsgBoxIcon::Logo, "ImgOrmid"},                      // a single character counts
        {"WW\nWW", "WW\nWW", 2, 3, nullptr},                              // a lone LF does not cut the width
    };
    TestHarness::UseRealMessageBox();
    for (const Row& r : rows) {
        TestHarness::WhenModal<FrmMsgBox>([&](FrmMsgBox* b) {
            EXPECT_EQ(b->MessageWidth(), TextMeasure::WidthTwips(b->font(), QString::fromLatin1(r.widest)))
                << r.message;
            EXPECT_GT(b->MessageWidth(), 0);
            EXPECT_EQ(b->MessageHeight(), TextMeasure::HeightTwips(b->font(), r.lines)) << r.message;
            EXPECT_EQ(b->LabMessage->x(), Px(960));
            for (QLabel* img : {b->ImgInfo, b->ImgWarning, b->ImgError, b->ImgQuestion, b->ImgOrmid})
                EXPECT_EQ(img->isVisible(), r.image != nullptr && img->objectName() == QLatin1String(r.image))
                    << r.message << " " << img->objectName().toStdString();
            QTest::mouseClick(b->ComOK, Qt::LeftButton);
        });
        EXPECT_EQ(modGlobalFunctions::DisplayMessage({.message = QString::fromLatin1(r.message),
                                                      .Title = "T",
                                                      .IconNb = r.icon,
                                                      .Focus = MsgBoxButton::Ok,
                                                      .ShowOk = true}),
                  MsgBoxButton::Ok);
    }
}

TEST(FrmMsgBox, DefaultPointerWhileActiveThenTheSavedOne) {
    TestHarness::UseRealMessageBox();
    Screen::Instance()->SetMousePointer(11);
    int during = -1;
    TestHarness::WhenModal<FrmMsgBox>([&](FrmMsgBox* b) {
        // The pointer changes with the box's activation, which may follow its showing.
        EXPECT_TRUE(QTest::qWaitFor([b] { return b->isActiveWindow(); }));
        during = Screen::Instance()->MousePointer();
        QTest::mouseClick(b->ComOK, Qt::LeftButton);
    });
    modGlobalFunctions::DisplayMessage(
        {.message = "m", .Title = "t", .IconNb = MsgBoxIcon::Info, .Focus = MsgBoxButton::Ok, .ShowOk = true});
    EXPECT_EQ(during, 0);
    EXPECT_EQ(Screen::Instance()->MousePointer(), 11);
}

// Where a rule puts the form's outer top-left corner, in twips.
enum class At { OwnerCentre, ScreenCentre, Owner330, Screen330, Owner400, Screen400, OwnerBottom, ScreenBottom,
                OwnerRight, ScreenRight, OwnerTopEdge, BelowOwner, LeftOfOwner, RightOfOwner };

struct Frame {
    int64_t l, t, w, h;
};

Frame FrameOf(const QWidget& w) {
    const QRect f = w.frameGeometry();
    return {Twips::FromPixels(f.x()), Twips::FromPixels(f.y()), Twips::FromPixels(f.width()),
            Twips::FromPixels(f.height())};
}

int64_t Half(int64_t v) { return static_cast<int64_t>(std::nearbyint(v / 2.0)); }

int64_t Expected(At rule, bool vertical, const Frame& o, const Frame& f, int64_t screenW, int64_t screenH) {
    const int64_t os = vertical ? o.t : o.l, ol = vertical ? o.h : o.w, fl = vertical ? f.h : f.w;
    const int64_t sl = vertical ? screenH : screenW;
    const int64_t edge = vertical ? 330 : 400, far = vertical ? 390 : 400;
    switch (rule) {
        case At::OwnerCentre: return os + Half(ol - fl);
        case At::ScreenCentre: return Half(sl - fl);
        case At::Owner330:
        case At::Owner400: return os + edge;
        case At::Screen330:
        case At::Screen400: return edge;
        case At::OwnerBottom:
        case At::OwnerRight: return os + ol - fl - far;
        case At::ScreenBottom:
        case At::ScreenRight: return sl - fl - far;
        case At::OwnerTopEdge: return os;
        case At::BelowOwner:
        case At::RightOfOwner: return os + ol;
        case At::LeftOfOwner: return os - fl;
    }
    return 0;
}

TEST(CenterForm, PlacesAgainstTheOwnerOrTheScreen) {
    using V = FormPlacement::Vertical;
    using H = FormPlacement::Horizontal;
    struct Row {
        bool owner;
        FormPlacement where;
        At x, y;
    };
    const Row rows[] = {
        {true, {}, At::OwnerCentre, At::OwnerCentre},
        {false, {}, At::ScreenCentre, At::ScreenCentre},
        {true, {V::Top, H::Centre}, At::OwnerCentre, At::Owner330},
        {false, {V::Top, H::Centre}, At::ScreenCentre, At::Screen330},
        {true, {V::Bottom, H::Centre}, At::OwnerCentre, At::OwnerBottom},
        {true, {V::Centre, H::Left}, At::Owner400, At::OwnerCentre},
        {true, {V::Centre, H::RightOfOwner}, At::RightOfOwner, At::OwnerCentre},
        {false, {V::Bottom, H::Right}, At::ScreenRight, At::ScreenBottom},
        {true, {V::OwnerTop, H::LeftOfOwner}, At::LeftOfOwner, At::OwnerTopEdge},
        {true, {V::BelowOwner, H::Centre}, At::OwnerCentre, At::BelowOwner},
        // Without an owner, the places outside it fall back to the screen's margins.
        {false, {V::OwnerTop, H::LeftOfOwner}, At::Screen400, At::Screen330},
        {false, {V::BelowOwner, H::RightOfOwner}, At::ScreenRight, At::ScreenBottom},
    };
    QWidget owner;
    owner.setGeometry(50, 60, 600, 400);
    owner.show();
    const Frame o = FrameOf(owner);
    const int64_t sw = Screen::Instance()->Width(), sh = Screen::Instance()->Height();
    for (const Row& r : rows) {
        QWidget form(&owner, Qt::Dialog);
        form.resize(200, 100);
        const Frame f = FrameOf(form);
        modGlobalFunctions::CenterForm(&form, r.owner ? &owner : nullptr, r.where);
        const QPoint want(Px(Expected(r.x, false, o, f, sw, sh)), Px(Expected(r.y, true, o, f, sw, sh)));
        EXPECT_EQ(form.frameGeometry().topLeft(), want) << int(r.x) << "," << int(r.y);
    }
    // A minimized owner leaves the form centred on the screen.
    owner.showMinimized();
    QWidget form(&owner, Qt::Dialog);
    form.resize(200, 100);
    const Frame f = FrameOf(form);
    modGlobalFunctions::CenterForm(&form, &owner);
    EXPECT_EQ(form.frameGeometry().topLeft(), QPoint(Px(Half(sw - f.w)), Px(Half(sh - f.h))));
}

}  // namespace
