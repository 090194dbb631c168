#pragma once

#include <QPoint>
#include <QRect>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

namespace fk::platform {

// Where the pointer is, in screen pixels, and whether any of its buttons is held down; and
// the server's time of the event it comes from (milliseconds), or 0 for one taken by asking.
struct PointerReading {
    QPoint position;
    bool buttonsHeld = false;
    std::uint32_t time = 0;
    bool operator==(const PointerReading&) const = default;
};

// What the source tells the toolkit's thread unasked: the pointer moved (into or out of a
// watched rectangle, or at all while every move is wanted), a button went down or up over
// the program's windows, or one of them was moved, sized or mapped; and whether the reading
// entered or left a watched rectangle.
struct PointerReport {
    enum Kind { Moved, Button, Windows } kind;
    std::optional<PointerReading> reading;
    bool crossed = false;
};

// The one place the program learns where the pointer is. Each reading it takes or is given is
// compared with the rectangles that the polling watches: one that enters or leaves any of
// them is reported at once, one that crosses none is only kept as the newest. This base asks
// the toolkit and follows nothing, as on any platform but X11 (the tests' offscreen one too).
class PointerSource {
public:
    virtual ~PointerSource() = default;

    // Asks where the pointer is and which buttons are held: one question, both answers.
    virtual PointerReading read();
    // Whether the source takes in every change of the pointer unasked, so that its newest
    // reading is where the pointer is.
    virtual bool followsPointer() const { return false; }

    // The standing wake: runs on the toolkit's thread for every report from now on.
    void setWake(std::function<void(const PointerReport&)> wake) { wake_ = std::move(wake); }
    void report(const PointerReport& report) const { if (wake_) wake_(report); }

    // While a loop follows the pointer (a drag), every move is reported, not only crossings.
    virtual void reportEveryMove(bool every);

    // On any thread: takes a reading as the newest and says whether it crossed a watched
    // rectangle's edge (one from an event older than the newest's is stale: the toolkit and
    // the source hear of events on connections of their own); the newest reading; the
    // rectangles to watch from now on, saying whether the newest reading lies otherwise in
    // them than in those watched before.
    bool offer(const PointerReading& reading);
    std::optional<PointerReading> newest() const { const std::lock_guard lock(mutex_); return newest_; }
    bool watch(std::vector<QRect> rectangles);

protected:
    std::atomic<bool> everyMove_ = false;

private:
    std::vector<int> placesOf(const QPoint& point) const;

    mutable std::mutex mutex_;
    std::vector<QRect> watched_;
    std::optional<PointerReading> newest_;
    std::function<void(const PointerReport&)> wake_;
};

// The program's source: on X11 one that follows the pointer on connections of its own.
PointerSource& pointerSource();

// Stops the program's source, joining its thread, and closes its connections: before the
// application object goes, which does it itself where nothing did. A source that asks the
// toolkit stands in from then on.
void closePointerSource();

// Puts a source in place of the program's, for tests; null gives the program's back.
void replacePointerSource(PointerSource* source);

} // namespace fk::platform
