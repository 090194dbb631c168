#include "pointer_source.h"

#include "x11_pointer_source.h"

#include <QCursor>
#include <QElapsedTimer>
#include <memory>
#include <utility>

namespace fk::platform {

namespace {

// Any platform but X11, the offscreen one of the tests included: nothing is reported, so
// the polling controls read the cursor at every tick.
class ToolkitCursor : public PointerSource {
public:
    QPoint read() override { return QCursor::pos(); }
    bool reportsDeviceMotion() const override { return false; }
};

PointerSource* replacement = nullptr;

} // namespace

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
        return x11 ? x11.release() : new ToolkitCursor;
    }();
    return *programs;
}

void replacePointerSource(PointerSource* source) { replacement = source; }

} // namespace fk::platform
