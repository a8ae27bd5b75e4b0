#pragma once

#include <QDialog>
#include <QPointer>
#include <cstdint>
#include <memory>

class ImageList;
class PanelStatusBar;
class PictureBox;
class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class clsKeyword;
class clsResizer;
class clsRule;
class ListPane;
class clsVirtualListview;

// The criteria editor: the sets of Rules edited in place, a set at a time.
// Its keyword list shows the current set's keywords (a row's tick belongs to
// the row, for the bulk commands), the logic panel shows the parts of a
// mail the set searches with the operators between them, and "Save changes"
// writes the criteria file.  Closing after changes asks whether to save; a
// No reloads every set from the file.
//
// Protocol: create, Form_Load, set OwnerForm, Initialize(RuleIdx),
// ListDialogSeam::ShowModal, destroy.  The editor unloads itself.
class FrmCriteria : public QDialog {
    Q_OBJECT
public:
    explicit FrmCriteria(QWidget* parent = nullptr);
    ~FrmCriteria() override;

    // ---- controls ----
    QGroupBox* FraRules;
    QComboBox* CboRules;
    QPushButton* ComRuleDel;
    QPushButton* ComRuleAdd;
    QGroupBox* FraMain;
    QLabel* LabKeyCnt;
    QLabel* LabKeySel;
    PictureBox* PicVcriteria;
    QPushButton* ComSelAll;
    QPushButton* ComDesAll;
    QPushButton* ComInvSel;
    QPushButton* ComRemove;
    QGroupBox* FraKeyword;
    QLineEdit* TxtKeyword;
    QPushButton* ComAdd;
    QPushButton* ComUpdate;
    QGroupBox* FraLogic;
    QLabel* LabLogic;
    QLabel* LabHeader;
    QComboBox* CboOP1;
    QRadioButton* OptPrec1;
    QLabel* LabContent;
    QComboBox* CboOP2;
    QRadioButton* OptPrec2;
    QLabel* LabSubject;
    QLabel* Lab;
    QLabel* LabCondition;
    QPushButton* ComDone;
    PanelStatusBar* StatusBar;
    QMenu* M_Popup;
    QAction* M_PopupSetAll;
    QAction* M_PopupResAll;
    QAction* M_PopupInvAll;
    QAction* M_PopupSep;
    QAction* M_PopupSort;

    // ---- state ----
    QPointer<QWidget> OwnerForm;  // disabled from Initialize to the unload
    std::unique_ptr<clsVirtualListview> VL_cri;
    ImageList* ItemImages = nullptr;
    ImageList* HeaderImages = nullptr;
    int16_t RuleIdx = 0;  // the set shown first, 1-based; 0 none
    std::shared_ptr<clsRule> CurRule;
    bool IsBusy = false;
    bool IsModified = false;
    bool IsResizing = false;
    int16_t PopupCol = 0;
    int16_t SortColumn = 0;
    bool SortAscending = false;

    void Form_Load();
    void Initialize(int16_t RuleIdx);
    void Form_Activate();
    void Form_Resize();
    // Closes the editor; the first close that is not refused unloads it.
    void Unload();

    // Sets and keywords.
    void LoadRuleCombo();
    bool SetCurrentRule(int16_t idx);
    bool Validate();
    void ClearFields();
    void CboRules_Click();
    void CboOP1_Click();
    void CboOP2_Click();
    void ComRuleAdd_Click();
    void ComRuleDel_Click();
    void ComAdd_Click();
    void ComUpdate_Click();
    void ComRemove_Click();
    void ComSelAll_Click();
    void ComDesAll_Click();
    void ComInvSel_Click();
    void ComDone_Click();
    // Writes Rules to the file; a failure is also shown in a box.
    bool SaveRules(const QString& path);

    // The keyword list and its column menu.
    void VL_cri_ItemTextCallback(int32_t iItem, int32_t iSubItem, QString& sText);
    void VL_cri_ItemImageCallback(int32_t iItem, int32_t iSubItem, int16_t& Image);
    void VL_cri_evCompare(int32_t a, int32_t b, int16_t By, int16_t Dir, int16_t& Result);
    void VL_cri_ColumnClick(int32_t nColumn);
    void VL_cri_MouseDown(int16_t Button, int32_t iItem, int32_t iSubItem, int32_t HitFlags);
    void VL_cri_MouseMove(int16_t Button, int32_t iItem, int32_t iSubItem, int32_t HitFlags);
    void VL_cri_KeyDown(int16_t KeyCode, bool has_ctrl, bool has_shift, bool has_alt);
    void VL_cri_KeyUp(int16_t KeyCode, bool has_ctrl, bool has_shift, bool has_alt);
    void VL_cri_ToolTip(int32_t iItem, int32_t iSubItem, QString& sText);
    void M_PopupSetAll_Click();
    void M_PopupResAll_Click();
    void M_PopupInvAll_Click();
    void M_PopupSort_Click();
    void PicVcriteria_GotFocus();
    void TxtKeyword_GotFocus();

    // The logic panel.
    void SetLogic();
    void DisplayCondition();
    void OptPrec1_Click();
    void OptPrec2_Click();
    bool PreserveKeywordOrder();
    void InitializeRules();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // True when there is a current set with its keyword list; else reported under routine.
    bool HasKeywordList(const char* routine);
    // Select All, Deselect All, Invert on the keyword list: the member, then
    // counts, repaint, logic panel; the set is changed.
    void KeywordSelection(void (ListPane::*member)(), const QString& context, const char* routine);
    struct PartsInUse;
    enum class FlagChange { Set, Reset, Invert };
    // Returns True when the editor must stay open (its changes could not
    // be saved).
    bool Form_Unload();
    void Report(const QString& description, const QString& context, const QString& routine);
    // The keyword a 0-based row shows; null for none.
    std::shared_ptr<clsKeyword> KeywordAt(int32_t iItem);
    int32_t KeywordCount() const;
    PartsInUse FindPartsInUse();
    // The text of the status-bar hint and the tip of a cell; "" for none.
    QString CellHint(int32_t iItem, int32_t iSubItem);
    void ChangeColumnFlag(FlagChange change, const char* routine);
    // The list on the current set's keywords in stored order, no row ticked.
    void ShowKeywords();
    // Sorts the list with the window disabled and the hourglass shown.
    void SortList(int16_t column, bool ascending, int headerIcon);
    void ResetHeaderIcons();
    void PlaceStatusBar();

    std::unique_ptr<clsResizer> Resizer;
    bool m_activated = false;
    bool m_unloaded = false;
};
