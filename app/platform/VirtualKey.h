#pragma once

#include <cstdint>

class QKeyEvent;

// Windows virtual-key numbers of Qt key events, as the forms compare them
// (0x41 'A', 0x2E Delete, 0x10 Shift, 0x70 F1, ...).  0 for a key that has
// none.  Shifted symbols give the key they are typed with on a US layout.
class VirtualKey {
public:
    static constexpr int16_t kShift = 0x10;
    static constexpr int16_t kControl = 0x11;
    static constexpr int16_t kMenu = 0x12;  // Alt

    static int16_t FromEvent(const QKeyEvent* event);
    // The same for a Qt key number and its modifiers.
    static int16_t FromQtKey(int key, bool keypad);
};
