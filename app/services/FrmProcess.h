#pragma once

#include <memory>

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class clsError;
class clsInterrupt;

// The progress window: a caption, a line of action text and a Cancel button
// that raises the interrupt flag.  It floats over its owner without being
// modal; only the progress monitor closes it.
class FrmProcess : public QDialog {
    Q_OBJECT
public:
    explicit FrmProcess(QWidget* owner = nullptr);

    std::shared_ptr<clsError> MyError;
    std::shared_ptr<clsInterrupt> Interrupt;

    QFrame* FraBack;
    QLabel* LabAction;
    QPushButton* ComCancel;

    void Form_Load();
    void Form_Unload();
    // Runs the unload and lets the window go.
    void Unload();

    void ComCancel_Click();
    void ComCancel_MouseMove();
    void FraBack_MouseMove();
    void LabAction_MouseMove();
    void FraBack_MouseDown(int button);

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Report(const QString& description, const QString& routine);

    int m_savedPointer = 0;
    bool m_unloaded = false;
};
