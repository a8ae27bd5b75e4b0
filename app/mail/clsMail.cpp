#include "clsMail.h"

#include <cstring>

#include <QByteArrayView>
#include <QDate>
#include <QStringList>
#include <QTime>

#include "MailNumbers.h"
#include "ReportError.h"
#include "modGlobalFunctionsRecords.h"

namespace {

const QString kModule = QStringLiteral("clsMail");
constexpr bool kShowDialog = false;
constexpr bool kLogToScreen = true;

const QString kCrLf = QStringLiteral("\r\n");
constexpr char kHeaderEnd[] = "\r\n\r\n";
constexpr qsizetype kHeaderEndLength = 4;
constexpr char kEndMarker[] = "\r\n.\r\n";
constexpr qsizetype kEndMarkerLength = 5;
const QString kAttachment = QStringLiteral("Content-Disposition: attachment");

constexpr QChar kBlank = QLatin1Char(' ');
constexpr QChar kTab = QLatin1Char('\t');

// The years a two-digit year stands for: below the pivot the 2000s, from it
// the 1900s.
constexpr int kTwoDigitYearPivot = 30;
// The calendar the date values cover.
constexpr int kFirstYear = 100;
constexpr int kLastYear = 9999;

void Report(const QString& Description, const QString& Routine) {
    modGlobalFunctions::ReportError(Description, QString(), kModule, Routine, kShowDialog, kLogToScreen);
}

bool IsWsp(QChar c) { return c == kBlank || c == kTab; }

// Blanks and tabs off both ends; mail folds and pads with either.
QString TrimWsp(const QString& text) {
    qsizetype from = 0, to = text.size();
    while (from < to && IsWsp(text[from])) ++from;
    while (to > from && IsWsp(text[to - 1])) --to;
    return text.mid(from, to - from);
}

QString TrimBlanks(const QString& text) {
    qsizetype from = 0, to = text.size();
    while (from < to && text[from] == kBlank) ++from;
    while (to > from && text[to - 1] == kBlank) --to;
    return text.mid(from, to - from);
}

// Letters and digits of Latin-1, as the desktop's single-byte code page
// classifies them.
bool IsAlphaNumeric(QChar c) { return c.unicode() < 256 && c.isLetterOrNumber(); }

QString CleanString(const QString& text) {
    QString t = TrimBlanks(text);
    if (!t.isEmpty() && !IsAlphaNumeric(t.front())) t.remove(0, 1);
    if (!t.isEmpty() && !IsAlphaNumeric(t.back())) t.chop(1);
    return t;
}

bool GetAddress(const QString& value, QString& Sender, QString& Address) {
    const qsizetype lt = value.indexOf(QLatin1Char('<'));
    if (lt >= 0) {
        Sender = CleanString(value.left(lt));
        const qsizetype gt = value.indexOf(QLatin1Char('>'), lt + 1);
        Address = gt < 0 ? value.mid(lt + 1) : value.mid(lt + 1, gt - lt - 1);
    } else {
        const qsizetype blank = value.indexOf(kBlank);
        Address = CleanString(blank < 0 ? value : value.left(blank));
        Sender.clear();
    }
    return true;
}

// Header lines continue on lines that start with a blank or a tab: the line
// break goes, the blank or tab stays.
QString StripCrLfBlank(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\r') && i + 2 < text.size() && text[i + 1] == QLatin1Char('\n') &&
            IsWsp(text[i + 2])) {
            ++i;
            continue;
        }
        out.append(text[i]);
    }
    return out;
}

QString RemoveContiguousChar(const QString& text, QChar c) {
    const QString t = TrimBlanks(text);
    QString out;
    out.reserve(t.size());
    for (QChar ch : t)
        if (!(ch == c && !out.isEmpty() && out.back() == c)) out.append(ch);
    return out;
}

int16_t GetMonthNumber(const QString& text) {
    static const QStringList months = {QStringLiteral("jan"), QStringLiteral("feb"), QStringLiteral("mar"),
                                       QStringLiteral("apr"), QStringLiteral("may"), QStringLiteral("jun"),
                                       QStringLiteral("jul"), QStringLiteral("aug"), QStringLiteral("sep"),
                                       QStringLiteral("oct"), QStringLiteral("nov"), QStringLiteral("dec")};
    return static_cast<int16_t>(months.indexOf(TrimBlanks(text).toLower()) + 1);
}

