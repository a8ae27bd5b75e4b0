#include "clsRule.h"

#include <QByteArrayMatcher>
#include <QElapsedTimer>
#include <array>

#include "ErrorTrap.h"
#include "MessagePump.h"
#include "OperatorForCode.h"
#include "ReportError.h"
#include "clsMail.h"
#include "clsMatch.h"

namespace {

const QString kModule = QStringLiteral("clsRule");

// Pending messages run this often while a part is searched; once per
// rejected occurrence would cost more than the search on long mails.
constexpr qint64 kPumpEveryMs = 8;

void PumpNowAndThen() {
    static QElapsedTimer clock;
    if (clock.isValid() && clock.elapsed() < kPumpEveryMs) return;
    MessagePump::DoEvents();
    clock.restart();
}

// Latin-1 lowered by a table; the rest by its simple one-character mapping.
const std::array<char16_t, 256>& LowerTable() {
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        for (int c = 0; c < 256; ++c) {
            const char16_t lower = QChar::toLower(char16_t(c));
            t[size_t(c)] = lower < 256 ? lower : char16_t(c);
        }
        return t;
    }();
    return table;
}

bool IsLatin1Text(const QString& text) {
    for (QChar c : text)
        if (c.unicode() > 0xFF) return false;
    return true;
}

bool IsAsciiAlphaNumeric(char16_t u) {
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
}

char16_t Unit(char c) { return char16_t(uint8_t(c)); }
char16_t Unit(QChar c) { return c.unicode(); }

// An occurrence from first to last (1-based) in a text of n characters is a
// whole word when no ASCII letter or digit touches either end.
template <class Char>
bool IsWholeWord(const Char* text, int64_t first, int64_t last, int64_t n) {
    const bool before = first <= 1 || !IsAsciiAlphaNumeric(Unit(text[first - 2]));
    const bool after = last >= n || !IsAsciiAlphaNumeric(Unit(text[last]));
    return before && after;
}

// A part's text as Latin-1 bytes, as it is and lowered, each made when a
// keyword first needs it: mails hold Latin-1 only, and a byte search is
// several times faster than one over UTF-16.
class Haystack {
public:
    explicit Haystack(const QString& text) : m_text(text), m_latin1(IsLatin1Text(text)) {}
    bool IsLatin1() const { return m_latin1; }
    const QString& Text(bool lowered) {
        if (!lowered) return m_text;
        if (!m_hasLowered) {
            m_lowered = clsRule::LowerCase(m_text);
            m_hasLowered = true;
        }
        return m_lowered;
    }
    const QByteArray& Bytes(bool lowered) {
        if (!m_hasBytes) {
            m_bytes = m_text.toLatin1();
            m_hasBytes = true;
        }
        if (!lowered) return m_bytes;
        if (!m_hasLoweredBytes) {
            const std::array<char16_t, 256>& table = LowerTable();
            m_loweredBytes = m_bytes;
            for (char& c : m_loweredBytes) c = char(table[uint8_t(c)]);
            m_hasLoweredBytes = true;
        }
        return m_loweredBytes;
    }

private:
    const QString& m_text;
    bool m_latin1;
    QString m_lowered;
    QByteArray m_bytes;
    QByteArray m_loweredBytes;
    bool m_hasLowered = false;
    bool m_hasBytes = false;
    bool m_hasLoweredBytes = false;
};

// One keyword's text as it is searched: as bytes, when both it and the part
// are Latin-1, or as characters.
class Needle {
public:
    Needle(const QString& value, bool asBytes) : m_value(value), m_asBytes(asBytes) {
        // Skips by the needle's length on ordinary text, where memmem
        // stalls on the many near misses of words that begin alike.
        if (m_asBytes) m_matcher.setPattern(value.toLatin1());
    }
    // The 1-based position of the first occurrence at or after 1-based
    // position from, 0 for none.
    int64_t Find(Haystack& hay, bool lowered, int64_t from) const {
        qsizetype at = -1;
        if (m_asBytes) {
            const QByteArray& text = hay.Bytes(lowered);
            at = m_matcher.indexIn(text.constData(), text.size(), qsizetype(from - 1));
        } else {
            at = hay.Text(lowered).indexOf(m_value, qsizetype(from - 1), Qt::CaseSensitive);
        }
        return at < 0 ? 0 : at + 1;
    }

private:
    const QString& m_value;
    bool m_asBytes;
    QByteArrayMatcher m_matcher;
};

}  // namespace

struct clsRule::Part {
    const QString& text;
    const KeywordCollection* keywords;
    int16_t loc;
    bool stopOnMatch;
};

clsRule::clsRule() : Keywords(std::make_shared<KeywordCollection>()) {}

clsRule::~clsRule() = default;

void clsRule::ReportError(const QString& description, const QString& routine) const {
    modGlobalFunctions::ReportError(description, QString(), kModule, routine, false, true);
}

