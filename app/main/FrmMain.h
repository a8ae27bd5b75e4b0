#pragma once

#include <QMainWindow>

class IntervalTimer;
class PanelStatusBar;
class PictureBox;
class QPushButton;
class QTabWidget;
class RichTextBox;

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
};
