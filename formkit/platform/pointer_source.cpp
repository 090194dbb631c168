#include "platform/pointer_source.h"

#include "platform/x11_pointer_source.h"

#include <QCursor>
#include <QElapsedTimer>
#include <memory>
#include <utility>

namespace fk::platform {

namespace {

PointerSource* replacement = nullptr;

} // namespace

QPoint PointerSource::read() { return QCursor::pos(); }

double PointerSource::seconds() const
{
    static const QElapsedTimer start = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return static_cast<double>(start.nsecsElapsed()) / 1e9;
}

void PointerSource::report()
{
    ++reports_;
    if (wake_) {
        listen(false);
        std::exchange(wake_, nullptr)();
    }
}

void PointerSource::wakeOnNextReport(std::function<void()> wake)
{
    wake_ = std::move(wake);
    listen(true);
}

PointerSource& pointerSource()
{
    if (replacement)
        return *replacement;
    // Made once and kept to the end of the process: it outlives the application object,
    // whose event dispatcher its socket notifier would need to go in order.
    static PointerSource* const programs = [] {
        std::unique_ptr<PointerSource> x11 = openX11PointerSource();
        return x11 ? x11.release() : new PointerSource;
    }();
    return *programs;
}

void replacePointerSource(PointerSource* source) { replacement = source; }

} // namespace fk::platform
