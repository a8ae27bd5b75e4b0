#include "FrmSplash.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "ErrorTrap.h"
#include "FontFamilies.h"
#include "IntervalTimer.h"
#include "ProductLogo.h"
#include "ReportError.h"
#include "Twips.h"
#include "modGlobalFunctionsForms.h"
#include "modRegistry.h"

#ifndef ORMID_VERSION_MAJOR
#define ORMID_VERSION_MAJOR 1
#define ORMID_VERSION_MINOR 0
#define ORMID_VERSION_PATCH 0
#endif

namespace {
QRect Tw(int left, int top, int width, int height) {
    return QRect(Twips::ToPixels(left), Twips::ToPixels(top), Twips::ToPixels(width), Twips::ToPixels(height));
}

template <class T>
T* Named(T* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    return w;
}
}  // namespace

FrmSplash::FrmSplash(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmSplash"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("Ormid List Studio"));
    setWindowIcon(QIcon(ProductLogo::Pixmap(64)));
    setFixedSize(Twips::ToPixels(6900), Twips::ToPixels(4200));

    FraMain = Named(new QFrame(this), "FraMain");
    FraMain->setGeometry(Tw(0, 0, 6900, 4200));
    FraMain->setFrameStyle(QFrame::Panel | QFrame::Raised);
    FraMain->installEventFilter(this);

    ImgLogo = Named(new QLabel(FraMain), "ImgLogo");
    ImgLogo->setPixmap(ProductLogo::Pixmap(Twips::ToPixels(1200)));
    ImgLogo->setGeometry(Tw(360, 360, 1200, 1200));

    lblTitle = Named(new QLabel(QStringLiteral("Ormid List Studio"), FraMain), "lblTitle");
    QFont title = FontFamilies::Arial(20);
    title.setBold(true);
    lblTitle->setFont(title);
    lblTitle->setGeometry(Tw(1800, 360, 4800, 600));

    lblVersion = Named(new QLabel(FraMain), "lblVersion");
    lblVersion->setFont(FontFamilies::Arial(10));
    lblVersion->setGeometry(Tw(1800, 1020, 4800, 300));

    // The platforms this build runs on.
    lblPlatform = Named(new QLabel(QStringLiteral("Linux desktop (X11 / Wayland)"), FraMain), "lblPlatform");
    lblPlatform->setFont(FontFamilies::Arial(9));
    lblPlatform->setGeometry(Tw(1800, 1380, 4800, 300));

    lblDescription = Named(new QLabel(QStringLiteral("Tool for managing Email addresses Lists"), FraMain),
                           "lblDescription");
    lblDescription->setFont(FontFamilies::Arial(10));
    lblDescription->setGeometry(Tw(360, 1920, 6240, 360));

    Line1 = Named(new QFrame(FraMain), "Line1");
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    Line1->setGeometry(Tw(240, 2580, 6420, 60));

    ChkHide = Named(new QCheckBox(QStringLiteral("Hide this window at next startup"), FraMain), "ChkHide");
    ChkHide->setFont(FontFamilies::SansSerif(8.25));
    ChkHide->setChecked(false);
    ChkHide->setGeometry(Tw(360, 3300, 4200, 360));

    ComOK = Named(new QPushButton(QStringLiteral("Ok"), FraMain), "ComOK");
    ComOK->setFont(FontFamilies::SansSerif(8.25));
    ComOK->setGeometry(Tw(5160, 3240, 1320, 420));
    ComOK->setDefault(true);

    TmrSplash = Named(new IntervalTimer(this, 5000), "TmrSplash");

    connect(ComOK, &QPushButton::clicked, this, &FrmSplash::ComOK_Click);
    connect(TmrSplash, &IntervalTimer::Timer, this, &FrmSplash::TmrSplash_Timer);
}

void FrmSplash::Report(const QString& description, const QString& routine) {
    modGlobalFunctions::ReportError(description, QString(), QStringLiteral("FrmSplash"), routine, false, true);
}

QString FrmSplash::VersionText() {
    return QStringLiteral("Version %1.%2.%3").arg(ORMID_VERSION_MAJOR).arg(ORMID_VERSION_MINOR).arg(ORMID_VERSION_PATCH);
}

void FrmSplash::Form_Load() {
    Trap(
        [&] {
            modGlobalFunctions::CenterForm(this, nullptr);
            lblVersion->setText(VersionText());
        },
        [&](const QString& d) { Report(d, QStringLiteral("Form_Load")); });
}

void FrmSplash::Form_Unload() {
    Trap(
        [&] {
            // In the About role the caller hid the box: the user's choice
            // made at start-up stays as it is.
            if (ChkHide->isHidden()) return;
            modRegistry::SetSetting(QStringLiteral("Hide"), ChkHide->isChecked() ? QStringLiteral("1")
                                                                                  : QStringLiteral("0"));
        },
        [&](const QString& d) { Report(d, QStringLiteral("Form_Unload")); });
}

void FrmSplash::done(int result) {
    if (!m_unloaded) {
        m_unloaded = true;
        TmrSplash->SetEnabled(false);
        Form_Unload();
    }
    QDialog::done(result);
}

void FrmSplash::ComOK_Click() {
    Trap(
        [&] {
            TmrSplash->SetEnabled(false);
            accept();
        },
        [&](const QString& d) { Report(d, QStringLiteral("ComOk_Click")); });
}

void FrmSplash::TmrSplash_Timer() {
    Trap(
        [&] {
            TmrSplash->SetEnabled(false);
            accept();
        },
        [&](const QString& d) { Report(d, QStringLiteral("TmrSplash_Timer")); });
}

void FrmSplash::FraMain_MouseDown(int button) {
    Trap([&] { modGlobalFunctions::MouseMoveForm(this, button); },
         [&](const QString& d) { Report(d, QStringLiteral("FraMain_MouseDown")); });
}

bool FrmSplash::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FraMain && event->type() == QEvent::MouseButtonPress) {
        FraMain_MouseDown(modGlobalFunctions::ButtonNumber(static_cast<QMouseEvent*>(event)->button()));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
