#include "clsFile.h"

#include <climits>
#include <stdexcept>

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "ErrorTrap.h"
#include "OrmidYRB100.h"
#include "clsError.h"
#include "clsInterrupt.h"
#include "clsMonitor.h"
#include "modGlobalFunctions.h"

namespace {
const QLatin1Char kSep('/');

// The characters the parser rejects after the root.  Linux allows them in
// names, but the program keeps the rule (and its message) so that
// what it accepts does not depend on the platform; NUL can never be part
// of a path.
bool IsRejected(QChar c) {
    switch (c.unicode()) {
        case u'*': case u':': case u'<': case u'>': case u'?': case u'|': case u'"': case u'\0':
            return true;
        default:
            return false;
    }
}

QString Stamp(const QDateTime& t) { return t.toLocalTime().toString(QStringLiteral("yyyy/MM/dd-HH:mm:ss")); }

// The 41 extensions of binary files, compared lower-cased.
const QStringList& BinaryExtensions() {
    static const QStringList list = {
        QStringLiteral("wpx"), QStringLiteral("win"), QStringLiteral("wab"), QStringLiteral("swp"),
        QStringLiteral("sam"), QStringLiteral("mov"), QStringLiteral("pst"), QStringLiteral("prf"),
        QStringLiteral("pab"), QStringLiteral("grp"), QStringLiteral("isu"), QStringLiteral("bmp"),
        QStringLiteral("sys"), QStringLiteral("ttf"), QStringLiteral("hlp"), QStringLiteral("dll"),
        QStringLiteral("wri"), QStringLiteral("doc"), QStringLiteral("cpe"), QStringLiteral("exe"),
        QStringLiteral("acl"), QStringLiteral("cur"), QStringLiteral("ico"), QStringLiteral("bin"),
        QStringLiteral("cab"), QStringLiteral("mdb"), QStringLiteral("xls"), QStringLiteral("ppt"),
        QStringLiteral("gif"), QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("pcx"),
        QStringLiteral("pic"), QStringLiteral("pdf"), QStringLiteral("eps"), QStringLiteral("tif"),
        QStringLiteral("zip"), QStringLiteral("ocx"), QStringLiteral("lnk"), QStringLiteral("mp3"),
        QStringLiteral("mpg")};
    return list;
}

// Position of the point that starts the extension of a name: the first
// point that does not start the name; -1 for none.
qsizetype FirstExtensionPoint(const QString& name) { return name.indexOf(QLatin1Char('.'), 1); }
}  // namespace

clsFile::clsFile() = default;

clsFile::~clsFile() {
    MyError.reset();
    Interrupt.reset();
    Monitor.reset();
    PathItems.reset();
    NameElements.reset();
}

void clsFile::ReportError(const QString& description, const QString& context, const QString& routine) {
    modGlobalFunctions::ReportErrorOn(MyError.get(), description, context, QStringLiteral("clsFile"), routine, false,
                                      true);
}

clsPathElement& clsFile::Last(const std::shared_ptr<PathCollection>& Col) {
    if (!Col || Col->isEmpty()) throw std::out_of_range("Subscript out of range");
    return *Col->last();
}

// ---- Parser ----

bool clsFile::ClearColObj(std::shared_ptr<PathCollection>& Col) {
    bool ok = false;
    Trap(
        [&] {
            Col.reset();
            ok = true;
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("Error Clearing Collection"), QStringLiteral("ClearColObj")); });
    return ok;
}

bool clsFile::GetDriveList(std::shared_ptr<QStringList>& Col) {
    bool ok = false;
    Trap(
        [&] {
            Col = std::make_shared<QStringList>(QStringList{QStringLiteral("/")});
            ok = true;
        },
        [&](const QString& d) {
            Col.reset();
            modGlobalFunctions::ReportErrorOn(MyError.get(), d, QString(), QStringLiteral("clsFile"),
                                              QStringLiteral("GetDriveList"), true, true);
        });
    return ok;
}

