#include "clsFile.h"

#include <climits>

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "OrmidYRB100.h"
#include "ReportError.h"
#include "clsMonitor.h"

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

const clsPathElement* clsFile::LastLevel(const std::shared_ptr<PathCollection>& Col, const QString& context,
                                         const QString& routine) {
    if (!Col) return nullptr;
    if (Col->isEmpty()) {
        ReportError(kSubscript, context, routine);
        return nullptr;
    }
    return Col->last().get();
}

// ---- Parser ----

bool clsFile::ClearColObj(std::shared_ptr<PathCollection>& Col) {
    Col.reset();
    return true;
}

bool clsFile::GetDriveList(std::shared_ptr<QStringList>& Col) {
    Col = std::make_shared<QStringList>(QStringList{QStringLiteral("/")});
    return true;
}

bool clsFile::AddElement(const std::shared_ptr<PathCollection>& Col, const QString& Element, Level level) {
    if (!Col || Element.isEmpty()) return false;
    auto e = std::make_shared<clsPathElement>();
    e->MyError = MyError;
    e->Element = Element;
    if (level == Level::Root) {
        e->IsCreated = true;
        e->Islocal = true;
        e->IsDrive = true;
    }
    Col->append(e);
    return true;
}

bool clsFile::IsPathSyntaxOk(const QString& Path) {
    const QString context = QStringLiteral("Filename Syntax Error");
    const QString routine = QStringLiteral("IsPathSyntaxOk");
    ClearColObj(PathItems);
    ClearColObj(NameElements);
    PathItems = std::make_shared<PathCollection>();
    NameElements = std::make_shared<PathCollection>();

    if (Path.isEmpty()) {
        ReportError(QStringLiteral("No Filename has been provided !"), context, routine);
        return false;
    }
    if (!Path.startsWith(kSep)) {
        ReportError(QStringLiteral("Invalid Drive Specification in '") + Path + QStringLiteral("' !"), context,
                    routine);
        return false;
    }
    std::shared_ptr<QStringList> drives;
    if (GetDriveList(drives)) {
        if (!drives->contains(Path.left(1))) {
            ReportError(QStringLiteral("Invalid Drive Letter in '") + Path + QStringLiteral("' !"), context,
                        routine);
            return false;
        }
    }
    AddElement(PathItems, Path.left(1), Level::Root);
    AddElement(NameElements, Path.left(1), Level::Root);

    // Characters after the root; a separator right after another one
    // (the root included) is a doubled separator.
    for (qsizetype i = 1; i < Path.size(); ++i) {
        const QChar c = Path.at(i);
        if (IsRejected(c) || (c == kSep && Path.at(i - 1) == kSep)) {
            ReportError(QStringLiteral("The Path '") + Path +
                            QStringLiteral("' contains invalid characters : * / : < > ? |"),
                        context, routine);
            return false;
        }
    }

    m_finalName.clear();
    qsizetype pos = 1;
    while (pos < Path.size()) {
        const qsizetype i = Path.indexOf(kSep, pos);
        if (i >= 0) {
            AddElement(PathItems, Path.left(i + 1), Level::Other);
            AddElement(NameElements, Path.mid(pos, i - pos), Level::Other);
            pos = i + 1;
        } else {
            AddElement(PathItems, Path, Level::Other);
            AddElement(NameElements, Path.mid(pos), Level::Other);
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
    return true;
}

// ---- Queries and file operations ----

bool clsFile::IsNetworkFile() {
    const clsPathElement* e =
        LastLevel(PathItems, QStringLiteral("Error Checking if File is not local"), QStringLiteral("IsNetworkFile"));
    return e && e->IsFile && !e->Islocal;
}

bool clsFile::IsPresent() {
    const clsPathElement* e =
        LastLevel(PathItems, QStringLiteral("Error Checking File Existence"), QStringLiteral("IsPresent"));
    return e && e->IsCreated;
}

bool clsFile::Isdirectory() {
    const clsPathElement* e = LastLevel(PathItems, QStringLiteral("Error Checking if File is Of Type 'Directory'"),
                                        QStringLiteral("IsDirectory"));
    return e && e->Isdirectory;
}

bool clsFile::IsFile() {
    const clsPathElement* e =
        LastLevel(PathItems, QStringLiteral("Error Checking if File is Of Type 'File'"), QStringLiteral("IsFile"));
    return e && e->IsFile;
}

QString clsFile::GetDrive() {
    if (!PathItems || !NameElements) return QString();
    if (NameElements->isEmpty()) {
        ReportError(kSubscript, QStringLiteral("Error Getting the File GetDrive"), QStringLiteral("GetDrive"));
        return QString();
    }
    return NameElements->first()->Element;
}

QString clsFile::GetPath() {
    const clsPathElement* e =
        LastLevel(PathItems, QStringLiteral("Error Getting the File Path"), QStringLiteral("GetPath"));
    return e ? e->Element : QString();
}

QString clsFile::GetDirectory() {
    if (!LastLevel(PathItems, QStringLiteral("Error Getting the Directory Path of the File"),
                   QStringLiteral("GetDirectory")))
        return QString();
    for (qsizetype k = PathItems->size() - 1; k >= 0; --k) {
        const clsPathElement& e = *PathItems->at(k);
        if (e.Isdirectory || e.IsDrive || e.IsServer || e.IsShare) return e.Element;
    }
    return QString();
}

QString clsFile::GetFileName() {
    const clsPathElement* e =
        LastLevel(NameElements, QStringLiteral("Error Getting the File name"), QStringLiteral("GetFileName"));
    if (!e) return QString();
    return e->IsCreated ? (e->IsFile ? e->Element : QString()) : e->Element;
}

QString clsFile::GetExtension() {
    if (!LastLevel(NameElements, QStringLiteral("Error Getting the File Extension"), QStringLiteral("GetExtension")))
        return QString();
    const qsizetype point = FirstExtensionPoint(m_finalName);
    return point > 0 ? m_finalName.mid(point + 1) : QString();
}

QString clsFile::GetNoExtension() {
    if (!LastLevel(NameElements, QStringLiteral("Error Getting the File Extension"), QStringLiteral("GetNoExtension")))
        return QString();
    const qsizetype point = FirstExtensionPoint(m_finalName);
    return point > 0 ? m_finalName.left(point) : m_finalName;
}

bool clsFile::IsExtensionBinary() { return BinaryExtensions().contains(GetExtension().toLower()); }

bool clsFile::CreateDirectories() {
    if (!PathItems) return false;
    for (const auto& e : *PathItems) {
        if (e->IsCreated || e->IsServer || e->IsShare || e->IsDrive) continue;
        if (!QDir().mkdir(e->Element)) {
            ReportError(QStringLiteral("The directory '") + e->Element + QStringLiteral("' could not be created"),
                        QStringLiteral("Directories Creation Error"), QStringLiteral("CreateDirectories"));
            return false;
        }
    }
    return true;
}

QString clsFile::GetShortName() { return GetPath(); }

void clsFile::InitProgress() {
    if (Monitor) Monitor->Delay(2000, QStringLiteral("Now Loading File Content"), m_finalName, Monitor->OFrm, true);
}

void clsFile::ShutProgress() {
    if (Monitor) Monitor->Shutdown();
}

// The monitor is shut down whatever the read came to.
bool clsFile::LoadFileContent(QString& Content, bool BinaryCheck) {
    const bool result = ReadContent(Content, BinaryCheck);
    ShutProgress();
    return result;
}

bool clsFile::ReadContent(QString& Content, bool BinaryCheck) {
    const QString context = QStringLiteral("Error Loading File Content");
    const QString routine = QStringLiteral("LoadFileContent");
    auto failed = [&](const QString& description) {
        Content.clear();
        ReportError(description, context, routine);
        return false;
    };
    const QString path = GetPath();
    if (path.isEmpty()) return true;
    const QFileInfo info(path);
    if (!info.exists() || info.isDir()) return failed(QStringLiteral("File not found : '") + path + QStringLiteral("'"));
    const int64_t n = info.size();
    if (n == 0) {
        // Loaded, but reported: the caller gets the empty file's content,
        // not what it held before.
        Content.clear();
        ReportError(QStringLiteral("'") + path + QStringLiteral("' is an empty File !"), context, routine);
        return true;
    }
    InitProgress();
    // The engine reads at most 2^31 - 2 bytes into one buffer.
    int32_t c = -1;
    QByteArray buffer;
    if (n < INT32_MAX) {
        buffer.resize(static_cast<qsizetype>(n) + 1);
        c = YRB28(QFile::encodeName(path).constData(), 100000, buffer.data(), static_cast<uint32_t>(n));
    }
    if (c != n) return failed(QStringLiteral("Cannot load '") + path + QStringLiteral("' in memory"));
    if (BinaryCheck) {
        const int32_t p = YRB25(buffer.constData(), c);
        if (p != 0)
            return failed(QStringLiteral("Invalid Characters read at position %1 in File '%2'").arg(p).arg(path));
    }
    Content = QString::fromLatin1(buffer.constData(), c);
    return true;
}
