#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QTreeWidget>

#include "ImageList.h"

// The platform's report-style list view with check boxes, whose rows are
// real items: column headers with a caption, a width in twips, a tag and a
// header image; rows with a check box, a text (column 0) and sub-items.
// Rows and columns count from 0; header images count from 1 (0 none).
class ReportListView : public QTreeWidget {
    Q_OBJECT
public:
    static constexpr double kDefaultColumnWidth = 1440;

    explicit ReportListView(QWidget* parent = nullptr);

    // Column headers.
    int ColumnCount() const { return columnCount(); }
    // A new column at the end, captioned "", kDefaultColumnWidth wide.
    int AddColumn();
    void ClearColumns();
    QString ColumnText(int col) const;
    void SetColumnText(int col, const QString& text);
    double ColumnWidth(int col) const;
    void SetColumnWidth(int col, double twips);
    QString ColumnTag(int col) const;
    void SetColumnTag(int col, const QString& tag);
    int ColumnIcon(int col) const;
    void SetColumnIcon(int col, int icon);
    void SetHeaderImageList(ImageList* images);

    // Rows.
    int ItemCount() const { return topLevelItemCount(); }
    // A new row, unchecked, at the end (or at its sorted place).
    QTreeWidgetItem* AddItem();
    // A row not yet in the view, and many rows added at once.
    static QTreeWidgetItem* NewItem();
    void AddItems(const QList<QTreeWidgetItem*>& items);
    QTreeWidgetItem* Item(int row) const { return topLevelItem(row); }
    void RemoveItem(int row);
    void ClearItems();
    bool Checked(int row) const;
    void SetChecked(int row, bool checked);

    // Sorting by the text of one column, kept while rows are added.
    void SetSortKey(int col) { m_sortKey = col; ApplySort(); }
    void SetSortOrder(int order) { m_sortOrder = order; ApplySort(); }
    void SetSorted(bool sorted) { m_sorted = sorted; ApplySort(); }
    bool Sorted() const { return m_sorted; }
    int SortOrder() const { return m_sortOrder; }  // 0 ascending, 1 descending

    // Outer width in twips.
    double Width() const;
    void Refresh();

private:
    void ApplySort();
    void ApplyHeaderIcon(int col);

    QList<double> m_widths;
    QList<QString> m_tags;
    QList<int> m_icons;
    QPointer<ImageList> m_headerImages;
    int m_sortKey = 0;
    int m_sortOrder = 0;
    bool m_sorted = false;
};
