#include "FrmMsgBox.h"

#include <cmath>

#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>

#include "FontFamilies.h"
#include "IntervalTimer.h"
#include "MessagePump.h"
#include "ProductLogo.h"
#include "Screen.h"
#include "TextMeasure.h"
#include "Twips.h"
#include "modGlobalFunctionsForms.h"

namespace {
void PlaceTwips(QWidget* w, int64_t left, int64_t top, int64_t width, int64_t height) {
    w->setGeometry(Twips::ToPixels(static_cast<double>(left)), Twips::ToPixels(static_cast<double>(top)),
                   Twips::ToPixels(static_cast<double>(width)), Twips::ToPixels(static_cast<double>(height)));
}

QLabel* MakeImage(QWidget* parent, const char* name, const QPixmap& pm) {
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setPixmap(pm);
    PlaceTwips(l, 240, 120, 480, 480);
    l->hide();
    return l;
}
}  // namespace

FrmMsgBox::FrmMsgBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmMsgBox"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setSizeGripEnabled(false);

    const QFont small = FontFamilies::Arial(8.25);
    auto button = [&](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setFont(small);
        PlaceTwips(b, 0, 0, 1080, 315);
        b->hide();
        return b;
    };
    ComYes = button("ComYes", QStringLiteral("Yes"));
    ComNo = button("ComNo", QStringLiteral("No"));
    ComYesAll = button("ComYesAll", QStringLiteral("Yes to All"));
    ComOK = button("ComOK", QStringLiteral("Ok"));
    ComCancel = button("ComCancel", QStringLiteral("Cancel"));

    LabMessage = new QLabel(this);
    LabMessage->setObjectName(QStringLiteral("LabMessage"));
    LabMessage->setTextFormat(Qt::PlainText);
    LabMessage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LabMessage->setWordWrap(false);
    PlaceTwips(LabMessage, 960, 240, 6255, 255);
    LabMessage->installEventFilter(this);

    ComNoAll = button("ComNoAll", QStringLiteral("No to All"));

    ChkOption = new QCheckBox(QStringLiteral("Option"), this);
    ChkOption->setObjectName(QStringLiteral("ChkOption"));
    ChkOption->setFont(small);
    PlaceTwips(ChkOption, 960, 0, 5655, 195);
    ChkOption->hide();

    setTabOrder(ComYes, ComNo);
    setTabOrder(ComNo, ComYesAll);
    setTabOrder(ComYesAll, ComOK);
    setTabOrder(ComOK, ComCancel);
    setTabOrder(ComCancel, ComNoAll);
    setTabOrder(ComNoAll, ChkOption);

    const int icon = 32;
    ImgInfo = MakeImage(this, "ImgInfo", style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(icon));
    ImgWarning = MakeImage(this, "ImgWarning", style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(icon));
    ImgError = MakeImage(this, "ImgError", style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(icon));
    ImgQuestion = MakeImage(this, "ImgQuestion", style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(icon));
    ImgOrmid = MakeImage(this, "ImgOrmid", ProductLogo::Pixmap(icon));

    TmrHide = new IntervalTimer(this, 1000);
    TmrHide->setObjectName(QStringLiteral("TmrHide"));

    connect(ComYes, &QPushButton::clicked, this, &FrmMsgBox::ComYes_Click);
    connect(ComNo, &QPushButton::clicked, this, &FrmMsgBox::ComNo_Click);
    connect(ComYesAll, &QPushButton::clicked, this, &FrmMsgBox::ComYesAll_Click);
    connect(ComNoAll, &QPushButton::clicked, this, &FrmMsgBox::ComNoAll_Click);
    connect(ComOK, &QPushButton::clicked, this, &FrmMsgBox::ComOK_Click);
    connect(ComCancel, &QPushButton::clicked, this, &FrmMsgBox::ComCancel_Click);
    connect(ChkOption, &QCheckBox::clicked, this, &FrmMsgBox::ChkOption_Click);
    connect(TmrHide, &IntervalTimer::Timer, this, &FrmMsgBox::TmrHide_Timer);
}

