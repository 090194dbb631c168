#include "forms/error_reporting.h"

#include "forms/end_program.h"
#include "forms/running_handlers.h"

#include <QApplication>
#include <QMessageBox>

namespace fk {

namespace {

void warnAndGoOn(const RuntimeError& error)
{
    qWarning("Run-time error '%d': %s", error.number(), qPrintable(error.description()));
}

ErrorReporter& currentReporter()
{
    static ErrorReporter reporter = warnAndGoOn;
    return reporter;
}

} // namespace

void reportAndEndProgram(const RuntimeError& error)
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(),
                        QStringLiteral("Run-time error '%1':\n\n%2").arg(error.number()).arg(error.description()),
                        QMessageBox::Ok);
        box.exec();
    } else {
        qCritical("%s", error.what());
    }
    endProgram(1);
}

ErrorReporter setErrorReporter(ErrorReporter reporter)
{
    ErrorReporter previous = std::move(currentReporter());
    currentReporter() = reporter ? std::move(reporter) : ErrorReporter(warnAndGoOn);
    return previous;
}

void reportUntrapped(const RuntimeError& error) { currentReporter()(error); }

void runHandler(const std::function<void()>& handler)
{
    const RunningHandlers::Entry running;
    try {
        handler();
    } catch (const RuntimeError& error) {
        reportUntrapped(error);
    } catch (const std::bad_alloc&) {
        reportUntrapped(RuntimeError::outOfMemory());
    }
}

} // namespace fk
