#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include <QDialog>
#include <QPointer>

#include "clsEmailList.h"

class PanelStatusBar;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class ReportListView;
class RichTextBox;
class clsList;
class clsResizer;

// The kinds of result file Initialize is asked to show.
struct ResultKinds {
    bool P_DoSta = false;  // domain statistics
    bool P_DoDup = false;  // duplicate report
    bool P_DoInv = false;  // invalid report
    bool P_DoOut = false;  // output files
};

// The result display: one modeless window, found again by its name
// "FrmDisplay", that shows the result files of one list descriptor in four
// tabs: the domain statistics, the duplicate and invalid reports (as
// lists) and the output files (as text, one at a time).
//
// Protocol: find a loaded one (IsFormLoaded) or create one and Form_Load it;
// set OwnerForm, CForm and the caption; Initialize; show it when that
// answers True, Unload it otherwise; enable the owner again.
//
// While its owner is disabled by long work the window takes no input, so
// that nothing it does can start inside the owner's engine calls.
class FrmDisplay : public QDialog {
    Q_OBJECT
public:
    // Reports larger than this many bytes are "big".
    static constexpr int64_t kBigFileBytes = 102400;
    // An output file is shown up to this many bytes; the view says when it
    // shows less than the whole file.
    static constexpr int64_t kOutputViewBytes = 16 * 1024 * 1024;

    explicit FrmDisplay(QWidget* parent = nullptr);
    ~FrmDisplay() override;

    QTabWidget* SSTabDisplay;
    QLabel* LabSta;
    QLabel* LabStaCnt;
    ReportListView* LstStat;
    QLabel* LabDup;
    QLabel* LabDupCnt;
    ReportListView* LstDup;
    QLabel* LabInv;
    QLabel* LabInvCnt;
    ReportListView* LstInv;
    QComboBox* CboOutput;
    RichTextBox* RtbOutput;
    QPushButton* ComPrv;
    QPushButton* ComNxt;
    QPushButton* ComEdit;
    PanelStatusBar* StbDisplay;

    std::shared_ptr<clsList> LstStatistics;
    std::shared_ptr<clsList> LstDuplicates;
    std::shared_ptr<clsList> LstInvalids;
    QPointer<QWidget> OwnerForm;  // disabled by a successful Initialize
    QPointer<QWidget> CForm;      // the window this one is centred on

    void Form_Load();
    // Fills the window with the existing files of the kinds asked for.
    // True when there is something to show and the user did not decline;
    // False (nothing shown) otherwise.  DoWarn (none: False) asks first
    // when a file to show is big, and is rewritten from the question's
    // option box when it is asked.
    bool Initialize(clsEmailList* List, const ResultKinds& kinds = {}, bool* DoWarn = nullptr);
    // Closes the window; the first close unloads it.
    void Unload();

    void Form_Resize();
    void SSTabDisplay_Click();
    void CboOutput_Click();
    void ComPrv_Click();
    void ComNxt_Click();
    void ComEdit_Click();
    // Column counted from 0.
    void LstInv_ColumnClick(int Column);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void Form_Unload();
    bool Fill(clsEmailList* List, const ResultKinds& kinds, bool* DoWarn);
    void LoadOutput(const QString& path);
    void PlaceStatusBar();
    // Takes input only while the owner is not disabled by long work.
    void FollowOwner();
    void WatchOwner();
    void Report(const QString& description, const QString& context, const QString& routine);

    std::unique_ptr<clsResizer> m_resizer;
    // The descriptor of the last Initialize, as it was then: the window
    // shows the files it named at that moment.
    std::optional<clsEmailList> CurrentList;
    QPointer<QWidget> m_watchedOwner;
    bool IsResizing = false;
    bool m_initializing = false;
    bool m_unloaded = false;
};
