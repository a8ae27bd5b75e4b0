#include "ListViewNotify.h"

QEvent::Type ListViewNotify::EventType() {
    static const int type = QEvent::registerEventType();
    return static_cast<QEvent::Type>(type);
}

ListViewNotify::ListViewNotify(QWidget* from, int32_t c) : QEvent(EventType()), hwndFrom(from), code(c) {
    setAccepted(false);
}
