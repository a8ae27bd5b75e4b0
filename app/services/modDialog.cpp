#include "modDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QRegularExpression>

#include "ErrorTrap.h"
#include "ReportError.h"
#include "modGlobalFunctions.h"
#include "modGlobalFunctionsFiles.h"
#include "modGlobalFunctionsForms.h"

namespace modDialog {

namespace {
const QString kModule = QStringLiteral("modDialog");

Chooser& Installed() {
    static Chooser chooser;
    return chooser;
}

void Report(const QString& description, const QString& context, const QString& routine) {
    modGlobalFunctions::ReportError(description, context, kModule, routine, false, true);
}

// The names typed into the dialog's name box, as full paths: the whole text,
// or each "quoted" name when it holds quotes.  A name without an extension
// that is no file gets the default one.
QStringList TypedPaths(const QString& text, const QString& folder, const QString& defExt) {
    QStringList names;
    if (!text.contains(QLatin1Char('"'))) {
        names.append(text);
    } else {
        const QStringList tokens = text.split(QLatin1Char('"'));
        // Odd tokens are inside quotes; the even ones separate them.
        for (qsizetype i = 1; i < tokens.size(); i += 2) names.append(tokens.at(i));
    }
    QStringList paths;
    for (const QString& name : names) {
        if (name.trimmed().isEmpty()) continue;
        QString path = QDir(folder).absoluteFilePath(name);
        if (name.startsWith(QLatin1String("~/"))) path = QDir::homePath() + name.mid(1);
        if (!defExt.isEmpty() && !QFileInfo(path).fileName().contains(QLatin1Char('.')) && !QFileInfo::exists(path))
            path += QLatin1Char('.') + defExt;
        paths.append(QDir::cleanPath(path));
    }
    return paths;
}

// QFileDialog takes the names selected in its view when there are any, so a
// typed name its filter hides was dropped without a word, and one that does
// not exist too.  Here the name box decides: every name typed in it is
// taken, whatever the filter, and a missing one is named in a message.
class TypedNamesDialog : public QFileDialog {
public:
    TypedNamesDialog(QWidget* owner, const QString& title, const QString& folder)
        : QFileDialog(owner, title, folder) {}

    // The names accepted from the name box; empty: the dialog's own choice.
    QStringList Typed;

    void accept() override {
        auto* box = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        const QStringList paths =
            box == nullptr ? QStringList() : TypedPaths(box->text(), directory().absolutePath(), defaultSuffix());
        // Nothing typed, or one folder to open: the dialog's own way.
        if (paths.isEmpty() || (paths.size() == 1 && QFileInfo(paths.first()).isDir())) {
            QFileDialog::accept();
            return;
        }
        if (fileMode() == ExistingFile || fileMode() == ExistingFiles) {
            QStringList missing;
            for (const QString& p : paths)
                if (!QFileInfo::exists(p)) missing.append(QFileInfo(p).fileName());
            if (!missing.isEmpty()) {
                modGlobalFunctions::DisplayMessage(
                    {.message = missing.join(QStringLiteral("\r\n")) +
                                QStringLiteral("\r\nFile not found.\r\nCheck the file name and try again."),
                     .Title = windowTitle(),
                     .IconNb = MsgBoxIcon::Warning,
                     .Focus = MsgBoxButton::Ok,
                     .ShowOk = true,
                     .CForm = this,
                     .OForm = this});
                return;
            }
        }
        Typed = paths;
        QDialog::accept();
    }
};

QStringList RealChoice(const FileDialogRequest& r) {
    TypedNamesDialog dialog(r.Owner, r.Title, r.InitDir);
    dialog.setObjectName(QStringLiteral("FileDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(r.Multiple                            ? QFileDialog::ExistingFiles
                       : (r.Flags & OFN_FILEMUSTEXIST) != 0 ? QFileDialog::ExistingFile
                                                            : QFileDialog::AnyFile);
    if (!r.NameFilters.isEmpty()) {
        dialog.setNameFilters(r.NameFilters);
        const qsizetype index = r.FilterIndex >= 1 && r.FilterIndex <= r.NameFilters.size() ? r.FilterIndex - 1 : 0;
        dialog.selectNameFilter(r.NameFilters.at(index));
    }
    if (!r.DefExt.isEmpty()) dialog.setDefaultSuffix(r.DefExt);
    dialog.setLabelText(QFileDialog::Accept, r.OkCaption);
    dialog.setLabelText(QFileDialog::Reject, r.CancelCaption);
    // The hook runs once the dialog is up, inside its modal loop.
    QMetaObject::invokeMethod(
        &dialog, [&] { HookProc(&dialog, r.Owner, r.OkCaption, r.CancelCaption); }, Qt::QueuedConnection);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.Typed.isEmpty() ? dialog.selectedFiles() : dialog.Typed;
}

QString FolderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash + 1);
}
}  // namespace

