#pragma once

#include <QPoint>
#include <QtGlobal>
#include <functional>
#include <optional>

namespace fk::platform {

// The one place the program learns where the pointer is, and what the display server will
// tell it unasked. While the pointer is over one of the program's windows the server reports
// every move, warps included; where it can, it also reports every movement of a pointing
// device anywhere on the screen. Only a warp elsewhere (a jump that no device made) goes
// unreported. This base reads the toolkit's cursor and is told nothing, as on any platform
// but X11 (the offscreen one of the tests included): there the polling reads at every tick.
class PointerSource {
public:
    virtual ~PointerSource() = default;

    // Asks for the position now, in screen pixels.
    virtual QPoint read();
    // Whether the server reports the movements of pointing devices wherever the pointer is.
    virtual bool reportsDeviceMotion() const { return false; }
    // Seconds on a clock that only runs forward: the time that the polling goes by. It is
    // the source's own, apart from the program's clock, which code may be timing meanwhile.
    virtual double seconds() const;

    // Where the pointer is as the program sees it: the reading held for a polling pass, or
    // else a new one.
    QPoint position() { return held_ ? *held_ : read(); }
    void hold(std::optional<QPoint> reading) { held_ = reading; }

    bool overProgramWindow() const { return overProgramWindow_; }
    void setOverProgramWindow(bool over) { overProgramWindow_ = over; }

    // Counts what the server sent that may have changed what a reading or a window shows:
    // equal counts mean nothing was reported in between.
    virtual quint64 reports() { return reports_; }
    void report();
    // Calls wake once, at the next report; until then the source keeps its reports to
    // itself, so that reports coming while the polling runs anyway cost no wake-up.
    void wakeOnNextReport(std::function<void()> wake);

protected:
    // Whether anyone waits for the next report.
    virtual void listen(bool) {}

private:
    std::optional<QPoint> held_;
    quint64 reports_ = 0;
    bool overProgramWindow_ = false;
    std::function<void()> wake_;
};

// The program's source: on X11 one on a connection of its own.
PointerSource& pointerSource();

// Puts a source in place of the program's, for tests; null gives the program's back.
void replacePointerSource(PointerSource* source);

} // namespace fk::platform