bool clsFile::AddElement(const std::shared_ptr<PathCollection>& Col, const QString& Element, bool IsCreated,
                         bool IsValid, bool IsFile, bool Isdirectory, bool Islocal, bool IsServer, bool IsDrive,
                         bool IsShare) {
    bool added = false;
    Trap(
        [&] {
            if (!Col || Element.isEmpty()) return;
            auto e = std::make_shared<clsPathElement>();
            e->MyError = MyError;
            e->Element = Element;
            e->IsCreated = IsCreated;
            e->IsValid = IsValid;
            e->IsFile = IsFile;
            e->Isdirectory = Isdirectory;
            e->Islocal = Islocal;
            e->IsServer = IsServer;
            e->IsDrive = IsDrive;
            e->IsShare = IsShare;
            Col->append(e);
            added = true;
        },
        [&](const QString& d) {
            ReportError(d, QStringLiteral("Error Adding Element to Collection"), QStringLiteral("AddElement"));
        });
    return added;
}

bool clsFile::IsPathSyntaxOk(const QString& Path) {
    const QString context = QStringLiteral("Filename Syntax Error");
    const QString routine = QStringLiteral("IsPathSyntaxOk");
    bool ok = false;
    Trap(
        [&] {
            ClearColObj(PathItems);
            ClearColObj(NameElements);
            PathItems = std::make_shared<PathCollection>();
            NameElements = std::make_shared<PathCollection>();

            if (Path.isEmpty()) {
                ReportError(QStringLiteral("No Filename has been provided !"), context, routine);
                return;
            }
            if (!Path.startsWith(kSep)) {
                ReportError(QStringLiteral("Invalid Drive Specification in '") + Path + QStringLiteral("' !"), context,
                            routine);
                return;
            }
            std::shared_ptr<QStringList> drives;
            if (GetDriveList(drives)) {
                if (!drives->contains(Path.left(1))) {
                    ReportError(QStringLiteral("Invalid Drive Letter in '") + Path + QStringLiteral("' !"), context,
                                routine);
                    return;
                }
            }
            AddElement(PathItems, Path.left(1), true, false, false, false, true, false, true, false);
            AddElement(NameElements, Path.left(1), true, false, false, false, true, false, true, false);

            // Characters after the root; a separator right after another one
            // (the root included) is a doubled separator.
            for (qsizetype i = 1; i < Path.size(); ++i) {
                const QChar c = Path.at(i);
                if (IsRejected(c) || (c == kSep && Path.at(i - 1) == kSep)) {
                    ReportError(QStringLiteral("The Path '") + Path +
                                    QStringLiteral("' contains invalid characters : * / : < > ? |"),
                                context, routine);
                    return;
                }
            }

            m_finalName.clear();
            qsizetype pos = 1;
            while (pos < Path.size()) {
                const qsizetype i = Path.indexOf(kSep, pos);
                if (i >= 0) {
                    AddElement(PathItems, Path.left(i + 1), false, false, false, false, false, false, false, false);
                    AddElement(NameElements, Path.mid(pos, i - pos), false, false, false, false, false, false, false,
                               false);
                    pos = i + 1;
                } else {
                    AddElement(PathItems, Path, false, false, false, false, false, false, false, false);
                    AddElement(NameElements, Path.mid(pos), false, false, false, false, false, false, false, false);
                    m_finalName = Path.mid(pos);
                    break;
                }
            }

            // Lookup of every level below the root.
            for (qsizetype k = 1; k < PathItems->size(); ++k) {
                clsPathElement& e = *PathItems->at(k);
                e.IsValid = true;
                QString text = e.Element;
                if (text.endsWith(kSep)) text.chop(1);
                const QFileInfo info(text);
                if (!info.exists() && !info.isSymLink()) {
                    e.IsCreated = false;
                    continue;
                }
                e.IsCreated = true;
                e.Islocal = true;
                e.Isdirectory = info.isDir();
                e.IsFile = !e.Isdirectory;
            }

            // The file facts of the whole path; a path ending with "/" names
            // no file and leaves them as they were.
            if (!Path.endsWith(kSep)) {
                const QFileInfo info(Path);
                if (info.exists() || info.isSymLink()) {
                    int32_t attrib = 0;
                    if (info.isDir()) attrib |= 0x10;
                    else attrib |= 0x20;
                    if (!info.isWritable()) attrib |= 0x01;
                    if (info.fileName().startsWith(QLatin1Char('.'))) attrib |= 0x02;
                    Attrib = attrib;
                    Size = info.exists() ? static_cast<int64_t>(info.size()) : 0;
                    QDateTime created = info.birthTime();
                    if (!created.isValid()) created = info.metadataChangeTime();
                    STimeC = Stamp(created);
                    STimeLA = Stamp(info.lastRead());
                    STimeLW = Stamp(info.lastModified());
                }
            }
            ok = true;
        },
        [&](const QString& d) {
            ok = false;
            PathItems.reset();
            NameElements.reset();
            ReportError(d, context, routine);
        });
    return ok;
}

