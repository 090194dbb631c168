#include "forms/event_pump.h"

#include "platform/cursor.h"

#include <QCoreApplication>
#include <QTimer>

namespace fk {

void doEvents()
{
    // What happens in the pump can move the pointer; a loop that pumps and then asks where
    // the cursor is must get a fresh answer.
    platform::forgetCursorReading();
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
    platform::forgetCursorReading();
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

} // namespace fk
