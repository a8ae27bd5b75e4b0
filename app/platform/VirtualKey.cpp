#include "VirtualKey.h"

#include <QKeyEvent>

int16_t VirtualKey::FromEvent(const QKeyEvent* event) {
    if (event == nullptr) return 0;
    return FromQtKey(event->key(), event->modifiers().testFlag(Qt::KeypadModifier));
}

int16_t VirtualKey::FromQtKey(int key, bool keypad) {
    if (keypad) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<int16_t>(0x60 + (key - Qt::Key_0));
        switch (key) {
            case Qt::Key_Asterisk: return 0x6A;
            case Qt::Key_Plus: return 0x6B;
            case Qt::Key_Minus: return 0x6D;
            case Qt::Key_Period:
            case Qt::Key_Comma: return 0x6E;
            case Qt::Key_Slash: return 0x6F;
            case Qt::Key_Enter: return 0x0D;
            default: break;
        }
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<int16_t>(0x41 + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<int16_t>(0x30 + (key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return static_cast<int16_t>(0x70 + (key - Qt::Key_F1));
    switch (key) {
        case Qt::Key_Backspace: return 0x08;
        case Qt::Key_Tab:
        case Qt::Key_Backtab: return 0x09;
        case Qt::Key_Clear: return 0x0C;
        case Qt::Key_Return:
        case Qt::Key_Enter: return 0x0D;
        case Qt::Key_Shift: return kShift;
        case Qt::Key_Control: return kControl;
        case Qt::Key_Alt:
        case Qt::Key_AltGr: return kMenu;
        case Qt::Key_Pause: return 0x13;
        case Qt::Key_CapsLock: return 0x14;
        case Qt::Key_Escape: return 0x1B;
        case Qt::Key_Space: return 0x20;
        case Qt::Key_PageUp: return 0x21;
        case Qt::Key_PageDown: return 0x22;
        case Qt::Key_End: return 0x23;
        case Qt::Key_Home: return 0x24;
        case Qt::Key_Left: return 0x25;
        case Qt::Key_Up: return 0x26;
        case Qt::Key_Right: return 0x27;
        case Qt::Key_Down: return 0x28;
        case Qt::Key_Print: return 0x2C;
        case Qt::Key_Insert: return 0x2D;
        case Qt::Key_Delete: return 0x2E;
        case Qt::Key_Help: return 0x2F;
        case Qt::Key_Meta: return 0x5B;
        case Qt::Key_Menu: return 0x5D;
        case Qt::Key_NumLock: return 0x90;
        case Qt::Key_ScrollLock: return 0x91;
        // Shifted digits.
        case Qt::Key_ParenRight: return 0x30;
        case Qt::Key_Exclam: return 0x31;
        case Qt::Key_At: return 0x32;
        case Qt::Key_NumberSign: return 0x33;
        case Qt::Key_Dollar: return 0x34;
        case Qt::Key_Percent: return 0x35;
        case Qt::Key_AsciiCircum: return 0x36;
        case Qt::Key_Ampersand: return 0x37;
        case Qt::Key_Asterisk: return 0x38;
        case Qt::Key_ParenLeft: return 0x39;
        // Punctuation keys and their shifted symbols.
        case Qt::Key_Semicolon:
        case Qt::Key_Colon: return static_cast<int16_t>(0xBA);
        case Qt::Key_Equal:
        case Qt::Key_Plus: return static_cast<int16_t>(0xBB);
        case Qt::Key_Comma:
        case Qt::Key_Less: return static_cast<int16_t>(0xBC);
        case Qt::Key_Minus:
        case Qt::Key_Underscore: return static_cast<int16_t>(0xBD);
        case Qt::Key_Period:
        case Qt::Key_Greater: return static_cast<int16_t>(0xBE);
        case Qt::Key_Slash:
        case Qt::Key_Question: return static_cast<int16_t>(0xBF);
        case Qt::Key_QuoteLeft:
        case Qt::Key_AsciiTilde: return static_cast<int16_t>(0xC0);
        case Qt::Key_BracketLeft:
        case Qt::Key_BraceLeft: return static_cast<int16_t>(0xDB);
        case Qt::Key_Backslash:
        case Qt::Key_Bar: return static_cast<int16_t>(0xDC);
        case Qt::Key_BracketRight:
        case Qt::Key_BraceRight: return static_cast<int16_t>(0xDD);
        case Qt::Key_Apostrophe:
        case Qt::Key_QuoteDbl: return static_cast<int16_t>(0xDE);
        default: return 0;
    }
}
