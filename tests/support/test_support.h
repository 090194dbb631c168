#pragma once

#include "com/variant.h"
#include "forms/clock.h"
#include "core/color.h"
#include "forms/error_reporting.h"

#include <QImage>
#include <QPoint>
#include <QString>
#include <functional>
#include <vector>

class QWidget;

namespace testing_support {

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
