#include "platform/cursor.h"

#include "platform/pointer_watch.h"

#include <QElapsedTimer>
#include <QCursor>
#include <QPoint>
#include <QWidget>
#include <optional>

namespace fk {

namespace {

// One reading serves every caller for a few milliseconds: the timers of a batch of polling
// controls fire within that time of each other, and a person cannot tell the difference.
// While the display server reports every pointer move to the program, a reading stays true
// until the next event. Never past one: a caller that has seen the event must not be
// handed the position from before it, or a control that then sleeps would keep that.
struct CursorCache {
    static constexpr qint64 kFreshForMs = 4;
    std::optional<QPoint> reading;
    QElapsedTimer age;
    quint64 activityAtReading = 0;

    bool stillTrue() const
    {
        if (!reading || !age.isValid() || platform::activityCount() != activityAtReading)
            return false;
        return age.elapsed() < kFreshForMs || platform::pointerMovesReported();
    }

    QPoint read()
    {
        if (!stillTrue()) {
            reading = QCursor::pos();
            age.start();
            activityAtReading = platform::activityCount();
        }
        return *reading;
    }
};

CursorCache& cache()
{
    static CursorCache instance;
    return instance;
}

} // namespace

int GetCursorPos(POINT* point)
{
    if (!point)
        return 0;
    const QPoint p = cache().read();
    point->x = p.x();
    point->y = p.y();
    return 1;
}

int GetWindowRect(HWND window, RECT* rect)
{
    if (!window || !rect)
        return 0;
    const QPoint topLeft = window->mapToGlobal(QPoint(0, 0));
    rect->left = topLeft.x();
    rect->top = topLeft.y();
    rect->right = topLeft.x() + window->width();
    rect->bottom = topLeft.y() + window->height();
    return 1;
}

namespace platform {

void forgetCursorReading() { cache().reading.reset(); }

} // namespace platform
} // namespace fk
