#include "FrmFind.h"

#include <algorithm>
#include <stdexcept>

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeWidgetItem>

#include "DialogControls.h"
#include "ErrorTrap.h"
#include "FindHistory.h"
#include "FontFamilies.h"
#include "MessagePump.h"
#include "OrmidYRB100.h"
#include "OwnerEnabler.h"
#include "ReportError.h"
#include "ReportListView.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "Twips.h"
#include "clsChronometer.h"
#include "clsList.h"
#include "clsMonitor.h"
#include "clsVL2.h"
#include "modGlobalFunctions.h"
#include "modGlobalFunctionsFiles.h"
#include "modGlobalFunctionsForms.h"

namespace {

constexpr int kEnter = 13;
constexpr int32_t kAllColumns = -1;
constexpr int32_t kProgressDelayMs = 1000;
constexpr int32_t kNotFound = -1;
constexpr int32_t kStopped = -2;

// Geometry in twips.
constexpr double kFormWidth = 5415;
constexpr double kFormHeight = 2040;
constexpr double kButtonLeft = 3960;
constexpr double kButtonWidth = 1215;
constexpr double kButtonHeight = 375;

const QString kModule = QStringLiteral("FrmFind");

struct CommandTexts {
    const char* progress;  // followed by the text and "'"
    const char* routine;
};

}  // namespace

