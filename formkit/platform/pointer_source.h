#pragma once

#include <QPoint>
#include <QRect>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

namespace fk::platform {

// Where the pointer is, in screen pixels, and whether any of its buttons is held down.
struct PointerReading {
    QPoint position;
    bool buttonsHeld = false;
    bool operator==(const PointerReading&) const = default;
};

// What the source tells the toolkit's thread unasked: the pointer moved (over the program's
// windows, every move), a button went down or up over them, or one of them was moved, sized
// or mapped; and whether the reading entered or left a watched rectangle.
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

    // On any thread: takes a reading as the newest and says whether it crossed a watched
    // rectangle's edge; the newest reading; the rectangles to watch from now on, saying
    // whether the newest reading lies otherwise in them than in those watched before.
    bool offer(const PointerReading& reading);
    std::optional<PointerReading> newest() const { const std::lock_guard lock(mutex_); return newest_; }
    bool watch(std::vector<QRect> rectangles);

private:
    std::vector<int> placesOf(const QPoint& point) const;

    mutable std::mutex mutex_;
    std::vector<QRect> watched_;
    std::optional<PointerReading> newest_;
    std::function<void(const PointerReport&)> wake_;
};

// The program's source: on X11 one that follows the pointer on connections of its own.
PointerSource& pointerSource();

// Puts a source in place of the program's, for tests; null gives the program's back.
void replacePointerSource(PointerSource* source);

} // namespace fk::platform
