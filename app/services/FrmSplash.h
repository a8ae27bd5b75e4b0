#pragma once

#include <QDialog>

class IntervalTimer;
class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

// The product window: shown at start-up unless the setting
// "Hide" is "1", closed by Ok or by its timer after 5 s, and reused as the
// About box (the caller hides ChkHide; in that role the window never writes
// "Hide").
class FrmSplash : public QDialog {
    Q_OBJECT
public:
    explicit FrmSplash(QWidget* parent = nullptr);

    QFrame* FraMain;
    QLabel* ImgLogo;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblPlatform;
    QLabel* lblDescription;
    QFrame* Line1;
    QCheckBox* ChkHide;
    QPushButton* ComOK;
    IntervalTimer* TmrSplash;

    void Form_Load();
    // Stores ChkHide in "Hide", except in the About role (ChkHide hidden).
    void Form_Unload();
    void ComOK_Click();
    void TmrSplash_Timer();
    void FraMain_MouseDown(int button);

    // "Version <major>.<minor>.<revision>".
    static QString VersionText();

public slots:
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Report(const QString& description, const QString& routine);
    bool m_unloaded = false;
};
