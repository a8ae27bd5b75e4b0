#pragma once

#include <array>
#include <memory>
#include <vector>

#include <QMainWindow>
#include <QPointer>

#include "ListsCol.h"
#include "clsEmailList.h"
#include "clsPOP3Session.h"

struct ResultKinds;
class ImageList;
class IntervalTimer;
class PanelStatusBar;
class PictureBox;
class QAction;
class QMenu;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class ReportListView;
class RichTextBox;
class clsMergeFile;
class clsResizer;
class ListPane;
class clsVL2;
class clsVirtualListview;
class clsPOP3Mailbox;
class FileChangeWatcher;

// The program's main window.  Its load wires the program-wide service
// objects to its status bar, timers, progress bar and error console, builds
// the list panes, registers the engine callbacks, loads the reference lists
// into their views and into the engine and reads the block list's settings;
// its unload offers to save the console, shuts the engine down, closes the
// other windows and releases what the window holds.
class FrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit FrmMain(QWidget* parent = nullptr);
    ~FrmMain() override;

    QTabWidget* SSTab;
    RichTextBox* TxtErrors;
    QPushButton* ComClearErrConsole;
    QPushButton* ComSaveErrConsole = nullptr;
    PanelStatusBar* StatusBar;
    PictureBox* Bar;
    IntervalTimer* TmrProgress;
    IntervalTimer* TmrChrono;
    IntervalTimer* TmrMemory;
    IntervalTimer* TmrError;

    bool ErrorLogUnsaved = false;
    // Handed to the result display, which clears it when the user asks not
    // to be warned again.
    bool WarnBigResults = false;
    // While set, the mark check boxes of the two lists ignore their clicks.
    bool SuppressMarkClicks = false;

    // The list-file descriptors, for the window's life.  The three reference
    // lists' are filled at load and never change.
    clsEmailList LeftListDesc;
    clsEmailList LeftResultsDesc;
    clsEmailList RightListDesc;
    clsEmailList RightResultsDesc;
    clsEmailList MergeDesc;
    clsEmailList BlockListDesc;
    clsEmailList ValidExtDesc;
    clsEmailList ExcludeExtDesc;
    clsEmailList RejectKeywordDesc;

    void Form_Load();
    // Returns True (Cancel) to keep the window open.
    bool Form_Unload();

    void InitErrorObj();
    void InitTraceObj();
    void InitInterruptObj();
    void InitMonitorObj();
    void InitChronoObj();
    void InitMemUsageObj();
    // Session1 retrieves (timer TmrPOP31), Session2 deletes (TmrPOP32).
    bool InitSessionObj();
    std::unique_ptr<clsPOP3Session> Session1;
    std::unique_ptr<clsPOP3Session> Session2;

    // Pumps messages, then takes a pending stop request: True once per request.
    bool IsInterrupt();

    void TmrProgress_Timer();
    void TmrChrono_Timer();
    void TmrMemory_Timer();
    void TmrError_Timer();
    void StatusBar_PanelClick(int index);
    void TxtErrors_Change();
    void ComClearErrConsole_Click();
    void ComSaveErrConsole_Click();
    void SSTab_Click();

    // ---- menus ----
    QMenu* M_File = nullptr;
    QAction* S_Exit = nullptr;
    QMenu* M_Help = nullptr;
    QAction* S_HelpAbout = nullptr;
    QAction* S_HelpOnline = nullptr;
    QAction* S_HelpWeb = nullptr;
    QAction* Sep0 = nullptr;
    QAction* S_HelpOptions = nullptr;
    QMenu* M_Ormid = nullptr;
    QAction* M_Ormid_TS = nullptr;

    // The list panes' context menu, never in the menu bar.  An entry that
    // opens a sub-menu is that sub-menu's action.  Shortcuts are only shown:
    // the panes' key handlers own the keys.
    QMenu* M_Popup1 = nullptr;
    QAction* M_Popup1Find = nullptr;
    QAction* Sep2 = nullptr;
    QAction* M_Popup1Stat = nullptr;
    QAction* Sep3 = nullptr;
    QAction* M_Popup1Select = nullptr;
    QAction* M_Popup1Duplicate = nullptr;
    QAction* M_Popup1Invalid = nullptr;
    QAction* M_Popup1SelectAll = nullptr;
    QAction* M_Popup1DeselectAll = nullptr;
    QAction* M_Popup1Invert = nullptr;
    QAction* M_Popup1Remove = nullptr;
    QAction* Sep4 = nullptr;
    QAction* M_Popup1Sort = nullptr;
    QAction* M_Popup1SortEmail = nullptr;
    QAction* M_Popup1SortEmailAsc = nullptr;
    QAction* M_Popup1SortEmailDes = nullptr;
    QAction* M_Popup1SortDomain = nullptr;
    QAction* M_Popup1SortDomainAsc = nullptr;
    QAction* M_Popup1SortDomainDes = nullptr;
    QAction* M_Popup1SortUser = nullptr;
    QAction* M_Popup1SortUserAsc = nullptr;
    QAction* M_Popup1SortUserDes = nullptr;
    QAction* M_Popup1SortFlag = nullptr;
    QAction* M_Popup1SortFlagInv = nullptr;
    QAction* M_Popup1SortFlagInvAsc = nullptr;
    QAction* M_Popup1SortFlagInvDes = nullptr;
    QAction* M_Popup1SortFlagDup = nullptr;
    QAction* M_Popup1SortFlagDupAsc = nullptr;
    QAction* M_Popup1SortFlagDupDes = nullptr;
    QAction* M_Popup1SortFlagDel = nullptr;
    QAction* M_Popup1SortFlagDelAsc = nullptr;
    QAction* M_Popup1SortFlagDelDes = nullptr;
    QAction* M_Popup1SortFlagCom = nullptr;
    QAction* M_Popup1SortFlagComAsc = nullptr;
    QAction* M_Popup1SortFlagComDes = nullptr;
    QAction* Sep5 = nullptr;
    QAction* M_Popup1Mark = nullptr;
    QAction* M_Popup1MarkInv = nullptr;
    QAction* M_Popup1MarkDup = nullptr;
    QAction* M_Popup1MarkDel = nullptr;
    QAction* M_Popup1UnMark = nullptr;
    QAction* M_Popup1UnMarkAll = nullptr;
    QAction* M_Popup1UnMarkInv = nullptr;
    QAction* M_Popup1UnMarkDup = nullptr;
    QAction* M_Popup1UnMarkDel = nullptr;
    QAction* M_Popup1UnMarkFull = nullptr;
    QAction* Sep6 = nullptr;
    QAction* M_Popup1Split = nullptr;
    QAction* M_Popup1Bcc = nullptr;
    QAction* M_Popup1Save = nullptr;
    QAction* M_Popup1Import = nullptr;
    QAction* M_Popup1Clear = nullptr;

    // ---- "Address Validation": the reference lists and the block list ----
    // Rebuilds the three files the engine reads from the first column of
    // the four reference lists the user edits.
    void PrepareFiles();
    void ComEditCountry_Click();
    void ComEditGeneric_Click();
    void ComEditUser_Click();
    void ComEditKeyword_Click();
    void ComBlkFileFind_Click();
    void ComBlkFileStruct_Click();
    void ComBlkFileEdit_Click();
    void TxtBlkFile_Change();

    // ---- Mailbox tab: the accounts ----
    // Replaces Mailboxes with the accounts of the file and refills
    // CboUserName from them, selecting the first.
    void LoadMailboxes(const QString& path);
    // The chosen account named in the tab's two frame captions.
    void CboUserName_Click();
    // "Retrieve mails" and "Delete selection" follow the account choice.
    void SetButtonPerm();
    // The account manager, then the combo rebuilt with the same account chosen.
    void ComMailbox_Click();

    // ---- Mailbox tab: the criteria sets ----
    // Replaces Rules with the sets of the criteria file.
    void LoadRules(const QString& path);
    // Refills CboRules from Rules, in their order, choosing none.
    void LoadRuleCombo();
    void CboRules_Click();
    // The criteria editor on the chosen set; the combo refilled afterwards.
    void ComKeyword_Click();
    // Ticks exactly the rows whose mail the chosen set selects.
    void ComSelCri_Click();
    void ConnectCriteria();

    // ---- Mailbox tab: retrieval, deletion, the message view, the mail list
    // and the saves.  Session1.Mails is the model of all of them. ----
    void ComMailGet_Click();
    // Parses every mail of the collection in place; none for null.
    void ParseMessages(const std::shared_ptr<clsPOP3Session::MailList>& mails);
    void Session1_OnPOP3StateChange(const QString& text);
    void Session1_OnPOP3Error(const QString& text);
    void Session1_OnPOP3RetrieveMail(int32_t MsgIdx, int32_t MsgCnt);
    void Session1_OnPOP3DownloadComplete();
    void TmrPOP31_Timer();
    void ChkTrace_Click();
    void OptEmailCon_Click();
    void OptEmailHdr_Click();
    void OptEmailFul_Click();
    void TxtLines_GotFocus();
    // KeyAscii set to 0 swallows the key.
    void TxtLines_KeyPress(int16_t& KeyAscii);
    void TxtLines_LostFocus();
    void ComMailDel_Click();
    void Session2_OnPOP3StateChange(const QString& text);
    void Session2_OnPOP3Error(const QString& text);
    void Session2_OnPOP3RetrieveMail(int32_t MsgIdx, int32_t MsgCnt);
    void TmrPOP32_Timer();
    // Index: 1-based position in Session1.Mails; outside it nothing is shown.
    void DisplayDetails(int32_t Index);
    void HighlightMatch(const clsMail* mail);
    bool HasMatches(const clsMail* mail);
    void ComHighLight_Click();
    void VL_mail_ItemTextCallback(int32_t iItem, int32_t iSubItem, QString& sText);
    void VL_mail_ItemImageCallback(int32_t iItem, int32_t iSubItem, int16_t& Image);
    void VL_mail_evCompare(int32_t a, int32_t b, int16_t By, int16_t Dir, int16_t& Result);
    void VL_mail_ColumnClick(int32_t nColumn);
    void VL_mail_MouseDown(int16_t Button, int32_t iItem, int32_t iSubItem, int32_t HitFlags);
    void VL_mail_KeyDown(int16_t KeyCode, bool has_ctrl, bool has_shift, bool has_alt);
    void VL_mail_KeyUp(int16_t KeyCode, bool has_ctrl, bool has_shift, bool has_alt);
    void ComMailSelectAll_Click();
    void ComMailDeselectAll_Click();
    void ComMailInverse_Click();
    void ComMailClear_Click();
    void ComMailSave_Click();
    void ComSaveHeader_Click();
    void ComSaveContent_Click();
    // True while a mail-pane command walks or replaces Session1.Mails:
    // no other may start then.
    bool MailPaneBusy() const { return m_mailPaneBusy; }

