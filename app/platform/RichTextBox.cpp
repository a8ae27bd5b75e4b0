#include "RichTextBox.h"

#include <algorithm>
#include <tuple>

#include <QTextCursor>

namespace {

// A position of a text (CR LF counted as two) in the box, which shows each
// line break as one character.
int MergedPosition(const QString& text, qsizetype position) {
    qsizetype merged = 0;
    for (qsizetype at = text.indexOf(QLatin1String("\r\n")); at >= 0 && at + 1 < position;
         at = text.indexOf(QLatin1String("\r\n"), at + 2))
        ++merged;
    return static_cast<int>(position - merged);
}

}  // namespace

RichTextBox::RichTextBox(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    connect(this, &QPlainTextEdit::textChanged, this, &RichTextBox::OnEdited);
}

QString RichTextBox::Shown(const QString& text) {
    QString s = text;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

void RichTextBox::SetContent(Content content) {
    if (content == m_content) return;
    m_content = content;
    const QString text = m_text;
    m_text.clear();
    m_lines = ScreenText::Lines();
    SetText(text);
}

void RichTextBox::SetText(const QString& text) {
    if (text == m_text) return;
    m_setting = true;
    // Appending is the usual change; inserting only the new part keeps a
    // long console cheap to extend.  Bytes are decoded whole, since each
    // line decides how it is shown.
    const bool append = m_content == Content::Characters && !m_text.isEmpty() && text.startsWith(m_text) &&
                        !m_text.endsWith(QLatin1Char('\r'));
    if (m_content == Content::Bytes) {
        m_lines = ScreenText::Lines(text.toLatin1());
        setPlainText(Shown(m_lines.Text()));
    } else if (append) {
        QTextCursor c(document());
        c.movePosition(QTextCursor::End);
        c.insertText(Shown(text.mid(m_text.size())));
    } else {
        setPlainText(Shown(text));
    }
    m_text = text;
    m_setting = false;
    emit Change();
}

std::pair<int, int> RichTextBox::ShownSpan(qsizetype start, qsizetype length) const {
    const qsizetype size = m_text.size();
    qsizetype from = std::clamp<qsizetype>(start, 0, size);
    qsizetype to = std::clamp<qsizetype>(start + length, from, size);
    if (m_content == Content::Characters) return {MergedPosition(m_text, from), MergedPosition(m_text, to)};
    std::tie(from, to) = m_lines.Span(from, to);
    return {MergedPosition(m_lines.Text(), from), MergedPosition(m_lines.Text(), to)};
}

void RichTextBox::SetSelStart(int position) {
    QTextCursor c = textCursor();
    const int end = document()->characterCount() - 1;
    c.setPosition(qBound(0, position, qMax(0, end)));
    setTextCursor(c);
}

void RichTextBox::OnEdited() {
    if (m_setting) return;
    QString t = toPlainText();
    t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    m_text = t;
    emit Change();
}
