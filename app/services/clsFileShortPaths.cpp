// clsFile: the parsed path, its deepest folder or its file name
// shortened with an ellipsis to fit a width in pixels, measured in a form's
// font.  Widths are 64-bit; the shortened forms use "/" as separator.
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include <QWidget>

#include "ErrorTrap.h"
#include "Screen.h"
#include "TextMeasure.h"
#include "Twips.h"
#include "clsFile.h"

namespace {
// Width of a text in whole pixels: twips / twips per pixel, halves to even.
int64_t W(QWidget* frm, const QString& text) {
    return static_cast<int64_t>(std::nearbyint(static_cast<double>(TextMeasure::WidthTwips(frm->font(), text)) /
                                               Twips::kPerPixel));
}

// The same quotient unrounded, as a single-precision number.
float WUnrounded(QWidget* frm, const QString& text) {
    return static_cast<float>(TextMeasure::WidthTwips(frm->font(), text)) / static_cast<float>(Twips::kPerPixel);
}

const QString kEllipsis = QStringLiteral("... ");

bool IsDirectoryLike(const clsPathElement& e) { return e.Isdirectory || e.IsDrive || e.IsServer || e.IsShare; }

// Element k (1-based) of a collection; throws outside it.
const clsPathElement& At(const std::shared_ptr<PathCollection>& col, qsizetype k) {
    if (!col || k < 1 || k > col->size()) throw std::out_of_range("Subscript out of range");
    return *col->at(k - 1);
}
}  // namespace

QString clsFile::GetShortPath(int64_t Size, QWidget* Frm, Screen* Scr) {
    if (Frm == nullptr || Scr == nullptr) return QString();
    return Query<QString>(QString(), QStringLiteral("Error Getting Short Filename"), QStringLiteral("GetShortPath"), [&](QString& result) {
        const QString p = GetPath();
        const int64_t w = W(Frm, p);
        const int64_t e = std::max(W(Frm, QStringLiteral(".../")), W(Frm, kEllipsis));
        if (w <= Size - e) {
            result = p;
            return;
        }
        if (Size - 1 < 0) throw std::invalid_argument("Invalid procedure call or argument");
        QString candidate = kEllipsis + p.right(static_cast<qsizetype>(std::min<int64_t>(Size - 1, p.size())));
        qsizetype i = 1;
        while (WUnrounded(Frm, candidate) > static_cast<float>(Size)) {
            const qsizetype keep = p.size() - i;
            if (keep < 0) throw std::invalid_argument("Invalid procedure call or argument");
            candidate = kEllipsis + p.right(keep);
            ++i;
        }
        result = candidate;
    });
}

QString clsFile::GetShortDirName(int64_t Size, QWidget* Frm, Screen* Scr) {
    if (Frm == nullptr || Scr == nullptr) return QString();
    return Query<QString>(QString(), QStringLiteral("Error Getting Short Directory Name"), QStringLiteral("GetShortDirName"), [&](QString& result) {
        const int64_t e = W(Frm, QStringLiteral("/ .../"));
        if (!PathItems) throw std::out_of_range("Object variable not set");
        const qsizetype n = PathItems->size();
        const qsizetype off = IsDirectoryLike(At(PathItems, n)) ? 0 : 1;
        const QString d = At(PathItems, n - off).Element;
        if (W(Frm, d + QLatin1Char('/')) < Size) {
            result = d;
            return;
        }
        const QString name = At(NameElements, n - off).Element;
        const int64_t wn = W(Frm, name);
        if (wn >= Size) {
            // The root's name is "/" itself: "/ ..." stands for "X:\ ...".
            const QString root = At(NameElements, 1).Element;
            result = root + (root.endsWith(QLatin1Char('/')) ? QStringLiteral(" ...") : QStringLiteral("/ ..."));
            return;
        }
        for (qsizetype i = n - 1 - off; i >= 1; --i) {
            const QString level = At(PathItems, i).Element;
            if (W(Frm, level + QLatin1Char('/')) + e + wn < Size) {
                result = level + QStringLiteral(" .../") + name;
                return;
            }
        }
    });
}

QString clsFile::GetShortFileName(int64_t Size, QWidget* Frm, Screen* Scr) {
    if (Frm == nullptr || Scr == nullptr) return QString();
    return Query<QString>(QString(), QStringLiteral("Error Getting Short Filename"), QStringLiteral("GetShortFileName"), [&](QString& result) {
        const QString name = GetFileName();
        const int64_t wn = W(Frm, name);
        const int64_t e = W(Frm, kEllipsis);
        if (wn <= Size) {
            result = name;
            return;
        }
        for (qsizetype k = name.size(); k >= 1; --k) {
            const QString tail = name.right(k);
            if (W(Frm, tail) + e < Size) {
                result = kEllipsis + tail;
                return;
            }
        }
    });
}
