#include "modGlobalFunctionsRecords.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QVariant>

#include "ReportError.h"
#include "RichTextBox.h"
#include "WholeFile.h"

namespace modGlobalFunctions {

namespace {
const QString kModule = QStringLiteral("modGlobalFunctions");

QString TextOf(const QObject* control) {
    if (auto* rich = qobject_cast<const RichTextBox*>(control)) return rich->Text();
    if (auto* plain = qobject_cast<const QPlainTextEdit*>(control)) return plain->toPlainText();
    if (auto* edit = qobject_cast<const QTextEdit*>(control)) return edit->toPlainText();
    if (auto* line = qobject_cast<const QLineEdit*>(control)) return line->text();
    return control->property("text").toString();
}
}  // namespace

bool GetNextRecord(const QString& Buffer, QString& Record, const QString& Separator, int64_t& StartIdx) {
    Record.clear();
    if (StartIdx < 1) {
        ReportError(QStringLiteral("Invalid Start Index : ") + QString::number(StartIdx), QString(), kModule,
                    QStringLiteral("GetNextRecord"), false, true);
        return false;
    }
    // An empty separator would be found at every position and never move
    // the start on.
    if (Separator.isEmpty()) {
        ReportError(QStringLiteral("Invalid Separator : the separator is empty"), QString(), kModule,
                    QStringLiteral("GetNextRecord"), false, true);
        return false;
    }
    if (StartIdx > Buffer.size()) return false;
    const qsizetype from = static_cast<qsizetype>(StartIdx - 1);
    const qsizetype found = Buffer.indexOf(Separator, from, Qt::CaseSensitive);
    if (found >= 0) {
        Record = Buffer.mid(from, found - from);
        StartIdx = static_cast<int64_t>(found) + 1 + Separator.size();
    } else {
        Record = Buffer.mid(from);
        StartIdx += Buffer.size();
    }
    return true;
}

bool GetNextLine(const QString& Buffer, QString& Record, int64_t& StartIdx) {
    if (!GetNextRecord(Buffer, Record, QStringLiteral("\n"), StartIdx)) return false;
    if (Record.endsWith(QLatin1Char('\r'))) Record.chop(1);
    return true;
}

bool SaveTextBoxToFile(QObject* TextBox, const QString& FilePath) {
    if (FilePath.isEmpty() || TextBox == nullptr) return false;
    // The file appears only when whole: a full disk leaves the former file.
    WholeFile file(FilePath);
    QString failure;
    if (!file.Open(&failure) || !file.Write(TextOf(TextBox).toLatin1(), &failure) || !file.Commit(&failure)) {
        ReportError(failure, QStringLiteral("Error saving text Box content to File"), kModule,
                    QStringLiteral("SaveTextBoxToFile"), false, true);
        return false;
    }
    return true;
}

}  // namespace modGlobalFunctions
