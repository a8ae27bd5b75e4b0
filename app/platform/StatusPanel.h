#pragma once

#include <QLabel>

// One panel of a status bar: a text and a bevel (0 none, 1 inset, 2 raised).
// The text stays legible while the status bar is disabled with its window.
class StatusPanel : public QLabel {
    Q_OBJECT
public:
    explicit StatusPanel(QWidget* parent = nullptr);

    QString Text() const { return text(); }
    void SetText(const QString& text) { setText(text); }
    int Bevel() const { return m_bevel; }
    void SetBevel(int bevel);

signals:
    void Clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    int m_bevel = 1;
};
