#include "test_support.h"

#include "com/activation.h"
#include "hosting/hosted_control.h"

#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace testing_support {

RecordedErrors::RecordedErrors()
    : previous_(fk::setErrorReporter([this](const fk::RuntimeError& e) { errors_.push_back(e); }))
{
}

RecordedErrors::~RecordedErrors() { fk::setErrorReporter(previous_); }

FakeClock::FakeClock(double secondsSinceMidnight)
    : midnightOffset_(secondsSinceMidnight - 1000.0),
      previous_(fk::clock::setSource({
          [this] {
              ++reads_;
              if (onRead)
                  onRead();
              double t = monotonic_ + midnightOffset_;
              return t - 86400.0 * static_cast<double>(static_cast<long>(t / 86400.0));
          },
          [this] { return monotonic_; },
      }))
{
}

FakeClock::~FakeClock() { fk::clock::setSource(previous_); }

void FakeClock::advance(double seconds) { monotonic_ += seconds; }

void moveCursor(QPoint screenPosition)
{
    QCursor::setPos(screenPosition);
}

void moveCursorInto(const QWidget* widget, QPoint localPosition) { moveCursor(widget->mapToGlobal(localPosition)); }

bool waitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QTest::qSleep(1);
    }
    return true;
}

void pump(int milliseconds) { QTest::qWait(milliseconds); }

QString reasonCreating(const QString& name)
{
    try {
        fk::com::createObject(name);
    } catch (const fk::RuntimeError& e) {
        EXPECT_EQ(e.number(), 429) << e.description().toStdString();
        return e.description();
    }
    return QStringLiteral("(created)");
}

QByteArray buttonManifest(const QString& libraryFile)
{
    return QStringLiteral(R"(<manifest>
  <library file="%1">
    <class id="%2" progid="%3"/>
  </library>
</manifest>)")
        .arg(libraryFile, QLatin1String(kButtonClass), QLatin1String(kButtonProgId))
        .toUtf8();
}

QWidget* faceOf(const fk::com::HostedControl& control)
{
    QWidget* site = control.widget();
    QWidget* face = site->childAt(site->rect().center());
    return face ? face : site;
}

QImage screenOf(const fk::com::HostedControl& control) { return control.widget()->grab().toImage(); }

QRgb pixel(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

QRgb rgbOf(fk::Color color) { return color.toQRgb() & 0xFFFFFF; }

} // namespace testing_support
