#pragma once

#include <QObject>

class QLineEdit;

// A separator box's selection kept for the special-character picker.
// QLineEdit drops its selection when it loses the focus, which a click on
// the "..." button beside it does; the picker must replace that selection.
class KeptSelection : public QObject {
    Q_OBJECT
public:
    // Starts keeping the box's selection each time it loses the focus.
    static void Keep(QLineEdit* box);
    // Focuses the box and gives back the selection it had when it last lost
    // the focus, unless its text changed since.
    static void Focus(QLineEdit* box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit KeptSelection(QLineEdit* box);

    QLineEdit* m_box;
    QString m_text;
    int m_anchor = -1;  // -1: nothing selected when the focus left
    int m_caret = 0;
};
