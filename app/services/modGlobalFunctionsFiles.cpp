#include "modGlobalFunctionsFiles.h"

#include <algorithm>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include "ReportError.h"

// ---- FilePattern -----------------------------------------------------------

namespace {
// Splits a path at its last "/": the folder keeps the "/".
void SplitAtLastSlash(const QString& path, QString& folder, QString& name) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    folder = slash < 0 ? QString() : path.left(slash + 1);
    name = slash < 0 ? path : path.mid(slash + 1);
}

// Glob match of an escaped pattern ("*", "?", "\" escape) against a name,
// with backtracking on the last "*" only (linear for the usual patterns).
bool GlobMatch(const QString& pattern, const QString& name) {
    qsizetype p = 0, n = 0;
    qsizetype starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size()) {
            const QChar c = pattern.at(p);
            if (c == QLatin1Char('*')) {
                starP = ++p;
                starN = n;
                continue;
            }
            if (c == QLatin1Char('?')) {
                ++p;
                ++n;
                continue;
            }
            QChar literal = c;
            qsizetype width = 1;
            if (c == QLatin1Char('\\') && p + 1 < pattern.size()) {
                literal = pattern.at(p + 1);
                width = 2;
            }
            if (literal == name.at(n)) {
                p += width;
                ++n;
                continue;
            }
        }
        if (starP < 0) return false;
        p = starP;
        n = ++starN;
    }
    while (p < pattern.size() && pattern.at(p) == QLatin1Char('*')) ++p;
    return p == pattern.size();
}
}  // namespace

FilePattern::FilePattern(const QString& literalPath) { SplitAtLastSlash(literalPath, m_folder, m_name); }

FilePattern::FilePattern(const char* literalPath) : FilePattern(QString::fromUtf8(literalPath)) {}

FilePattern FilePattern::Wild(const QString& folder, const QString& namePattern) {
    FilePattern p;
    p.m_folder = folder;
    if (!p.m_folder.isEmpty() && !p.m_folder.endsWith(QLatin1Char('/'))) p.m_folder += QLatin1Char('/');
    p.m_name = namePattern;
    p.m_wild = true;
    return p;
}

FilePattern FilePattern::Wild(const QString& pattern) {
    QString folder, name;
    SplitAtLastSlash(pattern, folder, name);
    return Wild(folder, name);
}

bool FilePattern::Matches(const QString& entryName) const {
    return m_wild ? GlobMatch(m_name, entryName) : entryName == m_name;
}

// ---- Procedures ------------------------------------------------------------

namespace modGlobalFunctions {

namespace {
const QString kModule = QStringLiteral("modGlobalFunctions");

void Report(const QString& description, const QString& context, const QString& routine) {
    ReportError(description, context, kModule, routine, false, true);
}

// One entry found by the search: its name and what the directory search
// tells about it.  Entries named "." or ".." and folders are left out.
struct Entry {
    QString name;
    int64_t size = 0;
};

// The directory search of IsFilePresent, GetFileSize and RemoveFiles.
// stopAtFirst ends it at the first entry (IsFilePresent).
QList<Entry> Search(const FilePattern& pattern, bool stopAtFirst) {
    QList<Entry> found;
    auto consider = [&](const QFileInfo& info) {
        const QString name = info.fileName();
        if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) return;
        if (info.isDir()) return;  // a link to a folder is a folder too
        // A dangling link is an entry of its own, of no size.
        found.append({name, info.exists() ? static_cast<int64_t>(info.size()) : 0});
    };
    if (!pattern.IsWild()) {
        if (pattern.Name().isEmpty()) return found;
        const QFileInfo info(pattern.Text());
        if (info.exists() || info.isSymLink()) consider(info);
        return found;
    }
    const QDir dir(pattern.Folder().isEmpty() ? QStringLiteral(".") : pattern.Folder());
    const QFileInfoList list =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& info : list) {
        if (!pattern.Matches(info.fileName())) continue;
        consider(info);
        if (stopAtFirst && !found.isEmpty()) break;
    }
    return found;
}

