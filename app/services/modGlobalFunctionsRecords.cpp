#include "modGlobalFunctionsRecords.h"

#include <stdexcept>

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QVariant>

#include "ErrorTrap.h"
#include "RichTextBox.h"
#include "modGlobalFunctions.h"

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
    bool result = false;
    Trap(
        [&] {
            if (StartIdx < 1) {
                ReportError(QStringLiteral("Invalid Start Index : ") + QString::number(StartIdx), QString(), kModule,
                            QStringLiteral("GetNextRecord"), false, true);
                return;
            }
            // An empty separator would be found at every position and never
            // move the start on.
            if (Separator.isEmpty()) {
                ReportError(QStringLiteral("Invalid Separator : the separator is empty"), QString(), kModule,
                            QStringLiteral("GetNextRecord"), false, true);
                return;
            }
            if (StartIdx > Buffer.size()) return;
            const qsizetype from = static_cast<qsizetype>(StartIdx - 1);
            const qsizetype found = Buffer.indexOf(Separator, from, Qt::CaseSensitive);
            if (found >= 0) {
                Record = Buffer.mid(from, found - from);
                StartIdx = static_cast<int64_t>(found) + 1 + Separator.size();
            } else {
                Record = Buffer.mid(from);
                StartIdx += Buffer.size();
            }
            result = true;
        },
        [&](const QString& d) {
            Record.clear();
            StartIdx = 1;
            result = false;
            ReportError(d, QString(), kModule, QStringLiteral("GetNextRecord"), false, true);
        });
    return result;
}

bool SaveTextBoxToFile(QObject* TextBox, const QString& FilePath) {
    if (FilePath.isEmpty() || TextBox == nullptr) return false;
    bool result = false;
    Trap(
        [&] {
            QFile file(FilePath);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                throw std::runtime_error(file.errorString().toStdString());
            const QByteArray bytes = TextOf(TextBox).toLatin1();
            if (file.write(bytes) != bytes.size()) throw std::runtime_error(file.errorString().toStdString());
            file.close();
            if (file.error() != QFileDevice::NoError) throw std::runtime_error(file.errorString().toStdString());
            result = true;
        },
        [&](const QString& d) {
            result = false;
            ReportError(d, QStringLiteral("Error saving text Box content to File"), kModule,
                        QStringLiteral("SaveTextBoxToFile"), false, true);
        });
    return result;
}

}  // namespace modGlobalFunctions
