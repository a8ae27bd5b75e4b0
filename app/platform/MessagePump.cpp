#include "MessagePump.h"

#include <QCoreApplication>

void MessagePump::DoEvents() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}
