// clsFile: the parsed path, its deepest folder or its file name
// shortened with an ellipsis to fit a width in pixels, measured in a form's
// font.  Widths are 64-bit; the shortened forms use "/" as separator.
#include <algorithm>
#include <cmath>

#include <QWidget>

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

// Element k (1-based) of a collection; none outside it.
const clsPathElement* At(const std::shared_ptr<PathCollection>& col, qsizetype k) {
    if (!col || k < 1 || k > col->size()) return nullptr;
    return col->at(k - 1).get();
}

const QString kInvalidCall = QStringLiteral("Invalid procedure call or argument");
}  // namespace

QString clsFile::GetShortPath(int64_t Size, QWidget* Frm, Screen* Scr) {
    if (Frm == nullptr || Scr == nullptr) return QString();
    auto failed = [&] {
        ReportError(kInvalidCall, QStringLiteral("Error Getting Short Filename"), QStringLiteral("GetShortPath"));
        return QString();
    };
    const QString p = GetPath();
    const int64_t w = W(Frm, p);
    const int64_t e = std::max(W(Frm, QStringLiteral(".../")), W(Frm, kEllipsis));
    if (w <= Size - e) return p;
    if (Size - 1 < 0) return failed();
    QString candidate = kEllipsis + p.right(static_cast<qsizetype>(std::min<int64_t>(Size - 1, p.size())));
    qsizetype i = 1;
    while (WUnrounded(Frm, candidate) > static_cast<float>(Size)) {
        const qsizetype keep = p.size() - i;
        if (keep < 0) return failed();
        candidate = kEllipsis + p.right(keep);
        ++i;
    }
    return candidate;
}

QString clsFile::GetShortDirName(int64_t Size, QWidget* Frm, Screen* Scr) {
    if (Frm == nullptr || Scr == nullptr) return QString();
    auto failed = [&](const QString& description) {
        ReportError(description, QStringLiteral("Error Getting Short Directory Name"), QStringLiteral("GetShortDirName"));
        return QString();
    };
    const int64_t e = W(Frm, QStringLiteral("/ .../"));
    if (!PathItems) return failed(QStringLiteral("Object variable not set"));
    const qsizetype n = PathItems->size();
    const clsPathElement* last = At(PathItems, n);
    if (last == nullptr) return failed(kSubscript);
    const qsizetype off = IsDirectoryLike(*last) ? 0 : 1;
    const clsPathElement* folder = At(PathItems, n - off);
    if (folder == nullptr) return failed(kSubscript);
    if (W(Frm, folder->Element + QLatin1Char('/')) < Size) return folder->Element;
    const clsPathElement* nameLevel = At(NameElements, n - off);
    if (nameLevel == nullptr) return failed(kSubscript);
    const QString name = nameLevel->Element;
    const int64_t wn = W(Frm, name);
    if (wn >= Size) {
        // The root's name is "/" itself: "/ ..." stands for "X:\ ...".
        const QString root = At(NameElements, 1)->Element;
        return root + (root.endsWith(QLatin1Char('/')) ? QStringLiteral(" ...") : QStringLiteral("/ ..."));
    }
    for (qsizetype i = n - 1 - off; i >= 1; --i) {
        const QString level = At(PathItems, i)->Element;
        if (W(Frm, level + QLatin1Char('/')) + e + wn < Size) return level + QStringLiteral(" .../") + name;
    }
    return QString();
}

QString clsFile::GetShortFileName(int64_t Size, QWidget* Frm, Screen* Scr) {
    if (Frm == nullptr || Scr == nullptr) return QString();
    const QString name = GetFileName();
    const int64_t wn = W(Frm, name);
    const int64_t e = W(Frm, kEllipsis);
    if (wn <= Size) return name;
    for (qsizetype k = name.size(); k >= 1; --k) {
        const QString tail = name.right(k);
        if (W(Frm, tail) + e < Size) return kEllipsis + tail;
    }
    return QString();
}
