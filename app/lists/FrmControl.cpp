#include "FrmControl.h"

#include <utility>

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

#include "DialogControls.h"
#include "FontFamilies.h"
#include "ListDialogSeam.h"
#include "Twips.h"
#include "modGlobalFunctionsFiles.h"
#include "modGlobalFunctionsForms.h"

namespace {

const std::array<const char*, ControlCodeCount> kNames = {
    "Null",
    "Start of heading",
    "Start of text",
    "End of text",
    "End of transmission",
    "Enquiry",
    "Positive acknowledgement",
    "Bell",
    "Backspace",
    "Horizontal tab",
    "Line Feed",
    "Vertical tab",
    "Form feed",
    "Carriage Return",
    "Shift out",
    "Shift in",
    "Data link escape",
    "Device control character 1",
    "Device control character 2",
    "Device control character 3",
    "Device control character 4",
    "Negative acknowledgement",
    "Synchronous idle",
    "End of transmission block",
    "Cancel",
    "End of medium",
    "Substitute",
    "Escape",
    "File separator",
    "Group separator",
    "Record separator",
    "Unit separator",
};

constexpr int kEnter = 13;
constexpr int kEscape = 27;

// Geometry in twips.
constexpr double kRowTop = 300;
constexpr double kRowHeight = 225;
constexpr double kFrameWidth = 3960;
constexpr double kMargin = 120;

QLabel* RowLabel(QWidget* parent, const QString& name, const QString& caption, double left, double width, int row) {
    auto* l = NewControl<QLabel>(parent, name, caption, {left, kRowTop + row * kRowHeight, width, kRowHeight});
    l->setTextFormat(Qt::PlainText);
    return l;
}

}  // namespace

FrmControl::FrmControl(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmControl"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("Special characters"));
    setFont(FontFamilies::SansSerif(8.25));

    const double frameHeight = kRowTop + ControlCodeCount * kRowHeight + kMargin;
    FraControl = NewControl<QGroupBox>(this, QStringLiteral("FraControl"), QStringLiteral(" Non printable characters "),
                                       {kMargin, 60, kFrameWidth, frameHeight});
    setFixedSize(Twips::ToPixels(kFrameWidth + 2 * kMargin), Twips::ToPixels(frameHeight + 180));

    for (int code = 0; code < ControlCodeCount; ++code) {
        const QString nn = QStringLiteral("%1").arg(code, 2, 10, QLatin1Char('0'));
        const std::string_view token = ControlCharNotation[code];
        Lab[code] = RowLabel(FraControl, QStringLiteral("Lab") + nn, QString::number(code), 120, 360, code);
        Lab[code]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        LabChar[code] =
            RowLabel(FraControl, QStringLiteral("LabChar") + nn,
                     QString::fromLatin1(token.data(), static_cast<qsizetype>(token.size())), 660, 360, code);
        LabCharDesc[code] = RowLabel(FraControl, QStringLiteral("LabCharDesc") + nn, QString::fromLatin1(kNames[code]),
                                     1140, kFrameWidth - 1260, code);
        for (QLabel* clickable : {LabChar[code], LabCharDesc[code]}) {
            clickable->setCursor(Qt::PointingHandCursor);
            clickable->installEventFilter(this);
        }
    }
}

FrmControl::~FrmControl() = default;

bool FrmControl::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        for (int code = 0; code < ControlCodeCount; ++code) {
            if (watched == LabChar[code]) {
                LabChar_Click(code);
                return true;
            }
            if (watched == LabCharDesc[code]) {
                LabCharDesc_Click(code);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmControl::ShowFor(QWidget* owner) {
    if (modGlobalFunctions::IsFormLoaded(QStringLiteral("FrmControl")) != nullptr) return;
    QPointer<FrmControl> picker = new FrmControl(owner);
    picker->OwnerForm = owner;
    // Before it is shown: the owner loses its focused box then.
    picker->Target(owner);
    modGlobalFunctions::CenterForm(picker, owner,
                                   {FormPlacement::Vertical::Centre, FormPlacement::Horizontal::RightOfOwner});
    ListDialogSeam::ShowModal(picker);
    delete picker.data();
}

void FrmControl::UnloadLoaded() {
    if (QWidget* picker = modGlobalFunctions::IsFormLoaded(QStringLiteral("FrmControl"))) picker->close();
}

void FrmControl::LabChar_Click(int Index) {
    if (Index >= 0 && Index < ControlCodeCount) Insert(LabChar[Index]->text());
}

void FrmControl::LabCharDesc_Click(int Index) {
    if (Index >= 0 && Index < ControlCodeCount) Insert(LabChar[Index]->text());
}

void FrmControl::Target(QWidget* owner) {
    // A focus on anything but a text box takes no token.
    m_box = owner != nullptr ? qobject_cast<QLineEdit*>(owner->focusWidget()) : nullptr;
    if (!m_box) return;
    m_boxText = m_box->text();
    m_caret = m_box->cursorPosition();
    m_anchor = m_caret;
    if (m_box->hasSelectedText())
        m_anchor = m_caret == m_box->selectionStart() ? m_box->selectionEnd() : m_box->selectionStart();
    m_selectionOwed = true;
}

void FrmControl::SelectAsOpened() {
    if (m_box && m_box->text() == m_boxText) m_box->setSelection(m_anchor, m_caret - m_anchor);
}

void FrmControl::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The owner is drawn disabled by now: its box shows again what the
    // first token will replace.
    if (m_selectionOwed) SelectAsOpened();
}

void FrmControl::Insert(const QString& Token) {
    if (!OwnerForm || !m_box) return;
    // The first token replaces what the user had selected; the next ones
    // follow it, wherever the caret now stands.
    if (std::exchange(m_selectionOwed, false)) SelectAsOpened();
    m_box->insert(Token);
}

void FrmControl::keyPressEvent(QKeyEvent* event) {
    int key = 0;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        key = kEnter;
    else if (event->key() == Qt::Key_Escape)
        key = kEscape;
    else if (!event->text().isEmpty())
        key = event->text().at(0).unicode();
    Form_KeyPress(key);
}

void FrmControl::Form_KeyPress(int KeyAscii) {
    if (KeyAscii == kEnter || KeyAscii == kEscape) close();
}

void FrmControl::reject() { close(); }

void FrmControl::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void FrmControl::Form_Unload() { OwnerForm = nullptr; }
