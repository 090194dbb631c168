#include "forms/event_pump.h"

#include "forms/polling_group.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace fk {

void doEvents()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void waitForPointer(int milliseconds)
{
    // A timer of the wait's own, gone with it: a single shot would still fire once the pointer
    // ended the wait, waking the program for nothing once a move in a drag.
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(milliseconds);
    PollingGroup::runUntilPointerMoves(loop);
}

} // namespace fk