private:
    // After a cancelled retrieval or deletion the status bar shows the
    // closing box's text, on one line, in place of the last progress text.
    void ShowCancelledOutcome(const clsPOP3Session& session, const QString& outcome);
    // Marks a mail-pane command as running for its life; a command begun
    // while another runs is refused.
    class MailPaneRun {
    public:
        explicit MailPaneRun(FrmMain* form) : m_form(form), m_refused(form->m_mailPaneBusy) {
            m_form->m_mailPaneBusy = true;
        }
        ~MailPaneRun() {
            if (!m_refused) m_form->m_mailPaneBusy = false;
        }
        MailPaneRun(const MailPaneRun&) = delete;
        MailPaneRun& operator=(const MailPaneRun&) = delete;
        bool Refused() const { return m_refused; }

    private:
        FrmMain* m_form;
        bool m_refused;
    };
    // True, reported, when another mail-pane command runs.
    bool MailPaneRefused(const MailPaneRun& run, const char* routine);
    void ConnectMailPaneCommands();  // constructor: buttons, options, timers
    void ConnectMailPaneEvents();    // load: the mail list's and the sessions' events
    // The account chosen in CboUserName; none when outside Mailboxes.
    std::shared_ptr<clsPOP3Mailbox> MailRunAccount() const;
    // The account's time-out as its session timer's interval; false,
    // reported, when it is negative or beyond 32 bits of milliseconds.
    bool MailTimerInterval(const clsPOP3Mailbox& account, const QString& routine, int& intervalMs);
    void MailTimeOut(IntervalTimer* timer, clsPOP3Session* session, const QString& routine);
    void MailListCommand(void (ListPane::*member)(), const char* routine);
    void SaveMailView(RichTextBox* view, const char* routine, const QString& success);
    bool m_mailPaneBusy = false;
    // The account the shown mails were downloaded from.
    QString m_mailsUser;
    QString m_mailsServer;
    // The mail list's last clicked header and whether its next sort is descending.
    int16_t m_mailSortColumn = 0;
    bool m_mailSortDescending = false;

