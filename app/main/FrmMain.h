#pragma once

#include <memory>

#include <QMainWindow>

class ImageList;
class IntervalTimer;
class PanelStatusBar;
class PictureBox;
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
class clsResizer;
class clsVL2;
class clsVirtualListview;

// The program's main window.  Its load wires the program-wide service
// objects to its status bar, timers, progress bar and error console and
// registers the engine callbacks; its unload releases them.
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

    void Form_Load();
    // Returns True (Cancel) to keep the window open.
    bool Form_Unload();

    void InitErrorObj();
    void InitTraceObj();
    void InitInterruptObj();
    void InitMonitorObj();
    void InitChronoObj();
    void InitMemUsageObj();

    // Pumps messages, then takes a pending stop request: True once per request.
    bool IsInterrupt();

    void TmrProgress_Timer();
    void TmrChrono_Timer();
    void TmrMemory_Timer();
    void TmrError_Timer();
    void StatusBar_PanelClick(int index);
    void TxtErrors_Change();
    void ComClearErrConsole_Click();

    // Help menu: the About box (FrmSplash) and the options window.
    QAction* S_HelpAbout = nullptr;
    QAction* S_HelpOptions = nullptr;
    void S_HelpAbout_Click();
    void S_HelpOptions_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Report(const QString& description, const QString& context, const QString& routine);
    bool m_unloaded = false;

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
