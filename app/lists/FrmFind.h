#pragma once

#include <cstdint>

#include <QDialog>
#include <QPointer>
#include <QString>

#include "ListsCol.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

// The find window: a modeless window over one list pane (ThisList) that
// finds the next entry holding a text, counts such entries or selects
// exactly them.  An engine-bound pane is searched by the engine; a pane over
// a report list view is searched row by row here.  One window serves the
// program (form name "FrmFind"); its opener re-targets it.
class FrmFind : public QDialog {
    Q_OBJECT
public:
    explicit FrmFind(QWidget* parent = nullptr);
    ~FrmFind() override;

    // The pane searched; set by the opener before Initialize.
    ListPaneRef ThisList;

    QGroupBox* FraBack;
    QComboBox* TxtFind;
    QLabel* LabFCount;
    QComboBox* CboSearchIn;
    QCheckBox* ChkWholeWord;
    QCheckBox* ChkMatchCase;
    QPushButton* ComFind;
    QPushButton* ComCount;
    QPushButton* ComSelectMatch;
    QPushButton* ComDone;

    // Where the next Find starts: a 1-based report row (0: past the last)
    // and a 0-based engine entry.
    int32_t ListPos = 1;
    int32_t EnginePos = 0;

    void Form_Load();
    // Offers "<all columns>" and the pane's searchable columns; a non-empty
    // SearchString becomes the text to find.
    void Initialize(const QString& SearchString = QString());

    void TxtFind_Change();
    void TxtFind_GotFocus();
    void TxtFind_LostFocus();
    void TxtFind_KeyPress(int KeyAscii);
    void CboSearchIn_Click();
    void ChkMatchCase_Click();
    void ChkWholeWord_Click();
    void ComFind_Click();
    void ComCount_Click();
    void ComSelectMatch_Click();
    void ComDone_Click();
    void FraBack_MouseMove(int Button);
    void Form_Unload();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    enum class Command { Find, Count, Select };
    void RunCommand(Command command);
    // The end of a command's work, before its result message: meter and
    // progress stopped, default pointer, the pane's window usable again.
    void EndWork();
    void FindNext(const QString& text);
    // The number of matching entries after Count or Select; negative when
    // the engine failed or was stopped.
    int32_t CountOrSelect(const QString& text, bool select);
    // Searches the report rows from Pos; True on a hit, Pos then past it.
    bool LookForItem(int32_t& Pos, bool DoSelect, bool DoCheck, bool DoShow);
    void AddToFindStrings(const QString& text);
    void LoadCombo(bool SelectNewest);
    void Restart();
    // The search-in choice's value: -1 for every column.
    int32_t SearchColumn();
    void Report(const QString& description, const QString& routine) const;

    QString m_textAtFocus;
    bool m_busy = false;  // a command runs
    // The pane's window, disabled while a command searches its list.
    QPointer<QWidget> m_paneForm;
    bool m_unloaded = false;
};
