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
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    PollingGroup::runUntilPointerMoves(loop);
}

} // namespace fk
