#pragma once

#include <QDialog>
#include <QPointer>

class QGroupBox;
class QLineEdit;
class QPushButton;

// The prompt for a new criteria set's name.  It refuses an empty name, one
// the file could not keep, and one another set already has (whatever the
// case); the editor reads the name back and creates the set.
//
// Protocol: create, set OwnerForm, Initialize, ListDialogSeam::ShowModal,
// read Cancel (True: closed without "Select") and TxtName, Unload, destroy.
class FrmName : public QDialog {
    Q_OBJECT
public:
    explicit FrmName(QWidget* parent = nullptr);
    ~FrmName() override;

    QGroupBox* FraBack;
    QLineEdit* TxtName;
    QPushButton* ComSelect;

    QPointer<QWidget> OwnerForm;  // disabled from Initialize to the unload
    bool Cancel = false;          // True once the prompt has unloaded

    void Initialize();
    void ComSelect_Click();
    // Closes the prompt; the first close unloads it.
    void Unload();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void Form_Unload();
    void Report(const QString& description, const QString& context, const QString& routine);
    // An error box over the prompt; the prompt stays open.
    void Refuse(const QString& message, const QString& title);
    bool m_unloaded = false;
};
