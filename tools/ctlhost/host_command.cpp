#include "commands.h"

#include "host_window.h"
#include "stop_signals.h"
#include "forms/error_reporting.h"
#include "program/program.h"

#include <QApplication>

namespace {

// Closes the window (through the form runtime, which destroys it once the event loop runs
// again) and gives the failure's status.
int closeAndFail(HostWindow* window, const QString& message)
{
    window->unload();
    fk::destroyAllForms();
    return failure(message);
}

} // namespace

int hostClass(int argc, char** argv, const HostOptions& options)
{
    if (!fk::haveDisplay())
        return failure(QStringLiteral("no display to show the control on (DISPLAY is not set)"));
    QString error;
    const auto registered = RegisteredClass::find(options.name, &error);
    if (!registered)
        return failure(error);

    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // The container finds classes through the registry, as other programs do: no manifest.
    fk::prepareRuntime({.name = QStringLiteral("ctlhost"), .loadFirstForm = {}}, QByteArray());
    // An error in the host's own event handling is reported on one line; the host goes on.
    fk::setErrorReporter([](const fk::RuntimeError& e) { failure(QStringLiteral("error %1: %2").arg(e.number()).arg(e.description())); });

    HostWindow* window = nullptr;
    try {
        window = new HostWindow(*registered, options);
    } catch (const fk::RuntimeError& e) {
        return failure(e.description());
    }
    for (const QString& setting : options.settings) {
        const qsizetype equals = setting.indexOf(QLatin1Char('='));
        if (const QString why = window->put(setting.left(equals), setting.mid(equals + 1)); !why.isEmpty())
            return closeAndFail(window, why);
    }
    if (options.at)
        window->placeClientAt(*options.at);
    window->showAndWait();
    for (const QString& method : options.calls)
        if (const QString why = window->call(method); !why.isEmpty())
            return closeAndFail(window, why);

    onStopSignal([window] { window->unload(); });
    QApplication::exec();
    fk::destroyAllForms();
    return 0;
}
