#include "platform/qt/qt_event_pump.h"

#include <QCoreApplication>
#include <QThread>

namespace lumetra {

void QtEventPump::processEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtEventPump::sleepMilliseconds(int milliseconds) {
    if (milliseconds > 0)
        QThread::msleep(static_cast<unsigned long>(milliseconds));
}

} // namespace lumetra
