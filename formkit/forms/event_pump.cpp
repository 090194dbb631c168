#include "event_pump.h"

#include <QCoreApplication>

namespace fk {

void doEvents()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace fk
