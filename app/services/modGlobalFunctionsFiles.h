#pragma once

#include <cstdint>

#include <QString>

class QWidget;

// A file path whose file-name part may hold wildcards ("*" any run of
// characters, "?" one character).  A wildcard is active only where the
// program put it: a plain text converts to a literal path, in which every
// character (a "*", "?" or "[" of a Linux file name included) stands for
// itself.  Patterns are built with Wild, passing every fragment of a user's
// name through modGlobalFunctions::WildcardLiteral.  The folder part is
// always literal; matching is case-sensitive like the file system.
class FilePattern {
public:
    FilePattern() = default;
    FilePattern(const QString& literalPath);  // NOLINT: a path is the common case
    FilePattern(const char* literalPath);     // NOLINT

    // folder (literal; with or without its closing "/") and a file-name
    // pattern in which "*" and "?" are wildcards and "\" makes the next
    // character literal.
    static FilePattern Wild(const QString& folder, const QString& namePattern);
    // The same from one text: everything up to its last "/" is the folder.
    static FilePattern Wild(const QString& pattern);

    // The folder, ending with "/" ("" when the pattern has none).
    const QString& Folder() const { return m_folder; }
    // The file-name part as given: literal text, or the escaped pattern.
    const QString& Name() const { return m_name; }
    bool IsWild() const { return m_wild; }
    // True when the file-name part accepts this entry name.
    bool Matches(const QString& entryName) const;
    // For messages: the folder and the name part as the caller wrote it.
    QString Text() const { return m_folder + m_name; }

private:
    QString m_folder;
    QString m_name;
    bool m_wild = false;
};

// Shared procedures that work on forms, texts and files.  The placing
// procedures CenterForm and MouseMoveForm are in modGlobalFunctionsForms.h.
namespace modGlobalFunctions {

// The first loaded form (top-level window) whose object name equals the
// name without regard to case, or none.  Windows that exist on screen come
// in the order they were created, then those never shown.
QWidget* IsFormLoaded(const QString& FormName);

// True when the hit from StartPos to EndPos (1-based, inclusive) of a text of
// the given length has no letter or digit just before and just after it.
// Letters are those of the ANSI code page (Windows-1252) of the text's bytes.
bool IsWholeWord(const QString& Text, int64_t StartPos, int64_t EndPos, int64_t Length);

// Splits at the last "." of the file-name part (after the last "/"): Base
// the text before it (folder included), Ext the text after it; True.  A point
// in a folder name, a point that starts the name (a hidden file such as
// ".profile") and a path ending in "/" give False with both outputs "".
bool GetFileExtension(const QString& FileName, QString& Base, QString& Ext);

// File k of a list written in numbered files, as the engine names it: "_k"
// before the extension of the file name, or at the end when it has none.
QString NumberedFileName(const QString& Path, int k);

// Splits at the last "/": Dir the text before it, Name the text after it;
// True.  No "/": False with both outputs "".
bool GetFileName(const QString& Path, QString& Dir, QString& Name);

// A user's text as pattern text that matches only itself.
QString WildcardLiteral(const QString& text);

// True when the path, or the pattern, names at least one entry that is not
// a folder.
bool IsFilePresent(const FilePattern& Pattern);

// Size in bytes of the largest entry that is not a folder; 0 for none.
// 64-bit: sizes of 2 GiB and more are returned as they are.
int64_t GetFileSize(const FilePattern& Pattern);

// Deletes every entry that is not a folder.  Each failed deletion is
// reported ("The file '<name>' could not be deleted", context "Error Removing
// File") and the other entries are still deleted.  True when every matching
// entry was deleted, also when nothing matched; False when any deletion
// failed.
bool RemoveFiles(const FilePattern& Pattern);

// Cuts the text before its first NUL, in the caller's variable too.
QString StripNulls(QString& text);

}  // namespace modGlobalFunctions
