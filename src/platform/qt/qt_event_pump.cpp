#include "platform/qt/qt_event_pump.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace lumetra {

void QtEventPump::processEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// The window keeps answering and the poll timer keeps ticking for the whole pause.
void QtEventPump::sleepMilliseconds(int milliseconds) {
    if (milliseconds <= 0 || m_endRequested)
        return;
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    m_pauses.push_back(&loop);
    loop.exec();
    m_pauses.pop_back();
}

// Before the main event loop runs (start-up), quitting the application does not end a
// pause: the pause is ended here.
void QtEventPump::requestEnd() {
    m_endRequested = true;
    for (QEventLoop* pause : m_pauses)
        pause->quit();
    QCoreApplication::quit();
}

} // namespace lumetra
