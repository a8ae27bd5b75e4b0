#pragma once

#include <cstdint>

#include "ListDialog.h"
#include "SeparatorControls.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The option groups a save dialog offers, as in
// SetDisplay({.DoSepRec = true, .DoFull = true, .DoMore = true}).  With
// DoMore the dialog opens compact and "More Criteria" shows the others.
struct SaveListDisplay {
    bool DoSepFld = false;  // field separators
    bool DoSepRec = false;  // record separators
    bool DoSplNbr = false;  // split by entry count
    bool DoSplDom = false;  // split by domain
    bool DoFull = false;    // "Output full input record"
    bool DoMore = false;    // the compact / expanded button
};

// The save-and-split options dialog: the output file, the separators of
// the written records, the split by entry count or by domain, and whether
// whole records are written.  It edits the caller's descriptor: the output
// name as the box changes, every other field on confirmation.
//
// Protocol: create, Form_Load, set OwnerForm (and Entries for a split),
// the caption of ComSave and the window's, SetDisplay, Initialize(descriptor),
// ListDialogSeam::ShowModal, read Cancel (True: closed instead of
// confirmed), Unload, destroy.
class FrmSaveList : public ListDialog {
    Q_OBJECT
public:
    explicit FrmSaveList(QWidget* parent = nullptr);
    ~FrmSaveList() override;

    bool HasSepFld = false;
    bool HasSepRec = false;
    bool HasSplNbr = false;
    bool HasSplDom = false;
    bool HasFull = false;
    bool HasMore = false;
    // The entries the caller writes: where the output's folder cannot be
    // listed, each numbered file a split of them makes is tested by name.
    int32_t Entries = 0;

    QGroupBox* FraOut;
    QLineEdit* TxtOutFile;
    QPushButton* ComOutFile;
    QPushButton* ComSave;
    QPushButton* ComMore;
    QCheckBox* ChkFull;
    QGroupBox* FraFldSep;
    QRadioButton* OptFldTab;
    QRadioButton* OptFldCol;
    QRadioButton* OptFldCom;
    QRadioButton* OptFldSpc;
    QRadioButton* OptFldOth;
    QLineEdit* TxtFldSep;
    QPushButton* ComFldCtrl;
    QGroupBox* FraRecSep;
    QRadioButton* OptRecCr;
    QRadioButton* OptRecLf;
    QRadioButton* OptRecCrLf;
    QRadioButton* OptRecOth;
    QLineEdit* TxtRecSep;
    QPushButton* ComRecCtrl;
    QGroupBox* FraSplNbr;
    QCheckBox* ChkSplNbr;
    QLineEdit* TxtChunk;
    QGroupBox* FraSplDom;
    QCheckBox* ChkSplDom;
    QRadioButton* OptSplDom;
    QRadioButton* OptSplExt;
    QLineEdit* TxtDomain;
    QLabel* LabDom;
    QLineEdit* TxtExtension;
    QLabel* LabExt;

    void Form_Load();
    void SetDisplay(const SaveListDisplay& display = {});
    void Initialize(clsEmailList* List);
    // The window's outer height in twips, title bar and borders counted
    // as 325; the client area ends at the last frame shown.
    double FormHeight() const { return m_height; }

    void OptFldTab_Click();
    void OptFldCol_Click();
    void OptFldCom_Click();
    void OptFldSpc_Click();
    void OptFldOth_Click();
    void OptRecCr_Click();
    void OptRecLf_Click();
    void OptRecCrLf_Click();
    void OptRecOth_Click();
    void ChkSplNbr_Click();
    void ChkSplDom_Click();
    void OptSplDom_Click();
    void OptSplExt_Click();
    void TxtOutFile_Change();
    // Sets KeyAscii to 0 for a character the box refuses.
    void TxtChunk_KeyPress(int& KeyAscii);
    void TxtChunk_LostFocus();
    void ComOutFile_Click();
    void ComFldCtrl_Click();
    void ComRecCtrl_Click();
    void ComMore_Click();
    void ComSave_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetMode(const SaveListDisplay& mode);
    void EnableFldSepCtrls();
    void EnableRecSepCtrls();
    void SetDomainOptions();
    // Enables a box and its colour; the focus goes into an enabled box
    // only while the dialog is shown.
    void EnableBox(QLineEdit* box, bool enabled);
    // Yes alone goes on; No, or a box closed without an answer, keeps the
    // dialog open.
    bool MayOverwrite(const QString& message, const QString& title);
    // True when a file the split may overwrite or remove is there: one the
    // pattern matches, or, where the folder cannot be listed, one of the
    // names the split writes or removes.
    bool SplitOutputPresent(const QString& pattern) const;
    void Report(const QString& description, const QString& routine);

    SeparatorControls Separators;
    bool m_expanded = false;
    double m_height = 0;
};