// Windows-1252 letters in the range that Latin-1 gives to control codes.
bool IsAnsiLetterOrDigit(QChar c) {
    switch (c.unicode()) {
        case 0x83: case 0x8A: case 0x8C: case 0x8E: case 0x9A: case 0x9C: case 0x9E: case 0x9F:
            return true;
        default:
            return c.isLetterOrNumber();
    }
}

// Position of the point that starts the extension of a name, -1 for none:
// the last point, but not one that starts the name.
qsizetype ExtensionPoint(const QString& name) {
    const qsizetype point = name.lastIndexOf(QLatin1Char('.'));
    return point > 0 ? point : -1;
}
}  // namespace

QWidget* IsFormLoaded(const QString& FormName) {
    const QString wanted = FormName.toLower();
    QList<QWidget*> candidates;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName().toLower() == wanted) candidates.append(w);
    if (candidates.isEmpty()) return nullptr;
    // Creation order of the windows that exist on screen; windows never
    // shown have none and come after them.
    const QList<QWindow*> order = QGuiApplication::topLevelWindows();
    auto rank = [&](QWidget* w) {
        const qsizetype i = w->windowHandle() ? order.indexOf(w->windowHandle()) : -1;
        return i < 0 ? order.size() : i;
    };
    std::stable_sort(candidates.begin(), candidates.end(), [&](QWidget* a, QWidget* b) { return rank(a) < rank(b); });
    return candidates.first();
}

bool IsWholeWord(const QString& Text, int64_t StartPos, int64_t EndPos, int64_t Length) {
    // The characters just outside the hit must be in the text.
    const bool before = StartPos > 1;
    const bool after = EndPos < Length;
    if ((before && StartPos - 1 > Text.size()) || (after && (EndPos + 1 < 1 || EndPos + 1 > Text.size()))) {
        Report(QStringLiteral("Invalid procedure call or argument"), QStringLiteral("Error Checking for Whole Word"),
               QStringLiteral("IsWholeWord"));
        return false;
    }
    const bool startClean = !before || !IsAnsiLetterOrDigit(Text.at(static_cast<qsizetype>(StartPos - 2)));
    const bool endClean = !after || !IsAnsiLetterOrDigit(Text.at(static_cast<qsizetype>(EndPos)));
    return startClean && endClean;
}

bool GetFileExtension(const QString& FileName, QString& Base, QString& Ext) {
    Base.clear();
    Ext.clear();
    const qsizetype nameStart = FileName.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype point = ExtensionPoint(FileName.mid(nameStart));
    if (point < 0) return false;
    Base = FileName.left(nameStart + point);
    Ext = FileName.mid(nameStart + point + 1);
    return true;
}

QString NumberedFileName(const QString& Path, int k) {
    QString base, ext;
    if (GetFileExtension(Path, base, ext)) return base + QLatin1Char('_') + QString::number(k) + QLatin1Char('.') + ext;
    return Path + QLatin1Char('_') + QString::number(k);
}

bool GetFileName(const QString& Path, QString& Dir, QString& Name) {
    Dir.clear();
    Name.clear();
    const qsizetype slash = Path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) return false;
    Dir = Path.left(slash);
    Name = Path.mid(slash + 1);
    return true;
}

QString WildcardLiteral(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('\\')) out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

bool IsFilePresent(const FilePattern& Pattern) { return !Search(Pattern, true).isEmpty(); }

int64_t GetFileSize(const FilePattern& Pattern) {
    int64_t largest = 0;
    for (const Entry& e : Search(Pattern, false)) largest = std::max(largest, e.size);
    return largest;
}

bool RemoveFiles(const FilePattern& Pattern) {
    bool allGone = true;
    for (const Entry& e : Search(Pattern, false)) {
        QFile file(Pattern.Folder() + e.name);
        if (!file.remove()) {
            allGone = false;
            Report(QStringLiteral("The file '") + e.name + QStringLiteral("' could not be deleted"),
                   QStringLiteral("Error Removing File"), QStringLiteral("RemoveFiles"));
        }
    }
    return allGone;
}

QString StripNulls(QString& text) {
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0) text.truncate(nul);
    return text;
}

}  // namespace modGlobalFunctions
