// Save and Split: the selected entries of one side written to one file,
// to numbered files of a given size, or to the entries of a domain and the
// others ("_I" and "_E" files).
#include <memory>
#include <optional>
#include <vector>

#include <sys/stat.h>

#include <QFile>
#include <QPushButton>

#include "ErrorTrap.h"
#include "FrmMain.h"
#include "FrmSaveList.h"
#include "ListDialogSeam.h"
#include "ListsCol.h"
#include "MsgBoxTypes.h"
#include "OrmidYRB100.h"
#include "ReportError.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "SplitOutputs.h"
#include "WholeFile.h"
#include "clsChronometer.h"
#include "clsMonitor.h"
#include "clsVL2.h"
#include "modCallBack.h"
#include "modGlobalFunctions.h"
#include "modGlobalFunctionsFiles.h"

namespace {
constexpr int32_t kSaveProgressDelayMs = 2000;
constexpr int32_t kForward = 0;
const char* const kWriteMode = "wb";
// The earlier outputs are the numbered files there, whatever the write makes.
constexpr int32_t kOnlyThoseThere = 0;

// The earlier outputs of this output name and nothing else: the name
// itself, its numbered files while they follow each other, and the same for
// the two halves of a split by domain.  They are noted before the write and
// removed only after it, and only those the write did not replace: a save
// that fails leaves every earlier output as it was.
class EarlierOutputs {
public:
    explicit EarlierOutputs(const QString& output) {
        SplitOutputs::ForEach(output, kOnlyThoseThere, [this](const QString& name) {
            Note(name);
            return true;
        });
    }

    // A file replaced by the write is a new file under the old name (the
    // engine renames a whole file over it); one still the same was not
    // written this time and goes.
    void RemoveUnreplaced() const {
        for (const Earlier& e : m_files) {
            struct stat now {};
            if (::stat(QFile::encodeName(e.name).constData(), &now) == 0 && Same(now, e.status))
                modGlobalFunctions::RemoveFiles(FilePattern(e.name));
        }
    }

private:
    struct Earlier {
        QString name;
        struct stat status;
    };

    // Only regular files: a device or a pipe given as the output is written in place, never removed.
    void Note(const QString& name) {
        struct stat status {};
        if (::stat(QFile::encodeName(name).constData(), &status) == 0 && S_ISREG(status.st_mode))
            m_files.push_back({name, status});
    }

    static bool Same(const struct stat& a, const struct stat& b) {
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
               a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
    }

    std::vector<Earlier> m_files;
};
}  // namespace

struct FrmMain::SaveCommand {
    const char* routine;
    const char* caption;
    const char* confirm;
    SaveListDisplay display;
    bool split;  // a split needs its options; the pointer shows the hourglass
    const char* success;
    const char* context;
};

void FrmMain::M_Popup1Save_Click() {
    SaveList({"M_Popup1Save_Click", "Save list to file", "Save",
              {.DoSepFld = true, .DoSepRec = true, .DoSplNbr = true, .DoSplDom = true, .DoFull = true, .DoMore = true},
              false, "The List has been successfully saved", "Error Saving List Content to File"});
}

void FrmMain::M_Popup1Split_Click() {
    SaveList({"M_Popup1Split_Click", "Split list", "Split", {.DoSplNbr = true, .DoSplDom = true, .DoFull = true}, true,
              "The List has been successfully split", ""});
}

