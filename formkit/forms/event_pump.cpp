#include "forms/event_pump.h"

#include <QCoreApplication>
#include <QTimer>

namespace fk {

void doEvents()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void waitForEvents(int milliseconds)
{
    // The pump blocks until some source has something to deliver; this timer is the
    // source that ends the wait when no event comes.
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    deadline.start(milliseconds);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

} // namespace fk
