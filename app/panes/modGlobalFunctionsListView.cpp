#include "modGlobalFunctionsListView.h"

#include <limits>

#include <QFile>
#include <QFileInfo>

#include "OrmidYRB100.h"
#include "ReportError.h"
#include "ReportListView.h"
#include "ScreenText.h"
#include "clsList.h"
#include "modGlobalFunctionsRecords.h"

namespace modGlobalFunctions {

namespace {

// Bytes the engine reads the file by.
constexpr uint32_t kReadChunk = 100000;

void Fail(const QString& description) {
    ReportError(description, QString(), QStringLiteral("modGlobalFunctions"), QStringLiteral("LoadListView"), false,
                true);
}

}  // namespace

void LoadListView(clsList* Pane, const QString& FilePath, bool DoSort, bool DoIcon, const QString& FieldSep) {
    if (Pane == nullptr || Pane->List() == nullptr || FilePath.isEmpty()) return;
    ReportListView* list = Pane->List();
    const QString fieldSep = FieldSep.isEmpty() ? QStringLiteral("\t") : FieldSep;
    const QFileInfo info(FilePath);
    if (!info.exists() || !info.isFile()) {
        Fail(QStringLiteral("File not found"));
        return;
    }
    const qint64 n = info.size();
    if (n == 0) return;
    if (n > std::numeric_limits<int32_t>::max() - 1) {
        Fail(QStringLiteral("File too large"));
        return;
    }
    QByteArray buffer(static_cast<qsizetype>(n) + 1, '\0');
    const int32_t got =
        YRB28(QFile::encodeName(FilePath).constData(), kReadChunk, buffer.data(), static_cast<uint32_t>(n));
    if (got != n) return;
    const QString text = QString::fromLatin1(buffer.constData(), static_cast<qsizetype>(n));

    int64_t start = 1;
    QString record;
    if (!GetNextLine(text, record, start)) {
        Fail(QStringLiteral("Could not read the first record of ") + FilePath);
        return;
    }
    QStringList captions;
    QString field;
    int64_t fieldStart = 1;
    while (GetNextRecord(record, field, fieldSep, fieldStart)) captions.append(field);

    // Rows go in unsorted and are sorted once at the end: the same
    // order as keeping them sorted while adding, without the cost.
    const bool sorted = list->Sorted() || DoSort;
    list->SetSorted(false);
    list->ClearItems();
    list->ClearColumns();
    for (const QString& caption : captions) {
        const int col = list->AddColumn();
        list->SetColumnText(col, ScreenText::HeldCell(caption));
        list->SetColumnWidth(col, ReportListView::kDefaultColumnWidth);
        list->SetColumnTag(col, QStringLiteral("1"));
        if (DoIcon) list->SetColumnIcon(col, 1);
    }
    // Given again, so the pane records the new columns' widths.
    Pane->SetList(list);
    Pane->ResizeCols();
    if (DoSort) {
        list->SetSortKey(0);
        list->SetSortOrder(0);
    }

    const int columns = list->ColumnCount();
    QList<QTreeWidgetItem*> rows;
    while (GetNextLine(text, record, start)) {
        QTreeWidgetItem* row = ReportListView::NewItem();
        rows.append(row);
        int k = 0;
        fieldStart = 1;
        while (GetNextRecord(record, field, fieldSep, fieldStart)) {
            if (k == 0 || k < columns) row->setText(k, ScreenText::HeldCell(field));
            ++k;
        }
    }
    list->AddItems(rows);
    if (sorted) list->SetSorted(true);
}

}  // namespace modGlobalFunctions
