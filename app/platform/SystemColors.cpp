#include "SystemColors.h"

#include <QApplication>
#include <QPalette>

QColor SystemColors::System(int index) {
    const QPalette p = QApplication::palette();
    switch (index) {
        case 1: return p.color(QPalette::Window);           // desktop
        case 4: return p.color(QPalette::Window);           // menu
        case 5: return p.color(QPalette::Base);             // window
        case 6: return p.color(QPalette::Shadow);           // window frame
        case 7: return p.color(QPalette::WindowText);       // menu text
        case 8: return p.color(QPalette::Text);             // window text
        case 13: return p.color(QPalette::Highlight);       // highlight
        case 14: return p.color(QPalette::HighlightedText); // highlight text
        case 15: return p.color(QPalette::Button);          // button face
        case 16: return p.color(QPalette::Dark);            // button shadow
        case 17: return p.color(QPalette::Disabled, QPalette::Text);  // grey text
        case 18: return p.color(QPalette::ButtonText);      // button text
        case 20: return p.color(QPalette::Light);           // button highlight
        case 23: return p.color(QPalette::ToolTipText);     // tooltip text
        case 24: return p.color(QPalette::ToolTipBase);     // tooltip background
        default: return p.color(QPalette::Window);
    }
}

QColor SystemColors::FromOle(uint32_t color) {
    if (color & 0x80000000u) return System(static_cast<int>(color & 0xFF));
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}