void FrmMsgBox::Form_Load() {
    for (QPushButton* b : {ComYes, ComNo, ComYesAll, ComNoAll, ComOK, ComCancel}) b->hide();
    Request = MsgBoxRequest();
}

// The line that begins at start (1-based) up to the next separator; start
// moves past it.  False once the text is used up.
bool FrmMsgBox::GetNextLine(const QString& text, QString& line, const QString& separator, int& start) {
    if (start < 1 || start > text.size()) return false;
    const qsizetype at = text.indexOf(separator, start - 1);
    if (at < 0 || separator.isEmpty()) {
        line = text.mid(start - 1);
        start = static_cast<int>(text.size()) + 1;
    } else {
        line = text.mid(start - 1, at - (start - 1));
        start = static_cast<int>(at + separator.size()) + 1;
    }
    return true;
}

void FrmMsgBox::MessageSize() {
    const QFont f = font();
    m_msgHeight = TextMeasure::HeightTwips(f, static_cast<int>(Request.message.count(QLatin1Char('\n'))) + 1);
    m_msgWidth = 0;
    int start = 1;
    QString line;
    const QString crlf = QStringLiteral("\r\n");
    while (GetNextLine(Request.message, line, crlf, start)) {
        const int64_t w = TextMeasure::WidthTwips(f, line);
        if (w > m_msgWidth) m_msgWidth = w;
    }
}

MsgBoxLayout FrmMsgBox::Layout(int64_t messageWidth, int64_t messageHeight, int buttons, bool hasChoice) {
    MsgBoxLayout l;
    l.rowWidth = static_cast<int64_t>(buttons - 1) * 1200 + 1080;
    l.width = messageWidth + 960 > l.rowWidth ? messageWidth + 1200 : l.rowWidth + 480;
    l.height = messageHeight > 255 ? messageHeight + 915 : 1170;
    if (hasChoice) l.height += 315;
    l.buttonTop = l.height - 555;
    l.firstLeft = (l.width - l.rowWidth) / 2 - 50;
    l.optionTop = l.height - 915;
    l.optionWidth = l.width - 240;
    return l;
}

bool FrmMsgBox::Display() {
    IsCheck = false;
    MessageSize();
    MsgBoxRequest& r = Request;
    const bool shown[6] = {r.ShowYes, r.ShowNo, r.ShowYesAll, r.ShowNoAll, r.ShowOk, r.ShowCancel};
    QPushButton* const row[6] = {ComYes, ComNo, ComYesAll, ComNoAll, ComOK, ComCancel};
    int n = 0;
    for (bool s : shown) n += s ? 1 : 0;
    const bool hasChoice = !r.Choice.isEmpty();
    const MsgBoxLayout l = Layout(m_msgWidth, m_msgHeight, n, hasChoice);

    // The sizes are the client area's; the window manager adds its frame.
    setFixedSize(Twips::ToPixels(static_cast<double>(l.width)), Twips::ToPixels(static_cast<double>(l.height)));
    PlaceTwips(LabMessage, 960, 120, m_msgWidth, m_msgHeight);
    for (QPushButton* b : row) b->move(b->x(), Twips::ToPixels(static_cast<double>(l.buttonTop)));
    int64_t left = l.firstLeft;
    for (int i = 0; i < 6; ++i) {
        if (!shown[i]) continue;
        row[i]->move(Twips::ToPixels(static_cast<double>(left)), row[i]->y());
        row[i]->show();
        left += 1200;
    }
    const int optionHeight = qMax(Twips::ToPixels(195), ChkOption->sizeHint().height());
    ChkOption->setGeometry(Twips::ToPixels(960), Twips::ToPixels(static_cast<double>(l.optionTop)),
                           Twips::ToPixels(static_cast<double>(l.optionWidth)), optionHeight);
    if (hasChoice) {
        ChkOption->setText(r.Choice);
        ChkOption->show();
    }
    setWindowTitle(r.Title);
    QString shownText = r.message;
    shownText.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    LabMessage->setText(shownText);
    switch (r.IconNb) {
        case MsgBoxIcon::Info: ImgInfo->show(); break;
        case MsgBoxIcon::Warning: ImgWarning->show(); break;
        case MsgBoxIcon::Error: ImgError->show(); break;
        case MsgBoxIcon::Question: ImgQuestion->show(); break;
        case MsgBoxIcon::Logo: ImgOrmid->show(); break;
        default: break;
    }
    MessagePump::DoEvents();
    if (r.OForm) setParent(r.OForm, windowFlags());
    modGlobalFunctions::CenterForm(this, r.CForm, r.Placement);
    if (n == 0) {
        setFixedSize(width(), Twips::ToPixels(static_cast<double>(l.height - 315)));
        m_countdown = 5;
        TmrHide->SetEnabled(true);
    }
    exec();

    r.ShowYes = r.ShowNo = r.ShowYesAll = r.ShowNoAll = r.ShowOk = r.ShowCancel = false;
    for (QPushButton* b : row) b->hide();
    setWindowTitle(QString());
    r.message.clear();
    for (QLabel* img : {ImgInfo, ImgWarning, ImgError, ImgQuestion, ImgOrmid}) img->hide();
    return false;
}

