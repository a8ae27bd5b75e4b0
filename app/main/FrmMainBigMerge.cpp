// Merge of the file pane's ticked files into one list file: their bytes
// copied one after another in display order, then read by the engine with
// the pane's record structure and written back in the save dialog's layout.
#include <limits>
#include <memory>

#include <QFile>
#include <QFileInfo>
#include <QPushButton>

#include "ErrorTrap.h"
#include "FrmMain.h"
#include "FrmSaveList.h"
#include "ListDialogSeam.h"
#include "MsgBoxTypes.h"
#include "OrmidYRB100.h"
#include "OwnerEnabler.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "WholeFile.h"
#include "clsChronometer.h"
#include "clsMergeFile.h"
#include "clsMonitor.h"
#include "clsVirtualListview.h"
#include "modGlobalFunctions.h"
#include "modGlobalFunctionsFiles.h"

namespace {

constexpr int32_t kMergeProgressDelayMs = 2000;
constexpr int32_t kScratchSlot = 3;
constexpr uint32_t kReadChunk = 100000;
// The engine answers the bytes it read in 32 bits.
constexpr int64_t kMaxReadAtOnce = std::numeric_limits<int32_t>::max();
constexpr int32_t kNoFilter = 0;
constexpr int32_t kForward = 0;
constexpr int32_t kOneFile = 0;
// The engine pass writes over the text it has just read.
const char* const kRewriteMode = "w+b";

QString FullPath(const clsMergeFile& file) { return file.Path + file.name; }

// Two names of one file: equal but for case, or the same file on disk
// (through a link or another spelling of its folder).
bool SameFile(const QString& a, const QString& b) {
    if (a.toLower() == b.toLower()) return true;
    const QFileInfo fa(a), fb(b);
    return fa.exists() && fb.exists() && fa.canonicalFilePath() == fb.canonicalFilePath();
}

// The earlier numbered outputs of this name, and nothing else: its numbered
// files while they follow each other, never a file of the pane.
void RemoveEarlierOutputs(const QString& output, const QStringList& sources) {
    auto isSource = [&](const QString& name) {
        for (const QString& s : sources)
            if (SameFile(s, name)) return true;
        return false;
    };
    for (int k = 1; QFileInfo::exists(modGlobalFunctions::NumberedFileName(output, k)); ++k) {
        const QString name = modGlobalFunctions::NumberedFileName(output, k);
        if (!isSource(name)) modGlobalFunctions::RemoveFiles(FilePattern(name));
    }
}

enum class TextPass { Done, Stopped, Failed };

// The text pass over the pane's rows in display order (null: not ticked):
// the ticked files' bytes exactly as they are, with the record separator
// between two of them so that each junction is a record boundary.
TextPass CopyTickedFiles(FrmMain& form, const QList<std::shared_ptr<clsMergeFile>>& rows, WholeFile& out,
                         const QByteArray& junction, QString& failure) {
    bool copied = false;
    // One buffer for every file, grown to the largest: fresh pages for each
    // file cost more than reading it.
    std::unique_ptr<char[]> buffer;
    int64_t capacity = 0;
    for (const std::shared_ptr<clsMergeFile>& file : rows) {
        if (file) {
            const QString path = FullPath(*file);
            const QFileInfo info(path);
            if (!info.isFile()) {
                failure = QStringLiteral("The file '") + path + QStringLiteral("' is not present");
                return TextPass::Failed;
            }
            // Never cut to 32 bits: a longer file would be copied in part.
            const int64_t length = info.size();
            if (length > kMaxReadAtOnce) {
                failure = QStringLiteral("The file '%1' holds %2 bytes: at most %3 bytes can be read at once")
                              .arg(path)
                              .arg(length)
                              .arg(kMaxReadAtOnce);
                return TextPass::Failed;
            }
            if (length + 1 > capacity) {
                buffer.reset();
                buffer = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(length) + 1);
                capacity = length + 1;
            }
            const int32_t read = YRB28(QFile::encodeName(path).constData(), kReadChunk, buffer.get(),
                                       static_cast<uint32_t>(length));
            if (read == YRB_STOPPED) return TextPass::Stopped;
            // The engine has said why.
            if (read < 0) {
                failure = QStringLiteral("The file '") + path + QStringLiteral("' could not be read");
                return TextPass::Failed;
            }
            if ((copied && !out.Write(junction, &failure)) || !out.Write(buffer.get(), read, &failure))
                return TextPass::Failed;
            copied = true;
        }
        if (form.IsInterrupt()) return TextPass::Stopped;
    }
    return TextPass::Done;
}

// The scratch list never outlives the merge, however it ends.
struct ScratchFreed {
    ScratchFreed() = default;
    ScratchFreed(const ScratchFreed&) = delete;
    ScratchFreed& operator=(const ScratchFreed&) = delete;
    ~ScratchFreed() { YRB20(kScratchSlot); }
};

}  // namespace

