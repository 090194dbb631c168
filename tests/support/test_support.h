#pragma once

#include "com/dispatch.h"
#include "com/variant.h"
#include "forms/clock.h"
#include "core/color.h"
#include "forms/error_reporting.h"

#include <QByteArray>
#include <cstdint>
#include <QImage>
#include <QPoint>
#include <QString>
#include <functional>
#include <vector>

class QWidget;
namespace fk::com {
class HostedControl;
}

namespace testing_support {

// The highlight button's class in the control library, by identity and by ProgID, and the
// identities of its type library and of its two interfaces.
inline constexpr char kButtonClass[] = "{8DDE02C5-207C-4592-8B6F-0F84159237E0}";
inline constexpr char kButtonProgId[] = "Lumakey.btn";
inline constexpr char kTypeLibrary[] = "{2004FE3A-FBE0-4284-AAF3-0C56C3E6713D}";
inline constexpr char kButtonInterface[] = "{6F5550D2-7096-4A9C-AA54-F2BB84D0A99B}";
inline constexpr char kButtonEvents[] = "{F26C7975-6F91-4C53-BD8F-A230F902D283}";

// The dispatch ids that the button's type library publishes.
inline constexpr fk::com::DISPID kDispIdIsMouseOverControl = 0x60030007;
inline constexpr fk::com::DISPID kDispIdCaption = 0x68030000;
inline constexpr fk::com::DISPID kDispIdClick = 1;
// Ids that no member of the button has. None is the next free one of a published series,
// which a member added later would take.
inline constexpr fk::com::DISPID kNotMembers[] = {0, -1, 2, 0x12345, 0x69030000, 0x61030007, INT32_MIN, INT32_MAX};

// A program manifest that leads both names of the button to the library file, a path
// relative to the program's folder.
QByteArray buttonManifest(const QString& libraryFile = QStringLiteral("Lumakey.ocx"));

// The widget that takes the mouse on a hosted control: the face, deepest under the centre
// of its site.
QWidget* faceOf(const fk::com::HostedControl& control);

// What the user sees of a hosted control now.
QImage screenOf(const fk::com::HostedControl& control);

// Records untrapped errors instead of showing a message box and ending the program.
class RecordedErrors {
public:
    RecordedErrors();
    ~RecordedErrors();
    const std::vector<fk::RuntimeError>& errors() const { return errors_; }
    bool empty() const { return errors_.empty(); }

private:
    std::vector<fk::RuntimeError> errors_;
    fk::ErrorReporter previous_;
};

// A clock that the test sets and moves: seconds since midnight and a monotonic count.
class FakeClock {
public:
    explicit FakeClock(double secondsSinceMidnight);
    ~FakeClock();
    void advance(double seconds);
    // Runs for every reading, before it is taken: lets a test move time along as code
    // reads the clock.
    std::function<void()> onRead;
    int reads() const { return reads_; }

private:
    double midnightOffset_;
    double monotonic_ = 1000.0;
    int reads_ = 0;
    fk::clock::Source previous_;
};

// Moves the cursor to a screen position and makes sure the next reading sees it.
void moveCursor(QPoint screenPosition);
void moveCursorInto(const QWidget* widget, QPoint localPosition);

// Pumps events until the condition holds or the deadline passes; returns the condition.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 2000);

// Pumps events for about that long.
void pump(int milliseconds);

// Creates a class through the component model, expecting the runtime's error 429, and
// returns the reason it gives; "(created)" when the class was created after all.
QString reasonCreating(const QString& name);

QRgb pixel(const QImage& image, int x, int y);
QRgb rgbOf(fk::Color color);

} // namespace testing_support
