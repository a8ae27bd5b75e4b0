#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

// The options window: its one option is the command of the
// external text editor (EditorPath, setting "Editor").  Ok stores it;
// closing the window otherwise discards the edit.
class FrmOptions : public QDialog {
    Q_OBJECT
public:
    explicit FrmOptions(QWidget* parent = nullptr);

    QFrame* FraBack;
    QTabWidget* SSTabOptions;
    QLabel* LabEditor;
    QLineEdit* TxtEditor;
    QPushButton* ComEditor;
    QPushButton* ComOK;

    void Form_Load();
    void ComEditor_Click();
    void ComOK_Click();

private:
    void Report(const QString& description, const QString& routine);
};
