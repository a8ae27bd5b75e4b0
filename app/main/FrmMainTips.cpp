// Entry tips: an entry's flags in words over the cells of the two panes,
// and the sort hint over their column headers.
#include <QByteArray>

#include "ErrorTrap.h"
#include "FrmMain.h"
#include "OrmidYRB100.h"
#include "OwnerDataListView.h"
#include "clsVL2.h"

namespace {
// The address is shown by its first characters only.
constexpr int32_t kTipAddressMax = 128;
constexpr int32_t kReasonMax = 1024;

constexpr int32_t kSelectionColumn = 0;
constexpr int32_t kUserColumn = 1;
constexpr int32_t kDomainColumn = 2;
constexpr int32_t kInvalidColumn = 3;
constexpr int32_t kDuplicateColumn = 4;
constexpr int32_t kDeletedColumn = 5;
constexpr int32_t kCompareColumn = 6;

// An engine text: up to its first NUL, blanks trimmed.
QString EngineText(const QByteArray& buffer) {
    return QString::fromLatin1(buffer.constData(), static_cast<qsizetype>(qstrnlen(buffer.constData(), buffer.size())))
        .trimmed();
}

const char* const kHeaderTips[] = {
    "Click here to sort Email addresses by User",           "Click here to sort Email addresses by Domain",
    "Click here to sort Email addresses by Invalid flag",   "Click here to sort Email addresses by Duplicate flag",
    "Click here to sort Email addresses by Deleted flag",   "Click here to sort Email addresses by Comparison flag",
};
}  // namespace

QString FrmMain::GetLeftListItemTip(int32_t row, int32_t column) {
    return ListItemTip(Side(1), row, column, "GetLeftListItemTip");
}

QString FrmMain::GetRightListItemTip(int32_t row, int32_t column) {
    return ListItemTip(Side(2), row, column, "GetRightListItemTip");
}

QString FrmMain::ListItemTip(const WorkspaceSide& side, int32_t row, int32_t column, const char* routine) {
    QString tip;
    Trap(
        [&] {
            const int32_t flags = YRB17(side.slot, row, -1);
            // No entry, or no list: nothing to say.
            if (flags < 0) return;
            QByteArray address(kTipAddressMax + 1, ' ');
            YRB18(side.slot, row, YRB_PART_ADDRESS, address.data(), kTipAddressMax);
            const QString shown = QLatin1Char('[') + EngineText(address) + QLatin1Char(']');
            auto invalidText = [&] {
                QByteArray reason(kReasonMax + 1, ' ');
                YRB29(side.slot, row, reason.data(), kReasonMax);
                const QString why = EngineText(reason);
                // Flagged by hand on an entry the engine finds valid.
                if (why.isEmpty()) return shown + QStringLiteral(" has been flagged as 'invalid' ");
                return shown + QLatin1Char(' ') + why + QLatin1Char(' ');
            };
            const QString duplicate = shown + QStringLiteral(" is flagged as 'duplicate' ");
            const QString deleted = shown + QStringLiteral(" is flagged as 'deleted' ");
            const QString other = side.slot == 1 ? QStringLiteral("right") : QStringLiteral("left");
            switch (column) {
                case kUserColumn:
                case kDomainColumn:
                    if (flags & YRB_FLAG_INVALID)
                        tip = invalidText();
                    else if (flags & YRB_FLAG_DUPLICATE)
                        tip = duplicate;
                    else if (flags & YRB_FLAG_DELETED)
                        tip = deleted;
                    break;
                case kInvalidColumn:
                    if (flags & YRB_FLAG_INVALID) tip = invalidText();
                    break;
                case kDuplicateColumn:
                    if (flags & YRB_FLAG_DUPLICATE) tip = duplicate;
                    break;
                case kDeletedColumn:
                    if (flags & YRB_FLAG_DELETED) tip = deleted;
                    break;
                case kCompareColumn:
                    // "Only here" wins when both marks are set.
                    if (flags & YRB_FLAG_IN_BOTH) tip = shown + QStringLiteral(" also exists in ") + other + QStringLiteral(" list ");
                    if (flags & YRB_FLAG_NOT_IN_OTHER)
                        tip = shown + QStringLiteral(" does not exist in ") + other + QStringLiteral(" list ");
                    break;
                case kSelectionColumn:
                default:
                    break;
            }
        },
        [&](const QString& d) {
            Report(d, QString(), QLatin1String(routine));
            tip.clear();
        });
    return tip;
}

QString FrmMain::GetHeaderItemTip(int32_t, int32_t index) {
    if (index < 0 || index >= static_cast<int32_t>(std::size(kHeaderTips))) return QString();
    return QLatin1String(kHeaderTips[index]);
}

void FrmMain::SetHeaderTips() {
    for (const auto& pane : {VL_left, VL_right}) {
        if (!pane || !pane->ListWindow()) continue;
        for (int32_t column = kUserColumn; column <= kCompareColumn; ++column)
            pane->ListWindow()->SetHeaderToolTip(column, GetHeaderItemTip(0, column - 1));
    }
}
