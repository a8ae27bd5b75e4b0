#pragma once

#include <cstdint>
#include <memory>

#include <QLabel>
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

class ImageList;
class QEvent;
class ReportListView;
class clsError;
class clsInterrupt;
class clsMonitor;

// A group of controls that follow a pane's contents (EnableDisable).
using ControlGroup = QList<QPointer<QWidget>>;

// What every list pane offers, whatever its kind, so that forms call any
// pane through one interface.  A member that means nothing for a kind of
// pane does nothing and answers its neutral value (false, 0, "", -1 for a
// row).  No member lets a failure reach its caller: it is reported through
// MyError and the neutral value is answered.
class ListPane {
public:
    virtual ~ListPane();
    ListPane(const ListPane&) = delete;
    ListPane& operator=(const ListPane&) = delete;

    // ---- properties -------------------------------------------------------
    int32_t LType = 0;  // ListKind
    QString name;
    QPointer<QWidget> Frm;
    QPointer<QLabel> LabCnt;
    QPointer<QLabel> LabSel;
    ControlGroup ColOnCnt;
    ControlGroup ColOnSel;
    ControlGroup ColOffCnt;
    ControlGroup ColOffSel;
    ControlGroup ColOnEmp;   // engine-bound panes: enabled while no list is loaded
    ControlGroup ColOffEmp;  // engine-bound panes: enabled while a list is loaded
    std::shared_ptr<clsError> MyError;
    std::shared_ptr<clsInterrupt> Interrupt;
    std::shared_ptr<clsMonitor> Monitor;
    int32_t Item = 0;  // the row the context menu acts on; kept for the form
    QString DialogDir;
    QString CapCnt;  // "" means "object(s)"
    QString CapSel;  // "" means "selected"
    int32_t VListNb = 0;
    QPointer<QWidget> Frame;

    // ---- window ---------------------------------------------------------------
    virtual void Initialize(QWidget* hwndParent);
    virtual QWidget* hWnd() const;
    virtual bool WndProc(QWidget* hWnd, QEvent* event);
    virtual bool WndProcParent(QWidget* hWnd, QEvent* event);
    virtual void Resize();
    virtual void Refresh();
    virtual void RepaintItem(int32_t iItem);
    virtual void GetFocus();
    virtual void SetVisible(int32_t iItem);
    virtual void SetActiveItem(int32_t iItem);
    virtual int32_t GetItem();
    virtual bool GetMouseItem(int32_t& iItem, int32_t& iSubItem, int32_t& HitFlags);
    virtual bool HitTest(int32_t x, int32_t y, int32_t& iItem, int32_t& iSubItem, int32_t& fFlags);
    virtual bool SetImageList(ImageList* ListId);
    virtual bool SetBackColor(uint32_t Color);
    virtual void SetExtendedStyle(int32_t StyleEx);

    // ---- columns ----------------------------------------------------------------
    virtual bool InsertColumn(int32_t Pos, const QString& Text, int16_t Width = 0, int16_t Factor = 0);
    virtual bool DeleteColumn(int32_t iCol);
    virtual bool SetColumnWidth(int32_t iCol, int32_t Width);
    virtual int16_t GetColumnCount();
    virtual QString GetColumnName(int32_t iCol);
    virtual int32_t GetColumnFactor(int32_t iCol);
    virtual int32_t GetWidth();
    virtual void SetHeaderImageList(ImageList* ListId);
    virtual void SetHeaderIcon(int32_t iCol, int32_t Icon);
    virtual void SetHeadersIcon(int32_t Icon);
    virtual void ResizeCols();

    // ---- rows, counts and selection ------------------------------------------
    virtual void SetCount(int32_t Count);
    virtual void Clear();
    virtual int32_t GetCnt(bool Real = false) = 0;
    virtual int32_t GetSel() = 0;
    virtual bool GetEmpty();
    virtual void SelectAll() = 0;
    virtual void DeselectAll() = 0;
    virtual void InvertAll() = 0;
    virtual void RemoveSel();
    virtual int32_t Idx(int32_t Pos);
    virtual int32_t RevIdx(int32_t Pos);
    virtual bool GetCheckState(int32_t Idx);
    virtual void SetCheckState(int32_t Idx, bool Flag);
    virtual void BuildReverseIndex();
    virtual bool Sort(int16_t By, bool Ascending);

    // ---- labels and dependent controls ------------------------------------------
    virtual void SetLabels();
    virtual void SetControls();
    virtual void EnableDisable(int32_t TotCnt, int32_t TotSel);
    virtual void SetAll();

    // ---- simple list pane -----------------------------------------------------------
    virtual ReportListView* List() const;
    virtual void SetList(ReportListView* Obj);
    virtual void EnableForm(bool Enable);

protected:
    ListPane(int32_t lType, const QString& module);

    // The report of a failure inside a member: module of the pane, the
    // member's name, to the console, no dialog.
    void ReportError(const QString& description, const QString& routine) const;
    // Enables the group's controls; combo boxes also get the window or the
    // button-face colour.
    static void SetGroup(const ControlGroup& group, bool enabled);
    void WriteLabels(int32_t TotCnt, int32_t TotSel);
    void SwitchGroups(int32_t TotCnt, int32_t TotSel);

    QString m_module;
};