FrmFind::FrmFind(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmFind"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(FontFamilies::SansSerif(8.25));
    setFixedSize(Twips::ToPixels(kFormWidth), Twips::ToPixels(kFormHeight));
    // A command of the owner may be inside an engine call: none starts here meanwhile.
    OwnerEnabler::FollowOwner(this);

    FraBack = NewControl<QGroupBox>(this, QStringLiteral("FraBack"), QString(), {60, 0, kFormWidth - 120, kFormHeight - 60});
    TxtFind = NewControl<QComboBox>(FraBack, QStringLiteral("TxtFind"), QString(), {120, 240, 3660, 315});
    TxtFind->setEditable(true);
    TxtFind->setInsertPolicy(QComboBox::NoInsert);
    TxtFind->setMaxVisibleItems(12);
    LabFCount = NewControl<QLabel>(FraBack, QStringLiteral("LabFCount"), QStringLiteral("Search in "), {120, 720, 900, 255});
    CboSearchIn = NewControl<QComboBox>(FraBack, QStringLiteral("CboSearchIn"), QString(), {1020, 660, 2760, 315});
    ChkWholeWord = NewControl<QCheckBox>(FraBack, QStringLiteral("ChkWholeWord"), QStringLiteral("Whole word"),
                                         {120, 1200, 1680, 255});
    ChkMatchCase = NewControl<QCheckBox>(FraBack, QStringLiteral("ChkMatchCase"), QStringLiteral("Match Case"),
                                         {2040, 1200, 1680, 255});
    ComFind = NewControl<QPushButton>(FraBack, QStringLiteral("ComFind"), QStringLiteral("Find"),
                                      {kButtonLeft, 180, kButtonWidth, kButtonHeight});
    ComCount = NewControl<QPushButton>(FraBack, QStringLiteral("ComCount"), QStringLiteral("Count All"),
                                       {kButtonLeft, 600, kButtonWidth, kButtonHeight});
    ComSelectMatch = NewControl<QPushButton>(FraBack, QStringLiteral("ComSelectMatch"), QStringLiteral("Select Match"),
                                             {kButtonLeft, 1020, kButtonWidth, kButtonHeight});
    ComDone = NewControl<QPushButton>(FraBack, QStringLiteral("ComDone"), QStringLiteral("Done"),
                                      {kButtonLeft, 1440, kButtonWidth, kButtonHeight});
    // Enter belongs to the text box (it runs Find), never to a default button.
    for (QPushButton* b : {ComFind, ComCount, ComSelectMatch, ComDone}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    TxtFind->installEventFilter(this);
    FraBack->installEventFilter(this);
    connect(TxtFind, &QComboBox::editTextChanged, this, &FrmFind::TxtFind_Change);
    connect(CboSearchIn, &QComboBox::activated, this, &FrmFind::CboSearchIn_Click);
    // A box ticked from code restarts the search as a click does.
    connect(ChkMatchCase, &QCheckBox::toggled, this, &FrmFind::ChkMatchCase_Click);
    connect(ChkWholeWord, &QCheckBox::toggled, this, &FrmFind::ChkWholeWord_Click);
    connect(ComFind, &QPushButton::clicked, this, &FrmFind::ComFind_Click);
    connect(ComCount, &QPushButton::clicked, this, &FrmFind::ComCount_Click);
    connect(ComSelectMatch, &QPushButton::clicked, this, &FrmFind::ComSelectMatch_Click);
    connect(ComDone, &QPushButton::clicked, this, &FrmFind::ComDone_Click);
}

FrmFind::~FrmFind() = default;

void FrmFind::Report(const QString& description, const QString& routine) const {
    modGlobalFunctions::ReportError(description, QString(), kModule, routine, false, true);
}

void FrmFind::Form_Load() {
    Trap(
        [&] {
            modGlobalFunctions::CenterForm(this, parentWidget());
            ListPos = 1;
            EnginePos = 0;
            LoadCombo(true);
            TxtFind_Change();
        },
        [&](const QString& d) { Report(d, QStringLiteral("Form_Load")); });
}

void FrmFind::Initialize(const QString& SearchString) {
    Trap(
        [&] {
            CboSearchIn->clear();
            CboSearchIn->addItem(QStringLiteral("<all columns>"), kAllColumns);
            CboSearchIn->setCurrentIndex(-1);
            ListPane* pane = ThisList.get();
            if (dynamic_cast<clsVL2*>(pane) != nullptr) {
                // Only the columns that share the width (User, Domain) hold text to search.
                const int16_t columns = pane->GetColumnCount();
                for (int32_t i = 0; i < columns; ++i)
                    if (pane->GetColumnFactor(i + 1) != 0) CboSearchIn->addItem(pane->GetColumnName(i), i);
            } else {
                ReportListView* list = pane != nullptr ? pane->List() : nullptr;
                if (list == nullptr) throw std::runtime_error("Object required");
                for (int col = 0; col < list->ColumnCount(); ++col)
                    if (clsList::TagWeight(list->ColumnTag(col)) != 0 && list->ColumnWidth(col) != 0)
                        CboSearchIn->addItem(list->ColumnText(col), col);
            }
            CboSearchIn->setCurrentIndex(0);
            CboSearchIn_Click();
            if (!SearchString.isEmpty()) TxtFind->setEditText(SearchString);
        },
        [&](const QString& d) { Report(d, QStringLiteral("Initialize")); });
}

void FrmFind::Restart() {
    ListPos = 1;
    EnginePos = 0;
}

void FrmFind::TxtFind_Change() {
    const bool any = !TxtFind->currentText().isEmpty();
    for (QWidget* w : std::initializer_list<QWidget*>{ComCount, ComSelectMatch, ComFind, CboSearchIn, ChkWholeWord,
                                                      ChkMatchCase})
        w->setEnabled(any);
}

void FrmFind::TxtFind_GotFocus() { m_textAtFocus = TxtFind->currentText(); }

void FrmFind::TxtFind_LostFocus() {
    if (TxtFind->currentText() == m_textAtFocus) return;
    Restart();
    m_textAtFocus.clear();
}

void FrmFind::TxtFind_KeyPress(int KeyAscii) {
    if (KeyAscii == kEnter) ComFind_Click();
}

void FrmFind::CboSearchIn_Click() { Restart(); }
void FrmFind::ChkMatchCase_Click() { Restart(); }
void FrmFind::ChkWholeWord_Click() { Restart(); }

void FrmFind::ComFind_Click() { RunCommand(Command::Find); }
void FrmFind::ComCount_Click() { RunCommand(Command::Count); }
void FrmFind::ComSelectMatch_Click() { RunCommand(Command::Select); }

void FrmFind::ComDone_Click() {
    hide();
    close();
}

void FrmFind::FraBack_MouseMove(int Button) { modGlobalFunctions::MouseMoveForm(this, Button); }

void FrmFind::Form_Unload() {
    if (m_unloaded) return;
    m_unloaded = true;
    Trap(
        [&] {
            // A window on its way out is no longer the program's find window.
            setObjectName(QString());
            QWidget* owner = ThisList ? ThisList->Frm.data() : parentWidget();
            ThisList.reset();
            if (owner != nullptr) owner->activateWindow();
        },
        [&](const QString& d) { Report(d, QStringLiteral("Form_Unload")); });
}

void FrmFind::closeEvent(QCloseEvent* event) {
    Form_Unload();
    hide();
    event->accept();
}

// Esc closes the window as "Done" does; a hidden window stays no find window.
void FrmFind::reject() { ComDone_Click(); }

bool FrmFind::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TxtFind) {
        // Its own drop-down list, another window taking the focus, or the
        // window disabled while a command runs, is no leaving.
        auto userMove = [&] {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            return !m_busy && reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason;
        };
        switch (event->type()) {
            case QEvent::FocusIn:
                if (userMove()) TxtFind_GotFocus();
                break;
            case QEvent::FocusOut:
                if (userMove()) TxtFind_LostFocus();
                break;
            case QEvent::KeyPress: {
                const int key = static_cast<QKeyEvent*>(event)->key();
                // A filter sees keys even while the box is disabled.
                if ((key == Qt::Key_Return || key == Qt::Key_Enter) && TxtFind->isEnabled()) {
                    TxtFind_KeyPress(kEnter);
                    return true;
                }
                break;
            }
            default:
                break;
        }
    } else if (watched == FraBack && event->type() == QEvent::MouseMove) {
        const auto* me = static_cast<QMouseEvent*>(event);
        if (me->buttons() & Qt::LeftButton) FraBack_MouseMove(modGlobalFunctions::kLeftButton);
    }
    return QDialog::eventFilter(watched, event);
}