QString clsRule::LowerCase(const QString& text) {
    const std::array<char16_t, 256>& table = LowerTable();
    QString lowered(text.size(), Qt::Uninitialized);
    const QChar* from = text.constData();
    QChar* to = lowered.data();
    for (qsizetype i = 0, n = text.size(); i < n; ++i) {
        const char16_t c = from[i].unicode();
        to[i] = QChar(c < 256 ? table[c] : QChar::toLower(c));
    }
    return lowered;
}

bool clsRule::Initialize() {
    bool ok = false;
    Trap(
        [&] {
            HeaderKeywords = std::make_unique<KeywordCollection>();
            ContentKeywords = std::make_unique<KeywordCollection>();
            SubjectKeywords = std::make_unique<KeywordCollection>();
            auto first = OperatorForCode(OP1);
            auto second = OperatorForCode(OP2);
            if (!Keywords || !first || !second) return;
            for (const std::shared_ptr<clsKeyword>& k : *Keywords) {
                if (!k || !k->DoUse) continue;
                if (k->DoHea) HeaderKeywords->push_back(k);
                if (k->DoCon) ContentKeywords->push_back(k);
                if (k->DoSub) SubjectKeywords->push_back(k);
            }
            TreeIsFirst = IsFirst;
            if (IsFirst) {
                RootOperator = std::move(second);
                RootOperator->OprLeft = std::move(first);
            } else {
                RootOperator = std::move(first);
                RootOperator->OprRight = std::move(second);
            }
            ok = true;
        },
        [&](const QString& d) {
            ReportError(d, QStringLiteral("Initialize"));
            ok = false;
        });
    return ok;
}

bool clsRule::DoHea() const { return HeaderKeywords && !HeaderKeywords->empty(); }
bool clsRule::DoCon() const { return ContentKeywords && !ContentKeywords->empty(); }
bool clsRule::DoSub() const { return SubjectKeywords && !SubjectKeywords->empty(); }

int16_t clsRule::ScanPart(const Part& part, clsMail& mail) {
    if (part.keywords->empty()) return clsOperator::kNoPart;
    const int64_t n = part.text.size();
    Haystack hay(part.text);
    std::shared_ptr<clsMatch> match;
    bool hit = false;
    for (const std::shared_ptr<clsKeyword>& k : *part.keywords) {
        // An empty text would be "found" everywhere: it matches nothing.
        if (k->Value.isEmpty()) continue;
        const bool lowered = !k->DoCas;
        const QString value = lowered ? LowerCase(k->Value) : k->Value;
        const int64_t L = value.size();
        const Needle needle(value, hay.IsLatin1() && IsLatin1Text(value));
        bool accepted = false;
        int64_t p = 0;
        // p + 1 may reach n: a one-character text, or a last character
        // after a rejected occurrence, is still searched.
        while (p + 1 <= n) {
            p = needle.Find(hay, lowered, p + 1);
            if (p == 0) break;
            if (!k->DoWrd) {
                accepted = true;
                break;
            }
            accepted = hay.IsLatin1() ? IsWholeWord(hay.Bytes(lowered).constData(), p, p + L - 1, n)
                                      : IsWholeWord(hay.Text(lowered).constData(), p, p + L - 1, n);
            if (accepted) break;
            PumpNowAndThen();
        }
        if (!accepted) continue;
        hit = true;
        if (!match) match = std::make_shared<clsMatch>();
        if (match->Idx == 0 || p < match->Idx) {
            match->Idx = static_cast<int32_t>(p);
            match->Siz = static_cast<int32_t>(L);
            match->Loc = part.loc;
        }
        if (part.stopOnMatch) break;
    }
    if (match) mail.Matches->push_back(match);
    return hit ? clsOperator::kHit : clsOperator::kMiss;
}

bool clsRule::Evaluate(clsMail* mail) {
    if (mail == nullptr) return false;
    bool selected = false;
    Trap(
        [&] {
            mail->Matches = std::make_shared<std::vector<std::shared_ptr<clsMatch>>>();
            if (!DoHea() && !DoCon() && !DoSub()) return;
            const Part header{mail->mHeaders, HeaderKeywords.get(), clsMatch::kHeader, DoStopOnHeaMatch};
            const Part body{mail->mMsgBody, ContentKeywords.get(), clsMatch::kBody, DoStopOnConMatch};
            const Part subject{mail->mSubject, SubjectKeywords.get(), clsMatch::kSubject, DoStopOnSubMatch};
            const int16_t h = ScanPart(header, *mail);
            const int16_t b = ScanPart(body, *mail);
            const int16_t s = ScanPart(subject, *mail);
            if (TreeIsFirst) {
                RootOperator->OprLeft->OpdLeft = h;
                RootOperator->OprLeft->OpdRight = b;
                RootOperator->OpdRight = s;
            } else {
                RootOperator->OpdLeft = h;
                RootOperator->OprRight->OpdLeft = b;
                RootOperator->OprRight->OpdRight = s;
            }
            selected = RootOperator->Evaluate() == clsOperator::kHit;
        },
        [&](const QString& d) {
            ReportError(d, QStringLiteral("Evaluate"));
            selected = false;
        });
    return selected;
}
