#include "PanelStatusBar.h"

#include "StatusPanel.h"

PanelStatusBar::PanelStatusBar(const QList<int>& widthsPx, QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(true);
    for (int i = 0; i < widthsPx.size(); ++i) {
        auto* panel = new StatusPanel(this);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        const int index = i + 1;
        connect(panel, &StatusPanel::Clicked, this, [this, index] { emit PanelClick(index); });
        if (i == 0) {
            panel->setMinimumWidth(widthsPx.at(i));
            addWidget(panel, 1);
        } else {
            panel->setFixedWidth(widthsPx.at(i));
            panel->setAlignment(Qt::AlignCenter);
            addPermanentWidget(panel, 0);
        }
        m_panels.append(panel);
    }
}

StatusPanel* PanelStatusBar::Panel(int index) const {
    return index >= 1 && index <= m_panels.size() ? m_panels.at(index - 1) : nullptr;
}
