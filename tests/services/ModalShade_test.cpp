// A window under a modal window is drawn disabled while the modal window is
// up, and usable again, with its focused control, once it goes.
#include <functional>

#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "FrmMsgBox.h"
#include "ModalShade.h"
#include "OwnerEnabler.h"
#include "TestHarness.h"
#include "modDialog.h"
#include "modGlobalFunctions.h"

namespace {

// A main window with a button and a box, and what was seen under a modal window.
struct Window {
    QWidget window;
    QWidget* content = new QWidget(&window);
    QPushButton* button = new QPushButton(QStringLiteral("Clear"), content);
    QLineEdit* box = new QLineEdit(content);
    Window() {
        window.setObjectName(QStringLiteral("FrmMain"));
        auto* layout = new QVBoxLayout(content);
        layout->addWidget(button);
        layout->addWidget(box);
        window.resize(400, 300);
        content->resize(400, 300);
        window.show();
        window.activateWindow();
        box->setFocus();
    }
    // The button as seen from inside the modal window.
    bool buttonEnabled = true;
    bool buttonDrawnDisabled = false;
    void Look() {
        buttonEnabled = button->isEnabled();
        buttonDrawnDisabled = button->palette().currentColorGroup() == QPalette::Disabled;
    }
};

TEST(ModalShade, TheWindowUnderAModalWindowIsDrawnDisabled) {
    ModalShade::Install();
    ModalShade::Install();  // once is enough
    struct Case {
        const char* name;
        bool busy;  // the window is disabled for its own work already
        std::function<void(Window&)> open;
    };
    const Case cases[] = {
        {"a message box", false,
         [](Window& w) {
             TestHarness::UseRealMessageBox();
             TestHarness::WhenModal<FrmMsgBox>([&](FrmMsgBox* box) {
                 w.Look();
                 box->ComOK->click();
             });
             modGlobalFunctions::DisplayMessage({.message = QStringLiteral("Nothing to clear"),
                                                 .ShowOk = true,
                                                 .CForm = &w.window,
                                                 .OForm = &w.window});
         }},
        {"the file dialog", false,
         [](Window& w) {
             modDialog::InstallChooser(nullptr);
             TestHarness::WhenModal<QFileDialog>([&](QFileDialog* d) {
                 w.Look();
                 d->reject();
             });
             QString fileName, dir;
             modDialog::ShowDialog(4, 1, 4096, QStringLiteral("All files (*.*)|*.*|"), TestHarness::Folder(),
                                   fileName, QString(), QStringLiteral("Open"), nullptr, QStringLiteral("Open"),
                                   QStringLiteral("Cancel"), dir, &w.window);
         }},
        {"a dialog of the window", false,
         [](Window& w) {
             QDialog about(&w.window);
             TestHarness::WhenModal<QDialog>([&](QDialog* d) {
                 w.Look();
                 d->accept();
             });
             about.exec();
         }},
        {"a message box over a busy window", true,
         [](Window& w) {
             TestHarness::UseRealMessageBox();
             TestHarness::WhenModal<FrmMsgBox>([&](FrmMsgBox* box) {
                 w.Look();
                 box->ComOK->click();
             });
             modGlobalFunctions::DisplayMessage({.message = QStringLiteral("Busy"), .ShowOk = true});
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Window w;
        if (c.busy) OwnerEnabler::SetEnabled(&w.window, false);
        c.open(w);
        EXPECT_FALSE(w.buttonEnabled);
        EXPECT_TRUE(w.buttonDrawnDisabled);
        // Afterwards the window is as it was: usable, or still busy.
        EXPECT_EQ(w.button->isEnabled(), !c.busy);
        EXPECT_EQ(OwnerEnabler::IsEnabled(&w.window), !c.busy);
        if (!c.busy) {
            EXPECT_EQ(w.window.focusWidget(), w.box);
        } else {
            OwnerEnabler::SetEnabled(&w.window, true);
        }
        EXPECT_TRUE(w.button->isEnabled());
    }
}

// A window that follows its owner's enabled state must not take a message
// box it owns with it: such a box stays usable.
TEST(ModalShade, AMessageBoxOfAFollowingWindowStaysUsable) {
    ModalShade::Install();
    Window w;
    QDialog viewer(&w.window);
    // As the result viewer does: disabled whenever its owner is.
    struct Follower : QObject {
        QWidget* owner;
        QWidget* self;
        bool eventFilter(QObject* o, QEvent* e) override {
            if (o == owner && e->type() == QEvent::DynamicPropertyChange)
                self->setEnabled(OwnerEnabler::IsEnabled(owner));
            return false;
        }
    } follower;
    follower.owner = &w.window;
    follower.self = &viewer;
    w.window.installEventFilter(&follower);
    viewer.show();
    TestHarness::UseRealMessageBox();
    bool boxEnabled = false;
    TestHarness::WhenModal<FrmMsgBox>([&](FrmMsgBox* box) {
        boxEnabled = box->isEnabled() && box->ComOK->isEnabled();
        box->ComOK->click();
    });
    modGlobalFunctions::DisplayMessage(
        {.message = QStringLiteral("From the viewer"), .ShowOk = true, .CForm = &viewer, .OForm = &viewer});
    EXPECT_TRUE(boxEnabled);
    EXPECT_TRUE(viewer.isEnabled());
    w.window.removeEventFilter(&follower);
}

}  // namespace
