#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include <QDialog>
#include <QPointer>
#include <QString>

#include "clsPOP3Mailbox.h"

class ImageList;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidgetItem;
class ReportListView;
class clsList;
class clsResizer;

// "Manage POP3 accounts": the accounts of Mailboxes as rows that the user
// adds, updates and deletes through one line of edit fields.  The rows are
// a copy; only a save replaces Mailboxes with records built from them and
// writes the account file.  Passwords are scrambled as soon as they are
// taken from the field and never shown again.
//
// Account and server names are typed as text and kept as their UTF-8 bytes
// (one Latin-1 character a byte, as the account file and the session hold
// them); the rows, the combo and the captions show them decoded.
//
// Protocol: create, Form_Load, set OwnerForm, Initialize, show modally
// (ListDialogSeam::ShowModal), destroy.  Closing runs Form_Unload, which
// may keep the dialog open.
class FrmMailbox : public QDialog {
    Q_OBJECT
public:
    // What a row keeps besides its cells.
    enum RowData : int {
        kTagRole = Qt::UserRole,        // column 0: the scrambled password
        kBytesRole = Qt::UserRole + 1,  // columns 0 and 2: the name's bytes
    };
    enum Column : int { kUserColumn = 0, kPasswordColumn, kServerColumn, kPortColumn, kTimeOutColumn, kColumns };

    explicit FrmMailbox(QWidget* parent = nullptr);
    ~FrmMailbox() override;

    QPointer<QWidget> OwnerForm;  // disabled from Initialize to the unload

    QGroupBox* FraMailbox;
    QLabel* LabMbxCnt;
    QLabel* LabMbxSel;
    ReportListView* LstMailbox;
    QLabel* LabUsername;
    QLabel* LabPassword;
    QLabel* LabPop3Name;
    QLabel* LabPop3Port;
    QLabel* LabTimeout;
    QLineEdit* TxtUsername;
    QLineEdit* TxtPassword;
    QLineEdit* TxtPop3Name;
    QLineEdit* TxtPop3Port;
    QComboBox* CboTimeout;
    QPushButton* ComAdd;
    QPushButton* ComUpdate;
    QPushButton* ComDelete;
    QPushButton* ComDone;
    ImageList* ImgSort;

    // The dialog's state; only its own code sets it.
    bool IsResizing = false;
    bool IsBusy = false;
    bool IsFilling = false;
    bool IsEditPending = false;
    bool IsModified = false;
    int16_t LastSortColumn = 0;  // 1-based; 0 before the first header click
    bool SkipNoTimeoutWarning = false;

    void Form_Load();
    void Initialize();
    // Closes the dialog; Form_Unload may keep it open.
    void Unload();

    // True when the edit fields describe an account that can be kept;
    // otherwise the first gap is shown and nothing changes.
    bool Validate();
    void ClearFields();

    void ComAdd_Click();
    void ComUpdate_Click();
    void ComDelete_Click();
    void ComDone_Click();
    void LstMailbox_ItemClick(QTreeWidgetItem* Item);
    // Column is the clicked header's 1-based position.
    void LstMailbox_ColumnClick(int Column);
    void Form_Resize();
    void TxtUsername_Change();
    void TxtPassword_Change();
    void TxtPop3Name_Change();
    void TxtPop3Port_Change();
    void CboTimeout_Click();
    // Sets KeyAscii to 0 for a character the box refuses.
    void TxtPop3Port_KeyPress(int& KeyAscii);

    // A typed text as the bytes an account keeps, and back for display.
    static QString Typed(const QString& text);
    static QString Shown(const QString& bytes);
    // Why a password (its bytes) cannot be kept; "" when it can.
    static QString PasswordFault(const QString& bytes);

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // True (Cancel) keeps the dialog open.
    bool Form_Unload();
    QTreeWidgetItem* NewRow() const;
    // A row as the edit fields describe it, with a fresh scrambled password.
    void FillRow(QTreeWidgetItem* row) const;
    QTreeWidgetItem* SelectedRow() const;
    // New records from the rows in their present order; nothing (reported)
    // when a row's number cannot be read.
    std::optional<MailboxCollection> RebuildAccounts(const QString& routine);
    // Rebuilds Mailboxes and writes the account file; on a failure the
    // previous accounts stay and the user is told.
    bool SaveAccounts(const QString& routine);
    // The dialog's questions: the answer of DisplayMessage.
    int Ask(const QString& message, const QString& title, int icon, int focus);
    void Refuse(const QString& message);
    void Report(const QString& description, const QString& context, const QString& routine);

    std::unique_ptr<clsResizer> Resizer;
    std::shared_ptr<clsList> AccountPane;
    bool m_unloaded = false;
};
