#pragma once

#include <cstdint>
#include <memory>

#include <QString>
#include <QStringList>

#include "clsPathElement.h"

class QWidget;
class Screen;
class clsError;
class clsInterrupt;
class clsMonitor;

// The path inspector.  IsPathSyntaxOk checks the
// form of a path, cuts it into levels, looks each level up on disk and
// records the facts of the file the whole path names; every other operation
// only reads what the last parse left.
//
// On Linux, "/" is the separator and the only root; it takes the drive's
// place, so an absolute path is a "drive path" and every other text fails
// with the "Invalid Drive Specification" message.  There are no
// network paths: a doubled "/" is a doubled separator and is rejected.
// Sizes are 64-bit.
class clsFile {
public:
    clsFile();
    ~clsFile();
    clsFile(const clsFile&) = delete;
    clsFile& operator=(const clsFile&) = delete;

    std::shared_ptr<clsError> MyError;  // reports go here; none: nothing is reported
    std::shared_ptr<clsInterrupt> Interrupt;
    std::shared_ptr<clsMonitor> Monitor;  // progress of LoadFileContent
    std::shared_ptr<PathCollection> PathItems;     // level k: the path through level k
    std::shared_ptr<PathCollection> NameElements;  // level k: the name of level k
    QString STimeC;   // creation (or, where the file system keeps none, status change) time
    QString STimeLA;  // last access
    QString STimeLW;  // last write; all three "yyyy/mm/dd-hh:nn:ss", local time
    int64_t Size = 0;
    // Attribute bits as Windows reports them: 0x01 read-only, 0x02 hidden
    // (a name starting with "."), 0x10 folder, 0x20 archive (any file).
    int32_t Attrib = 0;
    int32_t CBPtrPrg = 0;
    int32_t CBPtrInf = 0;
    int32_t CBPtrInt = 0;
    int32_t CBPtrErr = 0;

    // ---- Parser ----
    bool IsPathSyntaxOk(const QString& Path);
    // The drive roots: "/" alone, keyed by itself.
    bool GetDriveList(std::shared_ptr<QStringList>& Col);
    bool ClearColObj(std::shared_ptr<PathCollection>& Col);

    // ---- Queries and file operations ----
    bool IsNetworkFile();
    bool IsPresent();
    bool Isdirectory();
    bool IsFile();
    QString GetDrive();
    QString GetPath();
    QString GetDirectory();
    QString GetFileName();
    // The extension: what follows the first point of the file name (a point
    // that starts the name, as in ".profile", does not count); "" for a name
    // without one and for a path ending in "/".
    QString GetExtension();
    // The file name before that point; the whole name when it has none, ""
    // for a path ending in "/".
    QString GetNoExtension();
    bool IsExtensionBinary();
    bool CreateDirectories();
    // Linux has no short (8.3) names: the path itself.
    QString GetShortName();
    // Reads the whole file (as Latin-1 text, one character a byte) through
    // the engine; with BinaryCheck a byte that is not text makes it fail.  An
    // empty file leaves Content empty.
    bool LoadFileContent(QString& Content, bool BinaryCheck);

    // ---- Paths shortened to a width in pixels ----
    QString GetShortPath(int64_t Size, QWidget* Frm, Screen* Scr);
    QString GetShortDirName(int64_t Size, QWidget* Frm, Screen* Scr);
    QString GetShortFileName(int64_t Size, QWidget* Frm, Screen* Scr);

    // The last name of the path; "" when it ends with "/".
    const QString& FinalName() const { return m_finalName; }

private:
    // What a query reports when the parse left a collection with no level.
    static constexpr QLatin1String kSubscript{"Subscript out of range"};

    // The root "/" exists, is local and is the drive; any other level starts
    // with no facts until it is looked up.
    enum class Level { Root, Other };
    bool AddElement(const std::shared_ptr<PathCollection>& Col, const QString& Element, Level level);
    void InitProgress();
    void ShutProgress();
    void ReportError(const QString& description, const QString& context, const QString& routine);
    // What LoadFileContent does between arming the progress window and
    // shutting it down.
    bool ReadContent(QString& Content, bool BinaryCheck);
    // The last level of a collection; none without a collection, and none
    // (reported with the caller's context and routine) for an empty one.
    const clsPathElement* LastLevel(const std::shared_ptr<PathCollection>& Col, const QString& context,
                                    const QString& routine);

    QString m_finalName;
};
