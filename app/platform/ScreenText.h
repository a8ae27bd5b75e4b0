#pragma once

#include <utility>

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// Bytes from lists, reports and mails as the screen shows them.  Windows
// showed them in the system's code page; here a unit of text (a cell, a
// line) that is valid UTF-8 is shown as UTF-8, any other byte for byte as
// Latin-1.  Only for the screen: files and the engine keep the bytes.
namespace ScreenText {

// A cell shown whole, however long.
inline constexpr qsizetype kNoLimit = -1;

// How a cell's bytes end: whole, or cut by a byte limit that may have split
// its last character.
enum class End { Whole, Cut };

// One cell; DEL, which fonts draw as an empty box, shows as "^?".  A cell
// cut by the limit that ended it loses a character the cut split, so that
// it still reads as UTF-8.
QString Cell(QByteArrayView bytes, End end = End::Whole);
// One cell shown by at most limit bytes: a UTF-8 cell is cut before the
// character that would not fit.
QString Cell(QByteArrayView bytes, qsizetype limit);
// The same for bytes held one per character, as the program holds them.
QString HeldCell(const QString& bytes, qsizetype limit = kNoLimit);

// A text of many lines, each line (with its ending) a unit of its own, and
// the way from positions in the bytes to positions in the text shown.
class Lines {
public:
    Lines() = default;
    explicit Lines(QByteArrayView bytes);

    const QString& Text() const { return m_text; }
    // The text positions [from, to) of every character that the 0-based
    // bytes [from, to) touch, a character cut in two included.
    std::pair<qsizetype, qsizetype> Span(qsizetype from, qsizetype to) const;

private:
    struct Line {
        qsizetype byteStart;
        qsizetype textStart;
        bool utf8;
        qsizetype dropped;  // bytes at its start that the text does not show
    };
    enum class Edge { Start, End };
    qsizetype Locate(qsizetype byte, Edge edge) const;

    QByteArray m_bytes;
    QString m_text;
    QList<Line> m_lines;
};

}  // namespace ScreenText
