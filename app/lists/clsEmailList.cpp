#include "clsEmailList.h"

#include "ReportError.h"
#include "modGlobalFunctionsFiles.h"

namespace {

const QString kModule = QStringLiteral("clsEmailList");
constexpr bool kShowDialog = false;
constexpr bool kLogToScreen = true;

constexpr QChar kCaret = QLatin1Char('^');
constexpr QChar kBackslash = QLatin1Char('\\');
constexpr QChar kTab = QLatin1Char('\t');
constexpr QChar kCr = QLatin1Char('\r');
constexpr QChar kLf = QLatin1Char('\n');
constexpr qsizetype kTokenLength = 2;

bool IsLead(QChar c, bool backslashLeads) { return c == kCaret || (backslashLeads && c == kBackslash); }

QLatin1String TokenOf(int code) {
    const std::string_view token = ControlCharNotation[code];
    return QLatin1String(token.data(), static_cast<qsizetype>(token.size()));
}

}  // namespace

void clsEmailList::ReportError(const QString& Description, const QString& Context, const QString& Routine) {
    modGlobalFunctions::ReportError(Description, Context, kModule, Routine, kShowDialog, kLogToScreen);
}

QString clsEmailList::NameOutCast() const {
    // Only the file name is split: a point in a folder name is no
    // extension.  The name's own characters stay literal.
    const qsizetype nameStart = NameOut.lastIndexOf(QLatin1Char('/')) + 1;
    const QString folder = NameOut.left(nameStart);
    const QString name = NameOut.mid(nameStart);
    if (name.isEmpty()) return QString();
    QString base, ext;
    if (modGlobalFunctions::GetFileExtension(name, base, ext))
        return folder + modGlobalFunctions::WildcardLiteral(base) + QLatin1Char('*') +
               modGlobalFunctions::WildcardLiteral(QLatin1Char('.') + ext);
    return folder + modGlobalFunctions::WildcardLiteral(name) + QLatin1Char('*');
}

QString clsEmailList::RecordSep() const {
    QString result;
    if (RecCr) result = kCr;
    if (RecLf) result = kLf;
    if (RecCrLF) result = QString(kCr) + kLf;
    if (RecOth) result = Substitute(RecSep);
    return result;
}

QString clsEmailList::FieldSep() const {
    QString result;
    if (FldTab) result = kTab;
    if (FldCol) result = QStringLiteral(";");
    if (FldCom) result = QStringLiteral(",");
    if (FldSpc) result = QStringLiteral(" ");
    if (FldOth) result = Substitute(FldSep);
    return result;
}

void clsEmailList::SetFieldSep(const QString& SepVal) {
    if (SepVal.isEmpty()) return;
    FldTab = FldCol = FldCom = FldSpc = FldOth = false;
    FldSep.clear();
    if (SepVal == kTab)
        FldTab = true;
    else if (SepVal == QLatin1String(";"))
        FldCol = true;
    else if (SepVal == QLatin1String(","))
        FldCom = true;
    else if (SepVal == QLatin1String(" "))
        FldSpc = true;
    else {
        // The characters themselves: Substitute passes them unchanged
        // unless they hold a caret or a backslash.
        FldOth = true;
        FldSep = SepVal;
    }
}

void clsEmailList::SetRecordSep(const QString& SepVal) {
    if (SepVal.isEmpty()) return;
    RecCr = RecLf = RecCrLF = RecOth = false;
    RecSep.clear();
    if (SepVal == kCr)
        RecCr = true;
    else if (SepVal == kLf)
        RecLf = true;
    else if (SepVal == QString(kCr) + kLf)
        RecCrLF = true;
    else {
        RecOth = true;
        RecSep = SepVal;
    }
}

QString clsEmailList::Substitute(const QString& Text) const { return Convert(Text, true); }

QString clsEmailList::SubstituteCaretTokens(const QString& Text) const { return Convert(Text, false); }

QString clsEmailList::Convert(const QString& Text, bool BackslashLeads) const {
    QString result;
    const qsizetype n = Text.size();
    result.reserve(n);
    qsizetype p = 0;
    while (p < n) {
        qsizetype q = p;
        while (q < n && !IsLead(Text[q], BackslashLeads)) ++q;
        result += QStringView(Text).mid(p, q - p);
        // No lead left, or one standing last, which gives nothing.
        if (q + 1 >= n) break;
        const QStringView token = QStringView(Text).mid(q, kTokenLength);
        const int16_t code = GetCode(token);
        if (code < 0) {
            ReportError(QStringLiteral("Invalid argument : '%1' at position %2 is no control-character token")
                            .arg(token)
                            .arg(q + 1),
                        QString(), QStringLiteral("Substitute"));
            return QString();
        }
        result += QChar(code);
        p = q + kTokenLength;
    }
    return result;
}

QString clsEmailList::Expand(const QString& Text) const {
    QString result;
    result.reserve(Text.size());
    for (QChar c : Text) {
        if (c.unicode() < ControlCodeCount)
            result += GetName(static_cast<int16_t>(c.unicode()));
        else
            result += c;
    }
    return result;
}

bool clsEmailList::HasResults() const {
    bool found = false;
    // Every file is asked, even after one answered.
    for (const QString& report : {NameSta, NameDup, NameInv})
        if (!report.isEmpty() && modGlobalFunctions::IsFilePresent(FilePattern(report))) found = true;
    const QString pattern = NameOutCast();
    if (!pattern.isEmpty() && modGlobalFunctions::IsFilePresent(FilePattern::Wild(pattern))) found = true;
    return found;
}

bool clsEmailList::CopyTo(clsEmailList* Lst) const {
    if (Lst == nullptr) return false;
    *Lst = *this;
    return true;
}

int16_t clsEmailList::GetCode(QStringView Token) {
    for (int c = 0; c < ControlCodeCount; ++c)
        if (Token == TokenOf(c)) return static_cast<int16_t>(c);
    return -1;
}

QString clsEmailList::GetName(int16_t Code) {
    if (Code >= 0 && Code < ControlCodeCount) return TokenOf(Code);
    return QString();
}