void FrmMain::SaveList(const SaveCommand& command) {
    ClosingStep closing(this);
    const QString routine = QLatin1String(command.routine);
    const QString context = QLatin1String(command.context);
    auto message = [&](const QString& text, const QString& title, int icon) {
        modGlobalFunctions::DisplayMessage(
            {.message = text, .Title = title, .IconNb = icon, .ShowOk = true, .CForm = this, .OForm = this});
    };
    Trap(
        [&] {
            if (!ThisList) {
                Report(QStringLiteral("List Object not Set"), context, routine);
                return;
            }
            const ListPaneRef pane = ThisList;
            const WorkspaceSide side = SideOf(pane.get());
            if (!side) {
                Report(QStringLiteral("The list '") + pane->name + QStringLiteral("' cannot be saved from here"),
                       context, routine);
                return;
            }
            const int32_t entries = side.pane->GetSel();
            if (entries == 0) return;

            clsEmailList work;
            side.listDesc->CopyTo(&work);
            auto dialog = std::make_unique<FrmSaveList>(this);
            dialog->Form_Load();
            dialog->OwnerForm = this;
            dialog->Entries = entries;
            dialog->ComSave->setText(QLatin1String(command.confirm));
            dialog->setWindowTitle(QLatin1String(command.caption));
            dialog->SetDisplay(command.display);
            dialog->Initialize(&work);
            ListDialogSeam::ShowModal(dialog.get());
            const bool cancel = dialog->Cancel;
            dialog->Unload();
            dialog.reset();
            if (cancel) return;
            if (command.split && !work.ByDomain && !work.ByRecNbr) {
                message(QStringLiteral("Split parameters have not been set properly !"),
                        QStringLiteral("List Split Failed"), MsgBoxIcon::Warning);
                return;
            }
            work.CopyTo(side.resultsDesc);

            StartProgress(kSaveProgressDelayMs, QStringLiteral("Saving To File"),
                          QStringLiteral("Now saving list to file"));
            if (command.split) Screen::Instance()->SetMousePointer(Screen::kHourglassPointer);
            const EarlierOutputs earlier(work.NameOut);

            const int32_t whole = work.KeepAllCols ? 1 : 0;
            const int32_t perFile = work.ByRecNbr ? work.ChunkSize : 0;
            const QByteArray fieldSep = work.FieldSep().toLatin1();
            const QByteArray recordSep = work.RecordSep().toLatin1();
            // A stop keeps what was written, as a finished save would, so the
            // earlier outputs it did not replace go then too; a failure keeps them all.
            auto write = [&](int32_t mustHave, const QString& path) {
                const int32_t result =
                    YRB01(side.slot, mustHave, YRB_MASK_REMOVED, kForward, whole, fieldSep.constData(),
                          recordSep.constData(), QFile::encodeName(path).constData(), perFile, kWriteMode);
                if (result == YRB_STOPPED) earlier.RemoveUnreplaced();
                return result;
            };

            struct DomainMatch {
                QString text;
                int32_t wholeWord;
                int32_t position;
                const char* notFound;
            };
            std::optional<DomainMatch> match;
            if (work.ByDomain && work.ByDomNam)
                match = DomainMatch{work.Domain, 1, YRB_FIND_ANYWHERE, "No matching domain name could be found."};
            // The extension wins when both are set.
            if (work.ByDomain && work.ByDomExt)
                match = DomainMatch{work.extension, 0, YRB_FIND_AT_END, "No matching domain extension could be found."};

            // Negative results end the run: the engine has said why, or the user stopped it.
            if (!match) {
                if (write(YRB_FLAG_SELECTED, work.NameOut) < 0) return;
            } else {
                auto* table = &modCallBack::EngineCallbackTable;
                if (YRB10(side.slot, YRB_ALL_ENTRIES, YRB_MODE_CLEAR, YRB_FLAG_WORK, YRB_FLAG_SELECTED,
                          YRB_MASK_REMOVED, table) < 0)
                    return;
                const int32_t found =
                    YRB21(side.slot, YRB_PART_DOMAIN, match->text.toLatin1().constData(), match->wholeWord, 0, 0,
                          match->position, 0, YRB_FLAG_WORK, YRB_FLAG_SELECTED, YRB_MASK_REMOVED);
                if (found < 0) return;
                if (found == 0) {
                    MonitorObj()->Shutdown();
                    ChronoObj()->Shutdown();
                    Screen::Instance()->SetMousePointer(Screen::kDefaultPointer);
                    message(QLatin1String(match->notFound), QStringLiteral("List Split Failed"), MsgBoxIcon::Logo);
                    return;
                }
                // The two halves stand or fall together: the former files
                // under the names of the first are kept until the second is
                // written.
                const QString inside = SplitOutputs::DomainName(work.NameOut, SplitOutputs::Half::kInside);
                FormerContent former;
                if (perFile == 0) {
                    former.SetAside(inside);
                } else {
                    const int32_t files = SplitOutputs::NumberedFiles(found, perFile);
                    for (int32_t k = 1; k <= files; ++k)
                        former.SetAside(modGlobalFunctions::NumberedFileName(inside, k));
                }
                const int32_t first = write(YRB_FLAG_WORK, inside);
                if (first == YRB_STOPPED) former.Drop();
                if (first < 0) return;
                if (YRB10(side.slot, YRB_ALL_ENTRIES, YRB_MODE_TOGGLE, YRB_FLAG_WORK, YRB_FLAG_SELECTED,
                          YRB_MASK_REMOVED, table) < 0)
                    return;
                const int32_t second =
                    write(YRB_FLAG_WORK, SplitOutputs::DomainName(work.NameOut, SplitOutputs::Half::kOutside));
                if (second >= 0 || second == YRB_STOPPED) former.Drop();
                if (second < 0) return;
            }

            earlier.RemoveUnreplaced();
            side.view->setEnabled(side.resultsDesc->HasResults());
            MonitorObj()->Shutdown();
            ChronoObj()->Shutdown();
            Screen::Instance()->SetMousePointer(Screen::kDefaultPointer);
            message(QLatin1String(command.success), QStringLiteral("List Save Successful"), MsgBoxIcon::Logo);
        },
        [&](const QString& d) { Report(d, context, routine); });
}
