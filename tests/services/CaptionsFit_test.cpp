// Every caption of every dialog fits its control and the control its window,
// at the program's fonts: nothing is cut or runs into an edge.
#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <functional>
#include <memory>

#include "FrmControl.h"
#include "FrmCriteria.h"
#include "FrmDisplay.h"
#include "FrmFind.h"
#include "FrmMailbox.h"
#include "FrmName.h"
#include "FrmOptions.h"
#include "FrmProcess.h"
#include "FrmSaveList.h"
#include "FrmSplash.h"
#include "FrmStructure.h"
#include "TestHarness.h"

namespace {

// Pixels between a caption's end and the edge of a frame or window around
// it: the frame's line and a gap, so that no caption touches it.
constexpr int kClearance = 4;

// What does not fit in a window: "object: why" each.
QStringList CutCaptions(QWidget* window) {
    QStringList cut;
    const auto check = [&](QWidget* w, int needed, const QString& text) {
        if (needed > w->width())
            cut << QStringLiteral("%1 \"%2\": needs %3, has %4").arg(w->objectName(), text).arg(needed).arg(w->width());
        // The caption's end keeps clear of the frames around it and of the window's edge.
        const int end = w->mapTo(window, QPoint(needed, 0)).x();
        for (QWidget* p = w->parentWidget(); p != nullptr; p = p->isWindow() ? nullptr : p->parentWidget()) {
            const int edge = p->mapTo(window, QPoint(p->width(), 0)).x() - kClearance;
            if (end > edge) {
                cut << QStringLiteral("%1 \"%2\": ends at %3, %4 ends at %5")
                           .arg(w->objectName(), text)
                           .arg(end)
                           .arg(p->objectName())
                           .arg(edge + kClearance);
                break;
            }
        }
    };
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window) || w->isWindow()) continue;
        if (auto* l = qobject_cast<QLabel*>(w)) {
            if (l->text().isEmpty() || l->wordWrap() || l->text().contains(QLatin1Char('\n'))) continue;
            check(l, l->sizeHint().width(), l->text());
        } else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
            // Where the style starts the caption, then the caption's ink.
            auto* b = static_cast<QAbstractButton*>(w);
            const QString t = b->text().trimmed();
            if (t.isEmpty()) continue;
            QStyleOptionButton option;
            option.initFrom(b);
            option.text = t;
            const bool radio = qobject_cast<QRadioButton*>(w) != nullptr;
            const QRect contents = b->style()->subElementRect(
                radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents, &option, b);
            check(b, contents.left() + b->fontMetrics().horizontalAdvance(t), t);
        } else if (auto* p = qobject_cast<QPushButton*>(w)) {
            QString t = p->text();
            t.remove(QLatin1Char('&'));
            if (!t.isEmpty()) check(p, p->fontMetrics().horizontalAdvance(t) + 4, t);
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            if (!g->title().isEmpty()) check(g, g->fontMetrics().horizontalAdvance(g->title()) + 16, g->title());
        }
    }
    return cut;
}

// A dialog created as its callers create it, loaded where it has a Form_Load.
template <class Form>
std::unique_ptr<QWidget> Loaded(QWidget* owner) {
    auto d = std::make_unique<Form>(owner);
    if constexpr (requires { d->Form_Load(); }) d->Form_Load();
    return d;
}

TEST(Captions, FitInEveryDialog) {
    QWidget owner;
    owner.resize(900, 700);
    owner.show();
    struct Case {
        const char* name;
        std::function<std::unique_ptr<QWidget>()> open;
    };
    const Case cases[] = {
        {"FrmStructure", [&] { return Loaded<FrmStructure>(&owner); }},
        {"FrmSaveList expanded",
         [&] {
             auto d = Loaded<FrmSaveList>(&owner);
             auto* save = static_cast<FrmSaveList*>(d.get());
             save->SetDisplay({.DoSepFld = true,
                               .DoSepRec = true,
                               .DoSplNbr = true,
                               .DoSplDom = true,
                               .DoFull = true,
                               .DoMore = true});
             save->show();
             save->ComMore->click();
             return d;
         }},
        {"FrmControl", [&] { return Loaded<FrmControl>(&owner); }},
        {"FrmDisplay", [&] { return Loaded<FrmDisplay>(&owner); }},
        {"FrmFind", [&] { return Loaded<FrmFind>(&owner); }},
        {"FrmOptions", [&] { return Loaded<FrmOptions>(&owner); }},
        {"FrmSplash", [&] { return Loaded<FrmSplash>(&owner); }},
        {"FrmProcess", [&] { return Loaded<FrmProcess>(&owner); }},
        {"FrmName", [&] { return Loaded<FrmName>(&owner); }},
        {"FrmCriteria", [&] { return Loaded<FrmCriteria>(&owner); }},
        {"FrmMailbox", [&] { return Loaded<FrmMailbox>(&owner); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<QWidget> d = c.open();
        d->show();
        QCoreApplication::processEvents();
        EXPECT_EQ(CutCaptions(d.get()), QStringList());
        d->hide();
    }
}

}  // namespace