void FrmMsgBox::Answer(int bit) {
    Result |= bit;
    hide();
    MessagePump::DoEvents();
}

void FrmMsgBox::ComYes_Click() { Answer(MsgBoxButton::Yes); }
void FrmMsgBox::ComNo_Click() { Answer(MsgBoxButton::No); }
void FrmMsgBox::ComYesAll_Click() { Answer(MsgBoxButton::YesToAll); }
void FrmMsgBox::ComNoAll_Click() { Answer(MsgBoxButton::NoToAll); }
void FrmMsgBox::ComOK_Click() { Answer(MsgBoxButton::Ok); }
void FrmMsgBox::ComCancel_Click() { Answer(MsgBoxButton::Cancel); }

void FrmMsgBox::ChkOption_Click() {
    if (ChkOption->isChecked()) {
        IsCheck = true;
        Result |= MsgBoxButton::Option;
    } else {
        IsCheck = false;
        Result &= ~MsgBoxButton::Option;
    }
}

void FrmMsgBox::TmrHide_Timer() {
    TmrHide->SetEnabled(false);
    --m_countdown;
    if (m_countdown > 0) {
        TmrHide->SetEnabled(true);
        return;
    }
    Result = -1;
    hide();
}

// Closed by its caption bar or Escape: no button was pressed.
void FrmMsgBox::reject() {
    TmrHide->SetEnabled(false);
    Result = 0;
    QDialog::reject();
}

void FrmMsgBox::Form_Activate() {
    Screen* screen = Screen::Instance();
    m_savedPointer = screen->MousePointer();
    m_pointerSaved = true;
    screen->SetMousePointer(0);
    QPushButton* target = nullptr;
    switch (Request.Focus) {
        case MsgBoxButton::Yes: target = ComYes; break;
        case MsgBoxButton::No: target = ComNo; break;
        case MsgBoxButton::YesToAll: target = ComYesAll; break;
        case MsgBoxButton::NoToAll: target = ComNoAll; break;
        case MsgBoxButton::Ok: target = ComOK; break;
        case MsgBoxButton::Cancel: target = ComCancel; break;
        default: break;
    }
    if (target != nullptr && target->isVisible()) target->setFocus(Qt::ActiveWindowFocusReason);
}

void FrmMsgBox::Form_Deactivate() {
    if (!m_pointerSaved) return;
    m_pointerSaved = false;
    Screen::Instance()->SetMousePointer(m_savedPointer);
}

void FrmMsgBox::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow()) Form_Activate();
        else Form_Deactivate();
    }
    QDialog::changeEvent(event);
}

void FrmMsgBox::mousePressEvent(QMouseEvent* event) {
    modGlobalFunctions::MouseMoveForm(this, modGlobalFunctions::ButtonNumber(event->button()));
    QDialog::mousePressEvent(event);
}

bool FrmMsgBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == LabMessage && event->type() == QEvent::MouseButtonPress) {
        const auto* me = static_cast<QMouseEvent*>(event);
        modGlobalFunctions::MouseMoveForm(this, modGlobalFunctions::ButtonNumber(me->button()));
    }
    return QDialog::eventFilter(watched, event);
}
