#pragma once

#include <QPlainTextEdit>

// A multi-line text box that keeps its text exactly as set (CR LF stays
// CR LF), shows it with line breaks, and raises Change whenever the text
// changes, by code or by the user.
class RichTextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit RichTextBox(QWidget* parent = nullptr);

    const QString& Text() const { return m_text; }
    void SetText(const QString& text);
    // Caret at a 0-based character position of the shown text.
    void SetSelStart(int position);

signals:
    void Change();

private:
    static QString Shown(const QString& text);
    void OnEdited();

    QString m_text;
    bool m_setting = false;
};