int32_t FrmFind::SearchColumn() {
    if (CboSearchIn->currentIndex() < 0 && CboSearchIn->count() > 0) {
        CboSearchIn->setCurrentIndex(0);
        CboSearchIn_Click();
    }
    const QVariant data = CboSearchIn->currentData();
    return data.isValid() ? data.toInt() : kAllColumns;
}

void FrmFind::RunCommand(Command command) {
    static const CommandTexts texts[] = {
        {"Now searching list for '", "ComFind_Click"},
        {"Now counting entries containing '", "ComCount_Click"},
        {"Now selecting entries containing '", "ComSelectMatch_Click"},
    };
    const CommandTexts& t = texts[static_cast<int>(command)];
    // Disabling the window takes the focus from its box; it gets it back.
    const QPointer<QWidget> focused = focusWidget();
    m_busy = true;
    const auto chrono = ChronoObj();
    const auto monitor = MonitorObj();
    Trap(
        [&] {
            const QString text = TxtFind->currentText();
            if (text.isEmpty()) {
                MsgBoxRequest request{.message = QStringLiteral("A String to find must be provided"),
                                      .Title = QStringLiteral("Invalid String to Find"),
                                      .IconNb = MsgBoxIcon::Warning,
                                      .Focus = 0,
                                      .ShowOk = true,
                                      .CForm = this};
                if (command == Command::Find) request.OForm = this;
                modGlobalFunctions::DisplayMessage(request);
                return;
            }
            chrono->Startup(QStringLiteral("hh:mm:ss"), false);
            if (ThisList && ThisList->Frm && ThisList->Frm != this && OwnerEnabler::IsEnabled(ThisList->Frm)) {
                m_paneForm = ThisList->Frm;
                OwnerEnabler::SetEnabled(m_paneForm, false);
            }
            monitor->Delay(kProgressDelayMs, QStringLiteral("Looking for String in List"),
                           QLatin1String(t.progress) + text + QLatin1Char('\''), this, false);
            Screen::Instance()->SetMousePointer(Screen::kHourglassPointer);
            AddToFindStrings(text);

            if (command == Command::Find) {
                FindNext(text);
                if (ThisList) {
                    if (dynamic_cast<clsList*>(ThisList.get()) == nullptr) ThisList->Refresh();
                    ThisList->SetAll();
                }
                MessagePump::DoEvents();
                return;
            }
            const int32_t n = CountOrSelect(text, command == Command::Select);
            if (ThisList) {
                if (dynamic_cast<clsList*>(ThisList.get()) == nullptr) ThisList->Refresh();
                ThisList->SetAll();
            }
            EndWork();
            // After a failure the engine's reason is in the console already;
            // after a stop the user knows.
            if (n < 0) return;
            MsgBoxRequest result{.Focus = 0, .ShowOk = true, .CForm = this};
            if (n > 0) {
                result.message = QStringLiteral("The specified string has been found in %1 List items").arg(n);
                result.Title = QStringLiteral("String Search Result");
                result.IconNb = MsgBoxIcon::Logo;
            } else {
                result.message = QStringLiteral("The specified string could not be found !");
                result.Title = QStringLiteral("Search Result");
                result.IconNb = MsgBoxIcon::Info;
            }
            modGlobalFunctions::DisplayMessage(result);
        },
        [&](const QString& d) { Report(d, QLatin1String(t.routine)); });
    EndWork();
    setEnabled(true);
    if (focused && focused->isEnabled()) focused->setFocus();
    m_busy = false;
}

