#pragma once

#include <QtGlobal>

class QObject;

namespace fk::platform {

// What the program can know without asking the display server.
//
// While the pointer is over one of the program's windows, the server reports every move of
// it to the program as an event, and so it does with whatever else could change what the
// program shows. Between two events nothing the program could read has changed: a cursor
// reading stays true, and a timer that only looks at the pointer, the windows and its own
// control would find what it found the last time.

// True while the pointer is over one of the program's windows and nobody else holds it, as
// the server's crossing events tell. False on a display that sends no such events.
bool pointerMovesReported();

// Changes whenever an event reaches any object of the program, except the ticks of the
// timers named quiet below.
quint64 activityCount();

// A timer object whose ticks are not activity, until it is destroyed.
void addQuietTimer(QObject* timer);

// Called once, before the event is delivered, when the next activity arrives.
void callOnNextActivity(void (*wake)());

} // namespace fk::platform
