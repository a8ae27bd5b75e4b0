#pragma once

#include <array>

#include <QDialog>
#include <QPointer>

#include "clsEmailList.h"

class QGroupBox;
class QLabel;
class QLineEdit;

// The special-character picker: one row per control character (its code,
// its token, its name).  A click on a row's token or name writes the token
// into the text box that had OwnerForm's focus when the picker opened; the
// picker stays open until Enter, Esc or its close button.
class FrmControl : public QDialog {
    Q_OBJECT
public:
    explicit FrmControl(QWidget* parent = nullptr);
    ~FrmControl() override;

    // The dialog whose text box receives the tokens.
    QPointer<QWidget> OwnerForm;

    QGroupBox* FraControl;
    // Row NN: Lab[NN] the code, LabChar[NN] the token, LabCharDesc[NN] the
    // name; their object names are LabNN, LabCharNN and LabCharDescNN.
    std::array<QLabel*, ControlCodeCount> Lab{};
    std::array<QLabel*, ControlCodeCount> LabChar{};
    std::array<QLabel*, ControlCodeCount> LabCharDesc{};

    // Opens a picker for the owner, docked outside its right edge, and
    // returns when it closes; nothing when a picker is loaded already.
    static void ShowFor(QWidget* owner);
    // Closes the loaded picker, if any.
    static void UnloadLoaded();

    void LabChar_Click(int Index);
    void LabCharDesc_Click(int Index);
    // 13 (Enter) and 27 (Esc) close the picker.
    void Form_KeyPress(int KeyAscii);
    void Form_Unload();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    // Takes the owner's focused box, if a text box, as the one the tokens go to.
    void Target(QWidget* owner);
    // Gives the box the selection or the caret it had when the picker
    // opened, unless its text changed since.
    void SelectAsOpened();
    void Insert(const QString& Token);

    // The window under the modal picker is drawn disabled, which takes the
    // focus and the selection from the box: both are kept here.
    QPointer<QLineEdit> m_box;
    QString m_boxText;  // its text when the picker opened
    int m_anchor = 0;   // where the user's selection began
    int m_caret = 0;    // and ended; the same for a caret alone
    bool m_selectionOwed = false;
};
