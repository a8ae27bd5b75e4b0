#pragma once

#include <utility>

#include <QPlainTextEdit>

#include "ScreenText.h"

// A multi-line text box that keeps its text exactly as set (CR LF stays
// CR LF), shows it with line breaks, and raises Change whenever the text
// changes, by code or by the user.
class RichTextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    // Characters: the text is shown as it is.  Bytes: the text holds bytes
    // from a file or a mail, one per character, and is shown decoded line
    // by line (ScreenText); Text() keeps the bytes.
    enum class Content { Characters, Bytes };

    explicit RichTextBox(QWidget* parent = nullptr);

    void SetContent(Content content);
    const QString& Text() const { return m_text; }
    void SetText(const QString& text);
    // The shown positions [from, to) of the characters of Text() from
    // 0-based position start for length, each clamped to the text.
    std::pair<int, int> ShownSpan(qsizetype start, qsizetype length) const;
    // Caret at a 0-based character position of the shown text.
    void SetSelStart(int position);

signals:
    void Change();

private:
    static QString Shown(const QString& text);
    void OnEdited();

    QString m_text;
    Content m_content = Content::Characters;
    // The decoded text of a Bytes box.
    ScreenText::Lines m_lines;
    bool m_setting = false;
};
