#pragma once

#include <cstdint>
#include <functional>

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

class QFileDialog;

// The program's one file dialog: a non-native QFileDialog that
// serves as "Open", "Save", "Add" or "Select" dialog through the captions of
// its two buttons, centred on its owner.
namespace modDialog {

// The open-dialog flags that change the dialog here; the others are accepted
// and have no meaning on Linux.
inline constexpr int32_t OFN_HIDEREADONLY = 0x4;
inline constexpr int32_t OFN_ALLOWMULTISELECT = 0x200;
inline constexpr int32_t OFN_FILEMUSTEXIST = 0x1000;

// One request, as ShowDialog hands it to the chooser.
struct FileDialogRequest {
    int32_t Flags = 0;
    int32_t FilterIndex = 1;
    int64_t MaxFile = 0;      // characters of the name buffer (0 given: 260000)
    QString Filter;           // "desc|pat;pat|desc|pat|" as the caller gave it
    QStringList NameFilters;  // the same for QFileDialog: "desc (pat pat)"
    QString InitDir;
    QString DefExt;
    QString Title;
    QString OkCaption;
    QString CancelCaption;
    bool Multiple = false;
    QPointer<QWidget> Owner;
};

// Shows the dialog owned by Owner and waits.  With one file chosen,
// FileName is its full path, Dir its folder ending with "/", and Files
// (when given) receives the path; with several (OFN_ALLOWMULTISELECT and
// Files given), Dir is their folder and Files receives each full path in
// the dialog's order.  Cancel, a choice that does not fit MaxFile
// characters, or no Owner leave every output as it was.  Returns the chosen
// file's path for a single choice, "" otherwise.
//
// Filter: pairs "description|patterns|", patterns separated by ";"; "*.*"
// means every file.  The dialog accepts a name that does not exist yet
// (save targets) unless OFN_FILEMUSTEXIST is set, and never asks whether
// to replace a file.
QString ShowDialog(int32_t Flags, int32_t FilterIndex, int32_t MaxFile, const QString& Filter, const QString& InitDir,
                   QString& FileName, const QString& DefExt, const QString& Title, QStringList* Files,
                   const QString& OkCaption, const QString& CancelCaption, QString& Dir, QWidget* Owner);

// "Text files (*.txt)|*.txt;*.lst|All files (*.*)|*.*|" becomes
// {"Text files (*.txt *.lst)", "All files (*)"}: the description without
// its own bracketed patterns, then the patterns QFileDialog filters with.
QStringList NameFilters(const QString& Filter);

// What the dialog hook does when the dialog is ready: centres it on its
// owner and gives the OK and Cancel buttons their captions.
void HookProc(QFileDialog* dialog, QWidget* owner, const QString& OkCaption, const QString& CancelCaption);

// As modGlobalFunctions::StripNulls.
QString StripNulls(QString& text);

// Where the choice is made.  Tests install a chooser that answers the full
// paths chosen (empty: cancelled); an empty function shows the real dialog.
using Chooser = std::function<QStringList(const FileDialogRequest&)>;
void InstallChooser(Chooser chooser);

}  // namespace modDialog
