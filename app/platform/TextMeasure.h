#pragma once

#include <cstdint>

class QFont;
class QString;

// Text extents in twips for a font, as forms measure them.
class TextMeasure {
public:
    // Width of the text on one line (a lone line feed does not break it).
    static int64_t WidthTwips(const QFont& font, const QString& text);
    // Height of the given number of lines.
    static int64_t HeightTwips(const QFont& font, int lines);
};