public:

    // ---- "Manage Lists": the two-list workspace ----
    // One side of the workspace: its engine list, pane, frame, descriptors,
    // flag boxes and "Results" button.  Left and right handlers are twins
    // that differ only by the side they pass.
    struct SortState {
        int16_t LastSortColumn = 0;
        int32_t NextSortOrder = 0;  // 0 ascending, 1 descending
    };
    struct WorkspaceSide {
        int32_t slot = 0;  // 1 left, 2 right; 0 for no side
        std::shared_ptr<clsVL2> pane;
        QGroupBox* frame = nullptr;
        clsEmailList* listDesc = nullptr;
        clsEmailList* resultsDesc = nullptr;
        QCheckBox* markInv = nullptr;
        QCheckBox* markDup = nullptr;
        QCheckBox* markDel = nullptr;
        QPushButton* view = nullptr;
        SortState* sort = nullptr;
        QString word;  // "Left" or "Right", as the texts name the side
        explicit operator bool() const { return slot != 0; }
    };
    // The side of slot 1 or 2; an empty binding for any other number.
    WorkspaceSide Side(int32_t slot);
    // The side of a pane: the engine-bound pane's slot; none for another pane.
    WorkspaceSide SideOf(const ListPane* pane);

    // Cells, clicks and header clicks of the two engine-bound panes.
    void VL_left_ItemTextCallback(int32_t iItem, int32_t iSubItem, QString& sText);
    void VL_left_ItemImageCallback(int32_t iItem, int32_t iSubItem, int16_t& Image);
    void VL_left_MouseDown(int16_t Button, int32_t iItem, int32_t iSubItem, int32_t HitFlags);
    void VL_left_ColumnClick(int32_t nColumn);
    void VL_right_ItemTextCallback(int32_t iItem, int32_t iSubItem, QString& sText);
    void VL_right_ItemImageCallback(int32_t iItem, int32_t iSubItem, int16_t& Image);
    void VL_right_MouseDown(int16_t Button, int32_t iItem, int32_t iSubItem, int32_t HitFlags);
    void VL_right_ColumnClick(int32_t nColumn);

    // Sorting: the engine sorts a side's display order; the reference views
    // sort their own rows.
    void SortBy(ListPane* pane, int32_t key, int32_t order);
    void M_Popup1SortEmailAsc_Click();
    void M_Popup1SortEmailDes_Click();
    void M_Popup1SortDomainAsc_Click();
    void M_Popup1SortDomainDes_Click();
    void M_Popup1SortUserAsc_Click();
    void M_Popup1SortUserDes_Click();
    void M_Popup1SortFlagInvAsc_Click();
    void M_Popup1SortFlagInvDes_Click();
    void M_Popup1SortFlagDupAsc_Click();
    void M_Popup1SortFlagDupDes_Click();
    void M_Popup1SortFlagDelAsc_Click();
    void M_Popup1SortFlagDelDes_Click();
    void M_Popup1SortFlagComAsc_Click();
    void M_Popup1SortFlagComDes_Click();
    // Column is the clicked header's 1-based position.
    void LstDNCountry_ColumnClick(int Column);
    void LstDNGeneric_ColumnClick(int Column);
    void LstDNKeyword_ColumnClick(int Column);
    void LstDNUser_ColumnClick(int Column);
    // True when the user declines.
    bool SortWarning();
    bool DuplicateWarning();

    // The six flag boxes: ticking runs the engine over the side's list.
    void ChkMarkInvLeft_Click();
    void ChkMarkInvRight_Click();
    void ChkMarkDupLeft_Click();
    void ChkMarkDupRight_Click();
    void ChkMarkDelleft_Click();
    void ChkMarkDelRight_Click();

    // An entry's flags in words, for the tips of the two panes; "" for none.
    QString GetLeftListItemTip(int32_t row, int32_t column);
    QString GetRightListItemTip(int32_t row, int32_t column);
    // The tip of header column index + 1 of the two panes; first is unused.
    QString GetHeaderItemTip(int32_t first, int32_t index);

    // The list popup menu: an access slot per item, its visible and enabled
    // flags worked out for a pane, then set on the items.
    enum Popup1Slot : int {
        kPopFind, kPopSep2, kPopStat, kPopSep3, kPopSelect, kPopSelectAll, kPopDeselectAll,
        kPopInvert, kPopRemove, kPopSep4, kPopSort, kPopSep5, kPopMark, kPopMarkInv,
        kPopMarkDup, kPopMarkDel, kPopUnMark, kPopUnMarkAll, kPopUnMarkInv, kPopUnMarkDup, kPopUnMarkDel,
        kPopUnMarkFull, kPopSep6, kPopSplit, kPopBcc, kPopSave, kPopImport, kPopClear, kPopSlots
    };
    using Popup1Flags = std::array<bool, kPopSlots>;
    // Item is the row under the mouse, -1 off the rows; True when an item is visible.
    bool SetPopup1Access(const ListPaneRef& pane, Popup1Flags& Vflags, Popup1Flags& Eflags, int32_t Item);
    void ActivatePopup1Access(const Popup1Flags& Vflags, const Popup1Flags& Eflags);
    // The Ctrl keys of the two lists run the menu's commands that are enabled.
    void KeyboardShortcuts(int16_t KeyCode, bool has_ctrl, bool has_shift, bool has_alt);
    // Keys, mouse moves and tips of the two panes.
    void VL_left_KeyDown(int16_t KeyCode, bool has_ctrl, bool has_shift, bool has_alt);
    void VL_right_KeyDown(int16_t KeyCode, bool has_ctrl, bool has_shift, bool has_alt);
    void VL_left_KeyUp(int16_t KeyCode, bool has_ctrl, bool has_shift, bool has_alt);
    void VL_right_KeyUp(int16_t KeyCode, bool has_ctrl, bool has_shift, bool has_alt);
    void VL_left_MouseMove(int16_t Button, int32_t iItem, int32_t iSubItem, int32_t HitFlags);
    void VL_right_MouseMove(int16_t Button, int32_t iItem, int32_t iSubItem, int32_t HitFlags);
    void VL_left_ToolTip(int32_t iItem, int32_t iSubItem, QString& sText);
    void VL_right_ToolTip(int32_t iItem, int32_t iSubItem, QString& sText);

    // Frame captions from the sides' source files; the both-list controls.
    void ResizeListCaptions(bool DoLeft, bool DoRight);
    void SetBothListPerm();

    // List commands on ThisList.
    void M_Popup1Import_Click();
    void ImportEmailList(ListPane* pane);
    void M_Popup1Save_Click();
    void M_Popup1Split_Click();
    void M_Popup1SelectAll_Click();
    void M_Popup1DeselectAll_Click();
    void M_Popup1Invert_Click();
    // The program's find window over ThisList, opened or re-targeted.
    void M_Popup1Find_Click();
    void ComCompare_Click();
    // The left list's entries, then the right list's, into one file.
    void ComSMerge_Click();
    // The addresses of ThisList's selected entries as one comma-separated line.
    void M_Popup1Bcc_Click();
    // The result display on a side's result files ("Results"), or on the
    // domain statistics of ThisList's side, written first.
    void ComViewLeft_Click();
    void ComViewRight_Click();
    void M_Popup1Stat_Click();
    // Clear List: after a Yes the side's list is freed, its pane, caption,
    // flag boxes and "Results" reset, and the other list's compare marks go.
    void M_Popup1Clear_Click();
    // One entry (ThisList's Item) flagged or un-flagged by hand; every mark
    // of every entry removed with the side's flag boxes unticked.
    void M_Popup1MarkInv_Click();
    void M_Popup1MarkDup_Click();
    void M_Popup1MarkDel_Click();
    void M_Popup1UnMarkAll_Click();
    void M_Popup1UnMarkInv_Click();
    void M_Popup1UnMarkDup_Click();
    void M_Popup1UnMarkDel_Click();
    void M_Popup1UnMarkFull_Click();
    // The selection replaced by the duplicate or the invalid entries; no
    // flag, no report.
    void M_Popup1Duplicate_Click();
    void M_Popup1Invalid_Click();
    // ThisList's selection removed by the pane after a Yes.
    void M_Popup1Remove_Click();

    // Pane buttons: ThisList becomes the button's pane, then the command runs.
    void ComSLImp_Click();
    void ComSRImp_Click();
    void ComSLSave_Click();
    void ComSRSave_Click();
    void ComSLSelAll_Click();
    void ComSRSelAll_Click();
    void ComSLDesAll_Click();
    void ComSRDesAll_Click();
    void ComSLInvSel_Click();
    void ComSRInvSel_Click();
    void ComSLFind_Click();
    void ComSRFind_Click();
    void ComLClear_Click();
    void ComRClear_Click();

    void S_Exit_Click();
    void S_HelpAbout_Click();
    void S_HelpOnline_Click();
    void S_HelpWeb_Click();
    void S_HelpOptions_Click();
    void M_Ormid_TS_Click();

    // ---- "Merge Multiple Lists": the file pane (rows of MergeFiles) ----
    // Files chosen in the file dialog are appended, then the structure step runs.
    void ComAddFiles_Click();
    // The structure dialog on MergeDesc for the current file, then both
    // counting passes from FirstFileToCount (every file when the structure
    // changed) and the totals.
    void ComSelectStructure_Click();
    // Each pass resets the counts of the rows from FirstRow (row 1 when 0,
    // and always row 1 when its counter is off) and, with the counter on,
    // counts them again.
    void DisplayRecordCount(bool CounterOn, int32_t FirstRow);
    void DisplayInvDupCount(bool CounterOn, int32_t FirstRow);
    // TotalsText built from the counted files, shown in status panel 1.
    void SetTotals(bool DoRecords, bool DoInvDup);
    void ChkCntRec_Click();
    void ChkCntInvDup_Click();
    // The first display row that the passes of the next structure step cover.
    int32_t FirstFileToCount = 0;
    QString TotalsText;

    void VL_file_ItemTextCallback(int32_t iItem, int32_t iSubItem, QString& sText);
    void VL_file_ItemImageCallback(int32_t iItem, int32_t iSubItem, int16_t& Image);
    void VL_file_ColumnClick(int32_t nColumn);
    // a and b are file numbers (1-based positions in MergeFiles).
    void VL_file_evCompare(int32_t a, int32_t b, int16_t By, int16_t Dir, int16_t& Result);
    void VL_file_MouseDown(int16_t Button, int32_t iItem, int32_t iSubItem, int32_t HitFlags);
    void VL_file_KeyDown(int16_t KeyCode, bool has_ctrl, bool has_shift, bool has_alt);
    void VL_file_ToolTip(int32_t iItem, int32_t iSubItem, QString& sText);
    void ComSelAll_Click();
    void ComDesAll_Click();
    void ComInvSel_Click();
    // The ticked files leave the pane.
    void ComRemSel_Click();
    // The ticked files, in display order, merged into one list file.
    void ComBigMerge_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Report(const QString& description, const QString& context, const QString& routine);
    void BuildMenus();
    // Hands a page to the browser with the hourglass shown meanwhile.
    void OpenWebPage(const char* address, const QString& routine);
    // What the unload does after its question: engine, windows, objects.
    void ShutDown();
    // The block list's column from the settings; 1, reported, when the
    // setting holds no column number.
    int32_t BlockListColumn();
    // The engine's reference-list loaders (YRB04, YRB05, YRB06, YRB08).
    using ReferenceLoader = int32_t (*)(const char* path, int32_t column, const char* fieldSep,
                                        const char* recordSep);
    static void LoadReferenceList(ReferenceLoader loader, const clsEmailList& desc);
    void ConnectReferenceCommands();
    // Appends the first field of every record of a reference file to Collected.
    void GetFirstCol(QString& Collected, const QString& File, bool SkipFirst, const QString& Separator);
    struct ReferenceEdit;
    void EditReference(const ReferenceEdit& edit);
    // The engine list and the view of one reference list, from its files.
    void ReloadReference(const ReferenceEdit& edit);
    // Follows the four reference lists on disk from the end of the load on:
    // a saved change is taken as an Edit takes it, once no command runs.
    void WatchReferenceLists();
    void ReferenceListsChanged(const QStringList& names);
    // True while a command of the window runs: its content disabled, a
    // modal window up, an engine call letting messages in, a flag box's or
    // counter's or mail-pane command, or an Edit, rebuild or reload of the
    // reference lists.
    bool CommandRunning() const;
    FileChangeWatcher* m_referenceWatcher = nullptr;
    bool m_referenceReloading = false;
    bool m_unloaded = false;
    // The filters that hand a control's focus and keys on to this form's
    // handlers; ~FrmMain removes them before the controls go.
    std::vector<QPointer<QObject>> m_eventForwarders;
    // Workspace wiring, each with its own commands.
    void ConnectWorkspacePanes();  // at load, once the panes exist
    void ConnectSortHeaders();
    void ConnectFlagBoxes();
    void ConnectPaneButtons();
    void ConnectCompare();
    void ConnectMerge();
    // The file pane's buttons, counter boxes and pane events (once the pane exists).
    void ConnectFilePane();
    // Set while a counter box's Click runs.
    bool m_cntRecBusy = false;
    bool m_cntInvDupBusy = false;
    // The file pane's last sorted column and whether its next sort is descending.
    int16_t m_fileSortColumn = 0;
    bool m_fileSortDescending = false;
    // The file shown at a display row of the file pane; none outside its rows.
    std::shared_ptr<clsMergeFile> FileAtRow(int32_t row) const;
    void ConnectResultButtons();
    void ConnectMailPaneAccounts();
    // The loaded result display, or a new one, captioned for the side,
    // shown on the descriptor's files of those kinds; closed when it has
    // nothing to show.
    void OpenResultViewer(int32_t slot, clsEmailList* desc, const ResultKinds& kinds);
    void ShowResults(int32_t slot, const char* routine);
    // The item of an access slot.
    QAction* Popup1Item(int slot) const;
    void ConnectPopup1();
    void ConnectPaneKeysAndTips();
    void PaneRightClick(const WorkspaceSide& side, int32_t iItem, int32_t HitFlags);
    void PaneKeyDown(const WorkspaceSide& side, int16_t KeyCode, bool has_ctrl, bool has_shift, bool has_alt);
    void PaneKeyUp(const WorkspaceSide& side, int16_t KeyCode);
    void PaneMouseMove(const WorkspaceSide& side, int32_t iItem, int32_t iSubItem, int32_t HitFlags);
    void PaneToolTip(const WorkspaceSide& side, int32_t iItem, int32_t iSubItem, QString& sText);
    // The entry tip of the side's pane.
    QString EntryTip(const WorkspaceSide& side, int32_t row, int32_t column);
    // "VL_left_" or "VL_right_" and the event: the routine of a pane handler's report.
    static QString PaneRoutine(const WorkspaceSide& side, const char* event);
    // The header tips of the two panes' flag and text columns.
    void SetHeaderTips();
    QString ListItemTip(const WorkspaceSide& side, int32_t row, int32_t column, const char* routine);
    // The list file the user picks in the file dialog, from the folder of
    // the last one; "" when cancelled.
    QString ChooseListFile();
    // The record-structure dialog on the descriptor; True when confirmed.
    bool AskStructure(clsEmailList* desc);
    struct SelectionCommand;
    void RunSelection(const SelectionCommand& command);
    // A pane button: ThisList becomes the pane, then the command runs.
    void PaneButton(const std::shared_ptr<clsVL2>& pane, void (FrmMain::*command)(), const char* routine,
                    const QString& context);
    struct SaveCommand;
    void SaveList(const SaveCommand& command);
    void FinishOkInv();
    void FinishOkDup();
    void FinishOkDel();
    // What one kind of flag box does; the Click of a box of that kind on a side.
    struct FlagKind;
    void FlagBoxClick(int32_t slot, const FlagKind& kind);
    // Set while a box's Click runs, by side (slot - 1) and kind.
    bool m_flagBoxBusy[2][3] = {};
    SortState m_leftSort;
    SortState m_rightSort;
    // The reference views' last clicked header (1-based, 0 for none).
    int m_lastSortedCountry = 0;
    int m_lastSortedGeneric = 0;
    int m_lastSortedKeyword = 0;
    int m_lastSortedUser = 0;
    // Set when the user asked not to be warned again, until the program ends.
    bool m_noSortWarning = false;
    bool m_noDuplicateWarning = false;

    // The screen's pointer while a handler runs: the hourglass on request,
    // the default again however the handler ends.
    class PointerGuard {
    public:
        PointerGuard() = default;
        ~PointerGuard();
        PointerGuard(const PointerGuard&) = delete;
        PointerGuard& operator=(const PointerGuard&) = delete;
        void Hourglass();
    };

    // SuppressMarkClicks set for its life and cleared however the scope
    // ends, so the flag boxes never stay deaf after a failure.
    class MarkClicksSuppressed {
    public:
        explicit MarkClicksSuppressed(FrmMain* form) : m_form(form) { m_form->SuppressMarkClicks = true; }
        ~MarkClicksSuppressed() { m_form->SuppressMarkClicks = false; }
        MarkClicksSuppressed(const MarkClicksSuppressed&) = delete;
        MarkClicksSuppressed& operator=(const MarkClicksSuppressed&) = delete;

    private:
        FrmMain* m_form;
    };
    // One entry's flag command; the selection of flagged entries.
    struct EntryFlagCommand;
    void FlagEntry(const EntryFlagCommand& command);
    struct FlaggedSelection;
    void SelectFlagged(const FlaggedSelection& command);

    // The closing step of every long workspace command, run however the
    // command ends: progress window and elapsed-time meter stopped, the
    // window enabled again, the default pointer.
    class ClosingStep {
    public:
        explicit ClosingStep(FrmMain* form) : m_form(form) {}
        ~ClosingStep();
        ClosingStep(const ClosingStep&) = delete;
        ClosingStep& operator=(const ClosingStep&) = delete;

    private:
        FrmMain* m_form;
    };
    // The elapsed-time meter ("hh:mm:ss", its timer on) and the progress
    // window armed for after delayMs, owned by owner (this window when null),
    // with the bar.
    void StartProgress(int32_t delayMs, const QString& caption, const QString& message, QWidget* owner = nullptr);

    // ---- controls of the tabs ----
