#pragma once

#include <memory>

#include "ListDialog.h"
#include "SeparatorControls.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class ReportListView;
class clsList;
class clsResizer;

// The record-structure dialog: the user chooses the field and record
// separators of an address-list file and the column that holds the
// addresses, watching a preview of the file's first records.  It edits the
// caller's descriptor in place and writes into it only on "Select".
//
// Protocol: create, Form_Load, set OwnerForm, Initialize(descriptor),
// ApplySeparators, ListDialogSeam::ShowModal, read Cancel (True: closed
// without "Select"), Unload, destroy.
class FrmStructure : public ListDialog {
    Q_OBJECT
public:
    explicit FrmStructure(QWidget* parent = nullptr);
    ~FrmStructure() override;

    QGroupBox* FraStruct;
    ReportListView* LstStruct;
    QLabel* LabField;
    QComboBox* CboField;
    QPushButton* ComDone;
    QGroupBox* FraSeparator;
    QRadioButton* OptFldTab;
    QRadioButton* OptFldCom;
    QRadioButton* OptFldCol;
    QRadioButton* OptFldSpc;
    QRadioButton* OptFldOth;
    QLineEdit* TxtFldSep;
    QPushButton* ComFldCtrl;
    QGroupBox* Frame1;
    QRadioButton* OptRecOth;
    QRadioButton* OptRecCr;
    QRadioButton* OptRecLf;
    QRadioButton* OptRecCrLf;
    QLineEdit* TxtRecSep;
    QPushButton* ComRecCtrl;

    void Form_Load();
    void Initialize(clsEmailList* List);
    // Reads the head of Lst->NameSrc and rebuilds the preview and the
    // column list with the separators chosen.
    void ApplySeparators();
    // The notation routines of the descriptor; only a caret starts a token
    // here, a backslash stands for itself.
    QString Substitute(const QString& Text) const;
    QString Expand(const QString& Text) const;

    void Form_Resize();
    void OptFldTab_Click();
    void OptFldCom_Click();
    void OptFldCol_Click();
    void OptFldSpc_Click();
    void OptFldOth_Click();
    void OptRecCr_Click();
    void OptRecLf_Click();
    void OptRecCrLf_Click();
    void OptRecOth_Click();
    void TxtFldSep_KeyPress(int KeyAscii);
    void TxtRecSep_KeyPress(int KeyAscii);
    void ComFldCtrl_Click();
    void ComRecCtrl_Click();
    // Column counted from 1.
    void LstStruct_ColumnClick(int Column);
    void LstStruct_GotFocus();
    void ComDone_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void Form_Unload() override;

private:
    void EnableFldSepCtrls();
    void EnableRecSepCtrls();
    void FldOption_Click();
    void RecOption_Click();
    void OtherOption_Click(QRadioButton* option, QLineEdit* box, void (FrmStructure::*enableRule)());
    void ShowEmptyFile();
    void Report(const QString& description, const QString& routine);

    SeparatorControls Separators;
    std::unique_ptr<clsResizer> m_resizer;
    std::shared_ptr<clsList> m_pane;
    bool IsResizing = false;
    bool IsInitializing = false;
    bool ColNbrApplied = false;
};