QDateTime GetDateVariant(const QString& value) {
    const QString routine = QStringLiteral("GetDateVariant");
    const auto fail = [&](const QString& why) {
        Report(QStringLiteral("Cannot read the date '%1' : %2").arg(value, why), routine);
        return QDateTime();
    };
    QString t = RemoveContiguousChar(value, kBlank);
    const qsizetype comma = t.indexOf(QLatin1Char(','));
    if (comma >= 0) t = TrimBlanks(t.mid(comma + 1));
    const QStringList fields = t.split(kBlank);
    if (fields.size() < 4) return fail(QStringLiteral("too few fields"));
    const QStringList time = fields[3].split(QLatin1Char(':'));
    if (time.size() < 2) return fail(QStringLiteral("no time of day"));

    int parts[5] = {};  // day, year, hour, minute, second
    const QString texts[5] = {fields[0], fields[2], time[0], time[1], time.size() >= 3 ? time[2] : QString()};
    for (int i = 0; i < 5; ++i) {
        const std::optional<int16_t> n = MailNumbers::ToInt16(MailNumbers::LeadingNumber(texts[i]));
        if (!n) return fail(QStringLiteral("Overflow"));
        parts[i] = *n;
    }
    const int month = GetMonthNumber(fields[1]);
    int year = parts[1];
    if (year >= 0 && year < 100) year += year < kTwoDigitYearPivot ? 2000 : 1900;
    // Parts out of their range carry into the next unit.
    const QDate date = QDate(year, 1, 1).addMonths(month - 1).addDays(parts[0] - 1);
    const QDateTime result =
        QDateTime(date, QTime(0, 0), Qt::UTC).addSecs(int64_t(parts[2]) * 3600 + int64_t(parts[3]) * 60 + parts[4]);
    if (!result.isValid() || result.date().year() < kFirstYear || result.date().year() > kLastYear)
        return fail(QStringLiteral("outside the supported dates"));
    return result;
}

// Moves bytes[from, from + length) to the front of bytes and drops the dot
// that the server put in front of every line starting with one; one pass,
// in place, so a big message needs no second copy.
void KeepUnstuffed(QByteArray& bytes, qsizetype from, qsizetype length) {
    char* d = bytes.data();
    const qsizetype end = from + length;
    qsizetype w = 0;
    qsizetype r = from;
    if (r < end && d[r] == '.') ++r;
    const auto move = [&](qsizetype upTo) {
        std::memmove(d + w, d + r, size_t(upTo - r));
        w += upTo - r;
    };
    for (;;) {
        const qsizetype at = QByteArrayView(d, end).indexOf(QByteArrayView("\r\n."), r);
        if (at < 0) break;
        move(at + 2);
        r = at + 3;
    }
    move(end);
    bytes.truncate(w);
}

}  // namespace

void clsMail::ParseMail() {
    LenMsg = LenBdy = LenHea = 0;
    LenMsg = static_cast<int32_t>(mRawMessage.size());
    // A parse that stops early keeps the reply's bytes but not the room
    // reserved for it.
    struct ReleaseUnused {
        QByteArray& bytes;
        ~ReleaseUnused() { bytes.squeeze(); }
    } release{mRawMessage};
    const qsizetype statusEnd = mRawMessage.indexOf("\r\n");
    if (statusEnd < 0) return;
    // The reply ends at its first end marker: the server stuffs a dot into
    // every line of the message that starts with one.
    const qsizetype marker = mRawMessage.indexOf(kEndMarker, statusEnd);
    const qsizetype replyEnd = marker < 0 ? mRawMessage.size() : marker + kEndMarkerLength;
    const qsizetype textStart = statusEnd + 2;
    const qsizetype textLength = replyEnd - textStart - kEndMarkerLength;
    if (textLength < 0) {
        LenMsg = static_cast<int32_t>(textLength);
        return;
    }
    KeepUnstuffed(mRawMessage, textStart, textLength);
    LenMsg = static_cast<int32_t>(mRawMessage.size());

    const qsizetype headerEnd = mRawMessage.indexOf(kHeaderEnd);
    mHeaders = QString::fromLatin1(headerEnd < 0 ? mRawMessage : mRawMessage.first(headerEnd));
    if (mHeaders.isEmpty()) {
        Report(QStringLiteral("Invalid message format"), QStringLiteral("ParseMail"));
        return;
    }
    LenHea = static_cast<int32_t>(mHeaders.size());
    mMsgBody = headerEnd < 0 ? QString()
                             : QString::fromLatin1(QByteArrayView(mRawMessage).sliced(headerEnd + kHeaderEndLength));
    LenBdy = static_cast<int32_t>(mMsgBody.size());
    mRawMessage.clear();

    const QString unfolded = StripCrLfBlank(mHeaders);
    QString line;
    int64_t at = 1;
    while (modGlobalFunctions::GetNextRecord(unfolded, line, kCrLf, at)) {
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        const QString name = (colon < 0 ? line : line.left(colon)).toLower();
        const QString value = colon < 0 ? QString() : TrimWsp(line.mid(colon + 1));
        if (name == QLatin1String("from")) {
            if (mFrom.isEmpty()) GetAddress(value, mSender, mFrom);
        } else if (name == QLatin1String("message-id")) {
            if (mMsgID.isEmpty()) mMsgID = value;
        } else if (name == QLatin1String("subject")) {
            if (mSubject.isEmpty()) mSubject = value;
        } else if (name == QLatin1String("date")) {
            if (mSendDate.isEmpty()) {
                mSendDate = value;
                mDate = GetDateVariant(value);
            }
        } else if (name == QLatin1String("x-priority")) {
            if (mXPriority.isEmpty()) {
                mXPriority = value;
                IsPrior = value.startsWith(QLatin1Char('1'));
            }
        }
    }
    HasAnnex = mMsgBody.contains(kAttachment, Qt::CaseSensitive);
}
