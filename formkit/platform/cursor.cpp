#include "cursor.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QCursor>
#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <optional>

namespace fk {

namespace {

struct CursorCache {
    std::optional<QPoint> reading;
    QPointer<QAbstractEventDispatcher> watched;

    // Every wake-up of the event loop starts a new batch: input may have arrived.
    void watch()
    {
        auto* dispatcher = QAbstractEventDispatcher::instance();
        if (!dispatcher || dispatcher == watched)
            return;
        watched = dispatcher;
        QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, [this] { reading.reset(); });
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [this] { reading.reset(); });
    }

    QPoint read()
    {
        watch();
        if (!reading || !watched)
            reading = QCursor::pos();
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