// ---- Queries and file operations ----

bool clsFile::IsNetworkFile() {
    return Query<bool>(false, QStringLiteral("Error Checking if File is not local"), QStringLiteral("IsNetworkFile"), [&](bool& result) {
        if (!PathItems) return;
        const clsPathElement& e = Last(PathItems);
        result = e.IsFile && !e.Islocal;
    });
}

bool clsFile::IsPresent() {
    return Query<bool>(false, QStringLiteral("Error Checking File Existence"), QStringLiteral("IsPresent"), [&](bool& result) {
        if (PathItems) result = Last(PathItems).IsCreated;
    });
}

bool clsFile::Isdirectory() {
    return Query<bool>(false, QStringLiteral("Error Checking if File is Of Type 'Directory'"), QStringLiteral("IsDirectory"), [&](bool& result) {
        if (PathItems) result = Last(PathItems).Isdirectory;
    });
}

bool clsFile::IsFile() {
    return Query<bool>(false, QStringLiteral("Error Checking if File is Of Type 'File'"), QStringLiteral("IsFile"), [&](bool& result) {
        if (PathItems) result = Last(PathItems).IsFile;
    });
}

QString clsFile::GetDrive() {
    return Query<QString>(QString(), QStringLiteral("Error Getting the File GetDrive"), QStringLiteral("GetDrive"), [&](QString& result) {
        if (!PathItems || !NameElements) return;
        if (NameElements->isEmpty()) throw std::out_of_range("Subscript out of range");
        result = NameElements->first()->Element;
    });
}

QString clsFile::GetPath() {
    return Query<QString>(QString(), QStringLiteral("Error Getting the File Path"), QStringLiteral("GetPath"), [&](QString& result) {
        if (PathItems) result = Last(PathItems).Element;
    });
}

QString clsFile::GetDirectory() {
    return Query<QString>(QString(), QStringLiteral("Error Getting the Directory Path of the File"), QStringLiteral("GetDirectory"), [&](QString& result) {
        if (!PathItems) return;
        if (PathItems->isEmpty()) throw std::out_of_range("Subscript out of range");
        for (qsizetype k = PathItems->size() - 1; k >= 0; --k) {
            const clsPathElement& e = *PathItems->at(k);
            if (e.Isdirectory || e.IsDrive || e.IsServer || e.IsShare) {
                result = e.Element;
                return;
            }
        }
    });
}

QString clsFile::GetFileName() {
    return Query<QString>(QString(), QStringLiteral("Error Getting the File name"), QStringLiteral("GetFileName"), [&](QString& result) {
        if (!NameElements) return;
        const clsPathElement& e = Last(NameElements);
        result = e.IsCreated ? (e.IsFile ? e.Element : QString()) : e.Element;
    });
}

QString clsFile::GetExtension() {
    return Query<QString>(QString(), QStringLiteral("Error Getting the File Extension"), QStringLiteral("GetExtension"), [&](QString& result) {
        if (!NameElements) return;
        Last(NameElements);
        const qsizetype point = FirstExtensionPoint(m_finalName);
        if (point > 0) result = m_finalName.mid(point + 1);
    });
}