QStringList NameFilters(const QString& Filter) {
    QStringList result;
    const QStringList parts = Filter.split(QLatin1Char('|'));
    static const QRegularExpression ownPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts.at(i);
        description.remove(ownPatterns);
        QStringList patterns;
        for (QString p : parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            p = p.trimmed();
            if (p == QLatin1String("*.*")) p = QStringLiteral("*");
            if (!p.isEmpty()) patterns.append(p);
        }
        if (patterns.isEmpty()) patterns.append(QStringLiteral("*"));
        result.append(description.trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                      QLatin1Char(')'));
    }
    return result;
}

// Called by the dialog from its event loop: a failure stops here.
void HookProc(QFileDialog* dialog, QWidget* owner, const QString& OkCaption, const QString& CancelCaption) {
    Trap(
        [&] {
            if (dialog == nullptr) return;
            dialog->setLabelText(QFileDialog::Accept, OkCaption);
            dialog->setLabelText(QFileDialog::Reject, CancelCaption);
            if (owner) modGlobalFunctions::CenterForm(dialog, owner);
        },
        [](const QString& d) { Report(d, QString(), QStringLiteral("HookProc")); });
}

QString StripNulls(QString& text) { return modGlobalFunctions::StripNulls(text); }

QString ShowDialog(int32_t Flags, int32_t FilterIndex, int32_t MaxFile, const QString& Filter, const QString& InitDir,
                   QString& FileName, const QString& DefExt, const QString& Title, QStringList* Files,
                   const QString& OkCaption, const QString& CancelCaption, QString& Dir, QWidget* Owner) {
    if (Owner == nullptr) return QString();
    FileDialogRequest r;
    r.Flags = Flags;
    r.FilterIndex = FilterIndex;
    r.MaxFile = MaxFile > 0 ? MaxFile : 260000;
    r.Filter = Filter;
    r.NameFilters = NameFilters(Filter);
    r.InitDir = InitDir;
    r.DefExt = DefExt;
    r.Title = Title;
    r.OkCaption = OkCaption;
    r.CancelCaption = CancelCaption;
    r.Multiple = (Flags & OFN_ALLOWMULTISELECT) != 0;
    r.Owner = Owner;

    const Chooser& chooser = Installed();
    const QStringList paths = chooser ? chooser(r) : RealChoice(r);
    if (paths.isEmpty()) return QString();

    // The name buffer the caller sized: N - 1 characters for the folder and the
    // names, each closed by a NUL, and the closing NUL of the list.
    int64_t needed = 0;
    if (paths.size() == 1) {
        needed = paths.first().size() + 1;
    } else {
        needed = FolderOf(paths.first()).size() + 2;
        for (const QString& p : paths) needed += QFileInfo(p).fileName().size() + 1;
    }
    if (needed > r.MaxFile - 1) return QString();

    if (paths.size() == 1) {
        FileName = paths.first();
        Dir = FolderOf(FileName);
        if (Files) Files->append(FileName);
        return FileName;
    }
    if (Files == nullptr) return QString();
    QString folder = FolderOf(paths.first());
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    Dir = folder;
    for (const QString& p : paths) Files->append(folder + QFileInfo(p).fileName());
    return QString();
}

void InstallChooser(Chooser chooser) { Installed() = std::move(chooser); }

}  // namespace modDialog
