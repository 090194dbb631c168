#include "commands.h"

#include "host_window.h"
#include "stop_signals.h"
#include "forms/error_reporting.h"
#include "program/program.h"

#include <QApplication>
#include <QByteArray>
#include <QScreen>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <utility>

namespace {

// Closes the window and ends the runtime, and gives the failure's status.
int closeAndFail(HostWindow* window, const QString& message)
{
    window->unload();
    fk::finishRuntime();
    return failure(message);
}

// Runs every line of standard input through the window as it arrives. The event loop
// watches the descriptor, so a line runs without any window event to wake the host; a line
// waits for its newline, and a last line without one runs when the input ends. The end of
// the input stops the watching and nothing else: the host goes on until its window is
// closed or it is asked to stop. The watcher belongs to the window, so no line can reach a
// window that is gone.
void runLinesOfStandardInput(HostWindow* window)
{
    auto* notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, window->windowWidget());
    auto pending = std::make_shared<QByteArray>();
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [notifier, window, pending] {
        char buffer[4096];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            return; // nothing after all; the notifier asks again when there is
        if (got <= 0) {
            // An input that can no longer be read has ended as surely as one at its end;
            // without this the notifier would fire for ever at a closed pipe.
            if (got < 0)
                failure(QStringLiteral("cannot read standard input: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
            notifier->setEnabled(false);
            if (!pending->isEmpty())
                window->runLine(QString::fromUtf8(std::exchange(*pending, QByteArray())));
            return;
        }
        pending->append(buffer, got);
        for (qsizetype newline = pending->indexOf('\n'); newline >= 0; newline = pending->indexOf('\n')) {
            const QByteArray line = pending->left(newline);
            pending->remove(0, newline + 1);
            window->runLine(QString::fromUtf8(line));
        }
    });
}

} // namespace

int hostClass(int argc, char** argv, const HostOptions& options, const ToolCommandLine& commandLine)
{
    // Asked before anything is opened: with descriptor 0 closed, the next file opened, say
    // the connection to the display, would take its number and be read as input.
    if (options.linesFromStandardInput && ::fcntl(STDIN_FILENO, F_GETFD) < 0)
        return failure(QStringLiteral("--stdin: standard input is not open"));
    if (!fk::haveDisplay())
        return failure(QStringLiteral("no display to show the control on (DISPLAY is not set)"));
    fk::goWithoutAccessibilityWhenNoSessionBus();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // A control larger than the whole screen cannot be seen whole, and its window's pixels
    // alone could take gigabytes: refused before anything is made.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize largest = screen->virtualSize();
        if (options.size.width() > largest.width() || options.size.height() > largest.height())
            return commandLine.usageError(QStringLiteral("--size %1x%2 is larger than the screen, %3x%4 pixels")
                                              .arg(options.size.width())
                                              .arg(options.size.height())
                                              .arg(largest.width())
                                              .arg(largest.height()));
    }
    QString error;
    const auto registered = RegisteredClass::find(options.name, &error);
    if (!registered)
        return failure(error);

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

    if (options.linesFromStandardInput)
        runLinesOfStandardInput(window);

    // A stop asked for while the host started has waited for this moment.
    onStopSignal([window] { window->unload(); });
    QApplication::exec();
    fk::finishRuntime();
    return 0;
}
