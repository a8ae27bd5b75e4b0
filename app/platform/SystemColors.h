#pragma once

#include <cstdint>

#include <QColor>

// Colours as forms give them: 0x00BBGGRR for a plain colour, 0x800000nn for
// system colour nn (5 window, 15 button face, 24 tooltip background, ...),
// taken from the application's palette.
class SystemColors {
public:
    static constexpr uint32_t kWindow = 0x80000005;
    static constexpr uint32_t kButtonFace = 0x8000000F;
    static constexpr uint32_t kInfoBackground = 0x80000018;

    // The system colour of that index (GetSysColor numbering).
    static QColor System(int index);
    static QColor FromOle(uint32_t color);
};