void FrmFind::EndWork() {
    ChronoObj()->Shutdown();
    MonitorObj()->Shutdown();
    Screen::Instance()->SetMousePointer(Screen::kDefaultPointer);
    if (m_paneForm) OwnerEnabler::SetEnabled(m_paneForm, true);
    m_paneForm.clear();
}

void FrmFind::FindNext(const QString& text) {
    const int32_t column = SearchColumn();
    ListPane* pane = ThisList.get();
    bool fromTop = false;
    auto notFound = [&] {
        EndWork();
        modGlobalFunctions::DisplayMessage({.message = fromTop ? QStringLiteral("The specified string could not be found !")
                                                               : QStringLiteral("All matching entries have been found !"),
                                            .Title = QStringLiteral("Search Result"),
                                            .IconNb = MsgBoxIcon::Info,
                                            .Focus = 0,
                                            .ShowOk = true,
                                            .CForm = this});
    };
    if (auto* engine = dynamic_cast<clsVL2*>(pane)) {
        // Flagged entries are searched too, so the start is bounded by all of them.
        if (EnginePos < 0 || EnginePos > engine->GetCnt(true)) EnginePos = 0;
        fromTop = EnginePos == 0;
        const QByteArray bytes = text.toLatin1();
        const int32_t r = YRB21(engine->VListNb, column == kAllColumns ? YRB_PART_ADDRESS : column, bytes.constData(),
                                ChkWholeWord->isChecked() ? 1 : 0, ChkMatchCase->isChecked() ? 1 : 0, EnginePos,
                                YRB_FIND_ANYWHERE, 1, 0, 0, 0);
        // Stopped by the user: no message, and the next Find goes on from here.
        if (r == kStopped) return;
        if (r < 0) {
            notFound();
            EnginePos = 0;
            return;
        }
        engine->SetActiveItem(r);
        EnginePos = r + 1;
    } else if (dynamic_cast<clsList*>(pane) != nullptr) {
        if (ListPos == 0) ListPos = 1;
        fromTop = ListPos == 1;
        if (!LookForItem(ListPos, true, false, true) && ListPos == 0) notFound();
        if (ListPos == 0) ListPos = 1;
    }
}

