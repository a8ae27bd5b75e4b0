#include "ReportListView.h"

#include <algorithm>
#include <cmath>

#include <QHeaderView>

#include "ControlGeometry.h"
#include "Twips.h"

ReportListView::ReportListView(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setMinimumSectionSize(0);
    setColumnCount(0);
}

int ReportListView::AddColumn() {
    const int col = columnCount();
    setColumnCount(col + 1);
    headerItem()->setText(col, QString());
    m_widths.append(kDefaultColumnWidth);
    m_tags.append(QString());
    m_icons.append(0);
    header()->resizeSection(col, Twips::ToPixels(kDefaultColumnWidth));
    return col;
}

void ReportListView::ClearColumns() {
    setColumnCount(0);
    m_widths.clear();
    m_tags.clear();
    m_icons.clear();
}

QString ReportListView::ColumnText(int col) const {
    return col >= 0 && col < columnCount() ? headerItem()->text(col) : QString();
}

void ReportListView::SetColumnText(int col, const QString& text) {
    if (col >= 0 && col < columnCount()) headerItem()->setText(col, text);
}

double ReportListView::ColumnWidth(int col) const {
    if (col < 0 || col >= columnCount()) return 0;
    const int px = header()->sectionSize(col);
    // The twips set last, unless the user has dragged the column since.
    if (col < m_widths.size() && Twips::ToPixels(m_widths.at(col)) == px) return m_widths.at(col);
    return static_cast<double>(Twips::FromPixels(px));
}

void ReportListView::SetColumnWidth(int col, double twips) {
    if (col < 0 || col >= columnCount()) return;
    twips = std::max(0.0, twips);
    if (col < m_widths.size()) m_widths[col] = twips;
    header()->resizeSection(col, Twips::ToPixels(twips));
}

QString ReportListView::ColumnTag(int col) const {
    return col >= 0 && col < m_tags.size() ? m_tags.at(col) : QString();
}

void ReportListView::SetColumnTag(int col, const QString& tag) {
    if (col >= 0 && col < m_tags.size()) m_tags[col] = tag;
}

int ReportListView::ColumnIcon(int col) const { return col >= 0 && col < m_icons.size() ? m_icons.at(col) : 0; }

void ReportListView::SetColumnIcon(int col, int icon) {
    if (col < 0 || col >= m_icons.size()) return;
    m_icons[col] = icon;
    ApplyHeaderIcon(col);
}

void ReportListView::SetHeaderImageList(ImageList* images) {
    m_headerImages = images;
    for (int col = 0; col < m_icons.size(); ++col) ApplyHeaderIcon(col);
}

void ReportListView::ApplyHeaderIcon(int col) {
    const int icon = m_icons.at(col);
    const QPixmap image = m_headerImages && icon > 0 ? m_headerImages->Image(icon - 1) : QPixmap();
    headerItem()->setIcon(col, image.isNull() ? QIcon() : QIcon(image));
}

QTreeWidgetItem* ReportListView::NewItem() {
    auto* item = new QTreeWidgetItem();
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemNeverHasChildren);
    item->setCheckState(0, Qt::Unchecked);
    return item;
}

QTreeWidgetItem* ReportListView::AddItem() {
    QTreeWidgetItem* item = NewItem();
    addTopLevelItem(item);
    return item;
}

void ReportListView::AddItems(const QList<QTreeWidgetItem*>& items) { addTopLevelItems(items); }

void ReportListView::RemoveItem(int row) { delete takeTopLevelItem(row); }

void ReportListView::ClearItems() { clear(); }

bool ReportListView::Checked(int row) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item != nullptr && item->checkState(0) == Qt::Checked;
}

void ReportListView::SetChecked(int row, bool checked) {
    if (QTreeWidgetItem* item = topLevelItem(row)) item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

void ReportListView::ApplySort() {
    // Qt ties the header's clickability and its own sort arrow to sorting:
    // the header stays as clickable as it was, and the column icons show
    // the direction.
    const bool clickable = header()->sectionsClickable();
    setSortingEnabled(m_sorted);
    header()->setSortIndicatorShown(false);
    header()->setSectionsClickable(clickable);
    if (m_sorted) sortByColumn(m_sortKey, m_sortOrder == 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
}

double ReportListView::Width() const { return ControlGeometry::Width(this); }

void ReportListView::Refresh() { viewport()->update(); }