void FrmMain::ComBigMerge_Click() {
    ClosingStep closing(this);
    ScratchFreed scratch;
    const QString routine = QStringLiteral("ComBigMerge_Click");
    auto message = [&](const QString& text, const QString& title, int icon) {
        modGlobalFunctions::DisplayMessage(
            {.message = text, .Title = title, .IconNb = icon, .Focus = 0, .ShowOk = true, .CForm = this, .OForm = this});
    };
    Trap(
        [&] {
            const auto pane = VL_file;
            if (!pane) return;
            if (pane->GetSel() < 2)
                return message(QStringLiteral("At least two files must be selected before proceeding !"),
                               QStringLiteral("No Files Selected"), MsgBoxIcon::Error);
            const QString fieldSep = MergeDesc.FieldSep();
            if (fieldSep.isEmpty())
                return message(QString(), QStringLiteral("Invalid Field Separator Specification"), MsgBoxIcon::Error);
            const QString recordSep = MergeDesc.RecordSep();
            if (recordSep.isEmpty())
                return message(QString(), QStringLiteral("Invalid Record Separator Specification"), MsgBoxIcon::Error);

            // A fresh descriptor each run: the dialog's choices never reach MergeDesc.
            clsEmailList work;
            MergeDesc.CopyTo(&work);
            work.KeepAllCols = false;
            auto dialog = std::make_unique<FrmSaveList>(this);
            dialog->Form_Load();
            dialog->OwnerForm = this;
            dialog->ComSave->setText(QStringLiteral("Merge"));
            dialog->setWindowTitle(QStringLiteral("Merge multiple files"));
            dialog->SetDisplay({.DoSepRec = true, .DoFull = true, .DoMore = true});
            dialog->Initialize(&work);
            ListDialogSeam::ShowModal(dialog.get());
            const bool cancel = dialog->Cancel;
            dialog->Unload();
            dialog.reset();
            if (cancel) return;

            QStringList sources;
            for (const auto& file : MergeFiles()) sources.append(FullPath(*file));
            for (const QString& source : sources)
                if (SameFile(source, work.NameOut))
                    return message(QStringLiteral("The Output file has the same name as the the following source file "
                                                  ":\r\n\r\n") +
                                       source + QStringLiteral("\r\n\r\nPlease select another output file name"),
                                   QStringLiteral("Invalid Output File Name"), MsgBoxIcon::Error);

            Screen::Instance()->SetMousePointer(Screen::kHourglassPointer);
            StartProgress(kMergeProgressDelayMs, QStringLiteral("Merging multiple lists"),
                          QStringLiteral("Now merging multiple Lists"));
            // The output's former content is kept until both passes are
            // done: a failure at any step puts it back.  A stop keeps what
            // was written so far, as asked.
            FormerContent former;
            former.SetAside(work.NameOut);
            WholeFile out(work.NameOut);
            QString failure;
            if (!out.Open(&failure)) return Report(failure, QString(), routine);
            // The earlier numbered outputs go only once the output has taken
            // its name: a failed merge leaves every earlier file as it was.
            auto keepSoFar = [&] {
                former.Drop();
                RemoveEarlierOutputs(work.NameOut, sources);
            };
            QList<std::shared_ptr<clsMergeFile>> rows;
            for (int32_t row = 1; row <= pane->GetCnt(); ++row)
                rows.append(pane->GetCheckState(row) ? FileAtRow(row) : nullptr);
            const TextPass pass = CopyTickedFiles(*this, rows, out, recordSep.toLatin1(), failure);
            if (pass == TextPass::Failed || !out.Commit(&failure)) return Report(failure, QString(), routine);
            if (pass == TextPass::Stopped) return keepSoFar();

            // Negative results end the merge: the engine has said why, or the user stopped it.
            const QByteArray written = QFile::encodeName(work.NameOut);
            int32_t result = YRB13(kScratchSlot, written.constData(), MergeDesc.ColNbr,
                                   fieldSep.toLatin1().constData(), recordSep.toLatin1().constData());
            if (result >= 0)
                result = YRB01(kScratchSlot, kNoFilter, kNoFilter, kForward, work.KeepAllCols ? 1 : 0,
                               work.FieldSep().toLatin1().constData(), work.RecordSep().toLatin1().constData(),
                               written.constData(), kOneFile, kRewriteMode);
            if (result == YRB_STOPPED) return keepSoFar();
            if (result < 0) return;
            YRB20(kScratchSlot);
            keepSoFar();

            ChronoObj()->Shutdown();
            MonitorObj()->Shutdown();
            OwnerEnabler::SetEnabled(this, true);
            Screen::Instance()->SetMousePointer(Screen::kDefaultPointer);
            message(QStringLiteral("The selected files have been successfully merged !"),
                    QStringLiteral("Merge Successful"), MsgBoxIcon::Logo);
        },
        [&](const QString& d) { Report(d, QString(), routine); });
}
