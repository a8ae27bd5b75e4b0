#include "ListPane.h"

#include <QComboBox>
#include <QPalette>

#include "ReportError.h"
#include "SystemColors.h"
#include "clsError.h"

ListPane::ListPane(int32_t lType, const QString& module) : LType(lType), m_module(module) {}

ListPane::~ListPane() = default;

void ListPane::ReportError(const QString& description, const QString& routine) const {
    modGlobalFunctions::ReportErrorOn(MyError.get(), description, QString(), m_module, routine, false, true);
}

// ---- neutral members ------------------------------------------------------------

void ListPane::Initialize(QWidget*) {}
QWidget* ListPane::hWnd() const { return nullptr; }
bool ListPane::WndProc(QWidget*, QEvent*) { return false; }
bool ListPane::WndProcParent(QWidget*, QEvent*) { return false; }
void ListPane::Resize() {}
void ListPane::Refresh() {}
void ListPane::RepaintItem(int32_t) {}
void ListPane::GetFocus() {}
void ListPane::SetVisible(int32_t) {}
void ListPane::SetActiveItem(int32_t) {}
int32_t ListPane::GetItem() { return -1; }

bool ListPane::GetMouseItem(int32_t& iItem, int32_t& iSubItem, int32_t& HitFlags) {
    iItem = -1;
    iSubItem = 0;
    HitFlags = 0;
    return false;
}

bool ListPane::HitTest(int32_t, int32_t, int32_t&, int32_t&, int32_t& fFlags) {
    fFlags = 0;
    return false;
}

bool ListPane::SetImageList(ImageList*) { return false; }
bool ListPane::SetBackColor(uint32_t) { return false; }
void ListPane::SetExtendedStyle(int32_t) {}
bool ListPane::InsertColumn(int32_t, const QString&, int16_t, int16_t) { return false; }
bool ListPane::DeleteColumn(int32_t) { return false; }
bool ListPane::SetColumnWidth(int32_t, int32_t) { return false; }
int16_t ListPane::GetColumnCount() { return 0; }
QString ListPane::GetColumnName(int32_t) { return QString(); }
int32_t ListPane::GetColumnFactor(int32_t) { return 0; }
int32_t ListPane::GetWidth() { return 0; }
void ListPane::SetHeaderImageList(ImageList*) {}
void ListPane::SetHeaderIcon(int32_t, int32_t) {}
void ListPane::SetHeadersIcon(int32_t) {}
void ListPane::ResizeCols() {}
void ListPane::SetCount(int32_t) {}
void ListPane::Clear() {}

bool ListPane::GetEmpty() { return GetCnt() == 0; }

void ListPane::RemoveSel() {}
int32_t ListPane::Idx(int32_t) { return 0; }
int32_t ListPane::RevIdx(int32_t) { return 0; }
bool ListPane::GetCheckState(int32_t) { return false; }
void ListPane::SetCheckState(int32_t, bool) {}
void ListPane::BuildReverseIndex() {}
bool ListPane::Sort(int16_t, bool) { return false; }
ReportListView* ListPane::List() const { return nullptr; }
void ListPane::SetList(ReportListView*) {}
void ListPane::EnableForm(bool) {}

// ---- labels and control groups -------------------------------------------------------

void ListPane::SetGroup(const ControlGroup& group, bool enabled) {
    for (const QPointer<QWidget>& control : group) {
        if (!control) continue;
        control->setEnabled(enabled);
        if (auto* combo = qobject_cast<QComboBox*>(control.data())) {
            const QColor back = SystemColors::FromOle(enabled ? SystemColors::kWindow : SystemColors::kButtonFace);
            QPalette p = combo->palette();
            p.setColor(QPalette::Base, back);
            p.setColor(QPalette::Button, back);
            combo->setPalette(p);
        }
    }
}

void ListPane::SwitchGroups(int32_t TotCnt, int32_t TotSel) {
    SetGroup(ColOnCnt, TotCnt != 0);
    SetGroup(ColOnSel, TotSel != 0);
    SetGroup(ColOffCnt, TotCnt == 0);
    SetGroup(ColOffSel, TotSel != TotCnt);
}

void ListPane::WriteLabels(int32_t TotCnt, int32_t TotSel) {
    if (LabCnt)
        LabCnt->setText(QString::number(TotCnt) + QLatin1Char(' ') +
                        (CapCnt.isEmpty() ? QStringLiteral("object(s)") : CapCnt));
    if (LabSel)
        LabSel->setText(QString::number(TotSel) + QLatin1Char(' ') +
                        (CapSel.isEmpty() ? QStringLiteral("selected") : CapSel));
}

void ListPane::EnableDisable(int32_t TotCnt, int32_t TotSel) { SwitchGroups(TotCnt, TotSel); }

void ListPane::SetLabels() {
    const int32_t cnt = LabCnt ? GetCnt() : 0;
    const int32_t sel = LabSel ? GetSel() : 0;
    WriteLabels(cnt, sel);
}

void ListPane::SetControls() { EnableDisable(GetCnt(), GetSel()); }

void ListPane::SetAll() {
    // One count of each serves the labels and the groups.
    const int32_t cnt = GetCnt();
    const int32_t sel = GetSel();
    WriteLabels(cnt, sel);
    EnableDisable(cnt, sel);
}
