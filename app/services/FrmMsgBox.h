#pragma once

#include <cstdint>

#include <QDialog>

#include "MsgBoxTypes.h"

class IntervalTimer;
class QCheckBox;
class QLabel;
class QPushButton;

// Layout of the box for a measured message, in twips.
struct MsgBoxLayout {
    int64_t width = 0;        // window width
    int64_t height = 0;       // window height before the no-button shrink
    int64_t rowWidth = 0;     // width of the button row
    int64_t firstLeft = 0;    // left of the first shown button
    int64_t buttonTop = 0;
    int64_t optionTop = 0;
    int64_t optionWidth = 0;
};

// The program's own modal message box.
class FrmMsgBox : public QDialog {
    Q_OBJECT
public:
    explicit FrmMsgBox(QWidget* parent = nullptr);

    // The message on show; its buttons and text are cleared when the box closes.
    MsgBoxRequest Request;
    bool IsCheck = false;
    int Result = 0;

    QLabel* LabMessage;
    QPushButton* ComYes;
    QPushButton* ComNo;
    QPushButton* ComYesAll;
    QPushButton* ComOK;
    QPushButton* ComCancel;
    QPushButton* ComNoAll;
    QCheckBox* ChkOption;
    QLabel* ImgInfo;
    QLabel* ImgWarning;
    QLabel* ImgError;
    QLabel* ImgQuestion;
    QLabel* ImgOrmid;
    IntervalTimer* TmrHide;

    void Form_Load();
    // Lays the box out, shows it modally and cleans up when it closes.
    // Always False; the answer is in Result.
    bool Display();

    static MsgBoxLayout Layout(int64_t messageWidth, int64_t messageHeight, int buttons, bool hasChoice);

    void ComYes_Click();
    void ComNo_Click();
    void ComYesAll_Click();
    void ComNoAll_Click();
    void ComOK_Click();
    void ComCancel_Click();
    void ChkOption_Click();
    void TmrHide_Timer();
    void Form_Activate();
    void Form_Deactivate();

    int64_t MessageWidth() const { return m_msgWidth; }
    int64_t MessageHeight() const { return m_msgHeight; }

public slots:
    void reject() override;

protected:
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MessageSize();
    bool GetNextLine(const QString& text, QString& line, const QString& separator, int& start);
    void Answer(int bit);

    int64_t m_msgWidth = 0;
    int64_t m_msgHeight = 0;
    int m_savedPointer = 0;
    bool m_pointerSaved = false;
    int m_countdown = 0;
};