public:
    // Tab 0, "Manage Lists": the two list panes and the controls on both lists.
    QGroupBox* FraLeft = nullptr;
    PictureBox* PicVLleft = nullptr;
    QLabel* LabCntLeft = nullptr;
    QLabel* LabSelLeft = nullptr;
    QPushButton* ComSLImp = nullptr;
    QPushButton* ComSLSave = nullptr;
    QPushButton* ComViewLeft = nullptr;
    QPushButton* ComSLFind = nullptr;
    QPushButton* ComSLSelAll = nullptr;
    QPushButton* ComSLDesAll = nullptr;
    QPushButton* ComSLInvSel = nullptr;
    QPushButton* ComLClear = nullptr;
    QCheckBox* ChkMarkInvLeft = nullptr;
    QCheckBox* ChkMarkDupLeft = nullptr;
    QCheckBox* ChkMarkDelleft = nullptr;
    QGroupBox* FraRight = nullptr;
    PictureBox* PicVLright = nullptr;
    QLabel* LabCntRight = nullptr;
    QLabel* LabSelRight = nullptr;
    QPushButton* ComSRImp = nullptr;
    QPushButton* ComSRSave = nullptr;
    QPushButton* ComViewRight = nullptr;
    QPushButton* ComSRFind = nullptr;
    QPushButton* ComSRSelAll = nullptr;
    QPushButton* ComSRDesAll = nullptr;
    QPushButton* ComSRInvSel = nullptr;
    QPushButton* ComRClear = nullptr;
    QCheckBox* ChkMarkInvRight = nullptr;
    QCheckBox* ChkMarkDupRight = nullptr;
    QCheckBox* ChkMarkDelRight = nullptr;
    QGroupBox* FraCompare = nullptr;
    QPushButton* ComCompare = nullptr;
    QRadioButton* OptCmpCom = nullptr;
    QRadioButton* OptCmpDif = nullptr;
    QGroupBox* FraSMerge = nullptr;
    QPushButton* ComSMerge = nullptr;
    QCheckBox* ChkMergeSelect = nullptr;

    // Tab 1, "Merge Multiple Lists": the file pane.
    QGroupBox* FraMerge = nullptr;
    PictureBox* PicVLfile = nullptr;
    QLabel* LabCnt = nullptr;
    QLabel* LabSel = nullptr;
    QPushButton* ComAddFiles = nullptr;
    QPushButton* ComSelectStructure = nullptr;
    QPushButton* ComSelAll = nullptr;
    QPushButton* ComDesAll = nullptr;
    QPushButton* ComInvSel = nullptr;
    QPushButton* ComRemSel = nullptr;
    QPushButton* ComBigMerge = nullptr;
    QCheckBox* ChkCntRec = nullptr;
    QCheckBox* ChkCntInvDup = nullptr;

    // Tab 2, "Address Validation": the reference lists and the block list.
    QGroupBox* FraEmailValidation = nullptr;
    ReportListView* LstDNCountry = nullptr;
    ReportListView* LstDNGeneric = nullptr;
    QPushButton* ComEditCountry = nullptr;
    QPushButton* ComEditGeneric = nullptr;
    QGroupBox* FraEmailRejection = nullptr;
    ReportListView* LstDNUser = nullptr;
    QPushButton* ComEditUser = nullptr;
    QGroupBox* FraKeywordRejection = nullptr;
    ReportListView* LstDNKeyword = nullptr;
    QPushButton* ComEditKeyword = nullptr;
    QGroupBox* FraEmailBlackList = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* TxtBlkFile = nullptr;
    QPushButton* ComBlkFileFind = nullptr;
    QPushButton* ComBlkFileStruct = nullptr;
    QPushButton* ComBlkFileEdit = nullptr;

    // Tab 3, "Mail Accounts": the account, the mail list and the message view.
    QGroupBox* FraMailbox = nullptr;
    QComboBox* CboUserName = nullptr;
    QPushButton* ComMailbox = nullptr;
    QPushButton* ComMailGet = nullptr;
    QRadioButton* OptEmailHdr = nullptr;
    QRadioButton* OptEmailCon = nullptr;
    QLineEdit* TxtLines = nullptr;
    QRadioButton* OptEmailFul = nullptr;
    QCheckBox* ChkTrace = nullptr;
    QCheckBox* ChkVerbose = nullptr;
    QComboBox* CboRules = nullptr;
    QPushButton* ComKeyword = nullptr;
    QGroupBox* FraMail = nullptr;
    PictureBox* PicVLmail = nullptr;
    QLabel* LabMailCnt = nullptr;
    QLabel* LabMailSel = nullptr;
    QPushButton* ComMailSelectAll = nullptr;
    QPushButton* ComMailDeselectAll = nullptr;
    QPushButton* ComMailInverse = nullptr;
    QPushButton* ComSelCri = nullptr;
    QPushButton* ComMailSave = nullptr;
    QPushButton* ComMailDel = nullptr;
    QPushButton* ComMailClear = nullptr;
    QLabel* LabMsgHeader = nullptr;
    RichTextBox* TxtHeader = nullptr;
    QLabel* LabMsgContent = nullptr;
    RichTextBox* TxtContent = nullptr;
    QPushButton* ComSaveHeader = nullptr;
    QPushButton* ComSaveContent = nullptr;
    QPushButton* ComHighLight = nullptr;
    IntervalTimer* TmrPOP31 = nullptr;
    IntervalTimer* TmrPOP32 = nullptr;

    // Tab 4, "Console": the error console (TxtErrors and its buttons above).
    QGroupBox* FraErrConsole = nullptr;
    QCheckBox* ChkErrPrompt = nullptr;

    // The shared row and header images of the view panes; the reference
    // lists' header images (numbered from 1).
    ImageList* ItemImages = nullptr;
    ImageList* HeaderImages = nullptr;
    ImageList* ImgSort = nullptr;

    // The view panes; ListsCol holds them too.
    std::shared_ptr<clsVL2> VL_left;
    std::shared_ptr<clsVL2> VL_right;
    std::shared_ptr<clsVirtualListview> VL_file;
    std::shared_ptr<clsVirtualListview> VL_mail;

    // True while a layout pass runs, and from the start of the load until
    // the first resize, which therefore lays nothing out.
    bool IsResizing = false;

    // Creates every control of the tabs (called once by the constructor).
    void BuildControls();
    bool InitListsCol();
    bool InitResizerObj();
    void Form_Resize();
    void PicVLleft_GotFocus();
    void PicVLright_GotFocus();
    void PicVLfile_GotFocus();
    void PicVLmail_GotFocus();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Sizes the window so that the tab pages show at their designed size.
    void FitWindowToTabs();
    std::shared_ptr<clsResizer> m_resizer;
    // ---- end of the controls of the tabs ----
};
