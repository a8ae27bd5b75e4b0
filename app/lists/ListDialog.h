#pragma once

#include <QDialog>
#include <QPointer>

class clsEmailList;

// What the structure and save dialogs share: the caller's descriptor they
// edit, the window they disable, and the unload that ends them however
// they close (the close button, Esc, the caller's Unload).  Confirming
// only hides a dialog; Cancel tells the caller which way it ended and
// stays readable until the dialog is destroyed.
class ListDialog : public QDialog {
    Q_OBJECT
public:
    ~ListDialog() override;

    clsEmailList* Lst = nullptr;  // the caller's; released at unload
    QPointer<QWidget> OwnerForm;  // disabled from Initialize to the unload
    bool Cancel = false;          // True once the dialog has unloaded

    // Closes the dialog; the first close unloads it.
    void Unload();

protected:
    explicit ListDialog(QWidget* parent);

    // Sets Cancel, lets the descriptor go, closes a loaded picker and
    // enables the owner.  Runs once.
    virtual void Form_Unload();

    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    bool m_unloaded = false;
};
