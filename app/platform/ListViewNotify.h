#pragma once

#include <cstdint>

#include <QEvent>
#include <QString>

class QWidget;

// A notification of a list view, sent to the window that is to answer it:
// cell requests and column clicks go to the list's parent, header and
// tooltip notifications to the list window itself.  Codes are the
// platform's published numbers.  A window procedure that answers sets
// Result and takes the event; an event nobody takes gets the list's default.
class ListViewNotify : public QEvent {
public:
    static constexpr int32_t LVN_COLUMNCLICK = -108;
    static constexpr int32_t LVN_GETDISPINFOA = -150;
    static constexpr int32_t HDN_ITEMCHANGEDA = -301;
    static constexpr int32_t HDN_ITEMDBLCLICKA = -303;
    static constexpr int32_t HDN_DIVIDERDBLCLICKA = -305;
    static constexpr int32_t HDN_BEGINTRACKA = -306;
    static constexpr int32_t HDN_ENDTRACKA = -307;

    // Mask bits of a cell request.
    static constexpr int32_t LVIF_TEXT = 0x1;
    static constexpr int32_t LVIF_IMAGE = 0x2;
    static constexpr int32_t LVIF_STATE = 0x8;

    // The item record of a cell request: the list fills iItem, iSubItem,
    // mask and cchTextMax; the answer fills the rest.
    struct DispInfo {
        int32_t mask = 0;
        int32_t iItem = 0;
        int32_t iSubItem = 0;
        int32_t state = 0;
        int32_t stateMask = 0;
        QString text;
        int32_t cchTextMax = 0;
        int32_t iImage = 0;
    };

    static QEvent::Type EventType();

    ListViewNotify(QWidget* from, int32_t code);

    QWidget* hwndFrom;
    int32_t code;
    int32_t iItem = -1;     // column clicks and header items: the column
    int32_t iSubItem = 0;
    DispInfo* item = nullptr;  // cell requests
    intptr_t Result = 0;
};
