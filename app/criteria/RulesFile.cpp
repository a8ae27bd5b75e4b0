#include "RulesFile.h"

#include <QFile>
#include <climits>

#include "ConfigFile.h"
#include "ErrorTrap.h"
#include "MessagePump.h"
#include "OrmidYRB100.h"
#include "ProgramFolder.h"
#include "ReportError.h"
#include "ServiceObjects.h"
#include "clsFile.h"
#include "clsRule.h"
#include "modGlobalFunctionsRecords.h"

namespace RulesFile {

namespace {

constexpr bool kShowDialog = false;
constexpr bool kLogToScreen = true;
constexpr uint32_t kReadChunk = 100000;

const QString kFileName = QStringLiteral("MA_Rules.cfg");
const QString kLineEnd = QStringLiteral("\r\n");
const QString kPieceSeparator = QStringLiteral(";");
const QString kFieldSeparator = QStringLiteral("|");
const QString kAnd = QStringLiteral("AND");
const QString kOr = QStringLiteral("OR");
const QString kTrue = QStringLiteral("1");
// The file and its backup have the usual bits, or the file's own.
constexpr filereplace::Bits kFileBits = filereplace::Bits::kKept;
constexpr ConfigFile::Words kWords{"Cannot write the criteria file ", "Cannot replace the criteria file "};

void ReportLoad(const QString& Description) {
    modGlobalFunctions::ReportError(Description, QString(), QStringLiteral("FrmMain"), QStringLiteral("LoadRules"),
                                    kShowDialog, kLogToScreen);
}

void ReportSave(const QString& Description) {
    modGlobalFunctions::ReportError(Description, QString(), QStringLiteral("FrmKeyword"), QStringLiteral("SaveRules"),
                                    kShowDialog, kLogToScreen);
}

// Blanks off both ends; tabs and other spacing stay.
QString TrimBlanks(const QString& text) {
    qsizetype from = 0, to = text.size();
    while (from < to && text[from] == QLatin1Char(' ')) ++from;
    while (to > from && text[to - 1] == QLatin1Char(' ')) --to;
    return text.mid(from, to - from);
}

// The fields of a piece cut at "|"; the missing ones are "".
template <size_t N>
void Fields(const QString& piece, QString (&fields)[N]) {
    int64_t at = 1;
    for (QString& field : fields) modGlobalFunctions::GetNextRecord(piece, field, kFieldSeparator, at);
}

// Only the exact words count; anything else leaves AND.
int16_t OperatorCode(const QString& word) { return word == kOr ? clsOperator::kOr : clsOperator::kAnd; }

bool IsTrue(const QString& field) { return TrimBlanks(field) == kTrue; }

std::shared_ptr<clsRule> ParseLine(const QString& line) {
    auto set = std::make_shared<clsRule>();
    QString piece;
    int64_t at = 1;
    modGlobalFunctions::GetNextRecord(line, piece, kPieceSeparator, at);
    QString head[4];
    Fields(piece, head);
    set->name = TrimBlanks(head[0]);
    set->OP1 = OperatorCode(head[1]);
    set->OP2 = OperatorCode(head[2]);
    set->IsFirst = IsTrue(head[3]);
    while (modGlobalFunctions::GetNextRecord(line, piece, kPieceSeparator, at)) {
        QString f[7];
        Fields(piece, f);
        auto k = std::make_shared<clsKeyword>();
        k->Value = f[0];
        k->DoUse = IsTrue(f[1]);
        k->DoHea = IsTrue(f[2]);
        k->DoCon = IsTrue(f[3]);
        k->DoSub = IsTrue(f[4]);
        k->DoWrd = IsTrue(f[5]);
        k->DoCas = IsTrue(f[6]);
        set->Keywords->push_back(std::move(k));
    }
    return set;
}

QString Flag(bool on) { return on ? kTrue : QStringLiteral("0"); }

QString OperatorWord(int16_t code) { return code == clsOperator::kOr ? kOr : kAnd; }

}  // namespace

QString Path() { return ProgramFolder::Path() + QLatin1Char('/') + kFileName; }

RuleCollection Parse(const QString& text) {
    RuleCollection sets;
    QString line;
    int64_t at = 1;
    while (modGlobalFunctions::GetNextRecord(text, line, kLineEnd, at)) {
        std::shared_ptr<clsRule> set = ParseLine(line);
        if (!set->name.isEmpty()) {
            set->Initialize();
            sets.push_back(std::move(set));
        }
        MessagePump::DoEvents();
    }
    return sets;
}

void LoadRules(const QString& path) {
    Trap(
        [&] {
            // Built aside: Rules is replaced only by a file read whole.
            auto fresh = std::make_shared<RuleCollection>();
            if (!Rules) Rules = std::make_shared<RuleCollection>();
            clsFile file;
            file.MyError = ErrorObj();
            if (!file.IsPathSyntaxOk(path) || !file.IsPresent()) {
                Rules = fresh;
                return;
            }
            if (file.Size == 0) {
                Rules = fresh;
                ReportLoad(QStringLiteral("Could not load file '") + path +
                           QStringLiteral("' in memory : the file is empty"));
                return;
            }
            if (file.Size >= INT32_MAX) {
                ReportLoad(QStringLiteral("The criteria file %1 is too large").arg(path));
                return;
            }
            const auto size = static_cast<uint32_t>(file.Size);
            QByteArray buffer(qsizetype(size) + 1, '\0');
            const int32_t count = YRB28(QFile::encodeName(path).constData(), kReadChunk, buffer.data(), size);
            // The engine has reported its own failure.
            if (count != static_cast<int32_t>(size)) return;
            *fresh = Parse(QString::fromLatin1(buffer.constData(), count));
            Rules = fresh;
        },
        [&](const QString& d) { ReportLoad(d); });
}

QByteArray Format(const RuleCollection& sets) {
    QString text;
    for (const std::shared_ptr<clsRule>& set : sets) {
        if (!set) continue;
        text += set->name + kFieldSeparator + OperatorWord(set->OP1) + kFieldSeparator + OperatorWord(set->OP2) +
                kFieldSeparator + Flag(set->IsFirst) + kPieceSeparator;
        if (set->Keywords) {
            QStringList pieces;
            for (const std::shared_ptr<clsKeyword>& k : *set->Keywords) {
                if (!k) continue;
                pieces.append(QStringList{TrimBlanks(k->Value), Flag(k->DoUse), Flag(k->DoHea), Flag(k->DoCon),
                                          Flag(k->DoSub), Flag(k->DoWrd), Flag(k->DoCas)}
                                  .join(kFieldSeparator));
            }
            text += pieces.join(kPieceSeparator);
        }
        text += kLineEnd;
    }
    return text.toLatin1();
}

bool SaveRules(const QString& path) {
    if (!Rules) {
        ReportSave(QStringLiteral("Rules collection has not been set"));
        return false;
    }
    bool saved = false;
    Trap(
        [&] {
            clsFile file;
            file.MyError = ErrorObj();
            if (!file.IsPathSyntaxOk(path)) return;
            const QByteArray bytes = Format(*Rules);
            QString failure;
            // A backup that cannot be made is told; the sets are saved still.
            if (file.IsPresent() && !ConfigFile::BackUpOnce(path, kFileBits, &failure)) ReportSave(failure);
            if (!ConfigFile::Write(path, bytes, kFileBits, kWords, &failure)) {
                ReportSave(failure);
                return;
            }
            saved = true;
        },
        [&](const QString& d) { ReportSave(d); });
    return saved;
}

}  // namespace RulesFile
