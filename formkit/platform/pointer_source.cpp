#include "platform/pointer_source.h"

#include "core/logging.h"

#include <QCursor>
#include <QGuiApplication>

namespace fk::platform {

namespace {

// Where a coordinate lies against a closed range: 0 on its low end, 1 inside, 2 on its high end.
int sideOf(int value, int low, int high) { return value == low ? 0 : value < high ? 1 : 2; }

// Where a point lies against a rectangle whose right and bottom edges lie one past its last
// column and row: outside it, or in one of nine places on or inside its edges. Whatever a hit
// test compares with the edges, strictly or not, its answer is the same all over each place.
int placeOf(const QPoint& point, const QRect& r)
{
    const int right = r.x() + r.width(), bottom = r.y() + r.height();
    if (point.x() < r.x() || point.x() > right || point.y() < r.y() || point.y() > bottom)
        return -1;
    return 3 * sideOf(point.x(), r.x(), right) + sideOf(point.y(), r.y(), bottom);
}

} // namespace

PointerReading PointerSource::read()
{
    return {QCursor::pos(), QGuiApplication::mouseButtons() != Qt::NoButton};
}

void PointerSource::reportEveryMove(bool every)
{
    if (everyMove_.exchange(every) != every)
        qCDebug(lcPointer) << (every ? "a loop follows every move of the pointer" : "only crossings are reported");
}

std::vector<int> PointerSource::placesOf(const QPoint& point) const
{
    std::vector<int> places;
    for (const QRect& r : watched_)
        places.push_back(placeOf(point, r));
    return places;
}

bool PointerSource::offer(const PointerReading& reading)
{
    const std::lock_guard lock(mutex_);
    if (newest_ && newest_->time && reading.time && static_cast<std::int32_t>(reading.time - newest_->time) < 0)
        return false;
    const bool crossed = !newest_ || placesOf(newest_->position) != placesOf(reading.position);
    newest_ = reading;
    return crossed;
}

bool PointerSource::watch(std::vector<QRect> rectangles)
{
    const std::lock_guard lock(mutex_);
    const std::vector<int> before = newest_ ? placesOf(newest_->position) : std::vector<int>{};
    watched_ = std::move(rectangles);
    return newest_ && placesOf(newest_->position) != before;
}

} // namespace fk::platform
