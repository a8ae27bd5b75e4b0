#include "clsList.h"

#include <algorithm>
#include <cmath>

#include "MessagePump.h"
#include "OwnerEnabler.h"
#include "clsInterrupt.h"

clsList::clsList() : ListPane(9, QStringLiteral("clsList")) {}

clsList::~clsList() = default;

ReportListView* clsList::List() const { return m_list.data(); }

void clsList::SetList(ReportListView* Obj) {
    IniWidths.clear();
    m_list = Obj;
    if (!m_list) return;
    for (int col = 0; col < m_list->ColumnCount(); ++col) IniWidths.append(m_list->ColumnWidth(col));
}

bool clsList::IsInterrupt() { return Interrupt && Interrupt->Active; }

int32_t clsList::GetCnt(bool) { return m_list ? m_list->ItemCount() : 0; }

int32_t clsList::GetSel() {
    if (!m_list) return 0;
    int32_t result = 0;
    const int n = m_list->ItemCount();
    for (int row = 0; row < n; ++row)
        if (m_list->Checked(row)) ++result;
    return result;
}

bool clsList::GetEmpty() { return !(GetCnt() > 0); }

void clsList::SetEveryCheck(bool value) {
    if (!m_list) return;
    const int n = m_list->ItemCount();
    for (int row = 0; row < n; ++row) {
        m_list->SetChecked(row, value);
        if (IsInterrupt()) break;
    }
    MessagePump::DoEvents();
}

void clsList::DeselectAll() { SetEveryCheck(false); }

void clsList::SelectAll() { SetEveryCheck(true); }

void clsList::InvertAll() {
    if (!m_list) return;
    const int n = m_list->ItemCount();
    for (int row = 0; row < n; ++row) {
        m_list->SetChecked(row, !m_list->Checked(row));
        if (IsInterrupt()) break;
    }
    m_list->Refresh();
}

void clsList::RemoveSel() {
    if (!m_list) return;
    // Downwards, so the rows still to visit keep their numbers.
    for (int row = m_list->ItemCount() - 1; row >= 0; --row) {
        // A message handler may take the view away.
        if (!m_list) return;
        if (row < m_list->ItemCount() && m_list->Checked(row)) m_list->RemoveItem(row);
        if (IsInterrupt()) break;
        MessagePump::DoEvents();
    }
    if (m_list) m_list->Refresh();
}

void clsList::SetLabels() {
    if (m_list) ListPane::SetLabels();
}

void clsList::SetControls() {
    if (m_list) ListPane::SetControls();
}

void clsList::EnableDisable(int32_t TotCnt, int32_t TotSel) {
    if (m_list) ListPane::EnableDisable(TotCnt, TotSel);
}

void clsList::SetAll() {
    if (m_list) ListPane::SetAll();
}

double clsList::TagWeight(const QString& tag) {
    // The leading number of the text, as the forms' Val reads it.
    const QString t = tag.trimmed();
    qsizetype end = 0;
    if (end < t.size() && (t[end] == QLatin1Char('+') || t[end] == QLatin1Char('-'))) ++end;
    bool dot = false;
    while (end < t.size() && (t[end].isDigit() || (!dot && t[end] == QLatin1Char('.')))) {
        if (t[end] == QLatin1Char('.')) dot = true;
        ++end;
    }
    bool ok = false;
    const double v = t.left(end).toDouble(&ok);
    return ok ? v : 0;
}

void clsList::ResizeCols() {
    if (!m_list) return;
    const int cols = m_list->ColumnCount();
    QList<double> weights;
    double available = m_list->Width();
    int64_t total = 0;
    for (int col = 0; col < cols; ++col) {
        const double w = TagWeight(m_list->ColumnTag(col));
        weights.append(w);
        const double recorded = col < IniWidths.size() ? IniWidths.at(col) : m_list->ColumnWidth(col);
        if (w == 0) available -= recorded;
        else total = static_cast<int64_t>(std::nearbyint(double(total) + w));
    }
    // Without a weighted column there is nothing to share; fixed
    // columns wider than the view leave the others no room, never
    // less than none.
    const double unit = total == 0 ? 0 : std::max(0.0, std::nearbyint(available / double(total)));
    for (int col = 0; col < cols; ++col) {
        const double recorded = col < IniWidths.size() ? IniWidths.at(col) : m_list->ColumnWidth(col);
        const double w = weights.at(col);
        m_list->SetColumnWidth(col, w == 0 ? recorded : std::max(0.0, w * unit));
    }
    m_list->Refresh();
}

void clsList::EnableForm(bool Enable) {
    if (Frm) OwnerEnabler::SetEnabled(Frm, Enable);
}
