#pragma once

#include <QList>
#include <QStatusBar>

class StatusPanel;

// A status bar made of numbered panels (from 1); the first stretches, the
// others keep their width.  A click on a panel raises PanelClick(index).
class PanelStatusBar : public QStatusBar {
    Q_OBJECT
public:
    PanelStatusBar(const QList<int>& widthsPx, QWidget* parent = nullptr);

    int Count() const { return static_cast<int>(m_panels.size()); }
    StatusPanel* Panel(int index) const;

signals:
    void PanelClick(int index);

private:
    QList<StatusPanel*> m_panels;
};
