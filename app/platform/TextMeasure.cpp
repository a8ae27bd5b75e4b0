#include "TextMeasure.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>

#include "Twips.h"

int64_t TextMeasure::WidthTwips(const QFont& font, const QString& text) {
    return Twips::FromPixels(QFontMetrics(font).horizontalAdvance(text));
}

int64_t TextMeasure::HeightTwips(const QFont& font, int lines) {
    if (lines < 1) lines = 1;
    const QFontMetrics fm(font);
    return Twips::FromPixels(static_cast<int64_t>(fm.height()) + static_cast<int64_t>(lines - 1) * fm.lineSpacing());
}
