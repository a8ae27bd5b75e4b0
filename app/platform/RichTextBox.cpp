#include "RichTextBox.h"

#include <QTextCursor>

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

void RichTextBox::SetText(const QString& text) {
    if (text == m_text) return;
    m_setting = true;
    // Appending is the usual change; inserting only the new part keeps a
    // long console cheap to extend.
    const bool append = !m_text.isEmpty() && text.startsWith(m_text) && !m_text.endsWith(QLatin1Char('\r'));
    if (append) {
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
