#include "forms/event_pump.h"

#include "platform/cursor.h"

#include <QCoreApplication>

namespace fk {

void doEvents()
{
    // What happens in the pump can move the pointer; a loop that pumps and then asks where
    // the cursor is must get a fresh answer.
    platform::forgetCursorReading();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace fk
