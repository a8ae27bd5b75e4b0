#include "ScreenText.h"

#include <algorithm>

namespace ScreenText {

namespace {

constexpr char16_t kDelete = 0x7F;
constexpr QByteArrayView kByteOrderMark = "\xEF\xBB\xBF";

// What starts at a position of the bytes.
enum class Sequence { Complete, Unfinished, Invalid };

bool IsContinuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// The UTF-8 sequence at bytes[at]: its length in n.  Overlong forms,
// surrogates and code points above U+10FFFF are invalid, as QString would
// not give them back as the same bytes.
Sequence SequenceAt(QByteArrayView bytes, qsizetype at, qsizetype& n) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    // The range of the second byte narrows where the lead allows bad forms.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80) {
        n = 1;
        return Sequence::Complete;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return Sequence::Invalid;
    }
    for (qsizetype i = 1; i < n; ++i) {
        if (at + i >= bytes.size()) return Sequence::Unfinished;
        const auto b = static_cast<unsigned char>(bytes[at + i]);
        if (i == 1 ? (b < low || b > high) : !IsContinuation(bytes[at + i])) return Sequence::Invalid;
    }
    return Sequence::Complete;
}

// How far the bytes are complete UTF-8, and whether what follows is only a
// character the end cut short.
struct Scan {
    qsizetype validEnd = 0;
    bool unfinishedTail = false;
};

Scan ScanOf(QByteArrayView bytes) {
    Scan s;
    qsizetype n = 0;
    while (s.validEnd < bytes.size()) {
        const Sequence q = SequenceAt(bytes, s.validEnd, n);
        if (q != Sequence::Complete) {
            s.unfinishedTail = q == Sequence::Unfinished;
            break;
        }
        s.validEnd += n;
    }
    return s;
}

// UTF-16 code units of the character a sequence of n bytes encodes.
qsizetype UnitsOf(qsizetype n) { return n == 4 ? 2 : 1; }

QString Decoded(QByteArrayView bytes, End end) {
    const Scan s = ScanOf(bytes);
    if (s.validEnd == bytes.size()) return QString::fromUtf8(bytes);
    if (end == End::Cut && s.unfinishedTail) return QString::fromUtf8(bytes.first(s.validEnd));
    return QString::fromLatin1(bytes);
}

QString DecodedUpTo(QByteArrayView bytes, qsizetype limit) {
    if (limit < 0 || bytes.size() <= limit) return Decoded(bytes, End::Whole);
    // The whole cell decides, not the part that fits.
    if (ScanOf(bytes).validEnd != bytes.size()) return QString::fromLatin1(bytes.first(limit));
    qsizetype fits = limit;
    while (fits > 0 && IsContinuation(bytes[fits])) --fits;
    return QString::fromUtf8(bytes.first(fits));
}

// DEL draws as an empty box: a cell shows it in the caret form the
// reports give it.
QString WithDelete(QString text) { return text.replace(QChar(kDelete), QStringLiteral("^?")); }

}  // namespace

QString Cell(QByteArrayView bytes, End end) { return WithDelete(Decoded(bytes, end)); }

QString Cell(QByteArrayView bytes, qsizetype limit) { return WithDelete(DecodedUpTo(bytes, limit)); }

QString HeldCell(const QString& bytes, qsizetype limit) { return Cell(QByteArrayView(bytes.toLatin1()), limit); }

Lines::Lines(QByteArrayView bytes) : m_bytes(bytes.toByteArray()) {
    qsizetype start = 0;
    while (start < m_bytes.size()) {
        const qsizetype lf = m_bytes.indexOf('\n', start);
        const qsizetype end = lf < 0 ? m_bytes.size() : lf + 1;
        const QByteArrayView line = QByteArrayView(m_bytes).sliced(start, end - start);
        const bool utf8 = ScanOf(line).validEnd == line.size();
        const QString shown = utf8 ? QString::fromUtf8(line) : QString::fromLatin1(line);
        // The decoding drops a byte-order mark that begins the line.
        const bool markDropped = utf8 && line.startsWith(kByteOrderMark) && !shown.startsWith(QChar::ByteOrderMark);
        m_lines.append({start, m_text.size(), utf8, markDropped ? kByteOrderMark.size() : 0});
        m_text += shown;
        start = end;
    }
}

qsizetype Lines::Locate(qsizetype byte, Edge edge) const {
    if (byte <= 0) return 0;
    if (byte >= m_bytes.size()) return m_text.size();
    const auto next = std::upper_bound(m_lines.cbegin(), m_lines.cend(), byte,
                                       [](qsizetype b, const Line& l) { return b < l.byteStart; });
    const Line& line = *(next - 1);
    if (!line.utf8) return line.textStart + (byte - line.byteStart);
    qsizetype units = 0;
    qsizetype n = 0;
    for (qsizetype p = line.byteStart + line.dropped; p < byte; p += n) {
        SequenceAt(m_bytes, p, n);
        // Inside a character: its start, or its end for the end of a span.
        if (p + n > byte) return line.textStart + units + (edge == Edge::End ? UnitsOf(n) : 0);
        units += UnitsOf(n);
    }
    return line.textStart + units;
}

std::pair<qsizetype, qsizetype> Lines::Span(qsizetype from, qsizetype to) const {
    const qsizetype start = Locate(from, Edge::Start);
    return {start, std::max(start, Locate(to, Edge::End))};
}

}  // namespace ScreenText
