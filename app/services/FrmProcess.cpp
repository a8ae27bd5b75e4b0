#include "FrmProcess.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "ErrorTrap.h"
#include "FontFamilies.h"
#include "MessagePump.h"
#include "ReportError.h"
#include "Screen.h"
#include "Twips.h"
#include "clsInterrupt.h"
#include "modGlobalFunctionsForms.h"

namespace {
QRect Tw(int left, int top, int width, int height) {
    return QRect(Twips::ToPixels(left), Twips::ToPixels(top), Twips::ToPixels(width), Twips::ToPixels(height));
}
}  // namespace

FrmProcess::FrmProcess(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("FrmProcess"));
    // No close box: the monitor closes the window when the work ends.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("Now Processing"));
    setFixedSize(Twips::ToPixels(5175), Twips::ToPixels(1215));
    setModal(false);

    FraBack = new QFrame(this);
    FraBack->setObjectName(QStringLiteral("FraBack"));
    FraBack->setGeometry(Tw(0, 0, 5175, 1215));
    FraBack->setFrameStyle(QFrame::Panel | QFrame::Raised);
    FraBack->setAutoFillBackground(true);
    FraBack->setMouseTracking(true);
    FraBack->installEventFilter(this);

    LabAction = new QLabel(FraBack);
    LabAction->setObjectName(QStringLiteral("LabAction"));
    LabAction->setFont(FontFamilies::Arial(8.25));
    LabAction->setGeometry(Tw(120, 240, 4935, 375));
    LabAction->setTextFormat(Qt::PlainText);
    LabAction->setMouseTracking(true);
    LabAction->installEventFilter(this);

    ComCancel = new QPushButton(QStringLiteral("Cancel"), FraBack);
    ComCancel->setObjectName(QStringLiteral("ComCancel"));
    ComCancel->setFont(FontFamilies::Arial(8.25));
    ComCancel->setGeometry(Tw(1960, 720, 1215, 300));
    ComCancel->setMouseTracking(true);
    ComCancel->installEventFilter(this);

    connect(ComCancel, &QPushButton::clicked, this, &FrmProcess::ComCancel_Click);
}

void FrmProcess::Report(const QString& description, const QString& routine) {
    modGlobalFunctions::ReportError(description, QString(), QStringLiteral("FrmProcess"), routine, false, true);
}

void FrmProcess::Form_Load() {
    Trap(
        [&] {
            LabAction->clear();
            m_savedPointer = Screen::Instance()->MousePointer();
        },
        [&](const QString& d) { Report(d, QStringLiteral("Form_Load")); });
}

void FrmProcess::ComCancel_Click() {
    Trap(
        [&] {
            if (Interrupt) Interrupt->ISet(QStringLiteral("Operator"));
            MessagePump::DoEvents();
        },
        [&](const QString& d) { Report(d, QStringLiteral("ComCancel_Click")); });
}

void FrmProcess::ComCancel_MouseMove() { Screen::Instance()->SetMousePointer(0); }
void FrmProcess::FraBack_MouseMove() { Screen::Instance()->SetMousePointer(m_savedPointer); }
void FrmProcess::LabAction_MouseMove() { Screen::Instance()->SetMousePointer(m_savedPointer); }

void FrmProcess::FraBack_MouseDown(int button) { modGlobalFunctions::MouseMoveForm(this, button); }

void FrmProcess::Form_Unload() {
    if (m_unloaded) return;
    m_unloaded = true;
    Trap(
        [&] {
            Screen::Instance()->SetMousePointer(m_savedPointer);
            MyError.reset();
            Interrupt.reset();
            MessagePump::DoEvents();
        },
        [&](const QString& d) { Report(d, QStringLiteral("Form_Unload")); });
}

void FrmProcess::Unload() {
    hide();
    Form_Unload();
    // Deleted later: the unload may run inside one of its own handlers.
    deleteLater();
}

void FrmProcess::reject() {}

void FrmProcess::closeEvent(QCloseEvent* event) {
    if (!m_unloaded) event->ignore();
}

bool FrmProcess::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type t = event->type();
    if (t == QEvent::MouseMove || t == QEvent::Enter) {
        if (watched == ComCancel) ComCancel_MouseMove();
        else if (watched == FraBack) FraBack_MouseMove();
        else if (watched == LabAction) LabAction_MouseMove();
    } else if (t == QEvent::MouseButtonPress && watched == FraBack) {
        const auto* me = static_cast<QMouseEvent*>(event);
        FraBack_MouseDown(modGlobalFunctions::ButtonNumber(me->button()));
    }
    return QDialog::eventFilter(watched, event);
}
