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

// What the source tells the toolkit's thread unasked.
struct PointerReport {
    enum Kind {
        Moved,   // the pointer moved; over the program's windows, every move
        Button,  // a button went down or up over one of the program's windows
        Windows, // one of the program's windows was moved, sized or mapped
    } kind;
    std::optional<PointerReading> reading;
    // The reading entered or left one of the watched rectangles.
    bool crossed = false;
};

// The one place the program learns where the pointer is. Its readings are compared with the
// rectangles that the polling watches: a reading that enters or leaves one of them is reported
// at once, as everything over the program's windows is; a reading that crosses none is only
// kept as the newest. This base asks the toolkit and follows nothing, as on any platform but
// X11 (the offscreen one of the tests included).
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

    // Takes a reading as the newest and says whether it crossed a watched rectangle's edge.
    // Any thread may offer.
    bool offer(const PointerReading& reading);
    // The newest reading offered, if any; any thread.
    std::optional<PointerReading> newest() const;
    // Watches these rectangles from now on; says whether the newest reading lies otherwise
    // in them than it did in the ones watched before.
    bool watch(std::vector<QRect> rectangles);

    // Runs the wake; on the toolkit's thread.
    void report(const PointerReport& report);

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