int32_t FrmFind::CountOrSelect(const QString& text, bool select) {
    const int32_t column = SearchColumn();
    ListPane* pane = ThisList.get();
    if (auto* engine = dynamic_cast<clsVL2*>(pane)) {
        const QByteArray bytes = text.toLatin1();
        return YRB21(engine->VListNb, column == kAllColumns ? YRB_PART_ADDRESS : column, bytes.constData(),
                     ChkWholeWord->isChecked() ? 1 : 0, ChkMatchCase->isChecked() ? 1 : 0, 0, YRB_FIND_ANYWHERE, 0,
                     select ? YRB_FLAG_SELECTED : 0, 0, 0);
    }
    if (dynamic_cast<clsList*>(pane) == nullptr) return 0;
    ListPos = 1;
    int32_t n = 0;
    if (select) pane->DeselectAll();
    while (ListPos != 0) {
        if (LookForItem(ListPos, false, select, false))
            ++n;
        else if (ListPos != 0)
            break;  // the row could not be read: the loop would never end
        MessagePump::DoEvents();
    }
    return n;
}

bool FrmFind::LookForItem(int32_t& Pos, bool DoSelect, bool DoCheck, bool DoShow) {
    bool found = false;
    Trap(
        [&] {
            ReportListView* list = ThisList ? ThisList->List() : nullptr;
            if (list == nullptr) throw std::runtime_error("Object required");
            const int32_t column = SearchColumn();
            const QString what = TxtFind->currentText();
            const Qt::CaseSensitivity cs = ChkMatchCase->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
            const bool whole = ChkWholeWord->isChecked();
            const int first = column == kAllColumns ? 0 : column;
            const int last = column == kAllColumns ? list->ColumnCount() - 1 : column;
            const int count = list->ItemCount();
            for (int row = std::max(Pos, 1); row <= count && !found; ++row) {
                QTreeWidgetItem* item = list->Item(row - 1);
                if (item == nullptr) throw std::runtime_error("Object variable not set");
                for (int c = first; c <= last; ++c) {
                    const QString cell = item->text(c);
                    // Only the first occurrence in a cell is tested.
                    const qsizetype at = cell.indexOf(what, 0, cs);
                    if (at < 0) continue;
                    const int64_t h = at + 1;
                    if (whole && !modGlobalFunctions::IsWholeWord(cell, h, h + what.size() - 1, cell.size())) continue;
                    found = true;
                    if (DoSelect) list->setCurrentItem(item);
                    if (DoShow) {
                        list->setFocus();
                        if (QTreeWidgetItem* current = list->currentItem()) list->scrollToItem(current);
                    }
                    if (DoCheck) {
                        list->SetChecked(row - 1, true);
                        item->setSelected(true);
                    }
                    Pos = row < count ? row + 1 : 0;
                    break;
                }
            }
            if (!found) Pos = 0;
        },
        [&](const QString& d) { Report(d, QStringLiteral("LookForItem")); });
    return found;
}

void FrmFind::AddToFindStrings(const QString& text) {
    QStringList& history = FindHistory();
    if (!history.contains(text, Qt::CaseSensitive)) history.append(text);
    LoadCombo(false);
}

void FrmFind::LoadCombo(bool SelectNewest) {
    const QString text = TxtFind->currentText();
    const QStringList& history = FindHistory();
    TxtFind->clear();
    for (qsizetype i = history.size() - 1; i >= 0; --i) TxtFind->addItem(history.at(i));
    if (SelectNewest && TxtFind->count() > 0)
        TxtFind->setCurrentIndex(0);
    else
        TxtFind->setEditText(text);
}