QString clsFile::GetNoExtension() {
    return Query<QString>(QString(), QStringLiteral("Error Getting the File Extension"), QStringLiteral("GetNoExtension"), [&](QString& result) {
        if (!NameElements) return;
        Last(NameElements);
        const qsizetype point = FirstExtensionPoint(m_finalName);
        result = point > 0 ? m_finalName.left(point) : m_finalName;
    });
}

bool clsFile::IsExtensionBinary() {
    bool result = true;
    Trap([&] { result = BinaryExtensions().contains(GetExtension().toLower()); },
         [&](const QString& d) {
             result = true;
             ReportError(d, QString(), QStringLiteral("IsExtensionBinary"));
         });
    return result;
}

bool clsFile::CreateDirectories() {
    return Query<bool>(false, QStringLiteral("Directories Creation Error"), QStringLiteral("CreateDirectories"), [&](bool& result) {
        if (!PathItems) return;
        for (const auto& e : *PathItems) {
            if (e->IsCreated || e->IsServer || e->IsShare || e->IsDrive) continue;
            if (!QDir().mkdir(e->Element))
                throw std::runtime_error(
                    (QStringLiteral("The directory '") + e->Element + QStringLiteral("' could not be created"))
                        .toStdString());
        }
        result = true;
    });
}

QString clsFile::GetShortName() {
    QString result;
    Trap([&] { result = GetPath(); },
         [&](const QString& d) {
             result.clear();
             ReportError(d, QString(), QStringLiteral("GetShortName"));
         });
    return result;
}

void clsFile::InitProgress() {
    Trap(
        [&] {
            if (Monitor)
                Monitor->Delay(2000, QStringLiteral("Now Loading File Content"), m_finalName, Monitor->OFrm, true);
        },
        [&](const QString& d) {
            ReportError(d, QStringLiteral("Error Returning Processing Status"), QStringLiteral("InitProgress"));
        });
}

void clsFile::ShutProgress() {
    Trap(
        [&] {
            if (Monitor) Monitor->Shutdown();
        },
        [&](const QString& d) {
            ReportError(d, QStringLiteral("Error Shutting Down Monitoring"), QStringLiteral("ShutProgress"));
        });
}

bool clsFile::LoadFileContent(QString& Content, bool BinaryCheck) {
    const QString context = QStringLiteral("Error Loading File Content");
    const QString routine = QStringLiteral("LoadFileContent");
    bool result = true;
    Trap(
        [&] {
            const QString path = GetPath();
            if (path.isEmpty()) return;
            const QFileInfo info(path);
            if (!info.exists() || info.isDir())
                throw std::runtime_error((QStringLiteral("File not found : '") + path + QStringLiteral("'")).toStdString());
            const int64_t n = info.size();
            if (n == 0) {
                // The caller gets the empty file's content, not what it held before.
                Content.clear();
                ReportError(QStringLiteral("'") + path + QStringLiteral("' is an empty File !"), context, routine);
                return;
            }
            InitProgress();
            // The engine reads at most 2^31 - 2 bytes into one buffer.
            int32_t c = -1;
            QByteArray buffer;
            if (n < INT32_MAX) {
                buffer.resize(static_cast<qsizetype>(n) + 1);
                c = YRB28(QFile::encodeName(path).constData(), 100000, buffer.data(), static_cast<uint32_t>(n));
            }
            if (c != n) {
                Content.clear();
                result = false;
                ReportError(QStringLiteral("Cannot load '") + path + QStringLiteral("' in memory"), context, routine);
                return;
            }
            if (BinaryCheck) {
                const int32_t p = YRB25(buffer.constData(), c);
                if (p != 0) {
                    Content.clear();
                    result = false;
                    ReportError(QStringLiteral("Invalid Characters read at position %1 in File '%2'").arg(p).arg(path),
                                context, routine);
                    return;
                }
            }
            Content = QString::fromLatin1(buffer.constData(), c);
        },
        [&](const QString& d) {
            Content.clear();
            result = false;
            ReportError(d, context, routine);
        });
    ShutProgress();
    return result;
}
